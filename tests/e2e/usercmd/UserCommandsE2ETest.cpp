// User-to-user commands between real parties: yavserver, a YavClient process (alice), a room
// in this process (the program's own main frame, offscreen, logged in as the chair "demo",
// with recording panels) and two protocol bots. Each row sends one command, or a short or
// role-less variant, and checks what crossed the wire, what the receiver logged and what the
// server refused. The chair's dissolution closes every room, its own too.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <map>
#include <memory>

#include "../road/RoadProcess.h"
#include "../server/CsBot.h"
#include "../server/ServerProcess.h"
#include "client/conference/LayoutCodec.h"
#include "client/conference/UserCommandPayloads.h"
#include "client/conference/XConfManager.h"
#include "client/conference/XMainFrame.h"
#include "client/ui/CDlgPopMsg.h"
#include "config/AppSettings.h"
#include "config/ConfigManger.h"
#include "config/LangFormat.h"
#include "fakes/conference/CallLog.h"
#include "fakes/conference/FakeRoomChildren.h"
#include "fakes/conference/LogCapture.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using yav::test::CsBot;
using yav::testing::WaitUntil;
namespace usercmd = yav::usercmd;

constexpr std::uint32_t kConf = 900001;
constexpr int kWaitMs = 20000;

class UserCommandsEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(home.isValid());
        // Moderated: the floor is the chair's to give, as the group commands below expect.
        server = std::make_unique<yav::test::ServerProcess>(std::vector<std::string>{
            "--log-config",
            road_e2e::ServerFileLogConfig(home.path(), home.path() + "/server.log").toStdString(),
            "--speaking-mode", "moderated"});
        ASSERT_TRUE(server->Ready());
        g_ConfigManager.LoadLanguage();
        savedSettings = g_AppSettings;
        g_AppSettings.DsSvrPort = server->DataPort();

        // The in-process room: the chair, with recording panels behind it.
        yav::room::RoomChildFactories& make = yav::room::Children();
        make = {};
        make.userList = [this](QWidget*) {
            auto child = std::make_unique<fakes::FakeUserList>(log);
            userList = child.get();
            return child;
        };
        make.controlBar = [this](QWidget*) { return std::make_unique<fakes::FakeControlBar>(log); };
        make.statusBar = [this](QWidget*) { return std::make_unique<fakes::FakeStatusBar>(log); };
        yav::room::Components() = {};
        room = std::make_unique<XMainFrame>();
        g_pMainFrame = room.get();
        ST_CS_SERVER cs;
        std::strcpy(cs.csAddress, "127.0.0.1");
        cs.csPort = server->ConferencePort();
        room->SetCsServer(cs);
        room->SetLoginInfo(QStringLiteral("demo"), QStringLiteral("demo"), 0);
        ASSERT_EQ(room->LoginCs(kConf, nullptr, 0), 0) << ServerLog();
        ASSERT_TRUE(room->CreateRoomWindow(QStringLiteral("Demo"), kConf));
        roomId = room->GetMyUserId();

        // Alice's client process.
        data = road_e2e::PrepareDataFolder(home.path(), server->DataPort());
        client.setProcessEnvironment(road_e2e::ClientEnvironment(home.path()));
        client.setProcessChannelMode(QProcess::ForwardedChannels);
        client.start(QDir::currentPath() + "/YavClient", {"127.0.0.1", "alice", "alice", "900001"});
        ASSERT_TRUE(client.waitForStarted(10000));
        ASSERT_TRUE(ClientLogShows("init dialog over")) << Log().toStdString();

        ASSERT_EQ(bot.Login(server->ConferencePort(), kConf, "bot", "", 1), 0);
        ASSERT_EQ(other.Login(server->ConferencePort(), kConf, "other", "", 1), 0);
        ASSERT_TRUE(WaitUntil([this] { return IdOf(u"Alice") != 0; }, kWaitMs));
        aliceId = IdOf(u"Alice");
    }

    void TearDown() override {
        if (room && room->IsWindow()) {
            room->SetExitFlag(1);
            room->SendMessage(WM_CLOSE_ROOM, 0, 0);
        }
        room.reset();
        g_pMainFrame = nullptr;
        yav::room::Children() = {};
        g_AppSettings = savedSettings;
        if (client.state() != QProcess::NotRunning) {
            client.kill();
            client.waitForFinished(5000);
        }
    }

    std::uint16_t IdOf(const std::u16string& name) {
        std::vector<ST_USER_ITEM_DEPT> users(16);
        users.resize(static_cast<size_t>(std::max(0, bot.Users().GetUsers(users.data(), 16))));
        for (const ST_USER_ITEM_DEPT& user : users) {
            if (std::u16string(user.name) == name) {
                return user.userId;
            }
        }
        return 0;
    }
    QString Log() const { return road_e2e::ReadLog(data); }
    bool ClientLogShows(const char* text) {
        return WaitUntil([&] { return Log().contains(QString::fromUtf8(text)); }, kWaitMs);
    }
    // The room keeps pumping while a bot waits: its timer runs in this thread's event loop.
    const CsTransmit* BotGets(CsBot& who, std::uint16_t from, std::uint16_t sub) {
        const auto match = yav::test::IsTransmit(from, sub);
        if (!WaitUntil([&] { return who.Saw(match); }, kWaitMs)) {
            return nullptr;
        }
        for (const ST_CS_MSG& message : who.Seen()) {
            if (match(message)) {
                return std::get_if<CsTransmit>(&message.payload);
            }
        }
        return nullptr;
    }
    bool BotSeesPrivateData(CsBot& who, std::uint16_t userId) {
        return WaitUntil(
            [&] {
                return who.Saw([userId](const ST_CS_MSG& message) {
                    return message.type == CS_MSG_PRIVATE_DATA_CHANGED && message.data == userId;
                });
            },
            kWaitMs);
    }
    size_t ServerLogCount(const std::string& text) const {
        const std::string lines = ServerLog();
        size_t count = 0;
        for (size_t at = lines.find(text); at != std::string::npos; at = lines.find(text, at + 1)) {
            ++count;
        }
        return count;
    }
    // The client's room closed after the server ended its stay, and it did not come back.
    void ExpectBackAtTheListWithoutRelogin(const char* name) {
        EXPECT_TRUE(ClientLogShows("forced exit reason=")) << name;
        EXPECT_TRUE(WaitUntil(
            [&] { return Log().count(QStringLiteral("关闭设备结束")) == closedRooms + 1; },
            kWaitMs))
            << name;
        closedRooms = Log().count(QStringLiteral("关闭设备结束"));
        const size_t joins = ServerLogCount("(Alice) joined");
        EXPECT_GE(joins, 1u) << name;
        // Long enough for a reconnection attempt to have shown up.
        WaitUntil([] { return false; }, 3000);
        EXPECT_EQ(ServerLogCount("(Alice) joined"), joins) << name;
        EXPECT_EQ(client.state(), QProcess::Running) << name;
    }
    qsizetype closedRooms = 0;

    std::string ServerLog() const {
        QFile file(home.path() + "/server.log");
        return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
    }
    bool ServerLogShows(const std::string& text) {
        return WaitUntil([&] { return ServerLog().find(text) != std::string::npos; }, kWaitMs);
    }
    CDlgPopMsg* OpenPrompt() {
        CDlgPopMsg* found = nullptr;
        WaitUntil(
            [&] {
                for (QWidget* widget : QApplication::topLevelWidgets()) {
                    if (auto* box = dynamic_cast<CDlgPopMsg*>(widget);
                        box != nullptr && box->isVisible() && !box->IsModalBox()) {
                        found = box;
                    }
                }
                return found != nullptr;
            },
            kWaitMs);
        return found;
    }

    QTemporaryDir home;
    std::unique_ptr<yav::test::ServerProcess> server;
    ST_APP_SETTINGS savedSettings;
    fakes::CallLog log;
    fakes::FakeUserList* userList = nullptr;
    std::unique_ptr<XMainFrame> room;
    std::uint16_t roomId = 0;
    QString data;
    QProcess client;
    CsBot bot;
    CsBot other;
    std::uint16_t aliceId = 0;
};

