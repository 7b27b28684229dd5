// The layout manager over real (placeholder) windows offscreen: placing received videos,
// closing gaps, swapping, floating windows and applying the geometry.

#include "client/media/XLayoutManager.h"

#include <gtest/gtest.h>

#include <QWidget>

#include <string>
#include <vector>

#include "PlainVideoWnd.h"
#include "client/media/ILayoutVideoWnd.h"
#include "client/media/LayoutPlaceholders.h"
#include "client/media/MediaIdList.h"
#include "client/media/VideoCycle.h"
#include "config/AppSettings.h"
#include "fakes/conference/CallLog.h"
#include "fakes/conference/FakeCsUserManager.h"

namespace {

class FakeLayoutHost : public ILayoutHost {
public:
    virtual ~FakeLayoutHost() = default;
    std::uint16_t GetLeadId() override { return leadId; }
    bool IsPagedVideo() override { return paged; }
    int GetVideoPageStart() override { return pageStart; }
    void SetVideoPageStart(int start) override { pageStart = start; }
    CMediaIdList* GetReceivedList() override { return &list; }
    CVideoCycle* GetVideoCycle() const override { return cycle; }
    bool IsPresenter() override { return presenter; }
    void OpenChannel(std::uint16_t id) override { opened.push_back(id); }
    void StopVideoRecv(std::uint16_t id) override { stopped.push_back(id); }
    void SendSyncWndLayout(int) override { ++syncs; }
    void SetFullVideo(bool on) override { fullVideo.push_back(on); }
    void OnVideoPopState(std::uint16_t id, int inside) override {
        popStates.push_back({id, inside});
    }
    void SetDocCellCount(int cells) override { docCells = cells; }
    int GetBroadcastChannelCount() const override { return broadcast; }
    int GetSpeakerLimit() override { return speakerLimit; }
    void ShowLayoutMessage(int textId) override { boxes.push_back(textId); }
    void EnableRender(std::uint16_t id, bool on) override { rendered.push_back({id, on}); }
    std::vector<std::pair<std::uint16_t, bool>> rendered;

    std::uint16_t leadId = 0;
    bool paged = false;
    int pageStart = 0;
    CMediaIdList list;
    CVideoCycle* cycle = nullptr;
    bool presenter = false;
    std::vector<std::uint16_t> opened;
    std::vector<std::uint16_t> stopped;
    int syncs = 0;
    std::vector<bool> fullVideo;
    std::vector<std::pair<std::uint16_t, int>> popStates;
    int docCells = 0;
    int broadcast = 0;
    int speakerLimit = 4;
    std::vector<int> boxes;
};

class LayoutManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        room.resize(1200, 800);
        manager.CreateWindows(&room);
        manager.SetWinMode(0, 3, 2, 0);
        manager.SetScreenRect(0, QRect(0, 0, 200, 800));
        manager.SetScreenRect(1, QRect(200, 0, 1000, 800));
        manager.Relayout(false);
        room.show();
    }

    // Adds the ids in order; each must get a window.
    void AddAll(std::initializer_list<std::uint16_t> ids) {
        for (std::uint16_t id : ids) {
            ASSERT_NE(manager.AddVideo(id, 0, record, synced), nullptr) << id;
        }
    }

    std::vector<std::uint16_t> SlotIds(int count) {
        std::vector<std::uint16_t> ids;
        for (int slot = 0; slot < count; ++slot) {
            ids.push_back(manager.GetWndMediaId(slot));
        }
        return ids;
    }

    std::vector<std::uint16_t> RecordIds(int count) {
        std::vector<std::uint16_t> ids;
        for (int slot = 0; slot < count; ++slot) {
            ids.push_back(RecordWindowId(record, slot));
        }
        return ids;
    }

    QWidget room;
    FakeLayoutHost host;
    LayoutRecordBytes record{};
    LayoutRecordBytes synced{};
    XLayoutManager manager{&host, &record,
                           [](QWidget* parent, int slot) -> std::unique_ptr<ILayoutVideoWnd> {
                               return std::make_unique<layout_test::PlainVideoWnd>(parent, slot);
                           }};
};

