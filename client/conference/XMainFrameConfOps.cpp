// The main frame's conference operations: receiving a participant's streams when the stream
// server comes up, the room's own layout and its paging, the video cycle's window switch and
// the small accessors the room's handlers use.

#include <QFileInfo>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <optional>

#include "LayoutCodec.h"
#include "UserCommandPayloads.h"
#include "XConfManager.h"
#include "XDocManager.h"
#include "XMainFrame.h"
#include "client/media/IVideoCycleHost.h"
#include "client/media/VideoCycle.h"
#include "config/AppSettings.h"
#include "config/ConfigManger.h"
#include "platform/core/Log.h"

namespace {

constexpr int kTextSharedMediaTab = 1060;
constexpr std::uint16_t kMediaIdMask = 0xFFF8;
constexpr int kChannels = 8;
constexpr std::uint32_t kCycleOwnerSlot = 888888;
constexpr std::uint32_t kMsgVideo = 0x9D00;
constexpr std::uint32_t kMsgVideoSwitch = 0x9D01;
// One id of a page is opened per step, so that the room stays responsive.
constexpr int kLayoutStepMs = 10;
constexpr int kVideoWindows = static_cast<int>(yav::layout::kVideoWindowCount);

// The video cycle's calls into the room.
class CycleHost final : public IVideoCycleHost {
public:
    explicit CycleHost(XMainFrame& frame) : frame_(frame) {}
    void AssignChannelToWindow(IVideoWindow* window, std::uint16_t id,
                               std::uint16_t* oldId) override {
        frame_.AssignChannelToWindow(window, id, oldId);
    }
    void SendSyncWndLayout(int repaint) override { frame_.SendSyncWndLayout(repaint); }
    void StopRecvVideo(std::uint16_t id) override {
        if (IRoomMedia* media = frame_.GetRoomMedia()) {
            media->StopRecvVideo(id);
        }
    }
    void SetLayoutSlotMediaId(int slot, std::uint16_t id) override {
        frame_.SetRoomLayoutWindowId(slot, id);
    }

private:
    XMainFrame& frame_;
};

}  // namespace

void XMainFrame::CreateRoomServices() {
    yav::room::RoomChildFactories& make = yav::room::Children();
    m_pRoomMedia = make.roomMedia ? make.roomMedia() : nullptr;
    if (m_pRoomMedia == nullptr) {
        MissingChild("XMediaManager (reception)");
    }
    m_pBulletinBoard = make.bulletinBoard ? make.bulletinBoard() : nullptr;
    if (m_pBulletinBoard == nullptr) {
        MissingChild("CDlgHouselamp");
    }
    if (!m_pCycleHost) {
        m_pCycleHost = std::make_shared<CycleHost>(*this);
    }
    if (CVideoCycle* cycle = GetVideoCycle()) {
        cycle->SetHost(m_pCycleHost.get());
    }
}

// --- receiving a participant when the stream server comes up ----------------------------------

void XMainFrame::AddRecvForUser(ST_USER_ITEM_DEPT* user, const ST_USER_PRIVATEDATA* mine) {
    if (user == nullptr || user->userId == GetMyUserId()) {
        return;
    }
    const std::uint16_t id = user->userId;
    const std::uint32_t group = user->privateData.groupValue;
    const bool sameGroup = mine != nullptr && group == mine->groupValue;
    if (user->speakState == 2 && sameGroup) {
        StartRecvAudio(id, user->streamParam);
        YLOG_DEBUG("Add recv Audio %d", id);
    } else if (user->privateData.listenFlag != 0 && m_pConfManager &&
               !m_pConfManager->HasCurrentUser()) {
        StartRecvAudio(id, user->streamParam);
    }
    const int channels = std::min<int>(user->videoChannelCount, kChannels);
    for (int i = 0; i < channels; ++i) {
        const auto bit = static_cast<std::uint8_t>(1u << i);
        if ((user->broadcastMask & bit) != 0 && (user->channelMask & bit) != 0) {
            if (m_pVideoReception != nullptr) {
                m_pVideoReception->MediaVideoRecv(static_cast<std::uint16_t>(id + i),
                                                  user->streamParam);
            }
            YLOG_DEBUG("Add recv VideoBroadcast %d", id + i);
        }
    }
    if ((user->broadcastMask & 0x80) != 0) {
        const auto media = static_cast<std::uint16_t>(id + 7);
        const int received = m_pVideoReception != nullptr
                                 ? m_pVideoReception->MediaVideoRecv(media, user->streamParam)
                                 : 0;
        // Only a received shared media makes a tab; this client's own share keeps state 1.
        if (received != 0 && m_byMediaShareRecvState == 0) {
            m_byMediaShareRecvState = 2;
            if (m_pControlBar != nullptr) {
                m_pControlBar->AddDocTab(LoadLangString(kTextSharedMediaTab), 1);
            }
        }
        YLOG_DEBUG("Add recv VideoBroadcast %d", media);
        if (user->speakState != 2 && sameGroup) {
            StartRecvAudio(id, user->streamParam);
            m_wSpeakerId = id;
            YLOG_DEBUG("Add recv Media Audio %d", id);
        }
    }
}

