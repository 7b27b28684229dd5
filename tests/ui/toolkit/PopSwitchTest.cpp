// The item pop-up: rows, separators and check marks in the composed picture, the width
// measure after a burst of changes, choices to the owner and to the page tabs, removal, timed
// hiding, and a grab for review.

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

#include "CDlgPopSwitch.h"

#include <QDir>
#include <QFontMetricsF>
#include <QPainter>
#include <QPointer>
#include "ToolkitTestSupport.h"
#include "UiFonts.h"
#include "client/Common/MessageIds.h"
#include "fakes/ui/FakeUiMainFrame.h"
#include "fakes/ui/RecordingWindow.h"
#include "platform/window/testing/WindowTesting.h"

namespace {

using toolkit_test::ScaleGuard;
using yav::fakes::FakeUiMainFrame;
using yav::fakes::RecordingWindow;
using yav::testing::TimerDriver;

constexpr UINT kPanelImage = 700;

class PopSwitchTest : public ::testing::Test {
protected:
    void SetUp() override {
        owner_.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
        owner_.MoveWindow(0, 0, 400, 300);
        popup_ = std::make_unique<CDlgPopSwitch>(&owner_);
        popup_->SetBackgroundImage(kPanelImage, 0);
        popup_->m_nBkImageId = kPanelImage;
        ASSERT_TRUE(popup_->Create(CDlgPopSwitch::IDD, &owner_));
        popup_->SetOwner(&owner_);
    }
    // Sizes the pop-up as the control bar does: (count - 1) x 38 + 45 high.
    void Fill(int count, bool check = false) {
        for (int i = 0; i < count; ++i) {
            const QString text = QString::fromUtf8("选项 %1").arg(i + 1);
            if (check) {
                popup_->AddCheckButton(100 + static_cast<DWORD>(i), text, i == 0 ? 1 : 0, 1);
            } else {
                popup_->AddButton(100 + static_cast<DWORD>(i), text);
            }
        }
        popup_->UpdateLayout();
        popup_->MoveWindow(20, 20, static_cast<int>(popup_->m_fItemWidth),
                           yav::Scaled((count - 1) * 38 + 45));
    }
    // Posted notifications arrive once the event loop has run.
    void Flush() {
        RecordingWindow marker;
        marker.PostMessage(WM_USER, 0, 0);
        ASSERT_TRUE(yav::testing::WaitUntil([&] { return !marker.received.empty(); }));
    }

