// The main frame's construction and destruction, the conference-server login, the work of a
// stay in the room (start, stop, server logins) and the getters every panel asks.

#include "XMainFrame.h"

#include "RoomPanelHost.h"

#include <QTimer>

#include <cstring>

#include "RoadText.h"
#include "RoomVideoWindowHost.h"
#include "UpgradeInfo.h"
#include "XConfManager.h"
#include "XDocManager.h"
#include "app/AppSettings.h"
#include "app/ConfigManger.h"
#include "app/LangFormat.h"
#include "client/media/XMediaManager.h"
#include "platform/core/Log.h"
#include "platform/core/TextCodec.h"
#include "ui/CDlgPopMsg.h"

XMainFrame* g_pMainFrame = nullptr;

namespace {

constexpr size_t kNameBytes = 63;
constexpr size_t kPasswordBytes = 32;
constexpr size_t kLayoutEndMarker = 96;
constexpr UINT kLoginDataServerMs = 100;
constexpr UINT kPumpMs = 50;
constexpr UINT kDocServerPauseMs = 1000;
constexpr int kTextMediaServerNotice = 442;
constexpr uint32_t kLowOwnerIds = 0xF0001000u;

std::string Field(const char* field, size_t size) {
    return std::string(field, strnlen(field, size));
}

QString WideField(const char* field, size_t size) {
    return QString::fromStdU16String(yav::text::GbkToUtf16(Field(field, size)));
}

void ClearLayout(XMainFrame::LayoutRecord& layout) {
    layout.fill(0);
    layout[kLayoutEndMarker] = 0xFF;
    layout[kLayoutEndMarker + 1] = 0xFF;
}

}  // namespace

// Set from my owner id when the document share starts: whether my files are the account's own.
int g_bOwnDocuments = 0;

XMainFrame::XMainFrame()
    : CYavClientDlg(nullptr), m_pControlPrompt(std::make_unique<CDlgPopMsg>(nullptr)) {
    m_wSharedScreenChannel = 0;
    m_wSharedScreenNext = 0;
    m_dwAfterShared = 0;
    m_dwAfterSharedNext = 1;
    m_pConfManager = std::make_unique<XConfManager>();
    m_pConfManager->SetMainFrame(this);
    m_pPanelHost = std::make_unique<RoomPanelHost>(*this);
    SetPanelHost(m_pPanelHost.get());
    // The room receives videos into its layout manager's windows, which call back through
    // the video-window host.
    SetVideoReception(this);
    m_pVideoWindowHost = std::make_unique<RoomVideoWindowHost>(*this);
    g_pVideoWindowHost = m_pVideoWindowHost.get();
    if (auto& create = yav::room::Components().createScreenShare; create) {
        m_pScreenShare = create();
    }
    if (m_pScreenShare == nullptr) {
        YLOG_INFO("screen-share component not available: the room runs without screen sharing");
    }
    m_settingsArea.fill(0);
    m_dwSettingsFlag = 1;
    g_pUiMainFrame = this;
    // A capturing camera went away.
    MapMessage(kromedia::kMsgCameraLost, [](WPARAM, LPARAM) {
        return LRESULT{g_pMediaManager != nullptr ? g_pMediaManager->CheckCameraState() : 0};
    });
    MapMessage(WM_AVSERVER_ADDRESS, [this](WPARAM, LPARAM lParam) {
        m_bAvLookupRunning = false;
        const std::string* address = yav::PayloadOf<std::string>(lParam);
        if (address != nullptr && !address->empty() && g_pMediaManager != nullptr) {
            g_pMediaManager->SetMediaServerAddress(address->c_str());
            YLOG_INFO("ResetAVServerIp ip=%s", address->c_str());
        }
        return LRESULT{0};
    });
}

