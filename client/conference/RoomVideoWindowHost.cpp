#include "RoomVideoWindowHost.h"

#include "XConfManager.h"
#include "XMainFrame.h"
#include "client/media/ILayoutVideoWnd.h"
#include "client/media/VideoCycle.h"
#include "client/roomapi/RoomChildren.h"
#include "components/KroMedia/IKroMedia.h"
#include "config/AppSettings.h"
#include "platform/core/Log.h"

namespace {

constexpr std::uint16_t kSubCommandChannelRequest = 311;

}  // namespace

XLayoutManager* RoomVideoWindowHost::Layout() {
    return dynamic_cast<XLayoutManager*>(m_frame.GetLayoutManager());
}

QWidget* RoomVideoWindowHost::GetMainWindow() {
    return m_frame.IsWindow() ? &m_frame : nullptr;
}

QWidget* RoomVideoWindowHost::GetUserListWindow() {
    // The participant panel is reached through its interface only.
    return nullptr;
}

bool RoomVideoWindowHost::IsMainWindowMinimised() {
    return m_frame.isMinimized();
}

bool RoomVideoWindowHost::IsMainWindowVisible() {
    return m_frame.isVisible();
}

std::uint8_t RoomVideoWindowHost::GetLayoutStateSecond() {
    return m_frame.GetControlStateSecond();
}

bool RoomVideoWindowHost::IsLayoutSyncFlag() {
    return g_AppSettings.freeLayout != 0;
}

bool RoomVideoWindowHost::IsFullVideo() {
    XLayoutManager* layout = Layout();
    return layout != nullptr && layout->IsMaxVideo();
}

bool RoomVideoWindowHost::IsMyRoleState0or5() {
    return m_frame.IsMyRoleState0or5();
}

bool RoomVideoWindowHost::IsMyRoleState2() {
    return m_frame.IsMyRoleState2();
}

bool RoomVideoWindowHost::IsMyRoleActive() {
    return m_frame.IsMyRoleActive();
}

std::uint16_t RoomVideoWindowHost::GetMyUserId() {
    return m_frame.GetMyUserId();
}

bool RoomVideoWindowHost::GetSpeakInfo(std::uint16_t wMediaId, int* speaking, int* broadcast) {
    std::shared_ptr<ST_USER_ITEM_DEPT> user;
    if (!m_frame.GetUserInfo(user, static_cast<std::uint16_t>(wMediaId & ~7u)) || !user) {
        return false;
    }
    const unsigned bit = 1u << (wMediaId & 7u);
    if (speaking != nullptr) {
        *speaking = user->speakState == 2 ? 1 : 0;
    }
    if (broadcast != nullptr) {
        *broadcast = (user->broadcastMask & bit) != 0 ? 1 : (user->channelMask & bit) != 0 ? 0 : -1;
    }
    return true;
}

bool RoomVideoWindowHost::GetUserName(std::uint16_t userId, QString* name) {
    XConfManager* manager = m_frame.GetConfManager();
    const QString text = manager != nullptr ? manager->GetUserNameText(userId) : QString();
    if (text.isEmpty()) {
        return false;
    }
    if (name != nullptr) {
        *name = text;
    }
    return true;
}

QString RoomVideoWindowHost::FormatChannelName(std::uint16_t wMediaId) {
    return m_frame.FormatChannelName(wMediaId);
}

bool RoomVideoWindowHost::IsMediaIdBroadcast(std::uint16_t wMediaId) {
    return m_frame.IsMediaIdBroadcast(wMediaId);
}

bool RoomVideoWindowHost::OpenRemoteParams(std::uint16_t wMediaId) {
    // The device dialog comes with the settings windows.
    YLOG_DEBUG("no device dialog for the parameters of %d", wMediaId);
    return false;
}

void RoomVideoWindowHost::SendCameraControl(std::uint16_t wMediaId, std::uint32_t code) {
    m_frame.SendCameraControl(wMediaId, code);
}

void RoomVideoWindowHost::SendUserByte311(std::uint16_t wMediaId) {
    const std::uint8_t channel = static_cast<std::uint8_t>(wMediaId & 7u);
    m_frame.TransmitToUser(static_cast<std::uint16_t>(wMediaId & ~7u), kSubCommandChannelRequest,
                           &channel, sizeof channel);
}

void RoomVideoWindowHost::BeginVideoDrag(QWidget*) {
    // Dragging a window onto another comes with the room's own mouse handling.
    YLOG_DEBUG("video drag not available");
}

void RoomVideoWindowHost::TogglePreviewOff() {
    // The participant tree stops the preview it opened (its close button was clicked).
    IVideoWindow* preview = m_frame.OwnVideoWindow();
    IUserList* list = m_frame.CYavClientDlg::GetUserList();
    if (preview != nullptr && list != nullptr && preview->GetUserId() != 0) {
        list->ToggleUserPreview(preview->GetUserId());
    }
}

ISpeakPopup* RoomVideoWindowHost::CreateSpeakPopup(QWidget* parent) {
    // The participant area makes it; the window owns what it is given.
    const auto& make = yav::room::Children().speakPopup;
    return make ? make(&m_frame, parent).release() : nullptr;
}

bool RoomVideoWindowHost::StopRecvVideo(std::uint16_t wMediaId) {
    kromedia::IMediaControl* control = m_frame.MediaControlOf(wMediaId);
    if (control == nullptr) {
        return false;
    }
    control->StopRecvVideo(wMediaId);
    return true;
}

kromedia::IMediaStream* RoomVideoWindowHost::GetStream(std::uint16_t wMediaId) {
    kromedia::IMediaControl* control = m_frame.MediaControlOf(wMediaId);
    return control != nullptr ? control->GetStream(wMediaId) : nullptr;
}

void RoomVideoWindowHost::ClearWindowSlot(int slot) {
    SetRecordWindowId(m_frame.GetRoomLayout(), slot, 0);
}

void RoomVideoWindowHost::DelVideo(std::uint16_t wMediaId) {
    if (XLayoutManager* layout = Layout()) {
        layout->DelVideo(wMediaId, m_frame.GetRoomLayout(), true);
    }
}

void RoomVideoWindowHost::CompactWindow(int slot) {
    if (XLayoutManager* layout = Layout()) {
        layout->CompactWindow(slot);
    }
}

void RoomVideoWindowHost::CyclePushBack(std::uint16_t wMediaId) {
    if (CVideoCycle* cycle = m_frame.GetVideoCycle()) {
        cycle->PushBack(wMediaId);
    }
}

void RoomVideoWindowHost::CycleRemoveWindow(IVideoWindow* window) {
    CVideoCycle* cycle = m_frame.GetVideoCycle();
    if (cycle == nullptr) {
        return;
    }
    // The cycle holds the layout's window object, the window calls with itself.
    XLayoutManager* layout = Layout();
    for (int slot = 0; layout != nullptr && slot < XLayoutManager::kSlots; ++slot) {
        ILayoutVideoWnd* placed = layout->GetLayoutWnd(slot);
        if (placed != nullptr && dynamic_cast<IVideoWindow*>(placed->GetWidget()) == window) {
            cycle->RemoveCycleWindow(placed->GetCycleWindow());
            return;
        }
    }
    cycle->RemoveCycleWindow(window);
}

void RoomVideoWindowHost::CycleRemoveMediaId(std::uint16_t wMediaId) {
    if (CVideoCycle* cycle = m_frame.GetVideoCycle()) {
        cycle->RemoveMediaId(wMediaId);
    }
}
