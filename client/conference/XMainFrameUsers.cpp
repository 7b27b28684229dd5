// Participants coming, changing and going, and the presenter hand-over, as the conference
// server reports them (UI thread, the message pump).

#include <algorithm>
#include <iterator>

#include "LayoutCodec.h"
#include "RoomNotices.h"
#include "UserCommandPayloads.h"
#include "XConfManager.h"
#include "XDocManager.h"
#include "XMainFrame.h"
#include "client/media/VideoCycle.h"
#include "config/AppSettings.h"
#include "config/ConfigManger.h"
#include "platform/core/Log.h"

namespace {

constexpr int kTextWelcome = 235;
constexpr int kTextJoined = 238;
constexpr int kTextUser = 202;
constexpr int kTextLeft = 241;
constexpr int kTextCongratulations = 244;
constexpr int kTextIsPresenter = 247;
constexpr int kTextTipApplying = 250;
constexpr int kTextTipStopped = 256;
constexpr int kTextTipPresenter = 259;
constexpr int kTextTipApplyEnded = 265;
constexpr std::uint16_t kChatRightsOffset = 271;
constexpr std::uint16_t kMediaIdMask = 0xFFF8;
constexpr int kChannels = 8;

QString ShortName(const QString& name) {
    return yav::notice::ShortNoticeName(name);
}

// "<first> <name>(<id>) <second>" with the name shortened; the name may be empty here.
QString JoinLeaveNotice(int first, const QString& name, std::uint16_t id, int second) {
    return LoadLangString(first) + u' ' + ShortName(name) + u'(' + QString::number(id) +
           QStringLiteral(") ") + LoadLangString(second);
}

}  // namespace

// --- slot 0: a user joined -------------------------------------------------------------------

void XMainFrame::OnUserJoin(ST_USER_ITEM_DEPT* record) {
    if (m_pUserList == nullptr || record == nullptr) {
        return;
    }
    // The participant tree keys department items 10 above their ids.
    record->departmentId += 10;
    if (m_pUserList->AddUser(record) == 0) {
        return;
    }
    const std::uint16_t id = record->userId;
    if (CVideoCycle* cycle = GetVideoCycle()) {
        cycle->AddUserChannels(id);
    }
    // The record comes from the server: the name may fill its field without a terminator.
    const char16_t* end = std::find(std::begin(record->name), std::end(record->name), u'\0');
    const QString name =
        QString::fromUtf16(record->name, static_cast<qsizetype>(end - std::begin(record->name)));
    YLOG_DEBUG("加入会议室%d 用户名%s", id, name.toUtf8().constData());
    if (m_pConfManager) {
        m_pUserList->SetOnlineCountText(m_pConfManager->GetUserCount());
        if (m_dwPresenter != 0 && GetMediaShareState() == 1) {
            yav::usercmd::MediaShare share;
            share.code = 1;
            share.userId = GetMyUserId();
            share.shareParam = m_dwMediaShareParam;
            const yav::usercmd::Bytes payload = yav::usercmd::Encode(share);
            m_pConfManager->Transmit(id, SUBCOMMAND_MEDIA, payload.data(),
                                     static_cast<std::uint16_t>(payload.size()));
        }
    }
    ShowNotice(JoinLeaveNotice(kTextWelcome, name, id, kTextJoined));
}

// --- slot 1: a user left ---------------------------------------------------------------------

