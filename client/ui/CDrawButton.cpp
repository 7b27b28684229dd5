#include "CDrawButton.h"

#include <QPainter>
#include <QPalette>

#include <algorithm>

namespace {

const QColor kButtonGrey(0xD7, 0xD7, 0xD7);
const QColor kPushedArrow(0xF0, 0xF0, 0xF0);

}  // namespace

std::uint32_t ComboButtonStateWord(bool disabled, bool onControlBar, bool hot, bool dropped) {
    std::uint32_t state = kDrawBtnFlat | kDrawBtnKindDownArrow;
    if (disabled) {
        state |= kDrawBtnDisabled;
    }
    if (!onControlBar) {
        state |= kDrawBtnNotOnBar;
    }
    if (hot) {
        state |= kDrawBtnHot;
    }
    if (dropped) {
        state |= kDrawBtnDropped;
    }
    return state;
}

QColor CDrawButton::HlsTransform(const QColor& color, int raiseLightnessPercent,
                                 int lowerSaturationPercent) {
    int hue = 0;
    int saturation = 0;
    int lightness = 0;
    color.getHsl(&hue, &saturation, &lightness);
    // Hue travels on 0..255 like the other two channels.
    const int hue255 = hue < 0 ? 0 : hue * 255 / 360;
    lightness += (255 - lightness) * raiseLightnessPercent / 100;
    saturation = saturation * (100 - lowerSaturationPercent) / 100;
    return QColor::fromHsl(hue255 * 360 / 255 % 360, std::clamp(saturation, 0, 255),
                           std::clamp(lightness, 0, 255));
}

std::vector<QLine> CDrawButton::ArrowRows(const QRect& rect, double scale) {
    const int rows = static_cast<int>(4 * scale + 1);
    const int right = rect.left() + rect.width();
    const int bottom = rect.top() + rect.height();
    const int apexX = (rect.left() + right) / 2;
    const int apexY = (rect.top() + bottom) / 2 + 2;
    std::vector<QLine> lines;
    lines.reserve(static_cast<std::size_t>(std::max(rows, 0)));
    for (int i = 0; i < rows; ++i) {
        lines.emplace_back(apexX - i, apexY - i, apexX + i, apexY - i);
    }
    return lines;
}

CDrawButton::Look CDrawButton::LookFor(const QPalette& palette, double scale) const {
    const QColor highlight = palette.color(QPalette::Active, QPalette::Highlight);
    const QColor light1 = HlsTransform(highlight, 50, 50);
    const QColor light2 = HlsTransform(highlight, 70, 57);
    const bool enabled = (state_ & kDrawBtnDisabled) == 0;
    const bool hot = (state_ & kDrawBtnHot) != 0;
    const bool pushed = (state_ & 0x3000) != 0;

    Look look;
    if (enabled && hot) {
        look.pen = highlight;
        look.brush = pushed ? light1 : light2;
    } else {
        look.pen = (state_ & kDrawBtnNotOnBar) != 0
                       ? palette.color(QPalette::Active, QPalette::Mid)
                       : palette.color(QPalette::Active, QPalette::Base);
        look.brush = kButtonGrey;
    }
    // The arrow turns black on the light hover body, where the button text colour might not
    // stand out.
    look.arrow = enabled && look.brush == light2
                     ? QColor(Qt::black)
                     : palette.color(QPalette::Active, QPalette::ButtonText);
    if (pushed) {
        look.arrow = kPushedArrow;
    }
    if (!enabled) {
        look.arrow = palette.color(QPalette::Disabled, QPalette::Text);
    }
    look.arrowRows = ArrowRows(rect_, scale);
    return look;
}

void CDrawButton::Draw(QPainter& painter, const QPalette& palette, double scale) const {
    const Look look = LookFor(palette, scale);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(rect_, look.brush);
    painter.setPen(look.pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect_.adjusted(0, 0, -1, -1));
    painter.setPen(look.arrow);
    for (const QLine& row : look.arrowRows) {
        painter.drawLine(row);
    }
    painter.restore();
}
