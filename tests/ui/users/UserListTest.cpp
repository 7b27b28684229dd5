// The participant panel offscreen: the members page with departments, stage and search, the
// search debounce, the chat page's recipients, the chair's pop-up, the search-choice pop-up,
// the notice bubble, and their pictures at scale 1.0 and 1.5.

#include <QApplication>
#include <QLineEdit>
#include <QPainter>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "AppSettings.h"
#include "CDlgPopSwitch.h"
#include "Common/MessageIds.h"
#include "UserListFixture.h"
#include "UsersUiSupport.h"
#include "client/conference/RoomActionHost.h"
#include "client/conference/RoomFactories.h"
#include "client/conference/UserWindows.h"
#include "client/conference/XConfManager.h"
#include "client/dialogs/video/CDlgVideo.h"
#include "client/dialogs/video/PreviewVideo.h"
#include "dialogs/users/CDlgFindCase.h"
#include "dialogs/users/CDlgUserList.h"
#include "dialogs/users/CDlgUserlistMsg.h"
#include "fakes/conference/CallLog.h"
#include "fakes/conference/FakeMainFrame.h"
#include "fakes/conference/FakeRoomChildren.h"
#include "fakes/ui/RecordingWindow.h"
#include "fakes/users/RecordingActionHost.h"
#include "platform/window/testing/WindowTesting.h"

using namespace yav::users;
using yav::testing::TimerDriver;

namespace {

using users_ui::Dept;
using users_ui::Record;
using users_ui::ScriptedHost;
using UserListTest = users_ui::UserListTest;

}  // namespace

TEST_P(UserListTest, MembersPageShowsDepartmentsStageCounterAndEveryIconState) {
    AddParticipants();
    const UserTree& members = list->Model().Members();
    EXPECT_EQ(members.Root().children.front()->user.userId, 8);  // me first at the root
    EXPECT_EQ(members.FindDeptItem(11)->dept.Caption(), "Head office(3)");
    EXPECT_EQ(members.FindDeptItem(13)->dept.Caption(), "Research (north)(2)");
    EXPECT_EQ(members.FindDeptItem(14)->dept.Caption(), "Video team(1)");
    EXPECT_EQ(members.FindDeptItem(12)->dept.Caption(), "Sales(1)");
    std::vector<std::uint16_t> stage;
    for (const auto& row : list->Model().Stage().Root().children) {
        stage.push_back(row->user.userId);
    }
    EXPECT_EQ(stage, (std::vector<std::uint16_t>{16, 24}));
    EXPECT_EQ(list->GetOnlineCountText(), LoadLangString(2821) + "(5)");
    // A name that looks like markup is shown as it is.
    CMyTreeCtrl& tree = list->GetUserTree();
    EXPECT_EQ(tree.Model().RowText(*members.FirstUserNode(24)), "<b>Bob</b>");
    // ... and no row carries a tool tip, which Qt would take for rich text.
    const QModelIndex bob = tree.Model().IndexOf(members.FirstUserNode(24));
    EXPECT_EQ(tree.Model().data(bob, Qt::DisplayRole).toString(), "<b>Bob</b>");
    EXPECT_FALSE(tree.Model().data(bob, Qt::ToolTipRole).isValid());

    // The chair hovers over Alice's presenter icon: that row's background darkens.
    QPoint alice = RowCentre(tree, 16);
    alice.setX(tree.RowRightEdge() - yav::Scaled(CMyTreeCtrl::kPresenterIconRight) +
               yav::Scaled(5));
    QTest::mouseMove(tree.viewport(), alice);
    EXPECT_EQ(members.FirstUserNode(16)->hoverArea, TreeNode::kHoverPresenter);
    QApplication::processEvents();
    ASSERT_TRUE(tree.isVisible());
    const QImage picture = list->grab().toImage();
    EXPECT_EQ(picture.size(), QSize(yav::Scaled(320), yav::Scaled(640)));
    const QPoint inPanel = tree.viewport()->mapTo(list, QPoint(yav::Scaled(2), alice.y()));
    EXPECT_EQ(picture.pixelColor(inPanel), QColor(0xEE, 0xEE, 0xEE));
    const QPoint otherRow =
        tree.viewport()->mapTo(list, QPoint(yav::Scaled(2), RowCentre(tree, 24).y()));
    EXPECT_EQ(picture.pixelColor(otherRow), QColor(0xF3, 0xF3, 0xF3));
    users_ui::SaveGrab(picture, users_ui::GrabName("users_members_page", GetParam()));

    // A participant who is not a chair gets the row hover only.
    host.admin = false;
    QTest::mouseMove(tree.viewport(), alice + QPoint(1, 0));
    EXPECT_EQ(members.FirstUserNode(16)->hoverArea, TreeNode::kHoverRow);
}

