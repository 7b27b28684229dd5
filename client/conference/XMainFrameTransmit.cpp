// The receiving side of the user-to-user commands. Every block passes the payload gate first
// (its length and the sender's role, checked against the sender's own record): another
// participant is untrusted input, and the server's relay check is not taken on trust.

#include <QPointer>

#include "LayoutCodec.h"
#include "UserCommandPayloads.h"
#include "XConfManager.h"
#include "XMainFrame.h"
#include "client/ui/CDlgPopMsg.h"
#include "config/AppSettings.h"
#include "config/ConfigManger.h"
#include "config/LangFormat.h"
#include "platform/core/Log.h"

namespace {

namespace usercmd = yav::usercmd;
namespace proto = yav::proto;

constexpr int kTextTitle = 1;
constexpr int kTextScreenViewing = 151;
constexpr int kTextScreenEnded = 154;
constexpr int kTextScreenViewFailed = 2476;
constexpr int kTextMediaStarted = 385;
constexpr int kTextMediaEnded = 388;
constexpr int kTextMediaPaused = 391;
constexpr int kTextMediaTab = 1060;
constexpr int kTextControlGranted = 436;
constexpr int kTextControlQuestion = 412;
constexpr int kTextControlWithdrawn = 2452;
constexpr int kTextControlTakenBack = 2407;
constexpr int kTextControlStarted = 2416;
constexpr int kTextControlStopped = 2419;
constexpr int kTextControlAccepted = 430;
constexpr int kTextControlDeclined = 433;
constexpr int kTextControlGivenUp = 2467;
constexpr int kTextRemoteRequest = 2443;
constexpr int kTextRemoteEnded = 418;
constexpr int kTextRemoteDeclined = 421;
constexpr int kTextRemoteBusy = 2410;
constexpr int kTextRemoteUnsupported = 2413;

// The control prompt's and the question's box type: OK answers the request.
constexpr int kRequestBoxType = 8;

// The u32 of the room attributes that holds the shared screen's value.
constexpr std::uint16_t kRoomAttrScreenValue = 2;

}  // namespace

void XMainFrame::OnTransmit(uint16_t to, uint16_t from, uint16_t subCommand, const uint8_t* bytes,
                            uint16_t length) {
    YLOG_DEBUG("transmit to=%d from=%d sub=0x%x", to, from, subCommand);
    std::shared_ptr<ST_USER_ITEM_DEPT> sender;
    GetUserInfo(sender, UserOf(from));
    if (usercmd::AcceptUserCommand(to, from, subCommand, bytes, length, sender.get(),
                                   CommandPeers())) {
        switch (subCommand) {
            case proto::kSubCommandChat: {
                IChat* chat = m_pUserList != nullptr ? m_pUserList->GetChatWindow() : nullptr;
                if (chat != nullptr && chat->IsWindow()) {
                    chat->OnRecvChatMsg(to, from, bytes, length);
                } else {
                    MissingChild("CDlgChat::OnRecvChatMsg (chat)");
                }
                break;
            }
            case proto::kSubCommandSyncWndLayout:
                std::copy_n(bytes, kLayoutBytes, m_pendingLayout.begin());
                m_dwPendingLayout = 1;
                if (g_AppSettings.freeLayout == 0 && m_pLayoutManager != nullptr) {
                    ApplySyncLayout(bytes, length, 0);
                }
                break;
            case proto::kSubCommandDeviceParamRequest:
                MissingChild("XMediaManager::SendDeviceParam (device parameters)");
                break;
            case proto::kSubCommandDeviceParamReply:
                OnDeviceParamReply(bytes, length);
                break;
            case proto::kSubCommandDeviceParamChange:
                MissingChild("XMediaManager::SetRemoteParam (device parameters)");
                break;
            case proto::kSubCommandCameraControl:
                if (m_pRoomMedia != nullptr) {
                    const auto camera =
                        usercmd::DecodeCameraControl(usercmd::BlockOf(bytes, length));
                    m_pRoomMedia->ControlCamera(static_cast<std::uint8_t>(camera->channel),
                                                static_cast<std::uint32_t>(camera->command));
                } else {
                    MissingChild("XMediaManager::ControlCamera (media)");
                }
                break;
            case proto::kSubCommandScreen:
                OnScreenCommand(bytes, length);
                break;
            case proto::kSubCommandMedia:
                OnMediaCommand(bytes, length);
                break;
            case proto::kSubCommandScreenControlGrant:
                OnScreenControlGrant(from, bytes[0]);
                break;
            case proto::kSubCommandScreenControlQuestion:
                OnScreenControlQuestion(from, bytes[0]);
                break;
            case proto::kSubCommandScreenControlReply:
                OnScreenControlReply(from, bytes, length);
                break;
            case proto::kSubCommandGroupAnnounce:
                HandleSubCommand274(bytes, length);
                break;
            case proto::kSubCommandGroupJoin:
                HandleSubCommand275();
                break;
            case proto::kSubCommandGroupLeave:
                HandleSubCommand276();
                break;
            case proto::kSubCommandConfDissolved:
                OnConfDissolved(bytes, length);
                break;
            case proto::kSubCommandClap:
                OnClapCommand(bytes, length);
                break;
            case proto::kSubCommandRequestControl:
                OnRequestControl(from, bytes[0]);
                break;
            case proto::kSubCommandResponseControl:
                OnResponseControl(from, bytes, length);
                break;
            case proto::kSubCommandAudioListen:
                OnAudioListen(bytes, length);
                break;
            default:
                break;
        }
    }
    if (!m_strNotice.isEmpty()) {
        YLOG_INFO("%s", m_strNotice.toUtf8().constData());
        m_strNotice.clear();
    }
}

