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
using test::Fir;
using test::Joined;
using test::Nack;
using test::PutBe32;
using test::ReceiverReport;
using test::Rtp;
using test::Sdes;
using test::SenderReport;
using Bytes = std::vector<uint8_t>;

constexpr uint32_t kConf = 900001;

class RecordingPeer final : public RelayPeer {
public:
    explicit RecordingPeer(std::string name, size_t capacity = 1000, std::string address = {})
        : name_(std::move(name)), capacity_(capacity), address_(std::move(address)) {}
    bool Send(const RelayPacket& packet) override {
        if (packets.size() >= capacity_) {
            return false;
        }
        packets.push_back(*packet);
        return true;
    }
    void End() override { ++ended; }
    std::string Name() const override { return name_; }
    std::string ClaimedAddress() const override { return address_; }

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
    // The control packets of one type received, in order.
    std::vector<relay::Control> Controls(relay::Type type) const {
        std::vector<relay::Control> out;
        for (const auto& p : packets) {
            if (auto c = relay::Decode(p.data(), p.size()); c && c->type == type) {
                out.push_back(*c);
            }
        }
        return out;
    }
    std::optional<relay::Control> Last(relay::Type type) const {
        auto all = Controls(type);
        return all.empty() ? std::nullopt : std::optional<relay::Control>(all.back());
    }
    // What the relay last said about who may receive this session's streams.
    std::optional<std::pair<bool, bool>> Audience() const {
        auto last = Last(relay::Type::Audience);
        return last ? std::optional(std::pair{last->audience.video, last->audience.audio})
                    : std::nullopt;
    }

    std::vector<Bytes> packets;
    int ended = 0;

private:
    std::string name_;
    size_t capacity_;
    std::string address_;
};

// Users 0x10, 0x18 and 0x20 are in the conference, each with its own ticket; open channels
// are listed per media id and kind. Receivers may get every open channel unless a test
// narrows that to the grants it lists (media id, kind, receiving user).
class ScriptedGate final : public MediaGate {
public:
    ScriptedGate() {
        for (uint16_t user : {0x10, 0x18, 0x20}) {
            tickets[user].fill(static_cast<uint8_t>(user));
        }
    }
    relay::HelloResult Admit(const MediaTicket& ticket, uint32_t confId,
                             uint16_t mediaId) override {
        ++admits;
        auto it = tickets.find(static_cast<uint16_t>(mediaId & ~7));
        if (confId != kConf || it == tickets.end()) {
            return relay::HelloResult::NotInConference;
        }
        if (it->second == ticket) {
            return relay::HelloResult::Ok;
        }
        for (const auto& [user, other] : tickets) {
            if (other == ticket) {
                return relay::HelloResult::IdNotOwned;
            }
        }
        return relay::HelloResult::BadTicket;
    }
    bool MaySend(uint32_t, uint16_t mediaId, Kind kind) override {
        return open.contains({mediaId, kind});
    }
    bool MayReceive(uint32_t, uint16_t mediaId, Kind kind, uint16_t receiverMediaId) override {
        return open.contains({mediaId, kind}) &&
               (everyone ||
                granted.contains({mediaId, kind, static_cast<uint16_t>(receiverMediaId & ~7)}));
    }
    std::map<uint16_t, MediaTicket> tickets;
    std::set<std::pair<uint16_t, Kind>> open = {
        {0x10, Kind::Video}, {0x10, Kind::Audio}, {0x18, Kind::Video}, {0x18, Kind::Audio}};
    bool everyone = true;
    std::set<std::tuple<uint16_t, Kind, uint16_t>> granted;
    int admits = 0;
};

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
               const MediaTicket& ticket, uint32_t confId = kConf,
               std::optional<std::array<uint8_t, relay::kCookieBytes>> cookie = std::nullopt) {
        relay::Control hello;
        hello.type = relay::Type::Hello;
        hello.hello.ticket = ticket;
        hello.hello.conferenceId = confId;
        hello.hello.mediaId = mediaId;
        if (cookie) {
            hello.hello.hasCookie = true;
            hello.hello.cookie = *cookie;
        }
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
    void Keepalive(const std::shared_ptr<RecordingPeer>& peer) {
        relay::Control c;
        c.type = relay::Type::Keepalive;
        Control(peer, c);
    }
    void Send(const std::shared_ptr<RecordingPeer>& peer, const Bytes& packet) {
        router_.OnPacket(peer, packet.data(), packet.size());
    }
    // The conference changed what someone may receive, and says so.
    void Grant(uint16_t mediaId, Kind kind, uint16_t receiverUser, bool on = true) {
        if (on) {
            gate_.granted.insert({mediaId, kind, receiverUser});
        } else {
            gate_.granted.erase({mediaId, kind, receiverUser});
        }
        router_.OnRightsChanged(kConf);
    }

    ScriptedGate gate_;
    MediaRelayRouter::Clock::time_point now_ =
        MediaRelayRouter::Clock::time_point{} + std::chrono::hours(1);
    MediaRelayRouter router_;
};

