// Video reception on the room: channels are received into the layout manager's windows with
// their captions, channel 7 into the media-play window with its sound, and stopped again.

#include <QApplication>
#include <QTimer>

#include <string>
#include <vector>

#include "RoomFixture.h"
#include "client/conference/RoomMedia.h"
#include "client/dialogs/panels/CDlgVoiceIncentive.h"
#include "client/dialogs/panels/PanelChildren.h"
#include "client/dialogs/video/CDlgVideo.h"
#include "client/dialogs/video/CDlgVideoPageTab.h"
#include "client/dialogs/video/LayoutVideoWnd.h"
#include "client/media/ILayoutVideoWnd.h"
#include "client/media/VideoCycle.h"
#include "client/media/XLayoutManager.h"
#include "components/KroMedia/IKroMedia.h"
#include "fakes/video/FakeVideoHost.h"
#include "platform/window/Scaled.h"
#include "support/WaitUntil.h"

namespace room_test {
namespace {

// A channel object that records the receptions the room starts and stops.
class RecvControl : public kromedia::IMediaControl {
public:
    static constexpr std::uint32_t kStreamReady = 0x9D01;
    virtual ~RecvControl() = default;
    void SetHandler(kromedia::IMediaHandler*) override {}
    kromedia::IAudioEngine* GetAudioEngine() override { return nullptr; }
    kromedia::ILocalVideo* GetLocalVideo() override { return nullptr; }
    kromedia::IMediaStream* GetStream(uint16_t) override { return &stream; }
    int Login(uint16_t, const char*, uint16_t, uint32_t, uint32_t) override { return 1; }
    void Logout() override {}
    void SetUseTCP(uint32_t) override {}
    int StartRecvAudio(uint16_t id, uint32_t value) override {
        calls.push_back("StartRecvAudio(" + std::to_string(id) + "," + std::to_string(value) + ")");
        return 1;
    }
    int StopRecvAudio(uint16_t) override { return 1; }
    int StartRecvVideo(uint16_t id, uint32_t mode, void*, kromedia::IFrameSink* window,
                       uint32_t message) override {
        calls.push_back("StartRecvVideo(" + std::to_string(id) + "," + std::to_string(mode) + "," +
                        std::to_string(message) + ")");
        sinks.push_back(window);
        // As the component does: a stream started into an occupied window reports, once its
        // pictures come, that it is ready to take over.
        // The report goes with this channel object, which the test ends before its windows:
        // a report still pending then never reaches a window of a later test.
        if (message == kStreamReady && window != nullptr) {
            QTimer::singleShot(20, &reports,
                               [window, id] { window->PostMessage(kStreamReady, id, 0); });
        }
        return 1;
    }
    int StopRecvVideo(uint16_t id) override {
        calls.push_back("StopRecvVideo(" + std::to_string(id) + ")");
        return 1;
    }
    int EnableRender(uint16_t, int) override { return 1; }
    int SetRecordHandler(int, kromedia::IRecordHandler*) override { return 1; }
    int SetAudioSend(int) override { return 1; }
    int SetServerAddress(const char*) override { return 1; }
    int GetStreamQuality(kromedia::StreamQuality*, int, int* count) override {
        *count = 0;
        return 1;
    }
    void GetCounters(uint64_t*, uint64_t*, uint64_t*, uint64_t*, int) override {}
    void SetTicket(const uint8_t*, int) override {}

    std::vector<std::string> calls;
    std::vector<kromedia::IFrameSink*> sinks;
    QObject reports;
    fakes::FakeStream stream;
};

class RoomVideo : public RoomFixture {
protected:
    static constexpr std::uint16_t kB = 24;

