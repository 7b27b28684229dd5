#include "client/conference/RoomNotices.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/core/TextCodec.h"

namespace {

using namespace yav::notice;
using Bytes = std::vector<std::uint8_t>;

TEST(RoomNotices, LongNamesKeepTheirFirstTenAndLastFiveCharacters) {
    struct {
        QString name;
        QString shown;
    } const cases[] = {
        {QStringLiteral(""), QStringLiteral("")},
        {QStringLiteral("abcdefghijklmno"), QStringLiteral("abcdefghijklmno")},  // 15
        {QStringLiteral("abcdefghijklmnop"), QStringLiteral("abcdefghij...lmnop")},
        {QStringLiteral("ABCDEFGHIJ-middle-VWXYZ"), QStringLiteral("ABCDEFGHIJ...VWXYZ")},
        // A surrogate pair on either cut stays whole.
        {QStringLiteral("abcdefghi\U0001F600mmmm\U0001F600wxyz"),
         QStringLiteral("abcdefghi...wxyz")},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ShortNoticeName(c.name), c.shown) << c.name.toStdString();
    }
}

TEST(RoomNotices, TextsAndNamesAreInsertedLiterally) {
    // A '%' in a language text or in a name must not be read as a conversion.
    EXPECT_EQ(UserNotice({QStringLiteral("Volume 100%"), QStringLiteral("left %s(%d)")},
                         QStringLiteral("Ann%d"), 16),
              QStringLiteral("Volume 100% Ann%d(16) left %s(%d)"));
    EXPECT_EQ(UserNotice({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C%%")},
                         QStringLiteral("Bob"), 17),
              QStringLiteral("A Bob(17) B:C%%"));
    EXPECT_EQ(UserNotice({QStringLiteral("joined"), QStringLiteral("room")},
                         QStringLiteral("abcdefghijklmnopqrst"), 8),
              QStringLiteral("joined abcdefghij...pqrst(8) room"));
}

TEST(RoomNotices, NoNoticeForAUserWithoutName) {
    EXPECT_TRUE(UserNotice({QStringLiteral("A"), QStringLiteral("B")}, QString(), 16).isEmpty());
}

Bytes BulletinBlock(std::uint8_t lengthByte, const std::string& gbk) {
    Bytes block{lengthByte};
    for (const char byte : gbk) {
        block.push_back(static_cast<std::uint8_t>(byte));
    }
    return block;
}

TEST(RoomNotices, BulletinIsCutToTheShortestLimitOnACharacter) {
    const std::string chinese = yav::text::Utf8ToGbk("中文字");  // 6 bytes, 3 characters
    ASSERT_EQ(chinese.size(), 6u);
    struct {
        const char* name;
        Bytes block;
        std::string text;
    } const cases[] = {
        {"empty block", {}, ""},
        {"removed", BulletinBlock(0, ""), ""},
        {"length byte rules", BulletinBlock(3, "abcdef"), "abc"},
        {"bytes given rule", BulletinBlock(200, "abc"), "abc"},
        {"241 at most", BulletinBlock(255, std::string(300, 'x')), std::string(241, 'x')},
        {"length byte inside a character", BulletinBlock(3, chinese), chinese.substr(0, 2)},
        {"block ends inside a character", BulletinBlock(6, chinese.substr(0, 5)),
         chinese.substr(0, 4)},
        {"a lone lead byte", BulletinBlock(1, "\x81"), ""},
        {"limit 241 inside a character", BulletinBlock(255, std::string(240, 'y') + chinese),
         std::string(240, 'y')},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(std::string(BulletinBytes(c.block)), c.text) << c.name;
    }
    EXPECT_EQ(BulletinText(BulletinBlock(6, chinese)), QStringLiteral("中文字"));
    EXPECT_EQ(BulletinText(BulletinBlock(5, chinese)), QStringLiteral("中文"));
}

}  // namespace
