// Media relay under idle guests: starts the yavserver of the program folder, logs 100 guests
// in to one conference and measures the server's CPU and resident memory
//   1. with the guests alone (the baseline of the same run),
//   2. with 8 idle media sessions per guest (800, UDP, a keepalive every 2 s as clients send),
//   3. after the guests left, and after a second round of 100 guests with 800 sessions left.
// Prints one table; asserts nothing.
//
//   yav_media_relay_bench [--guests N] [--seconds N]
#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <asio.hpp>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "Link.h"
#include "MediaRelayWire.h"
#include "Messages.h"

namespace {

using namespace yav::proto;
namespace relay = yav::relay;
using Clock = std::chrono::steady_clock;

constexpr uint32_t kConference = 900001;
constexpr int kChannels = 8;

struct Server {
    pid_t pid = -1;
    uint16_t conferencePort = 0;
    uint16_t mediaPort = 0;
};

Server StartServer(const std::string& folder) {
    Server server;
    const std::string portFile = folder + "/media-relay-bench-ports";
    std::filesystem::remove(portFile);
    std::fflush(stdout);
    server.pid = fork();
    if (server.pid == 0) {
        freopen("/dev/null", "w", stdout);
        execl("./yavserver", "./yavserver", "--ds-port", "0", "--cs-port", "0", "--probe-port", "0",
              "--media-port", "0", "--port-file", portFile.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (Clock::now() < deadline) {
        std::ifstream ports(portFile);
        unsigned ds = 0, cs = 0, probe = 0, media = 0;
        if (ports >> ds >> cs >> probe >> media) {
            server.conferencePort = static_cast<uint16_t>(cs);
            server.mediaPort = static_cast<uint16_t>(media);
            break;
        }
        usleep(10000);
    }
    return server;
}

long ResidentKiB(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::strtol(line.c_str() + 6, nullptr, 10);
        }
    }
    return 0;
}

double CpuSeconds(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const size_t close = text.rfind(')');
    if (close == std::string::npos) {
        return 0;
    }
    std::istringstream rest(text.substr(close + 2));
    std::string field;
    unsigned long long utime = 0;
    unsigned long long stime = 0;
    for (int i = 3; i <= 15 && rest >> field; ++i) {
        if (i == 14) {
            utime = std::stoull(field);
        } else if (i == 15) {
            stime = std::stoull(field);
        }
    }
    return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

class Guest final : public Link::Listener {
public:
    std::shared_ptr<Link> link;
    uint16_t userId = 0;
    std::array<uint8_t, relay::kTicketBytes> ticket{};
    bool loggedIn = false;

    void OnLinkFrame(Link&, Frame& frame) override {
        if (frame.type == MsgType::HelloAck) {
            if (auto ack = DecodeBody<MsgHelloAck>(frame.body)) {
                link->SetTiming(std::chrono::milliseconds(ack->heartbeatMs),
                                std::chrono::milliseconds(ack->timeoutMs));
            }
        } else if (frame.type == MsgType::LoginResponse) {
            auto response = DecodeBody<MsgLoginResponse>(frame.body);
            if (response && response->result == 0) {
                userId = response->loginInfo.userId;
                ticket = response->mediaTicket;
                loggedIn = true;
            }
        }
    }
    void OnLinkClosed(Link&, const std::string&) override {}
};

// One channel's UDP socket to the relay, answered as the client answers (cookie, keepalive).
struct Channel {
    int fd = -1;
    relay::Control hello;
    bool accepted = false;
};

void SendControl(const Channel& channel, const relay::Control& control) {
    const auto bytes = relay::Encode(control);
    (void)::send(channel.fd, bytes.data(), bytes.size(), 0);
}

void Drain(Channel& channel) {
    uint8_t buffer[2048];
    for (;;) {
        const ssize_t n = ::recv(channel.fd, buffer, sizeof buffer, MSG_DONTWAIT);
        if (n <= 0) {
            return;
        }
        const auto control = relay::Decode(buffer, static_cast<size_t>(n));
        if (!control) {
            continue;
        }
        if (control->type == relay::Type::Cookie) {
            channel.hello.hello.hasCookie = true;
            channel.hello.hello.cookie = control->cookie;
            SendControl(channel, channel.hello);
        } else if (control->type == relay::Type::HelloAck) {
            channel.accepted = control->result == relay::HelloResult::Ok;
        }
    }
}

class Round {
public:
    Round(asio::io_context& io, const Server& server, int guests, int round) : io_(io) {
        const asio::ip::tcp::endpoint endpoint(asio::ip::make_address("127.0.0.1"),
                                               server.conferencePort);
        mediaPort_ = server.mediaPort;
        // A few at a time: the server refuses more than 32 connections from one address that
        // have not logged in yet.
        for (int i = 0; i < guests; ++i) {
            auto guest = std::make_unique<Guest>();
            asio::ip::tcp::socket socket(io);
            socket.connect(endpoint);
            guest->link = std::make_shared<Link>(std::move(socket), "bench");
            guest->link->Start(guest.get());
            guest->link->SendMessage(MsgHello{});
            MsgLoginRequest login;
            login.confId = kConference;
            login.name = "idle" + std::to_string(round) + "-" + std::to_string(i);
            login.mode = 1;
            login.clientVersion = 100;
            guest->link->SendMessage(login);
            guests_.push_back(std::move(guest));
            if (guests_.size() % 16 == 0 || i + 1 == guests) {
                Pump([&] {
                    for (const auto& one : guests_) {
                        if (!one->loggedIn) {
                            return false;
                        }
                    }
                    return true;
                });
            }
        }
    }
    size_t LoggedIn() const {
        size_t n = 0;
        for (const auto& guest : guests_) {
            n += guest->loggedIn ? 1 : 0;
        }
        return n;
    }
    ~Round() { Leave(); }

    void OpenSessions() {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(mediaPort_);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        for (const auto& guest : guests_) {
            for (int c = 0; c < kChannels; ++c) {
                Channel channel;
                channel.fd = ::socket(AF_INET, SOCK_DGRAM, 0);
                ::connect(channel.fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
                channel.hello.type = relay::Type::Hello;
                channel.hello.hello.ticket = guest->ticket;
                channel.hello.hello.conferenceId = kConference;
                channel.hello.hello.mediaId = static_cast<uint16_t>(guest->userId + c);
                SendControl(channel, channel.hello);
                channels_.push_back(channel);
            }
        }
        // As the client does: the hello again every 500 ms until it is answered.
        auto resend = Clock::now() + std::chrono::milliseconds(500);
        Pump([&] {
            const bool again = Clock::now() >= resend;
            if (again) {
                resend = Clock::now() + std::chrono::milliseconds(500);
            }
            bool all = true;
            for (Channel& channel : channels_) {
                Drain(channel);
                if (!channel.accepted) {
                    all = false;
                    if (again) {
                        SendControl(channel, channel.hello);
                    }
                }
            }
            return all;
        });
    }
    size_t Accepted() const {
        size_t n = 0;
        for (const Channel& channel : channels_) {
            n += channel.accepted ? 1 : 0;
        }
        return n;
    }

    // Keeps everything going for a while: heartbeats, and a keepalive from every session
    // every 2 s, spread over the interval as independent clients spread them.
    void Idle(std::chrono::seconds length) {
        const auto end = Clock::now() + length;
        if (channels_.empty()) {
            io_.run_for(length);
            return;
        }
        const std::chrono::microseconds step(2'000'000 / static_cast<long>(channels_.size()));
        relay::Control keepalive;
        keepalive.type = relay::Type::Keepalive;
        size_t next = 0;
        auto due = Clock::now();
        while (Clock::now() < end) {
            io_.run_for(std::chrono::milliseconds(1));
            while (Clock::now() >= due) {
                SendControl(channels_[next], keepalive);
                Drain(channels_[next]);
                next = (next + 1) % channels_.size();
                due += step;
            }
        }
    }

    void Leave() {
        for (Channel& channel : channels_) {
            ::close(channel.fd);
        }
        channels_.clear();
        for (const auto& guest : guests_) {
            guest->link->SendMessage(MsgLogout{});
        }
        io_.run_for(std::chrono::milliseconds(300));
        for (const auto& guest : guests_) {
            guest->link->Detach();
            guest->link->Close("bench done");
        }
        guests_.clear();
        io_.run_for(std::chrono::milliseconds(300));
    }

private:
    void Pump(const std::function<bool()>& done) {
        const auto deadline = Clock::now() + std::chrono::seconds(30);
        while (!done() && Clock::now() < deadline) {
            io_.run_for(std::chrono::milliseconds(5));
        }
    }

    asio::io_context& io_;
    uint16_t mediaPort_ = 0;
    std::vector<std::unique_ptr<Guest>> guests_;
    std::vector<Channel> channels_;
};

}  // namespace

int main(int argc, char** argv) {
    int guests = 100;
    int seconds = 10;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--guests") == 0) {
            guests = std::atoi(argv[i + 1]);
        } else if (std::strcmp(argv[i], "--seconds") == 0) {
            seconds = std::atoi(argv[i + 1]);
        }
    }
    Server server = StartServer(std::filesystem::temp_directory_path().string());
    if (server.mediaPort == 0) {
        std::fprintf(stderr, "yavserver did not start (run from the program folder)\n");
        return 1;
    }
    asio::io_context io;
    auto work = asio::make_work_guard(io);  // the loop must not stop between the rounds
    struct Row {
        std::string what;
        double cpu;  // % of a core, -1: not measured
        long kib;
    };
    std::vector<Row> rows;
    const auto measure = [&](const std::string& what, Round* round) {
        const double before = CpuSeconds(server.pid);
        const auto from = Clock::now();
        if (round != nullptr) {
            round->Idle(std::chrono::seconds(seconds));
        } else {
            io.run_for(std::chrono::seconds(seconds));
        }
        const double wall = std::chrono::duration<double>(Clock::now() - from).count();
        rows.push_back(
            {what, 100.0 * (CpuSeconds(server.pid) - before) / wall, ResidentKiB(server.pid)});
    };
    rows.push_back({"server started, nobody in", -1, ResidentKiB(server.pid)});
    size_t accepted = 0;
    {
        Round first(io, server, guests, 1);
        measure(std::to_string(first.LoggedIn()) + " guests, no media (baseline)", &first);
        first.OpenSessions();
        accepted = first.Accepted();
        measure(std::to_string(guests) + " guests, " + std::to_string(accepted) +
                    " idle media sessions",
                &first);
    }
    measure("after they left", nullptr);
    {
        Round second(io, server, guests, 2);
        second.OpenSessions();
        measure("a second round: " + std::to_string(second.LoggedIn()) + " guests, " +
                    std::to_string(second.Accepted()) + " sessions",
                &second);
    }
    measure("after the second round left", nullptr);
    kill(server.pid, SIGTERM);
    waitpid(server.pid, nullptr, 0);

    const double baseline = rows[1].cpu;
    const long baselineKiB = rows[1].kib;
    std::printf("%-44s %14s %12s %14s\n", "yavserver (media relay, idle guests)", "CPU (core)",
                "resident", "vs baseline");
    for (const Row& row : rows) {
        char cpu[32] = "";
        char delta[48] = "";
        if (row.cpu >= 0) {
            std::snprintf(cpu, sizeof cpu, "%.1f %%", row.cpu);
            std::snprintf(delta, sizeof delta, "%+.1f %% %+.1f MiB", row.cpu - baseline,
                          static_cast<double>(row.kib - baselineKiB) / 1024.0);
        }
        std::printf("%-44s %14s %8.1f MiB %14s\n", row.what.c_str(), cpu,
                    static_cast<double>(row.kib) / 1024.0, delta);
    }
    std::printf("sessions accepted in the first round: %zu of %d\n", accepted, guests * kChannels);
    return 0;
}
