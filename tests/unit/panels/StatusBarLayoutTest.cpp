// Where the status bar's parts stand at every width: never two on top of each other, every
// shown label as wide as its text, the usual places while the bar is wide enough, and parts
// dropped least needed first as it narrows.

#include <gtest/gtest.h>

#include <string>

#include "client/dialogs/panels/PanelRules.h"
#include "platform/core/Scale.h"

namespace {

using yav::Scaled;
using yav::panels::LayOutStatusBar;
using yav::panels::StatusBarInput;
using yav::panels::StatusBarLayout;
using namespace yav::panels;

class ScaleFor {
public:
    explicit ScaleFor(double scale) : saved_(g_fExchangePW) { g_fExchangePW = scale; }
    ~ScaleFor() { g_fExchangePW = saved_; }

private:
    double saved_;
};

std::string Describe(const StatusBarInput& in, double scale) {
    return "width " + std::to_string(in.width) + " scale " + std::to_string(scale) +
           " status text " + std::to_string(in.statusTextWidth) + " recording " +
           std::to_string(in.recordingShown) + " remote " + std::to_string(in.remoteShown) +
           " wide " + std::to_string(in.wideLanguage);
}

// The parts a layout shows, their rectangles inside the bar and apart from each other.
void ExpectApart(const StatusBarLayout& layout, const StatusBarInput& in, double scale) {
    for (int a = 0; a < kStatusParts; ++a) {
        const QRect& ra = layout.rects[static_cast<size_t>(a)];
        if (ra.isEmpty()) {
            continue;
        }
        ASSERT_GE(ra.left(), 0) << a << " " << Describe(in, scale);
        ASSERT_LE(ra.right(), in.width - 1) << a << " " << Describe(in, scale);
        for (int b = a + 1; b < kStatusParts; ++b) {
            const QRect& rb = layout.rects[static_cast<size_t>(b)];
            ASSERT_FALSE(!rb.isEmpty() && ra.intersects(rb))
                << a << " overlaps " << b << " at " << Describe(in, scale);
        }
    }
    // A label that shows its text holds all of it: 18 px in, the text, 4 px spare.
    const QRect& status = layout.rects[kPartStatus];
    if (!status.isEmpty()) {
        ASSERT_GE(status.width(), Scaled(18) + in.statusTextWidth + Scaled(4))
            << Describe(in, scale);
    }
    const QRect& recording = layout.rects[kPartRecording];
    if (!recording.isEmpty() && !layout.recordingCompact) {
        ASSERT_GE(recording.width(), Scaled(18) + in.recordingTextWidth + Scaled(4))
            << Describe(in, scale);
    }
}

TEST(StatusBarLayout, NoTwoPartsOverlapAndLabelsHoldTheirTextAtAnyWidth) {
    for (double scale : {1.0, 1.25, 1.5, 2.0}) {
        ScaleFor guard(scale);
        for (int text : {40, 92, 170, 260}) {
            for (int flags = 0; flags < 8; ++flags) {
                StatusBarInput in;
                in.statusTextWidth = Scaled(text);
                in.recordingTextWidth = Scaled(60);
                in.recordingShown = (flags & 1) != 0;
                in.remoteShown = (flags & 2) != 0;
                in.wideLanguage = (flags & 4) != 0;
                for (in.width = 0; in.width <= Scaled(1400); ++in.width) {
                    ExpectApart(LayOutStatusBar(in), in, scale);
                    if (HasFailure()) {
                        return;
                    }
                }
            }
        }
    }
}

// Wide enough, every part stands where it always stood: device buttons 31 apart from x 21,
// the line at 184, the label at 203 (110 wide for a short text) and the recording mark after
// it, and share, raise hand, presenter and remote control leftwards from the right edge.
TEST(StatusBarLayout, AWideBarKeepsTheUsualPlaces) {
    for (double scale : {1.0, 1.5}) {
        ScaleFor guard(scale);
        StatusBarInput in;
        in.width = Scaled(1100);
        in.statusTextWidth = Scaled(80);
        in.recordingTextWidth = Scaled(40);
        in.recordingShown = true;
        in.remoteShown = true;
        const StatusBarLayout layout = LayOutStatusBar(in);
        EXPECT_FALSE(layout.rightCompact);
        EXPECT_FALSE(layout.recordingCompact);
        EXPECT_EQ(layout.separatorX, Scaled(184));
        for (int part = kPartCamera; part <= kPartNetwork; ++part) {
            EXPECT_EQ(layout.rects[static_cast<size_t>(part)],
                      QRect(Scaled(21 + 31 * part), Scaled(11), Scaled(20), Scaled(22)))
                << part;
        }
        EXPECT_EQ(layout.rects[kPartStatus],
                  QRect(Scaled(203), Scaled(15), Scaled(110), Scaled(20)));
        EXPECT_EQ(layout.rects[kPartRecording],
                  QRect(Scaled(203) + Scaled(110), Scaled(15), Scaled(80), Scaled(20)));
        int right = in.width;
        for (const auto& [part, width] :
             {std::pair{kPartShare, 90}, std::pair{kPartHand, 100}, std::pair{kPartPresenter, 100},
              std::pair{kPartRemote, 110}}) {
            right -= Scaled(width);
            EXPECT_EQ(layout.rects[static_cast<size_t>(part)],
                      QRect(right, Scaled(1), Scaled(width), Scaled(43)))
                << part;
        }
    }
}

// As the bar narrows: captions of the right buttons go first, then the status label, then the
// recording mark's word; the device buttons and the right buttons stay while they can.
TEST(StatusBarLayout, ANarrowingBarGivesUpTheLeastNeededFirst) {
    ScaleFor guard(1.0);
    StatusBarInput in;
    in.statusTextWidth = 150;  // "Raise your hand to speak"
    in.recordingTextWidth = 50;
    in.recordingShown = true;
    const struct Case {
        int width;
        bool rightCompact;
        bool statusShown;
        bool recordingCompact;
    } cases[] = {
        {800, false, true, false},  // 21..(203+172)+80 = 455, right group from 510
        {700, true, true, false},   // captions go: the right group is 90 wide
        {480, true, false, false},  // the room's 800 px less its side panel: the label goes
        {300, true, false, true},
    };
    for (const Case& c : cases) {
        in.width = c.width;
        const StatusBarLayout layout = LayOutStatusBar(in);
        SCOPED_TRACE(c.width);
        EXPECT_EQ(layout.rightCompact, c.rightCompact);
        EXPECT_EQ(!layout.rects[kPartStatus].isEmpty(), c.statusShown);
        EXPECT_EQ(layout.recordingCompact, c.recordingCompact);
        for (int part : {kPartCamera, kPartMic, kPartSpeaker, kPartShare, kPartHand, kPartPresenter,
                         kPartRecording}) {
            EXPECT_FALSE(layout.rects[static_cast<size_t>(part)].isEmpty()) << part;
        }
    }
    // Far too narrow, the least needed go one by one: the device test, then the network.
    in.width = 260;
    StatusBarLayout layout = LayOutStatusBar(in);
    EXPECT_TRUE(layout.rects[kPartDeviceTest].isEmpty());
    EXPECT_FALSE(layout.rects[kPartHand].isEmpty());
    EXPECT_FALSE(layout.rects[kPartCamera].isEmpty());
    // Nothing at all fits into nothing.
    in.width = 0;
    layout = LayOutStatusBar(in);
    for (const QRect& rect : layout.rects) {
        EXPECT_TRUE(rect.isEmpty());
    }
}

}  // namespace
