// The room lays out its panes: the real control bar across the top, the real status bar
// across the bottom, the docked participant panel on the right, the videos in what is left;
// full screen leaves the whole room to the videos and brings up the strip; the voice-activation
// report reaches the notice.

#include <QApplication>
#include <QImage>

#include <cmath>
#include <thread>

#include "GrabChecks.h"
#include "RoomFixture.h"
#include "client/dialogs/panels/CDlgControlBar.h"
#include "client/dialogs/panels/CDlgFullDockX.h"
#include "client/dialogs/panels/CDlgStatusBar.h"
#include "client/dialogs/panels/CDlgVoiceIncentive.h"
#include "client/dialogs/panels/PanelChildren.h"
#include "client/dialogs/panels/PanelHost.h"
#include "client/dialogs/panels/PanelRules.h"
#include "components/KroMedia/IKroMedia.h"
#include "fakes/conference/FakeRoomMedia.h"
#include "ui/controls/ControlTestSupport.h"

namespace room_test {
namespace {

const QColor kVideoColour(0x10, 0x20, 0x30);
const QColor kPanelColour(0x20, 0xA0, 0x40);

// A plain window of one colour standing in for a pane the test places.
class ColourPane : public QWidget {
public:
    ColourPane(QWidget* parent, QColor colour) : QWidget(parent) {
        setAutoFillBackground(true);
        QPalette palette;
        palette.setColor(QPalette::Window, colour);
        setPalette(palette);
        hide();
    }
};

// The layout manager as the panes test needs it: the areas it is given, and one window
// filling the video area so that a grab shows where the videos stand.
class AreaLayoutManager : public fakes::FakeLayoutManager {
public:
    AreaLayoutManager(fakes::CallLog& log, QWidget* room)
        : FakeLayoutManager(log), videos(new ColourPane(room, kVideoColour)) {}
    void Relayout(bool repaint) override {
        FakeLayoutManager::Relayout(repaint);
        videos->setGeometry(areas[1]);
        videos->setVisible(!areas[1].isEmpty());
        videos->lower();
    }
    void DestroyWindows() override { delete videos.data(); }
    QPointer<ColourPane> videos;
};

// The participant panel (its own branch builds the real one) as a docked window of one colour.
class DockedUserList : public fakes::FakeUserList {
public:
    DockedUserList(fakes::CallLog& log, QWidget* room)
        : FakeUserList(log), pane(new ColourPane(room, kPanelColour)) {}
    void ShowDlg(int nCmdShow) override {
        FakeUserList::ShowDlg(nCmdShow);
        pane->setVisible(nCmdShow != SW_HIDE);
    }
    void MoveTo(const QRect& to) override {
        FakeUserList::MoveTo(to);
        pane->setGeometry(to);
    }
    void DestroyWindow() override {
        FakeUserList::DestroyWindow();
        delete pane.data();
    }
    QPointer<ColourPane> pane;
};

int Sized(int design) {
    return static_cast<int>(std::lround(design * g_fExchangePW));
}

class RoomPanes : public RoomFixture, public ::testing::WithParamInterface<double> {
protected:
    double Scale() const override { return GetParam(); }

    void SetUp() override {
        RoomFixture::SetUp();
        yav::room::RoomChildFactories& make = yav::room::Children();
        yav::panels::InstallPanelFactories(make);
        make.layoutManager = [this](QWidget* room) {
            auto manager = std::make_unique<AreaLayoutManager>(log, room);
            layout = manager.get();
            return manager;
        };
        make.userList = [this](QWidget* room) {
            auto panel = std::make_unique<DockedUserList>(log, room);
            docked = panel.get();
            return panel;
        };
    }

    void OpenAt(int w, int h) {
        Open();
        frame->MoveWindow(0, 0, w, h);
        ASSERT_EQ(frame->GetClientRect().size(), QSize(w, h));
    }

    // The four panes as the windows stand (empty for a hidden one).
    struct Placed {
        QRect control, status, side, video;
    };
    Placed Where() {
        Placed placed;
        auto* bar = Find<CDlgControlBar>();
        auto* status = Find<CDlgStatusBar>();
        EXPECT_NE(bar, nullptr);
        EXPECT_NE(status, nullptr);
        if (bar != nullptr && bar->isVisible()) {
            placed.control = bar->geometry();
        }
        if (status != nullptr && status->isVisible()) {
            placed.status = status->geometry();
        }
        if (docked->pane->isVisible()) {
            placed.side = docked->pane->geometry();
        }
        placed.video = layout->areas[1];
        return placed;
    }

