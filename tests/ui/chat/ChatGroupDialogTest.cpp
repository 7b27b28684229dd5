// The voice-group manager against a recording room: groups numbered in walk order, one
// pending new group, the refusals in their order, removing a member versus dissolving.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QTest>

#include "FakeChatHost.h"
#include "client/config/AppSettings.h"
#include "client/config/ConfigManger.h"
#include "client/dialogs/chat/CDlgMgrChatGroup.h"
#include "components/protocol/SubCommands.h"
#include "fakes/ui/UiGuards.h"

namespace {

using chat_test::FakeChatHost;
using chat_test::MakeUser;

constexpr std::uint32_t kGroupA = 0x00207777;
constexpr std::uint32_t kGroupB = 0x00308001;

class ChatGroups : public ::testing::Test {
protected:
    void SetUp() override {
        g_AppSettings.wSpeakerLimit = 6;
        host.myId = 16;
        host.users = {MakeUser(16, "Chair", 0),        MakeUser(24, "Ann", 1, kGroupB),
                      MakeUser(32, "Bob", 1, kGroupA), MakeUser(40, "Cid", 1, kGroupB),
                      MakeUser(48, "Dee", 1),          MakeUser(56, "Eve", 1, kGroupB),
                      MakeUser(64, "Fay", 1, 0, 2)};
        dialog = std::make_unique<CDlgMgrChatGroup>(&host);
        dialog->Create(CDlgMgrChatGroup::IDD, nullptr);
        dialog->RefreshLists();
    }
    static QStringList Names(const QListWidget& list) {
        QStringList names;
        for (int i = 0; i < list.count(); ++i) {
            names << list.item(i)->text();
        }
        return names;
    }
    void SelectGroup(int index) {
        dialog->GetGroupCombo().setCurrentIndex(index);
        dialog->OnGroupSelected();
    }

    FakeChatHost host;
    std::unique_ptr<CDlgMgrChatGroup> dialog;
};

TEST_F(ChatGroups, GroupsNumberedInWalkOrderAndMembersListed) {
    auto& combo = dialog->GetGroupCombo();
    ASSERT_EQ(combo.count(), 2);
    EXPECT_EQ(combo.itemText(0), LoadLangString(2494) + "1");
    EXPECT_EQ(combo.itemData(0).toUInt(), kGroupB);
    EXPECT_EQ(combo.itemText(1), LoadLangString(2494) + "2");
    EXPECT_EQ(combo.itemData(1).toUInt(), kGroupA);
    EXPECT_EQ(combo.currentIndex(), 0);
    EXPECT_EQ(Names(dialog->GetMemberList()), (QStringList{"Ann", "Cid", "Eve"}));
    EXPECT_EQ(Names(dialog->GetOtherList()), (QStringList{"Chair", "Dee", "Fay"}));
    SelectGroup(1);
    EXPECT_EQ(Names(dialog->GetMemberList()), QStringList{"Bob"});
}

TEST_F(ChatGroups, OnlyOneNewGroupPendingWithTheUsersId) {
    dialog->OnNewGroup();
    dialog->OnNewGroup();
    auto& combo = dialog->GetGroupCombo();
    ASSERT_EQ(combo.count(), 3);
    EXPECT_EQ(combo.currentIndex(), 2);
    EXPECT_EQ(combo.itemText(2), LoadLangString(2494) + "3");
    const std::uint32_t id = combo.itemData(2).toUInt();
    EXPECT_EQ(id >> 16, 16U);
    EXPECT_GE(id & 0xFFFF, 0x8001U);
    EXPECT_EQ(dialog->GetMemberList().count(), 0);
}

TEST_F(ChatGroups, AddRefusalsInTheirOrderThenTheMove) {
    ui_test::LanguageGuard language(0);
    dialog->OnNewGroup();
    // Nobody ticked.
    dialog->OnAddMembers();
    // One into an empty group.
    CDlgMgrChatGroup::TickUser(dialog->GetOtherList(), 48);
    dialog->OnAddMembers();
    // Two quiet participants with 5 of 6 speaking.
    host.speakers = 5;
    CDlgMgrChatGroup::TickUser(dialog->GetOtherList(), 16);
    dialog->OnAddMembers();
    ASSERT_EQ(host.boxes.size(), 3U);
    EXPECT_EQ(host.boxes[0], LoadLangString(2203));
    EXPECT_EQ(host.boxes[1], LoadLangString(2158));
    EXPECT_EQ(host.boxes[2], QString::fromUtf16(u"最多可同时有6人发言。"));
    EXPECT_TRUE(host.moved.empty());

    // Fay already speaks: adding her and Dee needs one more speaker.
    CDlgMgrChatGroup::TickUser(dialog->GetOtherList(), 16, false);
    CDlgMgrChatGroup::TickUser(dialog->GetOtherList(), 64);
    const std::uint32_t group = dialog->GetGroupCombo().currentData().toUInt();
    dialog->OnAddMembers();
    EXPECT_EQ(host.boxes.size(), 3U);
    EXPECT_EQ(host.moved,
              (std::vector<std::pair<std::uint16_t, std::uint32_t>>{{48, group}, {64, group}}));
    EXPECT_EQ(dialog->GetGroupCombo().count(), 3) << "refilled from the users";
}

// Ticks a participant the way a user does: a click on the row, then Space on its check box.
void TickWithKeyboard(QListWidget& list, std::uint16_t id) {
    for (int i = 0; i < list.count(); ++i) {
        QListWidgetItem* item = list.item(i);
        if (item->data(Qt::UserRole).toUInt() != id) {
            continue;
        }
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(item).center());
        QTest::keyClick(&list, Qt::Key_Space);
        ASSERT_EQ(item->checkState(), Qt::Checked) << id;
        return;
    }
    FAIL() << "no row for " << id;
}

