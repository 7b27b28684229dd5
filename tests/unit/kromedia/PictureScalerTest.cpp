// A decoded I420 picture turned into the BGRx picture a window draws: colours by the stream's
// matrix, sizes as asked, source strides honoured, bad input refused.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "components/KroMedia/PictureScaler.h"

namespace kromedia {
namespace {

// An I420 picture whose rows are `padding` bytes longer than the picture (filled with 255 so
// that reading past a row shows as white).
struct Planes {
    Planes(int w, int h, int padding) : width(w), height(h) {
        yStride = w + padding;
        cStride = (w + 1) / 2 + padding;
        y.assign(static_cast<size_t>(yStride) * static_cast<size_t>(h), 255);
        u.assign(static_cast<size_t>(cStride) * static_cast<size_t>((h + 1) / 2), 255);
        v = u;
    }
    // Luma per column (from `lumaOf`), chroma everywhere the same.
    template <typename F>
    void Fill(F lumaOf, uint8_t cb, uint8_t cr) {
        for (int row = 0; row < height; ++row) {
            for (int x = 0; x < width; ++x) {
                y[static_cast<size_t>(row * yStride + x)] = lumaOf(x);
            }
        }
        for (int row = 0; row < (height + 1) / 2; ++row) {
            for (int x = 0; x < (width + 1) / 2; ++x) {
                u[static_cast<size_t>(row * cStride + x)] = cb;
                v[static_cast<size_t>(row * cStride + x)] = cr;
            }
        }
    }
    PlanarPicture View(bool bt709 = false) const {
        return {y.data(), u.data(), v.data(), yStride, cStride, cStride, width, height, bt709};
    }
    int width;
    int height;
    int yStride;
    int cStride;
    std::vector<uint8_t> y, u, v;
};

struct Bgr {
    int b, g, r;
};

Bgr At(const std::vector<uint8_t>& bgrx, int width, int x, int y) {
    const size_t at =
        (static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 4;
    return {bgrx[at], bgrx[at + 1], bgrx[at + 2]};
}

bool Near(Bgr got, Bgr want, int tolerance = 3) {
    return std::abs(got.b - want.b) <= tolerance && std::abs(got.g - want.g) <= tolerance &&
           std::abs(got.r - want.r) <= tolerance;
}

TEST(PictureScaler, ColoursFollowTheStreamsMatrix) {
    struct Case {
        const char* what;
        uint8_t y, cb, cr;
        bool bt709;
        Bgr want;
    };
    const Case cases[] = {
        {"black", 16, 128, 128, false, {0, 0, 0}},
        {"white", 235, 128, 128, false, {255, 255, 255}},
        {"BT.601 red", 81, 90, 240, false, {0, 0, 255}},
        {"BT.709 red", 63, 102, 240, true, {0, 0, 255}},
        {"BT.601 blue", 41, 240, 110, false, {255, 0, 0}},
    };
    for (const Case& c : cases) {
        Planes planes(16, 8, 0);
        planes.Fill([&](int) { return c.y; }, c.cb, c.cr);
        std::vector<uint8_t> out(16 * 8 * 4, 0);
        std::vector<uint8_t> scratch;
        ASSERT_TRUE(ScaleToBgrx(planes.View(c.bt709), {16, 8}, out.data(), scratch)) << c.what;
        const Bgr got = At(out, 16, 5, 3);
        EXPECT_TRUE(Near(got, c.want)) << c.what << ": " << got.b << "," << got.g << "," << got.r;
        EXPECT_EQ(out[3], 255) << c.what << ": the fourth byte is opaque";
    }
    // The matrix matters: BT.709's red read as BT.601 is not red.
    Planes planes(16, 8, 0);
    planes.Fill([](int) { return uint8_t{63}; }, 102, 240);
    std::vector<uint8_t> out(16 * 8 * 4);
    std::vector<uint8_t> scratch;
    ASSERT_TRUE(ScaleToBgrx(planes.View(false), {16, 8}, out.data(), scratch));
    EXPECT_FALSE(Near(At(out, 16, 5, 3), {0, 0, 255}, 12));
}

// Black left half, white right half, rows padded with white bytes: whatever the size asked,
// the halves stay where they were and no padding shows.
TEST(PictureScaler, ScalesToTheAskedSizeWithinTheSourceRows) {
    struct Case {
        int width, height;
    };
    const Case cases[] = {{64, 32}, {30, 10}, {31, 11}, {15, 7}, {8, 4}, {128, 64}, {64, 8}};
    for (const Case& c : cases) {
        Planes planes(64, 32, 16);
        planes.Fill([](int x) { return x < 32 ? uint8_t{16} : uint8_t{235}; }, 128, 128);
        std::vector<uint8_t> out(static_cast<size_t>(c.width * c.height * 4), 7);
        std::vector<uint8_t> scratch;
        ASSERT_TRUE(ScaleToBgrx(planes.View(), {c.width, c.height}, out.data(), scratch))
            << c.width << "x" << c.height;
        for (int y : {0, c.height / 2, c.height - 1}) {
            EXPECT_TRUE(Near(At(out, c.width, 0, y), {0, 0, 0}))
                << c.width << "x" << c.height << " left edge, row " << y;
            EXPECT_TRUE(Near(At(out, c.width, c.width / 2 - 2, y), {0, 0, 0}))
                << c.width << "x" << c.height << " left half, row " << y;
            EXPECT_TRUE(Near(At(out, c.width, c.width / 2 + 2, y), {255, 255, 255}))
                << c.width << "x" << c.height << " right half, row " << y;
            EXPECT_TRUE(Near(At(out, c.width, c.width - 1, y), {255, 255, 255}))
                << c.width << "x" << c.height << " right edge, row " << y;
        }
    }
}

TEST(PictureScaler, RefusesMissingPlanesAndEmptySizes) {
    Planes planes(16, 8, 0);
    planes.Fill([](int) { return uint8_t{16}; }, 128, 128);
    std::vector<uint8_t> out(16 * 8 * 4);
    std::vector<uint8_t> scratch;
    PlanarPicture noChroma = planes.View();
    noChroma.v = nullptr;
    PlanarPicture noWidth = planes.View();
    noWidth.width = 0;
    EXPECT_FALSE(ScaleToBgrx(noChroma, {16, 8}, out.data(), scratch));
    EXPECT_FALSE(ScaleToBgrx(noWidth, {16, 8}, out.data(), scratch));
    EXPECT_FALSE(ScaleToBgrx(planes.View(), {0, 8}, out.data(), scratch));
    EXPECT_FALSE(ScaleToBgrx(planes.View(), {16, -1}, out.data(), scratch));
    EXPECT_FALSE(ScaleToBgrx(planes.View(), {16, 8}, nullptr, scratch));
}

}  // namespace
}  // namespace kromedia