    static void ExpectTiling(const Placed& placed, const QSize& client) {
        const QRect rects[] = {placed.control, placed.status, placed.side, placed.video};
        long area = 0;
        for (size_t i = 0; i < 4; ++i) {
            EXPECT_TRUE(QRect(QPoint(0, 0), client).contains(rects[i]) || rects[i].isEmpty());
            area += static_cast<long>(rects[i].width()) * rects[i].height();
            for (size_t j = i + 1; j < 4; ++j) {
                EXPECT_FALSE(rects[i].intersects(rects[j])) << i << " overlaps " << j;
            }
        }
        EXPECT_EQ(area, static_cast<long>(client.width()) * client.height());
    }

    AreaLayoutManager* layout = nullptr;
    DockedUserList* docked = nullptr;
};

TEST_P(RoomPanes, BarsPanelAndVideosTileTheRoom) {
    const int strip = Sized(70);
    const int title = Sized(44);
    const int sideWidth = Sized(320);
    const struct {
        int w, h;
        bool panel;
    } cases[] = {{1280, 800, true}, {1280, 800, false}, {1920, 1080, true}, {1920, 1080, false}};
    Open();
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " panel " << c.panel);
        frame->ShowSidePanel(c.panel);
        frame->MoveWindow(0, 0, c.w, c.h);
        const int side = c.panel ? sideWidth : 0;
        const Placed placed = Where();
        EXPECT_EQ(placed.control, QRect(0, 0, c.w, strip));
        EXPECT_EQ(placed.status, QRect(0, c.h - title, c.w - side, title));
        EXPECT_EQ(placed.side, c.panel ? QRect(c.w - side, strip, side, c.h - strip) : QRect());
        EXPECT_EQ(placed.video, QRect(0, strip, c.w - side, c.h - strip - title));
        ExpectTiling(placed, QSize(c.w, c.h));
        // The notice's centring reads the panel that is really beside the videos.
        EXPECT_EQ(GetPanelHost()->GetSidePanelWidth(), side);
    }
}

TEST_P(RoomPanes, FullScreenLeavesTheRoomToTheVideosAndBringsTheStrip) {
    OpenAt(1280, 800);
    frame->ShowSidePanel(true);
    frame->SendMessage(WM_COMMAND, 1282, 0);
    ASSERT_EQ(g_bFullScreen, 1);
    const QSize client = frame->GetClientRect().size();
    const Placed full = Where();
    EXPECT_TRUE(full.control.isEmpty());
    EXPECT_TRUE(full.status.isEmpty());
    EXPECT_TRUE(full.side.isEmpty());
    EXPECT_EQ(full.video, QRect(QPoint(0, 0), client));
    // The strip is a window of its own.
    CDlgFullDockX* strip = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* found = dynamic_cast<CDlgFullDockX*>(window); found != nullptr) {
            strip = found;
        }
    }
    ASSERT_NE(strip, nullptr);
    EXPECT_TRUE(strip->isVisible());
    EXPECT_EQ(strip->size(), QSize(yav::Scaled(448), yav::Scaled(60)));

    // The strip's exit: the bars and the panel come back around the videos.
    strip->OnBtnExit();
    EXPECT_EQ(g_bFullScreen, 0);
    frame->MoveWindow(0, 0, 1280, 800);
    const Placed back = Where();
    EXPECT_EQ(back.control, QRect(0, 0, 1280, Sized(70)));
    EXPECT_EQ(back.side.width(), Sized(320));
    ExpectTiling(back, QSize(1280, 800));
}

TEST_P(RoomPanes, TheControlBarsFullScreenButtonTogglesTheRoomsPanes) {
    OpenAt(1280, 800);
    frame->ShowSidePanel(true);
    auto* bar = Find<CDlgControlBar>();
    ASSERT_NE(bar, nullptr);
    bar->SendMessage(WM_COMMAND, CDlgControlBar::IDC_FULLSCREEN, 0);
    // The bar posts the command to the room.
    ASSERT_TRUE(yav::testing::WaitUntil([] { return g_bFullScreen == 1; }, 2000));
    EXPECT_TRUE(Where().control.isEmpty());
    EXPECT_EQ(Where().video, frame->GetClientRect());
    // The room's full-screen command again brings the panes back.
    frame->SendMessage(WM_COMMAND, 1282, 0);
    EXPECT_EQ(g_bFullScreen, 0);
    frame->MoveWindow(0, 0, 1280, 800);
    ExpectTiling(Where(), QSize(1280, 800));
    EXPECT_FALSE(Where().control.isEmpty());
    EXPECT_FALSE(Where().side.isEmpty());
}

