// The room's events as the conference server reports them: video results, broadcasts,
// speaking, room attributes, server notices, the forced exit and participants' roles (UI
// thread, the message pump; OnNotice11 and OnNotice12 come from the component's thread and are
// posted).

#include <QMetaObject>
#include <QPointer>

#include "LayoutCodec.h"
#include "RoomNotices.h"
#include "XConfManager.h"
#include "XMainFrame.h"
#include "app/AppSettings.h"
#include "app/ConfigManger.h"
#include "client/media/VideoCycle.h"
#include "platform/core/Log.h"

namespace {

constexpr int kTextBoxTitle = 1;
constexpr int kTextOpen = 160;
constexpr int kTextClose = 157;
constexpr int kTextVideoFailed = 166;
constexpr int kTextVideo = 2389;
constexpr int kTextBroadcastFailed = 187;
constexpr int kTextBroadcastStopped = 178;
constexpr int kTextBroadcastStarted = 181;
constexpr int kTextBroadcastVideo = 184;
constexpr int kTextUser = 202;
constexpr int kTextSpeaks = 205;
constexpr int kTextStoppedSpeaking = 211;
constexpr int kTextGroupSpeaks = 2176;
constexpr int kTextGroupStopped = 2179;
constexpr int kTextISpeak = 190;
constexpr int kTextIApply = 193;
constexpr int kTextIStopped = 196;
constexpr int kTextIApplyEnded = 199;
constexpr int kTextSystem1 = 1891;
constexpr int kTextSystemOther = 217;
constexpr int kTextTextOn = 145;
constexpr int kTextTextOff = 148;
constexpr int kTextForcedExit = 3100;
constexpr int kTextNotice11 = 232;
constexpr int kTextNotice12One = 1906;
constexpr int kTextNotice12Other = 1909;
constexpr int kTextRecordStarted = 2791;
constexpr int kTextRecordStopped = 2794;
constexpr int kTextRecordEnded = 2797;
constexpr int kTextRecordReasons[] = {2800, 2803, 2806, 2809};
constexpr int kTextNowChair = 271;
constexpr int kTextNoLongerChair = 268;
constexpr int kTextTipChair = 373;
constexpr int kTextTipNotChair = 376;
constexpr int kTextSharedMediaTab = 1060;
constexpr int kForcedExitSeconds = 5;

constexpr std::uint16_t kBulletinOffset = 13;
constexpr std::uint16_t kRecordRightOffset = 270;
constexpr std::uint16_t kChatRightsOffset = 271;
constexpr std::uint16_t kConfFlagOffset = 272;
constexpr std::uint16_t kServerRecordOffset = 274;
constexpr WPARAM kCmdSyncLayout = 1051;
constexpr std::uint32_t kMediaIdMask = 0xFFF8;
constexpr std::uint32_t kMsgVideo = 0x9D00;

// User kinds 0x50B carries: 0 chair, 5 temporary administrator, others member.
bool IsChairKindState(std::uint8_t state) {
    return state == 0 || state == 5;
}

// The recording-stop text of a reason (0: stopped; 1..4 the reason's text; else ended).
QString RecordStopText(std::uint32_t reason) {
    if (reason >= 1 && reason <= 4) {
        return QStringLiteral("%1,%2").arg(LoadLangString(kTextRecordEnded),
                                           LoadLangString(kTextRecordReasons[reason - 1]));
    }
    return LoadLangString(kTextRecordEnded);
}

}  // namespace

// --- notices ---------------------------------------------------------------------------------

void XMainFrame::FormatScreenShareNotice(std::initializer_list<int> textIds, uint16_t id) {
    if (!m_pConfManager) {
        return;
    }
    const QString name = m_pConfManager->GetUserNameText(static_cast<uint16_t>(id & kMediaIdMask));
    if (name.isEmpty()) {
        return;
    }
    QStringList texts;
    for (int textId : textIds) {
        texts.push_back(LoadLangString(textId));
    }
    if (texts.size() == 2) {
        m_strNotice = yav::notice::UserNotice({texts[0], texts[1]}, name, id);
    } else if (texts.size() == 3) {
        m_strNotice = yav::notice::UserNotice({texts[0], texts[1], texts[2]}, name, id);
    } else {
        return;
    }
    if (m_pUserList != nullptr) {
        if (IChat* chat = m_pUserList->GetChatWindow(); chat != nullptr && chat->IsWindow()) {
            chat->ForwardToSystemChat(m_strNotice);
        }
    }
    m_strNotice.clear();
}

