#include <gtest/gtest.h>

#include <QDir>
#include <QPixmap>
#include <QProcess>
#include <QTimer>

#include <functional>
#include <memory>

#include "RoadProcess.h"
#include "conference/DlgStartup.h"
#include "conference/RoadRoom.h"
#include "conference/XConfManager.h"
#include "conference/XMainFrame.h"
#include "config/AppSettings.h"
#include "config/ConfigManger.h"
#include "dialogs/login/CDlgReconnect.h"
#include "ui/CDlgPopMsg.h"

namespace {

// The login dialogs' side of the road, scripted: each list or login window run calls the
// next step. The room under them is the program's own.
class ScriptedDialogs : public yav::road::IRoadWindows {
public:
    std::function<int()> onList;
    std::function<int()> onLogin;
    int listRuns = 0;
    int loginRuns = 0;
    std::vector<ST_CONF_ITEM> listed;

    void SetOwner(CJoinConfHander*) override {}
    bool LoginHasWindow() const override { return false; }
    void EndLogin() override {}
    int RunLogin() override {
        ++loginRuns;
        return onLogin ? onLogin() : 2;
    }
    bool ConfListHasWindow() const override { return false; }
    void CancelConfList() override {}
    void SetConfList(const std::vector<ST_CONF_ITEM>& items, const QString&) override {
        listed = items;
    }
    int RunConfList() override {
        ++listRuns;
        return onList ? onList() : 1;
    }
    bool TransSvrHasWindow() const override { return false; }
    void EndTransSvr() override {}
    int RunTransSvr(const std::vector<ST_CS_SERVER>&) override { return 2; }
    int AskChairPassword(QString*) override { return 2; }
    int ShowMessage(const QString&, const QString& text, int, int) override {
        messages.push_back(text);
        return messageAnswer;
    }
    int messageAnswer = 1;
    void RememberMonitor() override {}
    std::vector<QString> messages;
};

class RoomRoundTrip : public ::testing::Test {
protected:
    // The server's INI file for this case (empty: the demo conference).
    virtual QString ServerIni() { return QString(); }

    void SetUp() override {
        ASSERT_TRUE(home.isValid());
        server = std::make_unique<road_e2e::Server>(home.path(), ServerIni());
        const auto ports = server->Ports();
        ASSERT_TRUE(ports.has_value()) << "yavserver did not start";
        savedPort = g_AppSettings.DsSvrPort;
        g_AppSettings.DsSvrPort = static_cast<uint32_t>(ports->ds);
        g_ConfigManager.LoadLanguage();
        frame = std::make_unique<XMainFrame>();
        g_pMainFrame = frame.get();
    }
    void TearDown() override {
        startup.reset();
        g_pMainFrame = nullptr;
        frame.reset();
        g_AppSettings.DsSvrPort = savedPort;
    }

    // A start-up window whose road joins directly with the block, its dialogs scripted.
    void StartRoad(const ST_START_PARAM& block) {
        auto owned = std::make_unique<ScriptedDialogs>();
        dialogs = owned.get();
        startup = std::make_unique<CDlgStartup>(std::move(owned), std::make_unique<CRoadRoom>(),
                                                frame.get());
        startup->SetStartParams(1, &block, QString());
    }
    // The list's next run ends the program.
    void ListEndsTheProgram() {
        dialogs->onList = [this]() {
            startup->GetJoinHandler().ExitApp();
            return 1;
        };
    }

