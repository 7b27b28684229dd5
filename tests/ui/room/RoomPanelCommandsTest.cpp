// Room commands that the real control bar and status bar give, and what they reach: a layout
// choice while a document layout is pending switches to the room's own layout (the tree's
// preview closes), desktop sharing is refused while a remote control runs, a channel that starts
// broadcasting closes the preview showing it, and the room loads its panes' texts as it opens.

#include <QApplication>
#include <QTest>

#include "RoomHandlersFixture.h"
#include "client/conference/UserCommandPayloads.h"
#include "client/dialogs/panels/CDlgConfLayout.h"
#include "client/dialogs/panels/CDlgControlBar.h"
#include "client/dialogs/panels/CDlgStatusBar.h"
#include "client/dialogs/panels/PanelChildren.h"
#include "client/ui/CButtonCheck.h"
#include "client/ui/CDlgPopMsg.h"
#include "client/ui/CDlgPopSwitch.h"

namespace room_test {
namespace {

using yav::testing::ModalAnswer;
using yav::testing::TimerDriver;
using yav::testing::WaitUntil;
namespace usercmd = yav::usercmd;

class FakeScreenShareSet : public fakes::FakeChild<IScreenShareSet> {
public:
    explicit FakeScreenShareSet(fakes::CallLog& log) : FakeChild(log, "ScreenShareSet") {}
    void SetSourceButtons(bool, bool) override {}
    int GetSourceMatchFlag() const override { return 0; }
};

// The participant handlers' room with the real control bar and status bar, the tree's preview
// window and the screen-share settings window.
class RoomPanelCommands : public RoomHandlers {
protected:
    void InstallMore(yav::room::RoomChildFactories& make) override {
        yav::room::RoomChildFactories panels;
        yav::panels::InstallPanelFactories(panels);
        make.controlBar = panels.controlBar;
        make.statusBar = panels.statusBar;
        make.ownVideo = [this](QWidget*) {
            auto child = std::make_unique<FakeOwnVideo>(log);
            preview = child.get();
            return child;
        };
        make.screenShareSet = [this](QWidget*) {
            return std::make_unique<FakeScreenShareSet>(log);
        };
    }

    void Pump(ST_CS_MSG message) {
        fake.queue.Push(std::move(message));
        ASSERT_TRUE(TimerDriver::Fire(*frame, CYavClientDlg::TIMER_RECV_DATA));
    }
    // The server makes me presenter: my records first, then the queued change.
    void BecomePresenter() {
        fake.users.AddUser(kMyId, u"me").presenterState = 2;
        fake.loginInfo.presenterState = 2;
        ST_CS_MSG message;
        message.type = CS_MSG_LEADING_STATUS;
        message.payload = CsLeadingStatus{kMyId, 2, 0};
        Pump(std::move(message));
        ASSERT_TRUE(frame->IsMyRoleState2());
    }
    static void Click(QWidget* control) {
        ASSERT_NE(control, nullptr);
        ASSERT_TRUE(control->isVisible()) << control->metaObject()->className();
        ASSERT_TRUE(control->isEnabled()) << control->metaObject()->className();
        QTest::mouseClick(control, Qt::LeftButton, {}, control->rect().center());
    }
    template <class Bar>
    Bar* Panel() {
        auto* bar = Find<Bar>();
        EXPECT_NE(bar, nullptr);
        if (bar != nullptr) {
            TimerDriver::Fire(*bar, Bar::kCreatePopupsTimer);
        }
        return bar;
    }

