#include "ConfListLayout.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/core/Scale.h"

ConfListFilter::ConfListFilter(const QString& text) : upperText_(text.toUpper()) {
    const QString trimmed = upperText_.trimmed();
    const bool allDigits =
        std::all_of(trimmed.begin(), trimmed.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    if (!allDigits) {
        wantedNumber_ = 0;  // not a number: a conference numbered 0 still matches
        return;
    }
    std::uint64_t value = 0;
    for (const QChar c : trimmed) {
        value = value * 10 + static_cast<std::uint64_t>(c.unicode() - u'0');
        if (value > std::numeric_limits<std::uint32_t>::max()) {
            return;  // too long for any conference number: only names can match
        }
    }
    wantedNumber_ = static_cast<std::uint32_t>(value);
}

bool ConfListFilter::Matches(std::uint32_t confNumber, const QString& confName) const {
    if (wantedNumber_ && *wantedNumber_ == confNumber) {
        return true;
    }
    return confName.toUpper().contains(upperText_);
}

QRect ConfListLayout::RowRect(int placedIndex, const QRect& client) {
    const int rowHeight = yav::Scaled(kRowDesignHeight);
    const int top = client.top() + placedIndex * rowHeight;
    return QRect(client.left(), top, client.width(), rowHeight);
}

std::array<QRect, 7> ConfListLayout::RowControlRects(const QRect& row) {
    auto at = [&row](int x, int y, int w, int h) {
        return QRect(row.left() + yav::Scaled(x), row.top() + yav::Scaled(y), yav::Scaled(w),
                     yav::Scaled(h));
    };
    std::array<QRect, 7> rects;
    rects[Name] = at(38, 14, 237, 22);
    rects[NumberIcon] = at(38, 45, 16, 16);
    rects[Number] = at(60, 44, 78, 16);
    rects[CountIcon] = at(183, 45, 16, 16);
    rects[Counts] = at(205, 44, 78, 16);
    rects[EnterButton] = at(676, 28, 58, 26);
    // The separator is the row's last device-pixel line.
    rects[Separator] = QRect(row.left(), row.top() + row.height() - 1, row.width(), 1);
    return rects;
}

ConfListScroll ConfListLayout::ScrollFor(int placedRows, int clientHeight) {
    ConfListScroll scroll;
    const int total = placedRows * kRowDesignHeight;
    // The range stays in design units, but whether the rows fit is a matter of their height
    // on the screen: above scale 1 design units would hide the last rows out of reach.
    if (PixelOffset(total) <= clientHeight) {
        return scroll;
    }
    scroll.min = 0;
    scroll.max = total;
    scroll.page = kRowDesignHeight;
    scroll.pos = 0;
    scroll.scrollable = true;
    return scroll;
}

int ConfListLayout::Clamp(const ConfListScroll& scroll, int pos) {
    const int highest = std::max(scroll.min, scroll.max - scroll.page);
    return std::clamp(pos, scroll.min, highest);
}

int ConfListLayout::WheelPosition(const ConfListScroll& scroll, int wheelDelta) {
    const int step = yav::Scaled(10);
    int pos = scroll.pos;
    if (wheelDelta > 0) {
        pos -= step;
    } else if (wheelDelta < 0) {
        pos += step;
    }
    return Clamp(scroll, pos);
}

int ConfListLayout::ScrollPosition(const ConfListScroll& scroll, ScrollCode code, int trackPos) {
    int pos = scroll.pos;
    switch (code) {
        case ScrollCode::LineUp:
            pos -= yav::Scaled(5);
            break;
        case ScrollCode::LineDown:
            pos += yav::Scaled(5);
            break;
        case ScrollCode::PageUp:
            pos -= scroll.page;
            break;
        case ScrollCode::PageDown:
            pos += scroll.page;
            break;
        case ScrollCode::ThumbTrack:
            pos = trackPos;
            break;
        case ScrollCode::Top:
            pos = scroll.min;
            break;
        case ScrollCode::Bottom:
            pos = scroll.max;
            break;
        case ScrollCode::ThumbPosition:
        case ScrollCode::EndScroll:
            break;
    }
    return Clamp(scroll, pos);
}

int ConfListLayout::PixelOffset(int pos) {
    return static_cast<int>(pos * g_fExchangePW);
}

QString ConfListLayout::CountsText(int countBefore, int countAfter) {
    return QStringLiteral("%1/%2").arg(countBefore).arg(countAfter);
}

QString ConfListLayout::NumberText(std::uint32_t confNumber) {
    return QStringLiteral("%1").arg(confNumber, 8, 10, QLatin1Char('0'));
}
