// Pictures of the room's video area at scale 1.0 and 1.5: every layout mode (the automatic
// modes at counts reaching each arrangement), the main-display modes, a floating window, the
// pager and the cycle dialogs. Real video windows get test-pattern pictures; each grab asserts
// that every window in use shows its picture at the place the geometry gives it.

#include <QApplication>
#include <QTest>
#include <QWindow>

#include <string>

#include "VideoTestSupport.h"
#include "client/dialogs/video/CDlgUserName.h"
#include "client/dialogs/video/CDlgVideoCycle.h"
#include "client/dialogs/video/CDlgVideoPageTab.h"
#include "client/dialogs/video/LayoutVideoWnd.h"
#include "client/media/ILayoutVideoWnd.h"
#include "client/media/VideoCycle.h"
#include "client/media/XLayoutManager.h"
#include "fakes/conference/FakeCsUserManager.h"

namespace video_test {
namespace {

// The colour of bar 4 of the test pattern's 8, and a point in its middle inside a rectangle.
const QColor kPatternMiddle = QColor::fromRgb(0xFFC000C0);
QPoint InBarFour(const QRect& rect) {
    return {rect.left() + rect.width() * 9 / 16, rect.top() + rect.height() / 2};
}

class LayoutGrab : public VideoFixture, public ::testing::WithParamInterface<double> {
protected:
    double Scale() const override { return GetParam(); }

    void SetUp() override {
        VideoFixture::SetUp();
        saved = g_AppSettings;
        mainWindow.resize(yav::Scaled(960), yav::Scaled(640));
        manager.CreateWindows(&mainWindow);
        manager.SetScreenRect(0, QRect(0, 0, yav::Scaled(200), yav::Scaled(640)));
        manager.SetScreenRect(1, QRect(yav::Scaled(200), 0, yav::Scaled(760), yav::Scaled(640)));
    }
    void TearDown() override {
        manager.DestroyWindows();
        g_AppSettings = saved;
        VideoFixture::TearDown();
    }

    QString Name(const std::string& what) const {
        return QStringLiteral("layout_%1_%2")
            .arg(QString::fromStdString(what))
            .arg(GetParam() == 1.0 ? "1_0" : "1_5");
    }

    // Fills `count` windows with channels of users "U1".. and their first pictures.
    void Fill(int count) {
        for (int i = 0; i < count; ++i) {
            const auto id = static_cast<std::uint16_t>(8 * (i + 10));
            host.names[id] = QStringLiteral("U%1").arg(i + 1);
            host.streams[id] = &stream;
            ASSERT_NE(manager.AddVideo(id, 0, record, synced), nullptr) << i;
            manager.SetVideoWndState(id, host.FormatChannelName(id), &stream);
            auto& window = dynamic_cast<CDlgVideo&>(*manager.FindVideoWnd(id)->GetWidget());
            yav::testing::TimerDriver::Fire(window, CDlgVideo::TIMER_CREATE_CHILDREN);
            FirstPicture(window, id, TestPattern(320, 180));
        }
    }

    // Grabs the room, saves it, and checks that each window in use shows its picture at its
    // computed rectangle.
    QImage GrabAndCheck(const std::string& what, int used) {
        QApplication::processEvents();
        const QImage picture = mainWindow.grab().toImage();
        EXPECT_EQ(picture.size(), mainWindow.size());
        controls_test::SaveGrab(mainWindow, Name(what));
        int showing = 0;
        for (int slot = 0; slot < XLayoutManager::kSlots; ++slot) {
            const QRect rect = manager.GetRect(slot);
            ILayoutVideoWnd* window = manager.GetLayoutWnd(slot);
            if (rect.isEmpty() || window->GetUserId() == 0) {
                continue;
            }
            ++showing;
            EXPECT_EQ(window->GetWidget()->geometry(), rect) << what << " slot " << slot;
            EXPECT_TRUE(Near(picture.pixelColor(InBarFour(rect)), kPatternMiddle, 24))
                << what << " slot " << slot;
        }
        EXPECT_EQ(showing, used) << what;
        return picture;
    }