namespace {

// The skin image of an icon as a row draws it: the image (its larger form above scale 1.1
// when it has one) over the row's background, in the icon's rectangle.
QImage IconReference(std::uint32_t imageId, bool hasLarger, const QSize& size, const QColor& back) {
    QImage reference(size, QImage::Format_ARGB32_Premultiplied);
    reference.fill(back);
    const QImage* image = nullptr;
    if (hasLarger && g_fExchangePW > 1.1) {
        image = g_ConfigManager.LoadPNG(imageId + 1);
    }
    if (image == nullptr || image->isNull()) {
        image = g_ConfigManager.LoadPNG(imageId);
    }
    if (imageId != 0 && image != nullptr && !image->isNull()) {
        QPainter painter(&reference);
        painter.drawImage(QRect(QPoint(0, 0), size), *image);
    }
    return reference;
}

// Pixels of the area that differ from the reference by more than a rounding step.
int DifferingPixels(const QImage& picture, const QRect& area, const QImage& reference) {
    const QImage shown = picture.copy(area).convertToFormat(QImage::Format_ARGB32);
    const QImage expected = reference.convertToFormat(QImage::Format_ARGB32);
    int differing = 0;
    for (int y = 0; y < expected.height(); ++y) {
        for (int x = 0; x < expected.width(); ++x) {
            const QColor a = shown.pixelColor(x, y);
            const QColor b = expected.pixelColor(x, y);
            if (std::abs(a.red() - b.red()) > 3 || std::abs(a.green() - b.green()) > 3 ||
                std::abs(a.blue() - b.blue()) > 3) {
                ++differing;
            }
        }
    }
    return differing;
}

}  // namespace

