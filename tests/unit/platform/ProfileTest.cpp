#include "platform/core/Profile.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "platform/core/TextCodec.h"
#include "unit/platform/TempDir.h"

namespace {

using yav::testing::TempDir;
namespace profile = yav::profile;

const char* const kSample =
    "; settings\n"
    "[AppInfo]\n"
    "Version = 3.2.1  \n"
    "DsSvrPort=9000\n"
    "quoted=\"  spaced  \"\n"
    "single='x'\n"
    "lonequote=\"abc\n"
    "empty=\n"
    "dup=first\n"
    "DUP=second\n"
    "\n"
    "[Other]\n"
    "key=other\n"
    "[appinfo]\n"
    "late=from-second-section\n";

TEST(ProfileRead, LookupRules) {
    TempDir dir;
    const std::string ini = dir.Write("a.ini", kSample);
    struct Case {
        const char* section;
        const char* key;
        const char* expected;
    } cases[] = {
        {"appinfo", "version", "3.2.1"},  // case-insensitive, trimmed
        {"APPINFO", "DSSVRPORT", "9000"},
        {"appinfo", "quoted", "  spaced  "},  // one pair of quotes removed
        {"appinfo", "single", "x"},
        {"appinfo", "lonequote", "\"abc"},  // unmatched quote stays
        {"appinfo", "empty", ""},           // present but blank: empty, not default
        {"appinfo", "dup", "first"},        // first key wins
        {"appinfo", "late", "DEF"},         // only the first section of a name is used
        {"other", "key", "other"},
        {"missing", "key", "DEF"},
        {" appinfo ", " version ", "3.2.1"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(profile::GetString(c.section, c.key, "DEF", 260, ini), c.expected)
            << c.section << "/" << c.key;
    }
}

TEST(ProfileRead, MissingFileGivesDefaultWithoutTrailingBlanks) {
    TempDir dir;
    EXPECT_EQ(profile::GetString("s", "k", "value  ", 260, dir.File("none.ini")), "value");
    EXPECT_EQ(profile::GetInt("s", "k", 42, dir.File("none.ini")), 42);
}

TEST(ProfileRead, LimitCutsToLimitMinusOneUtf16Units) {
    TempDir dir;
    // "中文" is two UTF-16 units; U+1F600 is a surrogate pair (two units).
    const std::string ini =
        dir.Write("a.ini", "[s]\nascii=abcdef\ncjk=中文字\nemoji=a\xF0\x9F\x98\x80z\n");
    EXPECT_EQ(profile::GetString("s", "ascii", "", 4, ini), "abc");
    EXPECT_EQ(profile::GetString("s", "ascii", "", 1, ini), "");
    EXPECT_EQ(profile::GetString("s", "ascii", "", 0, ini), "");
    EXPECT_EQ(profile::GetString("s", "cjk", "", 3, ini), "中文");
    EXPECT_EQ(profile::GetString("s", "emoji", "", 3, ini), "a");  // pair not split
    EXPECT_EQ(profile::GetString("s", "emoji", "", 4, ini), "a\xF0\x9F\x98\x80");
    EXPECT_EQ(profile::GetString("s", "nokey", "defaultvalue", 5, ini), "defa");
}

TEST(ProfileRead, IntegerParsing) {
    TempDir dir;
    const std::string ini = dir.Write("a.ini",
                                      "[n]\nplain=123\nneg=-45\nplus=+7\ntrail=12abc\nletters=abc\n"
                                      "empty=\nspace=  88  \nhex=0x10\nbig=4294967297\n");
    struct Case {
        const char* key;
        int expected;
    } cases[] = {{"plain", 123}, {"neg", -45},  {"plus", 7}, {"trail", 12}, {"letters", 0},
                 {"empty", 99},  {"space", 88}, {"hex", 0},  {"big", 1},    {"absent", 99}};
    for (const Case& c : cases) {
        EXPECT_EQ(profile::GetInt("n", c.key, 99, ini), c.expected) << c.key;
    }
}

TEST(ProfileRead, EncodingsAreDetected) {
    TempDir dir;
    const std::string gbkBody = yav::text::Utf8ToGbk("[用户]\n名字=张三\n");
    ASSERT_NE(gbkBody, "[用户]\n名字=张三\n");
    const std::string gbk = dir.Write("gbk.ini", gbkBody);
    EXPECT_EQ(profile::GetString("用户", "名字", "", 64, gbk), "张三");

    const std::string bom = dir.Write("bom.ini", "\xEF\xBB\xBF[s]\r\nk=v\r\n");
    EXPECT_EQ(profile::GetString("s", "k", "", 64, bom), "v");

    const std::u16string utf16 = u"[s]\r\nk=\u4E2D\r\n";
    std::string utf16Bytes = "\xFF\xFE";
    utf16Bytes.append(reinterpret_cast<const char*>(utf16.data()), utf16.size() * 2);
    const std::string wide = dir.Write("wide.ini", utf16Bytes);
    EXPECT_EQ(profile::GetString("s", "k", "", 64, wide), "中");
}

TEST(ProfileRead, CaseInsensitiveFileName) {
    TempDir dir;
    dir.Write("skin.ini", "[c]\nk=1\n");
    EXPECT_EQ(profile::GetInt("c", "k", 0, dir.File("Skin.ini")), 1);
}

TEST(ProfileWrite, CreatesFileSectionAndKey) {
    TempDir dir;
    const std::string ini = dir.File("new.ini");
    ASSERT_TRUE(profile::WriteString("Guard", "bUpdate", "0", ini));
    EXPECT_EQ(TempDir::Read(ini), "[Guard]\nbUpdate=0\n");
    ASSERT_TRUE(profile::WriteString("Guard", "other", "x", ini));
    ASSERT_TRUE(profile::WriteString("Second", "a", "b", ini));
    EXPECT_EQ(TempDir::Read(ini), "[Guard]\nbUpdate=0\nother=x\n[Second]\na=b\n");
}

TEST(ProfileWrite, ReplacesInPlaceAndKeepsEverythingElse) {
    TempDir dir;
    const std::string ini =
        dir.Write("a.ini", "; comment\r\n[S]\r\nKey = old\r\nz=1\r\n\r\n[T]\r\nq=2\r\n");
    ASSERT_TRUE(profile::WriteString("s", "key", "new", ini));
    ASSERT_TRUE(profile::WriteString("s", "added", "3", ini));
    EXPECT_EQ(TempDir::Read(ini),
              "; comment\r\n[S]\r\nKey=new\r\nz=1\r\nadded=3\r\n\r\n[T]\r\nq=2\r\n");
}

TEST(ProfileWrite, NullValueDeletesKeyAndSectionDeletion) {
    TempDir dir;
    const std::string ini = dir.Write("a.ini", "[a]\nx=1\ny=2\n[b]\nz=3\n");
    ASSERT_TRUE(profile::WriteString("A", "X", nullptr, ini));
    EXPECT_EQ(profile::GetString("a", "x", "gone", 10, ini), "gone");
    EXPECT_EQ(profile::GetKeyNames("a", ini), std::vector<std::string>{"y"});
    EXPECT_TRUE(profile::DeleteKey("a", "absent", ini));
    ASSERT_TRUE(profile::DeleteSection("A", ini));
    EXPECT_EQ(profile::GetSectionNames(ini), std::vector<std::string>{"b"});
    EXPECT_FALSE(profile::WriteString("a", "k", nullptr, dir.File("missing.ini")));
}

TEST(ProfileWrite, GbkFileIsRewrittenAsUtf8WithoutLoss) {
    TempDir dir;
    const std::string ini = dir.Write("gbk.ini", yav::text::Utf8ToGbk("[用户]\n名字=张三\n"));
    ASSERT_TRUE(profile::WriteString("用户", "城市", "北京", ini));
    EXPECT_EQ(TempDir::Read(ini), "[用户]\n名字=张三\n城市=北京\n");
}

TEST(ProfileWrite, InputThatWouldBreakTheFileIsRefusedOrNeutralised) {
    TempDir dir;
    const std::string ini = dir.File("a.ini");
    ASSERT_TRUE(profile::WriteString("s", "name", "first\n[evil]\nkey=1", ini));
    EXPECT_EQ(profile::GetString("s", "name", "", 260, ini), "first [evil] key=1");
    EXPECT_TRUE(profile::GetSectionNames(ini) == std::vector<std::string>{"s"});
    const struct {
        const char* section;
        const char* key;
    } refused[] = {{"s]x", "k"}, {"s\n", "k"}, {"s", "k=v"}, {"s", "[k"},
                   {"s", ";k"},  {"s", "k\r"}, {"s", " "}};
    for (const auto& r : refused) {
        EXPECT_FALSE(profile::WriteString(r.section, r.key, "v", ini)) << r.section << "/" << r.key;
    }
    EXPECT_EQ(profile::GetKeyNames("s", ini), std::vector<std::string>{"name"});
}

TEST(ProfileWrite, FailsWhenFolderIsMissing) {
    TempDir dir;
    EXPECT_FALSE(profile::WriteString("s", "k", "v", dir.File("no/such/dir.ini")));
}

TEST(ProfileWrite, ConcurrentWritersLoseNothing) {
    TempDir dir;
    const std::string ini = dir.File("c.ini");
    std::vector<std::thread> writers;
    for (int t = 0; t < 4; ++t) {
        writers.emplace_back([&, t] {
            for (int i = 0; i < 25; ++i) {
                profile::WriteString("s", "k" + std::to_string(t) + "_" + std::to_string(i),
                                     std::to_string(i), ini);
            }
        });
    }
    for (auto& w : writers) {
        w.join();
    }
    EXPECT_EQ(profile::GetKeyNames("s", ini).size(), 100u);
    EXPECT_EQ(profile::GetInt("s", "k3_24", -1, ini), 24);
}

}  // namespace
