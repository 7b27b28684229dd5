// The control bar, its pickers and the meeting pop-ups: duration text, meeting menu contents
// per role pair and where it opens, window buttons acting on the room, the drag band, the
// pickers' mappings and shared activation, the meeting pop-up's gating; grabs at both scales.

#include <QApplication>

#include <gtest/gtest.h>

#include "ConfigManger.h"
#include "PanelTestSupport.h"
#include "client/Common/MessageIds.h"
#include "client/dialogs/panels/CDlgControlBar.h"
#include "client/dialogs/panels/CDlgPopMore.h"
#include "client/dialogs/panels/PanelRules.h"
#include "platform/core/Profile.h"
#include "platform/window/Scaled.h"
#include "platform/window/testing/WindowTesting.h"

namespace panels_test {
namespace {

using yav::testing::TimerDriver;

class ControlBarTest : public ::testing::Test {
protected:
    void SetUp() override {
        bar = std::make_unique<CDlgControlBar>(&room.window);
        ASSERT_TRUE(bar->Create(CDlgControlBar::IDD, &room.window));
        bar->ShowWindow(SW_SHOW);
        bar->CreatePopups();
        room.log.Clear();
    }
    std::vector<std::string> MenuTexts() {
        std::vector<std::string> texts;
        for (CButtonCheck* item : bar->MeetingMenu()->GetItems()) {
            texts.push_back(std::to_string(item->GetValue()) + (item->isEnabled() ? "+" : "-"));
        }
        return texts;
    }

