#include "ServerProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace yav::test {

ServerProcess::ServerProcess(std::vector<std::string> extraArgs) {
    const char* outputRoot = std::getenv("YAV_TEST_OUTPUT_DIR");
    std::string root = outputRoot ? outputRoot : std::filesystem::temp_directory_path().string();
    std::filesystem::create_directories(root);
    std::string pattern = root + "/yavserver-XXXXXX";
    if (!mkdtemp(pattern.data())) {
        return;
    }
    folder_ = pattern;
    const std::string portFile = folder_ + "/ports";
    const std::string outFile = folder_ + "/output.txt";
    const std::string errFile = folder_ + "/errors.txt";
    std::vector<std::string> args = {"./yavserver", "--ds-port",    "0",     "--cs-port",
                                     "0",           "--probe-port", "0",     "--media-port",
                                     "0",           "--port-file",  portFile};
    args.insert(args.end(), extraArgs.begin(), extraArgs.end());
    pid_ = fork();
    if (pid_ == 0) {
        const int out = open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out >= 0 && err >= 0) {
            dup2(out, STDOUT_FILENO);
            dup2(err, STDERR_FILENO);
        }
        std::vector<char*> argv;
        for (auto& arg : args) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    if (pid_ < 0) {
        return;
    }
    WaitUntil([&] {
        std::ifstream ports(portFile);
        unsigned ds = 0, cs = 0, probe = 0, media = 0;
        if (!(ports >> ds >> cs >> probe >> media)) {
            int status = 0;
            // A server that ended at once will never write its ports.
            return waitpid(pid_, &status, WNOHANG) == pid_ && (pid_ = -1, true);
        }
        dataPort_ = static_cast<uint16_t>(ds);
        conferencePort_ = static_cast<uint16_t>(cs);
        probePort_ = static_cast<uint16_t>(probe);
        mediaPort_ = static_cast<uint16_t>(media);
        return true;
    });
}

ServerProcess::~ServerProcess() {
    Stop();
}

void ServerProcess::Freeze() {
    if (pid_ > 0) {
        kill(pid_, SIGSTOP);
    }
}

void ServerProcess::RestartMediaRelay() {
    if (pid_ > 0) {
        kill(pid_, SIGUSR1);
    }
}

bool ServerProcess::Stop() {
    if (pid_ <= 0) {
        return false;
    }
    kill(pid_, SIGCONT);
    kill(pid_, SIGTERM);
    int status = 0;
    bool ended = WaitUntil([&] { return waitpid(pid_, &status, WNOHANG) == pid_; },
                           std::chrono::seconds(10));
    if (!ended) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &status, 0);
    }
    pid_ = -1;
    return ended && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

namespace {

std::string ReadWhole(const std::string& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

}  // namespace

std::string ServerProcess::Output() const {
    return ReadWhole(folder_ + "/output.txt") + ReadWhole(folder_ + "/errors.txt");
}

std::string ServerProcess::StandardOutput() const {
    return ReadWhole(folder_ + "/output.txt");
}

std::string ServerProcess::StandardError() const {
    return ReadWhole(folder_ + "/errors.txt");
}

}  // namespace yav::test
