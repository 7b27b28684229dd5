// Video tiles as a user sees them: two real clients, each on an X server of its own (Xvfb, no
// window manager), in one conference through yavserver; their data folders start as a first
// start seeds them. B's synthetic camera is broadcast on entry. A's tile shows B's picture in its
// own proportions between black bars, at the capture size the settings give, with B's name over
// the corner; B's own tile shows its camera and name, and does so again after B leaves the room
// and enters it again with the mouse.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "e2e/road/RoadProcess.h"
#include "e2e/road/XServer.h"

// Xlib last: its macros would otherwise reach the Qt headers.
#include <X11/Xlib.h>

namespace {

using road_e2e::kScreenH;
using road_e2e::kScreenW;
using road_e2e::ReadLog;

// The room at scale 1 without a window manager fills the screen: the control bar is 70 high,
// the status bar 44, the participant panel 320 wide; the one video tile takes the rest, and its
// picture stands inside the tile's 1-px frame.
const QRect kTile(0, 70, kScreenW - 320, kScreenH - 70 - 44);
const QRect kPictureArea = kTile.adjusted(1, 1, -1, -1);
// The name caption's band over the tile's top-left corner.
constexpr int kCaptionHeight = 45;

bool NearBlack(QRgb pixel) {
    return qRed(pixel) < 40 && qGreen(pixel) < 40 && qBlue(pixel) < 40;
}

bool NearWhite(QRgb pixel) {
    return qRed(pixel) > 200 && qGreen(pixel) > 200 && qBlue(pixel) > 200;
}

// The picture's columns along the middle row of the tile (where the pattern's colour bars are):
// from the first to the last pixel that is not black.
std::pair<int, int> PictureColumns(const QImage& screen) {
    const int y = kPictureArea.center().y();
    int left = -1;
    int right = -1;
    for (int x = kPictureArea.left(); x <= kPictureArea.right(); ++x) {
        if (!NearBlack(screen.pixel(x, y))) {
            left = left < 0 ? x : left;
            right = x;
        }
    }
    return {left, right};
}

int Count(const QImage& screen, const QRect& area, const std::function<bool(QRgb)>& test) {
    int n = 0;
    const QRect inside = area.intersected(screen.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            n += test(screen.pixel(x, y)) ? 1 : 0;
        }
    }
    return n;
}

// The viewable top-level windows of a display, with their rectangles.
std::vector<QRect> VisibleWindows(const QString& display) {
    std::vector<QRect> rects;
    Display* x = XOpenDisplay(display.toLatin1().constData());
    if (x == nullptr) {
        return rects;
    }
    ::Window root = 0;
    ::Window parent = 0;
    ::Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(x, DefaultRootWindow(x), &root, &parent, &children, &count) != 0) {
        for (unsigned int i = 0; i < count; ++i) {
            XWindowAttributes attributes;
            if (XGetWindowAttributes(x, children[i], &attributes) != 0 &&
                attributes.map_state == IsViewable) {
                rects.emplace_back(attributes.x, attributes.y, attributes.width, attributes.height);
            }
        }
        XFree(children);
    }
    XCloseDisplay(x);
    return rects;
}

// A viewable top-level of the size (the first one), once there is one (at most 15 s).
std::optional<QRect> WaitForWindow(const QString& display, QSize size) {
    std::optional<QRect> found;
    yav::testing::WaitUntil(
        [&] {
            for (const QRect& rect : VisibleWindows(display)) {
                if (rect.size() == size) {
                    found = rect;
                    return true;
                }
            }
            return false;
        },
        15000);
    return found;
}

