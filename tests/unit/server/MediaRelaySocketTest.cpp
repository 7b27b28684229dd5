// The media relay of a running yavserver, reached over real loopback UDP and TCP by
// participants logged in with protocol bots.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <functional>
#include <optional>

#include "MediaRelayWire.h"
#include "RtpPackets.h"
#include "ServerFixture.h"
#include "fakes/conference/LogCapture.h"
#include "support/WaitUntil.h"

namespace yav::test {
namespace {

using relay::Kind;
using Bytes = std::vector<uint8_t>;
using Ticket = std::array<uint8_t, relay::kTicketBytes>;

constexpr uint32_t kDemo = 900001;

// One channel's socket to the relay: UDP datagrams, or TCP with RFC 4571 frames.
class RelayClient {
public:
    RelayClient(uint16_t port, bool tcp) : tcp_(tcp) {
        fd_ = ::socket(AF_INET, tcp ? SOCK_STREAM : SOCK_DGRAM, 0);
        if (tcp) {
            // A small window, so that a receiver that does not read backs up into the relay.
            const int small = 4096;
            ::setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
        }
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        connected_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    ~RelayClient() { ::close(fd_); }
    RelayClient(const RelayClient&) = delete;
    RelayClient& operator=(const RelayClient&) = delete;

    bool Connected() const { return connected_; }
    void SendRaw(const Bytes& bytes) {
        (void)::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    }
    void Send(const Bytes& packet) {
        SendRaw(tcp_ ? relay::Frame4571(packet.data(), packet.size()) : packet);
    }
    void SendControl(const relay::Control& control) { Send(relay::Encode(control)); }
    void Hello(const Ticket& ticket, uint16_t mediaId) {
        hello_ = relay::Control{};
        hello_.type = relay::Type::Hello;
        hello_.hello.ticket = ticket;
        hello_.hello.conferenceId = kDemo;
        hello_.hello.mediaId = mediaId;
        SendControl(hello_);
    }
    void Subscribe(uint16_t mediaId, Kind kind) {
        relay::Control c;
        c.type = relay::Type::Subscribe;
        c.subscribe = {mediaId, kind, true};
        SendControl(c);
    }
    // The next packet within the limit.
    std::optional<Bytes> Receive(std::chrono::milliseconds limit = std::chrono::seconds(3)) {
        const auto end = std::chrono::steady_clock::now() + limit;
        for (;;) {
            if (tcp_) {
                if (auto packet = deframer_.Next()) {
                    return packet;
                }
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                end - std::chrono::steady_clock::now());
            pollfd p{fd_, POLLIN, 0};
            if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0) {
                return std::nullopt;
            }
            uint8_t buffer[4096];
            const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
            if (n <= 0) {
                closed_ = n == 0;
                return std::nullopt;
            }
            if (!tcp_) {
                return Bytes(buffer, buffer + n);
            }
            deframer_.Push(buffer, static_cast<size_t>(n));
        }
    }
    // The answer to a hello; a cookie is sent back with the hello, as the client does.
    std::optional<relay::HelloResult> HelloAnswer() {
        while (auto packet = Receive()) {
            auto control = relay::Decode(packet->data(), packet->size());
            if (control && control->type == relay::Type::Cookie) {
                ++cookies;
                hello_.hello.hasCookie = true;
                hello_.hello.cookie = control->cookie;
                SendControl(hello_);
            } else if (control && control->type == relay::Type::HelloAck) {
                return control->result;
            }
        }
        return std::nullopt;
    }
    // The next RTP or RTCP packet within the limit (control packets are passed over).
    std::optional<Bytes> ReceiveMedia(std::chrono::milliseconds limit = std::chrono::seconds(3)) {
        const auto end = std::chrono::steady_clock::now() + limit;
        for (;;) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                end - std::chrono::steady_clock::now());
            auto packet = Receive(std::max(left, std::chrono::milliseconds(0)));
            if (!packet ||
                relay::Classify(packet->data(), packet->size()) != relay::PacketClass::Control) {
                return packet;
            }
        }
    }
    // The next control packet of that type within the limit (others are passed over).
    std::optional<relay::Control> ReceiveControl(
        relay::Type type, std::chrono::milliseconds limit = std::chrono::seconds(3)) {
        const auto end = std::chrono::steady_clock::now() + limit;
        for (;;) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                end - std::chrono::steady_clock::now());
            auto packet = Receive(std::max(left, std::chrono::milliseconds(0)));
            if (!packet) {
                return std::nullopt;
            }
            if (auto c = relay::Decode(packet->data(), packet->size()); c && c->type == type) {
                return c;
            }
        }
    }
    int cookies = 0;
    // True once the relay closed the TCP connection.
    bool WaitClosed() {
        while (!closed_ && Receive()) {
        }
        return closed_;
    }

