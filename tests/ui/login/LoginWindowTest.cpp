// The login window and its input page: layout at both scales and in both modes, the links,
// the hotline, the validation messages, the login worker and its result, Enter during a
// running login, a page that goes away while its worker runs, stored inputs, and grabs.

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "AppSettings.h"
#include "ConfigManger.h"
#include "LoginTestSupport.h"
#include "dialogs/login/CDlgLogin.h"
#include "dialogs/login/CDlgLoginInput.h"
#include "dialogs/login/CDlgNetSet.h"
#include "platform/window/Scaled.h"
#include "platform/window/testing/WindowTesting.h"

namespace {

using login_test::BoxAnswerer;
using login_test::FakeJoinHandler;
using login_test::Grown;
using yav::testing::TimerDriver;
using yav::testing::WaitUntil;

class LoginWindow : public ::testing::Test {
protected:
    void SetUp() override {
        login_test::Reset();
        g_AppSettings.hotLine.clear();
    }

    // Opens the window modelessly, as its modal run would, with the given Client.ini.
    void Open(const char* ini = "[login]\nserver1=127.0.0.1\n") {
        login_test::WriteIni(ini);
        login = std::make_unique<CDlgLogin>();
        login->SetParentDlg(&handler);
        ASSERT_TRUE(login->Create(CDlgLogin::IDD));
        login->ShowWindow(SW_SHOW);
        page = login->GetInputPage();
        ASSERT_NE(page, nullptr);
    }

    // Also called by tests that open the window once per case; the page goes with the window,
    // so a second call must not reach it.
    void TearDown() override {
        handler.Release();
        if (page != nullptr) {
            page->JoinLoginThread();
        }
        login.reset();
        page = nullptr;
    }

    // Presses a control of the page (or the window) as a click would.
    void Click(yav::WindowCore& window, int id) {
        window.SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(id), BN_CLICKED), 0);
    }
    QWidget* Item(int id) { return page->GetDlgItem(id); }

    FakeJoinHandler handler;
    std::unique_ptr<CDlgLogin> login;
    CDlgLoginInput* page = nullptr;
};

TEST_F(LoginWindow, GeometryAtBothScales) {
    for (double scale : {1.0, 1.5}) {
        login_test::ScaleGuard guard(scale);
        Open();
        EXPECT_EQ(login->size(), QSize(yav::Scaled(680), yav::Scaled(500))) << scale;
        EXPECT_EQ(page->geometry(), yav::ScaledRect(331, 97, 302, 290)) << scale;
        EXPECT_EQ(login->GetDlgItem(CDlgLogin::IDC_CLOSE)->geometry(), Grown(653, 7, 20, 20));
        // The minimise button is a title-bar button: placed as asked.
        EXPECT_EQ(login->GetDlgItem(CDlgLogin::IDC_MINIMIZE)->geometry(),
                  yav::ScaledRect(623, 7, 20, 20));
        EXPECT_EQ(login->GetConferenceLink().geometry(), Grown(432, 406, 100, 21)) << scale;
        EXPECT_EQ(Item(kIdcUserName)->geometry(), yav::ScaledRect(62, 82, 220, 24)) << scale;
        EXPECT_EQ(Item(CDlgLoginInput::IDC_LOGIN_ACCOUNT)->geometry(), Grown(13, 225, 273, 45));
        TearDown();
    }
}

