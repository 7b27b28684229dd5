// One participant tree without a window: department counts, stage order, search and the
// tables kept beside the rows.

#include <gtest/gtest.h>

#include <vector>

#include "UserRecords.h"
#include "dialogs/users/UserTree.h"

using namespace yav::users;
using users_test::Dept;
using users_test::Person;
using users_test::Record;

namespace {

TreeUser User(const Person& person) {
    return MakeTreeUser(Record(person));
}

std::vector<std::uint16_t> RootIds(const UserTree& tree) {
    std::vector<std::uint16_t> ids;
    for (const auto& child : tree.Root().children) {
        ids.push_back(child->user.userId);
    }
    return ids;
}

// A(20) > B(21) > C(22), and D(23) at the root.
struct NestedTree : ::testing::Test {
    void SetUp() override {
        a = tree.AddDept(Dept(20, kTopLevelParentKey, "Head office"), nullptr);
        b = tree.AddDept(Dept(21, 20, "R&D (north)"), a);
        c = tree.AddDept(Dept(22, 21, "Team 7(2)"), b);
        d = tree.AddDept(Dept(23, kTopLevelParentKey, "Sales"), nullptr);
    }
    UserTree tree;
    TreeNode* a = nullptr;
    TreeNode* b = nullptr;
    TreeNode* c = nullptr;
    TreeNode* d = nullptr;
};

}  // namespace

TEST_F(NestedTree, CountsFollowInsertsAndRemovalsUpTheAncestorsWithParenthesesInNames) {
    tree.InsertUnder(User({.id = 8, .name = u"Ann", .deptKey = 22}), c);
    tree.InsertUnder(User({.id = 16, .name = u"Bob", .deptKey = 22}), c);
    tree.InsertUnder(User({.id = 24, .name = u"Cy", .deptKey = 21}), b);
    EXPECT_EQ(c->dept.Caption(), "Team 7(2)(2)");
    EXPECT_EQ(b->dept.Caption(), "R&D (north)(3)");
    EXPECT_EQ(a->dept.Caption(), "Head office(3)");
    EXPECT_EQ(d->dept.Caption(), "Sales(0)");

    tree.RemoveUser(8);
    tree.RemoveUser(16);
    EXPECT_EQ(c->dept.Caption(), "Team 7(2)(0)");
    EXPECT_EQ(b->dept.Caption(), "R&D (north)(1)");
    EXPECT_EQ(a->dept.Caption(), "Head office(1)");
}

TEST_F(NestedTree, ADepartmentNameWithFormatMarksKeepsThem) {
    TreeNode* marked = tree.AddDept(Dept(24, kTopLevelParentKey, "%1 office"), nullptr);
    tree.InsertUnder(User({.id = 8, .name = u"Ann", .deptKey = 24}), marked);
    EXPECT_EQ(marked->dept.Caption(), "%1 office(1)");
}

TEST_F(NestedTree, CountsNeverGoBelowZero) {
    tree.InsertUnder(User({.id = 8, .name = u"Ann", .deptKey = 22}), c);
    b->dept.count = 0;  // a caption already at zero
    tree.RemoveUser(8);
    EXPECT_EQ(c->dept.count, 0);
    EXPECT_EQ(b->dept.count, 0);
    EXPECT_EQ(a->dept.count, 0);
}

TEST_F(NestedTree, DistinctCountDepartmentCountsEachUserOnce) {
    TreeNode* stage =
        tree.AddDept(Dept(kDistinctCountDeptKey, kTopLevelParentKey, "Stage"), nullptr);
    TreeNode* sub = tree.AddDept(Dept(30, kDistinctCountDeptKey, "Guests"), stage);
    tree.InsertUnder(User({.id = 8, .name = u"Ann", .deptKey = kDistinctCountDeptKey}), stage);
    tree.InsertUnder(User({.id = 8, .name = u"Ann", .deptKey = 30}), sub);
    tree.InsertUnder(User({.id = 16, .name = u"Bob", .deptKey = 30}), sub);
    EXPECT_EQ(stage->dept.Caption(), "Stage(2)");
    EXPECT_EQ(sub->dept.Caption(), "Guests(2)");
    tree.RemoveUser(8);
    EXPECT_EQ(stage->dept.Caption(), "Stage(1)");
    EXPECT_EQ(sub->dept.Caption(), "Guests(1)");
}

