// The event queue: order, owned payloads moving through, and concurrent producers.
#include <gtest/gtest.h>

#include <thread>

#include "CSafeQueue.h"

namespace {

TEST(CSafeQueue, PopsInPushOrderAndReportsEmpty) {
    CSafeQueue queue;
    ST_CS_MSG out;
    EXPECT_FALSE(queue.Pop(out));
    for (uint32_t type : {CS_MSG_USER_JOIN, CS_MSG_CONNECTION_LOST, CS_MSG_USER_INFO_CHANGED}) {
        ST_CS_MSG message;
        message.type = type;
        queue.Push(std::move(message));
    }
    EXPECT_EQ(queue.Size(), 3u);
    ASSERT_TRUE(queue.Pop(out));
    EXPECT_EQ(out.type, CS_MSG_USER_JOIN);
    ASSERT_TRUE(queue.Pop(out));
    EXPECT_EQ(out.type, CS_MSG_CONNECTION_LOST);
    ASSERT_TRUE(queue.Pop(out));
    EXPECT_EQ(out.type, CS_MSG_USER_INFO_CHANGED);
    EXPECT_FALSE(queue.Pop(out));
}

TEST(CSafeQueue, PayloadTravelsWhole) {
    CSafeQueue queue;
    ST_CS_MSG message;
    message.type = CS_MSG_TRANSMIT;
    message.payload = CsTransmit{0, 24, 257, std::vector<uint8_t>(70000, 0x5A)};
    queue.Push(std::move(message));
    ST_CS_MSG out;
    ASSERT_TRUE(queue.Pop(out));
    const auto* transmit = std::get_if<CsTransmit>(&out.payload);
    ASSERT_NE(transmit, nullptr);
    EXPECT_EQ(transmit->from, 24);
    EXPECT_EQ(transmit->payload.size(), 70000u);
}

TEST(CSafeQueue, ConcurrentProducersLoseNothing) {
    CSafeQueue queue;
    constexpr int kPerThread = 5000;
    std::vector<std::thread> producers;
    for (int t = 0; t < 4; ++t) {
        producers.emplace_back([&queue, t] {
            for (int i = 0; i < kPerThread; ++i) {
                ST_CS_MSG message;
                message.type = CS_MSG_MEETING_TIME;
                message.data = static_cast<uint32_t>(t * kPerThread + i);
                queue.Push(std::move(message));
            }
        });
    }
    size_t popped = 0;
    std::vector<bool> seen(4 * kPerThread, false);
    while (popped < seen.size()) {
        ST_CS_MSG out;
        if (queue.Pop(out)) {
            ASSERT_FALSE(seen[out.data]);
            seen[out.data] = true;
            ++popped;
        } else {
            std::this_thread::yield();
        }
    }
    for (auto& producer : producers) {
        producer.join();
    }
    EXPECT_EQ(queue.Size(), 0u);
}

}  // namespace
