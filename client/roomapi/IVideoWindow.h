#pragma once
// What the media engine asks of a room video window (the window class implements it). Every
// operation runs on the UI thread.

#include <cstdint>

class IVideoWindow {
public:
    // The media id the window shows (0 = empty window).
    virtual std::uint16_t GetUserId() = 0;
    // Shows the id in the window; 0 empties it.
    virtual void SetUserId(std::uint16_t wMediaId) = 0;
    // The pending id (the one the window is switching to).
    virtual std::uint16_t GetMediaId() = 0;
    // Stores a pending id; with stopOld a running pending stream is stopped and returned to
    // the video cycle first.
    virtual void SetMediaId(std::uint16_t wMediaId, bool stopOld) = 0;
    // Leaves cycling; with leaveCycle the window also removes itself from the video cycle.
    virtual void StopCycling(bool leaveCycle) = 0;
    // The window's picture is usable and the main window is visible.
    virtual bool CanShowCaption() = 0;
    // Height of the client area in pixels.
    virtual int GetClientHeight() = 0;

protected:
    ~IVideoWindow() = default;
};
