// Video reception: opening and closing the reception of a participant's channel into one of
// the room's video windows, and what the layout manager asks of the room.

#include <QWidget>

#include <bit>

#include "XConfManager.h"
#include "XMainFrame.h"
#include "app/AppSettings.h"
#include "app/ConfigManger.h"
#include "client/Common/XAutoCritical.h"
#include "client/media/ILayoutVideoWnd.h"
#include "client/media/VideoCycle.h"
#include "client/media/XMediaManager.h"
#include "components/KroMedia/IKroMedia.h"
#include "platform/core/Log.h"

using kromedia::IFrameSink;
using kromedia::IMediaControl;
using kromedia::IMediaStream;

namespace {

// The message the media component reports a room video window's first picture with.
constexpr std::uint32_t kFirstPictureMessage = 0x9D00;
constexpr int kTextMyChannel = 2842;
// Speak state of a participant who speaks.
constexpr std::uint8_t kSpeaking = 2;

bool IsMediaChannel(std::uint16_t wMediaId) {
    return (wMediaId & 7) == 7;
}

}  // namespace

kromedia::IMediaControl* XMainFrame::MediaControlOf(uint16_t wMediaId) const {
    if (mediaControlSource) {
        return mediaControlSource(wMediaId);
    }
    return g_pMediaManager != nullptr ? g_pMediaManager->GetMediaControl(wMediaId) : nullptr;
}

int XMainFrame::FormatChannelName(uint16_t wMediaId, QString& name) const {
    if (!m_pConfManager) {
        return 0;
    }
    const QString user = m_pConfManager->GetUserNameText(wMediaId & 0xFFF8);
    if (user.isEmpty()) {
        return 0;
    }
    name = user;
    const int channel = wMediaId & 7;
    if (channel >= 1) {
        name = QStringLiteral("%1-%2").arg(name, QString::number(channel + 1));
    }
    if (IsMyChannel(wMediaId)) {
        name = QStringLiteral("%1(%2)").arg(name, LoadLangString(kTextMyChannel));
    }
    return static_cast<int>(name.size());
}

int XMainFrame::MediaVideoRecv(uint16_t wMediaId, uint32_t mode) {
    YLOG_DEBUG("MediaVideoRecv %d 1", wMediaId);
    CloseChannelWindow(wMediaId);
    XAutoCritical lock(&m_callbackLock);
    if (wMediaId == 0 || wMediaId == GetMyUserId() + 7) {
        return 0;
    }
    if (!IsMediaChannel(wMediaId)) {
        YLOG_DEBUG("MediaVideoRecv 2");
        return OpenIntoWindow(wMediaId, mode, true) ? 1 : 0;
    }
    YLOG_DEBUG("MediaVideoRecv %d 2（第七路）", wMediaId);
    IMediaControl* control = MediaControlOf(wMediaId);
    if (control != nullptr) {
        IFrameSink* sink = m_pLayoutManager ? m_pLayoutManager->GetMediaPlaySink() : nullptr;
        control->StartRecvVideo(wMediaId, mode, this, sink, kFirstPictureMessage);
        IMediaStream* stream = control->GetStream(wMediaId);
        if (stream != nullptr && m_pLayoutManager != nullptr) {
            m_pLayoutManager->SetVideoWndState(wMediaId, QString(), stream);
        }
    }
    m_wMediaChannelId = wMediaId;
    // The media's sound goes with its picture when the sender is in my audio group and not
    // speaking on its own.
    const std::uint16_t sender = wMediaId & 0xFFF8;
    std::shared_ptr<ST_USER_PRIVATEDATA> theirs;
    if (!m_pConfManager || !m_pConfManager->GetUserPrivateData(theirs, sender) || !theirs) {
        return 1;
    }
    const std::shared_ptr<ST_USER_PRIVATEDATA> mine = m_pConfManager->GetMyPrivateData();
    if (theirs->speakMode != kSpeaking && mine != nullptr &&
        theirs->groupValue == mine->groupValue && control != nullptr) {
        control->StartRecvAudio(sender, mode);
    }
    m_wMediaAudioId = sender;
    return 1;
}

