#pragma once
// Reading grabs in tests: how much of an area is text.

#include <QColor>
#include <QImage>
#include <QRect>

namespace grab_pixels {

// Pixels of an area of a picture darker than the given lightness (text over a light ground).
inline int DarkPixels(const QImage& image, const QRect& area, int below = 128) {
    int dark = 0;
    const QRect inside = area.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            dark += image.pixelColor(x, y).lightness() < below ? 1 : 0;
        }
    }
    return dark;
}

}  // namespace grab_pixels