    QTemporaryDir home;
    ScriptedDialogs* dialogs = nullptr;
    std::unique_ptr<CDlgStartup> startup;
    std::unique_ptr<road_e2e::Server> server;
    std::unique_ptr<XMainFrame> frame;
    uint32_t savedPort = 8875;
};

// Answers every leave question of the room with "leave"; the token removes the observer.
int AnswerLeaveQuestions(int* count) {
    return yav::Dialog::AddModalObserver([count](yav::Dialog& dialog) {
        if (dynamic_cast<CDlgPopMsg*>(&dialog) != nullptr) {
            if (count != nullptr) {
                ++*count;
            }
            dialog.EndDialog(IDOK);
        }
    });
}

ST_START_PARAM DirectJoin(uint32_t confId) {
    ST_START_PARAM block;
    block.wJoinType = 0;
    block.SetServerAddr(QStringLiteral("127.0.0.1"));
    block.SetUserName(QStringLiteral("alice"));
    block.SetPassword(QStringLiteral("alice"));
    block.nConfId = static_cast<int32_t>(confId);
    return block;
}

TEST_F(RoomRoundTrip, ClosingTheRoomBringsBackTheListOfTheLastAnswer) {
    ST_START_PARAM block = DirectJoin(900001);
    StartRoad(block);

    QString roomTitle;
    QString confName;
    uint32_t confId = 0;
    bool roomWasVisible = false;
    // The list of the last answer is shown again; its close ends the program.
    ListEndsTheProgram();
    // The leave question is answered "leave".
    int questions = 0;
    const int observer = AnswerLeaveQuestions(&questions);
    QTimer::singleShot(0, startup.get(), [&]() {
        XMainFrame* room = frame.get();
        roomWasVisible = yav::testing::WaitUntil([room]() { return room->isVisible(); }, 5000);
        roomTitle = room->windowTitle();
        confName = room->GetConfManager()->GetConfName();
        confId = room->GetConfId();
        road_e2e::SaveGrab(room, "road_room_frame.png");
        room->close();
    });
    startup->DoModal();

    EXPECT_TRUE(roomWasVisible);
    yav::Dialog::RemoveModalObserver(observer);
    EXPECT_EQ(questions, 1);
    EXPECT_EQ(roomTitle, LoadLangString(1));
    EXPECT_EQ(confName, QStringLiteral("Demo"));
    EXPECT_EQ(confId, 900001u);
    EXPECT_FALSE(frame->IsWindow());
    EXPECT_EQ(dialogs->listRuns, 1);
    ASSERT_FALSE(dialogs->listed.empty());
    EXPECT_EQ(dialogs->listed.front().confId, 900001u);
    EXPECT_TRUE(dialogs->messages.empty());
    EXPECT_EQ(g_pDlgStartup, startup.get());
}

TEST_F(RoomRoundTrip, LoggingOutOfTheListLeadsToTheLoginWindow) {
    ST_START_PARAM block = DirectJoin(900001);
    StartRoad(block);
    dialogs->onList = []() { return 2; };
    dialogs->onLogin = [&]() {
        startup->GetJoinHandler().ExitApp();
        return 2;
    };
    const int observer = AnswerLeaveQuestions(nullptr);
    QTimer::singleShot(0, startup.get(), [&]() {
        if (frame->IsWindow()) {
            frame->close();
        }
    });
    startup->DoModal();
    yav::Dialog::RemoveModalObserver(observer);
    EXPECT_EQ(dialogs->listRuns, 1);
    EXPECT_EQ(dialogs->loginRuns, 1);
}

TEST_F(RoomRoundTrip, GivingUpTheReconnectionReturnsToTheList) {
    ST_START_PARAM block = DirectJoin(900001);
    StartRoad(block);
    ListEndsTheProgram();
    bool noticeShown = false;
    int questions = 0;
    const int observer = AnswerLeaveQuestions(&questions);
    QTimer::singleShot(0, startup.get(), [&]() {
        XMainFrame* room = frame.get();
        room->reconnectIntervalMs = 50;
        // The server goes away: the room notices, and the notice retries in vain.
        server.reset();
        noticeShown = yav::testing::WaitUntil(
            [room] {
                return room->GetReconnectDlg() != nullptr && room->GetReconnectDlg()->isVisible();
            },
            15000);
        if (noticeShown) {
            road_e2e::SaveGrab(room->GetReconnectDlg(), "room_reconnect_notice.png");
            room->GetReconnectDlg()->OnGiveUp();
        }
    });
    startup->DoModal();
    yav::Dialog::RemoveModalObserver(observer);
    EXPECT_TRUE(noticeShown);
    EXPECT_EQ(questions, 0);
    EXPECT_FALSE(frame->IsWindow());
    EXPECT_EQ(dialogs->listRuns, 1);
}

TEST_F(RoomRoundTrip, AWrongPasswordIsShownAndOffersTheList) {
    ST_START_PARAM block = DirectJoin(900001);
    block.SetPassword(QStringLiteral("wrong"));
    StartRoad(block);
    ListEndsTheProgram();
    startup->DoModal();
    // The data server refuses the account's password: its text, and no room.
    ASSERT_EQ(dialogs->messages.size(), 1u);
    EXPECT_EQ(dialogs->messages[0], LoadLangString(1801));
    EXPECT_FALSE(frame->IsWindow());
}

// A server that serves another client version: the conference login offers an upgrade.
class UpgradeOffered : public RoomRoundTrip {
protected:
    QString ServerIni() override {
        const std::string ini = home.path().toStdString() + "/server.ini";
        yav::profile::WriteString("server", "ServerVersion", "9.9.9", ini);
        yav::profile::WriteString("server", "ZipMd5", "0123456789abcdef0123456789abcdef", ini);
        yav::profile::WriteString("account.alice", "Password", "alice", ini);
        yav::profile::WriteString("conference.900001", "Name", "Demo", ini);
        return QString::fromStdString(ini);
    }
};

TEST_F(UpgradeOffered, AnsweredNoCreatesNoRoom) {
    ST_START_PARAM block = DirectJoin(900001);
    StartRoad(block);
    dialogs->messageAnswer = 2;
    ListEndsTheProgram();
    startup->DoModal();
    ASSERT_EQ(dialogs->messages.size(), 1u);
    EXPECT_EQ(dialogs->messages[0], LoadLangString(1945));
    EXPECT_FALSE(frame->IsWindow());
    EXPECT_FALSE(startup->GetJoinHandler().IsUpgrading());
    EXPECT_EQ(dialogs->listRuns, 1);
}

TEST_F(UpgradeOffered, AnsweredYesHandsTheDescriptionToOurUpdater) {
    ST_START_PARAM block = DirectJoin(900001);
    StartRoad(block);
    const std::string data = home.path().toStdString() + "/data/";
    QString updaterOutput;
    int updaterExit = -1;
    startup->GetJoinHandler().SetUpgradePlaces(
        {data, QDir::currentPath().toStdString() + "/", data + "Client.ini",
         [&](const std::string& program, const std::vector<std::string>& args) {
             QProcess updater;
             QStringList arguments;
             for (const std::string& arg : args) {
                 arguments << QString::fromStdString(arg);
             }
             updater.start(QString::fromStdString(program), arguments);
             if (!updater.waitForFinished(30000)) {
                 return false;
             }
             updaterOutput = QString::fromUtf8(updater.readAllStandardOutput());
             updaterExit = updater.exitCode();
             return true;
         }});
    startup->DoModal();

    ASSERT_EQ(dialogs->messages.size(), 1u);
    EXPECT_EQ(dialogs->messages[0], LoadLangString(1945));
    EXPECT_FALSE(frame->IsWindow());
    EXPECT_TRUE(startup->GetJoinHandler().IsUpgrading());
    EXPECT_EQ(dialogs->listRuns, 0);
    const std::string ini = data + "Update/upgrade.ini";
    EXPECT_EQ(yav::profile::GetString("upgradeinfo", "version", "", 64, ini), "9.9.9");
    EXPECT_EQ(yav::profile::GetString("upgradeinfo", "zipmd5", "", 64, ini),
              "0123456789abcdef0123456789abcdef");
    EXPECT_EQ(yav::profile::GetInt("Guard", "bUpdate", 0, data + "Client.ini"), 1);
    // Our updater accepts the file and finds no package to fetch.
    EXPECT_EQ(updaterExit, 0) << updaterOutput.toStdString();
    EXPECT_TRUE(updaterOutput.contains("no update package is available"))
        << updaterOutput.toStdString();
}

}  // namespace
