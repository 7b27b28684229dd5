// The GDI+-style buttons: body colours by state, caption colours, the parent repaint rule,
// click commands, the image button's placement and background, the tab's bar and mark.

#include <QApplication>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "ControlTestSupport.h"
#include "client/ui/CKroGdiBtn.h"
#include "client/ui/CKroGdiBtnImage.h"
#include "client/ui/CYavTabButtonGDI.h"
#include "platform/window/testing/WindowTesting.h"

namespace {

using controls_test::RecordingParent;
using yav::testing::WaitUntil;

const QColor kParentBack(250, 240, 230);

class Painted : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

class GdiButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        parent.resize(300, 200);
        QPalette palette = parent.palette();
        palette.setColor(QPalette::Window, kParentBack);
        parent.setPalette(palette);
        parent.setAutoFillBackground(true);
        parent.show();
        parent.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&parent));
    }

    QColor Centre(QWidget& widget) {
        const QImage image = parent.grab().toImage();
        return image.pixelColor(widget.geometry().center());
    }

    RecordingParent parent;
};

TEST_F(GdiButtonTest, BodyFollowsFocusAndHover) {
    CKroGdiBtn button(&parent);
    button.SetDlgCtrlID(1046);
    button.MoveWindow(10, 10, 80, 30);
    button.show();
    // Defaults: only the focus fill is on, so an idle button has no body.
    EXPECT_EQ(Centre(button), kParentBack);
    button.SetBkColor(1, RGB(124, 150, 188));
    EXPECT_EQ(Centre(button), QColor(124, 150, 188));
    button.setFocus();
    ASSERT_TRUE(WaitUntil([&] { return button.IsFocused(); }));
    EXPECT_EQ(Centre(button), QColor(191, 217, 255));

    // Hovering needs the owner's hover tracking.
    button.clearFocus();
    ASSERT_TRUE(WaitUntil([&] { return !button.IsFocused(); }));
    button.SetHoverColor(1, RGB(200, 50, 50));
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), button.mapToGlobal(QPointF(5, 5)));
    QCoreApplication::sendEvent(&button, &enter);
    EXPECT_FALSE(button.IsHovering());
    button.m_bHoverTrack = true;
    QCoreApplication::sendEvent(&button, &enter);
    EXPECT_TRUE(button.IsHovering());
    EXPECT_EQ(Centre(button), QColor(200, 50, 50));
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&button, &leave);
    EXPECT_FALSE(button.IsHovering());
    EXPECT_EQ(Centre(button), QColor(124, 150, 188));

    // Every fill off: only the caption over the parent's background.
    button.SetBkColor(0, 0);
    button.SetFocusColor(0, 0);
    button.setFocus();
    ASSERT_TRUE(WaitUntil([&] { return button.IsFocused(); }));
    EXPECT_EQ(Centre(button), kParentBack);
}

TEST_F(GdiButtonTest, CaptionColoursAndFonts) {
    CKroGdiBtn button(&parent);
    button.MoveWindow(10, 10, 80, 30);
    button.show();
    button.SetTextColor(RGB(153, 153, 153));
    button.setEnabled(false);
    EXPECT_EQ(button.CaptionColor(), QColor(153, 153, 153));  // no disabled brush yet
    button.SetDisabledTextColor(200, 0, 0);
    EXPECT_EQ(button.CaptionColor(), QColor(200, 0, 0));
    button.setEnabled(true);
    button.SetTextColors(RGB(1, 2, 3), RGB(4, 5, 6));
    button.setFocus();
    ASSERT_TRUE(WaitUntil([&] { return button.IsFocused(); }));
    // Without a second font the focused brush is not used.
    EXPECT_EQ(button.CaptionColor(), QColor(1, 2, 3));

    button.SetFont(14, 16);
    EXPECT_EQ(button.CaptionColor(), QColor(4, 5, 6));
    EXPECT_EQ(button.OwnFont().pixelSize(), 14);
    EXPECT_FALSE(button.OwnFont().underline());
    button.SetUnderline(1);
    EXPECT_FALSE(button.OwnFont().underline());  // only at the next font change
    button.SetFontSize(13);
    EXPECT_TRUE(button.OwnFont().underline());
    EXPECT_EQ(button.CaptionFont().pixelSize(), 13);
}

