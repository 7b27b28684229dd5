#pragma once
// Arithmetic of the skinned scroll bar: where the arrows, page areas and thumb lie along the
// bar, which part a point hits, where a thumb drag puts the position and when an auto-repeat
// stops. No window is involved, so every rule can be checked on its own.

#include <cstdint>

// Scroll codes: the parts of a bar are numbered with the code they send.
inline constexpr int SB_LINEUP = 0;
inline constexpr int SB_LINEDOWN = 1;
inline constexpr int SB_PAGEUP = 2;
inline constexpr int SB_PAGEDOWN = 3;
inline constexpr int SB_THUMBPOSITION = 4;
inline constexpr int SB_THUMBTRACK = 5;
inline constexpr int SB_ENDSCROLL = 8;

// Part number of "no part" (outside the bar, or nothing pressed).
inline constexpr int kScrollPartNone = -1;

// Range, page, position and track position of a bar (track position -1 when not dragging).
struct SkinScrollInfo {
    int nMin = 0;
    int nMax = 0;
    int nPage = 0;
    int nPos = 0;
    int nTrackPos = -1;

    // Highest position the thumb can reach: the last page starts there.
    int MaxScrollPos() const;
    // Number of positions beyond the first (nMax - nMin - nPage + 1); 0 when one page holds
    // the whole range.
    std::int64_t ScrollSpan() const;
    bool operator==(const SkinScrollInfo&) const = default;
};

// Brings a range, page and position into the shape a scroll bar keeps them in: an inverted
// range collapses to its minimum, the page is at most the range, the position stays inside
// [nMin, MaxScrollPos()]. Every later division relies on this.
SkinScrollInfo NormalizeScrollInfo(SkinScrollInfo info);

// A half-open stretch [begin, end) along the bar.
struct ScrollSpanPx {
    int begin = 0;
    int end = 0;
    bool Contains(int coordinate) const { return coordinate >= begin && coordinate < end; }
    int Size() const { return end - begin; }
};

// The layout of one bar along its length, in pixels.
struct SkinScrollLayout {
    int length = 0;     // client height (vertical) or width (horizontal)
    int thickness = 0;  // extent across the bar of every part
    int arrow = 0;      // length of each arrow
    int track = 0;      // length between the arrows
    int thumb = 0;      // thumb length (0: no thumb)
    int free = 0;       // track the thumb can travel
    int offset = 0;     // thumb start within the track

    // The stretch of a part given by its scroll code (SB_LINEUP, SB_LINEDOWN, SB_PAGEUP,
    // SB_PAGEDOWN, SB_THUMBTRACK); empty for any other code.
    ScrollSpanPx Part(int code) const;
    // The part under a point given along and across the bar; kScrollPartNone outside it.
    int HitTest(int along, int across) const;
};

// Layout for a bar of `length` pixels whose skin cell is `cellWidth` design pixels, at display
// scale `scale`. The thumb follows the track position while one is set.
SkinScrollLayout ComputeSkinScrollLayout(int length, int cellWidth, double scale,
                                         const SkinScrollInfo& info);

// Position after the mouse moved `delta` pixels along the bar since a drag began at
// `dragStartPos`; clamped to [nMin, MaxScrollPos()].
int DragScrollPosition(const SkinScrollInfo& info, const SkinScrollLayout& layout, int dragStartPos,
                       int delta);

// One tick of the auto-repeat of a held part: true to send the part's code again, false when
// the repeat has reached its end (the repeat timer stops). `cursorInThumb` says whether the
// cursor lies inside the thumb (a page area repeats until the thumb reaches the cursor).
bool ScrollRepeatContinues(int pressedPart, const SkinScrollInfo& info, bool cursorInThumb);

// Cell geometry of the skin bitmap: 9 columns by 3 rows of square cells, possibly drawn at a
// multiple of the 15-pixel design size.
struct SkinScrollCells {
    int bitmapCell = 0;  // cell side in bitmap pixels (width / 9)
    int factor = 1;      // bitmap pixels per design pixel
    int cellWidth = 0;   // design cell side
    int cellHeight = 0;  // design cell height (height / 3 / factor)
};
SkinScrollCells ComputeSkinScrollCells(int bitmapWidth, int bitmapHeight);

// Source column of a part in the skin bitmap (0..3 vertical, 4..7 horizontal); -1 for none.
int SkinScrollSourceColumn(int part, bool vertical);
