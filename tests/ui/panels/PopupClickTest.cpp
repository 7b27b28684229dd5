// The items of the layered pop-ups and the full-screen strip clicked as a user clicks them:
// a press and release over the item, found by its control id, reaches the pop-up's command and
// its effect (a command at the room window, a room action, a pop-up opening or closing). The
// strip and its pop-ups on a screen without compositing: opaque, captions readable.

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "PanelTestSupport.h"
#include "client/dialogs/panels/CDlgConfLayout.h"
#include "client/dialogs/panels/CDlgExpand.h"
#include "client/dialogs/panels/CDlgFullDockX.h"
#include "client/dialogs/panels/CDlgPopMore.h"
#include "client/dialogs/panels/CDlgPopShare.h"
#include "platform/window/Compositing.h"
#include "platform/window/Scaled.h"

namespace panels_test {
namespace {

// A left click in the middle of the control of that id inside the pop-up.
void Click(QWidget* popup, int id) {
    QWidget* item = yav::FindControl(popup, id);
    ASSERT_NE(item, nullptr) << id;
    ASSERT_TRUE(item->isVisible()) << id;
    QTest::mouseClick(item, Qt::LeftButton, {}, item->rect().center());
    // Posted commands reach the room once the events have run.
    QApplication::processEvents();
}

class PopupClickTest : public ::testing::Test {
protected:
    void SetUp() override {
        room.host.fullScreen = true;
        room.host.presenterRole = true;
        // Recording is open to this participant, the administrator role is not.
        room.host.flagBit2 = true;
        strip.SetBackgroundImage(436, 0);
        ASSERT_TRUE(strip.Create(CDlgFullDockX::IDD, nullptr));
        tab.SetBackgroundImage(1102, 0);
        ASSERT_TRUE(tab.Create(CDlgExpand::IDD, nullptr));
        tab.SetStrip(&strip);
        strip.SetExpand(&tab);
        picker.SetBackgroundImage(482, 0);
        ASSERT_TRUE(picker.Create(CDlgConfLayout::IDD, &room.window));
        picker.MoveWindow(100, 80, 109, 165);
    }
    void TearDown() override { yav::SetTranslucencyOverride(-1); }