TEST_F(LoginWindow, LinksSwitchModesAndLayouts) {
    Open();
    EXPECT_EQ(page->GetMode(), 0);
    EXPECT_TRUE(login->GetConferenceLink().isVisible());
    EXPECT_FALSE(login->GetAccountLink().isVisible());
    EXPECT_TRUE(Item(kIdcUserName)->isVisible());
    EXPECT_FALSE(Item(kIdcNickName)->isVisible());

    Click(*login, CDlgLogin::IDC_CONFERENCE_LINK);
    EXPECT_EQ(page->GetMode(), 2);
    EXPECT_FALSE(login->GetConferenceLink().isVisible());
    EXPECT_TRUE(login->GetAccountLink().isVisible());
    EXPECT_EQ(Item(kIdcNickName)->geometry(), yav::ScaledRect(62, 82, 220, 24));
    EXPECT_TRUE(Item(kIdcConfNumber)->isVisible());
    EXPECT_TRUE(Item(CDlgLoginInput::IDC_CONF_PASSWORD)->isVisible());
    EXPECT_FALSE(Item(kIdcUserName)->isVisible());
    EXPECT_EQ(Item(CDlgLoginInput::IDC_PASSWORD_ICON)->geometry(),
              yav::ScaledRect(27, 182, 14, 15));

    Click(*login, CDlgLogin::IDC_ACCOUNT_LINK);
    EXPECT_EQ(page->GetMode(), 0);
    Click(*page, CDlgLoginInput::IDC_TRIAL);
    EXPECT_EQ(page->GetMode(), 5);
    EXPECT_FALSE(login->GetConferenceLink().isVisible());
    EXPECT_FALSE(login->GetAccountLink().isVisible());
    EXPECT_EQ(Item(kIdcNickName)->geometry(), yav::ScaledRect(62, 97, 220, 24));
    EXPECT_FALSE(Item(kIdcConfNumber)->isVisible());
    Click(*page, CDlgLoginInput::IDC_BACK);
    EXPECT_EQ(page->GetMode(), 0);
}

TEST_F(LoginWindow, WiderLinksForLanguageOne) {
    login_test::LanguageGuard english(1);
    Open();
    EXPECT_EQ(login->GetConferenceLink().geometry(), Grown(422, 406, 120, 21));
    EXPECT_EQ(login->GetAccountLink().geometry(), Grown(417, 406, 120, 21));
}

// Every link caption of the window and its page shows whole in each language at both scales:
// the links keep their fixed widths, so the texts must be short enough.
TEST_F(LoginWindow, LinkCaptionsFitTheirLinks) {
    for (double scale : {1.0, 1.5}) {
        for (int language : {0, 1, 2}) {
            SCOPED_TRACE(testing::Message() << "scale " << scale << " language " << language);
            login_test::ScaleGuard scaleGuard(scale);
            login_test::LanguageGuard languageGuard(language);
            Open();
            auto pageLink = [this](int id) { return dynamic_cast<CYavPngButton*>(Item(id)); };
            auto expectWhole = [](CYavPngButton& link) {
                ASSERT_TRUE(link.isVisible()) << link.GetDlgCtrlID();
                EXPECT_EQ(login_test::ShownCaption(link), link.GetWindowText())
                    << link.GetDlgCtrlID();
            };
            expectWhole(login->GetConferenceLink());
            expectWhole(*pageLink(CDlgLoginInput::IDC_TRIAL));
            Click(*login, CDlgLogin::IDC_CONFERENCE_LINK);
            expectWhole(login->GetAccountLink());
            Click(*login, CDlgLogin::IDC_ACCOUNT_LINK);
            Click(*page, CDlgLoginInput::IDC_TRIAL);
            CYavPngButton* back = pageLink(CDlgLoginInput::IDC_BACK);
            expectWhole(*back);
            // The back link keeps its fixed width; the text was made to fit it.
            EXPECT_NEAR(back->GetDrawRect().width(), yav::Scaled(60), 1);
            TearDown();
        }
    }
}

TEST_F(LoginWindow, HotlineShownOnlyWhenSet) {
    Open();
    EXPECT_FALSE(login->GetHotline().isVisible());
    TearDown();
    g_AppSettings.hotLine = QStringLiteral("400-800-1234");
    Open();
    EXPECT_TRUE(login->GetHotline().isVisible());
    EXPECT_TRUE(login->GetHotline().GetWindowText().endsWith(QStringLiteral("：400-800-1234")));
    g_AppSettings.hotLine.clear();
}

TEST_F(LoginWindow, TrialLinkHiddenWithOwnLogo) {
    g_ConfigManager.bIsSelfLog = 1;
    Open();
    EXPECT_FALSE(Item(CDlgLoginInput::IDC_TRIAL)->isVisible());
    g_ConfigManager.bIsSelfLog = 0;
}

