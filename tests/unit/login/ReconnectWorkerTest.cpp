#include "dialogs/login/ReconnectWorker.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

// Waits for a condition, polling, with a limit.
template <class Pred>
bool WaitFor(Pred pred, std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!pred()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

TEST(ReconnectWorker, RetriesUntilALoginSucceedsThenReportsOnce) {
    std::atomic<int> attempts{0};
    std::atomic<int> reports{0};
    ReconnectWorker worker;
    EXPECT_TRUE(worker.IsDone()) << "no loop before the first start";
    ASSERT_TRUE(worker.Start([&] { return ++attempts < 4 ? 0x8001 : 0; }, [&] { ++reports; }, 1));
    ASSERT_TRUE(WaitFor([&] { return worker.IsDone(); }));
    EXPECT_EQ(attempts.load(), 4);
    EXPECT_EQ(reports.load(), 1);
}

TEST(ReconnectWorker, StopBeforeTheFirstIntervalMakesNoAttempt) {
    std::atomic<int> attempts{0};
    ReconnectWorker worker;
    // The default interval: a stop right after the start comes long before the first try.
    ASSERT_TRUE(worker.Start([&] { return ++attempts, -1; }, [] {}));
    EXPECT_FALSE(worker.IsDone());
    worker.RequestStop();
    ASSERT_TRUE(WaitFor([&] { return worker.IsDone(); }));
    EXPECT_EQ(attempts.load(), 0);
}

TEST(ReconnectWorker, StopWaitsForTheRunningAttempt) {
    std::atomic<bool> inAttempt{false};
    std::atomic<bool> release{false};
    std::atomic<int> reports{0};
    ReconnectWorker worker;
    ASSERT_TRUE(worker.Start(
        [&] {
            inAttempt = true;
            while (!release) {
                std::this_thread::yield();
            }
            return 5;
        },
        [&] { ++reports; }, 1));
    ASSERT_TRUE(WaitFor([&] { return inAttempt.load(); }));
    worker.RequestStop();
    EXPECT_FALSE(worker.IsDone()) << "the attempt still runs";
    release = true;
    ASSERT_TRUE(WaitFor([&] { return worker.IsDone(); }));
    EXPECT_EQ(reports.load(), 0);
}

TEST(ReconnectWorker, AStopWithoutALoopDoesNotEndTheNextOne) {
    std::atomic<int> attempts{0};
    ReconnectWorker worker;
    worker.RequestStop();  // give-up while nothing ran
    ASSERT_TRUE(worker.Start([&] { return ++attempts == 2 ? 0 : -1; }, [] {}, 1));
    ASSERT_TRUE(WaitFor([&] { return worker.IsDone(); }));
    EXPECT_EQ(attempts.load(), 2);
    // The same object serves the next loss.
    attempts = 0;
    ASSERT_TRUE(worker.Start([&] { return ++attempts == 1 ? 0 : -1; }, [] {}, 1));
    ASSERT_TRUE(WaitFor([&] { return worker.IsDone(); }));
    EXPECT_EQ(attempts.load(), 1);
}

TEST(ReconnectWorker, SecondStartWhileRunningIsRefused) {
    ReconnectWorker worker;
    ASSERT_TRUE(worker.Start([] { return -1; }, [] {}));
    EXPECT_FALSE(worker.Start([] { return 0; }, [] {}));
    // The destructor stops and joins the running loop.
}

}  // namespace
