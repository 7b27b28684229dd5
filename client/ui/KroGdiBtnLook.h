#pragma once
// Choices of the GDI+ buttons that do not need a window: the body colour for a state, the
// caption's font and brush, where the image of the image button goes, and where the tab
// button puts its selection bar and its attention dot.

#include <QRect>
#include <QSize>

#include <cstdint>
#include <optional>

// The three body fills of a text button, each switched on or off by its owner.
struct KroGdiBtnFills {
    bool normalOn = false;
    std::uint32_t normal = 0;  // COLORREF
    bool focusOn = true;
    std::uint32_t focus = 0;
    bool hoverOn = false;
    std::uint32_t hover = 0;
};

// Body colour for a state (first matching rule), or none when no body is drawn.
std::optional<std::uint32_t> KroGdiBtnBodyColor(const KroGdiBtnFills& fills, bool focused,
                                                bool hovering);

enum class KroGdiBtnBrush { Normal, Focused, Disabled };

struct KroGdiBtnTextChoice {
    bool ownFont = false;  // the button's own font (underlined captions) instead of the UI font
    KroGdiBtnBrush brush = KroGdiBtnBrush::Normal;
};

struct KroGdiBtnTextState {
    bool underline = false;
    bool enabled = true;
    bool focused = false;
    bool hasDisabledBrush = false;
    bool hasFocusedBrush = false;
    bool hasSecondFont = false;
};

KroGdiBtnTextChoice KroGdiBtnTextFor(const KroGdiBtnTextState& state);

// The image of the image button: its pixel size times the display scale (halved for the
// double-resolution skin images), centred; an image larger than the button fills it.
QRect KroGdiBtnImageRect(QSize client, QSize image, double scale, bool halfSize);

// The selected tab's bar: 24 pixels wide, centred, along the bottom.
QRect TabButtonBarRect(QSize client, double scale);

// The attention dot: 5 by 5, just right of a centred caption `textWidth` pixels wide.
QRect TabButtonMarkRect(QSize client, int textWidth, double scale);
