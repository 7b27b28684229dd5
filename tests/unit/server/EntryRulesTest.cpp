// What a conference gives a newcomer without anybody asking: in an open discussion that speaks
// and is seen on entry, the floor at once and the first camera broadcast, each within the
// speaker limit and once per stay; a moderated room (configured so, or switched by its chair)
// leaves both to the chair.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <vector>

#include "ServerFixture.h"

namespace {

using namespace yav::proto;
using yav::test::RawBot;
using yav::test::ServerFixture;

class EntryRules : public ServerFixture {
protected:
    void SetUp() override { StartServer(Config(0)); }

    // The test conference as an open discussion (mode 0) or a moderated one (1) that gives the
    // floor and a camera on entry, at most two of each.
    static yav::server::ServerConfig Config(uint8_t speakingMode) {
        auto config = yav::test::TestConfig();
        auto& demo = config.conferences[0];
        demo.speakerLimit = 2;
        demo.maxUsers = 0;
        demo.speakingMode = speakingMode;
        demo.speakOnEntry = true;
        demo.broadcastOnEntry = true;
        return config;
    }

    // What `bot` receives until a marker that `sender` sends everybody now: whatever the
    // server did for the requests sent before the marker is in it, and what is not in it did
    // not happen.
    static std::vector<Frame> Through(RawBot& bot, RawBot& sender) {
        static uint8_t marker = 0;
        ++marker;
        MsgTransmit transmit;
        transmit.subCommand = 274;
        transmit.payload = {marker, 0};
        EXPECT_TRUE(sender.Send(transmit));
        std::vector<Frame> frames;
        while (auto frame = bot.Receive()) {
            if (frame->type == MsgType::Relay) {
                auto relay = DecodeBody<MsgRelay>(frame->body);
                if (relay && relay->payload == transmit.payload) {
                    return frames;
                }
            }
            frames.push_back(std::move(*frame));
        }
        ADD_FAILURE() << "the marker never came";
        return frames;
    }

    template <class Message>
    static std::vector<Message> All(const std::vector<Frame>& frames) {
        std::vector<Message> found;
        for (const Frame& frame : frames) {
            if (frame.type == Message::kType) {
                if (auto message = DecodeBody<Message>(frame.body)) {
                    found.push_back(*message);
                }
            }
        }
        return found;
    }

    // The users given the floor, and the channels broadcast, in what `bot` saw.
    static std::vector<uint16_t> Speakers(const std::vector<Frame>& frames) {
        std::vector<uint16_t> ids;
        for (const auto& audio : All<MsgAudioStatus>(frames)) {
            if (audio.status == 2) {
                ids.push_back(audio.userId);
            }
        }
        return ids;
    }
    static std::vector<uint16_t> Broadcasts(const std::vector<Frame>& frames) {
        std::vector<uint16_t> ids;
        for (const auto& state : All<MsgBroadcastState>(frames)) {
            if (state.result == 0 && state.on == 1) {
                ids.push_back(state.mediaId);
            }
        }
        return ids;
    }

    static MsgSetConfOptions Cameras(uint8_t mask) {
        MsgSetConfOptions options;
        options.values = {1, mask, static_cast<uint8_t>(std::popcount(mask)), 0, 1, 0};
        return options;
    }

