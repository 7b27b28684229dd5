// The components' callbacks (on their threads: they post to the room window and return) and
// the network-event switch that handles what they posted, on the UI thread.

#include <QPointer>

#include <cstring>

#include "LayoutCodec.h"
#include "XConfManager.h"
#include "XDocManager.h"
#include "XMainFrame.h"
#include "client/media/XMediaManager.h"
#include "config/ConfigManger.h"
#include "config/LangFormat.h"
#include "platform/core/Log.h"
#include "platform/core/TextCodec.h"

namespace {

constexpr int kTextMediaConnected = 292;
constexpr int kTextMediaFailed = 295;
constexpr int kTextStreamConnected = 298;
constexpr int kTextStreamFailed = 301;
constexpr int kTextSucceeded = 304;
constexpr int kTextFailed = 307;
constexpr int kTextScreenLoggedIn = 343;
constexpr int kTextScreenLoggingIn = 346;
constexpr int kTextScreenLoginFailed = 349;
constexpr int kTextScreenRecvLost = 352;
constexpr int kTextScreenRecvAgain = 355;
constexpr int kTextScreenSendAgain = 358;
constexpr int kTextScreenShareStarted = 361;
constexpr int kTextScreenShareStopped = 364;
constexpr int kTextScreenShareFailed = 2479;
constexpr int kTextScreenWindowGone = 5495;
// Subjects of the media results 0x300F, 0x3010, 0x3012, 0x3013.
constexpr int kTextMediaSubjects[] = {310, 313, 316, 319};
// NETMSG_WB_FILELIST results 1..5 and NETMSG_WB_MSGRESULt results 1..6.
constexpr int kTextFileListResults[] = {277, 280, 283, 286, 289};
constexpr int kTextDocResults[] = {322, 325, 328, 340, 331, 328};
constexpr std::uint16_t kSubCommandScreen = 264;
constexpr int kMediaFailsBeforeReset = 2;
constexpr UINT kNetQualityMs = 15000;

QString ResultText(const int* texts, size_t count, LPARAM status) {
    if (status < 1 || static_cast<size_t>(status) > count) {
        return QString();
    }
    return LoadLangString(texts[status - 1]);
}

}  // namespace

// --- IKroDataHandleMsg ---------------------------------------------------------------------

void XMainFrame::OnMsgResult(std::intptr_t result, std::intptr_t) {
    Post(WM_NET_MESSAGE, NETMSG_WB_MSGRESULt, result);
}

int XMainFrame::GetOwner() {
    // Asked on a component thread: the state the UI thread keeps for it.
    return m_nShowCommand.load();
}

void XMainFrame::OnDocMsg1(std::uint8_t show) {
    Post(WM_DOCDATA_MESSAGE, 1, show);
}

void XMainFrame::OnDocMsg2(std::uint16_t value) {
    Post(WM_DOCDATA_MESSAGE, 2, value);
}

void XMainFrame::OnDocData(std::uint32_t kind, std::int32_t value, std::uint32_t extra) {
    DocPageRecord record;
    record.kind = kind;
    record.value = value;
    record.extra = extra;
    // The record travels as an owned payload: freed whether it is handled or dropped.
    GetSafeHwnd().PostPayload(WM_DOCDATA_MESSAGE, 3, record);
}

std::intptr_t XMainFrame::OnFileListRecord(const std::uint8_t* record32) {
    // The list belongs to the room's thread, which may be dropping it right now: the record
    // goes there as a copy. Taken either way, as without a list.
    if (record32 != nullptr) {
        FileListRecord record{};
        std::memcpy(record.data(), record32, record.size());
        GetSafeHwnd().PostPayload(WM_FILELIST_REPORT, kFileListRecord, record);
    }
    return 1;
}

void XMainFrame::OnLowLevelMsg(std::uint32_t msg, const QString& text, std::uint32_t status) {
    YLOG_INFO("文档底层消息=%d msg=<%s> msgStat=%d", static_cast<int>(msg),
              text.toUtf8().constData(), static_cast<int>(status));
    auto message = std::make_shared<ST_DOC_MSG>();
    message->msg = msg;
    message->status = status;
    message->text = text;
    GetSafeHwnd().PostPayload(WM_FILELIST_REPORT, kFileListDocMessage, std::move(message));
}

