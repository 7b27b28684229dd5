#include "SendGate.h"

namespace kromedia {

void SendGate::SetSwitch(relay::Kind kind, bool on) {
    std::lock_guard<std::mutex> lock(m_mutex);
    (kind == relay::Kind::Video ? m_video : m_audio) = on;
}

void SendGate::SetMuted(bool muted) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_muted = muted;
}

void SendGate::SetAudience(const relay::Audience& audience) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_audience = audience;
}

void SendGate::ResetAudience() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_audience = {};
}

bool SendGate::Open(relay::Kind kind) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return kind == relay::Kind::Video ? m_video && m_audience.video
                                      : m_audio && !m_muted && m_audience.audio;
}

}  // namespace kromedia