TEST_P(UserListTest, EveryIconStateShowsItsImageOnItsRow) {
    AddParticipants();
    // Two more: several channels with one broadcast, and a participant in a voice group.
    ST_USER_ITEM_DEPT several = Record(48, u"Eve", 12);
    several.channelMask = 3;
    several.videoChannelCount = 2;
    several.broadcastMask = 2;
    several.privateData.groupValue = 5;
    list->AddUser(&several);
    QApplication::processEvents();

    // Image ids at scale 1.0 (0: nothing drawn) and whether a larger form exists.
    struct Icon {
        std::uint32_t id;
        bool larger;
    };
    constexpr Icon kNone{0, false};
    constexpr Icon kChair{856, true}, kMember{858, true};
    constexpr Icon kPresenter{1012, true}, kPresenterHover{1014, true};
    constexpr Icon kPresenterQueued{1016, true}, kPresenterOffer{1020, true};
    constexpr Icon kSpeaking{882, true}, kApplied{898, false}, kListened{886, true};
    constexpr Icon kInGroup{890, true}, kAudioOffer{894, false}, kAudioHover{896, false};
    constexpr Icon kVideoOn{902, true}, kVideoBroadcast{846, true}, kVideoBroadcastHover{848, true};
    constexpr Icon kVideos{1176, false}, kVideosBroadcast{1178, false};
    const struct {
        const char* what;
        std::uint16_t user;
        int depth;
        std::uint8_t hover;  // the area the chair's mouse is over on this row
        Icon person, presenter, audio, video;
    } rows[] = {
        {"chair, one camera", 8, 0, TreeNode::kHoverNone, kChair, kNone, kNone, kVideoOn},
        {"presenter speaking, broadcast", 16, 2, TreeNode::kHoverNone, kMember, kPresenter,
         kSpeaking, kVideoBroadcast},
        {"queued, applied, two cameras", 24, 3, TreeNode::kHoverNone, kMember, kPresenterQueued,
         kApplied, kVideos},
        {"temporary admin listened to", 32, 1, TreeNode::kHoverNone, kChair, kNone, kListened,
         kNone},
        {"no devices", 40, 0, TreeNode::kHoverNone, kMember, kNone, kNone, kNone},
        {"voice group, two cameras one broadcast", 48, 1, TreeNode::kHoverNone, kMember, kNone,
         kInGroup, kVideosBroadcast},
        // The chair's mouse: the offers on a row, each icon's hover form.
        {"row hovered", 8, 0, TreeNode::kHoverRow, kChair, kPresenterOffer, kAudioOffer, kVideoOn},
        {"presenter hovered", 16, 2, TreeNode::kHoverPresenter, kMember, kPresenterHover, kSpeaking,
         kVideoBroadcast},
        {"audio hovered", 8, 0, TreeNode::kHoverAudio, kChair, kNone, kAudioHover, kVideoOn},
        {"video hovered", 16, 2, TreeNode::kHoverVideo, kMember, kPresenter, kSpeaking,
         kVideoBroadcastHover},
    };
    CMyTreeCtrl& tree = list->GetUserTree();
    const int right = tree.RowRightEdge();
    for (const auto& r : rows) {
        const int shownRight[] = {CMyTreeCtrl::kPresenterIconRight, CMyTreeCtrl::kAudioIconRight,
                                  CMyTreeCtrl::kVideoIconRight};
        const std::uint8_t areas[] = {TreeNode::kHoverPresenter, TreeNode::kHoverAudio,
                                      TreeNode::kHoverVideo};
        QPoint mouse = RowCentre(tree, r.user);
        for (int i = 0; i < 3; ++i) {
            if (r.hover == areas[i]) {
                mouse.setX(right - yav::Scaled(shownRight[i]) + yav::Scaled(5));
            }
        }
        if (r.hover != TreeNode::kHoverNone) {
            QTest::mouseMove(tree.viewport(), mouse);
            ASSERT_EQ(tree.Tree().FirstUserNode(r.user)->hoverArea, r.hover) << r.what;
        } else {
            // Below the last row: no row is hovered.
            QTest::mouseMove(tree.viewport(),
                             QPoint(yav::Scaled(5), tree.viewport()->height() - 2));
        }
        QApplication::processEvents();
        const QImage picture = list->grab().toImage();
        if (r.user == 16 && r.hover == TreeNode::kHoverPresenter) {
            users_ui::SaveGrab(picture, users_ui::GrabName("users_member_icons", GetParam()));
        }
        const QRect row = tree.visualRect(tree.Model().IndexOf(tree.Tree().FirstUserNode(r.user)));
        const QColor back =
            r.hover != TreeNode::kHoverNone ? QColor(0xEE, 0xEE, 0xEE) : QColor(0xF3, 0xF3, 0xF3);
        const auto inPicture = [&](const QRect& inViewport) {
            return QRect(tree.viewport()->mapTo(list, inViewport.topLeft()), inViewport.size());
        };
        const QRect person(r.depth * yav::Scaled(16) + static_cast<int>(6.4 * GetParam()),
                           row.top() + (row.height() - yav::Scaled(18)) / 2, yav::Scaled(17),
                           yav::Scaled(18));
        const QImage personShown = IconReference(r.person.id, r.person.larger, person.size(), back);
        EXPECT_EQ(DifferingPixels(picture, inPicture(person), personShown), 0)
            << r.what << " person";
        const Icon icons[] = {r.presenter, r.audio, r.video};
        for (int i = 0; i < 3; ++i) {
            const QRect area(right - yav::Scaled(shownRight[i]),
                             row.top() + (row.height() - yav::Scaled(CMyTreeCtrl::kIconHeight)) / 2,
                             yav::Scaled(CMyTreeCtrl::kIconWidth),
                             yav::Scaled(CMyTreeCtrl::kIconHeight));
            const QImage expected = IconReference(icons[i].id, icons[i].larger, area.size(), back);
            if (icons[i].id != 0) {
                // The image is there to be told apart from an empty slot.
                ASSERT_NE(expected, IconReference(0, false, area.size(), back)) << icons[i].id;
            }
            EXPECT_EQ(DifferingPixels(picture, inPicture(area), expected), 0)
                << r.what << " icon " << i << " image " << icons[i].id;
        }
    }
}