    LayoutRecordBytes record{};
    LayoutRecordBytes synced{};
    // Without a room: nothing here asks it.
    XLayoutManager manager{nullptr, &record, &LayoutVideoWnd::Make};
    ST_APP_SETTINGS saved;
};

TEST_P(LayoutGrab, EveryLayoutMode) {
    struct Case {
        std::uint8_t mode;
        int count;
        bool sixOrSeven;
        int shown;
        int arrangement;
    };
    const Case cases[] = {
        {1, 1, false, 1, 0},    {2, 2, false, 2, 0}, {3, 4, false, 4, 0},    {4, 9, false, 9, 0},
        {5, 16, false, 16, 0},  {6, 1, false, 1, 1}, {6, 2, false, 2, 2},    {6, 3, false, 3, 3},
        {6, 4, false, 4, 4},    {6, 5, false, 5, 5}, {6, 8, false, 8, 8},    {7, 13, false, 13, 13},
        {8, 6, true, 6, 6},     {8, 7, true, 7, 7},  {8, 17, false, 17, 17}, {9, 22, false, 22, 22},
        {9, 33, false, 33, 33},
    };
    for (const Case& c : cases) {
        const std::string what = "mode" + std::to_string(c.mode) + "_" + std::to_string(c.count);
        SCOPED_TRACE(what);
        g_AppSettings.bSixOrSevenWinMode = c.sixOrSeven ? 1 : 0;
        manager.SetWinMode(0, c.mode, 2, 0);
        Fill(c.count);
        manager.Relayout(false);
        EXPECT_EQ(manager.GetLastLayout().autoArrangement, c.arrangement);
        GrabAndCheck(what, c.shown);
        for (int slot = XLayoutManager::kSlots - 1; slot >= 0; --slot) {
            if (const std::uint16_t id = manager.GetWndMediaId(slot); id != 0) {
                manager.DelVideo(id, record, false);
            }
        }
    }
}

TEST_P(LayoutGrab, EveryTileReceivingAVideoShowsItsParticipantsName) {
    manager.SetWinMode(0, 3, 2, 0);         // four windows
    manager.SetVideoNameColor(0x000080FF);  // orange: in no bar of the pattern
    Fill(4);
    manager.Relayout(false);
    const QImage picture = GrabAndCheck("captions", 4);
    for (int slot = 0; slot < XLayoutManager::kSlots; ++slot) {
        ILayoutVideoWnd* layout = manager.GetLayoutWnd(slot);
        if (layout == nullptr || layout->GetUserId() == 0) {
            continue;
        }
        SCOPED_TRACE(slot);
        auto& window = dynamic_cast<CDlgVideo&>(*layout->GetWidget());
        const CDlgUserName* caption = window.GetNameCaption();
        ASSERT_NE(caption, nullptr);
        EXPECT_TRUE(caption->isVisible());
        EXPECT_EQ(caption->GetText(), host.FormatChannelName(layout->GetUserId()));
        // Its orange letters over the tile's top-left corner.
        const QRect corner(manager.GetRect(slot).topLeft(),
                           QSize(yav::Scaled(170), yav::Scaled(45)));
        int orange = 0;
        for (int y = corner.top(); y <= corner.bottom(); ++y) {
            for (int x = corner.left(); x <= corner.right(); ++x) {
                const QColor c = picture.pixelColor(x, y);
                orange += c.red() > 200 && c.green() > 90 && c.green() < 170 && c.blue() < 60;
            }
        }
        EXPECT_GT(orange, 10);
    }
}

TEST_P(LayoutGrab, PictureInPictureWithOneWindowIsOneWindow) {
    manager.SetWinMode(0, 2, 2, 0);
    Fill(1);
    manager.Relayout(false);
    const QImage picture = GrabAndCheck("mode2_1", 1);
    const QRect area(yav::Scaled(200), 0, yav::Scaled(760), yav::Scaled(640));
    EXPECT_EQ(manager.GetLayoutWnd(0)->GetWidget()->geometry(), area);
    // No inset stands in the corner.
    EXPECT_FALSE(manager.GetLayoutWnd(1)->GetWidget()->isVisible());
}

TEST_P(LayoutGrab, MainDisplayModes) {
    for (int display : {1, 2}) {
        const std::string what = "main_display" + std::to_string(display);
        manager.SetWinMode(static_cast<std::uint8_t>(display), 8, 2, 0);
        Fill(display == 1 ? 1 : 5);
        manager.Relayout(false);
        GrabAndCheck(what, display == 1 ? 1 : 5);
        QWidget* document = manager.GetPane(yav::layout::kDocRect);
        EXPECT_TRUE(document->isVisible());
        EXPECT_EQ(document->geometry(), manager.GetRect(yav::layout::kDocRect));
        for (int slot = 0; slot < 5; ++slot) {
            if (const std::uint16_t id = manager.GetWndMediaId(slot); id != 0) {
                manager.DelVideo(id, record, false);
            }
        }
    }
}

TEST_P(LayoutGrab, AFloatingWindow) {
    manager.SetWinMode(0, 3, 2, 0);
    Fill(3);
    manager.Relayout(false);
    ILayoutVideoWnd* floating = manager.GetLayoutWnd(1);
    manager.SetPopupStyle(floating, true);
    XLayoutManager::SetTransparent(floating->GetWidget(), 230);
    QApplication::processEvents();
    QWidget* widget = floating->GetWidget();
    ASSERT_TRUE(widget->isWindow());
    EXPECT_TRUE(widget->isVisible());
    const QImage picture = widget->grab().toImage();
    EXPECT_EQ(picture.size(), manager.GetRect(1).size());
    EXPECT_TRUE(Near(picture.pixelColor(InBarFour(picture.rect())), kPatternMiddle, 24));
    controls_test::SaveGrab(*widget, Name("floating"));
    // The room shows the empty place it left.
    const QImage room = mainWindow.grab().toImage();
    EXPECT_FALSE(Near(room.pixelColor(InBarFour(manager.GetRect(1))), kPatternMiddle, 24));
    controls_test::SaveGrab(mainWindow, Name("floating_room"));
}

// Popping a window out, through the layout manager (a swap with a floating window uses this)
// and through the window itself: a frameless tool window kept above the room that does not take
// the focus, at the same place on the screen; docked again it fills its slot. Which window
// stands above which, and whether showing activates, needs a window manager: only the hints
// the window system gets are checked here (PopOutStacking reads back what an X server without a
// window manager holds).
TEST_P(LayoutGrab, PopOutFloatsWithoutActivationAndDocksIntoItsSlot) {
    struct Case {
        const char* through;
        void (*popOut)(XLayoutManager&, ILayoutVideoWnd*, bool);
    };
    const Case cases[] = {
        {"manager", [](XLayoutManager& layout, ILayoutVideoWnd* window,
                       bool popup) { layout.SetPopupStyle(window, popup); }},
        {"window",
         [](XLayoutManager&, ILayoutVideoWnd* window, bool popup) {
             dynamic_cast<CDlgVideo&>(*window->GetWidget()).SetPopupStyle(popup ? 1 : 0);
         }},
    };
    manager.SetWinMode(0, 3, 2, 0);
    Fill(3);
    manager.Relayout(false);
    mainWindow.move(yav::Scaled(40), yav::Scaled(30));
    mainWindow.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&mainWindow));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.through);
        const int slot = 2;
        ILayoutVideoWnd* window = manager.GetLayoutWnd(slot);
        QWidget* widget = window->GetWidget();
        const QRect docked = manager.GetRect(slot);
        const QRect global(mainWindow.mapToGlobal(docked.topLeft()), docked.size());

        c.popOut(manager, window, true);
        QApplication::processEvents();
        ASSERT_TRUE(widget->isWindow());
        EXPECT_TRUE(widget->isVisible());
        const Qt::WindowFlags flags = widget->windowFlags();
        EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Tool);
        EXPECT_TRUE(flags.testFlag(Qt::FramelessWindowHint));
        EXPECT_TRUE(flags.testFlag(Qt::WindowStaysOnTopHint));
        EXPECT_TRUE(widget->testAttribute(Qt::WA_ShowWithoutActivating));
        // Still owned by the room, so it goes and hides with it.
        EXPECT_EQ(widget->parentWidget(), &mainWindow);
        EXPECT_EQ(widget->geometry(), global);
        EXPECT_EQ(widget->mapToGlobal(QPoint(0, 0)), global.topLeft());
        // What reaches the window system: the hints on the native window, owned by the room's
        // (the offscreen platform activates every window it shows, so activation itself is
        // left to the attribute above).
        const QWindow* native = widget->windowHandle();
        ASSERT_NE(native, nullptr);
        EXPECT_EQ(native->flags() & Qt::WindowType_Mask, Qt::Tool);
        EXPECT_TRUE(native->flags().testFlag(Qt::FramelessWindowHint));
        EXPECT_TRUE(native->flags().testFlag(Qt::WindowStaysOnTopHint));
        EXPECT_EQ(native->transientParent(), mainWindow.windowHandle());
        EXPECT_TRUE(native->isVisible());
        EXPECT_EQ(window->GetSlotIndex(), slot);

        c.popOut(manager, window, false);
        QApplication::processEvents();
        EXPECT_FALSE(widget->isWindow());
        EXPECT_EQ(widget->parentWidget(), &mainWindow);
        EXPECT_EQ(widget->geometry(), docked);
        EXPECT_TRUE(widget->isVisible());
        EXPECT_NEAR(widget->windowOpacity(), 1.0, 0.01);
        EXPECT_EQ(manager.GetLayoutWnd(slot), window);
        const QImage room = mainWindow.grab().toImage();
        EXPECT_TRUE(Near(room.pixelColor(InBarFour(docked)), kPatternMiddle, 24));
    }
}