void XMainFrame::AskForCameraChannel(uint16_t wMediaId) {
    // The relay forwards a camera channel that is not broadcast only to those who asked the
    // conference for it; the video cycle, paged video and layouts open such channels.
    std::shared_ptr<ST_USER_ITEM_DEPT> owner;
    if (IsMediaChannel(wMediaId) || IsMyChannel(wMediaId) || !m_pConfManager ||
        !GetUserInfo(owner, static_cast<uint16_t>(wMediaId & ~7u)) || !owner ||
        ((owner->broadcastMask >> (wMediaId & 7u)) & 1u) != 0) {
        return;
    }
    m_pConfManager->AskForVideo(wMediaId);
}

void XMainFrame::OpenChannel(uint16_t wMediaId) {
    XAutoCritical lock(&m_callbackLock);
    if (wMediaId == 0 || IsMediaChannel(wMediaId)) {
        return;
    }
    OpenIntoWindow(wMediaId, m_dwRecvMode, false);
}

bool XMainFrame::OpenIntoWindow(uint16_t wMediaId, uint32_t mode, bool sync) {
    if (m_pLayoutManager == nullptr) {
        return false;
    }
    QWidget* window = m_pLayoutManager->AddVideo(wMediaId, mode, GetRoomLayout(), m_layoutSlots[1]);
    if (window == nullptr) {
        return false;
    }
    if (sync) {
        SendSyncWndLayout(1);
        YLOG_DEBUG("MediaVideoRecv %d 3", wMediaId);
    }
    if (CVideoCycle* cycle = GetVideoCycle()) {
        cycle->RemoveMediaId(wMediaId);
    }
    m_mediaIdList.SetFlag(wMediaId, 1);
    IMediaControl* control = MediaControlOf(wMediaId);
    if (control == nullptr) {
        if (sync) {
            YLOG_DEBUG("MediaVideoRecv %d 5", wMediaId);
        }
        return true;
    }
    QString caption;
    FormatChannelName(wMediaId, caption);
    if (g_AppSettings.byVideoOff == 0) {
        ILayoutVideoWnd* slot =
            m_pLayoutManager->GetLayoutWnd(m_pLayoutManager->FindNonCycleWndIndex(wMediaId));
        IFrameSink* sink = slot != nullptr ? slot->GetFrameSink() : nullptr;
        AskForCameraChannel(wMediaId);
        control->StartRecvVideo(wMediaId, mode, this, sink, kFirstPictureMessage);
        if (IMediaStream* stream = control->GetStream(wMediaId)) {
            m_pLayoutManager->SetVideoWndState(wMediaId, caption, stream);
        }
        YLOG_INFO("video %d shown in window %d as \"%s\"", wMediaId,
                  slot != nullptr ? slot->GetSlotIndex() : -1, caption.toUtf8().constData());
    } else {
        m_pLayoutManager->SetVideoWndState(wMediaId, caption, nullptr);
    }
    if (sync) {
        YLOG_DEBUG("MediaVideoRecv %d 4", wMediaId);
    }
    return true;
}

void XMainFrame::CloseChannel(uint16_t wMediaId) {
    bool found = false;
    for (int slot = 0; m_pLayoutManager != nullptr && slot < XLayoutManager::kSlots; ++slot) {
        ILayoutVideoWnd* window = m_pLayoutManager->GetLayoutWnd(slot);
        if (window == nullptr || window->GetUserId() != wMediaId) {
            continue;
        }
        window->SetUserId(0);
        window->SetMediaId(0, true);
        SetRecordWindowId(GetRoomLayout(), slot, 0);
        m_pLayoutManager->RemoveBusyWnd(window->GetWidget());
        found = true;
        break;
    }
    if (found && m_pLayoutManager->IsAutoLayout()) {
        m_pLayoutManager->Relayout(true);
    }
    if (IMediaControl* control = MediaControlOf(wMediaId)) {
        control->StopRecvVideo(wMediaId);
    }
    NoteVideoReceived(wMediaId, false);
    if (CVideoCycle* cycle = GetVideoCycle()) {
        cycle->PushBack(wMediaId);
    }
    m_mediaIdList.SetFlag(wMediaId, 0);
}

