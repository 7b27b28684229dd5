#include "FrameQueue.h"

#include <algorithm>

namespace kromedia {

bool FrameQueue::Push(std::vector<uint8_t> frame, bool control) {
    if (frame.empty()) {
        return true;
    }
    const size_t limit = control ? 2 * m_limitBytes : m_limitBytes;
    if (m_bytes + frame.size() > limit) {
        ++m_dropped;
        return false;
    }
    m_bytes += frame.size();
    m_frames.push_back(std::move(frame));
    return true;
}

const uint8_t* FrameQueue::Pending(size_t* length) const {
    if (m_frames.empty()) {
        *length = 0;
        return nullptr;
    }
    *length = m_frames.front().size() - m_written;
    return m_frames.front().data() + m_written;
}

void FrameQueue::Consumed(size_t length) {
    while (length > 0 && !m_frames.empty()) {
        const size_t rest = m_frames.front().size() - m_written;
        const size_t taken = std::min(rest, length);
        m_written += taken;
        m_bytes -= taken;
        length -= taken;
        if (m_written == m_frames.front().size()) {
            m_frames.pop_front();
            m_written = 0;
        }
    }
}

void FrameQueue::Clear() {
    m_frames.clear();
    m_written = 0;
    m_bytes = 0;
}

}  // namespace kromedia
