#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "components/KroMedia/CallbackGate.h"
#include "components/KroMedia/MediaChannel.h"

namespace kromedia {
namespace {

// A sink that fails the test when it is called after its owner closed the gate.
struct Sink {
    std::atomic<bool> released{false};
    std::atomic<int> callsAfterRelease{0};
    std::atomic<int> calls{0};
    void Call() {
        if (released) {
            ++callsAfterRelease;
        }
        ++calls;
        std::this_thread::yield();
        if (released) {
            ++callsAfterRelease;
        }
    }
};

TEST(CallbackGateThread, NoCallRunsOnceCloseReturns) {
    for (int round = 0; round < 50; ++round) {
        CallbackGate gate;
        Sink sink;
        std::atomic<bool> stop{false};
        std::vector<std::thread> streaming;
        for (int t = 0; t < 3; ++t) {
            streaming.emplace_back([&] {
                while (!stop) {
                    GateScope scope(gate);
                    if (scope) {
                        sink.Call();
                    }
                }
            });
        }
        while (sink.calls < 10) {
            std::this_thread::yield();
        }
        gate.Close();
        sink.released = true;
        const int callsAtRelease = sink.calls;
        for (int i = 0; i < 1000; ++i) {
            std::this_thread::yield();
        }
        stop = true;
        for (auto& t : streaming) {
            t.join();
        }
        EXPECT_EQ(sink.callsAfterRelease, 0);
        EXPECT_EQ(sink.calls, callsAtRelease);
    }
}

TEST(CallbackGateThread, CloseFromInsideACallbackDoesNotWaitForItself) {
    CallbackGate gate;
    std::atomic<bool> closed{false};
    std::thread streaming([&] {
        GateScope scope(gate);
        ASSERT_TRUE(scope);
        gate.Close();  // the sink stops its own stream
        closed = true;
    });
    streaming.join();
    EXPECT_TRUE(closed);
    EXPECT_FALSE(gate.Enter());
    gate.Open();
    EXPECT_TRUE(gate.Enter());
    gate.Leave();
}

// A received stream's window: counts what reaches it after its stream was stopped.
struct CountingWindow final : public IFrameSink {
    std::atomic<bool> released{false};
    std::atomic<int> afterRelease{0};
    std::atomic<int> frames{0};
    void PostMessage(uint32_t, uint64_t, int64_t) override { afterRelease += released ? 1 : 0; }
    void OnFrame(const VideoFrame&) override {
        afterRelease += released ? 1 : 0;
        ++frames;
        std::this_thread::yield();
        afterRelease += released ? 1 : 0;
    }
};

TEST(CallbackGateThread, AStoppedStreamNeverCallsItsWindowAgain) {
    std::vector<uint8_t> picture(16 * 8 * 4, 0x80);
    for (int round = 0; round < 20; ++round) {
        MediaStream stream(0x18);
        auto window = std::make_unique<CountingWindow>();
        stream.Attach(window.get(), kMsgFirstPicture);
        std::atomic<bool> stop{false};
        std::vector<std::thread> streaming;
        for (int t = 0; t < 2; ++t) {
            streaming.emplace_back([&] {
                while (!stop) {
                    stream.Deliver({0, 16, 8, 16 * 4, picture.data(), nullptr});
                }
            });
        }
        while (window->frames < 5) {
            std::this_thread::yield();
        }
        stream.Detach();
        window->released = true;
        const int framesAtStop = window->frames;
        for (int i = 0; i < 1000; ++i) {
            std::this_thread::yield();
        }
        stop = true;
        for (auto& t : streaming) {
            t.join();
        }
        EXPECT_EQ(window->afterRelease, 0);
        EXPECT_EQ(window->frames, framesAtStop);
        // A new window for the same id gets pictures again.
        CountingWindow next;
        stream.Attach(&next, kMsgStreamReady);
        stream.Deliver({0, 16, 8, 16 * 4, picture.data(), nullptr});
        EXPECT_EQ(next.frames, 1);
        stream.Detach();
    }
}

TEST(CallbackGateThread, AReplacedWindowGetsNothingOnceItsReplacementIsAttached) {
    std::vector<uint8_t> picture(16 * 8 * 4, 0x80);
    for (int round = 0; round < 20; ++round) {
        MediaStream stream(0x18);
        auto old = std::make_unique<CountingWindow>();
        CountingWindow next;
        stream.Attach(old.get(), kMsgFirstPicture);
        std::atomic<bool> stop{false};
        std::vector<std::thread> streaming;
        for (int t = 0; t < 2; ++t) {
            streaming.emplace_back([&] {
                while (!stop) {
                    stream.Deliver({0, 16, 8, 16 * 4, picture.data(), nullptr});
                }
            });
        }
        while (old->frames < 5) {
            std::this_thread::yield();
        }
        // The window switches to another sink for the same stream (a new binding).
        stream.Attach(&next, kMsgStreamReady);
        old->released = true;
        const int framesAtSwitch = old->frames;
        while (next.frames < 5) {
            std::this_thread::yield();
        }
        stop = true;
        for (auto& t : streaming) {
            t.join();
        }
        EXPECT_EQ(old->afterRelease, 0);
        EXPECT_EQ(old->frames, framesAtSwitch);
        stream.Detach();
    }
}

}  // namespace
}  // namespace kromedia