void XMainFrame::OnUserLeave(uint16_t userId, uint32_t departmentId, uint8_t) {
    const QString name = m_pConfManager ? m_pConfManager->GetUserNameText(userId) : QString();
    YLOG_DEBUG("退出会议室%d 用户名%s", userId, name.toUtf8().constData());
    if (m_pConfManager) {
        std::shared_ptr<ST_USER_PRIVATEDATA> theirs;
        const std::shared_ptr<ST_USER_PRIVATEDATA> mine = m_pConfManager->GetMyPrivateData();
        // The last other member of my audio group leaves: this client leaves the group too.
        if (m_pConfManager->GetUserPrivateData(theirs, userId) && theirs != nullptr &&
            mine != nullptr && theirs->groupValue != 0 && theirs->groupValue == mine->groupValue &&
            CountGroupUsers(theirs->groupValue) == 2) {
            HandleSubCommand276();
        }
    }
    for (int channel = kChannels - 1; channel >= 0; --channel) {
        const auto media = static_cast<std::uint16_t>(userId + channel);
        m_mediaIdList.Remove(media);
        if (IsMediaIdBroadcast(media)) {
            if (m_pLayoutManager != nullptr) {
                m_pLayoutManager->RemoveVideoWnd(media, m_layoutSlots[0].data());
            }
            if (m_pVideoReception != nullptr) {
                m_pVideoReception->StopVideoRecv(media, 1, 1);
                m_pVideoReception->CloseChannelWindow(media);
            }
        }
    }
    if (m_pVoiceIncentive != nullptr && m_pVoiceIncentive->GetShownUser() == userId) {
        m_pVoiceIncentive->HideNotice();
    }
    if (m_pRoomMedia != nullptr) {
        StopRecvAudio(userId);
    }
    if (m_pUserList != nullptr) {
        m_pUserList->OnUserLeave(userId, departmentId);
    }
    if (userId == m_wRemoteControlID && userId != 0) {
        if (m_pScreenShare != nullptr) {
            YLOG_DEBUG(
                "远程协助 wUserID:%d m_wRemoteControlID:%d GetReControlStatus()=%d "
                "GetScreenStatus()=%d",
                userId, m_wRemoteControlID, m_bRemoteControl, m_bScreenBroadcast);
        }
        if (m_bRemoteControl == 1) {
            m_bRemoteControl = 0;
            m_wRemoteControlID = 0;
            if (m_pScreenShare != nullptr) {
                m_pScreenShare->SetRecv(1);
                RecalcLayout(0);
                ResumePresenterScreen();
            }
            if (m_pStatusBar != nullptr) {
                m_pStatusBar->UpdateMeetingStateText();
            }
        } else if (m_bRemoteControl == 2) {
            // The controller is gone: nobody controls this screen any more, but the state
            // stays until this client's sharing ends.
            m_wRemoteControlID = 0;
            if (m_pScreenShare != nullptr) {
                m_pScreenShare->StopShare();
                ResumePresenterScreen();
            }
            if (m_pStatusBar != nullptr) {
                m_pStatusBar->UpdateMeetingStateText();
            }
        } else if (m_dwRequestPending != 0) {
            m_dwRequestPending = 0;
            m_bRemoteControl = 0;
        }
    }
    if (UserOf(m_wViewedChannel) == userId && m_bScreenBroadcast == 2) {
        if (m_pScreenShare != nullptr) {
            m_pScreenShare->SetRecv(1);
        }
        m_bScreenBroadcast = 0;
        m_wViewedChannel = 0;
        // The videos take the screen's place back.
        if (m_bRemoteControl != 1) {
            RecalcLayout(0);
        }
    }
    if (CVideoCycle* cycle = GetVideoCycle()) {
        cycle->RemoveUserChannels(userId);
    }
    if (g_AppSettings.bPagedVideo != 0 && m_pControlBar != nullptr) {
        m_pControlBar->UpdateVideoPager();
    }
    if (m_pUserList != nullptr && m_pConfManager) {
        m_pUserList->SetOnlineCountText(m_pConfManager->GetUserCount() - 1);
    }
    m_strNotice = JoinLeaveNotice(kTextUser, name, userId, kTextLeft);
    const QString copy = m_strNotice;
    ShowNotice(copy);
}

void XMainFrame::ResumePresenterScreen() {
    if (m_bScreenBroadcast == 2 && m_pScreenShare != nullptr) {
        m_pScreenShare->StartRecv(m_wSharedScreenChannel, m_dwMediaShareParam);
        RecalcLayout(1);
    }
}

void XMainFrame::EndRemoteControlView() {
    if (m_bRemoteControl == 1 && m_pScreenShare != nullptr) {
        m_pScreenShare->SetRecv(1);
        RecalcLayout(0);
    }
    m_bRemoteControl = 0;
    m_wRemoteControlID = 0;
    if (m_pStatusBar != nullptr) {
        m_pStatusBar->UpdateMeetingStateText();
    }
}

void XMainFrame::CloseSharedScreen(bool restorePanels) {
    if (restorePanels && m_pArrangement != nullptr) {
        m_pArrangement->SetPanelState(g_bFullScreen);
        m_pArrangement->UpdateZOrder(g_bFullScreen);
    }
    if (m_pLayoutManager != nullptr) {
        m_pLayoutManager->SetVideoOption(1);
    }
    m_pScreenShare->StopShare();
    if (m_pUserList != nullptr) {
        m_pUserList->ClearScreenControlUsers();
    }
}

