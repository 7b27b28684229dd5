#include "RoomSpeakPopup.h"

#include "XMainFrame.h"

std::unique_ptr<RoomSpeakPopup> RoomSpeakPopup::Create(XMainFrame& room, QWidget* videoWindow) {
    std::unique_ptr<RoomSpeakPopup> made(new RoomSpeakPopup(room, videoWindow));
    if (made->m_popup == nullptr || !made->m_popup->IsWindow()) {
        return nullptr;
    }
    return made;
}

RoomSpeakPopup::RoomSpeakPopup(XMainFrame& room, QWidget* videoWindow)
    : m_videoWindow(videoWindow), m_host(videoWindow) {
    m_host.SetConfManager(room.GetConfManager());
    QPointer<XMainFrame> owner(&room);
    auto lookup = [owner](std::uint16_t mediaId) -> std::shared_ptr<ST_USER_ITEM_DEPT> {
        std::shared_ptr<ST_USER_ITEM_DEPT> record;
        if (owner == nullptr ||
            !owner->GetUserInfo(record, static_cast<std::uint16_t>(mediaId & ~7u))) {
            return nullptr;
        }
        return record;
    };
    auto broadcastCount = [owner] {
        return owner != nullptr ? owner->GetBroadcastChannelCount() : 0;
    };
    m_popup = new CDlgSpeek(videoWindow, m_host, std::move(lookup), std::move(broadcastCount));
    if (!m_popup->Create(CDlgSpeek::IDD, videoWindow)) {
        delete m_popup;
    }
}

RoomSpeakPopup::~RoomSpeakPopup() {
    delete m_popup.data();
}

void RoomSpeakPopup::SetBroadcastIcon(bool on) {
    if (m_popup != nullptr) {
        m_popup->SetBroadcastIcon(on ? 1 : 0);
    }
}

void RoomSpeakPopup::SetSpeakState(std::uint8_t state) {
    if (m_popup != nullptr) {
        m_popup->SetSpeakState(state);
    }
}

void RoomSpeakPopup::SetUserId(std::uint16_t wMediaId) {
    if (m_popup != nullptr) {
        m_popup->SetUserId(wMediaId);
        if (wMediaId != 0) {
            AnchorToVideoWindow();
        }
    }
}

void RoomSpeakPopup::StartHideTimer() {
    if (m_popup != nullptr) {
        AnchorToVideoWindow();
        m_popup->StartHideTimer();
    }
}

void RoomSpeakPopup::StopHideTimer() {
    if (m_popup != nullptr) {
        m_popup->StopHideTimer();
    }
}

void RoomSpeakPopup::AnchorToVideoWindow() {
    if (m_videoWindow == nullptr) {
        return;
    }
    const QRect onScreen(m_videoWindow->mapToGlobal(QPoint(0, 0)), m_videoWindow->size());
    m_popup->SetAnchorRect(onScreen.left(), onScreen.top(), onScreen.left() + onScreen.width(),
                           onScreen.top() + onScreen.height());
}
