#include "LayoutGeometry.h"

namespace yav::layout {

namespace {

// A cell of a grid of cellW x cellH cells starting at the area's top-left, spanning
// spanW x spanH cells.
Edges Cell(const Edges& area, int cellW, int cellH, int column, int row, int spanW = 1,
           int spanH = 1) {
    const int left = area.left + column * cellW;
    const int top = area.top + row * cellH;
    return {left, top, left + spanW * cellW, top + spanH * cellH};
}

// Arrangements 3, 4 and 5: a 3 x 3 main cell with a column of 2, 3 or 4 beside it.
void ArrangeMainAndColumn(int others, const Edges& area, std::array<Edges, kRectCount>& rects) {
    const int w = area.Width() / 4;
    const int h = area.Height() / 4;
    const int mainTop = area.top + h / 2;
    rects[0] = {area.left, mainTop, area.left + 3 * w, mainTop + 3 * h};
    int top = area.top;
    if (others == 2) {
        top = area.top + h;
    } else if (others == 3) {
        top = area.top + h / 2;
    }
    for (int k = 0; k < others; ++k) {
        const int cellTop = top + k * h;
        rects[1 + k] = {rects[0].right, cellTop, area.right, cellTop + h};
    }
}

// Arrangements 6, 7 and 8: a large cell at the top-left, a side column reaching the right
// edge and one bottom row.
void ArrangeMainSideBottom(int grid, int bottomCount, int bottomOffset, const Edges& area,
                           std::array<Edges, kRectCount>& rects) {
    const int cellW = area.Width() / grid;
    const int cellH = area.Height() / grid;
    const int span = grid - 1;
    rects[0] = Cell(area, cellW, cellH, 0, 0, span, span);
    for (int k = 0; k < span; ++k) {
        const Edges cell = Cell(area, cellW, cellH, span, k);
        rects[1 + k] = {cell.left, cell.top, area.right, cell.bottom};
    }
    for (int k = 0; k < bottomCount; ++k) {
        Edges cell = Cell(area, cellW, cellH, k, span);
        cell.left += bottomOffset;
        cell.right += bottomOffset;
        rects[span + 1 + k] = cell;
    }
}

// Arrangements 13, 17, 22 and 33: a main cell of mainSpan x mainSpan, a block of
// blockColumns beside it, then full rows below it.
void ArrangeMainBlockRows(int grid, int mainSpan, int blockColumns, int total, const Edges& area,
                          std::array<Edges, kRectCount>& rects) {
    const int cellW = area.Width() / grid;
    const int cellH = area.Height() / grid;
    rects[0] = Cell(area, cellW, cellH, 0, 0, mainSpan, mainSpan);
    const int blockCount = blockColumns * mainSpan;
    for (int k = 0; k < blockCount; ++k) {
        rects[1 + k] = Cell(area, cellW, cellH, mainSpan + k % blockColumns, k / blockColumns);
    }
    for (int k = 0; 1 + blockCount + k < total; ++k) {
        rects[1 + blockCount + k] = Cell(area, cellW, cellH, k % grid, mainSpan + k / grid);
    }
}

// Modes 3, 4, 5: an n x n grid whose last column and row reach the area's edges.
void ArrangeGrid(int n, const Edges& area, std::array<Edges, kRectCount>& rects) {
    const int cellW = area.Width() / n;
    const int cellH = area.Height() / n;
    for (int i = 0; i < n * n; ++i) {
        const int column = i % n;
        const int row = i / n;
        Edges cell = Cell(area, cellW, cellH, column, row);
        if (column == n - 1) {
            cell.right = area.right;
        }
        if (row == n - 1) {
            cell.bottom = area.bottom;
        }
        rects[i] = cell;
    }
}

}  // namespace

std::uint8_t EffectiveLayoutMode(std::uint8_t layoutMode) {
    return layoutMode >= 1 && layoutMode <= 9 ? layoutMode : 8;
}

int LayoutCapacity(std::uint8_t layoutMode) {
    static constexpr std::array<int, 10> kCapacity{0, 1, 2, 4, 9, 16, 8, 13, 17, 33};
    return kCapacity[EffectiveLayoutMode(layoutMode)];
}

int AutoArrangement(std::uint8_t layoutMode, int used, bool sixOrSevenWinMode) {
    const std::uint8_t mode = EffectiveLayoutMode(layoutMode);
    if (mode < 6) {
        return 0;
    }
    if (used <= 1) {
        return 1;
    }
    if (used <= 5) {
        return used;
    }
    if (mode == 6) {
        return 8;
    }
    if (used <= 8) {
        if (mode == 8 && sixOrSevenWinMode && used <= 7) {
            return used;
        }
        return 8;
    }
    if (used <= 13 || mode == 7) {
        return 13;
    }
    if (mode == 8) {
        return 17;
    }
    return used <= 22 ? 22 : 33;
}

int WantedAutoArrangement(int used) {
    if (used == 1) {
        return 1;
    }
    if (used <= 2) {
        return 2;
    }
    if (used <= 5) {
        return used;
    }
    if (used <= 8) {
        return 8;
    }
    return used <= 13 ? 13 : 17;
}

void ArrangeAuto(int arrangement, const Edges& area, std::array<Edges, kRectCount>& rects) {
    const int w = area.Width();
    const int h = area.Height();
    switch (arrangement) {
        case 1:
            rects[0] = area;
            break;
        case 2: {
            const int top = area.top + (h / 2) / 2;
            rects[0] = {area.left, top, area.left + w / 2, top + h / 2};
            rects[1] = {rects[0].right, top, area.right, top + h / 2};
            break;
        }
        case 3:
        case 4:
        case 5:
            ArrangeMainAndColumn(arrangement - 1, area, rects);
            break;
        case 6:
            ArrangeMainSideBottom(3, 3, 0, area, rects);
            break;
        case 7:
            ArrangeMainSideBottom(4, 3, w / 8, area, rects);
            break;
        case 8:
            ArrangeMainSideBottom(4, 4, 0, area, rects);
            break;
        case 13:
            ArrangeMainBlockRows(4, 2, 2, 13, area, rects);
            break;
        case 17:
            ArrangeMainBlockRows(5, 3, 2, 17, area, rects);
            break;
        case 22:
            ArrangeMainBlockRows(5, 2, 3, 22, area, rects);
            break;
        case 33:
            ArrangeMainBlockRows(6, 2, 4, 33, area, rects);
            break;
        default:
            break;
    }
}

LayoutResult ComputeLayout(const LayoutInput& input) {
    LayoutResult result;
    auto& rects = result.rects;
    const Edges& area = input.videoArea;

    if (input.mainDisplayMode == 1) {
        result.capacity = 1;
        result.cells = 1;
        rects[0] = input.sideArea;
        const int content = input.mainContent == 16  ? kScreenPlayRect
                            : input.mainContent == 8 ? kMediaPlayRect
                                                     : kDocRect;
        rects[content] = area;
        return result;
    }
    if (input.mainDisplayMode == 2) {
        result.capacity = 5;
        result.cells = 5;
        const int cellW = area.Width() / 5;
        const int cellH = area.Height() / 5;
        for (int k = 0; k < 5; ++k) {
            rects[k] = Cell(area, cellW, cellH, 0, k);
        }
        rects[4].bottom = area.bottom;
        rects[input.mainContent == 8 ? kMediaPlayRect : kDocRect] = {area.left + cellW, area.top,
                                                                     area.right, area.bottom};
        return result;
    }

    rects[input.sideContent == 2 ? kDocRect : kMediaPlayRect] = input.sideArea;
    std::uint8_t mode = EffectiveLayoutMode(input.layoutMode);
    result.capacity = LayoutCapacity(mode);
    if (mode == 2 && input.usedWindows == 1) {
        result.pipAsSingle = true;
        mode = 1;
    }
    switch (mode) {
        case 1:
            rects[0] = area;
            result.cells = 1;
            break;
        case 2: {
            rects[0] = area;
            const int insetH = area.Height() / 4;
            const int insetW = (insetH * 4) / 3;
            rects[1] = {area.right - insetW, area.bottom - insetH, area.right, area.bottom};
            result.cells = 2;
            break;
        }
        case 3:
        case 4:
        case 5:
            ArrangeGrid(mode - 1, area, rects);
            result.cells = (mode - 1) * (mode - 1);
            break;
        default:
            result.autoArrangement =
                AutoArrangement(mode, input.usedWindows, input.sixOrSevenWinMode);
            ArrangeAuto(result.autoArrangement, area, rects);
            result.cells = result.autoArrangement;
            break;
    }
    return result;
}

}  // namespace yav::layout