    RecordingWindow owner_;
    std::unique_ptr<CDlgPopSwitch> popup_;
};

TEST_F(PopSwitchTest, RowsAtScaleOneAndOneAndAHalf) {
    struct Case {
        double scale;
        int mode;
        QRect second;  // geometry of row 1
    };
    const Case cases[] = {
        {1.0, -1, QRect(14, 49, 109 - 13 - 14, 20)},
        {1.0, 3, QRect(30, 49, 109 - 13 - 30, 20)},
        {1.5, -1, QRect(21, 73, 163 - 19 - 21, 30)},
        {1.5, 3, QRect(45, 73, 163 - 19 - 45, 30)},
    };
    for (const Case& c : cases) {
        ScaleGuard scale(c.scale);
        CDlgPopSwitch popup(&owner_);
        ASSERT_TRUE(popup.Create(CDlgPopSwitch::IDD, &owner_));
        popup.SetNotifyMode(c.mode);
        EXPECT_FLOAT_EQ(popup.m_fItemWidth, static_cast<float>(109 * c.scale));
        popup.AddButton(1, QStringLiteral("a"));
        popup.AddButton(2, QStringLiteral("b"));
        popup.MoveWindow(0, 0, static_cast<int>(popup.m_fItemWidth), 120);
        popup.UpdateLayout();
        EXPECT_EQ(popup.GetButtonCount(), 2);
        EXPECT_EQ(popup.GetButton(2)->geometry(), c.second) << c.scale << " mode " << c.mode;
        EXPECT_EQ(popup.GetButton(1)->geometry().top(), yav::Scaled(11));
    }
}

TEST_F(PopSwitchTest, BurstOfChangesIsMeasuredOnceAfterTheLast) {
    for (DWORD i = 0; i < 20; ++i) {
        popup_->AddCheckButton(i, QStringLiteral("page"), 0, 1);
        if (i % 3 == 0) {
            popup_->RemoveButton(i);
        }
    }
    popup_->AddCheckButton(99, QString::fromUtf8("一个名字很长的共享文档第三页.pptx"), 0, 1);
    ASSERT_TRUE(popup_->IsTimerSet(CDlgPopSwitch::kMeasureTimer));
    EXPECT_EQ(popup_->GetTimerElapse(CDlgPopSwitch::kMeasureTimer), 100);
    const float before = popup_->m_fItemWidth;
    EXPECT_TRUE(TimerDriver::Fire(*popup_, CDlgPopSwitch::kMeasureTimer));
    EXPECT_FALSE(popup_->IsTimerSet(CDlgPopSwitch::kMeasureTimer)) << "measured once";
    EXPECT_GT(popup_->m_fItemWidth, before) << "the long name widens the pop-up";
}

TEST_F(PopSwitchTest, ShortTextsKeepTheDefaultWidth) {
    popup_->AddCheckButton(1, QStringLiteral("a"), 0, 1);
    TimerDriver::Fire(*popup_, CDlgPopSwitch::kMeasureTimer);
    EXPECT_FLOAT_EQ(popup_->m_fItemWidth, 109.0f);
}

TEST_F(PopSwitchTest, MeasuredWidthLetsEveryTextFitItsRowAtScaleOneAndAHalf) {
    ScaleGuard scale(1.5);
    // The pop-up measures in the UI face at 12 design pixels.
    QFont measure = g_fontUI;
    measure.setPixelSize(yav::Scaled(12));
    const QString texts[] = {QStringLiteral("a"), QString::fromUtf8("共享文档第三页"),
                             QString::fromUtf8("一个名字很长的共享文档第三页.pptx")};
    for (const QString& text : texts) {
        CDlgPopSwitch popup(&owner_);
        ASSERT_TRUE(popup.Create(CDlgPopSwitch::IDD, &owner_));
        popup.AddCheckButton(1, text, 0, 1);
        TimerDriver::Fire(popup, CDlgPopSwitch::kMeasureTimer);
        EXPECT_GE(popup.m_fItemWidth, static_cast<float>(109 * 1.5)) << "never below the default";
        popup.MoveWindow(0, 0, static_cast<int>(popup.m_fItemWidth), yav::Scaled(45));
        popup.UpdateLayout();
        EXPECT_GE(popup.GetButton(1)->width(),
                  static_cast<int>(QFontMetricsF(measure).horizontalAdvance(text)))
            << text.toStdString();
    }
}

TEST_F(PopSwitchTest, TwoRowsStretchTheBackgroundMoreRowsAddSeparators) {
    // Separator rows in the composed picture: grey, half transparent, across the middle.
    const auto separatorAt = [this](int y) {
        const QColor pixel = popup_->GetComposition().pixelColor(54, y);
        return pixel.red() < 253;
    };
    Fill(1);
    EXPECT_FALSE(separatorAt(39));
    popup_->RemoveAllButtons();
    Fill(2);
    EXPECT_TRUE(separatorAt(39));
    EXPECT_FALSE(separatorAt(77));
    popup_->RemoveAllButtons();
    Fill(4);
    EXPECT_TRUE(separatorAt(39));
    EXPECT_TRUE(separatorAt(77));
    EXPECT_TRUE(separatorAt(115));
    EXPECT_FALSE(separatorAt(153));
}

TEST_F(PopSwitchTest, HoverRedrawsOnlyThatItemAndNeverDarkensTheSeparators) {
    Fill(3);
    const QImage before = popup_->GetComposition().copy();
    CButtonCheck* item = popup_->GetButton(101);
    item->m_bHover = 1;
    popup_->SendMessage(WM_BUTTONCHECK_HOVER, CDlgPopSwitch::kPlainItemId, 101);
    const QImage hovered = popup_->GetComposition().copy();
    EXPECT_NE(hovered, before) << "hot text colour";
    EXPECT_EQ(hovered.pixelColor(54, 39), before.pixelColor(54, 39));
    item->m_bHover = 0;
    popup_->SendMessage(WM_BUTTONCHECK_HOVER, CDlgPopSwitch::kPlainItemId, 101);
    EXPECT_EQ(popup_->GetComposition(), before) << "back to the same picture";
}

TEST_F(PopSwitchTest, HoverChangesNothingWithTimedHide) {
    Fill(2);
    popup_->SetTimedHide(1);
    const QImage before = popup_->GetComposition().copy();
    popup_->GetButton(100)->m_bHover = 1;
    popup_->SendMessage(WM_BUTTONCHECK_HOVER, CDlgPopSwitch::kPlainItemId, 100);
    EXPECT_EQ(popup_->GetComposition(), before);
}

TEST_F(PopSwitchTest, CheckMarkInModeMinusOneHotTextInModeFour) {
    Fill(2, true);
    const QImage withMark = popup_->GetComposition().copy();
    // The check mark stands at x = 5 in the first row.
    bool markDrawn = false;
    for (int x = 5; x < 25; ++x) {
        markDrawn |= withMark.pixelColor(x, 20).red() < 200;
    }
    EXPECT_TRUE(markDrawn);
    popup_->SetNotifyMode(4);
    popup_->UpdateLayered(1, 100);
    bool markInModeFour = false;
    for (int x = 5; x < 13; ++x) {
        markInModeFour |= popup_->GetComposition().pixelColor(x, 20).red() < 200;
    }
    EXPECT_FALSE(markInModeFour);
}

TEST_F(PopSwitchTest, PlainChoiceGoesToTheOwnerAndHidesThePopup) {
    struct Case {
        int mode;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    const Case cases[] = {
        {3, WM_COMMAND, 0x8011, 0},
        {-1, WM_POPSWITCH_SELECT, static_cast<WPARAM>(-1), 0x18011},
        {7, WM_POPSWITCH_SELECT, 7, 0x18011},
    };
    for (const Case& c : cases) {
        owner_.received.clear();
        popup_->SetNotifyMode(c.mode);
        popup_->AddButton(0x18011, QStringLiteral("x"));
        popup_->ShowPopup(SW_SHOW);
        popup_->SendMessage(WM_BUTTONCHECK_CLICK, CDlgPopSwitch::kPlainItemId, 0x18011);
        EXPECT_FALSE(popup_->isVisible());
        Flush();
        const auto messages = owner_.Of(c.message);
        ASSERT_EQ(messages.size(), 1u) << c.mode;
        EXPECT_EQ(messages[0].wParam, c.wParam);
        EXPECT_EQ(messages[0].lParam, c.lParam);
        popup_->RemoveAllButtons();
    }
}

TEST_F(PopSwitchTest, ParticipantListOwnersKeepThePopupOpen) {
    FakeUiMainFrame frame;
    frame.userListChildren.insert(&owner_);
    popup_->AddButton(5, QStringLiteral("x"));
    popup_->ShowPopup(SW_SHOW);
    popup_->SendMessage(WM_BUTTONCHECK_CLICK, CDlgPopSwitch::kPlainItemId, 5);
    EXPECT_TRUE(popup_->isVisible());
}

TEST_F(PopSwitchTest, PageChoiceActivatesThePageAndHidesTheParentInModeMinusOne) {
    for (int mode : {-1, 4}) {
        FakeUiMainFrame frame;
        owner_.ShowWindow(SW_SHOW);
        popup_->SetNotifyMode(mode);
        popup_->AddCheckButton(42, QStringLiteral("page 42"), 0, 1);
        popup_->ShowPopup(SW_SHOW);
        popup_->SendMessage(WM_BUTTONCHECK_CLICK, CDlgPopSwitch::kCheckItemId, 42);
        const auto activations = frame.docPageTab.Of(WM_PAGEBTN_INFO);
        ASSERT_EQ(activations.size(), 1u);
        EXPECT_EQ(activations[0].wParam, 1u);
        EXPECT_EQ(activations[0].lParam, 42);
        EXPECT_FALSE(popup_->isVisible());
        EXPECT_EQ(owner_.isVisible(), mode != -1) << mode;
        popup_->RemoveAllButtons();
    }
}

TEST_F(PopSwitchTest, RemovingUnknownValueChangesNothingKnownValueIsDeletedLater) {
    popup_->AddButton(1, QStringLiteral("a"));
    popup_->AddButton(2, QStringLiteral("b"));
    popup_->RemoveButton(77);
    EXPECT_EQ(popup_->GetItems().size(), 2u);
    EXPECT_FALSE(popup_->IsTimerSet(CDlgPopSwitch::kDeleteRemovedTimer));

    QPointer<CButtonCheck> removed = popup_->GetButton(1);
    popup_->RemoveButton(1);
    EXPECT_FALSE(popup_->HasButton(1));
    EXPECT_EQ(popup_->GetItems().size(), 1u);
    ASSERT_NE(removed, nullptr) << "kept for a second";
    EXPECT_FALSE(removed->isVisible());
    EXPECT_EQ(popup_->GetTimerElapse(CDlgPopSwitch::kDeleteRemovedTimer), 1000);
    TimerDriver::Fire(*popup_, CDlgPopSwitch::kDeleteRemovedTimer);
    EXPECT_EQ(removed, nullptr);
    EXPECT_EQ(popup_->GetRemovedCount(), 0u);
}

TEST_F(PopSwitchTest, TimedHideClosesAfterNineteenHundredMilliseconds) {
    popup_->SetTimedHide(1);
    Fill(2);
    popup_->ShowPopup(SW_SHOW);
    EXPECT_EQ(popup_->GetTimerElapse(CDlgPopSwitch::kTimedHideTimer), 1900);
    TimerDriver::Fire(*popup_, CDlgPopSwitch::kTimedHideTimer);
    EXPECT_FALSE(popup_->isVisible());
}

TEST_F(PopSwitchTest, ButtonOperationsReachTheItemOfTheValue) {
    popup_->AddButton(1, QStringLiteral("a"));
    popup_->AddButton(2, QStringLiteral("b"));
    popup_->SetButtonText(2, QStringLiteral("bee"));
    popup_->SetButtonCheck(2, 1);
    popup_->EnableButton(1, 0);
    EXPECT_EQ(popup_->GetButton(2)->GetWindowText(), QStringLiteral("bee"));
    EXPECT_EQ(popup_->GetButton(2)->GetCheck(), 1);
    EXPECT_FALSE(popup_->GetButton(1)->isEnabled());
    popup_->EnableAllButtons(0);
    EXPECT_FALSE(popup_->GetButton(2)->isEnabled());
    EXPECT_EQ(popup_->GetButton(1)->GetDlgCtrlID(), CDlgPopSwitch::kPlainItemId);
}

TEST_F(PopSwitchTest, GrabOfTheItemPopup) {
    popup_->SetNotifyMode(-1);
    popup_->AddCheckButton(1, QString::fromUtf8("主会场"), 1, 0);
    popup_->AddCheckButton(2, QString::fromUtf8("共享文档.pptx"), 0, 0);
    popup_->AddCheckButton(3, QString::fromUtf8("白板 1"), 0, 0);
    popup_->AddCheckButton(4, QString::fromUtf8("桌面共享"), 0, 0);
    popup_->EnableButton(4, 0);
    popup_->UpdateLayout();
    TimerDriver::Fire(*popup_, CDlgPopSwitch::kMeasureTimer);
    popup_->MoveWindow(20, 20, static_cast<int>(popup_->m_fItemWidth), 3 * 38 + 45);
    const QImage idle = popup_->GetComposition().copy();
    popup_->GetButton(2)->m_bHover = 1;
    popup_->SendMessage(WM_BUTTONCHECK_HOVER, CDlgPopSwitch::kCheckItemId, 2);
    // Review picture: the pop-up over a grey desk, as it stands over the room window.
    QImage desk(popup_->size() + QSize(40, 40), QImage::Format_ARGB32);
    desk.fill(QColor(90, 96, 106));
    {
        QPainter painter(&desk);
        painter.drawPixmap(20, 20, popup_->grab());
    }
    const QString dir = qEnvironmentVariable("YAV_TEST_OUTPUT_DIR");
    if (!dir.isEmpty() && QDir().mkpath(dir)) {
        EXPECT_TRUE(desk.save(QDir(dir).filePath(QStringLiteral("popswitch_items.png"))));
    }

    ASSERT_EQ(desk.size(), QSize(static_cast<int>(popup_->m_fItemWidth), 3 * 38 + 45) +
                               QSize(40, 40));
    // The chosen item's check mark at the start of the first row; none in the third.
    const auto darkIn = [&](int row) {
        bool dark = false;
        for (int x = 5; x < 25; ++x) {
            dark |= desk.pixelColor(20 + x, 20 + 20 + row * 38).red() < 200;
        }
        return dark;
    };
    EXPECT_TRUE(darkIn(0));
    EXPECT_FALSE(darkIn(2));
    // A separator between every two rows, over the pop-up's own background.
    for (int y : {39, 77, 115}) {
        EXPECT_NE(desk.pixelColor(20 + 54, 20 + y), desk.pixelColor(20 + 54, 20 + y - 4)) << y;
    }
    // Only the hovered second row changed with the hover.
    const QImage hovered = popup_->GetComposition();
    const auto row = [](const QImage& image, int index) {
        return image.copy(0, index * 38 + 2, image.width(), 34);
    };
    EXPECT_NE(row(hovered, 1), row(idle, 1));
    for (int index : {0, 2, 3}) {
        EXPECT_EQ(row(hovered, index), row(idle, index)) << index;
    }
}

}  // namespace