XMainFrame::~XMainFrame() {
    // A room still open (the program is ending) is left as a close would leave it.
    if (IsWindow()) {
        m_bExit = 1;
        OnClose();
    }
    m_pDocManager.reset();
    OnRoomClosed();
    // The media objects call back into this frame: they go with it.
    if (g_pMediaManager != nullptr && g_pMediaManager->GetRoom() == this) {
        g_pMediaManager->DestroyMedia();
        g_pMediaManager->SetRoom(nullptr);
    }
    if (g_pUiMainFrame == this) {
        g_pUiMainFrame = nullptr;
    }
    if (GetPanelHost() == m_pPanelHost.get()) {
        SetPanelHost(nullptr);
    }
    m_pConfManager.reset();
    m_pScreenShare.reset();
    if (g_pVideoWindowHost == m_pVideoWindowHost.get()) {
        g_pVideoWindowHost = nullptr;
    }
    YLOG_INFO("XMainFrame::~XMainFrame 析构");
}

// --- login -------------------------------------------------------------------------------------

void XMainFrame::SetLoginInfo(const QString& name, const QString& password, uint8_t mode) {
    m_strLoginName = name;
    m_strLoginPassword = password;
    m_byLoginMode = mode;
}

void XMainFrame::SetCsServer(const ST_CS_SERVER& record) {
    m_csServer = record;
}

void XMainFrame::SetHandOverDigest(const std::string& digest) {
    if (m_pConfManager) {
        m_pConfManager->SetHandOverDigest(digest);
    }
}

std::string XMainFrame::CsLoginName(const QString& name) {
    return yav::road::ToGbkCut(name, kNameBytes);
}

std::string XMainFrame::CsLoginPassword(const QString& password) {
    return yav::road::ToGbkCut(password, kPasswordBytes);
}

int XMainFrame::LoginCs(uint32_t confId, uint16_t* extra, uint8_t flag) {
    uint16_t scratch = 0;
    uint16_t* out = extra != nullptr ? extra : &scratch;
    *out = 0;
    m_dwConfId = confId;
    if (!m_pConfManager) {
        return -1;
    }
    const std::string name = CsLoginName(m_strLoginName);
    const std::string password = CsLoginPassword(m_strLoginPassword);
    const std::string address = Field(m_csServer.csAddress, sizeof m_csServer.csAddress);
    return m_pConfManager->SetupConference(address.c_str(), m_csServer.csPort, confId, name.c_str(),
                                           password.c_str(), out, m_byLoginMode, flag);
}

int XMainFrame::ReLogin() {
    uint16_t scratch = 0;
    return LoginCs(m_dwConfId, &scratch, 1);
}

void XMainFrame::LogoutCs() {
    if (m_pConfManager) {
        m_pConfManager->Logout();
    }
}

int XMainFrame::PumpCsMessage() {
    return m_pConfManager ? m_pConfManager->ProcessCsMessage() : -1;
}

yav::road::UpgradeInfo XMainFrame::GetUpgradeInfo() const {
    yav::road::UpgradeInfo info;
    info.serverVersion = g_UpgradeInfo.serverVersion;
    info.zipMd5 = g_UpgradeInfo.zipMd5;
    info.downloadUrl = g_UpgradeInfo.downloadUrl;
    info.servers = g_UpgradeInfo.servers;
    return info;
}

void XMainFrame::CopyServerName(char* out) const {
    if (out == nullptr) {
        return;
    }
    const size_t length = strnlen(m_csServer.mediaAddress, sizeof(m_csServer.mediaAddress) - 1);
    std::memcpy(out, m_csServer.mediaAddress, length);
    out[length] = '\0';
}

bool XMainFrame::CreateRoomWindow(const QString& confName, uint32_t confId) {
    if (IsWindow()) {
        YLOG_WARN("room window already open, conference %u not opened", confId);
        return false;
    }
    YLOG_INFO("会议室窗口打开 %s (%u)", confName.toUtf8().constData(), confId);
    // No Qt parent: the object outlives every start-up window and room.
    if (Create(IDD, nullptr) == 0) {
        return false;
    }
    ShowWindow(SW_SHOW);
    return IsWindow();
}

// --- IMainFrame ----------------------------------------------------------------------------

void XMainFrame::ShowPopMsg(const QString& title, const QString& text, int countdownSeconds,
                            int type, std::function<void(int answer)> onClosed) {
    if (!IsWindow()) {
        if (onClosed) {
            onClosed(0);
        }
        return;
    }
    // The box runs its own loop once the pump's tick has returned, so the pump keeps going.
    QPointer<QWidget> self(this);
    QTimer::singleShot(0, this, [self, this, title, text, countdownSeconds, type, onClosed]() {
        if (self == nullptr || !IsWindow()) {
            if (onClosed) {
                onClosed(0);
            }
            return;
        }
        CDlgPopMsg box(title, text, countdownSeconds, type, this, 1);
        const int answer = box.DoModal();
        if (onClosed) {
            onClosed(answer);
        }
    });
}

