// A chair's actions on participants: pop-up contents by role, the commands, the limits that
// keep a request from going out, the preview and the tips; and the speak pop-up's buttons.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "UserRecords.h"
#include "dialogs/users/TreeActions.h"
#include "fakes/users/RecordingActionHost.h"

using namespace yav::users;
using users_test::Person;
using users_test::Record;

namespace {

using FakeActionHost = fakes::RecordingActionHost;

struct Actions : ::testing::Test {
    void SetUp() override {
        tree.SetLocalUser(8);
        mine = tree.InsertUnder(
            MakeTreeUser(Record({.id = 8, .name = u"Me", .owned = 1, .channels = 1})), nullptr);
        ann = tree.InsertUnder(
            MakeTreeUser(Record({.id = 16, .name = u"Ann", .owned = 0x03, .channels = 2})),
            nullptr);
        bob = tree.InsertUnder(
            MakeTreeUser(Record({.id = 24, .name = u"Bob", .owned = 1, .channels = 1})), nullptr);
    }
    TreeNode* Node(std::uint16_t id) { return tree.FirstUserNode(id); }
    UserTree tree;
    FakeActionHost host;
    TreeActions actions{tree, host};
    TreeNode* mine = nullptr;
    TreeNode* ann = nullptr;
    TreeNode* bob = nullptr;
};

}  // namespace

TEST_F(Actions, PopupContentsFollowTheRole) {
    host.admin = false;
    EXPECT_TRUE(actions.ChairPopup(ann).empty());

    host.presenter = true;
    EXPECT_EQ(actions.ChairPopup(ann),
              (std::vector<PopupButton>{{ID_USER_GRANT_PRESENTER, kTextMakePresenter},
                                        {ID_USER_REMOTE_PARAM, kTextDeviceSettings}}));

    host.admin = true;
    host.presenter = false;
    tree.SetLeadingState(16, 2);
    tree.SetSpeakState(16, 2);
    host.inLayout = 16;
    EXPECT_EQ(actions.ChairPopup(ann),
              (std::vector<PopupButton>{{ID_USER_GRANT_PRESENTER, kTextRemovePresenter},
                                        {ID_USER_GRANT_SPEAK, kTextTakeFloorBack},
                                        {ID_USER_BROADCAST_VIDEO, kTextStopBroadcast},
                                        {ID_USER_REMOTE_PARAM, kTextDeviceSettings},
                                        {ID_USER_REMOTE_ASSIST, kTextRemoteAssist},
                                        {ID_USER_KICK, kTextRemoveUser}}));
    EXPECT_EQ(actions.GetTarget(), 16);

    // My own row: neither remote assistance nor removal.
    const auto own = actions.ChairPopup(mine);
    EXPECT_FALSE(own[4].enabled);
    EXPECT_FALSE(own[5].enabled);
    EXPECT_TRUE(actions.ChairPopup(tree.AddDept(users_test::Dept(20, 9, "D"), nullptr)).empty());

    // A room without the device dialog or the remote assistance offers both disabled.
    host.deviceDialog = false;
    host.remoteAssist = false;
    const auto offered = actions.ChairPopup(ann);
    ASSERT_EQ(offered.size(), 6u);
    EXPECT_FALSE(offered[3].enabled);
    EXPECT_FALSE(offered[4].enabled);
    EXPECT_TRUE(offered[5].enabled);
}