LRESULT XMainFrame::OnFileListReport(WPARAM kind, LPARAM lParam) {
    if (m_pFileList == nullptr) {
        return 0;
    }
    if (kind == kFileListRecord) {
        if (const FileListRecord* record = yav::PayloadOf<FileListRecord>(lParam)) {
            m_pFileList->AddFileRecord(record->data());
        }
    } else if (kind == kFileListDocMessage) {
        if (auto* message = yav::PayloadOf<std::shared_ptr<ST_DOC_MSG>>(lParam);
            message != nullptr && *message != nullptr) {
            const bool front = (*message)->msg == 7;
            m_pFileList->QueueDocMessage(std::move(*message), front);
        }
    }
    return 0;
}

// --- IFileListMsgResult, IMediaHandler, IRemoteControlHandler ------------------------------

void XMainFrame::OnFileListResult(std::intptr_t result, std::intptr_t) {
    Post(WM_NET_MESSAGE, NETMSG_WB_FILELIST, result);
}

void XMainFrame::OnMediaServerConnected(std::intptr_t status) {
    Post(WM_NET_MESSAGE, NETMSG_CONNECTED_MEDIASERVER, status);
}

void XMainFrame::OnStreamServerConnected(std::intptr_t status) {
    Post(WM_NET_MESSAGE, NETMSG_CONNECTED_STREAMSERVER, status);
}

void XMainFrame::OnMediaEvent3010(std::intptr_t, std::intptr_t status) {
    Post(WM_NET_MESSAGE, NETMSG_MEDIA_RESULT_3010, status);
}

void* XMainFrame::GetLocalVideo(std::uint32_t channel, std::intptr_t) {
    if (g_pMediaManager == nullptr) {
        return nullptr;
    }
    // Only the low three bits name the channel; without a media component no channel has a
    // picture source.
    const auto own = static_cast<std::uint16_t>(GetMyUserId() + (channel & 7u));
    return g_pMediaManager->GetMediaControl(own);
}

void XMainFrame::OnMediaEvent3013(std::intptr_t, std::intptr_t status) {
    Post(WM_NET_MESSAGE, NETMSG_MEDIA_RESULT_3013, status);
}

void XMainFrame::OnMediaEvent300F(std::intptr_t status) {
    Post(WM_NET_MESSAGE, NETMSG_MEDIA_RESULT_300F, status);
}

void XMainFrame::OnMediaEvent3012(std::intptr_t status) {
    Post(WM_NET_MESSAGE, NETMSG_MEDIA_RESULT_3012, status);
}

void XMainFrame::OnMediaEvent3018(std::intptr_t value) {
    Post(WM_NET_MESSAGE, NETMSG_MEDIA_NOTICE_3018, value);
}

void XMainFrame::OnRemoteControl(std::intptr_t status) {
    Post(WM_NET_MESSAGE, NETMSG_SCREEN_LOGIN, status);
}

void XMainFrame::OnScreenShareStatus(std::intptr_t status) {
    YLOG_INFO("处理开始屏幕共享的消息 0 开始共享 1停止共享 2共享失败 nStatus:%d",
              static_cast<int>(status));
    Post(WM_NET_MESSAGE, NETMSG_SCREEN_SHARE, status);
}

void XMainFrame::OnScreenSendRequest(std::intptr_t status) {
    YLOG_INFO("收到请求开始发送屏幕数据的消息 0 请求发送 其它 停止发送 nStatus:%d",
              static_cast<int>(status));
    Post(WM_NET_MESSAGE, NETMSG_SCREEN_SENDREQUEST, status);
}

void XMainFrame::OnScreenRecvReconnected(std::intptr_t wParam, std::intptr_t) {
    YLOG_INFO(
        "处理屏幕接收者的消息,wParam = 1,lParam=0 , 表示断线重连上了,通知上层,"
        "重新调用接收屏幕数据 wParam:%d",
        static_cast<int>(wParam));
    Post(WM_NET_MESSAGE, NETMSG_SCREEN_MSGOFRECEVIER, wParam);
}

void XMainFrame::OnScreenSendReconnected(std::intptr_t wParam, std::intptr_t) {
    YLOG_INFO(
        "处理屏幕发送者的消息,wParam = 1,lParam=0 , 表示断线重连上了,通知上层,"
        "请上层通知其它用户重新接收屏幕 wParam:%d",
        static_cast<int>(wParam));
    Post(WM_NET_MESSAGE, NETMSG_SCREEN_MSGOFSENDER, wParam);
}

// --- the document window and tool box ------------------------------------------------------

