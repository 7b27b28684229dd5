// A channel's session with the relay when the network misbehaves: a relay that restarts, falls
// silent, never answers a connect or stops reading, and a transport switched while logged in.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "ScriptedRelay.h"
#include "components/KroMedia/FrameQueue.h"
#include "components/KroMedia/ReconnectBackoff.h"
#include "components/KroMedia/Session.h"
#include "support/UnansweredTcpPort.h"
#include "support/WaitUntil.h"

namespace kromedia {
namespace {

using std::chrono::seconds;
using yav::test::WaitUntil;

constexpr uint16_t kMine = 0x10;
constexpr uint16_t kOther = 0x18;

// --- the pieces -------------------------------------------------------------------------------

std::vector<uint8_t> Bytes(size_t size, uint8_t fill) {
    return std::vector<uint8_t>(size, fill);
}

TEST(FrameQueue, AFullQueueRefusesWholeFramesAndNeverCutsOneHalfWritten) {
    FrameQueue queue(100);
    EXPECT_TRUE(queue.Push(Bytes(60, 1), false));
    EXPECT_FALSE(queue.Push(Bytes(60, 2), false)) << "120 bytes of media do not fit in 100";
    EXPECT_TRUE(queue.Push(Bytes(40, 3), false));
    EXPECT_EQ(queue.Dropped(), 1U);
    // Control frames may go beyond the media limit, up to twice it.
    EXPECT_TRUE(queue.Push(Bytes(90, 4), true));
    EXPECT_FALSE(queue.Push(Bytes(20, 5), true));
    // The socket takes 70 bytes: all of the first frame and 10 of the second.
    size_t length = 0;
    const uint8_t* pending = queue.Pending(&length);
    ASSERT_EQ(length, 60U);
    EXPECT_EQ(pending[0], 1);
    queue.Consumed(60);
    queue.Consumed(10);
    pending = queue.Pending(&length);
    ASSERT_EQ(length, 30U) << "the rest of the half-written frame comes first";
    EXPECT_EQ(pending[0], 3);
    EXPECT_EQ(queue.Bytes(), 120U);
    queue.Consumed(30);
    pending = queue.Pending(&length);
    ASSERT_EQ(length, 90U);
    EXPECT_EQ(pending[0], 4);
    queue.Consumed(90);
    EXPECT_TRUE(queue.Empty());
    EXPECT_EQ(queue.Pending(&length), nullptr);
    EXPECT_EQ(length, 0U);
}

TEST(ReconnectBackoff, DelaysDoubleToTheCeilingWithinAFifthAndStartOverAfterASuccess) {
    ReconnectBackoff backoff(1000, 30000, 7);
    const int expected[] = {1000, 2000, 4000, 8000, 16000, 30000, 30000};
    for (int round = 0; round < 2; ++round) {
        for (int base : expected) {
            const int delay = backoff.NextDelayMs();
            EXPECT_GE(delay, base - base / 5) << base;
            EXPECT_LE(delay, base + base / 5) << base;
        }
        backoff.Reset();
    }
    // Two clients of the same relay do not come back in step.
    ReconnectBackoff a(1000, 30000, 1);
    ReconnectBackoff b(1000, 30000, 2);
    int same = 0;
    for (int i = 0; i < 8; ++i) {
        same += a.NextDelayMs() == b.NextDelayMs() ? 1 : 0;
    }
    EXPECT_LT(same, 8);
}

// --- the session against a relay that misbehaves ------------------------------------------------

// What a session reported, in order: 's' server, 't' stream, with the value.
struct Reports {
    std::mutex mutex;
    std::vector<std::pair<char, int>> told;
    std::atomic<int> server{-1};
    std::atomic<int> stream{-1};

