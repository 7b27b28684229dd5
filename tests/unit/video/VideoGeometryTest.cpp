// The video window's arithmetic: picture rectangle, snapshot names, caption colour, alpha.

#include <gtest/gtest.h>

#include <set>

#include "client/dialogs/video/VideoGeometry.h"

namespace {

using video_geometry::ComputePictureRect;

TEST(PictureRect, BarsPadAndFrameFollowTheWindow) {
    const struct {
        const char* what;
        QRect client;
        bool zoomed;
        bool pad;
        int aspect;
        QRect picture;
        bool usable;
    } cases[] = {
        // 400 - 200 * 4 / 3 = 134, halved: 67 on either side.
        {"4:3 in a wide zoomed window", {0, 0, 400, 200}, true, false, 2, {67, 0, 266, 200}, true},
        {"4:3 in a tall zoomed window", {0, 0, 300, 400}, true, false, 2, {0, 87, 300, 226}, true},
        {"16:9 in a square zoomed window",
         {0, 0, 320, 320},
         true,
         false,
         3,
         {0, 70, 320, 180},
         true},
        {"16:9 in a wide zoomed window",
         {0, 0, 400, 100},
         true,
         false,
         3,
         {111, 0, 178, 100},
         true},
        {"fill keeps the 1-px frame", {0, 0, 400, 300}, false, false, 1, {1, 1, 398, 298}, true},
        {"a 4:3 window at 4:3 has no bars",
         {0, 0, 400, 300},
         true,
         false,
         2,
         {0, 0, 400, 300},
         true},
        // The pad takes 300 / 9 = 33 px at the bottom.
        {"pad in a 300 px window", {0, 0, 400, 300}, true, true, 1, {0, 0, 400, 267}, true},
        {"pad and frame", {0, 0, 400, 300}, false, true, 1, {1, 1, 398, 265}, true},
        // 11 px high minus the frame leaves 9: too low for a caption.
        {"9 px high picture", {0, 0, 200, 11}, false, false, 1, {1, 1, 198, 9}, false},
        {"10 px high picture", {0, 0, 200, 12}, false, false, 1, {1, 1, 198, 10}, true},
        {"9 px wide picture", {0, 0, 11, 200}, false, false, 1, {1, 1, 9, 198}, false},
    };
    for (const auto& c : cases) {
        const auto layout = ComputePictureRect(c.client, c.zoomed, c.pad, c.aspect);
        EXPECT_EQ(layout.picture, c.picture) << c.what;
        EXPECT_EQ(layout.usable, c.usable) << c.what;
    }
}

TEST(PictureRect, FillKeepsThePicturesOwnProportions) {
    const struct {
        const char* what;
        QRect client;
        int aspect;
        QSize source;
        QRect picture;
    } cases[] = {
        {"no picture yet: the whole frame", {0, 0, 402, 202}, 1, {}, {1, 1, 400, 200}},
        // 400 - 200 * 320 / 240 = 134: 67 each side.
        {"4:3 picture in a wide window", {0, 0, 402, 202}, 1, {320, 240}, {68, 1, 266, 200}},
        // 320 - 320 * 360 / 640 = 140: 70 above and below.
        {"16:9 picture in a square window", {0, 0, 322, 322}, 1, {640, 360}, {1, 71, 320, 180}},
        {"a picture of the window's shape", {0, 0, 322, 242}, 1, {640, 480}, {1, 1, 320, 240}},
        {"4:3 forced whatever the picture", {0, 0, 402, 202}, 2, {640, 360}, {68, 1, 266, 200}},
        {"16:9 forced whatever the picture", {0, 0, 322, 322}, 3, {320, 240}, {1, 71, 320, 180}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ComputePictureRect(c.client, false, false, c.aspect, c.source).picture, c.picture)
            << c.what;
    }
}

TEST(PictureRect, ThePadIsTheBottomNinthAcrossTheWholeWidth) {
    const auto layout = ComputePictureRect({0, 0, 400, 300}, false, true, 2);
    EXPECT_EQ(layout.cameraPad, QRect(0, 267, 400, 33));
    // The bars are computed on what the pad leaves: 398 x 265 -> 4:3 is 353 wide.
    EXPECT_EQ(layout.picture.bottom() + 1, 266);
    EXPECT_EQ(layout.picture.height(), 265);
    EXPECT_EQ(layout.picture.left(), 1 + (398 - 265 * 4 / 3) / 2);
    EXPECT_TRUE(ComputePictureRect({0, 0, 400, 300}, false, false, 2).cameraPad.isEmpty());
}

TEST(SnapshotName, NameChannelTimeAndCounter) {
    const QString time = video_geometry::SnapshotTimePart(QTime(9, 5));
    EXPECT_EQ(time, QStringLiteral("(_09-05)"));
    std::set<QString> taken;
    const auto exists = [&](const QString& p) { return taken.count(p) != 0; };
    const QString first = video_geometry::FreeSnapshotPath(
        "/photos", video_geometry::SnapshotBaseName("Ann", 0), time, exists);
    EXPECT_EQ(first, QStringLiteral("/photos/Ann(_09-05).bmp"));
    taken.insert(first);
    EXPECT_EQ(video_geometry::FreeSnapshotPath(
                  "/photos/", video_geometry::SnapshotBaseName("Ann", 0), time, exists),
              QStringLiteral("/photos/Ann(_09-05)_1.bmp"));
    EXPECT_EQ(video_geometry::FreeSnapshotPath(
                  "/photos", video_geometry::SnapshotBaseName("Ann", 2), time, exists),
              QStringLiteral("/photos/Ann-3(_09-05).bmp"));
}

// A user's name is data: format marks in it stay as typed beside the channel number.
TEST(SnapshotName, FormatMarksInANameStayAsTyped) {
    for (const char* name : {"Ann %1", "%2%1", "%1"}) {
        EXPECT_EQ(video_geometry::SnapshotBaseName(QString::fromUtf8(name), 1),
                  QString::fromUtf8(name) + QStringLiteral("-2"))
            << name;
    }
}

TEST(SnapshotName, AllNamesTakenSavesNothing) {
    int asked = 0;
    const QString path =
        video_geometry::FreeSnapshotPath("/photos", "Ann", "(_09-05)", [&](const QString&) {
            ++asked;
            return true;
        });
    EXPECT_TRUE(path.isEmpty());
    EXPECT_EQ(asked, 10000);
}

TEST(SnapshotName, AnotherParticipantsNameNeverLeavesTheFolder) {
    const struct {
        QString name;
        QString safe;
    } cases[] = {
        {"../../etc/passwd", "____etc_passwd"},
        {"..", "_"},
        {"a/b\\c", "a_b_c"},
        {QStringLiteral("bell\u0007tab\tnl\n"), "bell_tab_nl_"},
        {".hidden", "_hidden"},
        {"", "_"},
        {QStringLiteral("王小明"), QStringLiteral("王小明")},
        {"Ann.B", "Ann.B"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(video_geometry::SanitizeFileName(c.name), c.safe) << c.name.toStdString();
        const QString path =
            video_geometry::FreeSnapshotPath("/photos", video_geometry::SnapshotBaseName(c.name, 0),
                                             "(_09-05)", [](const QString&) { return false; });
        EXPECT_TRUE(path.startsWith("/photos/")) << path.toStdString();
        EXPECT_EQ(path.count(u'/'), 2) << path.toStdString();
    }
}

TEST(OverlayColour, ColorRefSplitsRedFirst) {
    const auto rgb = video_geometry::SplitColorRef(0x00FF8000);
    EXPECT_EQ(rgb.red, 0);
    EXPECT_EQ(rgb.green, 128);
    EXPECT_EQ(rgb.blue, 255);
    const auto high = video_geometry::SplitColorRef(0xAB0000FF);
    EXPECT_EQ(high.red, 255);
    EXPECT_EQ(high.blue, 0);
}

TEST(OverlayAlpha, PercentOutsideTheRangeCountsAsFull) {
    const struct {
        int percent;
        int alpha;
    } cases[] = {{150, 254}, {-5, 254}, {100, 254}, {101, 254}, {50, 127}, {0, 0}, {1, 2}};
    for (const auto& c : cases) {
        EXPECT_EQ(video_geometry::AlphaOfPercent(c.percent), c.alpha) << c.percent;
    }
}

}  // namespace
