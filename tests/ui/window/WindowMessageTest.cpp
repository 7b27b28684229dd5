// Messages between threads and windows: posted messages arrive on the GUI thread in posting
// order and never after the window has been destroyed; posting is the one thing other threads
// may do, every other window operation is refused off the GUI thread.

#include <QCoreApplication>
#include <QThread>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/window/Window.h"
#include "platform/window/testing/WindowTesting.h"

namespace {

constexpr UINT kTestMessage = WM_USER + 7;

struct Received {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    QThread* thread;
};

class RecordingWindow : public yav::Window {
public:
    std::vector<Received> received;
    // Counted on the GUI thread: a delivery while the window does not exist.
    int receivedWhileDestroyed = 0;

    void Create() { MarkCreated(true); }
    void StartDestroyed() { StartNotCreated(); }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message >= WM_USER) {
            if (!IsWindow()) {
                ++receivedWhileDestroyed;
            }
            received.push_back({message, wParam, lParam, QThread::currentThread()});
            return static_cast<LRESULT>(wParam) * 2;
        }
        return yav::Window::WindowProc(message, wParam, lParam);
    }
};

TEST(WindowMessages, PostedFromAnotherThreadArriveOnGuiThreadInOrder) {
    RecordingWindow window;
    const yav::WindowHandle handle = window.GetSafeHwnd();
    constexpr int kCount = 2000;
    std::atomic<int> accepted{0};
    std::thread worker([&] {
        for (int i = 0; i < kCount; ++i) {
            if (yav::PostMessage(handle, kTestMessage, static_cast<WPARAM>(i), -i)) {
                ++accepted;
            }
        }
    });
    worker.join();
    EXPECT_EQ(accepted.load(), kCount);
    // Nothing is delivered on the posting thread: the GUI thread has not run events yet.
    EXPECT_TRUE(window.received.empty());

    ASSERT_TRUE(yav::testing::WaitUntil([&] { return window.received.size() == kCount; }));
    for (int i = 0; i < kCount; ++i) {
        const Received& r = window.received[static_cast<size_t>(i)];
        ASSERT_EQ(r.message, kTestMessage);
        ASSERT_EQ(r.wParam, static_cast<WPARAM>(i)) << "out of order at " << i;
        ASSERT_EQ(r.lParam, -i);
        ASSERT_EQ(r.thread, window.thread());
    }
}

TEST(WindowMessages, EachThreadsPostsKeepTheirOwnOrder) {
    RecordingWindow window;
    const yav::WindowHandle handle = window.GetSafeHwnd();
    constexpr int kPerThread = 500;
    std::vector<std::thread> workers;
    for (int t = 0; t < 4; ++t) {
        workers.emplace_back([handle, t] {
            for (int i = 0; i < kPerThread; ++i) {
                handle.Post(kTestMessage + static_cast<UINT>(t), static_cast<WPARAM>(i), 0);
            }
        });
    }
    for (auto& worker : workers) {
        worker.join();
    }
    ASSERT_TRUE(yav::testing::WaitUntil([&] { return window.received.size() == 4 * kPerThread; }));
    std::vector<WPARAM> next(4, 0);
    for (const Received& r : window.received) {
        const size_t thread = r.message - kTestMessage;
        ASSERT_LT(thread, 4u);
        ASSERT_EQ(r.wParam, next[thread]);
        ++next[thread];
    }
}

TEST(WindowMessages, PendingAndLaterPostsAreDroppedOnceDestroyed) {
    RecordingWindow window;
    const yav::WindowHandle handle = window.GetSafeHwnd();
    std::thread worker([handle] {
        for (int i = 0; i < 100; ++i) {
            handle.Post(kTestMessage, static_cast<WPARAM>(i), 0);
        }
    });
    worker.join();
    window.DestroyWindow();
    EXPECT_FALSE(handle.IsWindow());
    EXPECT_FALSE(handle.Post(kTestMessage, 1000, 0));
    EXPECT_FALSE(window.PostMessage(kTestMessage, 1001, 0));

    EXPECT_FALSE(window.GetSafeHwnd().IsWindow());
    // A marker posted after them to another window arrives after anything still queued.
    RecordingWindow marker;
    ASSERT_TRUE(marker.PostMessage(kTestMessage, 0, 0));
    ASSERT_TRUE(yav::testing::WaitUntil([&] { return !marker.received.empty(); }));
    EXPECT_TRUE(window.received.empty());
}