TEST_F(LoginWindow, ChecksShowTheirMessageAndStartNothing) {
    struct Case {
        const char* ini;
        int mode;
        const char* user;
        const char* password;
        const char* nick;
        const char* number;
        int text;
        int focus;
    };
    const Case cases[] = {
        {"[login]\n", 0, "alice", "pw", "", "", 2380, 0},
        {"[login]\nserver1=h\n", 0, "", "pw", "", "", 49, kIdcUserName},
        {"[login]\nserver1=h\n", 0, "alice", "", "", "", 1753, kIdcAccountPassword},
        {"[login]\nserver1=h\n", 2, "", "", "", "812", 2383, kIdcNickName},
        {"[login]\nserver1=h\n", 2, "", "", "Bob", "", 3205, kIdcConfNumber},
        {"[login]\nserver1=h\n", 2, "", "", "Bob", "8x12", 3103, kIdcConfNumber},
        {"[login]\nserver1=h\n", 2, "", "", "Bob", "99999999999", 3103, kIdcConfNumber},
    };
    for (const Case& c : cases) {
        Open(c.ini);
        if (c.mode == 2) {
            page->SwitchToConference();
        }
        page->GetUserEdit().setText(QString::fromUtf8(c.user));
        page->GetPasswordEdit().setText(QString::fromUtf8(c.password));
        page->GetNickEdit().setText(QString::fromUtf8(c.nick));
        page->GetConfNumberEdit().setText(QString::fromUtf8(c.number));
        QWidget* focusBefore = login->focusWidget();
        BoxAnswerer boxes;
        page->LoginByMode();
        ASSERT_EQ(boxes.Messages().size(), 1) << c.text;
        EXPECT_EQ(boxes.Messages().front(), LoadLangString(c.text));
        if (c.focus != 0) {
            EXPECT_EQ(login->focusWidget(), Item(c.focus)) << c.text;
        } else {
            EXPECT_EQ(login->focusWidget(), focusBefore);
        }
        EXPECT_FALSE(page->IsBusy());
        EXPECT_EQ(handler.startParamCalls, 0);
        TearDown();
    }
}

TEST_F(LoginWindow, AccountLoginConnectsOnTheWorkerAndGoesOnToTheList) {
    Open("[login]\nserver1= 10.0.0.1 \nserver3=10.0.0.3\n");
    page->GetUserEdit().setText(QStringLiteral(" alice"));
    page->GetPasswordEdit().setText(QStringLiteral("abc"));
    page->GetRememberBox().SetState(1);
    Click(*page, CDlgLoginInput::IDC_LOGIN_ACCOUNT);
    EXPECT_EQ(handler.startParamCalls, 1);
    EXPECT_FALSE(handler.lastAutoJoin);
    EXPECT_EQ(handler.lastJoinType, 0);
    EXPECT_EQ(handler.lastName, QStringLiteral(" alice")) << "account names are not trimmed";
    EXPECT_EQ(handler.lastPassword, QStringLiteral("abc"));
    EXPECT_EQ(handler.setMonitorCalls, 1);
    ASSERT_TRUE(WaitUntil([&] { return handler.showConfListCalls == 1; }));
    EXPECT_FALSE(handler.connectOnGuiThread.load());
    EXPECT_EQ(handler.lastServerList, QStringLiteral("10.0.0.1;10.0.0.3"));
    EXPECT_EQ(handler.lastPort, 8875);
    EXPECT_FALSE(page->IsBusy());
    EXPECT_EQ(login_test::IniValue("login", "User"), "alice") << "INI values drop outer blanks";
    EXPECT_EQ(login_test::IniValue("login", "Password"), "MBRUAA==");
    EXPECT_EQ(login_test::IniValue("login", "ReservePWS"), "1");
}

