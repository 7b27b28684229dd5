#include "client/ui/VexMenuMetrics.h"

#include <gtest/gtest.h>

namespace {

TEST(VexMenuMetrics, SystemClassDecidesTheLookFamily) {
    struct Case {
        VexSystemClass systemClass;
        bool classic;
        bool threeD, xpThemed, flat;
    };
    const Case cases[] = {
        {VexSystemClass::Win32s, false, false, false, false},
        {VexSystemClass::NtModern, false, false, false, false},  // Vista and later
        {VexSystemClass::Win95, false, true, false, false},
        {VexSystemClass::Win2000, false, true, false, false},
        {VexSystemClass::WinXP, false, true, true, true},
        {VexSystemClass::WinXP, true, true, false, false},  // XP with the classic theme
    };
    for (const Case& c : cases) {
        const VexMenuStyle style = VexMenuStyleFor(c.systemClass, c.classic);
        const int id = static_cast<int>(c.systemClass);
        EXPECT_EQ(style.threeD, c.threeD) << id;
        EXPECT_EQ(style.xpThemed, c.xpThemed) << id;
        EXPECT_EQ(style.flat, c.flat) << id;
    }
    EXPECT_FALSE(VexMenuStyleFor(kVexSystemClass, false).flat);
}

TEST(VexMenuMetrics, MeasureItemsAndSeparators) {
    const VexMenuStyle flat = VexMenuStyleFor(VexSystemClass::WinXP, false);
    const VexMenuStyle plain = VexMenuStyleFor(VexSystemClass::NtModern, false);
    struct Case {
        const char* name;
        VexMenuStyle style;
        VexMenuMeasureInput input;
        QSize expected;
    };
    const Case cases[] = {
        {"flat separator is 3 high", flat, {true, 0, 16, 15, 20}, {0, 3}},
        {"plain separator is half a row", plain, {true, 0, 16, 15, 20}, {0, 10}},
        {"plain separator follows a tall icon", plain, {true, 0, 16, 30, 20}, {0, 17}},
        {"flat item", flat, {false, 50, 16, 15, 20}, {16 + 7 + 50 + 8, 22}},
        {"plain item", plain, {false, 50, 16, 15, 20}, {50 + 32 + 1, 20}},
        {"row taller than the icon", plain, {false, 50, 16, 15, 24}, {83, 24}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MeasureVexMenuItem(c.style, c.input), c.expected) << c.name;
    }
}

TEST(VexMenuMetrics, ItemGeometryLeavesTheIconColumn) {
    const QRect item(0, 40, 120, 20);
    const VexMenuItemGeometry withIcon = VexMenuItemLayout(item, 16, 15, true);
    EXPECT_EQ(withIcon.highlight, QRect(QPoint(21, 40), QPoint(119, 59)));
    // dy = ((20 - 4) - 15) / 2 = 0; frame from (1, 41) to (19, 58) exclusive.
    EXPECT_EQ(withIcon.iconFrame, QRect(QPoint(1, 41), QPoint(18, 57)));
    EXPECT_EQ(withIcon.image, QPoint(2, 42));
    EXPECT_EQ(withIcon.text.left(), 25);
    EXPECT_EQ(withIcon.text.top(), 39);
    EXPECT_EQ(withIcon.separatorY, 50);
    EXPECT_EQ(VexMenuItemLayout(item, 16, 15, false).highlight.left(), 0);
    EXPECT_EQ(VexMenuItemLayout(QRect(0, 0, 100, 30), 16, 15, true).image, QPoint(2, 7));
}

TEST(VexMenuMetrics, TextBeforeTheFirstTabIsShown) {
    EXPECT_EQ(VexMenuVisibleText(QStringLiteral("Delete\tDel")), QStringLiteral("Delete"));
    EXPECT_EQ(VexMenuVisibleText(QStringLiteral("Plain")), QStringLiteral("Plain"));
    EXPECT_EQ(VexMenuVisibleText(QStringLiteral("\tHidden")), QString());
}

TEST(VexMenuMetrics, LightenMovesEachChannelTowardsWhite) {
    EXPECT_EQ(VexLightenColor(0x000000, 0.6), 0x999999u);
    EXPECT_EQ(VexLightenColor(0xFFFFFF, 0.6), 0xFFFFFFu);
    EXPECT_EQ(VexLightenColor(0x0000F0, 0.6), 0x9999F9u);  // red 240 -> 249
}

}  // namespace
