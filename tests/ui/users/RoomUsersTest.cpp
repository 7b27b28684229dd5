// The participant area in the room: the real participant panel, preview window, speak pop-ups
// and cycle filter, with the real layout manager and control bar, against the conference-server
// fake. What the user does is done with clicks, keys and mouse moves.

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CDlgPopSwitch.h"
#include "UsersUiSupport.h"
#include "client/conference/RoomMedia.h"
#include "client/conference/UserWindows.h"
#include "client/dialogs/panels/CDlgControlBar.h"
#include "client/dialogs/panels/PanelChildren.h"
#include "client/dialogs/video/CDlgVideo.h"
#include "client/dialogs/video/CDlgVideoCycle.h"
#include "client/dialogs/video/CDlgVideoStatus.h"
#include "client/dialogs/video/LayoutVideoWnd.h"
#include "client/dialogs/video/PreviewVideo.h"
#include "client/media/ILayoutVideoWnd.h"
#include "client/media/VideoCycle.h"
#include "client/media/XLayoutManager.h"
#include "components/KroMedia/IKroMedia.h"
#include "dialogs/users/CDlgSpeek.h"
#include "dialogs/users/CDlgUserList.h"
#include "fakes/video/FakeVideoHost.h"
#include "platform/window/testing/WindowTesting.h"
#include "ui/room/RoomFixture.h"

namespace {

using yav::testing::TimerDriver;
using yav::testing::WaitUntil;

// A channel object that starts and stops receptions and gives every id a stream.
class ChannelObject : public kromedia::IMediaControl {
public:
    virtual ~ChannelObject() = default;
    void SetHandler(kromedia::IMediaHandler*) override {}
    kromedia::IAudioEngine* GetAudioEngine() override { return nullptr; }
    kromedia::ILocalVideo* GetLocalVideo() override { return nullptr; }
    kromedia::IMediaStream* GetStream(uint16_t) override { return &stream; }
    int Login(uint16_t, const char*, uint16_t, uint32_t, uint32_t) override { return 1; }
    void Logout() override {}
    void SetUseTCP(uint32_t) override {}
    int StartRecvAudio(uint16_t, uint32_t) override { return 1; }
    int StopRecvAudio(uint16_t) override { return 1; }
    int StartRecvVideo(uint16_t id, uint32_t, void*, kromedia::IFrameSink*, uint32_t) override {
        started.push_back(id);
        return 1;
    }
    int StopRecvVideo(uint16_t id) override {
        stopped.push_back(id);
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

    std::vector<std::uint16_t> started;
    std::vector<std::uint16_t> stopped;
    fakes::FakeStream stream;
};

class RoomUsers : public room_test::RoomFixture {
protected:
    static constexpr std::uint16_t kB = 24;
    static constexpr std::uint16_t kC = 32;

    Installed Children() const override {
        Installed which;
        which.userList = false;
        which.controlBar = false;
        return which;
    }

    void SetUp() override {
        RoomFixture::SetUp();
        users_ui::LoadResources();
        yav::room::RoomChildFactories& make = yav::room::Children();
        yav::users::RegisterRoomWindows();
        yav::room::RoomChildFactories panels;
        yav::panels::InstallPanelFactories(panels);
        make.controlBar = panels.controlBar;
        make.layoutManager = [](QWidget* room) -> std::unique_ptr<ILayoutManager> {
            auto* hub = dynamic_cast<XMainFrame*>(room);
            return std::make_unique<XLayoutManager>(hub, &hub->GetRoomLayout(),
                                                    &LayoutVideoWnd::Make);
        };
        make.roomMedia = [this]() -> std::unique_ptr<IRoomMedia> {
            return std::make_unique<RoomMedia>(*frame);
        };
        frame->mediaControlSource = [this](std::uint16_t) -> kromedia::IMediaControl* {
            return &channels;
        };
        // B has one camera and a microphone; C only a microphone.
        ST_USER_ITEM_DEPT& b = fake.users.AddUser(kB, u"Bea", 0b1);
        b.videoChannelCount = 1;
        b.audioDevice = 1;
        fake.users.AddUser(kC, u"Cy").audioDevice = 1;
        // I am the chair (also for a login again after a lost connection).
        fake.loginInfo.kind = USER_KIND_CHAIR;
        frame->GetConfManager()->GetLoginInfo().kind = USER_KIND_CHAIR;
        // The conference's limits, as its login gives them.
        fake.appInfo.speakerLimit = 4;
        fake.appInfo.maxBroadcastChannels = 4;
        g_AppSettings.wSpeakerLimit = 4;
        g_AppSettings.byMaxBroadcastChannels = 4;
    }

