// The room window's start, the teardown of its children and the leave sequence.

#include "YavClientDlg.h"

#include <QEvent>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

#include <cmath>
#include <thread>

#include "DlgStartup.h"
#include "XConfManager.h"
#include "XMainFrame.h"
#include "client/dialogs/login/CDlgReconnect.h"
#include "client/media/XMediaManager.h"
#include "config/AppSettings.h"
#include "config/ConfigManger.h"
#include "platform/core/Log.h"
#include "platform/core/Scale.h"
#include "ui/CDlgPopMsg.h"

int g_nCpuCount = 0;
int g_nCpuMhz = 0;
int g_bFullScreen = 0;

namespace {

constexpr int kTextTitle = 1;
constexpr int kTextLeaveTitle = 370;
constexpr int kTextLeave = 3301;
constexpr int kTextLeaveDocuments = 367;
constexpr int kTextUnavailable = 5705;
constexpr int kBoxTypeLeave = 15;
constexpr int kBoxTypeLeaveDocuments = 1;
constexpr int kCommandFullScreen = 1282;
constexpr UINT kSysCommandAbout = 16;
constexpr std::uint32_t kCursorDrag = 92;
constexpr UINT kCaptureStartMs = 50;
constexpr UINT kClearMemoryMs = 3600000;
constexpr UINT kKeepAwakeMs = 50000;
// The layout mode that arranges the videos by their count.
constexpr std::uint8_t kAutomaticLayout = 8;

int ScaledRounded(int designPixels) {
    return static_cast<int>(std::lround(designPixels * g_fExchangePW));
}

}  // namespace

CYavClientDlg::Arrangement CYavClientDlg::InitialArrangement(std::uint8_t panelsHidden,
                                                             std::uint8_t documentMode,
                                                             std::uint8_t layoutCode) {
    Arrangement arrangement;
    arrangement.panelState = panelsHidden;
    if (documentMode != 1) {
        arrangement.viewMode = 2;
        arrangement.docFlag = 0;
        switch (layoutCode) {
            case 0:
                arrangement.layoutNumber = 1;
                break;
            case 1:
                arrangement.layoutNumber = 3;
                break;
            case 8:
                arrangement.layoutNumber = 4;
                break;
            case 9:
                arrangement.layoutNumber = 5;
                break;
            case 16:
                arrangement.layoutNumber = 2;
                break;
            default:
                arrangement.layoutNumber = 8;
                break;
        }
    } else {
        arrangement.viewMode = 4;
        const bool documentShare = layoutCode == 0 || layoutCode == 7;
        arrangement.shareMode = documentShare ? 1 : 2;
        arrangement.docFlag = documentShare ? 1 : 0;
    }
    return arrangement;
}

CYavClientDlg::LayoutBytes CYavClientDlg::InitialLayoutBytes(const Arrangement& arrangement) {
    LayoutBytes bytes;
    bytes.layoutMode = arrangement.layoutNumber >= 1 && arrangement.layoutNumber <= 9
                           ? static_cast<std::uint8_t>(arrangement.layoutNumber)
                           : kAutomaticLayout;
    bytes.mainContent = 2;
    bytes.sideContent = 0;
    bytes.mainDisplay = 0;
    return bytes;
}

CYavClientDlg::CYavClientDlg(QWidget* parent) : yav::Dialog(IDD, parent) {
    m_nSidePanelSize = ScaledRounded(320);
    m_nStripSize = ScaledRounded(70);
    m_nTitleSize = ScaledRounded(44);
    m_nPanelVisible = 1;
    m_savedArrangement = m_arrangement;
    m_layoutBytes = InitialLayoutBytes(m_arrangement);
    MapMessage(WM_NET_MESSAGE, [this](WPARAM w, LPARAM l) { return OnNetMessage(w, l); });
    MapMessage(WM_RECONNECT_STATE, [this](WPARAM w, LPARAM l) { return OnReconnectState(w, l); });
    MapMessage(WM_DOCDATA_MESSAGE, [this](WPARAM w, LPARAM l) { return OnDocDataMessage(w, l); });
    MapMessage(WM_CAMERA_ARRIVED, [this](WPARAM w, LPARAM l) { return OnCameraArrived(w, l); });
    MapMessage(WM_CLOSE_ROOM, [this](WPARAM, LPARAM) {
        OnClose();
        return LRESULT{0};
    });
    MapMessage(WM_SYSCOMMAND_ROOM, [this](WPARAM w, LPARAM l) {
        OnSysCommand(static_cast<UINT>(w), l);
        return LRESULT{0};
    });
    MapMessage(WM_VIDEO_ZOOM_ROOM, [this](WPARAM w, LPARAM l) { return OnVideoZoom(w, l); });
    MapMessage(WM_VOICE_INCENTIVE, [this](WPARAM w, LPARAM l) { return OnVoiceIncentive(w, l); });
    MapMessage(WM_KEYHOOK_NOTIFY, [this](WPARAM, LPARAM) {
        MissingChild("OnKeyHookNotify (documents)");
        return LRESULT{0};
    });
    MapCommands();
}

