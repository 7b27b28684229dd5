// The media relay's routing with recording peers, a scripted conference and a hand-driven
// clock: admission, subscriptions, SSRC ownership, feedback routing, full queues, session ends.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>

#include "MediaRelayRouter.h"
#include "RtpPackets.h"
#include "fakes/conference/LogCapture.h"

namespace yav::server {
namespace {

using relay::Kind;
using test::PutBe32;
using test::Rtp;
using Bytes = std::vector<uint8_t>;

constexpr uint32_t kConf = 900001;

class RecordingPeer final : public RelayPeer {
public:
    explicit RecordingPeer(std::string name, size_t capacity = 1000)
        : name_(std::move(name)), capacity_(capacity) {}
    bool Send(const RelayPacket& packet) override {
        if (packets.size() >= capacity_) {
            return false;
        }
        packets.push_back(*packet);
        return true;
    }
    void End() override { ++ended; }
    std::string Name() const override { return name_; }

    // Media packets received (control packets left out).
    std::vector<Bytes> Media() const {
        std::vector<Bytes> out;
        for (const auto& p : packets) {
            if (relay::Classify(p.data(), p.size()) != relay::PacketClass::Control) {
                out.push_back(p);
            }
        }
        return out;
    }
    std::optional<relay::Control> LastControl() const {
        for (auto it = packets.rbegin(); it != packets.rend(); ++it) {
            if (auto c = relay::Decode(it->data(), it->size())) {
                return c;
            }
        }
        return std::nullopt;
    }

    std::vector<Bytes> packets;
    int ended = 0;

private:
    std::string name_;
    size_t capacity_;
};

// Users 0x10, 0x18 and 0x20 are in the conference, each with its own ticket; open channels
// are listed per media id and kind.
class ScriptedGate final : public MediaGate {
public:
    ScriptedGate() {
        for (uint16_t user : {0x10, 0x18, 0x20}) {
            tickets[user].fill(static_cast<uint8_t>(user));
        }
    }
    relay::HelloResult Admit(const MediaTicket& ticket, uint32_t confId,
                             uint16_t mediaId) override {
        auto it = tickets.find(static_cast<uint16_t>(mediaId & ~7));
        if (confId != kConf || it == tickets.end()) {
            return relay::HelloResult::NotInConference;
        }
        return it->second == ticket ? relay::HelloResult::Ok : relay::HelloResult::BadTicket;
    }
    bool MaySend(uint32_t, uint16_t mediaId, Kind kind) override {
        return open.contains({mediaId, kind});
    }
    std::map<uint16_t, MediaTicket> tickets;
    std::set<std::pair<uint16_t, Kind>> open = {
        {0x10, Kind::Video}, {0x10, Kind::Audio}, {0x18, Kind::Video}, {0x18, Kind::Audio}};
};

// A receiver report from sender about one stream.
Bytes ReceiverReport(uint32_t sender, uint32_t about) {
    Bytes p(32, 0);
    p[0] = 0x81;
    p[1] = 201;
    p[3] = 7;
    PutBe32(p, 4, sender);
    PutBe32(p, 8, about);
    return p;
}

// A sender report without report blocks.
Bytes SenderReport(uint32_t sender) {
    Bytes p(28, 0);
    p[0] = 0x80;
    p[1] = 200;
    p[3] = 6;
    PutBe32(p, 4, sender);
    return p;
}

class MediaRelayRouterTest : public ::testing::Test {
protected:
    MediaRelayRouterTest() : router_(gate_, [this] { return now_; }) {}

