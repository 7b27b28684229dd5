#pragma once
// What the media manager asks of the room window (XMainFrame with its dialog and conference
// manager). All calls come on the room's thread.

#include <cstddef>
#include <cstdint>

namespace kromedia {
class INotifyTarget;
}

class IMediaRoom {
public:
    // The conference's limits for one participant's video.
    struct VideoLimits {
        int channels = 8;   // own video channels
        int maxPixels = 0;  // width * height; 0 = no limit
        int maxWidth = 0;   // the picture used when a size exceeds maxPixels
        int maxHeight = 0;
        int maxBitRateKbps = 0;  // 0 = no limit
    };

    virtual ~IMediaRoom() = default;

    // Six option bytes for the conference server; 255 keeps a byte.
    virtual void SetConfigBytes(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d,
                                std::uint8_t e, std::uint8_t f) = 0;
    // Closes the preview windows that show an own channel.
    virtual void CloseChannelWindow(std::uint16_t wMediaId) = 0;
    virtual std::uint16_t GetMyUserId() const = 0;
    virtual bool IsMyChannel(std::uint16_t wMediaId) const = 0;
    virtual std::uint32_t GetConfId() const = 0;
    virtual bool IsMediaIdBroadcast(std::uint16_t wMediaId) = 0;
    // The 5-second poll of unplugged broadcast cameras.
    virtual void SetDevicePollTimer(int on) = 0;
    virtual void BroadcastVideo(std::uint16_t wMediaId, std::uint8_t on) = 0;
    // A user-to-user command with its payload.
    virtual void TransmitToUser(std::uint16_t to, std::uint16_t subCommand, const void* data,
                                std::size_t length) = 0;
    // A channel could not apply a changed picture setting.
    virtual void OnVideoOpenResult(std::uint16_t mediaId, std::uint16_t result,
                                   std::uint32_t value) = 0;
    // Tells the user that no camera captures any more after a settings change.
    virtual void ShowVideoStoppedNotice() = 0;
    // Where the component posts camera and audio notices (the room window).
    virtual kromedia::INotifyTarget* GetMediaNotifyTarget() = 0;
    virtual VideoLimits GetVideoLimits() const = 0;
};