uint32_t XMainFrame::StopVideoRecv(uint16_t wMediaId, uint32_t, uint8_t sync) {
    if (wMediaId == 0) {
        return 0;
    }
    if (m_pLayoutManager != nullptr &&
        m_pLayoutManager->DelVideo(wMediaId, GetRoomLayout(), sync != 0)) {
        SendSyncWndLayout(sync);
    }
    if (IMediaControl* control = MediaControlOf(wMediaId)) {
        control->StopRecvVideo(wMediaId);
    }
    NoteVideoReceived(wMediaId, false);
    if (CVideoCycle* cycle = GetVideoCycle()) {
        cycle->PushBack(wMediaId);
    }
    m_mediaIdList.SetFlag(wMediaId, 0);
    return 1;
}

void XMainFrame::ApplyVideoWindows() {
    if (m_pLayoutManager == nullptr) {
        return;
    }
    std::vector<uint16_t> shown;
    for (int slot = 0; slot < XLayoutManager::kSlots; ++slot) {
        ILayoutVideoWnd* window = m_pLayoutManager->GetLayoutWnd(slot);
        const uint16_t id = window != nullptr ? window->GetUserId() : 0;
        // Windows of the video cycle keep their videos.
        if (id != 0 && m_pLayoutManager->FindNonCycleWndIndex(id) == slot) {
            shown.push_back(id);
        }
    }
    for (uint16_t id : shown) {
        CloseChannel(id);
    }
}

bool XMainFrame::IsReceiving(uint16_t wMediaId) const {
    if (m_pLayoutManager == nullptr) {
        return false;
    }
    const int slot = m_pLayoutManager->FindWndIndexFrom(0, wMediaId);
    ILayoutVideoWnd* window = slot >= 0 ? m_pLayoutManager->GetLayoutWnd(slot) : nullptr;
    return window != nullptr && window->IsReceiving();
}

QString XMainFrame::FormatChannelName(uint16_t wMediaId) {
    QString name;
    FormatChannelName(wMediaId, name);
    return name;
}

void XMainFrame::CloseMyVideoWindows() {
    // The previews of the participant panel and the device test come with those windows.
    YLOG_DEBUG("no preview window shows my channels");
}

// --- IVideoPagerHost ---

int XMainFrame::GetWindowsPerPage() {
    return m_pLayoutManager != nullptr ? m_pLayoutManager->GetCapacity() : 0;
}

int XMainFrame::GetUsedWndCount() {
    return m_pLayoutManager != nullptr ? m_pLayoutManager->GetUsedWndCount() : 0;
}

// --- ILayoutHost ---------------------------------------------------------------------------

bool XMainFrame::IsPagedVideo() {
    return g_AppSettings.bPagedVideo != 0;
}

void XMainFrame::SetFullVideo(bool on) {
    // One video window covers the room: the panels step aside until it is back, and come
    // back only where the room shows them (not in full screen, not a floating panel).
    SetFullVideoState(on);
}

void XMainFrame::OnVideoPopState(uint16_t wMediaId, int inside) {
    YLOG_DEBUG("video %d %s", wMediaId, inside != 0 ? "in the room" : "floating");
}

void XMainFrame::SetDocCellCount(int cells) {
    YLOG_DEBUG("document beside %d video cells", cells);
}

int XMainFrame::GetSpeakerLimit() {
    return g_AppSettings.wSpeakerLimit;
}

void XMainFrame::EnableRender(uint16_t wMediaId, bool on) {
    IMediaControl* control = MediaControlOf(wMediaId);
    if (control != nullptr && control->GetStream(wMediaId) != nullptr) {
        control->EnableRender(wMediaId, on ? 1 : 0);
    }
}

void XMainFrame::ShowLayoutMessage(int textId) {
    ShowMessageBox(textId, 0);
}
