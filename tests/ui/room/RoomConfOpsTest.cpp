// The main frame's conference operations: paging of the room's own layout, the video cycle's
// window switch, receiving participants when the stream server comes up, group counts and
// camera control.

#include <set>

#include "RoomHandlersFixture.h"
#include "client/conference/LayoutCodec.h"
#include "client/conference/UserCommandPayloads.h"
#include "client/media/VideoCycle.h"

namespace room_test {
namespace {

using RoomConfOps = RoomHandlers;

TEST_F(RoomConfOps, AnOwnLayoutOpensOnePageOneIdPerTimerStep) {
    for (std::uint16_t id : {25, 26, 33, 41, 49}) {
        frame->GetMediaIdList().AddOrMoveToTail(id);
    }
    frame->GetMediaIdList().SetFlag(26, 1);  // already shown: skipped
    layout->capacity = 3;

    g_AppSettings.freeLayout = 0;
    EXPECT_EQ(frame->LayoutVideoWindows(0, 0), 0);

    g_AppSettings.freeLayout = 1;
    EXPECT_EQ(frame->LayoutVideoWindows(0, 0), 3);
    // Nothing opened yet: the ids wait for the timer, the UI thread did not pause.
    EXPECT_EQ(log.Count("Reception.OpenChannel"), 0u);
    EXPECT_EQ(frame->GetPageStart(), 3u);
    ASSERT_TRUE(
        yav::testing::WaitUntil([this] { return log.Count("Reception.OpenChannel") == 3; }));
    EXPECT_EQ(log.Matching("Reception.OpenChannel"),
              std::vector<std::string>({"Reception.OpenChannel(25)", "Reception.OpenChannel(33)",
                                        "Reception.OpenChannel(41)"}));

    // A count below the page size takes that many.
    log.Clear();
    EXPECT_EQ(frame->LayoutVideoWindows(2, 1), 1);
    EXPECT_EQ(frame->GetPageStart(), 3u);
}

TEST_F(RoomConfOps, ClosingAllVideoWindowsStopsAPendingPage) {
    for (std::uint16_t id : {25, 33, 41}) {
        frame->GetMediaIdList().AddOrMoveToTail(id);
    }
    layout->windows[4]->userId = 49;
    g_AppSettings.freeLayout = 1;
    frame->LayoutVideoWindows(0, 0);
    frame->CloseAllVideoWindows();
    EXPECT_EQ(log.Matching("Reception.CloseChannel"),
              std::vector<std::string>({"Reception.CloseChannel(49)"}));
    EXPECT_EQ(frame->GetPageStart(), 0u);
    yav::testing::WaitUntil([] { return false; }, 60);
    EXPECT_EQ(log.Count("Reception.OpenChannel"), 0u);
}

// The cycle's thread takes the queue's front for a window; the room switches the window; the
// new stream's first picture (0x9D01) hands the old id back.
TEST_F(RoomConfOps, TheCycleKeepsEveryParticipantInRotation) {
    CVideoCycle* cycle = frame->GetVideoCycle();
    ASSERT_NE(cycle, nullptr);
    const std::vector<std::uint16_t> ids = {24, 32, 40, 48};
    for (std::uint16_t id : ids) {
        AddOther(id, u"p", 0b1);
    }
    for (std::uint16_t id : ids) {
        cycle->PushBack(id);
    }
    fakes::FakeRoomVideoWindow& window = *layout->windows[0];
    std::set<std::uint16_t> shown;
    for (int rotation = 0; rotation < 12; ++rotation) {
        const std::vector<std::uint16_t> queue = cycle->GetQueue();
        ASSERT_FALSE(queue.empty()) << rotation;
        const std::uint16_t next = queue.front();
        cycle->RemoveMediaId(next);
        std::uint16_t old = 0;
        frame->AssignChannelToWindow(&window, next, &old);
        frame->OnCycleSwitchShown(&window);
        EXPECT_EQ(window.userId, next);
        shown.insert(next);
        // Every participant is either on screen or waiting in the queue, once.
        std::vector<std::uint16_t> all = cycle->GetQueue();
        all.push_back(window.userId);
        std::sort(all.begin(), all.end());
        EXPECT_EQ(all, ids) << rotation;
    }
    EXPECT_EQ(shown, std::set<std::uint16_t>(ids.begin(), ids.end()));
    // The first switch started directly (window empty); the others switch on first picture.
    EXPECT_EQ(log.Count("Media.StartRecvVideo(24,888888,40192)"), 1u);
    EXPECT_EQ(log.Count("Media.StartRecvVideo(32,888888,40193)"), 3u);
    EXPECT_EQ(log.Count("Media.StopRecvVideo"), 11u);
    yav::layout::WindowLayout room;
    room.Bytes() = frame->GetLayoutSlot(0);
    EXPECT_EQ(room.WindowId(0), window.userId);
}

TEST_F(RoomConfOps, AssigningTheShownIdOrWithoutAWindowDoesNothing) {
    fakes::FakeRoomVideoWindow& window = *layout->windows[2];
    window.userId = 24;
    std::uint16_t old = 7;
    frame->AssignChannelToWindow(&window, 24, &old);
    EXPECT_EQ(old, 24);
    EXPECT_EQ(log.Count("Media."), 0u);
    frame->AssignChannelToWindow(nullptr, 24, &old);
    EXPECT_EQ(old, 0);
}

TEST_F(RoomConfOps, StreamServerUpReceivesBroadcastChannelsUpToEight) {
    ST_USER_ITEM_DEPT user;
    user.userId = kOther;
    user.videoChannelCount = 10;
    user.broadcastMask = 0xFF;
    user.channelMask = 0xFF;
    user.streamParam = 5;
    user.speakState = 0;
    frame->SetMediaShareState(1);
    frame->AddRecvForUser(&user, nullptr);
    const auto received = log.Matching("Reception.MediaVideoRecv");
    // Channels 0..7 once each from the channel walk, channel 7 again as the media channel.
    ASSERT_EQ(received.size(), 9u);
    EXPECT_EQ(received.front(), "Reception.MediaVideoRecv(24,5)");
    EXPECT_EQ(received[7], "Reception.MediaVideoRecv(31,5)");
    // This client shares media itself: no tab, the state stays.
    EXPECT_EQ(frame->GetMediaShareState(), 1);
    EXPECT_EQ(log.Count("ControlBar.AddDocTab"), 0u);

    // My own record is skipped.
    log.Clear();
    user.userId = kMyId;
    frame->AddRecvForUser(&user, nullptr);
    EXPECT_EQ(log.Count("Reception."), 0u);
}

TEST_F(RoomConfOps, GroupMembersAreCountedByGroupValue) {
    const struct {
        std::uint16_t id;
        std::uint32_t group;
    } members[] = {{24, 7}, {32, 7}, {40, 9}, {48, 0}};
    for (const auto& m : members) {
        ST_USER_ITEM_DEPT& user = AddOther(m.id, u"x");
        user.privateData.groupValue = m.group;
    }
    EXPECT_EQ(frame->CountGroupUsers(7), 2);
    EXPECT_EQ(frame->CountGroupUsers(9), 1);
    EXPECT_EQ(frame->CountGroupUsers(0), 2);  // me and user 48
    EXPECT_EQ(frame->CountGroupUsers(11), 0);
}

TEST_F(RoomConfOps, CameraControlGoesToTheChannelsOwner) {
    frame->SendCameraControl(26, 4);
    ASSERT_EQ(fake.transmissions.size(), 1u);
    EXPECT_EQ(fake.transmissions[0].to, 24);
    EXPECT_EQ(fake.transmissions[0].subCommand, 263);
    EXPECT_EQ(fake.transmissions[0].bytes, std::vector<std::uint8_t>({2, 4}));
    frame->SendCameraControl(kMyId + 1, 3);
    EXPECT_EQ(fake.transmissions.size(), 1u);
    EXPECT_EQ(log.Count("Media.ControlCamera(1,3)"), 1u);
}

TEST_F(RoomConfOps, LeavingKeepsTheLayoutInItsNetworkFormForTheReturn) {
    frame->LeaveConference();
    yav::layout::WindowLayout room;
    room.Bytes() = frame->GetLayoutSlot(0);
    EXPECT_EQ(frame->GetPendingLayout(), yav::layout::ToNetworkForm(room).Bytes());
}

TEST_F(RoomConfOps, ReturningEndsMyControlOfAnotherScreenOrWithdrawsMyRequest) {
    const struct {
        std::uint8_t state;
        std::uint32_t pending;
        std::vector<std::uint8_t> sent;  // code of 306 to bob, empty when none
    } cases[] = {{1, 0, {0}}, {0, 1, {2}}, {0, 0, {}}};
    AddOther(kOther, u"bob");
    for (const auto& c : cases) {
        fake.transmissions.clear();
        frame->SetRemoteControl(c.state, kOther);
        frame->SetRequestPendingForTest(c.pending);
        frame->EnterConference();
        const auto sent = Sent(yav::proto::kSubCommandRequestControl);
        if (c.sent.empty()) {
            EXPECT_TRUE(sent.empty()) << int(c.state);
            continue;
        }
        ASSERT_EQ(sent.size(), 1u) << int(c.state);
        EXPECT_EQ(sent[0].to, kOther);
        EXPECT_EQ(sent[0].bytes, c.sent);
        EXPECT_EQ(frame->GetRemoteControlState(), 0);
        EXPECT_EQ(frame->GetControlRequest(), 0u);
    }
}

TEST_F(RoomConfOps, AnOwnLayoutStartsFromTheDefaultArrangementAndTheFirstPage) {
    g_AppSettings.freeLayout = 0;
    yav::layout::WindowLayout room;
    room.Bytes() = frame->GetLayoutSlot(0);
    room.SetMainDisplay(2);
    room.SetLayoutMode(9);
    frame->SetRoomLayoutForTest(room.Bytes());
    frame->GetMediaIdList().AddOrMoveToTail(25);
    layout->windows[1]->userId = 33;
    frame->ResetVideoLayoutState(1);
    EXPECT_EQ(g_AppSettings.freeLayout, 1);
    room.Bytes() = frame->GetLayoutSlot(0);
    EXPECT_EQ(room.MainDisplay(), 0);
    EXPECT_EQ(room.LayoutMode(), 4);
    EXPECT_EQ(room.WindowMode(), 2);
    const long mine = IndexOf("Reception.CloseMyVideoWindows()");
    const long closed = IndexOf("Reception.CloseChannel(33)");
    EXPECT_GE(mine, 0);
    EXPECT_LT(mine, closed);
    EXPECT_EQ(log.Count("ControlBar.SetVideoPageCount(1)"), 1u);
    ASSERT_TRUE(
        yav::testing::WaitUntil([this] { return log.Count("Reception.OpenChannel(25)") == 1; }));
}

TEST_F(RoomConfOps, EndingMyScreenShareRestoresTheRoomAndTellsEverybody) {
    layout->windows[5]->zoomed = true;
    layout->windows[9]->zoomed = true;
    frame->SetShareStateForTest(1, 0, 0, 0);
    frame->EndOwnScreenShare();
    EXPECT_EQ(frame->GetScreenBroadcast(), 0);
    // The first zoomed window only.
    EXPECT_EQ(log.Matching("Wnd"), std::vector<std::string>({"Wnd5.RepostZoom()"}));
    EXPECT_EQ(log.Count("UserList.SetFloat(0)"), 1u);
    EXPECT_LT(IndexOf("ScreenShare.StopShare()"), IndexOf("UserList.ClearScreenControlUsers()"));
    const auto screen = Sent(yav::proto::kSubCommandScreen);
    ASSERT_EQ(screen.size(), 1u);
    EXPECT_EQ(screen[0].to, 0);
    EXPECT_EQ(screen[0].bytes.at(0), 0);
    EXPECT_EQ(log.Count("SetUserAttribute(0,6,1)"), 1u);

    // Not sharing: nothing happens.
    log.Clear();
    frame->EndOwnScreenShare();
    EXPECT_TRUE(log.Calls().empty());
}

}  // namespace
}  // namespace room_test
