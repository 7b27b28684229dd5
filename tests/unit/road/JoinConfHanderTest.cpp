#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <memory>

#include "RecordCodec.h"
#include "RoadFakes.h"
#include "conference/RoadText.h"
#include "config/AppSettings.h"
#include "config/ConfigManger.h"
#include "config/LangFormat.h"
#include "platform/core/Profile.h"
#include "platform/core/TextCodec.h"

namespace {

using road_test::FakeDsManager;
using road_test::FakeFrame;
using road_test::FakeRoom;
using road_test::FakeWindows;
using road_test::MakeConf;
using road_test::MakeServer;

ST_START_PARAM MakeStart(int type, const QString& name, const QString& password, uint32_t confId,
                         const QString& server = QStringLiteral("127.0.0.1")) {
    ST_START_PARAM block;
    block.wJoinType = static_cast<uint16_t>(type);
    block.SetUserName(name);
    block.SetPassword(password);
    block.SetServerAddr(server);
    block.nConfId = static_cast<int32_t>(confId);
    return block;
}

class RoadTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { g_ConfigManager.LoadLanguage(); }

    void SetUp() override {
        // The checks below tell messages apart by their texts.
        ASSERT_NE(LoadLangString(43), LoadLangString(1801));
        Kro_SetDsManagerFactory(&FakeDsManager::Create, &FakeDsManager::Destroy);
        FakeDsManager::Setup() = nullptr;
    }
    void TearDown() override {
        road.reset();
        Kro_SetDsManagerFactory(nullptr, nullptr);
        FakeDsManager::Setup() = nullptr;
    }

    // The road over fake dialogs and a fake room.
    void CreateRoad() {
        auto ownedWindows = std::make_unique<FakeWindows>();
        windows = ownedWindows.get();
        auto ownedRoom = std::make_unique<FakeRoom>();
        room = ownedRoom.get();
        road = std::make_unique<CJoinConfHander>(std::move(ownedWindows), std::move(ownedRoom),
                                                 &frame);
    }

    // A road whose data server answers with the given list and conference servers.
    void MakeRoad(std::vector<ST_CONF_ITEM> list, std::vector<ST_CS_SERVER> servers) {
        FakeDsManager::Setup() = [list, servers](FakeDsManager& fake) {
            fake.full = list;
            fake.servers = servers;
        };
        CreateRoad();
        ds = FakeDsManager::Current();
        ASSERT_NE(ds, nullptr);
    }

    // The login window's successful login: hand over the block, connect, fetch the list.
    std::function<int()> LoginWith(ST_START_PARAM block) {
        return [this, block]() {
            road->SetStartParams(false, &block, QString());
            EXPECT_NE(road->ConnectDs(QStringLiteral("127.0.0.1"), 8875), 0);
            road->ShowConfListDlg();
            return 1;
        };
    }

    // A row click of the list on conference id.
    std::function<int()> ClickRow(uint32_t confId) {
        return [this, confId]() {
            if (road->FindConfById(confId) != nullptr) {
                lastEnterResult = road->EnterConfRoom();
            }
            return 1;
        };
    }

    void RunRoad() {
        road->OnStart();
        road->AfterLogin();
    }

    FakeFrame frame;
    FakeWindows* windows = nullptr;
    FakeRoom* room = nullptr;
    FakeDsManager* ds = nullptr;
    std::unique_ptr<CJoinConfHander> road;
    int lastEnterResult = 0;
};

TEST_F(RoadTest, OneConferenceAndTypeZeroEntersWithoutTheList) {
    MakeRoad({MakeConf(4321)}, {MakeServer("127.0.0.1", 9000)});
    windows->loginScript.push_back(LoginWith(MakeStart(0, "alice", "secret", 0)));
    RunRoad();

    EXPECT_EQ(windows->loginRuns, 1);
    EXPECT_EQ(windows->listRuns, 0);
    ASSERT_EQ(frame.loginConfIds.size(), 1u);
    EXPECT_EQ(frame.loginConfIds[0], 4321u);
    ASSERT_EQ(frame.loginInfos.size(), 1u);
    EXPECT_EQ(frame.loginInfos[0].name, "alice");
    EXPECT_EQ(frame.loginInfos[0].password, "secret");
    EXPECT_EQ(frame.loginInfos[0].mode, 0);
    EXPECT_EQ(room->roomsCreated, 1);
    EXPECT_TRUE(road->IsInRoom());
    // The data server saw the digested password, never the plain one.
    ASSERT_FALSE(ds->listCalls.empty());
    EXPECT_EQ(ds->listCalls[0].digest, "5ebe2294ecd0e0f08eab7690d2a6ee69");
}

