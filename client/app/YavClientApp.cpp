// The process's start-up (the foundation part so far) and the crash handler, built right
// after the configuration manager so that it is in place before anything else runs.

#include "YavClientApp.h"

#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <string>

#include <QApplication>
#include <QDialog>
#include <QFontInfo>
#include <QScreen>
#include <QSocketNotifier>
#include <QThread>

#include <fcntl.h>
#include <signal.h>

#include <algorithm>
#include <vector>

#include "Common/CCrashDumpHandler.h"
#include "DisplayScale.h"
#include "InstanceBeacon.h"
#include "client/config/AppSettings.h"
#include "client/config/ConfigManger.h"
#include "conference/DlgStartup.h"
#include "conference/RoadDialogs.h"
#include "conference/RoadRoom.h"
#include "conference/UserWindows.h"
#include "conference/XMainFrame.h"
#include "media/XMediaManager.h"
#include "platform/core/Log.h"
#include "platform/core/Paths.h"
#include "platform/core/Profile.h"
#include "platform/core/Scale.h"
#include "platform/core/SingleInstance.h"
#include "platform/core/TextCodec.h"
#include "platform/window/ControlMap.h"
#include "ui/UiFonts.h"

CCrashDumpHandler g_CrashDumpHandler __attribute__((init_priority(YAV_INIT_ORDER_CRASH_HANDLER))) (
    (g_ConfigManager.GetDataDir() + QStringLiteral("Client.dmp")).toStdString());

void CYavClientApp::ConfigureLogging() {
    const std::string dataDir = g_ConfigManager.GetDataDir().toStdString();
    char previous[PATH_MAX] = {};
    const bool havePrevious = getcwd(previous, sizeof previous) != nullptr;
    // The properties name their files relative to the data folder.
    if (chdir(dataDir.c_str()) != 0) {
        YLOG_WARN("cannot enter the data folder %s: %s", dataDir.c_str(), std::strerror(errno));
    }
    const bool hasLogFolder = yav::paths::Exists(dataDir + "loglog");
    yav::log::ConfigureFromFile(dataDir +
                                (hasLogFolder ? "log4cpp.properties" : "log4cpp2.properties"));
    if (havePrevious && chdir(previous) != 0) {
        YLOG_WARN("cannot return to %s", previous);
    }
    YLOG_INFO("日志库初始化成功 file=./%s", "log4cpp.properties");
    YLOG_INFO("%s", ("数据保存目录:" + dataDir).c_str());
    YLOG_INFO("协议版本:%s ", yav::text::GbkToUtf8(g_AppSettings.Version).c_str());
    YLOG_INFO("%s", ("客户端版本:" + g_AppSettings.clientversion.toStdString()).c_str());
}

bool CYavClientApp::IsAlreadyRunning() {
    if (!m_instance) {
        m_instance = std::make_unique<yav::SingleInstance>(kInstanceName);
    }
    return !m_instance->TryAcquire();
}

namespace {

// What the run holds between InitInstance and ExitInstance.
struct RunState {
    // QApplication keeps references to argc and argv for its whole life.
    int argc = 0;
    std::vector<QByteArray> argumentBytes;
    std::vector<char*> argv;
    std::unique_ptr<QApplication> application;
    std::unique_ptr<yav::InstanceBeacon> beacon;
    std::unique_ptr<QSocketNotifier> termination;
};

RunState& State() {
    static RunState state;
    return state;
}

int g_terminationPipe[2] = {-1, -1};

extern "C" void OnTerminationSignal(int) {
    const char byte = 1;
    // Only async-signal-safe work here: the GUI thread does the rest.
    [[maybe_unused]] const ssize_t written = ::write(g_terminationPipe[1], &byte, 1);
}

// Ends every modal loop that is running, innermost first as each returns.
void EndAllModalLoops() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* dialog = dynamic_cast<yav::Dialog*>(widget);
            dialog != nullptr && dialog->IsRunningModal()) {
            dialog->EndDialog(IDCANCEL);
        } else if (auto* box = qobject_cast<QDialog*>(widget); box != nullptr && box->isVisible()) {
            box->reject();
        }
    }
}