    FakeOwnVideo* preview = nullptr;
};

TEST_F(RoomPanelCommands, ALayoutChoiceWithADocumentLayoutPendingTakesTheRoomsOwnLayout) {
    const struct {
        std::uint8_t pending;
        int item;
        std::uint8_t mode;
        bool ownLayout;
    } cases[] = {{1, CDlgLayout::IDC_FOUR, 3, true}, {0, CDlgLayout::IDC_NINE, 4, false}};
    // The room's own reception, as production wires it.
    frame->SetVideoReception(frame.get());
    BecomePresenter();
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.pending));
        g_AppSettings.freeLayout = 0;
        g_AppSettings.byDocLayoutMode = c.pending;
        preview->window.userId = kOther + 1;
        log.Clear();
        auto* bar = Panel<CDlgControlBar>();
        ASSERT_NE(bar, nullptr);
        Click(yav::FindControl(bar, CDlgControlBar::IDC_CONF_LAYOUT));
        CDlgConfLayout* picker = bar->ConfLayout();
        ASSERT_NE(picker, nullptr);
        Click(yav::FindControl(picker, CDlgConfLayout::IDC_VIDEO));
        ASSERT_NE(picker->VideoLayouts(), nullptr);
        Click(yav::FindControl(picker->VideoLayouts(), c.item));
        ASSERT_TRUE(WaitUntil([this, &c] { return frame->GetLayoutBytes().layoutMode == c.mode; }));
        EXPECT_EQ(g_AppSettings.freeLayout, c.ownLayout ? 1 : 0);
        // The tree's preview closes with the switch to the room's own layout.
        EXPECT_EQ(log.Count("UserList.ToggleUserPreview(25)"), c.ownLayout ? 1u : 0u);
    }
}

TEST_F(RoomPanelCommands, DesktopSharingIsRefusedWhileARemoteControlRuns) {
    const struct {
        const char* name;
        bool controlling;
    } cases[] = {{"no remote control", false}, {"controlling bob's screen", true}};
    BecomePresenter();
    fake.users.AddUser(kOther, u"bob");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.controlling) {
            frame->SendControlRequest(kOther, 1);
            ST_CS_MSG accepted;
            accepted.type = CS_MSG_TRANSMIT;
            accepted.payload =
                CsTransmit{kMyId, kOther, SUBCOMMAND_RESPONSTCONTROL,
                           usercmd::Encode(usercmd::ControlResponse{1, kOther, 0x77})};
            Pump(std::move(accepted));
            ASSERT_EQ(frame->GetRemoteControlState(), 1);
        }
        log.Clear();
        QString refusal;
        ModalAnswer answer([&refusal](yav::Dialog& dialog) {
            if (auto* box = dynamic_cast<CDlgPopMsg*>(&dialog)) {
                refusal = box->GetMessageLabel().GetWindowText();
            }
            dialog.EndDialog(IDOK);
        });
        auto* bar = Panel<CDlgStatusBar>();
        ASSERT_NE(bar, nullptr);
        Click(yav::FindControl(bar, CDlgStatusBar::IDC_SHARE));
        ASSERT_NE(bar->ShareMenu(), nullptr);
        Click(bar->ShareMenu()->GetButton(32837));
        if (c.controlling) {
            ASSERT_TRUE(WaitUntil([&answer] { return answer.Answered(); }));
            EXPECT_EQ(refusal, LoadLangString(5708));
            EXPECT_EQ(log.Count("ScreenShareSet.ShowWindow"), 0u);
        } else {
            ASSERT_TRUE(
                WaitUntil([this] { return log.Count("ScreenShareSet.ShowWindow(5)") == 1; }));
            EXPECT_FALSE(answer.Answered());
        }
    }
}

TEST_F(RoomPanelCommands, AChannelThatStartsBroadcastingLeavesTheTreesPreview) {
    frame->SetVideoReception(frame.get());
    fake.users.AddUser(kOther, u"bob", 0b11);
    const struct {
        std::uint16_t shown;
        std::uint16_t broadcast;
        size_t toggled;
    } cases[] = {{kOther + 1, kOther + 1, 1}, {kOther + 1, kOther, 0}};
    for (const auto& c : cases) {
        log.Clear();
        preview->window.userId = c.shown;
        ST_CS_MSG started;
        started.type = CS_MSG_BROADCAST_VIDEO;
        started.payload = CsBroadcastVideo{c.broadcast, 0, 1, 9};
        Pump(std::move(started));
        EXPECT_EQ(log.Count(fakes::Call("UserList.ToggleUserPreview", c.shown)), c.toggled)
            << c.broadcast;
    }
}

class RoomTexts : public RoomFixture {};

TEST_F(RoomTexts, OpeningTheRoomLoadsItsTitleAndEveryPanesTexts) {
    Open();
    for (const char* pane : {"ControlBar", "UserList", "StatusBar", "FullDock"}) {
        EXPECT_EQ(log.Count(std::string(pane) + ".ReloadTexts()"), 1u) << pane;
    }
    EXPECT_EQ(frame->windowTitle(), g_ConfigManager.GetString(1));
}

}  // namespace
}  // namespace room_test
