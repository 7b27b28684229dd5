#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "components/KroMedia/CallbackGate.h"

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

}  // namespace
}  // namespace kromedia