// --- slot 2: a user's record changed ---------------------------------------------------------

void XMainFrame::OnUserInfoChanged(ST_USER_ITEM_DEPT* record) {
    if (record == nullptr) {
        return;
    }
    const std::uint16_t user = record->userId;
    for (int c = 0; c < 7; ++c) {
        const auto media = static_cast<std::uint16_t>(user + c);
        if ((record->channelMask & (1u << c)) == 0) {
            if (IsMediaIdBroadcast(media) && m_pLayoutManager != nullptr) {
                m_pLayoutManager->RemoveVideoWnd(media, m_layoutSlots[0].data());
            }
            m_mediaIdList.Remove(media);
            if (m_pVideoReception != nullptr) {
                m_pVideoReception->StopVideoRecv(media, 1, 0);
            }
            if (m_pUserList != nullptr) {
                m_pUserList->SetBroadcastState(media, 0);
            }
        } else {
            m_mediaIdList.AddOrMoveToTail(media);
        }
    }
    if (CVideoCycle* cycle = GetVideoCycle()) {
        cycle->RemoveUserChannels(user);
        cycle->AddUserChannels(user);
    }
    if (m_pUserList != nullptr) {
        m_pUserList->OnUserUpdate(record);
    }
    const int channels = std::min<int>(record->videoChannelCount, kChannels);
    if (g_AppSettings.bPagedVideo == 0) {
        for (int c = 0; c < channels; ++c) {
            const auto bit = static_cast<std::uint8_t>(1u << c);
            if ((record->channelMask & bit) == 0 || (record->broadcastMask & bit) == 0) {
                continue;
            }
            const auto media = static_cast<std::uint16_t>(user + c);
            if (m_pUserList != nullptr) {
                m_pUserList->SetBroadcastState(media, 1);
            }
            // The component stores the changed record before the change arrives: its mask
            // already names the channel. What this room receives or shows is what counts.
            if (GetBroadcastChannelCount() < g_AppSettings.wSpeakerLimit ||
                IsMediaIdListed(media)) {
                if (m_pVideoReception != nullptr) {
                    m_pVideoReception->OpenChannel(media);
                }
            } else if (m_pConfManager) {
                m_pConfManager->BroadcastVideo(media, 0);
            }
        }
    } else {
        if (m_pControlBar != nullptr) {
            m_pControlBar->UpdateVideoPager();
        }
        int limit = g_AppSettings.byPagedVideoLimit;
        if (m_pLayoutManager != nullptr) {
            limit = std::min(m_pLayoutManager->GetCapacity(), limit);
        }
        for (int c = 0; c < channels; ++c) {
            if ((record->channelMask & (1u << c)) == 0 || m_pLayoutManager == nullptr ||
                m_pLayoutManager->GetUsedWndCount() >= limit) {
                continue;
            }
            if (m_pVideoReception != nullptr) {
                m_pVideoReception->MediaVideoRecv(static_cast<std::uint16_t>(user + c),
                                                  record->streamParam);
            }
            m_dwPagePosition = static_cast<std::uint32_t>(m_mediaIdList.GetCount() - 1);
        }
    }
    SendSyncWndLayout(1);
}

// --- slot 3: presenter hand-over -------------------------------------------------------------

