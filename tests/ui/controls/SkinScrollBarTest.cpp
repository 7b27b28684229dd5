// The skinned scroll bar: notifications for presses, auto-repeat and thumb drags; and the
// wrapper that puts skinned bars on a scrolling view.

#include <QListWidget>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include "ControlTestSupport.h"
#include "client/ui/CSkinScrollBar.h"
#include "client/ui/CSkinScrollWnd.h"
#include "platform/core/Scale.h"
#include "platform/window/testing/WindowTesting.h"

namespace {

using controls_test::Message;
using controls_test::RecordingParent;
using yav::testing::TimerDriver;
using yav::testing::WaitUntil;

// The skin's own scroll-bar bitmap when the module is there, else the synthetic one.
QPixmap ProgramScrollSkin() {
    if (controls_test::LoadProgramSkin()) {
        const QPixmap skin = LoadSkinBitmap(96);
        if (!skin.isNull()) {
            return skin;
        }
    }
    return controls_test::MakeScrollSkin();
}

SkinScrollInfo Info(int nMin, int nMax, int nPage, int nPos) {
    SkinScrollInfo info;
    info.nMin = nMin;
    info.nMax = nMax;
    info.nPage = nPage;
    info.nPos = nPos;
    return info;
}

// The middle pixel of a cell of a 15-pixel skin bitmap (column, row as the bitmap lays them
// out: row 0 normal, 1 hover, 2 pressed).
QColor CellColor(const QPixmap& skin, int column, int row) {
    return skin.toImage().pixelColor(column * 15 + 7, row * 15 + 7);
}

// A vertical bar 15 x 200 in a parent that scrolls it the way a list owner would.
class ScrollBarTest : public ::testing::Test {
protected:
    void SetUp() override {
        parent.resize(100, 240);
        bar = new CSkinScrollBar(&parent, SBS_VERT);
        bar->SetDlgCtrlID(1335);
        bar->SetBitmap(controls_test::MakeScrollSkin());
        bar->MoveWindow(10, 10, 15, 200);
        bar->SetScrollInfo(Info(0, 99, 10, 0));
        parent.answer = [this](const Message& m) -> LRESULT {
            if (m.message != WM_VSCROLL) {
                return 0;
            }
            SkinScrollInfo info;
            bar->GetScrollInfo(&info);
            switch (LOWORD(m.wParam)) {
                case SB_LINEUP:
                    bar->SetScrollPos(info.nPos - 1);
                    break;
                case SB_LINEDOWN:
                    bar->SetScrollPos(info.nPos + 1);
                    break;
                case SB_PAGEUP:
                    bar->SetScrollPos(info.nPos - info.nPage);
                    break;
                case SB_PAGEDOWN:
                    bar->SetScrollPos(info.nPos + info.nPage);
                    break;
                case SB_THUMBPOSITION:
                    bar->SetScrollPos(HIWORD(m.wParam));
                    break;
                default:
                    break;
            }
            return 0;
        };
        parent.show();
    }

    std::vector<int> Codes() const {
        std::vector<int> codes;
        for (const Message& m : parent.Of(WM_VSCROLL)) {
            codes.push_back(LOWORD(m.wParam));
        }
        return codes;
    }

