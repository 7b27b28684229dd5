#include "CThread2.h"

#include "platform/core/Log.h"

CThread2::~CThread2() {
    if (m_thread.IsStarted()) {
        YLOG_WARN("CThread2 destroyed while its thread %u is held: joining", m_thread.Id());
        m_thread.Join();
    }
}

std::uint32_t CThread2::ThreadEntry(CThread2* self) {
    return self->Run2();
}

bool CThread2::Start() {
    return m_thread.Start([this] { return ThreadEntry(this); });
}

void CThread2::Join() {
    m_thread.Join();
}