void XMainFrame::OnDocWindowMsg(std::uint8_t show) {
    if (show != 0 && (!IsMyRoleState2() || isMinimized())) {
        return;
    }
    bool visible = m_pLayoutManager != nullptr && m_pLayoutManager->HasDocWindow();
    if (g_bFullScreen != 0) {
        visible = visible && IsMyRoleState2();
    }
    if (IToolBox* box = GetToolBoxDlg()) {
        box->ShowBox(visible ? SW_SHOWNOACTIVATE : SW_HIDE);
    }
}

void XMainFrame::OnDocListMsg(std::uint16_t value) {
    if (IToolBox* box = GetToolBoxDlg()) {
        box->ApplyZoom(value, 0);
    }
}

// --- HandleNetMessage ----------------------------------------------------------------------

void XMainFrame::HandleNetMessage(WPARAM code, LPARAM status) {
    switch (code) {
        case NETMSG_CONNECTED_MEDIASERVER:
            OnNetMediaServer(status);
            break;
        case NETMSG_CONNECTED_STREAMSERVER:
            OnNetStreamServer(status);
            break;
        case NETMSG_MEDIA_RESULT_300F:
        case NETMSG_MEDIA_RESULT_3010:
        case NETMSG_MEDIA_RESULT_3012:
        case NETMSG_MEDIA_RESULT_3013: {
            const size_t index = code == NETMSG_MEDIA_RESULT_300F   ? 0
                                 : code == NETMSG_MEDIA_RESULT_3010 ? 1
                                 : code == NETMSG_MEDIA_RESULT_3012 ? 2
                                                                    : 3;
            m_strNotice = LoadLangString(kTextMediaSubjects[index]) +
                          LoadLangString(status != 0 ? kTextSucceeded : kTextFailed);
            ShowNotice(m_strNotice);
            YLOG_DEBUG("%s", m_strNotice.toUtf8().constData());
            break;
        }
        case NETMSG_WB_FILELIST:
            YLOG_DEBUG("NETMSG_WB_FILELIST:%d", static_cast<int>(status));
            m_strNotice = ResultText(kTextFileListResults, std::size(kTextFileListResults), status);
            ShowNotice(m_strNotice);
            break;
        case NETMSG_WB_MSGRESULt:
            YLOG_DEBUG("NETMSG_WB_MSGRESULt:%d", static_cast<int>(status));
            m_strNotice = ResultText(kTextDocResults, std::size(kTextDocResults), status);
            ShowNotice(m_strNotice);
            break;
        case NETMSG_SCREEN_LOGIN:
            OnNetScreenLogin(status);
            break;
        case NETMSG_SCREEN_SHARE:
            OnNetScreenShare(status);
            break;
        case NETMSG_SCREEN_MSGOFRECEVIER:
            YLOG_DEBUG("NETMSG_SCREEN_MSGOFRECEVIER 1");
            if (status == 1 && m_pScreenShare != nullptr) {
                ShowNotice(LoadLangString(kTextScreenRecvLost));
            } else if (status == 2 && m_pScreenShare != nullptr && m_bScreenBroadcast == 2 &&
                       m_bReconnecting.load()) {
                m_pScreenShare->SetRecv(0);
                const QString text = LoadLangString(kTextScreenRecvAgain);
                ShowNotice(text);
                m_tipsHolder.ShowTip(text);
            }
            YLOG_DEBUG("NETMSG_SCREEN_MSGOFRECEVIER 2");
            break;
        case NETMSG_SCREEN_MSGOFSENDER:
            YLOG_DEBUG("NETMSG_SCREEN_MSGOFSENDER 1");
            if (status == 1) {
                // A screen shared for remote assistance is the controller's alone: its
                // receiving side comes back by itself, nobody else is told.
                if (m_bRemoteControl != 2) {
                    m_bScreenBroadcast = 1;
                    SendScreenRecord(1);
                }
                ShowNotice(LoadLangString(kTextScreenSendAgain));
            }
            YLOG_DEBUG("NETMSG_SCREEN_MSGOFSENDER 2");
            break;
        case NETMSG_VIDEO_SYNC:
            YLOG_DEBUG("NETMSG_VIDEO_SYNC 1");
            SendSyncWndLayout(1);
            YLOG_DEBUG("NETMSG_VIDEO_SYNC 2");
            break;
        default:
            break;
    }
    m_strNotice.clear();
}