TEST_P(UserListTest, TypingRunsOneSearchAfterTheLastChangeAndEmptyingEndsIt) {
    AddParticipants();
    QTest::mouseClick(list->GetDlgItem(CDlgUserList::IDC_SEARCH_TOGGLE), Qt::LeftButton);
    ASSERT_TRUE(list->IsSearchBarShown());
    QLineEdit& edit = list->GetSearchEdit();
    for (const char* typed : {"a", "al", "ali"}) {
        edit.setText(typed);
        EXPECT_EQ(list->GetTimerElapse(CDlgUserList::kSearchTimer), 250);
    }
    EXPECT_EQ(list->Model().SearchRuns(), 0);
    ASSERT_TRUE(TimerDriver::Fire(*list, CDlgUserList::kSearchTimer));
    EXPECT_FALSE(list->IsTimerSet(CDlgUserList::kSearchTimer));
    EXPECT_EQ(list->Model().SearchRuns(), 1);
    EXPECT_TRUE(list->GetResultTree().isVisible());
    EXPECT_FALSE(list->GetUserTree().isVisible());
    ASSERT_EQ(list->Model().Results().Root().children.size(), 1u);
    EXPECT_EQ(list->Model().Results().Root().children[0]->user.userId, 16);

    // The keyword lists the speakers, not names holding the word.
    edit.setText(LoadLangString(2824));
    TimerDriver::Fire(*list, CDlgUserList::kSearchTimer);
    ASSERT_EQ(list->Model().Results().Root().children.size(), 1u);
    EXPECT_EQ(list->Model().Results().Root().children[0]->user.userId, 16);
    QApplication::processEvents();
    const QImage results = list->grab().toImage();
    EXPECT_EQ(results.size(), list->size());
    users_ui::SaveGrab(results, users_ui::GrabName("users_search_results", GetParam()));

    edit.clear();
    EXPECT_FALSE(list->Model().IsSearchActive());
    EXPECT_TRUE(list->GetUserTree().isVisible());
    EXPECT_FALSE(list->GetResultTree().isVisible());
}

TEST_P(UserListTest, JoinsAndLeavesReachTheChatRecipientsOnce) {
    AddParticipants();
    ST_USER_ITEM_DEPT again = Record(24, u"<b>Bob</b>", 14);
    EXPECT_EQ(list->AddUser(&again), 0);
    EXPECT_EQ(list->AddUser(nullptr), 0);
    list->OnUserLeave(24, 4);
    const auto calls = log.Calls();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "Chat.AddRecipient(24)"), 1);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "Chat.RemoveRecipient(24)"), 1);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "Chat.SelectRecipient(24)"), 0);
    EXPECT_EQ(list->Model().Members().FindDeptItem(14)->dept.Caption(), "Video team(0)");
    EXPECT_EQ(list->Model().Stage().Root().children.size(), 1u);
}

