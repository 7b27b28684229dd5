// The room in a real client process against yavserver: its start, the way back after the
// server went away and came back on its ports, and the logout at SIGTERM.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcessEnvironment>
#include <QRegularExpression>

#include <csignal>
#include <set>

#include "../server/CsBot.h"
#include "RoadProcess.h"

namespace {

using road_e2e::ReadLog;

// yavserver with an INI of its own, on given ports (0: free ones, written to a port file);
// its output is kept.
class RoomServer {
public:
    RoomServer(const QString& folder, const QString& ini, road_e2e::ServerPorts ports) {
        process_.setProgram(QDir::currentPath() + "/yavserver");
        process_.setArguments({"--ds-port", QString::number(ports.ds), "--cs-port",
                               QString::number(ports.cs), "--probe-port",
                               QString::number(ports.probe), "--media-port", "0", "--port-file",
                               folder + "/ports", "--ini", ini, "--log-config", LogConfig(folder)});
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QFile::remove(folder + "/ports");
        portFile_ = folder + "/ports";
        logFile_ = folder + "/server.log";
        process_.start();
    }
    ~RoomServer() { Kill(); }
    // The server's log lines in server.log of the folder.
    static QString LogConfig(const QString& folder) {
        return road_e2e::ServerFileLogConfig(folder, folder + "/server.log");
    }
    void Kill() {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }
    std::optional<road_e2e::ServerPorts> Ports() { return road_e2e::ReadPortFile(portFile_); }
    // What the server logged so far (over every start in this folder).
    QString Output() {
        QFile file(logFile_);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

private:
    QProcess process_;
    QString portFile_;
    QString logFile_;
};

class RoomProcess : public ::testing::Test {
protected:
    void SetUp() override {
        road_e2e::CoreApplication();
        ASSERT_TRUE(home.isValid());
        ini = home.path() + "/server.ini";
        const std::string path = ini.toStdString();
        yav::profile::WriteString("account.alice", "Password", "alice", path);
        yav::profile::WriteString("conference.900001", "Name", "Demo", path);
        yav::profile::WriteString("conference.900001", "AppFlags25", AppFlags25(), path);
        server = std::make_unique<RoomServer>(home.path(), ini, road_e2e::ServerPorts{});
        const auto found = server->Ports();
        ASSERT_TRUE(found.has_value()) << "yavserver did not start";
        ports = *found;
        data = road_e2e::PrepareDataFolder(home.path(), ports.ds);
    }

    // Byte 25 of the conference's application record: asking to speak on entry.
    virtual const char* AppFlags25() const { return "2"; }
    // The client's environment (offscreen, no devices).
    virtual QProcessEnvironment Environment() const {
        return road_e2e::ClientEnvironment(home.path());
    }

    void StartClient() {
        client.setProcessEnvironment(Environment());
        client.setProcessChannelMode(QProcess::ForwardedChannels);
        client.start(QDir::currentPath() + "/YavClient", {"127.0.0.1", "alice", "alice", "900001"});
        ASSERT_TRUE(client.waitForStarted(10000));
    }
    bool LogShows(const QString& text, int limitMs = 30000) {
        return yav::testing::WaitUntil([&] { return ReadLog(data).contains(text); }, limitMs);
    }
    // A bot in the conference that waits for the client to join and to ask to speak.
    static bool BotSeesClientAskToSpeak(uint16_t csPort) {
        yav::test::CsBot bot;
        if (bot.Login(static_cast<uint16_t>(csPort), 900001, "bot", "", 1) != 0) {
            return false;
        }
        uint16_t clientId = 0;
        for (const ST_USER_ITEM_DEPT& user : [&bot] {
                 std::vector<ST_USER_ITEM_DEPT> users(16);
                 users.resize(
                     static_cast<size_t>(std::max(0, bot.Users().GetUsers(users.data(), 16))));
                 return users;
             }()) {
            if (user.userId != bot.UserId()) {
                clientId = user.userId;
            }
        }
        auto speaking = [&clientId](const ST_CS_MSG& message) {
            const auto* audio = std::get_if<CsUserAudioStatus>(&message.payload);
            return message.type == CS_MSG_USER_AUDIO_STATUS && audio != nullptr &&
                   (clientId == 0 || audio->userId == clientId) && audio->status == 1;
        };
        // The client may ask before the bot came in: then its record already says so.
        std::shared_ptr<ST_USER_ITEM_DEPT> record;
        if (clientId != 0 && bot.Users().GetUser(record, clientId, 1) && record != nullptr &&
            record->speakState == 1) {
            return true;
        }
        return bot.WaitFor(speaking, std::chrono::seconds(20)) != nullptr;
    }