CYavClientDlg::~CYavClientDlg() = default;

XMainFrame& CYavClientDlg::Frame() {
    // The room window exists only as the base of the one main frame.
    return static_cast<XMainFrame&>(*this);
}

void CYavClientDlg::MissingChild(const char* className) {
    if (m_missingLogged.insert(className).second) {
        YLOG_INFO("%s not available: the room runs without it", className);
    }
}

void CYavClientDlg::ShowUnavailable(const char* what) {
    MissingChild(what);
    m_tipsHolder.ShowTip(LoadLangString(kTextUnavailable));
}

BOOL CYavClientDlg::OnInitDialog() {
    YLOG_INFO("initdialog start");
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::WindowMinMaxButtonsHint);
    yav::Dialog::OnInitDialog();
    m_bLeaving = false;
    InitWindow();
    Frame().CreateMedia();
    SetTimer(TICAMER_SATRT_PUTRE, kCaptureStartMs);
    ReadCpuInfo();
    Frame().CreateDocManager(0);
    m_nSysSetOwnerValue = Frame().GetDocShareState();

    m_nStripSize = ScaledRounded(70);
    m_nSidePanelSize = ScaledRounded(320);
    m_nTitleSize = ScaledRounded(44);
    g_bFullScreen = 0;
    m_arrangement = InitialArrangement(g_AppSettings.byOption14, g_AppSettings.byOption8,
                                       g_AppSettings.byOption9);
    m_savedArrangement = m_arrangement;
    // Each stay starts in the layout the room was set up with.
    m_layoutBytes = InitialLayoutBytes(m_arrangement);
    // The room fills the work area of its monitor; taken before full screen, which returns to
    // the geometry the window had when it entered.
    QScreen* screen =
        g_pDlgStartup != nullptr ? g_pDlgStartup->GetJoinHandler().GetMonitor() : nullptr;
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    if (screen != nullptr) {
        setGeometry(screen->availableGeometry());
    }
    if (m_arrangement.panelState != 0) {
        SendMessage(WM_COMMAND, kCommandFullScreen, 0);
    }

    Frame().StartWork();

    if (XConfManager* manager = Frame().GetConfManager()) {
        char bulletin[260] = {};
        const int length = manager->GetBulletin(bulletin, 259);
        if (length > 0) {
            YLOG_INFO("bulletin without a marquee to show it in: %s",
                      std::string(bulletin, static_cast<size_t>(length)).c_str());
        }
    }
    m_strTitle = g_ConfigManager.GetString(kTextTitle);
    SetWindowText(m_strTitle);
    setWindowTitle(m_strTitle);
    m_dragCursor = g_ConfigManager.LoadCursor(kCursorDrag);

    auto& setKeyHook = yav::room::Components().setKeyHook;
    m_bKeyHook = setKeyHook && setKeyHook(this, WM_KEYHOOK_NOTIFY);
    if (!m_bKeyHook) {
        YLOG_WARN("设置键盘钩子失败");
    }

    SetTimer(TIMER_CLEAR_MEMERY, kClearMemoryMs);
    SetTimer(TIMER_KEEP_AWAKE, kKeepAwakeMs);
    m_keepAwake.Hold();
    // The panes stand where the room's size puts them, whether or not the size changed.
    LayoutPanes(0);
    ReloadTexts();
    YLOG_INFO("init dialog over");
    return 1;
}

