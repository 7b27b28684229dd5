// Room command 32790: the voice-group manager, made once per stay over the room's
// conference manager, lists the room's groups and moves the ticked users through the room.

#include "RoomHandlersFixture.h"
#include "client/config/AppSettings.h"
#include "client/dialogs/chat/CDlgMgrChatGroup.h"
#include "components/protocol/SubCommands.h"

namespace room_test {
namespace {

using RoomChatGroups = RoomHandlers;

TEST_F(RoomChatGroups, CommandShowsOneManagerThatMovesUsersThroughTheRoom) {
    g_AppSettings.wSpeakerLimit = 6;
    AddOther(kOther, u"ann").privateData.groupValue = 0x00407777;
    AddOther(32, u"bob").privateData.groupValue = 0x00407777;
    AddOther(40, u"cid");
    AddOther(48, u"dee");
    EXPECT_EQ(frame->GetChatGroupManager(), nullptr);

    frame->SendMessage(WM_COMMAND, 32790, 0);
    CDlgMgrChatGroup* manager = frame->GetChatGroupManager();
    ASSERT_NE(manager, nullptr);
    EXPECT_TRUE(manager->isVisible());
    EXPECT_EQ(log.Count("MissingChild"), 0u);
    ASSERT_EQ(manager->GetGroupCombo().count(), 1);
    EXPECT_EQ(manager->GetGroupCombo().itemData(0).toUInt(), 0x00407777U);
    EXPECT_EQ(manager->GetMemberList().count(), 2);

    frame->SendMessage(WM_COMMAND, 32790, 0);
    EXPECT_EQ(frame->GetChatGroupManager(), manager) << "made once per stay";

    manager->OnNewGroup();
    const std::uint32_t group = manager->GetGroupCombo().currentData().toUInt();
    CDlgMgrChatGroup::TickUser(manager->GetOtherList(), 40);
    CDlgMgrChatGroup::TickUser(manager->GetOtherList(), 48);
    manager->OnAddMembers();
    const auto joins = Sent(yav::proto::kSubCommandGroupJoin);
    ASSERT_EQ(joins.size(), 2U);
    EXPECT_EQ(joins[0].to, 40);
    EXPECT_EQ(joins[1].to, 48);
    std::shared_ptr<ST_USER_ITEM_DEPT> moved;
    ASSERT_TRUE(frame->GetConfManager()->GetUserById(moved, 40, 0));
    EXPECT_EQ(moved->privateData.groupValue, group);
}

}  // namespace
}  // namespace room_test