    QTemporaryDir home;
    QString ini;
    QString data;
    road_e2e::ServerPorts ports;
    std::unique_ptr<RoomServer> server;
    QProcess client;
};

TEST_F(RoomProcess, TheRoomStartsInOrderAndSigtermLogsOut) {
    road_e2e::ProcessGuard guard(client);
    StartClient();
    ASSERT_TRUE(LogShows(QStringLiteral("login data server over"))) << ReadLog(data).toStdString();
    const QString log = ReadLog(data);
    const QStringList order = {
        QStringLiteral("initdialog start"),       QStringLiteral("init window over"),
        QStringLiteral("start work start"),       QStringLiteral("start work over"),
        QStringLiteral("init dialog over"),       QStringLiteral("login data server start"),
        QStringLiteral("login data server over"),
    };
    qsizetype at = -1;
    for (const QString& line : order) {
        const qsizetype next = log.indexOf(line, at + 1);
        EXPECT_GT(next, at) << line.toStdString();
        at = next;
    }
    for (const char* missing :
         {"document-share component not available", "screen-share component not available"}) {
        EXPECT_EQ(log.count(QString::fromUtf8(missing)), 1) << missing;
    }
    // The video windows, the panels, the participant window and the media component are
    // there: the room logs in to the media server.
    for (const char* present : {"XLayoutManager not available", "CDlgUserList not available",
                                "CDlgControlBar not available", "CDlgStatusBar not available",
                                "CDlgFullDockX not available", "CDlgExpand not available",
                                "CDlgVoiceIncentive not available", "NetQualityEval not available",
                                "media component not available"}) {
        EXPECT_EQ(log.count(QString::fromUtf8(present)), 0) << present;
    }
    EXPECT_EQ(log.count(QStringLiteral("LoginMediaServer user=")), 1);

    road_e2e::Terminate(client);
    ASSERT_TRUE(client.waitForFinished(15000));
    EXPECT_EQ(client.exitCode(), 0);
    EXPECT_TRUE(yav::testing::WaitUntil(
        [this] { return server->Output().contains(QStringLiteral("logged out")); }, 5000))
        << server->Output().toStdString();
    EXPECT_TRUE(ReadLog(data).contains(QStringLiteral("退出CS，停止接收所有视频")));
}

TEST_F(RoomProcess, AfterTheServerCameBackTheRoomReentersAndAsksToSpeakAgain) {
    road_e2e::ProcessGuard guard(client);
    StartClient();
    ASSERT_TRUE(LogShows(QStringLiteral("init dialog over")));
    EXPECT_TRUE(BotSeesClientAskToSpeak(static_cast<uint16_t>(ports.cs)));

    server->Kill();
    ASSERT_TRUE(LogShows(QStringLiteral("CS接收返回小于0")));
    EXPECT_TRUE(LogShows(QStringLiteral("Enter ConnectServerProgress")));
    server = std::make_unique<RoomServer>(home.path(), ini, ports);
    ASSERT_TRUE(server->Ports().has_value());
    ASSERT_TRUE(LogShows(QStringLiteral("TIMER_RECONNECT_OK 2"))) << ReadLog(data).toStdString();
    // The new stay: a bot sees the client join and ask to speak again.
    EXPECT_TRUE(BotSeesClientAskToSpeak(static_cast<uint16_t>(ports.cs)));

    road_e2e::Terminate(client);
    ASSERT_TRUE(client.waitForFinished(15000));
}

// Two rooms that show both cameras in their video windows (each broadcasts its synthetic
// camera on entry) end at SIGTERM as cleanly as an empty one: the room's work stops (its
// windows let their streams go, closing the gaps as they do) before the media objects that own
// those streams are freed.
class RoomsWithCameras : public RoomProcess {
protected:
    const char* AppFlags25() const override { return "10"; }
    QProcessEnvironment Environment() const override {
        QProcessEnvironment env = RoomProcess::Environment();
        env.insert("YAV_TEST_DEVICES", "cam=1,mic=1,spk=1");
        return env;
    }
};

TEST_F(RoomsWithCameras, SigtermEndsTheProgramCleanlyWhileItsWindowsShowTheCameras) {
    road_e2e::ProcessGuard guard(client);
    yav::profile::WriteString("account.bob", "Password", "bob", ini.toStdString());
    server->Kill();
    server = std::make_unique<RoomServer>(home.path(), ini, road_e2e::ServerPorts{});
    const auto found = server->Ports();
    ASSERT_TRUE(found.has_value());
    data = road_e2e::PrepareDataFolder(home.path(), found->ds);
    QTemporaryDir otherHome;
    ASSERT_TRUE(otherHome.isValid());
    const QString otherData = road_e2e::PrepareDataFolder(otherHome.path(), found->ds);
    QProcess other;
    road_e2e::ProcessGuard otherGuard(other);
    QProcessEnvironment otherEnv = road_e2e::ClientEnvironment(otherHome.path());
    otherEnv.insert("YAV_TEST_DEVICES", "cam=1,mic=1,spk=1");
    other.setProcessEnvironment(otherEnv);
    other.setProcessChannelMode(QProcess::ForwardedChannels);
    other.start(QDir::currentPath() + "/YavClient", {"127.0.0.1", "bob", "bob", "900001"});
    ASSERT_TRUE(other.waitForStarted(10000));
    StartClient();
    // Both cameras' streams started into windows of each room.
    const QRegularExpression shown(QStringLiteral("MediaVideoRecv (\\d+) 4"));
    const auto streams = [&](const QString& folder) {
        std::set<QString> ids;
        for (auto it = shown.globalMatch(ReadLog(folder)); it.hasNext();) {
            ids.insert(it.next().captured(1));
        }
        return ids.size();
    };
    ASSERT_TRUE(yav::testing::WaitUntil(
        [&] { return streams(data) >= 2 && streams(otherData) >= 2; }, 30000))
        << ReadLog(data).toStdString();

    for (QProcess* process : {&client, &other}) {
        road_e2e::Terminate(*process);
        ASSERT_TRUE(process->waitForFinished(15000));
        EXPECT_EQ(process->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process->exitCode(), 0);
    }
    for (const QString& folder : {data, otherData}) {
        const QString log = ReadLog(folder);
        // The room was left (its work stopped, its windows released) before the program ended.
        const qsizetype released = log.lastIndexOf(QStringLiteral("release window over"));
        EXPECT_GE(released, 0);
        EXPECT_GT(log.lastIndexOf(QStringLiteral("程序退出")), released);
    }
}

}  // namespace
