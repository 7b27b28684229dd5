#pragma once
// What the video cycle asks of the room (the main frame implements it). Every operation runs
// on the UI thread: the cycle's own thread only posts to it.

#include <cstdint>

class IVideoWindow;

class IVideoCycleHost {
public:
    // Shows the media id in the window; *oldMediaId gets the id the window showed before.
    virtual void AssignChannelToWindow(IVideoWindow* window, std::uint16_t wNewMediaId,
                                       std::uint16_t* oldMediaId) = 0;
    // Sends the room's window layout to the others when this client leads it.
    virtual void SendSyncWndLayout(int repaint) = 0;
    // Stops the reception of the id's stream on the media manager's channel object.
    virtual void StopRecvVideo(std::uint16_t wMediaId) = 0;
    // Sets the media id of one slot of the room's window layout record.
    virtual void SetLayoutSlotMediaId(int slot, std::uint16_t wMediaId) = 0;

protected:
    ~IVideoCycleHost() = default;
};
