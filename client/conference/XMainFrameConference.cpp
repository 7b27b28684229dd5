// Leaving and entering the conference around a lost connection, the reconnection itself, and
// the conference-server handlers (the participants' and conference events are filled in by
// their own subsystems; here they are logged).

#include <QWidget>

#include "LayoutCodec.h"
#include "XConfManager.h"
#include "XDocManager.h"
#include "XMainFrame.h"
#include "client/dialogs/login/CDlgReconnect.h"
#include "client/dialogs/users/TreeRecords.h"
#include "client/media/XMediaManager.h"
#include "config/AppSettings.h"
#include "config/ConfigManger.h"
#include "platform/core/Log.h"

namespace {

constexpr int kTextReconnected = 334;
constexpr UINT kPumpMs = 50;
constexpr UINT kReconnectOkMs = 100;

std::string Field(const char* field, size_t size) {
    return std::string(field, strnlen(field, size));
}

}  // namespace

void XMainFrame::OnConnectionLost() {
    XConfManager* manager = m_pConfManager.get();
    const bool boxOpen = manager != nullptr && manager->IsStayEnding();
    if (m_bExit != 0 || boxOpen) {
        // The server is ending this stay: coming back would let that login throw out the one
        // that replaced it. The room closes as the server asked; while the server's box is
        // open, its answer closes the room, so that the user reads why.
        m_bExit = 1;
        if (boxOpen) {
            YLOG_WARN(
                "connection lost while the server ends the stay: the room closes with "
                "its box");
            return;
        }
        YLOG_WARN("connection lost while the server ends the stay: the room closes");
        Post(WM_CLOSE_ROOM, 0, 0);
        return;
    }
    if (m_pLayoutManager != nullptr) {
        if (m_pLayoutManager->IsVideoCycleOn() && GetVideoCycle() != nullptr) {
            GetVideoCycle()->Stop(true);
        }
        m_pLayoutManager->CloseAllVideo();
    }
    if (manager != nullptr) {
        manager->OnConnectionLost();
    }
    if (m_pDocManager) {
        m_pDocManager->CloseAll();
    }
    if (m_pControlBar != nullptr) {
        m_pControlBar->RemoveAllDocTabs();
    }
    if (m_pNetQuality != nullptr) {
        m_pNetQuality->Clear();
    }
    if (m_pLayoutManager != nullptr) {
        m_pLayoutManager->StopAllVideo();
    }

    // What the retries log in with, fixed now: the worker reads nothing else of this object.
    m_reLogin.server = Field(m_csServer.csAddress, sizeof m_csServer.csAddress);
    m_reLogin.port = m_csServer.csPort;
    m_reLogin.confId = m_dwConfId;
    m_reLogin.name = CsLoginName(m_strLoginName);
    m_reLogin.password = manager != nullptr
                             ? manager->LoginDigest(CsLoginPassword(m_strLoginPassword).c_str())
                             : std::string();
    m_reLogin.mode = m_byLoginMode;
    m_bReconnecting = true;
    m_bStreamServerReady = false;

    if (m_pReconnectDlg == nullptr) {
        // A window of its own (the desktop's child): it stays usable while the room is
        // disabled.
        m_pReconnectDlg = std::make_unique<CDlgReconnect>(this, nullptr);
        m_pReconnectDlg->Create(CDlgReconnect::IDD, nullptr);
    }
    m_pReconnectDlg->ShowDialog();
    Post(WM_RECONNECT_STATE, 1, 0);
}

int XMainFrame::ReLoginCS() {
    // The reconnect worker: only the component's login. The room takes the login over on its
    // own thread (AdoptReLogin, at WM_RECONNECT_STATE 2).
    if (!m_pConfManager) {
        return -1;
    }
    const ReLoginRequest& request = m_reLogin;
    return m_pConfManager->LoginComponent(request.server.c_str(), request.port, request.confId,
                                          request.name.c_str(), request.password.c_str(),
                                          request.mode);
}

bool XMainFrame::AdoptReLogin() {
    if (!m_pConfManager || m_pConfManager->AdoptLogin() != 0) {
        YLOG_WARN("re-login could not be taken over: logged out, retrying");
        LogoutCs();
        return false;
    }
    return true;
}

void XMainFrame::GiveUpConference() {
    m_bExit = 1;
    Post(WM_CLOSE_ROOM, 0, 0);
    m_bReconnecting = false;
}