// --- slot 0: video-open result ---------------------------------------------------------------

void XMainFrame::OnVideoOpenResult(uint16_t mediaId, uint16_t result, uint32_t value) {
    // The answer to a request the room made for a reception it had started already.
    if ((result != 0 || value != 0) && m_pConfManager &&
        m_pConfManager->TakeQuietVideoRequest(mediaId)) {
        return;
    }
    if (result != 0) {
        NoteVideoReceived(mediaId, false);
        switch (result) {
            case 0x100C:
                FormatScreenShareNotice({kTextOpen, kTextVideoFailed, 169}, mediaId);
                break;
            case 0x100E:
                FormatScreenShareNotice({kTextOpen, kTextVideoFailed, 172}, mediaId);
                break;
            case 0x1010:
                FormatScreenShareNotice({kTextOpen, kTextVideoFailed, 175}, mediaId);
                break;
            default:
                FormatScreenShareNotice({kTextOpen, kTextVideoFailed}, mediaId);
                break;
        }
        return;
    }
    if (!m_pConfManager) {
        return;
    }
    if (value != 0) {
        // Closed while the request was pending: nothing is received.
        if (m_pConfManager->TakeVideoRequest(mediaId) == 0) {
            return;
        }
        NoteVideoReceived(mediaId, true);
        if (m_pVideoReception != nullptr) {
            m_pVideoReception->MediaVideoRecv(mediaId, value);
        }
        FormatScreenShareNotice({kTextOpen, kTextVideo}, mediaId);
        return;
    }
    m_pConfManager->UpdateVideoRequest(mediaId, 255, 255, 1);
    NoteVideoReceived(mediaId, false);
    if (m_pVideoReception != nullptr && m_pVideoReception->StopVideoRecv(mediaId, 0, 1) != 0) {
        FormatScreenShareNotice({kTextClose, kTextVideo}, mediaId);
    }
}

// --- slot 1: broadcast video -----------------------------------------------------------------

void XMainFrame::HandleBroadcastVideo(uint16_t mediaId, uint16_t result, uint8_t on,
                                      uint32_t value) {
    const int channel = mediaId % 8;
    YLOG_DEBUG("HandleBroadcastVideo 1");
    if (result != 0) {
        FormatScreenShareNotice({kTextBroadcastFailed, kTextVideoFailed}, mediaId);
    } else if (on == 0) {
        if (m_pUserList != nullptr) {
            m_pUserList->SetBroadcastState(mediaId, 0);
        }
        FormatScreenShareNotice({kTextBroadcastStopped, kTextBroadcastVideo}, mediaId);
        YLOG_DEBUG("停止广播%d的视频 是第七路吗7==%d", mediaId, channel);
        // Keeping an own layout leaves camera windows and their streams as the user arranged
        // them; only the synchronised layout hears of it.
        if (g_AppSettings.freeLayout == 0 || channel == 7) {
            if (m_pLayoutManager != nullptr) {
                m_pLayoutManager->RemoveVideoWnd(mediaId, m_layoutSlots[0].data());
            }
            if (channel == 7 && m_byMediaShareRecvState == 2) {
                if (g_AppSettings.freeLayout != 0) {
                    StopMediaShare();
                    if (m_pControlBar != nullptr) {
                        m_pControlBar->RemoveDocTab(1, 0);
                    }
                } else {
                    StopMediaPlay();
                }
            }
            if (m_pVideoReception != nullptr) {
                m_pVideoReception->StopVideoRecv(mediaId, 0, 1);
            }
        }
        SendSyncWndLayout(1);
    } else {
        if (m_pUserList != nullptr) {
            m_pUserList->SetBroadcastState(mediaId, on);
        }
        YLOG_DEBUG("开始接收广播%d的视频 是第七路吗7==%d", mediaId, channel);
        if ((g_AppSettings.freeLayout == 0 || channel == 7) && m_pVideoReception != nullptr) {
            m_pVideoReception->MediaVideoRecv(mediaId, value);
        }
        if (channel == 7 && m_byMediaShareRecvState == 0) {
            m_byMediaShareRecvState = 2;
            if (m_pControlBar != nullptr) {
                m_pControlBar->AddDocTab(LoadLangString(kTextSharedMediaTab), 1);
            }
        }
        FormatScreenShareNotice({kTextBroadcastStarted, kTextBroadcastVideo}, mediaId);
    }
    YLOG_DEBUG("HandleBroadcastVideo 2");
}