TEST_F(RoadTest, OneConferenceOfTypeOneStillShowsTheList) {
    MakeRoad({MakeConf(4321)}, {MakeServer("127.0.0.1", 9000)});
    windows->loginScript.push_back(LoginWith(MakeStart(1, "bob", "", 0)));
    windows->listScript.push_back([]() { return 1; });
    RunRoad();
    EXPECT_EQ(windows->listRuns, 1);
    EXPECT_TRUE(frame.loginConfIds.empty());
}

TEST_F(RoadTest, NoConferenceServerShowsText43AndTheLoginWindowAgain) {
    MakeRoad({MakeConf(4321)}, {});
    windows->loginScript.push_back(LoginWith(MakeStart(0, "alice", "pw", 0)));
    // The second login window: the user gives up (closes the program).
    windows->loginScript.push_back([this]() {
        road->ExitApp();
        return 2;
    });
    RunRoad();

    ASSERT_EQ(windows->messages.size(), 1u);
    EXPECT_EQ(windows->messages[0], LoadLangString(43));
    EXPECT_EQ(windows->loginRuns, 2);
    EXPECT_EQ(windows->listRuns, 0);
    EXPECT_TRUE(frame.loginConfIds.empty());
    EXPECT_EQ(room->startupClosed, 1);
}

TEST_F(RoadTest, NoConferenceServerFromTheListStaysOnTheList) {
    MakeRoad({MakeConf(1), MakeConf(2)}, {});
    windows->loginScript.push_back(LoginWith(MakeStart(0, "alice", "pw", 0)));
    windows->listScript.push_back(ClickRow(2));
    RunRoad();
    EXPECT_EQ(lastEnterResult, -1);
    EXPECT_EQ(windows->messages.size(), 1u);
    EXPECT_EQ(windows->loginRuns, 1);
}

TEST_F(RoadTest, ChairPasswordIsAskedAndCancelMakesNoServerRequest) {
    MakeRoad({MakeConf(7, 0), MakeConf(8)}, {MakeServer("127.0.0.1", 9000)});
    windows->loginScript.push_back(LoginWith(MakeStart(5, "guest", "", 0)));
    windows->passwordAnswers.push_back({2, QString()});
    windows->listScript.push_back(ClickRow(7));
    RunRoad();

    EXPECT_EQ(windows->passwordAsks, 1);
    EXPECT_EQ(lastEnterResult, -1);
    EXPECT_TRUE(ds->csCalls.empty());
    EXPECT_TRUE(frame.loginConfIds.empty());
    EXPECT_FALSE(road->IsInRoom());
}

TEST_F(RoadTest, ChairPasswordGivenLogsInWithModeTwo) {
    MakeRoad({MakeConf(7, 0), MakeConf(8)}, {MakeServer("127.0.0.1", 9000)});
    windows->loginScript.push_back(LoginWith(MakeStart(1, "guest", "ignored", 0)));
    windows->passwordAnswers.push_back({1, QStringLiteral("chair")});
    windows->listScript.push_back(ClickRow(7));
    RunRoad();

    ASSERT_EQ(frame.loginInfos.size(), 1u);
    EXPECT_EQ(frame.loginInfos[0].password, "chair");
    EXPECT_EQ(frame.loginInfos[0].mode, 2);
    EXPECT_EQ(frame.loginConfIds, std::vector<uint32_t>{7});
}