TEST_F(NestedTree, ReAddingADepartmentReplacesItAndItsRows) {
    tree.InsertUnder(User({.id = 8, .name = u"Ann", .deptKey = 22}), c);
    TreeNode* again = tree.AddDept(Dept(22, 21, "Team 7"), b);
    EXPECT_EQ(tree.FindDeptItem(22), again);
    EXPECT_EQ(b->children.size(), 1u);
    EXPECT_TRUE(tree.UserNodes(8).empty());
    EXPECT_EQ(b->dept.count, 0);
}

TEST(UserTreeStage, OrderIsPresenterSpeakersQueueAskingWithNewestOfARankFirst) {
    struct Case {
        const char* what;
        std::vector<Person> joins;
        std::vector<std::uint16_t> order;
    };
    const std::vector<Case> cases = {
        {"presenter always first", {{.id = 8, .speak = 2}, {.id = 16, .presenter = 2}}, {16, 8}},
        {"second queue entry before the first",
         {{.id = 8, .presenter = 1}, {.id = 16, .presenter = 1}},
         {16, 8}},
        {"queue after speakers",
         {{.id = 8, .presenter = 1}, {.id = 16, .speak = 2}, {.id = 24, .presenter = 2}},
         {24, 16, 8}},
        {"asking to speak last, newest first",
         {{.id = 8, .speak = 1}, {.id = 16, .speak = 1}, {.id = 24, .presenter = 1}},
         {24, 16, 8}},
        {"speaker goes before earlier speakers",
         {{.id = 8, .presenter = 2}, {.id = 16, .speak = 2}, {.id = 24, .speak = 2}},
         {8, 24, 16}},
        {"queued and speaking counts as queued",
         {{.id = 8, .speak = 2}, {.id = 16, .presenter = 1, .speak = 2}},
         {8, 16}},
    };
    for (const Case& c : cases) {
        UserTree stage;
        for (const Person& person : c.joins) {
            stage.InsertStageUser(User(person));
        }
        EXPECT_EQ(RootIds(stage), c.order) << c.what;
    }
}

TEST(UserTreeSearch, ListsEveryMatchByLengthDifferenceThenTreeOrder) {
    UserTree tree;
    TreeNode* dept = tree.AddDept(Dept(20, kTopLevelParentKey, "Team"), nullptr);
    tree.InsertUnder(User({.id = 8, .name = u"Anna", .deptKey = 20}), dept);
    tree.InsertUnder(User({.id = 16, .name = u"Hannah", .deptKey = 20}), dept);
    tree.InsertUnder(User({.id = 24, .name = u"ANNE", .deptKey = 20}), dept);  // same key as Anna
    tree.InsertUnder(User({.id = 32, .name = u"Bob", .deptKey = 20}), dept);
    tree.InsertUnder(User({.id = 40, .name = u"ann", .deptKey = 99}), nullptr);
    const auto rows = tree.Search("Ann", {"Presenter", "Administrators", "Speakers", "(none)"});
    std::vector<std::uint16_t> ids;
    for (const TreeNode* row : rows) {
        ids.push_back(row->user.userId);
    }
    EXPECT_EQ(ids, (std::vector<std::uint16_t>{40, 8, 24, 16}));
}

// My own user shows at the root and under my department, a stage user also under the
// distinct-count department: each participant is one result, by name or by keyword.
TEST(UserTreeSearch, EachParticipantIsOneResultWhateverRowsItHas) {
    const UserTree::SearchTexts texts{"Presenter", "Administrators", "Speakers", "(none)"};
    UserTree tree;
    tree.SetLocalUser(8);
    TreeNode* team = tree.AddDept(Dept(20, kTopLevelParentKey, "Team"), nullptr);
    TreeNode* stage = tree.AddDept(Dept(kDistinctCountDeptKey, kTopLevelParentKey, "S"), nullptr);
    const TreeUser me = User({.id = 8, .name = u"Ann", .deptKey = 20, .kind = USER_KIND_CHAIR});
    tree.InsertUnder(me, nullptr);
    tree.InsertUnder(me, team);
    const TreeUser talker = User({.id = 16, .name = u"Annie", .deptKey = 20, .speak = 2});
    tree.InsertUnder(talker, team);
    tree.InsertUnder(talker, stage);
    for (const auto& [text, expected] : std::vector<std::pair<QString, std::vector<std::uint16_t>>>{
             {"ann", {8, 16}}, {"Administrators", {8}}, {"Speakers", {16}}}) {
        std::vector<std::uint16_t> ids;
        for (const TreeNode* row : tree.Search(text, texts)) {
            ids.push_back(row->user.userId);
        }
        EXPECT_EQ(ids, expected) << text.toStdString();
    }
}

