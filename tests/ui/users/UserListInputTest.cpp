// The participant panel driven as a user drives it: keys to the panel and its controls, the
// window manager's close, clicks on the rows and on the pop-ups' items, typing in the search
// box and dragging the floating panel by its surface.

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "CDlgPopSwitch.h"
#include "CTransparentStatic.h"
#include "UserListFixture.h"
#include "UsersUiSupport.h"
#include "platform/window/testing/WindowTesting.h"

using namespace yav::users;
using yav::testing::TimerDriver;
using yav::testing::WaitUntil;

namespace {

class UserListInput : public users_ui::UserListTest {
protected:
    // A point of a user's row on its name, left of the icons, in the tree's viewport.
    QPoint NamePoint(CMyTreeCtrl& tree, std::uint16_t userId) {
        const QModelIndex index = tree.Model().IndexOf(tree.Tree().FirstUserNode(userId));
        const QRect row = tree.visualRect(index);
        return {row.left() + yav::Scaled(60), row.center().y()};
    }
    void Click(CMyTreeCtrl& tree, std::uint16_t userId, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseClick(tree.viewport(), button, {}, NamePoint(tree, userId));
    }
    bool Called(const std::string& call) const {
        return std::find(host.calls.begin(), host.calls.end(), call) != host.calls.end();
    }
    // One participant with a single, not broadcast camera.
    void AddFrank() {
        ST_USER_ITEM_DEPT frank = users_ui::Record(56, u"Frank", 12);
        frank.channelMask = 1;
        frank.videoChannelCount = 1;
        list->AddUser(&frank);
        QApplication::processEvents();
    }
};

}  // namespace

TEST_P(UserListInput, EnterEscSpaceAndTheWindowManagersCloseNeverHideThePanel) {
    AddParticipants();
    for (const bool floating : {false, true}) {
        list->SetFloat(floating);
        QApplication::processEvents();
        ASSERT_TRUE(list->isVisible());
        // On the panel and on its tab buttons: Space would press the chat tab.
        QWidget* chatTab = list->GetDlgItem(CDlgUserList::IDC_TAB_CHAT);
        for (QWidget* target : {static_cast<QWidget*>(list), chatTab}) {
            for (const Qt::Key key :
                 {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space}) {
                QTest::keyClick(target, key);
                QApplication::processEvents();
                EXPECT_TRUE(list->isVisible()) << floating << " key " << key;
                EXPECT_EQ(list->GetCurrentPage(), CDlgUserList::kPageMembers) << key;
            }
        }
        // The window manager's close (Alt+F4, the close button of a floating window).
        EXPECT_FALSE(list->close());
        QApplication::processEvents();
        EXPECT_TRUE(list->isVisible()) << floating;
    }
    list->SetFloat(false);

    // In the search box Enter reaches the box and a space is typed like any letter.
    QTest::mouseClick(list->GetDlgItem(CDlgUserList::IDC_SEARCH_TOGGLE), Qt::LeftButton);
    QLineEdit& edit = list->GetSearchEdit();
    QSignalSpy entered(&edit, &QLineEdit::returnPressed);
    QTest::keyClicks(&edit, "Carol (g");
    QTest::keyClick(&edit, Qt::Key_Return);
    EXPECT_EQ(edit.text(), QStringLiteral("Carol (g"));
    EXPECT_EQ(entered.count(), 1);
    EXPECT_TRUE(list->isVisible());
}

TEST_P(UserListInput, ChairPopupCommandsNameTheRowItWasOpenedForNotTheRowClickedBefore) {
    AddParticipants();
    AddFrank();
    CMyTreeCtrl& tree = list->GetUserTree();
    // Alice's row first (a row click; the test's room has no preview), then the pop-up of
    // Frank's row.
    Click(tree, 16);
    Click(tree, 56, Qt::RightButton);
    CDlgPopSwitch* popup = tree.GetChairPopup();
    ASSERT_NE(popup, nullptr);
    ASSERT_TRUE(popup->isVisible());
    CButtonCheck* broadcast = popup->GetButton(ID_USER_BROADCAST_VIDEO);
    ASSERT_NE(broadcast, nullptr);
    EXPECT_EQ(broadcast->GetWindowText(), LoadLangString(kTextBroadcastVideo));
    QTest::mouseClick(broadcast, Qt::LeftButton);
    ASSERT_TRUE(WaitUntil([&] { return Called("BroadcastVideo 56 1"); }));
    EXPECT_FALSE(Called("BroadcastVideo 16 0"));
    EXPECT_FALSE(Called("BroadcastVideo 16 1"));

    // The speaking right of the pop-up's row as well, after another row was clicked.
    Click(tree, 40);
    Click(tree, 24, Qt::RightButton);
    ASSERT_TRUE(popup->isVisible());
    QTest::mouseClick(popup->GetButton(ID_USER_GRANT_SPEAK), Qt::LeftButton);
    ASSERT_TRUE(WaitUntil([&] { return Called("AwardSpeek 24 2"); }));
}

