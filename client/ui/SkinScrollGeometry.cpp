#include "SkinScrollGeometry.h"

#include <algorithm>

namespace {

// Shortest thumb that is still drawn; a track shorter than that shows none.
constexpr int kMinThumb = 6;
// Design side of one skin cell.
constexpr int kDesignCell = 15;

std::int64_t RangeCount(const SkinScrollInfo& info) {
    return std::int64_t{info.nMax} - info.nMin + 1;
}

}  // namespace

int SkinScrollInfo::MaxScrollPos() const {
    const std::int64_t last = std::int64_t{nMax} - std::max(nPage - 1, 0);
    return static_cast<int>(std::max<std::int64_t>(last, nMin));
}

std::int64_t SkinScrollInfo::ScrollSpan() const {
    return std::max<std::int64_t>(RangeCount(*this) - std::max(nPage, 0), 0);
}

SkinScrollInfo NormalizeScrollInfo(SkinScrollInfo info) {
    if (info.nMax < info.nMin) {
        info.nMax = info.nMin;
    }
    info.nPage = static_cast<int>(std::clamp<std::int64_t>(info.nPage, 0, RangeCount(info)));
    info.nPos = std::clamp(info.nPos, info.nMin, info.MaxScrollPos());
    return info;
}

ScrollSpanPx SkinScrollLayout::Part(int code) const {
    const int thumbBegin = arrow + offset;
    switch (code) {
        case SB_LINEUP:
            return {0, arrow};
        case SB_PAGEUP:
            return {arrow, thumbBegin};
        case SB_THUMBTRACK:
            return {thumbBegin, thumbBegin + thumb};
        case SB_PAGEDOWN:
            return {thumbBegin + thumb, std::max(length - arrow, thumbBegin + thumb)};
        case SB_LINEDOWN:
            return {length - arrow, length};
        default:
            return {};
    }
}

int SkinScrollLayout::HitTest(int along, int across) const {
    if (along < 0 || along >= length || across < 0 || across >= thickness) {
        return kScrollPartNone;
    }
    for (const int code : {SB_LINEUP, SB_LINEDOWN, SB_THUMBTRACK, SB_PAGEUP, SB_PAGEDOWN}) {
        if (Part(code).Contains(along)) {
            return code;
        }
    }
    return kScrollPartNone;
}

SkinScrollLayout ComputeSkinScrollLayout(int length, int cellWidth, double scale,
                                         const SkinScrollInfo& raw) {
    const SkinScrollInfo info = NormalizeScrollInfo(raw);
    SkinScrollLayout layout;
    layout.length = std::max(length, 0);
    layout.thickness = static_cast<int>(cellWidth * scale);
    layout.arrow = layout.thickness;
    layout.track = std::max(layout.length - 2 * layout.arrow, 0);
    if (layout.track == 0) {
        layout.arrow = layout.length / 2;
    }
    const std::int64_t span = info.ScrollSpan();
    if (layout.track >= kMinThumb && span > 0) {
        const std::int64_t thumb = std::int64_t{info.nPage} * layout.track / RangeCount(info);
        layout.thumb = static_cast<int>(std::max<std::int64_t>(thumb, kMinThumb));
    }
    layout.free = layout.track - layout.thumb;
    if (span == 0) {
        // One page holds everything: a thumb of no length in the middle of the track.
        layout.offset = layout.free / 2;
        return layout;
    }
    const int position = info.nTrackPos != -1 ? info.nTrackPos : info.nPos;
    const std::int64_t along =
        std::clamp<std::int64_t>(std::int64_t{position} - info.nMin, 0, span);
    layout.offset = static_cast<int>(layout.free * along / span);
    return layout;
}

int DragScrollPosition(const SkinScrollInfo& info, const SkinScrollLayout& layout, int dragStartPos,
                       int delta) {
    std::int64_t position = dragStartPos;
    if (layout.free > 0) {
        position += info.ScrollSpan() * delta / layout.free;
    }
    return static_cast<int>(std::clamp<std::int64_t>(position, info.nMin, info.MaxScrollPos()));
}

bool ScrollRepeatContinues(int pressedPart, const SkinScrollInfo& info, bool cursorInThumb) {
    switch (pressedPart) {
        case SB_LINEUP:
            return info.nPos != info.nMin;
        case SB_LINEDOWN:
            return info.nPos != info.nMax;
        case SB_PAGEUP:
        case SB_PAGEDOWN:
            return !cursorInThumb;
        default:
            return false;
    }
}

SkinScrollCells ComputeSkinScrollCells(int bitmapWidth, int bitmapHeight) {
    SkinScrollCells cells;
    cells.bitmapCell = std::max(bitmapWidth, 0) / 9;
    // A bitmap smaller than the design size still counts as one design cell per bitmap cell.
    cells.factor = std::max(cells.bitmapCell / kDesignCell, 1);
    cells.cellWidth = cells.bitmapCell / cells.factor;
    cells.cellHeight = std::max(bitmapHeight, 0) / 3 / cells.factor;
    return cells;
}

int SkinScrollSourceColumn(int part, bool vertical) {
    const int first = vertical ? 0 : 4;
    switch (part) {
        case SB_LINEUP:
            return first;
        case SB_LINEDOWN:
            return first + 1;
        case SB_THUMBTRACK:
            return first + 2;
        case SB_PAGEUP:
        case SB_PAGEDOWN:
            return first + 3;
        default:
            return -1;
    }
}
