#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/core/Paths.h"
#include "platform/core/Process.h"
#include "platform/core/SingleInstance.h"
#include "unit/app/AppTestEnv.h"

namespace {

using yav::testing::ScopedEnv;
using yav::testing::TempDir;

// The client with a data base and runtime folder of its own.
class ClientRun {
public:
    ClientRun()
        : dataHome_("XDG_DATA_HOME", home_.Path() + "/share"),
          runtime_("XDG_RUNTIME_DIR", home_.Path()),
          platform_("QT_QPA_PLATFORM", "offscreen") {}

    int Run(const std::vector<std::string>& arguments) {
        const int pid = yav::process::Start(yav::paths::ProgramDir() + "YavClient", arguments);
        EXPECT_GT(pid, 0);
        return pid > 0 ? yav::process::Wait(pid, 60000).value_or(-1) : -1;
    }
    // Runs the client until its log holds the line (it then waits on a window of the road),
    // and ends it as the system would; returns its exit code.
    int RunUntilLogged(const std::vector<std::string>& arguments, const std::string& line) {
        const int pid = yav::process::Start(yav::paths::ProgramDir() + "YavClient", arguments);
        EXPECT_GT(pid, 0);
        if (pid <= 0) {
            return -1;
        }
        for (int i = 0; i < 600 && Log().find(line) == std::string::npos; ++i) {
            if (auto code = yav::process::Wait(pid, 100)) {
                return *code;
            }
        }
        yav::process::Terminate(pid);
        return yav::process::Wait(pid, 30000).value_or(-1);
    }
    std::string DataDir() const { return home_.Path() + "/share/MarnexData/"; }
    std::string Log() const { return TempDir::Read(DataDir() + "loglog/YavClient.log"); }

private:
    TempDir home_;
    ScopedEnv dataHome_;
    ScopedEnv runtime_;
    ScopedEnv platform_;
};

TEST(ClientStartup, FirstStartSeedsTheDataFolderAndLogs) {
    ClientRun client;
    // Without a command line the login window opens and waits; the test then ends the client.
    ASSERT_EQ(client.RunUntilLogged({}, "启动方式=0"), 0);
    for (const char* file :
         {"Client.ini", "ConfigVideo.ini", "H323Record.ini", "skin.ini", "log4cpp.properties",
          "log4cpp2.properties", "log4cppDocCvt2.properties", "log4cppDocCvt3.properties",
          "Update/upgrade.ini"}) {
        EXPECT_TRUE(std::filesystem::exists(client.DataDir() + file)) << file;
    }
    EXPECT_FALSE(std::filesystem::exists(client.DataDir() + "log4cpp3.properties"));
    const std::string log = client.Log();
    // Lines from before logging was configured are in the log too, in order.
    const size_t early = log.find("CConfigManger::InitDataSaveDir");
    const size_t configured = log.find("日志库初始化成功 file=./log4cpp.properties");
    ASSERT_NE(early, std::string::npos) << log;
    ASSERT_NE(configured, std::string::npos) << log;
    EXPECT_LT(early, configured);
    EXPECT_NE(log.find("数据保存目录:" + client.DataDir()), std::string::npos) << log;
    EXPECT_NE(log.find("启动方式=0"), std::string::npos) << log;
}

TEST(ClientStartup, DirectJoinCommandLineIsRead) {
    ClientRun client;
    // No data server answers here: the road reports it and waits; the test then ends it.
    ASSERT_EQ(client.RunUntilLogged({"ip=127.0.0.1&name=%E5%BC%A0%E4%B8%89&confid=1000&type=1/"},
                                    "获取DS会议列表失败，发起第二次请求"),
              0);
    const std::string log = client.Log();
    EXPECT_NE(log.find("命令行参数：ip=127.0.0.1&name=张三&confid=1000&type=1/"), std::string::npos)
        << log;
    EXPECT_NE(log.find("启动方式=1 服务器=127.0.0.1 会议号=1000"), std::string::npos) << log;
}

TEST(ClientStartup, SecondInstanceLeavesQuietly) {
    ClientRun client;
    yav::SingleInstance first("Quenmira_7aea7b45-f19c-4093-a061-3fff58e466a7_1");
    ASSERT_TRUE(first.TryAcquire());
    ASSERT_TRUE(first.IsHeld());
    EXPECT_EQ(client.Run({}), 0);
    EXPECT_EQ(client.Log().find("程序唯一性判断完成"), std::string::npos);
    first.Release();
    EXPECT_EQ(client.RunUntilLogged({}, "程序唯一性判断完成"), 0);
    EXPECT_NE(client.Log().find("程序唯一性判断完成"), std::string::npos);
}

}  // namespace