bool CYavClientDlg::RegisterCameraNotify() {
    // Camera arrivals come from the media component's device monitor; without it there is
    // nothing to subscribe to.
    if (g_pMediaManager == nullptr || !g_pMediaManager->HasMediaComponent()) {
        YLOG_INFO("无法加载注册设备通知函数");
        m_bCameraNotify = false;
        return false;
    }
    m_bCameraNotify = true;
    return true;
}

void CYavClientDlg::UnregisterCameraNotify() {
    m_bCameraNotify = false;
}

void CYavClientDlg::ReadCpuInfo() {
    QFile file(QStringLiteral("/proc/cpuinfo"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return;
    }
    int processors = 0;
    int mhz = 0;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.startsWith("processor")) {
            ++processors;
        } else if (mhz == 0 && line.startsWith("cpu MHz")) {
            const int colon = line.indexOf(':');
            if (colon >= 0) {
                mhz = static_cast<int>(line.mid(colon + 1).trimmed().toDouble());
            }
        }
    }
    g_nCpuCount =
        processors > 0 ? processors : static_cast<int>(std::thread::hardware_concurrency());
    g_nCpuMhz = mhz;
}

void CYavClientDlg::InitWindow() {
    m_missingLogged.clear();
    yav::room::RoomChildFactories& make = yav::room::Children();
    QWidget* room = this;
    auto create = [room, this](auto& factory, auto& member, const char* className) {
        member.reset();
        if (factory) {
            member = factory(room);
        }
        if (member == nullptr) {
            MissingChild(className);
        }
    };

    RegisterCameraNotify();
    if (make.layoutManager) {
        m_pLayoutManager = make.layoutManager(room);
    }
    if (m_pLayoutManager != nullptr) {
        m_pLayoutManager->CreateWindows(room);
    } else {
        MissingChild("XLayoutManager");
    }
    create(make.controlBar, m_pControlBar, "CDlgControlBar");
    if (m_pControlBar != nullptr) {
        m_pControlBar->ShowWindow(SW_SHOW);
    }
    create(make.userList, m_pUserList, "CDlgUserList");
    if (m_pUserList != nullptr) {
        m_pUserList->ShowDlg(SW_HIDE);
    }
    create(make.ownVideo, m_pOwnVideo, "CDlgVideo");
    if (m_pOwnVideo != nullptr) {
        m_pOwnVideo->ShowWindow(SW_HIDE);
    }
    create(make.statusBar, m_pStatusBar, "CDlgStatusBar");
    if (m_pStatusBar != nullptr) {
        m_pStatusBar->ShowWindow(SW_SHOW);
    }
    QRect monitor;
    g_ConfigManager.GetMonitorRect(this, &monitor, false);
    create(make.fullDock, m_pFullDock, "CDlgFullDockX");
    if (m_pFullDock != nullptr) {
        m_pFullDock->ShowWindow(SW_HIDE);
        const int width = yav::Scaled(448);
        m_pFullDock->MoveWindow((monitor.width() - width) / 2, 10, width, yav::Scaled(60));
    }
    create(make.expand, m_pExpand, "CDlgExpand");
    if (m_pExpand != nullptr) {
        m_pExpand->ShowWindow(SW_HIDE);
        const int width = yav::Scaled(81);
        m_pExpand->MoveWindow((monitor.width() - width) / 2, 2, width, yav::Scaled(41));
    }
    create(make.fileList, m_pFileList, "CDlgFileList");
    if (m_pFileList != nullptr) {
        m_pFileList->ShowWindow(SW_HIDE);
    }
    create(make.fileLocalUpInfo, m_pFileLocalUpInfo, "CDlgFileLocalUpInfo");
    create(make.screenShareSet, m_pScreenShareSet, "CDlgScreenShareSet");
    create(make.testAVideo, m_pTestAVideo, "CDlgTestAVideo");
    for (IRoomChild* hidden : {static_cast<IRoomChild*>(m_pFileLocalUpInfo.get()),
                               static_cast<IRoomChild*>(m_pScreenShareSet.get()),
                               static_cast<IRoomChild*>(m_pTestAVideo.get())}) {
        if (hidden != nullptr) {
            hidden->ShowWindow(SW_HIDE);
        }
    }
    create(make.userlistMsg, m_pUserlistMsg, "CDlgUserlistMsg");
    create(make.voiceIncentive, m_pVoiceIncentive, "CDlgVoiceIncentive");
    m_pNetQuality.reset();
    if (make.netQualityEval) {
        m_pNetQuality = make.netQualityEval();
    }
    if (m_pNetQuality == nullptr) {
        MissingChild("NetQualityEval");
    }
    m_tipsHolder.DestroyTip();
    m_paneRects = {};
    m_bPanesLaidOut = false;
    m_bFullVideo = false;
    InstallOwnArrangement();
    YLOG_INFO("init window over");
}