void XMainFrame::HandleLeadingStatus(uint16_t userId, uint8_t newState, uint8_t oldState) {
    YLOG_DEBUG("HandleLeadingStatus 1");
    if (m_pUserList != nullptr) {
        m_pUserList->OnLeadingStatus(userId, newState);
    }
    const bool me = userId == GetMyUserId();
    if (me) {
        // My application for the presenter role stands until it is answered; a reconnection
        // makes it again.
        m_dwPresenterRequest = newState == 1 ? 1 : 0;
    }
    yav::layout::WindowLayout room;
    room.Bytes() = m_layoutSlots[0];
    if (me && newState == 2) {
        FormatScreenShareNotice({kTextCongratulations, kTextIsPresenter}, userId);
        m_tipsHolder.ShowTip(LoadLangString(kTextTipPresenter));
        YLOG_DEBUG("用户：%d 已经获取主讲身份", userId);
        m_wSharedScreenChannel = userId;
        if (g_AppSettings.bPagedVideo != 0) {
            ApplyLayoutFromNetwork();
        } else {
            StopUnbroadcastVideos();
        }
        m_dwPresenter = 1;
        m_layoutSlots[1].fill(0);
        // The first own camera channel that captures is broadcast.
        const std::uint8_t captured =
            m_pRoomMedia != nullptr ? m_pRoomMedia->GetCapturedChannels() : 0;
        for (int i = 0; i < kChannels; ++i) {
            if ((captured & (1u << i)) == 0) {
                continue;
            }
            const auto media = static_cast<std::uint16_t>(m_wSharedScreenChannel + i);
            if ((GetBroadcastChannelCount() < g_AppSettings.wSpeakerLimit ||
                 IsMediaIdShown(media)) &&
                m_pConfManager) {
                m_pConfManager->BroadcastVideo(media, 1);
            }
            break;
        }
        m_dwPendingLayout = 0;
        if (room.MainDisplay() == 1 || room.MainDisplay() == 2) {
            room.SetLayoutMode(8);
        }
        const bool panes = room.WindowMode() == 8 || room.WindowMode() == 16;
        if (panes) {
            room.SetWindowMode(4);
        }
        m_layoutSlots[0] = room.Bytes();
        if (panes) {
            LayoutPanes(1);
        }
        m_pendingLayout = yav::layout::ToNetworkForm(room).Bytes();
        SendSyncWndLayout(1);
        ReapplyFollowLead();
        RefreshChatRecipients();
    } else if (me && newState == 1) {
        m_tipsHolder.ShowTip(LoadLangString(kTextTipApplying));
    } else if (me && oldState == 2) {
        if (m_pScreenShareSet != nullptr && m_pScreenShareSet->IsWindow()) {
            m_pScreenShareSet->ShowWindow(SW_HIDE);
        }
        if (g_bFullScreen != 0 && m_pToolBox != nullptr) {
            m_pToolBox->ShowBox(0);
        }
        m_tipsHolder.ShowTip(LoadLangString(kTextTipStopped));
        EndOwnScreenShare();
        StopMediaPlay();
        m_dwPresenter = 0;
        m_wSharedScreenChannel = 0;
        CVideoCycle* cycle = GetVideoCycle();
        if (cycle != nullptr && cycle->IsRunning()) {
            if (m_pLayoutManager != nullptr) {
                m_pLayoutManager->CloseAllVideo();
            }
            if (m_layoutSlots[0] != m_lastLayoutSent && m_pConfManager) {
                yav::layout::WindowLayout outgoing;
                outgoing.Bytes() = m_layoutSlots[2];
                const yav::layout::WindowLayout net = yav::layout::ToNetworkForm(outgoing);
                yav::layout::WindowLayout sent = room;
                sent.Bytes()[0] = net.Bytes()[0];
                sent.Bytes()[1] = net.Bytes()[1];
                m_pConfManager->Transmit(0, SUBCOMMAND_SYNCWNDLAYOUT, sent.Bytes().data(),
                                         static_cast<std::uint16_t>(sent.Bytes().size()));
                m_lastLayoutSent = m_layoutSlots[2];
                m_pendingLayout = sent.Bytes();
            }
        }
        if (cycle != nullptr) {
            cycle->Stop(false);
        }
        m_layoutSlots[1].fill(0);
        m_lastLayoutSent.fill(0);
        ReapplyFollowLead();
        if (!IsMyRoleState0or5()) {
            ClosePreviewOfOthers(userId);
        }
        RefreshChatRecipients();
    } else if (me && oldState == 1) {
        m_tipsHolder.ShowTip(LoadLangString(kTextTipApplyEnded));
    } else if (!me && newState == 2) {
        FormatScreenShareNotice({kTextUser, kTextIsPresenter}, userId);
        m_wSharedScreenChannel = userId;
        YLOG_DEBUG("用户：%d 已经获取主讲人身份", userId);
    } else if (!me && newState != 1 && oldState == 2) {
        if (GetMediaShareState() == 2) {
            StopMediaPlay();
        }
        if (m_pScreenShare != nullptr && m_bScreenBroadcast == 2) {
            m_bScreenBroadcast = 0;
            if (m_bRemoteControl != 1) {
                if (m_pScreenShareSet != nullptr && m_pScreenShareSet->IsWindow()) {
                    m_pScreenShareSet->ShowWindow(SW_HIDE);
                }
                m_pScreenShare->SetRecv(1);
                RecalcLayout(0);
            }
        }
        m_wSharedScreenChannel = 0;
        m_layoutSlots[1].fill(0);
    }

    XDocManager* docs = m_pDocManager.get();
    if (newState == 2) {
        if (me) {
            RefreshToolbarStateEx(1, 1);
            if (docs != nullptr) {
                docs->SetDocOption(1);
            }
            if (g_AppSettings.wDocViewCount > 0) {
                OnDocWindowMsg(1);
            }
        } else {
            RefreshToolbarStateEx(0, 0);
            if (docs != nullptr) {
                docs->SetDocOption(0);
            }
            if (g_bFullScreen != 0) {
                OnDocWindowMsg(0);
            }
        }
    } else if (newState == 0 && oldState == 2) {
        yav::layout::WindowLayout current;
        current.Bytes() = m_layoutSlots[0];
        if (current.MaximisedId() != 0) {
            current.SetMaximisedId(0);
            const yav::layout::WindowLayout net = yav::layout::ToNetworkForm(current);
            ApplySyncLayout(net.Bytes().data(), static_cast<uint16_t>(net.Bytes().size()), 0);
        }
        if (g_AppSettings.byConferenceMode == 0 ||
            (m_wSharedScreenChannel == 0 && IsMyRoleState0or5())) {
            RefreshToolbarStateEx(1, 0);
        } else {
            RefreshToolbarStateEx(0, 0);
        }
        if (docs != nullptr) {
            docs->SetDocOption(0);
        }
    }
    if (me) {
        if (m_pControlBar != nullptr && m_pControlBar->IsWindow()) {
            m_pControlBar->UpdateSyncLayoutButton();
        }
        if (m_pStatusBar != nullptr && m_pStatusBar->IsWindow()) {
            m_pStatusBar->SetShareState(newState);
        }
        if (m_pFullDock != nullptr) {
            m_pFullDock->UpdateButtons();
        }
        if (m_pFileList != nullptr) {
            m_pFileList->UpdateUploadEnable();
        }
    }
    YLOG_DEBUG("HandleLeadingStatus 2");
}

