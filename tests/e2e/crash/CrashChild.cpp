// A program that starts like the client (configuration manager, crash handler, logging) and
// then fails the way its argument says: "segv", "abort" or "throw".

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "app/YavClientApp.h"

// Volatile so that the compiler keeps the faulting access.
volatile int* volatile g_pNowhere = nullptr;

extern "C" __attribute__((noinline)) void CrashWithNullWrite() {
    *g_pNowhere = 42;
}

__attribute__((noinline)) void CrashWithUncaughtException() {
    throw std::runtime_error("report this failure");
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
    }
    std::puts("no crash");
    return 0;
}