TEST(WindowMessages, HandleOutlivesTheWindowObjectSafely) {
    yav::WindowHandle handle;
    {
        auto window = std::make_unique<RecordingWindow>();
        handle = window->GetSafeHwnd();
        ASSERT_TRUE(handle.Post(kTestMessage, 1, 0));
    }
    EXPECT_FALSE(handle.IsWindow());
    std::atomic<bool> posted{true};
    std::thread worker([&] { posted = handle.Post(kTestMessage, 2, 0); });
    worker.join();
    EXPECT_FALSE(posted.load());
    // The message queued before the window went must not reach a dead object.
    QCoreApplication::processEvents();
}

TEST(WindowMessages, RecreatedWindowIgnoresItsEarlierLifetime) {
    class LateWindow : public RecordingWindow {
    public:
        LateWindow() { StartNotCreated(); }
        void Create() { MarkCreated(true); }
    } window;
    EXPECT_FALSE(window.GetSafeHwnd().IsWindow());
    EXPECT_FALSE(window.PostMessage(kTestMessage, 0, 0));

    window.Create();
    const yav::WindowHandle first = window.GetSafeHwnd();
    ASSERT_TRUE(first.Post(kTestMessage, 1, 0));
    window.DestroyWindow();
    window.Create();
    const yav::WindowHandle second = window.GetSafeHwnd();
    EXPECT_FALSE(first == second);
    EXPECT_FALSE(first.IsWindow());
    EXPECT_FALSE(first.Post(kTestMessage, 2, 0));
    ASSERT_TRUE(second.Post(kTestMessage, 3, 0));
    ASSERT_TRUE(yav::testing::WaitUntil([&] { return !window.received.empty(); }));
    QCoreApplication::processEvents();
    ASSERT_EQ(window.received.size(), 1u);
    EXPECT_EQ(window.received[0].wParam, 3u);
}

TEST(WindowMessages, SendIsADirectCallWithAResult) {
    RecordingWindow window;
    EXPECT_EQ(window.SendMessage(kTestMessage, 21, 0), 42);
    ASSERT_EQ(window.received.size(), 1u);
    EXPECT_EQ(yav::SendMessage(&window, kTestMessage, 5, 0), 10);
    QWidget plain;
    EXPECT_EQ(yav::SendMessage(&plain, kTestMessage, 5, 0), 0);
    EXPECT_FALSE(yav::PostMessage(&plain, kTestMessage, 5, 0));
}

// wParam of the posts below: the posting thread in the high half, its sequence number in
// the low half.
constexpr WPARAM kSeqBits = 32;
WPARAM Tagged(int thread, int seq) {
    return (static_cast<WPARAM>(thread) << kSeqBits) | static_cast<WPARAM>(seq);
}
size_t ThreadOf(WPARAM wParam) {
    return static_cast<size_t>(wParam >> kSeqBits);
}
int SeqOf(WPARAM wParam) {
    return static_cast<int>(wParam & 0xFFFFFFFFu);
}

// The ways another thread posts: through the window, its handle, or the widget.
bool PostVia(int way, RecordingWindow& window, WPARAM wParam) {
    switch (way % 3) {
        case 0:
            return window.PostMessage(kTestMessage, wParam, 0);
        case 1:
            return window.GetSafeHwnd().Post(kTestMessage, wParam, 0);
        default:
            return yav::PostMessage(static_cast<QWidget*>(&window), kTestMessage, wParam, 0);
    }
}

