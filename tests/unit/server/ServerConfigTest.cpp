// The server's INI file: accounts and conferences are read with their limits; a file that
// cannot serve is refused, and so are heartbeat timing that clients would refuse and limits
// that would turn every connection away.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "ServerConfig.h"
#include "YavServer.h"

namespace {

std::string WriteIni(const std::string& name, const std::string& text) {
    const char* root = std::getenv("YAV_TEST_OUTPUT_DIR");
    const auto folder = std::filesystem::path(root ? root : "/tmp") / "server-config";
    std::filesystem::create_directories(folder);
    const auto path = folder / name;
    std::ofstream(path) << text;
    return path.string();
}

TEST(ServerConfig, ReadsAccountsConferencesAndLimits) {
    const auto path = WriteIni("full.ini",
                               "[server]\nConferencePort=9001\nHeartbeatMs=250\nBriefList=1\n"
                               "HelloTimeoutMs=700\nMaxPendingPerAddress=3\nMediaPort=9003\n"
                               "RelayQueuePackets=32\n"
                               "[account.Carol]\nPassword=pw\nName=Carol C\nDepartment=7\n"
                               "[account.dave]\nPasswordMd5=0123456789abcdef0123456789abcdef\n"
                               "[conference.42]\nName=Board\nPassword=s3\nChairs=carol\n"
                               "Members=carol, dave\nAllowGuests=0\nMaxUsers=9\nSpeakerLimit=2\n"
                               "DurationMinutes=30\nQuotaSeconds=90\nAppFlags24=36\n"
                               "SpeakingMode=1\nSpeakOnEntry=1\nBroadcastOnEntry=1\n"
                               "[conference.43]\nName=Plain\nLayoutCode=0\n");
    auto config = yav::server::LoadConfig(path);
    ASSERT_TRUE(config);
    EXPECT_EQ(config->conferencePort, 9001);
    EXPECT_EQ(config->dataPort, 8875);
    EXPECT_EQ(config->heartbeat.count(), 250);
    EXPECT_TRUE(config->briefList);
    EXPECT_EQ(config->helloTimeout.count(), 700);
    EXPECT_EQ(config->maxPendingPerAddress, 3u);
    EXPECT_EQ(config->maxPendingConnections, 256u);
    EXPECT_EQ(config->mediaPort, 9003);
    EXPECT_EQ(config->relayQueuePackets, 32u);
    const auto* carol = config->FindAccount("CAROL");
    ASSERT_NE(carol, nullptr);
    EXPECT_EQ(carol->displayName, "Carol C");
    EXPECT_EQ(carol->departmentId, 7u);
    EXPECT_EQ(carol->Digest(), yav::server::PasswordDigest("pw"));
    EXPECT_EQ(config->FindAccount("dave")->Digest(), "0123456789abcdef0123456789abcdef");
    EXPECT_NE(carol->accountId, config->FindAccount("dave")->accountId);
    const auto* board = config->FindConference(42);
    ASSERT_NE(board, nullptr);
    EXPECT_EQ(board->name, "Board");
    EXPECT_EQ(board->members, (std::vector<std::string>{"carol", "dave"}));
    EXPECT_FALSE(board->allowGuests);
    EXPECT_EQ(board->maxUsers, 9);
    EXPECT_EQ(board->duration.count(), 1800);
    EXPECT_EQ(board->quota.count(), 90);
    EXPECT_EQ(board->appFlags24, 36);
    EXPECT_EQ(board->appFlags25, 0);
    EXPECT_EQ(board->speakingMode, 1);
    EXPECT_TRUE(board->speakOnEntry);
    EXPECT_TRUE(board->broadcastOnEntry);
    // A conference of a file gives nothing on entry unless it says so.
    const auto* plain = config->FindConference(43);
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->speakingMode, 0);
    EXPECT_FALSE(plain->speakOnEntry);
    EXPECT_FALSE(plain->broadcastOnEntry);
    // Without a layout code the videos are arranged by their count.
    EXPECT_EQ(board->layoutCode, 13);
    EXPECT_EQ(plain->layoutCode, 0);
}

TEST(ServerConfig, FilesThatCannotServeAreRefused) {
    EXPECT_FALSE(yav::server::LoadConfig("/nonexistent/yavserver.ini"));
    EXPECT_FALSE(yav::server::LoadConfig(WriteIni("empty.ini", "[account.x]\nPassword=y\n")));
    EXPECT_FALSE(yav::server::LoadConfig(WriteIni("nonumber.ini", "[conference.abc]\nName=x\n")));
}

