// The sub-commands the room sends, the four it handles itself (group audio, dissolution) and
// the synchronisation of the window layout with the leading client.

#include <QPointer>

#include <algorithm>

#include "LayoutCodec.h"
#include "UserCommandPayloads.h"
#include "XConfManager.h"
#include "XMainFrame.h"
#include "client/media/VideoCycle.h"
#include "client/ui/CDlgPopMsg.h"
#include "config/AppSettings.h"
#include "config/ConfigManger.h"
#include "platform/core/Log.h"

namespace {

namespace usercmd = yav::usercmd;
namespace proto = yav::proto;
using yav::layout::WindowLayout;

constexpr int kTextMediaShareStarted = 379;
constexpr int kTextMediaShareStopped = 382;
constexpr int kTextGroupBack = 2170;
constexpr int kTextGroupLeft = 2173;
constexpr int kTextDissolvedTitle = 457;
constexpr int kTextDissolved = 463;
// The dissolution box closes by itself: the conference is gone whether or not it is answered.
constexpr int kDissolvedBoxSeconds = 10;

// Slots of the room's layout copies.
constexpr int kRoomLayout = 0;
constexpr int kTargetLayout = 1;
constexpr int kOutgoingLayout = 2;

// Windows that follow a received layout (the last of the 37 is the room's own).
constexpr int kSyncedWindows = 36;

// Where the room attributes keep the shared media: u16 user, u32 value, u8 on.
constexpr std::uint16_t kRoomAttrMediaShare = 6;
constexpr std::uint16_t kRoomAttrMediaShareSize = 7;

std::array<std::uint8_t, ST_USER_PRIVATEDATA::kSize> PrivateBytes(
    const ST_USER_PRIVATEDATA& values) {
    yav::proto::ByteWriter out(ST_USER_PRIVATEDATA::kSize);
    values.Write(out);
    std::array<std::uint8_t, ST_USER_PRIVATEDATA::kSize> bytes{};
    const auto taken = out.Take();
    std::copy_n(taken.begin(), std::min(taken.size(), bytes.size()), bytes.begin());
    return bytes;
}

WindowLayout LayoutOf(const XMainFrame::LayoutRecord& record) {
    return *WindowLayout::FromBytes(record);
}

}  // namespace

// --- consent to control of this screen -----------------------------------------------------

bool XMainFrame::HasControlConsent(uint16_t userId) const {
    return std::find(m_controlConsent.begin(), m_controlConsent.end(), UserOf(userId)) !=
           m_controlConsent.end();
}

void XMainFrame::GrantConsent(uint16_t userId) {
    if (!HasControlConsent(userId)) {
        m_controlConsent.push_back(UserOf(userId));
    }
}

void XMainFrame::RevokeConsent(uint16_t userId) {
    std::erase(m_controlConsent, UserOf(userId));
}

// --- senders -------------------------------------------------------------------------------

void XMainFrame::SendSyncWndLayout(int allowed) {
    if (!IsMyRoleState2() || allowed == 0 || m_dwLayoutReady == 0 || !m_pConfManager) {
        return;
    }
    m_layoutSlots[kOutgoingLayout] = m_layoutSlots[kRoomLayout];
    m_layoutSlots[kTargetLayout].fill(0);
    if (m_layoutSlots[kOutgoingLayout] == m_lastLayoutSent) {
        return;
    }
    const WindowLayout sent = yav::layout::ToNetworkForm(LayoutOf(m_layoutSlots[kOutgoingLayout]));
    YLOG_INFO("发送同步布局命令SUBCOMMAND_SYNCWNDLAYOUT");
    m_pConfManager->Transmit(0, SUBCOMMAND_SYNCWNDLAYOUT, sent.Bytes().data(),
                             static_cast<uint16_t>(kLayoutBytes));
    m_lastLayoutSent = m_layoutSlots[kOutgoingLayout];
    m_pendingLayout = sent.Bytes();
}