TEST_F(UserCommandsEndToEnd, EverySubCommandBetweenClientsRoomAndBots) {
    road_e2e::ProcessGuard guard(client);
    const std::uint16_t botId = bot.UserId();
    const std::uint16_t otherId = other.UserId();

    // 267 withdrawn, to the room: it gives control back with 269 code 0.
    const Bytes withdrawn = usercmd::EncodeCode(usercmd::kScreenControlWithdrawn);
    bot.Cs().Transmit(roomId, 267, withdrawn.data(), 1);
    const CsTransmit* reply = BotGets(bot, roomId, 269);
    ASSERT_NE(reply, nullptr) << ServerLog();
    ASSERT_EQ(reply->payload.size(), usercmd::kScreenControlReplySize);
    EXPECT_EQ(reply->payload[0], usercmd::kReplyTakenBack);

    // 306 to the room: one prompt; a second asker is busy (3); the prompt's refusal is 2.
    const Bytes ask = usercmd::EncodeCode(1);
    bot.Cs().Transmit(roomId, 306, ask.data(), 1);
    CDlgPopMsg* prompt = OpenPrompt();
    ASSERT_NE(prompt, nullptr);
    other.Cs().Transmit(roomId, 306, ask.data(), 1);
    const CsTransmit* busy = BotGets(other, roomId, 307);
    ASSERT_NE(busy, nullptr);
    EXPECT_EQ(busy->payload.size(), usercmd::kResponseControlSize);
    EXPECT_EQ(busy->payload[0], usercmd::kControlBusy);
    prompt->GetCancelButton().click();
    const CsTransmit* refused = BotGets(bot, roomId, 307);
    ASSERT_NE(refused, nullptr);
    EXPECT_EQ(refused->payload[0], usercmd::kControlRefused);

    // 308 to the room: the chair writes the named user's private data.
    const Bytes listen = usercmd::Encode(usercmd::AudioListen{1, otherId});
    bot.Cs().Transmit(roomId, 308, listen.data(), 3);
    EXPECT_TRUE(BotSeesPrivateData(bot, otherId));

    // 258 from the leading room: the network code on the wire (mode 7, display 0 -> 5, 2).
    room->GetConfManager()->GetLoginInfo().presenterState = 2;
    yav::layout::WindowLayout layout;
    layout.SetLayoutMode(7);
    layout.SetWindowMode(2);
    layout.SetWindowId(0, botId);
    room->SetRoomLayoutForTest(layout.Bytes());
    room->SendSyncWndLayout(1);
    const CsTransmit* synced = BotGets(bot, roomId, 258);
    ASSERT_NE(synced, nullptr);
    ASSERT_EQ(synced->payload.size(), 100u);
    EXPECT_EQ(synced->payload[0], 5);
    EXPECT_EQ(synced->payload[1], 2);
    EXPECT_EQ(synced->payload[14], botId & 0xFF);

    // The chair moves alice into a group (275) and dissolves it (276): alice leaves the group
    // herself, writes her private data and announces it to everybody (274).
    room->MoveUserToAudioGroup(aliceId, 3);
    room->DissolveAudioGroup(3);
    const CsTransmit* announced = BotGets(bot, aliceId, 274);
    ASSERT_NE(announced, nullptr) << Log().toStdString();
    EXPECT_EQ(announced->payload, usercmd::EncodeGroupAnnounce(aliceId));
    EXPECT_TRUE(BotSeesPrivateData(bot, aliceId));

    // The bot shares media: the room's record names it before it announces the share.
    const std::uint8_t mediaRecord[7] = {
        static_cast<std::uint8_t>(botId), static_cast<std::uint8_t>(botId >> 8), 0, 0, 0, 0, 1};
    bot.Cs().SetUserAttribute(ROOM_ATTR_MEDIA_SHARE, sizeof mediaRecord, mediaRecord, 1);

    // The receiver's log names the window that is not there yet, or what it did.
    const struct {
        const char* name;
        bool fromRoom;
        std::uint16_t sub;
        Bytes bytes;
        const char* logged;
    } absent[] = {
        {"chat", false, 257, {0, 0, 0, 0, 'h', 0}, "收到聊天消息 发送id:"},
        {"clap", true, 296, {'2'}, "播放鼓掌 send=0"},
        {"device request", true, 259, {}, "XMediaManager::SendDeviceParam (device parameters)"},
        {"remote device change", true, 261, Bytes(usercmd::kRemoteParamSize),
         "XMediaManager::SetRemoteParam (device parameters)"},
        {"camera control", true, 263, {0, 3}, "camera control of channel 0 (3) not available"},
        {"shared media", false, 266, usercmd::Encode(usercmd::MediaShare{1, 8, 0}),
         "shared media: code 1, receiving state 0"},
    };
    for (const auto& c : absent) {
        if (c.fromRoom) {
            room->GetConfManager()->Transmit(aliceId, c.sub, c.bytes.data(),
                                             static_cast<std::uint16_t>(c.bytes.size()));
        } else {
            bot.Cs().Transmit(aliceId, c.sub, c.bytes.data(),
                              static_cast<std::uint16_t>(c.bytes.size()));
        }
        EXPECT_TRUE(ClientLogShows(c.logged)) << c.name;
    }

    // The room asks the bot for its device parameters; the bot's answer reaches the room's
    // device dialog (not there yet: its log line names it).
    fakes::LogCapture capture;
    room->RequestDeviceParam(botId);
    ASSERT_NE(BotGets(bot, roomId, 259), nullptr);
    const Bytes params(usercmd::kDeviceParamBlockSize);
    bot.Cs().Transmit(roomId, 260, params.data(), static_cast<std::uint16_t>(params.size()));
    EXPECT_TRUE(WaitUntil(
        [&] { return capture.Contains("CDlgDevice::OnHandleRespParam (device dialog) not"); },
        kWaitMs));

    // Short and role-less variants: the receiver or the server drops them with a log line.
    bot.Cs().Transmit(roomId, 306, nullptr, 0);
    EXPECT_TRUE(WaitUntil([&] { return capture.Contains("user-to-user block dropped"); }, kWaitMs));
    const Bytes shortCamera{1};
    room->GetConfManager()->Transmit(aliceId, 307, shortCamera.data(), 1);
    EXPECT_TRUE(ClientLogShows("user-to-user block dropped: sub=307"));
    bot.Cs().Transmit(0, 288, nullptr, 0);
    EXPECT_TRUE(ServerLogShows("sub-command 288 from user " + std::to_string(botId)));
    other.Cs().Transmit(aliceId, 261, Bytes(usercmd::kRemoteParamSize).data(),
                        usercmd::kRemoteParamSize);
    EXPECT_TRUE(ServerLogShows("sub-command 261 from user " + std::to_string(otherId)));
    EXPECT_TRUE(room->IsWindow());

    // The chair's dissolution: its own room closes, alice's room closes, both log out.
    const int token = yav::Dialog::AddModalObserver([](yav::Dialog& dialog) {
        dialog.EndDialog(IDOK);  // the confirmation, then the dissolution box
    });
    room->SendMessage(WM_COMMAND, 32782, 0);
    EXPECT_TRUE(WaitUntil([this] { return !room->IsWindow(); }, kWaitMs));
    yav::Dialog::RemoveModalObserver(token);
    EXPECT_TRUE(ServerLogShows("user " + std::to_string(roomId) + " left"));
    EXPECT_TRUE(ServerLogShows("user " + std::to_string(aliceId) + " left"))
        << ServerLog() << Log().toStdString();
}

