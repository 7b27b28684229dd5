// The participant window's three trees driven by the conference core's user events.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "UserRecords.h"
#include "dialogs/users/UserListModel.h"

using namespace yav::users;
using users_test::Dept;
using users_test::Person;
using users_test::Record;

namespace {

class RecordingHost : public IUserListHost {
public:
    void AddChatRecipient(const ST_USER_ITEM_DEPT& record) override {
        calls.push_back("add " + std::to_string(record.userId));
    }
    void RemoveChatRecipient(std::uint16_t userId) override {
        calls.push_back("remove " + std::to_string(userId));
    }
    void OnPresenterJoined(std::uint16_t userId, bool isMe) override {
        calls.push_back("presenter " + std::to_string(userId) + (isMe ? " me" : ""));
    }
    void SetSpeakIndicator(std::uint16_t mediaId, bool on) override {
        calls.push_back("indicator " + std::to_string(mediaId) + (on ? " on" : " off"));
    }
    std::vector<std::string> calls;
};

std::vector<std::uint16_t> RootIds(const UserTree& tree) {
    std::vector<std::uint16_t> ids;
    for (const auto& child : tree.Root().children) {
        ids.push_back(child->user.userId);
    }
    return ids;
}

// The whole tree as text: structure, captions and every record field.
void Dump(const TreeNode& node, std::ostringstream& out, int depth) {
    for (const auto& child : node.children) {
        out << std::string(static_cast<std::size_t>(depth), ' ');
        if (child->IsDept()) {
            out << "D " << child->dept.ownKey << ' ' << child->dept.Caption().toStdString() << '\n';
        } else {
            const TreeUser& u = child->user;
            out << "U " << u.userId << ' ' << u.name.toStdString() << " k" << int(u.kind) << " d"
                << u.deptKey << " p" << int(u.presenterState) << " s" << int(u.speakState) << " b"
                << int(u.broadcastMask) << '\n';
        }
        Dump(*child, out, depth + 1);
    }
}

std::string Dump(const UserTree& tree) {
    std::ostringstream out;
    Dump(tree.Root(), out, 0);
    return out.str();
}

struct ModelFixture : ::testing::Test {
    void SetUp() override {
        model.SetHost(&host);
        model.SetSearchTexts({"Presenter", "Administrators", "Speakers", "(none)"});
        model.AddDepartment(Dept(20, kTopLevelParentKey, "Head office"));
        model.AddDepartment(Dept(21, 20, "R&D (north)"));
        model.AddDepartment(Dept(22, 21, "Team"));
        model.AddDepartment(Dept(23, kTopLevelParentKey, "Sales"));
    }
    RecordingHost host;
    UserListModel model;
};

}  // namespace

TEST_F(ModelFixture, DepartmentsNestAndOrphansOrCyclesAreLeftOut) {
    EXPECT_FALSE(model.AddDepartment(Dept(30, 77, "Orphan")));
    EXPECT_FALSE(model.AddDepartment(Dept(20, 22, "Own grandchild")));
    EXPECT_EQ(Dump(model.Members()),
              "D 20 Head office(0)\n D 21 R&D (north)(0)\n  D 22 Team(0)\nD 23 Sales(0)\n");
}

TEST_F(ModelFixture, ADoubleJoinIsAddedOnceWithOneChatRecipient) {
    EXPECT_TRUE(model.AddUser(Record({.id = 8, .name = u"Ann", .deptKey = 22})));
    EXPECT_FALSE(model.AddUser(Record({.id = 8, .name = u"Ann", .deptKey = 22})));
    EXPECT_EQ(model.Members().UserNodes(8).size(), 1u);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"add 8"}));
    EXPECT_EQ(model.Members().FindDeptItem(22)->dept.count, 1);
}

TEST_F(ModelFixture, MyOwnUserIsShownAtTheRootFirstAndUnderMyDepartment) {
    model.SetLocalUser(16);
    model.SetLocalUser(24);  // ignored while an id is set
    model.AddUser(Record({.id = 16, .name = u"Me", .deptKey = 23}));
    const auto rows = model.Members().UserNodes(16);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(model.Members().Root().children.front()->user.userId, 16);
    EXPECT_EQ(model.Members().MyRootNode(), model.Members().Root().children.front().get());
    EXPECT_EQ(model.Members().FindDeptItem(23)->dept.Caption(), "Sales(1)");
    // The device state reaches both rows.
    const std::uint8_t state[6] = {0x03, 1, 2, 9, 0, 0};
    model.SetMyDeviceState(state);
    for (const TreeNode* row : model.Members().UserNodes(16)) {
        EXPECT_EQ(row->user.ownedMask, 0x03);
        EXPECT_EQ(row->user.channelCount, 2);
        EXPECT_EQ(row->user.value85, 9);
    }
}

TEST_F(ModelFixture, UsersOfAnUnknownDepartmentGoToTheRoot) {
    model.AddUser(Record({.id = 8, .name = u"Ann", .deptKey = 99}));
    EXPECT_EQ(RootIds(model.Members()).back(), 8);
}