void XMainFrame::SendControlRequest(uint16_t to, uint8_t code) {
    if (m_pConfManager) {
        const usercmd::Bytes payload = usercmd::EncodeCode(code);
        m_pConfManager->Transmit(to, SUBCOMMAND_REQUESTCONTROL, payload.data(),
                                 static_cast<uint16_t>(payload.size()));
    }
    if (code == 0) {
        EndRemoteControlView();
        ResumePresenterScreen();
    }
    if (code == 1) {
        m_wRemoteControlID = to;
        m_dwRequestPending = 1;
        if (m_pControlPrompt != nullptr && m_pControlPrompt->IsWindow()) {
            m_pControlPrompt->ShowWindow(SW_HIDE);
        }
    } else {
        m_wRemoteControlID = 0;
        m_dwRequestPending = 0;
    }
}

void XMainFrame::SendControlResponse(uint16_t to, uint8_t code) {
    ICsUserManager* users = GetUserManager();
    if (users == nullptr || !users->IsUserKnown(UserOf(to)) || !m_pConfManager) {
        return;
    }
    const usercmd::ControlResponse response{code, GetMyUserId(), m_dwMediaShareParam};
    const usercmd::Bytes payload = usercmd::Encode(response);
    m_pConfManager->Transmit(to, SUBCOMMAND_RESPONSTCONTROL, payload.data(),
                             static_cast<uint16_t>(payload.size()));
}

void XMainFrame::SendScreenControlReply(uint16_t to, uint8_t code) {
    ICsUserManager* users = GetUserManager();
    if (users == nullptr || !users->IsUserKnown(UserOf(to)) || !m_pConfManager) {
        return;
    }
    const usercmd::ScreenControlReply reply{code, m_dwMediaShareParam};
    const usercmd::Bytes payload = usercmd::Encode(reply);
    m_pConfManager->Transmit(to, proto::kSubCommandScreenControlReply, payload.data(),
                             static_cast<uint16_t>(payload.size()));
}

void XMainFrame::AnswerControlRequest(BYTE accept, WORD userId) {
    // Answered: the asker is the controller now, or nobody of this client's.
    m_wControlAsker = 0;
    if (accept != 0) {
        if (m_pScreenShare == nullptr) {
            // Without screen sharing this screen cannot be controlled: the asker is told so
            // rather than left waiting.
            SendControlResponse(userId, usercmd::kControlUnsupported);
            return;
        }
        m_wRemoteControlID = userId;
        m_bRemoteControl = 2;
        GrantConsent(userId);
        // This screen is shared for the asker to control.
        m_pScreenShare->StartShare(3, 2, 8, 0, 0);
        m_pScreenShare->SetShareOption(0);
        if (m_pStatusBar != nullptr) {
            m_pStatusBar->UpdateMeetingStateText();
        }
        return;
    }
    RevokeConsent(userId);
    if (m_bRemoteControl == 2) {
        SendControlResponse(userId, usercmd::kControlRefused);
    } else if (m_dwAnswerFlag == 0) {
        m_bRemoteControl = 0;
        m_wRemoteControlID = 0;
        SendControlResponse(userId, usercmd::kControlRefused);
        if (m_pStatusBar != nullptr) {
            m_pStatusBar->UpdateMeetingStateText();
        }
    }
}

void XMainFrame::SetRemoteAssistState(int state) {
    // This screen, shared for the user in control, started (1) or ended (0): that user hears
    // it as the answer to its request (307), and only that user.
    const std::uint16_t controller = m_wRemoteControlID;
    if (state != 0) {
        m_bRemoteControl = 2;
        if (controller != 0) {
            SendControlResponse(controller, usercmd::kControlAccepted);
        }
        return;
    }
    m_bRemoteControl = 0;
    m_wRemoteControlID = 0;
    if (controller != 0) {
        RevokeConsent(controller);
        SendControlResponse(controller, usercmd::kControlEnded);
    }
    if (m_pStatusBar != nullptr) {
        m_pStatusBar->UpdateMeetingStateText();
    }
}

