// The network level from the streams' quality values: thresholds by stream count, history of
// new streams, the ranking of the worst, the switch that keeps bad counts, the report bytes.

#include <gtest/gtest.h>

#include <vector>

#include "client/dialogs/panels/NetQualityEval.h"
#include "fakes/conference/LogCapture.h"

namespace {

using Samples = std::vector<INetQualityEval::Sample>;

Samples Streams(const std::vector<std::uint32_t>& values, std::uint16_t firstId = 1) {
    Samples samples;
    for (std::uint32_t value : values) {
        samples.push_back({firstId++, value});
    }
    return samples;
}

class SmartAdjust {
public:
    explicit SmartAdjust(int on) : saved_(g_nSmartAdjust) { g_nSmartAdjust = on; }
    ~SmartAdjust() { g_nSmartAdjust = saved_; }

private:
    int saved_;
};

TEST(NetQualityEval, TheLevelFollowsTheMeanAndTheStreamCount) {
    struct Case {
        std::vector<std::uint32_t> values;
        int level;
    } cases[] = {
        {{240}, 0},
        {{290}, 1},
        {{800}, 2},
        {{399, 399, 399, 399, 399, 399, 399}, 0},  // seven streams: threshold 400
        {{399, 399, 399, 399, 399, 399}, 1},       // six: threshold 300
        {{299, 299}, 0},
        {{300, 300}, 1},
        {{799, 801}, 2},
        {{798, 801}, 1},
    };
    for (const Case& c : cases) {
        NetQualityEval eval;
        eval.Update(Streams(c.values));
        std::vector<std::uint16_t> bad;
        eval.GetBadIds(bad);
        EXPECT_EQ(eval.GetLevel(), c.level) << c.values.size() << " x " << c.values[0];
    }
}

TEST(NetQualityEval, AnEmptyReportClearsTheTableAndTheLevelBecomesGood) {
    NetQualityEval eval;
    eval.Update(Streams({100, 100}));
    eval.Evaluate();
    ASSERT_EQ(eval.GetLevel(), 0);
    eval.Update(Samples{});
    EXPECT_TRUE(eval.Table().empty());
    EXPECT_TRUE(eval.Ranking().empty());
    EXPECT_EQ(eval.Evaluate(), 0);
    EXPECT_EQ(eval.GetLevel(), 2);
}

TEST(NetQualityEval, ANewStreamStartsWithAGoodHistory) {
    NetQualityEval eval;
    eval.Update(Streams({900, 900}));
    eval.Update({{1, 900}, {2, 900}, {3, 600}});
    const auto& entry = eval.Table().at(3);
    EXPECT_EQ(entry.previous, 1000);
    EXPECT_EQ(entry.oldest, 1000);
    // Mean 866 is at least the high mark 700: not judged bad.
    EXPECT_EQ(eval.Evaluate(), 0);
    // Two reports later its history is its own: 600, 600, 600 is bad.
    eval.Update({{1, 900}, {2, 900}, {3, 600}});
    eval.Update({{1, 900}, {2, 900}, {3, 600}});
    EXPECT_EQ(eval.Evaluate(), 1);
}

TEST(NetQualityEval, StreamsMissingFromAReportLeaveTheTable) {
    NetQualityEval eval;
    eval.Update(Streams({900, 900, 900}));
    eval.Update({{2, 800}});
    ASSERT_EQ(eval.Table().size(), 1U);
    EXPECT_EQ(eval.Table().begin()->first, 2);
    EXPECT_EQ(eval.Table().begin()->second.latest, 800);
    EXPECT_EQ(eval.Table().begin()->second.previous, 900);
}

TEST(NetQualityEval, BadIdsAreTheWorstStreamsFirst) {
    NetQualityEval eval;
    // Ids 1..5: two below 500 (ranked by latest), one bad by its mean, two good.
    eval.Update({{1, 950}, {2, 450}, {3, 100}, {4, 900}, {5, 650}});
    eval.Update({{1, 950}, {2, 450}, {3, 100}, {4, 900}, {5, 650}});
    eval.Update({{1, 950}, {2, 450}, {3, 100}, {4, 900}, {5, 650}});
    std::vector<std::uint16_t> bad{42};
    eval.GetBadIds(bad);
    EXPECT_EQ(bad, (std::vector<std::uint16_t>{3, 2, 5}));
}

TEST(NetQualityEval, BadCountsGrowOnlyWithSmartAdjust) {
    for (int smart : {0, 1}) {
        SmartAdjust guard(smart);
        NetQualityEval eval;
        eval.Update(Streams({100, 900}));
        eval.Evaluate();
        eval.Evaluate();
        EXPECT_EQ(eval.Table().at(1).badCount, smart == 0 ? 0 : 2);
        EXPECT_EQ(eval.IsAllGood(), smart == 0);
        eval.Update(Streams({900, 900}));
        eval.Evaluate();
        EXPECT_EQ(eval.Table().at(1).badCount, 0);
        EXPECT_TRUE(eval.IsAllGood());
    }
}

TEST(NetQualityEval, ReportBytesAreSixByteRecordsAndATailIsDroppedWithALogLine) {
    const std::uint8_t bytes[] = {0x34, 0x12, 0xE8, 0x03, 0x00, 0x00,  // 0x1234 -> 1000
                                  0x02, 0x00, 0xF4, 0x01, 0x00, 0x00,  // 2 -> 500
                                  0x09, 0x00, 0x01};                   // tail
    fakes::LogCapture log;
    const Samples whole = NetQualityEval::DecodeRecords(bytes, 12);
    EXPECT_EQ(log.CountContaining("not a record"), 0U);
    const Samples cut = NetQualityEval::DecodeRecords(bytes, sizeof(bytes));
    EXPECT_EQ(log.CountContaining("not a record"), 1U);
    for (const Samples* samples : {&whole, &cut}) {
        ASSERT_EQ(samples->size(), 2U);
        EXPECT_EQ((*samples)[0].wMediaId, 0x1234);
        EXPECT_EQ((*samples)[0].value, 1000U);
        EXPECT_EQ((*samples)[1].wMediaId, 2);
        EXPECT_EQ((*samples)[1].value, 500U);
    }
    NetQualityEval eval;
    eval.Update(bytes, 5);  // not even one record: an empty report
    EXPECT_TRUE(eval.Table().empty());
    eval.Update(bytes, sizeof(bytes));
    EXPECT_EQ(eval.Table().size(), 2U);
}

}  // namespace