TEST_F(LoginWindow, ConferenceLoginTrimsTheNumberAndPicksTheJoinType) {
    Open();
    page->SwitchToConference();
    page->GetNickEdit().setText(QStringLiteral("Bob"));
    page->GetConfNumberEdit().setText(QStringLiteral(" 812 "));
    handler.showConfListResult = 0;  // the list could not be fetched: inputs come back
    Click(*page, CDlgLoginInput::IDC_JOIN);
    EXPECT_EQ(page->GetConfNumberEdit().text(), QStringLiteral("812"));
    EXPECT_EQ(handler.lastJoinType, 1);
    EXPECT_EQ(handler.lastConfId, 812);
    ASSERT_TRUE(WaitUntil([&] { return handler.showConfListCalls == 1; }));
    EXPECT_FALSE(page->GetNickEdit().isReadOnly());
    EXPECT_TRUE(page->GetDlgItem(CDlgLoginInput::IDC_JOIN)->isEnabled());
    EXPECT_EQ(login_test::IniValue("login", "confID"), "812");
    EXPECT_EQ(login_test::IniValue("login", "NickName"), "Bob");
    EXPECT_EQ(login_test::IniValue("login", "confpwd"), "") << "remember box not ticked";

    page->JoinLoginThread();
    page->GetConfPasswordEdit().setText(QStringLiteral("pw"));
    Click(*page, CDlgLoginInput::IDC_JOIN);
    EXPECT_EQ(handler.lastJoinType, 2);
    EXPECT_EQ(handler.lastPassword, QStringLiteral("pw"));
    ASSERT_TRUE(WaitUntil([&] { return handler.showConfListCalls == 2; }));
}

TEST_F(LoginWindow, FailedConnectionOffersTheServerSettings) {
    for (int answer : {IDOK, IDCANCEL}) {
        Open();
        handler.connectResult = 0;
        page->GetUserEdit().setText(QStringLiteral("alice"));
        page->GetPasswordEdit().setText(QStringLiteral("pw"));
        BoxAnswerer boxes(answer);
        Click(*page, CDlgLoginInput::IDC_LOGIN_ACCOUNT);
        EXPECT_TRUE(page->GetUserEdit().isReadOnly()) << "locked while connecting";
        ASSERT_TRUE(WaitUntil([&] { return boxes.Messages().size() == 1; }));
        EXPECT_EQ(boxes.Messages().front(), LoadLangString(1864));
        EXPECT_EQ(boxes.Types().front(), 12);
        EXPECT_EQ(login->GetNetSet()->isVisible(), answer == IDOK);
        EXPECT_FALSE(page->GetUserEdit().isReadOnly());
        EXPECT_TRUE(page->GetDlgItem(CDlgLoginInput::IDC_LOGIN_ACCOUNT)->isEnabled());
        EXPECT_EQ(handler.showConfListCalls, 0);
        EXPECT_EQ(login_test::IniValue("login", "User"), "<missing>") << "nothing stored";
        TearDown();
    }
}

TEST_F(LoginWindow, EnterDuringARunningLoginStartsNoSecondOne) {
    Open();
    handler.HoldConnect();
    page->GetUserEdit().setText(QStringLiteral("alice"));
    page->GetPasswordEdit().setText(QStringLiteral("pw"));
    QTest::keyClick(&page->GetPasswordEdit(), Qt::Key_Return);
    ASSERT_TRUE(page->IsTimerSet(CDlgLoginInput::kLoginTimer));
    EXPECT_EQ(page->GetTimerElapse(CDlgLoginInput::kLoginTimer), 100);
    ASSERT_TRUE(TimerDriver::Fire(*page, CDlgLoginInput::kLoginTimer));
    ASSERT_TRUE(page->IsBusy());
    EXPECT_EQ(handler.startParamCalls, 1);

    // Enter again, in the page and in the window, while the first login still connects (the
    // locked edits take no key at all).
    QTest::keyClick(&page->GetPasswordEdit(), Qt::Key_Return);
    EXPECT_FALSE(page->IsTimerSet(CDlgLoginInput::kLoginTimer));
    QTest::keyClick(&page->GetRememberBox(), Qt::Key_Return);
    ASSERT_TRUE(TimerDriver::Fire(*page, CDlgLoginInput::kLoginTimer));
    login->SendMessage(WM_TIMER, CDlgLogin::kLoginTimer, 0);
    page->LoginByMode();
    EXPECT_EQ(handler.startParamCalls, 1);

    handler.Release();
    ASSERT_TRUE(WaitUntil([&] { return handler.showConfListCalls == 1; }));
    EXPECT_EQ(handler.connectCalls.load(), 1);
}