// --- slot 2: a user's audio state ------------------------------------------------------------

void XMainFrame::OnUserAudioStatus(uint16_t userId, uint8_t status, uint8_t previous,
                                   uint32_t value) {
    if (status == 0 && g_AppSettings.bVoiceIncentive != 0 && m_pVoiceIncentive != nullptr) {
        m_pVoiceIncentive->HideNotice();
    }
    YLOG_DEBUG("用户%d的音频状态变更 status=%d old=%d", userId, status, previous);
    if (!m_pConfManager) {
        return;
    }
    std::shared_ptr<ST_USER_PRIVATEDATA> theirs;
    m_pConfManager->GetUserPrivateData(theirs, userId);
    const std::shared_ptr<ST_USER_PRIVATEDATA> mine = m_pConfManager->GetMyPrivateData();
    if (status == 2) {
        SetUserStateOnce(userId, value);
    }
    if (theirs != nullptr && mine != nullptr) {
        if (theirs->groupValue == mine->groupValue) {
            if (theirs->groupValue == 0) {
                ApplyAudioState(userId, status, previous, value);
            } else {
                ApplyAudioStateEx(userId, status, value);
            }
        } else {
            if (m_pUserList != nullptr) {
                m_pUserList->OnUserAudioState(userId, status);
            }
            if (userId == m_wSpeakerId || theirs->listenFlag != 0) {
                StopRecvAudio(userId);
            }
        }
    }
    if (m_pLayoutManager != nullptr) {
        IRoomVideoWindow* first = m_pLayoutManager->GetVideoWnd(0);
        if (first != nullptr && !first->IsPopupStyle()) {
            for (int i = 0; i < static_cast<int>(yav::layout::kVideoWindowCount); ++i) {
                IRoomVideoWindow* window = m_pLayoutManager->GetVideoWnd(i);
                if (window != nullptr && (window->GetUserId() & kMediaIdMask) == userId) {
                    window->ShowSpeakState(status == 2);
                }
            }
        }
    }
    if (status == 1 && IsMyRoleActive() && m_pUserList != nullptr) {
        m_pUserList->FlashMembersTab();
    }
}

void XMainFrame::ApplyAudioState(uint16_t userId, uint8_t status, uint8_t previous,
                                 uint32_t value) {
    if (m_pUserList != nullptr) {
        m_pUserList->OnUserAudioState(userId, status);
    }
    if (userId != GetMyUserId()) {
        if (status == 2) {
            FormatScreenShareNotice({kTextUser, kTextSpeaks}, userId);
        } else if (status != 1 && previous == 2) {
            FormatScreenShareNotice({kTextUser, kTextStoppedSpeaking}, userId);
        }
        std::shared_ptr<ST_USER_PRIVATEDATA> theirs;
        m_pConfManager->GetUserPrivateData(theirs, userId);
        const std::shared_ptr<ST_USER_PRIVATEDATA> mine = m_pConfManager->GetMyPrivateData();
        if (theirs == nullptr || mine == nullptr) {
            return;
        }
        if (theirs->groupValue == mine->groupValue && status == 2) {
            StartRecvAudio(userId, value);
        } else if (userId != m_wSpeakerId && theirs->listenFlag == 0) {
            StopRecvAudio(userId);
            if (status == 0 && userId == m_wSpeakerId) {
                StartRecvAudio(userId, value);
            }
        }
        return;
    }
    const QString* text = nullptr;
    QString spoken;
    if (status == 2) {
        if (m_pRoomMedia != nullptr) {
            m_pRoomMedia->SetAudioSend(true);
        }
        spoken = LoadLangString(kTextISpeak);
        ShowNotice(spoken);
        m_dwMySpeaking = 1;
        m_tipsHolder.ShowTip(spoken);
        std::shared_ptr<ST_USER_ITEM_DEPT> me = m_pConfManager->GetMyUserItem();
        if (me != nullptr && me->privateData.listenFlag != 0) {
            me->privateData.listenFlag = 0;
            std::uint8_t block[10] = {};
            std::memcpy(block, &me->privateData, 8);
            block[8] = me->privateData.speakMode;
            block[9] = me->privateData.listenFlag;
            m_pConfManager->CsCommand27(userId, block);
            if (m_pUserList != nullptr) {
                m_pUserList->RefreshUserItem(userId, me->departmentId + 10);
            }
            if (m_pStatusBar != nullptr) {
                m_pStatusBar->SetSpeakFlag(false);
            }
        }
    } else if (status == 1) {
        m_tipsHolder.ShowTip(LoadLangString(kTextIApply));
    } else if (previous == 2) {
        if (m_pRoomMedia != nullptr && (m_pStatusBar == nullptr || !m_pStatusBar->GetSpeakFlag())) {
            m_pRoomMedia->SetAudioSend(false);
        }
        m_dwMySpeaking = 0;
        spoken = LoadLangString(kTextIStopped);
        text = &spoken;
    } else if (previous == 1) {
        spoken = LoadLangString(kTextIApplyEnded);
        text = &spoken;
    }
    if (text != nullptr) {
        ShowNotice(*text);
        m_tipsHolder.ShowTip(*text);
        if (previous == 2 && m_pFullDock != nullptr) {
            m_pFullDock->UpdateButtons();
        }
    }
    if (m_pStatusBar != nullptr && m_pStatusBar->IsWindow()) {
        m_pStatusBar->OnSpeakStateChanged();
    }
    if (m_pFullDock != nullptr && m_pFullDock->IsWindow()) {
        m_pFullDock->UpdateButtons();
    }
}