int XMainFrame::LeaveConference() {
    StopMediaPlay();
    if (m_pFullDock != nullptr && m_pFullDock->IsWindow()) {
        m_pFullDock->ShowWindow(SW_HIDE);
    }
    m_mediaIdList.Clear();
    if (m_pUserList != nullptr) {
        m_pUserList->ResetSearch();
        m_pUserList->ClearLocalUser();
        // The participants come again with the re-entry: none is kept meanwhile.
        m_pUserList->ResetAll();
    }
    if (g_AppSettings.freeLayout != 0 && m_pControlBar != nullptr) {
        m_pControlBar->OnBtnSyncLayout();
    }
    if (m_pScreenShare != nullptr) {
        if (m_bScreenBroadcast == 1) {
            EndOwnScreenShare();
            m_dwSharedOnLeave = 1;
        } else if (m_bScreenBroadcast == 2) {
            m_bScreenBroadcast = 0;
            m_wViewedChannel = 0;
            m_pScreenShare->SetRecv(1);
            RecalcLayout(0);
        }
    }
    LogoutCs();
    LogoutServers();
    if (m_pStatusBar != nullptr) {
        const int state = m_pStatusBar->GetRecordingState();
        if (state == 1) {
            m_pStatusBar->SetRecordingOff();
        } else if (state == 2) {
            m_pStatusBar->SuspendRecord();
        }
    }
    if (m_pLayoutManager != nullptr && m_pLayoutManager->IsVideoCycleOn()) {
        m_pLayoutManager->CloseAllVideo();
        if (CVideoCycle* cycle = GetVideoCycle()) {
            cycle->Stop(true);
        }
    }
    m_dwPendingLayout = 0;
    // Kept in the form it travels in, so that it is applied again after the reconnection.
    yav::layout::WindowLayout room;
    room.Bytes() = m_layoutSlots[0];
    m_pendingLayout = yav::layout::ToNetworkForm(room).Bytes();
    return 1;
}

void XMainFrame::EnterConference() {
    ShowNotice(LoadLangString(kTextReconnected));
    m_mediaIdList.Clear();
    if (m_pUserList != nullptr) {
        m_pUserList->ResetSearch();
        // The trees are built anew from the login's participants: nobody who left while the
        // connection was down stays listed, no stage entry stays stale.
        m_pUserList->ResetAll();
    }
    InitRoomPanels();
    update();
    if (m_pUserList != nullptr) {
        // The own row gets back the devices the server last heard of.
        m_pUserList->SetMyDeviceState(m_configBytes[0], m_configBytes[1], m_configBytes[2],
                                      m_configBytes[3], m_configBytes[4], m_configBytes[5]);
    }
    SetConfigBytes(255, 255, 255, 255, 255, 255);
    LoginDataServer();
    SetTimer(TIMER_RECV_DATA, kPumpMs);
    SetTimer(TIMER_RECONNECT_OK, kReconnectOkMs);
    if (!m_strChairPassword.isEmpty() && m_pConfManager) {
        m_pConfManager->ApplyChair(m_strChairPassword);
    }
    if (m_bRemoteControl == 1) {
        // The control of the other screen ended with the connection.
        SendControlRequest(m_wRemoteControlID, 0);
    } else if (m_bRemoteControl == 2) {
        SetRemoteAssistState(0);
    } else if (m_dwRequestPending != 0) {
        // A request made before the loss is withdrawn.
        m_dwRequestPending = 0;
        m_bRemoteControl = 0;
        SendControlRequest(m_wRemoteControlID, 2);
    }
    if (m_dwPresenterRequest != 0 && m_pConfManager) {
        m_dwPresenterRequest = 0;
        m_pConfManager->ApplyPresenter();
    }
    if (m_dwSpeakRequest != 0 && m_pConfManager) {
        m_dwSpeakRequest = 0;
        m_pConfManager->ApplySpeak();
    }
    m_dwReEnterValue = 0;
    m_dwSharedOnLeave = 0;
    m_bReconnecting = false;
}

void XMainFrame::OnRoomClosed() {
    m_bReconnecting = false;
    if (m_avLookupThread.joinable()) {
        m_avLookupThread.join();
    }
    m_bAvLookupRunning = false;
}

void XMainFrame::LoadUserTree() {
    if (m_pUserList == nullptr || !m_pConfManager) {
        return;
    }
    ICsUserManager* users = m_pConfManager->GetUserManager();
    if (users == nullptr) {
        return;
    }
    for (const ST_DEPT_INFO& info : users->GetDepartments()) {
        const ST_TREE_DEPT dept = yav::users::TreeDeptOf(info);
        if (dept.parentKey == yav::users::kTopLevelParentKey) {
            m_pUserList->AddRootDepartment(&dept);
        } else {
            m_pUserList->AddDepartment(&dept, dept.parentKey);
        }
    }
    for (ST_USER_ITEM_DEPT record : m_pConfManager->GetAllUsers()) {
        record.departmentId += yav::users::kDeptKeyShift;
        m_pUserList->AddUser(&record);
    }
}

const ST_TREE_USER* XMainFrame::FindUserByDisplayName(const QString& name) const {
    return m_pUserList != nullptr ? m_pUserList->FindUserItemByName(name) : nullptr;
}
