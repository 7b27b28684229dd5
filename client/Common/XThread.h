#pragma once
// Base of the program's worker threads: a derived class implements Run, which must return on
// its own (through a flag or event of the derived class). The owner starts and joins; a
// derived class stops and joins its thread in its own destructor, and the base joins as a
// last resort so the thread never runs on freed memory.

#include <cstdint>

#include "platform/core/Thread.h"

class XThread {
public:
    XThread() = default;
    virtual ~XThread();
    XThread(const XThread&) = delete;
    XThread& operator=(const XThread&) = delete;

    // Starts Run on a new thread unless one is held; true when a thread is held afterwards.
    bool Start();
    // Waits without limit for the thread to end and releases it; at once when none is held.
    void Join();

    bool IsStarted() const { return m_thread.IsStarted(); }
    std::uint32_t GetThreadId() const { return m_thread.Id(); }
    std::uint32_t GetExitCode() const { return m_thread.ExitCode(); }

protected:
    // The thread's body; its result is the thread's exit code.
    virtual std::uint32_t Run() = 0;

private:
    static std::uint32_t ThreadEntry(XThread* self);

    yav::Thread m_thread;
};