// --- own layout and paging -------------------------------------------------------------------

void XMainFrame::ResetVideoLayoutState(uint32_t reset) {
    if (m_pVideoReception != nullptr) {
        m_pVideoReception->CloseMyVideoWindows();
    }
    g_AppSettings.freeLayout = 1;
    if (reset != 0) {
        yav::layout::WindowLayout room;
        room.Bytes() = m_layoutSlots[0];
        room.SetMainDisplay(0);
        room.SetLayoutMode(4);
        room.SetWindowMode(2);
        room.SetLayoutFlag(0);
        m_layoutSlots[0] = room.Bytes();
        LayoutPanes(1);
    }
    if (m_pControlBar != nullptr) {
        m_pControlBar->SetVideoPageCount(1);
        m_pControlBar->UpdateVideoPager();
    }
    CloseAllVideoWindows();
    LayoutVideoWindows(0, 0);
}

void XMainFrame::CloseAllVideoWindows() {
    m_layoutQueue.clear();
    std::vector<std::uint16_t> shown;
    if (m_pLayoutManager != nullptr) {
        for (int i = 0; i < kVideoWindows; ++i) {
            IRoomVideoWindow* window = m_pLayoutManager->GetVideoWnd(i);
            if (window != nullptr && window->GetUserId() != 0) {
                shown.push_back(window->GetUserId());
            }
        }
    }
    if (m_pVideoReception != nullptr) {
        for (std::uint16_t id : shown) {
            m_pVideoReception->CloseChannel(id);
        }
    }
    m_dwPageStart = 0;
}

int XMainFrame::LayoutVideoWindows(int start, int count) {
    if (g_AppSettings.freeLayout == 0) {
        return 0;
    }
    int pageSize = g_AppSettings.byVideoWindowLimit;
    if (m_pLayoutManager != nullptr) {
        pageSize = std::min(pageSize, m_pLayoutManager->GetCapacity());
    }
    const int maximum = count == 0 || count > pageSize ? pageSize : count;
    std::vector<std::uint16_t> ids;
    if (maximum > 0) {
        m_mediaIdList.CollectUnflagged(ids, start, maximum);
    }
    m_dwPageStart = static_cast<std::uint32_t>(start) + static_cast<std::uint32_t>(ids.size());
    // The ids open one per timer step instead of a pause on the UI thread after each.
    const bool running = !m_layoutQueue.empty();
    m_layoutQueue.insert(m_layoutQueue.end(), ids.begin(), ids.end());
    if (!running && !m_layoutQueue.empty()) {
        OpenNextLayoutId();
    }
    return static_cast<int>(ids.size());
}

void XMainFrame::OpenNextLayoutId() {
    QPointer<QWidget> self(this);
    QTimer::singleShot(kLayoutStepMs, this, [self, this]() {
        if (self == nullptr || m_layoutQueue.empty()) {
            return;
        }
        const std::uint16_t id = m_layoutQueue.front();
        m_layoutQueue.erase(m_layoutQueue.begin());
        if (m_pVideoReception != nullptr) {
            m_pVideoReception->OpenChannel(id);
        }
        if (!m_layoutQueue.empty()) {
            OpenNextLayoutId();
        }
    });
}

// --- the video cycle's window switch ---------------------------------------------------------