void XMainFrame::OnNetMediaServer(LPARAM status) {
    YLOG_DEBUG("NETMSG_CONNECTED_MEDIASERVER 1");
    if (status != 0) {
        const char* address = g_pMediaManager != nullptr ? g_pMediaManager->GetServerAddress() : "";
        std::memset(m_szAVServerIp, 0, sizeof m_szAVServerIp);
        std::memcpy(m_szAVServerIp, address, strnlen(address, sizeof m_szAVServerIp - 1));
        YLOG_INFO("AVServer ip=%s", m_szAVServerIp);
        m_nMediaConnectFails = 0;
        ShowNotice(LoadLangString(kTextMediaConnected));
        const QString wide = QString::fromStdU16String(yav::text::GbkToUtf16(m_szAVServerIp));
        ShowNotice(QStringLiteral("IP:%1").arg(wide));
    } else {
        ShowNotice(LoadLangString(kTextMediaFailed));
        ++m_nMediaConnectFails;
    }
    if (m_nMediaConnectFails > kMediaFailsBeforeReset) {
        ResetAVServerIp();
        m_nMediaConnectFails = 0;
    }
    m_nMediaServerState = status;
    YLOG_DEBUG("NETMSG_CONNECTED_MEDIASERVER 2");
}

void XMainFrame::OnNetStreamServer(LPARAM status) {
    YLOG_DEBUG("NETMSG_CONNECTED_STREAMSERVER 1");
    ShowNotice(LoadLangString(status != 0 ? kTextStreamConnected : kTextStreamFailed));
    if (m_bStreamServerReady) {
        return;
    }
    m_bStreamServerReady = true;
    if (g_pMediaManager != nullptr) {
        const auto config = g_pMediaManager->GetCurrentConfig();
        SetConfigBytes(config[5], config[4], config[8], 0, config[12], 0);
    }
    AddRecvForUsers();
    ApplyPendingLayout(0);
    SetTimer(TIMER_NET_QUALITY, kNetQualityMs);
    YLOG_DEBUG("NETMSG_CONNECTED_STREAMSERVER 2");
}

void XMainFrame::AddRecvForUsers() {
    // Receiving a present user's speech and broadcast channels needs the media component.
    if (g_pMediaManager == nullptr || !g_pMediaManager->HasMediaComponent() || !m_pConfManager) {
        YLOG_WARN("接收发言的音频，和广播的视频失败");
        return;
    }
    const std::shared_ptr<ST_USER_PRIVATEDATA> mine = m_pConfManager->GetMyPrivateData();
    // A copy of the list: the receptions are started without the list's lock held.
    for (ST_USER_ITEM_DEPT& user : m_pConfManager->GetAllUsers()) {
        AddRecvForUser(&user, mine.get());
    }
}

void XMainFrame::OnNetScreenLogin(LPARAM status) {
    YLOG_DEBUG("NETMSG_SCREEN_LOGIN 1");
    if (status == 0) {
        const std::uint8_t* attr = m_pConfManager ? m_pConfManager->GetRoomAttr() : nullptr;
        std::uint16_t sharer = 0;
        std::uint32_t connection = 0;
        if (attr != nullptr) {
            sharer = static_cast<std::uint16_t>(attr[0] | (attr[1] << 8));
            connection = static_cast<std::uint32_t>(attr[2]) | (std::uint32_t{attr[3]} << 8) |
                         (std::uint32_t{attr[4]} << 16) | (std::uint32_t{attr[5]} << 24);
        }
        YLOG_DEBUG("登陆屏幕共享服务器成功 screenUserID=%d", sharer);
        std::shared_ptr<ST_USER_ITEM_DEPT> user;
        if (sharer != 0 && sharer != GetMyUserId() && GetUserInfo(user, sharer) &&
            user != nullptr && connection != 0 && m_pScreenShare != nullptr) {
            m_wViewedChannel = sharer;
            m_pScreenShare->StartRecv(sharer, connection);
            m_bScreenBroadcast = 2;
            RecalcLayout(1);
        }
        ShowNotice(LoadLangString(kTextScreenLoggedIn));
    } else if (status == 1) {
        ShowNotice(LoadLangString(kTextScreenLoggingIn));
    } else {
        ShowNotice(QStringLiteral("%1 Err=%2")
                       .arg(LoadLangString(kTextScreenLoginFailed),
                            QString::number(static_cast<long long>(status))));
    }
    YLOG_DEBUG("NETMSG_SCREEN_LOGIN 2");
}

