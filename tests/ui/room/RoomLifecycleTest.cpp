// The room window's start, close and re-opening on the one main frame.

#include <QApplication>

#include "ModalBoxes.h"
#include "RoomFixture.h"
#include "client/dialogs/login/CDlgReconnect.h"
#include "ui/CDlgPopMsg.h"

namespace room_test {
namespace {

using yav::testing::TimerDriver;

using RoomLifecycle = RoomFixture;

TEST_F(RoomLifecycle, OpeningLogsTheStartInOrderAndOneLinePerMissingChild) {
    fakes::LogCapture lines;
    Open();
    const auto all = lines.Lines();
    const long init = LineIndex(all, "initdialog start");
    const long window = LineIndex(all, "init window over");
    const long start = LineIndex(all, "start work start");
    const long started = LineIndex(all, "start work over");
    const long over = LineIndex(all, "init dialog over");
    ASSERT_GE(init, 0);
    EXPECT_LT(init, window);
    EXPECT_LT(window, start);
    EXPECT_LT(start, started);
    EXPECT_LT(started, over);
    for (const char* missing : {"XLayoutManager not available", "CDlgVideo not available",
                                "CDlgExpand not available", "NetQualityEval not available"}) {
        EXPECT_EQ(lines.CountContaining(missing), 1u) << missing;
    }
    EXPECT_EQ(lines.CountContaining("CDlgControlBar not available"), 0u);
    EXPECT_EQ(frame->windowTitle(), LoadLangString(1));
    EXPECT_TRUE(frame->isVisible());
}

TEST_F(RoomLifecycle, StartWorkClearsTheLayoutSlotsAndArmsThePumpAndTheLogin) {
    Open();
    for (int slot = 0; slot < 4; ++slot) {
        const auto& layout = frame->GetLayoutSlot(slot);
        EXPECT_EQ(layout[96] | (layout[97] << 8), 65535) << slot;
        EXPECT_EQ(std::count(layout.begin(), layout.end(), 0), 98) << slot;
    }
    EXPECT_EQ(frame->GetLastLayoutSent(), frame->GetLayoutSlot(0));
    EXPECT_EQ(frame->GetTimerElapse(CYavClientDlg::TIMER_RECV_DATA), 50);
    EXPECT_EQ(frame->GetTimerElapse(CYavClientDlg::TIMER_LOGIN_DATASERVER), 100);
    EXPECT_EQ(frame->GetTimerElapse(CYavClientDlg::TICAMER_SATRT_PUTRE), 50);
    EXPECT_EQ(frame->GetTimerElapse(CYavClientDlg::TIMER_CLEAR_MEMERY), 3600000);
    EXPECT_EQ(frame->GetTimerElapse(CYavClientDlg::TIMER_KEEP_AWAKE), 50000);
    // The panels learnt the conference.
    EXPECT_GE(IndexOf("ControlBar.SetConfTitle(Demo,900001)"), 0);
    EXPECT_GE(IndexOf("UserList.SetLocalUser(16)"), 0);
}

struct ArrangementCase {
    std::uint8_t documentMode;
    std::uint8_t layoutCode;
    std::uint32_t layoutNumber;
    std::uint8_t viewMode;
    std::uint8_t docFlag;
    std::uint32_t shareMode;
};

TEST(RoomArrangement, FollowsTheRoomsDocumentModeAndLayoutCode) {
    const ArrangementCase cases[] = {
        {0, 0, 1, 2, 0, 0},  {0, 1, 3, 2, 0, 0}, {0, 8, 4, 2, 0, 0},   {0, 9, 5, 2, 0, 0},
        {0, 16, 2, 2, 0, 0}, {0, 3, 8, 2, 0, 0}, {2, 255, 8, 2, 0, 0}, {1, 0, 0, 4, 1, 1},
        {1, 7, 0, 4, 1, 1},  {1, 1, 0, 4, 0, 2}, {1, 16, 0, 4, 0, 2},
    };
    for (const ArrangementCase& c : cases) {
        const auto arrangement = CYavClientDlg::InitialArrangement(1, c.documentMode, c.layoutCode);
        EXPECT_EQ(arrangement.layoutNumber, c.layoutNumber)
            << int(c.documentMode) << "/" << int(c.layoutCode);
        EXPECT_EQ(arrangement.viewMode, c.viewMode);
        EXPECT_EQ(arrangement.docFlag, c.docFlag);
        EXPECT_EQ(arrangement.shareMode, c.shareMode);
        EXPECT_EQ(arrangement.panelState, 1u);
    }
}

// Each stay starts in the layout the room was set up with, whatever the last stay chose; the
// document view names none and starts automatic.
TEST_F(RoomLifecycle, EachStayStartsInTheLayoutOfTheRoomsCode) {
    const struct {
        std::uint8_t documentMode;
        std::uint8_t layoutCode;
        std::uint8_t layoutMode;
    } stays[] = {{0, 1, 3}, {0, 13, 8}, {0, 0, 1}, {0, 16, 2}, {1, 0, 8}, {0, 9, 5}};
    for (const auto& stay : stays) {
        SCOPED_TRACE(static_cast<int>(stay.layoutCode));
        g_AppSettings.byOption8 = stay.documentMode;
        g_AppSettings.byOption9 = stay.layoutCode;
        Open();
        EXPECT_EQ(frame->GetLayoutBytes().layoutMode, stay.layoutMode);
        EXPECT_EQ(frame->GetLayoutBytes().mainDisplay, 0);
        CloseRoom();
        ASSERT_FALSE(frame->IsWindow());
    }
}

class RoomAtScale15 : public RoomFixture {
protected:
    double Scale() const override { return 1.5; }
};

TEST_F(RoomAtScale15, SidePanelAndFullScreenStripAreScaled) {
    Open();
    EXPECT_EQ(frame->GetSidePanelSize(), 480);
    EXPECT_EQ(frame->GetStripSize(), 105);
    EXPECT_EQ(frame->GetTitleStripSize(), 66);
    const auto moves = log.Matching("FullDock.MoveWindow(");
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_NE(moves[0].find(",10,672,90)"), std::string::npos) << moves[0];
}

TEST_F(RoomLifecycle, ARoomWhosePanelsAreHiddenStartsInFullScreen) {
    g_AppSettings.byOption14 = 1;
    Open();
    EXPECT_EQ(g_bFullScreen, 1);
    EXPECT_EQ(frame->GetArrangement().panelState, 1u);
}

TEST_F(RoomLifecycle, AServerEndedStayLeavesWithoutAQuestionAndTearsDownInOrder) {
    Open();
    statusBar->recording = 1;
    ModalBoxes boxes(IDCANCEL);
    fakes::LogCapture lines;
    frame->SetExitFlag(1);
    frame->SendMessage(WM_CLOSE_ROOM, 0, 0);

    EXPECT_TRUE(boxes.texts.empty());
    EXPECT_FALSE(frame->IsWindow());
    EXPECT_FALSE(frame->IsExitFlagSet());
    // Recording ends before the work stops; the work stops (logout) before the children go.
    const long recordingOff = IndexOf("StatusBar.SetRecordingOff()");
    const long logout = IndexOf("Logout()");
    const long barGone = IndexOf("ControlBar.DestroyWindow()");
    const long statusGone = IndexOf("StatusBar.DestroyWindow()");
    ASSERT_GE(recordingOff, 0);
    EXPECT_LT(recordingOff, logout);
    EXPECT_LT(logout, barGone);
    EXPECT_LT(barGone, statusGone);
    const auto all = lines.Lines();
    const long stopped = LineIndex(all, "停止工作结束 开始释放窗体");
    const long released = LineIndex(all, "释放窗体结束，开始关闭设备");
    const long devices = LineIndex(all, "关闭设备结束");
    const long back = LineIndex(all, "退出会议室结束，重新显示会议列表");
    ASSERT_GE(stopped, 0);
    EXPECT_LT(stopped, LineIndex(all, "release window over"));
    EXPECT_LT(LineIndex(all, "release window over"), released);
    EXPECT_LT(released, devices);
    EXPECT_LT(devices, back);
}

struct QuestionCase {
    int docBusy;     // the document share's first state query
    bool uploading;  // the file list prepares an upload
    int text;
    int type;
    bool fileListShownOnCancel;
};

TEST_F(RoomLifecycle, TheLeaveQuestionFollowsTheDocumentStateAndCancelKeepsTheRoom) {
    const QuestionCase cases[] = {
        {0, false, 367, 1, false},
        {0, true, 367, 1, false},
        {1, true, 367, 15, true},
        {1, false, 3301, 15, true},
    };
    for (const QuestionCase& c : cases) {
        Open();
        docShare->state1 = c.docBusy;
        fileList->uploading = c.uploading;
        log.Clear();
        {
            ModalBoxes boxes(IDCANCEL);
            frame->SendMessage(WM_CLOSE_ROOM, 0, 0);
            ASSERT_EQ(boxes.texts.size(), 1u);
            EXPECT_EQ(boxes.texts[0], LoadLangString(c.text));
            EXPECT_EQ(boxes.types[0], c.type);
        }
        EXPECT_TRUE(frame->IsWindow());
        EXPECT_EQ(log.Count("Logout()"), 0u);
        EXPECT_EQ(log.Count("FileList.ShowWindow(5)"), c.fileListShownOnCancel ? 1u : 0u);
        frame->SetExitFlag(1);
        frame->SendMessage(WM_CLOSE_ROOM, 0, 0);
        ASSERT_FALSE(frame->IsWindow());
        ASSERT_EQ(frame->LoginCs(kConfId, nullptr, 0), 0);
    }
}

TEST_F(RoomLifecycle, ACloseWhileTheQuestionIsOpenEndsItAndTearsDownOnce) {
    Open();
    fakes::LogCapture lines;
    ModalBoxes boxes(IDCANCEL);
    // While the question waits, the server ends the stay (its close arrives as WM_CLOSE).
    boxes.whileOpen = [this](CDlgPopMsg&) { frame->CloseByServer(); };
    boxes.whileOpenCloses = true;
    frame->SendMessage(WM_CLOSE_ROOM, 0, 0);
    yav::testing::WaitUntil([this] { return !frame->IsWindow(); }, 2000);
    QApplication::processEvents();
    EXPECT_EQ(boxes.texts.size(), 1u);
    EXPECT_FALSE(frame->IsWindow());
    EXPECT_EQ(lines.CountContaining("释放窗体结束，开始关闭设备"), 1u);
    EXPECT_EQ(log.Count("Logout()"), 1u);
}

TEST_F(RoomLifecycle, OneFrameOpensClosesAndOpensAgain) {
    Open();
    frame->SetExitFlag(1);
    frame->SendMessage(WM_CLOSE_ROOM, 0, 0);
    ASSERT_FALSE(frame->IsWindow());
    EXPECT_FALSE(frame->IsRoomEntered());
    EXPECT_FALSE(frame->IsTimerSet(CYavClientDlg::TIMER_RECV_DATA));

    ASSERT_EQ(frame->LoginCs(kConfId, nullptr, 0), 0);
    log.Clear();
    Open();
    EXPECT_TRUE(frame->IsWindow());
    EXPECT_TRUE(frame->isEnabled());
    EXPECT_TRUE(frame->IsTimerSet(CYavClientDlg::TIMER_RECV_DATA));
    // New children for the new room.
    EXPECT_EQ(log.Count("ControlBar.SetConfTitle("), 1u);
    EXPECT_EQ(frame->GetLayoutSlot(3)[96], 0xFF);
}

TEST_F(RoomLifecycle, TheAboutBoxOpensFromSystemCommand16) {
    Open();
    bool shown = false;
    const int token = yav::Dialog::AddModalObserver([&shown](yav::Dialog& dialog) {
        if (dialog.GetTemplateId() == 100) {
            shown = true;
            dialog.EndDialog(IDOK);
        }
    });
    frame->SendMessage(WM_SYSCOMMAND_ROOM, 0xF093 & 0x1Fu, 0);  // 16 plus low flag bits
    yav::Dialog::RemoveModalObserver(token);
    EXPECT_TRUE(shown);
}

}  // namespace
}  // namespace room_test
