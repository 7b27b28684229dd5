#include "dialogs/login/ConfListLayout.h"

#include <gtest/gtest.h>

#include "platform/core/Scale.h"

namespace {

struct ScaleGuard {
    explicit ScaleGuard(double scale) : saved(g_fExchangePW) { g_fExchangePW = scale; }
    ~ScaleGuard() { g_fExchangePW = saved; }
    double saved;
};

struct Row {
    std::uint32_t number;
    const char16_t* name;
};

const Row kRows[] = {
    {0, u"Lobby"},       {812, u"Sales"}, {1234, u"Team Weekly"},
    {12, u"Board 0812"}, {77, u"x 12 y"}, {4000000000u, u"Big"},
};

std::vector<std::uint32_t> Matching(const QString& text) {
    const ConfListFilter filter(text);
    std::vector<std::uint32_t> numbers;
    for (const Row& row : kRows) {
        if (filter.Matches(row.number, QString::fromUtf16(row.name))) {
            numbers.push_back(row.number);
        }
    }
    return numbers;
}

TEST(ConfListFilter, SearchTable) {
    struct Case {
        const char* text;
        std::vector<std::uint32_t> expected;
    };
    const Case cases[] = {
        {"0812", {812, 12}},  // number 812 and the name holding 0812
        {" 12 ", {12, 77}},   // number 12; the name search keeps the blanks
        {"team", {0, 1234}},  // case does not matter; not digits: number 0 stays
        {"TEAM w", {0, 1234}},
        {"zzz", {0}},  // not all digits: number 0 always stays
        {"   ", {0}},  // blanks only are digits-only: number 0
        {"4000000000", {4000000000u}},
        {"99999999999", {}},  // too long for any number; no name holds it
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Matching(QString::fromLatin1(c.text)), c.expected) << '"' << c.text << '"';
    }
}

TEST(ConfListLayout, RowsAndControlsAtBothScales) {
    {
        ScaleGuard scale(1.0);
        const QRect client(0, 0, 750, 404);
        EXPECT_EQ(ConfListLayout::RowRect(0, client), QRect(0, 0, 750, 79));
        EXPECT_EQ(ConfListLayout::RowRect(3, client), QRect(0, 237, 750, 79));
        const auto rects = ConfListLayout::RowControlRects(ConfListLayout::RowRect(1, client));
        EXPECT_EQ(rects[ConfListLayout::Name], QRect(38, 79 + 14, 237, 22));
        EXPECT_EQ(rects[ConfListLayout::Counts], QRect(205, 79 + 44, 78, 16));
        EXPECT_EQ(rects[ConfListLayout::EnterButton], QRect(676, 79 + 28, 58, 26));
        EXPECT_EQ(rects[ConfListLayout::Separator], QRect(0, 79 + 78, 750, 1));
    }
    {
        ScaleGuard scale(1.5);
        const QRect client(0, 0, 1152, 606);
        EXPECT_EQ(ConfListLayout::RowRect(2, client), QRect(0, 236, 1152, 118));
        const auto rects = ConfListLayout::RowControlRects(ConfListLayout::RowRect(2, client));
        EXPECT_EQ(rects[ConfListLayout::NumberIcon], QRect(57, 236 + 67, 24, 24));
        EXPECT_EQ(rects[ConfListLayout::EnterButton], QRect(1014, 236 + 42, 87, 39));
        EXPECT_EQ(rects[ConfListLayout::Separator].top(), 236 + 117);
    }
}

TEST(ConfListLayout, IdsOfRowsNeverOverlapAndMapBack) {
    EXPECT_EQ(ConfListLayout::ControlId(0, ConfListLayout::Name), 1);
    EXPECT_EQ(ConfListLayout::ControlId(0, ConfListLayout::Separator), 7);
    EXPECT_EQ(ConfListLayout::ControlId(1, ConfListLayout::Name), 8);
    for (int row : {0, 1, 5, 1427, 1428, 5000}) {
        const int id = ConfListLayout::ControlId(row, ConfListLayout::EnterButton);
        EXPECT_EQ(ConfListLayout::RowIndexOfCommand(id), row);
    }
}

