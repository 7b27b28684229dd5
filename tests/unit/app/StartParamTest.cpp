#include <gtest/gtest.h>

#include <vector>

#include "config/StartParam.h"

namespace {

TEST(StartParam, EncodesAtTheFixedOffsets) {
    ST_START_PARAM block;
    block.wJoinType = 0x0102;
    block.SetServerAddr(QStringLiteral("AB"));
    block.SetUserName(QStringLiteral("中"));
    block.SetPassword(QStringLiteral("p"));
    block.nConfId = -2;
    const auto bytes = block.Encode();
    ASSERT_EQ(bytes.size(), 720u);
    EXPECT_EQ(bytes[0], 0x02);
    EXPECT_EQ(bytes[1], 0x01);
    EXPECT_EQ(bytes[2], 'A');
    EXPECT_EQ(bytes[3], 0);
    EXPECT_EQ(bytes[4], 'B');
    EXPECT_EQ(bytes[522], 0x2D);  // U+4E2D little-endian
    EXPECT_EQ(bytes[523], 0x4E);
    EXPECT_EQ(bytes[650], 'p');
    EXPECT_EQ(bytes[714], 0);
    EXPECT_EQ(bytes[715], 0);
    EXPECT_EQ(bytes[716], 0xFE);
    EXPECT_EQ(bytes[719], 0xFF);

    const auto decoded = ST_START_PARAM::Decode(bytes);
    ASSERT_TRUE(decoded.has_value());
    EXPECT_EQ(decoded->Encode(), bytes);
    EXPECT_EQ(decoded->UserName(), QStringLiteral("中"));
    EXPECT_EQ(decoded->nConfId, -2);
}

TEST(StartParam, DecodeRejectsWrongSizesAndTerminatesFields) {
    std::vector<std::uint8_t> bytes(720, 'x');
    EXPECT_FALSE(ST_START_PARAM::Decode(std::span(bytes.data(), 719)).has_value());
    bytes.push_back(0);
    EXPECT_FALSE(ST_START_PARAM::Decode(bytes).has_value());
    bytes.pop_back();
    const auto garbage = ST_START_PARAM::Decode(bytes);
    ASSERT_TRUE(garbage.has_value());
    EXPECT_EQ(garbage->ServerAddr().size(), 259);
    EXPECT_EQ(garbage->UserName().size(), 63);
    EXPECT_EQ(garbage->Password().size(), 31);
    EXPECT_TRUE(ST_START_PARAM{}.IsZero());
}

TEST(StartParam, CutNeverSplitsASurrogatePair) {
    ST_START_PARAM block;
    QString name(62, u'a');
    name += QString::fromUtf8("\xF0\x9F\x98\x80");  // units 63 and 64
    block.SetUserName(name);
    EXPECT_EQ(block.UserName(), QString(62, u'a'));
}

}  // namespace
