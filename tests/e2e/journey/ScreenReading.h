#pragma once
// Reading a screen grab the way the journey's checks need it: the synthetic camera's picture
// in a video window (its colour bars, and the media id and frame counter it carries as black
// and white blocks across its top), and counts of pixels of a kind in a rectangle.

#include <QImage>
#include <QRect>

#include <cstdint>
#include <optional>

namespace journey_e2e {

struct SyntheticPicture {
    std::uint16_t mediaId = 0;
    std::uint32_t counter = 0;
};

// What a video window at `tile` shows, when it shows the synthetic camera's picture (stretched
// over the window inside its 1-pixel frame): the seven colour bars must be there, in order,
// and the marks above them are read back.
std::optional<SyntheticPicture> ReadSyntheticPicture(const QImage& screen, const QRect& tile);

// Pixels in `rect` that are dark, as text on a light ground is (every channel below 140).
int DarkPixels(const QImage& screen, const QRect& rect);
// Pixels in `rect` of a clear blue (as the marks and buttons of the program's blue accent are).
int BluePixels(const QImage& screen, const QRect& rect);
// Pixels in `rect` of exactly that colour.
int PixelsOf(const QImage& screen, const QRect& rect, QRgb colour);

}  // namespace journey_e2e
