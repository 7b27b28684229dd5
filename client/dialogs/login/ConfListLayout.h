#pragma once
// Widget-free arithmetic of the conference list: which rows a search text keeps, where rows
// and their controls go, and how the list scrolls. Scroll positions are design units; the
// content moves by position x scale device pixels.

#include <QRect>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

// The search of the list: an all-digit text (blanks around it allowed) also compares the
// conference number; letters compare without regard to case.
class ConfListFilter {
public:
    explicit ConfListFilter(const QString& text);

    bool Matches(std::uint32_t confNumber, const QString& confName) const;
    // The number a row must have to match by number; none when the digits do not fit.
    std::optional<std::uint32_t> WantedNumber() const { return wantedNumber_; }

private:
    QString upperText_;
    std::optional<std::uint32_t> wantedNumber_;
};

// Vertical scroll information of the row list (the system's SCROLLINFO subset).
struct ConfListScroll {
    int min = 0;
    int max = 0;
    int page = 0;
    int pos = 0;
    bool scrollable = false;
};

// Scroll request codes, as the skinned scroll bar sends them.
enum class ScrollCode : int {
    LineUp = 0,
    LineDown = 1,
    PageUp = 2,
    PageDown = 3,
    ThumbPosition = 4,
    ThumbTrack = 5,
    Top = 6,
    Bottom = 7,
    EndScroll = 8,
};

class ConfListLayout {
public:
    static constexpr int kRowDesignHeight = 79;
    static constexpr int kIdsPerRow = 7;
    // Controls of a row, in the order of their ids (base + 1 .. base + 7).
    enum RowControl { Name, NumberIcon, Number, CountIcon, Counts, EnterButton, Separator };

    // Rectangle of the r-th placed row inside the list's client rectangle (device pixels).
    static QRect RowRect(int placedIndex, const QRect& client);
    // The seven controls of a row placed in the given row rectangle.
    static std::array<QRect, 7> RowControlRects(const QRect& row);
    // Scroll range for n placed rows in a client area of the given height (device pixels).
    static ConfListScroll ScrollFor(int placedRows, int clientHeight);

    static int ControlId(int rowIndex, RowControl control) {
        return rowIndex * kIdsPerRow + 1 + static_cast<int>(control);
    }
    static int RowIndexOfCommand(int commandId) { return commandId / kIdsPerRow; }

    // Target positions (clamped to min .. max - page).
    static int WheelPosition(const ConfListScroll& scroll, int wheelDelta);
    static int ScrollPosition(const ConfListScroll& scroll, ScrollCode code, int trackPos);
    static int Clamp(const ConfListScroll& scroll, int pos);
    // Device-pixel offset of the content at a scroll position.
    static int PixelOffset(int pos);

    // Counts text of a row: the number before the slash first.
    static QString CountsText(int countBefore, int countAfter);
    static QString NumberText(std::uint32_t confNumber);
};
