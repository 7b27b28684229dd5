// The way back after a lost connection: the reconnect notice's worker logs in again, the room
// takes the login over on its own thread, and a give-up closes the room.

#include <QApplication>

#include <thread>

#include "RoomFixture.h"
#include "client/dialogs/login/CDlgReconnect.h"

namespace room_test {
namespace {

using yav::testing::TimerDriver;

class RoomReconnect : public RoomFixture {
protected:
    void LoseConnection() {
        Open();
        frame->reconnectIntervalMs = 20;
        log.Clear();
        fake.queue.Push(ST_CS_MSG{});
        ASSERT_TRUE(TimerDriver::Fire(*frame, CYavClientDlg::TIMER_RECV_DATA));
        ASSERT_NE(frame->GetReconnectDlg(), nullptr);
    }
    bool WaitForReEntry() {
        return yav::testing::WaitUntil(
            [this] { return frame->isEnabled() && !frame->IsReconnecting(); }, 10000);
    }
};

TEST_F(RoomReconnect, TheWorkerOnlyLogsInAndTheRoomTakesTheLoginOverOnItsThread) {
    fakes::LogCapture lines;
    fake.appInfo.flags25 = 0x02;
    fake.appInfo.speakerLimit = 4;
    LoseConnection();
    ASSERT_TRUE(WaitForReEntry());
    const std::thread::id ui = std::this_thread::get_id();
    const auto calls = log.Calls();
    const auto threads = log.Threads();
    bool sawWorkerLogin = false;
    for (size_t i = 0; i < calls.size(); ++i) {
        if (calls[i].rfind("Login(127.0.0.1,7000,900001,alice,", 0) == 0) {
            sawWorkerLogin = sawWorkerLogin || threads[i] != ui;
        } else {
            // Everything else (records, participants, options) ran on the UI thread.
            EXPECT_EQ(threads[i], ui) << calls[i];
        }
    }
    EXPECT_TRUE(sawWorkerLogin);
    // Re-entered: the pump and the reconnect-ok step run again.
    EXPECT_EQ(frame->GetTimerElapse(CYavClientDlg::TIMER_RECV_DATA), 50);
    ASSERT_TRUE(TimerDriver::Fire(*frame, CYavClientDlg::TIMER_RECONNECT_OK));
    EXPECT_TRUE(lines.Contains("TIMER_RECONNECT_OK 2"));
    EXPECT_FALSE(frame->GetReconnectDlg()->isVisible());
    EXPECT_GE(IndexOf("ControlBar.RefreshRoleButtons()"), 0);
    EXPECT_GE(IndexOf("StatusBar.RefreshUserState()"), 0);
    // The speak request of the room's settings is made again.
    log.Clear();
    ASSERT_TRUE(TimerDriver::Fire(*frame, CYavClientDlg::TIMER_LOGIN_DATASERVER_2));
    EXPECT_EQ(log.Count("ApplySpeak(1)"), 1u);
}

TEST_F(RoomReconnect, AFailedTakeOverLogsOutAndTheRetriesGoOn) {
    fakes::LogCapture lines;
    // My own record is missing from the first answer after the loss.
    fake.users.RemoveUser(kMyId);
    LoseConnection();
    ASSERT_TRUE(yav::testing::WaitUntil(
        [&lines] { return lines.Contains("re-login could not be taken over"); }, 10000));
    EXPECT_FALSE(frame->isEnabled());
    EXPECT_TRUE(frame->IsReconnecting());
    fake.users.AddUser(kMyId, u"me");
    ASSERT_TRUE(WaitForReEntry());
    EXPECT_GE(log.Count("Login(127.0.0.1"), 2u);
    EXPECT_GE(log.Count("Logout()"), 2u);  // the leave, and the failed take-over
    EXPECT_EQ(frame->GetMyUserId(), kMyId);
}

TEST_F(RoomReconnect, GivingUpClosesTheRoomWithoutAQuestion) {
    fake.loginResult = -1;
    int questions = 0;
    const int token = yav::Dialog::AddModalObserver([&questions](yav::Dialog& dialog) {
        ++questions;
        dialog.EndDialog(IDCANCEL);
    });
    LoseConnection();
    ASSERT_TRUE(
        yav::testing::WaitUntil([this] { return log.Count("Login(127.0.0.1") >= 2; }, 10000));
    frame->GetReconnectDlg()->OnGiveUp();
    EXPECT_TRUE(yav::testing::WaitUntil([this] { return !frame->IsWindow(); }, 10000));
    yav::Dialog::RemoveModalObserver(token);
    EXPECT_EQ(questions, 0);
    EXPECT_FALSE(frame->IsReconnecting());
    EXPECT_EQ(frame->GetReconnectDlg(), nullptr);
}

}  // namespace
}  // namespace room_test
