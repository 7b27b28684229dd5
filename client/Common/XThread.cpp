#include "XThread.h"

#include "platform/core/Log.h"

XThread::~XThread() {
    if (m_thread.IsStarted()) {
        YLOG_WARN("XThread destroyed while its thread %u is held: joining", m_thread.Id());
        m_thread.Join();
    }
}

std::uint32_t XThread::ThreadEntry(XThread* self) {
    return self->Run();
}

bool XThread::Start() {
    return m_thread.Start([this] { return ThreadEntry(this); });
}

void XThread::Join() {
    m_thread.Join();
}