void XMainFrame::StopUnbroadcastVideos() {
    // The new presenter keeps the videos everybody sees and closes what it alone received.
    for (const CMediaIdList::Entry& entry : m_mediaIdList.Snapshot()) {
        if (entry.flag != 0 && !IsMediaIdBroadcast(entry.wMediaId) &&
            m_pVideoReception != nullptr) {
            m_pVideoReception->CloseChannel(entry.wMediaId);
        }
    }
}

void XMainFrame::ClosePreviewOfOthers(uint16_t userId) {
    if (OwnVideoWindow() == nullptr || m_pUserList == nullptr) {
        return;
    }
    const std::uint16_t shown = OwnVideoWindow()->GetUserId();
    const std::uint16_t owner = shown & kMediaIdMask;
    if (owner != 0 && owner != userId) {
        m_pUserList->ToggleUserPreview(shown);
    }
}

// --- participant window and video windows ----------------------------------------------------

void XMainFrame::NoteVideoReceived(uint16_t wMediaId, bool on) {
    if (m_pUserList != nullptr && wMediaId != 0) {
        m_pUserList->OnVideoReceived(wMediaId, on ? 1 : 0);
    }
}

void XMainFrame::SetVideoSpeakIndicator(uint16_t wMediaId, bool on) {
    if (wMediaId == 0) {
        return;
    }
    const auto mark = [wMediaId, on](IVideoWindow* window) {
        auto* shown = dynamic_cast<IRoomVideoWindow*>(window);
        if (shown != nullptr && shown->GetUserId() == wMediaId) {
            shown->SetSpeakIndicator(on);
        }
    };
    if (m_pLayoutManager != nullptr) {
        for (int i = 0; i < static_cast<int>(yav::layout::kVideoWindowCount); ++i) {
            mark(m_pLayoutManager->GetVideoWnd(i));
        }
    }
    // The preview shows a video of the tree's row beside it.
    mark(OwnVideoWindow());
}
