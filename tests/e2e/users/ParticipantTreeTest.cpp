// The participant window of a chair against a yavserver process: bots join, leave, raise
// their hands and queue for the presenter role, and the chair's commands from the tree reach
// them; the server refuses a forced request from a participant who is not a chair.

#include <QApplication>

#include <gtest/gtest.h>

#include <memory>

#include "ST_CS_MSG.h"
#include "client/conference/RoomActionHost.h"
#include "client/conference/XConfManager.h"
#include "dialogs/users/CDlgUserList.h"
#include "e2e/server/CsBot.h"
#include "e2e/server/ServerProcess.h"
#include "fakes/conference/CallLog.h"
#include "fakes/conference/FakeMainFrame.h"
#include "fakes/conference/FakeRoomChildren.h"
#include "fakes/conference/QtWait.h"
#include "fakes/conference/RecordingCsHandler.h"
#include "platform/window/testing/WindowTesting.h"

using namespace yav::users;
using yav::test::CsBot;

namespace {

constexpr std::uint32_t kDemoConference = 900001;

// Stands in for the main frame's event handlers: the pump's user events go to the participant
// window with the department shifted to its tree key.
class TreeBridge : public fakes::RecordingCsHandler {
public:
    TreeBridge(fakes::CallLog& log, CDlgUserList& list) : RecordingCsHandler(log), list_(list) {}
    void OnUserJoin(ST_USER_ITEM_DEPT* record) override {
        RecordingCsHandler::OnUserJoin(record);
        ST_USER_ITEM_DEPT shifted = *record;
        shifted.departmentId += kDeptKeyShift;
        list_.AddUser(&shifted);
    }
    void OnUserLeave(std::uint16_t userId, std::uint32_t dept, std::uint8_t kind) override {
        RecordingCsHandler::OnUserLeave(userId, dept, kind);
        list_.OnUserLeave(userId, dept);
    }
    void OnUserInfoChanged(ST_USER_ITEM_DEPT* record) override {
        RecordingCsHandler::OnUserInfoChanged(record);
        list_.OnUserUpdate(record);
    }
    void HandleLeadingStatus(std::uint16_t userId, std::uint8_t state, std::uint8_t old) override {
        RecordingCsHandler::HandleLeadingStatus(userId, state, old);
        list_.OnLeadingStatus(userId, state);
    }
    void OnUserAttrChanged(std::uint16_t userId, std::uint32_t dept, std::uint8_t kind) override {
        RecordingCsHandler::OnUserAttrChanged(userId, dept, kind);
        list_.OnUserKindChanged(userId, dept, kind);
    }
    void OnUserAudioStatus(std::uint16_t userId, std::uint8_t status, std::uint8_t previous,
                           std::uint32_t value) override {
        RecordingCsHandler::OnUserAudioStatus(userId, status, previous, value);
        list_.OnUserAudioState(userId, status);
    }
    void OnVideoOpenResult(std::uint16_t mediaId, std::uint16_t result,
                           std::uint32_t value) override {
        RecordingCsHandler::OnVideoOpenResult(mediaId, result, value);
        // A stop comes back as result 0 with value 0.
        list_.OnVideoReceived(mediaId, result == 0 && value != 0 ? 1 : 0);
    }
    void HandleBroadcastVideo(std::uint16_t mediaId, std::uint16_t result, std::uint8_t on,
                              std::uint32_t value) override {
        RecordingCsHandler::HandleBroadcastVideo(mediaId, result, on, value);
        if (result == 0) {
            list_.SetBroadcastState(mediaId, on);
        }
    }

private:
    CDlgUserList& list_;
};

std::vector<std::uint16_t> StageIds(CDlgUserList& list) {
    std::vector<std::uint16_t> ids;
    for (const auto& row : list.Model().Stage().Root().children) {
        ids.push_back(row->user.userId);
    }
    return ids;
}

bool Has(CsBot& bot, std::uint32_t type, const std::function<bool(const ST_CS_MSG&)>& match = {}) {
    return bot.WaitFor([&](const ST_CS_MSG& m) {
        return m.type == type && (!match || match(m));
    }) != nullptr;
}

class ParticipantTree : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.Ready()) << server.Output();
        list = std::make_unique<CDlgUserList>(nullptr);
        ASSERT_TRUE(list->Create(CDlgUserList::IDD, nullptr));
        list->SetChatWindow(&chat, nullptr);
        bridge = std::make_unique<TreeBridge>(log, *list);
        manager.SetMainFrame(&frame);
        manager.SetCsHandler(bridge.get());
        manager.SetUserHandler(bridge.get());
        std::uint16_t required = 0;
        ASSERT_EQ(manager.SetupConference("127.0.0.1", server.ConferencePort(), kDemoConference,
                                          "demo", "demo", &required, 0, 0),
                  0);
        auto room = std::make_unique<RoomActionHost>(list.get());
        room->SetConfManager(&manager);
        list->SetRoom(std::move(room));
        list->SetLocalUser(manager.GetMyUserId());
        // What the main frame's LoadUserTree does with the login snapshot.
        for (const ST_DEPT_INFO& info : manager.GetUserManager()->GetDepartments()) {
            const ST_TREE_DEPT dept = TreeDeptOf(info);
            if (dept.parentKey == kTopLevelParentKey) {
                list->AddRootDepartment(&dept);
            } else {
                list->AddDepartment(&dept, dept.parentKey);
            }
        }
        for (ST_USER_ITEM_DEPT record : manager.GetAllUsers()) {
            record.departmentId += kDeptKeyShift;
            list->AddUser(&record);
        }
    }
    void TearDown() override {
        manager.Logout();
        list.reset();
    }
    bool Pump(const std::function<bool()>& condition) {
        return fakes::WaitFor([&] {
            manager.ProcessCsMessage();
            return condition();
        });
    }
    const TreeUser* Record(std::uint16_t id) { return list->Model().Members().FindUserRecord(id); }
    TreeActions& Actions() { return list->GetUserTree().Actions(); }

    // Moderated: the chair gives the floor and chooses the broadcasts.
    yav::test::ServerProcess server{{"--speaking-mode", "moderated"}};
    fakes::CallLog log;
    fakes::FakeMainFrame frame{log};
    fakes::FakeChat chat{log};
    XConfManager manager;
    std::unique_ptr<CDlgUserList> list;
    std::unique_ptr<TreeBridge> bridge;
};

}  // namespace

