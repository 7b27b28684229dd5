// Soak benchmark: two client processes in yavserver's demo conference for a long while, each
// sending its synthetic camera and microphone and receiving the other's (two video streams in
// the room), while this program samples their resident memory. It prints the samples and, per
// client, the growth over the whole run (least-squares slope, MiB a minute) beside the slope of
// the first five minutes, where caches and allocator arenas still fill. Asserts nothing.
//
// Run from the program folder (it starts ./yavserver and ./YavClient), with an X server for
// the clients (without DISPLAY they paint offscreen):
//
//   Xvfb :77 & DISPLAY=:77 ./yav_room_soak_bench [--minutes 30] [--interval-seconds 10]
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "ServerProcess.h"
#include "platform/core/Profile.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

std::string ReadWhole(const fs::path& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// Resident memory of a process in KiB; 0 once it is gone.
long ResidentKib(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::strtol(line.c_str() + 6, nullptr, 10);
        }
    }
    return 0;
}

// One YavClient with a home, data folder and runtime folder of its own (one instance per
// session is the rule), joining the demo conference directly.
class Client {
public:
    Client(const std::string& name, uint16_t dataPort) : name_(name) {
        std::string pattern = (fs::temp_directory_path() / "yav-soak-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            return;
        }
        home_ = pattern;
        fs::create_directories(home_ / "run");
        fs::permissions(home_ / "run", fs::perms::owner_all, fs::perm_options::replace);
        const fs::path data = home_ / ".local/share/MarnexData";
        fs::create_directories(data);
        yav::profile::WriteString("appinfo", "DsSvrPort", std::to_string(dataPort),
                                  (data / "Client.ini").string());
        log_ = data / "loglog/YavClient.log";

        // This program's environment (the display, the sound server) without what the client
        // gets of its own.
        const auto replaced = [](const std::string& entry) {
            for (const char* variable : {"HOME=", "XDG_RUNTIME_DIR=", "XDG_DATA_HOME=",
                                         "YAV_TEST_DEVICES=", "QT_QPA_PLATFORM="}) {
                if (entry.rfind(variable, 0) == 0) {
                    return true;
                }
            }
            return false;
        };
        std::vector<std::string> env;
        for (char** entry = environ; *entry != nullptr; ++entry) {
            if (!replaced(*entry)) {
                env.emplace_back(*entry);
            }
        }
        env.push_back("HOME=" + home_.string());
        env.push_back("XDG_RUNTIME_DIR=" + (home_ / "run").string());
        env.push_back("XDG_DATA_HOME=" + (home_ / ".local/share").string());
        env.push_back("YAV_TEST_DEVICES=cam=1,mic=1,spk=1");
        if (std::getenv("DISPLAY") == nullptr) {
            env.push_back("QT_QPA_PLATFORM=offscreen");
        }
        std::string lower = name;
        for (char& c : lower) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        std::vector<std::string> args = {"./YavClient", "127.0.0.1", lower, lower, "900001"};
        std::vector<char*> argv;
        for (auto& arg : args) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        std::vector<char*> envp;
        for (auto& entry : env) {
            envp.push_back(entry.data());
        }
        envp.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        const std::string output = (home_ / "output.txt").string();
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
        if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) {
            pid_ = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
    }
    ~Client() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            int status = 0;
            for (int i = 0; i < 150 && waitpid(pid_, &status, WNOHANG) == 0; ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            }
            if (waitpid(pid_, &status, WNOHANG) == 0) {
                kill(pid_, SIGKILL);
                waitpid(pid_, &status, 0);
            }
        }
        std::error_code ignored;
        if (!home_.empty() && std::getenv("YAV_SOAK_KEEP") == nullptr) {
            fs::remove_all(home_, ignored);
        }
    }
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;

    pid_t Pid() const { return pid_; }
    const std::string& Name() const { return name_; }
    std::string Log() const { return ReadWhole(log_); }
    bool Running() const { return pid_ > 0 && kill(pid_, 0) == 0; }

private:
    std::string name_;
    fs::path home_;
    fs::path log_;
    pid_t pid_ = -1;
};