TEST_F(RoadTest, LoginModeFollowsTheStartType) {
    struct Case {
        int type;
        uint8_t passwordFree;
        uint8_t mode;
    };
    for (const Case c : {Case{0, 0, 0}, Case{2, 0, 2}, Case{1, 1, 1}, Case{5, 3, 1}, Case{3, 0, 0},
                         Case{4, 1, 0}}) {
        MakeRoad({MakeConf(7, c.passwordFree), MakeConf(8)}, {MakeServer("127.0.0.1", 9000)});
        windows->loginScript.push_back(LoginWith(MakeStart(c.type, "n", "p", 0)));
        windows->listScript.push_back(ClickRow(7));
        RunRoad();
        ASSERT_EQ(frame.loginInfos.size(), 1u) << c.type;
        EXPECT_EQ(frame.loginInfos[0].mode, c.mode) << "type " << c.type;
        EXPECT_EQ(frame.loginInfos[0].password, "p");
        EXPECT_EQ(windows->passwordAsks, 0);
        frame = FakeFrame();
        road.reset();
    }
}

TEST_F(RoadTest, TheEntrysOwnIdentityIsUsed) {
    struct Case {
        int type;
        const char* entryName;
        const char* expectedName;
    };
    for (const Case c : {Case{0, "room-name", "room-name"}, Case{0, "", "typed"},
                         Case{2, "room-name", "typed"}, Case{1, "room-name", "typed"}}) {
        ST_CONF_ITEM entry = MakeConf(30, 0);
        entry.hasIdentity = 1;
        entry.identityConfId = 31;
        std::snprintf(entry.identityPassword, sizeof(entry.identityPassword), "own-pw");
        std::snprintf(entry.identityName, sizeof(entry.identityName), "%s", c.entryName);
        MakeRoad({entry, MakeConf(40)}, {MakeServer("127.0.0.1", 9000)});
        windows->loginScript.push_back(LoginWith(MakeStart(c.type, "typed", "typed-pw", 0)));
        windows->listScript.push_back(ClickRow(30));
        RunRoad();

        EXPECT_EQ(windows->passwordAsks, 0) << c.type;
        ASSERT_EQ(frame.loginInfos.size(), 1u);
        EXPECT_EQ(frame.loginInfos[0].name, QString::fromUtf8(c.expectedName));
        EXPECT_EQ(frame.loginInfos[0].password, "own-pw");
        EXPECT_EQ(frame.loginInfos[0].mode, 2);
        EXPECT_EQ(frame.loginConfIds, std::vector<uint32_t>{31});
        // The conference servers are those of the listed conference.
        ASSERT_EQ(ds->csCalls.size(), 1u);
        EXPECT_EQ(ds->csCalls[0].confId, 30u);
        frame = FakeFrame();
        road.reset();
    }
}

TEST_F(RoadTest, TheShortListFormIsWidenedWithZeroes) {
    FakeDsManager::Setup() = [](FakeDsManager& fake) {
        fake.answerShort = true;
        for (uint32_t id : {11u, 12u}) {
            ST_CONF_ITEM_SHORT brief;
            brief.confId = id;
            std::snprintf(brief.confName, sizeof(brief.confName), "short %u", id);
            brief.capacity = 5;
            brief.onlineCount = 2;
            brief.passwordFree = 1;
            fake.brief.push_back(brief);
        }
    };
    CreateRoad();
    const ST_START_PARAM block = MakeStart(0, "a", "b", 0);
    road->SetStartParams(false, &block, QString());
    ASSERT_NE(road->ConnectDs("127.0.0.1", 8875), 0);
    ASSERT_EQ(road->ShowConfListDlg(), 1);

    ASSERT_EQ(road->GetConfCount(), 2);
    const ST_CONF_ITEM& first = road->GetConfList()[0];
    EXPECT_EQ(first.confId, 11u);
    EXPECT_STREQ(first.confName, "short 11");
    EXPECT_EQ(first.capacity, 5);
    EXPECT_EQ(first.onlineCount, 2);
    EXPECT_EQ(first.passwordFree, 1);
    const auto bytes = yav::proto::EncodeRecord(first);
    ASSERT_EQ(bytes.size(), ST_CONF_ITEM::kSize);
    for (size_t i = 75; i < bytes.size(); ++i) {
        EXPECT_EQ(bytes[i], 0) << "byte " << i;
    }
}