    void OpenRoom() {
        Open();
        frame->show();
        list = dynamic_cast<CDlgUserList*>(frame->CYavClientDlg::GetUserList());
        ASSERT_NE(list, nullptr);
        QApplication::processEvents();
        ASSERT_TRUE(list->isVisible());
    }

    // A click on the name of a user's row in the participant tree.
    void ClickRow(std::uint16_t userId) {
        CMyTreeCtrl& tree = list->GetUserTree();
        const QRect row = tree.visualRect(tree.Model().IndexOf(tree.Tree().FirstUserNode(userId)));
        ASSERT_TRUE(row.isValid()) << userId;
        QTest::mouseClick(tree.viewport(), Qt::LeftButton, {},
                          QPoint(row.left() + yav::Scaled(60), row.center().y()));
    }

    std::uint16_t PreviewId() {
        IVideoWindow* preview = frame->OwnVideoWindow();
        return preview != nullptr ? preview->GetUserId() : 0;
    }

    std::vector<std::uint16_t> Rows(const yav::users::UserTree& tree) {
        std::vector<std::uint16_t> ids;
        std::function<void(const yav::users::TreeNode&)> walk =
            [&](const yav::users::TreeNode& at) {
                for (const auto& child : at.children) {
                    if (child->IsUser()) {
                        ids.push_back(child->user.userId);
                    }
                    walk(*child);
                }
            };
        walk(tree.Root());
        std::sort(ids.begin(), ids.end());
        ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
        return ids;
    }

