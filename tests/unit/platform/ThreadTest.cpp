#include "platform/core/Thread.h"

#include <gtest/gtest.h>

#include <atomic>

#include "platform/core/Event.h"

namespace {

TEST(Thread, StartRunsBodyAndJoinKeepsExitCode) {
    yav::Thread thread;
    std::atomic<std::uint32_t> bodyId{0};
    ASSERT_TRUE(thread.Start([&] {
        bodyId = yav::Thread::CurrentId();
        return 7u;
    }));
    EXPECT_NE(thread.Id(), 0u);
    const std::uint32_t idSeenAtStart = thread.Id();
    thread.Join();
    EXPECT_EQ(bodyId.load(), idSeenAtStart);
    EXPECT_NE(idSeenAtStart, yav::Thread::CurrentId());
    EXPECT_EQ(thread.ExitCode(), 7u);
    EXPECT_EQ(thread.Id(), 0u);
    EXPECT_FALSE(thread.IsStarted());
}

TEST(Thread, SecondStartWhileHeldStartsNothing) {
    yav::Thread thread;
    yav::Event release(true, false);
    std::atomic<int> runs{0};
    auto body = [&] {
        ++runs;
        release.Wait(yav::kInfinite);
        return 0u;
    };
    ASSERT_TRUE(thread.Start(body));
    EXPECT_TRUE(thread.Start(body));
    release.Set();
    thread.Join();
    EXPECT_EQ(runs.load(), 1);
    ASSERT_TRUE(thread.Start(body));  // can be started again after a join
    thread.Join();
    EXPECT_EQ(runs.load(), 2);
}

TEST(Thread, JoinWithoutStartReturnsAtOnce) {
    yav::Thread thread;
    thread.Join();
    EXPECT_FALSE(thread.IsStarted());
}

TEST(Thread, DestructionWaitsForTheBody) {
    std::atomic<bool> finished{false};
    yav::Event entered(true, false);
    {
        yav::Thread thread;
        thread.Start([&] {
            entered.Set();
            yav::SleepMs(30);
            finished = true;
            return 0u;
        });
        entered.Wait(yav::kInfinite);
    }
    EXPECT_TRUE(finished.load());
}

TEST(Thread, JoinFromItselfDoesNotHang) {
    yav::Thread thread;
    yav::Event done(true, false);
    thread.Start([&] {
        thread.Join();
        done.Set();
        return 0u;
    });
    EXPECT_TRUE(done.Wait(10000));
    EXPECT_FALSE(thread.IsStarted());
    // The released body still finishes on this object: wait for it before it goes away.
    for (int i = 0; i < 10000 && thread.IsRunning(); ++i) {
        yav::SleepMs(1);
    }
    EXPECT_FALSE(thread.IsRunning());
}

}  // namespace
