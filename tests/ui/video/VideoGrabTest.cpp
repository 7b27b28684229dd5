// Pictures of video windows at scale 1.0 and 1.5 with test-pattern video, saved for review;
// each asserts what it must show.

#include <QPainter>

#include "VideoTestSupport.h"
#include "client/dialogs/video/CDlgCameraCtrl.h"
#include "client/dialogs/video/CDlgUserName.h"
#include "client/dialogs/video/CDlgVideoStatus.h"
#include "client/ui/CDlgPopSwitch.h"

namespace video_test {
namespace {

class VideoGrab : public VideoFixture, public ::testing::WithParamInterface<double> {
protected:
    double Scale() const override { return GetParam(); }

    QString Name(const char* what) const {
        return QStringLiteral("video_%1_%2")
            .arg(QString::fromLatin1(what))
            .arg(GetParam() == 1.0 ? "1_0" : "1_5");
    }
    QImage Grab(QWidget& widget, const char* what) {
        QApplication::processEvents();
        const QImage picture = widget.grab().toImage();
        EXPECT_EQ(picture.size(), widget.size() * widget.devicePixelRatio());
        controls_test::SaveGrab(widget, Name(what));
        return picture;
    }
    // Pixels in the area that are not the colour.
    static int Others(const QImage& picture, const QRect& area, QColor colour) {
        int count = 0;
        const QRect inside = area.intersected(picture.rect());
        for (int y = inside.top(); y <= inside.bottom(); ++y) {
            for (int x = inside.left(); x <= inside.right(); ++x) {
                count += Near(picture.pixelColor(x, y), colour, 6) ? 0 : 1;
            }
        }
        return count;
    }
    QColor PatternAt(const QImage& pattern, const QRect& picture, QPoint at) const {
        const int x = (at.x() - picture.left()) * pattern.width() / picture.width();
        const int y = (at.y() - picture.top()) * pattern.height() / picture.height();
        return pattern.pixelColor(x, y);
    }
};

TEST_P(VideoGrab, AnEmptyWindowShowsThePlaceholder) {
    CDlgVideo& window = MakeWindow({400, 300});
    const QImage picture = Grab(window, "empty");
    EXPECT_EQ(picture.pixelColor(20, 20), QColor(0xF8, 0xF8, 0xF8));
    // The idle image and its text stand in the middle.
    EXPECT_GT(Others(picture, QRect(100, 75, 200, 150), QColor(0xF8, 0xF8, 0xF8)), 100);
    EXPECT_EQ(Others(picture, QRect(10, 10, 60, 60), QColor(0xF8, 0xF8, 0xF8)), 0);
}

TEST_P(VideoGrab, AWindowWaitingForTheCycleShowsItsPlaceholderAndCaptionText) {
    CDlgVideo& window = MakeWindow({400, 300});
    window.UpdateCaption(QStringLiteral("Ann"));
    window.SetFullScreenFlag(1);
    const QImage picture = Grab(window, "placeholder_cycle");
    EXPECT_EQ(picture.pixelColor(20, 20), QColor(0xF8, 0xF8, 0xF8));
    EXPECT_GT(Others(picture, QRect(100, 75, 200, 150), QColor(0xF8, 0xF8, 0xF8)), 100);
    EXPECT_FALSE(window.GetNameCaption()->isVisible());
    // Not the idle picture of an empty window.
    CDlgVideo& empty = MakeWindow({400, 300});
    EXPECT_NE(empty.grab().toImage(), picture);
}

TEST_P(VideoGrab, ABoundWindowIsBlackUntilItsFirstPicture) {
    CDlgVideo& window = MakeWindow({400, 300});
    Bind(window, 17, &stream);
    Push(window.GetFrameSink(), 17, TestPattern(320, 240));
    const QImage picture = Grab(window, "black_before_picture");
    // Black everywhere but the name caption, which stands over the black from the start.
    const QRect caption = window.GetNameCaption()->geometry();
    QImage outside = picture;
    QPainter(&outside).fillRect(caption, Qt::black);
    EXPECT_EQ(Others(outside, outside.rect(), Qt::black), 0);
    EXPECT_FALSE(window.GetNameCaption()->GetText().isEmpty());
    EXPECT_GT(Others(picture, caption, Qt::black), 0);
}

TEST_P(VideoGrab, ThePictureWithCaptionAndCycleIndicator) {
    CDlgVideo& window = MakeWindow({400, 300});
    Bind(window, 17, &stream);
    window.SetNameColor(0x0000FFFF);  // yellow
    window.SetCycling(1);
    const QImage pattern = TestPattern(320, 240);
    FirstPicture(window, 17, pattern);
    const QImage picture = Grab(window, "picture_caption_cycle");
    const QRect area = window.GetPictureRect();
    for (const QPoint at :
         {QPoint(30, 200), QPoint(130, 150), QPoint(230, 250), QPoint(370, 200)}) {
        EXPECT_TRUE(Near(picture.pixelColor(at), PatternAt(pattern, area, at)))
            << at.x() << "," << at.y();
    }
    // The caption's yellow text over the top-left corner.
    const QRect caption(0, 0, yav::Scaled(170), yav::Scaled(45));
    int yellow = 0;
    for (int y = caption.top(); y <= caption.bottom(); ++y) {
        for (int x = caption.left(); x <= caption.right(); ++x) {
            const QColor c = picture.pixelColor(x, y);
            yellow += c.red() > 200 && c.green() > 200 && c.blue() < 80 ? 1 : 0;
        }
    }
    EXPECT_GT(yellow, 10);
    EXPECT_TRUE(window.GetNameCaption()->isVisible());
    // The indicator covers the pattern in the top-right corner.
    const QRect indicator = window.GetCycleIndicator()->geometry();
    EXPECT_EQ(indicator.right() + 1, 400 - yav::Scaled(10));
    int changed = 0;
    for (int y = indicator.top(); y <= indicator.bottom(); ++y) {
        for (int x = indicator.left(); x <= indicator.right(); ++x) {
            changed +=
                Near(picture.pixelColor(x, y), PatternAt(pattern, area, QPoint(x, y))) ? 0 : 1;
        }
    }
    EXPECT_GT(changed, indicator.width() * indicator.height() / 10);
}

TEST_P(VideoGrab, AspectBarsAreBlack) {
    const struct {
        const char* name;
        QSize size;
        int aspect;
        QPoint bar;
        QPoint inside;
    } cases[] = {{"bars_4_3", {400, 200}, video_geometry::kAspect43, {30, 100}, {180, 100}},
                 {"bars_16_9", {320, 320}, video_geometry::kAspect169, {160, 30}, {150, 160}}};
    for (const auto& c : cases) {
        CDlgVideo& window = MakeWindow(c.size);
        Bind(window, 17, &stream);
        window.SetAspectMode(c.aspect);
        const QImage pattern = TestPattern(160, 120);
        FirstPicture(window, 17, pattern);
        const QImage picture = Grab(window, c.name);
        EXPECT_EQ(picture.pixelColor(c.bar), QColor(Qt::black)) << c.name;
        EXPECT_TRUE(Near(picture.pixelColor(c.inside),
                         PatternAt(pattern, window.GetPictureRect(), c.inside)))
            << c.name;
        window.SetUserId(0);
    }
}

TEST_P(VideoGrab, FillKeepsThePicturesProportionsBetweenBlackBars) {
    // The window is told the picture's own size; the component then draws at the rectangle's
    // size and says what size the picture had before it scaled it.
    const struct {
        const char* name;
        QSize client;
        QSize source;
        QRect picture;  // inside the 1-px frame
        QPoint bar;
    } cases[] = {
        {"fill_4_3_in_wide", {402, 202}, {320, 240}, {68, 1, 266, 200}, {30, 100}},
        {"fill_16_9_in_tall", {322, 322}, {640, 360}, {1, 71, 320, 180}, {160, 30}},
        {"fill_qcif_in_wide", {962, 686}, {176, 144}, {63, 1, 836, 684}, {30, 300}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CDlgVideo& window = MakeWindow(c.client);
        Bind(window, 17, &stream);
        ASSERT_EQ(window.GetAspectMode(), video_geometry::kAspectFill);
        // The first picture comes at the stream's own size.
        const QImage pattern = TestPattern(c.source.width(), c.source.height());
        FirstPicture(window, 17, pattern);
        EXPECT_EQ(window.GetSourceSize(), c.source);
        EXPECT_EQ(window.GetPictureRect(), c.picture);
        EXPECT_EQ(stream.lastRect.right - stream.lastRect.left, c.picture.width());
        EXPECT_EQ(stream.lastRect.bottom - stream.lastRect.top, c.picture.height());
        // Then at the rectangle's size, naming its own.
        const QImage scaled = TestPattern(c.picture.width(), c.picture.height());
        const QImage rgb = scaled.convertToFormat(QImage::Format_RGB32);
        kromedia::VideoFrame frame{17,
                                   rgb.width(),
                                   rgb.height(),
                                   static_cast<int>(rgb.bytesPerLine()),
                                   rgb.constBits(),
                                   nullptr};
        frame.sourceWidth = c.source.width();
        frame.sourceHeight = c.source.height();
        window.GetFrameSink()->OnFrame(frame);
        const QImage picture = Grab(window, c.name);
        EXPECT_EQ(window.GetPictureRect(), c.picture) << "the same proportions";
        EXPECT_EQ(picture.pixelColor(c.bar), QColor(Qt::black));
        const QRect inside = c.picture.adjusted(1, 1, -1, -1);
        EXPECT_EQ(Others(picture, inside, Qt::black), inside.width() * inside.height())
            << "the picture fills its rectangle";
        // Unscaled: each pixel of the rectangle is the delivered picture's.
        for (const QPoint at : {QPoint(c.picture.width() / 16, c.picture.height() / 2),
                                QPoint(c.picture.width() * 9 / 16, c.picture.height() / 3)}) {
            EXPECT_EQ(picture.pixelColor(c.picture.topLeft() + at), scaled.pixelColor(at));
        }
        window.SetUserId(0);
    }
}

TEST_P(VideoGrab, TheCameraPadUnderThePicture) {
    CDlgVideo& window = MakeWindow({400, 300});
    Bind(window, 17, &stream);
    FirstPicture(window, 17, TestPattern(320, 240));
    window.SendMessage(WM_COMMAND, CDlgVideo::ID_CAMERA, 0);
    ASSERT_NE(window.GetCameraPad(), nullptr);
    const QImage picture = Grab(window, "camera_pad");
    // The pad's ground left of its centred buttons.
    EXPECT_EQ(picture.pixelColor(3, 300 - 3), QColor(0x61, 0x61, 0x61));
    // Its buttons draw their images.
    const QRect buttons(46, 267, 7 * 44, 33);
    EXPECT_GT(Others(picture, buttons, QColor(0x61, 0x61, 0x61)), 200);
    // The picture stops above the pad.
    EXPECT_EQ(window.GetPictureRect().bottom(), 300 - 33 - 2);
}

TEST_P(VideoGrab, TheContextPopup) {
    host.role = 0;
    CDlgVideo& window = MakeWindow({400, 300});
    Bind(window, 25, &stream2);
    window.ShowContextPopup(QPoint(500, 300));
    CDlgPopSwitch* pop = window.GetPopup();
    ASSERT_NE(pop, nullptr);
    const QImage picture = Grab(*pop, "context_popup");
    EXPECT_EQ(pop->size(), QSize(yav::Scaled(139), yav::Scaled(5 * 38 + 45)));
    EXPECT_FALSE(picture.isNull());
}

INSTANTIATE_TEST_SUITE_P(Scales, VideoGrab, ::testing::Values(1.0, 1.5));

}  // namespace
}  // namespace video_test