usercmd::ReceiverPeers XMainFrame::CommandPeers() const {
    usercmd::ReceiverPeers peers;
    // The shared screen in view: the one a start named, or the one found on entering.
    if (m_bScreenBroadcast == 2 && m_wViewedChannel != 0) {
        peers.viewedSharer = UserOf(m_wViewedChannel);
    }
    peers.controlPeer = m_bRemoteControl != 0 ? UserOf(m_wRemoteControlID) : m_wControlAsker;
    // While this client's own request is pending, the remote-control id is the user asked.
    peers.controlAsked = m_dwRequestPending != 0 ? UserOf(m_wRemoteControlID) : 0;
    if (m_pConfManager) {
        const std::span attr(m_pConfManager->GetRoomAttr(), ST_CONF_LOGIN_INFO::kRoomAttrSize);
        peers.mediaSharer = UserOf(proto::LoadU16(attr, ROOM_ATTR_MEDIA_SHARE));
    }
    peers.deviceAsked = m_wDeviceParamAsked;
    return peers;
}

bool XMainFrame::FormatNameNotice(int textId, uint16_t from, bool withId) {
    const QString name = m_pConfManager ? m_pConfManager->GetUserNameText(UserOf(from)) : QString();
    if (name.isEmpty()) {
        return false;
    }
    // The name goes in as it is: a '%' in it stays a '%'.
    m_strNotice = withId ? yav::SafeFormat(LoadLangString(textId), {name, static_cast<int>(from)})
                         : yav::SafeFormat(LoadLangString(textId), {name});
    return true;
}

void XMainFrame::TipNotice(int textId, uint16_t from, bool withId) {
    if (FormatNameNotice(textId, from, withId)) {
        m_tipsHolder.ShowTip(m_strNotice);
    }
}

void XMainFrame::OnDeviceParamReply(const uint8_t* bytes, uint16_t length) {
    if (m_pDeviceDlg == nullptr) {
        if (auto& make = yav::room::Children().device; make) {
            m_pDeviceDlg = make(this);
        }
    }
    if (m_pDeviceDlg == nullptr) {
        MissingChild("CDlgDevice::OnHandleRespParam (device dialog)");
        return;
    }
    m_pDeviceDlg->OnHandleRespParam(bytes, length);
}

// --- 264 SUBCOMMAND_SCREEN ---------------------------------------------------------------