    std::shared_ptr<RecordingPeer> Join(uint16_t mediaId, size_t capacity = 1000) {
        auto peer = std::make_shared<RecordingPeer>("peer " + std::to_string(mediaId), capacity);
        Hello(peer, mediaId, gate_.tickets[static_cast<uint16_t>(mediaId & ~7)]);
        EXPECT_TRUE(router_.HasSession(*peer)) << mediaId;
        peer->packets.clear();
        return peer;
    }
    void Hello(const std::shared_ptr<RecordingPeer>& peer, uint16_t mediaId,
               const MediaTicket& ticket, uint32_t confId = kConf) {
        relay::Control hello;
        hello.type = relay::Type::Hello;
        hello.hello = {ticket, confId, mediaId};
        Control(peer, hello);
    }
    void Control(const std::shared_ptr<RecordingPeer>& peer, const relay::Control& control) {
        const Bytes bytes = relay::Encode(control);
        router_.OnPacket(peer, bytes.data(), bytes.size());
    }
    void Subscribe(const std::shared_ptr<RecordingPeer>& peer, uint16_t mediaId, Kind kind,
                   bool on = true) {
        relay::Control c;
        c.type = relay::Type::Subscribe;
        c.subscribe = {mediaId, kind, on};
        Control(peer, c);
    }
    void Send(const std::shared_ptr<RecordingPeer>& peer, const Bytes& packet) {
        router_.OnPacket(peer, packet.data(), packet.size());
    }