TEST_F(Actions, RemoteAssistButtonMatrix) {
    struct Case {
        const char* what;
        RemoteAssistState state;
        std::uint16_t target;
        int textId;
        bool checked;
        bool enabled;
    };
    const std::vector<Case> cases = {
        {"idle", {.confOptions = 0x09}, 16, kTextRemoteAssist, false, true},
        {"own row", {.confOptions = 0x09}, 8, kTextRemoteAssist, false, false},
        {"options bit 0 clear", {.confOptions = 0x08}, 16, kTextRemoteAssist, false, false},
        {"options bit 3 clear", {.confOptions = 0x01}, 16, kTextRemoteAssist, false, false},
        {"sharing my screen",
         {.screenShareState = 1, .confOptions = 0x09},
         16,
         kTextRemoteAssist,
         false,
         false},
        {"controlled",
         {.remoteControlState = 2, .confOptions = 0x09},
         16,
         kTextRemoteAssist,
         false,
         false},
        {"controlling the peer",
         {.remoteControlState = 1, .peerId = 16, .confOptions = 0x09},
         16,
         kTextEndRemoteAssist,
         true,
         true},
        {"controlling another",
         {.remoteControlState = 1, .peerId = 24, .confOptions = 0x09},
         16,
         kTextEndRemoteAssist,
         true,
         false},
        {"viewing the presenter",
         {.screenShareState = 2, .presenterId = 16, .confOptions = 0x09},
         16,
         kTextRemoteAssist,
         false,
         true},
        {"viewing the presenter, view state 2",
         {.screenShareState = 2, .screenViewState = 2, .presenterId = 16, .confOptions = 0x09},
         16,
         kTextEndRemoteAssist,
         true,
         true},
        {"assisting the peer",
         {.assistFlag = true, .peerId = 16, .confOptions = 0x09},
         16,
         kTextEndRemoteAssist,
         true,
         true},
        {"assisting another",
         {.assistFlag = true, .peerId = 24, .confOptions = 0x09},
         16,
         kTextEndRemoteAssist,
         true,
         false},
    };
    for (const Case& c : cases) {
        host.assist = c.state;
        const auto buttons = actions.ChairPopup(Node(c.target));
        ASSERT_EQ(buttons.size(), 6u) << c.what;
        EXPECT_EQ(buttons[4], (PopupButton{ID_USER_REMOTE_ASSIST, c.textId, c.checked, c.enabled}))
            << c.what;
    }
}

TEST_F(Actions, RemoteAssistCommandByState) {
    struct Case {
        RemoteAssistState state;
        std::string call;
    };
    const std::vector<Case> cases = {
        {{.assistFlag = true}, "RequestRemoteAssist 16 2"},
        {{.remoteControlState = 1}, "RequestRemoteAssist 16 0"},
        {{}, "RequestRemoteAssist 16 1"},
        {{.screenShareState = 1}, "Notice 2470 0"},
    };
    for (const Case& c : cases) {
        host.calls.clear();
        host.assist = c.state;
        actions.SetTarget(16);
        actions.OnCommand(ID_USER_REMOTE_ASSIST);
        EXPECT_EQ(host.calls, std::vector<std::string>{c.call});
    }
}

TEST_F(Actions, LimitsShowTheirTextAndSendNothing) {
    struct Case {
        const char* what;
        std::function<void(FakeActionHost&, UserTree&)> setup;
        int command;
        std::uint16_t target;
        std::vector<std::string> calls;
    };
    const std::vector<Case> cases = {
        {"speakers full",
         [](FakeActionHost& h, UserTree&) { h.speakers = 4; },
         ID_USER_GRANT_SPEAK,
         16,
         {"Notice 2245 4"}},
        {"taking back is always sent",
         [](FakeActionHost& h, UserTree& t) {
             h.speakers = 9;
             t.SetSpeakState(16, 2);
         },
         ID_USER_GRANT_SPEAK,
         16,
         {"AwardSpeek 16 0"}},
        {"speakers below the limit",
         [](FakeActionHost& h, UserTree&) { h.speakers = 3; },
         ID_USER_GRANT_SPEAK,
         16,
         {"AwardSpeek 16 2"}},
        {"receive limit for administrators",
         [](FakeActionHost&, UserTree& t) {
             t.SetReceived(24, true);
             t.SetReceived(40, true);
             t.SetReceived(41, true);
         },
         ID_USER_RECEIVE_CHANNEL0,
         16,
         {"Notice 115 3"}},
        {"receive limit for others",
         [](FakeActionHost& h, UserTree& t) {
             h.admin = false;
             h.presenter = true;
             t.SetReceived(24, true);
         },
         ID_USER_RECEIVE_CHANNEL0,
         16,
         {"Notice 2239 1"}},
        {"stopping a reception is not limited",
         [](FakeActionHost&, UserTree& t) {
             t.SetReceived(16, true);
             t.SetReceived(24, true);
             t.SetReceived(40, true);
         },
         ID_USER_RECEIVE_CHANNEL0,
         16,
         {"RequestUserVideo 16 0"}},
        {"broadcast limit counts my own channels",
         [](FakeActionHost& h, UserTree& t) {
             h.ownBroadcast = 1;
             t.SetBroadcastBit(24, true);
         },
         ID_USER_BROADCAST_CHANNEL0,
         16,
         {"Notice 2242 2"}},
        {"channel not owned",
         [](FakeActionHost&, UserTree&) {},
         ID_USER_BROADCAST_CHANNEL0 + 2,
         16,
         {}},
    };
    for (const Case& c : cases) {
        UserTree fresh;
        FakeActionHost h;
        fresh.SetLocalUser(8);
        fresh.InsertUnder(
            MakeTreeUser(Record({.id = 16, .name = u"Ann", .owned = 3, .channels = 2})), nullptr);
        fresh.InsertUnder(
            MakeTreeUser(Record({.id = 24, .name = u"Bob", .owned = 1, .channels = 1})), nullptr);
        c.setup(h, fresh);
        TreeActions a(fresh, h);
        a.SetTarget(c.target);
        a.OnCommand(c.command);
        EXPECT_EQ(h.calls, c.calls) << c.what;
    }
}

