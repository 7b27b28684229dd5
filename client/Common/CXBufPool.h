#pragma once
// A fixed pool of CXBuf buffers moving between a producer and a consumer: the producer takes a
// free buffer (GetFreeBuf), fills it and queues it (PutDataBuf); the consumer takes it
// (GetDataBuf), uses it and gives it back (ReleaseFreeBuf). Takes block up to a time-out;
// StopWait wakes every waiter for shut-down. Buffers are handed over first in, first out.
// The pool is destroyed only after every call into it has returned.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

#include "Common/CXBuf.h"
#include "platform/core/CriticalSection.h"
#include "platform/core/Event.h"

class CXBufPool {
public:
    CXBufPool(std::uint32_t count, std::uint32_t size);
    virtual ~CXBufPool();
    CXBufPool(const CXBufPool&) = delete;
    CXBufPool& operator=(const CXBufPool&) = delete;

    // The front buffer of the queue, or null on time-out (ms; yav::kInfinite waits forever)
    // or while StopWait is in force.
    CXBuf* GetFreeBuf(std::uint32_t timeoutMs);
    CXBuf* GetDataBuf(std::uint32_t timeoutMs);

    // Appends the buffer to the queue; null and buffers of another pool are ignored.
    void ReleaseFreeBuf(CXBuf* buf);
    void PutDataBuf(CXBuf* buf);

    // Every current and later take returns null at once, until ResetWait.
    void StopWait();
    void ResetWait();

    std::uint32_t GetCount() const { return m_nCount; }
    // Calls now running inside the pool (waiting takes included).
    int GetCallsInside();
    std::uint32_t GetSize() const { return m_nSize; }

private:
    CXBuf* Take(std::deque<CXBuf*>& queue, yav::CriticalSection& section, yav::Semaphore& semaphore,
                std::uint32_t timeoutMs);
    void Give(std::deque<CXBuf*>& queue, yav::CriticalSection& section, yav::Semaphore& semaphore,
              CXBuf* buf);
    bool Owns(const CXBuf* buf) const;

    // Counts the callers inside the pool, so the destructor can wait for them to leave.
    class CallScope;
    void Enter();
    void Leave();

    const std::uint32_t m_nCount;
    const std::uint32_t m_nSize;
    yav::CriticalSection m_csFree;
    yav::CriticalSection m_csData;
    std::deque<CXBuf*> m_dataQueue;
    std::deque<CXBuf*> m_freeQueue;
    std::vector<CXBuf*> m_allBuffers;
    yav::Semaphore m_semData;
    yav::Semaphore m_semFree;
    yav::Event m_quit{true, false};

    std::mutex m_callsMutex;
    std::condition_variable m_callsDone;
    int m_nCallsInside = 0;
};