using Ids = std::vector<std::uint16_t>;

TEST_F(LayoutManagerTest, RecordFieldsSitAtTheirOffsets) {
    LayoutRecordBytes bytes{};
    SetRecordWindowId(bytes, 0, 0x1234);
    SetRecordWindowId(bytes, 36, 0xABCD);
    SetRecordMaxId(bytes, 0x0F0E);
    EXPECT_EQ(bytes[14], 0x34);
    EXPECT_EQ(bytes[15], 0x12);
    EXPECT_EQ(bytes[86], 0xCD);
    EXPECT_EQ(bytes[87], 0xAB);
    EXPECT_EQ(bytes[88], 0x0E);
    EXPECT_EQ(bytes[89], 0x0F);
    // Out-of-range slots neither write nor read.
    SetRecordWindowId(bytes, 37, 0x7777);
    EXPECT_EQ(bytes[88], 0x0E);
    EXPECT_EQ(RecordWindowId(bytes, 37), 0);
    EXPECT_EQ(RecordWindowId(bytes, -1), 0);
}

TEST_F(LayoutManagerTest, AddVideoFillsTheFirstFreeWindow) {
    EXPECT_EQ(manager.AddVideo(0, 0, record, synced), nullptr);
    QWidget* first = manager.AddVideo(17, 5, record, synced);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, manager.GetLayoutWnd(0)->GetWidget());
    EXPECT_TRUE(manager.IsBusy(first));
    EXPECT_EQ(RecordWindowId(record, 0), 17);
    auto* window = dynamic_cast<layout_test::PlainVideoWnd*>(manager.GetLayoutWnd(0));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->GetOwnerSlot(), 5u);

    // The same id again: the same window, no second slot.
    EXPECT_EQ(manager.AddVideo(17, 5, record, synced), first);
    EXPECT_EQ(manager.AddVideo(24, 0, record, synced), manager.GetLayoutWnd(1)->GetWidget());
    EXPECT_EQ(manager.GetUsedWndCount(), 2);
}

TEST_F(LayoutManagerTest, MediaChannelGoesToTheMediaPlayWindow) {
    QWidget* window = manager.AddVideo(23, 0, record, synced);
    EXPECT_EQ(window, manager.GetPane(yav::layout::kMediaPlayRect));
    EXPECT_EQ(RecordWindowId(record, 36), 23);
    EXPECT_EQ(manager.GetUsedWndCount(), 0);
    EXPECT_EQ(manager.GetBusyCount(), 0);
    EXPECT_FALSE(manager.DelVideo(23, record, true));
}

TEST_F(LayoutManagerTest, AllWindowsBusyGivesNone) {
    for (int i = 0; i < XLayoutManager::kSlots; ++i) {
        ASSERT_NE(manager.AddVideo(static_cast<std::uint16_t>(8 * (i + 1)), 0, record, synced),
                  nullptr);
    }
    EXPECT_EQ(manager.AddVideo(8 * 40, 0, record, synced), nullptr);
    EXPECT_EQ(manager.GetBusyCount(), 37);
}

TEST_F(LayoutManagerTest, LeadIdTakesSlotZero) {
    AddAll({8, 16});
    host.leadId = 24;
    AddAll({24});
    EXPECT_EQ(SlotIds(3), (Ids{24, 16, 8}));
    EXPECT_EQ(RecordIds(3), (Ids{24, 16, 8}));
    EXPECT_EQ(manager.GetLayoutWnd(0)->GetSlotIndex(), 0);
    EXPECT_EQ(manager.GetLayoutWnd(2)->GetSlotIndex(), 2);
}

