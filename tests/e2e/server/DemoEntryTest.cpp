// The first run: yavserver started as it comes, two participants made of the real conference
// component. The demo is an open discussion in which each entrant speaks at once and its camera
// is broadcast as soon as it reports one, in the conference's own state that every participant
// (and the media relay) reads; the clients are not asked to do it themselves.
#include <gtest/gtest.h>

#include <memory>

#include "CsBot.h"
#include "ServerProcess.h"

namespace {

using yav::test::CsBot;
using yav::test::IsJoinOf;
using yav::test::ServerProcess;

constexpr uint32_t kDemoConference = 900001;

std::function<bool(const ST_CS_MSG&)> IsSpeaking(uint16_t userId) {
    return [userId](const ST_CS_MSG& message) {
        const auto* audio = std::get_if<CsUserAudioStatus>(&message.payload);
        return message.type == CS_MSG_USER_AUDIO_STATUS && audio != nullptr &&
               audio->userId == userId && audio->status == 2;
    };
}

std::function<bool(const ST_CS_MSG&)> IsBroadcastOf(uint16_t mediaId) {
    return [mediaId](const ST_CS_MSG& message) {
        const auto* state = std::get_if<CsBroadcastVideo>(&message.payload);
        return message.type == CS_MSG_BROADCAST_VIDEO && state != nullptr &&
               state->mediaId == mediaId && state->result == 0 && state->on == 1;
    };
}

// The record of userId as `bot`'s participant list holds it now.
ST_USER_ITEM_DEPT RecordSeenBy(CsBot& bot, uint16_t userId) {
    std::shared_ptr<ST_USER_ITEM_DEPT> record;
    if (!bot.Users().GetUser(record, userId, 1) || record == nullptr) {
        ADD_FAILURE() << "user " << userId << " is not on the list";
        return {};
    }
    return *record;
}

TEST(DemoConference, EachEntrantSpeaksAndItsCameraIsBroadcastForEveryone) {
    ServerProcess server;
    ASSERT_TRUE(server.Ready()) << server.Output();
    CsBot alice;
    CsBot bob;
    ASSERT_EQ(alice.Login(server.ConferencePort(), kDemoConference, "alice", "alice", 0), 0);
    const uint16_t aliceId = alice.UserId();
    // Open discussion, as the clients read the speaking mode; they are not told to ask for the
    // floor or a broadcast themselves (asking for the floor again would give it up).
    const ST_CONF_APPINFO* app = alice.Cs().GetAppInfo();
    ASSERT_NE(app, nullptr);
    EXPECT_EQ(app->conferenceMode, 0);
    EXPECT_EQ(app->flags25 & 0x0A, 0);

    ASSERT_TRUE(alice.WaitFor(IsSpeaking(aliceId))) << server.Output();
    // A camera on channel 0, as the client reports it once its media path works.
    alice.Cs().SetConfOptions(1, 0x01, 1, 0, 1, 0);
    ASSERT_TRUE(alice.WaitFor(IsBroadcastOf(aliceId))) << server.Output();

    ASSERT_EQ(bob.Login(server.ConferencePort(), kDemoConference, "bob", "bob", 0), 0);
    const uint16_t bobId = bob.UserId();
    // Bob's snapshot already shows Alice speaking and seen.
    EXPECT_EQ(RecordSeenBy(bob, aliceId).speakState, 2);
    EXPECT_EQ(RecordSeenBy(bob, aliceId).broadcastMask, 0x01);
    ASSERT_TRUE(bob.WaitFor(IsSpeaking(bobId)));
    bob.Cs().SetConfOptions(1, 0x01, 1, 0, 1, 0);
    ASSERT_TRUE(bob.WaitFor(IsBroadcastOf(bobId)));
    // Alice sees Bob come in, then speak, then his camera broadcast.
    ASSERT_TRUE(alice.WaitFor(IsJoinOf(bobId)));
    ASSERT_TRUE(alice.WaitFor(IsSpeaking(bobId)));
    ASSERT_TRUE(alice.WaitFor(IsBroadcastOf(bobId)));

    // Both lists agree: both speak, each one's camera is broadcast.
    for (CsBot* bot : {&alice, &bob}) {
        for (uint16_t id : {aliceId, bobId}) {
            const ST_USER_ITEM_DEPT record = RecordSeenBy(*bot, id);
            EXPECT_EQ(record.speakState, 2) << id;
            EXPECT_EQ(record.broadcastMask, 0x01) << id;
        }
        EXPECT_EQ(bot->Users().GetSpeakerCount(), 2);
    }
}

}  // namespace
