// Formatting language texts: printf results when text and arguments agree, and a safe result
// with a log line for every way a translation can disagree with its caller.

#include <gtest/gtest.h>

#include "client/config/LangFormat.h"
#include "unit/resources/LogCapture.h"

namespace {

using yav::FormatArg;
using yav::FormatConversions;
using yav::SafeFormat;
using yav::testing::LogCapture;

struct MatchingCase {
    const char* format;
    std::vector<FormatArg> args;
    const char* expected;
};

void PrintTo(const MatchingCase& c, std::ostream* os) {
    *os << '"' << c.format << '"';
}

class SafeFormatMatching : public ::testing::TestWithParam<MatchingCase> {};

TEST_P(SafeFormatMatching, FormatsAsPrintfWithoutLogging) {
    const MatchingCase& c = GetParam();
    LogCapture log;
    EXPECT_EQ(SafeFormat(QString::fromUtf8(c.format), c.args).toStdString(), c.expected);
    EXPECT_EQ(log.Count(), 0u) << log.Last();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SafeFormatMatching,
    ::testing::Values(
        MatchingCase{"会议人数已达上限%d人", {FormatArg(16)}, "会议人数已达上限16人"},
        MatchingCase{"%s(%d) joined", {FormatArg("张三"), FormatArg(17)}, "张三(17) joined"},
        MatchingCase{"100%% done", {}, "100% done"},
        MatchingCase{"[%5d|%-4s|%.2s]",
                     {FormatArg(42), FormatArg("ab"), FormatArg("xyz")},
                     "[   42|ab  |xy]"},
        MatchingCase{"%03u %x %X %o",
                     {FormatArg(7u), FormatArg(255), FormatArg(255), FormatArg(8)},
                     "007 ff FF 10"},
        MatchingCase{"%I64d %lld %ld %hd",
                     {FormatArg(5LL), FormatArg(-6LL), FormatArg(7L), FormatArg(8)},
                     "5 -6 7 8"},
        MatchingCase{"%.1f%%", {FormatArg(12.34)}, "12.3%"},
        MatchingCase{"%c%c", {FormatArg(0x4F60), FormatArg('!')}, "你!"},
        MatchingCase{"%*d|", {FormatArg(4), FormatArg(9)}, "   9|"},
        MatchingCase{
            "%*d|%*s|", {FormatArg(-4), FormatArg(9), FormatArg(-3), FormatArg("ab")}, "9   |ab |"},
        MatchingCase{"%.*s|%.*s",
                     {FormatArg(-1), FormatArg("abc"), FormatArg(1), FormatArg("xyz")},
                     "abc|x"},
        // A precision beyond the int range is capped, never narrowed into a small one.
        MatchingCase{"%.*s", {FormatArg(4294967298LL), FormatArg("abc")}, "abc"},
        MatchingCase{"%ls and %S", {FormatArg(u"wide"), FormatArg("narrow")}, "wide and narrow"},
        MatchingCase{"no conversions", {}, "no conversions"}));

struct MismatchCase {
    const char* name;
    const char* format;
    std::vector<FormatArg> args;
    const char* expected;
};

void PrintTo(const MismatchCase& c, std::ostream* os) {
    *os << '"' << c.format << '"';
}

class SafeFormatMismatch : public ::testing::TestWithParam<MismatchCase> {};

// A translation that asks for more, fewer or other arguments than the caller passes never
// reads what is not there: each argument is written as plain text where it does not fit,
// a missing one leaves its place empty, and the mismatch is logged.
TEST_P(SafeFormatMismatch, FormatsSafelyAndLogs) {
    const MismatchCase& c = GetParam();
    LogCapture log;
    EXPECT_EQ(SafeFormat(QString::fromUtf8(c.format), c.args).toStdString(), c.expected);
    ASSERT_EQ(log.Count(), 1u);
    EXPECT_NE(log.Last().find("text format mismatch"), std::string::npos) << log.Last();
    EXPECT_NE(log.Last().find(c.format), std::string::npos) << log.Last();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SafeFormatMismatch,
    ::testing::Values(
        MismatchCase{"MissingArgument", "%s(%d) left", {FormatArg("Li")}, "Li() left"},
        MismatchCase{"NoArgumentsAtAll", "%s %s %s %s", {}, "   "},
        MismatchCase{"ExtraArgument", "joined", {FormatArg(3)}, "joined"},
        MismatchCase{"TextForNumber", "limit %d", {FormatArg("ten")}, "limit ten"},
        MismatchCase{"NumberForText", "user %s", {FormatArg(12)}, "user 12"},
        MismatchCase{"RealForInteger", "%d%%", {FormatArg(0.5)}, "0.5%"},
        MismatchCase{"SwappedOrder", "%d: %s", {FormatArg("Wang"), FormatArg(9)}, "Wang: 9"},
        MismatchCase{"WritesMemory", "%n%d", {FormatArg(1), FormatArg(2)}, "12"},
        MismatchCase{"UnknownConversion", "%y%d", {FormatArg(1), FormatArg(2)}, "12"},
        MismatchCase{"CutAfterPercent", "50%", {FormatArg(1)}, "501"}),
    [](const ::testing::TestParamInfo<MismatchCase>& param) {
        return std::string(param.param.name);
    });

TEST(SafeFormat, WidthsCannotGrowWithoutBound) {
    LogCapture log;
    const QString text = SafeFormat(QStringLiteral("%999999999d"), {FormatArg(1)});
    EXPECT_LE(text.size(), 256);
    EXPECT_TRUE(text.endsWith(u'1'));
}

TEST(FormatConversions, ListsArgumentClassesInOrder) {
    EXPECT_EQ(FormatConversions(QStringLiteral("%s %%s(%%d) %s")), "ss");
    EXPECT_EQ(FormatConversions(QStringLiteral("%d小时%d分钟")), "ii");
    EXPECT_EQ(FormatConversions(QStringLiteral("%.1f%% of %-10ls, %I64u")), "fsi");
    EXPECT_EQ(FormatConversions(QStringLiteral("%*.*s")), "iis");
    EXPECT_EQ(FormatConversions(QStringLiteral("%n %q")), "??");
    EXPECT_EQ(FormatConversions(QStringLiteral("trailing %")), "?");
    EXPECT_EQ(FormatConversions(QStringLiteral("none")), "");
}

}  // namespace