TEST_F(LayoutManagerTest, SynchronisedLayoutPlacesTheVideo) {
    SetRecordWindowId(synced, 5, 40);
    // Without a lead id the synchronised record is not read.
    AddAll({40});
    EXPECT_EQ(manager.FindWndIndexFrom(0, 40), 0);
    ASSERT_TRUE(manager.DelVideo(40, record, false));

    host.leadId = 8;
    AddAll({40});
    EXPECT_EQ(manager.FindWndIndexFrom(0, 40), 5);
    EXPECT_EQ(RecordWindowId(record, 5), 40);

    // Paged video does not follow it.
    host.paged = true;
    SetRecordWindowId(synced, 6, 48);
    AddAll({48});
    EXPECT_EQ(manager.FindWndIndexFrom(0, 48), 0);
}

TEST_F(LayoutManagerTest, DelVideoClosesTheGap) {
    AddAll({8, 16, 24, 32});
    ASSERT_TRUE(manager.DelVideo(16, record, true));
    EXPECT_EQ(SlotIds(4), (Ids{8, 32, 24, 0}));
    EXPECT_EQ(RecordIds(4), (Ids{8, 32, 24, 0}));
    EXPECT_EQ(manager.GetBusyCount(), 3);
    EXPECT_FALSE(manager.DelVideo(16, record, true));

    // The last one leaves no gap.
    ASSERT_TRUE(manager.DelVideo(24, record, true));
    EXPECT_EQ(SlotIds(3), (Ids{8, 32, 0}));
}

TEST_F(LayoutManagerTest, DelVideoWithALeaderClosesTheGapOnlyForThePresenter) {
    AddAll({8, 16, 24});
    host.leadId = 8;
    ASSERT_TRUE(manager.DelVideo(16, record, true));
    EXPECT_EQ(SlotIds(3), (Ids{8, 0, 24}));
    host.presenter = true;
    AddAll({16});
    ASSERT_TRUE(manager.DelVideo(16, record, true));
    EXPECT_EQ(SlotIds(3), (Ids{8, 24, 0}));
}

TEST_F(LayoutManagerTest, PagedDelVideoRefillsThePage) {
    host.paged = true;
    for (std::uint16_t id : {8, 16, 24, 32, 40, 48}) {
        host.list.AddOrMoveToTail(id);
    }
    AddAll({8, 16, 24, 32});
    for (std::uint16_t id : {8, 16, 24, 32}) {
        host.list.SetFlag(id, 1);
    }
    host.pageStart = 4;
    ASSERT_TRUE(manager.DelVideo(16, record, true));
    EXPECT_EQ(host.pageStart, 3);
    // From index 3 on, the unflagged ids up to the capacity (4) that no window shows.
    EXPECT_EQ(host.opened, (Ids{40, 48}));
}

TEST_F(LayoutManagerTest, ExchangeByIndexTakesSlotsZeroTo36Only) {
    AddAll({8, 16});
    struct Case {
        int i, j;
        bool swapped;
    };
    const Case cases[] = {{0, 37, false}, {37, 0, false}, {-1, 1, false},
                          {1, 1, false},  {0, 36, true},  {36, 0, true}};
    for (const Case& c : cases) {
        EXPECT_EQ(manager.ExchangeWndByIndex(c.i, c.j, record), c.swapped) << c.i << "," << c.j;
    }
    EXPECT_EQ(manager.GetWndMediaId(0), 8);
    ASSERT_TRUE(manager.ExchangeWndByIndex(0, 1, record));
    EXPECT_EQ(SlotIds(2), (Ids{16, 8}));
    EXPECT_EQ(RecordIds(2), (Ids{16, 8}));
    // The windows changed places, not only their bookkeeping.
    EXPECT_EQ(manager.GetLayoutWnd(0)->GetWidget()->geometry(), manager.GetRect(0));
    EXPECT_EQ(manager.GetLayoutWnd(1)->GetWidget()->geometry(), manager.GetRect(1));
}