void XMainFrame::OnScreenCommand(const uint8_t* bytes, uint16_t length) {
    if (m_pScreenShare == nullptr) {
        return;
    }
    const usercmd::ScreenShare screen =
        *usercmd::DecodeScreenShare(usercmd::BlockOf(bytes, length));
    YLOG_DEBUG(
        "SUBCOMMAND_SCREEN (bStartRecv:%d wRemoteChannelID:%d) GetReControlStatus=%d, "
        "m_bScreenBroadcast=%d",
        screen.bStartRecv, screen.wRemoteChannelID, m_bRemoteControl, m_bScreenBroadcast);
    if (screen.bStartRecv != 0) {
        m_wViewedChannel = screen.wRemoteChannelID;
        m_bScreenBroadcast = 2;
        if (m_bRemoteControl == 0) {
            if (m_pScreenShare->StartRecv(screen.wRemoteChannelID, screen.screenParam) != 0) {
                m_strNotice = LoadLangString(kTextScreenViewing);
                ShowNotice(m_strNotice);
                if (isMinimized()) {
                    ShowWindow(SW_MAXIMIZE);
                }
                if (g_AppSettings.freeLayout == 0) {
                    RecalcLayout(1);
                }
            } else {
                m_strNotice = LoadLangString(kTextScreenViewFailed);
                m_tipsHolder.ShowTip(m_strNotice);
            }
        }
    } else {
        if (m_bScreenBroadcast == 1) {
            m_bScreenBroadcast = 0;
            ShowWindow(SW_SHOW);
            CloseSharedScreen(true);
            m_controlConsent.clear();
        } else {
            m_wViewedChannel = 0;
            m_bScreenBroadcast = 0;
            if (m_bRemoteControl == 0) {
                m_pScreenShare->SetRecv(1);
                m_strNotice = LoadLangString(kTextScreenEnded);
                ShowNotice(m_strNotice);
                if (isMinimized()) {
                    ShowWindow(SW_MAXIMIZE);
                }
                RecalcLayout(0);
            }
        }
        if (m_pConfManager) {
            m_pConfManager->ClearRoomAttr(kRoomAttrScreenValue, 4);
        }
        m_byScreenControlMode = 0;
    }
    YLOG_DEBUG("SUBCOMMAND_SCREEN 2");
}

// --- 266 SUBCOMMAND_MEDIA ----------------------------------------------------------------

void XMainFrame::OnMediaCommand(const uint8_t* bytes, uint16_t length) {
    if (m_pLayoutManager == nullptr || !m_pLayoutManager->HasMediaPlayWindow()) {
        MissingChild("XLayoutManager media-play window (media sharing)");
        return;
    }
    const std::uint8_t code = usercmd::DecodeMediaShare(usercmd::BlockOf(bytes, length))->code;
    YLOG_INFO("shared media: code %u, receiving state %u", code, m_byMediaShareRecvState);
    if (code == 1 && m_byMediaShareRecvState == 0) {
        m_strNotice = LoadLangString(kTextMediaStarted);
        ShowNotice(m_strNotice);
        m_byMediaShareRecvState = 2;
        if (m_pControlBar != nullptr) {
            m_pControlBar->AddDocTab(LoadLangString(kTextMediaTab), 1);
        }
    } else if (code == 0 && (m_byMediaShareRecvState == 1 || m_byMediaShareRecvState == 2)) {
        StopMediaPlay();
        m_strNotice = LoadLangString(kTextMediaEnded);
        ShowNotice(m_strNotice);
    } else if (code == 2) {
        m_strNotice = LoadLangString(kTextMediaPaused);
        ShowNotice(m_strNotice);
        m_byMediaShareRecvState = 2;
    }
}

// --- 267, 268, 269 screen control ----------------------------------------------------------

void XMainFrame::OnScreenControlGrant(uint16_t from, uint8_t code) {
    if (code == usercmd::kScreenControlGranted) {
        TipNotice(kTextControlGranted, from);
        m_byScreenControlMode = 1;
        m_dwCycleHold = 0;
    } else if (code == usercmd::kScreenControlWithdrawn) {
        m_dwCycleHold = 0;
        SendScreenControlReply(from, usercmd::kReplyTakenBack);
    }
}