private:
    int fd_ = -1;
    bool tcp_ = false;
    bool connected_ = false;
    bool closed_ = false;
    relay::Deframer4571 deframer_;
    relay::Control hello_;
};

class MediaRelaySockets : public ServerFixture {
protected:
    void SetUp() override {
        auto config = TestConfig();
        config.relayQueuePackets = 16;
        StartServer(config);
    }
    // A guest with its camera channel 0 declared and broadcast, so everyone may see it.
    std::unique_ptr<RawBot> WithCamera(const std::string& name) {
        auto bot = LoggedIn(name);
        proto::MsgSetConfOptions options;
        options.values = {1, 0x01, 1, 0, 1, 0};
        EXPECT_TRUE(bot->Send(options));
        EXPECT_TRUE(bot->ReceiveMessage<proto::MsgUsersChanged>());
        proto::MsgBroadcastVideo broadcast;
        broadcast.id = bot->UserId();
        broadcast.value = 1;
        EXPECT_TRUE(bot->Send(broadcast));
        EXPECT_TRUE(bot->ReceiveMessage<proto::MsgBroadcastState>());
        return bot;
    }
    size_t Sessions() {
        size_t count = 0;
        server_->WithRelay(
            [&](server::MediaRelayRouter& router) { count = router.SessionCount(); });
        return count;
    }
    bool WaitSessions(size_t count) {
        for (int i = 0; i < 300; ++i) {
            if (Sessions() == count) {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }
};

TEST_F(MediaRelaySockets, MediaFlowsBetweenParticipantsOverUdpAndTcpUntilTheyLeave) {
    auto chair = LoggedIn("demo", "demo");
    auto a = WithCamera("a");
    auto b = WithCamera("b");
    const uint16_t idA = a->UserId();
    const uint16_t idB = b->UserId();
    RelayClient udpA(server_->MediaPort(), false);
    RelayClient tcpB(server_->MediaPort(), true);
    ASSERT_TRUE(udpA.Connected() && tcpB.Connected());

    Ticket wrong = a->MediaTicket();
    wrong[0] ^= 1;
    udpA.Hello(wrong, idA);
    EXPECT_EQ(udpA.HelloAnswer(), relay::HelloResult::BadTicket);
    udpA.Hello(b->MediaTicket(), idA);
    EXPECT_EQ(udpA.HelloAnswer(), relay::HelloResult::BadTicket);  // every refusal alike
    udpA.Hello(a->MediaTicket(), idA);
    EXPECT_EQ(udpA.HelloAnswer(), relay::HelloResult::Ok);
    tcpB.Hello(b->MediaTicket(), idB);
    EXPECT_EQ(tcpB.HelloAnswer(), relay::HelloResult::Ok);
    udpA.Subscribe(idB, Kind::Video);
    tcpB.Subscribe(idA, Kind::Video);
    ASSERT_TRUE(WaitSessions(2));

    // Subscriptions travel before media on each socket, but A's and B's sockets race: the
    // packets are sent until one arrives.
    const Bytes fromA = Rtp(relay::SsrcFor(idA, Kind::Video), 1);
    std::optional<Bytes> atB;
    for (int i = 0; i < 20 && !atB; ++i) {
        udpA.Send(fromA);
        atB = tcpB.ReceiveMedia(std::chrono::milliseconds(100));
    }
    ASSERT_TRUE(atB);
    EXPECT_EQ(*atB, fromA);
    const Bytes fromB = Rtp(relay::SsrcFor(idB, Kind::Video), 2);
    tcpB.Send(fromB);
    std::optional<Bytes> atA = udpA.ReceiveMedia();
    ASSERT_TRUE(atA);
    EXPECT_EQ(*atA, fromB);  // A gets B's stream, never its own copies back
    relay::Control keepalive;
    keepalive.type = relay::Type::Keepalive;
    udpA.SendControl(keepalive);
    EXPECT_TRUE(udpA.ReceiveControl(relay::Type::Keepalive));
    // B watches A: A may send its camera.
    const auto audience = udpA.ReceiveControl(relay::Type::Audience);
    ASSERT_TRUE(audience);
    EXPECT_TRUE(audience->audience.video);
    EXPECT_FALSE(audience->audience.audio);  // nobody subscribed to it, and A has no floor
    EXPECT_EQ(udpA.cookies, 3);              // one for each of its three hellos
    EXPECT_EQ(tcpB.cookies, 0);              // a TCP connection has shown where it is

    // A logs out: its session ends, its media goes nowhere.
    ASSERT_TRUE(a->Send(proto::MsgLogout{}));
    ASSERT_TRUE(WaitSessions(1));
    while (tcpB.Receive(std::chrono::milliseconds(100))) {
    }
    udpA.Send(fromA);
    EXPECT_FALSE(tcpB.ReceiveMedia(std::chrono::milliseconds(300)));

    // B is kicked: its session ends and its TCP connection closes.
    proto::MsgKickUser kick;
    kick.userId = idB;
    ASSERT_TRUE(chair->Send(kick));
    EXPECT_TRUE(tcpB.WaitClosed());
    EXPECT_TRUE(WaitSessions(0));
}

TEST_F(MediaRelaySockets, ByeEndsAUdpSessionAndItsAddressMaySayHelloAgain) {
    auto a = WithCamera("a");
    auto b = WithCamera("b");
    RelayClient udpA(server_->MediaPort(), false);
    RelayClient udpB(server_->MediaPort(), false);
    udpA.Hello(a->MediaTicket(), a->UserId());
    ASSERT_EQ(udpA.HelloAnswer(), relay::HelloResult::Ok);
    udpB.Hello(b->MediaTicket(), b->UserId());
    ASSERT_EQ(udpB.HelloAnswer(), relay::HelloResult::Ok);
    udpB.Subscribe(a->UserId(), Kind::Video);
    ASSERT_TRUE(WaitSessions(2));
    relay::Control bye;
    bye.type = relay::Type::Bye;
    udpA.SendControl(bye);
    ASSERT_TRUE(WaitSessions(1));
    const Bytes fromA = Rtp(relay::SsrcFor(a->UserId(), Kind::Video), 1);
    udpA.Send(fromA);
    EXPECT_FALSE(udpB.ReceiveMedia(std::chrono::milliseconds(300)));
    udpA.Hello(a->MediaTicket(), a->UserId());
    ASSERT_EQ(udpA.HelloAnswer(), relay::HelloResult::Ok);
    udpA.Send(fromA);
    const auto atB = udpB.ReceiveMedia();
    ASSERT_TRUE(atB);
    EXPECT_EQ(*atB, fromA);
}

TEST_F(MediaRelaySockets, TcpFrameOfLengthZeroOrOverTheLimitEndsTheConnection) {
    auto a = WithCamera("a");
    auto b = WithCamera("b");
    struct Case {
        const char* name;
        Bytes header;
    };
    const Case cases[] = {{"length 0", {0x00, 0x00}}, {"length 1501", {0x05, 0xDD}}};
    for (const auto& c : cases) {
        RelayClient receiver(server_->MediaPort(), true);
        receiver.Hello(b->MediaTicket(), b->UserId());
        ASSERT_EQ(receiver.HelloAnswer(), relay::HelloResult::Ok) << c.name;
        // A frame of exactly the limit is fine (and dropped as no packet of ours).
        receiver.Send(Bytes(relay::kMaxPacket, 0));
        receiver.SendRaw(c.header);
        EXPECT_TRUE(receiver.WaitClosed()) << c.name;
        EXPECT_TRUE(WaitSessions(0)) << c.name;
    }
    // A connection whose hello is refused is closed after the answer.
    RelayClient refused(server_->MediaPort(), true);
    Ticket none{};
    refused.Hello(none, a->UserId());
    EXPECT_EQ(refused.HelloAnswer(), relay::HelloResult::BadTicket);
    EXPECT_TRUE(refused.WaitClosed());
}

TEST_F(MediaRelaySockets, ReceiverThatDoesNotReadLosesPacketsAndTheSenderIsAskedForAKeyFrame) {
    auto a = WithCamera("a");
    auto b = WithCamera("b");
    const uint16_t idA = a->UserId();
    RelayClient udpA(server_->MediaPort(), false);
    RelayClient stuck(server_->MediaPort(), true);
    udpA.Hello(a->MediaTicket(), idA);
    ASSERT_EQ(udpA.HelloAnswer(), relay::HelloResult::Ok);
    stuck.Hello(b->MediaTicket(), b->UserId());
    ASSERT_EQ(stuck.HelloAnswer(), relay::HelloResult::Ok);
    stuck.Subscribe(idA, Kind::Video);
    ASSERT_TRUE(WaitSessions(2));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const Bytes expectedPli =
        relay::MakePli(relay::SsrcFor(b->UserId(), Kind::Video), relay::SsrcFor(idA, Kind::Video));
    uint64_t drops = 0;
    bool pli = false;
    for (uint16_t sequence = 0; sequence < 20000 && !pli; ++sequence) {
        udpA.Send(Rtp(relay::SsrcFor(idA, Kind::Video), sequence, 1200));
        if (sequence % 100 == 99) {
            while (auto packet = udpA.Receive(std::chrono::milliseconds(1))) {
                pli = pli || *packet == expectedPli;
            }
        }
    }
    // The relay may still be working through what was sent.
    while (!pli) {
        auto packet = udpA.Receive();
        if (!packet) {
            break;
        }
        pli = *packet == expectedPli;
    }
    server_->WithRelay(
        [&](server::MediaRelayRouter& router) { drops = router.DropsOf(kDemo, b->UserId()); });
    EXPECT_TRUE(pli);
    EXPECT_GT(drops, 0U);
    EXPECT_TRUE(WaitSessions(2));  // a slow receiver is not thrown out
}

TEST_F(MediaRelaySockets, HelloFromAnAddressThatNeverAnswersDrawsNoMediaThere) {
    // The datagrams a forger would send in a participant's name from a victim's address: a
    // hello with the participant's own ticket and a subscription, repeated. The victim only
    // ever gets the small cookies, however much media the subscribed stream carries.
    auto a = WithCamera("a");
    auto b = WithCamera("b");
    RelayClient udpB(server_->MediaPort(), false);
    udpB.Hello(b->MediaTicket(), b->UserId());
    ASSERT_EQ(udpB.HelloAnswer(), relay::HelloResult::Ok);
    RelayClient victim(server_->MediaPort(), false);
    relay::Control hello;
    hello.type = relay::Type::Hello;
    hello.hello.ticket = a->MediaTicket();
    hello.hello.conferenceId = kDemo;
    hello.hello.mediaId = a->UserId();
    for (int i = 0; i < 6; ++i) {
        victim.SendControl(hello);
        victim.Subscribe(b->UserId(), Kind::Video);
    }
    for (uint16_t sequence = 0; sequence < 500; ++sequence) {
        udpB.Send(Rtp(relay::SsrcFor(b->UserId(), Kind::Video), sequence, 1200));
    }
    size_t bytes = 0;
    size_t cookies = 0;
    while (auto packet = victim.Receive(std::chrono::milliseconds(500))) {
        bytes += packet->size();
        const auto control = relay::Decode(packet->data(), packet->size());
        cookies += control && control->type == relay::Type::Cookie ? 1 : 0;
    }
    EXPECT_EQ(cookies, 6U);
    EXPECT_LT(bytes, 6 * relay::Encode(hello).size());
    EXPECT_TRUE(WaitSessions(1));
}

TEST_F(MediaRelaySockets, ConnectionsOpenedAndClosedWithoutALoginWriteFewLines) {
    fakes::LogCapture log;
    for (int i = 0; i < 300; ++i) {
        RelayClient tcp(server_->MediaPort(), true);
        tcp.SendRaw({0x00, 0x00});  // a bad frame: the relay closes it too
    }
    auto bot = LoggedIn("after");
    RelayClient last(server_->MediaPort(), true);
    last.Hello(bot->MediaTicket(), bot->UserId());
    ASSERT_EQ(last.HelloAnswer(), relay::HelloResult::Ok);
    // The relay works through its connections in order: they are all closed by now.
    server_->WithRelay([](server::MediaRelayRouter&) {});
    EXPECT_GE(log.CountContaining("media relay: tcp#"), 1U);
    EXPECT_LE(log.CountContaining("media relay"), 25U);
}

TEST_F(MediaRelaySockets, TheSendersAudienceFollowsTheConference) {
    // The real conference decides; the relay's word to the sender shows what it decided.
    auto chair = LoggedIn("demo", "demo");
    auto a = LoggedIn("a");
    auto b = LoggedIn("b");
    auto c = LoggedIn("c");
    const uint16_t idA = a->UserId();
    proto::MsgSetConfOptions camera;
    camera.values = {1, 0x01, 1, 0, 1, 0};
    ASSERT_TRUE(a->Send(camera));
    RelayClient udpA(server_->MediaPort(), false);
    udpA.Hello(a->MediaTicket(), idA);
    ASSERT_EQ(udpA.HelloAnswer(), relay::HelloResult::Ok);
    std::vector<std::unique_ptr<RelayClient>> receivers;
    for (RawBot* bot : {b.get(), c.get()}) {
        receivers.push_back(std::make_unique<RelayClient>(server_->MediaPort(), false));
        receivers.back()->Hello(bot->MediaTicket(), bot->UserId());
        ASSERT_EQ(receivers.back()->HelloAnswer(), relay::HelloResult::Ok);
        receivers.back()->Subscribe(idA, Kind::Video);
        receivers.back()->Subscribe(idA, Kind::Audio);
    }
    const auto group = [](RawBot& bot, uint32_t value) {
        proto::MsgSetUserData data;
        data.userId = bot.UserId();
        data.offset = 0;
        data.data = {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16),
                     uint8_t(value >> 24)};
        return bot.Send(data);
    };
    const auto floor = [&](uint8_t state) {
        proto::MsgAwardSpeak award;
        award.id = idA;
        award.value = state;
        return chair->Send(award);
    };
    struct Step {
        const char* what;
        std::function<bool()> act;
        bool video;
        bool audio;
    };
    const Step steps[] = {
        {"subscribed, nothing allowed", [] { return true; }, false, false},
        {"the chair gives A the floor", [&] { return floor(2); }, false, true},
        {"B moves to audio group 5, C still hears A", [&] { return group(*b, 5); }, false, true},
        {"C moves to group 5 too", [&] { return group(*c, 5); }, false, false},
        {"A joins group 5", [&] { return group(*a, 5); }, false, true},
        {"the floor ends", [&] { return floor(0); }, false, false},
        {"push-to-talk mode, A holds the talk key",
         [&] {
             proto::MsgSetUserAttribute mode;
             mode.offset = 272;
             mode.data = {1};
             proto::MsgSetUserData key;
             key.userId = idA;
             key.offset = 9;
             key.data = {1};
             return chair->Send(mode) && a->Send(key);
         },
         false, true},
        {"B asks for A's camera",
         [&] {
             proto::MsgRequestVideo request;
             request.mediaId = idA;
             return b->Send(request);
         },
         true, true},
        {"A drops its camera channel",
         [&] {
             proto::MsgSetConfOptions none = camera;
             none.values[1] = 0;
             return a->Send(none);
         },
         false, true},
        {"the chair broadcasts a channel A does not have",
         [&] {
             proto::MsgBroadcastVideo broadcast;
             broadcast.id = idA;
             broadcast.value = 1;
             return chair->Send(broadcast);
         },
         false, true},
    };
    for (const Step& step : steps) {
        ASSERT_TRUE(step.act()) << step.what;
        // Keepalives bring the relay's word until it says what the conference now holds.
        std::optional<relay::Audience> said;
        const bool reached = WaitUntil(
            [&] {
                relay::Control keepalive;
                keepalive.type = relay::Type::Keepalive;
                udpA.SendControl(keepalive);
                const auto audience =
                    udpA.ReceiveControl(relay::Type::Audience, std::chrono::milliseconds(200));
                if (audience) {
                    said = audience->audience;
                }
                return said && said->video == step.video && said->audio == step.audio;
            },
            std::chrono::seconds(5));
        EXPECT_TRUE(reached) << step.what << ": video " << (said && said->video) << ", audio "
                             << (said && said->audio);
    }
}

}  // namespace
}  // namespace yav::test
