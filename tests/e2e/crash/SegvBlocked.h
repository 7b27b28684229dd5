#pragma once
// Whether a thread is inside its SIGSEGV handler: the signal is blocked while the handler runs
// (the handler is installed without SA_NODEFER), and /proc shows the thread's blocked set.

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <string>

namespace yav::testing {

// taskDir: "/proc/<pid>/task/<thread id>".
inline bool InsideSegvHandler(const std::string& taskDir) {
    std::ifstream status(taskDir + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("SigBlk:", 0) == 0) {
            return (std::strtoull(line.c_str() + 7, nullptr, 16) >> (SIGSEGV - 1)) & 1u;
        }
    }
    return false;
}

}  // namespace yav::testing
