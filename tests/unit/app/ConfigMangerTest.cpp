#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <QSysInfo>

#include "config/AppSettings.h"
#include "config/ConfigManger.h"
#include "platform/core/Log.h"
#include "platform/core/Profile.h"
#include "platform/core/TextCodec.h"
#include "unit/app/AppTestEnv.h"
#include "unit/resources/LogCapture.h"

namespace {

using yav::testing::AppTestEnv;
using yav::testing::TempDir;
namespace fs = std::filesystem;

std::string Str(const QString& text) {
    return text.toStdString();
}

TEST(ConfigMangerDataDir, FolderNameFromProgramClientIni) {
    const struct {
        const char* clientIni;  // program folder's Client.ini, null: none
        const char* folder;
    } cases[] = {
        {nullptr, "MarnexData"},
        {"[appinfo]\nVersion=1\n", "MarnexData"},
        {"[appinfo]\nAPPDataPath=\n", "MarNexData"},
        {"[appinfo]\nAPPDataPath=YavData\n", "YavData"},
        {"[appinfo]\nAPPDataPath=Vendor\\Client\n", "Vendor/Client"},
    };
    for (const auto& c : cases) {
        AppTestEnv env;
        if (c.clientIni) {
            env.WriteProgramFile("Client.ini", c.clientIni);
        }
        CConfigManger config;
        EXPECT_EQ(Str(config.GetDataDir()), env.DataBase() + "/" + c.folder + "/") << c.folder;
        EXPECT_TRUE(fs::is_directory(env.DataBase() + "/" + c.folder));
    }
}

TEST(ConfigMangerDataDir, ExistingFolderIsFoundInAnyLetterCase) {
    AppTestEnv env;
    env.WriteProgramFile("Client.ini", "[appinfo]\nAPPDataPath=\n");
    fs::create_directories(env.DataBase() + "/MarnexData");
    CConfigManger config;
    EXPECT_EQ(Str(config.GetDataDir()), env.DataBase() + "/MarnexData/");
    EXPECT_FALSE(fs::exists(env.DataBase() + "/MarNexData"));
}

TEST(ConfigMangerDataDir, SeedsWithoutOverwriting) {
    AppTestEnv env;
    for (const char* name :
         {"Client.ini", "ConfigVideo.ini", "H323Record.ini", "skin.ini", "log4cpp2.properties",
          "log4cppDocCvt2.properties", "Update/upgrade.ini"}) {
        env.WriteProgramFile(name, std::string("; program ") + name + "\n");
    }
    std::string dataDir;
    {
        CConfigManger config;
        dataDir = Str(config.GetDataDir());
    }
    for (const char* name : {"ConfigVideo.ini", "H323Record.ini", "skin.ini", "log4cpp2.properties",
                             "log4cppDocCvt2.properties", "Update/upgrade.ini"}) {
        EXPECT_EQ(TempDir::Read(dataDir + name), std::string("; program ") + name + "\n") << name;
    }
    for (const char* folder : {"DocTemp", "PhotoFile", "RecrodFile", "Update", "loglog"}) {
        EXPECT_TRUE(fs::is_directory(dataDir + folder)) << folder;
    }
    // The user's changes survive the next start, even though the program folder changed too.
    std::ofstream(dataDir + "ConfigVideo.ini") << "[VideoParam]\nUseTCP=1\n";
    env.WriteProgramFile("ConfigVideo.ini", "[VideoParam]\nUseTCP=0\n");
    CConfigManger again;
    EXPECT_EQ(TempDir::Read(dataDir + "ConfigVideo.ini"), "[VideoParam]\nUseTCP=1\n");
    EXPECT_EQ(g_AppSettings.UseTCP, 1);
}

TEST(ConfigMangerDataDir, SeededCopyOfReadOnlyFileIsWritable) {
    AppTestEnv env;
    const std::string source = env.WriteProgramFile("Client.ini", "[appinfo]\n");
    chmod(source.c_str(), 0444);
    CConfigManger config;
    struct stat st {};
    ASSERT_EQ(stat(Str(config.GetClientIniPath()).c_str(), &st), 0);
    EXPECT_TRUE(st.st_mode & S_IWUSR);
    EXPECT_EQ(yav::profile::GetString("Guard", "bUpdate", "", 8, Str(config.GetClientIniPath())),
              "0");
}

TEST(ConfigMangerLogConfig, FirstStartRewritesOnlyTheFirstLogFolderOfEachLine) {
    AppTestEnv env;
    env.WriteProgramFile("log4cpp.properties",
                         "a.fileName=./loglog/client.log\r\n"
                         "b=./loglog/x ./loglog/y\n"
                         "c=unchanged\n");
    env.WriteProgramFile("log4cppDocCvt.properties", "d=./loglog/doc.log\n");
    CConfigManger config;
    const std::string d = Str(config.GetDataDir());
    const std::string logDir = d + "loglog/";
    EXPECT_EQ(TempDir::Read(d + "log4cpp.properties"), "a.fileName=" + logDir + "client.log\r\n" +
                                                           "b=" + logDir + "x ./loglog/y\n" +
                                                           "c=unchanged\n");
    EXPECT_FALSE(fs::exists(d + "log4cpp3.properties"));
    EXPECT_EQ(TempDir::Read(d + "log4cppDocCvt3.properties"), "d=./loglog/doc.log\n");

    // A later start keeps the written file, whatever the template says now.
    env.WriteProgramFile("log4cpp.properties", "changed=./loglog/\n");
    CConfigManger again;
    EXPECT_EQ(TempDir::Read(d + "log4cpp.properties").substr(0, 11), "a.fileName=");
    EXPECT_FALSE(fs::exists(d + "log4cpp3.properties"));
}

TEST(ConfigMangerLogConfig, NoTemplateWritesNoEmptyProperties) {
    AppTestEnv env;
    CConfigManger config;
    EXPECT_FALSE(fs::exists(Str(config.GetDataDir()) + "log4cpp.properties"));
}

TEST(ConfigMangerDataDir, UnusableDataBaseFallsBackToPrivateTempFolder) {
    AppTestEnv env;
    // The data base is a plain file: no folder can be made below it (also for root).
    std::ofstream(env.DataBase()) << "not a folder";
    const std::string logFile = env.Root().File("fallback.log");
    const std::string properties =
        env.Root().Write("log.properties",
                         "log4cpp.rootCategory=DEBUG, "
                         "f\nlog4cpp.appender.f=FileAppender\nlog4cpp.appender.f.fileName=" +
                             logFile +
                             "\nlog4cpp.appender.f.layout=PatternLayout\nlog4cpp.appender.f.layout."
                             "ConversionPattern=%m%n\n");
    yav::log::ConfigureFromFile(properties);
    CConfigManger config;
    const std::string expected =
        env.TempBase() + "/yav-" + std::to_string(getuid()) + "/MarnexData/";
    EXPECT_EQ(Str(config.GetDataDir()), expected);
    EXPECT_TRUE(fs::is_directory(expected + "RecrodFile"));
    EXPECT_EQ(Str(config.GetClientIniPath()), expected + "Client.ini");
    EXPECT_NE(
        TempDir::Read(logFile).find("改用临时目录 " + expected.substr(0, expected.size() - 1)),
        std::string::npos);
    yav::log::ConfigureFromFile(
        env.Root().Write("null.properties", "log4cpp.rootCategory=DEBUG\n"));
}

TEST(ConfigMangerDataDir, ClientIniElsewhereWhenConfigTypeIsOne) {
    AppTestEnv env;
    const std::string other = env.Root().Write("elsewhere.ini", "[appinfo]\nDsSvrPort=9100\n");
    fs::create_directories(env.DataBase() + "/MarnexData");
    std::ofstream(env.DataBase() + "/MarnexData/Config.ini")
        << "[Client]\nType=1\nIniPath=" << other << "\n";
    {
        CConfigManger config;
        EXPECT_EQ(config.nClientType, 1u);
        EXPECT_EQ(Str(config.GetClientIniPath()), other);
        EXPECT_EQ(g_AppSettings.DsSvrPort, 9100u);
    }
    std::ofstream(env.DataBase() + "/MarnexData/Config.ini") << "[Client]\nType=1\n";
    CConfigManger config;
    EXPECT_TRUE(config.GetClientIniPath().isEmpty());
    EXPECT_EQ(g_AppSettings.DsSvrPort, 8875u);
}

TEST(ConfigMangerSettings, DefaultsFromEmptyFiles) {
    AppTestEnv env;
    g_AppSettings.dwPanelToggle = 7;
    g_AppSettings.byDocLayoutMode = 3;
    CConfigManger config;
    const std::string d = Str(config.GetDataDir());
    const std::string program = env.ProgramDir();
    const ST_APP_SETTINGS& s = g_AppSettings;
    EXPECT_STREQ(s.Version, "");
    EXPECT_TRUE(s.clientversion.isEmpty());
    EXPECT_EQ(s.clientguid, GUID{});
    EXPECT_EQ(s.DsSvrPort, 8875u);
    EXPECT_EQ(Str(s.recordpath), d + "RecrodFile");
    EXPECT_EQ(Str(s.photopath), d + "PhotoFile");
    EXPECT_EQ(Str(s.soundfilepath), program + "toy.wav");
    EXPECT_EQ(Str(s.clappingSound), program + "clapping.wav");
    EXPECT_EQ(Str(s.startConfSound), program + "startconf.wav");
    EXPECT_EQ(Str(s.cheersSound), program + "Cheers.wav");
    EXPECT_EQ(Str(s.musicSound), program + "Musicmid.wav");
    EXPECT_EQ(s.cycleinterval, 10u);
    EXPECT_EQ(s.cyclecount, 1u);
    EXPECT_EQ(s.UseTCP, 0);
    EXPECT_EQ(s.bVideoCapMode, 1);
    EXPECT_EQ(s.byDocLayoutMode, 0);
    EXPECT_EQ(s.dwNetQualityState, 0u);
    EXPECT_EQ(s.dwPanelToggle, 1u);
    EXPECT_EQ(s.VideoSlice, 30);
    EXPECT_EQ(yav::profile::GetString("Guard", "bUpdate", "", 8, Str(config.GetClientIniPath())),
              "0");
    EXPECT_EQ(config.nOsVersion, 0u);
    EXPECT_EQ(Str(config.GetConfigVideoIniPath()), d + "ConfigVideo.ini");
    EXPECT_EQ(Str(config.strSkinIni), d + "Skin.ini");
    EXPECT_EQ(Str(config.GetModuleDir()), program);
    EXPECT_EQ(Str(config.strLanguageDll), program + "Language.rcc");
    EXPECT_EQ(Str(config.strSkinsDll), program + "Skins.rcc");
}

TEST(ConfigMangerSettings, ValuesFromBothFiles) {
    AppTestEnv env;
    const std::string record = env.Root().Path() + "/media/rec";
    env.WriteProgramFile(
        "Client.ini",
        "[appinfo]\nVersion=版本号一二三四五六七八九十\nclientversion=1.2.3.4.5.6.7.8.9.10.11\n"
        "clientname=会议客户端\nclientguid=6B29FC40-CA47-1067-B31D-00DD010662DA\nDsSvrPort=9000\n"
        "recordpath=" +
            record +
            "\nphotopath=D:\\Photos\nsoundfilepath=/usr/share/sounds/a.wav\n"
            "cycleinterval=25\ncyclecount=3\nbAutoScreen=2\nbWatchAutoTime=5\nbVideoCapMode=0\n"
            "bSixOrSevenWinMode=1\n[feedback]\nurl=https://example.com/help\nhotLine=400-800\n"
            "[VideoTextColor]\nShowDefault=1\n[VideoRecord]\nVideoSlice=15\n");
    env.WriteProgramFile("ConfigVideo.ini", "[VideoParam]\nUseTCP=1\nCurCapVideoID=2\n");
    CConfigManger config;
    const ST_APP_SETTINGS& s = g_AppSettings;
    // 20 bytes of code page 936 hold 9 Chinese characters and the NUL.
    EXPECT_EQ(yav::text::GbkToUtf8(s.Version), "版本号一二三四五六");
    EXPECT_EQ(s.clientversion, QStringLiteral("1.2.3.4.5.6.7.8.9.1"));
    EXPECT_EQ(s.clientname, QStringLiteral("会议客户端"));
    EXPECT_EQ(s.clientguid.Data1, 0x6B29FC40u);
    EXPECT_EQ(s.DsSvrPort, 9000u);
    EXPECT_EQ(Str(s.recordpath), record);
    EXPECT_TRUE(fs::is_directory(record));
    EXPECT_EQ(Str(s.photopath), Str(config.GetDataDir()) + "PhotoFile");  // a Windows drive path
    EXPECT_EQ(Str(s.soundfilepath), "/usr/share/sounds/a.wav");
    EXPECT_EQ(s.cycleinterval, 25u);
    EXPECT_EQ(s.cyclecount, 3u);
    EXPECT_EQ(s.bAutoScreen, 2);
    EXPECT_EQ(s.bWatchAutoTime, 5);
    EXPECT_EQ(s.bVideoCapMode, 0);
    EXPECT_EQ(s.bSixOrSevenWinMode, 1u);
    EXPECT_EQ(s.url, QStringLiteral("https://example.com/help"));
    EXPECT_EQ(s.hotLine, QStringLiteral("400-800"));
    EXPECT_EQ(s.ShowDefault, 1u);
    EXPECT_EQ(s.VideoSlice, 15);
    EXPECT_EQ(s.UseTCP, 1);
    EXPECT_EQ(s.CurCapVideoID, 2);
}

TEST(ConfigMangerFolders, PathHelpers) {
    TempDir dir;
    EXPECT_FALSE(CConfigManger::IsPathExist(QString()));
    EXPECT_TRUE(CConfigManger::IsPathExist(QStringLiteral("/")));
    EXPECT_TRUE(CConfigManger::IsPathExist(QString::fromStdString(dir.Path() + "/")));
    EXPECT_FALSE(CConfigManger::IsPathExist(QString::fromStdString(dir.Path() + "/none")));

    const QString deep = QString::fromStdString(dir.Path() + "/a/b/c");
    EXPECT_TRUE(CConfigManger::CreateDirectoryTree(deep));
    EXPECT_TRUE(fs::is_directory(deep.toStdString()));
    EXPECT_TRUE(CConfigManger::CreateDirectoryTree(deep));  // already there
    dir.Write("file", "x");
    EXPECT_FALSE(
        CConfigManger::CreateDirectoryTree(QString::fromStdString(dir.Path() + "/file/sub/dir")));

    EXPECT_TRUE(CConfigManger::CheckDirAuthorityWrite(QString::fromStdString(dir.Path()), true));
    EXPECT_TRUE(
        CConfigManger::CheckDirAuthorityWrite(QString::fromStdString(dir.Path() + "/"), false));
    // A test folder left by an interrupted run does not make the folder look unwritable.
    fs::create_directories(dir.Path() + "/testWriteDirAccess");
    EXPECT_TRUE(
        CConfigManger::CheckDirAuthorityWrite(QString::fromStdString(dir.Path() + "/"), false));
    EXPECT_FALSE(fs::exists(dir.Path() + "/testWriteDirAccess"));
    EXPECT_FALSE(fs::exists(dir.Path() + "/testfilrwrite.abc"));
    EXPECT_FALSE(
        CConfigManger::CheckDirAuthorityWrite(QString::fromStdString(dir.Path() + "/file"), false));
}

// The program's version tests all ask "Windows 8 or later": the version is unset until
// start-up asks for it and then passes them, here and in the global the program reads. The
// resource thread loads nothing and says so with its two log lines; the 64-bit host check
// follows the machine.
TEST(ConfigMangerMisc, OsVersionAndResourceThread) {
    AppTestEnv env;
    CConfigManger config;
    EXPECT_EQ(config.nOsVersion, 0u);
    g_nOSVersion = 0;
    config.InitOsVersion();
    EXPECT_GE(config.nOsVersion, 62u);
    EXPECT_EQ(g_nOSVersion, static_cast<int>(config.nOsVersion));

    yav::testing::LogCapture log;
    EXPECT_EQ(config.LoadResourceThread(), 1);
    const std::vector<std::string> lines = log.Lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[0].find("<加载资源线程1006-1096>"), std::string::npos) << lines[0];
    EXPECT_NE(lines[1].find("<加载资源线程退出>"), std::string::npos) << lines[1];

    EXPECT_EQ(IsWow64(), QSysInfo::buildCpuArchitecture().endsWith(QLatin1String("64")) ||
                             QSysInfo::currentCpuArchitecture().endsWith(QLatin1String("64")));
}

}  // namespace