// SIGTERM and SIGINT end this instance the way closing its windows does.
void InstallTerminationHandler() {
    if (::pipe2(g_terminationPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        YLOG_WARN("终止信号通道无法建立: %s", std::strerror(errno));
        return;
    }
    auto notifier = std::make_unique<QSocketNotifier>(g_terminationPipe[0], QSocketNotifier::Read);
    QObject::connect(notifier.get(), &QSocketNotifier::activated, []() {
        char buffer[16];
        while (::read(g_terminationPipe[0], buffer, sizeof(buffer)) > 0) {
        }
        YLOG_INFO("收到终止信号，程序退出");
        if (g_pDlgStartup != nullptr) {
            g_pDlgStartup->GetJoinHandler().CloseRoadDialogs(3);
            g_pDlgStartup->GetJoinHandler().ExitApp();
        }
        EndAllModalLoops();
    });
    State().termination = std::move(notifier);
    struct sigaction action {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
}

void CreateApplication(const QStringList& arguments) {
    RunState& state = State();
    for (const QString& argument : arguments) {
        state.argumentBytes.push_back(argument.toLocal8Bit());
    }
    for (QByteArray& bytes : state.argumentBytes) {
        state.argv.push_back(bytes.data());
    }
    state.argv.push_back(nullptr);
    state.argc = static_cast<int>(state.argumentBytes.size());
    state.application = std::make_unique<QApplication>(state.argc, state.argv.data());
    // The start-up window carries the run; windows closing never end it by themselves.
    QApplication::setQuitOnLastWindowClosed(false);
    yav::StartControlMapFromEnvironment();
}

// The UI fonts at the display scale: 12 and 14 design pixels.
void SetUpUiFonts() {
    g_fontUI.setPixelSize(std::max(1, yav::Scaled(12)));
    g_fontUI.setWeight(QFont::Normal);
    g_fontUI2 = g_fontUI;
    g_fontUI2.setPixelSize(std::max(1, yav::Scaled(14)));
    *g_pGdipFont = g_fontUI;
    YLOG_INFO("界面字体: %s %dpx", QFontInfo(g_fontUI).family().toUtf8().constData(),
              g_fontUI.pixelSize());
}

}  // namespace

bool CYavClientApp::WaitForClosingInstance() {
    if (State().beacon->AskToRaise(2000)) {
        return false;
    }
    // No answer: the other instance is closing. With [appinfo] clientexit = 1 wait for it,
    // up to 15 times 2 s.
    if (yav::profile::GetInt("appinfo", "clientexit", 0,
                             g_ConfigManager.GetClientIniPath().toStdString()) != 1) {
        return false;
    }
    for (int attempt = 0; attempt < 15; ++attempt) {
        QThread::msleep(2000);
        if (!IsAlreadyRunning()) {
            return true;
        }
    }
    return false;
}

bool CYavClientApp::InitInstance() {
    YLOG_DEBUG("程序构造函数执行完毕");
    CreateApplication(m_arguments);
    g_ConfigManager.LoadLanguage();

    State().beacon = std::make_unique<yav::InstanceBeacon>(QString::fromLatin1(kInstanceName));
    if (IsAlreadyRunning() && !WaitForClosingInstance()) {
        // Another instance runs for this user: it was asked to come to the front; leave
        // quietly.
        return false;
    }
    YLOG_DEBUG("程序唯一性判断完成");
    State().beacon->Listen([]() { yav::InstanceBeacon::RaiseFrontWindow(); });
    ConfigureLogging();
    InstallTerminationHandler();

    const QScreen* screen = QGuiApplication::primaryScreen();
    g_fExchangePW = yav::StartupScaleFactor(screen);
    const QSize screenSize =
        screen != nullptr ? screen->size() * screen->devicePixelRatio() : QSize(0, 0);
    YLOG_INFO("分辨率:width=%d, height=%d 缩放比例:g_fExchangePW=%f", screenSize.width(),
              screenSize.height(), g_fExchangePW);
    g_ConfigManager.InitOsVersion();
    SetUpUiFonts();
    g_ConfigManager.LoadSkin();

    g_pMainFrame = new XMainFrame();
    g_pMediaManager = new XMediaManager();

    ST_START_PARAM block;
    QString digestPwd;
    const int directJoin = ParseCommandLine(&block, &digestPwd);
    YLOG_INFO("启动方式=%d 服务器=%s 会议号=%d", directJoin,
              block.ServerAddr().toUtf8().constData(), block.nConfId);
    {
        CDlgStartup startup(std::make_unique<CRoadDialogs>(), std::make_unique<CRoadRoom>(),
                            g_pMainFrame);
        startup.SetStartParams(directJoin, &block, digestPwd);
        startup.DoModal();
    }
    g_ConfigManager.ReleaseImageCache();
    return false;
}

int CYavClientApp::ExitInstance() {
    // The managers go first so that what they log on the way out reaches the log. The main
    // frame goes before the media manager: a room still open is left on the way (its work
    // stops and its video windows let go of the streams that the media manager owns).
    delete g_pMainFrame;
    g_pMainFrame = nullptr;
    delete g_pMediaManager;
    g_pMediaManager = nullptr;
    YLOG_INFO("程序退出");
    yav::log::Shutdown();
    RunState& state = State();
    state.termination.reset();
    state.beacon.reset();
    state.application.reset();
    return 0;
}

int CYavClientApp::Run() {
    yav::users::RegisterRoomWindows();
    InitInstance();
    return ExitInstance();
}