    void SetUp() override {
        RoomFixture::SetUp();
        fake.users.AddUser(kB, u"B", 0b1000'0011);
        yav::room::Children().layoutManager = [](QWidget* room) -> std::unique_ptr<ILayoutManager> {
            auto* hub = dynamic_cast<XMainFrame*>(room);
            return std::make_unique<XLayoutManager>(hub, &hub->GetRoomLayout(),
                                                    &LayoutVideoWnd::Make);
        };
        yav::room::Children().roomMedia = [this]() -> std::unique_ptr<IRoomMedia> {
            return std::make_unique<RoomMedia>(*frame);
        };
        frame->mediaControlSource = [this](std::uint16_t) -> kromedia::IMediaControl* {
            return noChannelObject ? nullptr : &control;
        };
        BeforeOpen();
        Open();
        layout = dynamic_cast<XLayoutManager*>(frame->GetLayoutManager());
        ASSERT_NE(layout, nullptr);
    }

    // The cycle over B's channels, one window a round, under the speaker limit.
    CVideoCycle* StartCycleOverB() {
        g_AppSettings.wSpeakerLimit = 4;
        g_AppSettings.cyclecount = 1;
        CVideoCycle* cycle = frame->GetVideoCycle();
        cycle->AddUserChannels(kB);
        layout->StartVideoCycle();
        return cycle;
    }

    CDlgVideo& WindowOf(std::uint16_t id) {
        return dynamic_cast<CDlgVideo&>(*layout->FindVideoWnd(id)->GetWidget());
    }

    // More children of the room, installed before it opens.
    virtual void BeforeOpen() {}

    RecvControl control;
    bool noChannelObject = false;
    XLayoutManager* layout = nullptr;
};

TEST_F(RoomVideo, ACameraChannelGetsAWindowWithItsCaption) {
    frame->MediaVideoRecv(kB + 1, 123);
    ASSERT_NE(layout->FindVideoWnd(kB + 1), nullptr);
    CDlgVideo& window = WindowOf(kB + 1);
    EXPECT_EQ(window.GetCaption(), QStringLiteral("B-2"));
    EXPECT_EQ(window.GetVideoState(), &control.stream);
    EXPECT_EQ(control.calls, (std::vector<std::string>{"StartRecvVideo(25,123,40192)"}));
    ASSERT_EQ(control.sinks.size(), 1u);
    EXPECT_EQ(control.sinks[0], window.GetFrameSink());
    EXPECT_EQ(RecordWindowId(frame->GetRoomLayout(), window.GetSlot()), kB + 1);
    EXPECT_TRUE(window.isVisible());

    // The same channel again keeps its window.
    frame->MediaVideoRecv(kB, 123);
    EXPECT_EQ(WindowOf(kB).GetCaption(), QStringLiteral("B"));
    EXPECT_EQ(layout->GetUsedWndCount(), 2);
}

// The relay forwards a camera channel that is not broadcast only to a receiver the conference
// granted it to: the room asks for the channels it opens on its own (not for broadcast ones,
// nor its own), and the grant that answers opens no second window.
TEST_F(RoomVideo, ChannelsTheRoomOpensOnItsOwnAreAskedForAndTheGrantOpensNothingMore) {
    fake.users.AddUser(kB, u"B", 0b1000'0011).broadcastMask = 0b0000'0010;
    log.Clear();
    frame->OpenChannel(kB);         // not broadcast
    frame->OpenChannel(kB + 1);     // broadcast
    frame->OpenChannel(kMyId + 1);  // my own
    EXPECT_EQ(log.Matching("RequestVideo("), (std::vector<std::string>{"RequestVideo(24)"}));
    const int windows = layout->GetUsedWndCount();
    frame->OnVideoOpenResult(kB, 0, 0x10000 + kB);  // the conference grants it
    EXPECT_EQ(layout->GetUsedWndCount(), windows);
    EXPECT_EQ(control.calls.size(), 3U) << "no reception started again";
    // A grant no such request waits for goes on as before: it opens the reception.
    frame->OnVideoOpenResult(kB + 1, 0, 0x10000 + kB + 1);
    EXPECT_GT(control.calls.size(), 3U);
}

TEST_F(RoomVideo, MyOwnChannelsAreMarkedAndMyMediaChannelIsNotReceived) {
    frame->MediaVideoRecv(kMyId + 7, 123);
    EXPECT_TRUE(control.calls.empty());
    frame->MediaVideoRecv(kMyId + 1, 123);
    EXPECT_EQ(WindowOf(kMyId + 1).GetCaption(),
              QStringLiteral("me-2(%1)").arg(LoadLangString(2842)));
}

TEST_F(RoomVideo, TheMediaChannelGoesToTheMediaWindowWithItsSound) {
    struct Case {
        std::uint32_t group;
        std::uint8_t speakMode;
        bool sound;
    };
    // My own audio group is 0.
    for (const Case c : {Case{0, 0, true}, Case{0, 2, false}, Case{6, 0, false}}) {
        control.calls.clear();
        ST_USER_PRIVATEDATA theirs;
        theirs.groupValue = c.group;
        theirs.speakMode = c.speakMode;
        fake.users.SetPrivateData(kB, theirs);
        frame->MediaVideoRecv(kB + 7, 77);
        std::vector<std::string> expected{"StartRecvVideo(31,77,40192)"};
        if (c.sound) {
            expected.push_back("StartRecvAudio(24,77)");
        }
        EXPECT_EQ(control.calls, expected) << c.group << "/" << int(c.speakMode);
        EXPECT_EQ(frame->GetMediaChannelId(), kB + 7);
        EXPECT_EQ(frame->GetMediaAudioId(), kB);
        EXPECT_EQ(layout->GetUsedWndCount(), 0);
    }
    // Channel 7 never takes a video window.
    frame->OpenChannel(kB + 7);
    EXPECT_EQ(layout->GetUsedWndCount(), 0);
}

TEST_F(RoomVideo, WithVideoOffTheWindowGetsItsCaptionAndNoStream) {
    g_AppSettings.byVideoOff = 1;
    frame->MediaVideoRecv(kB, 123);
    EXPECT_TRUE(control.calls.empty());
    EXPECT_EQ(WindowOf(kB).GetCaption(), QStringLiteral("B"));
    EXPECT_EQ(WindowOf(kB).GetVideoState(), nullptr);
}

TEST_F(RoomVideo, ClosingAndStoppingFreeTheWindowAndReturnTheIdToTheCycle) {
    frame->GetMediaIdList().AddOrMoveToTail(kB);
    frame->MediaVideoRecv(kB, 123);
    EXPECT_EQ(frame->GetMediaIdList().Find(kB)->flag, 1);
    const int slot = WindowOf(kB).GetSlot();
    control.calls.clear();
    frame->CloseChannel(kB);
    EXPECT_EQ(layout->FindVideoWnd(kB), nullptr);
    EXPECT_EQ(RecordWindowId(frame->GetRoomLayout(), slot), 0);
    EXPECT_EQ(layout->GetBusyCount(), 0);
    EXPECT_EQ(control.calls, (std::vector<std::string>{"StopRecvVideo(24)"}));
    EXPECT_EQ(frame->GetMediaIdList().Find(kB)->flag, 0);

    // An id no window shows is still stopped and goes back to the cycle, behind the first.
    control.calls.clear();
    frame->CloseChannel(kB + 1);
    EXPECT_EQ(control.calls, (std::vector<std::string>{"StopRecvVideo(25)"}));
    EXPECT_EQ(frame->GetVideoCycle()->GetQueue(), (std::vector<std::uint16_t>{kB, kB + 1}));

    EXPECT_EQ(frame->StopVideoRecv(0, 0, 1), 0);
    frame->MediaVideoRecv(kB, 123);
    control.calls.clear();
    EXPECT_EQ(frame->StopVideoRecv(kB, 0, 1), 1);
    EXPECT_EQ(layout->FindVideoWnd(kB), nullptr);
    EXPECT_EQ(control.calls, (std::vector<std::string>{"StopRecvVideo(24)"}));
}

TEST_F(RoomVideo, WithoutAChannelObjectTheWindowIsTakenAndNothingStarts) {
    noChannelObject = true;
    frame->MediaVideoRecv(kB, 123);
    EXPECT_NE(layout->FindVideoWnd(kB), nullptr);
    EXPECT_TRUE(control.calls.empty());
}

TEST_F(RoomVideo, TurningThePageFreesThePageWindows) {
    frame->MediaVideoRecv(kB, 123);
    frame->MediaVideoRecv(kB + 1, 123);
    frame->ApplyVideoWindows();
    EXPECT_EQ(layout->GetUsedWndCount(), 0);
    EXPECT_EQ(layout->GetBusyCount(), 0);
}

TEST_F(RoomVideo, ThePagerTurnsToTheNextPageOfReceivedVideos) {
    const ST_APP_SETTINGS saved = g_AppSettings;
    g_AppSettings.freeLayout = 1;
    for (int i = 0; i < 6; ++i) {
        frame->GetMediaIdList().AddOrMoveToTail(static_cast<std::uint16_t>(40 + 8 * i));
    }
    layout->SetWinMode(0, 3, 2, 0);
    layout->Relayout(false);
    CDlgVideoPageTab pager(frame.get(), frame.get());
    pager.Create(CDlgVideoPageTab::IDD, frame.get());
    pager.UpdatePager();
    EXPECT_EQ(pager.GetPageTotal(), 2);
    pager.SetCurrentPage(1);
    pager.NextPage();
    EXPECT_EQ(pager.GetCurrentPage(), 2);
    // The second page's ids (index 4 on) open one by one.
    ASSERT_TRUE(yav::testing::WaitUntil(
        [&] {
            QApplication::processEvents();
            return layout->GetUsedWndCount() == 2;
        },
        5000));
    EXPECT_NE(layout->FindVideoWnd(72), nullptr);
    EXPECT_NE(layout->FindVideoWnd(80), nullptr);
    g_AppSettings = saved;
}

TEST_F(RoomVideo, AZoomedVideoCoversTheRoomAndTheRestoreBringsThePanesBackAsTheyWere) {
    frame->MediaVideoRecv(kB, 123);
    ASSERT_NE(layout->FindVideoWnd(kB), nullptr);
    QWidget* window = &WindowOf(kB);
    const QRect area = layout->GetRect(0);
    struct Case {
        bool fullScreen;
        bool barsBack;
    };
    // Restored in full screen the bars stay hidden: the room hides them there.
    for (const Case c : {Case{false, true}, Case{true, false}}) {
        SCOPED_TRACE(c.fullScreen);
        if (c.fullScreen) {
            frame->SetFullScreen(true);
        }
        // The window's double click: the zoom message to the room.
        frame->SendMessage(WM_VIDEO_ZOOM_ROOM, kB, 1);
        EXPECT_TRUE(layout->IsMaxVideo());
        EXPECT_TRUE(frame->IsFullVideo());
        EXPECT_EQ(window->geometry(), frame->rect());
        EXPECT_FALSE(controlBar->shown_);
        EXPECT_FALSE(statusBar->shown_);
        EXPECT_FALSE(userList->visible);
        // The restore: the window back in its cell, the bars as the room shows them.
        frame->SendMessage(WM_VIDEO_ZOOM_ROOM, kB, 0);
        EXPECT_FALSE(layout->IsMaxVideo());
        EXPECT_FALSE(frame->IsFullVideo());
        EXPECT_EQ(controlBar->shown_, c.barsBack);
        EXPECT_EQ(statusBar->shown_, c.barsBack);
        EXPECT_EQ(userList->visible, c.barsBack);
        if (!c.fullScreen) {
            EXPECT_EQ(layout->GetRect(0), area);
        }
    }
}

TEST_F(RoomVideo, TheVideoAreaFollowsTheRoom) {
    const QRect area = layout->GetRect(0);
    EXPECT_FALSE(area.isEmpty());
    EXPECT_TRUE(frame->rect().contains(area));
    EXPECT_EQ(area.width(), frame->width() - frame->GetSidePanelSize());
    // Below the control bar (the 70-high strip); the 44-high status bar is at the bottom.
    EXPECT_EQ(area.top(), frame->GetStripSize());
    EXPECT_EQ(area.bottom() + 1, frame->height() - frame->GetTitleStripSize());
}

TEST_F(RoomVideo, TheVideoWindowsAskTheRoom) {
    ASSERT_NE(g_pVideoWindowHost, nullptr);
    ST_USER_ITEM_DEPT& b = fake.users.AddUser(kB, u"B", 0b1000'0011);
    b.broadcastMask = 0b1;
    b.speakState = 2;
    struct Case {
        std::uint16_t id;
        int speaking;
        int broadcast;
    };
    for (const Case c : {Case{kB, 1, 1}, Case{kB + 1, 1, 0}, Case{kB + 2, 1, -1}}) {
        int speaking = -9;
        int broadcast = -9;
        ASSERT_TRUE(g_pVideoWindowHost->GetSpeakInfo(c.id, &speaking, &broadcast)) << c.id;
        EXPECT_EQ(speaking, c.speaking) << c.id;
        EXPECT_EQ(broadcast, c.broadcast) << c.id;
    }
    EXPECT_FALSE(g_pVideoWindowHost->GetSpeakInfo(80, nullptr, nullptr));
    EXPECT_EQ(g_pVideoWindowHost->FormatChannelName(kB + 1), QStringLiteral("B-2"));

    // A window that stops cycling while it shows a video stops it and frees itself.
    frame->MediaVideoRecv(kB, 123);
    control.calls.clear();
    WindowOf(kB).StopCycling(false);
    EXPECT_EQ(control.calls, (std::vector<std::string>{"StopRecvVideo(24)"}));
    EXPECT_EQ(layout->FindVideoWnd(kB), nullptr);
}

TEST_F(RoomVideo, TheHandlersReceptionsRenderIntoTheWindowsSink) {
    RoomMedia reception(*frame);
    IRoomVideoWindow* window = layout->GetVideoWnd(3);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(reception.StartRecvVideo(kB, 888888, window, 0x9D01));
    EXPECT_TRUE(reception.HasStream(kB));
    EXPECT_TRUE(reception.StopRecvVideo(kB));
    EXPECT_EQ(control.calls,
              (std::vector<std::string>{"StartRecvVideo(24,888888,40193)", "StopRecvVideo(24)"}));
    ASSERT_EQ(control.sinks.size(), 1u);
    EXPECT_EQ(control.sinks[0], layout->GetLayoutWnd(3)->GetFrameSink());
    EXPECT_NE(control.sinks[0], nullptr);

    noChannelObject = true;
    EXPECT_FALSE(reception.StartRecvVideo(kB, 1, window, 0x9D00));
    EXPECT_FALSE(reception.HasStream(kB));
}

TEST_F(RoomVideo, WithTheCycleOnBsTwoChannelsTakeTurnsInOneWindow) {
    const ST_APP_SETTINGS saved = g_AppSettings;
    CVideoCycle* cycle = StartCycleOverB();
    ASSERT_TRUE(layout->IsVideoCycleOn());
    auto& window = dynamic_cast<CDlgVideo&>(*layout->GetLayoutWnd(0)->GetWidget());
    auto captionBecomes = [&window](const QString& caption) {
        return yav::testing::WaitUntil(
            [&] {
                QApplication::processEvents();
                return window.GetCaption() == caption;
            },
            15000);
    };
    // The first turn comes at once, the next ones every interval (6 s until it is set).
    ASSERT_TRUE(captionBecomes(QStringLiteral("B"))) << ::testing::PrintToString(control.calls);
    EXPECT_EQ(window.GetUserId(), kB);
    ASSERT_TRUE(captionBecomes(QStringLiteral("B-2"))) << ::testing::PrintToString(control.calls);
    EXPECT_EQ(window.GetUserId(), kB + 1);
    ASSERT_TRUE(captionBecomes(QStringLiteral("B")));
    // The one window took all turns.
    EXPECT_EQ(layout->GetUsedWndCount(), 1);
    layout->CloseAllVideo();
    cycle->Stop(true);
    g_AppSettings = saved;
}

TEST_F(RoomVideo, AWindowLeavingTheCycleIsTakenOutOfItsList) {
    const ST_APP_SETTINGS saved = g_AppSettings;
    CVideoCycle* cycle = StartCycleOverB();
    ASSERT_TRUE(layout->IsVideoCycleOn());
    ILayoutVideoWnd* first = layout->GetLayoutWnd(0);
    ASSERT_TRUE(layout->IsCycleWindow(first));
    dynamic_cast<CDlgVideo&>(*first->GetWidget()).StopCycling(true);
    EXPECT_FALSE(layout->IsCycleWindow(first));
    EXPECT_FALSE(cycle->IsRunning());
    g_AppSettings = saved;
}

// The voice-activation notice with the room's own video windows and panels.
// A room set up to arrange its videos by their count (what yavserver sends by default).
class RoomVideoByCount : public RoomVideo {
protected:
    void BeforeOpen() override { g_AppSettings.byOption9 = 13; }
};

TEST_F(RoomVideoByCount, EachCameraThatComesTakesItsShareOfTheArea) {
    EXPECT_TRUE(layout->IsAutoLayout());
    const QRect area = layout->GetRect(0);
    frame->MediaVideoRecv(kB, 123);
    QWidget* first = &WindowOf(kB);
    EXPECT_EQ(first->geometry(), area) << "one camera has the whole area";
    frame->MediaVideoRecv(kB + 1, 123);
    QWidget* second = &WindowOf(kB + 1);
    // Two halves side by side, both on the screen.
    EXPECT_TRUE(first->isVisible());
    EXPECT_TRUE(second->isVisible());
    EXPECT_EQ(first->width(), area.width() / 2);
    EXPECT_EQ(second->width(), area.width() / 2);
    EXPECT_FALSE(first->geometry().intersects(second->geometry()));
    EXPECT_EQ(first->y(), second->y());
    // The camera that goes leaves the whole area to the other.
    frame->StopVideoRecv(kB, 0, 1);
    EXPECT_EQ(second->geometry(), area);
}

class RoomVoiceNotice : public RoomVideo {
protected:
    static constexpr std::uint16_t kC = 32;

    void BeforeOpen() override {
        yav::panels::InstallPanelFactories(yav::room::Children());
        fake.users.AddUser(kC, u"Q%1", 0b1000'0011);
    }
    CDlgVoiceIncentive& Notice() {
        auto* notice = Find<CDlgVoiceIncentive>();
        EXPECT_NE(notice, nullptr);
        return *notice;
    }
    // Where the notice stands on a video window: its top-right corner, 80 in and 5 down.
    static QPoint CornerOf(const QRect& window) {
        return QPoint(window.right() + 1 - yav::Scaled(80), window.top() + yav::Scaled(5));
    }
};

TEST_F(RoomVoiceNotice, ABroadcastChannelsNoticeStandsOnItsWindowFollowsItAndLetsGo) {
    frame->GetMediaIdList().AddOrMoveToTail(kB + 1);
    frame->MediaVideoRecv(kB + 1, 123);
    CDlgVideo& window = WindowOf(kB + 1);
    ASSERT_TRUE(window.CanShowCaption());
    frame->SendMessage(WM_VOICE_INCENTIVE, kB + 1, 0);
    CDlgVoiceIncentive& notice = Notice();
    EXPECT_TRUE(notice.isVisible());
    EXPECT_EQ(notice.GetMode(), 2);
    EXPECT_EQ(notice.GetMediaId(), kB + 1);
    EXPECT_EQ(notice.GetWindowRect().topLeft(), CornerOf(window.GetWindowRect()));
    EXPECT_EQ(notice.GetWindowRect().size(), yav::ScaledSize(75, 27));
    EXPECT_EQ(notice.Label().GetWindowText(), LoadLangString(3211));
    EXPECT_EQ(control.stream.voiceMarker, 1) << "the stream marks the speaker";

    // The window moves: the notice goes with it.
    const QRect before = window.geometry();
    window.MoveWindow(before.x() + 17, before.y() + 9, before.width(), before.height());
    EXPECT_EQ(notice.GetWindowRect().topLeft(), CornerOf(window.GetWindowRect()));

    // Its time ends: the marker goes off and the window no longer carries the notice.
    ASSERT_TRUE(yav::testing::TimerDriver::Fire(notice, CDlgVoiceIncentive::kHideTimer));
    EXPECT_FALSE(notice.isVisible());
    EXPECT_EQ(control.stream.voiceMarker, 0);
    const QPoint left = notice.GetWindowRect().topLeft();
    window.MoveWindow(before);
    EXPECT_EQ(notice.GetWindowRect().topLeft(), left);
}

TEST_F(RoomVoiceNotice, AChannelNotBroadcastIsAnnouncedOverTheRoomByItsChannelName) {
    // C's second camera speaks; nobody shows it.
    ASSERT_FALSE(frame->IsMediaIdBroadcast(kC + 1));
    frame->SendMessage(WM_VOICE_INCENTIVE, kC + 1, 0);
    CDlgVoiceIncentive& notice = Notice();
    EXPECT_TRUE(notice.isVisible());
    EXPECT_EQ(notice.GetMode(), 1);
    // The name as typed, "%1" and all, with its channel.
    EXPECT_EQ(notice.Label().GetWindowText(), QStringLiteral("Q%1-2 ") + LoadLangString(3211));
    EXPECT_EQ(notice.GetWindowRect().size(), yav::ScaledSize(320, 32));
    EXPECT_EQ(control.stream.voiceMarker, -1) << "no marker over the room";
}

}  // namespace
}  // namespace room_test
