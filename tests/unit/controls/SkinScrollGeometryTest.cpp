#include "client/ui/SkinScrollGeometry.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

SkinScrollInfo Info(int nMin, int nMax, int nPage, int nPos, int nTrackPos = -1) {
    SkinScrollInfo info;
    info.nMin = nMin;
    info.nMax = nMax;
    info.nPage = nPage;
    info.nPos = nPos;
    info.nTrackPos = nTrackPos;
    return info;
}

TEST(SkinScrollGeometry, NormalizeKeepsRangePageAndPositionConsistent) {
    struct Case {
        const char* name;
        SkinScrollInfo in;
        SkinScrollInfo out;
    };
    const Case cases[] = {
        {"already sound", Info(0, 99, 10, 5), Info(0, 99, 10, 5)},
        {"position past the last page", Info(0, 99, 10, 95), Info(0, 99, 10, 90)},
        {"position before the minimum", Info(10, 99, 10, -3), Info(10, 99, 10, 10)},
        {"page larger than the range", Info(0, 9, 50, 4), Info(0, 9, 10, 0)},
        {"negative page", Info(0, 9, -4, 9), Info(0, 9, 0, 9)},
        {"inverted range", Info(5, 2, 1, 7), Info(5, 5, 1, 5)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NormalizeScrollInfo(c.in), c.out) << c.name;
    }
}

struct LayoutCase {
    const char* name;
    int length;
    double scale;
    SkinScrollInfo info;
    int arrow, track, thumb, free, offset;
};

TEST(SkinScrollGeometry, LayoutAlongTheBar) {
    const LayoutCase cases[] = {
        {"top", 200, 1.0, Info(0, 99, 10, 0), 15, 170, 17, 153, 0},
        {"last page touches the second arrow", 200, 1.0, Info(0, 99, 10, 90), 15, 170, 17, 153,
         153},
        {"middle", 200, 1.0, Info(0, 99, 10, 45), 15, 170, 17, 153, 76},
        {"track position wins while dragging", 200, 1.0, Info(0, 99, 10, 0, 90), 15, 170, 17, 153,
         153},
        {"short thumb grows to 6", 200, 1.0, Info(0, 9999, 1, 0), 15, 170, 6, 164, 0},
        {"no page at all still gets a thumb", 200, 1.0, Info(0, 99, 0, 99), 15, 170, 6, 164, 162},
        {"one page holds everything: no thumb, middle", 200, 1.0, Info(0, 9, 10, 0), 15, 170, 0,
         170, 85},
        {"range that fits: thumb in the middle", 200, 1.0, Info(0, 99, 100, 0), 15, 170, 0, 170,
         85},
        {"track below 6 shows no thumb", 34, 1.0, Info(0, 99, 10, 50), 15, 4, 0, 4, 2},
        {"bar too short for two arrows", 20, 1.0, Info(0, 99, 10, 50), 10, 0, 0, 0, 0},
        {"zero length", 0, 1.0, Info(0, 99, 10, 50), 0, 0, 0, 0, 0},
        {"scaled arrows", 200, 1.5, Info(0, 99, 10, 0), 22, 156, 15, 141, 0},
        {"minimum other than 0: first position at the top", 200, 1.0, Info(100, 199, 10, 100), 15,
         170, 17, 153, 0},
        {"minimum other than 0: last position at the bottom", 200, 1.0, Info(100, 199, 10, 190), 15,
         170, 17, 153, 153},
        {"inverted range is one position", 200, 1.0, Info(10, 0, 0, 10), 15, 170, 6, 164, 0},
    };
    for (const LayoutCase& c : cases) {
        const SkinScrollLayout layout = ComputeSkinScrollLayout(c.length, 15, c.scale, c.info);
        EXPECT_EQ(layout.arrow, c.arrow) << c.name;
        EXPECT_EQ(layout.track, c.track) << c.name;
        EXPECT_EQ(layout.thumb, c.thumb) << c.name;
        EXPECT_EQ(layout.free, c.free) << c.name;
        EXPECT_EQ(layout.offset, c.offset) << c.name;
        // The thumb never leaves the track.
        EXPECT_GE(layout.offset, 0) << c.name;
        EXPECT_LE(layout.offset + layout.thumb, layout.track) << c.name;
    }
}

TEST(SkinScrollGeometry, HugeRangesDoNotOverflow) {
    const SkinScrollLayout layout = ComputeSkinScrollLayout(
        400, 15, 1.0, Info(INT_MIN, INT_MAX, 1 << 30, INT_MAX - (1 << 30) + 1));
    EXPECT_EQ(layout.thumb, 370 / 4);
    EXPECT_EQ(layout.offset, layout.free);
}

TEST(SkinScrollGeometry, HitTestFollowsThePartBoundaries) {
    // arrow 15, thumb [15 + 76, 15 + 76 + 17) = [91, 108), second arrow [185, 200).
    const SkinScrollLayout layout = ComputeSkinScrollLayout(200, 15, 1.0, Info(0, 99, 10, 45));
    struct Case {
        int along;
        int across;
        int part;
    };
    const Case cases[] = {
        {-1, 5, kScrollPartNone},  {0, 5, SB_LINEUP},         {14, 5, SB_LINEUP},
        {15, 5, SB_PAGEUP},        {90, 5, SB_PAGEUP},        {91, 5, SB_THUMBTRACK},
        {107, 5, SB_THUMBTRACK},   {108, 5, SB_PAGEDOWN},     {184, 5, SB_PAGEDOWN},
        {185, 5, SB_LINEDOWN},     {199, 5, SB_LINEDOWN},     {200, 5, kScrollPartNone},
        {50, -1, kScrollPartNone}, {50, 15, kScrollPartNone}, {50, 14, SB_PAGEUP},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(layout.HitTest(c.along, c.across), c.part) << "at " << c.along << "," << c.across;
    }
}

