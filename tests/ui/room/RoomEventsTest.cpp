// The components' callbacks (posted from their threads) and the network-event switch.

#include <QApplication>

#include <thread>

#include "RoomFixture.h"

namespace room_test {
namespace {

using yav::testing::TimerDriver;

class RoomEvents : public RoomFixture {
protected:
    void SetUp() override {
        RoomFixture::SetUp();
        frame.reset();
        auto recording = std::make_unique<RecordingFrame>();
        room = recording.get();
        frame = std::move(recording);
        g_pMainFrame = frame.get();
        ASSERT_EQ(frame->LoginCs(kConfId, nullptr, 0), 0);
        Open();
        log.Clear();
    }
    std::vector<QString> Notices() const { return userList->chat.lines; }
    void Net(WPARAM code, LPARAM status) { frame->SendMessage(WM_NET_MESSAGE, code, status); }

    RecordingFrame* room = nullptr;
};

struct SlotCase {
    const char* name;
    std::function<void(XMainFrame&)> call;
    WPARAM code;
    LPARAM status;
};

TEST_F(RoomEvents, EachCallbackPostsItsEventFromTheComponentsThread) {
    const SlotCase cases[] = {
        {"OnMsgResult", [](XMainFrame& f) { f.OnMsgResult(5, 9); }, NETMSG_WB_MSGRESULt, 5},
        {"OnFileListResult", [](XMainFrame& f) { f.OnFileListResult(3, 9); }, NETMSG_WB_FILELIST,
         3},
        {"OnMediaServerConnected", [](XMainFrame& f) { f.OnMediaServerConnected(1); },
         NETMSG_CONNECTED_MEDIASERVER, 1},
        {"OnStreamServerConnected", [](XMainFrame& f) { f.OnStreamServerConnected(0); },
         NETMSG_CONNECTED_STREAMSERVER, 0},
        {"OnMediaEvent3010", [](XMainFrame& f) { f.OnMediaEvent3010(8, 1); },
         NETMSG_MEDIA_RESULT_3010, 1},
        {"OnMediaEvent3013", [](XMainFrame& f) { f.OnMediaEvent3013(8, 0); },
         NETMSG_MEDIA_RESULT_3013, 0},
        {"OnMediaEvent300F", [](XMainFrame& f) { f.OnMediaEvent300F(1); }, NETMSG_MEDIA_RESULT_300F,
         1},
        {"OnMediaEvent3012", [](XMainFrame& f) { f.OnMediaEvent3012(0); }, NETMSG_MEDIA_RESULT_3012,
         0},
        {"OnMediaEvent3018", [](XMainFrame& f) { f.OnMediaEvent3018(77); },
         NETMSG_MEDIA_NOTICE_3018, 77},
        {"OnRemoteControl", [](XMainFrame& f) { f.OnRemoteControl(1); }, NETMSG_SCREEN_LOGIN, 1},
        {"OnScreenShareStatus", [](XMainFrame& f) { f.OnScreenShareStatus(2); },
         NETMSG_SCREEN_SHARE, 2},
        {"OnScreenSendRequest", [](XMainFrame& f) { f.OnScreenSendRequest(0); },
         NETMSG_SCREEN_SENDREQUEST, 0},
        {"OnScreenRecvReconnected", [](XMainFrame& f) { f.OnScreenRecvReconnected(1, 4); },
         NETMSG_SCREEN_MSGOFRECEVIER, 1},
        {"OnScreenSendReconnected", [](XMainFrame& f) { f.OnScreenSendReconnected(3, 4); },
         NETMSG_SCREEN_MSGOFSENDER, 3},
    };
    for (const SlotCase& c : cases) {
        room->seen.clear();
        std::thread component([this, &c] { c.call(*frame); });
        component.join();
        // Nothing ran on the component's thread: the event waits in the room's queue.
        EXPECT_TRUE(room->seen.empty()) << c.name;
        yav::testing::WaitUntil([this] { return !room->seen.empty(); }, 2000);
        ASSERT_EQ(room->seen.size(), 1u) << c.name;
        EXPECT_EQ(room->seen[0].first, c.code) << c.name;
        EXPECT_EQ(room->seen[0].second, c.status) << c.name;
    }
}

TEST_F(RoomEvents, DocumentDataReachesItsHandlersAndIsLostWithTheWindow) {
    std::thread([this] {
        frame->OnDocData(2, 4, 12);
        frame->OnDocMsg2(3);
    }).join();
    yav::testing::WaitUntil([this] { return log.Count("ToolBox.ApplyZoom") > 0; }, 2000);
    EXPECT_EQ(log.Count("Frame.SetPageInfo(4,12)"), 1u);
    EXPECT_EQ(log.Matching("ToolBox.ApplyZoom"),
              std::vector<std::string>{"ToolBox.ApplyZoom(3,0)"});

    // Posted while the room closes: dropped with its record, never handled by the next room.
    frame->OnDocData(2, 5, 13);
    frame->SetExitFlag(1);
    frame->SendMessage(WM_CLOSE_ROOM, 0, 0);
    ASSERT_EQ(frame->LoginCs(kConfId, nullptr, 0), 0);
    Open();
    QApplication::processEvents();
    EXPECT_EQ(log.Count("Frame.SetPageInfo(5,13)"), 0u);
}

TEST_F(RoomEvents, FileListReportsAreTakenAtOnceAndReachTheListOnTheRoomsThread) {
    const std::uint8_t record[32] = {1, 2, 3};
    std::intptr_t taken = 0;
    std::thread([this, &record, &taken] {
        taken = frame->OnFileListRecord(record);
        // Low-level document messages go to the list's queue, msg 7 in front.
        frame->OnLowLevelMsg(7, QStringLiteral("a"), 0);
        frame->OnLowLevelMsg(3, QStringLiteral("b"), 0);
    }).join();
    EXPECT_NE(taken, 0);
    // Nothing reached the list on the component's thread: the room may be dropping it.
    EXPECT_TRUE(log.Calls().empty());
    ASSERT_TRUE(yav::testing::WaitUntil(
        [this] { return log.Count("FileList.QueueDocMessage") == 2; }, 2000));
    EXPECT_EQ(log.Calls(),
              (std::vector<std::string>{"FileList.AddFileRecord()", "FileList.QueueDocMessage(7,1)",
                                        "FileList.QueueDocMessage(3,0)"}));
    for (const std::thread::id thread : log.Threads()) {
        EXPECT_EQ(thread, std::this_thread::get_id());
    }
    EXPECT_EQ(frame->GetOwner(), SW_SHOWNORMAL);

    // Reported once the room is closed: dropped, the list being gone.
    frame->SetExitFlag(1);
    frame->SendMessage(WM_CLOSE_ROOM, 0, 0);
    log.Clear();
    std::thread([this, &record] {
        frame->OnFileListRecord(record);
        frame->OnLowLevelMsg(7, QStringLiteral("c"), 0);
    }).join();
    QApplication::processEvents();
    EXPECT_EQ(log.Count("FileList."), 0u);
}

struct FailureCase {
    std::vector<LPARAM> statuses;
    int lookups;
    int failsAfter;
};

TEST_F(RoomEvents, ThreeMediaServerFailuresInARowAskForANewAddressOnce) {
    const FailureCase cases[] = {
        {{0, 0, 1, 0}, 0, 1},
        {{0, 0, 0}, 1, 0},
        {{0, 0, 0, 0}, 1, 1},
        {{1, 0, 0}, 0, 2},
    };
    for (const FailureCase& c : cases) {
        std::atomic<int> lookups{0};
        frame->avServerLookup = [&lookups](uint32_t) {
            ++lookups;
            return std::string("10.9.9.9");
        };
        Net(NETMSG_CONNECTED_MEDIASERVER, 1);  // a success starts the count afresh
        for (LPARAM status : c.statuses) {
            Net(NETMSG_CONNECTED_MEDIASERVER, status);
        }
        if (c.lookups > 0) {
            yav::testing::WaitUntil(
                [] { return std::string(g_pMediaManager->GetServerAddress()) == "10.9.9.9"; },
                3000);
            EXPECT_STREQ(g_pMediaManager->GetServerAddress(), "10.9.9.9");
            g_pMediaManager->SetMediaServerAddress("10.0.0.5");
        }
        frame->OnRoomClosed();  // joins the lookup
        EXPECT_EQ(lookups.load(), c.lookups);
        EXPECT_EQ(frame->GetMediaConnectFails(), c.failsAfter);
    }
}

TEST_F(RoomEvents, AMediaServerConnectionShowsItsAddress) {
    g_pMediaManager->SetMediaServerAddress("10.0.0.5");
    Net(NETMSG_CONNECTED_MEDIASERVER, 1);
    EXPECT_STREQ(frame->GetAVServerIp(), "10.0.0.5");
    EXPECT_EQ(Notices(),
              (std::vector<QString>{LoadLangString(292), QStringLiteral("IP:10.0.0.5")}));
}

TEST_F(RoomEvents, TheStreamServerSubscribesOncePerStay) {
    Net(NETMSG_CONNECTED_STREAMSERVER, 1);
    EXPECT_TRUE(frame->IsStreamServerReady());
    EXPECT_EQ(frame->GetTimerElapse(CYavClientDlg::TIMER_NET_QUALITY), 15000);
    EXPECT_EQ(log.Count("SetConfOptions("), 1u);
    frame->KillTimer(CYavClientDlg::TIMER_NET_QUALITY);
    Net(NETMSG_CONNECTED_STREAMSERVER, 0);
    EXPECT_FALSE(frame->IsTimerSet(CYavClientDlg::TIMER_NET_QUALITY));
    EXPECT_EQ(log.Count("SetConfOptions("), 1u);
    EXPECT_EQ(Notices(), (std::vector<QString>{LoadLangString(298), LoadLangString(301)}));
}

struct ScreenLoginCase {
    std::uint16_t sharer;
    std::uint32_t connection;
    size_t receptions;
};

TEST_F(RoomEvents, ScreenShareLoginViewsAnotherPresentSharerOnly) {
    fake.users.AddUser(40, u"bob");
    const ScreenLoginCase cases[] = {
        {0, 0x55, 0},   // nobody shares
        {16, 0x55, 0},  // I share myself
        {48, 0x55, 0},  // not present
        {40, 0, 0},     // no connection value
        {40, 0x55, 1},
    };
    for (const ScreenLoginCase& c : cases) {
        log.Clear();
        userList->chat.lines.clear();
        const std::uint8_t record[6] = {static_cast<std::uint8_t>(c.sharer),
                                        static_cast<std::uint8_t>(c.sharer >> 8),
                                        static_cast<std::uint8_t>(c.connection),
                                        0,
                                        0,
                                        0};
        std::copy(std::begin(record), std::end(record), fake.loginInfo.roomAttr);
        frame->GetConfManager()->RefreshConfInfo();
        Net(NETMSG_SCREEN_LOGIN, 0);
        EXPECT_EQ(log.Count("ScreenShare.StartRecv("), c.receptions) << c.sharer;
        EXPECT_EQ(frame->GetScreenShareState(), c.receptions != 0 ? 2 : 0);
        EXPECT_EQ(Notices(), std::vector<QString>{LoadLangString(343)});
    }
    userList->chat.lines.clear();
    Net(NETMSG_SCREEN_LOGIN, 9);
    EXPECT_EQ(Notices(), std::vector<QString>{LoadLangString(349) + QStringLiteral(" Err=9")});
}

TEST_F(RoomEvents, DocumentResultsShowTheirTextsAndUnknownStatusesAnEmptyLine) {
    const struct {
        WPARAM code;
        LPARAM status;
        QString text;
    } cases[] = {
        {NETMSG_WB_MSGRESULt, 3, LoadLangString(328)},
        {NETMSG_WB_MSGRESULt, 6, LoadLangString(328)},
        {NETMSG_WB_MSGRESULt, 4, LoadLangString(340)},
        {NETMSG_WB_MSGRESULt, 0, QString()},
        {NETMSG_WB_MSGRESULt, 7, QString()},
        {NETMSG_WB_FILELIST, 5, LoadLangString(289)},
        {NETMSG_WB_FILELIST, 6, QString()},
        {NETMSG_MEDIA_RESULT_300F, 1, LoadLangString(310) + LoadLangString(304)},
        {NETMSG_MEDIA_RESULT_3013, 0, LoadLangString(319) + LoadLangString(307)},
    };
    for (const auto& c : cases) {
        userList->chat.lines.clear();
        Net(c.code, c.status);
        EXPECT_EQ(Notices(), std::vector<QString>{c.text}) << c.code << "/" << c.status;
    }
}

TEST_F(RoomEvents, EventsWithoutAHandlerChangeNothing) {
    for (const WPARAM code :
         {WPARAM{NETMSG_MEDIA_NOTICE_3018}, WPARAM{NETMSG_SCREEN_SENDREQUEST}, WPARAM{0x3999}}) {
        Net(code, 0);
    }
    EXPECT_TRUE(Notices().empty());
    EXPECT_TRUE(log.Calls().empty());
    EXPECT_EQ(frame->GetScreenShareState(), 0);
}

class RoomWithoutChat : public RoomFixture {
protected:
    Installed Children() const override {
        Installed which;
        which.userList = false;
        return which;
    }
};

TEST_F(RoomWithoutChat, NoticesAreDroppedWithALogLine) {
    Open();
    fakes::LogCapture lines;
    frame->SendMessage(WM_NET_MESSAGE, NETMSG_CONNECTED_STREAMSERVER, 1);
    EXPECT_TRUE(lines.Contains("notice without chat window: " + LoadLangString(298).toStdString()));
}

}  // namespace
}  // namespace room_test
