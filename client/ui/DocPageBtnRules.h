#pragma once
// The document page button's close box, click answers, long-caption tooltip and its choice
// of image and caption colour, worked out without a window.

#include <QRect>

// wParam values of the page message.
inline constexpr int kPageBtnActivate = 1;
inline constexpr int kPageBtnClose = 2;

// The close box of a tab, in client coordinates.
QRect DocPageCloseBox(double scale);

// Answer to a left press at `point`: 0 when the button ignores it (disabled).
int DocPagePressAnswer(bool enabled, bool selected, double scale, QPoint point);

// Answer to a double click: close on the selected, enabled tab; 0 otherwise.
int DocPageDoubleClickAnswer(bool enabled, bool selected);

// Whether the hovering tab shows its full caption as a tooltip.
bool DocPageWantsTooltip(bool hovering, bool selected, int captionWidth);

// Layout width left to the caption: the selected tab keeps its close box free.
int DocPageCaptionWidth(int layoutWidth, bool selected);

enum class DocPageImage { Normal, Pressed, Hover, Disabled, CheckedPressed, CheckedHover };
enum class DocPageCaptionColor { Normal, Hover, PressedOrChecked, Disabled };

struct DocPageImages {
    bool pressed = false;  // which optional images the button has
    bool hover = false;
    bool disabled = false;
    bool checkedPressed = false;
    bool checkedHover = false;
};

struct DocPageLook {
    DocPageImage image = DocPageImage::Normal;
    DocPageCaptionColor caption = DocPageCaptionColor::Normal;
};

DocPageLook DocPageLookFor(bool selected, bool enabled, bool hovering, const DocPageImages& images);
