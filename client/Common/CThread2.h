#pragma once
// A second, independent thread base. A class that needs two worker threads derives from
// XThread and CThread2; each base has its own thread, started and joined on its own
// (XThread::Start / CThread2::Start). Its body has a name of its own, Run2, so that the
// derived class can give each thread a different body.

#include <cstdint>

#include "platform/core/Thread.h"

class CThread2 {
public:
    CThread2() = default;
    virtual ~CThread2();
    CThread2(const CThread2&) = delete;
    CThread2& operator=(const CThread2&) = delete;

    bool Start();
    void Join();

    bool IsStarted() const { return m_thread.IsStarted(); }
    std::uint32_t GetThreadId() const { return m_thread.Id(); }
    std::uint32_t GetExitCode() const { return m_thread.ExitCode(); }

protected:
    // The second thread's body; returns 0 at once unless overridden.
    virtual std::uint32_t Run2() { return 0; }

private:
    static std::uint32_t ThreadEntry(CThread2* self);

    yav::Thread m_thread;
};