TEST_F(MediaRelayRouterTest, HelloIsAcceptedOnlyWithItsOwnTicketAndEveryRefusalLooksAlike) {
    // Whether the user is there, and whose ticket was tried, is nobody's business: the
    // refusals cannot be told apart.
    struct Case {
        const char* name;
        uint16_t mediaId;
        uint8_t ticketByte;
        uint32_t confId;
        bool accepted;
    };
    const Case cases[] = {
        {"own ticket", 0x11, 0x10, kConf, true},
        {"wrong ticket, user present", 0x10, 0x77, kConf, false},
        {"no ticket at all", 0x18, 0x00, kConf, false},
        {"another participant's ticket", 0x18, 0x10, kConf, false},
        {"another conference", 0x10, 0x10, kConf + 1, false},
        {"user not present", 0x28, 0x28, kConf, false},
        {"user not present, a participant's ticket", 0x28, 0x10, kConf, false},
    };
    std::optional<Bytes> refusal;
    for (const auto& c : cases) {
        auto peer = std::make_shared<RecordingPeer>(c.name);
        MediaTicket ticket;
        ticket.fill(c.ticketByte);
        Hello(peer, c.mediaId, ticket, c.confId);
        const auto answer = peer->Last(relay::Type::HelloAck);
        ASSERT_TRUE(answer) << c.name;
        EXPECT_EQ(answer->result,
                  c.accepted ? relay::HelloResult::Ok : relay::HelloResult::BadTicket)
            << c.name;
        EXPECT_EQ(answer->ackMediaId, c.mediaId) << c.name;
        EXPECT_EQ(router_.HasSession(*peer), c.accepted) << c.name;
        EXPECT_EQ(peer->ended, c.accepted ? 0 : 1) << c.name;
        if (!c.accepted) {
            // Byte for byte the same answer, and nothing else, for the same media id.
            relay::Control same = *answer;
            same.ackMediaId = 0x10;
            const Bytes bytes = relay::Encode(same);
            EXPECT_EQ(refusal.value_or(bytes), bytes) << c.name;
            refusal = bytes;
            EXPECT_EQ(peer->packets.size(), 1U) << c.name;
        }
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
    router_.OnRightsChanged(kConf);          // as the conference says when it does
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
    gate_.open.insert({0x20, Kind::Video});
    Subscribe(b, 0x10, Kind::Video);
    Subscribe(b, 0x10, Kind::Audio);
    Subscribe(b, 0x20, Kind::Video);
    const uint32_t aVideo = relay::SsrcFor(0x10, Kind::Video);
    const uint32_t aAudio = relay::SsrcFor(0x10, Kind::Audio);
    const uint32_t bVideo = relay::SsrcFor(0x18, Kind::Video);
    const uint32_t bAudio = relay::SsrcFor(0x18, Kind::Audio);
    const uint32_t cVideo = relay::SsrcFor(0x20, Kind::Video);
    const Bytes pli = relay::MakePli(bVideo, aVideo);
    Send(b, pli);
    ASSERT_EQ(a->Media().size(), 1U);
    EXPECT_EQ(a->Media()[0], Joined({ReceiverReport(bVideo, {}), pli}));
    EXPECT_TRUE(c->Media().empty());
    // One compound about A's audio and C's video: each owner gets its own report block, the
    // SDES, and the feedback about its own stream only.
    now_ += std::chrono::seconds(2);
    const Bytes pliOnC = relay::MakePli(bAudio, cVideo);
    Send(b, Joined({ReceiverReport(bAudio, {aAudio, cVideo}), Sdes(bAudio), pliOnC}));
    ASSERT_EQ(a->Media().size(), 2U);
    EXPECT_EQ(a->Media()[1], Joined({ReceiverReport(bAudio, {aAudio}), Sdes(bAudio)}));
    ASSERT_EQ(c->Media().size(), 1U);
    EXPECT_EQ(c->Media()[0], Joined({ReceiverReport(bAudio, {cVideo}), Sdes(bAudio), pliOnC}));
    // A sender report goes with the stream, to its receivers, without the report blocks of
    // what its sender receives.
    Subscribe(c, 0x10, Kind::Video);
    Subscribe(a, 0x18, Kind::Video);
    Bytes senderReport = SenderReport(aVideo);
    senderReport[0] = 0x81;  // one block, about B's video
    senderReport[3] = 12;
    senderReport.resize(52, 0);
    PutBe32(senderReport, 28, bVideo);
    Send(a, Joined({senderReport, Sdes(aVideo)}));
    ASSERT_EQ(b->Media().size(), 1U);
    ASSERT_EQ(c->Media().size(), 2U);
    EXPECT_EQ(c->Media()[1], Joined({SenderReport(aVideo), Sdes(aVideo)}));
    // B gets the sender report as A's receiver and the block about its own stream.
    Bytes toB(senderReport);
    EXPECT_EQ(b->Media()[0], Joined({toB, Sdes(aVideo)}));
    // Feedback in another session's name is dropped.
    const auto before = a->Media().size();
    Send(c, relay::MakePli(bVideo, aVideo));
    EXPECT_EQ(a->Media().size(), before);
}

TEST_F(MediaRelayRouterTest, FeedbackComesOnlyFromReceiversAndKeyFrameRequestsOncePerSecond) {
    auto a = Join(0x10);
    auto b = Join(0x18);
    auto c = Join(0x20);
    gate_.everyone = false;
    Subscribe(b, 0x10, Kind::Video);
    Grant(0x10, Kind::Video, 0x18);
    Subscribe(c, 0x10, Kind::Video);  // subscribed, never granted
    a->packets.clear();
    const uint32_t aVideo = relay::SsrcFor(0x10, Kind::Video);
    const uint32_t bVideo = relay::SsrcFor(0x18, Kind::Video);
    const uint32_t cVideo = relay::SsrcFor(0x20, Kind::Video);
    struct Case {
        const char* what;
        std::function<Bytes(uint32_t sender, int i)> make;
        size_t fromReceiver;  // of 1000 sent within one second by a granted receiver
    };
    const Case cases[] = {
        {"PLI", [&](uint32_t s, int) { return relay::MakePli(s, aVideo); }, 1},
        {"FIR", [&](uint32_t s, int i) { return Fir(s, aVideo, uint8_t(i)); }, 1},
        {"NACK", [&](uint32_t s, int i) { return Nack(s, aVideo, uint16_t(i)); },
         size_t(MediaRelayRouter::kFeedbackBurst)},
        {"report", [&](uint32_t s, int) { return ReceiverReport(s, {aVideo}); }, 1000},
    };
    for (const auto& k : cases) {
        now_ += std::chrono::seconds(5);
        a->packets.clear();
        // A participant that does not receive the stream reaches nobody, whatever it sends.
        for (int i = 0; i < 1000; ++i) {
            Send(c, k.make(cVideo, i));
        }
        EXPECT_TRUE(a->Media().empty()) << k.what;
        EXPECT_TRUE(b->Media().empty()) << k.what;
        for (int i = 0; i < 1000; ++i) {
            Send(b, k.make(bVideo, i));
        }
        EXPECT_EQ(a->Media().size(), k.fromReceiver) << k.what;
        EXPECT_TRUE(c->Media().empty()) << k.what;
    }
    // PLI and FIR share the stream's limit; a second later the next one goes.
    now_ += std::chrono::seconds(5);
    a->packets.clear();
    Send(b, relay::MakePli(bVideo, aVideo));
    Send(b, Fir(bVideo, aVideo));
    EXPECT_EQ(a->Media().size(), 1U);
    now_ += std::chrono::milliseconds(1001);
    Send(b, Fir(bVideo, aVideo));
    EXPECT_EQ(a->Media().size(), 2U);
    // NACKs refill over time, not more than the burst.
    now_ += std::chrono::milliseconds(200);
    a->packets.clear();
    for (int i = 0; i < 100; ++i) {
        Send(b, Nack(bVideo, aVideo, uint16_t(i)));
    }
    EXPECT_EQ(a->Media().size(), size_t(MediaRelayRouter::kFeedbackBurst));
    now_ += std::chrono::milliseconds(200);
    for (int i = 0; i < 100; ++i) {
        Send(b, Nack(bVideo, aVideo, uint16_t(i)));
    }
    EXPECT_EQ(a->Media().size(), size_t(MediaRelayRouter::kFeedbackBurst) +
                                     size_t(MediaRelayRouter::kFeedbackPerSecond / 5));
    // The grant is withdrawn: the former receiver's feedback stops too.
    Grant(0x10, Kind::Video, 0x18, false);
    now_ += std::chrono::seconds(5);
    a->packets.clear();
    Send(b, relay::MakePli(bVideo, aVideo));
    Send(b, ReceiverReport(bVideo, {aVideo}));
    EXPECT_TRUE(a->Media().empty());
    EXPECT_GT(router_.Counters().feedbackRefused, 3000U);
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
    EXPECT_EQ(c->Controls(relay::Type::Keepalive).size(), 1U);
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
    EXPECT_EQ(a->Last(relay::Type::HelloAck)->result, relay::HelloResult::Ok);
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

TEST_F(MediaRelayRouterTest, UdpHelloOpensASessionOnlyOnceItsAddressShowsItReceives) {
    // A datagram's source can be forged: the relay answers a hello with a cookie smaller than
    // the hello, asks the conference nothing, and binds nothing until the cookie comes back
    // from the address it was sent to.
    auto receiver = Join(0x18);
    Subscribe(receiver, 0x10, Kind::Video);
    const std::string address = "10.1.2.3:5000";
    auto forged = std::make_shared<RecordingPeer>("forged", 1000, address);
    const MediaTicket& ticket = gate_.tickets[0x10];
    const int admitsBefore = gate_.admits;
    for (int i = 0; i < 6; ++i) {
        Hello(forged, 0x10, ticket);
    }
    EXPECT_FALSE(router_.HasSession(*forged));
    EXPECT_EQ(gate_.admits, admitsBefore);
    ASSERT_EQ(forged->packets.size(), 6U);
    relay::Control hello;
    hello.type = relay::Type::Hello;
    hello.hello = {ticket, kConf, 0x10};
    const size_t helloSize = relay::Encode(hello).size();
    for (const Bytes& answer : forged->packets) {
        EXPECT_LT(answer.size(), helloSize);  // no amplification
        const auto control = relay::Decode(answer.data(), answer.size());
        ASSERT_TRUE(control);
        EXPECT_EQ(control->type, relay::Type::Cookie);
    }
    EXPECT_EQ(router_.Counters().cookiesSent, 6U);
    const auto cookie = forged->Last(relay::Type::Cookie)->cookie;

    struct Case {
        const char* what;
        std::string address;
        uint16_t mediaId;
        std::chrono::seconds later;
        bool opens;
    };
    const Case cases[] = {
        {"from another address", "10.1.2.3:5001", 0x10, std::chrono::seconds(0), false},
        {"for another media id", address, 0x11, std::chrono::seconds(0), false},
        {"too late", address, 0x10, std::chrono::seconds(45), false},
        {"from its address", address, 0x10, std::chrono::seconds(0), true},
    };
    for (const auto& c : cases) {
        now_ += c.later;
        auto peer = std::make_shared<RecordingPeer>(c.what, 1000, c.address);
        Hello(peer, c.mediaId, ticket, kConf, cookie);
        EXPECT_EQ(router_.HasSession(*peer), c.opens) << c.what;
        EXPECT_EQ(peer->Last(relay::Type::HelloAck).has_value(), c.opens) << c.what;
        EXPECT_EQ(peer->Last(relay::Type::Cookie).has_value(), !c.opens) << c.what;
        now_ -= c.later;
    }
    // A cookie given just before its slot ended still opens, once.
    auto late = std::make_shared<RecordingPeer>("late", 1000, "10.9.9.9:7");
    const auto given = router_.CookieFor("10.9.9.9:7", kConf, 0x18);
    now_ += MediaRelayRouter::kCookieSlot;
    Hello(late, 0x18, gate_.tickets[0x18], kConf, given);
    EXPECT_TRUE(router_.HasSession(*late));
}

TEST_F(MediaRelayRouterTest, MediaReachesOnlyWhomTheConferenceAllowsAndTheSenderIsToldWho) {
    auto a = Join(0x10);
    auto b = Join(0x18);
    auto c = Join(0x20);
    gate_.everyone = false;
    router_.OnRightsChanged(kConf);
    const uint32_t aVideo = relay::SsrcFor(0x10, Kind::Video);
    const uint32_t aAudio = relay::SsrcFor(0x10, Kind::Audio);
    using Audience = std::pair<bool, bool>;  // video, audio
    struct Step {
        const char* what;
        std::function<void()> act;
        Audience told;
        size_t videoAtB;  // of one packet of each kind sent after the step
        size_t audioAtB;
        size_t videoAtC;
    };
    const Step steps[] = {
        {"B and C subscribe, nothing granted",
         [&] {
             Subscribe(b, 0x10, Kind::Video);
             Subscribe(b, 0x10, Kind::Audio);
             Subscribe(c, 0x10, Kind::Video);
         },
         {false, false},
         0,
         0,
         0},
        {"B may see the camera", [&] { Grant(0x10, Kind::Video, 0x18); }, {true, false}, 1, 0, 0},
        {"B may hear A", [&] { Grant(0x10, Kind::Audio, 0x18); }, {true, true}, 1, 1, 0},
        {"C too may see", [&] { Grant(0x10, Kind::Video, 0x20); }, {true, true}, 1, 1, 1},
        {"B stops watching",
         [&] { Subscribe(b, 0x10, Kind::Video, false); },
         {true, true},
         0,
         1,
         1},
        {"C's grant ends", [&] { Grant(0x10, Kind::Video, 0x20, false); }, {false, true}, 0, 1, 0},
        {"B's session ends", [&] { router_.OnPeerGone(*b); }, {false, false}, 0, 0, 0},
    };
    for (const auto& step : steps) {
        a->packets.clear();
        const size_t bBefore = b->Media().size();
        const size_t cBefore = c->Media().size();
        step.act();
        if (const auto told = a->Audience()) {
            EXPECT_EQ(*told, step.told) << step.what;  // told at once when it changed
        }
        Keepalive(a);  // and again with each keepalive, so a lost word is made good
        EXPECT_EQ(a->Audience(), std::optional(step.told)) << step.what;
        Send(a, Rtp(aVideo));
        Send(a, Rtp(aAudio));
        size_t videoAtB = 0;
        size_t audioAtB = 0;
        const auto atB = b->Media();
        for (size_t i = bBefore; i < atB.size(); ++i) {
            (relay::SenderSsrc(atB[i].data(), atB[i].size()) == aVideo ? videoAtB : audioAtB)++;
        }
        EXPECT_EQ(videoAtB, step.videoAtB) << step.what;
        EXPECT_EQ(audioAtB, step.audioAtB) << step.what;
        EXPECT_EQ(c->Media().size() - cBefore, step.videoAtC) << step.what;
    }
    EXPECT_GT(router_.Counters().withheld, 0U);
}

TEST_F(MediaRelayRouterTest, TheSenderHearsOfItsAudienceOnlyWhenItChanges) {
    auto a = Join(0x10);
    auto b = Join(0x18);
    a->packets.clear();
    Subscribe(b, 0x10, Kind::Video);
    Subscribe(b, 0x10, Kind::Video);         // again: nothing new
    Subscribe(b, 0x10, Kind::Audio, false);  // never subscribed: nothing new
    router_.OnRightsChanged(kConf);          // nothing changed for A
    ASSERT_EQ(a->Controls(relay::Type::Audience).size(), 1U);
    EXPECT_EQ(a->Audience(), std::optional(std::pair{true, false}));
    // A new session of the same channel is told at once.
    auto again = std::make_shared<RecordingPeer>("again");
    Hello(again, 0x10, gate_.tickets[0x10]);
    EXPECT_EQ(again->Audience(), std::optional(std::pair{true, false}));
    EXPECT_EQ(a->ended, 1);
}

TEST_F(MediaRelayRouterTest, ALeavingUserTakesEverythingThatNamedItAlong) {
    // 100 guests with 8 channels each, all subscribed to each other, leave: nothing stays.
    std::vector<std::shared_ptr<RecordingPeer>> peers;
    for (uint16_t guest = 0; guest < 100; ++guest) {
        const uint16_t user = static_cast<uint16_t>(0x100 + 8 * guest);
        gate_.tickets[user].fill(static_cast<uint8_t>(guest + 1));
        gate_.tickets[user][1] = static_cast<uint8_t>(guest >> 8);
        for (uint16_t channel = 0; channel < 8; ++channel) {
            gate_.open.insert({static_cast<uint16_t>(user + channel), Kind::Video});
            peers.push_back(Join(static_cast<uint16_t>(user + channel), 4));
        }
    }
    for (size_t i = 0; i < peers.size(); i += 8) {
        for (uint16_t other = 0; other < 16; ++other) {
            const auto id = static_cast<uint16_t>(0x100 + 8 * ((i / 8 + 1 + other) % 100));
            Subscribe(peers[i], id, Kind::Video);
            Subscribe(peers[i], id, Kind::Audio);
            Subscribe(peers[i + 1], id, Kind::Video);
        }
    }
    for (size_t i = 0; i < peers.size(); i += 8) {
        Send(peers[i], relay::MakePli(
                           relay::SsrcFor(uint16_t(0x100 + i), Kind::Video),
                           relay::SsrcFor(uint16_t(0x100 + 8 * ((i / 8 + 1) % 100)), Kind::Video)));
        Send(peers[i],
             Nack(relay::SsrcFor(uint16_t(0x100 + i), Kind::Video),
                  relay::SsrcFor(uint16_t(0x100 + 8 * ((i / 8 + 1) % 100)), Kind::Video)));
    }
    const RelayFootprint busy = router_.Footprint();
    EXPECT_EQ(busy.sessions, 800U);
    EXPECT_EQ(busy.subscriptions, 100U * 48);
    EXPECT_GT(busy.keyFrameLimits, 0U);
    EXPECT_GT(busy.feedbackLimits, 0U);
    // All but the first guest leave: what it held about them goes too, its sessions stay.
    for (uint16_t guest = 1; guest < 100; ++guest) {
        router_.EndUser(kConf, static_cast<uint16_t>(0x100 + 8 * guest));
    }
    const RelayFootprint left = router_.Footprint();
    EXPECT_EQ(left.sessions, 8U);
    EXPECT_EQ(left.subscriptions, 0U);  // every one named a guest who left
    EXPECT_EQ(left.streams, 0U);
    EXPECT_EQ(left.audiences, 0U);
    EXPECT_EQ(left.keyFrameLimits, 1U);  // the last guest asked the first for a key frame
    EXPECT_EQ(left.feedbackLimits, 0U);
    router_.EndUser(kConf, 0x100);
    EXPECT_EQ(router_.Footprint().sessions, 0U);
    EXPECT_EQ(router_.Footprint().keyFrameLimits, 0U);
}

TEST_F(MediaRelayRouterTest, SubscriptionsArePerUserAcrossItsChannels) {
    auto main = Join(0x18);
    auto second = Join(0x19);
    for (uint16_t i = 0; i < MediaRelayRouter::kMaxSubscriptions / 2; ++i) {
        Subscribe(main, uint16_t(0x200 + 8 * i), Kind::Video);
        Subscribe(second, uint16_t(0x200 + 8 * i), Kind::Audio);
    }
    const auto rejected = router_.Counters().rejected;
    Subscribe(second, 0x10, Kind::Video);  // the user holds the limit already
    EXPECT_EQ(router_.Counters().rejected, rejected + 1);
    EXPECT_EQ(router_.Footprint().subscriptions, MediaRelayRouter::kMaxSubscriptions);
}

TEST_F(MediaRelayRouterTest, LinesCausedByAGuestReplacingItsSessionAreLimited) {
    fakes::LogCapture log;
    for (int i = 0; i < 2000; ++i) {
        Join(0x20);  // each hello from a new socket replaces the last session
    }
    EXPECT_LE(log.Lines().size(), 20U);
    now_ += std::chrono::seconds(11);
    Join(0x20);
    EXPECT_TRUE(log.Contains("lines like it held back before"));
    EXPECT_EQ(router_.SessionCount(), 1U);
}

}  // namespace
}  // namespace yav::server