void XMainFrame::OnNetScreenShare(LPARAM status) {
    YLOG_DEBUG("NETMSG_SCREEN_SHARE 1 lparam=%d m_bRemoteControl=%d", static_cast<int>(status),
               m_bRemoteControl);
    switch (status) {
        case 0:
            if (m_bRemoteControl == 2) {
                SetRemoteAssistState(1);
            } else {
                OnScreenShareStarted();
            }
            break;
        case 1:
            if (m_bRemoteControl == 2) {
                // Remote assistance ended: the controller is told, then the state is cleared.
                SetRemoteAssistState(0);
            } else {
                EndOwnScreenShare();
            }
            break;
        case 2:
            m_tipsHolder.ShowTip(LoadLangString(kTextScreenShareFailed));
            break;
        case 3:
            if (m_pFullDock != nullptr) {
                YLOG_DEBUG("屏幕共享底层出现错误，主动退出共享状态");
                m_pFullDock->RestoreAfterShare();
            }
            break;
        case 4:
            if (m_pFullDock != nullptr) {
                YLOG_DEBUG("共享的窗口被销毁，主动退出共享状态");
                m_pFullDock->RestoreAfterShare();
                ShowNotice(LoadLangString(kTextScreenWindowGone));
            }
            break;
        default:
            break;
    }
    YLOG_DEBUG("NETMSG_SCREEN_SHARE 1");
}

void XMainFrame::SendScreenRecord(std::uint8_t startRecv) {
    if (!m_pConfManager) {
        return;
    }
    // A start names my channel and connection; a stop names nothing.
    const std::uint16_t me = startRecv != 0 ? GetMyUserId() : 0;
    const std::uint32_t value =
        startRecv != 0 && m_pScreenShare != nullptr ? m_pScreenShare->GetConnectionValue() : 0;
    const std::uint8_t payload[7] = {
        startRecv,
        static_cast<std::uint8_t>(me),
        static_cast<std::uint8_t>(me >> 8),
        static_cast<std::uint8_t>(value),
        static_cast<std::uint8_t>(value >> 8),
        static_cast<std::uint8_t>(value >> 16),
        static_cast<std::uint8_t>(value >> 24),
    };
    m_pConfManager->Transmit(0, kSubCommandScreen, payload, sizeof payload);
}

void XMainFrame::OnScreenShareStarted() {
    m_bScreenBroadcast = 1;
    SendScreenRecord(1);
    ShowNotice(LoadLangString(kTextScreenShareStarted));
}

void XMainFrame::EndOwnScreenShare() {
    if (m_pScreenShare == nullptr || !m_pConfManager || m_bScreenBroadcast != 1) {
        return;
    }
    m_bScreenBroadcast = 0;
    if (!isVisible()) {
        ShowWindow(SW_SHOW);
    }
    // The room comes back as it was: a zoomed video zoomed again, the panel docked and shown.
    bool zoomed = false;
    if (m_pLayoutManager != nullptr) {
        for (int i = 0; i < static_cast<int>(yav::layout::kVideoWindowCount); ++i) {
            IRoomVideoWindow* window = m_pLayoutManager->GetVideoWnd(i);
            if (window != nullptr && window->IsZoomed()) {
                window->RepostZoom();
                zoomed = true;
                break;
            }
        }
    }
    if (m_pUserList != nullptr) {
        m_pUserList->SetFloat(0);
        m_pUserList->ShowDlg(SW_SHOW);
    }
    CloseSharedScreen(!zoomed);
    SendScreenRecord(0);
    const std::uint8_t zeros[6] = {};
    if (ICsManager* cs = m_pConfManager->GetCsManager()) {
        cs->SetUserAttribute(0, sizeof zeros, zeros, 1);
    }
    m_strNotice = LoadLangString(kTextScreenShareStopped);
    ShowNotice(m_strNotice);
    m_tipsHolder.ShowTip(m_strNotice);
}

// --- the media server's address, asked again after three failures ---------------------------

void XMainFrame::ResetAVServerIp() {
    if (m_bAvLookupRunning) {
        return;
    }
    std::function<std::string(uint32_t)> lookup = avServerLookup;
    if (!lookup) {
        MissingChild("data-server media lookup");
        return;
    }
    m_bAvLookupRunning = true;
    const yav::WindowHandle room = GetSafeHwnd();
    const uint32_t confId = m_dwConfId;
    // The data server answers on a worker; the room gets the address as an owned payload.
    if (m_avLookupThread.joinable()) {
        m_avLookupThread.join();
    }
    m_avLookupThread = std::thread([room, confId, lookup = std::move(lookup)] {
        room.PostPayload(WM_AVSERVER_ADDRESS, 0, lookup(confId));
    });
}
