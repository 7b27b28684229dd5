// A pipeline's bus handled on the posting thread: the handler sees every message, and each is
// freed once the handler returns (a level element posts ten a second for as long as a room
// lasts; kept messages were a steady growth of the client's memory).
#include <gst/gst.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>

#include "components/KroMedia/BusSyncHandler.h"
#include "support/WaitUntil.h"

namespace kromedia {
namespace {

struct Counts {
    std::atomic<int> levels{0};
    std::atomic<int> seen{0};
    std::atomic<int> freed{0};
    std::atomic<bool> ended{false};
};

void Freed(gpointer data, GstMiniObject* /*message*/) {
    static_cast<Counts*>(data)->freed.fetch_add(1);
}

void Handle(GstMessage* message, void* data) {
    auto* counts = static_cast<Counts*>(data);
    counts->seen.fetch_add(1);
    gst_mini_object_weak_ref(GST_MINI_OBJECT_CAST(message), &Freed, counts);
    const GstStructure* s = gst_message_get_structure(message);
    if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ELEMENT && s != nullptr &&
        gst_structure_has_name(s, "level")) {
        counts->levels.fetch_add(1);
    }
    if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS) {
        counts->ended = true;
    }
}

TEST(BusSyncHandler, EveryMessageReachesTheHandlerAndIsFreedAfterIt) {
    gst_init(nullptr, nullptr);
    GError* error = nullptr;
    // 50 buffers of 10 ms, a level reading for each.
    GstElement* pipeline = gst_parse_launch(
        "audiotestsrc num-buffers=50 samplesperbuffer=480 ! "
        "audio/x-raw,rate=48000,channels=1 ! level interval=10000000 ! fakesink sync=false",
        &error);
    ASSERT_NE(pipeline, nullptr) << (error != nullptr ? error->message : "");
    Counts counts;
    GstBus* bus = gst_element_get_bus(pipeline);
    HandleBusSynchronously(bus, &Handle, &counts);
    gst_object_unref(bus);
    ASSERT_NE(gst_element_set_state(pipeline, GST_STATE_PLAYING), GST_STATE_CHANGE_FAILURE);
    ASSERT_TRUE(yav::test::WaitUntil([&] { return counts.ended.load(); }));
    // Nothing holds a message once its handler has run.
    EXPECT_TRUE(yav::test::WaitUntil([&] { return counts.freed.load() == counts.seen.load(); }))
        << counts.freed.load() << " of " << counts.seen.load() << " messages freed";
    EXPECT_GE(counts.levels.load(), 40);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    EXPECT_EQ(counts.freed.load(), counts.seen.load());
}

}  // namespace
}  // namespace kromedia