TEST_F(RoadTest, AFailedListRequestIsRetriedOnceThenShown) {
    MakeRoad({MakeConf(1), MakeConf(2)}, {});
    const ST_START_PARAM block = MakeStart(0, "a", "b", 0);
    road->SetStartParams(false, &block, QString());
    road->ConnectDs("127.0.0.1", 8875);

    ds->listResults = {0x8007, 0};
    EXPECT_EQ(road->ShowConfListDlg(), 1);
    EXPECT_EQ(ds->listCalls.size(), 2u);
    EXPECT_TRUE(windows->messages.empty());

    ds->listCalls.clear();
    ds->listResults = {0x8007, 0x8007, 0};
    EXPECT_EQ(road->ShowConfListDlg(), 0);
    EXPECT_EQ(ds->listCalls.size(), 2u);
    ASSERT_EQ(windows->messages.size(), 1u);
    EXPECT_EQ(windows->messages[0], LoadLangString(1801));
    // The list of the earlier answer is kept.
    EXPECT_EQ(road->GetConfCount(), 2);
}

TEST_F(RoadTest, TheWaitingTimeIsShownInMinutesAndSeconds) {
    MakeRoad({}, {});
    road->ShowServerError(0x1000, 125, 0);
    ASSERT_EQ(windows->messages.size(), 1u);
    EXPECT_EQ(windows->messages[0], yav::SafeFormat(LoadLangString(3130), {2, 5}));
}

TEST_F(RoadTest, AListRefusedForAWaitShowsTheDataServersWaitingTime) {
    MakeRoad({MakeConf(1)}, {});
    const ST_START_PARAM block = MakeStart(0, "a", "b", 0);
    road->SetStartParams(false, &block, QString());
    road->ConnectDs(QStringLiteral("127.0.0.1"), 8875);
    ds->listResults = {0x1000, 0x1000};
    ds->listExtra = 125;
    EXPECT_EQ(road->ShowConfListDlg(), 0);
    ASSERT_EQ(windows->messages.size(), 1u);
    EXPECT_EQ(windows->messages[0], yav::SafeFormat(LoadLangString(3130), {2, 5}));
}

TEST_F(RoadTest, UpgradeAnsweredNoCreatesNoRoom) {
    MakeRoad({MakeConf(4321)}, {MakeServer("127.0.0.1", 9000)});
    frame.loginResults = {-4};
    windows->messageAnswers = {2};
    windows->loginScript.push_back(LoginWith(MakeStart(0, "alice", "pw", 0)));
    windows->loginScript.push_back([this]() {
        road->ExitApp();
        return 2;
    });
    RunRoad();

    ASSERT_FALSE(windows->messages.empty());
    EXPECT_EQ(windows->messages[0], LoadLangString(1945));
    EXPECT_EQ(windows->messageTypes[0], 22);
    EXPECT_FALSE(road->IsInRoom());
    EXPECT_FALSE(road->IsUpgrading());
    EXPECT_EQ(room->roomsCreated, 0);
    EXPECT_GE(frame.logouts, 1);
    // Only conference on the list: the user gets the login window back.
    EXPECT_EQ(windows->loginRuns, 2);
}

TEST_F(RoadTest, UpgradeAcceptedWritesTheFileStartsTheUpdaterAndEndsThisInstance) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string base = dir.path().toStdString() + "/";
    MakeRoad({MakeConf(4321)}, {MakeServer("127.0.0.1", 9000)});
    frame.loginResults = {-4};
    frame.upgrade.serverVersion = "2.0.1";
    frame.upgrade.zipMd5 = "0123456789abcdef0123456789abcdef";
    frame.upgrade.downloadUrl = "http://127.0.0.1:1/upgrade.zip";
    std::vector<std::string> started;
    road->SetUpgradePlaces({base, "/opt/yav/", base + "Client.ini",
                            [&](const std::string& p, const std::vector<std::string>& args) {
                                started.push_back(p);
                                started.insert(started.end(), args.begin(), args.end());
                                return true;
                            }});
    windows->messageAnswers = {1};
    windows->loginScript.push_back(LoginWith(MakeStart(0, "alice", "pw", 0)));
    RunRoad();

    EXPECT_EQ(started, (std::vector<std::string>{"/opt/yav/KroUpd", base + "Update/upgrade.ini"}));
    EXPECT_TRUE(road->IsUpgrading());
    EXPECT_EQ(room->roomsCreated, 0);
    EXPECT_EQ(room->startupClosed, 1);
    EXPECT_EQ(windows->loginRuns, 1);
    const std::string ini = base + "Update/upgrade.ini";
    EXPECT_EQ(yav::profile::GetString("upgradeinfo", "version", "", 64, ini), "2.0.1");
    EXPECT_EQ(yav::profile::GetInt("Guard", "bUpdate", 0, base + "Client.ini"), 1);
}

