// The image button: placement (grown or exact), image choice by state, background fill,
// caption rectangle, hover, tooltip and click notifications.

#include <QApplication>
#include <QEnterEvent>
#include <QMouseEvent>

#include <memory>

#include <gtest/gtest.h>

#include "CYavPngButton.h"
#include "ConfigManger.h"
#include "ToolkitTestSupport.h"
#include "client/Common/MessageIds.h"
#include "fakes/ui/RecordingWindow.h"
#include "platform/window/testing/WindowTesting.h"

namespace {

using toolkit_test::ScaleGuard;
using yav::fakes::RecordingWindow;

void Enter(QWidget* widget) {
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), widget->mapToGlobal(QPointF(2, 2)));
    QApplication::sendEvent(widget, &enter);
}

void Leave(QWidget* widget) {
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(widget, &leave);
}

TEST(PngButtonPlacement, MostButtonsGrowByFiveOnEverySideTitleBarButtonsDoNot) {
    struct Case {
        double scale;
        int id;
        QRect expected;
    };
    const Case cases[] = {
        {1.0, IDOK, QRect(140, 101, 70, 34)},
        {1.5, IDOK, QRect(210, 152, 105, 51)},  // 145*1.5-7, 106*1.5-7, 60*1.5+14, 24*1.5+14
        {1.0, 1035, QRect(145, 106, 60, 24)},
        {1.0, 1043, QRect(145, 106, 60, 24)},
        {1.5, 1305, QRect(217, 159, 90, 36)},
    };
    for (const Case& c : cases) {
        ScaleGuard scale(c.scale);
        RecordingWindow parent;
        CYavPngButton button(&parent);
        button.SetDlgCtrlID(c.id);
        button.MoveWindow(yav::Scaled(145), yav::Scaled(106), yav::Scaled(60), yav::Scaled(24));
        EXPECT_EQ(button.geometry(), c.expected) << c.id << " at " << c.scale;
        EXPECT_EQ(button.IsGrown() != 0, c.id == IDOK);
    }
}

TEST(PngButtonPlacement, RectangleMoveNeverGrowsAndGrownButtonsDrawInside) {
    RecordingWindow parent;
    CYavPngButton button(&parent);
    button.SetDlgCtrlID(1029);
    button.MoveWindow(QRect(10, 10, 16, 15));
    EXPECT_EQ(button.geometry(), QRect(10, 10, 16, 15));
    EXPECT_FALSE(button.IsGrown());
    button.MoveWindow(276, 9, 16, 15);
    EXPECT_EQ(button.geometry(), QRect(271, 4, 26, 25));
    button.grab();  // one paint sets the draw rectangle
    EXPECT_EQ(button.GetDrawRect(), QRect(5, 5, 16, 15));
}

TEST(PngButtonImages, StateChoosesTheImage) {
    QImage normal(4, 4, QImage::Format_ARGB32), pressed = normal, hover = normal, disabled = normal,
                                                checkedNormal = normal, checkedPressed = normal,
                                                checkedHover = normal, checkedDisabled = normal;
    struct Case {
        const char* name;
        bool checked;
        bool enabled;
        bool down;
        bool hovering;
        bool withOptional;  // hover, disabled and checked-disabled images present
        QImage* expected;
    };
    const Case cases[] = {
        {"normal", false, true, false, false, true, &normal},
        {"hover", false, true, false, true, true, &hover},
        {"hover without hover image", false, true, false, true, false, &normal},
        {"pressed", false, true, true, false, true, &pressed},
        {"checked", true, true, false, false, true, &checkedNormal},
        {"checked hover", true, true, false, true, true, &checkedHover},
        {"checked pressed", true, true, true, false, true, &checkedPressed},
        {"disabled", false, false, false, false, true, &disabled},
        {"disabled without image", false, false, false, false, false, &normal},
        {"checked disabled", true, false, false, false, true, &checkedDisabled},
        {"checked disabled without image", true, false, false, false, false, &normal},
    };
    for (const Case& c : cases) {
        RecordingWindow parent;
        CYavPngButton button(&parent);
        button.SetImages(&normal, &pressed, c.withOptional ? &hover : nullptr,
                         c.withOptional ? &disabled : nullptr, &checkedNormal, &checkedPressed,
                         &checkedHover);
        button.SetCheckedDisabledImage(c.withOptional ? &checkedDisabled : nullptr);
        button.SetState(c.checked ? 1 : 0);
        button.EnableWindow(c.enabled);
        button.setDown(c.down);
        if (c.hovering) {
            Enter(&button);
        }
        EXPECT_EQ(button.ChoosePaint().image, c.expected) << c.name;
    }
}

