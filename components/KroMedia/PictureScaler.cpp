#include "PictureScaler.h"

#include <libyuv.h>

namespace kromedia {

bool ScaleToBgrx(const PlanarPicture& source, PictureSize size, uint8_t* bgrx,
                 std::vector<uint8_t>& scratch) {
    if (source.y == nullptr || source.u == nullptr || source.v == nullptr || bgrx == nullptr ||
        source.width <= 0 || source.height <= 0 || size.width <= 0 || size.height <= 0) {
        return false;
    }
    const libyuv::YuvConstants* matrix =
        source.bt709 ? &libyuv::kYuvH709Constants : &libyuv::kYuvI601Constants;
    const int stride = size.width * 4;
    if (size.width == source.width && size.height == source.height) {
        return libyuv::I420ToARGBMatrix(source.y, source.yStride, source.u, source.uStride,
                                        source.v, source.vStride, bgrx, stride, matrix, size.width,
                                        size.height) == 0;
    }
    const int chromaWidth = (size.width + 1) / 2;
    const int chromaHeight = (size.height + 1) / 2;
    const size_t lumaBytes = static_cast<size_t>(size.width) * static_cast<size_t>(size.height);
    const size_t chromaBytes = static_cast<size_t>(chromaWidth) * static_cast<size_t>(chromaHeight);
    scratch.resize(lumaBytes + 2 * chromaBytes);
    uint8_t* y = scratch.data();
    uint8_t* u = y + lumaBytes;
    uint8_t* v = u + chromaBytes;
    if (libyuv::I420Scale(source.y, source.yStride, source.u, source.uStride, source.v,
                          source.vStride, source.width, source.height, y, size.width, u,
                          chromaWidth, v, chromaWidth, size.width, size.height,
                          libyuv::kFilterBilinear) != 0) {
        return false;
    }
    return libyuv::I420ToARGBMatrix(y, size.width, u, chromaWidth, v, chromaWidth, bgrx, stride,
                                    matrix, size.width, size.height) == 0;
}

}  // namespace kromedia
