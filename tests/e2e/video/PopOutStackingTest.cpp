// A video window popped out of the room on a real X server (Xvfb, the xcb platform, no window
// manager): what the server itself holds about the stacking of the pop-out and the room, read
// back with Xlib on a connection of its own.

#include <gtest/gtest.h>

#include <QApplication>

#include <algorithm>
#include <functional>
#include <string_view>
#include <vector>

#include "client/dialogs/video/LayoutVideoWnd.h"
#include "client/media/ILayoutVideoWnd.h"
#include "client/media/XLayoutManager.h"
#include "e2e/road/XServer.h"
#include "ui/video/VideoTestSupport.h"

// Xlib last: its macros would otherwise reach the Qt headers.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

bool g_onX = false;

// The top-level windows of the screen, bottom to top, as the server stacks them now.
std::vector<::Window> TopLevels(Display* x) {
    XSync(x, False);
    ::Window root = 0;
    ::Window parent = 0;
    ::Window* children = nullptr;
    unsigned int count = 0;
    std::vector<::Window> stack;
    if (XQueryTree(x, DefaultRootWindow(x), &root, &parent, &children, &count) != 0) {
        stack.assign(children, children + count);
        XFree(children);
    }
    return stack;
}

// Where `window` stands among the top-levels (-1: not a top-level).
int Level(const std::vector<::Window>& stack, ::Window window) {
    const auto at = std::find(stack.begin(), stack.end(), window);
    return at == stack.end() ? -1 : static_cast<int>(at - stack.begin());
}

// Lets Qt send what it queued, then asks the server until `holds` (at most 3 s).
bool Settles(Display* x, const std::function<bool(const std::vector<::Window>&)>& holds) {
    return yav::testing::WaitUntil(
        [&] {
            QApplication::processEvents();
            return holds(TopLevels(x));
        },
        3000);
}

class PopOutStacking : public video_test::VideoFixture {
protected:
    void SetUp() override {
        if (!g_onX) {
            GTEST_SKIP() << "no Xvfb";
        }
        VideoFixture::SetUp();
        x = XOpenDisplay(qgetenv("DISPLAY").constData());
        ASSERT_NE(x, nullptr);
        mainWindow.resize(960, 640);
        manager.CreateWindows(&mainWindow);
        manager.SetScreenRect(0, QRect(0, 0, 200, 640));
        manager.SetScreenRect(1, QRect(200, 0, 760, 640));
        manager.SetWinMode(0, 3, 2, 0);
        for (int i = 0; i < 3; ++i) {
            const auto id = static_cast<std::uint16_t>(8 * (i + 10));
            host.names[id] = QStringLiteral("U%1").arg(i + 1);
            host.streams[id] = &stream;
            ASSERT_NE(manager.AddVideo(id, 0, record, synced), nullptr) << i;
            manager.SetVideoWndState(id, host.FormatChannelName(id), &stream);
        }
        manager.Relayout(false);
    }
    void TearDown() override {
        if (!g_onX) {
            return;
        }
        manager.DestroyWindows();
        if (x != nullptr) {
            XCloseDisplay(x);
        }
        VideoFixture::TearDown();
    }

    Display* x = nullptr;
    LayoutRecordBytes record{};
    LayoutRecordBytes synced{};
    XLayoutManager manager{nullptr, &record, &LayoutVideoWnd::Make};
};

TEST_F(PopOutStacking, StandsAboveTheRoomAsItsOwnTopLevelUntilDocked) {
    const auto room = static_cast<::Window>(mainWindow.winId());
    ASSERT_TRUE(Settles(x, [&](const auto& stack) { return Level(stack, room) >= 0; }));

    ILayoutVideoWnd* window = manager.GetLayoutWnd(2);
    QWidget* widget = window->GetWidget();
    manager.SetPopupStyle(window, true);
    ASSERT_TRUE(widget->isWindow());
    const auto tool = static_cast<::Window>(widget->winId());
    ASSERT_NE(tool, room);
    // A top-level of its own, mapped, above the room.
    EXPECT_TRUE(Settles(x,
                        [&](const auto& stack) {
                            XWindowAttributes attributes{};
                            return Level(stack, tool) > Level(stack, room) &&
                                   Level(stack, room) >= 0 &&
                                   XGetWindowAttributes(x, tool, &attributes) != 0 &&
                                   attributes.map_state == IsViewable;
                        }))
        << "tool " << Level(TopLevels(x), tool) << " room " << Level(TopLevels(x), room);
    // Owned by the room for a window manager to keep it there: transient for the room's X
    // window; a managed window, not one that bypasses the manager.
    ::Window owner = 0;
    ASSERT_NE(XGetTransientForHint(x, tool, &owner), 0);
    EXPECT_EQ(owner, room);
    XWindowAttributes attributes{};
    ASSERT_NE(XGetWindowAttributes(x, tool, &attributes), 0);
    EXPECT_EQ(attributes.override_redirect, False);

    // Raising the room: with no window manager nothing restacks the room's transients, so the
    // server puts the room above the pop-out (keeping the tool above its owner is the window
    // manager's work, on the hints checked above). The pop-out stays a top-level, owned.
    mainWindow.raise();
    EXPECT_TRUE(Settles(x,
                        [&](const auto& stack) {
                            return Level(stack, room) > Level(stack, tool) &&
                                   Level(stack, tool) >= 0;
                        }))
        << "tool " << Level(TopLevels(x), tool) << " room " << Level(TopLevels(x), room);
    owner = 0;
    EXPECT_NE(XGetTransientForHint(x, tool, &owner), 0);
    EXPECT_EQ(owner, room);

    // Docked again it is drawn inside the room: no longer a window of the screen's own.
    manager.SetPopupStyle(window, false);
    EXPECT_FALSE(widget->isWindow());
    EXPECT_TRUE(Settles(
        x, [&](const auto& stack) { return Level(stack, tool) < 0 && Level(stack, room) >= 0; }));
}

}  // namespace

// The widgets of this program go to an X server of its own; listing the tests needs none.
int main(int argc, char** argv) {
    road_e2e::XServer server;
    const bool listing = std::any_of(argv, argv + argc, [](const char* arg) {
        return std::string_view(arg).starts_with("--gtest_list_tests");
    });
    if (!listing && server.Start()) {
        qputenv("QT_QPA_PLATFORM", "xcb");
        qputenv("DISPLAY", server.DisplayName().toLatin1());
        g_onX = true;
    } else {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
