// The full-screen strip, its slide tab, the share pop-up and the voice-activation notice:
// the strip's button table and exit branches, the floating panel's cap, board commands,
// paced slide sequences, hover zones on a monitor away from the origin, the notice's modes
// and times; grabs at both scales.

#include <QApplication>

#include <gtest/gtest.h>

#include <thread>

#include "ConfigManger.h"
#include "PanelTestSupport.h"
#include "client/dialogs/panels/CDlgExpand.h"
#include "client/dialogs/panels/CDlgFullDockX.h"
#include "client/dialogs/panels/CDlgVoiceIncentive.h"
#include "client/dialogs/panels/PanelRules.h"
#include "fakes/conference/LogCapture.h"
#include "platform/window/Scaled.h"
#include "platform/window/testing/WindowTesting.h"

namespace panels_test {
namespace {

using yav::panels::ExitAction;
using yav::panels::StripInput;
using yav::testing::TimerDriver;

TEST(StripRules, TheButtonsFollowTheShareStates) {
    struct Case {
        StripInput in;
        bool shareShown, myViewShown, shareEnabled, shareChecked, panels;
        int exitText, shareText;
        ExitAction exit;
    } cases[] = {
        {{}, true, false, true, false, true, 1102, 2953, ExitAction::LeaveFullScreen},
        {{.remoteControl = 1, .viewerFull = true},
         false,
         true,
         true,
         false,
         true,
         2086,
         2953,
         ExitAction::EndAssistance},
        {{.remoteControl = 1},
         true,
         false,
         true,
         false,
         true,
         1102,
         2953,
         ExitAction::LeaveFullScreen},
        {{.shareState = 1}, true, false, true, false, true, 2311, 5426, ExitAction::EndOwnShare},
        {{.shareState = 1, .hasBoard = true, .boardShown = true},
         true,
         false,
         true,
         true,
         true,
         2311,
         5429,
         ExitAction::EndOwnShare},
        {{.shareState = 1, .sourceMatch = true},
         true,
         false,
         true,
         false,
         false,
         2311,
         5426,
         ExitAction::EndOwnShare},
        {{.shareState = 2, .viewerFull = true},
         true,
         false,
         false,
         false,
         true,
         2962,
         2953,
         ExitAction::BackToOwnView},
        {{.shareState = 2},
         true,
         false,
         true,
         false,
         true,
         1102,
         2953,
         ExitAction::LeaveFullScreen},
        // A video window on its own: share visible and disabled whatever the state.
        {{.remoteControl = 1, .viewerFull = true, .videoOpen = true},
         true,
         true,
         false,
         false,
         true,
         2086,
         2953,
         ExitAction::EndAssistance},
        {{.shareState = 1, .videoOpen = true},
         true,
         false,
         false,
         false,
         true,
         2311,
         5426,
         ExitAction::EndOwnShare},
    };
    int row = 0;
    for (const Case& c : cases) {
        const yav::panels::StripLook look = yav::panels::DecideStrip(c.in);
        EXPECT_EQ(look.shareShown, c.shareShown) << row;
        EXPECT_EQ(look.myViewShown, c.myViewShown) << row;
        EXPECT_EQ(look.shareEnabled, c.shareEnabled) << row;
        EXPECT_EQ(look.shareChecked, c.shareChecked) << row;
        EXPECT_EQ(look.panelsEnabled, c.panels) << row;
        EXPECT_EQ(look.exitText, c.exitText) << row;
        EXPECT_EQ(look.shareText, c.shareText) << row;
        EXPECT_EQ(yav::panels::DecideExit(c.in), c.exit) << row;
        ++row;
    }
}

TEST(StripRules, TheFloatingPanelIsCappedAt640) {
    g_fExchangePW = 1.0;
    EXPECT_EQ(yav::panels::FloatPanelRect(QRect(0, 0, 1920, 1080)),
              QRect(1920 - 48 - 320, 70, 320, 640));
    EXPECT_EQ(yav::panels::FloatPanelRect(QRect(0, 0, 1280, 720)),
              QRect(1280 - 48 - 320, 70, 320, 580));
    EXPECT_EQ(yav::panels::FloatPanelRect(QRect(1920, 100, 1280, 2000)).height(), 640);
}

TEST(SlideRules, StepSequencesAtScaleOne) {
    const auto down = yav::panels::SlideDownSteps(1.0);
    ASSERT_EQ(down.size(), 70U);
    EXPECT_EQ(down.front().stripY, -60);
    EXPECT_EQ(down.front().tabY, -2);
    EXPECT_EQ(down.back().stripY, 9);
    EXPECT_EQ(down.back().tabY, 67);
    const auto up = yav::panels::SlideUpSteps(1.0);
    ASSERT_EQ(up.size(), 63U);
    EXPECT_EQ(up.front().tabY, 68);
    EXPECT_EQ(up.front().stripY, 10);
    EXPECT_EQ(up.back().tabY, 6);
    EXPECT_EQ(up.back().stripY, -52);
    EXPECT_LT(yav::panels::SlideDownSteps(1.5).size(), 70U);
}

TEST(SlideRules, TheHoverZoneIsBesideTheTabWithinTheStripOnTheMonitor) {
    const QRect monitor(1920, 200, 1280, 1024);  // a second monitor away from the origin
    const int stripLeft = 1920 + (1280 - 448) / 2;
    const int tabLeft = 1920 + (1280 - 81) / 2;
    struct Case {
        QPoint cursor;
        bool inside;
    } cases[] = {{{stripLeft, 200}, true},
                 {{tabLeft, 220}, true},
                 {{tabLeft + 1, 200}, false},  // the tab itself
                 {{tabLeft + 81, 210}, true},
                 {{stripLeft + 448, 200}, true},
                 {{stripLeft + 449, 200}, false},
                 {{stripLeft - 1, 200}, false},
                 {{stripLeft + 10, 221}, false},
                 {{stripLeft + 10, 199}, false},
                 // The same point relative to the origin is not on this monitor's edge.
                 {{stripLeft - 1920, 0}, false}};
    for (const Case& c : cases) {
        EXPECT_EQ(yav::panels::InExpandZone(c.cursor, monitor), c.inside)
            << c.cursor.x() << "," << c.cursor.y();
    }
}

// A floating participant panel that records what the strip does with it.
class FakeUserList : public IFloatUserList {
public:
    bool IsFloat() override { return floating; }
    void SetFloat(bool on) override { floating = on; }
    bool IsMembersPage() override { return members; }
    void SelectChatTab() override { members = false; }
    void SelectMembersTab() override { members = true; }
    bool IsVisible() override { return visible; }
    void ShowDlg(int cmd) override { visible = cmd != SW_HIDE; }
    void MoveTo(const QRect& rect) override { place = rect; }
    bool floating = false;
    bool members = true;
    bool visible = true;
    QRect place;
};

class ScriptedBoard : public IScreenBoard {
public:
    void Show(BOOL show) override { shown = show != 0; }
    BYTE IsShown() override { return shown ? 1 : 0; }
    void SetRect(const QRect& rect, int index) override { rects[index] = rect; }
    bool shown = false;
    std::map<int, QRect> rects;
};

class StripTest : public ::testing::Test {
protected:
    void SetUp() override {
        room.host.fullScreen = true;
        room.host.userList = &panel;
        strip = std::make_unique<CDlgFullDockX>();
        ASSERT_TRUE(strip->Create(CDlgFullDockX::IDD, nullptr));
        tab = std::make_unique<CDlgExpand>();
        ASSERT_TRUE(tab->Create(CDlgExpand::IDD, nullptr));
        tab->SetStrip(strip.get());
        strip->SetExpand(tab.get());
    }
    void TearDown() override {
        tab.reset();
        strip.reset();
        CDlgFullDockX::SetBoardFactory(nullptr);
    }
    Room room;
    FakeUserList panel;
    std::unique_ptr<CDlgFullDockX> strip;
    std::unique_ptr<CDlgExpand> tab;
};

TEST_F(StripTest, ExitLeavesFullScreenOrEndsWhatTheStateSays) {
    strip->SetUserListPage(1);
    strip->OnBtnExit();
    EXPECT_EQ(room.log.Calls(),
              (std::vector<std::string>{"LeaveFullScreen()", "ShowToolBoxForDocument()"}));
    EXPECT_EQ(strip->Button(CDlgFullDockX::IDC_CHAT).GetValue(), 0U);
    EXPECT_FALSE(panel.floating);

    struct Case {
        int share, remote;
        bool viewerFull, fullVideo;
        std::vector<std::string> calls;
    } cases[] = {
        {0, 1, true, false, {"OnRequestControl(0,1)"}},
        {1, 0, false, false, {"UpdateSpeakerVideo()"}},
        {2, 0, true, false, {"RecalcLayout(0)"}},
        {0, 0, false, true, {"PostVideoZoom()", "ShowToolBoxForDocument()"}},
    };
    for (const Case& c : cases) {
        room.log.Clear();
        room.host.fullScreen = false;
        room.host.screenShare = c.share;
        room.host.remoteControl = c.remote;
        room.host.viewerFull = c.viewerFull;
        room.host.fullVideo = c.fullVideo;
        strip->OnBtnExit();
        EXPECT_EQ(room.log.Calls(), c.calls) << c.share << c.remote;
    }
    // Neither full screen nor full video: nothing to leave.
    room.log.Clear();
    room.host.screenShare = 0;
    room.host.remoteControl = 0;
    room.host.viewerFull = false;
    room.host.fullVideo = false;
    room.host.fullScreen = false;
    strip->OnBtnExit();
    EXPECT_TRUE(room.log.Calls().empty());
}

TEST_F(StripTest, UpdateButtonsShowsTheTableOnTheButtons) {
    room.host.screenShare = 2;
    room.host.viewerFull = true;
    strip->UpdateButtons();
    EXPECT_EQ(strip->Button(CDlgFullDockX::IDC_EXIT).GetWindowText(), LoadLangString(2962));
    EXPECT_FALSE(strip->Button(CDlgFullDockX::IDC_SHARE).IsWindowEnabled());
    EXPECT_EQ(strip->ButtonImage(CDlgFullDockX::IDC_SHARE), 460U);
    room.host.screenShare = 1;
    room.host.sourceMatch = true;
    strip->UpdateButtons();
    EXPECT_FALSE(strip->Button(CDlgFullDockX::IDC_CHAT).IsWindowEnabled());
    EXPECT_EQ(strip->ButtonImage(CDlgFullDockX::IDC_CHAT), 442U);
    EXPECT_EQ(strip->Button(CDlgFullDockX::IDC_SHARE).GetWindowText(), LoadLangString(5426));
}

TEST_F(StripTest, ChatAndMembersFloatThePanelOutAndToggleIt) {
    room.host.monitor = QRect(0, 0, 1920, 1200);
    strip->OnBtnChat();  // docked: floated out on the chat page
    EXPECT_TRUE(panel.floating);
    EXPECT_FALSE(panel.members);
    EXPECT_EQ(panel.place, QRect(1920 - 48 - 320, 70, 320, 640));
    EXPECT_EQ(strip->Button(CDlgFullDockX::IDC_CHAT).GetValue(), 1U);
    EXPECT_EQ(strip->ButtonImage(CDlgFullDockX::IDC_CHAT), 440U);
    strip->OnBtnChat();  // same page, shown: hidden
    EXPECT_FALSE(panel.visible);
    EXPECT_EQ(strip->Button(CDlgFullDockX::IDC_CHAT).GetValue(), 0U);
    strip->OnBtnChat();
    EXPECT_TRUE(panel.visible);
    strip->OnBtnMembers();  // other page: switches and stays shown
    EXPECT_TRUE(panel.members);
    EXPECT_TRUE(panel.visible);
    EXPECT_EQ(strip->Button(CDlgFullDockX::IDC_MEMBERS).GetValue(), 1U);
    EXPECT_EQ(strip->Button(CDlgFullDockX::IDC_CHAT).GetValue(), 0U);
    strip->DockUserList();
    EXPECT_FALSE(panel.floating);
    EXPECT_EQ(strip->Button(CDlgFullDockX::IDC_MEMBERS).GetValue(), 0U);
}

TEST_F(StripTest, WithoutABoardShareOpensThePopupUnderTheButton) {
    room.host.screenShare = 1;
    for (int language : {0, 1}) {
        LanguageGuard guard(language);
        strip->OnBtnShare();
        ASSERT_TRUE(strip->SharePopup()->IsWindowVisible());
        const QRect button = strip->Button(CDlgFullDockX::IDC_SHARE).GetWindowRect();
        const QRect popup = strip->SharePopup()->GetWindowRect();
        EXPECT_EQ(popup.top(), button.bottom() + 1 + 10);
        EXPECT_EQ(popup.left(), button.left() + button.width() / 2 - 109 / 2);
        EXPECT_EQ(popup.width(), language == 1 ? 130 : 109);
        EXPECT_EQ(popup.height(), 237);
        strip->SharePopup()->ShowWindow(SW_HIDE);
    }
}

TEST_F(StripTest, ABoardTogglesWithTheShareButtonWhileSharing) {
    auto board = std::make_unique<ScriptedBoard>();
    ScriptedBoard* raw = board.get();
    CDlgFullDockX::SetBoardFactory([&board](void (*)(signed char), float, int, const QFont&) {
        return std::unique_ptr<IScreenBoard>(std::move(board));
    });
    CDlgFullDockX withBoard;
    ASSERT_TRUE(withBoard.Create(CDlgFullDockX::IDD, nullptr));
    ASSERT_EQ(withBoard.Board(), raw);
    withBoard.SetExpand(tab.get());
    room.host.screenShare = 1;
    withBoard.OnBtnShare();
    EXPECT_TRUE(raw->shown);
    EXPECT_EQ(raw->rects.size(), 4U);
    EXPECT_EQ(raw->rects[1], withBoard.Button(CDlgFullDockX::IDC_EXIT).GetWindowRect());
    EXPECT_EQ(raw->rects[4].top(), room.host.monitor.top() + 4);
    EXPECT_EQ(withBoard.ButtonImage(CDlgFullDockX::IDC_SHARE), 1188U);
    EXPECT_FALSE(withBoard.SharePopup()->IsWindowVisible());
    withBoard.OnBtnShare();
    EXPECT_FALSE(raw->shown);
    EXPECT_EQ(withBoard.Button(CDlgFullDockX::IDC_SHARE).GetWindowText(), LoadLangString(5426));
}

TEST_F(StripTest, BoardCommandsArePostedFromAnyThreadAndUnknownOnesLogged) {
    fakes::LogCapture log;
    room.host.screenShare = 1;
    tab->ShowTab();
    ASSERT_EQ(tab->GetTabState(), 2);
    // From the board's own thread: 2 collapses, 0 and 6 are ignored.
    std::thread board([] {
        CDlgFullDockX::OnBoardCommand(0);
        CDlgFullDockX::OnBoardCommand(6);
        CDlgFullDockX::OnBoardCommand(2);
        CDlgFullDockX::OnBoardCommand(5);
    });
    board.join();
    EXPECT_EQ(tab->GetTabState(), 2);  // nothing ran on the board's thread
    QApplication::processEvents();
    EXPECT_EQ(tab->GetTabState(), 1);
    EXPECT_EQ(log.CountContaining("UNKNOW Command!"), 2U);
    // 1 reaches the tab even with the strip hidden.
    strip->ShowWindow(SW_HIDE);
    CDlgFullDockX::OnBoardCommand(1);
    QApplication::processEvents();
    EXPECT_EQ(tab->GetTabState(), 2);
}

TEST_F(StripTest, SpeakCodesPickCaptionAndForwardTheRightButton) {
    struct Case {
        int code;
        int caption;
        int forwarded;
    } cases[] = {{0, 2956, 1}, {1, 2959, 1}, {4, 874, 3}, {5, 871, 3}, {6, 2359, 3}};
    for (const Case& c : cases) {
        room.log.Clear();
        strip->SetCommandText(c.code);
        EXPECT_EQ(strip->Button(CDlgFullDockX::IDC_SPEAK).GetWindowText(),
                  LoadLangString(c.caption));
        strip->OnBtnSpeak();
        EXPECT_EQ(room.log.Calls(), std::vector<std::string>{"ExecuteDockCommand(" +
                                                             std::to_string(c.forwarded) + ")"});
    }
    // Another code keeps the caption and draws no icon.
    strip->SetCommandText(9);
    EXPECT_EQ(strip->Button(CDlgFullDockX::IDC_SPEAK).GetWindowText(), LoadLangString(2359));
    EXPECT_EQ(strip->ButtonImage(CDlgFullDockX::IDC_SPEAK), 0U);
}

class TabTest : public StripTest {
protected:
    void SetUp() override {
        StripTest::SetUp();
        room.host.monitor = QRect(1920, 200, 1280, 1024);
        tab->SetCursorSource([this] { return cursor; });
    }
    // Runs the slide to its end under the test clock; returns the ms it took and the steps.
    int RunSlide(TestClock& clock, std::vector<int>* stripTops = nullptr) {
        int ms = 0;
        while (tab->SlideDirection() != 0 && ms < 2000) {
            clock.Advance(1);
            ++ms;
            TimerDriver::Fire(*tab, CDlgExpand::kSlideTimer);
            if (stripTops != nullptr) {
                const int top = strip->GetWindowRect().top() - room.host.monitor.top();
                if (stripTops->empty() || stripTops->back() != top) {
                    stripTops->push_back(top);
                }
            }
        }
        QApplication::processEvents();
        return ms;
    }
    QPoint cursor{0, 0};
};

TEST_F(TabTest, TheSlidesArePacedByTheClockAndEndInTheirCommands) {
    TestClock clock;
    room.host.fullScreen = true;
    tab->ShowTab();
    tab->OnBtnCollapse();
    ASSERT_EQ(tab->GetTabState(), 1);
    EXPECT_EQ(tab->GetWindowRect().top(), 200 + 2);
    EXPECT_EQ(tab->GetWindowRect().left(), 1920 + (1280 - 81) / 2);
    // The cursor rests at the top edge beside the tab: the strip slides down.
    cursor = QPoint(1920 + (1280 - 448) / 2 + 5, 205);
    tab->ShowWindow(SW_SHOW);
    TimerDriver::Fire(*tab, CDlgExpand::kHoverTimer);
    ASSERT_EQ(tab->SlideDirection(), 1);
    std::vector<int> tops;
    const int downMs = RunSlide(clock, &tops);
    EXPECT_EQ(downMs, 69 * 5);
    EXPECT_EQ(tops.size(), 70U);
    EXPECT_EQ(tops.back(), 9);
    EXPECT_EQ(tab->GetTabState(), 2);
    EXPECT_EQ(tab->GetWindowRect().top(), 200 + 68);
    // The cursor off the strip: the collapse timer slides both up.
    cursor = QPoint(0, 900);
    TimerDriver::Fire(*tab, CDlgExpand::kCollapseTimer);
    ASSERT_EQ(tab->SlideDirection(), 2);
    const int upMs = RunSlide(clock);
    EXPECT_EQ(upMs, 62 * 7);
    EXPECT_EQ(tab->GetTabState(), 1);
    EXPECT_FALSE(strip->IsWindowVisible());
}

TEST_F(TabTest, ACoarseTimerSkipsStepsInsteadOfStretchingTheSlide) {
    TestClock clock;
    tab->ShowTab();
    tab->OnBtnCollapse();
    cursor = QPoint(1920 + (1280 - 448) / 2 + 5, 205);
    tab->ShowWindow(SW_SHOW);
    TimerDriver::Fire(*tab, CDlgExpand::kHoverTimer);
    int firings = 0;
    while (tab->SlideDirection() != 0 && firings < 100) {
        clock.Advance(16);  // a timer that comes only every 16 ms
        TimerDriver::Fire(*tab, CDlgExpand::kSlideTimer);
        ++firings;
    }
    // 345 ms of steps in 22 firings of 16 ms, not 70 firings.
    EXPECT_EQ(firings, (69 * 5) / 16 + 1);
    QApplication::processEvents();
    EXPECT_EQ(tab->GetTabState(), 2);
}

TEST_F(TabTest, TheStripStaysOutWhileAPopupIsOpenOrTheCursorIsOnIt) {
    tab->ShowTab();
    ASSERT_TRUE(strip->IsWindowVisible());
    cursor = strip->GetWindowRect().center();
    EXPECT_FALSE(tab->CanCollapse());
    cursor = QPoint(0, 900);
    EXPECT_TRUE(tab->CanCollapse());
    strip->OnBtnMore();
    EXPECT_FALSE(tab->CanCollapse());
    TimerDriver::Fire(*tab, CDlgExpand::kCollapseTimer);
    EXPECT_EQ(tab->SlideDirection(), 0);
    strip->MorePopup()->ShowWindow(SW_HIDE);
    strip->OnBtnShare();
    EXPECT_FALSE(tab->CanCollapse());
}

TEST_F(TabTest, TheCornerWindowShowsOnlyWhileThisScreenIsControlled) {
    TimerDriver::Fire(*tab, CDlgExpand::kCornerTimer);
    EXPECT_FALSE(tab->CornerWindow()->isVisible());
    room.host.remoteControl = 2;
    TimerDriver::Fire(*tab, CDlgExpand::kCornerTimer);
    QWidget* corner = tab->CornerWindow();
    EXPECT_TRUE(corner->isVisible());
    EXPECT_EQ(corner->size(), QSize(1, 1));
    EXPECT_TRUE(corner->testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_TRUE(corner->windowFlags().testFlag(Qt::FramelessWindowHint));
    room.host.remoteControl = 0;
    TimerDriver::Fire(*tab, CDlgExpand::kCornerTimer);
    EXPECT_FALSE(corner->isVisible());
}

TEST_F(TabTest, TheStripAndTabHideWhenNothingWantsThem) {
    tab->ShowTab();
    ASSERT_TRUE(strip->IsWindowVisible());
    room.host.fullScreen = false;
    TimerDriver::Fire(*strip, CDlgFullDockX::kWatchTimer);
    EXPECT_FALSE(strip->IsWindowVisible());
    EXPECT_FALSE(tab->IsWindowVisible());
    strip->ShowBar();
    EXPECT_FALSE(strip->IsWindowVisible());
}

class SharePopupTest : public StripTest {};

TEST_F(SharePopupTest, RolesGateTheEntriesAndTheDocumentList) {
    CDlgPopShare* share = strip->SharePopup();
    share->UpdateButtons();
    for (int id : {CDlgPopShare::IDC_LOCAL, CDlgPopShare::IDC_MEDIA, CDlgPopShare::IDC_SCREEN,
                   CDlgPopShare::IDC_WHITEBOARD, CDlgPopShare::IDC_SWITCH}) {
        EXPECT_FALSE(share->Item(id)->IsWindowEnabled()) << id;
    }
    EXPECT_TRUE(share->Item(CDlgPopShare::IDC_DISK)->IsWindowEnabled());
    share->SendMessage(WM_COMMAND, CDlgPopShare::IDC_DISK, 0);
    EXPECT_EQ(room.log.Calls(), std::vector<std::string>{"ShowFileList()"});

    // No document open: hovering the switch opens nothing; pressing shows the empty list.
    share->MoveWindow(300, 100, 109, 237);
    share->ShowWindow(SW_SHOW);
    CButtonCheck* sw = share->Item(CDlgPopShare::IDC_SWITCH);
    sw->m_bHover = 1;
    share->OnButtonHover(CDlgPopShare::IDC_SWITCH, 0);
    EXPECT_FALSE(share->DocumentList()->IsWindowVisible());
    share->SendMessage(WM_COMMAND, CDlgPopShare::IDC_SWITCH, 0);
    EXPECT_TRUE(share->DocumentList()->IsWindowVisible());
    share->DocumentList()->ShowWindow(SW_HIDE);

    // Documents open, not the presenter: only the active one may be chosen.
    share->DocumentList()->AddButton(11, QStringLiteral("a.pdf"));
    share->DocumentList()->AddButton(12, QStringLiteral("b.pdf"));
    share->DocumentList()->SetItemCount(2);
    room.host.activeDocument = 12;
    share->OnButtonHover(CDlgPopShare::IDC_SWITCH, 0);
    ASSERT_TRUE(share->DocumentList()->IsWindowVisible());
    EXPECT_FALSE(share->DocumentList()->GetButton(11)->IsWindowEnabled());
    EXPECT_TRUE(share->DocumentList()->GetButton(12)->IsWindowEnabled());
    const QRect r = share->GetWindowRect();
    EXPECT_EQ(share->DocumentList()->GetWindowRect().topLeft(),
              QPoint(r.right() + 3, r.top() + 200));
    EXPECT_EQ(share->DocumentList()->GetWindowRect().height(), 38 + 45);
    // Hovering another entry hides the list.
    sw->m_bHover = 0;
    share->Item(CDlgPopShare::IDC_DISK)->m_bHover = 1;
    share->OnButtonHover(CDlgPopShare::IDC_DISK, 0);
    EXPECT_FALSE(share->DocumentList()->IsWindowVisible());

    room.host.presenterRole = true;
    share->UpdateButtons();
    share->SendMessage(WM_COMMAND, CDlgPopShare::IDC_SCREEN, 0);
    share->SendMessage(WM_COMMAND, CDlgPopShare::IDC_WHITEBOARD, 0);
    EXPECT_EQ(room.log.Calls().back(), "NewWhiteboard()");
    EXPECT_EQ(room.log.Count("ShareDesktop"), 1U);
}

// A video window for the notice.
class FakeVideo : public IVoiceVideoWindow {
public:
    explicit FakeVideo(QRect rect, bool usable = true) : rect_(rect), usable_(usable) {}
    QRect GetWindowRect() override { return rect_; }
    bool CanShowCaption() override { return usable_; }
    void SetVoiceNotice(CDlgVoiceIncentive* n) override { notice = n; }
    CDlgVoiceIncentive* notice = nullptr;
    QRect rect_;
    bool usable_;
};

class NoticeTest : public ::testing::Test {
protected:
    void SetUp() override {
        room.host.roomRect = QRect(100, 50, 1200, 700);
        ASSERT_TRUE(notice.Create(CDlgVoiceIncentive::IDD, &room.window));
        room.host.voiceWindows[7] = &video;
    }
    Room room;
    CDlgVoiceIncentive notice;
    FakeVideo video{QRect(400, 300, 320, 240)};
};

TEST_F(NoticeTest, NotBroadcastStandsOverTheRoomWithTheName) {
    notice.OnVoiceActivation(7);
    ASSERT_TRUE(notice.IsWindowVisible());
    EXPECT_EQ(notice.GetMode(), 1);
    EXPECT_EQ(notice.GetWindowRect(), QRect(100 + (1200 - 320) / 2, 50 + 90, 320, 32));
    EXPECT_EQ(notice.Label().GetWindowText(), QStringLiteral("User7 ") + LoadLangString(3211));
    EXPECT_EQ(notice.GetTimerElapse(CDlgVoiceIncentive::kHideTimer), 1500);
    // A second report keeps it 2500 ms from then.
    notice.OnVoiceActivation(7);
    EXPECT_EQ(notice.GetTimerElapse(CDlgVoiceIncentive::kHideTimer), 2500);
    TimerDriver::Fire(notice, CDlgVoiceIncentive::kHideTimer);
    EXPECT_FALSE(notice.IsWindowVisible());
    EXPECT_EQ(notice.GetMediaId(), 0);
    // The side panel counts only outside full video and full screen.
    room.host.sidePanel = 300;
    notice.ShowNotice(1, 7);
    EXPECT_EQ(notice.GetWindowRect().left(), 100 + (1200 - 300 - 320) / 2);
    room.host.fullScreen = true;
    notice.PlaceNotice(QRect(), 1);
    EXPECT_EQ(notice.GetWindowRect().topLeft(), QPoint(100 + (1200 - 320) / 2, 50 + 120));
}

TEST_F(NoticeTest, BroadcastStandsOnTheVideoWindowAndMovesWhenThatChanges) {
    room.host.broadcast = {7};
    notice.OnVoiceActivation(7);
    EXPECT_EQ(notice.GetMode(), 2);
    EXPECT_EQ(notice.GetWindowRect(), QRect(720 - 80, 305, 75, 27));
    EXPECT_EQ(video.notice, &notice);
    EXPECT_EQ(notice.Label().GetWindowText(), LoadLangString(3211));
    EXPECT_EQ(room.log.Calls().back(), "SetStreamMarker(7,1)");
    // No longer broadcast: the next report moves it over the room.
    room.host.broadcast.clear();
    EXPECT_FALSE(notice.IsForUser(7));
    notice.OnVoiceActivation(7);
    EXPECT_EQ(notice.GetMode(), 1);
    EXPECT_EQ(video.notice, nullptr);
    // The video window moved: a mode-2 notice follows, a full-screen room hides it.
    room.host.broadcast = {7};
    notice.OnVoiceActivation(7);
    notice.PlaceNotice(QRect(10, 20, 300, 200), 0);
    EXPECT_EQ(notice.GetWindowRect().topLeft(), QPoint(310 - 80, 25));
    room.host.fullScreen = true;
    notice.PlaceNotice(QRect(10, 20, 300, 200), 0);
    EXPECT_FALSE(notice.IsWindowVisible());
}

TEST_F(NoticeTest, AVanishedVideoWindowHidesTheNoticeAndATinyOneKeepsItsPlace) {
    room.host.broadcast = {7};
    notice.OnVoiceActivation(7);
    ASSERT_TRUE(notice.IsWindowVisible());
    room.host.voiceWindows.clear();
    notice.ShowNotice(0, 8);
    EXPECT_FALSE(notice.IsWindowVisible());
    EXPECT_EQ(notice.GetMediaId(), 0);

    FakeVideo tiny(QRect(5, 5, 1, 1));
    room.host.voiceWindows[9] = &tiny;
    room.host.broadcast = {9};
    notice.MoveWindow(33, 44, 75, 27);
    notice.ShowNotice(0, 9);
    EXPECT_EQ(notice.GetMode(), 2);
    EXPECT_EQ(notice.GetWindowRect().topLeft(), QPoint(33, 44));
    // Ignored while the room's layout bytes say so.
    room.host.layoutModeByte = 2;
    room.host.layoutStateSecond = 1;
    notice.HideNotice();
    notice.OnVoiceActivation(9);
    EXPECT_FALSE(notice.IsWindowVisible());
}

class StripGrab : public ::testing::TestWithParam<double> {};

TEST_P(StripGrab, TheStripTabSharePopupAndNotice) {
    ScaleGuard scale(GetParam());
    Room room;
    room.host.fullScreen = true;
    // The backgrounds the room gives them.
    CDlgFullDockX strip;
    strip.SetBackgroundImage(436, 0);
    ASSERT_TRUE(strip.Create(CDlgFullDockX::IDD, nullptr));
    CDlgExpand tab;
    tab.SetBackgroundImage(1102, 0);
    ASSERT_TRUE(tab.Create(CDlgExpand::IDD, nullptr));
    tab.SetStrip(&strip);
    strip.SetExpand(&tab);
    struct State {
        const char* name;
        int share;
        bool viewerFull;
    } states[] = {
        {"strip_plain", 0, false}, {"strip_sharing", 1, false}, {"strip_viewing", 2, true}};
    for (const State& s : states) {
        room.host.screenShare = s.share;
        room.host.viewerFull = s.viewerFull;
        strip.SetCommandText(5);
        tab.ShowTab();
        const QImage picture = strip.GetLayeredPicture();
        SaveGrab(strip, s.name);
        EXPECT_EQ(picture.size(), yav::ScaledSize(448, 60)) << s.name;
        // The exit button's white caption on its image.
        const QRect exit = strip.Button(CDlgFullDockX::IDC_EXIT).geometry();
        EXPECT_GT(PixelsNot(picture, exit, picture.pixelColor(exit.topLeft())), 20) << s.name;
    }
    const QImage expanded = tab.GetLayeredPicture();
    SaveGrab(tab, "tab_expanded");
    EXPECT_EQ(expanded.size(), yav::ScaledSize(81, 41));
    tab.OnBtnCollapse();
    const QImage collapsed = tab.GetLayeredPicture();
    SaveGrab(tab, "tab_collapsed");
    EXPECT_NE(expanded, collapsed);

    room.host.screenShare = 0;
    room.host.presenterRole = true;
    strip.UpdateButtons();
    strip.OnBtnShare();
    CDlgPopShare* share = strip.SharePopup();
    share->DocumentList()->AddButton(11, QStringLiteral("Plan.pdf"));
    share->DocumentList()->AddButton(12, QStringLiteral("Notes.docx"));
    share->DocumentList()->SetItemCount(2);
    share->Item(CDlgPopShare::IDC_SWITCH)->m_bHover = 1;
    share->OnButtonHover(CDlgPopShare::IDC_SWITCH, 0);
    const QImage popup = share->GetLayeredPicture();
    SaveGrab(*share, "share_popup");
    EXPECT_EQ(popup.size(), yav::ScaledSize(109, 237));
    const QImage list = share->DocumentList()->GetLayeredPicture();
    SaveGrab(*share->DocumentList(), "share_document_list");
    EXPECT_EQ(list.height(), yav::Scaled(38 + 45));

    CDlgVoiceIncentive notice(&room.window);
    ASSERT_TRUE(notice.Create(CDlgVoiceIncentive::IDD, &room.window));
    FakeVideo video(QRect(400, 300, 320, 240));
    room.host.voiceWindows[7] = &video;
    notice.ShowNotice(1, 7);
    const QImage wide = SaveGrab(notice, "notice_room");
    EXPECT_EQ(wide.size(), yav::ScaledSize(320, 32));
    EXPECT_EQ(wide.pixelColor(2, 2), QColor(67, 138, 244));
    EXPECT_GT(PixelsNot(wide, wide.rect(), QColor(67, 138, 244)), 30);
    room.host.broadcast = {7};
    notice.ShowNotice(0, 7);
    const QImage small = SaveGrab(notice, "notice_video");
    EXPECT_EQ(small.size(), yav::ScaledSize(75, 27));
    EXPECT_GT(PixelsNot(small, small.rect(), QColor(67, 138, 244)), 10);
}

INSTANTIATE_TEST_SUITE_P(Scales, StripGrab, ::testing::Values(1.0, 1.5));

}  // namespace
}  // namespace panels_test
