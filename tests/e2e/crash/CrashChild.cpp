// A program that starts like the client (configuration manager, crash handler, logging) and
// then fails the way its argument says: "segv", "abort", "throw", or "two" (two threads fault,
// the second while the first is inside its handler).

#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <string>
#include <thread>

#include "app/YavClientApp.h"

// Volatile so that the compiler keeps the faulting access.
volatile int* volatile g_pNowhere = nullptr;

extern "C" __attribute__((noinline)) void CrashWithNullWrite() {
    *g_pNowhere = 42;
}

__attribute__((noinline)) void CrashWithUncaughtException() {
    throw std::runtime_error("report this failure");
}

// True when the thread has SIGSEGV blocked, as it has while its SIGSEGV handler runs.
bool InsideSegvHandler(long threadId) {
    std::ifstream status("/proc/self/task/" + std::to_string(threadId) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("SigBlk:", 0) == 0) {
            const unsigned long long blocked = std::strtoull(line.c_str() + 7, nullptr, 16);
            return (blocked >> (SIGSEGV - 1)) & 1u;
        }
    }
    return false;
}

void CrashInTwoThreads() {
    std::atomic<long> first{0};
    std::thread([&first] {
        first = syscall(SYS_gettid);
        CrashWithNullWrite();
    }).detach();
    for (int i = 0; i < 20000 && !(first != 0 && InsideSegvHandler(first)); ++i) {
        usleep(1000);
    }
    CrashWithNullWrite();
}

int main(int argc, char** argv) {
    CYavClientApp app(argc, argv);
    app.ConfigureLogging();
    const char* mode = argc > 1 ? argv[1] : "";
    if (std::strcmp(mode, "segv") == 0) {
        CrashWithNullWrite();
    } else if (std::strcmp(mode, "abort") == 0) {
        std::abort();
    } else if (std::strcmp(mode, "throw") == 0) {
        CrashWithUncaughtException();
    } else if (std::strcmp(mode, "two") == 0) {
        CrashInTwoThreads();
    }
    std::puts("no crash");
    return 0;
}
