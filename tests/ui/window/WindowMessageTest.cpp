// Messages between threads and windows: posted messages arrive on the GUI thread in posting
// order and never after the window has been destroyed.

#include <QCoreApplication>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
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

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message >= WM_USER) {
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

}  // namespace
