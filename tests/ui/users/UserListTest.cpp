// The participant panel offscreen: the members page with departments, stage and search, the
// search debounce, the chat page's recipients, the chair's pop-up, the search-choice pop-up,
// the notice bubble, and their pictures at scale 1.0 and 1.5.

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CDlgPopSwitch.h"
#include "Common/MessageIds.h"
#include "UsersUiSupport.h"
#include "dialogs/users/CDlgFindCase.h"
#include "dialogs/users/CDlgUserList.h"
#include "dialogs/users/CDlgUserlistMsg.h"
#include "fakes/conference/CallLog.h"
#include "fakes/conference/FakeRoomChildren.h"
#include "fakes/ui/RecordingWindow.h"
#include "fakes/users/RecordingActionHost.h"
#include "platform/window/testing/WindowTesting.h"

using namespace yav::users;
using yav::testing::TimerDriver;

namespace {

// Roles and requests of the test; requests are only recorded, and there is no preview window.
struct ScriptedHost : fakes::RecordingActionHost {
    ScriptedHost() {
        limits = {4, 4, 9, 9};
        hasPreview = false;
        confirm = false;
    }
};

ST_USER_ITEM_DEPT Record(std::uint16_t id, const char16_t* name, std::uint32_t deptKey) {
    ST_USER_ITEM_DEPT record;
    record.userId = id;
    const std::u16string_view text(name);
    std::copy_n(text.begin(), std::min<std::size_t>(text.size(), 32), record.name);
    record.departmentId = deptKey;
    record.audioDevice = 1;
    return record;
}

ST_TREE_DEPT Dept(std::uint32_t key, const char* name) {
    ST_TREE_DEPT dept;
    dept.ownKey = key;
    dept.name = QString::fromUtf8(name);
    return dept;
}

class UserListTest : public ::testing::TestWithParam<double> {
protected:
    void SetUp() override {
        users_ui::LoadResources();
        room.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
        room.MoveWindow(0, 0, yav::Scaled(320), yav::Scaled(640));
        list = new CDlgUserList(&room);
        list->SetActionHost(&host);
        list->SetChatWindow(&chat, nullptr);
        ASSERT_TRUE(list->Create(CDlgUserList::IDD, &room));
        list->setGeometry(0, 0, yav::Scaled(320), yav::Scaled(640));
        list->ShowDlg(SW_SHOW);
        room.show();
        list->SetLocalUser(8, nullptr);
        const ST_TREE_DEPT head = Dept(11, "Head office");
        const ST_TREE_DEPT research = Dept(13, "Research (north)");
        const ST_TREE_DEPT video = Dept(14, "Video team");
        const ST_TREE_DEPT sales = Dept(12, "Sales");
        list->AddRootDepartment(&head);
        list->AddDepartment(&research, 11);
        list->AddDepartment(&video, 13);
        list->AddRootDepartment(&sales);
        list->SetOnlineCountText(5);
    }
    void TearDown() override { delete list; }

    // The participants of the pictures: every icon state once.
    void AddParticipants() {
        ST_USER_ITEM_DEPT me = Record(8, u"Demo Chair", 11);
        me.kind = USER_KIND_CHAIR;
        me.channelMask = 1;
        me.videoChannelCount = 1;
        list->AddUser(&me);
        ST_USER_ITEM_DEPT presenter = Record(16, u"Alice", 13);
        presenter.presenterState = 2;
        presenter.speakState = 2;
        presenter.channelMask = 1;
        presenter.videoChannelCount = 1;
        presenter.broadcastMask = 1;
        list->AddUser(&presenter);
        ST_USER_ITEM_DEPT queued = Record(24, u"<b>Bob</b>", 14);
        queued.presenterState = 1;
        queued.speakState = 1;
        queued.channelMask = 3;
        queued.videoChannelCount = 2;
        list->AddUser(&queued);
        ST_USER_ITEM_DEPT listener = Record(32, u"Carol (guest)", 12);
        listener.privateData.listenFlag = 1;
        listener.kind = USER_KIND_TEMP_ADMIN;
        list->AddUser(&listener);
        ST_USER_ITEM_DEPT plain = Record(40, u"Dave", 99);
        plain.audioDevice = 0;
        list->AddUser(&plain);
        QApplication::processEvents();
    }
    QPoint RowCentre(CMyTreeCtrl& tree, std::uint16_t userId) {
        const QModelIndex index = tree.Model().IndexOf(tree.Tree().FirstUserNode(userId));
        return tree.visualRect(index).center();
    }

