// The main frame's conference operations: receiving a participant's streams when the stream
// server comes up, the room's own layout and its paging, the video cycle's window switch and
// the small accessors the room's handlers use.

#include "XConfManager.h"
#include "XMainFrame.h"
#include "platform/core/Log.h"

void XMainFrame::AddRecvForUser(ST_USER_ITEM_DEPT*, const ST_USER_PRIVATEDATA*) {
    YLOG_DEBUG("AddRecvForUser pending");
}

void XMainFrame::ResetVideoLayoutState(uint32_t) {
    YLOG_DEBUG("ResetVideoLayoutState pending");
}

int XMainFrame::LayoutVideoWindows(int, int) {
    YLOG_DEBUG("LayoutVideoWindows pending");
    return 0;
}

void XMainFrame::CloseAllVideoWindows() {
    YLOG_DEBUG("CloseAllVideoWindows pending");
}

void XMainFrame::AssignChannelToWindow(IVideoWindow*, uint16_t, uint16_t* oldMediaId) {
    if (oldMediaId != nullptr) {
        *oldMediaId = 0;
    }
    YLOG_DEBUG("AssignChannelToWindow pending");
}

int XMainFrame::IsDocShareActive() const {
    return 0;
}

void XMainFrame::SetUserStateOnce(uint16_t userId, uint32_t state) {
    if (m_pConfManager) {
        m_pConfManager->SetUserState(userId, state, 1);
    }
}

void XMainFrame::SendCameraControl(uint16_t, uint32_t) {
    YLOG_DEBUG("SendCameraControl pending");
}

int XMainFrame::HasZoomedVideoWindow() const {
    return 0;
}

int XMainFrame::IsShareSourceMatched() const {
    return 0;
}

uint32_t XMainFrame::GetLocalFileSize(const QString&) {
    return 0;
}

int XMainFrame::CountGroupUsers(uint32_t) {
    YLOG_DEBUG("CountGroupUsers pending");
    return 0;
}

void XMainFrame::CreateRoomServices() {
    yav::room::RoomChildFactories& make = yav::room::Children();
    m_pRoomMedia = make.roomMedia ? make.roomMedia() : nullptr;
    if (m_pRoomMedia == nullptr) {
        MissingChild("XMediaManager (reception)");
    }
}