INSTANTIATE_TEST_SUITE_P(Scales, LayoutGrab, ::testing::Values(1.0, 1.5));

// The pager and the cycle dialogs.
class DialogGrab : public LayoutGrab {};

class PagerHost : public IVideoPagerHost {
public:
    virtual ~PagerHost() = default;
    int GetReceivedCount() override { return 10; }
    int GetWindowsPerPage() override { return 4; }
    int GetUsedWndCount() override { return 4; }
    void ApplyVideoWindows() override {}
    int LayoutVideoWindows(int, int) override { return 0; }
    QWidget* GetCommandTarget() override { return nullptr; }
};

class CycleHost : public IVideoCycleDialogHost {
public:
    virtual ~CycleHost() = default;
    CVideoCycle* GetVideoCycle() const override { return cycle; }
    ICsUserManager* GetUserSource() override { return users; }
    QWidget* GetCommandTarget() override { return nullptr; }
    CVideoCycle* cycle = nullptr;
    ICsUserManager* users = nullptr;
};

// Dark pixels in an area (text on a light ground).
int DarkPixels(const QImage& picture, const QRect& area) {
    int dark = 0;
    const QRect inside = area.intersected(picture.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            dark += picture.pixelColor(x, y).lightness() < 110 ? 1 : 0;
        }
    }
    return dark;
}

