#include "client/ui/BitSliderTrack.h"

#include <gtest/gtest.h>

namespace {

using Result = BitSliderTrack::DragResult;

BitSliderTrack Horizontal() {
    BitSliderTrack track;
    track.SetClientSize(QSize(100, 20));
    track.SetThumbSize(QSize(10, 10));
    return track;
}

BitSliderTrack Vertical() {
    BitSliderTrack track;
    track.SetVertical(true);
    track.SetCentreAcross(true);
    track.SetClientSize(QSize(20, 100));
    track.SetThumbSize(QSize(10, 10));
    return track;
}

TEST(BitSliderTrack, ThumbStartsAtTheStartCentredAcross) {
    EXPECT_EQ(Horizontal().ThumbRect(), QRect(0, 5, 10, 10));
    EXPECT_EQ(Vertical().ThumbRect(), QRect(5, 0, 10, 10));
}

TEST(BitSliderTrack, DragInsideCentresTheThumbOnThePoint) {
    struct Case {
        const char* name;
        bool vertical;
        QPoint point;
        int thumbStart;
        int position;
    };
    const Case cases[] = {
        {"horizontal middle", false, {50, 3}, 45, 50},
        {"horizontal near the start clamps the thumb", false, {3, 3}, 0, 0},
        {"horizontal near the end clamps the thumb", false, {97, 3}, 90, 100},
        {"vertical middle counts from the top", true, {3, 50}, 45, 50},
        {"vertical near the bottom", true, {3, 96}, 90, 100},
    };
    for (const Case& c : cases) {
        BitSliderTrack track = c.vertical ? Vertical() : Horizontal();
        track.BeginDrag();
        EXPECT_EQ(track.DragTo(c.point), Result::Moved) << c.name;
        const QRect thumb = track.ThumbRect();
        EXPECT_EQ(c.vertical ? thumb.top() : thumb.left(), c.thumbStart) << c.name;
        EXPECT_EQ(track.GetPos(), c.position) << c.name;
    }
}

TEST(BitSliderTrack, GdiSliderKeepsTheThumbCentredAcrossWhileDragging) {
    BitSliderTrack track = Vertical();
    track.BeginDrag();
    track.DragTo(QPoint(1, 40));
    EXPECT_EQ(track.ThumbRect().left(), 5);
}

TEST(BitSliderTrack, HoldingAnEndCreepsOneStepPerMove) {
    struct Case {
        const char* name;
        bool vertical;
        QPoint end;
        int startValue;  // SetPos argument
        std::vector<int> positions;
    };
    const Case cases[] = {
        {"right end rises to the maximum", false, {99, 5}, 97, {98, 99, 100, 100}},
        {"left end falls to the minimum", false, {0, 5}, 2, {1, 0, 0}},
        // A vertical slider counts from the top: SetPos(3) stores 97, the bottom end rises.
        {"bottom end rises to the maximum", true, {5, 99}, 3, {98, 99, 100, 100}},
        {"top end falls to the minimum", true, {5, 0}, 98, {1, 0, 0}},
    };
    for (const Case& c : cases) {
        BitSliderTrack track = c.vertical ? Vertical() : Horizontal();
        track.SetPos(c.startValue);
        track.BeginDrag();
        for (const int expected : c.positions) {
            EXPECT_EQ(track.DragTo(c.end), Result::Moved) << c.name;
            EXPECT_EQ(track.GetPos(), expected) << c.name;
        }
        const QRect thumb = track.ThumbRect();
        const bool atFar = c.vertical ? c.end.y() > 0 : c.end.x() > 0;
        const int start = c.vertical ? thumb.top() : thumb.left();
        EXPECT_EQ(start, atFar ? 90 : 0) << c.name;
    }
}

TEST(BitSliderTrack, LeavingTheSliderEndsTheDragSilently) {
    for (const QPoint outside : {QPoint(100, 5), QPoint(-1, 5), QPoint(50, 20), QPoint(50, -1)}) {
        BitSliderTrack track = Horizontal();
        track.SetPos(40);
        track.BeginDrag();
        EXPECT_EQ(track.DragTo(outside), Result::Ended);
        EXPECT_FALSE(track.IsDragging());
        EXPECT_EQ(track.GetPos(), 40);
        EXPECT_EQ(track.DragTo(QPoint(50, 5)), Result::Ignored);
    }
}

TEST(BitSliderTrack, MovesWithoutADragAreIgnored) {
    BitSliderTrack track = Horizontal();
    EXPECT_EQ(track.DragTo(QPoint(50, 5)), Result::Ignored);
    EXPECT_EQ(track.GetPos(), 0);
}

TEST(BitSliderTrack, ThumbAsLongAsTheTrackCannotDivideByZero) {
    BitSliderTrack track;
    track.SetClientSize(QSize(10, 10));
    track.SetThumbSize(QSize(10, 10));
    track.BeginDrag();
    EXPECT_EQ(track.DragTo(QPoint(5, 5)), Result::Moved);
    EXPECT_EQ(track.GetPos(), 0);
    track.SetPos(60);
    EXPECT_EQ(track.ThumbRect().left(), 0);
}

TEST(BitSliderTrack, RangeNeedsMinimumBelowMaximum) {
    BitSliderTrack track = Horizontal();
    EXPECT_FALSE(track.SetRange(5, 5));
    EXPECT_FALSE(track.SetRange(9, 1));
    EXPECT_EQ(track.Minimum(), 0);
    EXPECT_EQ(track.Maximum(), 100);
    EXPECT_TRUE(track.SetRange(10, 50));
    EXPECT_EQ(track.Minimum(), 10);
    EXPECT_EQ(track.Maximum(), 50);
}

TEST(BitSliderTrack, SetPosClampsAndPlacesTheThumb) {
    struct Case {
        const char* name;
        bool vertical;
        int minimum, maximum, value;
        int position;
        int thumbStart;
    };
    const Case cases[] = {
        {"horizontal middle", false, 0, 100, 50, 50, 45},
        {"below the minimum gives 0, not the minimum", false, 10, 100, 3, 0, 0},
        {"above the maximum gives the maximum", false, 0, 100, 300, 100, 90},
        {"vertical stores the value from the top", true, 0, 100, 30, 70, 63},
        {"vertical full level sits at the top", true, 0, 100, 100, 0, 0},
        {"range ending at 0 keeps the thumb at the start", false, -10, 0, -5, -5, 0},
    };
    for (const Case& c : cases) {
        BitSliderTrack track = c.vertical ? Vertical() : Horizontal();
        ASSERT_TRUE(track.SetRange(c.minimum, c.maximum)) << c.name;
        track.SetPos(c.value);
        EXPECT_EQ(track.GetPos(), c.position) << c.name;
        const QRect thumb = track.ThumbRect();
        EXPECT_EQ(c.vertical ? thumb.top() : thumb.left(), c.thumbStart) << c.name;
    }
}

}  // namespace