    Room room;
    CDlgFullDockX strip;
    CDlgExpand tab;
    CDlgConfLayout picker{&room.window};
};

TEST_F(PopupClickTest, EachKindOfItemActsOnAClick) {
    struct Case {
        const char* name;
        // Opens what the user sees and returns the pop-up holding the item.
        std::function<QWidget*()> open;
        int id;
        std::function<void()> check;
    };
    const Case cases[] = {
        {"video layouts: four windows",
         [&]() -> QWidget* {
             picker.ShowWindow(SW_SHOW);
             Click(&picker, CDlgConfLayout::IDC_VIDEO);
             return picker.VideoLayouts();
         },
         CDlgLayout::IDC_FOUR,
         [&] {
             EXPECT_EQ(room.Commands(), std::vector<int>{32857});
             EXPECT_FALSE(picker.VideoLayouts()->IsWindowVisible());
             EXPECT_FALSE(picker.IsWindowVisible());
         }},
        {"conference layout: data",
         [&]() -> QWidget* {
             picker.ShowWindow(SW_SHOW);
             return &picker;
         },
         CDlgConfLayout::IDC_DATA,
         [&] {
             EXPECT_EQ(room.log.Calls(), std::vector<std::string>{"SetShareLayout(1)"});
             EXPECT_FALSE(picker.IsWindowVisible());
         }},
        {"more: recording",
         [&]() -> QWidget* {
             Click(&strip, CDlgFullDockX::IDC_MORE);
             return strip.MorePopup();
         },
         CDlgPopMore::IDC_RECORD,
         [&] {
             EXPECT_EQ(room.Commands(), std::vector<int>{32783});
             EXPECT_FALSE(strip.MorePopup()->IsWindowVisible());
         }},
        {"meeting management: apply for the administrator",
         [&]() -> QWidget* {
             Click(&strip, CDlgFullDockX::IDC_MORE);
             Click(strip.MorePopup(), CDlgPopMore::IDC_MEETING);
             return strip.MorePopup()->MeetingPopup();
         },
         CDlgPopMeetMng::IDC_ADMIN,
         [&] { EXPECT_EQ(room.log.Calls(), std::vector<std::string>{"ApplyAdmin()"}); }},
        {"share: the screen",
         [&]() -> QWidget* {
             Click(&strip, CDlgFullDockX::IDC_SHARE);
             return strip.SharePopup();
         },
         CDlgPopShare::IDC_SCREEN,
         [&] { EXPECT_EQ(room.log.Calls(), std::vector<std::string>{"ShareDesktop()"}); }},
        {"strip: exit",
         [&]() -> QWidget* {
             strip.ShowBarForced();
             return &strip;
         },
         CDlgFullDockX::IDC_EXIT,
         [&] {
             EXPECT_EQ(room.log.Calls(),
                       (std::vector<std::string>{"LeaveFullScreen()", "ShowToolBoxForDocument()"}));
         }},
        {"tab: expand",
         [&]() -> QWidget* {
             tab.ShowTab();
             tab.OnBtnCollapse();
             EXPECT_FALSE(strip.IsWindowVisible());
             return &tab;
         },
         CDlgExpand::IDC_EXPAND,
         [&] {
             EXPECT_TRUE(strip.IsWindowVisible());
             EXPECT_EQ(tab.GetTabState(), 2);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        room.host.fullScreen = true;
        strip.ShowBarForced();
        QWidget* popup = c.open();
        ASSERT_NE(popup, nullptr);
        ASSERT_TRUE(popup->isVisible());
        room.window.received.clear();
        room.log.Clear();
        Click(popup, c.id);
        c.check();
        for (CYavDialogEx* open :
             {static_cast<CYavDialogEx*>(&picker), static_cast<CYavDialogEx*>(strip.MorePopup()),
              static_cast<CYavDialogEx*>(strip.SharePopup())}) {
            open->ShowWindow(SW_HIDE);
        }
    }
}

TEST_F(PopupClickTest, ADisabledItemOrAPressLetGoOutsideDoesNothing) {
    room.host.presenterRole = false;
    strip.UpdateButtons();
    strip.ShowBarForced();
    Click(&strip, CDlgFullDockX::IDC_SHARE);
    CDlgPopShare* share = strip.SharePopup();
    ASSERT_TRUE(share->IsWindowVisible());
    room.log.Clear();
    QWidget* screen = yav::FindControl(share, CDlgPopShare::IDC_SCREEN);
    ASSERT_FALSE(screen->isEnabled());
    QTest::mouseClick(screen, Qt::LeftButton, {}, screen->rect().center());
    QWidget* disk = yav::FindControl(share, CDlgPopShare::IDC_DISK);
    QTest::mousePress(disk, Qt::LeftButton, {}, disk->rect().center());
    QTest::mouseRelease(disk, Qt::LeftButton, {}, disk->rect().bottomRight() + QPoint(5, 30));
    QApplication::processEvents();
    EXPECT_TRUE(room.log.Calls().empty());
    Click(share, CDlgPopShare::IDC_DISK);
    EXPECT_EQ(room.log.Calls(), std::vector<std::string>{"ShowFileList()"});
}

class OpaqueStrip : public PopupClickTest, public ::testing::WithParamInterface<double> {};

// Without a compositing manager a top-level window's alpha is lost on the screen: the strip,
// its tab and pop-ups then paint every pixel themselves, on their skin's colour.
TEST_P(OpaqueStrip, WithoutCompositingEveryPixelIsOpaqueAndTheCaptionsStandOut) {
    ScaleGuard scale(GetParam());
    CDlgFullDockX scaled;
    scaled.SetBackgroundImage(436, 0);
    ASSERT_TRUE(scaled.Create(CDlgFullDockX::IDD, nullptr));
    room.host.screenShare = 0;
    for (int composes : {1, 0}) {
        yav::SetTranslucencyOverride(composes);
        scaled.ShowBarForced();
        scaled.OnBtnShare();
        struct Shown {
            const char* name;
            CYavDialogEx* window;
        } shown[] = {{"strip", &scaled}, {"share", scaled.SharePopup()}};
        for (const Shown& s : shown) {
            SCOPED_TRACE(std::string(s.name) + (composes != 0 ? " composed" : " opaque"));
            const QImage picture =
                SaveGrab(*s.window,
                         (std::string(s.name) + (composes != 0 ? "_composed" : "_opaque")).c_str())
                    .convertToFormat(QImage::Format_ARGB32);
            ASSERT_EQ(picture.size(), s.window->size());
            int seeThrough = 0;
            for (int y = 0; y < picture.height(); ++y) {
                for (int x = 0; x < picture.width(); ++x) {
                    seeThrough += qAlpha(picture.pixel(x, y)) < 255 ? 1 : 0;
                }
            }
            if (composes != 0) {
                EXPECT_GT(seeThrough, 0) << "the rounded corners stay see-through";
            } else {
                EXPECT_EQ(seeThrough, 0);
                EXPECT_EQ(picture.pixelColor(0, 0), s.window->GetOpaqueBackdrop());
            }
        }
        // The captions under the strip's icons and the share entries: dark text on the light
        // skin, many pixels darker than the background in each caption's band.
        const QImage bar = scaled.grab().toImage();
        for (int id :
             {CDlgFullDockX::IDC_CHAT, CDlgFullDockX::IDC_MEMBERS, CDlgFullDockX::IDC_SPEAK}) {
            const QRect button = scaled.Button(id).geometry();
            const QRect band(button.left(), button.top() + yav::Scaled(33), button.width(),
                             yav::Scaled(15));
            const QColor paper = bar.pixelColor(band.left() + 1, band.top());
            EXPECT_GT(paper.lightness(), 200) << id;
            EXPECT_GT(PixelsNot(bar, band, paper), 15) << id;
            int dark = 0;
            for (int y = band.top(); y <= band.bottom(); ++y) {
                for (int x = band.left(); x <= band.right(); ++x) {
                    dark += bar.pixelColor(x, y).lightness() < 110 ? 1 : 0;
                }
            }
            EXPECT_GT(dark, 5) << id;
        }
        scaled.SharePopup()->ShowWindow(SW_HIDE);
    }
}

INSTANTIATE_TEST_SUITE_P(Scales, OpaqueStrip, ::testing::Values(1.0, 1.5));

}  // namespace
}  // namespace panels_test
