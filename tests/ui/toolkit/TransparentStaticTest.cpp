// The transparent label: alignment, trimming, fonts, width, and the parent's repaint under it.

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QPaintEvent>
#include <QPainter>
#include <QWidget>

#include <gtest/gtest.h>

#include <vector>

#include "CTransparentStatic.h"
#include "UiFonts.h"

namespace {

const QChar kEllipsis(0x2026);

// A parent that remembers the regions it was asked to paint.
class PaintLog : public QWidget {
public:
    std::vector<QRect> painted;

protected:
    void paintEvent(QPaintEvent* event) override {
        painted.push_back(event->rect());
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
    }
};

TEST(TransparentStatic, HorizontalAlignmentRules) {
    struct Case {
        bool left;
        bool centre;
        Qt::Alignment expected;
    };
    const Case cases[] = {
        {false, false, Qt::AlignRight},
        {false, true, Qt::AlignHCenter},
        {true, false, Qt::AlignLeft},
        {true, true, Qt::AlignLeft},  // left wins over centre
    };
    for (const Case& c : cases) {
        CTransparentStatic label;
        label.MoveWindow(0, 0, 200, 20);
        label.SetWindowText(QStringLiteral("OK"));
        if (c.left) {
            label.SetAlignLeft();
        }
        if (c.centre) {
            label.SetAlignCenter();
        }
        EXPECT_EQ(label.GetHorizontalAlign(), c.expected);
        const auto lines = label.GetTextLayout();
        ASSERT_EQ(lines.size(), 1u);
        if (c.expected == Qt::AlignRight) {
            EXPECT_NEAR(lines[0].rect.right(), 200.0, 0.01);
        } else if (c.expected == Qt::AlignLeft) {
            EXPECT_NEAR(lines[0].rect.left(), 0.0, 0.01);
        }
    }
    CTransparentStatic label;
    label.SetAlignLeft();
    label.ClearAlignLeft();
    EXPECT_EQ(label.GetHorizontalAlign(), Qt::AlignRight);
}

TEST(TransparentStatic, LongTextOnOneLineEndsInAnEllipsis) {
    CTransparentStatic label;
    const double lineHeight = QFontMetricsF(g_fontUI).lineSpacing();
    label.MoveWindow(0, 0, 80, static_cast<int>(lineHeight) + 2);
    label.SetAlignLeft();
    label.SetWindowText(QStringLiteral("participant Zhang San has left the conference"));
    const auto lines = label.GetTextLayout();
    ASSERT_EQ(lines.size(), 1u) << "no second line";
    EXPECT_TRUE(lines[0].text.endsWith(kEllipsis));
    EXPECT_LE(lines[0].rect.right(), 80.0);
}

TEST(TransparentStatic, LineAlignmentPlacesTheTextVertically) {
    CTransparentStatic label;
    label.MoveWindow(0, 0, 200, 60);
    label.SetWindowText(QStringLiteral("x"));
    label.SetLineAlign(0);
    EXPECT_NEAR(label.GetTextLayout()[0].rect.top(), 0.0, 0.01);
    label.SetLineAlign(1);
    EXPECT_NEAR(label.GetTextLayout()[0].rect.center().y(), 30.0, 0.01);
    label.SetLineAlign(2);
    EXPECT_NEAR(label.GetTextLayout()[0].rect.bottom(), 60.0, 0.01);
}

TEST(TransparentStatic, FontChangesStartFromTheUiFontEachTime) {
    CTransparentStatic label;
    const int base = g_fontUI.pixelSize();
    label.SetFontSizeDelta(2);
    EXPECT_EQ(label.GetFont().pixelSize(), base + 2);
    label.SetFontBold();
    EXPECT_EQ(label.GetFont().pixelSize(), base + 1) << "bold does not add to the earlier delta";
    EXPECT_EQ(label.GetFont().weight(), QFont::DemiBold);
    label.SetFontSizeDelta(3);
    EXPECT_EQ(label.GetFont().pixelSize(), base + 3);
    EXPECT_EQ(label.GetFont().weight(), g_fontUI.weight()) << "the size change drops the bold";
}

TEST(TransparentStatic, TextWidthIsTheAdvancePlusOne) {
    CTransparentStatic label;
    label.SetWindowText(QString::fromUtf8("会议号 123"));
    const double advance =
        QFontMetricsF(g_fontUI).horizontalAdvance(QString::fromUtf8("会议号 123"));
    EXPECT_EQ(label.GetTextWidth(), static_cast<int>(advance + 1));
}

TEST(TransparentStatic, NewTextRepaintsTheParentUnderTheLabelAtOnce) {
    PaintLog parent;
    parent.resize(300, 100);
    auto* label = new CTransparentStatic(&parent);
    label->MoveWindow(20, 30, 150, 20);
    label->SetAlignLeft();
    parent.show();
    QCoreApplication::processEvents();
    parent.painted.clear();
    label->SetWindowText(QStringLiteral("a much longer text than before"));
    label->SetWindowText(QStringLiteral("short"));
    ASSERT_GE(parent.painted.size(), 2u) << "each change repaints the parent right away";
    for (const QRect& region : parent.painted) {
        EXPECT_TRUE(region.contains(QRect(20, 30, 150, 20))) << "the whole label area";
    }
    // What stays on screen is the short text on the parent's white: nothing right of it.
    const QImage grab = parent.grab(QRect(20, 30, 150, 20)).toImage();
    const int textEnd = label->GetTextWidth() + 2;
    for (int x = textEnd; x < 150; ++x) {
        for (int y = 0; y < 20; ++y) {
            ASSERT_EQ(grab.pixelColor(x, y), QColor(Qt::white)) << x << "," << y;
        }
    }
}

}  // namespace
