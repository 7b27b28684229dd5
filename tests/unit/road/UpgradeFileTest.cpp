#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <cstdio>

#include "conference/UpgradeFile.h"
#include "platform/core/Profile.h"
#include "tools/KroUpd/UpgradeCheck.h"

namespace {

using yav::profile::GetKeyNames;
using yav::profile::GetString;

ST_UPGRADE_SERVER MakeUpgradeServer(const char* address, uint16_t port, int32_t filePassword,
                                    uint8_t guidStart) {
    ST_UPGRADE_SERVER server;
    std::snprintf(server.address, sizeof(server.address), "%s", address);
    server.port = port;
    server.filePassword = filePassword;
    for (size_t i = 0; i < server.guid.size(); ++i) {
        server.guid[i] = static_cast<uint8_t>(guidStart + i);
    }
    return server;
}

class UpgradeFile : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        updateDir = dir.path().toStdString() + "/Update/";
        ini = updateDir + "upgrade.ini";
        info.serverVersion = "2.0.1";
        info.zipMd5 = "0123456789abcdef0123456789abcdef";
        info.downloadUrl = "http://127.0.0.1:8880/upgrade.zip";
    }

    QTemporaryDir dir;
    std::string updateDir;
    std::string ini;
    yav::road::UpgradeInfo info;
};

TEST_F(UpgradeFile, WithoutServersOnlyTheSixFixedKeysAreWritten) {
    ASSERT_TRUE(yav::road::WriteUpgradeFile(info, updateDir));
    EXPECT_EQ(GetKeyNames("upgradeinfo", ini),
              (std::vector<std::string>{"offline", "version", "localfile", "zipmd5", "downloadUrl",
                                        "serverCount"}));
    EXPECT_EQ(GetString("upgradeinfo", "offline", "", 16, ini), "0");
    EXPECT_EQ(GetString("upgradeinfo", "localfile", "", 512, ini), updateDir + "upgrade.zip");
    EXPECT_EQ(GetString("upgradeinfo", "serverCount", "", 16, ini), "0");
}

// Each server in its four keys, the GUID read in the order Windows stores it; and the updater
// accepts the file as the client writes it.
TEST_F(UpgradeFile, ServersAreWrittenInOrderAndTheUpdaterAcceptsTheFile) {
    info.servers = {MakeUpgradeServer("10.0.0.7", 8877, -12, 0x10),
                    MakeUpgradeServer("10.0.0.8", 8878, 99, 0xA0)};
    ASSERT_TRUE(yav::road::WriteUpgradeFile(info, updateDir));
    EXPECT_EQ(GetKeyNames("upgradeinfo", ini),
              (std::vector<std::string>{"offline", "version", "localfile", "zipmd5", "downloadUrl",
                                        "serverCount", "server1ip", "server1port", "server1filepw",
                                        "server1guid", "server2ip", "server2port", "server2filepw",
                                        "server2guid"}));
    EXPECT_EQ(GetString("upgradeinfo", "server1guid", "", 64, ini),
              "13121110-1514-1716-1819-1a1b1c1d1e1f");
    EXPECT_EQ(GetString("upgradeinfo", "server2ip", "", 64, ini), "10.0.0.8");
    EXPECT_EQ(GetString("upgradeinfo", "server1filepw", "", 64, ini), "-12");

    const kroupd::ReadResult read = kroupd::ReadUpgradeDescription(ini);
    ASSERT_TRUE(read.ok()) << read.problems.front();
    ASSERT_EQ(read.description.servers.size(), 2u);
    EXPECT_EQ(read.description.servers[1].port, 8878);
    EXPECT_EQ(read.description.localFile, updateDir + "upgrade.zip");
}

TEST_F(UpgradeFile, AnEarlierFileIsEmptiedFirst) {
    info.servers = {MakeUpgradeServer("10.0.0.7", 8877, 1, 0)};
    ASSERT_TRUE(yav::road::WriteUpgradeFile(info, updateDir));
    info.servers.clear();
    ASSERT_TRUE(yav::road::WriteUpgradeFile(info, updateDir));
    EXPECT_EQ(GetString("upgradeinfo", "server1ip", "<none>", 64, ini), "<none>");
}

TEST_F(UpgradeFile, AnUnwritableFolderFails) {
    const std::string blocked = dir.path().toStdString() + "/blocked";
    std::FILE* file = std::fopen(blocked.c_str(), "wb");  // a file where the folder should be
    ASSERT_NE(file, nullptr);
    std::fclose(file);
    EXPECT_FALSE(yav::road::WriteUpgradeFile(info, blocked + "/Update/"));
}

}  // namespace
