// Two conference managers with the real conference-server component, logged in to a real
// yavserver, see each other come and go through their message pumps.

#include <gtest/gtest.h>

#include "e2e/conference/ManagerParticipant.h"
#include "e2e/server/ServerProcess.h"

namespace {

using e2e_test::kDemoConference;
using e2e_test::Participant;

std::string Call(const char* name, std::uint16_t userId) {
    return std::string(name) + "(" + std::to_string(userId);
}

TEST(ConferenceManagerEndToEnd, TwoParticipantsSeeEachOtherJoinAndLeave) {
    fakes::EnsureApplication();
    yav::test::ServerProcess server;
    ASSERT_TRUE(server.Ready()) << server.Output();

    Participant alice;
    Participant bob;
    ASSERT_EQ(alice.Login(server.ConferencePort(), "alice"), 0);
    const std::uint16_t aliceId = alice.manager.GetMyUserId();
    EXPECT_EQ(alice.manager.GetConfId(), kDemoConference);
    ASSERT_TRUE(alice.manager.HasCurrentUser());
    EXPECT_EQ(alice.manager.GetMyUserItem()->userId, aliceId);
    // Alone in the room, Alice writes the room defaults; the server confirms the last one.
    ASSERT_TRUE(alice.PumpUntil("OnConfAttrChanged(272,1)")) << server.Output();

    ASSERT_EQ(bob.Login(server.ConferencePort(), "bob"), 0);
    const std::uint16_t bobId = bob.manager.GetMyUserId();
    ASSERT_NE(aliceId, bobId);
    // Bob's login snapshot already lists Alice.
    EXPECT_EQ(bob.manager.GetUserCount(), 2);
    EXPECT_FALSE(bob.manager.GetUserNameText(aliceId).isEmpty());

    // Alice's pump reports Bob's arrival, and her list holds him.
    ASSERT_TRUE(alice.PumpUntil(Call("OnUserJoin", bobId))) << server.Output();
    EXPECT_EQ(alice.manager.GetUserCount(), 2);
    // Alice, alone at first, set the room defaults from the server's limits; Bob finds them in
    // his login snapshot and, not alone, writes none himself.
    EXPECT_TRUE(bob.manager.GetRoomFlagA());
    EXPECT_TRUE(bob.manager.GetRoomFlagB());
    EXPECT_EQ(bob.log.Count("OnConfAttrChanged"), 0u);

    // A user-to-user block reaches Bob's pump with Alice as sender.
    const std::uint8_t chat[] = {0, 0, 0, 0, 'h', 0, 'i', 0};
    alice.manager.Transmit(bobId, 257, chat, sizeof chat);
    ASSERT_TRUE(bob.PumpUntil("OnTransmit(" + std::to_string(bobId) + "," +
                              std::to_string(aliceId) + ",257,8)"))
        << server.Output();
    EXPECT_EQ(bob.events.lastTransmit, std::vector<std::uint8_t>(chat, chat + sizeof chat));

    // Bob leaves: Alice's pump reports it and the component forgets him right after.
    bob.manager.Logout();
    EXPECT_EQ(bob.manager.ProcessCsMessage(), -1);
    ASSERT_TRUE(alice.PumpUntil(Call("OnUserLeave", bobId))) << server.Output();
    EXPECT_EQ(alice.manager.GetUserCount(), 1);
    EXPECT_TRUE(alice.manager.GetUserNameText(bobId).isEmpty());
}

TEST(ConferenceManagerEndToEnd, LostServerIsReportedByThePump) {
    fakes::EnsureApplication();
    yav::test::ServerProcess server;
    ASSERT_TRUE(server.Ready()) << server.Output();
    Participant alice;
    ASSERT_EQ(alice.Login(server.ConferencePort(), "alice"), 0);
    EXPECT_EQ(alice.manager.ProcessCsMessage(), 0);
    server.Stop();
    EXPECT_TRUE(fakes::WaitFor([&] { return alice.manager.ProcessCsMessage() < 0; },
                               std::chrono::seconds(30)));
}

}  // namespace
