// The layered pop-up base: composition and alpha, hiding after losing the activation, the
// attached window, keys, and clearing a child's area from the background sample.

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include "CYavDialogEx.h"
#include "ConfigManger.h"
#include "platform/window/testing/WindowTesting.h"

namespace {

using yav::testing::ModalAnswer;
using yav::testing::TimerDriver;
using yav::testing::WaitUntil;

constexpr UINT kPanelImage = 700;

class TestPopup : public CYavDialogEx {
public:
    explicit TestPopup(QWidget* parent = nullptr) : CYavDialogEx(194, parent) {
        m_nBkImageId = kPanelImage;
    }
    void RedrawButtons(BOOL all) override {
        ++redraws;
        lastAll = all;
    }
    void LayoutControls() override { ++layouts; }
    int redraws = 0;
    int layouts = 0;
    BOOL lastAll = -1;
    using CYavDialogEx::BlendAlphaFor;
};

TEST(PopupBase, AlphaOutsideZeroToHundredIsHundredWhichGives254) {
    struct Case {
        int percent;
        int alpha;
    };
    for (const Case& c : {Case{100, 254}, Case{255, 254}, Case{-1, 254}, Case{101, 254},
                          Case{50, 127}, Case{0, 0}}) {
        EXPECT_EQ(TestPopup::BlendAlphaFor(c.percent), c.alpha) << c.percent;
    }
}

TEST(PopupBase, InitialisationSizesTenByTenAndComposesOnResize) {
    QWidget owner;
    TestPopup popup;
    ASSERT_TRUE(popup.Create(194, &owner));
    EXPECT_EQ(popup.size(), QSize(10, 10));
    EXPECT_EQ(popup.GetBackgroundImage(), g_ConfigManager.LoadPNG(kPanelImage));
    popup.redraws = 0;
    popup.layouts = 0;
    popup.MoveWindow(0, 0, 120, 90);
    EXPECT_EQ(popup.layouts, 1);
    EXPECT_EQ(popup.redraws, 1);
    EXPECT_EQ(popup.lastAll, 1) << "a new size composes everything";
    const QImage& picture = popup.GetComposition();
    ASSERT_EQ(picture.size(), QSize(120, 90));
    // The panel image (white body) stretched over the whole window.
    EXPECT_EQ(picture.pixelColor(60, 45), QColor(Qt::white));
    EXPECT_EQ(popup.GetLayeredPicture().size(), QSize(120, 90));
    EXPECT_EQ(popup.GetLayeredAlpha(), 254);

    popup.UpdateLayered(0, 40);
    EXPECT_EQ(popup.lastAll, 0);
    EXPECT_EQ(popup.GetLayeredAlpha(), 101);
}

TEST(PopupBase, DrawBackgroundClearsTheOldPictureAndClearsTheFlag) {
    QWidget owner;
    TestPopup popup;
    ASSERT_TRUE(popup.Create(194, &owner));
    popup.MoveWindow(0, 0, 120, 90);
    QWidget child(&popup);
    child.setGeometry(20, 20, 30, 20);
    QImage red(4, 4, QImage::Format_ARGB32);
    red.fill(Qt::red);
    BYTE flag = 1;
    popup.DrawBackground(&child, &red, &flag, 1);
    EXPECT_EQ(flag, 0);
    EXPECT_EQ(popup.GetComposition().pixelColor(35, 30), QColor(Qt::red));
    flag = 1;
    popup.DrawBackground(&child, nullptr, &flag, 0);
    EXPECT_EQ(popup.GetComposition().pixelColor(35, 30), QColor(Qt::white))
        << "cleared with the background sample";
    EXPECT_EQ(popup.GetComposition().pixelColor(19, 19), QColor(Qt::white)) << "2 px larger";
}

class AutoHide : public ::testing::Test {
protected:
    void SetUp() override {
        owner_.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
        owner_.setGeometry(0, 0, 300, 200);
        other_.setGeometry(400, 0, 100, 100);
        popup_ = new TestPopup();
        popup_->SetAutoHide(1);
        ASSERT_TRUE(popup_->Create(194, &owner_));
        popup_->MoveWindow(10, 10, 100, 80);
        owner_.show();
        other_.show();
        popup_->ShowWindow(SW_SHOW);
        popup_->activateWindow();
        ASSERT_TRUE(WaitUntil([&] { return QApplication::activeWindow() == popup_; }));
    }
    void TearDown() override { delete popup_; }
    void Activate(QWidget* window) {
        window->activateWindow();
        ASSERT_TRUE(WaitUntil([&] { return QApplication::activeWindow() == window; }));
    }

    QWidget owner_;
    QWidget other_;
    TestPopup* popup_ = nullptr;
};

TEST_F(AutoHide, HidesAHundredMillisecondsAfterLosingTheActivation) {
    Activate(&other_);
    ASSERT_TRUE(popup_->IsTimerSet(CYavDialogEx::kAutoHideTimer));
    EXPECT_EQ(popup_->GetTimerElapse(CYavDialogEx::kAutoHideTimer), 100);
    EXPECT_TRUE(popup_->isVisible());
    ASSERT_TRUE(TimerDriver::Fire(*popup_, CYavDialogEx::kAutoHideTimer));
    EXPECT_FALSE(popup_->isVisible());
    EXPECT_FALSE(popup_->IsTimerSet(CYavDialogEx::kAutoHideTimer));
}

TEST_F(AutoHide, ActivatedAgainInTimeStaysOpen) {
    Activate(&other_);
    ASSERT_TRUE(popup_->IsTimerSet(CYavDialogEx::kAutoHideTimer));
    Activate(popup_);
    EXPECT_FALSE(popup_->IsTimerSet(CYavDialogEx::kAutoHideTimer));
    EXPECT_TRUE(popup_->isVisible());
}

TEST_F(AutoHide, KeepWithParentIgnoresTheOwnerOnly) {
    popup_->SetKeepWithParent(1);
    Activate(&owner_);
    EXPECT_FALSE(popup_->IsTimerSet(CYavDialogEx::kAutoHideTimer)) << "clicking the owner";
    Activate(popup_);
    Activate(&other_);
    EXPECT_TRUE(popup_->IsTimerSet(CYavDialogEx::kAutoHideTimer)) << "any other window";
}

TEST_F(AutoHide, DisarmedPopupDoesNotHide) {
    popup_->SetAutoHideArmed(0);
    Activate(&other_);
    EXPECT_FALSE(popup_->IsTimerSet(CYavDialogEx::kAutoHideTimer));
}

TEST(PopupBase, AttachedWindowShowsAndHidesWithThePopup) {
    QWidget owner;
    TestPopup popup;
    QWidget attached;
    ASSERT_TRUE(popup.Create(194, &owner));
    popup.SetAttached(&attached);
    EXPECT_EQ(popup.ShowWindow(SW_SHOW), 0);
    EXPECT_TRUE(attached.isVisible());
    EXPECT_EQ(popup.ShowWindow(SW_HIDE), 1);
    EXPECT_FALSE(popup.isVisible());
    EXPECT_FALSE(attached.isVisible());
}

TEST(PopupBase, EnterEscapeAndSpaceNeverClose) {
    TestPopup popup;
    ModalAnswer answer([](yav::Dialog& d) {
        QTest::keyClick(&d, Qt::Key_Return);
        QTest::keyClick(&d, Qt::Key_Escape);
        QTest::keyClick(&d, Qt::Key_Space);
        d.EndDialog(42);
    });
    EXPECT_EQ(popup.DoModal(), 42);
}

}  // namespace