void XMainFrame::AssignChannelToWindow(IVideoWindow* window, uint16_t wNewMediaId,
                                       uint16_t* oldMediaId) {
    if (oldMediaId != nullptr) {
        *oldMediaId = 0;
    }
    if (window == nullptr) {
        return;
    }
    yav::SectionGuard lock(&m_callbackLock);
    window->SetMediaId(0, true);
    const std::uint16_t old = window->GetUserId();
    if (oldMediaId != nullptr) {
        *oldMediaId = old;
    }
    if (old == wNewMediaId || m_pRoomMedia == nullptr) {
        return;
    }
    auto* roomWindow = dynamic_cast<IRoomVideoWindow*>(window);
    const int slot = roomWindow != nullptr ? roomWindow->GetSlotIndex() : -1;
    const bool zoomed = roomWindow != nullptr && roomWindow->IsZoomed();
    auto placeInLayout = [&]() {
        yav::layout::WindowLayout room;
        room.Bytes() = m_layoutSlots[0];
        if (slot >= 0 && slot < kVideoWindows) {
            room.SetWindowId(static_cast<std::size_t>(slot), wNewMediaId);
        }
        if (zoomed) {
            room.SetMaximisedId(wNewMediaId);
        }
        m_layoutSlots[0] = room.Bytes();
    };
    if (!IsMyChannel(wNewMediaId) && old != 0) {
        // The window keeps showing the old id until the new stream's first picture (0x9D01),
        // which hands the old id back to the cycle.
        m_pRoomMedia->StartRecvVideo(wNewMediaId, kCycleOwnerSlot, window, kMsgVideoSwitch);
        window->SetMediaId(wNewMediaId, true);
        placeInLayout();
        return;
    }
    if (old != 0) {
        window->SetUserId(0);
        m_pRoomMedia->StopRecvVideo(old);
        if (CVideoCycle* cycle = GetVideoCycle()) {
            cycle->PushBack(old);
        }
    }
    m_pRoomMedia->StartRecvVideo(wNewMediaId, kCycleOwnerSlot, window, kMsgVideo);
    window->SetUserId(wNewMediaId);
    if (roomWindow != nullptr) {
        roomWindow->SetOwnerSlot(kCycleOwnerSlot);
    }
    placeInLayout();
    if (roomWindow != nullptr && m_pRoomMedia->HasStream(wNewMediaId)) {
        const QString caption = m_pVideoReception != nullptr
                                    ? m_pVideoReception->FormatChannelName(wNewMediaId)
                                    : QString();
        roomWindow->SetVideoState(true);
        roomWindow->UpdateCaption(caption);
    }
}

void XMainFrame::OnCycleSwitchShown(IVideoWindow* window) {
    // 0x9D01: the new stream of a switching window shows its first picture. The old id is
    // stopped and handed back to the cycle, so that every participant stays in rotation.
    if (window == nullptr) {
        return;
    }
    yav::SectionGuard lock(&m_callbackLock);
    const std::uint16_t pending = window->GetMediaId();
    const std::uint16_t old = window->GetUserId();
    if (pending == 0) {
        return;
    }
    if (old != 0 && old != pending) {
        if (m_pRoomMedia != nullptr) {
            m_pRoomMedia->StopRecvVideo(old);
        }
        if (CVideoCycle* cycle = GetVideoCycle()) {
            cycle->PushBack(old);
        }
    }
    window->SetMediaId(0, false);
    window->SetUserId(pending);
    if (CVideoCycle* cycle = GetVideoCycle()) {
        cycle->RemoveMediaId(pending);
    }
}

void XMainFrame::SetRoomLayoutWindowId(int slot, uint16_t wMediaId) {
    if (slot < 0 || slot >= kVideoWindows) {
        return;
    }
    yav::layout::WindowLayout room;
    room.Bytes() = m_layoutSlots[0];
    room.SetWindowId(static_cast<std::size_t>(slot), wMediaId);
    m_layoutSlots[0] = room.Bytes();
}

// --- accessors and small forwarders ----------------------------------------------------------

int XMainFrame::IsDocShareActive() const {
    return m_pDocManager ? m_pDocManager->QueryState3() : 0;
}

void XMainFrame::SetUserStateOnce(uint16_t userId, uint32_t state) {
    if (m_pConfManager) {
        m_pConfManager->SetUserState(userId, state, 1);
    }
}