    ScriptedGate gate_;
    MediaRelayRouter::Clock::time_point now_ =
        MediaRelayRouter::Clock::time_point{} + std::chrono::hours(1);
    MediaRelayRouter router_;
};

TEST_F(MediaRelayRouterTest, HelloIsAnsweredByWhatTheConferenceSays) {
    struct Case {
        const char* name;
        uint16_t mediaId;
        uint8_t ticketByte;
        uint32_t confId;
        relay::HelloResult expected;
    };
    const Case cases[] = {
        {"own ticket", 0x11, 0x10, kConf, relay::HelloResult::Ok},
        {"wrong ticket", 0x10, 0x77, kConf, relay::HelloResult::BadTicket},
        {"no ticket at all", 0x18, 0x00, kConf, relay::HelloResult::BadTicket},
        {"another conference", 0x10, 0x10, kConf + 1, relay::HelloResult::NotInConference},
        {"user not present", 0x28, 0x28, kConf, relay::HelloResult::NotInConference},
    };
    for (const auto& c : cases) {
        auto peer = std::make_shared<RecordingPeer>(c.name);
        MediaTicket ticket;
        ticket.fill(c.ticketByte);
        Hello(peer, c.mediaId, ticket, c.confId);
        const auto answer = peer->LastControl();
        ASSERT_TRUE(answer) << c.name;
        EXPECT_EQ(answer->type, relay::Type::HelloAck) << c.name;
        EXPECT_EQ(answer->result, c.expected) << c.name;
        EXPECT_EQ(answer->ackMediaId, c.mediaId) << c.name;
        EXPECT_EQ(router_.HasSession(*peer), c.expected == relay::HelloResult::Ok) << c.name;
    }
}

TEST_F(MediaRelayRouterTest, SenderWithoutTicketReachesNobody) {
    auto receiver = Join(0x18);
    Subscribe(receiver, 0x10, Kind::Video);
    auto stranger = std::make_shared<RecordingPeer>("stranger");
    MediaTicket guess{};
    Hello(stranger, 0x10, guess);
    const auto before = router_.Counters().rejected;
    Send(stranger, Rtp(relay::SsrcFor(0x10, Kind::Video)));
    Send(stranger, SenderReport(relay::SsrcFor(0x10, Kind::Video)));
    EXPECT_TRUE(receiver->Media().empty());
    EXPECT_EQ(router_.Counters().rejected, before + 2);
}

TEST_F(MediaRelayRouterTest, StreamGoesOnlyToSubscribersAndNeverBackToItsUser) {
    auto a = Join(0x10);
    auto aSecond = Join(0x11);  // another channel of the same user
    auto b = Join(0x18);
    auto c = Join(0x20);
    Subscribe(b, 0x10, Kind::Video);
    Subscribe(aSecond, 0x10, Kind::Video);
    Subscribe(c, 0x10, Kind::Audio);  // audio only
    Subscribe(a, 0x10, Kind::Video);  // its own stream
    Send(a, Rtp(relay::SsrcFor(0x10, Kind::Video), 1));
    ASSERT_EQ(b->Media().size(), 1U);
    EXPECT_EQ(b->Media()[0], Rtp(relay::SsrcFor(0x10, Kind::Video), 1));
    EXPECT_TRUE(c->Media().empty());
    EXPECT_TRUE(a->Media().empty());
    EXPECT_TRUE(aSecond->Media().empty());
    Send(a, Rtp(relay::SsrcFor(0x10, Kind::Audio), 2));
    EXPECT_EQ(c->Media().size(), 1U);
    EXPECT_EQ(b->Media().size(), 1U);

    Subscribe(b, 0x10, Kind::Video, false);
    Send(a, Rtp(relay::SsrcFor(0x10, Kind::Video), 3));
    EXPECT_EQ(b->Media().size(), 1U);
}

TEST_F(MediaRelayRouterTest, OnlyTheSessionsOwnSsrcsAndOpenChannelsAreForwarded) {
    auto a = Join(0x10);
    auto b = Join(0x18);
    auto c = Join(0x20);
    Subscribe(b, 0x10, Kind::Video);
    Subscribe(b, 0x20, Kind::Video);
    Subscribe(c, 0x18, Kind::Video);
    Subscribe(a, 0x18, Kind::Video);
    // A claims B's stream: nobody gets it, though A subscribes B's.
    Send(a, Rtp(relay::SsrcFor(0x18, Kind::Video)));
    Send(a, Rtp(0x12345678));  // not an SSRC of ours at all
    // C owns no open channel.
    Send(c, Rtp(relay::SsrcFor(0x20, Kind::Video)));
    EXPECT_TRUE(a->Media().empty());
    EXPECT_TRUE(b->Media().empty());
    EXPECT_TRUE(c->Media().empty());
    EXPECT_EQ(router_.Counters().forwarded, 0U);
    EXPECT_EQ(router_.Counters().rejected, 3U);
    gate_.open.insert({0x20, Kind::Video});  // C's channel opens (broadcast, camera)
    Send(c, Rtp(relay::SsrcFor(0x20, Kind::Video)));
    EXPECT_EQ(b->Media().size(), 1U);
}

TEST_F(MediaRelayRouterTest, MalformedPacketsAreDroppedWithARateLimitedLog) {
    auto a = Join(0x10);
    auto b = Join(0x18);
    Subscribe(b, 0x10, Kind::Video);
    Bytes longCsrcs = Rtp(relay::SsrcFor(0x10, Kind::Video), 1, 4);
    longCsrcs[0] = 0x8F;  // 15 CSRCs announced, 4 bytes of them present
    Bytes longExtension = Rtp(relay::SsrcFor(0x10, Kind::Video), 1, 8);
    longExtension[0] = 0x90;
    longExtension[14] = 0x40;  // extension of 0x4000 words
    Bytes badPadding = Rtp(relay::SsrcFor(0x10, Kind::Video), 1, 8);
    badPadding[0] = 0xA0;
    badPadding.back() = 200;  // more padding than packet
    Bytes rtcpLength = SenderReport(relay::SsrcFor(0x10, Kind::Video));
    rtcpLength[3] = 9;  // says 40 bytes, has 28
    Bytes rtcpBlocks = SenderReport(relay::SsrcFor(0x10, Kind::Video));
    rtcpBlocks[0] = 0x83;  // three report blocks, room for none
    Bytes rtcpType = SenderReport(relay::SsrcFor(0x10, Kind::Video));
    rtcpType[1] = 210;
    Bytes controlSize = relay::Encode(relay::Control{});
    controlSize.push_back(0);
    const Bytes cases[] = {longCsrcs,  longExtension,    badPadding,  rtcpLength,
                           rtcpBlocks, rtcpType,         controlSize, Bytes{0x80, 96},
                           Bytes{},    Bytes(1501, 0x80)};
    fakes::LogCapture log;
    for (int round = 0; round < 3; ++round) {
        for (const auto& packet : cases) {
            Send(a, packet);
        }
    }
    EXPECT_TRUE(b->Media().empty());
    EXPECT_EQ(router_.Counters().rejected, 30U);
    EXPECT_EQ(log.CountContaining("media relay:"), 10U);  // the rest held back
    now_ += std::chrono::seconds(11);
    Send(a, Bytes{1, 2, 3, 4});
    EXPECT_TRUE(log.Contains("(20 more dropped without a line before)"));
    EXPECT_TRUE(router_.HasSession(*a));  // bad packets cost the sender nothing else
}

TEST_F(MediaRelayRouterTest, FeedbackGoesToTheOwnerOfTheStreamItNames) {
    auto a = Join(0x10);
    auto b = Join(0x18);
    auto c = Join(0x20);
    Subscribe(b, 0x10, Kind::Video);
    const uint32_t aVideo = relay::SsrcFor(0x10, Kind::Video);
    const uint32_t bVideo = relay::SsrcFor(0x18, Kind::Video);
    const Bytes pli = relay::MakePli(bVideo, aVideo);
    Send(b, pli);
    ASSERT_EQ(a->Media().size(), 1U);
    EXPECT_EQ(a->Media()[0], pli);
    EXPECT_TRUE(c->Media().empty());
    // A receiver report on A's audio, in a compound with a PLI on C's video: both owners.
    Bytes compound =
        ReceiverReport(relay::SsrcFor(0x18, Kind::Audio), relay::SsrcFor(0x10, Kind::Audio));
    const Bytes pliOnC =
        relay::MakePli(relay::SsrcFor(0x18, Kind::Audio), relay::SsrcFor(0x20, Kind::Video));
    compound.insert(compound.end(), pliOnC.begin(), pliOnC.end());
    Send(b, compound);
    EXPECT_EQ(a->Media().size(), 2U);
    EXPECT_EQ(c->Media().size(), 1U);
    // A sender report goes with the stream, to its subscribers.
    Send(a, SenderReport(aVideo));
    EXPECT_EQ(b->Media().size(), 1U);
    EXPECT_EQ(c->Media().size(), 1U);
    // Feedback in another session's name is dropped.
    Send(c, relay::MakePli(bVideo, aVideo));
    EXPECT_EQ(a->Media().size(), 2U);
}

TEST_F(MediaRelayRouterTest, FullQueueDropsCountsAndAsksTheOwnerForAKeyFrame) {
    auto a = Join(0x10);
    auto b = Join(0x18, 2);
    auto c = Join(0x20);
    Subscribe(b, 0x10, Kind::Video);
    Subscribe(c, 0x10, Kind::Video);
    const uint32_t aVideo = relay::SsrcFor(0x10, Kind::Video);
    fakes::LogCapture log;
    for (uint16_t i = 0; i < 5; ++i) {
        Send(a, Rtp(aVideo, i));
    }
    EXPECT_EQ(log.CountContaining("does not keep up"), 1U);  // once for the whole episode
    EXPECT_EQ(b->Media().size(), 2U);
    EXPECT_EQ(c->Media().size(), 5U);  // one slow receiver costs the others nothing
    EXPECT_EQ(router_.Counters().queueDrops, 3U);
    EXPECT_EQ(router_.DropsOf(kConf, 0x18), 3U);
    EXPECT_EQ(router_.DropsOf(kConf, 0x20), 0U);
    // One key-frame request for the three losses.
    ASSERT_EQ(a->Media().size(), 1U);
    EXPECT_EQ(a->Media()[0], relay::MakePli(relay::SsrcFor(0x18, Kind::Video), aVideo));
    EXPECT_EQ(router_.Counters().plisMade, 1U);
    now_ += std::chrono::milliseconds(1100);
    Send(a, Rtp(aVideo, 6));
    EXPECT_EQ(a->Media().size(), 2U);
    // Lost audio needs no key frame.
    Subscribe(b, 0x10, Kind::Audio);
    now_ += std::chrono::seconds(2);
    Send(a, Rtp(relay::SsrcFor(0x10, Kind::Audio), 7));
    EXPECT_EQ(a->Media().size(), 2U);
    EXPECT_EQ(router_.Counters().queueDrops, 5U);
}

TEST_F(MediaRelayRouterTest, SessionsEndAtLeaveByeReplacementAndSilence) {
    auto a = Join(0x10);
    auto aSecond = Join(0x11);
    auto b = Join(0x18);
    auto c = Join(0x20);
    Subscribe(b, 0x10, Kind::Video);
    Subscribe(c, 0x18, Kind::Video);

    router_.EndUser(kConf, 0x10);  // the conference server: A left or was kicked
    EXPECT_EQ(a->ended, 1);
    EXPECT_EQ(aSecond->ended, 1);
    EXPECT_FALSE(router_.HasSession(*a));
    Send(a, Rtp(relay::SsrcFor(0x10, Kind::Video)));
    EXPECT_TRUE(b->Media().empty());
    Send(b, Rtp(relay::SsrcFor(0x18, Kind::Video)));  // the others go on
    EXPECT_EQ(c->Media().size(), 1U);

    // The same channel from a new socket replaces its old session.
    auto bAgain = Join(0x18);
    EXPECT_EQ(b->ended, 1);
    Send(bAgain, Rtp(relay::SsrcFor(0x18, Kind::Video)));
    EXPECT_EQ(c->Media().size(), 2U);

    relay::Control bye;
    bye.type = relay::Type::Bye;
    Control(bAgain, bye);
    EXPECT_FALSE(router_.HasSession(*bAgain));

    // Keepalives keep a session; silence ends it.
    relay::Control keepalive;
    keepalive.type = relay::Type::Keepalive;
    now_ += std::chrono::seconds(20);
    Control(c, keepalive);
    EXPECT_EQ(c->LastControl()->type, relay::Type::Keepalive);
    now_ += std::chrono::seconds(20);
    router_.Sweep();
    EXPECT_TRUE(router_.HasSession(*c));
    now_ += std::chrono::seconds(31);
    router_.Sweep();
    EXPECT_FALSE(router_.HasSession(*c));
    EXPECT_EQ(router_.SessionCount(), 0U);
}

TEST_F(MediaRelayRouterTest, RepeatedHelloIsAnsweredAndAnotherIdentityRefused) {
    auto a = Join(0x10);
    Hello(a, 0x10, gate_.tickets[0x10]);  // our answer was lost
    EXPECT_EQ(a->LastControl()->result, relay::HelloResult::Ok);
    a->packets.clear();
    Hello(a, 0x18, gate_.tickets[0x18]);  // the same socket as someone else
    EXPECT_TRUE(a->packets.empty());
    auto b = Join(0x18);
    EXPECT_EQ(b->ended, 0);
    Subscribe(b, 0x10, Kind::Video);
    Send(a, Rtp(relay::SsrcFor(0x10, Kind::Video)));
    EXPECT_EQ(b->Media().size(), 1U);
}

TEST_F(MediaRelayRouterTest, SubscriptionsPerSessionAreCapped) {
    auto a = Join(0x10);
    auto b = Join(0x18);
    for (uint16_t id = 0x100; id < 0x100 + MediaRelayRouter::kMaxSubscriptions; ++id) {
        Subscribe(b, id, Kind::Video);
    }
    const auto rejected = router_.Counters().rejected;
    Subscribe(b, 0x10, Kind::Video);  // one too many
    EXPECT_EQ(router_.Counters().rejected, rejected + 1);
    Send(a, Rtp(relay::SsrcFor(0x10, Kind::Video)));
    EXPECT_TRUE(b->Media().empty());
    Subscribe(b, 0x100, Kind::Video, false);
    Subscribe(b, 0x10, Kind::Video);
    Send(a, Rtp(relay::SsrcFor(0x10, Kind::Video)));
    EXPECT_EQ(b->Media().size(), 1U);
}

}  // namespace
}  // namespace yav::server
