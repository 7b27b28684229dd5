// The room in full screen as a user sees it on a desktop: the real client on an X server of its
// own (Xvfb, no compositing manager) under a window manager (openbox) joins a conference whose
// panels are hidden, so it opens in full screen. The strip must stand above the full-screen room,
// painted opaque and readable; its exit button (clicked with xdotool) and Esc leave full
// screen.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QProcessEnvironment>
#include <QStandardPaths>

#include <functional>
#include <memory>

#include "RoadProcess.h"
#include "XServer.h"

// Xlib last: its macros would otherwise reach the Qt headers.
#include <X11/Xlib.h>

namespace {

using road_e2e::kScreenH;
using road_e2e::kScreenW;
using road_e2e::ReadLog;
using road_e2e::XServer;

// The strip at scale 1: 448 x 60, centred, 10 px below the top; its exit button 88 x 30 at 24.
const QRect kStrip((kScreenW - 448) / 2, 10, 448, 60);
const QRect kExit(kStrip.left() + 24, kStrip.top() + 15, 88, 30);

bool Bluish(QRgb pixel) {
    return qBlue(pixel) > qRed(pixel) + 80 && qBlue(pixel) > 180;
}

// Pixels of an area of the screen for which `holds` is true.
int Count(const QImage& picture, const QRect& area, const std::function<bool(QRgb)>& holds) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            count += holds(picture.pixel(x, y)) ? 1 : 0;
        }
    }
    return count;
}

class RoomFullScreenWm : public ::testing::Test {
protected:
    void SetUp() override {
        road_e2e::CoreApplication();
        ASSERT_TRUE(home.isValid());
        if (QStandardPaths::findExecutable(QStringLiteral("openbox")).isEmpty() ||
            QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty()) {
            GTEST_SKIP() << "no openbox or xdotool";
        }
        if (!xserver.Start()) {
            GTEST_SKIP() << "no Xvfb";
        }
        ASSERT_NO_FATAL_FAILURE(StartWindowManager());
    }
    void TearDown() override { road_e2e::Stop(windowManager); }

    QProcessEnvironment XEnvironment() const {
        QProcessEnvironment env = road_e2e::ClientEnvironment(home.path());
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.insert("DISPLAY", xserver.DisplayName());
        env.insert("HOME", home.path());
        return env;
    }

    // openbox on the server, until it has taken the screen (owns WM_S0).
    void StartWindowManager() {
        windowManager.setProcessEnvironment(XEnvironment());
        windowManager.setProcessChannelMode(QProcess::ForwardedChannels);
        windowManager.start(QStringLiteral("openbox"), {"--sm-disable"});
        ASSERT_TRUE(windowManager.waitForStarted(10000));
        Display* x = XOpenDisplay(xserver.DisplayName().toLatin1().constData());
        ASSERT_NE(x, nullptr);
        const Atom selection = XInternAtom(x, "WM_S0", False);
        const bool managing = yav::testing::WaitUntil(
            [&] { return XGetSelectionOwner(x, selection) != None; }, 15000);
        XCloseDisplay(x);
        ASSERT_TRUE(managing) << "openbox did not take the screen";
    }

    // yavserver with a conference whose panels are hidden, then the client joining it.
    void StartInFullScreen() {
        const QString ini = home.path() + "/server.ini";
        const std::string path = ini.toStdString();
        yav::profile::WriteString("account.alice", "Password", "alice", path);
        yav::profile::WriteString("conference.900001", "Name", "Demo", path);
        yav::profile::WriteString("conference.900001", "PanelsHidden", "1", path);
        server = std::make_unique<road_e2e::Server>(home.path(), ini);
        const auto found = server->Ports();
        ASSERT_TRUE(found.has_value()) << "yavserver did not start";
        data = road_e2e::PrepareDataFolder(home.path(), found->ds);
        client.setProcessEnvironment(XEnvironment());
        client.setProcessChannelMode(QProcess::ForwardedChannels);
        client.start(QDir::currentPath() + "/YavClient", {"127.0.0.1", "alice", "alice", "900001"});
        ASSERT_TRUE(client.waitForStarted(10000));
        ASSERT_TRUE(yav::testing::WaitUntil([this] { return FullScreenChanges() >= 1; }, 30000))
            << ReadLog(data).toStdString();
    }

