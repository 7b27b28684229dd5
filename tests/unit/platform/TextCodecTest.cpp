#include "platform/core/TextCodec.h"

#include <gtest/gtest.h>

namespace {

using namespace yav::text;

TEST(TextCodec, GbkRoundTripOfChineseAndAscii) {
    const std::string utf8 = "会议 Room 1";
    const std::string gbk = Utf8ToGbk(utf8);
    // 会 = B BB E1, 议 = D2 E9 in code page 936.
    ASSERT_EQ(gbk.substr(0, 4), std::string("\xBB\xE1\xD2\xE9"));
    EXPECT_EQ(GbkToUtf8(gbk), utf8);
    EXPECT_EQ(GbkToUtf16(gbk), u"会议 Room 1");
    EXPECT_EQ(Utf16ToGbk(u"会议 Room 1"), gbk);
}

TEST(TextCodec, InvalidInputBecomesQuestionMarks) {
    EXPECT_EQ(GbkToUtf8("a\x81"), "a?");              // lead byte cut off at the end
    EXPECT_EQ(Utf8ToUtf16("\xFFx"), u"?x");           // not UTF-8
    EXPECT_EQ(Utf8ToGbk("x\xF0\x9F\x98\x80"), "x?");  // no such character in GBK
}

TEST(TextCodec, TruncationNeverSplitsACharacter) {
    const std::string gbk = Utf8ToGbk("a会议");  // 5 bytes: 'a' + two double-byte characters
    struct Case {
        size_t max;
        size_t expected;
    };
    for (const Case c :
         {Case{0, 0}, Case{1, 1}, Case{2, 1}, Case{3, 3}, Case{4, 3}, Case{5, 5}, Case{9, 5}}) {
        EXPECT_EQ(TruncateGbk(gbk, c.max).size(), c.expected) << "max " << c.max;
    }
    EXPECT_EQ(TruncateUtf16(u"a\U0001F600", 2), u"a");
    EXPECT_EQ(TruncateUtf8("a会", 3), "a");
}

}  // namespace
