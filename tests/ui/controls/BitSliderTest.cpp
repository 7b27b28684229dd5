// The image sliders: what the parent hears during and after a drag, the watch timer, the
// wheel, the creep at the ends, the GDI+ slider's scaled thumb and the tooltip text.

#include <QCursor>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include "ControlTestSupport.h"
#include "client/Common/MessageIds.h"
#include "client/ui/CBitSlider.h"
#include "client/ui/CYavBitSlider.h"
#include "platform/core/Scale.h"
#include "platform/window/testing/WindowTesting.h"

namespace {

using controls_test::RecordingParent;
using controls_test::Solid;
using yav::testing::TimerDriver;

class YavSliderTest : public ::testing::Test {
protected:
    void SetUp() override {
        parent.resize(200, 200);
        slider = new CYavBitSlider(&parent, TBS_HORZ);
        slider->SetDlgCtrlID(1184);
        slider->MoveWindow(10, 10, 100, 20);
        slider->SetImages(&back, &channel, &thumb);
        parent.show();
    }

    std::size_t Released() const { return parent.Of(WM_BITSLIDER_RELEASED).size(); }

    QImage back = Solid(40, 6, QColor(200, 200, 200));
    QImage channel = Solid(40, 6, QColor(57, 138, 241));
    QImage thumb = Solid(10, 10, QColor(30, 30, 30));
    RecordingParent parent;
    CYavBitSlider* slider = nullptr;
};

TEST_F(YavSliderTest, ClickJumpsTheThumbAndNotifiesAtOnceWithTheControlId) {
    slider->OnLButtonDown(QPoint(50, 10));
    ASSERT_EQ(Released(), 1u);
    EXPECT_EQ(parent.messages.back().wParam, 1184u);
    EXPECT_EQ(parent.messages.back().lParam, 0);
    EXPECT_EQ(slider->GetPos(), 50);
    EXPECT_EQ(slider->Track().ThumbRect(), QRect(45, 5, 10, 10));
    EXPECT_EQ(slider->GetTimerElapse(BitSliderWnd::kDragWatchTimer), 100);

    slider->OnMouseMove(QPoint(70, 3));
    EXPECT_EQ(Released(), 2u);
    EXPECT_EQ(slider->GetPos(), 72);
    slider->OnLButtonUp(QPoint(70, 3));
    EXPECT_EQ(Released(), 3u);
    EXPECT_FALSE(slider->IsDragging());
    EXPECT_FALSE(slider->IsTimerSet(BitSliderWnd::kDragWatchTimer));

    slider->OnMouseMove(QPoint(20, 3));
    slider->OnLButtonUp(QPoint(20, 3));
    EXPECT_EQ(Released(), 3u);  // nothing without a drag
}

TEST_F(YavSliderTest, DraggingOutEndsSilently) {
    slider->OnLButtonDown(QPoint(50, 10));
    slider->OnMouseMove(QPoint(150, 10));
    EXPECT_FALSE(slider->IsDragging());
    EXPECT_FALSE(slider->IsTimerSet(BitSliderWnd::kDragWatchTimer));
    slider->OnLButtonUp(QPoint(150, 10));
    EXPECT_EQ(Released(), 1u);
    EXPECT_EQ(slider->GetPos(), 50);
}

TEST_F(YavSliderTest, WatchTimerEndsTheDragOnceTheCursorIsOutside) {
    slider->OnLButtonDown(QPoint(50, 10));
    QCursor::setPos(slider->mapToGlobal(QPoint(50, 10)));
    ASSERT_TRUE(TimerDriver::Fire(*slider, BitSliderWnd::kDragWatchTimer));
    EXPECT_TRUE(slider->IsDragging());
    QCursor::setPos(slider->mapToGlobal(QPoint(50, 80)));
    TimerDriver::Fire(*slider, BitSliderWnd::kDragWatchTimer);
    EXPECT_FALSE(slider->IsDragging());
    EXPECT_FALSE(slider->IsTimerSet(BitSliderWnd::kDragWatchTimer));
    slider->OnLButtonUp(QPoint(50, 10));
    EXPECT_EQ(Released(), 1u);
}

TEST_F(YavSliderTest, RealMouseDragCreepsAtTheRightEnd) {
    slider->SetPos(97);
    QTest::mousePress(slider, Qt::LeftButton, Qt::NoModifier, QPoint(99, 10));
    EXPECT_EQ(slider->GetPos(), 98);
    QTest::mouseMove(slider, QPoint(99, 11));
    QTest::mouseMove(slider, QPoint(99, 12));
    QTest::mouseMove(slider, QPoint(99, 13));
    EXPECT_EQ(slider->GetPos(), 100);
    QTest::mouseRelease(slider, Qt::LeftButton, Qt::NoModifier, QPoint(99, 13));
    EXPECT_EQ(Released(), 5u);
}

TEST_F(YavSliderTest, WheelNeverChangesTheValue) {
    slider->SetPos(40);
    QWheelEvent wheel(QPointF(50, 10), slider->mapToGlobal(QPointF(50, 10)), QPoint(),
                      QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(slider, &wheel);
    EXPECT_TRUE(wheel.isAccepted());
    EXPECT_EQ(slider->GetPos(), 40);
    EXPECT_EQ(Released(), 0u);
}

TEST_F(YavSliderTest, RangeAndPosition) {
    slider->SetRange(50, 50);  // ignored
    slider->SetPos(150);
    EXPECT_EQ(slider->GetPos(), 100);
    slider->SetRange(20, 80);
    slider->SetPos(5);
    EXPECT_EQ(slider->GetPos(), 0);  // below the minimum: 0, not the minimum
}

TEST(YavBitSlider, VerticalCountsFromTheTopAndScalesTheThumb) {
    const double saved = g_fExchangePW;
    g_fExchangePW = 1.5;
    RecordingParent parent;
    QImage back = Solid(4, 40, Qt::lightGray);
    QImage channel = Solid(4, 40, Qt::blue);
    QImage thumb = Solid(10, 6, Qt::black);
    CYavBitSlider slider(&parent, TBS_VERT);
    slider.MoveWindow(0, 0, 30, 150);
    slider.SetImages(&back, &channel, &thumb);
    EXPECT_EQ(slider.Track().ThumbRect(), QRect(7, 0, 15, 9));
    slider.SetPos(75);  // a level of 75 stands a quarter of the way down
    EXPECT_EQ(slider.GetPos(), 25);
    EXPECT_EQ(slider.Track().ThumbRect().top(), 25 * (150 - 9) / 100);
    g_fExchangePW = saved;
}

TEST(BitSlider, TooltipNotificationValueAndThumbFromItsPicture) {
    RecordingParent parent;
    QImage back = Solid(120, 16, QColor(220, 220, 220));
    QImage channel = Solid(120, 16, QColor(80, 160, 80));
    QImage thumb = Solid(8, 16, QColor(20, 20, 20));
    CBitSlider slider(&parent, TBS_HORZ);
    slider.MoveWindow(0, 0, 108, 16);
    slider.m_pBack = &back;
    slider.m_pChannel = &channel;
    slider.m_pThumb = &thumb;
    slider.EnableTooltip(true);
    parent.show();
    QTest::mousePress(&slider, Qt::LeftButton, Qt::NoModifier, QPoint(54, 8));
    EXPECT_EQ(slider.GetPos(), 50);
    EXPECT_EQ(slider.GetTooltipText(), QStringLiteral("50%"));
    ASSERT_FALSE(parent.Of(WM_BITSLIDER_RELEASED).empty());
    EXPECT_EQ(parent.Of(WM_BITSLIDER_RELEASED).back().wParam, 0u);
    QTest::mouseRelease(&slider, Qt::LeftButton, Qt::NoModifier, QPoint(54, 8));

    CBitSlider vertical(&parent, TBS_VERT);
    vertical.MoveWindow(0, 20, 16, 108);
    vertical.m_pThumb = &thumb;  // 8 x 16
    vertical.EnableTooltip(true);
    QTest::mousePress(&vertical, Qt::LeftButton, Qt::NoModifier, QPoint(8, 31));
    EXPECT_EQ(vertical.GetPos(), 25);
    EXPECT_EQ(vertical.GetTooltipText(), QStringLiteral("75%"));
    QTest::mouseRelease(&vertical, Qt::LeftButton, Qt::NoModifier, QPoint(8, 31));
}

TEST(BitSlider, PaintsOnlyWithAllThreePictures) {
    RecordingParent parent;
    parent.resize(120, 20);
    QImage back = Solid(120, 16, QColor(220, 220, 220));
    QImage thumb = Solid(8, 16, QColor(20, 20, 20));
    CBitSlider slider(&parent, TBS_HORZ);
    slider.MoveWindow(0, 0, 108, 16);
    slider.m_pBack = &back;
    slider.m_pThumb = &thumb;
    const QImage without = slider.grab().toImage();
    EXPECT_NE(without.pixel(50, 8), QColor(220, 220, 220).rgb());
    QImage channel = Solid(120, 16, QColor(80, 160, 80));
    slider.m_pChannel = &channel;
    const QImage with = slider.grab().toImage();
    EXPECT_EQ(with.pixel(2, 8), QColor(20, 20, 20).rgb());      // thumb at the start
    EXPECT_EQ(with.pixel(50, 8), QColor(220, 220, 220).rgb());  // background beyond it
}

TEST(BitSliderGrab, BothSliders) {
    RecordingParent parent;
    parent.resize(240, 170);
    parent.setAutoFillBackground(true);
    QImage back = Solid(40, 4, QColor(210, 214, 222));
    QImage channel = Solid(40, 4, QColor(57, 138, 241));
    QImage thumb(14, 14, QImage::Format_ARGB32);
    thumb.fill(Qt::transparent);
    {
        QPainter p(&thumb);
        p.setRenderHint(QPainter::Antialiasing);
        p.setBrush(Qt::white);
        p.setPen(QPen(QColor(57, 138, 241), 2));
        p.drawEllipse(QRectF(1, 1, 12, 12));
    }
    CYavBitSlider horizontal(&parent, TBS_HORZ);
    horizontal.MoveWindow(10, 10, 200, 20);
    // The channel is the part after the thumb: here the unfilled rest.
    horizontal.SetImages(&channel, &back, &thumb);
    horizontal.SetPos(30);
    QImage vback = back.transformed(QTransform().rotate(90));
    QImage vchannel = channel.transformed(QTransform().rotate(90));
    CYavBitSlider vertical(&parent, TBS_VERT);
    vertical.MoveWindow(10, 40, 20, 120);
    vertical.SetImages(&vback, &vchannel, &thumb);
    vertical.SetPos(70);
    QImage mback = Solid(150, 12, QColor(60, 60, 60));
    QImage mchannel = Solid(150, 12, QColor(240, 140, 40));
    QImage mthumb = Solid(6, 12, QColor(20, 90, 200));
    CBitSlider media(&parent, TBS_HORZ);
    media.MoveWindow(50, 60, 150, 12);
    media.m_pBack = &mback;
    media.m_pChannel = &mchannel;
    media.m_pThumb = &mthumb;
    parent.show();
    media.OnLButtonDown(QPoint(90, 6));
    media.OnLButtonUp(QPoint(90, 6));
    const QImage shot = parent.grab().toImage();
    controls_test::SaveGrab(parent, QStringLiteral("sliders"));
    ASSERT_EQ(shot.size(), QSize(240, 170));
    const QColor blue(57, 138, 241);
    const QColor grey(210, 214, 222);
    // Horizontal at 30: the background before the thumb, the thumb's white face 30 % along
    // (14 px thumb, 186 px of travel), the channel after it.
    EXPECT_EQ(shot.pixelColor(10 + 20, 20), blue);
    EXPECT_EQ(shot.pixelColor(10 + 7 + 186 * 30 / 100, 20), QColor(Qt::white));
    EXPECT_EQ(shot.pixelColor(10 + 150, 20), grey);
    // Vertical at level 70: the thumb 30 % from the top, the channel (the level) below it.
    EXPECT_EQ(shot.pixelColor(20, 40 + 15), grey);
    EXPECT_EQ(shot.pixelColor(20, 40 + 7 + 106 * 30 / 100), QColor(Qt::white));
    EXPECT_EQ(shot.pixelColor(20, 40 + 100), blue);
    // The media slider clicked at 90: filled up to the thumb centred there, dark after it.
    EXPECT_EQ(shot.pixelColor(50 + 40, 66), QColor(240, 140, 40));
    EXPECT_EQ(shot.pixelColor(50 + 90, 66), QColor(20, 90, 200));
    EXPECT_EQ(shot.pixelColor(50 + 130, 66), QColor(60, 60, 60));
}

}  // namespace