TEST_P(UserListTest, ChairPopupByRole) {
    AddParticipants();
    CMyTreeCtrl& tree = list->GetUserTree();
    ClickAt(tree, RowCentre(tree, 16), Qt::RightButton);
    CDlgPopSwitch* popup = tree.GetChairPopup();
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(popup->isVisible());
    EXPECT_EQ(popup->GetItems().size(), 6u);
    EXPECT_EQ(popup->GetItems()[0]->GetWindowText(), LoadLangString(kTextRemovePresenter));
    EXPECT_EQ(popup->height(), yav::Scaled(5 * 38 + 45));
    ASSERT_FALSE(popup->GetLayeredPicture().isNull());
    users_ui::SaveGrab(popup->GetLayeredPicture(),
                       users_ui::GrabName("users_chair_popup_admin", GetParam()));

    // A choice runs the command for the row's user.
    QTest::mouseClick(popup->GetButton(ID_USER_GRANT_SPEAK), Qt::LeftButton);
    ASSERT_TRUE(yav::testing::WaitUntil([&] { return !host.calls.empty(); }));
    EXPECT_EQ(host.calls.back(), "AwardSpeek 16 0");

    host.admin = false;
    host.presenter = true;
    ClickAt(tree, RowCentre(tree, 24), Qt::RightButton);
    ASSERT_TRUE(popup->isVisible());
    EXPECT_EQ(popup->GetItems().size(), 2u);
    users_ui::SaveGrab(popup->GetLayeredPicture(),
                       users_ui::GrabName("users_chair_popup_presenter", GetParam()));

    host.presenter = false;
    popup->ShowPopup(SW_HIDE);
    ClickAt(tree, RowCentre(tree, 24), Qt::RightButton);
    EXPECT_FALSE(popup->isVisible());
}

TEST_P(UserListTest, RowAndVideoIconOpenTheChoosersAndAVideolessRowATipOnce) {
    AddParticipants();
    host.hasPreview = true;
    CMyTreeCtrl& tree = list->GetUserTree();
    std::int64_t now = 1000;
    tree.SetClock([&] { return now; });

    // Bob has two channels: his row opens the receive chooser, his video icon the broadcast
    // chooser, each 100 ms later.
    ClickAt(tree, RowCentre(tree, 24));
    EXPECT_EQ(tree.GetTimerElapse(CMyTreeCtrl::kReceiveChooserTimer), 100);
    ASSERT_TRUE(TimerDriver::Fire(tree, CMyTreeCtrl::kReceiveChooserTimer));
    CDlgPopSwitch* receive = tree.GetReceiveChooser();
    ASSERT_NE(receive, nullptr);
    EXPECT_TRUE(receive->isVisible());
    ASSERT_EQ(receive->GetItems().size(), 2u);
    EXPECT_EQ(receive->GetItems()[1]->GetWindowText(), LoadLangString(3154) + "2");
    users_ui::SaveGrab(receive->GetLayeredPicture(),
                       users_ui::GrabName("users_receive_chooser", GetParam()));
    tree.HidePopups();

    ClickAt(tree, IconPoint(tree, 24, CMyTreeCtrl::kVideoIconRight));
    ASSERT_TRUE(TimerDriver::Fire(tree, CMyTreeCtrl::kBroadcastChooserTimer));
    CDlgPopSwitch* broadcast = tree.GetBroadcastChooser();
    ASSERT_NE(broadcast, nullptr);
    EXPECT_TRUE(broadcast->isVisible());
    ASSERT_EQ(broadcast->GetItems().size(), 2u);
    EXPECT_EQ(broadcast->GetItems()[0]->GetWindowText(), LoadLangString(1330));
    users_ui::SaveGrab(broadcast->GetLayeredPicture(),
                       users_ui::GrabName("users_broadcast_chooser", GetParam()));
    // The chooser's second item broadcasts channel 1.
    QTest::mouseClick(broadcast->GetItems()[1], Qt::LeftButton);
    ASSERT_TRUE(yav::testing::WaitUntil([&] { return !host.calls.empty(); }));
    EXPECT_EQ(host.calls.back(), "BroadcastVideo 25 1");

    // Dave has no video: a tip, and not again for him within 5 s.
    ClickAt(tree, RowCentre(tree, 40));
    ASSERT_TRUE(TimerDriver::Fire(tree, CMyTreeCtrl::kTipTimer));
    CDlgPopSwitch* tip = tree.GetTipBubble();
    ASSERT_NE(tip, nullptr);
    EXPECT_TRUE(tip->isVisible());
    EXPECT_EQ(tree.GetTipText(), LoadLangString(kTextNoVideo));
    users_ui::SaveGrab(tip->GetLayeredPicture(), users_ui::GrabName("users_tip", GetParam()));
    tip->ShowPopup(SW_HIDE);
    now += 4999;
    ClickAt(tree, RowCentre(tree, 40));
    TimerDriver::Fire(tree, CMyTreeCtrl::kTipTimer);
    EXPECT_FALSE(tip->isVisible());
    now += 1;
    ClickAt(tree, RowCentre(tree, 40));
    TimerDriver::Fire(tree, CMyTreeCtrl::kTipTimer);
    EXPECT_TRUE(tip->isVisible());
}