    ChannelObject channels;
    CDlgUserList* list = nullptr;
};

}  // namespace

// The control bar's layout-sync button switches the room between its own layout and the one
// sent over the network; a participant's row opens the preview only while the room follows
// the network's.
TEST_F(RoomUsers, TheLayoutSyncButtonDecidesWhetherARowOpensThePreview) {
    OpenRoom();
    CDlgControlBar* bar = Find<CDlgControlBar>();
    ASSERT_NE(bar, nullptr);
    QWidget* sync = bar->GetDlgItem(CDlgControlBar::IDC_SYNC_LAYOUT);
    ASSERT_NE(sync, nullptr);
    ASSERT_EQ(g_AppSettings.freeLayout, 0);

    ClickRow(kB);
    EXPECT_EQ(PreviewId(), kB);
    ClickRow(kB);
    EXPECT_EQ(PreviewId(), 0);

    QTest::mouseClick(sync, Qt::LeftButton);
    ASSERT_TRUE(WaitUntil([] { return g_AppSettings.freeLayout == 1; }));
    ClickRow(kB);
    QApplication::processEvents();
    EXPECT_EQ(PreviewId(), 0);

    QTest::mouseClick(sync, Qt::LeftButton);
    ASSERT_TRUE(WaitUntil([] { return g_AppSettings.freeLayout == 0; }));
    ClickRow(kB);
    EXPECT_EQ(PreviewId(), kB);
}

// The chair's pop-up of a participant offers what this room has: no device dialog and no
// remote assistance yet, so those two items cannot be chosen; the others can.
TEST_F(RoomUsers, TheChairPopupOffersTheMissingPartsDisabled) {
    OpenRoom();
    CMyTreeCtrl& tree = list->GetUserTree();
    const QRect row = tree.visualRect(tree.Model().IndexOf(tree.Tree().FirstUserNode(kB)));
    QTest::mouseClick(tree.viewport(), Qt::RightButton, {},
                      QPoint(row.left() + yav::Scaled(60), row.center().y()));
    CDlgPopSwitch* popup = tree.GetChairPopup();
    ASSERT_NE(popup, nullptr);
    ASSERT_TRUE(popup->isVisible());
    EXPECT_FALSE(popup->GetButton(yav::users::ID_USER_REMOTE_PARAM)->isEnabled());
    EXPECT_FALSE(popup->GetButton(yav::users::ID_USER_REMOTE_ASSIST)->isEnabled());
    EXPECT_TRUE(popup->GetButton(yav::users::ID_USER_GRANT_SPEAK)->isEnabled());
    EXPECT_TRUE(popup->GetButton(yav::users::ID_USER_KICK)->isEnabled());
}

// The close button of the preview window (shown while the mouse is over it) ends the preview
// the participant tree opened.
TEST_F(RoomUsers, ThePreviewsCloseButtonEndsThePreview) {
    OpenRoom();
    ClickRow(kB);
    ASSERT_EQ(PreviewId(), kB);
    auto* own = dynamic_cast<PreviewVideo*>(frame->GetOwnVideo());
    ASSERT_NE(own, nullptr);
    CDlgVideo* preview = &own->Window();
    ASSERT_TRUE(preview->isVisible());
    ASSERT_TRUE(TimerDriver::Fire(*preview, CDlgVideo::TIMER_CREATE_CHILDREN));
    // The preview is a window of its own above the room: the mouse is moved in that window.
    ASSERT_NE(preview->windowHandle(), nullptr);
    QTest::mouseMove(preview->windowHandle(), preview->rect().center());
    QWidget* close = nullptr;
    for (QWidget* child : preview->findChildren<QWidget*>()) {
        if (dynamic_cast<CDlgVideoStatus*>(child) != nullptr && child->isVisible()) {
            close = child;
        }
    }
    ASSERT_NE(close, nullptr);
    QTest::mouseClick(close, Qt::LeftButton);
    EXPECT_EQ(PreviewId(), 0);
    EXPECT_EQ(std::count(channels.stopped.begin(), channels.stopped.end(), kB), 1);
}

// A connection lost and found again: the participant window lists the participants of the new
// login, not who left meanwhile, and its stage list is the new one.
TEST_F(RoomUsers, AfterAReconnectionTheTreesHoldOnlyTheParticipantsOfTheNewLogin) {
    fake.users.AddUser(kB, u"Bea", 0b1).speakState = 2;
    OpenRoom();
    ASSERT_EQ(Rows(list->Model().Members()), (std::vector<std::uint16_t>{kMyId, kB, kC}));
    ASSERT_EQ(Rows(list->Model().Stage()), (std::vector<std::uint16_t>{kB}));

    frame->reconnectIntervalMs = 20;
    fake.queue.Push(ST_CS_MSG{});
    ASSERT_TRUE(TimerDriver::Fire(*frame, CYavClientDlg::TIMER_RECV_DATA));
    // Meanwhile C leaves and B stops speaking.
    fake.users.RemoveUser(kC);
    fake.users.AddUser(kB, u"Bea", 0b1).speakState = 0;
    ASSERT_TRUE(
        WaitUntil([this] { return frame->isEnabled() && !frame->IsReconnecting(); }, 10000));
    EXPECT_EQ(Rows(list->Model().Members()), (std::vector<std::uint16_t>{kMyId, kB}));
    EXPECT_TRUE(Rows(list->Model().Stage()).empty());
    EXPECT_EQ(list->GetSpeakerCount(), 0);
    EXPECT_EQ(list->GetUserTree().Tree().FirstUserNode(kMyId),
              list->GetUserTree().Tree().Root().children.front().get());
}

// The mouse over a participant's video shows the chair the speak pop-up; its buttons give the
// floor and broadcast the window's channel through the conference server.
TEST_F(RoomUsers, TheSpeakPopupOverAParticipantsVideoGivesTheFloorAndBroadcasts) {
    OpenRoom();
    frame->MediaVideoRecv(kB, 123);
    auto* layout = dynamic_cast<XLayoutManager*>(frame->GetLayoutManager());
    ASSERT_NE(layout, nullptr);
    ASSERT_NE(layout->FindVideoWnd(kB), nullptr);
    auto& video = dynamic_cast<CDlgVideo&>(*layout->FindVideoWnd(kB)->GetWidget());
    ASSERT_TRUE(TimerDriver::Fire(video, CDlgVideo::TIMER_CREATE_CHILDREN));
    ASSERT_NE(video.GetSpeakPopup(), nullptr);
    QWidget* popup = video.GetSpeakPopup()->GetWidget();
    ASSERT_NE(popup, nullptr);
    EXPECT_FALSE(popup->isVisible());

    QTest::mouseMove(video.window()->windowHandle(),
                     video.mapTo(video.window(), video.rect().center()));
    QApplication::processEvents();
    ASSERT_TRUE(popup->isVisible());
    // In the video's bottom-left corner, inside the window.
    EXPECT_TRUE(video.rect().contains(popup->geometry()));
    EXPECT_EQ(popup->size(), QSize(yav::Scaled(76), yav::Scaled(37)));

    auto* speak = dynamic_cast<CDlgSpeek*>(popup);
    ASSERT_NE(speak, nullptr);
    log.Clear();
    QTest::mouseClick(speak->GetDlgItem(CDlgSpeek::IDC_SPEAK), Qt::LeftButton);
    ASSERT_TRUE(WaitUntil([this] { return log.Count("AwardSpeek(24,2)") == 1; }));
    QTest::mouseClick(speak->GetDlgItem(CDlgSpeek::IDC_BROADCAST), Qt::LeftButton);
    ASSERT_TRUE(WaitUntil([this] { return log.Count("BroadcastVideo(24,1)") == 1; }));
}

// The cycle filter chooses among the participants' channels in the check-box user tree: its
// filter button opens it from the cycle settings, a mark is clicked and OK filters the cycle.
TEST_F(RoomUsers, TheCycleFilterTicksChannelsInTheCheckBoxTree) {
    OpenRoom();
    CVideoCycle* cycle = frame->GetVideoCycle();
    ASSERT_NE(cycle, nullptr);
    CDlgCycleSet* settings = frame->GetCycleSetDlg();
    settings->ShowDlg(CDlgCycleSet::kModeCycle);
    QTest::mouseClick(settings->GetDlgItem(CDlgCycleSet::IDC_FILTER), Qt::LeftButton);
    CDlgCycleFilter* filter = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        filter = Find<CDlgCycleFilter>();
        return filter != nullptr && filter->isVisible();
    }));
    CSelectUserTree& tree = filter->GetTree();
    ASSERT_EQ(filter->GetDlgItem(CDlgCycleFilter::IDC_TREE), &tree);
    // B's camera is the one entry (I have none).
    ASSERT_EQ(tree.model()->rowCount(), 1);
    EXPECT_EQ(tree.model()->index(0, 0).data().toString(), QStringLiteral("Bea"));
    const QRect row = tree.visualRect(tree.model()->index(0, 0));
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {},
                      QPoint(tree.viewport()->width() - yav::Scaled(8), row.center().y()));
    ASSERT_TRUE(WaitUntil([&] { return filter->IsAllSelected() == 1; }));
    QTest::mouseClick(filter->GetDlgItem(CDlgCycleFilter::IDC_OK_BUTTON), Qt::LeftButton);
    EXPECT_FALSE(filter->isVisible());
    EXPECT_TRUE(cycle->HasFilterUser(kB));
}