TEST(UserTreeSearch, KeywordsSelectByStateNotByName) {
    const UserTree::SearchTexts texts{"Presenter", "Administrators", "Speakers", "(none)"};
    UserTree tree;
    tree.InsertUnder(User({.id = 8, .name = u"Speakers fan", .speak = 1}), nullptr);
    tree.InsertUnder(User({.id = 16, .name = u"Talker", .speak = 2}), nullptr);
    tree.InsertUnder(User({.id = 24, .name = u"Chair", .kind = USER_KIND_CHAIR}), nullptr);
    tree.InsertUnder(User({.id = 32, .name = u"Temp", .kind = USER_KIND_TEMP_ADMIN}), nullptr);
    tree.InsertUnder(User({.id = 40, .name = u"Lead", .presenter = 2}), nullptr);
    struct Case {
        QString text;
        std::vector<std::uint16_t> ids;
    };
    for (const Case& c : std::vector<Case>{
             {"speakers", {16}}, {"ADMINISTRATORS", {24}}, {"Presenter", {40}}, {"speak", {8}}}) {
        std::vector<std::uint16_t> ids;
        for (const TreeNode* row : tree.Search(c.text, texts)) {
            ids.push_back(row->user.userId);
        }
        EXPECT_EQ(ids, c.ids) << c.text.toStdString();
    }
}

TEST(UserTreeSearch, PlaceholderRowAndItsChildrenAreSkipped) {
    UserTree tree;
    TreeNode* none = tree.AddDept(Dept(20, kTopLevelParentKey, "(none)"), nullptr);
    tree.InsertUnder(User({.id = 8, .name = u"Ann"}), nullptr);
    const UserTree::SearchTexts texts{"P", "A", "S", "(none)"};
    tree.InsertUnder(User({.id = 16, .name = u"Annie", .deptKey = 20}), none);
    EXPECT_EQ(tree.Search("ann", texts).size(), 1u);
}

TEST(UserTreeSearch, ResultsReplaceEachOtherAndEmptyWhenNothingMatches) {
    UserTree tree;
    tree.InsertUnder(User({.id = 8, .name = u"Ann"}), nullptr);
    tree.InsertUnder(User({.id = 16, .name = u"Bob"}), nullptr);
    UserTree results;
    const UserTree::SearchTexts texts{"P", "A", "S", ""};
    EXPECT_TRUE(results.FillResults(tree.Search("b", texts)));
    EXPECT_EQ(RootIds(results), (std::vector<std::uint16_t>{16}));
    EXPECT_FALSE(results.FillResults(tree.Search("zz", texts)));
    EXPECT_TRUE(results.Root().children.empty());
}

TEST(UserTreeTables, BroadcastIgnoresChannelSevenAndCountsChannelsZeroToSix) {
    UserTree tree;
    tree.InsertUnder(User({.id = 8, .name = u"Ann", .owned = 0xFF, .channels = 8}), nullptr);
    tree.SetBroadcastBit(8 + 7, true);
    EXPECT_EQ(tree.FindUserRecord(8)->broadcastMask, 0);
    EXPECT_EQ(tree.GetBroadcastCount(), 0);
    tree.SetBroadcastBit(8 + 0, true);
    tree.SetBroadcastBit(8 + 2, true);
    tree.SetBroadcastMask(16, 0x80);  // a mask learnt elsewhere: bit 7 is not counted
    EXPECT_EQ(tree.FindUserRecord(8)->broadcastMask, 0x05);
    EXPECT_EQ(tree.GetBroadcastCount(), 2);
    EXPECT_TRUE(tree.IsBroadcasting(8 + 2));
    EXPECT_FALSE(tree.IsBroadcasting(8 + 1));
    std::vector<std::uint16_t> ids;
    tree.GetBroadcastMediaIds(ids);
    EXPECT_EQ(ids, (std::vector<std::uint16_t>{8, 10, 23}));
    tree.SetBroadcastBit(8 + 0, false);
    EXPECT_EQ(tree.FindUserRecord(8)->broadcastMask, 0x04);
}