TEST_F(Actions, ACancelledKickSendsNothingAndMyOwnRowIsNeverKicked) {
    host.confirm = false;
    actions.SetTarget(16);
    actions.OnCommand(ID_USER_KICK);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"Confirm 3151 0"}));
    host.confirm = true;
    actions.OnCommand(ID_USER_KICK);
    EXPECT_EQ(host.calls.back(), "KickUser 16 5");
    host.calls.clear();
    actions.SetTarget(8);
    actions.OnCommand(ID_USER_KICK);
    EXPECT_TRUE(host.calls.empty());
}

TEST_F(Actions, ThePreviewClosesBeforeTheBroadcastOfTheSameChannel) {
    host.preview = 17;
    actions.SetTarget(16);
    actions.OnCommand(ID_USER_BROADCAST_CHANNEL0 + 1);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"ReceiveVideo 17 0", "BroadcastVideo 17 1"}));
    host.calls.clear();
    host.preview = 16;
    actions.OnCommand(ID_USER_BROADCAST_CHANNEL0 + 1);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"BroadcastVideo 17 1"}));
}

TEST_F(Actions, PresenterTempAdminQueueAndScreenControlCommands) {
    struct Case {
        std::function<void(FakeActionHost&, UserTree&)> setup;
        std::uint16_t target;
        int command;
        std::vector<std::string> calls;
    };
    const std::vector<Case> cases = {
        {[](auto&, auto&) {}, 16, ID_USER_GRANT_PRESENTER, {"SetPresenter 16 1"}},
        {[](auto&, UserTree& t) { t.SetLeadingState(16, 2); },
         16,
         ID_USER_GRANT_PRESENTER,
         {"SetPresenter 16 0"}},
        {[](FakeActionHost& h, auto&) { h.presenter = true; },
         8,
         ID_USER_GRANT_PRESENTER,
         {"ApplyPresenter"}},
        {[](auto&, auto&) {}, 16, ID_USER_LEAVE_QUEUE, {"SetPresenter 16 0"}},
        {[](auto&, auto&) {}, 16, ID_USER_TEMP_ADMIN, {"SetTempAdmin 16 1"}},
        {[](auto&, UserTree& t) { t.SetKind(16, USER_KIND_TEMP_ADMIN); },
         16,
         ID_USER_TEMP_ADMIN,
         {"SetTempAdmin 16 0"}},
        {[](FakeActionHost& h, auto&) {
             h.admin = false;
             h.presenter = true;
         },
         16,
         ID_USER_TEMP_ADMIN,
         {}},
        {[](auto&, UserTree& t) { t.AddScreenControlUser(16); },
         16,
         ID_USER_SCREEN_CONTROL,
         {"GrantScreenControl 16 0"}},
        {[](auto&, auto&) {}, 16, ID_USER_REMOTE_PARAM, {"OpenDeviceDialog 16 0"}},
        {[](FakeActionHost& h, auto&) { h.admin = false; }, 16, ID_USER_GRANT_SPEAK, {}},
    };
    for (const Case& c : cases) {
        UserTree fresh;
        FakeActionHost h;
        fresh.SetLocalUser(8);
        fresh.InsertUnder(MakeTreeUser(Record({.id = 8, .name = u"Me"})), nullptr);
        fresh.InsertUnder(MakeTreeUser(Record({.id = 16, .name = u"Ann"})), nullptr);
        c.setup(h, fresh);
        TreeActions a(fresh, h);
        a.SetTarget(c.target);
        a.OnCommand(c.command);
        EXPECT_EQ(h.calls, c.calls) << c.command;
    }
}