void XMainFrame::GrantScreenControl(uint16_t userId, uint8_t on) {
    if (on != 0) {
        GrantConsent(userId);
    } else {
        RevokeConsent(userId);
    }
    if (m_pConfManager) {
        m_pConfManager->GrantScreenControl(userId, on);
    }
}

void XMainFrame::RequestDeviceParam(uint16_t userId) {
    if (!m_pConfManager) {
        return;
    }
    m_wDeviceParamAsked = UserOf(userId);
    m_pConfManager->Transmit(userId, proto::kSubCommandDeviceParamRequest, nullptr, 0);
}

// --- media sharing -------------------------------------------------------------------------

void XMainFrame::ShowMediaShareNotice(int textId) {
    m_strNotice = LoadLangString(textId);
    ShowNotice(m_strNotice);
    m_tipsHolder.ShowTip(m_strNotice);
    YLOG_INFO("%s", m_strNotice.toUtf8().constData());
    m_strNotice.clear();
}

void XMainFrame::StartMediaShare() {
    if (m_byMediaShareRecvState == 1 || !m_pConfManager) {
        return;
    }
    const uint32_t value = m_dwMediaShareParam;
    const usercmd::Bytes payload = usercmd::Encode(usercmd::MediaShare{1, GetMyUserId(), value});
    m_byMediaShareRecvState = 1;
    // The room's record names the sharer before the command goes out: receivers take 266 only
    // from the user that record names (the server keeps the order of one sender's requests).
    if (ICsManager* cs = m_pConfManager->GetCsManager()) {
        yav::proto::ByteWriter attr(kRoomAttrMediaShareSize);
        attr.U16(GetMyUserId());
        attr.U32(value);
        attr.U8(1);
        const auto bytes = attr.Take();
        cs->SetUserAttribute(kRoomAttrMediaShare, kRoomAttrMediaShareSize, bytes.data(), 1);
    }
    m_pConfManager->Transmit(0, SUBCOMMAND_MEDIA, payload.data(),
                             static_cast<uint16_t>(payload.size()));
    YLOG_INFO("开始共享媒体，发送SUBCOMMAND_MEDIA和设置会议室私有数据");
    ShowMediaShareNotice(kTextMediaShareStarted);
}

void XMainFrame::StopMediaShare() {
    if (m_pLayoutManager == nullptr || !m_pLayoutManager->HasMediaPlayWindow() ||
        m_byMediaShareRecvState != 1 || !m_pConfManager) {
        return;
    }
    const usercmd::Bytes payload = usercmd::Encode(usercmd::MediaShare{});
    // Sent while the room's record still names this client: receivers check it.
    m_pConfManager->Transmit(0, SUBCOMMAND_MEDIA, payload.data(),
                             static_cast<uint16_t>(payload.size()));
    m_byMediaShareRecvState = 0;
    YLOG_INFO("停止媒体共享 发送SUBCOMMAND_MEDIA和设置会议室私有数据");
    if (ICsManager* cs = m_pConfManager->GetCsManager()) {
        const std::array<std::uint8_t, kRoomAttrMediaShareSize> zeros{};
        cs->SetUserAttribute(kRoomAttrMediaShare, kRoomAttrMediaShareSize, zeros.data(), 1);
    }
    ShowMediaShareNotice(kTextMediaShareStopped);
}

// --- group audio ---------------------------------------------------------------------------

uint32_t XMainFrame::StartRecvAudio(uint16_t userId, uint32_t param) {
    if (m_pRoomMedia == nullptr) {
        return 0;
    }
    m_pRoomMedia->StartRecvAudio(userId, param);
    return 1;
}

uint32_t XMainFrame::StopRecvAudio(uint16_t userId) {
    if (m_pRoomMedia == nullptr) {
        return 0;
    }
    m_pRoomMedia->StopRecvAudio(userId);
    return 1;
}

