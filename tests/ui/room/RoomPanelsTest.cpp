// The room with its real panels: the main frame answers the panels as their host, the bars
// show the conference, and the room's calls reach the panels.

#include <QApplication>

#include <gtest/gtest.h>

#include "RoomFixture.h"
#include "client/dialogs/panels/CDlgControlBar.h"
#include "client/dialogs/panels/CDlgStatusBar.h"
#include "client/dialogs/panels/PanelChildren.h"
#include "client/dialogs/panels/PanelHost.h"

namespace room_test {
namespace {

class RoomPanels : public RoomFixture {
protected:
    void SetUp() override {
        RoomFixture::SetUp();
        yav::panels::InstallPanelFactories(yav::room::Children());
    }
    template <class Panel>
    Panel* Find() {
        for (QWidget* child : frame->findChildren<QWidget*>()) {
            if (auto* found = dynamic_cast<Panel*>(child)) {
                return found;
            }
        }
        return nullptr;
    }
};

TEST_F(RoomPanels, TheMainFrameAnswersThePanels) {
    g_AppSettings.ProbePort = 18000;
    Open();
    IPanelHost* host = GetPanelHost();
    ASSERT_NE(host, nullptr);
    EXPECT_EQ(host->GetRoomWindow(), frame.get());
    // The probe goes to the record's address on the configured port.
    EXPECT_EQ(host->CopyServerName(), "10.0.0.5");
    EXPECT_EQ(host->GetProbePort(), 18000);

    auto* bar = Find<CDlgControlBar>();
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->Label(CDlgControlBar::IDC_TITLE)
                    .GetWindowText()
                    .endsWith(QStringLiteral("-Demo(ID:%1)").arg(kConfId)));
    EXPECT_TRUE(bar->IsTimerSet(CDlgControlBar::kDurationTimer));
    auto* status = Find<CDlgStatusBar>();
    ASSERT_NE(status, nullptr);
    EXPECT_TRUE(status->IsTimerSet(CDlgStatusBar::kAudioPollTimer));
    ASSERT_NE(frame->GetNetQualityEval(), nullptr);
}

TEST_F(RoomPanels, TheFrameLeavesNoHostBehind) {
    Open();
    ASSERT_NE(GetPanelHost(), nullptr);
    frame->SetExitFlag(1);
    frame->SendMessage(WM_CLOSE_ROOM, 0, 0);
    frame.reset();
    g_pMainFrame = nullptr;
    EXPECT_EQ(GetPanelHost(), nullptr);
}

}  // namespace
}  // namespace room_test