TEST_P(UserListTest, SearchChoicePutsItsKeywordIntoTheSearch) {
    ASSERT_TRUE(TimerDriver::Fire(*list, CDlgUserList::kFindCaseTimer));
    CDlgFindCase* findCase = list->GetFindCase();
    ASSERT_NE(findCase, nullptr);
    QTest::mouseClick(list->GetDlgItem(CDlgUserList::IDC_SEARCH_TOGGLE), Qt::LeftButton);
    QTest::mouseClick(list->GetDlgItem(CDlgUserList::IDC_SEARCH_CLEAR), Qt::LeftButton);
    EXPECT_TRUE(findCase->isVisible());
    EXPECT_EQ(findCase->size(), QSize(yav::Scaled(139), yav::Scaled(121)));

    CButtonCheck& presenter = findCase->GetChoice(0);
    QTest::mousePress(&presenter, Qt::LeftButton);
    EXPECT_TRUE(presenter.IsPressed());
    EXPECT_EQ(findCase->CaptionColor(presenter), QColor(51, 133, 237));
    ASSERT_FALSE(findCase->GetLayeredPicture().isNull());
    users_ui::SaveGrab(findCase->GetLayeredPicture(),
                       users_ui::GrabName("users_search_popup", GetParam()));
    // Let go outside the choice: nothing is chosen.
    QTest::mouseRelease(&presenter, Qt::LeftButton, {}, QPoint(-5, -5));
    QApplication::processEvents();
    EXPECT_TRUE(list->GetSearchEdit().text().isEmpty());

    QTest::mouseClick(&findCase->GetChoice(2), Qt::LeftButton);
    ASSERT_TRUE(yav::testing::WaitUntil([&] { return !list->GetSearchEdit().text().isEmpty(); }));
    EXPECT_EQ(list->GetSearchEdit().text(), LoadLangString(2824));
    EXPECT_EQ(list->GetTimerElapse(CDlgUserList::kSearchTimer), 250);
}

TEST_P(UserListTest, NoticeBubbleGrowsToItsTextAndHidesTwoSecondsAfterTheLastNotice) {
    CDlgUserlistMsg bubble(&room);
    bubble.SetBkImageId(1108);
    ASSERT_TRUE(bubble.Create(CDlgUserlistMsg::IDD, &room));
    bubble.SetText(QStringLiteral("Alice is now the presenter of this meeting"));
    bubble.PlaceAround(200, 100, 40, 10);
    const QRect placed = bubble.GetWindowRect();
    EXPECT_GT(placed.width(), 40);
    // Widened on both sides alike (to the pixel).
    EXPECT_LE(std::abs(placed.center().x() - QRect(200, 100, 40, 10).center().x()), 1);
    EXPECT_LT(placed.top(), 100);
    bubble.ShowBubble(true);
    EXPECT_TRUE(bubble.isVisible());
    EXPECT_EQ(bubble.GetTimerElapse(CDlgUserlistMsg::kHideTimer), 2000);
    const QImage picture = bubble.GetLayeredPicture();
    ASSERT_EQ(picture.size(), placed.size());
    EXPECT_GT(picture.pixelColor(picture.width() / 2, 2).alpha(), 0);
    users_ui::SaveGrab(picture, users_ui::GrabName("users_notice_bubble", GetParam()));
    bubble.SetText(QStringLiteral("Bob left"));
    bubble.ShowBubble(true);
    EXPECT_EQ(bubble.GetTimerElapse(CDlgUserlistMsg::kHideTimer), 2000);
    ASSERT_TRUE(TimerDriver::Fire(bubble, CDlgUserlistMsg::kHideTimer));
    EXPECT_FALSE(bubble.isVisible());
    EXPECT_FALSE(bubble.IsTimerSet(CDlgUserlistMsg::kHideTimer));
}