TEST(ServerConfig, DemoServesOneOpenConference) {
    const auto config = yav::server::DemoConfig();
    ASSERT_EQ(config.conferences.size(), 1u);
    EXPECT_EQ(config.conferences[0].confId, 900001u);
    EXPECT_TRUE(config.conferences[0].allowGuests);
    // The demo's chair gets the sound-effect button.
    EXPECT_EQ(config.conferences[0].appFlags24 & 0x20, 0x20);
    // An open discussion where everybody speaks and is seen on entry; the server gives both,
    // so the clients must not ask (bits 1 and 3 of byte 25): asking again stops the floor.
    EXPECT_EQ(config.conferences[0].speakingMode, 0);
    EXPECT_TRUE(config.conferences[0].speakOnEntry);
    EXPECT_TRUE(config.conferences[0].broadcastOnEntry);
    EXPECT_EQ(config.conferences[0].appFlags25 & 0x0A, 0);
    EXPECT_EQ(config.bindAddress, "127.0.0.1");
    EXPECT_EQ(config.AnnouncedAddress(), "127.0.0.1");
}

TEST(ServerConfig, TimingClientsRefuseOrZeroLimitsKeepTheServerClosed) {
    struct Case {
        const char* name;
        int heartbeatMs;
        int timeoutMs;
        bool opens;
        int helloMs = 10000;
        size_t pending = 256;
        size_t perAddress = 32;
        size_t relayQueue = 256;
    };
    const Case cases[] = {
        {"defaults", 5000, 15000, true},
        {"no heartbeat", 0, 15000, false},
        {"time-out shorter than the heartbeat", 5000, 1000, false},
        {"time-out past two minutes", 5000, 150000, false},
        {"heartbeat past a minute", 61000, 100000, false},
        {"no hello time", 5000, 15000, false, 0},
        {"no connection may wait for its login", 5000, 15000, false, 10000, 0},
        {"no connection per address", 5000, 15000, false, 10000, 256, 0},
        {"no room in a receiver's media queue", 5000, 15000, false, 10000, 256, 32, 0},
    };
    for (const auto& testCase : cases) {
        auto config = yav::server::DemoConfig();
        config.dataPort = 0;
        config.conferencePort = 0;
        config.probePort = 0;
        config.mediaPort = 0;
        config.heartbeat = std::chrono::milliseconds(testCase.heartbeatMs);
        config.timeout = std::chrono::milliseconds(testCase.timeoutMs);
        config.helloTimeout = std::chrono::milliseconds(testCase.helloMs);
        config.maxPendingConnections = testCase.pending;
        config.maxPendingPerAddress = testCase.perAddress;
        config.relayQueuePackets = testCase.relayQueue;
        yav::server::YavServer server(std::move(config));
        EXPECT_EQ(server.Open(), testCase.opens) << testCase.name;
    }
}

TEST(ServerConfig, PasswordDigestIsTheMd5OfTheGbkBytes) {
    EXPECT_EQ(yav::server::PasswordDigest(""), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(yav::server::PasswordDigest("abc"), "900150983cd24fb0d6963f7d28e17f72");
    // "中" is D6 D0 in GBK.
    EXPECT_EQ(yav::server::PasswordDigest("中"), "5301da37e5ffca1823a5cef67488d4bf");
}

}  // namespace

TEST(ServerConfig, DepartmentsComeParentsFirstAndOrphansCyclesAndRepeatsAreLeftOut) {
    const auto path = WriteIni("departments.ini",
                               "[department.4]\nParent=3\nName=Video team\nValue=7\n"
                               "[department.3]\nParent=1\nName=Research (north)\n"
                               "[department.1]\nName=Head office\n"
                               "[department.9]\nParent=77\nName=Orphan\n"
                               "[department.5]\nParent=6\n[department.6]\nParent=5\n"
                               "[conference.42]\nName=Board\n");
    auto config = yav::server::LoadConfig(path);
    ASSERT_TRUE(config);
    std::vector<uint32_t> ids;
    for (const auto& department : config->departments) {
        ids.push_back(department.id);
    }
    EXPECT_EQ(ids, (std::vector<uint32_t>{1, 3, 4}));
    EXPECT_EQ(config->departments[0].parentId, -1);
    EXPECT_EQ(config->departments[1].name, "Research (north)");
    EXPECT_EQ(config->departments[2].value, 7u);
    const auto repeated = yav::server::ParentsFirst({{2, -1, 0, "A"}, {2, -1, 0, "B"}});
    ASSERT_EQ(repeated.size(), 1u);
    EXPECT_EQ(repeated[0].name, "A");
}

TEST(ServerConfig, DemoNestsItsDepartmentsAndEveryAccountHasOne) {
    const auto config = yav::server::DemoConfig();
    EXPECT_EQ(yav::server::ParentsFirst(config.departments).size(), config.departments.size());
    int nested = 0;
    for (const auto& department : config.departments) {
        nested += department.parentId > 0 ? 1 : 0;
    }
    EXPECT_GE(nested, 2);
    for (const auto& account : config.accounts) {
        EXPECT_TRUE(std::any_of(config.departments.begin(), config.departments.end(),
                                [&](const auto& d) { return d.id == account.departmentId; }))
            << account.login;
    }
}