// Every entry point for posting is safe while the GUI thread ends and re-creates the window
// (run under ThreadSanitizer): nothing arrives while the window does not exist and each
// thread's messages keep their order.
TEST(WindowThreads, PostingRacesWithDestroyAndCreate) {
    RecordingWindow window;
    constexpr int kThreads = 3;
    std::atomic<bool> stop{false};
    std::array<std::atomic<int>, kThreads> accepted{};
    std::vector<std::thread> workers;
    for (int t = 0; t < kThreads; ++t) {
        workers.emplace_back([&, t] {
            for (int seq = 0; !stop; ++seq) {
                if (PostVia(t + seq, window, Tagged(t, seq))) {
                    ++accepted[static_cast<size_t>(t)];
                }
            }
        });
    }
    // Until every thread has had posts taken across many lifetimes of the window.
    const auto allPosting = [&] {
        return std::all_of(accepted.begin(), accepted.end(),
                           [](const std::atomic<int>& n) { return n >= 100; });
    };
    for (int round = 0; round < 200 || (!allPosting() && round < 100000); ++round) {
        window.DestroyWindow();
        QCoreApplication::processEvents();
        window.Create();
        QCoreApplication::processEvents();
    }
    EXPECT_TRUE(allPosting());
    stop = true;
    for (auto& worker : workers) {
        worker.join();
    }
    window.DestroyWindow();
    QCoreApplication::processEvents();

    EXPECT_EQ(window.receivedWhileDestroyed, 0);
    std::array<int, kThreads> last;
    last.fill(-1);
    std::array<int, kThreads> delivered{};
    for (const Received& r : window.received) {
        const size_t thread = ThreadOf(r.wParam);
        ASSERT_LT(thread, static_cast<size_t>(kThreads));
        ASSERT_GT(SeqOf(r.wParam), last[thread]) << "thread " << thread << " out of order";
        last[thread] = SeqOf(r.wParam);
        ++delivered[thread];
    }
    for (size_t t = 0; t < kThreads; ++t) {
        EXPECT_LE(delivered[t], accepted[t].load());
    }
    EXPECT_FALSE(window.PostMessage(kTestMessage, 0, 0));
    EXPECT_FALSE(yav::PostMessage(static_cast<QWidget*>(&window), kTestMessage, 0, 0));
}

// 10,000 posts from four threads while the GUI thread drains: none lost, each thread's in
// its posting order.
TEST(WindowThreads, TenThousandPostsFromFourThreadsKeepEachThreadsOrder) {
    RecordingWindow window;
    constexpr int kThreads = 4;
    constexpr int kPerThread = 2500;
    std::atomic<int> refused{0};
    std::vector<std::thread> workers;
    for (int t = 0; t < kThreads; ++t) {
        workers.emplace_back([&, t] {
            for (int seq = 0; seq < kPerThread; ++seq) {
                if (!PostVia(t + seq, window, Tagged(t, seq))) {
                    ++refused;
                }
            }
        });
    }
    const bool all = yav::testing::WaitUntil(
        [&] { return window.received.size() == size_t{kThreads} * kPerThread; });
    for (auto& worker : workers) {
        worker.join();
    }
    ASSERT_TRUE(all) << window.received.size() << " arrived";
    EXPECT_EQ(refused, 0);
    std::array<int, kThreads> next{};
    for (const Received& r : window.received) {
        const size_t thread = ThreadOf(r.wParam);
        ASSERT_LT(thread, static_cast<size_t>(kThreads));
        ASSERT_EQ(SeqOf(r.wParam), next[thread]) << "thread " << thread;
        ++next[thread];
        ASSERT_EQ(r.thread, window.thread());
    }
}

std::mutex g_reportedMutex;
std::vector<std::string> g_reported;

void RecordOffGuiThread(const char* call) {
    const std::lock_guard<std::mutex> lock(g_reportedMutex);
    g_reported.emplace_back(call);
}

std::vector<std::string> TakeReported() {
    const std::lock_guard<std::mutex> lock(g_reportedMutex);
    return std::exchange(g_reported, {});
}