void XMainFrame::GroupAudioPass(uint32_t group, bool start) {
    if (!m_pConfManager) {
        return;
    }
    struct Member {
        uint16_t userId;
        uint8_t speakState;
        uint8_t listenFlag;
        uint32_t streamParam;
    };
    // Collected first: the media and panel calls run outside the user manager's walk.
    std::vector<Member> members;
    const uint16_t me = GetMyUserId();
    m_pConfManager->ForEachUser([&](ST_USER_ITEM_DEPT* user) {
        if (user->userId != me && user->privateData.groupValue == group) {
            members.push_back(
                {user->userId, user->speakState, user->privateData.listenFlag, user->streamParam});
        }
    });
    for (const Member& member : members) {
        if (start) {
            if (member.speakState == 2 || member.listenFlag != 0) {
                StartRecvAudio(member.userId, member.streamParam);
                if (member.speakState == 2 && m_pUserList != nullptr) {
                    m_pUserList->OnUserAudioState(member.userId, 2);
                }
            }
        } else {
            if (member.userId != m_wSpeakerId) {
                StopRecvAudio(member.userId);
            }
            if (m_pUserList != nullptr) {
                m_pUserList->OnUserAudioState(member.userId, 0);
            }
        }
    }
}

void XMainFrame::HandleSubCommand275() {
    std::shared_ptr<ST_USER_PRIVATEDATA> mine;
    if (!m_pConfManager || !m_pConfManager->GetUserPrivateData(mine, GetMyUserId()) ||
        mine == nullptr) {
        return;
    }
    const ST_USER_PRIVATEDATA values = *mine;
    GroupAudioPass(values.previousGroupValue, false);
    GroupAudioPass(values.groupValue, true);
    ShowNotice(LoadLangString(kTextGroupBack));
}

void XMainFrame::HandleSubCommand276() {
    if (!m_pConfManager) {
        return;
    }
    const uint16_t me = GetMyUserId();
    ST_USER_PRIVATEDATA updated{};
    bool known = false;
    m_pConfManager->ModifyUserPrivateData(me, [&](ST_USER_PRIVATEDATA* record) {
        record->previousGroupValue = record->groupValue;
        record->groupValue = 0;
        updated = *record;
        known = true;
    });
    if (!known) {
        return;
    }
    m_pConfManager->CsCommand27(me, PrivateBytes(updated).data());
    if (updated.speakMode == 0) {
        m_pConfManager->ApplySpeak();
    } else if (updated.speakMode == 1) {
        m_pConfManager->ApplySpeak();
        m_pConfManager->ApplySpeak();
    }
    GroupAudioPass(updated.previousGroupValue, false);
    GroupAudioPass(0, true);
    if (m_pUserList != nullptr) {
        m_pUserList->OnUserAudioState(me, m_pConfManager->IsSelfPresenterQueued() ? 1 : 0);
    }
    RefreshChatGroupManager();
    const usercmd::Bytes announce = usercmd::EncodeGroupAnnounce(me);
    m_pConfManager->Transmit(0, proto::kSubCommandGroupAnnounce, announce.data(),
                             static_cast<uint16_t>(announce.size()));
    ShowNotice(LoadLangString(kTextGroupLeft));
}

void XMainFrame::HandleSubCommand274(const uint8_t* bytes, uint16_t length) {
    const auto announced = usercmd::DecodeGroupAnnounce(usercmd::BlockOf(bytes, length));
    if (!announced || !m_pConfManager) {
        return;
    }
    std::shared_ptr<ST_USER_ITEM_DEPT> user;
    std::shared_ptr<ST_USER_PRIVATEDATA> mine;
    if (!GetUserInfo(user, *announced) || user == nullptr ||
        !m_pConfManager->GetUserPrivateData(mine, GetMyUserId()) || mine == nullptr) {
        return;
    }
    const uint32_t myGroup = mine->groupValue;
    if (user->privateData.groupValue == myGroup && user->speakState == 2) {
        StartRecvAudio(user->userId, user->streamParam);
    } else if (myGroup == user->privateData.previousGroupValue) {
        if (user->userId != m_wSpeakerId) {
            StopRecvAudio(user->userId);
        }
        // The last other member left: this client leaves the group too.
        if (CountGroupUsers(myGroup) == 1) {
            HandleSubCommand276();
        }
    }
    if (m_pUserList != nullptr) {
        m_pUserList->OnUserAudioState(user->userId, user->speakState);
    }
    RefreshChatGroupManager();
}

