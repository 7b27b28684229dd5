#include <gtest/gtest.h>

#include <QDir>
#include <QPixmap>
#include <QProcess>
#include <QTimer>

#include <functional>
#include <memory>

#include "RoadProcess.h"
#include "app/AppSettings.h"
#include "app/ConfigManger.h"
#include "conference/DlgStartup.h"
#include "conference/RoadRoom.h"
#include "conference/RoomFrame.h"
#include "conference/XMainFrame.h"
#include "ui/GrabPixels.h"

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
    bool roomWasVisible = false;
    int titlePixels = 0;
    // The list of the last answer is shown again; its close ends the program.
    ListEndsTheProgram();
    QTimer::singleShot(0, startup.get(), [&]() {
        CRoomFrame* room = frame->GetRoomWindow();
        ASSERT_NE(room, nullptr);
        roomWasVisible = yav::testing::WaitUntil([room]() { return room->isVisible(); }, 5000);
        roomTitle = room->windowTitle();
        // The frame shows the conference's title.
        const QImage shot = road_e2e::SaveGrab(room, "road_room_frame.png");
        if (auto* title = room->findChild<QWidget*>(QStringLiteral("roomTitle"))) {
            titlePixels = grab_pixels::DarkPixels(shot, title->geometry());
        }
        room->close();
    });
    startup->DoModal();

    EXPECT_TRUE(roomWasVisible);
    EXPECT_EQ(roomTitle, QStringLiteral("Demo (900001)"));
    EXPECT_GT(titlePixels, 10);
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
    QTimer::singleShot(0, startup.get(), [&]() {
        if (CRoomFrame* room = frame->GetRoomWindow()) {
            room->close();
        }
    });
    startup->DoModal();
    EXPECT_EQ(dialogs->listRuns, 1);
    EXPECT_EQ(dialogs->loginRuns, 1);
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
    EXPECT_EQ(frame->GetRoomWindow(), nullptr);
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
    EXPECT_EQ(frame->GetRoomWindow(), nullptr);
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
    EXPECT_EQ(frame->GetRoomWindow(), nullptr);
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
