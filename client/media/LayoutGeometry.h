#pragma once
// Where the room's video-bearing windows stand: plain arithmetic over the room's areas, the
// display and layout modes and the number of windows in use. No window is touched here.
//
// Rectangles are edges (left, top, right, bottom) in room client coordinates, right and bottom
// exclusive. Every division is an integer division toward zero, as the arrangements are
// defined: the remainders at the right and bottom of a grid stay empty unless a cell is said
// to reach the edge.

#include <array>
#include <cstdint>

namespace yav::layout {

inline constexpr int kSlotCount = 37;
inline constexpr int kRectCount = 40;
// The three windows after the video slots.
inline constexpr int kDocRect = 37;
inline constexpr int kMediaPlayRect = 38;
inline constexpr int kScreenPlayRect = 39;

struct Edges {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool operator==(const Edges&) const = default;
};

// What the geometry reads.
struct LayoutInput {
    std::uint8_t mainDisplayMode = 0;  // 0 layout modes, 1 single content, 2 content + column
    std::uint8_t layoutMode = 8;       // 1..9; anything else is 8
    std::uint8_t mainContent = 2;      // 8 media play, 16 screen play, else the document
    std::uint8_t sideContent = 0;      // 2 the document takes the side area, else media play
    Edges sideArea;                    // area 0
    Edges videoArea;                   // area 1
    int usedWindows = 0;               // windows that show a user or are receiving
    bool sixOrSevenWinMode = false;    // [appinfo] "bSixOrSevenWinMode"
};

struct LayoutResult {
    std::array<Edges, kRectCount> rects{};
    // Windows per page of the computed mode.
    int capacity = 0;
    // Cells of the computed arrangement.
    int cells = 0;
    // The automatic arrangement picked (1..33), 0 when the mode is not automatic.
    int autoArrangement = 0;
    // Layout mode 2 with one window in use was computed as mode 1 (the main user is then
    // cleared by the caller; the stored mode stays 2).
    bool pipAsSingle = false;
};

// The layout mode as the geometry treats it: 1..9, anything else 8.
std::uint8_t EffectiveLayoutMode(std::uint8_t layoutMode);
// Windows per page of a layout mode (1, 2, 4, 9, 16, 8, 13, 17, 33).
int LayoutCapacity(std::uint8_t layoutMode);
// The automatic arrangement for `used` windows in modes 6..9 (other modes: 0).
int AutoArrangement(std::uint8_t layoutMode, int used, bool sixOrSevenWinMode);
// The arrangement the repaint check wants for `used` windows, whatever the automatic mode.
int WantedAutoArrangement(int used);
// The cells of one automatic arrangement laid over the area (slots 0..n-1; others empty).
void ArrangeAuto(int arrangement, const Edges& area, std::array<Edges, kRectCount>& rects);
// The whole computation: all 40 rectangles start empty.
LayoutResult ComputeLayout(const LayoutInput& input);

}  // namespace yav::layout
