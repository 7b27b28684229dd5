#include <gtest/gtest.h>

#include "conference/ServerErrorText.h"

namespace {

using yav::road::ServerErrorFormat;
using yav::road::ServerErrorTextFormat;
using yav::road::ServerErrorTextId;

struct ErrorCase {
    int code;
    int mode;
    int text;
};

TEST(ServerErrorText, EveryCodeOfTheTableHasItsText) {
    const ErrorCase cases[] = {
        {-1, 0, 1864},     {-2, 0, 1831},      {-3, 0, 2608},     {-3, 2, 2608},
        {0x1000, 0, 3130}, {0x1002, 0, 1765},  {0x1004, 0, 1768}, {0x1006, 0, 1771},
        {0x1008, 0, 1774}, {0x100A, 0, 1948},  {0x1012, 0, 1777}, {0x1014, 0, 1780},
        {0x1016, 0, 1783}, {0x1018, 0, 1786},  {0x1036, 0, 970},  {0x8001, 0, 1789},
        {0x8002, 0, 1792}, {0x8003, 0, 1795},  {0x8005, 0, 1798}, {0x8007, 0, 1801},
        {0x8007, 2, 1948}, {0x8007, -1, 1801}, {0x8009, 0, 1804}, {0x800B, 0, 1807},
        {0x800D, 0, 1810}, {0x800F, 0, 1813},  {0x8011, 0, 1816}, {0x8013, 0, 1951},
        {0x8015, 2, 1804}, {0x8017, 0, 2608},
    };
    for (const ErrorCase& c : cases) {
        EXPECT_EQ(ServerErrorTextId(c.code, c.mode), c.text)
            << "code 0x" << std::hex << c.code << " mode " << std::dec << c.mode;
    }
}

TEST(ServerErrorText, UnknownCodesShowTheGeneralText) {
    for (int code : {-5, -4, 0, 1, 0x1001, 0x1010, 0x8004, 0x8018, 0x7FFFFFFF}) {
        EXPECT_EQ(ServerErrorTextId(code, 0), 1819) << code;
        EXPECT_EQ(ServerErrorTextId(code, 2), 1819) << code;
    }
}

TEST(ServerErrorText, OnlyTheWaitingTimeAndTheArgumentFreeTextAreFormats) {
    EXPECT_EQ(ServerErrorTextFormat(0x1000), ServerErrorFormat::MinutesSeconds);
    EXPECT_EQ(ServerErrorTextFormat(0x1036), ServerErrorFormat::NoArguments);
    EXPECT_EQ(ServerErrorTextFormat(0x8007), ServerErrorFormat::Plain);
    EXPECT_EQ(ServerErrorTextFormat(-1), ServerErrorFormat::Plain);
}

}  // namespace