// A member bot sends the commands that only one user, or the leader, may send: the server
// refuses what it can judge (the layout, a screen start naming alice's channel), the clients
// refuse the rest; every refusal is logged, and neither alice nor the room acts on any.
TEST_F(UserCommandsEndToEnd, AMemberBotsDishonestCommandsAreRefusedAndLogged) {
    road_e2e::ProcessGuard guard(client);
    const std::uint16_t botId = bot.UserId();
    const std::string botText = std::to_string(botId);
    const auto roomLayout = room->GetRoomLayout();
    fakes::LogCapture roomLog;

    enum class Judge { Server, Clients };
    const struct {
        const char* name;
        std::uint16_t to;  // 0: everybody, alice and the room among them
        std::uint16_t sub;
        Bytes bytes;
        Judge judge;
    } rows[] = {
        {"layout", 0, 258, Bytes(usercmd::kLayoutSize, 4), Judge::Server},
        {"screen start naming alice's channel", 0, 264,
         usercmd::Encode(usercmd::ScreenShare{1, aliceId, 7}), Judge::Server},
        {"screen stop of a share nobody views from the bot", 0, 264,
         usercmd::Encode(usercmd::ScreenShare{0, 0, 0}), Judge::Clients},
        {"remote control ended", aliceId, 306, usercmd::EncodeCode(0), Judge::Clients},
        {"control request withdrawn", aliceId, 306, usercmd::EncodeCode(2), Judge::Clients},
        {"control accepted, nobody asked", aliceId, 307,
         usercmd::Encode(usercmd::ControlResponse{usercmd::kControlAccepted, botId, 7}),
         Judge::Clients},
        {"shared media stopped for all", 0, 266, usercmd::Encode(usercmd::MediaShare{}),
         Judge::Clients},
        {"device parameters nobody asked for", aliceId, 260, Bytes(usercmd::kDeviceParamBlockSize),
         Judge::Clients},
    };
    std::map<std::uint16_t, qsizetype> drops;  // alice's drop lines per sub-command
    for (const auto& row : rows) {
        bot.Cs().Transmit(row.to, row.sub, row.bytes.data(),
                          static_cast<std::uint16_t>(row.bytes.size()));
        const std::string subText = std::to_string(row.sub);
        if (row.judge == Judge::Server) {
            EXPECT_TRUE(ServerLogShows("sub-command " + subText + " from user " + botText + " to "))
                << row.name;
            continue;
        }
        const QString line = QString::fromStdString("user-to-user block dropped: sub=" + subText +
                                                    " from=" + botText + " ");
        const qsizetype expected = ++drops[row.sub];
        EXPECT_TRUE(WaitUntil([&] { return Log().count(line) == expected; }, kWaitMs))
            << row.name << "\n"
            << Log().toStdString();
        if (row.to == 0) {
            EXPECT_TRUE(WaitUntil([&] { return roomLog.Contains(line.toStdString()); }, kWaitMs))
                << row.name;
        }
    }

    // A chat line after them all: once alice shows it, she has handled everything before.
    const Bytes chat{0, 0, 0, 0, 'k', 0};
    bot.Cs().Transmit(aliceId, 257, chat.data(), static_cast<std::uint16_t>(chat.size()));
    ASSERT_TRUE(ClientLogShows("收到聊天消息 发送id:"));
    const QString aliceLog = Log();
    EXPECT_EQ(aliceLog.count(QStringLiteral("user-to-user block dropped")), 6)
        << aliceLog.toStdString();
    EXPECT_FALSE(aliceLog.contains(QStringLiteral("shared media: code"))) << aliceLog.toStdString();
    EXPECT_FALSE(aliceLog.contains(QStringLiteral("CDlgDevice::OnHandleRespParam")));
    const QString withdrawn =
        yav::SafeFormat(LoadLangString(2452), {QStringLiteral("bot"), static_cast<int>(botId)});
    EXPECT_FALSE(aliceLog.contains(withdrawn));
    // The room took nothing either: its layout is its own and nothing is kept to apply.
    EXPECT_EQ(room->GetRoomLayout(), roomLayout);
    EXPECT_FALSE(room->HasPendingLayout());
    EXPECT_EQ(room->GetScreenBroadcast(), 0);
    EXPECT_EQ(room->GetMediaShareState(), 0);
    EXPECT_EQ(roomLog.CountContaining("user-to-user block dropped"), 2u);
    EXPECT_EQ(ServerLogCount("without the role it needs refused"), 2u);
}

TEST_F(UserCommandsEndToEnd, KickedOrReplacedClientsReturnToTheList) {
    road_e2e::ProcessGuard guard(client);
    // Removed by the chair.
    room->GetConfManager()->KickUser(aliceId, 1, "");
    ExpectBackAtTheListWithoutRelogin("kicked");
    EXPECT_EQ(ServerLogCount("removed by the chair"), 1u);

    // Back in the room, then the same account logs in elsewhere: the old place is replaced.
    client.kill();
    client.waitForFinished(5000);
    const qsizetype entered = Log().count(QStringLiteral("init dialog over"));
    client.start(QDir::currentPath() + "/YavClient", {"127.0.0.1", "alice", "alice", "900001"});
    ASSERT_TRUE(client.waitForStarted(10000));
    ASSERT_TRUE(WaitUntil(
        [&] { return Log().count(QStringLiteral("init dialog over")) == entered + 1; }, kWaitMs));
    CsBot elsewhere;
    ASSERT_EQ(elsewhere.Login(server->ConferencePort(), kConf, "alice", "alice", 0), 0);
    ExpectBackAtTheListWithoutRelogin("replaced");
    EXPECT_EQ(ServerLogCount("logs in again"), 1u) << ServerLog();
}

}  // namespace