TEST(SkinScrollGeometry, HitTestWithoutTrackSplitsTheBarBetweenTheArrows) {
    const SkinScrollLayout layout = ComputeSkinScrollLayout(21, 15, 1.0, Info(0, 99, 10, 0));
    EXPECT_EQ(layout.HitTest(9, 0), SB_LINEUP);
    EXPECT_EQ(layout.HitTest(11, 0), SB_LINEDOWN);
}

TEST(SkinScrollGeometry, DragMapsPixelsToPositionsAndClamps) {
    struct Case {
        const char* name;
        SkinScrollInfo info;
        int start;
        int delta;
        int expected;
    };
    // Layout of 0..99 page 10 at length 200: free = 153 pixels for 90 positions.
    const Case cases[] = {
        {"no move", Info(0, 99, 10, 20), 20, 0, 20},
        {"forward", Info(0, 99, 10, 20), 20, 17, 30},
        {"backward truncates toward the start", Info(0, 99, 10, 20), 20, -17, 10},
        {"beyond the end clamps to the last page", Info(0, 99, 10, 20), 20, 1000, 90},
        {"beyond the start clamps to the minimum", Info(0, 99, 10, 20), 20, -1000, 0},
        {"minimum other than 0 clamps to the last page", Info(100, 199, 10, 150), 150, 1000, 190},
        {"minimum other than 0 clamps to the minimum", Info(100, 199, 10, 150), 150, -1000, 100},
    };
    for (const Case& c : cases) {
        const SkinScrollLayout layout = ComputeSkinScrollLayout(200, 15, 1.0, c.info);
        EXPECT_EQ(DragScrollPosition(c.info, layout, c.start, c.delta), c.expected) << c.name;
    }
}

TEST(SkinScrollGeometry, DragWithoutFreeTrackStaysPut) {
    const SkinScrollInfo fits = Info(0, 9, 10, 0);
    const SkinScrollLayout noTrack = ComputeSkinScrollLayout(20, 15, 1.0, Info(0, 99, 10, 5));
    EXPECT_EQ(noTrack.free, 0);
    EXPECT_EQ(DragScrollPosition(Info(0, 99, 10, 5), noTrack, 5, 40), 5);
    EXPECT_EQ(DragScrollPosition(fits, ComputeSkinScrollLayout(200, 15, 1.0, fits), 0, 40), 0);
}

TEST(SkinScrollGeometry, AutoRepeatStopsAtTheEnds) {
    struct Case {
        const char* name;
        int part;
        SkinScrollInfo info;
        bool cursorInThumb;
        bool continues;
    };
    const Case cases[] = {
        {"line up away from the top", SB_LINEUP, Info(0, 99, 10, 3), false, true},
        {"line up at the minimum", SB_LINEUP, Info(5, 99, 10, 5), false, false},
        {"line down before the maximum", SB_LINEDOWN, Info(0, 99, 10, 89), false, true},
        // The second arrow stops at nMax itself, not at the last page.
        {"line down at the last page keeps going", SB_LINEDOWN, Info(0, 99, 10, 90), false, true},
        {"line down at the maximum", SB_LINEDOWN, Info(0, 99, 1, 99), false, false},
        {"page up until the thumb reaches the cursor", SB_PAGEUP, Info(0, 99, 10, 50), false, true},
        {"page up under the thumb", SB_PAGEUP, Info(0, 99, 10, 50), true, false},
        {"page down under the thumb", SB_PAGEDOWN, Info(0, 99, 10, 50), true, false},
        {"thumb never repeats", SB_THUMBTRACK, Info(0, 99, 10, 50), false, false},
        {"nothing pressed", kScrollPartNone, Info(0, 99, 10, 50), false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ScrollRepeatContinues(c.part, c.info, c.cursorInThumb), c.continues) << c.name;
    }
}

TEST(SkinScrollGeometry, SkinCellsOfTheBitmap) {
    struct Case {
        int width, height;
        int bitmapCell, factor, cellWidth, cellHeight;
    };
    const Case cases[] = {
        {135, 45, 15, 1, 15, 15},  // design size
        {270, 90, 30, 2, 15, 15},  // double size draws the same design cells
        {27, 9, 3, 1, 3, 3},       // smaller than the design size: no division by zero
        {0, 0, 0, 1, 0, 0},
    };
    for (const Case& c : cases) {
        const SkinScrollCells cells = ComputeSkinScrollCells(c.width, c.height);
        EXPECT_EQ(cells.bitmapCell, c.bitmapCell) << c.width;
        EXPECT_EQ(cells.factor, c.factor) << c.width;
        EXPECT_EQ(cells.cellWidth, c.cellWidth) << c.width;
        EXPECT_EQ(cells.cellHeight, c.cellHeight) << c.width;
    }
}

TEST(SkinScrollGeometry, SourceColumnsOfTheParts) {
    EXPECT_EQ(SkinScrollSourceColumn(SB_LINEUP, true), 0);
    EXPECT_EQ(SkinScrollSourceColumn(SB_LINEDOWN, true), 1);
    EXPECT_EQ(SkinScrollSourceColumn(SB_THUMBTRACK, true), 2);
    EXPECT_EQ(SkinScrollSourceColumn(SB_PAGEUP, true), 3);
    EXPECT_EQ(SkinScrollSourceColumn(SB_PAGEDOWN, false), 7);
    EXPECT_EQ(SkinScrollSourceColumn(SB_LINEUP, false), 4);
    EXPECT_EQ(SkinScrollSourceColumn(kScrollPartNone, false), -1);
}

}  // namespace
