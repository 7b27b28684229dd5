#include "client/media/MediaIdList.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

std::vector<std::uint16_t> Ids(CMediaIdList& list) {
    std::vector<std::uint16_t> ids;
    for (const auto& entry : list.Snapshot()) {
        ids.push_back(entry.wMediaId);
    }
    return ids;
}

TEST(MediaIdList, ReAddingMovesToTailKeepingIdsUnique) {
    CMediaIdList list;
    for (std::uint16_t id : {5, 6, 7, 5}) {
        list.AddOrMoveToTail(id);
    }
    EXPECT_EQ(Ids(list), (std::vector<std::uint16_t>{6, 7, 5}));
    EXPECT_EQ(list.GetCount(), 3);
    ASSERT_TRUE(list.Tail().has_value());
    EXPECT_EQ(list.Tail()->wMediaId, 5);

    // Re-adding the tail or the only middle node keeps the list consistent.
    list.AddOrMoveToTail(5);
    list.AddOrMoveToTail(7);
    EXPECT_EQ(Ids(list), (std::vector<std::uint16_t>{6, 5, 7}));
    EXPECT_EQ(list.GetCount(), 3);
}

TEST(MediaIdList, MovingKeepsTheFlag) {
    CMediaIdList list;
    list.AddOrMoveToTail(1);
    list.AddOrMoveToTail(2);
    ASSERT_TRUE(list.SetFlag(1, 1));
    list.AddOrMoveToTail(1);
    ASSERT_TRUE(list.Find(1).has_value());
    EXPECT_EQ(list.Find(1)->flag, 1);
    EXPECT_EQ(Ids(list), (std::vector<std::uint16_t>{2, 1}));
}

TEST(MediaIdList, RemoveReportsPresence) {
    CMediaIdList list;
    list.AddOrMoveToTail(8);
    list.AddOrMoveToTail(9);
    EXPECT_EQ(list.Remove(42), 0);
    EXPECT_EQ(list.GetCount(), 2);
    EXPECT_EQ(list.Remove(8), 1);
    EXPECT_EQ(list.GetCount(), 1);
    EXPECT_EQ(Ids(list), (std::vector<std::uint16_t>{9}));
    EXPECT_EQ(list.Remove(9), 1);
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_FALSE(list.Tail().has_value());
    // An emptied list takes new ids again.
    list.AddOrMoveToTail(3);
    EXPECT_EQ(Ids(list), (std::vector<std::uint16_t>{3}));
}

TEST(MediaIdList, SetFlagOfAbsentIdFails) {
    CMediaIdList list;
    EXPECT_FALSE(list.SetFlag(4, 1));
    list.AddOrMoveToTail(4);
    EXPECT_TRUE(list.SetFlag(4, 1));
    EXPECT_EQ(list.Find(4)->flag, 1);
    EXPECT_FALSE(list.Find(5).has_value());
}

TEST(MediaIdList, ClearEmptiesTheList) {
    CMediaIdList list;
    list.AddOrMoveToTail(1);
    list.AddOrMoveToTail(2);
    list.Clear();
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_TRUE(list.Snapshot().empty());
}

struct CollectCase {
    const char* name;
    int start;
    int maximum;
    std::vector<std::uint16_t> expected;
};

class MediaIdListCollect : public ::testing::TestWithParam<CollectCase> {};

// Ids 1, 2, 3, 4 with 2 flagged.
TEST_P(MediaIdListCollect, CollectsUnflaggedFromStart) {
    CMediaIdList list;
    for (std::uint16_t id : {1, 2, 3, 4}) {
        list.AddOrMoveToTail(id);
    }
    list.SetFlag(2, 1);
    std::vector<std::uint16_t> out{99};  // appended to, never replaced
    list.CollectUnflagged(out, GetParam().start, GetParam().maximum);
    std::vector<std::uint16_t> expected{99};
    expected.insert(expected.end(), GetParam().expected.begin(), GetParam().expected.end());
    EXPECT_EQ(out, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MediaIdListCollect,
    ::testing::Values(CollectCase{"FirstTwoSkipFlagged", 0, 2, {1, 3}},
                      CollectCase{"StartIndexCountsEveryNode", 1, 2, {3, 4}},
                      CollectCase{"StartPastFlagged", 2, 1, {3}},
                      CollectCase{"MaximumZeroTakesFirstEligibleNode", 0, 0, {1}},
                      CollectCase{"MaximumZeroStopsAtIneligibleFirstNode", 1, 0, {}},
                      CollectCase{"LargeMaximumTakesAll", 0, 10, {1, 3, 4}},
                      CollectCase{"StartBeyondEnd", 9, 3, {}}),
    [](const ::testing::TestParamInfo<CollectCase>& caseInfo) {
        return std::string(caseInfo.param.name);
    });

// Media callbacks and the UI thread change the list at the same time; every change is one
// step under the lock, so the count always matches the nodes.
TEST(MediaIdList, ConcurrentChangesKeepCountConsistent) {
    CMediaIdList list;
    std::atomic<bool> go{false};
    auto worker = [&](std::uint16_t base) {
        while (!go) {
            std::this_thread::yield();
        }
        for (int round = 0; round < 2000; ++round) {
            const auto id = static_cast<std::uint16_t>(base + round % 16);
            list.AddOrMoveToTail(id);
            list.SetFlag(id, static_cast<std::uint8_t>(round & 1));
            if (round % 3 == 0) {
                list.Remove(static_cast<std::uint16_t>(base + (round + 5) % 16));
            }
        }
    };
    std::thread a(worker, 0);
    std::thread b(worker, 8);  // overlapping id ranges
    go = true;
    a.join();
    b.join();
    const auto snapshot = list.Snapshot();
    EXPECT_EQ(static_cast<int>(snapshot.size()), list.GetCount());
    std::vector<bool> seen(64, false);
    for (const auto& entry : snapshot) {
        EXPECT_FALSE(seen[entry.wMediaId]) << "duplicate id " << entry.wMediaId;
        seen[entry.wMediaId] = true;
    }
}

}  // namespace
