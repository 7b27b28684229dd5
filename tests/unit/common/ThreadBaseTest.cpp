#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "Common/CThread2.h"
#include "Common/XAutoCritical.h"
#include "Common/XAutoMutex.h"
#include "Common/XThread.h"
#include "platform/core/Event.h"

namespace {

TEST(ScopeLocks, HoldTheSectionForTheScopeAndAllowReentry) {
    yav::CriticalSection section;
    std::atomic<bool> otherGotIt{false};
    {
        XAutoMutex outer(&section);
        XAutoCritical inner(&section);  // same thread enters again
        std::thread other([&] { otherGotIt = section.TryEnter(); });
        other.join();
        EXPECT_FALSE(otherGotIt.load());
    }
    std::thread other([&] {
        otherGotIt = section.TryEnter();
        if (otherGotIt) {
            section.Leave();
        }
    });
    other.join();
    EXPECT_TRUE(otherGotIt.load());
}

TEST(ScopeLocks, NullSectionDoesNothing) {
    XAutoMutex a(nullptr);
    XAutoCritical b(nullptr);
    SUCCEED();
}

class CountingThread : public XThread {
public:
    ~CountingThread() override { Join(); }
    std::atomic<int> runs{0};
    yav::Event release{true, true};

protected:
    std::uint32_t Run() override {
        ++runs;
        release.Wait(yav::kInfinite);
        return 5;
    }
};

TEST(XThreadBase, StartJoinRestart) {
    CountingThread thread;
    thread.release.Reset();
    ASSERT_TRUE(thread.Start());
    EXPECT_NE(thread.GetThreadId(), 0u);
    EXPECT_TRUE(thread.Start());  // held: nothing new
    thread.release.Set();
    thread.Join();
    EXPECT_EQ(thread.GetThreadId(), 0u);
    EXPECT_EQ(thread.GetExitCode(), 5u);
    ASSERT_TRUE(thread.Start());
    thread.Join();
    EXPECT_EQ(thread.runs.load(), 2);
}

TEST(XThreadBase, JoinWithoutStartReturnsAtOnce) {
    CountingThread thread;
    thread.Join();
    EXPECT_EQ(thread.runs.load(), 0);
}

// Two threads in one object, each with its own body.
class TwoThreads : public XThread, public CThread2 {
public:
    ~TwoThreads() override {
        XThread::Join();
        CThread2::Join();
    }
    std::atomic<std::uint32_t> captureThreadId{0};
    std::atomic<std::uint32_t> encodeThreadId{0};

protected:
    std::uint32_t Run() override {
        captureThreadId = yav::Thread::CurrentId();
        return 1;
    }
    std::uint32_t Run2() override {
        encodeThreadId = yav::Thread::CurrentId();
        return 2;
    }
};

TEST(XThreadBase, ObjectWithBothBasesRunsTwoThreads) {
    TwoThreads object;
    ASSERT_TRUE(object.XThread::Start());
    ASSERT_TRUE(object.CThread2::Start());
    const std::uint32_t first = object.XThread::GetThreadId();
    const std::uint32_t second = object.CThread2::GetThreadId();
    object.XThread::Join();
    object.CThread2::Join();
    EXPECT_EQ(object.captureThreadId.load(), first);
    EXPECT_EQ(object.encodeThreadId.load(), second);
    EXPECT_NE(first, second);
    EXPECT_EQ(object.XThread::GetExitCode(), 1u);
    EXPECT_EQ(object.CThread2::GetExitCode(), 2u);
}

TEST(XThreadBase, DefaultSecondBodyReturnsZero) {
    struct Plain : CThread2 {};
    Plain plain;
    ASSERT_TRUE(plain.Start());
    plain.Join();
    EXPECT_EQ(plain.GetExitCode(), 0u);
}

// The owner forgot to join: the base waits for the body instead of freeing memory under it.
// The body touches no member after it was told to go on, as a well-behaved body would not.
std::atomic<bool> g_forgetfulFinished{false};
yav::Event g_forgetfulEntered{true, false};

class ForgetfulThread : public XThread {
protected:
    std::uint32_t Run() override {
        g_forgetfulEntered.Set();
        yav::SleepMs(30);
        g_forgetfulFinished = true;
        return 0;
    }
};

TEST(XThreadBase, DestroyedWhileRunningWaitsForTheThread) {
    auto* thread = new ForgetfulThread;
    ASSERT_TRUE(thread->Start());
    g_forgetfulEntered.Wait(yav::kInfinite);
    delete thread;
    EXPECT_TRUE(g_forgetfulFinished.load());
}

}  // namespace