TEST_F(Actions, AnOrdinaryParticipantPreviewsOnlyTheirOwnVideoAndChangesNoSpeakingRight) {
    host.admin = false;
    EXPECT_EQ(actions.OnItemAction(ann, TreeNode::kHoverRow).kind, ItemAction::Kind::None);
    EXPECT_EQ(actions.OnItemAction(mine, TreeNode::kHoverAudio).kind, ItemAction::Kind::None);
    EXPECT_EQ(actions.OnItemAction(mine, TreeNode::kHoverVideo).kind, ItemAction::Kind::None);
    EXPECT_TRUE(host.calls.empty());
    EXPECT_EQ(actions.OnItemAction(mine, TreeNode::kHoverRow).kind,
              ItemAction::Kind::PreviewToggled);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"ReceiveVideo 8 1"}));
}

TEST_F(Actions, RowAndIconClicksOfAChair) {
    EXPECT_EQ(actions.OnItemAction(ann, TreeNode::kHoverVideo).kind,
              ItemAction::Kind::BroadcastChooser);
    EXPECT_EQ(actions.OnItemAction(ann, TreeNode::kHoverRow).kind,
              ItemAction::Kind::ReceiveChooser);
    EXPECT_EQ(actions.OnItemAction(bob, TreeNode::kHoverVideo).kind, ItemAction::Kind::CommandRun);
    EXPECT_EQ(host.calls.back(), "BroadcastVideo 24 1");
    bob->hoverArea = TreeNode::kHoverAudio;
    actions.OnItemAction(bob, 0);
    EXPECT_EQ(host.calls.back(), "AwardSpeek 24 2");
    // A row shown in a layout window already gets a tip instead of a preview.
    host.inLayout = 24;
    const ItemAction tip = actions.OnItemAction(bob, TreeNode::kHoverRow);
    EXPECT_EQ(tip.kind, ItemAction::Kind::Tip);
    EXPECT_EQ(tip.tipTextId, kTextAllVideosShown);
    TreeNode* dept = tree.AddDept(users_test::Dept(20, 9, "D"), nullptr);
    EXPECT_EQ(actions.OnItemAction(dept, 0).kind, ItemAction::Kind::ToggleExpand);
    EXPECT_TRUE(dept->expanded);
}

// A row opens the preview only while the room follows the synchronised layout and has a
// preview window; the icons act either way.
TEST_F(Actions, ARowOpensThePreviewOnlyWhileTheRoomFollowsTheSynchronisedLayout) {
    const struct {
        bool ownLayout;
        bool hasPreview;
        ItemAction::Kind row;
    } cases[] = {
        {false, true, ItemAction::Kind::PreviewToggled},
        {true, true, ItemAction::Kind::None},
        {false, false, ItemAction::Kind::None},
    };
    for (const auto& c : cases) {
        host.ownLayout = c.ownLayout;
        host.hasPreview = c.hasPreview;
        host.preview = 0;
        host.calls.clear();
        EXPECT_EQ(actions.OnItemAction(bob, TreeNode::kHoverRow).kind, c.row)
            << c.ownLayout << c.hasPreview;
        EXPECT_EQ(host.calls.empty(), c.row == ItemAction::Kind::None) << c.ownLayout;
        EXPECT_EQ(actions.OnItemAction(bob, TreeNode::kHoverAudio).kind,
                  ItemAction::Kind::CommandRun);
    }
}

TEST_F(Actions, PreviewTogglesAndTips) {
    EXPECT_EQ(actions.ToggleUserPreview(16), std::nullopt);
    EXPECT_EQ(host.preview, 16);
    EXPECT_EQ(actions.ToggleUserPreview(16), std::nullopt);  // the same id closes it
    EXPECT_EQ(host.preview, 0);
    host.preview = 24;
    EXPECT_EQ(actions.ToggleUserPreview(16 + 2), std::optional<int>(kTextVideoOff));
    EXPECT_EQ(host.calls.back(), "ReceiveVideo 24 0");  // the other preview stopped first
    tree.InsertUnder(MakeTreeUser(Record({.id = 32, .name = u"Cam-less"})), nullptr);
    EXPECT_EQ(actions.ToggleUserPreview(32), std::optional<int>(kTextNoVideo));
}