void XMainFrame::CloseByServer() {
    m_bExit = 1;
    Post(WM_CLOSE_ROOM, 0, 0);
}

void XMainFrame::Post(UINT message, WPARAM wParam, LPARAM lParam) {
    GetSafeHwnd().Post(message, wParam, lParam);
}

// --- work of a stay ------------------------------------------------------------------------

void XMainFrame::StartWork() {
    YLOG_INFO("start work start");
    m_wLeadUserId = 0;
    m_wMainUserId = 0;
    m_dwCounter = 0;
    m_byScreenControlMode = 0;
    m_wScreenControlPeer = 0;
    m_byRemoteControlState = 0;
    m_wRemoteControlChannel = 0;
    m_stateBytes.fill(0);
    m_stateValues.fill(0);
    m_stateFlags.fill(0);
    for (LayoutRecord& slot : m_layoutSlots) {
        ClearLayout(slot);
    }
    m_lastLayoutSent = m_layoutSlots[0];
    m_dwLastLayoutFlag = 0;
    // Ready from the start: a presenter without media still sends its layout.
    SetLayoutReady(1);
    g_AppSettings.byDocLayoutMode = 0;
    m_bStreamServerReady = false;
    m_bRoomEntered = true;

    CreateRoomServices();
    InitRoomPanels();
    // The panels of the room come up with its work, unless the room hides them (full screen).
    ShowPanes();
    SetTimer(TIMER_RECV_DATA, kPumpMs);
    SetTimer(TIMER_LOGIN_DATASERVER, kLoginDataServerMs);
    YLOG_INFO("start work over");
}

void XMainFrame::InitRoomPanels() {
    if (m_pConfManager) {
        m_pConfManager->SetUserHandler(this);
        m_pConfManager->SetCsHandler(this);
    }
    XConfManager* manager = m_pConfManager.get();
    if (m_pControlBar != nullptr && manager != nullptr) {
        m_pControlBar->SetConfTitle(manager->GetConfName(), manager->GetConfId());
        m_pControlBar->SetBarMode(m_layoutBytes.mainDisplay);
        m_pControlBar->StartDurationTimer();
    }
    if (m_pUserList != nullptr && manager != nullptr) {
        m_pUserList->SetOnlineCountText(manager->GetUserCount());
        if (IChat* chat = m_pUserList->GetChatWindow(); chat != nullptr && chat->IsWindow()) {
            const uint8_t rights = manager->GetRoomAttr()[ROOM_ATTR_CHAT_RIGHTS];
            chat->RefreshRecipients(rights, rights);
        }
        m_pUserList->SetLocalUser(manager->GetMyUserId(), manager);
        LoadUserTree();
    }
    if (g_pMediaManager != nullptr && g_pMediaManager->HasMediaComponent()) {
        if (m_pStatusBar != nullptr) {
            m_pStatusBar->SetAudioControl(g_pMediaManager->GetAudioEngine());
        }
        if (m_pTestAVideo != nullptr) {
            m_pTestAVideo->SelectAllCameras();
            m_pTestAVideo->FillCameraList();
        }
    }
    if (manager != nullptr) {
        manager->ResetRoomOptions();
    }
}