TEST_F(RoadTest, AFailedUpdaterStartShowsText1822AndLeavesGuardUntouched) {
    QTemporaryDir dir;
    const std::string base = dir.path().toStdString() + "/";
    MakeRoad({MakeConf(1), MakeConf(2)}, {MakeServer("127.0.0.1", 9000)});
    road->SetUpgradePlaces(
        {base, "/nowhere/", base + "Client.ini",
         [](const std::string&, const std::vector<std::string>&) { return false; }});
    road->RunUpgrade();
    ASSERT_EQ(windows->messages.size(), 1u);
    EXPECT_EQ(windows->messages[0], LoadLangString(1822));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(base + "Client.ini")));
    EXPECT_EQ(room->startupClosed, 0);
}

// The user said yes to the upgrade but the updater did not start: the road goes on as after a
// refused upgrade, so the user is never left without a window.
TEST_F(RoadTest, AnUpdaterThatDidNotStartLeavesTheUserAWayOn) {
    QTemporaryDir dir;
    const std::string base = dir.path().toStdString() + "/";
    for (const bool directJoin : {false, true}) {
        MakeRoad({MakeConf(4321)}, {MakeServer("127.0.0.1", 9000)});
        frame.loginResults = {-4};
        road->SetUpgradePlaces(
            {base, "/nowhere/", base + "Client.ini",
             [](const std::string&, const std::vector<std::string>&) { return false; }});
        windows->messageAnswers = {1, 1};
        if (directJoin) {
            const ST_START_PARAM block = MakeStart(2, "nick", "pw", 4321);
            road->SetStartParams(true, &block, QString());
            windows->listScript.push_back([this]() {
                road->ExitApp();
                return 1;
            });
        } else {
            windows->loginScript.push_back(LoginWith(MakeStart(0, "alice", "pw", 0)));
            windows->loginScript.push_back([this]() {
                road->ExitApp();
                return 2;
            });
        }
        RunRoad();

        ASSERT_EQ(windows->messages.size(), 2u) << directJoin;
        EXPECT_EQ(windows->messages[1], LoadLangString(1822));
        EXPECT_FALSE(road->IsUpgrading());
        EXPECT_EQ(room->roomsCreated, 0);
        // The login window again (its list was skipped), or the list after a direct join.
        EXPECT_EQ(windows->loginRuns, directJoin ? 0 : 2);
        EXPECT_EQ(windows->listRuns, directJoin ? 1 : 0);
        frame = FakeFrame();
        road.reset();
    }
}

TEST_F(RoadTest, AnyOtherLoginFailureShowsItsTextAndStaysOnTheList) {
    MakeRoad({MakeConf(1), MakeConf(2)}, {MakeServer("127.0.0.1", 9000)});
    frame.loginResults = {0x8009};
    windows->loginScript.push_back(LoginWith(MakeStart(0, "a", "b", 0)));
    windows->listScript.push_back(ClickRow(1));
    RunRoad();
    ASSERT_EQ(windows->messages.size(), 1u);
    EXPECT_EQ(windows->messages[0], LoadLangString(1804));
    EXPECT_EQ(lastEnterResult, -1);
    EXPECT_EQ(room->roomsCreated, 0);
    EXPECT_EQ(windows->listRuns, 1);
}

TEST_F(RoadTest, ServerChoiceLogsInToTheChosenServer) {
    MakeRoad({MakeConf(1), MakeConf(2)},
             {MakeServer("127.0.0.1", 9000), MakeServer("127.0.0.2", 9001)});
    windows->loginScript.push_back(LoginWith(MakeStart(0, "a", "b", 0)));
    windows->listScript.push_back(ClickRow(2));
    windows->transScript.push_back([this]() {
        road->LoginChosenCsServer(1);
        return 1;
    });
    RunRoad();

    ASSERT_EQ(windows->serversGiven.size(), 1u);
    EXPECT_EQ(windows->serversGiven[0].size(), 2u);
    ASSERT_EQ(frame.serversSet.size(), 1u);
    EXPECT_STREQ(frame.serversSet[0].csAddress, "127.0.0.2");
    EXPECT_EQ(frame.loginConfIds, std::vector<uint32_t>{2});
    EXPECT_TRUE(road->IsInRoom());
    EXPECT_EQ(lastEnterResult, 1);
}