TEST_F(GdiButtonTest, SameTextCausesNoRedrawAndClicksReachTheParent) {
    CKroGdiBtn button(&parent);
    button.SetDlgCtrlID(1230);
    button.MoveWindow(10, 10, 80, 30);
    button.show();
    button.SetWindowTextRefresh(QStringLiteral("0/100"));
    QApplication::processEvents();
    Painted counter;
    button.installEventFilter(&counter);
    button.SetWindowTextRefresh(QStringLiteral("0/100"));
    QApplication::processEvents();
    EXPECT_EQ(counter.paints, 0);
    button.SetWindowTextRefresh(QStringLiteral("5/100"));
    ASSERT_TRUE(WaitUntil([&] { return counter.paints > 0; }));

    QTest::mouseClick(&button, Qt::LeftButton);
    const auto commands = parent.Of(WM_COMMAND);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(LOWORD(commands[0].wParam), 1230);
    EXPECT_EQ(HIWORD(commands[0].wParam), BN_CLICKED);
}

TEST_F(GdiButtonTest, ImageButtonPlacementBackgroundAndAlternate) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString normalPath = dir.filePath(QStringLiteral("normal.png"));
    const QString alternatePath = dir.filePath(QStringLiteral("alternate.png"));
    QImage normal(40, 40, QImage::Format_ARGB32);
    normal.fill(QColor(0, 160, 0));
    ASSERT_TRUE(normal.save(normalPath));
    QImage alternate(40, 40, QImage::Format_ARGB32);
    alternate.fill(QColor(160, 0, 160));
    ASSERT_TRUE(alternate.save(alternatePath));

    CKroGdiBtnImage button(&parent);
    button.MoveWindow(10, 10, 60, 30);
    button.show();
    button.SetImageFiles(normalPath, alternatePath, 1, 0);
    EXPECT_EQ(button.ImageRect(), QRect(20, 5, 20, 20));
    const QImage shot = parent.grab().toImage();
    EXPECT_EQ(shot.pixelColor(10 + 30, 10 + 15), QColor(0, 160, 0));
    // Background on with colour 0 draws none.
    EXPECT_EQ(shot.pixelColor(10 + 5, 10 + 15), kParentBack);

    button.SetBkColor(1, RGB(0, 0, 200));
    EXPECT_EQ(parent.grab().toImage().pixelColor(10 + 5, 10 + 15), QColor(0, 0, 200));
    button.SetUseAlternate(true);
    EXPECT_TRUE(button.IsUseAlternate());
    EXPECT_EQ(parent.grab().toImage().pixelColor(10 + 30, 10 + 15), QColor(160, 0, 160));

    // Larger than the button: stretched over it.
    button.SetHalfSize(false);
    button.MoveWindow(10, 10, 30, 30);
    EXPECT_EQ(button.ImageRect(), QRect(0, 0, 30, 30));

    button.ReleaseImage();
    EXPECT_EQ(button.NormalImage(), nullptr);
    EXPECT_NE(button.AlternateImage(), nullptr);
    button.SetImageFiles(dir.filePath(QStringLiteral("missing.png")), QString(), 0, 0);
    EXPECT_EQ(button.NormalImage(), nullptr);
}