void XMainFrame::LoginDataServer() {
    YLOG_INFO("login data server start");
    const QString address = WideField(m_csServer.mediaAddress, sizeof m_csServer.mediaAddress);
    ShowNotice(yav::SafeFormat(LoadLangString(kTextMediaServerNotice), {address}));
    if (g_pMediaManager != nullptr) {
        const std::string media = Field(m_csServer.mediaAddress, sizeof m_csServer.mediaAddress);
        // The relay takes a channel's session only with the ticket of this conference login.
        if (ICsManager* cs = m_pConfManager ? m_pConfManager->GetCsManager() : nullptr) {
            const std::array<uint8_t, 16> ticket = cs->GetMediaTicket();
            g_pMediaManager->SetMediaTicket(ticket.data(), static_cast<int>(ticket.size()));
        }
        // The microphone is sent only with the floor; the speak-state events switch it later.
        const std::shared_ptr<ST_USER_ITEM_DEPT> me =
            m_pConfManager ? m_pConfManager->GetMyUserItem() : nullptr;
        g_pMediaManager->SetAudioSend(me != nullptr && me->speakState == 2 ? 1 : 0);
        g_pMediaManager->LoginMediaServer(GetMyUserId(), media.c_str(), m_csServer.mediaPort,
                                          m_csServer.mediaParam, m_dwConfId);
    }
    // The document and screen-share logins follow a second later, without holding the UI.
    if (IsWindow()) {
        SetTimer(TIMER_LOGIN_DATASERVER_2, kDocServerPauseMs);
    } else {
        LoginDataServerFinish();
    }
}

void XMainFrame::LoginDataServerFinish() {
    StartDocShare();
    LoginScreenShare();
    const ST_CONF_APPINFO* info = GetAppInfo();
    if (info != nullptr && m_pConfManager) {
        if ((info->flags25 & 0x02u) != 0) {
            m_pConfManager->ApplySpeak();
        }
        if ((info->flags25 & 0x08u) != 0 && g_pMediaManager != nullptr &&
            g_pMediaManager->GetChannelCount() >= 1) {
            m_pConfManager->BroadcastVideo(GetMyUserId(), 1);
        }
    }
    YLOG_INFO("login data server over");
}

void XMainFrame::StartDocShare() {
    const uint32_t ownerId = GetMyOwnerId();
    if (m_pDocManager) {
        m_pDocManager->StartShare(
            WideField(m_csServer.docAddress, sizeof m_csServer.docAddress), m_csServer.docPort,
            m_csServer.docParam, ownerId, m_csServer.docValue,
            WideField(m_csServer.docAddress2, sizeof m_csServer.docAddress2), m_csServer.docPort);
        if (m_pFileList != nullptr) {
            m_pFileList->SetOwnerId(ownerId);
        }
    }
    g_bOwnDocuments = ownerId >= kLowOwnerIds ? 0 : 1;
}

void XMainFrame::LoginScreenShare() {
    if (m_pScreenShare == nullptr) {
        return;
    }
    const std::string address = Field(m_csServer.screenAddress, sizeof m_csServer.screenAddress);
    m_pScreenShare->Login(address.c_str(), m_csServer.screenPort, GetMyUserId(),
                          m_csServer.screenParam, this, nullptr);
    if (m_pScreenShareSet != nullptr) {
        const ST_CONF_APPINFO* info = GetAppInfo();
        const uint8_t sources = info != nullptr ? info->flags22 : 0;
        m_pScreenShareSet->SetSourceButtons((sources & 0x02u) != 0, (sources & 0x04u) != 0);
    }
}

void XMainFrame::LogoutScreenShare() {
    if (m_pScreenShare != nullptr) {
        m_pScreenShare->Logout();
    }
}

void XMainFrame::StopWork() {
    m_pChatGroupRoom.reset();
    KillTimer(TIMER_RECV_DATA);
    KillTimer(TIMER_LOGIN_DATASERVER);
    KillTimer(TIMER_LOGIN_DATASERVER_2);
    if (m_pStatusBar != nullptr && m_pStatusBar->GetRecordingState() != 0) {
        StopRecord(1);
    }
    YLOG_INFO("录制工作停止成功");

    if (m_byRemoteControlState == 1) {
        if (m_pScreenShare != nullptr) {
            m_pScreenShare->SetRecv(1);
        }
    } else if (m_byRemoteControlState == 2) {
        SetRemoteAssistState(0);
        if (m_pScreenShare != nullptr) {
            m_pScreenShare->StopShare();
        }
    } else if (m_dwRequestPending != 0) {
        m_dwRequestPending = 0;
        m_byRemoteControlState = 0;
    }
    m_wControlAsker = 0;
    m_wDeviceParamAsked = 0;
    YLOG_INFO("桌面共享远程协助停止成功");

    EndOwnScreenShare();
    StopMediaPlay();
    YLOG_INFO("停止广播视频和媒体视频成功");

    if (CVideoCycle* cycle = GetVideoCycle(); cycle != nullptr) {
        cycle->Stop(true);
    }
    if (m_pLayoutManager != nullptr && m_pLayoutManager->IsVideoCycleOn()) {
        m_pLayoutManager->CloseAllVideo();
    }
    YLOG_INFO("停止轮询成功");

    LogoutCs();
    if (m_pLayoutManager != nullptr) {
        m_pLayoutManager->StopAllVideo();
    }
    YLOG_INFO("退出CS，停止接收所有视频");

    LogoutServers();
    m_mediaIdList.Clear();
    // The document manager belongs to one stay.
    m_pDocManager.reset();
    m_bRoomEntered = false;
}

