#include <gtest/gtest.h>

#include <cstdlib>

#include "app/DisplayScale.h"

namespace {

struct ScreenCase {
    int width;
    int height;
    double factor;
};

TEST(DisplayScale, TheScreenSizeSnapsToTheSkinSteps) {
    const ScreenCase cases[] = {
        {2560, 1440, 1.6},            // 1.333 lies between 1.2 and 1.4
        {3840, 2160, 2.0},            // exactly 2.0 stays
        {1920, 1200, 1200 / 1080.0},  // 1.111 stays as computed
        {1366, 768, 1.0},             // below 1.1
        {1920, 1080, 1.0},
        {1024, 768, 1.0},
        {2880, 1620, 1.5},            // 1.5 lies in no snapping band
        {3600, 2025, 2.0},            // 1.875 snaps to 2.0
        {4096, 2160, 4096 / 1920.0},  // the wider side decides: 2.133 stays
        {5120, 2880, 5120 / 1920.0},
        {1080, 1920, 1920 / 1080.0},  // a portrait screen: 1.777 stays
        {0, 0, 1.0},
    };
    for (const ScreenCase& c : cases) {
        EXPECT_DOUBLE_EQ(yav::ScaleFactorForScreen(c.width, c.height), c.factor)
            << c.width << " x " << c.height;
    }
}

TEST(DisplayScale, TheEnvironmentMayForceAFactor) {
    ::setenv("YAV_SCALE_FACTOR", "1.5", 1);
    EXPECT_DOUBLE_EQ(yav::StartupScaleFactor(nullptr), 1.5);
    // Values that are no number, or out of range, are ignored (no screen here: 1.0).
    for (const char* ignored : {"abc", "9", "0.1", "1.5x", ""}) {
        ::setenv("YAV_SCALE_FACTOR", ignored, 1);
        EXPECT_DOUBLE_EQ(yav::StartupScaleFactor(nullptr), 1.0) << ignored;
    }
    ::unsetenv("YAV_SCALE_FACTOR");
}

}  // namespace