TEST_F(LoginWindow, EnterInTheWindowLogsInTheCurrentMode) {
    Open("[login]\n");
    BoxAnswerer boxes;
    login->GetConferenceLink().setFocus();
    QTest::keyClick(&login->GetConferenceLink(), Qt::Key_Return);
    EXPECT_TRUE(login->IsWindowVisible()) << "Enter never ends the window";
    EXPECT_EQ(page->GetMode(), 0) << "Enter does not press the focused link";
    ASSERT_TRUE(TimerDriver::Fire(*login, CDlgLogin::kLoginTimer));
    ASSERT_EQ(boxes.Messages().size(), 1);
    EXPECT_EQ(boxes.Messages().front(), LoadLangString(2380));
}

TEST_F(LoginWindow, EscapeAndSpaceNeverReachTheFields) {
    Open();
    page->SwitchToConference();
    page->GetNickEdit().setFocus();
    QTest::keyClicks(&page->GetNickEdit(), QStringLiteral("ab c"));
    QTest::keyClick(&page->GetNickEdit(), Qt::Key_Escape);
    EXPECT_EQ(page->GetNickEdit().text(), QStringLiteral("abc"));
    EXPECT_TRUE(page->isVisible());
    EXPECT_TRUE(login->isVisible());
}

TEST_F(LoginWindow, ResultForAPageThatIsGoneIsDropped) {
    Open();
    handler.HoldConnect();
    page->GetUserEdit().setText(QStringLiteral("alice"));
    page->GetPasswordEdit().setText(QStringLiteral("pw"));
    Click(*page, CDlgLoginInput::IDC_LOGIN_ACCOUNT);
    ASSERT_TRUE(page->IsBusy());
    login->DestroyWindow();  // the window ends while the worker still connects
    handler.Release();
    page->JoinLoginThread();
    EXPECT_EQ(handler.connectCalls.load(), 1);
    QCoreApplication::processEvents();
    EXPECT_EQ(handler.showConfListCalls, 0);
    login.reset();  // destroying the window object after its worker ended is safe
    page = nullptr;
}

TEST_F(LoginWindow, StoredInputsFillTheFields) {
    Open(
        "[login]\nserver1=h\nUser=alice\nPassword=MBRUAA==\nReservePWS=1\nNickName=Bob\n"
        "confpwd=6pflygA=\nconfID=812\n");
    EXPECT_EQ(page->GetUserEdit().text(), QStringLiteral("alice"));
    EXPECT_EQ(page->GetPasswordEdit().text(), QStringLiteral("abc"));
    EXPECT_EQ(page->GetRememberBox().GetState(), 1u);
    EXPECT_EQ(page->GetNickEdit().text(), QStringLiteral("Bob"));
    EXPECT_EQ(page->GetConfPasswordEdit().text(), QStringLiteral("会议"));
    EXPECT_EQ(page->GetConfNumberEdit().text(), QStringLiteral("812"));
    TearDown();
    Open("[login]\nconfID=0\n");
    EXPECT_TRUE(page->GetConfNumberEdit().text().isEmpty());
}

// The server settings open while the login window runs modally: they must take the user's
// input (a click goes through the window system, where a modal window blocks the others).
TEST_F(LoginWindow, ServerSettingsTakeInputWhileTheLoginWindowRuns) {
    login_test::WriteIni("[login]\nserver1=127.0.0.1\n");
    CDlgLogin window;
    window.SetParentDlg(&handler);
    bool closedByClick = false;
    yav::testing::ModalAnswer answer([&](yav::Dialog& dialog) {
        dialog.SendMessage(WM_COMMAND, MAKEWPARAM(CDlgLogin::IDC_NETSET, BN_CLICKED), 0);
        CDlgNetSet* netSet = window.GetNetSet();
        ASSERT_NE(netSet, nullptr);
        ASSERT_TRUE(netSet->isVisible());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(netSet));
        QWidget* edit = netSet->GetDlgItem(CDlgNetSet::IDC_SERVER1);
        QWidget* close = netSet->GetDlgItem(CDlgNetSet::IDC_CLOSE);
        ASSERT_NE(edit, nullptr);
        ASSERT_NE(close, nullptr);
        QWindow* handle = netSet->windowHandle();
        ASSERT_NE(handle, nullptr);
        QTest::mouseClick(handle, Qt::LeftButton, {}, close->mapTo(netSet, close->rect().center()));
        closedByClick = !netSet->isVisible();
        dialog.SendMessage(WM_COMMAND, MAKEWPARAM(CDlgLogin::IDC_CLOSE, BN_CLICKED), 0);
    });
    window.DoModal();
    EXPECT_TRUE(answer.Answered());
    EXPECT_TRUE(closedByClick) << "the server settings' close button took no click";
}

