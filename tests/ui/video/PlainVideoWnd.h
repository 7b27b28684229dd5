#pragma once
// A video window for the layout manager's tests: a plain widget that keeps what the manager
// gives it and paints its state (black while it shows an id, blue while it receives, grey
// when empty) with its caption, so that grabs show the layout.

#include <QString>
#include <QWidget>

#include "client/media/ILayoutVideoWnd.h"
#include "client/roomapi/IVideoWindow.h"
#include "client/roomapi/RoomChildren.h"

namespace layout_test {

class PlainVideoWnd : public QWidget, public ILayoutVideoWnd, public IRoomVideoWindow {
public:
    PlainVideoWnd(QWidget* parent, int slot);

    // --- ILayoutVideoWnd and IVideoWindow ---
    QWidget* GetWidget() override { return this; }
    IVideoWindow* GetCycleWindow() override { return this; }
    IRoomVideoWindow* GetRoomWindow() override { return this; }
    void RepostZoom() override {}
    bool IsPopupStyle() override { return isWindow(); }
    void ShowSpeakState(bool) override {}
    void SetSpeakIndicator(bool) override {}
    kromedia::IFrameSink* GetFrameSink() override { return nullptr; }
    std::uint16_t GetUserId() override { return m_wUserId; }
    void SetUserId(std::uint16_t wMediaId) override;
    std::uint16_t GetMediaId() override { return m_wMediaId; }
    void SetMediaId(std::uint16_t wMediaId, bool stop) override;
    void SetOwnerSlot(std::uint32_t value) override { m_dwOwnerSlot = value; }
    bool IsReceiving() override { return m_bReceiving; }
    void SetReceiving(bool receiving) override;
    void SetVideoState(bool on) override { m_bVideoState = on; }
    void SetVideoNameVisible(bool visible) override;
    void UpdateCaption(const QString& caption) override;
    void SetVideoOption(int option) override { m_nVideoOption = option; }
    void SetNameColor(std::uint32_t colour) override { nameColour = colour; }
    void ReloadTexts() override { ++textReloads; }
    bool IsNameVisible() const { return m_bNameVisible; }
    std::uint32_t nameColour = 0;
    int textReloads = 0;
    void SetStream(kromedia::IMediaStream* stream) override { m_pStream = stream; }
    int GetSlotIndex() override { return m_nSlot; }
    void SetSlotIndex(int slot) override { m_nSlot = slot; }
    bool IsZoomed() override { return m_bZoomed; }
    void SetZoomed(bool zoomed) override { m_bZoomed = zoomed; }
    void RelayoutChildren() override { update(); }
    void StopCycling(bool leaveCycle) override;
    bool CanShowCaption() override { return isVisible() && height() >= 2; }
    int GetClientHeight() override { return height(); }

    QString GetCaption() const { return m_strCaption; }
    std::uint32_t GetOwnerSlot() const { return m_dwOwnerSlot; }
    bool GetVideoState() const { return m_bVideoState; }
    kromedia::IMediaStream* GetStream() const { return m_pStream; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::uint16_t m_wUserId = 0;
    std::uint16_t m_wMediaId = 0;
    std::uint32_t m_dwOwnerSlot = 0;
    bool m_bReceiving = false;
    bool m_bVideoState = false;
    bool m_bNameVisible = true;
    bool m_bZoomed = false;
    int m_nSlot = 0;
    int m_nVideoOption = 0;
    QString m_strCaption;
    kromedia::IMediaStream* m_pStream = nullptr;
};

}  // namespace layout_test
