// The room with its real panels in and out of full screen, driven by clicks and keys: the
// control bar's button enters it, the strip's exit button and Esc leave it; the status bar's
// separator strip only lies along the shown bar; nothing paints outside a paint event.

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

#include "RoomFixture.h"
#include "client/dialogs/panels/CDlgControlBar.h"
#include "client/dialogs/panels/CDlgExpand.h"
#include "client/dialogs/panels/CDlgFullDockX.h"
#include "client/dialogs/panels/CDlgStatusBar.h"
#include "client/dialogs/panels/PanelChildren.h"
#include "fakes/ui/QtWarningTrap.h"
#include "platform/window/WindowStyles.h"

namespace room_test {
namespace {

using yav::testing::TimerDriver;
using yav::testing::WaitUntil;

template <class Window>
Window* TopLevel() {
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (auto* found = dynamic_cast<Window*>(top)) {
            return found;
        }
    }
    return nullptr;
}

class RoomFullScreen : public RoomFixture {
protected:
    // Qt's word for a painter used outside a paint event or on nothing, from the room's start.
    ui_test::QtWarningTrap painterOutsidePaint{"Painter must be active"};

    void SetUp() override {
        RoomFixture::SetUp();
        yav::panels::InstallPanelFactories(yav::room::Children());
        Open();
        bar = Find<CDlgControlBar>();
        status = Find<CDlgStatusBar>();
        strip = TopLevel<CDlgFullDockX>();
        tab = TopLevel<CDlgExpand>();
        ASSERT_NE(bar, nullptr);
        ASSERT_NE(status, nullptr);
        ASSERT_NE(strip, nullptr);
        ASSERT_NE(tab, nullptr);
        // The status bar's pop-ups, the separator strip among them, come 2 s after it starts.
        ASSERT_TRUE(TimerDriver::Fire(*status, CDlgStatusBar::kCreatePopupsTimer));
        ASSERT_NE(status->SeparatorStrip(), nullptr);
    }

    // The control bar's full-screen button, clicked.
    void EnterByButton() {
        CYavPngButton& button = bar->Button(CDlgControlBar::IDC_FULLSCREEN);
        ASSERT_TRUE(button.isVisible());
        QTest::mouseClick(&button, Qt::LeftButton, {}, button.rect().center());
        ASSERT_TRUE(WaitUntil([] {
            QApplication::processEvents();
            return g_bFullScreen != 0;
        }));
        ASSERT_TRUE(frame->isFullScreen());
    }

    // Out of full screen: the bars back, the separator along the status bar, the strip gone.
    void ExpectNormalRoom() {
        EXPECT_EQ(g_bFullScreen, 0);
        EXPECT_FALSE(frame->isFullScreen());
        EXPECT_TRUE(status->isVisible());
        EXPECT_TRUE(status->SeparatorStrip()->isVisible());
        EXPECT_TRUE(WaitUntil([this] {
            QApplication::processEvents();
            return !strip->isVisible() && !tab->isVisible();
        }));
    }

    CDlgControlBar* bar = nullptr;
    CDlgStatusBar* status = nullptr;
    CDlgFullDockX* strip = nullptr;
    CDlgExpand* tab = nullptr;
};

TEST_F(RoomFullScreen, TheStripsExitButtonAndEscLeaveFullScreen) {
    EXPECT_TRUE(status->SeparatorStrip()->isVisible());
    struct Way {
        const char* name;
        std::function<void()> leave;
    } ways[] = {
        {"exit button",
         [this] {
             CButtonCheck& exit = strip->Button(CDlgFullDockX::IDC_EXIT);
             ASSERT_TRUE(exit.isVisible());
             QTest::mouseClick(&exit, Qt::LeftButton, {}, exit.rect().center());
         }},
        {"Esc in the room", [this] { QTest::keyClick(frame.get(), Qt::Key_Escape); }},
        {"Esc on the strip", [this] { QTest::keyClick(strip, Qt::Key_Escape); }},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        EnterByButton();
        // Full screen: the strip and its tab are out and owned by the room; the status bar and
        // its separator are gone from the videos.
        EXPECT_TRUE(strip->isVisible());
        EXPECT_TRUE(tab->isVisible());
        EXPECT_EQ(yav::GetOwnerWindow(strip), frame.get());
        EXPECT_EQ(yav::GetOwnerWindow(tab), frame.get());
        EXPECT_FALSE(status->isVisible());
        EXPECT_FALSE(status->SeparatorStrip()->isVisible());
        way.leave();
        QApplication::processEvents();
        ExpectNormalRoom();
    }
    // Outside full screen the room swallows Esc: it neither closes nor changes.
    QTest::keyClick(frame.get(), Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(g_bFullScreen, 0);
    EXPECT_TRUE(painterOutsidePaint.Caught().empty()) << painterOutsidePaint.Caught().front();
}

}  // namespace
}  // namespace room_test