    Room room;
    std::unique_ptr<CDlgControlBar> bar;
};

TEST_F(ControlBarTest, TheDurationShowsHoursAndMinutesWithoutWrapping) {
    struct Case {
        std::uint32_t elapsedMs;
        const char* shown;
    } cases[] = {{0, "-00:00"},
                 {59 * 60000 + 59000, "-00:59"},
                 {60 * 60000, "-01:00"},
                 {100U * 3600000U, "-100:00"}};
    for (const Case& c : cases) {
        TestClock clock;
        bar->StartDurationTimer();
        clock.Advance(c.elapsedMs);
        ASSERT_TRUE(TimerDriver::Fire(*bar, CDlgControlBar::kDurationTimer));
        EXPECT_EQ(bar->Label(CDlgControlBar::IDC_DURATION).GetWindowText(),
                  QString::fromLatin1(c.shown));
    }
}

TEST_F(ControlBarTest, TheMeetingMenuOffersWhatTheRolePairAllows) {
    struct Case {
        bool admin;
        bool presenter;
        bool flagBit2;
        std::vector<std::string> items;
    } cases[] = {
        {true,
         false,
         false,
         {"32774+", "32783+", "32779+", "32781+", "32780+", "32791+", "32790+", "32782+"}},
        {false,
         true,
         false,
         {"32772+", "32783-", "32779-", "32781-", "32780-", "32791+", "32790-", "32782-"}},
        {false,
         false,
         true,
         {"32772+", "32783+", "32779-", "32781-", "32780-", "32791-", "32790-", "32782-"}},
        {false,
         false,
         false,
         {"32772+", "32783-", "32779-", "32781-", "32780-", "32791-", "32790-", "32782-"}},
    };
    for (const Case& c : cases) {
        room.host.admin = c.admin;
        room.host.presenterRole = c.presenter;
        room.host.flagBit2 = c.flagBit2;
        bar->RefreshRoleButtons();
        EXPECT_EQ(MenuTexts(), c.items) << c.admin << c.presenter << c.flagBit2;
    }
    // The administrator's first item gives the role up; the H.323 item appears with its option.
    room.host.admin = true;
    room.host.h323 = true;
    bar->RefreshRoleButtons();
    EXPECT_EQ(bar->MeetingMenu()->GetItems()[0]->GetWindowText(), LoadLangString(1051));
    EXPECT_EQ(bar->MeetingMenu()->GetButtonCount(), 9);
    EXPECT_NE(bar->MeetingMenu()->GetButton(32789), nullptr);
}

TEST_F(ControlBarTest, ServerRecordingNeedsTheAdministratorAndAStoppingRecordingReadsStop) {
    room.host.recordMode = 1;
    room.host.flagBit2 = true;
    bar->RefreshRoleButtons();
    EXPECT_FALSE(bar->MeetingMenu()->GetButton(32783)->IsWindowEnabled());
    EXPECT_EQ(bar->MeetingMenu()->GetButton(32783)->GetWindowText(), LoadLangString(2932));
    room.host.recordMode = 0;
    room.host.flagBit2 = false;
    room.host.recordState = 2;
    bar->OnBtnMeetingMenu();
    EXPECT_TRUE(bar->MeetingMenu()->GetButton(32783)->IsWindowEnabled());
    EXPECT_EQ(bar->MeetingMenu()->GetButton(32783)->GetWindowText(), LoadLangString(889));
}

TEST_F(ControlBarTest, AMeetingMenuChoiceReachesTheRoomAsItsCommand) {
    room.host.admin = true;
    bar->RefreshRoleButtons();
    bar->OnBtnMeetingMenu();
    ASSERT_TRUE(bar->MeetingMenu()->IsWindowVisible());
    CButtonCheck* item = bar->MeetingMenu()->GetButton(32779);
    ASSERT_NE(item, nullptr);
    bar->MeetingMenu()->SendMessage(WM_BUTTONCHECK_CLICK, static_cast<WPARAM>(item->GetDlgCtrlID()),
                                    32779);
    EXPECT_EQ(room.Commands(), std::vector<int>{32779});
}

TEST(ControlBarHotLine, AnEmptyHotLineHidesItsButtonAndASetOneIsShownInTheBox) {
    for (const char* number : {"", "400-800-1234"}) {
        yav::profile::WriteString("feedback", "hotLine", number,
                                  g_ConfigManager.GetClientIniPath().toStdString());
        Room room;
        CDlgControlBar bar(&room.window);
        ASSERT_TRUE(bar.Create(CDlgControlBar::IDD, &room.window));
        bar.ShowWindow(SW_SHOW);
        const bool shown = bar.Button(CDlgControlBar::IDC_HOTLINE).isVisibleTo(&bar);
        EXPECT_EQ(shown, *number != 0) << number;
        if (shown) {
            BoxAnswerer boxes;
            bar.SendMessage(WM_COMMAND, CDlgControlBar::IDC_HOTLINE, 0);
            ASSERT_EQ(boxes.Messages().size(), 1);
            EXPECT_TRUE(boxes.Messages()[0].endsWith(QString::fromLatin1(number)));
            EXPECT_EQ(boxes.Types()[0], 13);
        }
    }
}

class HotLineGrab : public ::testing::TestWithParam<double> {};

// The hot-line button draws its caption from 32 design px in: its glyph stands clear to the
// left of it, in every language and at every scale.
TEST_P(HotLineGrab, TheGlyphStandsLeftOfTheCaption) {
    ScaleGuard scale(GetParam());
    yav::profile::WriteString("feedback", "hotLine", "400-800-1234",
                              g_ConfigManager.GetClientIniPath().toStdString());
    // The bounding box of the pixels where two pictures differ.
    const auto differing = [](const QImage& a, const QImage& b) {
        QRect box;
        for (int y = 0; y < a.height(); ++y) {
            for (int x = 0; x < a.width(); ++x) {
                if (a.pixel(x, y) != b.pixel(x, y)) {
                    box |= QRect(x, y, 1, 1);
                }
            }
        }
        return box;
    };
    for (int language : {0, 1, 2}) {
        LanguageGuard guard(language);
        Room room;
        CDlgControlBar bar(&room.window);
        ASSERT_TRUE(bar.Create(CDlgControlBar::IDD, &room.window));
        bar.ShowWindow(SW_SHOW);
        CYavPngButton& button = bar.Button(CDlgControlBar::IDC_HOTLINE);
        ASSERT_TRUE(button.isVisibleTo(&bar));
        const QImage captioned = SaveGrab(button, "hot_line").convertToFormat(QImage::Format_RGB32);
        const QString caption = button.GetWindowText();
        button.SetWindowText(QString());
        const QImage bare = button.grab().toImage().convertToFormat(QImage::Format_RGB32);
        button.SetWindowText(caption);
        QImage plain(bare.size(), QImage::Format_RGB32);
        plain.fill(bare.pixel(bare.width() - 3, bare.height() / 2));
        const QRect glyph = differing(bare, plain);
        const QRect text = differing(captioned, bare);
        ASSERT_FALSE(glyph.isEmpty()) << language;
        ASSERT_FALSE(text.isEmpty()) << language;
        EXPECT_LT(glyph.right(), text.left()) << language << ": glyph " << glyph.left() << "-"
                                              << glyph.right() << ", caption from " << text.left();
    }
}

INSTANTIATE_TEST_SUITE_P(Scales, HotLineGrab, ::testing::Values(1.0, 1.5));

TEST(MeetingMenuRect, NineItemsAre349HighAndOpenUpwardsNearTheBottom) {
    const QRect work(0, 0, 1280, 720);
    struct Case {
        QRect button;
        bool wide;
        QRect menu;
    } cases[] = {
        {QRect(1180, 31, 100, 38), false, QRect(1141, 69, 139, 349)},
        {QRect(1180, 31, 100, 38), true, QRect(1120, 69, 160, 349)},
        // Near the bottom: upwards, its bottom on the button's bottom.
        {QRect(1180, 400, 100, 38), false, QRect(1141, 438 - 349, 139, 349)},
        // At the left edge: moved right by its width.
        {QRect(0, 31, 100, 38), false, QRect(100 - 139 + 139, 69, 139, 349)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(yav::panels::MeetingMenuRect(c.button, 9, c.wide, work), c.menu);
    }
    EXPECT_EQ(yav::panels::PopupListHeight(9), 349);
}

TEST_F(ControlBarTest, FullScreenAndMinimiseActOnTheRoomNotTheActiveWindow) {
    // Another window is active: the commands still reach the room.
    yav::fakes::RecordingWindow other;
    other.show();
    other.activateWindow();
    QApplication::processEvents();
    bar->SendMessage(WM_COMMAND, CDlgControlBar::IDC_FULLSCREEN, 0);
    EXPECT_EQ(room.Commands(), std::vector<int>{1282});
    EXPECT_TRUE(other.Of(WM_COMMAND).empty());
    room.host.screenShare = 1;
    room.host.sourceMatch = true;
    bar->SendMessage(WM_COMMAND, CDlgControlBar::IDC_MINIMIZE, 0);
    EXPECT_EQ(room.log.Calls(), (std::vector<std::string>{"MinimizeRoom()", "ShowStripForced()",
                                                          "CloseMyVideoWindows()"}));
}

TEST_F(ControlBarTest, MaximiseFollowsTheRoomsViewState) {
    struct Case {
        int viewState;
        std::vector<std::string> calls;
        std::uint32_t buttonState;
    } cases[] = {{0, {"MaximizeToMonitor(1)"}, 0},
                 {1, {"MaximizeToMonitor(0)"}, 1},
                 {2, {"CalcNormalRect()", "MaximizeToMonitor(0)"}, 1}};
    for (const Case& c : cases) {
        room.log.Clear();
        room.host.viewState = c.viewState;
        bar->OnBtnMaximize();
        EXPECT_EQ(room.log.Calls(), c.calls);
        EXPECT_EQ(bar->Button(CDlgControlBar::IDC_MAXIMIZE).GetState(), c.buttonState);
    }
}

TEST_F(ControlBarTest, TheTopBandDragsAndDoubleClicksAbove31PixelsAtAnyScale) {
    for (double scale : {1.0, 1.5}) {
        ScaleGuard guard(scale);
        room.log.Clear();
        room.window.resize(1000, 600);
        bar->OnLButtonDown(QPoint(200, 30));
        bar->OnLButtonDown(QPoint(200, 31));
        bar->OnLButtonDblClk(QPoint(200, 30));
        bar->OnLButtonDblClk(QPoint(200, 31));
        const QPoint screen = bar->ClientToScreen(QPoint(200, 30));
        EXPECT_EQ(room.log.Calls(),
                  (std::vector<std::string>{"StartSystemMove(" + std::to_string(screen.x()) + "," +
                                                std::to_string(screen.y()) + ")",
                                            "MaximizeToMonitor(1)"}));
        // A room that fills the work area is not dragged.
        room.log.Clear();
        room.window.resize(room.host.workArea.size());
        bar->OnLButtonDown(QPoint(200, 5));
        EXPECT_TRUE(room.log.Calls().empty());
    }
}

TEST_F(ControlBarTest, TheConferenceLayoutButtonIsForPresentersAndTheMenuIsCentred) {
    {
        BoxAnswerer boxes;
        bar->OnBtnConfLayout();
        ASSERT_EQ(boxes.Messages().size(), 1);
        EXPECT_EQ(boxes.Messages()[0], LoadLangString(3259));
        EXPECT_FALSE(bar->ConfLayout()->IsWindowVisible());
    }
    room.host.presenterRole = true;
    for (int language : {0, 1}) {
        LanguageGuard guard(language);
        bar->OnBtnConfLayout();
        ASSERT_TRUE(bar->ConfLayout()->IsWindowVisible());
        const QRect button = bar->Button(CDlgControlBar::IDC_CONF_LAYOUT).GetWindowRect();
        const QRect picker = bar->ConfLayout()->GetWindowRect();
        EXPECT_EQ(picker.width(), language == 1 ? 130 : 109);
        EXPECT_EQ(picker.height(), 165);
        EXPECT_EQ(picker.left(), button.left() + button.width() / 2 - 109 / 2);
        EXPECT_EQ(picker.top(), button.bottom() + 1 + 4);
        bar->OnBtnConfLayout();
        EXPECT_FALSE(bar->ConfLayout()->IsWindowVisible());
    }
}

TEST_F(ControlBarTest, LayoutSynchronisationAsksTheRoomOrExplainsWhyNot) {
    room.host.admin = true;
    bar->UpdateSyncLayoutButton();
    bar->OnBtnSyncLayout();
    EXPECT_EQ(room.log.Calls(), std::vector<std::string>{"ResetVideoLayoutState(1)"});
    EXPECT_EQ(bar->Button(CDlgControlBar::IDC_SYNC_LAYOUT).GetState(), 1U);
    EXPECT_EQ(bar->Button(CDlgControlBar::IDC_SYNC_LAYOUT).GetWindowText(), LoadLangString(2881));
    bar->OnBtnSyncLayout();
    EXPECT_EQ(room.log.Calls().back(), "ApplyLayoutFromNetwork()");
    EXPECT_EQ(bar->Button(CDlgControlBar::IDC_SYNC_LAYOUT).GetState(), 0U);

    room.log.Clear();
    room.host.layoutSyncAllowed = 0;
    BoxAnswerer boxes;
    bar->OnBtnSyncLayout();
    room.host.presenterRole = true;
    bar->OnBtnSyncLayout();
    ASSERT_EQ(boxes.Messages().size(), 2);
    EXPECT_TRUE(boxes.Messages()[0].contains(QLatin1Char('0')));
    EXPECT_EQ(boxes.Messages()[1], LoadLangString(2884));
    EXPECT_TRUE(room.log.Calls().empty());
}

TEST_F(ControlBarTest, TheLockShowsWithTheStatusByteAndTheCaptionCarriesNameAndNumber) {
    room.host.statusByte = 1;
    bar->SetConfTitle(QStringLiteral("Weekly"), 900001);
    EXPECT_EQ(bar->Label(CDlgControlBar::IDC_TITLE).GetWindowText(),
              LoadLangString(1) + QStringLiteral("-Weekly(ID:900001)"));
    EXPECT_TRUE(bar->Label(CDlgControlBar::IDC_LOCK).isVisibleTo(bar.get()));
    room.host.statusByte = 0;
    bar->SetConfTitle(QStringLiteral("Weekly"), 900001);
    EXPECT_FALSE(bar->Label(CDlgControlBar::IDC_LOCK).isVisibleTo(bar.get()));
}

// A conference name is data: "%1" or "%d" in it stays as typed, and the number stays the
// number (the caption was once formatted twice, the second pass filling the name's "%1").
TEST_F(ControlBarTest, TheCaptionShowsANameWithFormatMarksAsTyped) {
    for (const char* name : {"Team %1 weekly", "%2%1", "50%d off", "100%"}) {
        bar->SetConfTitle(QString::fromUtf8(name), 900001);
        EXPECT_EQ(bar->Label(CDlgControlBar::IDC_TITLE).GetWindowText(),
                  LoadLangString(1) + QStringLiteral("-") + QString::fromUtf8(name) +
                      QStringLiteral("(ID:900001)"))
            << name;
    }
}

class PickerTest : public ::testing::Test {
protected:
    void SetUp() override {
        picker = std::make_unique<CDlgConfLayout>(&room.window);
        picker->SetBackgroundImage(482, 0);
        ASSERT_TRUE(picker->Create(CDlgConfLayout::IDD, &room.window));
        picker->MoveWindow(100, 80, 109, 165);
    }
    Room room;
    std::unique_ptr<CDlgConfLayout> picker;
};

TEST_F(PickerTest, ViewKindsAndLayoutModesMapToTheirItems) {
    struct Kind {
        int viewKind;
        int checked;
    } kinds[] = {{1, CDlgConfLayout::IDC_DATA},
                 {2, CDlgConfLayout::IDC_MIXED},
                 {0, CDlgConfLayout::IDC_VIDEO},
                 {5, CDlgConfLayout::IDC_VIDEO}};
    for (const Kind& k : kinds) {
        picker->SetCurrentMode(k.viewKind);
        for (int id :
             {CDlgConfLayout::IDC_DATA, CDlgConfLayout::IDC_MIXED, CDlgConfLayout::IDC_VIDEO}) {
            EXPECT_EQ(picker->Item(id)->GetCheck(), id == k.checked ? 1 : 0) << k.viewKind;
        }
    }
    struct Mode {
        int layoutMode;
        int checked;
    } modes[] = {
        {1, CDlgLayout::IDC_SINGLE}, {2, CDlgLayout::IDC_PIP},     {3, CDlgLayout::IDC_FOUR},
        {4, CDlgLayout::IDC_NINE},   {5, CDlgLayout::IDC_SIXTEEN}, {6, CDlgLayout::IDC_AUTO},
        {7, CDlgLayout::IDC_AUTO},   {8, CDlgLayout::IDC_AUTO},    {9, CDlgLayout::IDC_AUTO}};
    CDlgLayout* layouts = picker->VideoLayouts();
    const int all[] = {CDlgLayout::IDC_AUTO, CDlgLayout::IDC_SINGLE, CDlgLayout::IDC_PIP,
                       CDlgLayout::IDC_FOUR, CDlgLayout::IDC_NINE,   CDlgLayout::IDC_SIXTEEN};
    for (const Mode& m : modes) {
        layouts->SelectItem(0, m.layoutMode);
        for (int id : all) {
            EXPECT_EQ(layouts->Item(id)->GetCheck(), id == m.checked ? 1 : 0) << m.layoutMode;
        }
    }
    layouts->SelectItem(1, 3);
    for (int id : all) {
        EXPECT_EQ(layouts->Item(id)->GetCheck(), 0);
    }
}

TEST_F(PickerTest, AChoicePostsTheLayoutCommandAndHidesBoth) {
    const int expected[] = {32853, 32855, 32856, 32857, 32858, 32859};
    const int items[] = {CDlgLayout::IDC_AUTO, CDlgLayout::IDC_SINGLE, CDlgLayout::IDC_PIP,
                         CDlgLayout::IDC_FOUR, CDlgLayout::IDC_NINE,   CDlgLayout::IDC_SIXTEEN};
    for (size_t i = 0; i < 6; ++i) {
        picker->ShowWindow(SW_SHOW);
        picker->OpenVideoLayouts();
        ASSERT_TRUE(picker->VideoLayouts()->IsWindowVisible());
        picker->VideoLayouts()->SendMessage(WM_COMMAND, static_cast<WPARAM>(items[i]), 0);
        EXPECT_FALSE(picker->IsWindowVisible());
        EXPECT_FALSE(picker->VideoLayouts()->IsWindowVisible());
        EXPECT_EQ(room.Commands().back(), expected[i]);
    }
    // The video layouts open to the right of the picker.
    picker->ShowWindow(SW_SHOW);
    picker->OpenVideoLayouts();
    const QRect r = picker->GetWindowRect();
    EXPECT_EQ(picker->VideoLayouts()->GetWindowRect(), QRect(r.right() + 3, r.top() + 8, 109, 230));
}

TEST_F(PickerTest, ThePairStaysOpenWhileActivationMovesBetweenThem) {
    picker->ShowWindow(SW_SHOW);
    picker->OpenVideoLayouts();
    picker->VideoLayouts()->activateWindow();
    QApplication::processEvents();
    picker->SetTimer(CYavDialogEx::kAutoHideTimer, 100);
    TimerDriver::Fire(*picker, CYavDialogEx::kAutoHideTimer);
    EXPECT_TRUE(picker->IsWindowVisible());
    EXPECT_TRUE(picker->VideoLayouts()->IsWindowVisible());
    // Another window takes the activation: both close.
    room.window.activateWindow();
    QApplication::processEvents();
    TimerDriver::Fire(*picker, CYavDialogEx::kAutoHideTimer);
    EXPECT_FALSE(picker->IsWindowVisible());
    EXPECT_FALSE(picker->VideoLayouts()->IsWindowVisible());
}

TEST_F(PickerTest, WhileTheCycleRunsItsItemStopsItInsteadOfOpeningItsSettings) {
    room.host.videoCycle = true;
    picker->SetCurrentMode(0);
    EXPECT_EQ(picker->Item(CDlgConfLayout::IDC_CYCLE)->GetWindowText(), LoadLangString(2926));
    picker->SendMessage(WM_COMMAND, CDlgConfLayout::IDC_CYCLE, 0);
    EXPECT_EQ(room.log.Calls(), std::vector<std::string>{"CloseAllVideo()"});
    EXPECT_TRUE(room.Commands().empty());
    room.host.videoCycle = false;
    picker->SetCurrentMode(0);
    EXPECT_EQ(picker->Item(CDlgConfLayout::IDC_CYCLE)->GetWindowText(), LoadLangString(1387));
    picker->SendMessage(WM_COMMAND, CDlgConfLayout::IDC_CYCLE, 0);
    EXPECT_EQ(room.Commands(), std::vector<int>{32785});
}

class MoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        more = std::make_unique<CDlgPopMore>(&room.window);
        more->SetBackgroundImage(482, 0);
        ASSERT_TRUE(more->Create(CDlgPopMore::IDD, &room.window));
        more->MoveWindow(300, 80, 109, 165);
    }
    Room room;
    std::unique_ptr<CDlgPopMore> more;
};

TEST_F(MoreTest, TheMeetingPopupIsGatedByTheAdministratorRole) {
    more->ShowWindow(SW_SHOW);
    more->SendMessage(WM_COMMAND, CDlgPopMore::IDC_MEETING, 0);
    CDlgPopMeetMng* meeting = more->MeetingPopup();
    ASSERT_TRUE(meeting->IsWindowVisible());
    EXPECT_EQ(meeting->Item(CDlgPopMeetMng::IDC_ADMIN)->GetWindowText(), LoadLangString(1048));
    const int gated[] = {CDlgPopMeetMng::IDC_CAPTION, CDlgPopMeetMng::IDC_CONF_SET,
                         CDlgPopMeetMng::IDC_ROLLCALL, CDlgPopMeetMng::IDC_DISSOLVE};
    for (int id : gated) {
        EXPECT_FALSE(meeting->Item(id)->IsWindowEnabled()) << id;
        meeting->SendMessage(WM_COMMAND, static_cast<WPARAM>(id), 0);
    }
    meeting->SendMessage(WM_COMMAND, CDlgPopMeetMng::IDC_ADMIN, 0);
    EXPECT_EQ(room.log.Calls(), std::vector<std::string>{"ApplyAdmin()"});

    room.log.Clear();
    room.host.admin = true;
    meeting->UpdateLayer(1);
    EXPECT_EQ(meeting->Item(CDlgPopMeetMng::IDC_ADMIN)->GetWindowText(), LoadLangString(1051));
    for (int id : gated) {
        EXPECT_TRUE(meeting->Item(id)->IsWindowEnabled()) << id;
        meeting->SendMessage(WM_COMMAND, static_cast<WPARAM>(id), 0);
    }
    meeting->SendMessage(WM_COMMAND, CDlgPopMeetMng::IDC_ADMIN, 0);
    EXPECT_EQ(room.log.Calls(), (std::vector<std::string>{
                                    "ShowHouselampDlg()", "ShowConfSetDlg()", "ShowRollcallDlg()",
                                    "DissolveConference()", "GiveUpChair()"}));
    // It sits to the right of the more pop-up and goes with it.
    const QRect r = more->GetWindowRect();
    EXPECT_EQ(meeting->GetWindowRect(), QRect(r.right() + 3, r.top() + 8, 109, 194));
    more->ShowWindow(SW_HIDE);
    EXPECT_FALSE(meeting->IsWindowVisible());
}

TEST_F(MoreTest, TheRecordingItemFollowsModeRightsAndState) {
    struct Case {
        bool admin;
        int mode;
        bool flagBit2;
        int state;
        BOOL enabled;
        int text;
    } cases[] = {{false, 1, true, 0, 0, 2932},
                 {false, 0, true, 0, 1, 886},
                 {false, 0, false, 0, 0, 886},
                 {true, 1, false, 0, 1, 2932},
                 {false, 0, true, 2, 1, 889}};
    for (const Case& c : cases) {
        room.host.admin = c.admin;
        room.host.recordMode = c.mode;
        room.host.flagBit2 = c.flagBit2;
        room.host.recordState = c.state;
        more->UpdateRecordButton();
        EXPECT_EQ(more->Item(CDlgPopMore::IDC_RECORD)->IsWindowEnabled(), c.enabled);
        EXPECT_EQ(more->Item(CDlgPopMore::IDC_RECORD)->GetWindowText(), LoadLangString(c.text));
    }
    more->ShowWindow(SW_SHOW);
    more->SendMessage(WM_COMMAND, CDlgPopMore::IDC_RECORD, 0);
    EXPECT_FALSE(more->IsWindowVisible());
    EXPECT_EQ(room.Commands(), std::vector<int>{32783});
    more->SendMessage(WM_COMMAND, CDlgPopMore::IDC_LEAVE, 0);
    QApplication::processEvents();
    EXPECT_EQ(room.window.received.back().message, static_cast<UINT>(WM_PANEL_CLOSE));
}

class ControlBarGrab : public ::testing::TestWithParam<double> {};

TEST_P(ControlBarGrab, TheBarItsMenusAndPickers) {
    ScaleGuard scale(GetParam());
    Room room;
    room.host.admin = true;
    room.host.presenterRole = true;
    CDlgControlBar bar(&room.window);
    ASSERT_TRUE(bar.Create(CDlgControlBar::IDD, &room.window));
    bar.ShowWindow(SW_SHOW);
    bar.CreatePopups();
    bar.SetConfTitle(QStringLiteral("Demo"), 900001);
    const QImage picture = SaveGrab(bar, "control_bar");
    EXPECT_EQ(picture.size(), QSize(room.host.workArea.width(), yav::Scaled(70)));
    EXPECT_EQ(picture.pixelColor(picture.width() / 2, 1), QColor(0x33, 0x33, 0x33));
    EXPECT_EQ(picture.pixelColor(picture.width() / 2, yav::Scaled(35)), QColor(0xDD, 0xDD, 0xDD));
    // The title and the duration are written whole, in white on the dark band.
    for (int id : {CDlgControlBar::IDC_TITLE, CDlgControlBar::IDC_DURATION}) {
        CTransparentStatic& label = bar.Label(id);
        QString shown;
        for (const yav::gdip::LaidOutLine& line : label.GetTextLayout()) {
            shown += line.text;
        }
        EXPECT_EQ(shown, label.GetWindowText());
        EXPECT_GT(PixelsNot(picture, label.geometry(), QColor(0x33, 0x33, 0x33)), 30);
    }
    // The duration follows the title without covering it.
    CTransparentStatic& title = bar.Label(CDlgControlBar::IDC_TITLE);
    EXPECT_GE(bar.Label(CDlgControlBar::IDC_DURATION).geometry().left(),
              title.geometry().left() + title.GetTextWidth());

    bar.OnBtnMeetingMenu();
    const QImage menu = SaveGrab(*bar.MeetingMenu(), "meeting_menu");
    EXPECT_EQ(menu.size(), yav::ScaledSize(139, yav::panels::PopupListHeight(8)));
    bar.OnBtnMeetingMenu();

    bar.OnBtnConfLayout();
    bar.ConfLayout()->OpenVideoLayouts();
    const QImage picker = SaveGrab(*bar.ConfLayout(), "conf_layout");
    EXPECT_EQ(picker.size(), yav::ScaledSize(109, 165));
    const QImage layouts = SaveGrab(*bar.ConfLayout()->VideoLayouts(), "video_layouts");
    EXPECT_EQ(layouts.size(), yav::ScaledSize(109, 230));

    CDlgPopMore more(&room.window);
    more.SetBackgroundImage(482, 0);
    ASSERT_TRUE(more.Create(CDlgPopMore::IDD, &room.window));
    more.MoveWindow(0, 0, yav::Scaled(109), yav::Scaled(165));
    more.ShowWindow(SW_SHOW);
    more.SendMessage(WM_COMMAND, CDlgPopMore::IDC_MEETING, 0);
    const QImage morePicture = SaveGrab(more, "more_popup");
    EXPECT_EQ(morePicture.size(), yav::ScaledSize(109, 165));
    const QImage meeting = SaveGrab(*more.MeetingPopup(), "meeting_popup");
    EXPECT_EQ(meeting.size(), yav::ScaledSize(109, 194));
    // Item texts are drawn: the first row of each pop-up is not plain background.
    for (const QImage* popup : {&menu, &picker, &layouts, &morePicture, &meeting}) {
        const QRect firstRow(yav::Scaled(20), yav::Scaled(14), yav::Scaled(60), yav::Scaled(20));
        const QColor ground = popup->pixelColor(yav::Scaled(8), yav::Scaled(60));
        EXPECT_GT(PixelsNot(*popup, firstRow, ground), 10);
    }
}

INSTANTIATE_TEST_SUITE_P(Scales, ControlBarGrab, ::testing::Values(1.0, 1.5));

}  // namespace
}  // namespace panels_test