template <class Child>
void CYavClientDlg::Release(std::unique_ptr<Child>& child) {
    if (child != nullptr && child->IsWindow()) {
        child->DestroyWindow();
    }
    child.reset();
}

void CYavClientDlg::ReloadTexts() {
    m_strTitle = g_ConfigManager.GetString(kTextTitle);
    SetWindowText(m_strTitle);
    setWindowTitle(m_strTitle);
    if (m_pControlBar != nullptr) {
        m_pControlBar->ReloadTexts();
    }
    if (m_pUserList != nullptr) {
        m_pUserList->ReloadTexts();
    }
    if (m_pStatusBar != nullptr) {
        m_pStatusBar->ReloadTexts();
    }
    if (m_pFullDock != nullptr) {
        m_pFullDock->ReloadTexts();
    }
    if (m_pLayoutManager != nullptr) {
        m_pLayoutManager->ReloadTexts();
    }
}

void CYavClientDlg::ReleaseWindow() {
    UnregisterCameraNotify();
    if (m_pLayoutManager != nullptr) {
        m_pLayoutManager->DestroyWindows();
        m_pLayoutManager.reset();
    }
    Release(m_pControlBar);
    if (m_pUserList != nullptr) {
        m_pUserList->ResetSearch();
        m_pUserList->ResetAll();
    }
    Release(m_pUserList);
    Release(m_pOwnVideo);
    Release(m_pStatusBar);
    Release(m_pToolBox);
    Release(m_pFrame);
    // The device dialog made for a peer's parameters goes with the room that made it.
    Release(Frame().m_pDeviceDlg);
    if (m_pExpand != nullptr) {
        m_pExpand->QuitThread();
    }
    Release(m_pExpand);
    Release(m_pFullDock);
    Release(m_pFileList);
    Release(m_pFileLocalUpInfo);
    Release(m_pScreenShareSet);
    if (m_pReconnectDlg != nullptr) {
        m_pReconnectDlg->DestroyWindow();
        m_pReconnectDlg.reset();
    }
    Release(m_pTestAVideo);
    m_pCycleSet.reset();
    m_pCycleFilter.reset();
    if (m_pVoiceIncentive != nullptr && m_pVoiceIncentive->IsWindow()) {
        m_pVoiceIncentive->DestroyWindow();
    }
    if (m_pUserlistMsg != nullptr && m_pUserlistMsg->IsWindow()) {
        m_pUserlistMsg->DestroyWindow();
    }
    m_pVoiceIncentive.reset();
    m_pUserlistMsg.reset();
    m_pNetQuality.reset();
    m_tipsHolder.DestroyTip();
    YLOG_INFO("release window over");
}

IToolBox* CYavClientDlg::GetToolBoxDlg() {
    if (m_pToolBox == nullptr && IsWindow()) {
        if (auto& make = yav::room::Children().toolBox; make) {
            m_pToolBox = make(this);
        }
        if (m_pToolBox == nullptr) {
            MissingChild("CDlgToolBox");
        }
    }
    return m_pToolBox.get();
}

IFrame* CYavClientDlg::GetFrameDlg() {
    if (m_pFrame == nullptr && IsWindow()) {
        if (auto& make = yav::room::Children().frame; make) {
            m_pFrame = make(this);
        }
        if (m_pFrame == nullptr) {
            MissingChild("CDlgFrame");
        }
    }
    return m_pFrame.get();
}

