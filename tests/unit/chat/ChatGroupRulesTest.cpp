// The voice-group manager's numbering, ids and the order of its checks.
#include <gtest/gtest.h>

#include <vector>

#include "client/dialogs/chat/ChatGroupRules.h"

namespace {

using namespace yav::chat;

ST_USER_ITEM_DEPT InGroup(std::uint16_t id, std::uint32_t group) {
    ST_USER_ITEM_DEPT user;
    user.userId = id;
    user.privateData.groupValue = group;
    return user;
}

TEST(ChatGroups, GroupsInWalkOrderEachOnce) {
    const std::vector<ST_USER_ITEM_DEPT> users = {InGroup(8, 0),       InGroup(16, 0x70000),
                                                  InGroup(24, 0x5000), InGroup(32, 0x70000),
                                                  InGroup(40, 0),      InGroup(48, 0x5000)};
    EXPECT_EQ(DistinctGroups(users), (std::vector<std::uint32_t>{0x70000, 0x5000}));
    EXPECT_TRUE(DistinctGroups({InGroup(8, 0)}).empty());
}

TEST(ChatGroups, NewIdsCarryTheUserAndCountFrom0x8001) {
    std::uint16_t counter = 1;
    EXPECT_EQ(MakeGroupId(16, counter), 0x00108001U);
    EXPECT_EQ(counter, 2);
    EXPECT_EQ(MakeGroupId(16, counter), 0x00108002U);
    counter = 0x7FFF;
    EXPECT_EQ(MakeGroupId(0xFFF8, counter), 0xFFF8FFFFU);
    EXPECT_EQ(MakeGroupId(0xFFF8, counter), 0xFFF80000U) << "the low word wraps";
}

TEST(ChatGroups, AddChecksRunInOrder) {
    struct Case {
        const char* name;
        bool selected;
        int members;
        std::vector<std::uint8_t> ticked;
        int speakers;
        int limit;
        AddRefusal expected;
    };
    const Case cases[] = {
        {"no group: first, even with nobody ticked", false, 0, {}, 9, 1, AddRefusal::NoGroup},
        {"nobody ticked before the size", true, 0, {}, 9, 1, AddRefusal::NobodyTicked},
        {"one into an empty group", true, 0, {0}, 0, 6, AddRefusal::TooFew},
        {"nine into an empty group", true, 0, std::vector<std::uint8_t>(9, 0), 0, 20,
         AddRefusal::TooMany},
        {"too many checked before the speakers", true, 7, {0, 0}, 6, 6, AddRefusal::TooMany},
        {"two quiet ones at 5 of 6", true, 0, {0, 0}, 5, 6, AddRefusal::SpeakerLimit},
        {"one quiet into a pair at 5 of 6", true, 2, {0}, 5, 6, AddRefusal::None},
        {"speaking users add no speaker", true, 0, {2, 2}, 6, 6, AddRefusal::None},
        {"two into an empty group", true, 0, {0, 0}, 0, 6, AddRefusal::None},
        {"up to eight", true, 6, {0, 0}, 0, 8, AddRefusal::None},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CheckAddMembers(c.selected, c.members, c.ticked, c.speakers, c.limit),
                  c.expected);
    }
}

TEST(ChatGroups, RemovingSendsLeaveOrAsksToDissolve) {
    EXPECT_EQ(ChooseRemoveAction(3, 0), RemoveAction::NobodyTicked);
    EXPECT_EQ(ChooseRemoveAction(3, 1), RemoveAction::SendLeave);
    EXPECT_EQ(ChooseRemoveAction(3, 2), RemoveAction::ConfirmDissolve);
    EXPECT_EQ(ChooseRemoveAction(2, 1), RemoveAction::ConfirmDissolve);
    EXPECT_EQ(ChooseRemoveAction(4, 2), RemoveAction::SendLeave);
}

}  // namespace