TEST_F(ModelFixture, StageFollowsPresenterAndSpeakEvents) {
    model.AddUser(Record({.id = 8, .name = u"Ann", .deptKey = 22}));
    model.AddUser(Record({.id = 16, .name = u"Bob", .deptKey = 22}));
    model.AddUser(Record({.id = 24, .name = u"Cy", .deptKey = 23, .presenter = 2}));
    EXPECT_EQ(host.calls.back(), "presenter 24");
    model.OnUserAudioState(8, 2);
    model.OnLeadingStatus(16, 1);
    model.OnUserAudioState(16, 1);  // queued and asking: stays in the queue's place
    EXPECT_EQ(RootIds(model.Stage()), (std::vector<std::uint16_t>{24, 8, 16}));
    model.OnLeadingStatus(8, 1);  // a second queue entry goes before the first
    EXPECT_EQ(RootIds(model.Stage()), (std::vector<std::uint16_t>{24, 8, 16}));
    model.OnUserAudioState(8, 0);
    EXPECT_EQ(RootIds(model.Stage()), (std::vector<std::uint16_t>{24, 8, 16}));
    model.OnLeadingStatus(8, 0);  // neither presenter nor speaking: off the stage
    EXPECT_EQ(RootIds(model.Stage()), (std::vector<std::uint16_t>{24, 16}));
    model.OnLeadingStatus(24, 0);
    EXPECT_EQ(RootIds(model.Stage()), (std::vector<std::uint16_t>{16}));
    EXPECT_EQ(model.Stage().FindUserRecord(16)->presenterState, 1);
    EXPECT_EQ(model.Members().FindUserRecord(24)->presenterState, 0);
}

TEST_F(ModelFixture, ALeaveRemovesTheChatRecipientAndEveryRowButNobodyElsesChannels) {
    model.AddUser(
        Record({.id = 8, .name = u"Ann", .deptKey = 22, .speak = 2, .owned = 1, .channels = 1}));
    model.AddUser(Record({.id = 16, .name = u"Bob", .deptKey = 22, .owned = 1, .channels = 1}));
    model.OnVideoReceived(8, true);
    model.OnVideoReceived(16, true);
    model.RunSearch("a");
    host.calls.clear();
    model.OnUserLeave(8, 12);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"remove 8"}));
    EXPECT_TRUE(model.Members().UserNodes(8).empty());
    EXPECT_TRUE(model.Stage().UserNodes(8).empty());
    EXPECT_TRUE(model.Results().UserNodes(8).empty());
    EXPECT_EQ(model.Members().GetSpeakerCount(), 0);
    EXPECT_EQ(model.Members().GetReceivedCount(), 1);
    EXPECT_FALSE(model.IsPresent(8));
    // A rejoin is a join again.
    EXPECT_TRUE(model.AddUser(Record({.id = 8, .name = u"Ann", .deptKey = 22})));
}

TEST_F(ModelFixture, BroadcastOfChannelSevenChangesNothing) {
    model.AddUser(Record({.id = 8, .name = u"Ann", .deptKey = 22, .owned = 0x81, .channels = 8}));
    model.SetBroadcastState(8 + 7, true);
    EXPECT_EQ(model.Members().FindUserRecord(8)->broadcastMask, 0);
    EXPECT_TRUE(host.calls.back().starts_with("add"));
    model.SetBroadcastState(8, true);
    EXPECT_EQ(model.Members().FindUserRecord(8)->broadcastMask, 1);
    EXPECT_EQ(host.calls.back(), "indicator 8 on");
}

TEST_F(ModelFixture, SearchResultsShowTheParticipantRecordsAsTheyChange) {
    model.AddUser(Record({.id = 8, .name = u"Ann", .deptKey = 22}));
    model.AddUser(Record({.id = 16, .name = u"Speakers club", .deptKey = 22}));
    model.OnUserAudioState(8, 2);
    EXPECT_TRUE(model.RunSearch("Speakers"));
    EXPECT_EQ(RootIds(model.Results()), (std::vector<std::uint16_t>{8}));
    model.OnUserKindChanged(8, 12, USER_KIND_TEMP_ADMIN);
    EXPECT_EQ(model.Results().FindUserRecord(8)->kind, USER_KIND_TEMP_ADMIN);
    EXPECT_FALSE(model.RunSearch("nobody"));
    EXPECT_TRUE(model.IsSearchActive());
    EXPECT_EQ(model.SearchRuns(), 2);
}

TEST_F(ModelFixture, ResetAllEmptiesTreesTablesAndPresence) {
    model.AddUser(Record({.id = 8,
                          .name = u"Ann",
                          .deptKey = 22,
                          .speak = 2,
                          .owned = 1,
                          .channels = 1,
                          .broadcast = 1}));
    model.OnVideoReceived(8, true);
    model.RunSearch("Ann");
    model.ResetAll();
    EXPECT_TRUE(model.Members().Root().children.empty());
    EXPECT_TRUE(model.Stage().Root().children.empty());
    EXPECT_FALSE(model.IsSearchActive());
    EXPECT_EQ(model.Members().GetBroadcastCount(), 0);
    EXPECT_EQ(model.Members().GetReceivedCount(), 0);
    EXPECT_EQ(model.Members().GetSpeakerCount(), 0);
    EXPECT_TRUE(model.AddUser(Record({.id = 8, .name = u"Ann", .deptKey = 22})));
}

