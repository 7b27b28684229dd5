// The process's start-up (the foundation part so far) and the crash handler, built right
// after the configuration manager so that it is in place before anything else runs.

#include "YavClientApp.h"

#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <string>

#include "AppSettings.h"
#include "Common/CCrashDumpHandler.h"
#include "ConfigManger.h"
#include "platform/core/Log.h"
#include "platform/core/Paths.h"
#include "platform/core/SingleInstance.h"
#include "platform/core/TextCodec.h"

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

int CYavClientApp::Run() {
    YLOG_DEBUG("程序构造函数执行完毕");
    if (IsAlreadyRunning()) {
        // Another instance runs for this user: leave quietly.
        return 0;
    }
    YLOG_DEBUG("程序唯一性判断完成");
    ConfigureLogging();
    g_ConfigManager.InitOsVersion();

    ST_START_PARAM block;
    QString digestPwd;
    const int directJoin = ParseCommandLine(&block, &digestPwd);
    YLOG_INFO("启动方式=%d 服务器=%s 会议号=%d", directJoin,
              block.ServerAddr().toUtf8().constData(), block.nConfId);
    yav::log::Shutdown();
    return 0;
}
