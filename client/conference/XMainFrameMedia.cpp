// The room's side of the media manager: what it asks of the room window.

#include <limits>

#include "ST_CONF_APPINFO.h"
#include "ST_USER_ITEM_DEPT.h"
#include "XConfManager.h"
#include "XMainFrame.h"
#include "client/media/XMediaManager.h"
#include "platform/core/Log.h"

namespace {

// The largest picture a camera sends in a conference.
constexpr int kMaxWidth = 1920;
constexpr int kMaxHeight = 1080;
constexpr int kDevicePollMs = 5000;
constexpr int kTextVideoStopped = 1759;

}  // namespace

void XMainFrame::CloseChannelWindow(uint16_t wMediaId) {
    // The participant tree's preview of the id is toggled off there, so that the tree's mark
    // follows. (The device-test window has no video window in this room.)
    IVideoWindow* preview = OwnVideoWindow();
    if (wMediaId == 0 || preview == nullptr || m_pUserList == nullptr ||
        preview->GetUserId() != wMediaId) {
        return;
    }
    YLOG_DEBUG("CloseChannelWindow id=%u", wMediaId);
    m_pUserList->ToggleUserPreview(wMediaId);
}

bool XMainFrame::IsMediaIdBroadcast(uint16_t wMediaId) {
    // Broadcast by its sender's record, or still received into this room: a leaver's record
    // can be gone (or stale) when its leave is handled, and its windows must be freed then.
    std::shared_ptr<ST_USER_ITEM_DEPT> user;
    if (GetUserInfo(user, static_cast<uint16_t>(wMediaId & ~7u)) && user &&
        ((user->broadcastMask >> (wMediaId & 7u)) & 1u) != 0) {
        return true;
    }
    return IsMediaIdListed(wMediaId);
}

void XMainFrame::SetDevicePollTimer(int on) {
    if (on != 0) {
        SetTimer(TIMER_DEVICE_POLL, kDevicePollMs);
    } else {
        KillTimer(TIMER_DEVICE_POLL);
    }
}

void XMainFrame::BroadcastVideo(uint16_t wMediaId, uint8_t on) {
    if (m_pConfManager) {
        m_pConfManager->BroadcastVideo(wMediaId, on);
    }
}

void XMainFrame::TransmitToUser(uint16_t to, uint16_t subCommand, const void* payload,
                                std::size_t length) {
    if (!m_pConfManager || length > std::numeric_limits<std::uint16_t>::max()) {
        return;
    }
    m_pConfManager->Transmit(to, subCommand, payload, static_cast<std::uint16_t>(length));
}

void XMainFrame::ShowVideoStoppedNotice() {
    ShowMessageBox(kTextVideoStopped, 0);
}

kromedia::INotifyTarget* XMainFrame::GetMediaNotifyTarget() {
    m_mediaNotify.SetWindow(GetSafeHwnd());
    return &m_mediaNotify;
}

IMediaRoom::VideoLimits XMainFrame::GetVideoLimits() const {
    VideoLimits limits;
    limits.maxPixels = kMaxWidth * kMaxHeight;
    limits.maxWidth = kMaxWidth;
    limits.maxHeight = kMaxHeight;
    std::shared_ptr<ST_USER_ITEM_DEPT> me;
    if (GetUserInfo(me, GetMyUserId()) && me && me->videoChannelCount > 0) {
        limits.channels = std::min<int>(me->videoChannelCount, 8);
    }
    if (const ST_CONF_APPINFO* info = GetAppInfo(); info != nullptr) {
        limits.maxBitRateKbps = info->bitrateLimitKbps;
    }
    return limits;
}