    RecordingParent parent;
    CSkinScrollBar* bar = nullptr;
};

TEST_F(ScrollBarTest, BitmapMakesTheBarOneCellThick) {
    EXPECT_EQ(bar->width(), 15);
    bar->SetBitmap(controls_test::MakeScrollSkin(30));
    EXPECT_EQ(bar->width(), 30);
    EXPECT_EQ(bar->height(), 200);
}

TEST_F(ScrollBarTest, ArrowPressSendsOnceThenRepeatsAfterTheDelay) {
    bar->SetScrollPos(50);
    bar->OnLButtonDown(QPoint(5, 5));
    EXPECT_EQ(Codes(), std::vector<int>{SB_LINEUP});
    const Message& sent = parent.messages.front();
    EXPECT_EQ(sent.lParam, reinterpret_cast<LPARAM>(static_cast<QWidget*>(bar)));
    EXPECT_EQ(bar->GetTimerElapse(CSkinScrollBar::kDelayTimer), 500);
    EXPECT_FALSE(bar->IsTimerSet(CSkinScrollBar::kRepeatTimer));

    ASSERT_TRUE(TimerDriver::Fire(*bar, CSkinScrollBar::kDelayTimer));
    EXPECT_FALSE(bar->IsTimerSet(CSkinScrollBar::kDelayTimer));
    EXPECT_EQ(bar->GetTimerElapse(CSkinScrollBar::kRepeatTimer), 100);
    EXPECT_EQ(Codes().size(), 2u);
    TimerDriver::Fire(*bar, CSkinScrollBar::kRepeatTimer);
    EXPECT_EQ(Codes().size(), 3u);
    EXPECT_EQ(bar->GetScrollPos(), 47);

    bar->OnLButtonUp(QPoint(5, 5));
    EXPECT_FALSE(bar->IsTimerSet(CSkinScrollBar::kRepeatTimer));
    EXPECT_EQ(bar->GetPressedPart(), kScrollPartNone);
}

TEST_F(ScrollBarTest, FirstArrowRepeatStopsAtTheMinimum) {
    bar->SetScrollPos(3);
    bar->OnLButtonDown(QPoint(5, 5));
    TimerDriver::Fire(*bar, CSkinScrollBar::kDelayTimer);
    const int ticks = TimerDriver::FireWhileSet(*bar, CSkinScrollBar::kRepeatTimer, 50);
    EXPECT_LT(ticks, 50);
    EXPECT_EQ(bar->GetScrollPos(), 0);
    EXPECT_FALSE(bar->IsTimerSet(CSkinScrollBar::kRepeatTimer));
}

TEST_F(ScrollBarTest, SecondArrowRepeatRunsUntilPositionIsTheMaximumItself) {
    // With a page of 10 the position stops at 90 but the repeat waits for nMax (99).
    bar->SetScrollPos(88);
    bar->OnLButtonDown(QPoint(5, 195));
    TimerDriver::Fire(*bar, CSkinScrollBar::kDelayTimer);
    EXPECT_EQ(TimerDriver::FireWhileSet(*bar, CSkinScrollBar::kRepeatTimer, 20), 20);
    EXPECT_EQ(bar->GetScrollPos(), 90);
    bar->OnLButtonUp(QPoint(5, 195));

    // With a page of 1 the position reaches nMax and the repeat ends there.
    bar->SetScrollInfo(Info(0, 99, 1, 97));
    bar->OnLButtonDown(QPoint(5, 195));
    TimerDriver::Fire(*bar, CSkinScrollBar::kDelayTimer);
    EXPECT_LT(TimerDriver::FireWhileSet(*bar, CSkinScrollBar::kRepeatTimer, 20), 20);
    EXPECT_EQ(bar->GetScrollPos(), 99);
}

TEST_F(ScrollBarTest, PageRepeatStopsWhenTheThumbReachesTheCursor) {
    const QPoint press(5, 150);  // below the thumb at the top
    bar->OnLButtonDown(press);
    EXPECT_EQ(Codes(), std::vector<int>{SB_PAGEDOWN});
    TimerDriver::Fire(*bar, CSkinScrollBar::kDelayTimer);
    TimerDriver::FireWhileSet(*bar, CSkinScrollBar::kRepeatTimer, 50);
    EXPECT_FALSE(bar->IsTimerSet(CSkinScrollBar::kRepeatTimer));
    const SkinScrollLayout layout = bar->GetLayout();
    EXPECT_TRUE(layout.Part(SB_THUMBTRACK).Contains(press.y()) || bar->GetScrollPos() == 90);
    EXPECT_GT(bar->GetScrollPos(), 0);
}

TEST_F(ScrollBarTest, NoRepeatWhileTheMouseIsOutsideThePressedArrow) {
    bar->SetScrollPos(50);
    bar->OnLButtonDown(QPoint(5, 5));
    bar->OnMouseMove(QPoint(5, 100));
    TimerDriver::Fire(*bar, CSkinScrollBar::kDelayTimer);
    TimerDriver::Fire(*bar, CSkinScrollBar::kRepeatTimer);
    EXPECT_EQ(Codes().size(), 1u);
    EXPECT_TRUE(bar->IsTimerSet(CSkinScrollBar::kRepeatTimer));
    bar->OnMouseMove(QPoint(5, 5));
    TimerDriver::Fire(*bar, CSkinScrollBar::kRepeatTimer);
    EXPECT_EQ(Codes().size(), 2u);
}

TEST_F(ScrollBarTest, ReleaseBeforeTheFirstRepeatStopsTheDelay) {
    bar->SetScrollPos(50);
    bar->OnLButtonDown(QPoint(5, 5));
    bar->OnLButtonUp(QPoint(5, 5));
    EXPECT_FALSE(bar->IsTimerSet(CSkinScrollBar::kDelayTimer));
    EXPECT_FALSE(TimerDriver::Fire(*bar, CSkinScrollBar::kDelayTimer));
    EXPECT_EQ(Codes().size(), 1u);
}

TEST_F(ScrollBarTest, ThumbDragTracksClampsAndEndsWithPositionAndEnd) {
    // Thumb: [15, 32) at position 0; 153 free pixels for 90 positions.
    bar->OnLButtonDown(QPoint(5, 20));
    EXPECT_TRUE(bar->IsDragging());
    EXPECT_TRUE(Codes().empty());
    bar->OnMouseMove(QPoint(5, 37));  // 17 px -> 10 positions
    ASSERT_EQ(Codes(), std::vector<int>{SB_THUMBTRACK});
    EXPECT_EQ(HIWORD(parent.messages.back().wParam), 10);
    bar->OnMouseMove(QPoint(5, 900));
    EXPECT_EQ(HIWORD(parent.messages.back().wParam), 90);
    const std::size_t before = parent.messages.size();
    bar->OnMouseMove(QPoint(5, 950));  // still clamped: nothing new
    EXPECT_EQ(parent.messages.size(), before);
    SkinScrollInfo info;
    bar->GetScrollInfo(&info);
    EXPECT_EQ(info.nTrackPos, 90);

    bar->OnLButtonUp(QPoint(5, 950));
    const std::vector<int> codes = Codes();
    ASSERT_EQ(codes.size(), 4u);
    EXPECT_EQ(codes[2], SB_THUMBPOSITION);
    EXPECT_EQ(codes[3], SB_ENDSCROLL);
    EXPECT_EQ(bar->GetScrollPos(), 90);
    bar->GetScrollInfo(&info);
    EXPECT_EQ(info.nTrackPos, -1);
    EXPECT_FALSE(bar->IsDragging());
}

TEST_F(ScrollBarTest, DoubleClickDoesNothing) {
    bar->SetScrollPos(50);
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QTest::mouseDClick(bar, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    // The first click of the pair scrolls once; the double click adds nothing.
    EXPECT_EQ(Codes(), std::vector<int>{SB_LINEUP});
    EXPECT_EQ(bar->GetScrollPos(), 49);
}

TEST_F(ScrollBarTest, RealMouseEventsReachTheBar) {
    bar->SetScrollPos(50);
    QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, QPoint(5, 195));
    QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier, QPoint(5, 195));
    EXPECT_EQ(Codes(), std::vector<int>{SB_LINEDOWN});
    EXPECT_EQ(bar->GetScrollPos(), 51);
}

