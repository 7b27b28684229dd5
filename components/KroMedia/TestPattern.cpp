#include "TestPattern.h"

namespace kromedia {

namespace {

constexpr int kBlocksPerRow = 16;
constexpr int kRows = 5;
constexpr uint8_t kWhite = 235;
constexpr uint8_t kBlack = 16;

int BlockSize(int width) {
    return width / kBlocksPerRow;
}

bool BitAt(PatternMarks marks, int row, int column) {
    if (row == 0) {
        return ((marks.mediaId >> (15 - column)) & 1U) != 0;
    }
    const uint32_t value = row <= 2 ? marks.counter : marks.captureMs;
    const int bit = ((row - 1) % 2) * kBlocksPerRow + column;  // 0 = most significant
    return ((value >> (31 - bit)) & 1U) != 0;
}

}  // namespace

void PaintPatternI420(uint8_t* yPlane, int yStride, uint8_t* uPlane, uint8_t* vPlane, int uvStride,
                      int width, int height, PatternMarks marks) {
    const int block = BlockSize(width);
    if (block < 2 || height < block * kRows) {
        return;
    }
    for (int row = 0; row < kRows; ++row) {
        for (int column = 0; column < kBlocksPerRow; ++column) {
            const uint8_t luma = BitAt(marks, row, column) ? kWhite : kBlack;
            for (int y = row * block; y < (row + 1) * block; ++y) {
                uint8_t* line = yPlane + static_cast<long>(y) * yStride;
                for (int x = column * block; x < (column + 1) * block; ++x) {
                    line[x] = luma;
                }
            }
        }
    }
    // Neutral colour under the marks.
    for (int y = 0; y < (kRows * block) / 2; ++y) {
        for (int x = 0; x < (kBlocksPerRow * block) / 2; ++x) {
            uPlane[static_cast<long>(y) * uvStride + x] = 128;
            vPlane[static_cast<long>(y) * uvStride + x] = 128;
        }
    }
}

bool ReadPatternBGRx(const uint8_t* data, int stride, int width, int height, PatternMarks* marks) {
    const int block = BlockSize(width);
    if (data == nullptr || marks == nullptr || block < 2 || height < block * kRows) {
        return false;
    }
    PatternMarks out;
    for (int row = 0; row < kRows; ++row) {
        for (int column = 0; column < kBlocksPerRow; ++column) {
            const int x = column * block + block / 2;
            const int y = row * block + block / 2;
            const uint8_t* px = data + static_cast<long>(y) * stride + static_cast<long>(x) * 4;
            const bool one = (px[0] + px[1] + px[2]) / 3 > 128;
            if (!one) {
                continue;
            }
            if (row == 0) {
                out.mediaId = static_cast<uint16_t>(out.mediaId | (1U << (15 - column)));
            } else {
                const int bit = ((row - 1) % 2) * kBlocksPerRow + column;
                (row <= 2 ? out.counter : out.captureMs) |= 1U << (31 - bit);
            }
        }
    }
    *marks = out;
    return true;
}

}  // namespace kromedia