TEST_F(GdiButtonTest, TabBarAndMark) {
    CYavTabButtonGDI tab(&parent);
    tab.MoveWindow(10, 10, 100, 30);
    tab.SetWindowText(QStringLiteral("Members"));
    tab.show();
    tab.SetMark();
    EXPECT_TRUE(tab.IsMarked());
    tab.Select();
    EXPECT_FALSE(tab.IsMarked());
    tab.SetMark();
    EXPECT_FALSE(tab.IsMarked());  // a selected tab takes no mark
    const QImage shot = parent.grab().toImage();
    EXPECT_EQ(shot.pixelColor(10 + 50, 10 + 29), QColor(57, 138, 241));
    EXPECT_EQ(shot.pixelColor(10 + 50, 10 + 27), kParentBack);
    EXPECT_EQ(shot.pixelColor(10 + 20, 10 + 29), kParentBack);
    tab.Unselect();
    EXPECT_EQ(parent.grab().toImage().pixelColor(10 + 50, 10 + 29), kParentBack);
}

TEST_F(GdiButtonTest, Grab) {
    controls_test::LoadProgramSkin();  // the tab's attention dot is skin image 860
    parent.resize(330, 90);
    CKroGdiBtn plain(&parent);
    plain.MoveWindow(10, 10, 90, 30);
    plain.SetBkColor(1, RGB(124, 150, 188));
    plain.SetTextColor(RGB(255, 255, 255));
    plain.SetWindowText(QStringLiteral("Call"));
    CKroGdiBtn focused(&parent);
    focused.MoveWindow(110, 10, 90, 30);
    focused.SetWindowText(QStringLiteral("Focused"));
    CKroGdiBtn counter(&parent);
    counter.MoveWindow(210, 10, 110, 30);
    counter.SetBkColor(0, 0);
    counter.SetFocusColor(0, 0);
    counter.SetTextColor(RGB(153, 153, 153));
    counter.SetWindowText(QStringLiteral("0/100"));
    CYavTabButtonGDI chat(&parent);
    chat.MoveWindow(10, 50, 90, 30);
    chat.SetWindowText(QStringLiteral("Chat"));
    chat.SetTextColor(RGB(51, 51, 51));
    chat.Select();
    CYavTabButtonGDI members(&parent);
    members.MoveWindow(110, 50, 90, 30);
    members.SetWindowText(QStringLiteral("Members"));
    members.SetTextColor(RGB(51, 51, 51));
    members.SetMark();
    const QImage dot = controls_test::RoundShape(60, QColor(0, 120, 255), 26);
    const QString path = QDir::temp().filePath(QStringLiteral("yav_gdi_button_dot.png"));
    dot.save(path);
    CKroGdiBtnImage image(&parent);
    image.MoveWindow(210, 50, 40, 30);
    image.SetImageFiles(path, QString(), 1, RGB(230, 230, 230));
    for (QWidget* w :
         std::initializer_list<QWidget*>{&plain, &focused, &counter, &chat, &members, &image}) {
        w->show();
    }
    focused.setFocus();
    ASSERT_TRUE(WaitUntil([&] { return focused.IsFocused(); }));
    const QImage shot = parent.grab().toImage();
    controls_test::SaveGrab(parent, QStringLiteral("gdi_buttons"));
    QFile::remove(path);
    ASSERT_EQ(shot.size(), QSize(330, 90));
    // Bodies (beside the captions): the own colour, the focus fill, none.
    EXPECT_EQ(shot.pixelColor(10 + 4, 10 + 15), QColor(124, 150, 188));
    EXPECT_EQ(shot.pixelColor(110 + 4, 10 + 15), QColor(191, 217, 255));
    EXPECT_EQ(shot.pixelColor(210 + 4, 10 + 15), kParentBack);
    // The chosen tab's bar along its foot; the other tab has none.
    EXPECT_EQ(shot.pixelColor(10 + 45, 50 + 29), QColor(57, 138, 241));
    EXPECT_EQ(shot.pixelColor(110 + 45, 50 + 29), kParentBack);
    // The image button: the picture in its rectangle on the own background.
    EXPECT_EQ(shot.pixelColor(image.geometry().topLeft() + image.ImageRect().center()),
              QColor(0, 120, 255));
    EXPECT_EQ(shot.pixelColor(210 + 1, 50 + 15), QColor(230, 230, 230));
}

}  // namespace