void Click(CDlgMgrChatGroup& dialog, int id) {
    auto* button = qobject_cast<QAbstractButton*>(dialog.GetDlgItem(id));
    ASSERT_NE(button, nullptr) << id;
    QTest::mouseClick(button, Qt::LeftButton);
}

TEST_F(ChatGroups, SpeakerLimitRefusalStatesTheLimitInEveryLanguage) {
    struct Case {
        int language;
        QString text;
    };
    const Case cases[] = {
        {0, QString::fromUtf16(u"最多可同时有6人发言。")},
        {1, QStringLiteral("At most 6 people can speak at the same time.")},
        {2, QString::fromUtf16(u"最多可同時有6人發言。")},
    };
    dialog->ShowWindow(SW_SHOW);
    host.speakers = 5;
    Click(*dialog, CDlgMgrChatGroup::IDC_NEW_GROUP);
    ASSERT_EQ(dialog->GetGroupCombo().count(), 3) << "the new, empty group is selected";
    // Two quiet participants with 5 of 6 speaking: one too many.
    TickWithKeyboard(dialog->GetOtherList(), 48);
    TickWithKeyboard(dialog->GetOtherList(), 16);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.language);
        ui_test::LanguageGuard language(c.language);
        host.boxes.clear();
        Click(*dialog, CDlgMgrChatGroup::IDC_ADD);
        ASSERT_EQ(host.boxes.size(), 1U);
        EXPECT_EQ(host.boxes[0], c.text);
        EXPECT_TRUE(host.moved.empty());
    }
}

TEST_F(ChatGroups, TooManyMembersAndNoGroup) {
    dialog->GetGroupCombo().setCurrentIndex(-1);
    dialog->OnAddMembers();
    dialog->OnDissolve();
    SelectGroup(0);  // three members
    host.users.push_back(MakeUser(72, "Gus", 1));
    host.users.push_back(MakeUser(80, "Hal", 1));
    host.users.push_back(MakeUser(88, "Ivy", 1));
    dialog->RefreshLists();
    for (std::uint16_t id : {16, 48, 64, 72, 80, 88}) {
        CDlgMgrChatGroup::TickUser(dialog->GetOtherList(), id);
    }
    dialog->OnAddMembers();
    ASSERT_EQ(host.boxes.size(), 3U);
    EXPECT_EQ(host.boxes[0], LoadLangString(3112));
    EXPECT_EQ(host.boxes[1], LoadLangString(3112));
    EXPECT_EQ(host.boxes[2], LoadLangString(2206));
}

TEST_F(ChatGroups, RemovingOneOfThreeSendsLeaveRemovingTwoDissolves) {
    dialog->OnRemoveMembers();
    EXPECT_EQ(host.boxes.back(), LoadLangString(2197));

    CDlgMgrChatGroup::TickUser(dialog->GetMemberList(), 40);
    dialog->OnRemoveMembers();
    ASSERT_EQ(host.sent.size(), 1U);
    EXPECT_EQ(host.sent[0].to, 40);
    EXPECT_EQ(host.sent[0].sub, yav::proto::kSubCommandGroupLeave);
    EXPECT_TRUE(host.sent[0].data.empty());
    EXPECT_TRUE(host.dissolved.empty());

    CDlgMgrChatGroup::TickUser(dialog->GetMemberList(), 56);
    host.boxAnswer = 2;  // cancelled
    dialog->OnRemoveMembers();
    EXPECT_EQ(host.boxes.back(), LoadLangString(2200));
    EXPECT_EQ(host.boxTypes.back(), 1);
    EXPECT_TRUE(host.dissolved.empty());
    host.boxAnswer = IChatHost::kIdOk;
    dialog->OnRemoveMembers();
    EXPECT_EQ(host.dissolved, std::vector<std::uint32_t>{kGroupB});
    EXPECT_EQ(host.sent.size(), 1U) << "no 276 when the group is dissolved";
}

TEST_F(ChatGroups, DissolvingAnEmptyNewGroupOnlyDropsTheEntry) {
    dialog->OnNewGroup();
    dialog->OnDissolve();
    EXPECT_EQ(host.boxes.back(), LoadLangString(2209));
    EXPECT_TRUE(host.dissolved.empty());
    EXPECT_EQ(dialog->GetGroupCombo().count(), 2);
    EXPECT_EQ(dialog->GetGroupCombo().currentIndex(), 1);
    dialog->OnDissolve();
    EXPECT_EQ(host.dissolved, std::vector<std::uint32_t>{kGroupA});
}

TEST_F(ChatGroups, EachButtonClickActsOnce) {
    dialog->ShowWindow(SW_SHOW);
    auto click = [this](int id) {
        auto* button = qobject_cast<QAbstractButton*>(dialog->GetDlgItem(id));
        ASSERT_NE(button, nullptr) << id;
        QTest::mouseClick(button, Qt::LeftButton);
    };
    click(CDlgMgrChatGroup::IDC_NEW_GROUP);
    EXPECT_EQ(dialog->GetGroupCombo().count(), 3);
    CDlgMgrChatGroup::TickUser(dialog->GetOtherList(), 48);
    CDlgMgrChatGroup::TickUser(dialog->GetOtherList(), 64);
    click(CDlgMgrChatGroup::IDC_ADD);
    EXPECT_EQ(host.moved.size(), 2U);
    EXPECT_TRUE(host.boxes.empty()) << host.boxes.front().toStdString();
    click(CDlgMgrChatGroup::IDC_DISSOLVE);
    EXPECT_EQ(host.boxes.size(), 1U) << "one confirmation";
}

}  // namespace