// Keys and the window manager's close leave the docked panel beside the videos; when the room
// itself hides it (a video maximised), restoring the video brings it back.
// In full screen Esc leaves it wherever the keyboard focus rests in the room: on the
// participant tree that full screen hid (the tree keeps the focus, nothing else in the room
// takes it), or on a video window; both windows' own key filters swallow Esc.
TEST_F(RoomUsers, EscLeavesFullScreenWhereverTheFocusRestsInTheRoom) {
    OpenRoom();
    frame->MediaVideoRecv(kB, 123);
    auto* layout = dynamic_cast<XLayoutManager*>(frame->GetLayoutManager());
    auto& video = dynamic_cast<CDlgVideo&>(*layout->FindVideoWnd(kB)->GetWidget());
    CDlgControlBar* bar = nullptr;
    for (QWidget* child : frame->findChildren<QWidget*>()) {
        bar = bar != nullptr ? bar : dynamic_cast<CDlgControlBar*>(child);
    }
    ASSERT_NE(bar, nullptr);
    CMyTreeCtrl& tree = list->GetUserTree();
    const struct {
        const char* where;
        std::function<QWidget*()> focus;
    } cases[] = {
        {"the hidden participant tree", [&] { return frame->focusWidget(); }},
        {"a video window", [&] { return static_cast<QWidget*>(&video); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.where);
        // A click below the rows gives the tree the focus; the bar's button enters full screen.
        QTest::mouseClick(tree.viewport(), Qt::LeftButton, {},
                          QPoint(5, tree.viewport()->height() - 5));
        ASSERT_EQ(frame->focusWidget(), &tree);
        CYavPngButton& button = bar->Button(CDlgControlBar::IDC_FULLSCREEN);
        QTest::mouseClick(&button, Qt::LeftButton, {}, button.rect().center());
        ASSERT_TRUE(WaitUntil([&] {
            QApplication::processEvents();
            return g_bFullScreen != 0 && !list->isVisible();
        }));
        QWidget* target = c.focus();
        ASSERT_NE(target, nullptr);
        QTest::keyClick(target, Qt::Key_Escape);
        EXPECT_TRUE(WaitUntil([&] {
            QApplication::processEvents();
            return g_bFullScreen == 0 && list->isVisible() && bar->isVisible();
        })) << "Esc on "
            << target->metaObject()->className() << " did not leave full screen";
        EXPECT_FALSE(frame->isFullScreen());
    }
    // Out of full screen Esc changes nothing.
    QTest::keyClick(&video, Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_EQ(g_bFullScreen, 0);
    EXPECT_TRUE(frame->isVisible());
}

TEST_F(RoomUsers, ThePanelStaysThroughKeysAndComesBackAfterTheRoomHidesIt) {
    OpenRoom();
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Space}) {
        QTest::keyClick(&list->GetUserTree(), key);
        QApplication::processEvents();
        EXPECT_TRUE(list->isVisible()) << key;
    }
    list->close();
    QApplication::processEvents();
    EXPECT_TRUE(list->isVisible());

    frame->MediaVideoRecv(kB, 123);
    auto* layout = dynamic_cast<XLayoutManager*>(frame->GetLayoutManager());
    auto& video = dynamic_cast<CDlgVideo&>(*layout->FindVideoWnd(kB)->GetWidget());
    QTest::mouseDClick(&video, Qt::LeftButton);
    ASSERT_TRUE(WaitUntil([&] { return !list->isVisible(); }));
    QTest::mouseDClick(&video, Qt::LeftButton);
    ASSERT_TRUE(WaitUntil([&] { return list->isVisible(); }));
}