void XMainFrame::LogoutServers() {
    YLOG_INFO("退出媒体服务器");
    if (g_pMediaManager != nullptr) {
        g_pMediaManager->LogoutMediaServer();
    }
    YLOG_INFO("退出媒体服务器成功，开始退出文档服务器");
    if (m_pDocManager) {
        m_pDocManager->Stop();
    }
    YLOG_INFO("退出文档服务器成功，开始退出屏幕共享服务器");
    LogoutScreenShare();
}

void XMainFrame::CreateMedia() {
    if (g_pMediaManager != nullptr) {
        g_pMediaManager->SetRoom(this);
        g_pMediaManager->CreateMedia(static_cast<IMediaHandler*>(this));
    }
}

void XMainFrame::CreateDocManager(uint32_t value) {
    m_pDocManager = std::make_unique<XDocManager>(value);
    RefreshToolbarStateEx(IsMyRoleState2() ? 1 : 0, 1);
    if (m_pFileList != nullptr) {
        m_pFileList->SetResultHandler(this);
        m_pFileList->AttachSource(m_pDocManager.get(), GetConfId());
    }
}

void XMainFrame::RefreshToolbarStateEx(uint32_t enable, uint32_t reset) {
    if (enable != 0 && m_pDocManager && reset != 0) {
        m_pDocManager->Reset();
    }
    if (m_pDocManager) {
        m_pDocManager->EnableTools(static_cast<int>(enable));
        m_pDocManager->EnablePages(static_cast<int>(enable));
    }
    if (m_pToolBox != nullptr) {
        m_pToolBox->EnableTools(enable != 0);
    }
    if (m_pFrame != nullptr) {
        m_pFrame->EnableButtons(enable != 0);
    }
    if (m_pLayoutManager != nullptr) {
        m_pLayoutManager->EnableDocPages(enable != 0);
    }
}

void XMainFrame::RefreshToolbarState() {
    RefreshToolbarStateEx(IsMyRoleState2() ? 1 : 0, 0);
}

void XMainFrame::OnDocPageMsg(uint16_t kind, int32_t value, uint32_t extra) {
    switch (kind) {
        case 1:
        case 2:
            if (IFrame* frame = GetFrameDlg()) {
                frame->SetPageInfo(kind == 1 ? 0 : value, extra);
            }
            break;
        case 3:
            switch (value) {
                case 1:
                    if (m_pFileList != nullptr) {
                        m_pFileList->ShowCentered();
                    }
                    break;
                case 2:
                    SetTimer(TIMER_SHOWDLG_LOCALUP, 100);
                    break;
                case 3:
                    SendMessage(WM_COMMAND, 32835, 0);
                    break;
                case 4:
                    SendMessage(WM_COMMAND, 32837, 0);
                    break;
                default:
                    break;
            }
            break;
        case 4:
            if (m_pControlBar != nullptr) {
                m_pControlBar->OnPopSwitchSelect(1, value);
            }
            break;
        case 5:
            if (m_pFileList != nullptr && m_pFileList->IsWindow()) {
                m_pFileList->ShowWindow(SW_HIDE);
            }
            break;
        default:
            break;
    }
}

void XMainFrame::SetConfigBytes(uint8_t a, uint8_t b, uint8_t c, uint8_t d, uint8_t e, uint8_t f) {
    const uint8_t given[6] = {a, b, c, d, e, f};
    for (size_t i = 0; i < 6; ++i) {
        if (given[i] != 255) {
            m_configBytes[i] = given[i];
        }
    }
    if (m_pConfManager && m_bRoomEntered) {
        m_pConfManager->SetConfOptions(m_configBytes[0], m_configBytes[1], m_configBytes[2],
                                       m_configBytes[3], m_configBytes[4], m_configBytes[5]);
    }
}