TEST_F(Actions, ARepeatedTipForTheSameUserIsSuppressedForFiveSeconds) {
    EXPECT_TRUE(actions.AllowTip(16, 1000));
    EXPECT_FALSE(actions.AllowTip(16, 5999));
    EXPECT_TRUE(actions.AllowTip(24, 6000));
    EXPECT_TRUE(actions.AllowTip(16, 6001));
    EXPECT_TRUE(actions.AllowTip(16, 11001));
}

TEST_F(Actions, ChoosersListChannels) {
    tree.SetBroadcastBit(17, true);
    const TreeUser& user = *tree.FindUserRecord(16);
    EXPECT_EQ(
        actions.BroadcastChooser(user),
        (std::vector<PopupButton>{{1, 1330, false, true}, {2, kTextStopBroadcast, true, true}}));
    EXPECT_EQ(actions.ReceiveChooser(user), (std::vector<PopupButton>{{1, 3154}}));
}

TEST(SpeakButtonsTest, RulesOfTheSpeakPopup) {
    struct Case {
        const char* what;
        Person person;
        int speakers;
        std::optional<std::uint8_t> shown;
        std::vector<std::string> calls;
    };
    const std::vector<Case> cases = {
        {"taken back without a limit test", {.id = 16, .speak = 2}, 9, 0, {"AwardSpeek 16 0"}},
        {"granted on the channel's user", {.id = 16}, 3, 2, {"AwardSpeek 16 2"}},
        {"limit reached", {.id = 16}, 4, std::nullopt, {"Notice 2245 4"}},
        {"no audio device", {.id = 16, .audio = 0}, 0, std::nullopt, {}},
    };
    for (const Case& c : cases) {
        FakeActionHost host;
        host.speakers = c.speakers;
        SpeakButtons buttons(host);
        const ST_USER_ITEM_DEPT record = Record(c.person);
        EXPECT_EQ(buttons.OnBtnSpeak(16 + 1, &record), c.shown) << c.what;
        EXPECT_EQ(host.calls, c.calls) << c.what;
    }
    FakeActionHost host;
    SpeakButtons buttons(host);
    EXPECT_EQ(buttons.OnBtnSpeak(16, nullptr), std::nullopt);
    host.admin = false;
    const ST_USER_ITEM_DEPT anyone = Record({.id = 16});
    EXPECT_EQ(buttons.OnBtnSpeak(16, &anyone), std::nullopt);
    EXPECT_TRUE(host.calls.empty());
}

TEST(SpeakButtonsTest, BroadcastButtonStopsStartsOrStaysSilentAtTheLimit) {
    FakeActionHost host;
    SpeakButtons buttons(host);
    const ST_USER_ITEM_DEPT record = Record({.id = 16, .owned = 0x03, .broadcast = 0x02});
    EXPECT_TRUE(buttons.OnBtnBroadcast(17, &record, 5));
    EXPECT_TRUE(buttons.OnBtnBroadcast(16, &record, 1));
    EXPECT_FALSE(buttons.OnBtnBroadcast(16, &record, 2));
    EXPECT_FALSE(buttons.OnBtnBroadcast(18, &record, 0));
    EXPECT_EQ(host.calls, (std::vector<std::string>{"BroadcastVideo 17 0", "BroadcastVideo 16 1"}));
}

TEST(PreviewPlacementTest, BelowTheRowCentredUpNearTheBottomAndBesideAFloatingPanel) {
    const QRect monitor(0, 0, 1920, 1080);
    const QSize preview(320, 240);
    const QRect row(100, 200, 300, 25);
    EXPECT_EQ(PreviewPlacement(row, 25, preview, monitor, false, {}),
              QRect(QPoint(250 - 160, 225), preview));
    const QRect low(100, 900, 300, 25);
    EXPECT_EQ(PreviewPlacement(low, 25, preview, monitor, false, {}).top(), 925 - 240);
    const QRect panel(1500, 0, 320, 1000);
    const QRect beside = PreviewPlacement(row, 25, preview, monitor, true, panel);
    EXPECT_EQ(beside.right(), 1499);
    EXPECT_EQ(beside.top(), 225);
}