TEST_F(LayoutManagerTest, ExchangeAtPointsNeedsAWindowInUseAsTarget) {
    AddAll({8, 16});
    const QPoint inSlot0 = manager.GetRect(0).center();
    const QPoint inSlot1 = manager.GetRect(1).center();
    const QPoint inSlot3 = manager.GetRect(3).center();
    EXPECT_FALSE(
        manager.ExchangeWndAtPoints(inSlot0.x(), inSlot0.y(), inSlot3.x(), inSlot3.y(), record));
    EXPECT_TRUE(
        manager.ExchangeWndAtPoints(inSlot0.x(), inSlot0.y(), inSlot1.x(), inSlot1.y(), record));
    EXPECT_EQ(SlotIds(2), (Ids{16, 8}));
}

TEST_F(LayoutManagerTest, ModesPlaceTheWindowsOfTheGeometry) {
    EXPECT_EQ(manager.GetCapacity(), 4);
    EXPECT_EQ(manager.GetLayoutWnd(0)->GetWidget()->geometry(), QRect(200, 0, 500, 400));
    EXPECT_EQ(manager.GetLayoutWnd(3)->GetWidget()->geometry(), QRect(700, 400, 500, 400));
    EXPECT_FALSE(manager.GetLayoutWnd(4)->GetWidget()->isVisible());
    EXPECT_EQ(manager.GetPane(yav::layout::kMediaPlayRect)->geometry(), QRect(0, 0, 200, 800));
    EXPECT_FALSE(manager.GetPane(yav::layout::kDocRect)->isVisible());
    // Only areas 0..2 exist.
    manager.SetScreenRect(3, QRect(0, 0, 10, 10));
    manager.SetScreenRect(-1, QRect(0, 0, 10, 10));
    manager.Relayout(false);
    EXPECT_EQ(manager.GetLayoutWnd(0)->GetWidget()->geometry(), QRect(200, 0, 500, 400));
    EXPECT_EQ(manager.GetPane(yav::layout::kMediaPlayRect)->geometry(), QRect(0, 0, 200, 800));

    // Automatic: the arrangement follows the count.
    manager.SetWinMode(0, 8, 2, 2);
    manager.Relayout(false);
    EXPECT_EQ(manager.GetAutoCells(), 1);
    AddAll({8, 16, 24});
    EXPECT_EQ(manager.GetAutoCells(), 3);
    EXPECT_EQ(manager.GetLayoutWnd(2)->GetWidget()->geometry(), QRect(950, 400, 250, 200));
    EXPECT_EQ(manager.GetPane(yav::layout::kDocRect)->geometry(), QRect(0, 0, 200, 800));
    EXPECT_TRUE(manager.IsAutoLayout());

    // Picture in picture with one window in use: one window over the area, mode kept.
    manager.SetWinMode(0, 2, 2, 0);
    ASSERT_TRUE(manager.DelVideo(16, record, false));
    ASSERT_TRUE(manager.DelVideo(24, record, false));
    manager.Relayout(false);
    EXPECT_TRUE(manager.GetLastLayout().pipAsSingle);
    EXPECT_EQ(manager.GetLayoutMode(), 2);
    EXPECT_EQ(manager.GetLayoutWnd(0)->GetWidget()->geometry(), QRect(200, 0, 1000, 800));
    EXPECT_FALSE(manager.GetLayoutWnd(1)->GetWidget()->isVisible());
}