void XMainFrame::OnScreenControlQuestion(uint16_t from, uint8_t code) {
    if (code != 1) {
        m_dwAnswerFlag = 1;
        TipNotice(kTextControlWithdrawn, from, true);
        return;
    }
    m_dwAnswerFlag = 0;
    if (m_bQuestionOpen || (m_pControlPrompt != nullptr && m_pControlPrompt->IsWindow())) {
        // One question at a time: a second asker is not shown a window over the first.
        YLOG_INFO("screen-control question from %u not asked: another request is open", from);
        return;
    }
    if (!FormatNameNotice(kTextControlQuestion, from, true)) {
        m_strNotice = yav::SafeFormat(LoadLangString(kTextControlQuestion),
                                      {QString::number(from), static_cast<int>(from)});
    }
    m_bQuestionOpen = true;
    ShowPopMsg(LoadLangString(kTextTitle), m_strNotice, 0, kRequestBoxType,
               [this, self = QPointer<QWidget>(this), from](int answer) {
                   if (self == nullptr) {
                       return;
                   }
                   m_bQuestionOpen = false;
                   if (answer == IDOK) {
                       if (m_pScreenShare != nullptr) {
                           m_pScreenShare->AllowControl(1);
                           GrantConsent(from);
                           SendScreenControlReply(from, usercmd::kReplyAccepted);
                           if (m_pUserList != nullptr) {
                               m_pUserList->AddScreenControlUser(from);
                           }
                       }
                   } else {
                       if (m_pScreenShare != nullptr) {
                           m_pScreenShare->AllowControl(0);
                           SendScreenControlReply(from, usercmd::kReplyDeclined);
                       }
                       if (m_pUserList != nullptr) {
                           m_pUserList->RemoveScreenControlUser(from);
                       }
                   }
               });
}

void XMainFrame::OnScreenControlReply(uint16_t from, const uint8_t* bytes, uint16_t length) {
    const usercmd::ScreenControlReply reply =
        *usercmd::DecodeScreenControlReply(usercmd::BlockOf(bytes, length));
    switch (reply.code) {
        case usercmd::kReplyTakenBack:
            TipNotice(kTextControlTakenBack, from);
            if (m_pUserList != nullptr) {
                m_pUserList->RemoveScreenControlUser(from);
            }
            break;
        case usercmd::kReplyControlOn:
            // Control of this screen only by someone this client's user let in.
            if (!HasControlConsent(UserOf(from))) {
                YLOG_WARN("screen control by %u refused: this user did not agree to it", from);
                break;
            }
            if (m_pScreenShare != nullptr) {
                m_pScreenShare->AllowControl(1);
                TipNotice(kTextControlStarted, from);
            }
            if (m_pUserList != nullptr) {
                m_pUserList->AddScreenControlUser(from);
            }
            break;
        case usercmd::kReplyControlOff:
            if (m_pScreenShare != nullptr) {
                m_pScreenShare->AllowControl(0);
                TipNotice(kTextControlStopped, from);
                if (m_pUserList != nullptr) {
                    m_pUserList->RemoveScreenControlUser(from);
                }
            }
            break;
        case usercmd::kReplyAccepted:
            m_byScreenControlMode = 2;
            m_dwCycleHold = 1;
            m_wViewedChannel = from;
            TipNotice(kTextControlAccepted, from);
            break;
        case usercmd::kReplyDeclined:
            m_dwCycleHold = 0;
            m_byScreenControlMode = 0;
            TipNotice(kTextControlDeclined, from);
            break;
        case usercmd::kReplyGivenUp:
            TipNotice(kTextControlGivenUp, from);
            if (m_pUserList != nullptr) {
                m_pUserList->RemoveScreenControlUser(from);
            }
            break;
        default:
            break;
    }
    // A reply ends this client's own request only when it comes from the user asked: another
    // user's reply would make it refuse the answer it waits for.
    if (UserOf(from) == UserOf(m_wRemoteControlID)) {
        m_dwRequestPending = 0;
    }
}

// --- 306, 307 remote control ---------------------------------------------------------------

void XMainFrame::OnRequestControl(uint16_t from, uint8_t code) {
    YLOG_DEBUG("SUBCOMMAND_REQUESTCONTROL 1");
    if (code == 1) {
        m_dwAnswerFlag = 0;
        if (!FormatNameNotice(kTextRemoteRequest, from, true)) {
            m_strNotice = yav::SafeFormat(LoadLangString(kTextRemoteRequest),
                                          {QString::number(from), static_cast<int>(from)});
        }
        const bool promptOpen = m_pControlPrompt != nullptr && m_pControlPrompt->IsWindow();
        if (m_bRemoteControl != 0 || m_dwRequestPending != 0 || GetScreenShareState() != 0 ||
            promptOpen || m_bQuestionOpen) {
            // Busy: one request at a time, never a second window over an open one.
            SendControlResponse(from, usercmd::kControlBusy);
            return;
        }
        m_pControlPrompt->SetParams(LoadLangString(kTextTitle), m_strNotice, 0, kRequestBoxType,
                                    this, 1);
        m_pControlPrompt->SetRequestUser(from);
        m_pControlPrompt->Create(CDlgPopMsg::IDD, this);
        m_pControlPrompt->ShowWindow(SW_SHOW);
        // Until the prompt is answered, the asker may withdraw (306 code 2).
        m_wControlAsker = UserOf(from);
    } else if (code == 0) {
        m_dwAnswerFlag = 0;
        if (m_pScreenShare != nullptr) {
            m_pScreenShare->StopShare();
        }
    } else if (code == 2) {
        m_dwAnswerFlag = 1;
        m_bRemoteControl = 0;
        TipNotice(kTextControlWithdrawn, from, true);
    }
    YLOG_DEBUG("SUBCOMMAND_REQUESTCONTROL 2");
}

