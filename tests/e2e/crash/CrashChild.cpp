// A program that starts like the client (configuration manager, crash handler, logging) and
// then fails the way its argument says: "segv", "abort", "throw", or "two" (two threads fault,
// the second while the first is inside its handler).

#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <thread>

#include "SegvBlocked.h"
#include "app/YavClientApp.h"

// Volatile so that the compiler keeps the faulting access.
volatile int* volatile g_pNowhere = nullptr;

extern "C" __attribute__((noinline)) void CrashWithNullWrite() {
    *g_pNowhere = 42;
}

__attribute__((noinline)) void CrashWithUncaughtException() {
    throw std::runtime_error("report this failure");
}

void CrashInTwoThreads() {
    std::atomic<long> first{0};
    std::thread([&first] {
        first = syscall(SYS_gettid);
        CrashWithNullWrite();
    }).detach();
    auto firstInsideHandler = [&first] {
        return first != 0 &&
               yav::testing::InsideSegvHandler("/proc/self/task/" + std::to_string(first.load()));
    };
    for (int i = 0; i < 20000 && !firstInsideHandler(); ++i) {
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