// A mode byte outside 1..9 is laid out as the automatic mode 8: so each video that comes
// re-arranges the windows as it does in 6..9, and a fixed mode keeps its cells.
TEST_F(LayoutManagerTest, AModeOutsideTheTableIsAutomaticAsItsGeometry) {
    const struct {
        std::uint8_t mode;
        bool automatic;
    } cases[] = {{0, true}, {10, true}, {255, true}, {6, true}, {9, true}, {1, false}, {3, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.mode));
        for (std::uint16_t id : {8, 16}) {
            manager.DelVideo(id, record, false);
        }
        manager.SetWinMode(0, c.mode, 2, 0);
        manager.Relayout(false);
        AddAll({8});
        const QRect alone = manager.GetLayoutWnd(0)->GetWidget()->geometry();
        AddAll({16});
        EXPECT_EQ(manager.IsAutoLayout(), c.automatic);
        QWidget* second = manager.GetLayoutWnd(1)->GetWidget();
        if (c.mode == 1) {
            // One window: the second video gets no cell.
            EXPECT_FALSE(second->isVisible());
            continue;
        }
        // Both videos are on the screen, side by side.
        ASSERT_TRUE(second->isVisible());
        EXPECT_FALSE(second->geometry().isEmpty());
        EXPECT_FALSE(
            manager.GetLayoutWnd(0)->GetWidget()->geometry().intersects(second->geometry()));
        if (c.automatic) {
            // The one video had the whole area; two share it.
            EXPECT_EQ(alone, QRect(200, 0, 1000, 800));
            EXPECT_EQ(manager.GetAutoCells(), 2);
            EXPECT_EQ(second->geometry(), QRect(700, 200, 500, 400));
        } else {
            EXPECT_EQ(alone, QRect(200, 0, 500, 400));
        }
    }
    manager.SetWinMode(1, 0, 2, 0);
    EXPECT_FALSE(manager.IsAutoLayout()) << "main display modes are never automatic";
}