void XMainFrame::MoveUserToAudioGroup(uint16_t userId, uint32_t group) {
    std::shared_ptr<ST_USER_ITEM_DEPT> user;
    if (!m_pConfManager || !GetUserInfo(user, userId) || user == nullptr) {
        return;
    }
    const uint8_t speakState = user->speakState;
    if (speakState == 2) {
        m_pConfManager->AwardSpeek(userId, 0);
        StopRecvAudio(userId);
    }
    ST_USER_PRIVATEDATA updated = user->privateData;
    m_pConfManager->ModifyUserPrivateData(userId, [&](ST_USER_PRIVATEDATA* record) {
        record->previousGroupValue = record->groupValue;
        record->groupValue = group;
        record->speakMode = speakState;
        updated = *record;
    });
    m_pConfManager->CsCommand27(userId, PrivateBytes(updated).data());
    m_pConfManager->Transmit(userId, proto::kSubCommandGroupJoin, nullptr, 0);
    m_pConfManager->AwardSpeek(userId, 2);
}

void XMainFrame::DissolveAudioGroup(uint32_t group) {
    if (!m_pConfManager) {
        return;
    }
    // Only the group's members change: the others keep their group and its previous value.
    std::vector<uint16_t> members;
    m_pConfManager->ForEachUser([&](ST_USER_ITEM_DEPT* user) {
        if (user->privateData.groupValue == group) {
            members.push_back(user->userId);
            user->privateData.previousGroupValue = user->privateData.groupValue;
            user->privateData.groupValue = 0;
        }
    });
    for (const uint16_t member : members) {
        m_pConfManager->Transmit(member, proto::kSubCommandGroupLeave, nullptr, 0);
    }
}

// --- dissolution and sounds ----------------------------------------------------------------

void XMainFrame::OnConfDissolved(const uint8_t*, uint16_t) {
    if (m_bDissolving) {
        return;
    }
    m_bDissolving = true;
    ShowPopMsg(LoadLangString(kTextDissolvedTitle), LoadLangString(kTextDissolved),
               kDissolvedBoxSeconds, 2, [this, self = QPointer<QWidget>(this)](int) {
                   if (self == nullptr) {
                       return;
                   }
                   m_bDissolving = false;
                   // The stay is over: the room closes without asking.
                   m_bExit = 1;
                   Post(WM_CLOSE_ROOM, 0, 0);
               });
}

void XMainFrame::OnClapCommand(const uint8_t* bytes, uint16_t length) {
    IPopClap* clap = m_pUserList != nullptr ? m_pUserList->GetPopClap() : nullptr;
    if (clap == nullptr) {
        MissingChild("CDlgPopClap (clap and sounds)");
        return;
    }
    const auto command = usercmd::DecodeClap(usercmd::BlockOf(bytes, length));
    if (!command) {
        return;
    }
    if (command->stop) {
        clap->StopSound(0);
        return;
    }
    switch (command->digit) {
        case '0':
            clap->PlayBroadcast(0);
            break;
        case '1':
            clap->PlayIntermissionMusic(0);
            break;
        case '2':
            clap->PlayClap(0);
            break;
        case '3':
            clap->PlayCheer(0);
            break;
        default:
            break;
    }
}

// --- layout synchronisation ----------------------------------------------------------------

void XMainFrame::LetVideoGo(uint16_t wMediaId, uint32_t force) {
    if (force != 0) {
        if (m_pVideoReception != nullptr) {
            m_pVideoReception->CloseChannel(wMediaId);
        }
    } else if (m_pConfManager) {
        m_pConfManager->RequestUserVideo(wMediaId, 0);
    }
}