TEST_F(RoadTest, ServerChoiceWithoutARoomBringsTheListBack) {
    MakeRoad({MakeConf(1), MakeConf(2)},
             {MakeServer("127.0.0.1", 9000), MakeServer("127.0.0.2", 9001)});
    windows->loginScript.push_back(LoginWith(MakeStart(0, "a", "b", 0)));
    windows->listScript.push_back(ClickRow(2));
    // Back in the server choice, then the list again: the user logs out to the login window,
    // which then closes the program.
    windows->transScript.push_back([]() { return 2; });
    windows->listScript.push_back([]() { return 2; });
    windows->loginScript.push_back([this]() {
        road->ExitApp();
        return 2;
    });
    RunRoad();

    EXPECT_EQ(windows->transRuns, 1);
    EXPECT_EQ(windows->listRuns, 2);
    EXPECT_EQ(windows->loginRuns, 2);
    EXPECT_TRUE(frame.loginConfIds.empty());
}

TEST_F(RoadTest, LeavingTheRoomShowsTheSameListWithoutANewRequest) {
    MakeRoad({MakeConf(1), MakeConf(2)}, {MakeServer("127.0.0.1", 9000)});
    windows->loginScript.push_back(LoginWith(MakeStart(0, "a", "b", 0)));
    windows->listScript.push_back(ClickRow(1));
    RunRoad();
    ASSERT_TRUE(road->IsInRoom());
    const size_t requests = ds->listCalls.size();

    windows->listScript.push_back(ClickRow(2));
    road->ShowConfListAgain();
    EXPECT_EQ(ds->listCalls.size(), requests);
    EXPECT_EQ(windows->listRuns, 2);
    EXPECT_EQ(frame.loginConfIds, (std::vector<uint32_t>{1, 2}));
    EXPECT_EQ(room->roomsCreated, 2);
}

TEST_F(RoadTest, ClosingTheLoginWindowOpensNothingMore) {
    MakeRoad({MakeConf(1), MakeConf(2)}, {MakeServer("127.0.0.1", 9000)});
    windows->loginScript.push_back([this]() {
        road->ExitApp();
        return 2;
    });
    RunRoad();
    EXPECT_EQ(windows->listRuns, 0);
    EXPECT_EQ(room->startupClosed, 1);
    EXPECT_EQ(FakeDsManager::Current(), nullptr);
}

// The login window's worker may still be connecting when the road ends: the windows (which
// wait for their workers) end before the data-server interface that worker uses is released.
TEST_F(RoadTest, TheWindowsEndBeforeTheDataServerTheirWorkerUses) {
    MakeRoad({}, {});
    CJoinConfHander* ending = road.get();
    int connected = -1;
    windows->onDestroy = [&]() {
        connected = ending->ConnectDs(QStringLiteral("127.0.0.1"), 8875);
    };
    road.reset();
    EXPECT_EQ(connected, 1);
}

TEST_F(RoadTest, DirectJoinGoesStraightToTheConference) {
    MakeRoad({MakeConf(77), MakeConf(78)}, {MakeServer("127.0.0.1", 9000)});
    const ST_START_PARAM block = MakeStart(2, "nick", "pw", 77, "127.0.0.1");
    road->SetStartParams(true, &block, QString());
    RunRoad();

    EXPECT_EQ(windows->loginRuns, 0);
    EXPECT_EQ(windows->listRuns, 0);
    EXPECT_EQ(ds->setServerCalls, std::vector<std::string>{"127.0.0.1"});
    ASSERT_FALSE(ds->listCalls.empty());
    EXPECT_EQ(ds->listCalls[0].port, 8875u);
    EXPECT_EQ(ds->listCalls[0].confId, 77u);
    EXPECT_EQ(frame.loginConfIds, std::vector<uint32_t>{77});
    EXPECT_EQ(frame.loginInfos[0].mode, 2);
}

