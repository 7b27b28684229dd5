#include <gtest/gtest.h>

#include <cstring>

#include "ST_USER_ITEM_DEPT.h"
#include "client/dialogs/video/VideoCycleRules.h"
#include "client/dialogs/video/VideoPagerRules.h"

namespace {

using namespace yav::video;

TEST(VideoPagerRulesTest, PageTotals) {
    struct Case {
        int received, perPage, total;
    };
    const Case cases[] = {{10, 4, 3},  {8, 4, 2}, {1, 4, 1},  {0, 4, 0},
                          {17, 16, 2}, {5, 0, 0}, {5, -1, 0}, {33, 33, 1}};
    for (const Case& c : cases) {
        EXPECT_EQ(PageTotal(c.received, c.perPage), c.total) << c.received << "/" << c.perPage;
    }
}

TEST(VideoPagerRulesTest, TurningWrapsAround) {
    EXPECT_EQ(NextPage(3, 3), 1);
    EXPECT_EQ(NextPage(1, 3), 2);
    EXPECT_EQ(PreviousPage(1, 3), 3);
    EXPECT_EQ(PreviousPage(3, 3), 2);
    // The page before any is set (0) is the last one.
    EXPECT_EQ(PreviousPage(0, 2), 2);
    EXPECT_EQ(PageStartIndex(3, 4), 8);
    EXPECT_EQ(PageStartIndex(1, 4), 0);
    EXPECT_EQ(PageStartIndex(0, 4), 0);
    EXPECT_EQ(PageStartIndex(2, 0), 0);
}

TEST(VideoPagerRulesTest, AutoTurnNeverArmsAZeroTimer) {
    EXPECT_EQ(AutoTurnIntervalMs(0), 10000u);
    EXPECT_EQ(AutoTurnIntervalMs(15), 15000u);
    EXPECT_EQ(AutoTurnIntervalMs(255), 255000u);
}

TEST(VideoCycleRulesTest, StoredIntervalsSelectTheirItems) {
    struct Case {
        std::uint32_t seconds;
        int cycleItem, pageItem;
    };
    const Case cases[] = {{10, 0, 0}, {15, 0, 1}, {20, 1, 1},  {30, 2, 2},
                          {45, 0, 1}, {60, 3, 3}, {120, 4, 4}, {0, 0, 1}};
    for (const Case& c : cases) {
        EXPECT_EQ(CycleIntervalItem(c.seconds), c.cycleItem) << c.seconds;
        EXPECT_EQ(PageTurnItem(c.seconds), c.pageItem) << c.seconds;
    }
    // Each item stands for the number it shows.
    const QStringList cycle = CycleIntervalItems();
    const QStringList page = PageTurnItems();
    ASSERT_EQ(cycle.size(), 5);
    ASSERT_EQ(page.size(), 5);
    for (int item = 0; item < 5; ++item) {
        EXPECT_EQ(CycleIntervalItem(static_cast<std::uint32_t>(LeadingNumber(cycle[item]))), item);
        EXPECT_EQ(PageTurnItem(static_cast<std::uint32_t>(LeadingNumber(page[item]))), item);
    }
    EXPECT_EQ(LeadingNumber(QStringLiteral("120 s")), 120);
    EXPECT_EQ(LeadingNumber(QStringLiteral("s10")), 0);
    EXPECT_EQ(LeadingNumber(QString()), 0);
}

ST_USER_ITEM_DEPT User(std::uint16_t id, const char16_t* name, std::uint8_t mask,
                       std::uint8_t count) {
    ST_USER_ITEM_DEPT user;
    user.userId = id;
    std::memcpy(user.name, name, std::char_traits<char16_t>::length(name) * sizeof(char16_t));
    user.channelMask = mask;
    user.videoChannelCount = count;
    return user;
}

TEST(VideoCycleRulesTest, EveryOwnedChannelIsOneEntry) {
    auto entries = CycleFilterEntries(User(8, u"Ann", 0b11, 2));
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].key, 8);
    EXPECT_EQ(entries[0].name, QStringLiteral("Ann"));
    EXPECT_EQ(entries[1].key, 9);
    EXPECT_EQ(entries[1].name, QStringLiteral("Ann-2"));

    // A channel past the count, or without its bit, is not listed.
    entries = CycleFilterEntries(User(16, u"Bob", 0b1010, 2));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].key, 17);
    EXPECT_EQ(entries[0].name, QStringLiteral("Bob-2"));
    EXPECT_TRUE(CycleFilterEntries(User(24, u"Cy", 0, 3)).empty());
    // A count above 8 stops at channel 7.
    EXPECT_EQ(CycleFilterEntries(User(32, u"Di", 0xFF, 200)).size(), 8u);
    // Format marks in a name stay as typed.
    entries = CycleFilterEntries(User(40, u"%1 Ed", 0b10, 2));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, QStringLiteral("%1 Ed-2"));
}

}  // namespace
