// The dialog bases: the skinned background, dragging by any point, the key rules, and the
// colour-keyed tool window.

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

#include "CDlgCommon.h"
#include "CTransparentStatic.h"
#include "CYavDialogStand.h"
#include "SkinGlobals.h"
#include "ToolkitTestSupport.h"
#include "platform/window/testing/WindowTesting.h"

namespace {

using toolkit_test::ScaleGuard;
using yav::testing::ModalAnswer;

class CommonDialog : public CDlgCommon {
public:
    CommonDialog() : CDlgCommon(150, nullptr), label(this) {
        resize(300, 150);
        label.MoveWindow(20, 60, 200, 20);
        label.SetWindowText(QStringLiteral("drag me"));
    }
    int OnNcHitTestFor(const QPoint& point) { return OnNcHitTest(point); }
    CTransparentStatic label;
};

TEST(DlgCommon, PaintsCaptionBandWhiteBodyAndBorder) {
    for (double scale : {1.0, 1.5}) {
        ScaleGuard guard(scale);
        CommonDialog dialog;
        dialog.label.ShowWindow(SW_HIDE);
        const QImage image = dialog.grab().toImage();
        const int band = g_nCaptionHeight;
        EXPECT_EQ(band, static_cast<int>(31 * scale));
        EXPECT_EQ(image.pixelColor(150, band - 1), QColor(51, 133, 237)) << scale;
        EXPECT_EQ(image.pixelColor(150, band + 1), QColor(Qt::white)) << scale;
        // The half-pixel border blends the frame colour into the edge pixels.
        const QColor edge = image.pixelColor(0, 100);
        EXPECT_NE(edge, QColor(Qt::white));
        EXPECT_LT(edge.red(), 255);
        EXPECT_GT(edge.blue(), edge.red());
    }
}

TEST(DlgCommon, WholeWindowDragsUnlessDragIsOff) {
    CommonDialog dialog;
    ASSERT_TRUE(dialog.Create(150));
    dialog.MoveWindow(100, 100, 300, 150);
    dialog.ShowWindow(SW_SHOW);
    const QPoint inside = dialog.mapToGlobal(QPoint(150, 100));
    EXPECT_EQ(dialog.OnNcHitTestFor(inside), HTCAPTION);
    EXPECT_EQ(dialog.OnNcHitTestFor(inside + QPoint(1000, 0)), HTCLIENT);

    // A press on the label moves the dialog: the label leaves presses to its parent.
    const QPoint onLabel(30, 5);
    QTest::mousePress(&dialog.label, Qt::LeftButton, {}, onLabel);
    QMouseEvent move(QEvent::MouseMove, QPointF(onLabel + QPoint(40, 25)),
                     QPointF(dialog.label.mapToGlobal(onLabel + QPoint(40, 25))), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&dialog.label, &move);
    QTest::mouseRelease(&dialog.label, Qt::LeftButton, {}, onLabel + QPoint(40, 25));
    EXPECT_EQ(dialog.pos(), QPoint(140, 125));

    dialog.m_bDrag = 0;
    EXPECT_EQ(dialog.OnNcHitTestFor(inside), HTCLIENT);
}

TEST(DlgCommon, NoKeyCloseSwallowsKeysOnlyWhenExactlyOne) {
    struct Case {
        int noKeyClose;
        Qt::Key key;
        int result;  // 0: the key did not close the dialog
    };
    const Case cases[] = {
        {1, Qt::Key_Escape, 0},        {1, Qt::Key_Return, 0},        {1, Qt::Key_Space, 0},
        {2, Qt::Key_Escape, IDCANCEL}, {0, Qt::Key_Escape, IDCANCEL}, {0, Qt::Key_Return, IDOK},
    };
    for (const Case& c : cases) {
        CommonDialog dialog;
        dialog.m_bNoKeyClose = c.noKeyClose;
        ModalAnswer answer([&](yav::Dialog& d) {
            QTest::keyClick(&d, c.key);
            if (d.IsRunningModal()) {
                d.EndDialog(0);
            }
        });
        EXPECT_EQ(dialog.DoModal(), c.result) << c.noKeyClose << " key " << c.key;
    }
}

class ToolWindow : public CYavDialogStand {
public:
    ToolWindow() : CYavDialogStand(170, nullptr), edit(new QLineEdit(this)) {
        QObject::connect(edit, &QLineEdit::returnPressed, [this] { ++returns; });
    }
    void RefreshContent() override {
        ++refreshes;
        edit->setGeometry(10, 10, width() - 20, 24);
    }
    BOOL OnEraseBkgnd(QPainter& painter) override {
        CYavDialogStand::OnEraseBkgnd(painter);
        painter.fillRect(QRect(0, 40, width(), 10), QColor(0xF7, 0xF7, 0xF6));
        return 1;
    }
    QLineEdit* edit;
    int refreshes = 0;
    int returns = 0;
};

TEST(DlgStand, BackgroundColourIsSeeThroughOtherPixelsOpaque) {
    ToolWindow window;
    EXPECT_EQ(window.GetTemplateId(), CYavDialogStand::kFallbackTemplate);
    ASSERT_TRUE(window.Create(184));
    EXPECT_EQ(window.GetTemplateId(), 184u);
    window.MoveWindow(50, 50, 200, 80);
    const QImage image = window.grab().toImage().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(qAlpha(image.pixel(100, 60)), 0) << "key colour 0xF7F7F7";
    EXPECT_EQ(qAlpha(image.pixel(100, 45)), 255) << "one step off the key";
}

TEST(DlgStand, SizeChangesRefreshTheContent) {
    ToolWindow window;
    ASSERT_TRUE(window.Create(184));
    const int before = window.refreshes;
    window.MoveWindow(0, 0, 240, 90);
    EXPECT_EQ(window.refreshes, before + 1);
    EXPECT_EQ(window.edit->width(), 220);
}

TEST(DlgStand, EnterAndEscapeReachTheEditAndNeverClose) {
    ToolWindow window;
    ASSERT_TRUE(window.Create(184));
    window.MoveWindow(0, 0, 240, 90);
    window.ShowWindow(SW_SHOW);
    QTest::keyClick(window.edit, Qt::Key_A);
    QTest::keyClick(window.edit, Qt::Key_Return);
    QTest::keyClick(window.edit, Qt::Key_Escape);
    EXPECT_EQ(window.returns, 1);
    EXPECT_EQ(window.edit->text(), QStringLiteral("a"));
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.IsWindow());
}

}  // namespace