TEST_P(UserListTest, FloatsAndDocksAgainAndPagesSwitchOnce) {
    AddParticipants();
    list->SetFloat(true);
    EXPECT_TRUE(list->IsFloat());
    EXPECT_TRUE(list->isWindow());
    QApplication::processEvents();
    const QImage floating = list->grab().toImage();
    EXPECT_EQ(floating.pixelColor(0, floating.height() / 2), QColor(0xE8, 0xE8, 0xE8));
    users_ui::SaveGrab(floating, users_ui::GrabName("users_floating_panel", GetParam()));
    // While floating the strip learns the page.
    fakes::FakeFullDock strip(log);
    list->SetStrip(&strip);
    QTest::mouseClick(list->GetDlgItem(CDlgUserList::IDC_TAB_CHAT), Qt::LeftButton);
    QTest::mouseClick(list->GetDlgItem(CDlgUserList::IDC_TAB_MEMBERS), Qt::LeftButton);
    EXPECT_EQ(
        log.Matching("FullDock.SetUserListPage"),
        (std::vector<std::string>{"FullDock.SetUserListPage(1)", "FullDock.SetUserListPage(0)"}));
    list->SetFloat(false);
    EXPECT_FALSE(list->IsFloat());
    EXPECT_EQ(list->parentWidget(), &room);

    QTest::mouseClick(list->GetDlgItem(CDlgUserList::IDC_TAB_CHAT), Qt::LeftButton);
    EXPECT_EQ(list->GetCurrentPage(), CDlgUserList::kPageChat);
    EXPECT_FALSE(list->GetUserTree().isVisible());
    list->FlashMembersTab();
    QTest::mouseClick(list->GetDlgItem(CDlgUserList::IDC_TAB_CHAT), Qt::LeftButton);
    EXPECT_EQ(list->GetCurrentPage(), CDlgUserList::kPageChat);
    QTest::mouseClick(list->GetDlgItem(CDlgUserList::IDC_TAB_MEMBERS), Qt::LeftButton);
    EXPECT_TRUE(list->GetUserTree().isVisible());
    EXPECT_TRUE(list->GetStageList().isVisible());
}

