#pragma once
// Events of the media component. It calls these on its own threads; an implementation posts
// and returns, except GetLocalVideo, which answers at once.

#include <cstdint>

class IMediaHandler {
public:
    virtual ~IMediaHandler() = default;

    // 0 the media server connection: 0 failed, else connected.
    virtual void OnMediaServerConnected(std::intptr_t status) { (void)status; }
    // 1 the stream server connection: 0 failed, else connected.
    virtual void OnStreamServerConnected(std::intptr_t status) { (void)status; }
    // 2 a media result; the second argument is the outcome (0 failed).
    virtual void OnMediaEvent3010(std::intptr_t value, std::intptr_t status) {
        (void)value;
        (void)status;
    }
    // 3 the local picture source of an own channel (only the low three bits count); null when
    // the channel has none.
    virtual void* GetLocalVideo(std::uint32_t channel, std::intptr_t value) = 0;
    // 4 a media result; the second argument is the outcome.
    virtual void OnMediaEvent3013(std::intptr_t value, std::intptr_t status) {
        (void)value;
        (void)status;
    }
    // 5, 6 media results: 0 failed, else succeeded.
    virtual void OnMediaEvent300F(std::intptr_t status) { (void)status; }
    virtual void OnMediaEvent3012(std::intptr_t status) { (void)status; }
    // 7 a media notice carrying a 16-bit value.
    virtual void OnMediaEvent3018(std::intptr_t value) { (void)value; }
};