void XMainFrame::ApplyAudioStateEx(uint16_t userId, uint8_t status, uint32_t value) {
    if (m_pUserList != nullptr) {
        m_pUserList->OnUserAudioState(userId, status);
    }
    if (userId == GetMyUserId()) {
        const QString text = LoadLangString(status == 2 ? kTextISpeak : kTextIStopped);
        if (m_pRoomMedia != nullptr) {
            m_pRoomMedia->SetAudioSend(status == 2);
        }
        if (status != 2) {
            if (std::shared_ptr<ST_USER_PRIVATEDATA> mine = m_pConfManager->GetMyPrivateData()) {
                mine->speakMode = 2;
            }
        }
        ShowNotice(text);
        m_tipsHolder.ShowTip(text);
        if (status == 2) {
            if (m_pFullDock != nullptr) {
                m_pFullDock->UpdateButtons();
            }
        } else if (m_pStatusBar != nullptr && m_pStatusBar->IsWindow()) {
            m_pStatusBar->OnSpeakStateChanged();
        }
        return;
    }
    FormatScreenShareNotice({kTextUser, status == 2 ? kTextGroupSpeaks : kTextGroupStopped},
                            userId);
    std::shared_ptr<ST_USER_PRIVATEDATA> theirs;
    m_pConfManager->GetUserPrivateData(theirs, userId);
    if (theirs == nullptr) {
        return;
    }
    if (status == 2) {
        StartRecvAudio(userId, value);
    } else if (userId != m_wSpeakerId && theirs->listenFlag == 0) {
        StopRecvAudio(userId);
    }
}

// --- slot 4: room attributes -----------------------------------------------------------------

void XMainFrame::OnConfAttrChanged(uint16_t offset, uint16_t length, const uint8_t* bytes) {
    if (bytes == nullptr || !m_pConfManager) {
        return;
    }
    const std::uint8_t* room = m_pConfManager->GetRoomAttr();
    if (offset == kBulletinOffset && length >= 1 && length <= 259) {
        if (g_pMainFrame != nullptr && m_pBulletinBoard != nullptr) {
            // A lone zero length byte removes the bulletin; otherwise the text is cut to what
            // was given and to whole GBK characters.
            const QString text =
                length == 1 && bytes[0] == 0
                    ? QString()
                    : yav::notice::BulletinText(std::span<const std::uint8_t>(bytes, length));
            if (length == 1 && bytes[0] == 0) {
                m_pBulletinBoard->OnCaptionChanged(QString(), 1);
            } else if (length >= 2) {
                m_pBulletinBoard->OnCaptionChanged(text, 1);
            }
        }
    }
    if (offset == kRecordRightOffset && g_AppSettings.byRecordMode != 0 &&
        m_pStatusBar != nullptr) {
        m_pStatusBar->CheckRecordRight();
    }
    if (offset == kChatRightsOffset) {
        RefreshChatRecipients();
    }
    if (offset == kConfFlagOffset && m_pStatusBar != nullptr) {
        m_pStatusBar->UpdateSpeakButton();
        m_pStatusBar->UpdateRoleTexts();
        if (m_pFullDock != nullptr) {
            m_pFullDock->UpdateButtons();
        }
        if (m_pStatusBar->GetSpeakFlag() && room[kConfFlagOffset] == 0) {
            OnUserPrivateFlagOff(0, 0);
        }
    }
    if (offset == kServerRecordOffset && m_pConfManager->IsRecordOnServer()) {
        const std::uint8_t record = room[kServerRecordOffset];
        if ((record & 1) != 0) {
            m_tipsHolder.ShowTip(LoadLangString(kTextRecordStarted));
            if (m_pStatusBar != nullptr) {
                m_pStatusBar->ShowRecordIndicator(SW_SHOW);
            }
        } else {
            const std::uint32_t reason = record >> 1;
            const QString text =
                reason == 0 ? LoadLangString(kTextRecordStopped) : RecordStopText(reason);
            m_tipsHolder.ShowTip(text);
            ShowNotice(text);
            if (m_pStatusBar != nullptr) {
                m_pStatusBar->ShowRecordIndicator(SW_HIDE);
            }
        }
    }
}

