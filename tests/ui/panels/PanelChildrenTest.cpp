// The panels as the room makes and calls them through its child interfaces: the side of
// EnableAudioButton, the status bar's speak code reaching the strip, the tab finding its strip.

#include <QApplication>

#include <gtest/gtest.h>

#include "ConfigManger.h"
#include "PanelTestSupport.h"
#include "client/dialogs/panels/CDlgExpand.h"
#include "client/dialogs/panels/CDlgFullDockX.h"
#include "client/dialogs/panels/CDlgStatusBar.h"
#include "client/dialogs/panels/PanelChildren.h"

namespace panels_test {
namespace {

TEST(PanelChildren, TheRoomsCallsReachThePanels) {
    Room room;
    yav::room::RoomChildFactories make;
    yav::panels::InstallPanelFactories(make);
    ASSERT_TRUE(make.controlBar && make.statusBar && make.fullDock && make.expand &&
                make.voiceIncentive && make.netQualityEval);
    auto control = make.controlBar(&room.window);
    auto status = make.statusBar(&room.window);
    auto dock = make.fullDock(&room.window);
    auto tab = make.expand(&room.window);
    auto notice = make.voiceIncentive(&room.window);
    auto eval = make.netQualityEval();
    for (IRoomChild* child :
         {static_cast<IRoomChild*>(control.get()), static_cast<IRoomChild*>(status.get()),
          static_cast<IRoomChild*>(dock.get()), static_cast<IRoomChild*>(tab.get()),
          static_cast<IRoomChild*>(notice.get())}) {
        EXPECT_TRUE(child->IsWindow());
    }
    CDlgStatusBar* bar = nullptr;
    for (QWidget* child : room.window.findChildren<QWidget*>()) {
        if (auto* found = dynamic_cast<CDlgStatusBar*>(child)) {
            bar = found;
        }
    }
    ASSERT_NE(bar, nullptr);
    // Side 1 is the microphone, side 0 the speaker.
    status->EnableAudioButton(1, true);
    status->EnableAudioButton(0, false);
    EXPECT_TRUE(bar->Button(CDlgStatusBar::IDC_MIC).IsWindowEnabled());
    EXPECT_FALSE(bar->Button(CDlgStatusBar::IDC_SPEAKER).IsWindowEnabled());
    status->EnableAudioButton(1, false);
    EXPECT_FALSE(bar->Button(CDlgStatusBar::IDC_MIC).IsWindowEnabled());
    // The room places the bar in its client area; the separator strip follows on its top edge.
    status->MoveWindow(0, 600, 900, 44);
    EXPECT_EQ(bar->geometry(), QRect(0, 600, 900, 44));

    // The speak state reaches the strip's caption through the status bar.
    room.host.speakState = 2;
    status->OnSpeakStateChanged();
    CDlgFullDockX* strip = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (auto* found = dynamic_cast<CDlgFullDockX*>(top);
            found != nullptr && found->IsWindow()) {
            strip = found;
        }
    }
    ASSERT_NE(strip, nullptr);
    EXPECT_EQ(strip->Button(CDlgFullDockX::IDC_SPEAK).GetWindowText(), LoadLangString(2359));

    // The tab slides the strip the room made: showing it shows the strip.
    room.host.fullScreen = true;
    tab->ShowTab();
    EXPECT_TRUE(strip->IsWindowVisible());
    tab->QuitThread();
}

}  // namespace
}  // namespace panels_test