TEST_P(RoomPanes, ARoomThatStartsWithHiddenPanelsKeepsItsBarsHidden) {
    g_AppSettings.byOption14 = 1;
    Open();
    ASSERT_EQ(g_bFullScreen, 1);
    // The start of the room's work must not bring the bars back over the videos.
    const Placed placed = Where();
    EXPECT_TRUE(placed.control.isEmpty());
    EXPECT_TRUE(placed.status.isEmpty());
    EXPECT_TRUE(placed.side.isEmpty());
    EXPECT_EQ(placed.video, frame->GetClientRect());
}

TEST_P(RoomPanes, TheStripFloatsThePanelOutAndTheExitDocksItBeside) {
    OpenAt(1280, 800);
    frame->ShowSidePanel(true);
    frame->SendMessage(WM_COMMAND, 1282, 0);
    CDlgFullDockX* strip = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* found = dynamic_cast<CDlgFullDockX*>(window); found != nullptr) {
            strip = found;
        }
    }
    ASSERT_NE(strip, nullptr);
    strip->OnBtnMembers();
    EXPECT_TRUE(docked->floating);
    EXPECT_TRUE(docked->visible);
    // The strip's place on the monitor, in screen coordinates once the panel floats.
    EXPECT_EQ(docked->rect, yav::panels::FloatPanelRect(GetPanelHost()->GetMonitorRect()));
    // A second press hides the floating panel.
    strip->OnBtnMembers();
    EXPECT_FALSE(docked->visible);

    strip->OnBtnExit();
    EXPECT_FALSE(docked->floating);
    EXPECT_TRUE(docked->visible);
    frame->MoveWindow(0, 0, 1280, 800);
    const int strip70 = Sized(70);
    EXPECT_EQ(Where().side, QRect(1280 - Sized(320), strip70, Sized(320), 800 - strip70));
}

TEST_P(RoomPanes, TheGrabShowsEachBarInItsRow) {
    OpenAt(1280, 800);
    frame->ShowSidePanel(true);
    const QImage picture = frame->grab().toImage();
    ASSERT_EQ(picture.size(), QSize(1280, 800));
    const int strip = Sized(70);
    const int title = Sized(44);
    const int side = Sized(320);
    // The control bar's dark band right across the top, its light band below it.
    for (const int x : {2, 640, 1277}) {
        EXPECT_EQ(picture.pixelColor(x, 2), QColor(0x33, 0x33, 0x33)) << x;
    }
    EXPECT_EQ(picture.pixelColor(2, strip - 3), QColor(0xDD, 0xDD, 0xDD));
    // The status bar's panel colour along the bottom, left of the participant panel.
    EXPECT_EQ(picture.pixelColor(2, 800 - title / 2), QColor(0xDD, 0xDD, 0xDD));
    for (const int x : {2, (1280 - side) / 2, 1280 - side - 2}) {
        EXPECT_EQ(picture.pixelColor(x, 800 - 1), QColor(0xDD, 0xDD, 0xDD)) << x;
    }
    EXPECT_EQ(picture.pixelColor(1280 - side / 2, 800 - 2), kPanelColour);
    EXPECT_EQ(picture.pixelColor(1280 - side / 2, strip + 2), kPanelColour);
    // The videos between the bars.
    EXPECT_EQ(picture.pixelColor(2, strip + 2), kVideoColour);
    EXPECT_EQ(picture.pixelColor(1280 - side - 3, 800 - title - 3), kVideoColour);
    controls_test::SaveGrab(*frame, Name("room_panes", GetParam()));
}