    // How often the room entered or left full screen.
    int FullScreenChanges() const {
        return ReadLog(data).count(QStringLiteral("full screen over"));
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

    // Runs xdotool on the server with the arguments.
    void XDoTool(const QStringList& arguments) {
        QProcess tool;
        tool.setProcessEnvironment(XEnvironment());
        tool.start(QStringLiteral("xdotool"), arguments);
        ASSERT_TRUE(tool.waitForFinished(10000));
        EXPECT_EQ(tool.exitCode(), 0) << arguments.join(' ').toStdString();
    }

    // The strip stands over the full-screen room, opaque (light skin, no black) and readable.
    void ExpectStripOnTop(const QString& name) {
        const QImage picture = GrabWhen(
            [](const QImage& grab) {
                return Count(grab, kExit.adjusted(8, 6, -8, -6), Bluish) > 200;
            },
            name);
        ASSERT_FALSE(picture.isNull());
        // The exit button is seen: the strip is above the room, not behind it.
        EXPECT_GT(Count(picture, kExit.adjusted(8, 6, -8, -6), Bluish), 1000);
        // The strip's panel is opaque light, corners included; no black where it stands.
        const QRect panel(kStrip.left() + 120, kStrip.top() + 2, 300, 6);
        EXPECT_EQ(Count(picture, panel, [](QRgb p) { return qGray(p) > 200; }), panel.width() * 6);
        EXPECT_EQ(Count(picture, kStrip, [](QRgb p) { return (p & 0xFFFFFF) == 0; }), 0);
        // Captions under the icons: dark text on the light strip (chat at 275, members at 335).
        for (const int left : {275, 335}) {
            const QRect caption(kStrip.left() + left, kStrip.top() + 3 + 33, 56, 15);
            EXPECT_GT(Count(picture, caption, [](QRgb p) { return qGray(p) < 110; }), 10) << left;
        }
    }

    // Out of full screen: the strip gone, the control bar's dark band and the status bar's light
    // one back in the room's window.
    void ExpectRoomWithItsBars(const QString& name) {
        const auto dark = [](QRgb p) { return (p & 0xFFFFFF) == 0x333333; };
        const auto light = [](QRgb p) { return (p & 0xFFFFFF) == 0xDDDDDD; };
        const QRect top(0, 0, kScreenW, 120);
        const QRect bottom(0, kScreenH / 2, kScreenW, kScreenH / 2);
        const QImage after = GrabWhen(
            [&](const QImage& grab) {
                return Count(grab, kExit.adjusted(8, 6, -8, -6), Bluish) == 0 &&
                       Count(grab, top, dark) > 5000 && Count(grab, bottom, light) > 5000;
            },
            name);
        ASSERT_FALSE(after.isNull());
        EXPECT_EQ(Count(after, kExit.adjusted(8, 6, -8, -6), Bluish), 0);
        EXPECT_GT(Count(after, top, dark), 5000);
        EXPECT_GT(Count(after, bottom, light), 5000);
    }

    QTemporaryDir home;
    XServer xserver;
    QProcess windowManager;
    std::unique_ptr<road_e2e::Server> server;
    QString data;
    QProcess client;
};

TEST_F(RoomFullScreenWm, TheStripStandsAboveTheRoomAndItsExitButtonLeavesFullScreen) {
    road_e2e::ProcessGuard guard(client);
    ASSERT_NO_FATAL_FAILURE(StartInFullScreen());
    ASSERT_NO_FATAL_FAILURE(ExpectStripOnTop(QStringLiteral("room_wm_full_screen")));

    XDoTool({"mousemove", QString::number(kExit.center().x()), QString::number(kExit.center().y()),
             "click", "1"});
    EXPECT_TRUE(yav::testing::WaitUntil([this] { return FullScreenChanges() >= 2; }, 10000))
        << ReadLog(data).toStdString();
    ExpectRoomWithItsBars(QStringLiteral("room_wm_after_exit"));

    road_e2e::Terminate(client);
    EXPECT_TRUE(client.waitForFinished(15000));
}

TEST_F(RoomFullScreenWm, EscLeavesFullScreen) {
    road_e2e::ProcessGuard guard(client);
    ASSERT_NO_FATAL_FAILURE(StartInFullScreen());
    ASSERT_NO_FATAL_FAILURE(ExpectStripOnTop(QStringLiteral("room_wm_full_screen_esc")));

    XDoTool({"key", "Escape"});
    EXPECT_TRUE(yav::testing::WaitUntil([this] { return FullScreenChanges() >= 2; }, 10000))
        << ReadLog(data).toStdString();
    ExpectRoomWithItsBars(QStringLiteral("room_wm_after_esc"));

    road_e2e::Terminate(client);
    EXPECT_TRUE(client.waitForFinished(15000));
}

}  // namespace
