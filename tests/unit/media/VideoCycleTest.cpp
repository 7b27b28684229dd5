#include "client/media/VideoCycle.h"

#include <gtest/gtest.h>

#include <QThread>

#include <thread>

#include "fakes/conference/CallLog.h"
#include "fakes/conference/FakeCsUserManager.h"
#include "fakes/conference/FakeCycleHost.h"
#include "fakes/conference/FakeVideoWindow.h"
#include "fakes/conference/LogCapture.h"
#include "fakes/conference/QtWait.h"

namespace {

using fakes::CallLog;
using fakes::FakeCsUserManager;
using fakes::FakeCycleHost;
using fakes::FakeVideoWindow;
using fakes::WaitFor;
using Ids = std::vector<std::uint16_t>;

class VideoCycleTest : public ::testing::Test {
protected:
    void SetUp() override {
        fakes::EnsureApplication();
        cycle.SetSource(&users);
        cycle.SetHost(&host);
    }
    void TearDown() override { cycle.Stop(true); }

    // Users 8 (channels 0, 1, 7) and 16 (channel 0); nothing selected yet.
    void AddTwoUsers() {
        users.AddUser(8, u"Ann", 0b1000'0011);
        users.AddUser(16, u"Bob", 0b0000'0001);
    }

    // Users 8, 16 and 24 (Cy, channel 0) queued and selected: 8, 9, 16, 24.
    void QueueThreeUsers() {
        AddTwoUsers();
        users.AddUser(24, u"Cy", 0b1);
        for (std::uint16_t user : {8, 16, 24}) {
            cycle.AddUserChannels(user);
        }
    }

    // Waits (bounded) until the thread has run n rotations, without delivering the posted
    // assignments to the UI thread.
    bool WaitForRotations(std::uint32_t n) {
        for (int i = 0; i < 5000 && cycle.GetRotationCount() < n; ++i) {
            QThread::msleep(2);
        }
        return cycle.GetRotationCount() >= n;
    }

    CallLog log;
    FakeCsUserManager users{log};
    FakeCycleHost host{log};
    // Windows outlive the cycle's last use of them (the tear-down stops the cycle).
    FakeVideoWindow window{log, "w0"};
    FakeVideoWindow first{log, "w0"};
    FakeVideoWindow second{log, "w1"};
    FakeVideoWindow third{log, "w2"};
    CVideoCycle cycle;
};

struct IntervalCase {
    std::uint32_t requestedMs;
    std::uint32_t storedMs;
};

class VideoCycleInterval : public ::testing::TestWithParam<IntervalCase> {};

TEST_P(VideoCycleInterval, ClampsToTenToFiveHundredSeconds) {
    CVideoCycle cycle;
    EXPECT_EQ(cycle.GetInterval(), 6000u);  // until set
    cycle.SetInterval(GetParam().requestedMs);
    EXPECT_EQ(cycle.GetInterval(), GetParam().storedMs);
}

INSTANTIATE_TEST_SUITE_P(Cases, VideoCycleInterval,
                         ::testing::Values(IntervalCase{5000, 10000}, IntervalCase{0, 10000},
                                           IntervalCase{10000, 10000}, IntervalCase{20000, 20000},
                                           IntervalCase{500000, 500000},
                                           IntervalCase{600000, 500000}));

TEST_F(VideoCycleTest, PushBackQueuesOnlyOwnedChannelsOfKnownUsers) {
    AddTwoUsers();
    cycle.PushBack(0);   // never an id
    cycle.PushBack(9);   // Ann channel 1
    cycle.PushBack(9);   // already queued
    cycle.PushBack(10);  // Ann has no channel 2
    cycle.PushBack(24);  // nobody
    cycle.PushBack(16);  // Bob channel 0
    EXPECT_EQ(cycle.GetQueue(), (Ids{9, 16}));
}

TEST_F(VideoCycleTest, PushBackNeverQueuesTheBroadcastPicture) {
    users.AddUser(32, u"本次会议广播画面1", 0b1);
    cycle.PushBack(32);
    EXPECT_TRUE(cycle.GetQueue().empty());
}

TEST_F(VideoCycleTest, NothingIsQueuedWithoutSource) {
    AddTwoUsers();
    cycle.SetSource(nullptr);
    cycle.PushBack(8);
    cycle.AddUserChannels(8);
    EXPECT_TRUE(cycle.GetQueue().empty());
}

TEST_F(VideoCycleTest, AddUserChannelsQueuesAndSelectsCameraChannels) {
    AddTwoUsers();
    cycle.AddUserChannels(8);
    // Channel 7 is the shared-media channel and never cycles.
    EXPECT_EQ(cycle.GetQueue(), (Ids{8, 9}));
    EXPECT_TRUE(cycle.HasFilterUser(8));
    EXPECT_TRUE(cycle.HasFilterUser(9));
    EXPECT_FALSE(cycle.HasFilterUser(15));
    EXPECT_EQ(cycle.GetSelectedCount(), 2);
}

TEST_F(VideoCycleTest, WithFilterInUseNewChannelsAreQueuedButNotSelected) {
    AddTwoUsers();
    cycle.SetUseFilter(true);
    cycle.AddUserChannels(8);
    EXPECT_EQ(cycle.GetQueue(), (Ids{8, 9}));
    EXPECT_EQ(cycle.GetSelectedCount(), 0);
    cycle.AddFilterUser(9);
    EXPECT_EQ(cycle.GetSelectedCount(), 1);
    cycle.RemoveFilterUser(9);
    EXPECT_EQ(cycle.GetSelectedCount(), 0);
}

TEST_F(VideoCycleTest, RemoveUserChannelsUnqueuesAndUnselects) {
    AddTwoUsers();
    cycle.AddUserChannels(8);
    cycle.AddUserChannels(16);
    cycle.RemoveUserChannels(9);  // any id of the user names the user
    EXPECT_EQ(cycle.GetQueue(), (Ids{16}));
    EXPECT_FALSE(cycle.HasFilterUser(8));
    EXPECT_FALSE(cycle.HasFilterUser(9));
    EXPECT_TRUE(cycle.HasFilterUser(16));
}

TEST_F(VideoCycleTest, FirstRotationAssignsTheFirstSelectedIdOnTheUiThread) {
    AddTwoUsers();
    cycle.SetUseFilter(true);
    cycle.AddUserChannels(8);   // 8, 9 queued, not selected
    cycle.AddUserChannels(16);  // 16 queued
    cycle.AddFilterUser(9);
    cycle.AddFilterUser(16);
    cycle.AddCycleWindow(&window, 3);
    EXPECT_TRUE(cycle.IsRunning());

    ASSERT_TRUE(WaitFor([&] { return log.Count("SendSyncWndLayout") == 1; }));
    // The first selected id, skipping the unselected 8; the rest keep their order.
    EXPECT_EQ(log.Matching("AssignChannelToWindow"),
              (std::vector<std::string>{"AssignChannelToWindow(9,0)"}));
    EXPECT_EQ(window.userId, 9);
    EXPECT_EQ(cycle.GetQueue(), (Ids{8, 16}));
    // The interval is at least 10 s: no second rotation comes in this test.
    EXPECT_EQ(cycle.GetRotationCount(), 1u);

    // Windows and the room were only ever touched on this (the UI) thread.
    for (const auto& thread : log.Threads()) {
        EXPECT_EQ(thread, std::this_thread::get_id());
    }
}

TEST_F(VideoCycleTest, EveryWindowTakesTheNextSelectedId) {
    QueueThreeUsers();
    cycle.AddCycleWindow(&first, 0);
    cycle.AddCycleWindow(&second, 1);
    cycle.AddCycleWindow(&second, 1);  // listed once
    ASSERT_TRUE(WaitFor([&] { return log.Count("SendSyncWndLayout") == 1; }));
    EXPECT_EQ(first.userId, 8);
    EXPECT_EQ(second.userId, 9);
    EXPECT_EQ(cycle.GetQueue(), (Ids{16, 24}));
}

TEST_F(VideoCycleTest, RotationWithoutSelectedIdLeavesWindowAlone) {
    fakes::LogCapture capture;
    AddTwoUsers();
    cycle.SetUseFilter(true);
    cycle.AddUserChannels(8);
    window.userId = 16;
    cycle.AddCycleWindow(&window, 0);
    ASSERT_TRUE(WaitFor([&] { return log.Count("SendSyncWndLayout") == 1; }));
    EXPECT_EQ(log.Count("AssignChannelToWindow"), 0u);
    EXPECT_EQ(window.userId, 16);
    EXPECT_EQ(cycle.GetQueue(), (Ids{8, 9}));
    EXPECT_TRUE(capture.Contains("没找到可以轮循的视频"));
}

struct UnusableCase {
    const char* name;
    bool canShowCaption;
    int clientHeight;
};

class VideoCycleUnusableWindow : public VideoCycleTest,
                                 public ::testing::WithParamInterface<UnusableCase> {};

TEST_P(VideoCycleUnusableWindow, IdReturnsToQueueFront) {
    AddTwoUsers();
    cycle.AddUserChannels(8);
    cycle.AddUserChannels(16);
    window.canShowCaption = GetParam().canShowCaption;
    window.clientHeight = GetParam().clientHeight;
    cycle.AddCycleWindow(&window, 0);
    ASSERT_TRUE(WaitFor([&] { return log.Count("SendSyncWndLayout") == 1; }));
    EXPECT_EQ(log.Count("AssignChannelToWindow"), 0u);
    EXPECT_EQ(cycle.GetQueue(), (Ids{8, 9, 16}));
}

INSTANTIATE_TEST_SUITE_P(Cases, VideoCycleUnusableWindow,
                         ::testing::Values(UnusableCase{"NoCaption", false, 240},
                                           UnusableCase{"OnePixelHigh", true, 1}),
                         [](const ::testing::TestParamInfo<UnusableCase>& caseInfo) {
                             return std::string(caseInfo.param.name);
                         });

// A cycle window that cannot show a picture (a hidden slot) takes nothing: the usable windows
// behind it get the queue's ids in order, so no id is held back rotation after rotation.
TEST_F(VideoCycleTest, UnusableWindowIsSkippedNotServedFirst) {
    AddTwoUsers();
    cycle.AddUserChannels(8);
    cycle.AddUserChannels(16);
    first.clientHeight = 0;
    cycle.AddCycleWindow(&first, 0);
    cycle.AddCycleWindow(&second, 1);
    ASSERT_TRUE(WaitFor([&] { return log.Count("SendSyncWndLayout") == 1; }));
    EXPECT_EQ(log.Matching("AssignChannelToWindow"),
              (std::vector<std::string>{"AssignChannelToWindow(8,0)"}));
    EXPECT_EQ(second.userId, 8);
    EXPECT_EQ(first.userId, 0);
    EXPECT_EQ(cycle.GetQueue(), (Ids{9, 16}));
}

// Windows that turn unusable between the rotation and its delivery give their ids back in the
// queue's order, not reversed.
TEST_F(VideoCycleTest, IdsGivenBackKeepTheirOrder) {
    QueueThreeUsers();
    cycle.AddCycleWindow(&first, 0);
    cycle.AddCycleWindow(&second, 1);
    cycle.AddCycleWindow(&third, 2);
    ASSERT_TRUE(WaitForRotations(1));  // 8, 9, 16 posted, not yet delivered
    second.canShowCaption = false;
    third.canShowCaption = false;
    ASSERT_TRUE(WaitFor([&] { return log.Count("SendSyncWndLayout") == 1; }));
    EXPECT_EQ(first.userId, 8);
    EXPECT_EQ(cycle.GetQueue(), (Ids{9, 16, 24}));
}

TEST_F(VideoCycleTest, TwoPixelHighWindowIsUsable) {
    AddTwoUsers();
    cycle.AddUserChannels(16);
    window.clientHeight = 2;
    cycle.AddCycleWindow(&window, 0);
    ASSERT_TRUE(WaitFor([&] { return window.userId == 16; }));
}

TEST_F(VideoCycleTest, RemovingTheLastWindowStopsTheThread) {
    AddTwoUsers();
    cycle.AddCycleWindow(&first, 0);
    cycle.AddCycleWindow(&second, 1);
    cycle.RemoveCycleWindow(&first);
    EXPECT_TRUE(cycle.IsRunning());
    EXPECT_TRUE(cycle.IsStarted());
    EXPECT_FALSE(cycle.IsCycleWindow(&first));
    EXPECT_TRUE(cycle.IsCycleWindow(&second));
    cycle.RemoveCycleWindow(&second);
    EXPECT_FALSE(cycle.IsRunning());
    EXPECT_FALSE(cycle.IsStarted());  // joined
    // It starts again with the next window.
    cycle.AddCycleWindow(&first, 0);
    EXPECT_TRUE(cycle.IsRunning());
    EXPECT_TRUE(cycle.IsStarted());
}

TEST_F(VideoCycleTest, AssignmentPostedForARemovedWindowIsNotApplied) {
    AddTwoUsers();
    cycle.AddUserChannels(16);
    cycle.AddCycleWindow(&first, 0);
    cycle.AddCycleWindow(&second, 1);
    ASSERT_TRUE(WaitForRotations(1));  // posted, not yet delivered
    cycle.RemoveCycleWindow(&first);
    ASSERT_TRUE(WaitFor([&] { return log.Count("SendSyncWndLayout") == 1; }));
    EXPECT_EQ(log.Count("AssignChannelToWindow"), 0u);
    EXPECT_EQ(first.userId, 0);
    EXPECT_EQ(cycle.GetQueue(), (Ids{16}));
}

TEST_F(VideoCycleTest, RemoveMediaIdDropsAPostedAssignment) {
    AddTwoUsers();
    cycle.AddUserChannels(16);
    cycle.AddCycleWindow(&window, 0);
    ASSERT_TRUE(WaitForRotations(1));
    cycle.RemoveMediaId(16);  // shown elsewhere now
    ASSERT_TRUE(WaitFor([&] { return log.Count("SendSyncWndLayout") == 1; }));
    EXPECT_EQ(log.Count("AssignChannelToWindow"), 0u);
    EXPECT_TRUE(cycle.GetQueue().empty());
}

// In the two tests below nothing is selected, so rotations take nothing from the queue; and
// nothing posted is delivered, since this thread processes no events.
TEST_F(VideoCycleTest, RemoveMediaIdCancelsAPendingSwitch) {
    AddTwoUsers();
    cycle.SetUseFilter(true);
    cycle.AddUserChannels(8);
    window.userId = 16;
    window.pendingId = 9;
    cycle.AddCycleWindow(&window, 4);
    log.Clear();
    cycle.RemoveMediaId(9);
    EXPECT_EQ(window.pendingId, 0);
    EXPECT_EQ(window.userId, 16);
    EXPECT_EQ(log.Calls(), (std::vector<std::string>{"w0.SetMediaId(0,0)", "StopRecvVideo(9)"}));
    EXPECT_EQ(cycle.GetQueue(), (Ids{8}));
}

TEST_F(VideoCycleTest, RemoveMediaIdEmptiesTheWindowShowingIt) {
    AddTwoUsers();
    cycle.SetUseFilter(true);
    cycle.AddUserChannels(16);
    window.userId = 16;
    cycle.AddCycleWindow(&window, 4);
    log.Clear();
    cycle.RemoveMediaId(16);
    EXPECT_EQ(window.userId, 0);
    EXPECT_EQ(log.Calls(), (std::vector<std::string>{
                               "w0.SetUserId(0)", "w0.SetMediaId(0,1)", "StopRecvVideo(16)",
                               "SetLayoutSlotMediaId(4,0)", "SendSyncWndLayout(1)"}));
    EXPECT_TRUE(cycle.GetQueue().empty());
}

TEST_F(VideoCycleTest, RemoveMediaIdOfAnIdNoWindowShowsOnlyUnqueuesIt) {
    AddTwoUsers();
    cycle.SetUseFilter(true);
    cycle.AddUserChannels(8);
    window.userId = 16;
    cycle.AddCycleWindow(&window, 0);
    log.Clear();
    cycle.RemoveMediaId(8);
    EXPECT_TRUE(log.Calls().empty());
    EXPECT_EQ(cycle.GetQueue(), (Ids{9}));
}

TEST_F(VideoCycleTest, StopWithoutClearKeepsQueueAndSelection) {
    AddTwoUsers();
    cycle.AddUserChannels(8);
    cycle.AddCycleWindow(&first, 0);
    cycle.AddCycleWindow(&second, 1);
    ASSERT_TRUE(WaitForRotations(1));  // 8 and 9 are on their way to the windows
    cycle.Stop(false);
    EXPECT_FALSE(cycle.IsRunning());
    EXPECT_FALSE(cycle.IsStarted());
    EXPECT_FALSE(cycle.IsCycleWindow(&first));
    EXPECT_EQ(log.Matching("w0.StopCycling"), (std::vector<std::string>{"w0.StopCycling(0)"}));
    EXPECT_EQ(log.Matching("w1.StopCycling"), (std::vector<std::string>{"w1.StopCycling(0)"}));
    // The assignments posted before the stop are dropped and their ids are queued again.
    QCoreApplication::processEvents();
    EXPECT_EQ(log.Count("AssignChannelToWindow"), 0u);
    EXPECT_EQ(log.Count("SendSyncWndLayout"), 0u);
    EXPECT_EQ(cycle.GetQueue(), (Ids{8, 9}));
    EXPECT_EQ(cycle.GetSelectedCount(), 2);
}

TEST_F(VideoCycleTest, StopWithClearEmptiesQueueAndSelection) {
    AddTwoUsers();
    cycle.AddUserChannels(8);
    cycle.AddCycleWindow(&window, 0);
    cycle.Stop(true);
    EXPECT_TRUE(cycle.GetQueue().empty());
    EXPECT_FALSE(cycle.HasFilterUser(8));
    EXPECT_EQ(cycle.GetSelectedCount(), 0);
    EXPECT_FALSE(cycle.IsStarted());
}

TEST_F(VideoCycleTest, DestroyedCycleDropsItsPostedAssignments) {
    AddTwoUsers();
    {
        CVideoCycle local;
        local.SetSource(&users);
        local.SetHost(&host);
        local.AddUserChannels(16);
        local.AddCycleWindow(&window, 0);
        for (int i = 0; i < 5000 && local.GetRotationCount() < 1; ++i) {
            QThread::msleep(2);
        }
        ASSERT_EQ(local.GetRotationCount(), 1u);
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(log.Count("AssignChannelToWindow"), 0u);
    EXPECT_EQ(log.Count("SendSyncWndLayout"), 0u);
}

}  // namespace
