// The work of a stay: the server logins, the getters, the option bytes, the document page
// messages, the pump's tick, the room's messages and its commands.

#include <QApplication>

#include <thread>

#include "RoomFixture.h"
#include "client/dialogs/login/CDlgReconnect.h"
#include "ui/CDlgPopMsg.h"

namespace room_test {
namespace {

using yav::testing::TimerDriver;

using RoomWork = RoomFixture;

struct SpeakCase {
    std::uint8_t flags25;
    size_t applySpeak;
};

TEST_F(RoomWork, TheDataServerLoginRunsOnceAndLogsInToEachServerInOrder) {
    const SpeakCase cases[] = {{0x00, 0}, {0x02, 1}, {0x08, 0}, {0x0A, 1}};
    for (const SpeakCase& c : cases) {
        fake.appInfo.flags25 = c.flags25;
        fake.appInfo.speakerLimit = 4;
        ASSERT_EQ(frame->LoginCs(kConfId, nullptr, 0), 0);
        Open();
        fakes::LogCapture lines;
        log.Clear();
        ASSERT_TRUE(TimerDriver::Fire(*frame, CYavClientDlg::TIMER_LOGIN_DATASERVER));
        EXPECT_FALSE(frame->IsTimerSet(CYavClientDlg::TIMER_LOGIN_DATASERVER));
        EXPECT_TRUE(lines.Contains("login data server start"));
        EXPECT_TRUE(lines.Contains("LoginMediaServer user=16 server=10.0.0.5:7100"));
        // The document and screen-share logins wait a second on a timer, not on the UI.
        EXPECT_EQ(IndexOf("DocShare.StartShare"), -1);
        EXPECT_EQ(frame->GetTimerElapse(CYavClientDlg::TIMER_LOGIN_DATASERVER_2), 1000);
        ASSERT_TRUE(TimerDriver::Fire(*frame, CYavClientDlg::TIMER_LOGIN_DATASERVER_2));
        const long doc = IndexOf("DocShare.StartShare(10.0.0.6,7200,4660)");
        const long screen = IndexOf("ScreenShare.Login(10.0.0.7,7300,16,0)");
        ASSERT_GE(doc, 0);
        EXPECT_LT(doc, screen);
        EXPECT_EQ(log.Count("ApplySpeak(1)"), c.applySpeak) << int(c.flags25);
        if (c.applySpeak != 0) {
            EXPECT_LT(screen, IndexOf("ApplySpeak(1)"));
        }
        // No camera channel without the media component: bit 3 broadcasts nothing.
        EXPECT_EQ(log.Count("BroadcastVideo("), 0u);
        EXPECT_TRUE(lines.Contains("login data server over"));
        EXPECT_FALSE(TimerDriver::Fire(*frame, CYavClientDlg::TIMER_LOGIN_DATASERVER));
        frame->SetExitFlag(1);
        frame->SendMessage(WM_CLOSE_ROOM, 0, 0);
    }
}

TEST_F(RoomWork, GettersReadTheLoginRecord) {
    EXPECT_EQ(frame->GetMyUserId(), kMyId);
    EXPECT_EQ(frame->GetConfId(), kConfId);
    EXPECT_EQ(frame->GetMyOwnerId(), 0x1234u);
    const struct {
        std::uint16_t id;
        bool mine;
    } channels[] = {{15, false}, {16, true}, {23, true}, {24, false}, {0, false}};
    for (const auto& c : channels) {
        EXPECT_EQ(frame->IsMyChannel(c.id), c.mine) << c.id;
    }
    ST_USER_ITEM_DEPT& other = fake.users.AddUser(40, u"bob");
    other.departmentId = 7;
    EXPECT_EQ(frame->GetUserDeptKey(45), 17u);
    EXPECT_EQ(frame->GetUserDeptKey(48), 0u);

    const struct {
        std::uint8_t kind;
        std::uint8_t presenter;
        bool chair;
        bool presenting;
    } roles[] = {
        {0, 0, true, false}, {5, 0, true, false}, {1, 2, false, true}, {1, 1, false, false}};
    for (const auto& r : roles) {
        fake.loginInfo.kind = r.kind;
        fake.loginInfo.presenterState = r.presenter;
        frame->GetConfManager()->RefreshConfInfo();
        EXPECT_EQ(frame->IsMyRoleState0or5(), r.chair);
        EXPECT_EQ(frame->IsMyRoleState2(), r.presenting);
        EXPECT_EQ(frame->IsInConference(), r.presenting);
        EXPECT_EQ(frame->IsMyRoleActive(), r.chair || r.presenting);
    }
}

TEST_F(RoomWork, OptionBytesOf255KeepTheStoredOnesAndAreSentOnceTheRoomIsEntered) {
    frame->SetConfigBytes(1, 2, 3, 4, 5, 6);
    EXPECT_EQ(log.Count("SetConfOptions("), 0u);
    Open();
    log.Clear();
    frame->SetConfigBytes(255, 255, 255, 255, 255, 255);
    EXPECT_EQ(log.Matching("SetConfOptions("),
              std::vector<std::string>{"SetConfOptions(2,1,3,4,5,6)"});
    frame->SetConfigBytes(9, 255, 255, 255, 255, 0);
    EXPECT_EQ(log.Matching("SetConfOptions(").back(), "SetConfOptions(2,9,3,4,5,0)");
}

struct PageCase {
    std::uint16_t kind;
    std::int32_t value;
    std::vector<std::string> calls;
    UINT timer;
};

TEST_F(RoomWork, DocumentPageMessagesReachTheirWindows) {
    Open();
    const PageCase cases[] = {
        {1, 9, {"Frame.SetPageInfo(0,33)"}, 0},
        {2, 9, {"Frame.SetPageInfo(9,33)"}, 0},
        {3, 1, {"FileList.ShowCentered()"}, 0},
        {3, 2, {}, CYavClientDlg::TIMER_SHOWDLG_LOCALUP},
        {4, 3, {"ControlBar.OnPopSwitchSelect(1,3)"}, 0},
        {5, 0, {"FileList.ShowWindow(0)"}, 0},
        {6, 1, {}, 0},
    };
    for (const PageCase& c : cases) {
        log.Clear();
        frame->OnDocPageMsg(c.kind, c.value, 33);
        std::vector<std::string> calls;
        for (const std::string& call : log.Calls()) {
            if (call.rfind("Frame.Set", 0) == 0 || call.rfind("FileList.", 0) == 0 ||
                call.rfind("ControlBar.", 0) == 0) {
                calls.push_back(call);
            }
        }
        EXPECT_EQ(calls, c.calls) << c.kind << "/" << c.value;
        if (c.timer != 0) {
            EXPECT_EQ(frame->GetTimerElapse(c.timer), 100);
        }
    }
}

TEST_F(RoomWork, APumpTickKeepsTheTimerAndALossStartsOneReconnection) {
    Open();
    ASSERT_TRUE(TimerDriver::Fire(*frame, CYavClientDlg::TIMER_RECV_DATA));
    EXPECT_EQ(frame->GetTimerElapse(CYavClientDlg::TIMER_RECV_DATA), 50);
    EXPECT_EQ(frame->GetReconnectDlg(), nullptr);

    log.Clear();
    fake.queue.Push(ST_CS_MSG{});
    ASSERT_TRUE(TimerDriver::Fire(*frame, CYavClientDlg::TIMER_RECV_DATA));
    EXPECT_FALSE(frame->IsTimerSet(CYavClientDlg::TIMER_RECV_DATA));
    ASSERT_NE(frame->GetReconnectDlg(), nullptr);
    EXPECT_TRUE(frame->GetReconnectDlg()->isVisible());
    EXPECT_TRUE(frame->IsReconnecting());
    EXPECT_GE(IndexOf("ControlBar.RemoveAllDocTabs()"), 0);
    // The posted loss notice: the room is disabled and leaves once.
    yav::testing::WaitUntil([this] { return log.Count("Logout()") > 0; }, 2000);
    QApplication::processEvents();
    EXPECT_FALSE(frame->isEnabled());
    EXPECT_EQ(log.Count("Logout()"), 1u);
    EXPECT_TRUE(frame->GetReconnectDlg()->isEnabled());
}

TEST_F(RoomWork, ALossWhileTheServerEndsTheStayClosesTheRoom) {
    Open();
    frame->SetExitFlag(1);
    fake.queue.Push(ST_CS_MSG{});
    ASSERT_TRUE(TimerDriver::Fire(*frame, CYavClientDlg::TIMER_RECV_DATA));
    yav::testing::WaitUntil([this] { return !frame->IsWindow(); }, 2000);
    EXPECT_FALSE(frame->IsWindow());
    EXPECT_EQ(frame->GetReconnectDlg(), nullptr);
}

TEST_F(RoomWork, ALossWhileTheQuotaBoxIsOpenClosesTheRoom) {
    Open();
    std::vector<CDlgPopMsg*> open;
    const int token = yav::Dialog::AddModalObserver([&](yav::Dialog& dialog) {
        if (auto* box = dynamic_cast<CDlgPopMsg*>(&dialog)) {
            // While the quota box is up, the connection goes.
            open.push_back(box);
            fake.queue.Push(ST_CS_MSG{});
            TimerDriver::Fire(*frame, CYavClientDlg::TIMER_RECV_DATA);
            box->EndDialog(IDCANCEL);
        }
    });
    ST_CS_MSG quota;
    quota.type = CS_MSG_SERVER_NOTICE;
    quota.payload = CsServerNotice{3, 0, 0, 0, 0};
    fake.queue.Push(quota);
    ASSERT_TRUE(TimerDriver::Fire(*frame, CYavClientDlg::TIMER_RECV_DATA));
    yav::testing::WaitUntil([this] { return !frame->IsWindow(); }, 3000);
    yav::Dialog::RemoveModalObserver(token);
    EXPECT_EQ(open.size(), 1u);
    EXPECT_FALSE(frame->IsWindow());
    EXPECT_EQ(frame->GetReconnectDlg(), nullptr);
}

struct ConfirmCase {
    int command;
    int answer;
    std::vector<std::string> sent;
};

TEST_F(RoomWork, ConfirmedCommandsSendOnlyAfterOk) {
    ST_USER_ITEM_DEPT& speaker = fake.users.AddUser(40, u"bob");
    speaker.speakState = 2;
    speaker.kind = 1;
    Open();
    const ConfirmCase cases[] = {
        {32791, IDCANCEL, {}},
        {32782, IDCANCEL, {}},
        {32791, IDOK, {"AwardSpeek(40,0)"}},
        {32782, IDOK, {"Transmit(0,288,0)"}},
    };
    for (const ConfirmCase& c : cases) {
        log.Clear();
        yav::testing::ModalAnswer answer([&c](yav::Dialog& box) { box.EndDialog(c.answer); });
        frame->SendMessage(WM_COMMAND, static_cast<WPARAM>(c.command), 0);
        EXPECT_TRUE(answer.Answered());
        std::vector<std::string> sent = log.Matching("AwardSpeek(");
        for (const std::string& call : log.Matching("Transmit(")) {
            sent.push_back(call);
        }
        EXPECT_EQ(sent, c.sent) << c.command << " answered " << c.answer;
    }
}

TEST_F(RoomWork, LayoutCommandsSetTheFourLayoutBytes) {
    Open();
    const struct {
        int command;
        std::uint8_t mode;
    } cases[] = {{32851, 6}, {32854, 9}, {32855, 1}, {32856, 2}, {32859, 5}};
    for (const auto& c : cases) {
        frame->SendMessage(WM_COMMAND, static_cast<WPARAM>(c.command), 0);
        EXPECT_EQ(frame->GetLayoutBytes().layoutMode, c.mode);
        EXPECT_EQ(frame->GetLayoutBytes().mainContent, 2);
        EXPECT_EQ(frame->GetLayoutBytes().sideContent, 0);
        EXPECT_EQ(frame->GetLayoutBytes().mainDisplay, 0);
    }
}

TEST_F(RoomWork, RoomMessagesOfTheWindowFramework) {
    Open();
    fakes::LogCapture lines;
    // An unknown document-data kind is logged and changes nothing.
    log.Clear();
    frame->SendMessage(WM_DOCDATA_MESSAGE, 4, 0);
    EXPECT_TRUE(lines.Contains("收到错误消息参数 wp=4"));
    EXPECT_TRUE(log.Calls().empty());
    // Device changes in a burst give one audio re-check: the timer is re-armed, not queued.
    for (int i = 0; i < 3; ++i) {
        frame->SendMessage(WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
    }
    EXPECT_EQ(frame->GetTimerElapse(CYavClientDlg::TIMER_AUDIO_DEVICE_CHECK), 10);
    EXPECT_EQ(TimerDriver::FireWhileSet(*frame, CYavClientDlg::TIMER_AUDIO_DEVICE_CHECK, 5), 1);
    // A camera arrival while the media component counts none is logged only.
    frame->SendMessage(WM_CAMERA_ARRIVED, 0, 0);
    EXPECT_TRUE(lines.Contains("收到插入摄像头的消息个数：0"));
    EXPECT_EQ(log.Count("StatusBar.EnableCameraButton"), 0u);
    // A loss notice without a reconnect dialog still disables the room and leaves.
    frame->SendMessage(WM_RECONNECT_STATE, 1, 0);
    EXPECT_FALSE(frame->isEnabled());
    EXPECT_EQ(log.Count("Logout()"), 1u);
    EXPECT_EQ(log.Count("UserList.ClearLocalUser()"), 1u);
}

TEST_F(RoomWork, TenThousandCallbacksFromFourThreadsArriveInOrderPerThread) {
    frame.reset();
    auto recording = std::make_unique<RecordingFrame>();
    RecordingFrame* room = recording.get();
    frame = std::move(recording);
    g_pMainFrame = frame.get();
    ASSERT_EQ(frame->LoginCs(kConfId, nullptr, 0), 0);
    Open();
    constexpr int kThreads = 4;
    constexpr int kPerThread = 2500;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([room, t] {
            for (int i = 0; i < kPerThread; ++i) {
                room->OnMediaEvent3018((t << 16) | i);
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    yav::testing::WaitUntil([room] { return room->seen.size() >= kThreads * kPerThread; }, 20000);
    ASSERT_EQ(room->seen.size(), static_cast<size_t>(kThreads * kPerThread));
    std::vector<int> next(kThreads, 0);
    for (const auto& [code, value] : room->seen) {
        ASSERT_EQ(code, WPARAM{NETMSG_MEDIA_NOTICE_3018});
        const int thread = static_cast<int>(value >> 16);
        ASSERT_EQ(value & 0xFFFF, next[static_cast<size_t>(thread)]);
        ++next[static_cast<size_t>(thread)];
    }
}

}  // namespace
}  // namespace room_test

namespace room_test {
namespace {

struct DiskCase {
    double freeMb;
    bool stopped;
    bool tip;
};

TEST_F(RoomFixture, TheDiskWatchStopsBelow1024AndWarnsBelow3096) {
    const DiskCase cases[] = {{1023.9, true, false},
                              {1024.0, false, true},
                              {3095.9, false, true},
                              {3096.0, false, false}};
    Open();
    for (const DiskCase& c : cases) {
        log.Clear();
        frame->GetTipsHolder().DestroyTip();
        statusBar->recording = 1;
        const auto bytes = static_cast<std::uint64_t>(c.freeMb * 1024 * 1024);
        frame->freeBytesSource = [bytes](const QString&) { return bytes; };
        int boxes = 0;
        const int token = yav::Dialog::AddModalObserver([&boxes](yav::Dialog& box) {
            ++boxes;
            box.EndDialog(IDOK);
        });
        frame->SetTimer(CYavClientDlg::TIMER_DISK_SPACE, 10000);
        ASSERT_TRUE(yav::testing::TimerDriver::Fire(*frame, CYavClientDlg::TIMER_DISK_SPACE));
        yav::Dialog::RemoveModalObserver(token);
        EXPECT_EQ(log.Count("StatusBar.SetRecordingOff()"), c.stopped ? 1u : 0u) << c.freeMb;
        EXPECT_EQ(boxes, c.stopped ? 1 : 0) << c.freeMb;
        EXPECT_EQ(frame->GetTipsHolder().GetTip() != nullptr, c.tip) << c.freeMb;
    }
}

TEST_F(RoomFixture, RecordingIsCutEverySliceLength) {
    Open();
    g_AppSettings.VideoSlice = 30;
    std::uint64_t now = 0;
    frame->tickSource = [&now] { return now; };
    statusBar->recording = 1;
    const std::uint64_t minute = 60000;
    for (const auto& [at, cuts] : std::vector<std::pair<std::uint64_t, size_t>>{
             {29 * minute, 0}, {30 * minute, 1}, {59 * minute, 1}, {60 * minute, 2}}) {
        now = at;
        frame->SetTimer(CYavClientDlg::TIMER_RECORD_SLICE, 1000);
        ASSERT_TRUE(yav::testing::TimerDriver::Fire(*frame, CYavClientDlg::TIMER_RECORD_SLICE));
        EXPECT_EQ(log.Count("StatusBar.SetRecordingOff()"), cuts) << at / minute;
        statusBar->recording = 1;
    }
}

TEST_F(RoomFixture, NetworkQualityIsSampledOnlyOnceTheStreamServerIsThereAndNotWhileReconnecting) {
    Open();
    frame->SetTimer(CYavClientDlg::TIMER_NET_QUALITY, 15000);
    ASSERT_TRUE(yav::testing::TimerDriver::Fire(*frame, CYavClientDlg::TIMER_NET_QUALITY));
    EXPECT_EQ(log.Count("StatusBar.SetNetQualityLevel"), 0u);
    EXPECT_FALSE(frame->IsStreamServerReady());
}

}  // namespace
}  // namespace room_test