void XMainFrame::RefreshChatRecipients() {
    if (m_pUserList == nullptr || !m_pConfManager) {
        return;
    }
    if (IChat* chat = m_pUserList->GetChatWindow(); chat != nullptr && chat->IsWindow()) {
        const std::uint8_t rights = m_pConfManager->GetRoomAttr()[kChatRightsOffset];
        chat->RefreshRecipients(rights, rights);
    }
}

// --- slots 5 to 13: server notices -----------------------------------------------------------

void XMainFrame::OnSystemMessage(uint32_t code) {
    ShowNoticeAndTip(LoadLangString(code == 1 ? kTextSystem1 : kTextSystemOther));
}

void XMainFrame::OnConfStateUpdate(uint32_t code) {
    int text = 1975;
    if (code == 0) {
        text = 1966;
    } else if (code == 0x1022) {
        text = 1972;
    } else if (code == 0x1024) {
        text = 1963;
    }
    // Shown without waiting: the pump keeps draining while the box is open.
    ShowPopMsg(LoadLangString(kTextBoxTitle), LoadLangString(text), 0, 0, nullptr);
}

void XMainFrame::OnTextMessage(uint32_t on) {
    if (m_pControlBar != nullptr) {
        m_pControlBar->ShowStateLabel(on != 0 ? 1 : 0);
    }
    m_strNotice = LoadLangString(on != 0 ? kTextTextOn : kTextTextOff);
    const QString copy = m_strNotice;
    ShowNotice(copy);
}

void XMainFrame::OnForceExit(uint16_t reason, uint32_t value) {
    YLOG_INFO("forced exit reason=%u value=%u", reason, value);
    // The server closes the connection right after this message: while the box is open the
    // loss must not start a reconnection, which would throw out the login that replaced us.
    if (m_pConfManager) {
        m_pConfManager->MarkStayEnding(true);
    }
    QPointer<QWidget> self(this);
    ShowPopMsg(LoadLangString(kTextBoxTitle), LoadLangString(kTextForcedExit), kForcedExitSeconds,
               0, [self, this](int) {
                   if (self == nullptr) {
                       return;
                   }
                   m_dwForcedClose = 1;
                   CloseByServer();
                   if (m_pConfManager) {
                       m_pConfManager->MarkStayEnding(false);
                   }
               });
}

void XMainFrame::OnReserved9(uint32_t) {}

void XMainFrame::OnConfFlagChanged(uint8_t flag) {
    g_AppSettings.byConferenceMode = flag;
    RefreshToolbarState();
}

void XMainFrame::OnNotice11() {
    // The component's thread: the notice is shown on the UI thread.
    QPointer<QWidget> self(this);
    QMetaObject::invokeMethod(
        this,
        [self, this]() {
            if (self != nullptr) {
                ShowNoticeAndTip(LoadLangString(kTextNotice11));
            }
        },
        Qt::QueuedConnection);
}

void XMainFrame::OnNotice12(uint32_t code) {
    QPointer<QWidget> self(this);
    QMetaObject::invokeMethod(
        this,
        [self, this, code]() {
            if (self != nullptr) {
                ShowNoticeAndTip(LoadLangString(code == 1 ? kTextNotice12One : kTextNotice12Other));
            }
        },
        Qt::QueuedConnection);
}

void XMainFrame::OnNotice13(uint32_t code) {
    if (code == 0) {
        return;
    }
    ShowNoticeAndTip(RecordStopText(code));
}

// --- slot 14: a reception opened or closed in a given window ----------------------------------