TEST_F(ScrollBarTest, HoverFollowsTheMouseAndLeaveClearsIt) {
    bar->OnMouseMove(QPoint(5, 195));
    EXPECT_EQ(bar->GetHoverPart(), SB_LINEDOWN);
    bar->OnMouseMove(QPoint(5, 20));
    EXPECT_EQ(bar->GetHoverPart(), SB_THUMBTRACK);
    bar->OnMouseLeave();
    EXPECT_EQ(bar->GetHoverPart(), kScrollPartNone);
}

TEST_F(ScrollBarTest, EmptyRangesAndTinyBarsAreSafe) {
    bar->SetScrollInfo(Info(0, -1, 0, 0));
    bar->OnLButtonDown(QPoint(5, 100));
    bar->OnMouseMove(QPoint(5, 150));
    bar->OnLButtonUp(QPoint(5, 150));
    bar->MoveWindow(10, 10, 15, 3);
    bar->OnLButtonDown(QPoint(5, 1));
    bar->OnLButtonUp(QPoint(5, 1));
    bar->MoveWindow(10, 10, 15, 0);
    bar->OnLButtonDown(QPoint(5, 0));
    bar->OnLButtonUp(QPoint(5, 0));
    (void)bar->grab();
    SUCCEED();
}

TEST(SkinScrollWnd, WrapsAViewAndFollowsIt) {
    RecordingParent parent;
    parent.resize(300, 300);
    auto* list = new QListWidget(&parent);
    yav::SetControlId(list, 1080);
    list->setGeometry(20, 30, 200, 150);
    for (int i = 0; i < 60; ++i) {
        list->addItem(
            QStringLiteral("Participant %1 with a rather long name to scroll sideways").arg(i));
    }
    parent.show();

    CSkinScrollWnd* wrapper = SkinWndScroll(list, ProgramScrollSkin());
    ASSERT_NE(wrapper, nullptr);
    EXPECT_EQ(SkinWndScroll(list, controls_test::MakeScrollSkin()), wrapper);
    EXPECT_EQ(yav::FindControl(&parent, 1080), wrapper);
    EXPECT_EQ(wrapper->geometry(), QRect(20, 30, 200, 150));
    EXPECT_EQ(list->parentWidget(), &wrapper->LimitWnd());
    EXPECT_EQ(list->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QApplication::processEvents();

    CSkinScrollBar& vert = wrapper->VertBar();
    ASSERT_TRUE(WaitUntil([&] { return vert.isVisible(); }));
    EXPECT_EQ(wrapper->GetBarWidth(), 15);
    EXPECT_EQ(vert.width(), 15);
    EXPECT_EQ(wrapper->GetCornerState(), wrapper->HorzBar().isVisible()
                                             ? CSkinScrollWnd::kCornerRight
                                             : CSkinScrollWnd::kCornerNone);

    QScrollBar* own = list->verticalScrollBar();
    SkinScrollInfo info;
    vert.GetScrollInfo(&info);
    EXPECT_EQ(info.nMin, own->minimum());
    EXPECT_EQ(info.nPage, own->pageStep());
    EXPECT_EQ(info.nMax, own->maximum() + own->pageStep() - 1);

    own->setValue(7);
    vert.GetScrollInfo(&info);
    EXPECT_EQ(info.nPos, 7);

    // Working the skinned bar scrolls the view.
    vert.OnLButtonDown(QPoint(5, vert.height() - 2));
    vert.OnLButtonUp(QPoint(5, vert.height() - 2));
    EXPECT_EQ(own->value(), 8);
    const SkinScrollLayout layout = vert.GetLayout();
    const int thumbMiddle = layout.arrow + layout.offset + layout.thumb / 2;
    vert.OnLButtonDown(QPoint(5, thumbMiddle));
    vert.OnMouseMove(QPoint(5, thumbMiddle + 40));
    EXPECT_GT(own->value(), 8);
    vert.OnLButtonUp(QPoint(5, thumbMiddle + 40));
    vert.GetScrollInfo(&info);
    EXPECT_EQ(info.nPos, own->value());

    EXPECT_TRUE(MoveSkinWndScroll(list, 10, 10, 250, 200));
    EXPECT_EQ(wrapper->geometry(), QRect(10, 10, 250, 200));
    EXPECT_TRUE(ShowSkinWndScroll(list, SW_HIDE));
    EXPECT_FALSE(wrapper->isVisible());
    ShowSkinWndScroll(list, SW_SHOW);

    QApplication::processEvents();
    // The skinned bar stands at the view's right edge: its arrows are the skin's, not Qt's.
    const QImage shot = parent.grab().toImage();
    controls_test::SaveGrab(parent, QStringLiteral("scrollbars_wrapped_list"));
    const QPoint upArrow = vert.mapTo(&parent, QPoint(7, 7));
    EXPECT_EQ(upArrow.x(), 10 + 250 - 15 + 7 - wrapper->contentsMargins().right());
    EXPECT_EQ(shot.pixelColor(upArrow), CellColor(ProgramScrollSkin(), 0, 0));

    EXPECT_TRUE(UnskinWndScroll(list));
    EXPECT_EQ(list->parentWidget(), &parent);
    EXPECT_EQ(list->geometry(), QRect(10, 10, 250, 200));
    EXPECT_EQ(list->verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
    EXPECT_EQ(CSkinScrollWnd::FromTarget(list), nullptr);
    EXPECT_EQ(yav::FindControl(&parent, 1080), list);
    EXPECT_TRUE(UnskinWndScroll(list));  // not wrapped: nothing to do
}

TEST(SkinScrollWnd, BarsAreFifteenDesignPixelsAtAnyScale) {
    const double saved = g_fExchangePW;
    g_fExchangePW = 1.5;
    RecordingParent parent;
    parent.resize(300, 300);
    auto* list = new QListWidget(&parent);
    list->setGeometry(0, 0, 200, 150);
    for (int i = 0; i < 60; ++i) {
        list->addItem(QStringLiteral("Row %1").arg(i));
    }
    parent.show();
    // A double-size bitmap (30-pixel cells) draws the same 15 design pixels.
    CSkinScrollWnd* wrapper = SkinWndScroll(list, controls_test::MakeScrollSkin(30));
    ASSERT_NE(wrapper, nullptr);
    EXPECT_EQ(wrapper->GetBarWidth(), 22);
    EXPECT_EQ(wrapper->VertBar().GetLayout().arrow, 22);
    // The view's border moved to the wrapper; the clip window is what is left beside the bar.
    EXPECT_EQ(wrapper->LimitWnd().width(), wrapper->contentsRect().width() - 22);
    EXPECT_EQ(list->width(), wrapper->LimitWnd().width());
    UnskinWndScroll(list);
    g_fExchangePW = saved;
}

TEST(SkinScrollWnd, DestroyingTheTargetRemovesTheWrapper) {
    RecordingParent parent;
    auto* list = new QListWidget(&parent);
    QPointer<CSkinScrollWnd> wrapper = SkinWndScroll(list, controls_test::MakeScrollSkin());
    ASSERT_NE(wrapper, nullptr);
    delete list;
    EXPECT_TRUE(WaitUntil([&] {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return wrapper.isNull();
    }));
}

TEST(SkinScrollWnd, MemberTargetSurvivesItsParentsEnd) {
    // A view that is a member of its dialog dies before the dialog's children do.
    struct Dialog : RecordingParent {
        QListWidget list{this};
    };
    auto dialog = std::make_unique<Dialog>();
    ASSERT_NE(SkinWndScroll(&dialog->list, controls_test::MakeScrollSkin()), nullptr);
    dialog.reset();
    SUCCEED();
}

TEST(SkinScrollWnd, OnlyScrollingViewsCanBeWrapped) {
    RecordingParent parent;
    QWidget plain(&parent);
    EXPECT_EQ(SkinWndScroll(&plain, controls_test::MakeScrollSkin()), nullptr);
    EXPECT_EQ(SkinWndScroll(nullptr, controls_test::MakeScrollSkin()), nullptr);
    EXPECT_FALSE(ShowSkinWndScroll(&plain, SW_SHOW));
    EXPECT_FALSE(MoveSkinWndScroll(&plain, 0, 0, 1, 1));
}

TEST(SkinScrollBarGrab, ProgramSkin) {
    RecordingParent parent;
    parent.resize(240, 230);
    parent.setAutoFillBackground(true);
    parent.setPalette(QPalette(Qt::white));
    CSkinScrollBar vert(&parent, SBS_VERT);
    vert.SetBitmap(ProgramScrollSkin());
    vert.MoveWindow(10, 10, 15, 200);
    vert.SetScrollInfo(Info(0, 99, 20, 40));
    CSkinScrollBar horz(&parent, SBS_HORZ);
    horz.SetBitmap(ProgramScrollSkin());
    horz.MoveWindow(40, 10, 190, 15);
    horz.SetScrollInfo(Info(0, 99, 30, 10));
    parent.show();
    horz.OnMouseMove(QPoint(5, 5));  // first arrow in its hover row
    const QImage shot = parent.grab().toImage();
    controls_test::SaveGrab(parent, QStringLiteral("scrollbars_program_skin"));
    ASSERT_EQ(shot.size(), QSize(240, 230));
    const QPixmap skin = ProgramScrollSkin();
    // Vertical: its two arrows, the track before the thumb and the thumb where the layout
    // puts it, each from its own cell of the normal row.
    const SkinScrollLayout v = vert.GetLayout();
    ASSERT_GT(v.thumb, 0);
    EXPECT_EQ(shot.pixelColor(10 + 7, 10 + 7), CellColor(skin, 0, 0));
    EXPECT_EQ(shot.pixelColor(10 + 7, 10 + 200 - 8), CellColor(skin, 1, 0));
    EXPECT_EQ(shot.pixelColor(10 + 7, 10 + v.arrow + v.offset / 2), CellColor(skin, 3, 0));
    EXPECT_EQ(shot.pixelColor(10 + 7, 10 + v.arrow + v.offset + v.thumb / 2),
              CellColor(skin, 2, 0));
    // Horizontal: the hovered first arrow from the hover row, the second from the normal one.
    EXPECT_EQ(shot.pixelColor(40 + 7, 10 + 7), CellColor(skin, 4, 1));
    EXPECT_EQ(shot.pixelColor(40 + 190 - 8, 10 + 7), CellColor(skin, 5, 0));
    EXPECT_NE(CellColor(skin, 4, 1), CellColor(skin, 4, 0)) << "hover looks like normal";
}

TEST(SkinScrollBarGrab, BothOrientations) {
    RecordingParent parent;
    parent.resize(260, 230);
    parent.setAutoFillBackground(true);
    CSkinScrollBar vert(&parent, SBS_VERT);
    vert.SetBitmap(controls_test::MakeScrollSkin());
    vert.MoveWindow(10, 10, 15, 200);
    vert.SetScrollInfo(Info(0, 99, 20, 40));
    CSkinScrollBar horz(&parent, SBS_HORZ);
    horz.SetBitmap(controls_test::MakeScrollSkin());
    horz.MoveWindow(40, 10, 200, 15);
    horz.SetScrollInfo(Info(0, 9, 10, 0));  // fits: thumb of no length in the middle
    CSkinScrollBar pressed(&parent, SBS_HORZ);
    pressed.SetBitmap(controls_test::MakeScrollSkin());
    pressed.MoveWindow(40, 40, 200, 15);
    pressed.SetScrollInfo(Info(0, 99, 10, 90));
    parent.show();
    pressed.OnLButtonDown(QPoint(5, 5));  // first arrow drawn pressed
    EXPECT_EQ(pressed.grab().toImage().pixelColor(5, 5),
              controls_test::MakeScrollSkin().toImage().pixelColor(4 * 15 + 5, 2 * 15 + 5));
    controls_test::SaveGrab(parent, QStringLiteral("scrollbars"));
    pressed.OnLButtonUp(QPoint(5, 5));
}

}  // namespace
