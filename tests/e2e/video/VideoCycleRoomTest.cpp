// The video cycle between real parties: yavserver, client B as a YavClient process with two test
// cameras, and client A as a room in this process (the program's main frame, offscreen, with its
// own media manager and layout manager). A turns the cycle on as its menu item does; one window
// of A's layout then shows B's two channels in turn, and empties when B leaves.

#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "../road/RoadProcess.h"
#include "../server/ServerProcess.h"
#include "client/conference/XMainFrame.h"
#include "client/dialogs/video/CDlgVideo.h"
#include "client/media/ILayoutVideoWnd.h"
#include "client/media/LayoutGeometry.h"
#include "client/media/VideoCycle.h"
#include "client/media/XMediaManager.h"
#include "client/roomapi/RoomChildren.h"
#include "config/AppSettings.h"
#include "config/ConfigManger.h"
#include "fakes/conference/CallLog.h"
#include "fakes/conference/FakeRoomChildren.h"
#include "platform/core/Profile.h"

namespace {

using yav::testing::WaitUntil;

constexpr std::uint32_t kConf = 900001;
constexpr int kWaitMs = 30000;
// What the room's menu item posts to turn the cycle on (and off again).
constexpr int kCmdCycle = 32784;
// The shortest interval the cycle-set dialog offers, in seconds.
constexpr std::uint32_t kShortestInterval = 10;

class VideoCycleRoom : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(home.isValid());
        const std::string ini = (home.path() + "/server.ini").toStdString();
        yav::profile::WriteString("account.A", "Password", "a", ini);
        yav::profile::WriteString("account.B", "Password", "b", ini);
        yav::profile::WriteString("conference.900001", "Name", "Demo", ini);
        server = std::make_unique<yav::test::ServerProcess>(std::vector<std::string>{
            "--ini", ini, "--log-config",
            road_e2e::ServerFileLogConfig(home.path(), home.path() + "/server.log").toStdString()});
        ASSERT_TRUE(server->Ready());
        g_ConfigManager.LoadLanguage();
        savedSettings = g_AppSettings;
        g_AppSettings.DsSvrPort = server->DataPort();
        // As the cycle-set dialog leaves them: the shortest interval, one cycle window.
        g_AppSettings.cycleinterval = kShortestInterval;
        g_AppSettings.cyclecount = 1;
        g_AppSettings.wSpeakerLimit = 4;

        // A has no camera of its own; its media manager is made as the program makes it.
        qputenv("YAV_TEST_DEVICES", "cam=0,mic=1,spk=1");
        g_pMediaManager = new XMediaManager();

        // The room's own layout manager and media; recording panels around them.
        yav::room::RoomChildFactories& make = yav::room::Children();
        savedChildren = make;
        make = {};
        make.layoutManager = savedChildren.layoutManager;
        make.roomMedia = savedChildren.roomMedia;
        make.userList = [this](QWidget*) { return std::make_unique<fakes::FakeUserList>(log); };
        make.controlBar = [this](QWidget*) { return std::make_unique<fakes::FakeControlBar>(log); };
        make.statusBar = [this](QWidget*) { return std::make_unique<fakes::FakeStatusBar>(log); };

        room = std::make_unique<XMainFrame>();
        g_pMainFrame = room.get();
        ST_CS_SERVER cs;
        std::strcpy(cs.csAddress, "127.0.0.1");
        cs.csPort = server->ConferencePort();
        std::strcpy(cs.mediaAddress, "127.0.0.1");
        cs.mediaPort = server->MediaPort();
        room->SetCsServer(cs);
        room->SetLoginInfo(QStringLiteral("A"), QStringLiteral("a"), 0);
        ASSERT_EQ(room->LoginCs(kConf, nullptr, 0), 0) << ServerLog();
        ASSERT_TRUE(room->CreateRoomWindow(QStringLiteral("Demo"), kConf));
        ASSERT_NE(room->GetLayoutManager(), nullptr);

