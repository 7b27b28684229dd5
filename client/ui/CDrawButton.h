#pragma once
// The flat drop button of the skinned combo box: a plain drawing object given a state word
// and a rectangle. Colours that Windows took from the system come from the palette passed
// to Draw, so the button follows the desktop's highlight colour.

#include <QColor>
#include <QLine>
#include <QRect>

#include <cstdint>
#include <vector>

class QPainter;
class QPalette;

// Bits of the state word.
inline constexpr std::uint32_t kDrawBtnKindDownArrow = 0x0002;
inline constexpr std::uint32_t kDrawBtnDisabled = 0x0100;
inline constexpr std::uint32_t kDrawBtnNotOnBar = 0x0200;
inline constexpr std::uint32_t kDrawBtnFlat = 0x0800;
inline constexpr std::uint32_t kDrawBtnPushed = 0x1000;
inline constexpr std::uint32_t kDrawBtnHot = 0x4000;
inline constexpr std::uint32_t kDrawBtnDropped = 0x5000;

// The state word of the combo box's button.
std::uint32_t ComboButtonStateWord(bool disabled, bool onControlBar, bool hot, bool dropped);

class CDrawButton {
public:
    CDrawButton(std::uint32_t state, const QRect& rect) : state_(state), rect_(rect) {}
    virtual ~CDrawButton() = default;
    CDrawButton(const CDrawButton&) = default;
    CDrawButton& operator=(const CDrawButton&) = default;

    virtual void Draw(QPainter& painter, const QPalette& palette, double scale) const;

    // What Draw paints, worked out without painting.
    struct Look {
        QColor pen;
        QColor brush;
        QColor arrow;
        std::vector<QLine> arrowRows;
    };
    Look LookFor(const QPalette& palette, double scale) const;

    // The highlight colour with its lightness raised and saturation lowered by the given
    // percentages, through hue, lightness and saturation on 0..255 each.
    static QColor HlsTransform(const QColor& color, int raiseLightnessPercent,
                               int lowerSaturationPercent);
    // Rows of the down arrow within `rect`: n = trunc(4 x scale + 1) lines, widest on top.
    static std::vector<QLine> ArrowRows(const QRect& rect, double scale);

private:
    std::uint32_t state_;
    QRect rect_;
};
