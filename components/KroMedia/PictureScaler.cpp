#include "PictureScaler.h"

#include <libyuv.h>

#include <algorithm>

namespace kromedia {

namespace {

size_t PlanarBytes(int width, int height) {
    const size_t chroma =
        static_cast<size_t>((width + 1) / 2) * static_cast<size_t>((height + 1) / 2);
    return static_cast<size_t>(width) * static_cast<size_t>(height) + 2 * chroma;
}

// Tightly packed I420 planes at `at`, which holds PlanarBytes(width, height).
PlanarPicture PlanesAt(uint8_t* at, int width, int height, bool bt709) {
    const int chromaWidth = (width + 1) / 2;
    const size_t luma = static_cast<size_t>(width) * static_cast<size_t>(height);
    const size_t chroma = static_cast<size_t>(chromaWidth) * static_cast<size_t>((height + 1) / 2);
    return {at,     at + luma, at + luma + chroma, width, chromaWidth, chromaWidth, width,
            height, bt709};
}

bool Scale(const PlanarPicture& from, uint8_t* to, int width, int height,
           libyuv::FilterMode filter) {
    const PlanarPicture out = PlanesAt(to, width, height, from.bt709);
    return libyuv::I420Scale(from.y, from.yStride, from.u, from.uStride, from.v, from.vStride,
                             from.width, from.height, to, out.yStride, const_cast<uint8_t*>(out.u),
                             out.uStride, const_cast<uint8_t*>(out.v), out.vStride, width, height,
                             filter) == 0;
}

bool Convert(const PlanarPicture& from, uint8_t* bgrx, int stride) {
    const libyuv::YuvConstants* matrix =
        from.bt709 ? &libyuv::kYuvH709Constants : &libyuv::kYuvI601Constants;
    return libyuv::I420ToARGBMatrix(from.y, from.yStride, from.u, from.uStride, from.v,
                                    from.vStride, bgrx, stride, matrix, from.width,
                                    from.height) == 0;
}

}  // namespace

// Each step is the cheapest libyuv has: halving by an averaging box while the picture is at
// least twice the size asked (which also keeps fine detail from shimmering), then converting the
// halved picture and scaling the BGRx result the rest of the way; a picture not halved has its
// planes scaled before they are converted.
bool ScaleToBgrx(const PlanarPicture& source, PictureSize size, uint8_t* bgrx,
                 std::vector<uint8_t>& scratch) {
    if (source.y == nullptr || source.u == nullptr || source.v == nullptr || bgrx == nullptr ||
        source.width <= 0 || source.height <= 0 || size.width <= 0 || size.height <= 0) {
        return false;
    }
    const int stride = size.width * 4;
    const bool halve = source.width >= 2 * size.width && source.height >= 2 * size.height;
    const int halfWidth = (source.width + 1) / 2;
    const int halfHeight = (source.height + 1) / 2;
    // Two areas the halvings alternate between, then the last step's picture.
    const size_t area = halve ? PlanarBytes(halfWidth, halfHeight) : 0;
    const size_t last = halve ? static_cast<size_t>(halfWidth) * static_cast<size_t>(halfHeight) * 4
                              : PlanarBytes(size.width, size.height);
    if (scratch.size() < 2 * area + last) {
        scratch.resize(2 * area + last);
    }
    uint8_t* areas[2] = {scratch.data(), scratch.data() + area};
    uint8_t* tail = scratch.data() + 2 * area;

    PlanarPicture picture = source;
    for (int next = 0; picture.width >= 2 * size.width && picture.height >= 2 * size.height;
         next = 1 - next) {
        const int width = (picture.width + 1) / 2;
        const int height = (picture.height + 1) / 2;
        if (!Scale(picture, areas[next], width, height, libyuv::kFilterBox)) {
            return false;
        }
        picture = PlanesAt(areas[next], width, height, source.bt709);
    }
    if (picture.width == size.width && picture.height == size.height) {
        return Convert(picture, bgrx, stride);
    }
    if (halve) {
        return Convert(picture, tail, picture.width * 4) &&
               libyuv::ARGBScale(tail, picture.width * 4, picture.width, picture.height, bgrx,
                                 stride, size.width, size.height, libyuv::kFilterBilinear) == 0;
    }
    return Scale(picture, tail, size.width, size.height, libyuv::kFilterBilinear) &&
           Convert(PlanesAt(tail, size.width, size.height, source.bt709), bgrx, stride);
}

}  // namespace kromedia