void CYavClientDlg::OnCancel() {
    PostMessage(WM_CLOSE_ROOM, 0, 0);
}

void CYavClientDlg::OnOK() {}

bool CYavClientDlg::event(QEvent* event) {
    if (event->type() == QEvent::WindowStateChange) {
        m_nShowCommand = isMinimized()   ? SW_SHOWMINIMIZED
                         : isMaximized() ? SW_SHOWMAXIMIZED
                                         : SW_SHOWNORMAL;
    }
    return yav::Dialog::event(event);
}

BOOL CYavClientDlg::PreTranslateMessage(yav::Msg* msg) {
    // Esc is the way out of full screen, as on the strip's exit button.
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_ESCAPE && g_bFullScreen != 0) {
        LeaveFullScreenByKey();
        return 1;
    }
    // The room is no form: Enter and Esc neither confirm nor leave it.
    if (msg->message == WM_KEYDOWN && (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE)) {
        return 1;
    }
    return yav::Dialog::PreTranslateMessage(msg);
}

void CYavClientDlg::OnClose() {
    if (!IsWindow() || m_bLeaving) {
        return;
    }
    XMainFrame& frame = Frame();
    // A close while the leave question is open answers it: the first close goes on to leave.
    if (m_pLeaveQuestion != nullptr) {
        YLOG_INFO("主窗体收到WM_CLOSE消息，m_bExit=%d (question open, leaving)",
                  frame.IsExitFlagSet() ? 1 : 0);
        m_pLeaveQuestion->EndDialog(IDOK);
        return;
    }
    int textId = kTextLeave;
    int type = kBoxTypeLeave;
    if (frame.IsDocServerReady() != 0) {
        textId = kTextLeaveDocuments;
        type = kBoxTypeLeaveDocuments;
    } else if (m_pFileList != nullptr && m_pFileList->IsUploadPreparing()) {
        textId = kTextLeaveDocuments;
    }
    YLOG_INFO("主窗体收到WM_CLOSE消息，m_bExit=%d", frame.IsExitFlagSet() ? 1 : 0);
    if (!frame.IsExitFlagSet()) {
        QPointer<QWidget> self(this);
        CDlgPopMsg question(LoadLangString(kTextLeaveTitle), LoadLangString(textId), 0, type, this,
                            1);
        m_pLeaveQuestion = &question;
        const int answer = question.DoModal();
        if (self == nullptr) {
            return;
        }
        m_pLeaveQuestion = nullptr;
        if (answer != IDOK) {
            if (type == kBoxTypeLeave && m_pFileList != nullptr) {
                m_pFileList->ShowWindow(SW_SHOW);
            }
            return;
        }
        if (!IsWindow() || m_bLeaving) {
            return;
        }
    }
    m_bLeaving = true;
    frame.SetExitFlag(0);
    if (m_pStatusBar != nullptr && m_pStatusBar->GetRecordingState() != 0) {
        StopRecord(1);
    }
    frame.StopWork();
    YLOG_INFO("停止工作结束 开始释放窗体");
    ReleaseWindow();
    YLOG_INFO("释放窗体结束，开始关闭设备");
    if (g_pMediaManager != nullptr) {
        g_pMediaManager->DestroyMedia();
    }
    YLOG_INFO("关闭设备结束");
    auto& setKeyHook = yav::room::Components().setKeyHook;
    if (m_bKeyHook && setKeyHook) {
        setKeyHook(nullptr, 0);
    }
    m_bKeyHook = false;
    m_fullScreenKeys.SetWatching(false);
    if (g_pDlgStartup != nullptr) {
        g_pDlgStartup->GetJoinHandler().SetMonitor(screen());
    }
    m_keepAwake.Release();
    DestroyWindow();
    frame.OnRoomClosed();
    YLOG_INFO("退出会议室结束，重新显示会议列表");
    // The list runs its own loop: start it once this close has returned.
    QTimer::singleShot(0, []() {
        if (g_pDlgStartup != nullptr) {
            g_pDlgStartup->ShowConfListAgain();
        }
    });
    m_bLeaving = false;
}
