#include "Process.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <fstream>
#include <map>
#include <mutex>
#include <thread>

#include "AltSignalStack.h"
#include "Log.h"
#include "Paths.h"

extern char** environ;

namespace yav::process {
namespace {

// Every child we started, with its exit code once a reaper thread collected it.
struct Children {
    std::mutex mutex;
    std::condition_variable changed;
    std::map<int, std::optional<int>> exitCodes;
};

Children& Started() {
    static Children* children = new Children;  // reaper threads may outlive static destruction
    return *children;
}

int DecodeStatus(int status) {
    if (WIFEXITED(status)) {
        return WEXITSTATUS(status);
    }
    if (WIFSIGNALED(status)) {
        return 128 + WTERMSIG(status);
    }
    return -1;
}

uid_t OwnerOf(int pid) {
    struct stat st {};
    if (stat(("/proc/" + std::to_string(pid)).c_str(), &st) != 0) {
        return static_cast<uid_t>(-1);
    }
    return st.st_uid;
}

std::vector<int> AllPids() {
    std::vector<int> pids;
    DIR* proc = opendir("/proc");
    if (proc == nullptr) {
        return pids;
    }
    while (const dirent* entry = readdir(proc)) {
        char* end = nullptr;
        const long pid = std::strtol(entry->d_name, &end, 10);
        if (end != entry->d_name && *end == '\0' && pid > 0) {
            pids.push_back(static_cast<int>(pid));
        }
    }
    closedir(proc);
    return pids;
}

}  // namespace

int Start(const std::string& program, const std::vector<std::string>& arguments,
          const std::string& workingDir) {
    std::vector<std::string> argvStrings;
    argvStrings.push_back(program);
    argvStrings.insert(argvStrings.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& argument : argvStrings) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    if (!workingDir.empty()) {
        posix_spawn_file_actions_addchdir_np(&actions, workingDir.c_str());
    }
    pid_t pid = -1;
    const int rc = posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        YLOG_WARN("cannot start %s: %s", program.c_str(), std::strerror(rc));
        return -1;
    }
    {
        Children& children = Started();
        std::lock_guard lock(children.mutex);
        children.exitCodes[pid] = std::nullopt;
    }
    // The reaper keeps the child from lingering as a zombie and records how it ended.
    std::thread([pid] {
        const AltSignalStack signalStack;
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        Children& children = Started();
        std::lock_guard lock(children.mutex);
        children.exitCodes[pid] = DecodeStatus(status);
        children.changed.notify_all();
    }).detach();
    return pid;
}

std::optional<int> Wait(int pid, std::uint32_t timeoutMs) {
    Children& children = Started();
    std::unique_lock lock(children.mutex);
    auto done = [&] {
        const auto it = children.exitCodes.find(pid);
        return it == children.exitCodes.end() || it->second.has_value();
    };
    if (!children.changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), done)) {
        return std::nullopt;
    }
    const auto it = children.exitCodes.find(pid);
    if (it == children.exitCodes.end()) {
        return std::nullopt;
    }
    const std::optional<int> code = it->second;
    children.exitCodes.erase(it);
    return code;
}

std::string ExecutableName(int pid) {
    const std::string exe = "/proc/" + std::to_string(pid) + "/exe";
    char target[4096];
    const ssize_t length = readlink(exe.c_str(), target, sizeof target - 1);
    if (length > 0) {
        std::string path(target, static_cast<size_t>(length));
        const std::string deleted = " (deleted)";
        if (path.size() > deleted.size() &&
            path.compare(path.size() - deleted.size(), deleted.size(), deleted) == 0) {
            path.resize(path.size() - deleted.size());
        }
        return paths::FileName(path);
    }
    return {};
}

std::vector<int> FindOwnProcessesByName(const std::string& name) {
    std::vector<int> found;
    const uid_t me = getuid();
    for (int pid : AllPids()) {
        if (OwnerOf(pid) == me && ExecutableName(pid) == name) {
            found.push_back(pid);
        }
    }
    return found;
}

std::vector<int> FindChildren() {
    std::vector<int> found;
    const int me = getpid();
    for (int pid : AllPids()) {
        std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
        std::string line;
        if (!std::getline(stat, line)) {
            continue;
        }
        // "pid (comm) state ppid ...": comm may hold spaces and parentheses, so read after
        // the last ")".
        const size_t close = line.rfind(')');
        if (close == std::string::npos) {
            continue;
        }
        char state = 0;
        int parent = 0;
        if (std::sscanf(line.c_str() + close + 1, " %c %d", &state, &parent) == 2 && parent == me) {
            found.push_back(pid);
        }
    }
    return found;
}

bool Terminate(int pid, bool force) {
    if (pid <= 1 || OwnerOf(pid) != getuid()) {
        return false;
    }
    return kill(pid, force ? SIGKILL : SIGTERM) == 0;
}

}  // namespace yav::process
