#pragma once
// One of the layout manager's 37 video windows as the manager moves and fills it. The video
// window class is wrapped by an adapter that implements this; tests use a plain widget.
// Every operation runs on the GUI thread.

#include <QString>

#include <cstdint>

class QWidget;
class IVideoWindow;
class IRoomVideoWindow;
namespace kromedia {
class IFrameSink;
class IMediaStream;
}  // namespace kromedia

class ILayoutVideoWnd {
public:
    virtual ~ILayoutVideoWnd() = default;

    // The window itself (its identity in the busy list, what is moved and re-parented).
    virtual QWidget* GetWidget() = 0;
    // The window as the video cycle knows it.
    virtual IVideoWindow* GetCycleWindow() = 0;
    // The window as the room's handlers reach it (null: they skip it).
    virtual IRoomVideoWindow* GetRoomWindow() = 0;
    // What a received stream renders into (null: the window draws no frames).
    virtual kromedia::IFrameSink* GetFrameSink() = 0;

    // The media id shown (0 = empty window); 0 clears captions and overlays.
    virtual std::uint16_t GetUserId() = 0;
    virtual void SetUserId(std::uint16_t wMediaId) = 0;
    // The stream id; with stop set a running stream is stopped first.
    virtual void SetMediaId(std::uint16_t wMediaId, bool stop) = 0;
    // The stream parameter of a placed video.
    virtual void SetOwnerSlot(std::uint32_t value) = 0;
    virtual bool IsReceiving() = 0;
    virtual void SetReceiving(bool receiving) = 0;
    // The window's video state flag and its status overlay.
    virtual void SetVideoState(bool on) = 0;
    // Names shown on the window (the application's show setting).
    virtual void SetVideoNameVisible(bool visible) = 0;
    virtual void UpdateCaption(const QString& caption) = 0;
    // The room's video option, passed to every window.
    virtual void SetVideoOption(int option) = 0;
    // Colour of the name caption (0x00BBGGRR).
    virtual void SetNameColor(std::uint32_t colour) = 0;
    // The language changed: texts and the images that carry text.
    virtual void ReloadTexts() = 0;
    // The stream object that renders into the window (null: none).
    virtual void SetStream(kromedia::IMediaStream* stream) = 0;

    virtual int GetSlotIndex() = 0;
    virtual void SetSlotIndex(int slot) = 0;
    virtual bool IsZoomed() = 0;
    virtual void SetZoomed(bool zoomed) = 0;
    // Re-places the overlays after a move.
    virtual void RelayoutChildren() = 0;
};