    users_ui::ScaleScope scale{GetParam()};
    yav::fakes::RecordingWindow room;
    fakes::CallLog log;
    fakes::FakeChat chat{log};
    ScriptedHost host;
    CDlgUserList* list = nullptr;
};

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
    tree.TrackHover(alice);
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
    tree.TrackHover(alice);
    EXPECT_EQ(members.FirstUserNode(16)->hoverArea, TreeNode::kHoverRow);
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
    ASSERT_TRUE(tree.ShowChairPopup(RowCentre(tree, 16)));
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
    popup->ShowPopup(SW_HIDE);
    yav::SendMessage(&tree, WM_COMMAND, ID_USER_GRANT_SPEAK, 0);
    EXPECT_EQ(host.calls.back(), "AwardSpeek 16 0");

    host.admin = false;
    host.presenter = true;
    ASSERT_TRUE(tree.ShowChairPopup(RowCentre(tree, 24)));
    EXPECT_EQ(popup->GetItems().size(), 2u);
    users_ui::SaveGrab(popup->GetLayeredPicture(),
                       users_ui::GrabName("users_chair_popup_presenter", GetParam()));

    host.presenter = false;
    popup->ShowPopup(SW_HIDE);
    EXPECT_FALSE(tree.ShowChairPopup(RowCentre(tree, 24)));
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
    tree.OnItemAction(RowCentre(tree, 24), TreeNode::kHoverRow);
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

    tree.OnItemAction(RowCentre(tree, 24), TreeNode::kHoverVideo);
    ASSERT_TRUE(TimerDriver::Fire(tree, CMyTreeCtrl::kBroadcastChooserTimer));
    CDlgPopSwitch* broadcast = tree.GetBroadcastChooser();
    ASSERT_NE(broadcast, nullptr);
    EXPECT_TRUE(broadcast->isVisible());
    ASSERT_EQ(broadcast->GetItems().size(), 2u);
    EXPECT_EQ(broadcast->GetItems()[0]->GetWindowText(), LoadLangString(1330));
    users_ui::SaveGrab(broadcast->GetLayeredPicture(),
                       users_ui::GrabName("users_broadcast_chooser", GetParam()));
    // The chooser's second item broadcasts channel 1.
    yav::SendMessage(&tree, WM_POPSWITCH_SELECT, 2, 2);
    EXPECT_EQ(host.calls.back(), "BroadcastVideo 25 1");

    // Dave has no video: a tip, and not again for him within 5 s.
    tree.OnItemAction(RowCentre(tree, 40), TreeNode::kHoverRow);
    ASSERT_TRUE(TimerDriver::Fire(tree, CMyTreeCtrl::kTipTimer));
    CDlgPopSwitch* tip = tree.GetTipBubble();
    ASSERT_NE(tip, nullptr);
    EXPECT_TRUE(tip->isVisible());
    EXPECT_EQ(tree.GetTipText(), LoadLangString(kTextNoVideo));
    users_ui::SaveGrab(tip->GetLayeredPicture(), users_ui::GrabName("users_tip", GetParam()));
    tip->ShowPopup(SW_HIDE);
    now += 4999;
    tree.OnItemAction(RowCentre(tree, 40), TreeNode::kHoverRow);
    TimerDriver::Fire(tree, CMyTreeCtrl::kTipTimer);
    EXPECT_FALSE(tip->isVisible());
    now += 1;
    tree.OnItemAction(RowCentre(tree, 40), TreeNode::kHoverRow);
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
    list->SelectChatTab();
    list->SelectMembersTab();
    EXPECT_EQ(
        log.Matching("FullDock.SetUserListPage"),
        (std::vector<std::string>{"FullDock.SetUserListPage(1)", "FullDock.SetUserListPage(0)"}));
    list->SetFloat(false);
    EXPECT_FALSE(list->IsFloat());
    EXPECT_EQ(list->parentWidget(), &room);

    list->SelectChatTab();
    EXPECT_EQ(list->GetCurrentPage(), CDlgUserList::kPageChat);
    EXPECT_FALSE(list->GetUserTree().isVisible());
    list->FlashMembersTab();
    list->SelectChatTab();
    EXPECT_EQ(list->GetCurrentPage(), CDlgUserList::kPageChat);
    list->SelectMembersTab();
    EXPECT_TRUE(list->GetUserTree().isVisible());
    EXPECT_TRUE(list->GetStageList().isVisible());
}

INSTANTIATE_TEST_SUITE_P(Scales, UserListTest, ::testing::Values(1.0, 1.5));
