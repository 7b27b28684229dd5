#pragma once
// The speak pop-up as a video window of the room owns it: a CDlgSpeek over the window whose
// buttons reach the room's conference manager, with the participant records and the broadcast
// count of the room. Its anchor is the video window: the pop-up hides once the cursor has left
// that window.

#include <QPointer>

#include <memory>

#include "RoomActionHost.h"
#include "client/dialogs/users/CDlgSpeek.h"
#include "client/dialogs/video/IVideoWindowHost.h"

class XMainFrame;

class RoomSpeakPopup : public ISpeakPopup {
public:
    // Null when the pop-up could not be made.
    static std::unique_ptr<RoomSpeakPopup> Create(XMainFrame& room, QWidget* videoWindow);
    ~RoomSpeakPopup() override;

    CDlgSpeek* GetPopup() const { return m_popup; }

    QWidget* GetWidget() override { return m_popup; }
    void SetBroadcastIcon(bool on) override;
    void SetSpeakState(std::uint8_t state) override;
    void SetUserId(std::uint16_t wMediaId) override;
    void StartHideTimer() override;
    void StopHideTimer() override;

private:
    RoomSpeakPopup(XMainFrame& room, QWidget* videoWindow);
    // The anchor follows the video window wherever it is now.
    void AnchorToVideoWindow();

    QPointer<QWidget> m_videoWindow;
    RoomActionHost m_host;
    QPointer<CDlgSpeek> m_popup;
};