void XMainFrame::OnResponseControl(uint16_t from, const uint8_t* bytes, uint16_t length) {
    YLOG_DEBUG("SUBCOMMAND_RESPONSTCONTROL 1");
    m_dwRequestPending = 0;
    const usercmd::ControlResponse response =
        *usercmd::DecodeControlResponse(usercmd::BlockOf(bytes, length));
    switch (response.result) {
        case usercmd::kControlAccepted:
            if (m_pScreenShare == nullptr) {
                break;
            }
            if (m_bScreenBroadcast == 2) {
                m_pScreenShare->SetRecv(1);
                if (m_byScreenControlMode == 2) {
                    m_byScreenControlMode = 0;
                    m_dwCycleHold = 0;
                    SendScreenControlReply(m_wSharedScreenChannel, usercmd::kReplyControlOff);
                }
            }
            if (m_pScreenShare->StartRecv(response.channelId, response.screenParam) != 0) {
                m_dwCycleHold = 1;
                m_wRemoteControlID = response.channelId;
                m_bRemoteControl = 1;
                if (isMinimized()) {
                    ShowWindow(SW_MAXIMIZE);
                }
                RecalcLayout(1);
                if (m_pStatusBar != nullptr) {
                    m_pStatusBar->UpdateMeetingStateText();
                }
            }
            break;
        case usercmd::kControlEnded:
            TipNotice(kTextRemoteEnded, from);
            EndRemoteControlView();
            if (m_bScreenBroadcast == 2 && m_pScreenShare != nullptr) {
                m_pScreenShare->StartRecv(m_wSharedScreenChannel, response.screenParam);
                RecalcLayout(1);
            }
            break;
        case usercmd::kControlRefused:
            TipNotice(kTextRemoteDeclined, from);
            break;
        case usercmd::kControlBusy:
            TipNotice(kTextRemoteBusy, from);
            break;
        case usercmd::kControlUnsupported:
            TipNotice(kTextRemoteUnsupported, from);
            break;
        default:
            break;
    }
    YLOG_DEBUG("SUBCOMMAND_RESPONSTCONTROL 2");
}

// --- 308 audio-listen flag -----------------------------------------------------------------

void XMainFrame::OnAudioListen(const uint8_t* bytes, uint16_t length) {
    const usercmd::AudioListen listen =
        *usercmd::DecodeAudioListen(usercmd::BlockOf(bytes, length));
    std::shared_ptr<ST_USER_ITEM_DEPT> user;
    if (!GetUserInfo(user, listen.userId) || user == nullptr) {
        return;
    }
    const auto setListen = [this, &listen](std::uint8_t on) {
        if (m_pUserList != nullptr && m_pConfManager) {
            m_pConfManager->ModifyUserPrivateData(
                listen.userId, [on](ST_USER_PRIVATEDATA* record) { record->listenFlag = on; });
        }
    };
    if (listen.flag != 0) {
        if (!m_pConfManager || !m_pConfManager->HasCurrentUser()) {
            StartRecvAudio(listen.userId, user->streamParam);
        }
        setListen(1);
    } else {
        if (listen.userId != m_wSpeakerId && user->speakState != 2) {
            StopRecvAudio(listen.userId);
        } else if (m_pConfManager && !m_pConfManager->IsSelfPresenterQueued() &&
                   listen.userId == m_wSpeakerId) {
            StartRecvAudio(listen.userId, user->streamParam);
        }
        setListen(0);
    }
    if (m_pUserList != nullptr) {
        m_pUserList->RefreshUserItem(listen.userId, user->departmentId + 10);
    }
}