    static const ST_USER_ITEM_DEPT* Record(const RawBot& bot, uint16_t userId) {
        const auto& users = bot.Participants();
        const auto it = std::find_if(users.begin(), users.end(),
                                     [userId](const auto& user) { return user.userId == userId; });
        return it == users.end() ? nullptr : &*it;
    }
};

TEST_F(EntryRules, NewcomersGetTheFloorAndACameraBroadcastUntilTheLimit) {
    auto a = LoggedIn("a");
    auto b = LoggedIn("b");
    auto c = LoggedIn("c");
    const uint16_t aId = a->UserId();
    const uint16_t bId = b->UserId();
    const uint16_t cId = c->UserId();
    // Each of the first two is told it speaks, after its login answer; the third enters silent.
    EXPECT_EQ(Speakers(Through(*a, *c)), (std::vector<uint16_t>{aId, bId}));
    EXPECT_EQ(Speakers(Through(*b, *c)), (std::vector<uint16_t>{bId}));
    EXPECT_TRUE(Speakers(Through(*c, *a)).empty());
    // The snapshot of the third shows who speaks.
    ASSERT_NE(Record(*c, bId), nullptr);
    EXPECT_EQ(Record(*c, aId)->speakState, 2);
    EXPECT_EQ(Record(*c, bId)->speakState, 2);
    EXPECT_EQ(Record(*c, cId)->speakState, 0);

    // The first camera of each is broadcast: a's channel 1 of channels 1 and 2, b's channel 0;
    // c's camera finds the limit reached.
    // (Each marker goes on the connection of the options before it, so the order holds.)
    ASSERT_TRUE(a->Send(Cameras(0x06)));
    const auto seen = Through(*c, *a);
    EXPECT_EQ(Broadcasts(seen), (std::vector<uint16_t>{static_cast<uint16_t>(aId + 1)}));
    // The options' own change went out before the broadcast, as a client asking would do it.
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.front().type, MsgType::UsersChanged);
    ASSERT_TRUE(b->Send(Cameras(0x01)));
    EXPECT_EQ(Broadcasts(Through(*c, *b)), (std::vector<uint16_t>{bId}));
    ASSERT_TRUE(c->Send(Cameras(0x01)));
    // a saw the two broadcasts, and none for c.
    EXPECT_EQ(Broadcasts(Through(*a, *c)),
              (std::vector<uint16_t>{static_cast<uint16_t>(aId + 1), bId}));
    // A newcomer's snapshot carries the broadcast masks.
    auto d = LoggedIn("d");
    EXPECT_EQ(Record(*d, aId)->broadcastMask, 0x02);
    EXPECT_EQ(Record(*d, bId)->broadcastMask, 0x01);
    EXPECT_EQ(Record(*d, cId)->broadcastMask, 0x00);
}

TEST_F(EntryRules, TheEntryBroadcastTakesACameraOnceAndLeavesTheOwnersStopStanding) {
    auto owner = LoggedIn("owner");
    auto viewer = LoggedIn("viewer");
    const uint16_t ownerId = owner->UserId();
    Through(*viewer, *owner);
    // No camera channel yet: nothing to broadcast (channel 7 carries shared media only).
    ASSERT_TRUE(owner->Send(Cameras(0x00)));
    ASSERT_TRUE(owner->Send(Cameras(0x80)));
    EXPECT_TRUE(Broadcasts(Through(*viewer, *owner)).empty());
    // A camera turned on later is still the entry's.
    ASSERT_TRUE(owner->Send(Cameras(0x01)));
    EXPECT_EQ(Broadcasts(Through(*viewer, *owner)), (std::vector<uint16_t>{ownerId}));
    // The owner stops it; the options it reports again do not undo that.
    ASSERT_TRUE(owner->Send(MsgBroadcastVideo{ownerId, 0}));
    ASSERT_TRUE(owner->Send(Cameras(0x00)));
    ASSERT_TRUE(owner->Send(Cameras(0x01)));
    const auto after = Through(*viewer, *owner);
    EXPECT_TRUE(Broadcasts(after).empty());
    const auto states = All<MsgBroadcastState>(after);
    ASSERT_EQ(states.size(), 1u);
    EXPECT_EQ(states[0].on, 0);
}

TEST_F(EntryRules, AModeratedRoomLeavesTheFloorAndTheBroadcastsToTheChair) {
    struct Case {
        const char* name;
        uint8_t configuredMode;
        bool chairSwitchesToModerated;
    };
    const Case cases[] = {
        {"configured moderated", 1, false},
        {"switched to moderated by the chair in the room", 0, true},
    };
    for (const Case& testCase : cases) {
        StartServer(Config(testCase.configuredMode));
        auto chair = LoggedIn("demo", "demo");
        if (testCase.chairSwitchesToModerated) {
            ASSERT_TRUE(chair->Send(MsgSetConfSettingByte{1}));
            ASSERT_TRUE(chair->ReceiveMessage<MsgNotice>()) << testCase.name;
        }
        auto newcomer = LoggedIn("newcomer");
        EXPECT_EQ(newcomer->ConferenceMode(), 1) << testCase.name;
        ASSERT_TRUE(newcomer->Send(Cameras(0x01)));
        const auto seen = Through(*chair, *newcomer);
        const uint16_t id = newcomer->UserId();
        const auto speakers = Speakers(seen);
        EXPECT_EQ(std::count(speakers.begin(), speakers.end(), id), 0) << testCase.name;
        EXPECT_TRUE(Broadcasts(seen).empty()) << testCase.name;
        EXPECT_EQ(Record(*newcomer, id)->speakState, 0) << testCase.name;
    }
}

}  // namespace
