#pragma once
// The speak pop-up over a participant's video: the left button grants or takes back the
// participant's right to speak, the right one starts or stops the broadcast of the window's
// channel. Its video window creates it, feeds it the media id, the anchor rectangle and both
// states, and shows it while the mouse is over the video; it hides itself when the mouse has
// left the anchor.

#include <QImage>
#include <QRect>

#include <functional>
#include <memory>

#include "CButtonCheck.h"
#include "TreeActions.h"
#include "platform/window/Dialog.h"

class CDlgSpeek : public yav::Dialog {
public:
    static constexpr UINT IDD = 141;
    static constexpr int IDC_SPEAK = 1056;
    static constexpr int IDC_BROADCAST = 1240;
    static constexpr UINT kHideTimer = 1;
    static constexpr UINT kHideCheckMs = 100;
    static constexpr int kButtonSize = 36;
    static constexpr int kButtonGap = 4;

    // The participant record of a media id (null when unknown), and the channels broadcast now.
    using RecordLookup = std::function<std::shared_ptr<ST_USER_ITEM_DEPT>(std::uint16_t)>;
    using BroadcastCount = std::function<int()>;

    CDlgSpeek(QWidget* parent, yav::users::ITreeActionHost& host, RecordLookup lookup,
              BroadcastCount broadcastCount);

    void SetUserId(std::uint16_t mediaId) { m_wUserId = mediaId; }
    std::uint16_t GetUserId() const { return m_wUserId; }
    void SetAnchorRect(int left, int top, int right, int bottom);
    void SetSpeakState(std::uint8_t state);
    void SetBroadcastIcon(std::uint8_t on);
    std::uint8_t GetSpeakState() const { return m_btnSpeak->GetCheck(); }
    std::uint8_t GetBroadcastIcon() const { return m_btnBroadcast->GetCheck(); }
    void StartHideTimer() { SetTimer(kHideTimer, kHideCheckMs); }
    void StopHideTimer() { KillTimer(kHideTimer); }

    void OnBtnSpeak();
    void OnBtnBroadcast();
    // Draws the buttons whose picture changed (or both) and shows the picture.
    void UpdateLayer(bool full);
    void LayoutButtons();
    // The cursor position the hide timer reads (tests replace it).
    void SetCursorSource(std::function<QPoint()> source) { m_cursor = std::move(source); }

protected:
    BOOL OnInitDialog() override;
    void OnTimer(UINT id) override;
    void OnSize(int cx, int cy) override;

private:
    yav::users::SpeakButtons m_buttons;
    RecordLookup m_lookup;
    BroadcastCount m_broadcastCount;
    CButtonCheck* m_btnSpeak = nullptr;
    CButtonCheck* m_btnBroadcast = nullptr;
    std::uint16_t m_wUserId = 0;
    QRect m_rcAnchor;
    std::uint8_t m_bySpeakState = 0;
    QImage* m_pBroadcastOn = nullptr;
    QImage* m_pBroadcastOff = nullptr;
    QImage* m_pSpeakOn = nullptr;
    QImage* m_pSpeakOff = nullptr;
    QImage m_picture;
    bool m_bDrawn = false;
    std::function<QPoint()> m_cursor;
};