class OffGuiThread : public ::testing::Test {
protected:
    void SetUp() override {
        if (!yav::GuiThreadChecked()) {
            GTEST_SKIP() << "this build does not check the GUI thread";
        }
        previous_ = yav::SetOffGuiThreadHandler(RecordOffGuiThread);
        TakeReported();
    }
    void TearDown() override { yav::SetOffGuiThreadHandler(previous_); }

    static void OnWorker(const std::function<void()>& fn) {
        std::thread worker(fn);
        worker.join();
    }

private:
    yav::OffGuiThreadHandler previous_ = nullptr;
};

TEST_F(OffGuiThread, WidgetOperationsFromAWorkerThreadAreNamedAndRefused) {
    RecordingWindow window;
    window.MoveWindow(0, 0, 50, 40);
    window.SetWindowText("before");
    ASSERT_TRUE(window.SetTimer(4, 1000));
    struct Case {
        const char* call;
        std::function<void()> op;
    };
    const std::vector<Case> cases = {
        {"WindowCore::ShowWindow", [&] { window.ShowWindow(SW_SHOW); }},
        {"WindowCore::MoveWindow", [&] { window.MoveWindow(1, 2, 30, 30); }},
        {"WindowCore::SetWindowPos",
         [&] { window.SetWindowPos(yav::ZOrder::Top, 5, 5, 9, 9, SWP_SHOWWINDOW); }},
        {"WindowCore::SetWindowText", [&] { window.SetWindowText("after"); }},
        {"WindowCore::EnableWindow", [&] { window.EnableWindow(0); }},
        {"WindowCore::Invalidate", [&] { window.Invalidate(); }},
        {"WindowCore::SetTimer", [&] { window.SetTimer(5, 100); }},
        {"WindowCore::KillTimer", [&] { window.KillTimer(4); }},
        {"WindowCore::SendMessage", [&] { window.SendMessage(kTestMessage, 1, 0); }},
        {"WindowCore::DestroyWindow", [&] { window.DestroyWindow(); }},
    };
    for (const Case& c : cases) {
        OnWorker(c.op);
        EXPECT_EQ(TakeReported(), std::vector<std::string>{c.call});
    }
    // Refused: the widget is as the GUI thread left it.
    EXPECT_TRUE(window.IsWindow());
    EXPECT_TRUE(window.isHidden());
    EXPECT_EQ(window.geometry().size(), QSize(50, 40));
    EXPECT_EQ(window.GetWindowText(), "before");
    EXPECT_TRUE(window.IsWindowEnabled());
    EXPECT_TRUE(window.IsTimerSet(4));
    EXPECT_FALSE(window.IsTimerSet(5));
    EXPECT_TRUE(window.received.empty());
}

TEST_F(OffGuiThread, PostingFromAWorkerThreadIsNotReported) {
    RecordingWindow window;
    OnWorker([&] {
        EXPECT_TRUE(window.IsWindow());
        EXPECT_TRUE(window.PostMessage(kTestMessage, 1, 0));
        EXPECT_TRUE(window.GetSafeHwnd().Post(kTestMessage, 2, 0));
        EXPECT_TRUE(window.PostPayload(kTestMessage, 3, 3));
    });
    EXPECT_TRUE(TakeReported().empty());
    ASSERT_TRUE(yav::testing::WaitUntil([&] { return window.received.size() == 3; }));
    // On the GUI thread nothing is reported.
    window.ShowWindow(SW_HIDE);
    EXPECT_TRUE(TakeReported().empty());
}

TEST(WindowThreadsDeathTest, WithoutAHandlerTheOffendingCallIsNamedAndTheProgramStops) {
    if (!yav::GuiThreadChecked()) {
        GTEST_SKIP() << "this build does not check the GUI thread";
    }
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    RecordingWindow window;
    EXPECT_DEATH(
        {
            std::thread worker([&] { window.ShowWindow(SW_SHOW); });
            worker.join();
        },
        "WindowCore::ShowWindow called off the GUI thread");
}

}  // namespace