// One client process on an X server of its own, its data folder as a first start seeds it.
class ScreenClient {
public:
    bool Start(const QString& name, const QString& devices, int dsPort) {
        if (!home_.isValid() || !xserver_.Start()) {
            return false;
        }
        data_ = home_.path() + "/MarnexData";
        QDir().mkpath(data_);
        // The program folder's settings, as the first start copies them, pointed at the server.
        QFile::copy(QDir::currentPath() + "/Client.ini", data_ + "/Client.ini");
        yav::profile::WriteString("appinfo", "DsSvrPort", std::to_string(dsPort),
                                  (data_ + "/Client.ini").toStdString());
        QProcessEnvironment env = road_e2e::ClientEnvironment(home_.path());
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.insert("DISPLAY", xserver_.DisplayName());
        env.insert("YAV_TEST_DEVICES", devices);
        process_.setProcessEnvironment(env);
        process_.setProcessChannelMode(QProcess::ForwardedChannels);
        process_.start(QDir::currentPath() + "/YavClient",
                       {"127.0.0.1", name, name.toLower(), "900001"});
        return process_.waitForStarted(10000);
    }
    ~ScreenClient() {
        road_e2e::Terminate(process_);
        if (!process_.waitForFinished(15000)) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }
    QString Log() const { return ReadLog(data_); }
    bool LogMatches(const QRegularExpression& pattern, int from = 0, int limitMs = 30000) const {
        return yav::testing::WaitUntil([&] { return pattern.match(Log().mid(from)).hasMatch(); },
                                       limitMs);
    }
    // Grabs the screen until `ready` holds of it (at most 20 s); the last grab is saved.
    QImage GrabWhen(const std::function<bool(const QImage&)>& ready, const QString& name) {
        QImage screen;
        yav::testing::WaitUntil(
            [&] {
                screen = xserver_.Grab();
                return !screen.isNull() && ready(screen);
            },
            20000);
        const QString folder = qEnvironmentVariable("YAV_TEST_OUTPUT_DIR");
        if (!folder.isEmpty() && !screen.isNull() && QDir().mkpath(folder)) {
            screen.save(folder + "/" + name + ".png");
        }
        return screen;
    }
    // A click of the left button at a point of the screen, as a user gives it.
    bool Click(QPoint at) {
        QProcess xdotool;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", xserver_.DisplayName());
        xdotool.setProcessEnvironment(env);
        xdotool.start("xdotool", {"mousemove", QString::number(at.x()), QString::number(at.y()),
                                  "click", "1"});
        return xdotool.waitForFinished(10000) && xdotool.exitCode() == 0;
    }
    const QString& Display() const { return xserver_.DisplayName(); }

private:
    QTemporaryDir home_;
    road_e2e::XServer xserver_;
    QString data_;
    QProcess process_;
};

// What a tile showing a 4:3 camera must show: the picture across the tile's whole height, in
// its own proportions, black bars left and right of it, and the name's white letters in the
// left bar under the tile's top edge.
void ExpectCaptionedFourThreePicture(const QImage& screen, const char* who) {
    SCOPED_TRACE(who);
    ASSERT_FALSE(screen.isNull());
    const auto [left, right] = PictureColumns(screen);
    ASSERT_GE(left, 0) << "no picture";
    const int width = right - left + 1;
    const int height = kPictureArea.height();
    // 4:3 inside 958 x 684: 912 x 684 with 23 px bars either side.
    EXPECT_NEAR(static_cast<double>(width) / height, 4.0 / 3.0, 0.01)
        << "picture " << width << " x " << height;
    EXPECT_NEAR(left - kPictureArea.left(), (kPictureArea.width() - height * 4 / 3) / 2, 2);
    const QRect leftBar(kPictureArea.left(), kPictureArea.top() + kCaptionHeight,
                        left - kPictureArea.left() - 1, height - kCaptionHeight);
    const QRect rightBar(right + 2, kPictureArea.top(), kPictureArea.right() - right - 2, height);
    ASSERT_GT(leftBar.width(), 10);
    ASSERT_GT(rightBar.width(), 10);
    EXPECT_EQ(Count(screen, leftBar, NearBlack), leftBar.width() * leftBar.height());
    EXPECT_EQ(Count(screen, rightBar, NearBlack), rightBar.width() * rightBar.height());
    // The caption's first letter stands in the left bar.
    const QRect captionInBar(kPictureArea.left(), kPictureArea.top(),
                             left - kPictureArea.left() - 1, kCaptionHeight);
    EXPECT_GT(Count(screen, captionInBar, NearWhite), 10) << "the name over the corner";
}

