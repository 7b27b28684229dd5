#pragma once
// Turns a decoded I420 picture into the BGRx picture a window draws, at the size the window
// draws it: the planes are scaled first (bilinear) and the smaller picture converted, which is
// several times cheaper than converting the whole picture and scaling it again at every paint.

#include <cstdint>
#include <vector>

namespace kromedia {

struct PlanarPicture {
    const uint8_t* y = nullptr;
    const uint8_t* u = nullptr;
    const uint8_t* v = nullptr;
    int yStride = 0;
    int uStride = 0;
    int vStride = 0;
    int width = 0;
    int height = 0;
    bool bt709 = false;  // else BT.601; limited range either way
};

// The size a picture of the stream is drawn at: the drawing rectangle's when one was given,
// else the stream's own.
struct PictureSize {
    int width = 0;
    int height = 0;
};

// Writes `source` scaled to `size` as BGRx (4 bytes a pixel, alpha byte 255, rows of
// size.width * 4 bytes) into `bgrx`, which holds at least that many bytes. `scratch` keeps
// the scaled planes between calls. False when either size is not positive or a plane is missing.
bool ScaleToBgrx(const PlanarPicture& source, PictureSize size, uint8_t* bgrx,
                 std::vector<uint8_t>& scratch);

}  // namespace kromedia