TEST(PngButtonImages, OnlyANormalImageShowsNothingWhenPressed) {
    QImage normal(4, 4, QImage::Format_ARGB32);
    RecordingWindow parent;
    CYavPngButton button(&parent);
    button.SetImages(&normal, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    button.setDown(true);
    EXPECT_EQ(button.ChoosePaint().image, nullptr);
    button.setDown(false);
    button.EnableWindow(0);
    EXPECT_EQ(button.ChoosePaint().image, &normal);
}

TEST(PngButtonImages, DisabledCheckedUsesTheCheckedDisabledImageOnlyWithACheckedPressedOne) {
    QImage normal(4, 4, QImage::Format_ARGB32), disabled = normal, checkedDisabled = normal,
                                                checkedPressed = normal;
    RecordingWindow parent;
    CYavPngButton button(&parent);
    button.SetImages(&normal, nullptr, nullptr, &disabled, nullptr, nullptr, nullptr);
    button.SetCheckedDisabledImage(&checkedDisabled);
    button.SetState(1);
    button.EnableWindow(0);
    EXPECT_EQ(button.ChoosePaint().image, &disabled);
    button.SetImages(&normal, nullptr, nullptr, &disabled, nullptr, &checkedPressed, nullptr);
    EXPECT_EQ(button.ChoosePaint().image, &checkedDisabled) << "SetImages keeps it";
}

TEST(PngButtonImages, LoadImagesTakesTheLargerVariantAboveScaleOnePointOne) {
    ScaleGuard scale(1.5);
    RecordingWindow parent;
    CYavPngButton button(&parent);
    button.LoadImages(178, 0, 176, 0, 0, 0, 0);
    QImage* normal = button.ChoosePaint().image;
    ASSERT_NE(normal, nullptr);
    EXPECT_EQ(normal, g_ConfigManager.LoadPNG(179));
    EXPECT_EQ(normal->width(), 2 * g_ConfigManager.LoadPNG(178)->width());
    button.LoadImages(0, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(button.ChoosePaint().image, normal) << "id 0 keeps the image";
}

class PngButtonFill : public ::testing::Test {
protected:
    // The button over a parent painted pure green; what does the paint leave there?
    QImage Paint(int id, COLORREF background, bool grown) {
        parent_ = std::make_unique<QWidget>();
        parent_->setAutoFillBackground(true);
        QPalette palette;
        palette.setColor(QPalette::Window, Qt::green);
        parent_->setPalette(palette);
        parent_->resize(100, 60);
        auto* button = new CYavPngButton(parent_.get());
        button->SetDlgCtrlID(id);
        button->SetBkColor(background);
        if (grown) {
            button->MoveWindow(15, 15, 30, 20);
        } else {
            button->MoveWindow(QRect(10, 10, 40, 30));
        }
        return parent_->grab(QRect(10, 10, 40, 30)).toImage();
    }
    std::unique_ptr<QWidget> parent_;
};

TEST_F(PngButtonFill, NoBackgroundColourLeavesTheParentVisible) {
    const QImage image = Paint(IDOK, CYavPngButton::kNoBackground, false);
    EXPECT_EQ(image.pixelColor(20, 15), QColor(Qt::green));
}

TEST_F(PngButtonFill, BackgroundColourFillsTheWholeButtonOrOnlyTheInnerPartWhenGrown) {
    QImage image = Paint(IDOK, RGB(255, 0, 0), false);
    EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(39, 29), QColor(Qt::red));
    image = Paint(IDOK, RGB(255, 0, 0), true);
    EXPECT_EQ(image.pixelColor(2, 2), QColor(Qt::green)) << "the grown margin stays clear";
    EXPECT_EQ(image.pixelColor(20, 15), QColor(Qt::red));
}

TEST_F(PngButtonFill, ButtonTwelveFortyFourFillsFullyTransparent) {
    const QImage image = Paint(1244, RGB(255, 0, 0), false);
    EXPECT_EQ(image.pixelColor(20, 15), QColor(Qt::green));
}

TEST(PngButtonCaption, CaptionRectangleFollowsOffsetsAndFixedRectangle) {
    struct Case {
        double scale;
        bool fixed;
        QRect expected;
    };
    const Case cases[] = {
        // Left and top move, right and bottom stay.
        {1.0, false, QRect(QPoint(8, 3), QPoint(59, 23))},
        {1.0, true, QRect(QPoint(10 + 4 + 8, 2 + 1), QPoint(59, 21))},
        {1.5, false, QRect(QPoint(12, 4), QPoint(59, 23))},
        {1.5, true, QRect(QPoint(10 + 18, 2 + 1), QPoint(59, 21))},
    };
    for (const Case& c : cases) {
        ScaleGuard scale(c.scale);
        RecordingWindow parent;
        CYavPngButton button(&parent);
        button.SetDlgCtrlID(1035);  // exact size: draw rectangle = client rectangle
        button.MoveWindow(0, 0, 60, 24);
        if (c.fixed) {
            button.SetTextRect(QRect(10, 2, 50, 20));
            button.SetTextPos(4, 3);  // the offset y does not apply to a fixed rectangle
        } else {
            button.SetTextPos(8, 3);
        }
        button.grab();
        EXPECT_EQ(button.GetCaptionRect(), c.expected) << c.scale << " fixed " << c.fixed;
        EXPECT_TRUE(button.GetShowText());
    }
}

TEST(PngButtonNotify, ClickIsACommandToTheParent) {
    RecordingWindow parent;
    CYavPngButton button(&parent);
    button.SetDlgCtrlID(1029);
    button.click();
    const auto commands = parent.Of(WM_COMMAND);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(LOWORD(commands[0].wParam), 1029);
    EXPECT_EQ(HIWORD(commands[0].wParam), BN_CLICKED);
}

TEST(PngButtonNotify, HoverRestingNotifiesTheParentLeavingEndsHover) {
    RecordingWindow parent;
    parent.resize(100, 100);
    CYavPngButton button(&parent);
    button.SetDlgCtrlID(1251);
    button.MoveWindow(QRect(10, 10, 30, 30));
    button.SetHoverNotify(1);
    parent.show();
    Enter(&button);
    EXPECT_TRUE(button.IsHovering());
    ASSERT_TRUE(yav::testing::WaitUntil([&] { return !parent.Of(WM_SKINBTN_HOVER).empty(); }));
    EXPECT_EQ(parent.Of(WM_SKINBTN_HOVER)[0].wParam, 1251u);
    EXPECT_EQ(parent.Of(WM_SKINBTN_HOVER)[0].lParam, 0);
    Leave(&button);
    EXPECT_FALSE(button.IsHovering());
}

TEST(PngButtonNotify, TooltipStandsRightOfTheButtonWhileHoveringAndGoesOnLeave) {
    RecordingWindow parent;
    parent.MoveWindow(200, 100, 200, 100);
    CYavPngButton button(&parent);
    button.SetDlgCtrlID(1035);
    button.MoveWindow(10, 20, 30, 30);
    parent.show();
    button.SetTooltip(QString::fromUtf8("全屏"), 1);
    EXPECT_EQ(button.GetTooltipText(), QString::fromUtf8("全屏"));
    EXPECT_EQ(button.GetTooltipFlag(), 1);
    Enter(&button);
    button.grab();  // the paint in the hovering state shows the tip
    const QRect screen = button.ClientToScreen(button.GetClientRect());
    ASSERT_TRUE(button.GetTooltip().IsShown());
    EXPECT_EQ(button.GetTooltip().GetLeft().GetWindowRect().topLeft(),
              QPoint(screen.left() + screen.width(), screen.top() - 5));
    EXPECT_EQ(button.GetTooltip().GetMiddle().GetText(), QString::fromUtf8("全屏"));
    Leave(&button);
    EXPECT_TRUE(button.GetTooltip().GetMiddle().GetText().isEmpty());
    EXPECT_EQ(button.GetTooltip().GetMiddle().GetWindowRect().width(), 0);
}

}  // namespace
