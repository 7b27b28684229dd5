#pragma once
// The synthetic camera's marks: the media id (16 bits) and a frame counter (32 bits) painted as
// black and white blocks across the top of each picture, a block being width / 16 pixels
// square, so that they survive H.264 and scaling and a test can read them back from the
// decoded picture. Row 0 holds the id, rows 1 and 2 the counter, most significant bit first.

#include <cstdint>

namespace kromedia {

struct PatternMarks {
    uint16_t mediaId = 0;
    uint32_t counter = 0;
    // When the picture was captured: the low 32 bits of the monotonic clock in milliseconds
    // (g_get_monotonic_time / 1000), so a receiver on the same machine measures the delay.
    uint32_t captureMs = 0;
};

// Paints the marks into an I420 picture.
void PaintPatternI420(uint8_t* yPlane, int yStride, uint8_t* uPlane, uint8_t* vPlane, int uvStride,
                      int width, int height, PatternMarks marks);

// Reads the marks from a BGRx picture; false when the picture is too small to hold them.
bool ReadPatternBGRx(const uint8_t* data, int stride, int width, int height, PatternMarks* marks);

}  // namespace kromedia