TEST_F(LayoutManagerTest, PopOutFloatsAToolWindowAndSwapsBack) {
    AddAll({8, 16});
    room.move(100, 50);
    ILayoutVideoWnd* first = manager.GetLayoutWnd(0);
    ILayoutVideoWnd* second = manager.GetLayoutWnd(1);
    const QRect firstGlobal(room.mapToGlobal(manager.GetRect(0).topLeft()),
                            manager.GetRect(0).size());
    manager.SetPopupStyle(first, true);
    QWidget* floating = first->GetWidget();
    ASSERT_TRUE(floating->isWindow());
    EXPECT_TRUE(floating->windowFlags().testFlag(Qt::Tool));
    EXPECT_TRUE(floating->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(floating->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(floating->testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_EQ(floating->geometry(), firstGlobal);
    XLayoutManager::SetTransparent(floating, 128);
    EXPECT_NEAR(floating->windowOpacity(), 128 / 255.0, 0.01);

    // A relayout leaves the floating window where it is.
    manager.Relayout(false);
    EXPECT_EQ(floating->geometry(), firstGlobal);

    // Swapping the floating window with a docked one: the docked one floats in its place.
    ASSERT_TRUE(manager.ExchangeDlgVideoEx(first, second, record));
    EXPECT_FALSE(floating->isWindow());
    EXPECT_EQ(floating->geometry(), manager.GetRect(1));
    EXPECT_NEAR(floating->windowOpacity(), 1.0, 0.01);
    EXPECT_TRUE(second->GetWidget()->isWindow());
    EXPECT_EQ(second->GetWidget()->geometry(), firstGlobal);
    EXPECT_EQ(host.popStates, (std::vector<std::pair<std::uint16_t, int>>{{8, 1}, {16, 0}}));
    EXPECT_EQ(SlotIds(2), (Ids{16, 8}));
}

TEST_F(LayoutManagerTest, MaximisedWindowFillsTheRoomAndTakesItsId) {
    AddAll({8, 16});
    manager.SetMaxVideo(true, 16, -1);
    EXPECT_TRUE(manager.IsMaxVideo());
    ILayoutVideoWnd* max = manager.GetLayoutWnd(1);
    EXPECT_TRUE(max->IsZoomed());
    EXPECT_EQ(max->GetWidget()->geometry(), room.rect());
    EXPECT_FALSE(manager.GetLayoutWnd(0)->GetWidget()->isVisible());
    EXPECT_EQ(RecordMaxId(record), 16);
    EXPECT_EQ(host.fullVideo, (std::vector<bool>{true}));

    manager.SetMaxVideo(false, 0, -1);
    EXPECT_FALSE(max->IsZoomed());
    EXPECT_EQ(RecordMaxId(record), 0);
    EXPECT_EQ(manager.GetLayoutWnd(0)->GetWidget()->geometry(), manager.GetRect(0));
    EXPECT_TRUE(manager.GetLayoutWnd(0)->GetWidget()->isVisible());
}

TEST_F(LayoutManagerTest, OptionsReachEveryWindowAndPausingTouchesShownStreamsOnly) {
    AddAll({8, 16});
    manager.SetVideoNameVisible(false);
    manager.SetVideoNameColor(0x00FF00);
    manager.ReloadTexts();
    for (int slot : {0, 5, 36}) {
        auto* window = dynamic_cast<layout_test::PlainVideoWnd*>(manager.GetLayoutWnd(slot));
        ASSERT_NE(window, nullptr);
        EXPECT_FALSE(window->IsNameVisible()) << slot;
        EXPECT_EQ(window->nameColour, 0x00FF00u) << slot;
        EXPECT_EQ(window->textReloads, 1) << slot;
    }
    manager.PauseAllVideoRender(true);
    manager.PauseAllVideoRender(false);
    EXPECT_EQ(host.rendered, (std::vector<std::pair<std::uint16_t, bool>>{
                                 {8, false}, {16, false}, {8, true}, {16, true}}));
}

TEST_F(LayoutManagerTest, CycleStartHandsFreeWindowsOrSaysWhy) {
    fakes::CallLog log;
    fakes::FakeCsUserManager users{log};
    users.AddUser(40, u"Ann", 0b1);
    users.AddUser(48, u"Bob", 0b1);
    CVideoCycle cycle;
    host.cycle = &cycle;
    const ST_APP_SETTINGS saved = g_AppSettings;
    manager.StartVideoCycle();
    EXPECT_EQ(host.boxes, (std::vector<int>{XLayoutManager::kTextCycleQueueEmpty}));
    EXPECT_FALSE(manager.IsVideoCycleOn());

    cycle.SetSource(&users);
    cycle.AddUserChannels(40);
    cycle.AddUserChannels(48);
    host.broadcast = 4;
    host.boxes.clear();
    manager.StartVideoCycle();
    EXPECT_EQ(host.boxes, (std::vector<int>{XLayoutManager::kTextCycleBroadcastFull}));
    EXPECT_FALSE(manager.IsVideoCycleOn());

    // Two free places under the limit, three wanted per round: two windows, skipping the one
    // that shows a user without receiving.
    AddAll({8});
    host.broadcast = 2;
    g_AppSettings.cyclecount = 3;
    manager.StartVideoCycle();
    EXPECT_TRUE(manager.IsVideoCycleOn());
    EXPECT_EQ(manager.GetCycleWnds(), 2);
    EXPECT_FALSE(manager.IsCycleWindow(manager.GetLayoutWnd(0)));
    EXPECT_TRUE(manager.IsCycleWindow(manager.GetLayoutWnd(1)));
    EXPECT_TRUE(manager.IsCycleWindow(manager.GetLayoutWnd(2)));
    EXPECT_FALSE(manager.IsCycleWindow(manager.GetLayoutWnd(3)));
    EXPECT_TRUE(manager.GetLayoutWnd(1)->IsReceiving());
    // A new video does not go into a cycle window.
    EXPECT_EQ(manager.AddVideo(16, 0, record, synced), manager.GetLayoutWnd(3)->GetWidget());

    manager.CloseAllVideo();
    EXPECT_FALSE(manager.IsVideoCycleOn());
    EXPECT_FALSE(manager.IsCycleWindow(manager.GetLayoutWnd(1)));
    EXPECT_FALSE(manager.GetLayoutWnd(1)->IsReceiving());
    EXPECT_FALSE(cycle.IsRunning());
    g_AppSettings = saved;
    cycle.Stop(true);
}

}  // namespace
