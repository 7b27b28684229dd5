// yavserver's own log: information to standard error by default, a log4cpp properties file
// (--log-config) taking over where it is given, standard error kept when it cannot be used.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "CsBot.h"
#include "ServerProcess.h"
#include "support/WaitUntil.h"

namespace {

using yav::test::CsBot;
using yav::test::ServerProcess;

constexpr uint32_t kDemoConference = 900001;
// A relay to nobody is logged at debug level; a join at information level.
constexpr uint16_t kAbsentUser = 4000;
constexpr const char* kJoinLine = "(Alice) joined, 1 present>";
constexpr const char* kDebugLine = "relay to absent user 4000 dropped";

std::string ReadWhole(const std::string& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

class TempFolder {
public:
    TempFolder() {
        std::string pattern = std::filesystem::temp_directory_path().string() + "/yavlog-XXXXXX";
        if (mkdtemp(pattern.data()) != nullptr) {
            path_ = pattern;
        }
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

enum class Config { None, FileAtDebug, Missing };

struct LogCase {
    const char* name;
    Config config;
    bool errorHasJoin;    // the join line reaches standard error
    bool errorHasDebug;   // the debug line reaches standard error
    bool fileHasJoin;     // the configured file gets the join line
    bool fileHasDebug;    // ... and the debug line
    const char* warning;  // a line standard error must show, or null
};

class ServerLog : public ::testing::TestWithParam<LogCase> {};

TEST_P(ServerLog, LinesGoWhereTheConfigurationSays) {
    const LogCase& c = GetParam();
    TempFolder folder;
    ASSERT_FALSE(folder.Path().empty());
    const std::string logFile = folder.Path() + "/server.log";
    const std::string properties = folder.Path() + "/server-log.properties";
    std::vector<std::string> args;
    if (c.config == Config::FileAtDebug) {
        std::ofstream(properties) << "log4cpp.rootCategory=DEBUG, A\n"
                                     "log4cpp.appender.A=org.apache.log4j.FileAppender\n"
                                     "log4cpp.appender.A.fileName="
                                  << logFile
                                  << "\n"
                                     "log4cpp.appender.A.layout=org.apache.log4j.BasicLayout\n";
        args = {"--log-config", properties};
    } else if (c.config == Config::Missing) {
        args = {"--log-config", folder.Path() + "/absent.properties"};
    }
    ServerProcess server(args);
    ASSERT_TRUE(server.Ready()) << server.Output();

    CsBot bot;
    ASSERT_EQ(bot.Login(server.ConferencePort(), kDemoConference, "alice", "alice", 0), 0);
    const uint8_t marker[2] = {1, 0};
    bot.Cs().Transmit(kAbsentUser, 274, marker, 2);
    // The join, the relay and the leave (of user 8, the first) come in this order: once the
    // leave is written, everything before it is.
    bot.Cs().Logout();
    const auto written = [&] {
        const std::string where = c.fileHasJoin ? ReadWhole(logFile) : server.StandardError();
        return where.find("user 8 left (") != std::string::npos;
    };
    ASSERT_TRUE(yav::test::WaitUntil(written)) << server.Output() << ReadWhole(logFile);
    ASSERT_TRUE(server.Stop());

    const std::string error = server.StandardError();
    const std::string file = ReadWhole(logFile);
    const auto has = [](const std::string& text, const char* part) {
        return text.find(part) != std::string::npos;
    };
    EXPECT_EQ(has(error, kJoinLine), c.errorHasJoin) << error;
    EXPECT_EQ(has(error, kDebugLine), c.errorHasDebug) << error;
    EXPECT_EQ(has(file, kJoinLine), c.fileHasJoin) << file;
    EXPECT_EQ(has(file, kDebugLine), c.fileHasDebug) << file;
    if (c.errorHasJoin) {
        EXPECT_TRUE(has(error, "INFO")) << error;
    }
    if (c.warning != nullptr) {
        EXPECT_TRUE(has(error, c.warning)) << error;
    }
    // Standard output carries the listening line for scripts, never the log.
    EXPECT_FALSE(has(server.StandardOutput(), kJoinLine)) << server.StandardOutput();
}

INSTANTIATE_TEST_SUITE_P(
    Configurations, ServerLog,
    ::testing::Values(
        LogCase{"StandardErrorAtInformation", Config::None, true, false, false, false, nullptr},
        LogCase{"PropertiesFileTakesOver", Config::FileAtDebug, false, false, true, true, nullptr},
        LogCase{"UnreadableFileKeepsStandardError", Config::Missing, true, false, false, false,
                "cannot use the log configuration"}),
    [](const ::testing::TestParamInfo<LogCase>& param) { return std::string(param.param.name); });

}  // namespace