// Least-squares slope of (minutes, MiB) pairs.
double Slope(const std::vector<double>& minutes, const std::vector<double>& mib) {
    const size_t n = minutes.size();
    if (n < 2) {
        return 0;
    }
    double mx = 0;
    double my = 0;
    for (size_t i = 0; i < n; ++i) {
        mx += minutes[i];
        my += mib[i];
    }
    mx /= static_cast<double>(n);
    my /= static_cast<double>(n);
    double sxy = 0;
    double sxx = 0;
    for (size_t i = 0; i < n; ++i) {
        sxy += (minutes[i] - mx) * (mib[i] - my);
        sxx += (minutes[i] - mx) * (minutes[i] - mx);
    }
    return sxx > 0 ? sxy / sxx : 0;
}

}  // namespace

int main(int argc, char** argv) {
    double minutes = 30;
    int intervalSeconds = 10;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--minutes" && i + 1 < argc) {
            minutes = std::strtod(argv[++i], nullptr);
        } else if (option == "--interval-seconds" && i + 1 < argc) {
            intervalSeconds = std::max(1, std::atoi(argv[++i]));
        } else {
            std::fprintf(stderr,
                         "usage: yav_room_soak_bench [--minutes N] [--interval-seconds S]\n");
            return 2;
        }
    }
    if (minutes <= 0) {
        std::fprintf(stderr, "soak: --minutes must be above 0\n");
        return 2;
    }

    yav::test::ServerProcess server;
    if (!server.Ready()) {
        std::fprintf(stderr, "soak: yavserver did not start (run from the program folder)\n%s",
                     server.Output().c_str());
        return 1;
    }
    Client alice("Alice", server.DataPort());
    Client bob("Bob", server.DataPort());
    Client* clients[] = {&alice, &bob};
    // In the room with both video streams: each client shows the other's first picture.
    const auto sees = [](const Client& client, const Client& other) {
        const std::string log = client.Log();
        const std::string shown = "as \"" + other.Name() + "\">";
        const size_t at = log.find(shown);
        if (at == std::string::npos) {
            return false;
        }
        const size_t open = log.rfind("<video ", at);
        const std::string id = log.substr(open + 7, log.find(' ', open + 7) - (open + 7));
        return log.find("<video " + id + " first picture>") != std::string::npos;
    };
    const auto started = Clock::now();
    while (!(sees(alice, bob) && sees(bob, alice))) {
        if (Clock::now() - started > std::chrono::seconds(90) || !alice.Running() ||
            !bob.Running()) {
            std::fprintf(stderr, "soak: the two clients did not see each other within 90 s\n");
            return 1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    std::printf(
        "Room soak: 2 clients in the demo conference, 2 video + 2 audio streams, "
        "%.1f min, a sample every %d s (%s)\n",
        minutes, intervalSeconds,
        std::getenv("DISPLAY") != nullptr ? "on the X server" : "offscreen");
    std::printf("%8s %12s %12s\n", "minute", "Alice MiB", "Bob MiB");

    std::vector<double> at;
    std::vector<double> rss[2];
    const auto begin = Clock::now();
    const auto end = begin + std::chrono::duration<double, std::ratio<60>>(minutes);
    for (auto next = begin; next <= end; next += std::chrono::seconds(intervalSeconds)) {
        std::this_thread::sleep_until(next);
        const double minute = std::chrono::duration<double, std::ratio<60>>(next - begin).count();
        at.push_back(minute);
        for (int c = 0; c < 2; ++c) {
            rss[c].push_back(static_cast<double>(ResidentKib(clients[c]->Pid())) / 1024.0);
        }
        std::printf("%8.2f %12.1f %12.1f\n", minute, rss[0].back(), rss[1].back());
        std::fflush(stdout);
        if (rss[0].back() == 0 || rss[1].back() == 0) {
            std::fprintf(stderr, "soak: a client ended\n");
            return 1;
        }
    }

    const size_t early =
        static_cast<size_t>(std::upper_bound(at.begin(), at.end(), 5.0 + 1e-9) - at.begin());
    std::printf("\n%-8s %10s %10s %18s %18s\n", "client", "start MiB", "end MiB", "whole MiB/min",
                "first 5 min MiB/min");
    for (int c = 0; c < 2; ++c) {
        const std::vector<double> firstAt(at.begin(), at.begin() + static_cast<long>(early));
        const std::vector<double> firstRss(rss[c].begin(),
                                           rss[c].begin() + static_cast<long>(early));
        std::printf("%-8s %10.1f %10.1f %18.3f %18.3f\n", clients[c]->Name().c_str(),
                    rss[c].front(), rss[c].back(), Slope(at, rss[c]), Slope(firstAt, firstRss));
    }
    return 0;
}
