#include "DocPageBtnRules.h"

namespace {

// Captions wider than these (in pixels) do not fit the tab and get the tooltip; the
// selected tab is narrower by its close box.
constexpr int kUnselectedFit = 144;
constexpr int kSelectedFit = 122;
constexpr int kCloseBoxWidth = 22;

int Trunc(double value) {
    return static_cast<int>(value);
}

}  // namespace

QRect DocPageCloseBox(double scale) {
    const int left = Trunc(100 * scale);
    const int top = Trunc(8 * scale);
    return QRect(left, top, Trunc(22 * scale), Trunc(18 * scale));
}

int DocPagePressAnswer(bool enabled, bool selected, double scale, QPoint point) {
    if (!enabled) {
        return 0;
    }
    return selected && DocPageCloseBox(scale).contains(point) ? kPageBtnClose : kPageBtnActivate;
}

int DocPageDoubleClickAnswer(bool enabled, bool selected) {
    return enabled && selected ? kPageBtnClose : 0;
}

bool DocPageWantsTooltip(bool hovering, bool selected, int captionWidth) {
    return hovering && captionWidth > (selected ? kSelectedFit : kUnselectedFit);
}

int DocPageCaptionWidth(int layoutWidth, bool selected) {
    return selected ? layoutWidth - kCloseBoxWidth : layoutWidth;
}

DocPageLook DocPageLookFor(bool selected, bool enabled, bool hovering,
                           const DocPageImages& images) {
    DocPageLook look;
    if (!selected) {
        if (!enabled) {
            look.image = images.disabled ? DocPageImage::Disabled : DocPageImage::Normal;
            look.caption = DocPageCaptionColor::Disabled;
        } else if (hovering) {
            look.image = images.hover ? DocPageImage::Hover : DocPageImage::Normal;
            look.caption = DocPageCaptionColor::Hover;
        }
        return look;
    }
    look.caption = DocPageCaptionColor::PressedOrChecked;
    if (!enabled && images.checkedHover) {
        look.image = DocPageImage::CheckedHover;
    } else if (images.checkedPressed) {
        look.image = DocPageImage::CheckedPressed;
    } else if (images.pressed) {
        look.image = DocPageImage::Pressed;
    }
    return look;
}
