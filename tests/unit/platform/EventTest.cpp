#include "platform/core/Event.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

TEST(Event, AutoResetReleasesOneWaitAndClears) {
    yav::Event event(false, true);
    EXPECT_TRUE(event.Wait(0));
    EXPECT_FALSE(event.Wait(0));
    event.Set();
    EXPECT_TRUE(event.IsSet());
    EXPECT_TRUE(event.Wait(0));
    EXPECT_FALSE(event.IsSet());
}

TEST(Event, ManualResetStaysSignalledUntilReset) {
    yav::Event event(true, false);
    EXPECT_FALSE(event.Wait(0));
    event.Set();
    EXPECT_TRUE(event.Wait(0));
    EXPECT_TRUE(event.Wait(0));
    event.Reset();
    EXPECT_FALSE(event.Wait(0));
}

TEST(Event, TimedWaitExpiresWithoutSignal) {
    yav::Event event(false, false);
    EXPECT_FALSE(event.Wait(20));
}

TEST(Event, WaitWakesWhenAnotherThreadSets) {
    yav::Event event(false, false);
    std::thread setter([&] { event.Set(); });
    EXPECT_TRUE(event.Wait(yav::kInfinite));
    setter.join();
}

TEST(Event, AutoResetWakesExactlyOneOfManyWaiters) {
    yav::Event event(false, false);
    std::atomic<int> woken{0};
    std::vector<std::thread> waiters;
    for (int i = 0; i < 4; ++i) {
        waiters.emplace_back([&] {
            if (event.Wait(10000)) {
                ++woken;
            }
        });
    }
    for (int i = 0; i < 4; ++i) {
        event.Set();
        // Wait (bounded) until the signal was consumed before giving the next one.
        for (int spin = 0; spin < 10000 && woken.load() != i + 1; ++spin) {
            std::this_thread::yield();
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        }
        EXPECT_EQ(woken.load(), i + 1);
    }
    for (auto& t : waiters) {
        t.join();
    }
}

TEST(Semaphore, CountsAndRespectsMaximum) {
    yav::Semaphore semaphore(1, 2);
    EXPECT_TRUE(semaphore.Wait(0));
    EXPECT_FALSE(semaphore.Wait(0));
    EXPECT_TRUE(semaphore.Release(2));
    EXPECT_FALSE(semaphore.Release(1));
    EXPECT_EQ(semaphore.Count(), 2u);
    EXPECT_TRUE(semaphore.Wait(0));
    EXPECT_TRUE(semaphore.Wait(0));
    EXPECT_FALSE(semaphore.Wait(0));
}

TEST(WaitForAny, LowestSignalledIndexWinsAndOnlyItIsConsumed) {
    yav::Event quit(true, false);
    yav::Semaphore data(0, 5);
    EXPECT_EQ(yav::WaitForAny({&quit, &data}, 0), yav::kWaitTimeout);
    data.Release(1);
    EXPECT_EQ(yav::WaitForAny({&quit, &data}, 0), 1);
    data.Release(1);
    quit.Set();
    EXPECT_EQ(yav::WaitForAny({&quit, &data}, 0), 0);
    EXPECT_EQ(data.Count(), 1u);  // the semaphore was not taken when the event won
    EXPECT_EQ(yav::WaitForAny({nullptr, &data}, 0), 1);
}

TEST(WaitForAny, WakesOnSignalFromAnotherThread) {
    yav::Event a(false, false);
    yav::Event b(false, false);
    std::thread setter([&] { b.Set(); });
    EXPECT_EQ(yav::WaitForAny({&a, &b}, 10000), 1);
    setter.join();
    EXPECT_FALSE(b.IsSet());
}

}  // namespace