TEST_P(UserListInput, ClickingTheTipBubbleOnlyClosesIt) {
    AddParticipants();
    // Eve's two cameras are both broadcast: her row has nothing left to preview, a tip says so.
    ST_USER_ITEM_DEPT eve = users_ui::Record(48, u"Eve", 12);
    eve.channelMask = 3;
    eve.videoChannelCount = 2;
    eve.broadcastMask = 3;
    list->AddUser(&eve);
    QApplication::processEvents();
    host.hasPreview = true;
    CMyTreeCtrl& tree = list->GetUserTree();
    Click(tree, 48);
    ASSERT_TRUE(TimerDriver::Fire(tree, CMyTreeCtrl::kReceiveChooserTimer));
    ASSERT_TRUE(TimerDriver::Fire(tree, CMyTreeCtrl::kTipTimer));
    CDlgPopSwitch* tip = tree.GetTipBubble();
    ASSERT_NE(tip, nullptr);
    ASSERT_TRUE(tip->isVisible());
    EXPECT_EQ(tree.GetTipText(), LoadLangString(kTextAllVideosShown));
    const auto before = host.calls;

    QTest::mouseClick(tip->GetItems().at(0), Qt::LeftButton);
    ASSERT_TRUE(WaitUntil([&] { return !tip->isVisible(); }));
    QApplication::processEvents();
    EXPECT_EQ(host.calls, before);  // no reception started, nothing else asked
    EXPECT_FALSE(tree.IsTimerSet(CMyTreeCtrl::kTipTimer));
}

TEST_P(UserListInput, TypedSearchListsEachParticipantOnce) {
    AddParticipants();
    QTest::mouseClick(list->GetDlgItem(CDlgUserList::IDC_SEARCH_TOGGLE), Qt::LeftButton);
    // My own row stands at the root and under my department; Alice is in Research.
    const struct {
        const char* typed;
        std::vector<std::uint16_t> found;
    } cases[] = {{"demo", {8}}, {"a", {8, 16, 32, 40}}, {"ALICE", {16}}};
    for (const auto& c : cases) {
        QLineEdit& edit = list->GetSearchEdit();
        edit.clear();
        QTest::keyClicks(&edit, c.typed);
        ASSERT_TRUE(TimerDriver::Fire(*list, CDlgUserList::kSearchTimer));
        std::vector<std::uint16_t> shown;
        for (const auto& row : list->Model().Results().Root().children) {
            shown.push_back(row->user.userId);
        }
        std::sort(shown.begin(), shown.end());
        EXPECT_EQ(shown, c.found) << c.typed;
        EXPECT_EQ(list->GetResultTree().model()->rowCount(), static_cast<int>(c.found.size()));
    }
}

TEST_P(UserListInput, TheFloatingPanelIsDraggedByItsSurface) {
    list->SetFloat(true);
    QApplication::processEvents();
    ASSERT_TRUE(list->isWindow());
    const QPoint start = list->pos();
    // Left of the trees: the panel's own surface.
    const QPoint grip(yav::Scaled(6), yav::Scaled(300));
    ASSERT_EQ(list->childAt(grip), nullptr);
    QTest::mousePress(list, Qt::LeftButton, {}, grip);
    QTest::mouseMove(list, grip + QPoint(40, 25));
    QTest::mouseRelease(list, Qt::LeftButton, {}, grip + QPoint(40, 25));
    QApplication::processEvents();
    EXPECT_EQ(list->pos(), start + QPoint(40, 25));

    // Docked, the same press drags nothing.
    list->SetFloat(false);
    QApplication::processEvents();
    const QPoint docked = list->pos();
    QTest::mousePress(list, Qt::LeftButton, {}, grip);
    QTest::mouseMove(list, grip + QPoint(40, 25));
    QTest::mouseRelease(list, Qt::LeftButton, {}, grip + QPoint(40, 25));
    EXPECT_EQ(list->pos(), docked);
}

// The search bar lies inside the panel, also when the panel is short (the floating panel on a
// small monitor); the label shows its whole text and overlaps nothing.
TEST_P(UserListInput, SearchBarStaysInsideAShortPanel) {
    AddParticipants();
    QTest::mouseClick(list->GetDlgItem(CDlgUserList::IDC_SEARCH_TOGGLE), Qt::LeftButton);
    auto* label =
        dynamic_cast<CTransparentStatic*>(list->GetDlgItem(CDlgUserList::IDC_SEARCH_LABEL));
    ASSERT_NE(label, nullptr);
    QWidget* edit = list->GetDlgItem(CDlgUserList::IDC_SEARCH_EDIT);
    QWidget* clear = list->GetDlgItem(CDlgUserList::IDC_SEARCH_CLEAR);
    for (const int designHeight : {640, 260}) {
        list->resize(yav::Scaled(320), yav::Scaled(designHeight));
        QApplication::processEvents();
        const QImage picture = list->grab().toImage();
        ASSERT_EQ(picture.size(), list->size());
        const QRect panel = list->rect();
        for (QWidget* part : {static_cast<QWidget*>(label), edit, clear}) {
            EXPECT_TRUE(part->isVisible());
            EXPECT_TRUE(panel.contains(part->geometry())) << designHeight << " " << part;
        }
        EXPECT_FALSE(label->geometry().intersects(edit->geometry())) << designHeight;
        EXPECT_FALSE(label->geometry().intersects(clear->geometry())) << designHeight;
        // The whole word, not cut, inside the label.
        const auto lines = label->GetTextLayout();
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(lines[0].text, LoadLangString(2827));
        EXPECT_TRUE(QRectF(label->rect()).contains(lines[0].rect)) << designHeight;
        // The word is drawn: text-coloured pixels in the label's area of the picture.
        int inked = 0;
        const QRect area = label->geometry();
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                if (picture.pixelColor(x, y).red() < 0xE8) {
                    ++inked;
                }
            }
        }
        EXPECT_GT(inked, 10) << designHeight;
        // The participant tree keeps rows to show below the bar.
        EXPECT_GE(list->GetUserTree().height(), yav::Scaled(2 * CMyTreeCtrl::kItemHeightDesign))
            << designHeight;
        users_ui::SaveGrab(
            picture,
            users_ui::GrabName(designHeight == 640 ? "users_search_bar" : "users_search_bar_short",
                               GetParam()));
    }
}

INSTANTIATE_TEST_SUITE_P(Scales, UserListInput, ::testing::Values(1.0, 1.5));
