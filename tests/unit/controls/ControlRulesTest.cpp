// Small state tables of the skinned controls: GDI+ button bodies and captions, read-only key
// filters, icon-list click codes, the page button, the list header and the volume meter.
#include "client/ui/DocPageBtnRules.h"
#include "client/ui/EditKeyFilter.h"
#include "client/ui/IconListClickRules.h"
#include "client/ui/KroGdiBtnLook.h"
#include "client/ui/ListHeaderLook.h"
#include "client/ui/VolumeMeterLayout.h"

#include <gtest/gtest.h>

namespace {

constexpr std::uint32_t kNormal = 0x111111;
constexpr std::uint32_t kFocus = 0x222222;
constexpr std::uint32_t kHover = 0x333333;

TEST(KroGdiBtnLook, BodyColourTableFirstMatchWins) {
    struct Case {
        const char* name;
        bool normalOn, focusOn, hoverOn;
        bool focused, hovering;
        std::optional<std::uint32_t> expected;
    };
    const Case cases[] = {
        {"every fill off draws no body", false, false, false, false, true, std::nullopt},
        {"idle with defaults (focus fill only)", false, true, false, false, false, std::nullopt},
        {"hover uses the focus fill when hover fill is off", false, true, false, false, true,
         kFocus},
        {"hover fill wins over focus fill", false, true, true, false, true, kHover},
        {"idle normal fill", true, true, true, false, false, kNormal},
        {"focused: focus fill wins over hover", true, true, true, true, true, kFocus},
        {"focused without focus fill: hover", true, false, true, true, true, kHover},
        {"focused without focus fill, not hovering: normal", true, false, true, true, false,
         kNormal},
        {"focused, nothing on", false, false, false, true, true, std::nullopt},
    };
    for (const Case& c : cases) {
        KroGdiBtnFills fills;
        fills.normalOn = c.normalOn;
        fills.normal = kNormal;
        fills.focusOn = c.focusOn;
        fills.focus = kFocus;
        fills.hoverOn = c.hoverOn;
        fills.hover = kHover;
        EXPECT_EQ(KroGdiBtnBodyColor(fills, c.focused, c.hovering), c.expected) << c.name;
    }
}

TEST(KroGdiBtnLook, CaptionFontAndBrush) {
    using B = KroGdiBtnBrush;
    struct Case {
        const char* name;
        KroGdiBtnTextState state;
        bool ownFont;
        B brush;
    };
    const Case cases[] = {
        {"underlined uses the own font and normal brush",
         {true, false, true, true, true, true},
         true,
         B::Normal},
        {"disabled with a disabled brush",
         {false, false, false, true, false, false},
         false,
         B::Disabled},
        {"disabled without one keeps the normal colour",
         {false, false, false, false, true, true},
         false,
         B::Normal},
        {"focused needs both second font and focused brush",
         {false, true, true, false, true, true},
         false,
         B::Focused},
        {"focused without second font", {false, true, true, false, true, false}, false, B::Normal},
    };
    for (const Case& c : cases) {
        const KroGdiBtnTextChoice choice = KroGdiBtnTextFor(c.state);
        EXPECT_EQ(choice.ownFont, c.ownFont) << c.name;
        EXPECT_EQ(choice.brush, c.brush) << c.name;
    }
}

TEST(KroGdiBtnLook, ImagePlacement) {
    // Double-resolution 40x40 image at scale 1 is 20x20, centred in 60x30.
    EXPECT_EQ(KroGdiBtnImageRect({60, 30}, {40, 40}, 1.0, true), QRect(20, 5, 20, 20));
    EXPECT_EQ(KroGdiBtnImageRect({60, 30}, {40, 40}, 1.5, true), QRect(15, 0, 30, 30));
    EXPECT_EQ(KroGdiBtnImageRect({60, 30}, {20, 20}, 1.0, false), QRect(20, 5, 20, 20));
    // Larger than the button: stretched over the client area.
    EXPECT_EQ(KroGdiBtnImageRect({60, 30}, {80, 80}, 1.0, true), QRect(0, 0, 60, 30));
}

TEST(KroGdiBtnLook, TabBarAndMark) {
    EXPECT_EQ(TabButtonBarRect({100, 30}, 1.0), QRect(38, 28, 24, 2));
    EXPECT_EQ(TabButtonBarRect({100, 30}, 1.5), QRect(38, 27, 24, 3));
    EXPECT_EQ(TabButtonMarkRect({100, 30}, 40, 1.0), QRect(72, 12, 5, 5));
    EXPECT_EQ(TabButtonMarkRect({100, 30}, 41, 1.5), QRect(73, 12, 5, 5));
}

TEST(EditKeyFilter, ReadOnlyEditPassesOnlyCopyingAndTab) {
    EXPECT_TRUE(ReadOnlyEditPassesKey('C', Qt::ControlModifier));
    EXPECT_TRUE(ReadOnlyEditPassesKey('C', Qt::ControlModifier | Qt::ShiftModifier));
    EXPECT_TRUE(ReadOnlyEditPassesKey(99, Qt::ControlModifier));
    EXPECT_TRUE(ReadOnlyEditPassesKey(VK_TAB, Qt::NoModifier));  // focus moves on
    for (const WPARAM key : {WPARAM{'A'}, WPARAM{'C'}, VK_DELETE, VK_BACK, WPARAM{'V'}, WPARAM{'X'},
                             VK_RETURN, VK_LEFT, VK_SPACE}) {
        EXPECT_FALSE(ReadOnlyEditPassesKey(key, Qt::NoModifier)) << key;
    }
    EXPECT_FALSE(ReadOnlyEditPassesKey('V', Qt::ControlModifier));
    EXPECT_FALSE(ReadOnlyEditPassesKey('X', Qt::ControlModifier));
    EXPECT_FALSE(ReadOnlyEditPassesKey(VK_INSERT, Qt::ShiftModifier));
}

TEST(EditKeyFilter, ReadOnlyComboPassesListKeys) {
    for (const WPARAM key : {VK_UP, VK_DOWN, VK_RETURN, VK_ESCAPE, VK_TAB}) {
        EXPECT_TRUE(ReadOnlyComboPassesKey(key)) << key;
    }
    for (const WPARAM key : {WPARAM{'A'}, VK_DELETE, VK_HOME, VK_NEXT, VK_SPACE}) {
        EXPECT_FALSE(ReadOnlyComboPassesKey(key)) << key;
    }
}

TEST(IconListClickRules, PressCodes) {
    struct Case {
        const char* name;
        int row;
        bool titleRow;
        bool passes;
        std::optional<int> rowChosen;
    };
    const Case cases[] = {
        {"title row swallows the press", 0, true, false, std::nullopt},
        {"row 0 without title selects silently", 0, false, true, std::nullopt},
        {"row 1 reports its index", 1, true, true, 1},
        {"row 5 without title", 5, false, true, 5},
        {"below the last row reports nothing", -1, true, true, std::nullopt},
    };
    for (const Case& c : cases) {
        const IconListPressOutcome outcome = IconListPressRules(c.row, c.titleRow);
        EXPECT_EQ(outcome.passToList, c.passes) << c.name;
        ASSERT_EQ(outcome.afterPress.has_value(), c.rowChosen.has_value()) << c.name;
        if (c.rowChosen) {
            EXPECT_EQ(outcome.afterPress->code, kIconListRowChosen) << c.name;
            EXPECT_EQ(outcome.afterPress->index, *c.rowChosen) << c.name;
        }
    }
}

TEST(IconListClickRules, DoubleClickCodes) {
    EXPECT_FALSE(IconListDoubleClickRules(0).has_value());
    for (const int selection : {3, -1}) {
        const auto click = IconListDoubleClickRules(selection);
        ASSERT_TRUE(click.has_value());
        EXPECT_EQ(click->code, kIconListDoubleClick);
        EXPECT_EQ(click->index, selection);
    }
}

TEST(DocPageBtnRules, CloseBoxAndClicks) {
    EXPECT_EQ(DocPageCloseBox(1.0), QRect(100, 8, 22, 18));
    EXPECT_EQ(DocPageCloseBox(1.5), QRect(150, 12, 33, 27));
    struct Case {
        const char* name;
        bool enabled, selected;
        QPoint point;
        int answer;
    };
    const Case cases[] = {
        {"unselected close box activates", true, false, {110, 15}, kPageBtnActivate},
        {"selected close box closes", true, true, {110, 15}, kPageBtnClose},
        {"selected elsewhere re-activates", true, true, {20, 15}, kPageBtnActivate},
        {"close box right edge is outside", true, true, {122, 15}, kPageBtnActivate},
        {"close box bottom edge is outside", true, true, {110, 26}, kPageBtnActivate},
        {"close box last pixel is inside", true, true, {121, 25}, kPageBtnClose},
        {"disabled ignores presses", false, true, {110, 15}, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DocPagePressAnswer(c.enabled, c.selected, 1.0, c.point), c.answer) << c.name;
    }
    EXPECT_EQ(DocPageDoubleClickAnswer(true, true), kPageBtnClose);
    EXPECT_EQ(DocPageDoubleClickAnswer(true, false), 0);
    EXPECT_EQ(DocPageDoubleClickAnswer(false, true), 0);
}

TEST(DocPageBtnRules, TooltipThresholdsAndCaptionWidth) {
    EXPECT_FALSE(DocPageWantsTooltip(true, false, 144));
    EXPECT_TRUE(DocPageWantsTooltip(true, false, 145));
    EXPECT_FALSE(DocPageWantsTooltip(true, true, 122));
    EXPECT_TRUE(DocPageWantsTooltip(true, true, 123));
    EXPECT_FALSE(DocPageWantsTooltip(false, true, 500));
    EXPECT_EQ(DocPageCaptionWidth(150, true), 128);
    EXPECT_EQ(DocPageCaptionWidth(150, false), 150);
}

TEST(DocPageBtnRules, ImageAndCaptionByState) {
    using I = DocPageImage;
    using C = DocPageCaptionColor;
    const DocPageImages all{true, true, true, true, true};
    const DocPageImages none{};
    const DocPageImages pressedOnly{true, false, false, false, false};
    struct Case {
        const char* name;
        bool selected, enabled, hovering;
        DocPageImages images;
        I image;
        C caption;
    };
    const Case cases[] = {
        {"unselected disabled", false, false, true, all, I::Disabled, C::Disabled},
        {"unselected disabled without image", false, false, false, none, I::Normal, C::Disabled},
        {"unselected hovering", false, true, true, all, I::Hover, C::Hover},
        {"unselected hovering without image", false, true, true, none, I::Normal, C::Hover},
        {"unselected idle", false, true, false, all, I::Normal, C::Normal},
        {"selected disabled with checked-hover", true, false, false, all, I::CheckedHover,
         C::PressedOrChecked},
        {"selected", true, true, true, all, I::CheckedPressed, C::PressedOrChecked},
        {"selected falls back to pressed", true, true, false, pressedOnly, I::Pressed,
         C::PressedOrChecked},
        {"selected falls back to normal", true, false, false, none, I::Normal, C::PressedOrChecked},
    };
    for (const Case& c : cases) {
        const DocPageLook look = DocPageLookFor(c.selected, c.enabled, c.hovering, c.images);
        EXPECT_EQ(look.image, c.image) << c.name;
        EXPECT_EQ(look.caption, c.caption) << c.name;
    }
}

TEST(ListHeaderLook, AlignmentCodes) {
    EXPECT_EQ(ListAlignmentCodeForFormat(LVCFMT_LEFT), '0');
    EXPECT_EQ(ListAlignmentCodeForFormat(LVCFMT_CENTER), '1');
    EXPECT_EQ(ListAlignmentCodeForFormat(LVCFMT_RIGHT), '2');
    EXPECT_EQ(ListAlignmentCodeForFormat(0x800), '1');
    EXPECT_EQ(ListAlignmentForCode('0'), Qt::AlignLeft);
    EXPECT_EQ(ListAlignmentForCode('2'), Qt::AlignRight);
    EXPECT_EQ(ListAlignmentForCode('x'), Qt::AlignHCenter);
}

TEST(ListHeaderLook, GradientRowsDarkenToBlack) {
    EXPECT_EQ(HeaderGradientRowColor(171, 199, 235, 8, 0), QColor(171, 199, 235));
    EXPECT_EQ(HeaderGradientRowColor(171, 199, 235, 8, 1), QColor(163, 191, 227));
    EXPECT_EQ(HeaderGradientRowColor(171, 199, 235, 8, 22), QColor(0, 23, 59));
    EXPECT_EQ(HeaderGradientRowColor(171, 199, 235, 8, 40), QColor(0, 0, 0));
    EXPECT_EQ(HeaderGradientRowColor(10, 10, 10, 0, 1000), QColor(10, 10, 10));
    EXPECT_EQ(HeaderScaledHeight(24, 1.0f), 24);
    EXPECT_EQ(HeaderScaledHeight(24, 1.3f), 31);
}

TEST(VolumeMeterLayout, LevelAndBars) {
    EXPECT_EQ(ClampVolumeLevel(20, kVolumeDefaultBars), 15);
    EXPECT_EQ(ClampVolumeLevel(-3, kVolumeDefaultBars), 0);
    EXPECT_EQ(ClampVolumeLevel(7, kVolumeDefaultBars), 7);
    EXPECT_EQ(VolumeBarRect(0, 12, 1.0), QRect(0, 0, 4, 12));
    EXPECT_EQ(VolumeBarRect(14, 12, 1.0), QRect(98, 0, 4, 12));  // 15 bars need 102 pixels
    EXPECT_EQ(VolumeBarRect(3, 12, 1.5), QRect(31, 0, 6, 12));
}

}  // namespace
