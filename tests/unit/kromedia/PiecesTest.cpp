#include <gst/gst.h>
#include <gtest/gtest.h>

#include <string>

#include "components/KroMedia/Devices.h"
#include "components/KroMedia/RecordBlocks.h"
#include "components/KroMedia/StreamQualityCalc.h"
#include "components/KroMedia/TestPattern.h"

namespace kromedia {
namespace {

TEST(TestDevices, CountsAreParsedAndBadItemsIgnored) {
    struct Case {
        const char* text;
        int cams, mics, spks;
    };
    const Case cases[] = {
        {"cam=2,mic=1,spk=1", 2, 1, 1},
        {"mic=3", 0, 3, 0},
        {"cam=x,mic=1", 0, 1, 0},
        {"cam=9,spk=2", 0, 0, 2},  // more than 8 is refused
        {"cam=-1", 0, 0, 0},
        {"", 0, 0, 0},
        {"cam=1,,foo=3,spk=1", 1, 0, 1},
    };
    for (const auto& c : cases) {
        const auto counts = ParseTestDevices(c.text);
        EXPECT_EQ(counts.cameras, c.cams) << c.text;
        EXPECT_EQ(counts.microphones, c.mics) << c.text;
        EXPECT_EQ(counts.speakers, c.spks) << c.text;
    }
}

TEST(CameraFormats, OnlyThe24SmallestDistinctSizesAreListed) {
    gst_init(nullptr, nullptr);
    std::string caps;
    for (int i = 30; i >= 1; --i) {  // largest first, each twice (two pixel formats)
        for (const char* format : {"YUY2", "NV12"}) {
            caps += "video/x-raw, format=(string)" + std::string(format) + ", width=(int)" +
                    std::to_string(i * 32) + ", height=(int)" + std::to_string(i * 24) + "; ";
        }
    }
    caps += "video/x-raw, width=(int)[ 16, 4096 ], height=(int)[ 16, 4096 ]";  // a range: no size
    const auto sizes = FormatsFromCaps(caps);
    ASSERT_EQ(sizes.size(), kMaxFormats);
    for (size_t i = 0; i < sizes.size(); ++i) {
        EXPECT_EQ(sizes[i].width, static_cast<int>(i + 1) * 32);
        EXPECT_EQ(sizes[i].height, static_cast<int>(i + 1) * 24);
    }
    EXPECT_TRUE(FormatsFromCaps("").empty());
    EXPECT_TRUE(FormatsFromCaps("not caps at all {").empty());
}

TEST(CameraInputs, AtMost16AreListed) {
    int asked = 0;
    const auto names = CollectInputs([&](int index, std::string* name) {
        ++asked;
        if (index >= 20) {
            return false;
        }
        *name = "Input " + std::to_string(index);
        return true;
    });
    ASSERT_EQ(names.size(), kMaxInputs);
    EXPECT_EQ(names.front(), "Input 0");
    EXPECT_EQ(names.back(), "Input 15");
    EXPECT_EQ(asked, 17);  // stops at the first that does not fit
    EXPECT_TRUE(CollectInputs([](int, std::string*) { return false; }).empty());
    EXPECT_TRUE(V4l2Inputs("/nonexistent/video9").empty());
}

TEST(StreamQuality, LossAndJitterLowerTheValue) {
    struct Case {
        uint64_t received, lost;
        double jitterMs;
        uint32_t expected;
    };
    const Case cases[] = {
        {1000, 0, 5, 1000},   // clean
        {0, 0, 0, 1000},      // nothing expected in the interval
        {900, 100, 5, 600},   // 10 % loss
        {750, 250, 0, 0},     // 25 %
        {100, 900, 0, 0},     // never below 0
        {1000, 0, 50, 900},   // 20 ms of jitter over the allowance
        {1000, 0, 500, 700},  // jitter costs at most 300
    };
    for (const auto& c : cases) {
        EXPECT_EQ(QualityFromLoss(c.received, c.lost, c.jitterMs), c.expected)
            << c.received << "/" << c.lost << "/" << c.jitterMs;
    }
}

TEST(StreamQuality, IntervalIsTheDifferenceOfTwoSamplesAndNeverNegative) {
    const ReceptionSample before{1000, 10, 0};
    EXPECT_EQ(QualityBetween(before, {1900, 110, 0}), 600U);  // 100 lost of 1000 expected
    // A restarted source reports smaller totals: no interval, not a wrapped huge loss.
    EXPECT_EQ(QualityBetween(before, {10, 0, 0}), 1000U);
}

TEST(RecordBlocks, EveryBlockIs640BytesWhateverTheInputSizes) {
    RecordBlocks blocks;
    std::vector<uint8_t> seen;
    int count = 0;
    uint8_t next = 0;
    for (size_t size : {1U, 639U, 641U, 1280U, 7U, 2000U, 0U, 352U}) {
        std::vector<uint8_t> chunk(size);
        for (auto& b : chunk) {
            b = next++;
        }
        blocks.Push(chunk.data(), chunk.size(), [&](const uint8_t* data, int length) {
            EXPECT_EQ(length, 640);
            seen.insert(seen.end(), data, data + length);
            ++count;
        });
    }
    const size_t total = 1 + 639 + 641 + 1280 + 7 + 2000 + 352;
    EXPECT_EQ(static_cast<size_t>(count), total / 640);
    EXPECT_EQ(blocks.Pending(), total % 640);
    for (size_t i = 0; i < seen.size(); ++i) {
        ASSERT_EQ(seen[i], static_cast<uint8_t>(i));  // no byte lost or repeated
    }
}

TEST(TestPattern, MarksReadBackFromTheConvertedPicture) {
    const int w = 320;
    const int h = 240;
    std::vector<uint8_t> y(static_cast<size_t>(w * h), 90), u(static_cast<size_t>(w * h / 4), 40),
        v(static_cast<size_t>(w * h / 4), 200);
    const PatternMarks marks{0x1239, 0x80000001U, 0xC0FFEE42U};
    PaintPatternI420(y.data(), w, u.data(), v.data(), w / 2, w, h, marks);
    // Grey BGRx from the luma, as a decoder's conversion would give for neutral colour.
    std::vector<uint8_t> bgrx(static_cast<size_t>(w * h * 4));
    for (int i = 0; i < w * h; ++i) {
        bgrx[static_cast<size_t>(i) * 4] = bgrx[static_cast<size_t>(i) * 4 + 1] =
            bgrx[static_cast<size_t>(i) * 4 + 2] = y[static_cast<size_t>(i)];
    }
    PatternMarks read;
    ASSERT_TRUE(ReadPatternBGRx(bgrx.data(), w * 4, w, h, &read));
    EXPECT_EQ(read.mediaId, 0x1239);
    EXPECT_EQ(read.counter, 0x80000001U);
    EXPECT_EQ(read.captureMs, 0xC0FFEE42U);
    EXPECT_FALSE(ReadPatternBGRx(bgrx.data(), 16 * 4, 16, 2, &read));  // too small to hold them
}

}  // namespace
}  // namespace kromedia
