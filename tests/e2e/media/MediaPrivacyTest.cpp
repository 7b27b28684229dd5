// What a participant sends and what reaches others follows the conference, counted on the wire
// in front of the relay: two clients made like the program (the media manager over the real
// component) and a member scripted at the wire with only its own ticket. Without the floor or
// a broadcast nothing of a participant leaves its machine or reaches anyone; given the floor,
// its sound goes to those who listen; a broadcast camera goes to its viewers; feedback from a
// member that does not receive a stream reaches nobody.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include "MediaBot.h"
#include "MediaE2ESupport.h"
#include "ScriptedMember.h"
#include "config/AppSettings.h"

namespace yav::test {
namespace {

using relay::Kind;
using std::chrono::seconds;

class MediaPrivacy : public ::testing::Test {
protected:
    static void SetUpTestSuite() { UseSyntheticDevices(); }
    void SetUp() override {
        ASSERT_TRUE(server_.Ready());
        g_AppSettings.bVideoCapMode = 1;
        g_AppSettings.UseTCP = 0;
    }
    // A capturing client without the floor, its media through a counting proxy.
    std::unique_ptr<MediaBot> Client(const std::string& name, LossyUdpProxy& proxy) {
        MediaBotOptions options;
        options.name = name;
        options.conferencePort = server_.ConferencePort();
        options.mediaPort = proxy.Port();
        options.onStage = false;
        return std::make_unique<MediaBot>(options);
    }
    // Waits until the relay has answered `rounds` of the member's keepalives sent from now on:
    // about `rounds` tenths of a second, after which the relay has read all the member sent
    // before.
    void LetTimePass(ScriptedMember& member, uint64_t rounds) {
        const uint64_t sent = member.KeepalivesSent();
        ASSERT_TRUE(
            WaitUntil([&] { return member.KeepalivesAnswered() >= sent + rounds; }, seconds(30)));
    }

    // The chair gives the floor and broadcasts here: nothing comes with entering.
    ServerProcess server_{{"--speaking-mode", "moderated"}};
};

TEST_F(MediaPrivacy, NothingLeavesWithoutTheFloorOrABroadcastAndFeedbackComesOnlyFromViewers) {
    LossyUdpProxy wireA(server_.MediaPort(), 0);
    LossyUdpProxy wireB(server_.MediaPort(), 0);
    auto a = Client("a", wireA);
    auto b = Client("b", wireB);
    ScriptedMember member(server_.ConferencePort(), server_.MediaPort(), "member");
    ASSERT_TRUE(a->LoggedIn() && b->LoggedIn() && member.LoggedIn()) << server_.Output();
    ASSERT_TRUE(Connected(*a));
    ASSERT_TRUE(Connected(*b));
    ASSERT_TRUE(WaitUntil([&] { return member.Accepted(); }, seconds(10)));
    const uint16_t idA = a->Id();
    const uint16_t idB = b->Id();
    for (const uint16_t id : {idA, idB}) {
        member.Subscribe(id, Kind::Video);
        member.Subscribe(id, Kind::Audio);
    }
    a->Watch(idB);
    b->Watch(idA);

    // Cameras and microphones run, everybody asks for everybody: nothing leaves a machine.
    LetTimePass(member, 40);
    for (const auto* wire : {&wireA, &wireB}) {
        EXPECT_EQ(wire->RtpSent(Kind::Video), 0U);
        EXPECT_EQ(wire->RtpSent(Kind::Audio), 0U);
    }
    for (const uint16_t id : {idA, idB}) {
        EXPECT_EQ(member.Received(id, Kind::Video), 0U);
        EXPECT_EQ(member.Received(id, Kind::Audio), 0U);
    }

    // The chair gives A the floor: A's sound goes to B and to the member, nothing else moves.
    CsBot chair;
    ASSERT_EQ(chair.Login(server_.ConferencePort(), 900001, "demo", "demo", 0), 0);
    chair.Cs().AwardSpeek(idA, 2);
    a->Media().SetAudioSend(1);  // as the room does when its user gets the floor
    EXPECT_TRUE(WaitUntil([&] { return member.Received(idA, Kind::Audio) >= 50; }, seconds(20)));
    EXPECT_TRUE(WaitUntil([&] { return b->PlaybackLevel() >= 10; }, seconds(20)))
        << b->PlaybackLevel();
    LetTimePass(member, 20);
    EXPECT_EQ(wireA.RtpSent(Kind::Video), 0U) << "A's camera is neither broadcast nor granted";
    EXPECT_EQ(member.Received(idA, Kind::Video), 0U);
    EXPECT_EQ(wireB.RtpSent(Kind::Audio), 0U) << "B has no floor";
    EXPECT_EQ(member.Received(idB, Kind::Audio), 0U);

    // The floor ends: A's sound stops at A.
    chair.Cs().AwardSpeek(idA, 0);
    LetTimePass(member, 10);
    const uint64_t soundAfterFloor = wireA.RtpSent(Kind::Audio);
    LetTimePass(member, 20);
    EXPECT_EQ(wireA.RtpSent(Kind::Audio), soundAfterFloor);

    // The member stops asking for A's camera, then the chair broadcasts it: B sees it.
    member.Subscribe(idA, Kind::Video, false);
    chair.Cs().BroadcastVideo(idA, 1);
    ASSERT_TRUE(WaitUntil([&] { return b->FramesFrom(idA) >= 10; }, seconds(30)));
    LetTimePass(member, 5);
    EXPECT_EQ(member.Received(idA, Kind::Video), 0U) << "it stopped asking";
    // A thousand key-frame requests from the member reach nobody. They go a hundred at a time,
    // each hundred read by the relay before the next: a thousand at once overflow the relay's
    // socket, so that the kernel, not the relay, drops most of them, and with them the
    // subscription the member sends next.
    const uint32_t aVideo = relay::SsrcFor(idA, Kind::Video);
    const uint32_t memberVideo = relay::SsrcFor(member.Id(), Kind::Video);
    for (int round = 0; round < 10; ++round) {
        for (int i = 0; i < 100; ++i) {
            member.Send(relay::MakePli(memberVideo, aVideo));
        }
        LetTimePass(member, 1);
    }
    // B, a viewer, asked for its first key frame and reports what it gets: feedback does
    // reach A on this path.
    EXPECT_TRUE(WaitUntil([&] { return wireA.FeedbackFrom(idB) > 0; }, seconds(20)));
    EXPECT_TRUE(WaitUntil([&] { return wireA.ReportBlocksFrom(idB) > 0; }, seconds(20)));
    EXPECT_EQ(wireA.FeedbackFrom(member.Id()), 0U);
    // Asking again makes it a viewer: its requests pass, at most one a second. A thousand go
    // out over more than a second, so that B's own requests cannot have taken every turn.
    member.Subscribe(idA, Kind::Video);
    ASSERT_TRUE(WaitUntil([&] { return member.Received(idA, Kind::Video) > 0; }, seconds(10)));
    const auto burstStart = std::chrono::steady_clock::now();
    for (int round = 0; round < 10; ++round) {
        for (int i = 0; i < 100; ++i) {
            member.Send(relay::MakePli(memberVideo, aVideo));
        }
        LetTimePass(member, 2);
    }
    const double burstSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - burstStart).count();
    LetTimePass(member, 10);
    EXPECT_GE(wireA.FeedbackFrom(member.Id()), 1U);
    EXPECT_LE(wireA.FeedbackFrom(member.Id()), static_cast<uint64_t>(burstSeconds) + 1)
        << "over " << burstSeconds << " s";
}

}  // namespace
}  // namespace yav::test
