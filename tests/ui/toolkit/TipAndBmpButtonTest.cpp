// The tooltip strip and the bitmap button.

#include <QApplication>
#include <QEnterEvent>
#include <QPainter>

#include <gtest/gtest.h>

#include "CXEBmpButton.h"
#include "CXETip.h"
#include "UiFonts.h"
#include "fakes/ui/RecordingWindow.h"

namespace {

TEST(XETip, HideAndShowBeforeCreateDoNothing) {
    CXETip tip;
    tip.Hide();
    tip.Show(10, 10, QStringLiteral("x"));
    EXPECT_FALSE(tip.IsShown());
    EXPECT_FALSE(tip.GetLeft().IsWindow());
}

TEST(XETip, StripOfThreeWindowsAroundTheText) {
    CXETip tip;
    ASSERT_TRUE(tip.Create());
    EXPECT_TRUE(tip.GetLeft().windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    tip.Show(300, 200, QStringLiteral(""));
    EXPECT_FALSE(tip.IsShown()) << "an empty text shows nothing";

    tip.Show(300, 200, QStringLiteral("Mute"));
    ASSERT_TRUE(tip.IsShown());
    const int shortWidth = QFontMetrics(g_fontUI).horizontalAdvance(QStringLiteral("Mute"));
    EXPECT_EQ(tip.GetLeft().GetWindowRect(), QRect(300, 200, 3, 20));
    EXPECT_EQ(tip.GetMiddle().GetWindowRect(), QRect(303, 200, shortWidth, 20));
    EXPECT_EQ(tip.GetRight().GetWindowRect(), QRect(303 + shortWidth, 200, 3, 20));

    tip.Show(300, 200, QStringLiteral("Mute all participants"));
    const int longWidth =
        QFontMetrics(g_fontUI).horizontalAdvance(QStringLiteral("Mute all participants"));
    ASSERT_GT(longWidth, shortWidth);
    EXPECT_EQ(tip.GetMiddle().GetWindowRect().width(), longWidth) << "the middle widens";
    EXPECT_EQ(tip.GetRight().GetWindowRect().left(), 303 + longWidth) << "the cap moves";
    EXPECT_EQ(tip.GetMiddle().GetText(), QStringLiteral("Mute all participants"));

    tip.Show(300, 200, QString());
    EXPECT_EQ(tip.GetMiddle().GetText(), QStringLiteral("Mute all participants"))
        << "an empty text leaves the strip as it was";

    tip.Hide();
    EXPECT_TRUE(tip.GetMiddle().GetText().isEmpty());
    EXPECT_EQ(tip.GetLeft().GetWindowRect().size(), QSize(0, 0));
    EXPECT_EQ(tip.GetRight().GetWindowRect().size(), QSize(0, 0));
}

QPixmap Solid(int w, int h, QColor color) {
    QPixmap pixmap(w, h);
    pixmap.fill(color);
    return pixmap;
}

TEST(XEBmpButton, WithoutBitmapsAndCaptionPaintsNothing) {
    yav::fakes::RecordingWindow parent;
    CXEBmpButton button(0, &parent);
    button.MoveWindow(0, 0, 30, 20);
    QImage image(30, 20, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    button.render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 30; ++x) {
            ASSERT_EQ(qAlpha(image.pixel(x, y)), 0);
        }
    }
}

TEST(XEBmpButton, BitmapIsTiledFromTheTopLeft) {
    yav::fakes::RecordingWindow parent;
    CXEBmpButton button(0, &parent);
    QPixmap cell(4, 4);
    cell.fill(Qt::blue);
    {
        QPainter painter(&cell);
        painter.fillRect(0, 0, 1, 1, Qt::red);
    }
    button.SetBitmaps(cell, {}, {}, {}, {}, {}, {});
    button.MoveWindow(0, 0, 10, 10);
    const QImage image = button.grab().toImage();
    EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(4, 4), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(8, 0), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(5, 5), QColor(Qt::blue));
}

TEST(XEBmpButton, StateChoosesTheBitmap) {
    yav::fakes::RecordingWindow parent;
    CXEBmpButton button(0, &parent);
    const QPixmap normal = Solid(2, 2, Qt::white), pressed = Solid(2, 2, Qt::black),
                  hover = Solid(2, 2, Qt::yellow), checkedNormal = Solid(2, 2, Qt::green),
                  checkedPressed = Solid(2, 2, Qt::darkGreen), checkedHover = Solid(2, 2, Qt::cyan),
                  disabled = Solid(2, 2, Qt::gray);
    button.SetBitmaps(normal, pressed, hover, checkedNormal, checkedPressed, checkedHover,
                      disabled);
    const auto colour = [&] { return button.ChooseBitmap()->toImage().pixelColor(0, 0); };
    EXPECT_EQ(colour(), QColor(Qt::white));
    button.SetCheck(1);
    EXPECT_EQ(colour(), QColor(Qt::green));
    button.setDown(true);
    EXPECT_EQ(colour(), QColor(Qt::darkGreen));
    button.SetCheck(0);
    EXPECT_EQ(colour(), QColor(Qt::black));
    button.setDown(false);
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QApplication::sendEvent(&button, &enter);
    EXPECT_TRUE(button.IsHovering());
    EXPECT_EQ(colour(), QColor(Qt::yellow));
    button.SetCheck(1);
    EXPECT_EQ(colour(), QColor(Qt::cyan));
    button.EnableWindow(0);
    EXPECT_EQ(colour(), QColor(Qt::gray));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&button, &leave);
    EXPECT_FALSE(button.IsHovering());
}

TEST(XEBmpButton, ShapedButtonTakesTheBitmapSizeAndDropsTransparentPixels) {
    yav::fakes::RecordingWindow parent;
    CXEBmpButton button(1, &parent);
    QImage image(8, 6, QImage::Format_ARGB32);
    image.fill(Qt::red);
    image.setPixel(0, 0, qRgba(0, 0, 0, 0));
    button.SetBitmaps(QPixmap::fromImage(image), {}, {}, {}, {}, {}, {});
    EXPECT_EQ(button.size(), QSize(8, 6));
    EXPECT_FALSE(button.mask().contains(QPoint(0, 0)));
    EXPECT_TRUE(button.mask().contains(QPoint(1, 0)));

    // Without alpha the key colour RGB(255, 74, 255) is see-through.
    QImage keyed(8, 6, QImage::Format_RGB32);
    keyed.fill(Qt::red);
    keyed.setPixel(3, 3, qRgb(255, 74, 255));
    button.SetBitmaps(QPixmap::fromImage(keyed), {}, {}, {}, {}, {}, {});
    EXPECT_FALSE(button.mask().contains(QPoint(3, 3)));
    EXPECT_TRUE(button.mask().contains(QPoint(2, 3)));
}

TEST(XEBmpButton, ClickIsACommandToTheParent) {
    yav::fakes::RecordingWindow parent;
    CXEBmpButton button(0, &parent);
    button.SetDlgCtrlID(1104);
    button.click();
    ASSERT_EQ(parent.Of(WM_COMMAND).size(), 1u);
    EXPECT_EQ(LOWORD(parent.Of(WM_COMMAND)[0].wParam), 1104);
}

}  // namespace
