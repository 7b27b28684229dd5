#include "CXBufPool.h"

#include <algorithm>

#include "Common/XAutoCritical.h"
#include "platform/core/Log.h"

class CXBufPool::CallScope {
public:
    explicit CallScope(CXBufPool* pool) : pool_(pool) { pool_->Enter(); }
    ~CallScope() { pool_->Leave(); }
    CallScope(const CallScope&) = delete;
    CallScope& operator=(const CallScope&) = delete;

private:
    CXBufPool* pool_;
};

CXBufPool::CXBufPool(std::uint32_t count, std::uint32_t size)
    : m_nCount(count), m_nSize(size), m_semData(0, count), m_semFree(count, count) {
    m_allBuffers.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        auto* buf = new CXBuf(size);
        m_allBuffers.push_back(buf);
        m_freeQueue.push_back(buf);
    }
}

CXBufPool::~CXBufPool() {
    m_quit.Set();
    {
        // Waiters wake on the quit event and leave; only then may the buffers go.
        std::unique_lock lock(m_callsMutex);
        m_callsDone.wait(lock, [this] { return m_nCallsInside == 0; });
    }
    {
        XAutoCritical lock(&m_csData);
        m_dataQueue.clear();
    }
    {
        XAutoCritical lock(&m_csFree);
        m_freeQueue.clear();
    }
    for (CXBuf* buf : m_allBuffers) {
        delete buf;
    }
}

void CXBufPool::Enter() {
    std::lock_guard lock(m_callsMutex);
    ++m_nCallsInside;
}

void CXBufPool::Leave() {
    std::lock_guard lock(m_callsMutex);
    if (--m_nCallsInside == 0) {
        m_callsDone.notify_all();
    }
}

int CXBufPool::GetCallsInside() {
    std::lock_guard lock(m_callsMutex);
    return m_nCallsInside;
}

bool CXBufPool::Owns(const CXBuf* buf) const {
    return std::find(m_allBuffers.begin(), m_allBuffers.end(), buf) != m_allBuffers.end();
}

CXBuf* CXBufPool::Take(std::deque<CXBuf*>& queue, yav::CriticalSection& section,
                       yav::Semaphore& semaphore, std::uint32_t timeoutMs) {
    CallScope scope(this);
    // The quit event is first, so it wins when both are signalled.
    if (yav::WaitForAny({&m_quit, &semaphore}, timeoutMs) != 1) {
        return nullptr;
    }
    XAutoCritical lock(&section);
    if (queue.empty()) {
        return nullptr;
    }
    CXBuf* buf = queue.front();
    queue.pop_front();
    return buf;
}

void CXBufPool::Give(std::deque<CXBuf*>& queue, yav::CriticalSection& section,
                     yav::Semaphore& semaphore, CXBuf* buf) {
    if (buf == nullptr) {
        return;
    }
    CallScope scope(this);
    if (!Owns(buf)) {
        YLOG_WARN("CXBufPool: a buffer of another pool was handed in and ignored");
        return;
    }
    XAutoCritical lock(&section);
    if (std::find(queue.begin(), queue.end(), buf) != queue.end()) {
        YLOG_WARN("CXBufPool: a buffer was queued twice; the second time is ignored");
        return;
    }
    queue.push_back(buf);
    semaphore.Release(1);
}

CXBuf* CXBufPool::GetFreeBuf(std::uint32_t timeoutMs) {
    return Take(m_freeQueue, m_csFree, m_semFree, timeoutMs);
}

CXBuf* CXBufPool::GetDataBuf(std::uint32_t timeoutMs) {
    return Take(m_dataQueue, m_csData, m_semData, timeoutMs);
}

void CXBufPool::ReleaseFreeBuf(CXBuf* buf) {
    Give(m_freeQueue, m_csFree, m_semFree, buf);
}

void CXBufPool::PutDataBuf(CXBuf* buf) {
    Give(m_dataQueue, m_csData, m_semData, buf);
}

void CXBufPool::StopWait() {
    m_quit.Set();
}

void CXBufPool::ResetWait() {
    m_quit.Reset();
}