void XMainFrame::ShowNotice(const QString& text) {
    if (m_pUserList != nullptr) {
        if (IChat* chat = m_pUserList->GetChatWindow(); chat != nullptr && chat->IsWindow()) {
            chat->ForwardToSystemChat(text);
            return;
        }
    }
    YLOG_DEBUG("notice without chat window: %s", text.toUtf8().constData());
}

// --- getters and role tests ----------------------------------------------------------------

ICsUserManager* XMainFrame::GetUserManager() const {
    return m_pConfManager ? m_pConfManager->GetUserManager() : nullptr;
}
const ST_CONF_APPINFO* XMainFrame::GetAppInfo() const {
    return m_pConfManager ? m_pConfManager->GetAppInfo() : nullptr;
}
CVideoCycle* XMainFrame::GetVideoCycle() const {
    return m_pConfManager ? &m_pConfManager->GetVideoCycle() : nullptr;
}
uint16_t XMainFrame::GetMyUserId() const {
    return m_pConfManager ? m_pConfManager->GetMyUserId() : 0;
}
bool XMainFrame::IsMyChannel(uint16_t wMediaId) const {
    if (!m_pConfManager) {
        return false;
    }
    const uint32_t mine = GetMyUserId();
    return mine <= wMediaId && wMediaId < mine + 8;
}
uint32_t XMainFrame::GetMyOwnerId() const {
    return m_pConfManager ? m_pConfManager->GetMyOwnerId() : 0;
}
uint32_t XMainFrame::GetConfId() const {
    return m_pConfManager ? m_pConfManager->GetConfId() : 0;
}
uint8_t XMainFrame::GetMyStatusByte() const {
    return m_pConfManager ? m_pConfManager->GetMyStatusByte() : 0;
}
bool XMainFrame::IsMyRoleState2() const {
    return m_pConfManager && m_pConfManager->IsMyRoleState2();
}
bool XMainFrame::IsMyRoleState0or5() const {
    return m_pConfManager && m_pConfManager->IsMyRoleState0or5();
}
bool XMainFrame::IsMyRoleActive() const {
    return IsMyRoleState2() || IsMyRoleState0or5();
}
bool XMainFrame::IsInConference() const {
    return IsMyRoleState2();
}
bool XMainFrame::IsMyFlagBit2() const {
    return m_pConfManager && m_pConfManager->IsMyFlagBit2();
}
void XMainFrame::SetMyFlag(uint8_t value) {
    if (m_pConfManager) {
        m_pConfManager->SetRoomOptionC(value);
    }
}
bool XMainFrame::GetUserInfo(std::shared_ptr<ST_USER_ITEM_DEPT>& out, uint16_t userId) const {
    if (!m_pConfManager) {
        out.reset();
        return false;
    }
    return m_pConfManager->GetUserById(out, userId, 1);
}
uint32_t XMainFrame::GetUserDeptKey(uint16_t userId) const {
    std::shared_ptr<ST_USER_ITEM_DEPT> user;
    if (!GetUserInfo(user, static_cast<uint16_t>(userId & 0xFFF8u)) || user == nullptr) {
        return 0;
    }
    return user->departmentId + 10;
}
int XMainFrame::GetRecordState() const {
    if (!m_pConfManager) {
        return 0;
    }
    if (g_AppSettings.byRecordMode != 0 && m_pConfManager->IsServerRecording()) {
        return 1;
    }
    if (g_AppSettings.byRecordMode == 0 && m_pStatusBar != nullptr &&
        m_pStatusBar->GetRecordingState() != 0) {
        return 2;
    }
    return 0;
}
int XMainFrame::GetDocShareState() const {
    return m_pDocManager ? m_pDocManager->GetState() : 0;
}
int XMainFrame::IsDocServerReady() const {
    if (!m_pDocManager) {
        return 1;
    }
    return m_pDocManager->QueryState1() == 0 && m_pDocManager->QueryState2() == 0 ? 1 : 0;
}
