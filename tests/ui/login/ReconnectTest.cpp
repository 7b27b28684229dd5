// The reconnect notice: retries until a re-login succeeds and tells the room window once; the
// give-up waits for a running attempt and then leaves the room; the notice cannot be closed
// otherwise.

#include <QTest>

#include <gtest/gtest.h>

#include <atomic>

#include "LoginTestSupport.h"
#include "client/Common/MessageIds.h"
#include "client/ui/CTransparentStatic.h"
#include "dialogs/login/CDlgReconnect.h"
#include "fakes/ui/RecordingWindow.h"
#include "platform/window/WindowStyles.h"
#include "platform/window/testing/WindowTesting.h"

namespace {

using yav::fakes::RecordingWindow;
using yav::testing::TimerDriver;
using yav::testing::WaitUntil;

class FakeHost : public IReconnectHost {
public:
    int ReLoginCS() override {
        ++attempts;
        while (holdAttempt.load()) {
            std::this_thread::yield();
        }
        return attempts.load() >= succeedOnAttempt ? 0 : 0x8001;
    }
    yav::WindowHandle GetMainWindowHandle() override { return room.GetSafeHwnd(); }
    bool IsReconnecting() override { return reconnecting; }
    void GiveUpConference() override {
        ++giveUps;
        reconnecting = false;
    }

    RecordingWindow room;
    std::atomic<int> attempts{0};
    std::atomic<bool> holdAttempt{false};
    int succeedOnAttempt = 3;
    bool reconnecting = true;
    int giveUps = 0;
};

class Reconnect : public ::testing::Test {
protected:
    void SetUp() override {
        login_test::Reset();
        dialog = std::make_unique<CDlgReconnect>(&host);
        ASSERT_TRUE(dialog->Create(CDlgReconnect::IDD));
        dialog->ShowDialog();
    }
    void TearDown() override {
        host.holdAttempt = false;
        dialog.reset();
    }

    FakeHost host;
    std::unique_ptr<CDlgReconnect> dialog;
};

TEST_F(Reconnect, RetriesUntilALoginSucceedsAndTellsTheRoomOnce) {
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(yav::IsTopMost(dialog.get()));
    EXPECT_EQ(dialog->size(), QSize(300, 150));
    EXPECT_FALSE(dialog->GetDlgItem(CDlgReconnect::IDC_HIDDEN)->isVisible());
    dialog->StartReconnectThread(5);
    ASSERT_TRUE(WaitUntil([&] { return !host.room.Of(WM_RECONNECT_STATE).empty(); }));
    ASSERT_TRUE(WaitUntil([&] { return dialog->IsWorkerDone(); }));
    EXPECT_EQ(host.attempts.load(), 3);
    const auto reports = host.room.Of(WM_RECONNECT_STATE);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].wParam, 2u);
    EXPECT_EQ(reports[0].lParam, 0);
    EXPECT_EQ(host.giveUps, 0);
}

TEST_F(Reconnect, FirstTryWaitsForTheInterval) {
    dialog->StartReconnectThread();  // 2 s: a give-up right away comes before any attempt
    dialog->OnGiveUp();
    ASSERT_TRUE(WaitUntil([&] { return host.giveUps == 1; }));
    EXPECT_EQ(host.attempts.load(), 0);
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(Reconnect, GiveUpWaitsForTheRunningAttempt) {
    host.succeedOnAttempt = 1000;
    host.holdAttempt = true;
    dialog->StartReconnectThread(5);
    ASSERT_TRUE(WaitUntil([&] { return host.attempts.load() == 1; }));
    dialog->OnGiveUp();
    EXPECT_FALSE(dialog->isEnabled());
    EXPECT_TRUE(dialog->IsTimerSet(CDlgReconnect::kGiveUpPollTimer));
    EXPECT_EQ(dialog->GetTimerElapse(CDlgReconnect::kGiveUpPollTimer), 200);
    TimerDriver::Fire(*dialog, CDlgReconnect::kGiveUpPollTimer);
    EXPECT_EQ(host.giveUps, 0) << "the attempt still runs";
    host.holdAttempt = false;
    ASSERT_TRUE(WaitUntil([&] { return dialog->IsWorkerDone(); }));
    TimerDriver::Fire(*dialog, CDlgReconnect::kGiveUpPollTimer);
    EXPECT_EQ(host.giveUps, 1);
    EXPECT_FALSE(dialog->IsTimerSet(CDlgReconnect::kGiveUpPollTimer));
    EXPECT_TRUE(host.room.Of(WM_RECONNECT_STATE).empty());
    EXPECT_EQ(host.attempts.load(), 1);
}

TEST_F(Reconnect, GiveUpWithoutALoopEndsAtOnce) {
    dialog->OnGiveUp();
    EXPECT_EQ(host.giveUps, 1);
}

TEST_F(Reconnect, CloseAndKeysDoNothing) {
    dialog->close();
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    QTest::keyClick(dialog.get(), Qt::Key_Return);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(host.giveUps, 0);
    // Still the same box: its message and its give-up button with the caption whole.
    const QImage shot = dialog->grab().toImage();
    login_test::SaveGrab(dialog.get(), QStringLiteral("reconnect"));
    ASSERT_EQ(shot.size(), QSize(300, 150));
    EXPECT_GT(
        login_test::DarkPixels(shot, dialog->GetDlgItem(CDlgReconnect::IDC_MESSAGE)->geometry()),
        10);
    EXPECT_EQ(login_test::ShownCaption(dialog->GetGiveUpButton()),
              dialog->GetGiveUpButton().GetWindowText());
}

// The message wraps over two lines in each language and at both scales, and its last line
// never holds one character alone (the Chinese text once ended with "接……" on a line of its own).
TEST(ReconnectNotice, TheMessageNeverEndsWithOneCharacterAlone) {
    for (double scale : {1.0, 1.5}) {
        for (int language : {0, 1, 2}) {
            SCOPED_TRACE(testing::Message() << "scale " << scale << " language " << language);
            login_test::Reset();
            login_test::ScaleGuard scaleGuard(scale);
            login_test::LanguageGuard languageGuard(language);
            FakeHost host;
            CDlgReconnect dialog(&host);
            ASSERT_TRUE(dialog.Create(CDlgReconnect::IDD));
            auto* message =
                dynamic_cast<CTransparentStatic*>(dialog.GetDlgItem(CDlgReconnect::IDC_MESSAGE));
            ASSERT_NE(message, nullptr);
            const auto lines = message->GetTextLayout();
            ASSERT_EQ(lines.size(), 2u);
            QString joined;
            for (const auto& line : lines) {
                joined += line.text;
            }
            EXPECT_EQ(joined.remove(u' '), message->GetWindowText().remove(u' '));
            int letters = 0;
            for (QChar c : lines.back().text) {
                letters += c.isLetterOrNumber() ? 1 : 0;
            }
            EXPECT_GE(letters, 2) << lines.back().text.toStdString();
        }
    }
}

}  // namespace