void XMainFrame::SendCameraControl(uint16_t channelId, uint32_t command) {
    if (!IsMyChannel(channelId)) {
        if (m_pConfManager) {
            const std::uint8_t payload[yav::usercmd::kCameraControlSize] = {
                static_cast<std::uint8_t>(channelId & 7), static_cast<std::uint8_t>(command)};
            m_pConfManager->Transmit(channelId & kMediaIdMask, yav::proto::kSubCommandCameraControl,
                                     payload, sizeof payload);
        }
        return;
    }
    if (m_pRoomMedia != nullptr) {
        m_pRoomMedia->ControlCamera(static_cast<std::uint8_t>(channelId & 7), command);
    }
}

int XMainFrame::HasZoomedVideoWindow() const {
    if (m_pLayoutManager == nullptr) {
        return 0;
    }
    for (int i = 0; i < kVideoWindows; ++i) {
        IRoomVideoWindow* window = m_pLayoutManager->GetVideoWnd(i);
        if (window != nullptr && window->IsZoomed()) {
            return 1;
        }
    }
    return 0;
}

int XMainFrame::IsShareSourceMatched() const {
    return m_pScreenShareSet != nullptr ? m_pScreenShareSet->GetSourceMatchFlag() : 0;
}

uint32_t XMainFrame::GetLocalFileSize(const QString& path) {
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable()) {
        return 0;
    }
    return static_cast<uint32_t>(std::min<qint64>(info.size(), UINT32_MAX));
}

int XMainFrame::CountGroupUsers(uint32_t group) {
    int count = 0;
    if (m_pConfManager) {
        m_pConfManager->ForEachUser([group, &count](ST_USER_ITEM_DEPT* user) {
            if (user->privateData.groupValue == group) {
                ++count;
            }
        });
    }
    return count;
}

// --- helpers of the handlers -----------------------------------------------------------------

void XMainFrame::ShowNoticeAndTip(const QString& text) {
    ShowNotice(text);
    m_tipsHolder.ShowTip(text);
}

void XMainFrame::ReapplyFollowLead() {
    // The user's own setting, told to the component again with the new role; the presenter's
    // reading of it (0) is not stored over it.
    if (m_pDocManager) {
        m_pDocManager->SetFollowLead(m_pDocManager->GetStoredFollowLead());
    }
}

void XMainFrame::PostToControlBarSyncLayout() {
    // The bar's sync-layout button, run after the current handler as a posted command would.
    QPointer<QWidget> self(this);
    QTimer::singleShot(0, this, [self, this]() {
        if (self != nullptr && m_pControlBar != nullptr) {
            m_pControlBar->OnBtnSyncLayout();
        }
    });
}

bool XMainFrame::IsMediaIdListed(uint16_t wMediaId) const {
    // The room receives the id: listed as shown, or in one of the video windows.
    const std::optional<CMediaIdList::Entry> entry = m_mediaIdList.Find(wMediaId);
    return (entry.has_value() && entry->flag != 0) || IsMediaIdShown(wMediaId);
}

int XMainFrame::GetBroadcastChannelCount() const {
    int count = 0;
    for (const CMediaIdList::Entry& entry : m_mediaIdList.Snapshot()) {
        count += entry.flag != 0 ? 1 : 0;
    }
    return count;
}

bool XMainFrame::IsMediaIdShown(uint16_t wMediaId) const {
    if (m_pLayoutManager == nullptr || wMediaId == 0) {
        return false;
    }
    for (int i = 0; i < kVideoWindows; ++i) {
        IRoomVideoWindow* window = m_pLayoutManager->GetVideoWnd(i);
        if (window != nullptr && window->GetUserId() == wMediaId) {
            return true;
        }
    }
    return false;
}

void XMainFrame::RecalcLayout(int withScreen) {
    // The panes are laid out again around the shared screen (1) or without it (0).
    m_arrangement.shareMode = static_cast<std::uint32_t>(withScreen);
    LayoutPanes(1);
}

void XMainFrame::OnUserPrivateFlagOff(int, int) {
    // The conference flag was cleared while the status bar held the microphone open for a
    // member: the hold ends and, unless this client has the floor, so does its audio.
    if (m_pStatusBar != nullptr) {
        m_pStatusBar->SetSpeakFlag(false);
    }
    if (m_dwMySpeaking == 0 && m_pRoomMedia != nullptr) {
        m_pRoomMedia->SetAudioSend(false);
    }
}

IVideoWindow* XMainFrame::OwnVideoWindow() const {
    return m_pOwnVideo != nullptr ? m_pOwnVideo->GetVideoWindow() : nullptr;
}