void XMainFrame::MoveLayoutWindow(int index, uint16_t oldId, uint16_t newId, uint32_t force,
                                  const LayoutRecord& target) {
    if (newId != 0) {
        const int shown =
            m_pLayoutManager != nullptr ? m_pLayoutManager->FindWndIndexFrom(0, newId) : -1;
        if (shown >= 0 && shown != index) {
            // The video is here already: the two windows change places, nothing is requested.
            m_pLayoutManager->ExchangeWndByIndex(index, shown, m_layoutSlots[kRoomLayout].data());
            return;
        }
        if (g_AppSettings.freeLayout == 0 && oldId != 0) {
            LetVideoGo(oldId, force);
        }
        if (force == 0) {
            YLOG_INFO("布局同步未接收的视频，向CS发送请求接收视频%d", newId);
            if (m_pConfManager) {
                m_pConfManager->RequestUserVideo(newId, 1);
            }
        } else if (m_pVideoReception != nullptr) {
            m_pVideoReception->OpenChannel(newId);
        }
        return;
    }
    // The old video moves to another window of the new layout: swap rather than close.
    const WindowLayout wanted = LayoutOf(target);
    for (int other = 0; other < kSyncedWindows; ++other) {
        if (other != index && wanted.WindowId(static_cast<size_t>(other)) == oldId &&
            m_pLayoutManager != nullptr) {
            m_pLayoutManager->ExchangeWndByIndex(index, other, m_layoutSlots[kRoomLayout].data());
            return;
        }
    }
    if (g_AppSettings.freeLayout == 0) {
        LetVideoGo(oldId, force);
    }
}

void XMainFrame::ApplySyncLayout(const uint8_t* layout, uint16_t length, uint32_t force) {
    if (layout == nullptr || length != kLayoutBytes) {
        return;
    }
    m_dwLayoutReady = 0;
    const auto received = WindowLayout::FromBytes(std::span(layout, length));
    WindowLayout room = LayoutOf(m_layoutSlots[kRoomLayout]);
    room.SetCarriedWord(received->CarriedWord());
    const WindowLayout decoded = yav::layout::FromNetworkForm(*received);
    const bool viewingShared = m_bScreenBroadcast == 2 || m_bRemoteControl == 1;

    if (decoded.MainDisplay() != room.MainDisplay() || decoded.LayoutMode() != room.LayoutMode() ||
        decoded.WindowMode() != room.WindowMode() || decoded.LayoutFlag() != room.LayoutFlag()) {
        room.SetMainDisplay(decoded.MainDisplay());
        room.SetLayoutMode(decoded.LayoutMode());
        room.SetWindowMode(decoded.WindowMode());
        room.SetLayoutFlag(decoded.LayoutFlag());
        m_layoutBytes.layoutMode = room.LayoutMode();
        m_layoutBytes.mainDisplay = room.MainDisplay();
        if (m_pControlBar != nullptr) {
            m_pControlBar->SetBarMode(room.MainDisplay());
        }
        if (room.WindowMode() == 8) {
            if (m_wSharedScreenChannel == 0 || m_byMediaShareRecvState == 0) {
                room.SetWindowMode(4);
            } else if (m_pControlBar != nullptr) {
                m_pControlBar->RefreshRight();
            }
        }
        m_layoutSlots[kRoomLayout] = room.Bytes();
        if (!viewingShared) {
            YLOG_INFO("收到网络同步布局mainDisplay:%d  productType:%d winmode:%d",
                      room.MainDisplay(), room.LayoutMode(), room.WindowMode());
            LayoutPanes(0);
        }
    }
    m_layoutSlots[kRoomLayout] = room.Bytes();
    m_layoutSlots[kTargetLayout] = decoded.Bytes();

    if (!decoded.SameWindowIds(room)) {
        for (int i = 0; i < kSyncedWindows; ++i) {
            const auto index = static_cast<size_t>(i);
            const uint16_t oldId = LayoutOf(m_layoutSlots[kRoomLayout]).WindowId(index);
            const uint16_t newId = decoded.WindowId(index);
            if (oldId == newId) {
                continue;
            }
            MoveLayoutWindow(i, oldId, newId, force, m_layoutSlots[kTargetLayout]);
            WindowLayout updated = LayoutOf(m_layoutSlots[kRoomLayout]);
            updated.SetWindowId(index, newId);
            m_layoutSlots[kRoomLayout] = updated.Bytes();
        }
        if (m_pLayoutManager != nullptr) {
            const WindowLayout now = LayoutOf(m_layoutSlots[kRoomLayout]);
            for (int i = 0; i < kSyncedWindows; ++i) {
                const uint16_t shown = m_pLayoutManager->GetWndMediaId(i);
                if (now.WindowId(static_cast<size_t>(i)) == 0 && shown != 0) {
                    LetVideoGo(shown, force);
                }
            }
        }
    }

    room = LayoutOf(m_layoutSlots[kRoomLayout]);
    if (decoded.MaximisedId() != room.MaximisedId()) {
        room.SetMaximisedId(decoded.MaximisedId());
        m_layoutSlots[kRoomLayout] = room.Bytes();
        if (!viewingShared) {
            const uint16_t id = room.MaximisedId();
            if (m_pArrangement != nullptr) {
                m_pArrangement->ShowFullVideo(id, id > 0);
            }
            if (id == 0 && m_pFullDock != nullptr) {
                m_pFullDock->UpdateButtons();
            }
        }
    }
    m_dwLayoutReady = 1;
}