class VideoTileScreen : public ::testing::Test {
protected:
    void SetUp() override {
        road_e2e::CoreApplication();
        if (QStandardPaths::findExecutable("Xvfb").isEmpty() ||
            QStandardPaths::findExecutable("xdotool").isEmpty()) {
            GTEST_SKIP() << "no Xvfb or xdotool";
        }
        ASSERT_TRUE(home.isValid());
        const std::string ini = (home.path() + "/server.ini").toStdString();
        yav::profile::WriteString("account.A", "Password", "a", ini);
        yav::profile::WriteString("account.B", "Password", "b", ini);
        yav::profile::WriteString("conference.900001", "Name", "Demo", ini);
        // Bit 3: a participant with a camera broadcasts it on entry.
        yav::profile::WriteString("conference.900001", "AppFlags25", "8", ini);
        server = std::make_unique<road_e2e::Server>(home.path(), home.path() + "/server.ini");
        const auto found = server->Ports();
        ASSERT_TRUE(found.has_value()) << "yavserver did not start";
        ports = *found;
    }

    QTemporaryDir home;
    std::unique_ptr<road_e2e::Server> server;
    road_e2e::ServerPorts ports;
};

TEST_F(VideoTileScreen, TilesShowTheCameraInItsProportionsWithTheNameAlsoAfterReentry) {
    ScreenClient a;
    ASSERT_TRUE(a.Start("A", "cam=0,mic=1,spk=1", ports.ds)) << "no X server";
    ASSERT_TRUE(a.LogMatches(QRegularExpression("init dialog over"))) << a.Log().toStdString();
    ScreenClient b;
    ASSERT_TRUE(b.Start("B", "cam=1,mic=1,spk=1", ports.ds)) << "no X server";

    // B captures at the size its settings give: 640 x 480.
    EXPECT_TRUE(
        b.LogMatches(QRegularExpression("width=640 height=480 devpath=\\S+ success=1"), 0, 10000))
        << b.Log().toStdString();
    ASSERT_TRUE(a.LogMatches(QRegularExpression(R"(video \d+ shown in window \d+ as "B")")))
        << a.Log().toStdString();
    // Waits for a picture between bars with a name over the corner; the checks then say what
    // is missing if that never came.
    const auto pictureShown = [](const QImage& screen) {
        const auto [left, right] = PictureColumns(screen);
        return left > kPictureArea.left() + 10 && right < kPictureArea.right() - 10 &&
               Count(screen, QRect(kPictureArea.topLeft(), QPoint(left - 2, kCaptionHeight)),
                     NearWhite) > 10;
    };
    const QImage atA = a.GrabWhen(pictureShown, "tile_of_b_at_a");
    ExpectCaptionedFourThreePicture(atA, "A shows B");

    ExpectCaptionedFourThreePicture(b.GrabWhen(pictureShown, "own_tile_at_b"), "B's own tile");

    // B leaves with the room's close button and its confirmation, and enters again from the
    // conference list.
    const int logBefore = static_cast<int>(b.Log().size());
    ASSERT_TRUE(b.Click({kScreenW - 21, 15}));
    const auto box = WaitForWindow(b.Display(), {300, 150});
    ASSERT_TRUE(box.has_value()) << "the leave question";
    ASSERT_TRUE(b.Click(box->topLeft() + QPoint(175, 118)));  // its OK button
    const auto list = WaitForWindow(b.Display(), {768, 521});
    ASSERT_TRUE(list.has_value()) << "the conference list";
    ASSERT_TRUE(b.Click(list->topLeft() + QPoint(704, 158)));  // the first row's enter button
    ASSERT_TRUE(
        b.LogMatches(QRegularExpression(R"(video \d+ shown in window \d+ as "B)"), logBefore))
        << b.Log().toStdString();
    ASSERT_TRUE(b.LogMatches(QRegularExpression(R"(video \d+ first picture)"), logBefore));
    ExpectCaptionedFourThreePicture(b.GrabWhen(pictureShown, "own_tile_at_b_after_reentry"),
                                    "B's own tile after re-entry");
}

}  // namespace
