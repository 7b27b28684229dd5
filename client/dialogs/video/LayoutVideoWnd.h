#pragma once
// A room video window (CDlgVideo) as the layout manager places and fills it. The layout
// manager knows the window only through ILayoutVideoWnd; the room hands it Make as the way its
// windows are made.

#include <memory>

#include "client/media/ILayoutVideoWnd.h"
#include "client/roomapi/RoomChildren.h"

class CDlgVideo;

// It is also the window the video cycle and the room's handlers are given, so that they reach
// the video window through one object.
class LayoutVideoWnd : public ILayoutVideoWnd, public IRoomVideoWindow {
public:
    // Creates the window as a child of the room, told its slot; display mode 0 is a layout
    // window, 1 the preview.
    LayoutVideoWnd(QWidget* room, int slot, int displayMode = 0);
    ~LayoutVideoWnd() override;

    // A layout window of the slot (the layout manager's video factory).
    static std::unique_ptr<ILayoutVideoWnd> Make(QWidget* room, int slot);

    CDlgVideo& Window() { return *m_pWnd; }

    // --- IVideoWindow and IRoomVideoWindow ---
    std::uint16_t GetMediaId() override;
    void StopCycling(bool leaveCycle) override;
    bool CanShowCaption() override;
    int GetClientHeight() override;
    void RepostZoom() override;
    bool IsPopupStyle() override;
    void ShowSpeakState(bool speaking) override;
    void SetSpeakIndicator(bool on) override;

    // --- ILayoutVideoWnd ---
    IRoomVideoWindow* GetRoomWindow() override { return this; }

    QWidget* GetWidget() override;
    IVideoWindow* GetCycleWindow() override;
    kromedia::IFrameSink* GetFrameSink() override;
    std::uint16_t GetUserId() override;
    void SetUserId(std::uint16_t wMediaId) override;
    void SetMediaId(std::uint16_t wMediaId, bool stop) override;
    void SetOwnerSlot(std::uint32_t value) override;
    // A receiving window is one the cycle fills: it shows the cycle indicator.
    bool IsReceiving() override;
    void SetReceiving(bool receiving) override;
    void SetVideoState(bool on) override;
    void SetVideoNameVisible(bool visible) override;
    void UpdateCaption(const QString& caption) override;
    void SetVideoOption(int option) override;
    void SetNameColor(std::uint32_t colour) override;
    void ReloadTexts() override;
    void SetStream(kromedia::IMediaStream* stream) override;
    int GetSlotIndex() override;
    void SetSlotIndex(int slot) override;
    bool IsZoomed() override;
    void SetZoomed(bool zoomed) override;
    void RelayoutChildren() override;

private:
    std::unique_ptr<CDlgVideo> m_pWnd;
};
