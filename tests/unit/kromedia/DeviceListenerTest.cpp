// Device-change listeners against their removal: a camera unplugged while a channel is being
// released must not reach the channel once its removal returned.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <future>
#include <thread>

#include "components/KroMedia/Devices.h"
#include "support/WaitUntil.h"

namespace kromedia {
namespace {

using yav::test::WaitUntil;

TEST(DeviceListeners, ARemovalWaitsForTheRunningCallAndNoCallFollowsIt) {
    setenv("YAV_TEST_DEVICES", "cam=1", 1);
    DeviceRegistry& registry = DeviceRegistry::Get();
    registry.Reload();
    std::promise<void> release;
    const std::shared_future<void> released = release.get_future().share();
    std::atomic<bool> inside{false};
    std::atomic<bool> removed{false};
    std::atomic<bool> calledAfterRemoval{false};
    std::atomic<int> calls{0};
    const int token = registry.AddListener([&](DeviceRegistry::Change, const std::string&) {
        ++calls;
        calledAfterRemoval = calledAfterRemoval || removed;
        inside = true;
        released.wait();
        calledAfterRemoval = calledAfterRemoval || removed;
    });
    // The unplug is told on the component's thread, where the listener now waits.
    std::thread unplug([&] { registry.TestUnplugCamera(0); });
    ASSERT_TRUE(WaitUntil([&] { return inside.load(); }));
    std::thread remover([&] {
        registry.RemoveListener(token);
        removed = true;
    });
    EXPECT_FALSE(WaitUntil([&] { return removed.load(); }, std::chrono::seconds(1)))
        << "the removal returned while the listener still ran";
    release.set_value();
    remover.join();
    unplug.join();
    EXPECT_TRUE(removed);
    EXPECT_FALSE(calledAfterRemoval);
    const int callsAtRemoval = calls;
    ASSERT_TRUE(registry.TestReplugCamera(0));
    EXPECT_EQ(calls, callsAtRemoval) << "a removed listener hears of no later change";
}

}  // namespace
}  // namespace kromedia