    RelaySession::Events Events() {
        RelaySession::Events events;
        events.serverConnected = [this](int c) {
            server = c;
            std::lock_guard<std::mutex> lock(mutex);
            told.push_back({'s', c});
        };
        events.streamConnected = [this](int c) {
            stream = c;
            std::lock_guard<std::mutex> lock(mutex);
            told.push_back({'t', c});
        };
        // 'a' with 1 when someone may receive the session's media, 0 when nobody may.
        events.audience = [this](const relay::Audience& a) {
            std::lock_guard<std::mutex> lock(mutex);
            told.push_back({'a', a.video || a.audio ? 1 : 0});
        };
        return events;
    }
    int Count(char what, int value) {
        std::lock_guard<std::mutex> lock(mutex);
        int n = 0;
        for (const auto& e : told) {
            n += e == std::pair{what, value} ? 1 : 0;
        }
        return n;
    }
    bool Up() const { return server == 1 && stream == 1; }
};

// An RTP packet of the session's own video stream.
std::vector<uint8_t> RtpPacket(size_t size, uint16_t sequence) {
    std::vector<uint8_t> packet(size, 0x55);
    packet[0] = 0x80;
    packet[1] = 96;
    packet[2] = static_cast<uint8_t>(sequence >> 8);
    packet[3] = static_cast<uint8_t>(sequence);
    const uint32_t ssrc = relay::SsrcFor(kMine, relay::Kind::Video);
    for (int i = 0; i < 4; ++i) {
        packet[8 + static_cast<size_t>(i)] = static_cast<uint8_t>(ssrc >> (24 - 8 * i));
    }
    return packet;
}

// Sends media until the relay has counted one more packet of that size.
bool MediaReaches(RelaySession& session, ScriptedRelay& relay, size_t size) {
    const auto count = [&] {
        size_t n = 0;
        for (size_t s : relay.MediaSizesFrom(kMine)) {
            n += s == size ? 1 : 0;
        }
        return n;
    };
    const size_t had = count();
    return WaitUntil(
        [&] {
            const auto packet = RtpPacket(size, 1);
            session.SendMedia(packet.data(), packet.size());
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            return count() > had;
        },
        seconds(20));
}

const std::array<uint8_t, relay::kTicketBytes> kTicket{};
const std::set<std::pair<uint16_t, relay::Kind>> kWatching{{kOther, relay::Kind::Video}};

class SessionOverTransport : public ::testing::TestWithParam<bool> {
protected:
    bool Tcp() const { return GetParam(); }
    void StartUp(RelaySession& session, ScriptedRelay& relay, Reports& reports) {
        session.Subscribe(kOther, relay::Kind::Video, true);  // made before the login: kept
        session.Start("127.0.0.1", relay.Port(), Tcp(), kTicket, 1, kMine);
        ASSERT_TRUE(WaitUntil([&] { return reports.Up(); }, seconds(20)));
        ASSERT_TRUE(relay.HasSession(kMine, Tcp()));
        ASSERT_EQ(relay.SubscriptionsOf(kMine), kWatching);
    }
};

TEST_P(SessionOverTransport, ARestartedRelayGetsTheSessionAndItsSubscriptionsBack) {
    ScriptedRelay relay;
    Reports reports;
    RelaySession session(reports.Events());
    StartUp(session, relay, reports);
    relay.Restart();
    ASSERT_FALSE(relay.HasSession(kMine, Tcp()));
    ASSERT_TRUE(WaitUntil(
        [&] { return relay.HasSession(kMine, Tcp()) && relay.SubscriptionsOf(kMine) == kWatching; },
        seconds(30)));
    ASSERT_TRUE(WaitUntil([&] { return reports.Up(); }, seconds(20)));
    EXPECT_TRUE(MediaReaches(session, relay, 700)) << "media flows again";
    EXPECT_EQ(reports.Count('s', 0), 0) << "the relay was back at the first hello";
    EXPECT_EQ(reports.Count('s', 1), 1) << "connected is told once";
    // Over UDP the hello said again on the same socket (with the new relay's cookie) brings the
    // session back before the path is given up; a closed TCP connection is down at once.
    EXPECT_EQ(reports.Count('t', 0), Tcp() ? 1 : 0);
    // Each socket opened is a new session that nobody may receive until the relay tells it so:
    // the audience is taken back before the relay's word for the new one.
    std::lock_guard<std::mutex> lock(reports.mutex);
    std::vector<int> audience;
    for (const auto& [what, value] : reports.told) {
        if (what == 'a') {
            audience.push_back(value);
        }
    }
    ASSERT_FALSE(audience.empty());
    EXPECT_EQ(audience.front(), 0) << "nobody before the first word";
    EXPECT_EQ(audience.back(), 1);
    if (Tcp()) {
        const auto reset = std::find(audience.begin() + 1, audience.end(), 0);
        EXPECT_NE(reset, audience.end()) << "the new connection started without an audience";
        EXPECT_NE(std::find(reset, audience.end(), 1), audience.end());
    }
}

TEST_P(SessionOverTransport, ASilentRelayIsReportedDownAndRejoinedOnceItAnswers) {
    ScriptedRelay relay;
    Reports reports;
    RelaySession session(reports.Events());
    StartUp(session, relay, reports);
    relay.SetSilent(true);
    ASSERT_TRUE(WaitUntil([&] { return reports.stream == 0; }, seconds(30)));
    const int hellosWhileSilent = relay.Hellos(kMine);
    EXPECT_GT(hellosWhileSilent, 1) << "hello was said again before giving the path up";
    relay.SetSilent(false);
    ASSERT_TRUE(WaitUntil([&] { return reports.Up(); }, seconds(60)));
    EXPECT_EQ(relay.SubscriptionsOf(kMine), kWatching);
    EXPECT_TRUE(MediaReaches(session, relay, 700));
    EXPECT_EQ(reports.Count('t', 0), 1);
    EXPECT_EQ(reports.Count('t', 1), 2);
}

INSTANTIATE_TEST_SUITE_P(Transport, SessionOverTransport, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& transport) {
                             return transport.param ? "Tcp" : "Udp";
                         });

TEST(Session, AConnectNobodyAnswersHoldsNeitherItsCallerNorAnotherSession) {
    yav::test::UnansweredTcpPort nobody;
    ScriptedRelay relay;
    Reports stuckReports;
    Reports otherReports;
    RelaySession stuck(stuckReports.Events());
    RelaySession other(otherReports.Events());
    std::atomic<bool> started{false};
    std::thread caller([&] {
        stuck.Start("127.0.0.1", nobody.Port(), true, kTicket, 1, kMine);
        started = true;
    });
    // A blocking connect keeps trying for about two minutes: the call would not come back.
    const bool returned = WaitUntil([&] { return started.load(); }, seconds(20));
    caller.join();
    ASSERT_TRUE(returned);
    other.Start("127.0.0.1", relay.Port(), false, kTicket, 1, kOther);
    EXPECT_TRUE(WaitUntil([&] { return otherReports.Up(); }, seconds(20)))
        << "another channel's login goes on meanwhile";
    EXPECT_TRUE(WaitUntil([&] { return stuckReports.server == 0; }, seconds(20)))
        << "the unanswered connect is given up and told";
    stuck.Stop();
    EXPECT_EQ(stuckReports.Count('s', 0), 1) << "tries after the first failure are not told";
}

TEST(Session, AStreamNobodyReadsDropsWholeFramesAndCutsNoneHalfWay) {
    ScriptedRelay relay;
    Reports reports;
    RelaySession session(reports.Events());
    session.Start("127.0.0.1", relay.Port(), true, kTicket, 1, kMine);
    ASSERT_TRUE(WaitUntil([&] { return reports.Up(); }, seconds(20)));
    relay.SetReadingTcp(false);
    // Senders never wait for the network: they go on until the queue refuses packets.
    uint16_t sequence = 0;
    for (int i = 0; i < 200000 && session.QueueDrops() == 0; ++i) {
        const auto packet = RtpPacket(1200, sequence++);
        session.SendMedia(packet.data(), packet.size());
    }
    ASSERT_GT(session.QueueDrops(), 0U);
    relay.SetReadingTcp(true);
    ASSERT_TRUE(MediaReaches(session, relay, 333));
    EXPECT_EQ(relay.BadStreams(), 0) << "no frame was cut";
    const auto sizes = relay.MediaSizesFrom(kMine);
    size_t whole = 0;
    for (size_t size : sizes) {
        whole += size == 1200 || size == 333 ? 1 : 0;
    }
    EXPECT_EQ(whole, sizes.size());
    EXPECT_GT(sizes.size(), 100U);
    EXPECT_EQ(relay.TcpConnectionsAccepted(), 1) << "the connection itself survived";
}

TEST(Session, ATransportSwitchedWhileLoggedInTakesTheSessionAlong) {
    ScriptedRelay relay;
    Reports reports;
    RelaySession session(reports.Events());
    session.Start("127.0.0.1", relay.Port(), false, kTicket, 1, kMine);
    ASSERT_TRUE(WaitUntil([&] { return reports.Up(); }, seconds(20)));
    session.Subscribe(kOther, relay::Kind::Video, true);
    for (const bool tcp : {true, false}) {
        SCOPED_TRACE(tcp);
        session.UseTcp(tcp);
        ASSERT_TRUE(WaitUntil(
            [&] {
                return relay.HasSession(kMine, tcp) && relay.SubscriptionsOf(kMine) == kWatching;
            },
            seconds(20)));
        EXPECT_TRUE(MediaReaches(session, relay, 500 + (tcp ? 1 : 0)));
    }
    EXPECT_EQ(relay.TcpConnectionsAccepted(), 1);
    EXPECT_EQ(reports.Count('s', 0), 0);
    EXPECT_EQ(reports.Count('t', 0), 0);
}

}  // namespace
}  // namespace kromedia