TEST_F(ParticipantTree, BotsShowInTheNestedTreeAndOnStageAndTheChairsCommandsReachThem) {
    const UserTree& members = list->Model().Members();
    ASSERT_NE(members.FindDeptItem(11), nullptr) << "Head office";
    ASSERT_NE(members.FindDeptItem(13), nullptr) << "Research (north)";
    EXPECT_EQ(members.FindDeptItem(13)->parent, members.FindDeptItem(11));
    EXPECT_EQ(members.Root().children.front()->user.userId, manager.GetMyUserId());

    CsBot alice;
    CsBot bob;
    CsBot guest;
    ASSERT_EQ(alice.Login(server.ConferencePort(), kDemoConference, "alice", "alice", 0), 0);
    ASSERT_EQ(bob.Login(server.ConferencePort(), kDemoConference, "bob", "bob", 0), 0);
    ASSERT_EQ(guest.Login(server.ConferencePort(), kDemoConference, "Gus", "", 1), 0);
    const std::uint16_t aliceId = alice.UserId();
    const std::uint16_t bobId = bob.UserId();
    const std::uint16_t guestId = guest.UserId();
    ASSERT_TRUE(Pump([&] { return Record(guestId) != nullptr; })) << server.Output();
    // Alice sits in Research (north), inside Head office; both count her.
    EXPECT_EQ(Record(aliceId)->deptKey, 13u);
    EXPECT_EQ(members.FirstUserNode(aliceId)->parent, members.FindDeptItem(13));
    EXPECT_EQ(members.FindDeptItem(13)->dept.count, 1);
    EXPECT_EQ(members.FindDeptItem(11)->dept.count, 2);  // the chair and Alice

    // A raised hand and the presenter queue.
    bob.Cs().ApplySpeak(1);
    guest.Cs().ApplyPresenter();
    ASSERT_TRUE(Pump([&] { return StageIds(*list).size() == 2; }));
    EXPECT_EQ(StageIds(*list), (std::vector<std::uint16_t>{guestId, bobId}));

    // The chair gives Bob the floor and makes the queued guest presenter.
    Actions().SetTarget(bobId);
    Actions().OnCommand(ID_USER_GRANT_SPEAK);
    EXPECT_TRUE(Has(bob, CS_MSG_USER_AUDIO_STATUS));
    Actions().SetTarget(guestId);
    Actions().OnCommand(ID_USER_GRANT_PRESENTER);
    EXPECT_TRUE(Has(guest, CS_MSG_LEADING_STATUS));
    ASSERT_TRUE(Pump(
        [&] { return Record(bobId)->speakState == 2 && Record(guestId)->presenterState == 2; }));
    EXPECT_EQ(StageIds(*list), (std::vector<std::uint16_t>{guestId, bobId}));
    EXPECT_EQ(list->Model().Members().GetSpeakerCount(), 1);

    // Alice turns a camera on; the chair broadcasts it.
    alice.Cs().SetConfOptions(1, 0x01, 1, 0, 1, 0);
    ASSERT_TRUE(Pump([&] { return Record(aliceId)->ownedMask == 0x01; }));
    Actions().SetTarget(aliceId);
    Actions().OnCommand(ID_USER_BROADCAST_CHANNEL0);
    EXPECT_TRUE(Has(alice, CS_MSG_BROADCAST_VIDEO));
    ASSERT_TRUE(Pump([&] { return list->IsBroadcasting(aliceId); }));
    EXPECT_EQ(Record(aliceId)->broadcastMask, 0x01);
    // The chair receives Alice's channel: the received table counts it.
    Actions().OnCommand(ID_USER_RECEIVE_CHANNEL0);
    ASSERT_TRUE(Pump([&] { return list->Model().Members().GetReceivedCount() == 1; }));
    EXPECT_EQ(Record(aliceId)->receivedMask, 0x01);
    Actions().OnCommand(ID_USER_RECEIVE_CHANNEL0);
    ASSERT_TRUE(Pump([&] { return list->Model().Members().GetReceivedCount() == 0; }));

    // A participant who is not a chair forces Alice to speak: the server refuses. Alice then
    // asks to speak herself, so the chair's pump has seen everything the server sent before.
    bob.Cs().AwardSpeek(aliceId, 2);
    alice.Cs().ApplySpeak(1);
    ASSERT_TRUE(Pump([&] { return Record(aliceId)->speakState == 1; }));
    EXPECT_EQ(list->Model().Members().GetSpeakerCount(), 1);

    // Temporary administration for Bob.
    Actions().SetTarget(bobId);
    Actions().OnCommand(ID_USER_TEMP_ADMIN);
    EXPECT_TRUE(Has(bob, CS_MSG_USER_ATTR_CHANGED));
    ASSERT_TRUE(Pump([&] { return Record(bobId)->kind == USER_KIND_TEMP_ADMIN; }));

    // The chair removes the guest, confirming the box.
    yav::testing::ModalAnswer confirm([](yav::Dialog& box) { box.EndDialog(IDOK); });
    Actions().SetTarget(guestId);
    Actions().OnCommand(ID_USER_KICK);
    EXPECT_TRUE(confirm.Answered());
    EXPECT_TRUE(Has(guest, CS_MSG_FORCE_EXIT));
    ASSERT_TRUE(Pump([&] { return Record(guestId) == nullptr; }));
    EXPECT_EQ(StageIds(*list), (std::vector<std::uint16_t>{bobId, aliceId}));
    EXPECT_EQ(log.Count("Chat.RemoveRecipient(" + std::to_string(guestId) + ")"), 1u);
    EXPECT_EQ(log.Count("Chat.SelectRecipient(" + std::to_string(guestId) + ")"), 0u);

    // A leave.
    alice.Cs().Logout();
    ASSERT_TRUE(Pump([&] { return Record(aliceId) == nullptr; }));
    EXPECT_EQ(members.FindDeptItem(13)->dept.count, 0);
    EXPECT_EQ(members.FindDeptItem(11)->dept.count, 1);
}