TEST_P(UserListTest, ARowTogglesTheRoomsPreviewWindowBesideItThroughTheConferenceManager) {
    AddParticipants();
    fakes::FakeMainFrame frame(log);
    frame.fillWindows = true;
    XConfManager manager;
    manager.SetMainFrame(&frame);
    // I am the chair (the tree acts for chairs only).
    manager.GetLoginInfo().userId = 8;
    manager.GetLoginInfo().kind = USER_KIND_CHAIR;
    PreviewVideo preview(&room);
    EXPECT_EQ(preview.Window().GetDisplayMode(), 1);
    auto roomActions = std::make_unique<RoomActionHost>(list);
    RoomActionHost& roomHost = *roomActions;
    roomHost.SetConfManager(&manager);
    roomHost.SetPreviewSource([&preview]() -> IPreviewWindow* { return &preview; });
    list->SetRoom(std::move(roomActions));
    list->SetActionHost(nullptr);
    const std::uint8_t savedLayout = g_AppSettings.freeLayout;
    log.Clear();
    CMyTreeCtrl& tree = list->GetUserTree();
    const auto clickRow = [&](std::uint16_t userId) {
        QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, RowCentre(tree, userId));
    };

    // While the room keeps a layout of its own, a row opens no preview.
    g_AppSettings.freeLayout = 1;
    clickRow(16);
    EXPECT_TRUE(log.Matching("ReceiveVideo").empty());
    EXPECT_EQ(preview.GetMediaId(), 0);
    EXPECT_FALSE(preview.Window().isVisible());

    // Following the synchronised layout, Alice's row (one channel) opens the preview of it,
    // under her row.
    g_AppSettings.freeLayout = 0;
    clickRow(16);
    EXPECT_EQ(log.Matching("ReceiveVideo"), std::vector<std::string>({"ReceiveVideo(16,0,123,1)"}));
    EXPECT_EQ(frame.lastWindow, preview.GetWindow());
    EXPECT_EQ(preview.GetMediaId(), 16);
    EXPECT_TRUE(preview.Window().isVisible());
    EXPECT_TRUE(preview.Window().IsPopupStyle());
    const QRect row = tree.visualRect(tree.Model().IndexOf(tree.Tree().FirstUserNode(16)));
    const QRect rowOnScreen(tree.viewport()->mapToGlobal(row.topLeft()), row.size());
    const QRect placed = preview.Window().GetWindowRect();
    EXPECT_EQ(placed.size(), QSize(yav::Scaled(240), yav::Scaled(180)));
    EXPECT_EQ(placed, PreviewPlacement(rowOnScreen, rowOnScreen.height(), placed.size(),
                                       list->screen()->geometry(), false, list->GetWindowRect()));

    // Bob's channel replaces it; hiding the participant window stops his.
    log.Clear();
    list->ToggleUserPreview(25);
    EXPECT_EQ(log.Matching("ReceiveVideo"),
              std::vector<std::string>({"ReceiveVideo(16,0,0,1)", "ReceiveVideo(25,0,123,1)"}));
    EXPECT_EQ(preview.GetMediaId(), 25);
    log.Clear();
    list->ShowDlg(SW_HIDE);
    EXPECT_EQ(log.Matching("ReceiveVideo"), std::vector<std::string>({"ReceiveVideo(25,0,0,1)"}));
    EXPECT_EQ(preview.GetMediaId(), 0);

    // The same row twice closes the preview again.
    list->ShowDlg(SW_SHOW);
    clickRow(16);
    log.Clear();
    clickRow(16);
    EXPECT_EQ(log.Matching("ReceiveVideo"), std::vector<std::string>({"ReceiveVideo(16,0,0,1)"}));
    EXPECT_EQ(preview.GetMediaId(), 0);
    g_AppSettings.freeLayout = savedLayout;
    list->SetActionHost(&host);
}

INSTANTIATE_TEST_SUITE_P(Scales, UserListTest, ::testing::Values(1.0, 1.5));

// The room's own video window is made in preview mode unless another factory already makes it.
TEST(UserWindows, TheRoomsOwnVideoWindowIsAPreviewUnlessAlreadyMade) {
    users_ui::LoadResources();
    yav::room::RoomChildFactories& make = yav::room::Children();
    const yav::room::RoomChildFactories saved = make;
    QWidget room;
    make.ownVideo = nullptr;
    RegisterRoomWindows();
    ASSERT_TRUE(make.ownVideo);
    std::unique_ptr<IVideo> made = make.ownVideo(&room);
    auto* preview = dynamic_cast<PreviewVideo*>(made.get());
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->Window().GetDisplayMode(), 1);
    EXPECT_EQ(preview->Window().parentWidget(), &room);
    EXPECT_EQ(made->GetVideoWindow(), preview->GetWindow());

    bool own = false;
    make.ownVideo = [&own](QWidget*) -> std::unique_ptr<IVideo> {
        own = true;
        return nullptr;
    };
    RegisterRoomWindows();
    make.ownVideo(&room);
    EXPECT_TRUE(own);
    make = saved;
}
