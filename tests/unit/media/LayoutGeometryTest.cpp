#include "client/media/LayoutGeometry.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using yav::layout::AutoArrangement;
using yav::layout::ComputeLayout;
using yav::layout::Edges;
using yav::layout::LayoutInput;
using yav::layout::LayoutResult;
using yav::layout::WantedAutoArrangement;

LayoutInput VideoArea(Edges area, std::uint8_t mode, int used) {
    LayoutInput input;
    input.layoutMode = mode;
    input.videoArea = area;
    input.usedWindows = used;
    return input;
}

int NonEmptySlots(const LayoutResult& result) {
    int count = 0;
    for (int i = 0; i < yav::layout::kSlotCount; ++i) {
        count += result.rects[i].IsEmpty() ? 0 : 1;
    }
    return count;
}

bool Overlap(const Edges& a, const Edges& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// The arrangement table: mode x used windows (x the six-or-seven switch) -> arrangement.
TEST(LayoutGeometryTest, AutomaticArrangementTable) {
    struct Row {
        int used;
        int mode6, mode7, mode8, mode8Six, mode9;
    };
    const Row rows[] = {
        {0, 1, 1, 1, 1, 1},      {1, 1, 1, 1, 1, 1},      {2, 2, 2, 2, 2, 2},
        {3, 3, 3, 3, 3, 3},      {4, 4, 4, 4, 4, 4},      {5, 5, 5, 5, 5, 5},
        {6, 8, 8, 8, 6, 8},      {7, 8, 8, 8, 7, 8},      {8, 8, 8, 8, 8, 8},
        {9, 8, 13, 13, 13, 13},  {13, 8, 13, 13, 13, 13}, {14, 8, 13, 17, 17, 22},
        {17, 8, 13, 17, 17, 22}, {18, 8, 13, 17, 17, 22}, {22, 8, 13, 17, 17, 22},
        {23, 8, 13, 17, 17, 33}, {37, 8, 13, 17, 17, 33},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE("used " + std::to_string(row.used));
        EXPECT_EQ(AutoArrangement(6, row.used, false), row.mode6);
        EXPECT_EQ(AutoArrangement(6, row.used, true), row.mode6);
        EXPECT_EQ(AutoArrangement(7, row.used, true), row.mode7);
        EXPECT_EQ(AutoArrangement(8, row.used, false), row.mode8);
        EXPECT_EQ(AutoArrangement(8, row.used, true), row.mode8Six);
        EXPECT_EQ(AutoArrangement(9, row.used, true), row.mode9);
        // An unknown mode is mode 8.
        EXPECT_EQ(AutoArrangement(0, row.used, false), row.mode8);
        EXPECT_EQ(AutoArrangement(200, row.used, true), row.mode8Six);
    }
    EXPECT_EQ(AutoArrangement(5, 10, false), 0);
}

TEST(LayoutGeometryTest, WantedArrangementForTheRepaintCheck) {
    const std::pair<int, int> cases[] = {{0, 2}, {1, 1},  {2, 2},   {3, 3},   {5, 5},  {6, 8},
                                         {8, 8}, {9, 13}, {13, 13}, {14, 17}, {37, 17}};
    for (const auto& [used, wanted] : cases) {
        EXPECT_EQ(WantedAutoArrangement(used), wanted) << used;
    }
}

// Every automatic arrangement holds exactly its number of cells, inside the area, without
// overlaps; the remainders of the divisions stay empty except where a cell reaches the edge.
TEST(LayoutGeometryTest, EveryArrangementFillsItsCellsWithoutOverlap) {
    const Edges area{7, 11, 7 + 1003, 11 + 797};
    for (int arrangement : {1, 2, 3, 4, 5, 6, 7, 8, 13, 17, 22, 33}) {
        SCOPED_TRACE("arrangement " + std::to_string(arrangement));
        std::array<Edges, yav::layout::kRectCount> rects{};
        yav::layout::ArrangeAuto(arrangement, area, rects);
        int count = 0;
        for (int i = 0; i < yav::layout::kSlotCount; ++i) {
            if (rects[i].IsEmpty()) {
                continue;
            }
            ++count;
            EXPECT_EQ(i, count - 1) << "cells fill slots from 0";
            EXPECT_GE(rects[i].left, area.left);
            EXPECT_GE(rects[i].top, area.top);
            EXPECT_LE(rects[i].right, area.right);
            EXPECT_LE(rects[i].bottom, area.bottom);
            for (int j = 0; j < i; ++j) {
                EXPECT_FALSE(Overlap(rects[i], rects[j])) << i << " overlaps " << j;
            }
        }
        EXPECT_EQ(count, arrangement);
    }
}

TEST(LayoutGeometryTest, ArrangementCellsAtKnownPlaces) {
    struct Case {
        int arrangement;
        int slot;
        Edges expected;
    };
    // 1000 x 800 from (0, 0).
    const Case cases[] = {
        {1, 0, {0, 0, 1000, 800}},
        {2, 0, {0, 200, 500, 600}},
        {2, 1, {500, 200, 1000, 600}},
        // 3..5: cell 250 x 200, main 750 x 600 at T + 100; the column reaches R.
        {3, 0, {0, 100, 750, 700}},
        {3, 1, {750, 200, 1000, 400}},
        {3, 2, {750, 400, 1000, 600}},
        {4, 1, {750, 100, 1000, 300}},
        {4, 3, {750, 500, 1000, 700}},
        {5, 1, {750, 0, 1000, 200}},
        {5, 4, {750, 600, 1000, 800}},
        // 6: cell 333 x 266.
        {6, 0, {0, 0, 666, 532}},
        {6, 2, {666, 266, 1000, 532}},
        {6, 5, {666, 532, 999, 798}},
        // 7: cell 250 x 200, bottom row shifted by W/8 = 125.
        {7, 3, {750, 400, 1000, 600}},
        {7, 4, {125, 600, 375, 800}},
        {7, 6, {625, 600, 875, 800}},
        {8, 7, {750, 600, 1000, 800}},
        // 13: cell 250 x 200.
        {13, 0, {0, 0, 500, 400}},
        {13, 4, {750, 200, 1000, 400}},
        {13, 5, {0, 400, 250, 600}},
        {13, 12, {750, 600, 1000, 800}},
        // 17: cell 200 x 160.
        {17, 0, {0, 0, 600, 480}},
        {17, 6, {800, 320, 1000, 480}},
        {17, 7, {0, 480, 200, 640}},
        {17, 16, {800, 640, 1000, 800}},
        // 22: cell 200 x 160.
        {22, 1, {400, 0, 600, 160}},
        {22, 6, {800, 160, 1000, 320}},
        {22, 7, {0, 320, 200, 480}},
        {22, 21, {800, 640, 1000, 800}},
        // 33: cell 166 x 133.
        {33, 8, {830, 133, 996, 266}},
        {33, 9, {0, 266, 166, 399}},
        {33, 32, {830, 665, 996, 798}},
    };
    for (const Case& c : cases) {
        std::array<Edges, yav::layout::kRectCount> rects{};
        yav::layout::ArrangeAuto(c.arrangement, {0, 0, 1000, 800}, rects);
        EXPECT_EQ(rects[c.slot], c.expected) << c.arrangement << " slot " << c.slot;
    }
}

TEST(LayoutGeometryTest, FixedGridsEndAtTheAreaEdges) {
    struct Case {
        std::uint8_t mode;
        int capacity;
        int lastSlot;
        Edges first;
        Edges last;
    };
    const Edges area{10, 20, 10 + 1001, 20 + 803};
    const Case cases[] = {
        {1, 1, 0, area, area},
        {3, 4, 3, {10, 20, 510, 421}, {510, 421, 1011, 823}},
        {4, 9, 8, {10, 20, 343, 287}, {676, 554, 1011, 823}},
        {5, 16, 15, {10, 20, 260, 220}, {760, 620, 1011, 823}},
    };
    for (const Case& c : cases) {
        const LayoutResult result = ComputeLayout(VideoArea(area, c.mode, 20));
        EXPECT_EQ(result.capacity, c.capacity) << int(c.mode);
        EXPECT_EQ(NonEmptySlots(result), c.lastSlot + 1) << int(c.mode);
        EXPECT_EQ(result.rects[0], c.first) << int(c.mode);
        EXPECT_EQ(result.rects[c.lastSlot], c.last) << int(c.mode);
    }
}

TEST(LayoutGeometryTest, PictureInPictureInset) {
    LayoutResult result = ComputeLayout(VideoArea({0, 0, 1000, 800}, 2, 2));
    EXPECT_EQ(result.rects[0], (Edges{0, 0, 1000, 800}));
    EXPECT_EQ(result.rects[1], (Edges{734, 600, 1000, 800}));
    EXPECT_EQ(result.capacity, 2);
    EXPECT_FALSE(result.pipAsSingle);

    // Relative to the area's origin.
    result = ComputeLayout(VideoArea({50, 30, 1050, 830}, 2, 2));
    EXPECT_EQ(result.rects[1], (Edges{784, 630, 1050, 830}));

    // One window in use: drawn as mode 1 for this pass.
    result = ComputeLayout(VideoArea({0, 0, 1000, 800}, 2, 1));
    EXPECT_TRUE(result.pipAsSingle);
    EXPECT_EQ(result.rects[0], (Edges{0, 0, 1000, 800}));
    EXPECT_TRUE(result.rects[1].IsEmpty());
}

TEST(LayoutGeometryTest, AutomaticModeUsesTheCountAndTheSideArea) {
    LayoutInput input = VideoArea({200, 0, 1200, 800}, 8, 6);
    input.sideArea = {0, 0, 200, 800};
    LayoutResult result = ComputeLayout(input);
    EXPECT_EQ(result.autoArrangement, 8);
    EXPECT_EQ(result.capacity, 17);
    EXPECT_EQ(NonEmptySlots(result), 8);
    EXPECT_EQ(result.rects[yav::layout::kMediaPlayRect], input.sideArea);
    EXPECT_TRUE(result.rects[yav::layout::kDocRect].IsEmpty());

    input.sixOrSevenWinMode = true;
    input.sideContent = 2;
    result = ComputeLayout(input);
    EXPECT_EQ(result.autoArrangement, 6);
    EXPECT_EQ(NonEmptySlots(result), 6);
    EXPECT_EQ(result.rects[yav::layout::kDocRect], input.sideArea);
    EXPECT_TRUE(result.rects[yav::layout::kMediaPlayRect].IsEmpty());
}

TEST(LayoutGeometryTest, MainDisplayModes) {
    struct Case {
        std::uint8_t display;
        std::uint8_t content;
        int contentRect;
    };
    const Edges side{0, 0, 300, 600};
    const Edges video{300, 0, 1300, 800};
    const Case cases[] = {
        {1, 2, yav::layout::kDocRect},         {1, 8, yav::layout::kMediaPlayRect},
        {1, 16, yav::layout::kScreenPlayRect}, {2, 2, yav::layout::kDocRect},
        {2, 8, yav::layout::kMediaPlayRect},   {2, 16, yav::layout::kDocRect},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.display) + "/" + std::to_string(c.content));
        LayoutInput input = VideoArea(video, 8, 9);
        input.sideArea = side;
        input.mainDisplayMode = c.display;
        input.mainContent = c.content;
        const LayoutResult result = ComputeLayout(input);
        int filled = 0;
        for (int r = yav::layout::kDocRect; r < yav::layout::kRectCount; ++r) {
            filled += result.rects[r].IsEmpty() ? 0 : 1;
        }
        EXPECT_EQ(filled, 1);
        if (c.display == 1) {
            EXPECT_EQ(result.capacity, 1);
            EXPECT_EQ(NonEmptySlots(result), 1);
            EXPECT_EQ(result.rects[0], side);
            EXPECT_EQ(result.rects[c.contentRect], video);
        } else {
            EXPECT_EQ(result.capacity, 5);
            EXPECT_EQ(NonEmptySlots(result), 5);
            EXPECT_EQ(result.rects[0], (Edges{300, 0, 500, 160}));
            EXPECT_EQ(result.rects[3], (Edges{300, 480, 500, 640}));
            EXPECT_EQ(result.rects[4], (Edges{300, 640, 500, 800}));
            EXPECT_EQ(result.rects[c.contentRect], (Edges{500, 0, 1300, 800}));
        }
    }
}

}  // namespace
