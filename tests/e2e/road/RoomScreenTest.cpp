// The room as a user sees it: the real client on an X server of its own (Xvfb) joins yavserver's
// conference, and a grab of the screen shows the control bar across the top, the participant
// panel docked on the right, the status bar across the bottom left of it and the video area
// between them.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QProcessEnvironment>

#include <cmath>
#include <functional>
#include <memory>

#include "RoadProcess.h"
#include "XServer.h"

namespace {

using road_e2e::kScreenH;
using road_e2e::kScreenW;
using road_e2e::ReadLog;
using road_e2e::XServer;

bool Is(const QImage& picture, int x, int y, QRgb colour) {
    return (picture.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF);
}

class RoomScreen : public ::testing::Test {
protected:
    void SetUp() override {
        road_e2e::CoreApplication();
        ASSERT_TRUE(home.isValid());
        if (!xserver.Start()) {
            GTEST_SKIP() << "no Xvfb";
        }
    }

    // yavserver with the conference (its panels hidden or not), then the client joining it.
    void Start(bool panelsHidden) {
        const QString ini = home.path() + "/server.ini";
        const std::string path = ini.toStdString();
        yav::profile::WriteString("account.alice", "Password", "alice", path);
        yav::profile::WriteString("conference.900001", "Name", "Demo", path);
        yav::profile::WriteString("conference.900001", "PanelsHidden", panelsHidden ? "1" : "0",
                                  path);
        server = std::make_unique<road_e2e::Server>(home.path(), ini);
        const auto found = server->Ports();
        ASSERT_TRUE(found.has_value()) << "yavserver did not start";
        data = road_e2e::PrepareDataFolder(home.path(), found->ds);
        StartClient();
        ASSERT_TRUE(yav::testing::WaitUntil(
            [this] { return ReadLog(data).contains(QStringLiteral("init dialog over")); }, 30000))
            << ReadLog(data).toStdString();
    }

    // Grabs the screen until `ready` holds of it (at most 15 s); the last grab is saved.
    QImage GrabWhen(const std::function<bool(const QImage&)>& ready, const QString& name) {
        QImage picture;
        yav::testing::WaitUntil(
            [&] {
                picture = xserver.Grab();
                return !picture.isNull() && ready(picture);
            },
            15000);
        const QString folder = qEnvironmentVariable("YAV_TEST_OUTPUT_DIR");
        if (!folder.isEmpty() && !picture.isNull() && QDir().mkpath(folder)) {
            picture.save(folder + "/" + name + ".png");
        }
        return picture;
    }

    void StartClient() {
        QProcessEnvironment env = road_e2e::ClientEnvironment(home.path());
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.insert("DISPLAY", xserver.DisplayName());
        env.insert("YAV_SCALE_FACTOR", QString::number(scale));
        client.setProcessEnvironment(env);
        client.setProcessChannelMode(QProcess::ForwardedChannels);
        client.start(QDir::currentPath() + "/YavClient", {"127.0.0.1", "alice", "alice", "900001"});
        ASSERT_TRUE(client.waitForStarted(10000));
    }

    // The display scale the client runs at.
    double scale = 1.0;
    QTemporaryDir home;
    XServer xserver;
    std::unique_ptr<road_e2e::Server> server;
    QString data;
    QProcess client;
};

class RoomScreenAtScale : public RoomScreen, public ::testing::WithParamInterface<double> {};

TEST_P(RoomScreenAtScale, TheRoomShowsItsBarsAroundTheVideoArea) {
    scale = GetParam();
    road_e2e::ProcessGuard guard(client);
    Start(false);

    // Without a window manager the room fills the screen at (0, 0); the bars are 70 and 44 high
    // and the side panel 320 wide, times the scale.
    const auto sized = [this](int design) { return static_cast<int>(std::lround(design * scale)); };
    const int strip = sized(70);
    const int title = sized(44);
    const int side = sized(320);
    const QImage picture = GrabWhen(
        [](const QImage& grab) {
            return Is(grab, kScreenW / 2, 2, 0x333333) && Is(grab, 2, kScreenH - 1, 0xDDDDDD);
        },
        QStringLiteral("room_xvfb_%1").arg(scale == 1.0 ? "1_0" : "1_5"));
    ASSERT_FALSE(picture.isNull());
    // The control bar: dark band across the whole top, light band below it.
    for (const int x : {2, kScreenW / 2, kScreenW - 3}) {
        EXPECT_TRUE(Is(picture, x, 2, 0x333333)) << x;
    }
    EXPECT_TRUE(Is(picture, 2, strip - 3, 0xDDDDDD));
    // The status bar along the bottom up to the docked participant panel, which stands on the
    // right from below the control bar down to the bottom.
    for (const int x : {2, (kScreenW - side) / 2, kScreenW - side - 2}) {
        EXPECT_TRUE(Is(picture, x, kScreenH - 1, 0xDDDDDD)) << x;
    }
    for (const int y : {strip + 2, kScreenH - 1}) {
        EXPECT_FALSE(Is(picture, kScreenW - side + 2, y, 0xDDDDDD)) << y;
        EXPECT_FALSE(Is(picture, kScreenW - side + 2, y, 0x333333)) << y;
    }
    // Between the bars, left of the panel, the video area: neither bar's colours.
    for (const int y : {strip + 2, kScreenH / 2, kScreenH - title - 3}) {
        EXPECT_FALSE(Is(picture, (kScreenW - side) / 2, y, 0xDDDDDD)) << y;
        EXPECT_FALSE(Is(picture, (kScreenW - side) / 2, y, 0x333333)) << y;
    }
    EXPECT_TRUE(ReadLog(data).contains(QStringLiteral("init window over")));
    EXPECT_FALSE(ReadLog(data).contains(QStringLiteral("CDlgUserList not available")));

    road_e2e::Terminate(client);
    EXPECT_TRUE(client.waitForFinished(15000));
}

INSTANTIATE_TEST_SUITE_P(Scales, RoomScreenAtScale, ::testing::Values(1.0, 1.5));

TEST_F(RoomScreen, AConferenceWithHiddenPanelsOpensFullScreenWithTheStrip) {
    road_e2e::ProcessGuard guard(client);
    Start(true);

    // The videos take the whole screen: no bar at the top-left or along the bottom; the strip
    // hangs at the top centre, 448 x 60 from y 10.
    const QImage picture = GrabWhen(
        [](const QImage& grab) {
            return !Is(grab, 2, 2, 0x333333) && !Is(grab, 2, kScreenH - 1, 0xDDDDDD) &&
                   !Is(grab, kScreenW / 2, 40, grab.pixel(2, 40));
        },
        QStringLiteral("room_xvfb_full_screen"));
    ASSERT_FALSE(picture.isNull());
    // Where the bars and the side panel would stand, the videos' picture is seen (a point of
    // the empty video window away from its placeholder icon).
    const QRgb video = picture.pixel(200, kScreenH - 200);
    for (const int x : {3, kScreenW - 4}) {
        EXPECT_EQ(picture.pixel(x, 3), video) << x;
        EXPECT_EQ(picture.pixel(x, kScreenH - 22), video) << x;
    }
    EXPECT_EQ(picture.pixel(kScreenW - 160, kScreenH / 2 + 100), video);
    EXPECT_NE(picture.pixel(kScreenW / 2, 40), video);
    EXPECT_TRUE(ReadLog(data).contains(QStringLiteral("full screen over")));

    road_e2e::Terminate(client);
    EXPECT_TRUE(client.waitForFinished(15000));
}

}  // namespace
