// The sliding tip: where it stands, holding, shrinking, a new text during the hold, and the
// bit helpers of its module.

#include <gtest/gtest.h>

#include "CMsgTipsDlg.h"
#include "CMsgTipsHolder.h"
#include "ToolkitTestSupport.h"
#include "fakes/ui/FakeUiMainFrame.h"
#include "platform/window/testing/WindowTesting.h"

namespace {

using toolkit_test::ScaleGuard;
using yav::fakes::FakeUiMainFrame;
using yav::testing::TimerDriver;

class MsgTipsTest : public ::testing::Test {
protected:
    // Ticks the grow timer until the tip holds.
    void GrowToHold(CMsgTipsDlg* tip) {
        TimerDriver::FireWhileSet(*tip, CMsgTipsDlg::kGrowTimer, 20);
        ASSERT_EQ(tip->GetState(), CMsgTipsDlg::kHolding);
    }

    FakeUiMainFrame frame_;
    CMsgTipsHolder holder_;
};

TEST_F(MsgTipsTest, NothingWhileDisconnectedOrForAnEmptyText) {
    frame_.connectionLost = true;
    holder_.ShowTip(QStringLiteral("Zhang San joined"));
    EXPECT_EQ(holder_.GetTip(), nullptr);
    frame_.connectionLost = false;
    holder_.ShowTip(QString());
    EXPECT_EQ(holder_.GetTip(), nullptr);
}

TEST_F(MsgTipsTest, StandsAboveTheLowerLeftCornerOfTheRoomWindow) {
    for (double scale : {1.0, 1.5}) {
        ScaleGuard guard(scale);
        CMsgTipsHolder holder;
        holder.ShowTip(QStringLiteral("Zhang San joined"));
        CMsgTipsDlg* tip = holder.GetTip();
        ASSERT_NE(tip, nullptr);
        const QRect room = frame_.mainWindow.GetWindowRect();  // (100, 50) 1024 x 600
        const QRect expected(room.left() + yav::Scaled(16),
                             room.top() + room.height() - yav::Scaled(44 + 16 + 52),
                             yav::Scaled(200), yav::Scaled(52));
        EXPECT_EQ(tip->GetTipRect(), expected) << scale;
        EXPECT_EQ(tip->geometry(), expected) << scale;
        EXPECT_EQ(tip->GetLabel().geometry(), yav::ScaledRect(16, 0, 168, 52));
        EXPECT_EQ(tip->GetLabel().GetWindowText(), QStringLiteral("Zhang San joined"));
        EXPECT_TRUE(tip->isVisible());
        EXPECT_EQ(tip->parentWidget(), &frame_.mainWindow);
        // The animation runs at a visible pace, not at the shortest timer period.
        EXPECT_EQ(tip->GetTimerElapse(CMsgTipsDlg::kGrowTimer), 15);
        holder.CloseTip();
    }
}

TEST_F(MsgTipsTest, FirstTickHoldsForTwoSecondsThenShrinksAway) {
    holder_.ShowTip(QStringLiteral("Li Si left"));
    QPointer<CMsgTipsDlg> tip = holder_.GetTip();
    ASSERT_TRUE(TimerDriver::Fire(*tip, CMsgTipsDlg::kGrowTimer));
    EXPECT_EQ(tip->GetState(), CMsgTipsDlg::kHolding) << "created at full width";
    EXPECT_FALSE(tip->IsTimerSet(CMsgTipsDlg::kGrowTimer));
    EXPECT_EQ(tip->GetTimerElapse(CMsgTipsDlg::kHoldTimer), 2000);
    ASSERT_TRUE(TimerDriver::Fire(*tip, CMsgTipsDlg::kHoldTimer));
    EXPECT_EQ(tip->GetTimerElapse(CMsgTipsDlg::kShrinkTimer), 15);
    std::vector<int> widths;
    while (tip != nullptr && TimerDriver::Fire(*tip, CMsgTipsDlg::kShrinkTimer)) {
        if (holder_.GetTip() == nullptr) {
            break;
        }
        widths.push_back(tip->GetTipRect().width());
    }
    EXPECT_EQ(widths, (std::vector<int>{140, 80, 20, 0}));
    EXPECT_EQ(holder_.GetTip(), nullptr) << "the holder forgot the tip";
    ASSERT_TRUE(yav::testing::WaitUntil([&] { return tip == nullptr; })) << "deleted later";
}

TEST_F(MsgTipsTest, SecondTextDuringTheHoldShrinksAndGrowsAgain) {
    holder_.ShowTip(QStringLiteral("first"));
    CMsgTipsDlg* tip = holder_.GetTip();
    GrowToHold(tip);
    holder_.ShowTip(QStringLiteral("second"));
    EXPECT_EQ(holder_.GetTip(), tip) << "the same tip";
    EXPECT_EQ(tip->GetLabel().GetWindowText(), QStringLiteral("second"));
    EXPECT_TRUE(tip->IsRestartPending());
    EXPECT_FALSE(tip->IsTimerSet(CMsgTipsDlg::kHoldTimer));
    ASSERT_TRUE(tip->IsTimerSet(CMsgTipsDlg::kShrinkTimer));
    TimerDriver::FireWhileSet(*tip, CMsgTipsDlg::kShrinkTimer, 20);
    EXPECT_EQ(tip->GetState(), CMsgTipsDlg::kIdle);
    EXPECT_EQ(holder_.GetTip(), tip) << "not destroyed: it grows again";
    ASSERT_TRUE(tip->IsTimerSet(CMsgTipsDlg::kGrowTimer));
    std::vector<int> widths;
    while (TimerDriver::Fire(*tip, CMsgTipsDlg::kGrowTimer)) {
        if (tip->GetState() == CMsgTipsDlg::kGrowing) {
            widths.push_back(tip->GetTipRect().width());
        }
    }
    EXPECT_EQ(widths, (std::vector<int>{60, 120, 180, 200}));
    EXPECT_EQ(tip->GetState(), CMsgTipsDlg::kHolding);
    EXPECT_EQ(tip->GetTimerElapse(CMsgTipsDlg::kHoldTimer), 2000);
    EXPECT_FALSE(tip->IsRestartPending());
}

TEST_F(MsgTipsTest, SecondTextWhileGrowingOnlyChangesTheText) {
    holder_.ShowTip(QStringLiteral("first"));
    CMsgTipsDlg* tip = holder_.GetTip();
    GrowToHold(tip);
    tip->SetText(QStringLiteral("second"));
    TimerDriver::FireWhileSet(*tip, CMsgTipsDlg::kShrinkTimer, 20);
    TimerDriver::Fire(*tip, CMsgTipsDlg::kGrowTimer);
    ASSERT_EQ(tip->GetState(), CMsgTipsDlg::kGrowing);
    holder_.ShowTip(QStringLiteral("third"));
    EXPECT_EQ(tip->GetLabel().GetWindowText(), QStringLiteral("third"));
    EXPECT_FALSE(tip->IsRestartPending());
    EXPECT_TRUE(tip->IsTimerSet(CMsgTipsDlg::kGrowTimer));
}

TEST_F(MsgTipsTest, CloseTipEndsTheCurrentTip) {
    holder_.ShowTip(QStringLiteral("x"));
    QPointer<CMsgTipsDlg> tip = holder_.GetTip();
    holder_.CloseTip();
    EXPECT_EQ(holder_.GetTip(), nullptr);
    ASSERT_TRUE(yav::testing::WaitUntil([&] { return tip == nullptr; }));
    holder_.CloseTip();  // nothing left: harmless
}

TEST(MsgTipsBits, TestAndSetOneBitOfAByte) {
    struct Case {
        BYTE mask;
        int n;
        BOOL set;
    };
    const Case cases[] = {{0x80, 7, 1},  {0x7F, 7, 0}, {0xFF, 8, 0}, {0xFF, 32, 0},
                          {0xFF, -1, 0}, {0x01, 0, 1}, {0x08, 3, 1}};
    for (const Case& c : cases) {
        EXPECT_EQ(IsBitSet(c.mask, c.n), c.set) << int(c.mask) << " bit " << c.n;
    }
    BYTE mask = 0xFF;
    SetBit(&mask, 3, 0);
    EXPECT_EQ(mask, 0xF7);
    SetBit(&mask, 3, 1);
    EXPECT_EQ(mask, 0xFF);
    mask = 0;
    SetBit(&mask, 8, 1);
    SetBit(&mask, 40, 1);
    EXPECT_EQ(mask, 0);
    SetBit(&mask, 0, 5);
    EXPECT_EQ(mask, 1);
}

}  // namespace
