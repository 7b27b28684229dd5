#include "VexMenuMetrics.h"

#include <algorithm>

VexMenuStyle VexMenuStyleFor(VexSystemClass systemClass, bool classicTheme) {
    VexMenuStyle style;
    style.threeD = static_cast<int>(systemClass) >= static_cast<int>(VexSystemClass::Win95);
    style.xpThemed = systemClass == VexSystemClass::WinXP && !classicTheme;
    style.flat = style.xpThemed;
    return style;
}

QSize MeasureVexMenuItem(const VexMenuStyle& style, const VexMenuMeasureInput& input) {
    const int margin = style.flat ? 7 : 4;
    if (input.separator) {
        const int height =
            style.flat ? 3 : std::max(input.menuRowHeight / 2, (input.iconHeight + margin) / 2);
        return {0, height};
    }
    const int width = style.flat ? input.iconWidth + margin + input.textWidth + 8
                                 : input.textWidth + 2 * input.iconWidth + 1;
    return {width, std::max(input.menuRowHeight, input.iconHeight + margin)};
}

VexMenuItemGeometry VexMenuItemLayout(const QRect& item, int iconWidth, int iconHeight,
                                      bool hasIconOrCheck) {
    VexMenuItemGeometry geometry;
    const int left = item.left();
    const int top = item.top();
    const int right = item.left() + item.width();  // exclusive, as the item rectangle is given
    const int bottom = item.top() + item.height();
    const int highlightLeft = hasIconOrCheck ? left + iconWidth + 5 : left;
    geometry.highlight = QRect(QPoint(highlightLeft, top), QPoint(right - 1, bottom - 1));
    const int dy = std::max(((item.height() - 4) - iconHeight) / 2, 0);
    geometry.iconFrame = QRect(QPoint(left + 1, top + 1 + dy),
                               QPoint(left + 3 + iconWidth - 1, top + 3 + iconHeight + dy - 1));
    geometry.image = QPoint(left + 2, top + 2 + dy);
    geometry.check = QPoint(left + 5, top + 4);
    geometry.text = QRect(QPoint(left + iconWidth + 9, top - 1), QPoint(right - 1, bottom - 2));
    geometry.separatorY = top + item.height() / 2;
    return geometry;
}

QString VexMenuVisibleText(const QString& text) {
    const qsizetype tab = text.indexOf(QLatin1Char('\t'));
    return tab < 0 ? text : text.left(tab);
}

std::uint32_t VexLightenColor(std::uint32_t colorref, double factor) {
    std::uint32_t result = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int channel = static_cast<int>((colorref >> shift) & 0xFF);
        const int lighter = channel + static_cast<int>((255 - channel) * factor);
        result |= static_cast<std::uint32_t>(std::clamp(lighter, 0, 255)) << shift;
    }
    return result;
}
