#pragma once
// The media manager as the room's handlers call it (IRoomMedia): receptions on the channel
// objects of the media ids, rendered into the video windows' frame sinks, and the audio of
// the own channel.

#include "client/roomapi/RoomChildren.h"

class XMainFrame;

class RoomMedia : public IRoomMedia {
public:
    explicit RoomMedia(XMainFrame& frame) : m_frame(frame) {}

    void StartRecvAudio(std::uint16_t userId, std::uint32_t value) override;
    void StopRecvAudio(std::uint16_t userId) override;
    void SetAudioSend(bool on) override;
    void ControlCamera(std::uint8_t channel, std::uint32_t command) override;
    // The window's frame sink receives the pictures (a window without one gets none).
    bool StartRecvVideo(std::uint16_t wMediaId, std::uint32_t mode, IVideoWindow* window,
                        std::uint32_t message) override;
    bool StopRecvVideo(std::uint16_t wMediaId) override;
    bool HasStream(std::uint16_t wMediaId) override;
    std::uint8_t GetCapturedChannels() override;

private:
    XMainFrame& m_frame;
};