TEST(ConfListLayout, ScrollRangeOnlyWhenRowsOverflow) {
    EXPECT_FALSE(ConfListLayout::ScrollFor(5, 404).scrollable);  // 395 fits
    EXPECT_FALSE(ConfListLayout::ScrollFor(0, 404).scrollable);
    const ConfListScroll s = ConfListLayout::ScrollFor(6, 404);
    ASSERT_TRUE(s.scrollable);
    EXPECT_EQ(s.max, 474);
    EXPECT_EQ(s.page, 79);
    EXPECT_EQ(s.pos, 0);
}

// Rows are as tall as the scale makes them: at 1.5 six rows (708 px) do not fit 606 px, though
// their design height (474) would.
TEST(ConfListLayout, RowsThatDoNotFitAtTheScaleScroll) {
    ScaleGuard scale(1.5);
    EXPECT_FALSE(ConfListLayout::ScrollFor(5, 606).scrollable);  // 590 px fit
    const ConfListScroll s = ConfListLayout::ScrollFor(6, 606);
    ASSERT_TRUE(s.scrollable);
    EXPECT_EQ(s.max, 474);
    EXPECT_EQ(s.page, 79);
    // The last position shows the last row.
    EXPECT_GE(ConfListLayout::PixelOffset(s.max - s.page) + 606, 6 * yav::Scaled(79));
}

TEST(ConfListLayout, ScrollPositionsClampToTheLastPage) {
    ScaleGuard scale(1.0);
    ConfListScroll s = ConfListLayout::ScrollFor(10, 404);  // max 790, highest 711
    struct Case {
        int pos;
        ScrollCode code;
        int track;
        int expected;
    };
    const Case cases[] = {
        {0, ScrollCode::LineUp, 0, 0},          {0, ScrollCode::LineDown, 0, 5},
        {100, ScrollCode::PageUp, 0, 21},       {700, ScrollCode::PageDown, 0, 711},
        {10, ScrollCode::ThumbTrack, 300, 300}, {10, ScrollCode::ThumbTrack, 900, 711},
        {300, ScrollCode::Top, 0, 0},           {0, ScrollCode::Bottom, 0, 711},
        {42, ScrollCode::EndScroll, 0, 42},
    };
    for (const Case& c : cases) {
        s.pos = c.pos;
        EXPECT_EQ(ConfListLayout::ScrollPosition(s, c.code, c.track), c.expected)
            << static_cast<int>(c.code) << " from " << c.pos;
    }
    s.pos = 5;
    EXPECT_EQ(ConfListLayout::WheelPosition(s, 120), 0);
    EXPECT_EQ(ConfListLayout::WheelPosition(s, -120), 15);
    EXPECT_EQ(ConfListLayout::WheelPosition(s, 0), 5);
    s.pos = 711;
    EXPECT_EQ(ConfListLayout::WheelPosition(s, -120), 711);
}

TEST(ConfListLayout, WheelStepAndPixelsFollowTheScale) {
    ScaleGuard scale(1.5);
    ConfListScroll s = ConfListLayout::ScrollFor(10, 404);
    s.pos = 100;
    EXPECT_EQ(ConfListLayout::WheelPosition(s, -120), 115);
    EXPECT_EQ(ConfListLayout::ScrollPosition(s, ScrollCode::LineDown, 0), 107);
    EXPECT_EQ(ConfListLayout::PixelOffset(115), 172);
    EXPECT_EQ(ConfListLayout::PixelOffset(711), 1066);
}

TEST(ConfListLayout, RowTexts) {
    EXPECT_EQ(ConfListLayout::NumberText(812), QStringLiteral("00000812"));
    EXPECT_EQ(ConfListLayout::NumberText(123456789), QStringLiteral("123456789"));
    EXPECT_EQ(ConfListLayout::NumberText(4000000000u), QStringLiteral("4000000000"));
    EXPECT_EQ(ConfListLayout::CountsText(3, 20), QStringLiteral("3/20"));
}

}  // namespace