TEST_F(RoadTest, AFailedDirectJoinOffersTheList) {
    MakeRoad({MakeConf(77), MakeConf(78)}, {MakeServer("127.0.0.1", 9000)});
    frame.loginResults = {0x8007};
    const ST_START_PARAM block = MakeStart(2, "nick", "wrong", 77);
    road->SetStartParams(true, &block, QString());
    RunRoad();
    ASSERT_EQ(windows->messages.size(), 1u);
    // The conference server's refusal is worded as for any mode but a list request's.
    EXPECT_EQ(windows->messages[0], LoadLangString(1801));
    EXPECT_EQ(windows->listRuns, 1);
}

TEST_F(RoadTest, AnAlreadyDigestedPasswordTravelsUnchanged) {
    MakeRoad({MakeConf(77)}, {MakeServer("127.0.0.1", 9000)});
    const ST_START_PARAM block = MakeStart(0, "nick", "", 77);
    road->SetStartParams(true, &block, QStringLiteral("ffffffffffffffffffffffffffffffff"));
    road->ShowConfListDlg();
    ASSERT_FALSE(ds->listCalls.empty());
    EXPECT_EQ(ds->listCalls[0].digest, "ffffffffffffffffffffffffffffffff");
}

TEST_F(RoadTest, NamesReachTheDataServerCutOnACharacterBoundary) {
    MakeRoad({MakeConf(1)}, {});
    // 40 Chinese characters: 80 bytes in GBK; 63 bytes would split the 32nd.
    const QString name(40, QChar(0x4E2D));
    const ST_START_PARAM block = MakeStart(0, name.left(63), "x", 0);
    road->SetStartParams(false, &block, QString());
    road->ShowConfListDlg();
    ASSERT_FALSE(ds->listCalls.empty());
    EXPECT_EQ(ds->listCalls[0].name.size(), 62u);
    EXPECT_EQ(QString::fromStdU16String(yav::text::GbkToUtf16(ds->listCalls[0].name)),
              QString(31, QChar(0x4E2D)));
}

TEST_F(RoadTest, ConnectDsSplitsTheListAndKeepsTheAnsweringServer) {
    MakeRoad({}, {});
    ds->connectChosen = 1;
    EXPECT_NE(road->ConnectDs(QStringLiteral("10.1.2.3;127.0.0.1;"), 8875), 0);
    ASSERT_EQ(ds->connectCalls.size(), 1u);
    EXPECT_EQ(ds->connectCalls[0], (std::vector<std::string>{"10.1.2.3", "127.0.0.1", ""}));
    EXPECT_EQ(road->GetServerDs(), "127.0.0.1");
    EXPECT_EQ(road->GetDsPort(), 8875u);

    ds->connectResult = 0;
    EXPECT_EQ(road->ConnectDs(QStringLiteral("127.0.0.9"), 9999), 0);
    EXPECT_EQ(road->GetServerDs(), "127.0.0.1");
    EXPECT_EQ(road->GetDsPort(), 8875u);
}

TEST_F(RoadTest, AConfiguredDataServerPortReplacesTheDefault) {
    MakeRoad({}, {});
    const uint32_t saved = g_AppSettings.DsSvrPort;
    g_AppSettings.DsSvrPort = 9999;
    road->ConnectDs(QStringLiteral("127.0.0.1"), 8875);
    road->ConnectDs(QStringLiteral("127.0.0.1"), 7000);
    g_AppSettings.DsSvrPort = saved;
    EXPECT_EQ(ds->lastPorts, (std::vector<uint16_t>{9999, 7000}));
}

TEST_F(RoadTest, AnUnresolvableLongNameIsNotCutIntoAnotherAddress) {
    MakeRoad({}, {});
    road->ConnectDs(QStringLiteral("no-such-host.invalid"), 8875);
    ASSERT_EQ(ds->connectCalls.size(), 1u);
    EXPECT_EQ(ds->connectCalls[0][0], "");
    road->ConnectDs(QStringLiteral("short.invalid"), 8875);
    EXPECT_EQ(ds->connectCalls[1][0], "short.invalid");
}

}  // namespace
