// A program that starts like the client (configuration manager, crash handler, logging) and
// then fails the way its argument says: "segv", "abort", "throw", "two" (two threads fault,
// the second while the first is inside its handler), or a worker thread overflows its stack:
// "overflow-xthread" (an XThread) or "overflow-thread" (a platform thread).

#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <thread>

#include "Common/XThread.h"
#include "SegvBlocked.h"
#include "app/YavClientApp.h"
#include "platform/core/Thread.h"

// Volatile so that the compiler keeps the faulting access.
volatile int* volatile g_pNowhere = nullptr;

// The null write is the fault under test: UndefinedBehaviorSanitizer must let it through to
// the crash handler as the program would meet it.
extern "C" __attribute__((noinline, no_sanitize("undefined"))) void CrashWithNullWrite() {
    *g_pNowhere = 42;
}

__attribute__((noinline)) void CrashWithUncaughtException() {
    throw std::runtime_error("report this failure");
}

// Each call holds a frame the compiler cannot drop; the recursion ends only at the guard page
// below the thread's stack (the depth never comes near the bound, which only keeps the compiler
// from proving the recursion endless).
volatile int g_nDepthBound = 1 << 30;

extern "C" __attribute__((noinline)) int OverflowTheStack(int depth) {
    volatile char frame[1024];
    frame[0] = static_cast<char>(depth);
    if (depth >= g_nDepthBound) {
        return frame[0];
    }
    return OverflowTheStack(depth + 1) + frame[0];
}

class OverflowingThread : public XThread {
protected:
    std::uint32_t Run() override { return static_cast<std::uint32_t>(OverflowTheStack(0)); }
};

void OverflowInXThread() {
    OverflowingThread thread;
    thread.Start();
    thread.Join();
}

void OverflowInPlatformThread() {
    yav::Thread thread;
    thread.Start([] { return static_cast<std::uint32_t>(OverflowTheStack(0)); });
    thread.Join();
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
    } else if (std::strcmp(mode, "overflow-xthread") == 0) {
        OverflowInXThread();
    } else if (std::strcmp(mode, "overflow-thread") == 0) {
        OverflowInPlatformThread();
    }
    std::puts("no crash");
    return 0;
}
