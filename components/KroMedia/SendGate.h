#pragma once
// Whether a channel may send its camera and its microphone now: only while the user's own
// switch is on (the camera button, SetAudioSend, the microphone not muted) and the relay has
// said that someone may receive the stream. A new session starts with the relay's word "no".

#include <mutex>

#include "RelayWire.h"

namespace kromedia {

class SendGate {
public:
    // The user's switch of a kind; on until switched off.
    void SetSwitch(relay::Kind kind, bool on);
    // The microphone's mute: muted sound is not sent at all.
    void SetMuted(bool muted);
    // The relay's last word about the session's audience.
    void SetAudience(const relay::Audience& audience);
    // A session starts or ends: nothing goes out until the relay speaks again.
    void ResetAudience();
    bool Open(relay::Kind kind) const;

private:
    mutable std::mutex m_mutex;
    bool m_video = true;
    bool m_audio = true;
    bool m_muted = false;
    relay::Audience m_audience;
};

}  // namespace kromedia