TEST_P(DialogGrab, ThePager) {
    g_AppSettings.freeLayout = 1;
    PagerHost pagerHost;
    CDlgVideoPageTab pager(&mainWindow, &pagerHost);
    pager.Create(CDlgVideoPageTab::IDD, &mainWindow);
    pager.UpdatePager();
    pager.SetCurrentPage(2);
    QApplication::processEvents();
    const QImage picture = pager.grab().toImage();
    EXPECT_EQ(picture.size(), QSize(yav::Scaled(CDlgVideoPageTab::kDesignWidth),
                                    yav::Scaled(CDlgVideoPageTab::kDesignHeight)));
    controls_test::SaveGrab(pager, Name("pager"));
    // Every control stands inside the strip, uncut.
    for (int id : {1318, 1319, 1320, 1321, 1253, 1251, 1312, 1323, 1322}) {
        const QRect control = pager.GetDlgItem(id)->geometry();
        EXPECT_TRUE(pager.rect().contains(control)) << id;
    }
}

TEST_P(DialogGrab, BothCycleSettingModesAndTheFilter) {
    fakes::FakeCsUserManager users{log};
    users.AddUser(8, u"Ann", 0b11).videoChannelCount = 2;
    users.AddUser(16, u"Bob", 0b1).videoChannelCount = 1;
    CVideoCycle cycle;
    cycle.SetSource(&users);
    cycle.AddFilterUser(8);
    CycleHost cycleHost;
    cycleHost.cycle = &cycle;
    cycleHost.users = &users;

    CDlgCycleSet settings(nullptr, &cycleHost);
    settings.Create(CDlgCycleSet::IDD);
    for (int mode : {CDlgCycleSet::kModeCycle, CDlgCycleSet::kModeAutoPage}) {
        settings.ShowDlg(mode);
        QApplication::processEvents();
        const QImage picture = settings.grab().toImage();
        EXPECT_EQ(picture.size(), QSize(yav::Scaled(300), yav::Scaled(150)));
        // The interval label and its text are drawn.
        EXPECT_GT(
            DarkPixels(picture, settings.GetDlgItem(CDlgCycleSet::IDC_INTERVAL_LABEL)->geometry()),
            10);
        controls_test::SaveGrab(
            settings,
            Name(mode == CDlgCycleSet::kModeCycle ? "cycle_set_cycling" : "cycle_set_page_turn"));
    }

    CDlgCycleFilter filter(nullptr, &cycleHost);
    filter.Create(CDlgCycleFilter::IDD);
    filter.ShowDlg();
    QApplication::processEvents();
    const QImage picture = filter.grab().toImage();
    EXPECT_EQ(picture.size(), QSize(yav::Scaled(330), yav::Scaled(420)));
    EXPECT_GT(DarkPixels(picture, filter.GetDlgItem(CDlgCycleFilter::IDC_TREE)->geometry()), 20);
    controls_test::SaveGrab(filter, Name("cycle_filter"));
    cycle.Stop(true);
}

INSTANTIATE_TEST_SUITE_P(Scales, DialogGrab, ::testing::Values(1.0, 1.5));

}  // namespace
}  // namespace video_test