// Leaving and re-entering: the chat window forgets the users it knew and learns the users of
// the new list, so somebody who left meanwhile is no recipient any more.
TEST_F(ModelFixture, ResetAllTakesTheUsersOutOfTheChatAndTheRejoinsBringThemBack) {
    model.AddUser(Record({.id = 8, .name = u"Ann", .deptKey = 22}));
    model.AddUser(Record({.id = 16, .name = u"Bob", .deptKey = 23}));
    host.calls.clear();
    model.ResetAll();
    std::vector<std::string> removed = host.calls;
    std::sort(removed.begin(), removed.end());
    EXPECT_EQ(removed, (std::vector<std::string>{"remove 16", "remove 8"}));
    host.calls.clear();
    model.AddUser(Record({.id = 8, .name = u"Ann", .deptKey = 22}));
    EXPECT_EQ(host.calls, (std::vector<std::string>{"add 8"}));
    EXPECT_FALSE(model.IsPresent(16));
}

// Any run of joins, leaves and state changes ends in the participant tree that a build from
// the final participant list gives, and in a stage list of the same users in rank order.
TEST(UserListModelRun, RandomEventsEndInTheTreesOfAFreshBuild) {
    const std::vector<TreeDept> depts = {Dept(20, kTopLevelParentKey, "A"), Dept(21, 20, "A(1)"),
                                         Dept(22, 21, "A2"), Dept(23, kTopLevelParentKey, "B"),
                                         Dept(kDistinctCountDeptKey, kTopLevelParentKey, "S")};
    const std::uint32_t deptKeys[] = {20, 21, 22, 23, 99};
    for (unsigned seed = 1; seed <= 20; ++seed) {
        std::mt19937 random(seed);
        UserListModel live;
        live.SetLocalUser(8);
        for (const TreeDept& dept : depts) {
            live.AddDepartment(dept);
        }
        std::map<std::uint16_t, ST_USER_ITEM_DEPT> present;
        std::vector<std::uint16_t> joinOrder;
        for (int step = 0; step < 400; ++step) {
            const auto userId = static_cast<std::uint16_t>(8 * (1 + random() % 12));
            const int what = static_cast<int>(random() % 6);
            auto it = present.find(userId);
            if (it == present.end() || what == 0) {
                if (it != present.end()) {
                    live.OnUserLeave(userId, 0);
                    present.erase(it);
                    std::erase(joinOrder, userId);
                    continue;
                }
                const std::u16string name = u"U" + std::u16string(1, char16_t(u'a' + userId / 8));
                ST_USER_ITEM_DEPT record =
                    Record({.id = userId,
                            .name = name.c_str(),
                            .deptKey = deptKeys[random() % 5],
                            .presenter = static_cast<std::uint8_t>(random() % 3),
                            .speak = static_cast<std::uint8_t>(random() % 3)});
                live.AddUser(record);
                present[userId] = record;
                joinOrder.push_back(userId);
            } else if (what == 1 || what == 2) {
                const auto state = static_cast<std::uint8_t>(random() % 3);
                live.OnLeadingStatus(userId, state);
                it->second.presenterState = state;
            } else if (what == 3 || what == 4) {
                const auto state = static_cast<std::uint8_t>(random() % 3);
                live.OnUserAudioState(userId, state);
                it->second.speakState = state;
            } else {
                const auto kind = static_cast<std::uint8_t>(random() % 2 == 0 ? 1 : 5);
                live.OnUserKindChanged(userId, 0, kind);
                it->second.kind = kind;
            }
        }
        UserListModel fresh;
        fresh.SetLocalUser(8);
        for (const TreeDept& dept : depts) {
            fresh.AddDepartment(dept);
        }
        for (std::uint16_t userId : joinOrder) {
            fresh.AddUser(present[userId]);
        }
        ASSERT_EQ(Dump(live.Members()), Dump(fresh.Members())) << "seed " << seed;
        auto liveStage = RootIds(live.Stage());
        auto freshStage = RootIds(fresh.Stage());
        std::sort(liveStage.begin(), liveStage.end());
        std::sort(freshStage.begin(), freshStage.end());
        ASSERT_EQ(liveStage, freshStage) << "seed " << seed;
        int previousRank = 0;
        for (const auto& row : live.Stage().Root().children) {
            const TreeUser& u = row->user;
            const int rank = u.presenterState == 2   ? 0
                             : u.presenterState == 1 ? 2
                             : u.speakState == 2     ? 1
                                                     : 3;
            ASSERT_GE(rank, previousRank) << "seed " << seed;
            previousRank = rank;
        }
    }
}