TEST_F(LoginWindow, CloseEndsThisInstanceThroughTheRoad) {
    login_test::WriteIni("[login]\n");
    CDlgLogin window;
    window.SetParentDlg(&handler);
    yav::testing::ModalAnswer answer([](yav::Dialog& dialog) {
        dialog.SendMessage(WM_COMMAND, MAKEWPARAM(CDlgLogin::IDC_CLOSE, BN_CLICKED), 0);
    });
    EXPECT_EQ(window.DoModal(), IDCANCEL);
    EXPECT_EQ(handler.exitCalls, 1);

    // The window manager's close does the same.
    yav::testing::ModalAnswer closeAnswer([](yav::Dialog& dialog) { dialog.close(); });
    EXPECT_EQ(window.DoModal(), IDCANCEL);
    EXPECT_EQ(handler.exitCalls, 2);
}

// Grabs of the three modes: each shows its own fields with what was typed in them, the
// hotline, and its login button's caption whole.
TEST_F(LoginWindow, GrabsOfBothModes) {
    g_AppSettings.hotLine = QStringLiteral("400-800-1234");
    Open();
    page->GetUserEdit().setText(QStringLiteral("alice"));
    page->GetPasswordEdit().setText(QStringLiteral("secret"));
    struct Mode {
        const char* file;
        std::function<void()> enter;
        std::vector<QWidget*> filled;
        int button;
    };
    const Mode modes[] = {
        {"login_account",
         [] {},
         {&page->GetUserEdit(), &page->GetPasswordEdit()},
         CDlgLoginInput::IDC_LOGIN_ACCOUNT},
        {"login_conference",
         [this] {
             page->SwitchToConference();
             page->GetNickEdit().setText(QStringLiteral("王小明"));
             page->GetConfNumberEdit().setText(QStringLiteral("812"));
         },
         {&page->GetNickEdit(), &page->GetConfNumberEdit()},
         CDlgLoginInput::IDC_JOIN},
        {"login_trial",
         [this] { page->OnTrial(); },
         {&page->GetNickEdit()},
         CDlgLoginInput::IDC_JOIN},
    };
    std::vector<QImage> pages;
    for (const Mode& mode : modes) {
        SCOPED_TRACE(mode.file);
        mode.enter();
        const QImage shot = login->grab().toImage();
        login_test::SaveGrab(login.get(), QString::fromLatin1(mode.file));
        ASSERT_EQ(shot.size(), QSize(680, 500));
        // The hotline in its light blue over the window's picture.
        int hotline = 0;
        const QRect line = login->GetHotline().geometry();
        for (int y = line.top(); y <= line.bottom(); ++y) {
            for (int x = line.left(); x <= line.right(); ++x) {
                const QColor c = shot.pixelColor(x, y);
                hotline += std::abs(c.red() - 0xA1) + std::abs(c.green() - 0xC6) +
                                       std::abs(c.blue() - 0xF3) <
                                   40
                               ? 1
                               : 0;
            }
        }
        EXPECT_GT(hotline, 10);
        for (QWidget* field : mode.filled) {
            ASSERT_TRUE(field->isVisible());
            EXPECT_GT(login_test::DarkPixels(
                          shot, QRect(field->mapTo(login.get(), QPoint(0, 0)), field->size())),
                      10);
        }
        auto* button = dynamic_cast<CYavPngButton*>(Item(mode.button));
        ASSERT_NE(button, nullptr);
        EXPECT_TRUE(button->isVisible());
        EXPECT_EQ(login_test::ShownCaption(*button), button->GetWindowText());
        pages.push_back(shot.copy(page->geometry()));
    }
    EXPECT_NE(pages[0], pages[1]);
    EXPECT_NE(pages[1], pages[2]);
    g_AppSettings.hotLine.clear();
}

}  // namespace
