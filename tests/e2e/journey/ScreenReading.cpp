#include "ScreenReading.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>

namespace journey_e2e {

namespace {

constexpr int kBars = 7;
constexpr int kBlocksPerRow = 16;
constexpr int kMarkRows = 5;
// The colour bars take the upper two thirds of the picture.
constexpr double kBarsEnd = 0.66;
constexpr int kHigh = 150;
constexpr int kLow = 100;

// A bar colour by which channels are high (the others low).
struct BarColour {
    bool red;
    bool green;
    bool blue;
};

// Left to right after the grey bar: yellow, cyan, green, magenta, red, blue.
constexpr std::array<BarColour, 6> kColours = {{{true, true, false},
                                                {false, true, true},
                                                {false, true, false},
                                                {true, false, true},
                                                {true, false, false},
                                                {false, false, true}}};

bool Channel(int value, bool high) {
    return high ? value > kHigh : value < kLow;
}

bool IsBar(QRgb pixel, const BarColour& colour) {
    return Channel(qRed(pixel), colour.red) && Channel(qGreen(pixel), colour.green) &&
           Channel(qBlue(pixel), colour.blue);
}

bool Light(QRgb pixel) {
    return (qRed(pixel) + qGreen(pixel) + qBlue(pixel)) / 3 > 128;
}

int Count(const QImage& screen, const QRect& rect, const std::function<bool(QRgb)>& kind) {
    const QRect inside = rect.intersected(screen.rect());
    int count = 0;
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            count += kind(screen.pixel(x, y)) ? 1 : 0;
        }
    }
    return count;
}

}  // namespace

std::optional<SyntheticPicture> ReadSyntheticPicture(const QImage& screen, const QRect& tile) {
    const QRect picture = tile.adjusted(1, 1, -1, -1);
    if (picture.width() < kBlocksPerRow * 2 || picture.height() < kMarkRows * 4 ||
        !screen.rect().contains(picture)) {
        return std::nullopt;
    }
    const auto barX = [&](int bar) {
        return picture.left() + static_cast<int>((bar + 0.5) * picture.width() / kBars);
    };
    // The bars start where the marks end: the first rows of the yellow bar, from the top.
    const int barsEnd = picture.top() + static_cast<int>(picture.height() * kBarsEnd);
    int barsTop = -1;
    for (int y = picture.top(); y + 2 < barsEnd; ++y) {
        if (IsBar(screen.pixel(barX(1), y), kColours[0]) &&
            IsBar(screen.pixel(barX(1), y + 2), kColours[0])) {
            barsTop = y;
            break;
        }
    }
    if (barsTop < 0) {
        return std::nullopt;
    }
    const int middle = (barsTop + barsEnd) / 2;
    if (!Light(screen.pixel(barX(0), middle))) {
        return std::nullopt;
    }
    for (int bar = 1; bar < kBars; ++bar) {
        if (!IsBar(screen.pixel(barX(bar), middle), kColours[static_cast<std::size_t>(bar - 1)])) {
            return std::nullopt;
        }
    }
    const double rowHeight = static_cast<double>(barsTop - picture.top()) / kMarkRows;
    if (rowHeight < 2.0) {
        return std::nullopt;
    }
    const auto bit = [&](int row, int column) {
        const int x =
            picture.left() + static_cast<int>((column + 0.5) * picture.width() / kBlocksPerRow);
        const int y = picture.top() + static_cast<int>((row + 0.5) * rowHeight);
        return Light(screen.pixel(x, y));
    };
    SyntheticPicture read;
    for (int column = 0; column < kBlocksPerRow; ++column) {
        if (bit(0, column)) {
            read.mediaId = static_cast<std::uint16_t>(read.mediaId | (1U << (15 - column)));
        }
        for (int row = 1; row <= 2; ++row) {
            if (bit(row, column)) {
                read.counter |= 1U << (31 - ((row - 1) * kBlocksPerRow + column));
            }
        }
    }
    return read;
}

int DarkPixels(const QImage& screen, const QRect& rect) {
    return Count(screen, rect, [](QRgb p) {
        return std::max({qRed(p), qGreen(p), qBlue(p)}) < 140;
    });
}

int BluePixels(const QImage& screen, const QRect& rect) {
    return Count(screen, rect, [](QRgb p) {
        return qBlue(p) > 200 && qRed(p) < 120 && qGreen(p) > 80 && qGreen(p) < 190;
    });
}

int PixelsOf(const QImage& screen, const QRect& rect, QRgb colour) {
    return Count(screen, rect,
                 [colour](QRgb p) { return (p & 0xFFFFFFu) == (colour & 0xFFFFFFu); });
}

}  // namespace journey_e2e
