// The chat payload as senders write it and receivers read it, including what a hostile or
// broken peer may send.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "client/dialogs/chat/ChatPayload.h"

namespace {

using yav::proto::Bytes;
using namespace yav::usercmd;

Bytes ChatBlock(std::initializer_list<std::uint16_t> units, bool oddByte = false) {
    Bytes block{0x78, 0x56, 0x34, 0x12};
    for (const auto unit : units) {
        block.push_back(static_cast<std::uint8_t>(unit));
        block.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    if (oddByte) {
        block.push_back('!');
    }
    return block;
}

// A block of `units` copies of one unit (no terminator).
Bytes RepeatedBlock(std::size_t units, char16_t unit) {
    Bytes block{0, 0, 0, 0};
    for (std::size_t i = 0; i < units; ++i) {
        block.push_back(static_cast<std::uint8_t>(unit));
        block.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    return block;
}

TEST(ChatPayload, ReceiverTakesBothFormsAndRefusesWhatHoldsNoText) {
    struct Case {
        const char* name;
        Bytes block;
        bool decodes;
        std::u16string text;
    };
    const Case cases[] = {
        {"4 + 2n, no terminator", ChatBlock({'h', 'i'}), true, u"hi"},
        {"4 + 2(n + 2), two zero units", ChatBlock({'h', 'i', 0, 0}), true, u"hi"},
        {"merged line breaks leave more zero units", ChatBlock({'a', ' ', 'b', 0, 0, 0}), true,
         u"a b"},
        {"text after a zero unit is not shown", ChatBlock({'o', 'k', 0, 'x'}), true, u"ok"},
        {"odd last byte ignored", ChatBlock({0x4E2D, 0x6587}, true), true, u"中文"},
        {"five bytes: no whole unit, no text", ChatBlock({}, true), false, u""},
        {"zero units only", ChatBlock({0, 0}), false, u""},
        {"header only (4 bytes)", ChatBlock({}), false, u""},
        {"shorter than the header", Bytes{1, 2, 3}, false, u""},
        {"empty block", Bytes{}, false, u""},
        {"a surrogate pair stays", ChatBlock({0xD83D, 0xDE00}), true, u"\U0001F600"},
        {"lone high surrogate", ChatBlock({'a', 0xD83D, 'b'}), true, u"a\uFFFDb"},
        {"lone low surrogate", ChatBlock({0xDE00, 'b'}), true, u"\uFFFDb"},
        {"high surrogate before the terminator", ChatBlock({'a', 0xD83D, 0, 0}), true, u"a\uFFFD"},
    };
    for (const auto& c : cases) {
        const auto message = DecodeChat(c.block);
        ASSERT_EQ(message.has_value(), c.decodes) << c.name;
        if (message) {
            EXPECT_EQ(message->text, c.text) << c.name;
            EXPECT_EQ(message->reserved, 0x12345678u) << c.name;
            EXPECT_FALSE(message->cut) << c.name;
        }
    }
}

TEST(ChatPayload, OversizedTextIsCutAt1998BytesWithoutSplittingAPair) {
    const auto plain = DecodeChat(RepeatedBlock(1200, u'x'));
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->text.size(), 999u);
    EXPECT_TRUE(plain->cut);

    // 998 letters, then a pair whose high half is the 999th unit: the cut would split it.
    Bytes block = RepeatedBlock(998, u'y');
    for (const std::uint16_t unit : {0xD83D, 0xDE00, 0x7A}) {
        block.push_back(static_cast<std::uint8_t>(unit));
        block.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    const auto paired = DecodeChat(block);
    ASSERT_TRUE(paired);
    EXPECT_EQ(paired->text, std::u16string(998, u'y'));
    EXPECT_TRUE(paired->cut);

    // Exactly 1998 text bytes is not a cut.
    const auto exact = DecodeChat(RepeatedBlock(999, u'x'));
    ASSERT_TRUE(exact);
    EXPECT_FALSE(exact->cut);
}

TEST(ChatPayload, SenderTurnsLineBreaksIntoSpacesAndPadsToNPlusTwoUnits) {
    struct Case {
        const char* name;
        std::u16string typed;
        std::size_t bytes;
        std::u16string shown;
    };
    const Case cases[] = {
        {"plain", u"hi", 4 + 2 * 4, u"hi"},
        {"CR LF merges into one space, n unchanged", u"a\r\nb", 16, u"a b"},
        {"pasted LF", u"a\nb", 14, u"a b"},
        {"lone CR", u"a\rb", 14, u"a b"},
        {"line and paragraph separators", u"a\u2028b\u2029c", 4 + 2 * 7, u"a b c"},
        {"LF CR is two breaks", u"a\n\rb", 16, u"a  b"},
    };
    for (const auto& c : cases) {
        const auto block = EncodeChat(c.typed);
        ASSERT_TRUE(block) << c.name;
        EXPECT_EQ(block->size(), c.bytes) << c.name;
        EXPECT_EQ((*block)[block->size() - 1], 0) << c.name;
        EXPECT_EQ((*block)[block->size() - 2], 0) << c.name;
        const auto message = DecodeChat(*block);
        ASSERT_TRUE(message) << c.name;
        EXPECT_EQ(message->text, c.shown) << c.name;
        EXPECT_EQ(message->reserved, 0u) << c.name;
    }
}

TEST(ChatPayload, SenderRefusesMoreThan1000UnitsWithTheTerminator) {
    const auto longest = EncodeChat(std::u16string(998, u'x'));
    ASSERT_TRUE(longest);
    EXPECT_EQ(longest->size(), 4u + 2 * 1000);
    EXPECT_EQ(DecodeChat(*longest)->text.size(), 998u);
    EXPECT_FALSE(EncodeChat(std::u16string(999, u'x')));
}

}  // namespace