// The participant panel the room makes works for that room: while it floats, its page reaches
// the room's full-screen strip; a broadcast it is told of marks the speak pop-up of the room's
// video window showing the channel; when someone else presents, the room's document tools and
// pages follow, and not when I present.
TEST_F(RoomUsers, ThePanelReachesTheStripVideoWindowsAndDocumentsOfItsRoom) {
    OpenRoom();
    list->SetFloat(true);
    log.Clear();
    QTest::mouseClick(list->GetDlgItem(CDlgUserList::IDC_TAB_CHAT), Qt::LeftButton);
    QTest::mouseClick(list->GetDlgItem(CDlgUserList::IDC_TAB_MEMBERS), Qt::LeftButton);
    EXPECT_EQ(
        log.Matching("FullDock.SetUserListPage"),
        (std::vector<std::string>{"FullDock.SetUserListPage(1)", "FullDock.SetUserListPage(0)"}));
    list->SetFloat(false);

    frame->MediaVideoRecv(kB, 123);
    auto* layout = dynamic_cast<XLayoutManager*>(frame->GetLayoutManager());
    ASSERT_NE(layout, nullptr);
    ASSERT_NE(layout->FindVideoWnd(kB), nullptr);
    auto& video = dynamic_cast<CDlgVideo&>(*layout->FindVideoWnd(kB)->GetWidget());
    ASSERT_TRUE(TimerDriver::Fire(video, CDlgVideo::TIMER_CREATE_CHILDREN));
    ASSERT_NE(video.GetSpeakPopup(), nullptr);
    auto* speak = dynamic_cast<CDlgSpeek*>(video.GetSpeakPopup()->GetWidget());
    ASSERT_NE(speak, nullptr);
    ASSERT_EQ(speak->GetBroadcastIcon(), 0);
    list->SetBroadcastState(kB, 1);
    EXPECT_EQ(speak->GetBroadcastIcon(), 1);
    list->SetBroadcastState(kB, 0);
    EXPECT_EQ(speak->GetBroadcastIcon(), 0);

    // After a re-entry in which I present, the room's windows stay as they are.
    ST_USER_ITEM_DEPT me = fake.users.AddUser(kMyId, u"me");
    me.presenterState = 2;
    list->ResetAll();
    log.Clear();
    ASSERT_EQ(list->AddUser(&me), 1);
    EXPECT_EQ(log.Count("ToolBox."), 0u);
    // Someone else presenting: the document window's tools are shown to follow.
    ST_USER_ITEM_DEPT other = fake.users.AddUser(40, u"Dee");
    other.presenterState = 2;
    ASSERT_EQ(list->AddUser(&other), 1);
    EXPECT_EQ(log.Matching("ToolBox.ShowBox"), std::vector<std::string>{"ToolBox.ShowBox(4)"});
}
