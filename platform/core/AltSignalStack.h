#pragma once
// An alternate signal stack for the calling thread, for as long as the object lives. A fatal-
// signal handler installed with SA_ONSTACK runs on it, so a thread that overflowed its own stack
// still gets its crash report. The kernel keeps one such stack per thread and a new thread starts
// without one: every thread the program starts creates one of these first thing in its body.
// Whatever the thread had before (a sanitizer's stack, an enclosing AltSignalStack) is put back
// when the object goes, so the objects nest. Create and destroy it on the same thread.

#include <cstddef>

namespace yav {

class AltSignalStack {
public:
    // Room for the crash handler's report writing and symbol lookup, above the system minimum.
    static constexpr std::size_t kMinimumBytes = 128 * 1024;

    AltSignalStack();
    ~AltSignalStack();
    AltSignalStack(const AltSignalStack&) = delete;
    AltSignalStack& operator=(const AltSignalStack&) = delete;

    // False when the stack could not be made or installed (logged); the thread runs on without.
    bool IsInstalled() const { return installed_; }

private:
    void* mapping_ = nullptr;
    std::size_t mappingBytes_ = 0;
    bool installed_ = false;
    // The thread's previous alternate stack, restored on destruction.
    void* previousBase_ = nullptr;
    std::size_t previousBytes_ = 0;
    int previousFlags_ = 0;
};

}  // namespace yav