void XMainFrame::ReceiveVideo(uint16_t wMediaId, uint32_t, uint32_t mode, IVideoWindow* window) {
    if (window == nullptr) {
        window = OwnVideoWindow();
    }
    if (!m_pConfManager) {
        return;
    }
    CVideoCycle* cycle = GetVideoCycle();
    if (mode == 0) {
        m_pConfManager->UpdateVideoRequest(wMediaId, 255, 255, 1);
        if (wMediaId == 0) {
            return;
        }
        if (window != nullptr) {
            window->SetUserId(0);
            window->SetMediaId(0, true);
        }
        if (m_pRoomMedia != nullptr) {
            m_pRoomMedia->StopRecvVideo(wMediaId);
        }
        NoteVideoReceived(wMediaId, false);
        if (cycle != nullptr) {
            cycle->PushBack(wMediaId);
        }
        m_mediaIdList.SetFlag(wMediaId, 0);
        if (m_pOwnVideo != nullptr && window == OwnVideoWindow()) {
            m_pOwnVideo->ShowWindow(SW_HIDE);
        }
        return;
    }
    if (m_pConfManager->TakeVideoRequest(wMediaId) == 0) {
        return;
    }
    yav::SectionGuard lock(&m_callbackLock);
    if (wMediaId == 0 || wMediaId == GetMyUserId() + 7) {
        return;
    }
    if (cycle != nullptr) {
        cycle->RemoveMediaId(wMediaId);
    }
    m_mediaIdList.SetFlag(wMediaId, 1);
    if (m_pRoomMedia == nullptr || window == nullptr) {
        return;
    }
    window->SetUserId(wMediaId);
    auto* roomWindow = dynamic_cast<IRoomVideoWindow*>(window);
    if (roomWindow != nullptr) {
        roomWindow->SetOwnerSlot(mode);
    }
    m_pRoomMedia->StartRecvVideo(wMediaId, mode, window, kMsgVideo);
    const QString caption =
        m_pVideoReception != nullptr ? m_pVideoReception->FormatChannelName(wMediaId) : QString();
    if (roomWindow != nullptr && m_pRoomMedia->HasStream(wMediaId)) {
        roomWindow->SetVideoState(true);
        roomWindow->UpdateCaption(caption);
    }
}

// --- IUserHandler slot 4: a user's role ------------------------------------------------------

void XMainFrame::OnUserAttrChanged(uint16_t userId, uint32_t departmentId, uint8_t state) {
    // The state is the user's kind: 0 chair and 5 temporary administrator. Both are present
    // in the room; the list shows the role, never the user as absent.
    if (m_pUserList != nullptr) {
        m_pUserList->OnUserKindChanged(userId, departmentId, state);
    }
    const bool chair = IsChairKindState(state);
    FormatScreenShareNotice({kTextUser, chair ? kTextNowChair : kTextNoLongerChair}, userId);
    if (m_pConfManager && userId == m_pConfManager->GetMyUserId()) {
        ST_CONF_LOGIN_INFO& login = m_pConfManager->GetLoginInfo();
        if (chair) {
            login.kind = state;
            m_tipsHolder.ShowTip(LoadLangString(kTextTipChair));
        } else {
            login.kind = 1;
            m_tipsHolder.ShowTip(LoadLangString(kTextTipNotChair));
            m_strSecond.clear();
            if (g_AppSettings.freeLayout != 0 && m_pControlBar != nullptr) {
                PostToControlBarSyncLayout();
            }
            CVideoCycle* cycle = GetVideoCycle();
            if (m_stateBytes[0] == 2 && (cycle == nullptr || !cycle->IsRunning())) {
                RecalcLayout(1);
            }
            if (!IsMyRoleState2() && m_wSharedScreenChannel != 0) {
                m_dwPendingLayout = 1;
                ApplyPendingLayout(0);
                ClosePreviewOfOthers(userId);
            }
        }
        OnConfFlagChanged(g_AppSettings.byConferenceMode);
        if (m_pControlBar != nullptr) {
            m_pControlBar->RefreshRoleButtons();
        }
        if (m_pStatusBar != nullptr) {
            m_pStatusBar->RefreshUserState();
        }
        if (m_pFileList != nullptr) {
            m_pFileList->UpdateUploadButton();
        }
        RefreshChatRecipients();
    }
    if (m_pFullDock != nullptr) {
        m_pFullDock->UpdateButtons();
    }
}
