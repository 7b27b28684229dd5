#pragma once
// Measuring and placing the items of the owner-drawn menu. The look has two families: the
// flat one of themed XP and the plain one of every other system; which one applies follows
// from the system class. This program runs as the plain family (see docs/porting.md); the
// flat family stays measurable so that both sets of rules are kept in one place.

#include <QRect>
#include <QSize>
#include <QString>

#include <cstdint>

// System classes of the menu's look rules.
enum class VexSystemClass {
    Win32s = 0,
    NtModern = 1,  // NT family other than NT 4, 2000 and XP
    Win95 = 2,
    Win98 = 3,
    WinMe = 4,
    WinNT4 = 5,
    Win2000 = 6,
    WinXP = 7,
};

struct VexMenuStyle {
    bool threeD = false;    // raised and sunken icon frames, check glyph
    bool xpThemed = false;  // XP with a theme other than the classic one
    bool flat = false;      // flat measurements (themed XP only)
};

VexMenuStyle VexMenuStyleFor(VexSystemClass systemClass, bool classicTheme);

// The class this program's menus use.
inline constexpr VexSystemClass kVexSystemClass = VexSystemClass::NtModern;

struct VexMenuMeasureInput {
    bool separator = false;
    int textWidth = 0;   // item text in the measuring font
    int iconWidth = 16;  // icon cell
    int iconHeight = 15;
    int menuRowHeight = 0;  // the system's menu row height
};

QSize MeasureVexMenuItem(const VexMenuStyle& style, const VexMenuMeasureInput& input);

// Where DrawItem puts its pieces within the item rectangle `item`.
struct VexMenuItemGeometry {
    QRect highlight;     // filled when selected
    QRect iconFrame;     // frame around the icon or check mark
    QPoint image;        // top-left of the icon image
    QPoint check;        // top-left of the check glyph
    QRect text;          // text layout rectangle
    int separatorY = 0;  // y of the etched separator line
};

VexMenuItemGeometry VexMenuItemLayout(const QRect& item, int iconWidth, int iconHeight,
                                      bool hasIconOrCheck);

// What an item shows of its text: everything before the first tab.
QString VexMenuVisibleText(const QString& text);

// A colour moved `factor` of the way towards white, channel by channel.
std::uint32_t VexLightenColor(std::uint32_t colorref, double factor);