TEST_P(RoomPanes, TheMediaComponentsVoiceReportReachesTheNotice) {
    OpenAt(1280, 800);
    auto* notice = Find<CDlgVoiceIncentive>();
    ASSERT_NE(notice, nullptr);
    // The component posts from its own thread to the target the room gave the media manager.
    kromedia::INotifyTarget* target = frame->GetMediaNotifyTarget();
    ASSERT_NE(target, nullptr);
    std::thread component(
        [target] { target->PostMessage(kromedia::kMsgVoiceIncentive, kMyId + 3, 0); });
    component.join();
    EXPECT_TRUE(yav::testing::WaitUntil([notice] { return notice->isVisible(); }, 2000));
    EXPECT_EQ(notice->GetMediaId(), kMyId + 3);
}

TEST_P(RoomPanes, TheNoticeFollowsTheRoomWhenItMoves) {
    OpenAt(1280, 800);
    auto* notice = Find<CDlgVoiceIncentive>();
    ASSERT_NE(notice, nullptr);
    frame->SendMessage(WM_VOICE_INCENTIVE, kMyId + 1, 0);
    ASSERT_TRUE(notice->isVisible());
    const QPoint before = notice->GetWindowRect().topLeft();
    frame->move(frame->pos() + QPoint(40, 30));
    EXPECT_TRUE(yav::testing::WaitUntil(
        [&] { return notice->GetWindowRect().topLeft() == before + QPoint(40, 30); }, 2000))
        << notice->GetWindowRect().x() << "," << notice->GetWindowRect().y();
}

TEST_P(RoomPanes, TheVoiceReportShowsTheNoticeCentredOverTheVideos) {
    const struct {
        bool panel;
        int sideWidth;
    } cases[] = {{true, 320}, {false, 0}};
    OpenAt(1280, 800);
    auto* notice = Find<CDlgVoiceIncentive>();
    ASSERT_NE(notice, nullptr);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.panel);
        frame->ShowSidePanel(c.panel);
        notice->HideNotice();
        const int mediaId = c.panel ? kMyId + 1 : kMyId + 2;
        frame->SendMessage(WM_VOICE_INCENTIVE, static_cast<WPARAM>(mediaId), 0);
        EXPECT_TRUE(notice->isVisible());
        EXPECT_EQ(notice->GetMediaId(), mediaId);
        EXPECT_EQ(notice->GetMode(), 1);
        const QRect room = frame->frameGeometry();
        const int side = c.sideWidth == 0 ? 0 : Sized(c.sideWidth);
        EXPECT_EQ(notice->GetWindowRect().left(),
                  room.left() + (room.width() - side - yav::Scaled(320)) / 2);
    }
}

INSTANTIATE_TEST_SUITE_P(Scales, RoomPanes, ::testing::Values(1.0, 1.5));

TEST(RoomPaneArrangement, SmallRoomsGiveNoNegativePane) {
    const struct {
        QSize client;
        bool hidden;
        bool side;
        CYavClientDlg::PaneRects want;
    } cases[] = {
        // The bars keep their heights; the videos take the rest.
        {{800, 600},
         false,
         true,
         {{0, 0, 800, 70}, {0, 556, 480, 44}, {480, 70, 320, 530}, {0, 70, 480, 486}}},
        // Narrower than the panel: the panel takes it all, the videos nothing.
        {{300, 100},
         false,
         true,
         {{0, 0, 300, 70}, {0, 70, 0, 30}, {0, 70, 300, 30}, {0, 70, 0, 0}}},
        // Lower than both bars: the control bar first.
        {{640, 50}, false, false, {{0, 0, 640, 50}, {0, 50, 640, 0}, {}, {0, 50, 640, 0}}},
        // Hidden panes: everything for the videos.
        {{640, 480}, true, true, {{}, {}, {}, {0, 0, 640, 480}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.client.width() << "x" << c.client.height());
        const CYavClientDlg::PaneRects got =
            CYavClientDlg::ArrangePanes(c.client, 70, 44, 320, c.hidden, c.side);
        EXPECT_EQ(got.controlBar, c.want.controlBar);
        EXPECT_EQ(got.statusBar, c.want.statusBar);
        EXPECT_EQ(got.sidePanel, c.want.sidePanel);
        EXPECT_EQ(got.video, c.want.video);
        for (const QRect& r : {got.controlBar, got.statusBar, got.sidePanel, got.video}) {
            EXPECT_GE(r.width(), 0);
            EXPECT_GE(r.height(), 0);
        }
    }
}

}  // namespace
}  // namespace room_test