        // B's client process, joining directly with two cameras.
        data = road_e2e::PrepareDataFolder(home.path() + "/b", server->DataPort());
        // Multi-camera mode: every camera captures on a channel of its own.
        yav::profile::WriteString("appinfo", "bVideoCapMode", "0",
                                  (data + "/Client.ini").toStdString());
        QProcessEnvironment env = road_e2e::ClientEnvironment(home.path() + "/b");
        env.insert("YAV_TEST_DEVICES", "cam=2,mic=1,spk=1");
        client.setProcessEnvironment(env);
        client.setProcessChannelMode(QProcess::ForwardedChannels);
        client.start(QDir::currentPath() + "/YavClient", {"127.0.0.1", "B", "b", "900001"});
        ASSERT_TRUE(client.waitForStarted(10000));
    }

    void TearDown() override {
        if (client.state() != QProcess::NotRunning) {
            client.kill();
            client.waitForFinished(5000);
        }
        if (room && room->IsWindow()) {
            room->SetExitFlag(1);
            room->SendMessage(WM_CLOSE_ROOM, 0, 0);
        }
        room.reset();
        g_pMainFrame = nullptr;
        delete g_pMediaManager;
        g_pMediaManager = nullptr;
        qunsetenv("YAV_TEST_DEVICES");
        yav::room::Children() = savedChildren;
        g_AppSettings = savedSettings;
    }

    QString ClientLog() const { return road_e2e::ReadLog(data); }
    std::string ServerLog() const {
        QFile file(home.path() + "/server.log");
        return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
    }

    // A's video windows that show one of user `base`'s channels.
    std::vector<CDlgVideo*> WindowsShowing(std::uint16_t base) {
        std::vector<CDlgVideo*> found;
        ILayoutManager* layout = room->GetLayoutManager();
        for (int slot = 0; slot < yav::layout::kSlotCount; ++slot) {
            ILayoutVideoWnd* window = layout->GetLayoutWnd(slot);
            auto* video =
                window != nullptr ? dynamic_cast<CDlgVideo*>(window->GetWidget()) : nullptr;
            if (video != nullptr && video->GetUserId() != 0 &&
                (video->GetUserId() & 0xFFF8) == base) {
                found.push_back(video);
            }
        }
        return found;
    }

    // Waits until `window` shows `caption`; meanwhile no other window may show B.
    bool TurnComes(CDlgVideo* window, std::uint16_t base, const QString& caption) {
        bool alone = true;
        const bool came = WaitUntil(
            [&] {
                const std::vector<CDlgVideo*> showing = WindowsShowing(base);
                alone =
                    alone && std::all_of(showing.begin(), showing.end(),
                                         [window](CDlgVideo* other) { return other == window; });
                return window->GetCaption() == caption;
            },
            kWaitMs);
        EXPECT_TRUE(alone) << "a second window showed B's other channel beside the turn "
                           << caption.toStdString();
        return came;
    }

    QTemporaryDir home;
    std::unique_ptr<yav::test::ServerProcess> server;
    ST_APP_SETTINGS savedSettings;
    yav::room::RoomChildFactories savedChildren;
    fakes::CallLog log;
    std::unique_ptr<XMainFrame> room;
    QString data;
    QProcess client;
};

TEST_F(VideoCycleRoom, BsTwoChannelsTakeTurnsInOneWindowUntilBLeaves) {
    road_e2e::ProcessGuard guard(client);
    CVideoCycle* cycle = room->GetVideoCycle();
    ASSERT_NE(cycle, nullptr);
    EXPECT_EQ(cycle->GetInterval(), kShortestInterval * 1000);

    // B's two cameras reach A's cycle queue: its first and second channel.
    std::uint16_t b = 0;
    ASSERT_TRUE(WaitUntil(
        [&] {
            const std::vector<std::uint16_t> queue = cycle->GetQueue();
            if (queue.size() != 2 || queue[1] != queue[0] + 1) {
                return false;
            }
            b = queue[0];
            return true;
        },
        kWaitMs))
        << ::testing::PrintToString(cycle->GetQueue()) << ClientLog().toStdString();
    EXPECT_EQ(b & 7, 0);
    EXPECT_TRUE(WindowsShowing(b).empty());

    room->SendMessage(WM_COMMAND, kCmdCycle, 0);
    ASSERT_TRUE(room->GetLayoutManager()->IsVideoCycleOn());

    CDlgVideo* window = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            const std::vector<CDlgVideo*> showing = WindowsShowing(b);
            window = showing.size() == 1 ? showing[0] : nullptr;
            return window != nullptr;
        },
        kWaitMs));
    // The first turn is B's first channel, then the second, then the first again.
    EXPECT_EQ(window->GetCaption(), QStringLiteral("B"));
    EXPECT_EQ(window->GetUserId(), b);
    ASSERT_TRUE(TurnComes(window, b, QStringLiteral("B-2"))) << window->GetCaption().toStdString();
    EXPECT_EQ(window->GetUserId(), b + 1);
    ASSERT_TRUE(TurnComes(window, b, QStringLiteral("B"))) << window->GetCaption().toStdString();
    EXPECT_EQ(window->GetUserId(), b);

    // B leaves: its channels leave the queue and the window empties.
    road_e2e::Terminate(client);
    EXPECT_TRUE(WaitUntil([&] { return WindowsShowing(b).empty(); }, kWaitMs))
        << window->GetCaption().toStdString();
    EXPECT_TRUE(WaitUntil([&] { return cycle->GetQueue().empty(); }, kWaitMs))
        << ::testing::PrintToString(cycle->GetQueue());
}

}  // namespace