TEST(UserTreeTables, ALeaveTakesOnlyTheLeaversReceivedChannels) {
    UserTree tree;
    tree.InsertUnder(User({.id = 8, .name = u"Ann", .owned = 3, .channels = 2}), nullptr);
    tree.InsertUnder(User({.id = 16, .name = u"Bob", .owned = 1, .channels = 1}), nullptr);
    tree.SetReceived(8, true);
    tree.SetReceived(9, true);
    tree.SetReceived(16, true);
    EXPECT_EQ(tree.GetReceivedCount(), 3);
    EXPECT_EQ(tree.FindUserRecord(8)->receivedMask, 0x03);
    tree.RemoveUser(16);
    EXPECT_EQ(tree.GetReceivedCount(), 2);
    EXPECT_TRUE(tree.IsReceived(9));
    tree.SetReceived(9, false);
    EXPECT_EQ(tree.GetReceivedCount(), 1);
    EXPECT_EQ(tree.FindUserRecord(8)->receivedMask, 0x01);
}

TEST(UserTreeTables, SpeakerListKeepsListenedToUsersAndEachIdOnce) {
    UserTree tree;
    TreeUser ann = User({.id = 8, .name = u"Ann"});
    ann.privateBlock[9] = 1;
    tree.InsertUnder(ann, nullptr);
    tree.InsertUnder(User({.id = 16, .name = u"Bob"}), nullptr);
    tree.SetSpeakState(8, 2);
    tree.SetSpeakState(8, 2);
    tree.SetSpeakState(16, 2);
    EXPECT_EQ(tree.GetSpeakerCount(), 2);
    tree.SetSpeakState(8, 0);
    tree.SetSpeakState(16, 0);
    EXPECT_EQ(tree.Speakers(), (std::vector<std::uint16_t>{8}));
}

TEST(UserTreeRecords, NameStopsAtTheFieldEvenWithoutATerminator) {
    ST_USER_ITEM_DEPT record;
    std::fill(std::begin(record.name), std::end(record.name), u'x');
    EXPECT_EQ(RecordName(record).size(), kMaxNameUnits);
    record.name[3] = u'\0';
    EXPECT_EQ(RecordName(record), "xxx");
}

TEST(UserTreeRecords, FindByNameAndByMediaIdAcrossDepartments) {
    UserTree tree;
    TreeNode* dept = tree.AddDept(Dept(20, kTopLevelParentKey, "Team"), nullptr);
    tree.InsertUnder(User({.id = 8, .name = u"<b>Ann</b>", .deptKey = 20}), dept);
    ASSERT_NE(tree.FindUserByName("<b>Ann</b>"), nullptr);
    EXPECT_EQ(tree.FindUserByName("<b>Ann</b>")->userId, 8);
    EXPECT_EQ(tree.FindUserByName("Ann"), nullptr);
    ASSERT_NE(tree.FindUserRecord(8 + 5), nullptr);
    EXPECT_EQ(tree.FindUserRecord(8 + 5)->userId, 8);
    EXPECT_EQ(tree.FindUserRecord(16), nullptr);
}

TEST(UserTreeRecords, ServerDepartmentsBecomeTreeKeysShiftedOnce) {
    ST_DEPT_INFO top;
    top.parentId = ST_DEPT_INFO::kTopLevel;
    top.id = 1;
    top.value = 5;
    std::u16string_view name = u"Head (office)";
    std::copy(name.begin(), name.end(), top.name);
    const TreeDept dept = TreeDeptOf(top);
    EXPECT_EQ(dept.parentKey, kTopLevelParentKey);
    EXPECT_EQ(dept.ownKey, 11u);
    EXPECT_EQ(dept.secondValue, 5u);
    EXPECT_EQ(dept.name, "Head (office)");
    ST_DEPT_INFO child;
    child.parentId = 1;
    child.id = 3;
    std::fill(std::begin(child.name), std::end(child.name), u'x');  // no terminator
    const TreeDept nested = TreeDeptOf(child);
    EXPECT_EQ(nested.parentKey, 11u);
    EXPECT_EQ(nested.ownKey, 13u);
    EXPECT_EQ(nested.name.size(), static_cast<qsizetype>(ST_DEPT_INFO::kNameUnits));
}