void XMainFrame::ApplyPendingLayout(uint32_t force) {
    if (force == 0 && m_wSharedScreenChannel == 0) {
        return;
    }
    if (m_dwPendingLayout == 0) {
        return;
    }
    if (m_pendingLayout[yav::layout::kWindowModeOffset] == 8 && m_byMediaShareRecvState == 0) {
        m_pendingLayout[yav::layout::kWindowModeOffset] = 4;
    }
    // The room layout is in the local form: it goes in as it would travel.
    const LayoutRecord chosen =
        m_wSharedScreenChannel == 0
            ? yav::layout::ToNetworkForm(LayoutOf(m_layoutSlots[kRoomLayout])).Bytes()
            : m_pendingLayout;
    ApplySyncLayout(chosen.data(), static_cast<uint16_t>(chosen.size()), 1);
    m_dwPendingLayout = 0;
}

void XMainFrame::ApplyLayoutFromNetwork() {
    g_AppSettings.freeLayout = 0;
    if (m_pControlBar != nullptr) {
        m_pControlBar->UpdateVideoPager();
    }
    m_dwSyncedLayout = 0;
    m_dwPendingLayout = 1;
    if (m_wSharedScreenChannel != 0 && !IsMyRoleState2()) {
        ApplyPendingLayout(1);
    } else {
        ApplyPendingLayout(1);
        if (m_pUserList != nullptr && m_pVideoReception != nullptr) {
            std::vector<uint16_t> broadcast;
            m_pUserList->GetBroadcastMediaIds(broadcast);
            for (const uint16_t id : broadcast) {
                m_pVideoReception->OpenChannel(id);
            }
        }
    }
    CVideoCycle* cycle = GetVideoCycle();
    if (m_bScreenBroadcast == 2 && (cycle == nullptr || !cycle->IsRunning())) {
        RecalcLayout(1);
    }
    if (m_pLayoutManager != nullptr && m_pVideoReception != nullptr) {
        for (int i = 0; i < static_cast<int>(yav::layout::kVideoWindowCount); ++i) {
            const uint16_t id = m_pLayoutManager->GetWndMediaId(i);
            if (id != 0 && !IsMediaIdBroadcast(id) && !m_pVideoReception->IsReceiving(id)) {
                m_pVideoReception->StopVideoRecv(id, 0, 1);
            }
        }
    }
    m_dwSyncedLayout = 1;
    SendSyncWndLayout(1);
}
