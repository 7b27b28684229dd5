// The round-trip probe against a scripted echo on loopback: counting, loss windows, the mean
// round trip, and datagrams that do not come from the echo's address and port.

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <atomic>

#include "client/dialogs/panels/PanelClock.h"
#include "client/dialogs/panels/RoundTripProbe.h"
#include "components/protocol/UdpProbe.h"
#include "support/WaitUntil.h"

namespace {

using yav::test::WaitUntil;

class ConstantClock {
public:
    explicit ConstantClock(std::uint32_t now) {
        yav::panels::SetTickSource([now] { return now; });
    }
    ~ConstantClock() { yav::panels::SetTickSource(nullptr); }
};

// The window's 100 ms timer, fired `ticks` times.
void Tick(RoundTripProbe& probe, int ticks) {
    for (int i = 0; i < ticks; ++i) {
        probe.Tick();
    }
}

// A scripted echo: it reads what the probe sent and answers as the test says.
class Echo {
public:
    Echo() { port = socket.Create(0); }
    // The probes that arrived (up to 21 per call).
    int Collect() {
        socket.Receive(200);
        int count = 0;
        while (CUdpPacket* packet = socket.PopPacket()) {
            ++count;
            lastSenderPort = packet->m_wPort;
            CUdpSocket::FreePacket(packet);
        }
        return count;
    }
    void Answer(std::uint16_t probePort, std::uint32_t tick) {
        socket.SetPeer("127.0.0.1", probePort);
        const auto echo = yav::proto::MakeProbe(tick);
        socket.SendTo(echo.data(), static_cast<std::int32_t>(echo.size()));
    }
    CUdpSocket socket;
    std::uint16_t port = 0;
    std::uint16_t lastSenderPort = 0;
};

TEST(RoundTripProbe, EchoedProbesAreCountedAndTheMeanIsTheirAverage) {
    ConstantClock clock(50000);
    Echo echo;
    RoundTripProbe probe;
    ASSERT_TRUE(probe.Start("127.0.0.1", echo.port));
    probe.Tick();
    EXPECT_EQ(probe.Sent(), 3U);
    ASSERT_EQ(echo.Collect(), 3);
    EXPECT_EQ(echo.lastSenderPort, probe.LocalPort());
    // Round trips of 40, 20 and 30 ms as the tick counts carried back say.
    for (std::uint32_t rtt : {40U, 20U, 30U}) {
        echo.Answer(probe.LocalPort(), 50000 - rtt);
        const std::uint32_t before = probe.Received();
        ASSERT_TRUE(WaitUntil([&] { return probe.Received() == before + 1; }));
    }
    EXPECT_EQ(probe.MeanRtt(), 30);
    probe.Tick();
    EXPECT_EQ(probe.ShownRtt(), 30);
    EXPECT_EQ(probe.Lost(), 0U);
    EXPECT_EQ(probe.LossPercent(), 0U);
    probe.Stop();
    EXPECT_EQ(probe.Sent(), 0U);
    EXPECT_EQ(probe.Received(), 0U);
    EXPECT_EQ(probe.ShownRtt(), 0);
    // The mean stays until the next echo replaces it.
    EXPECT_EQ(probe.MeanRtt(), 30);
}

TEST(RoundTripProbe, WithoutEchoesTenTicksLoseEverythingAndTheThirtyFirstStartsANewWindow) {
    Echo silent;
    RoundTripProbe probe;
    ASSERT_TRUE(probe.Start("127.0.0.1", silent.port));
    Tick(probe, 10);
    EXPECT_EQ(probe.Sent(), 30U);
    probe.Tick();  // the 11th reads what the first ten sent
    EXPECT_EQ(probe.Lost(), 30U);
    EXPECT_EQ(probe.LossPercent(), 100U);
    Tick(probe, 21);
    // The tick after the 31st probe round found 93 sent: the window restarted before its
    // three probes.
    EXPECT_EQ(probe.Sent(), 3U);
    EXPECT_EQ(probe.Lost(), 93U);
    EXPECT_EQ(probe.LossPercent(), 100U);
}

TEST(RoundTripProbe, ProbeLikeDatagramsFromAnotherPortAreNotCounted) {
    ConstantClock clock(9000);
    Echo echo;
    Echo stranger;
    RoundTripProbe probe;
    ASSERT_TRUE(probe.Start("127.0.0.1", echo.port));
    probe.Tick();
    ASSERT_EQ(echo.Collect(), 3);
    for (int i = 0; i < 5; ++i) {
        stranger.Answer(probe.LocalPort(), 9000 - 1);
    }
    echo.Answer(probe.LocalPort(), 9000 - 200);
    ASSERT_TRUE(WaitUntil([&] { return probe.Received() >= 1; }));
    // Give the stranger's datagrams time to be read (they were sent first anyway).
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(probe.Received(), 1U);
    EXPECT_EQ(probe.MeanRtt(), 200);
}

TEST(RoundTripProbe, AnAddressThatIsNotDottedIpv4SendsNothing) {
    RoundTripProbe probe;
    ASSERT_TRUE(probe.Start("yav.example", 8000));
    probe.Tick();
    EXPECT_EQ(probe.Sent(), 0U);
    probe.Tick();
    EXPECT_EQ(probe.Lost(), 0U);
}

TEST(RoundTripProbe, AnEchoArrivingAfterAWindowChangeCountsInTheNewWindow) {
    ConstantClock clock(100);
    Echo echo;
    RoundTripProbe probe;
    ASSERT_TRUE(probe.Start("127.0.0.1", echo.port));
    Tick(probe, 32);
    ASSERT_EQ(probe.Sent(), 3U);
    for (int i = 0; i < 5; ++i) {
        echo.Answer(probe.LocalPort(), 90);
    }
    ASSERT_TRUE(WaitUntil([&] { return probe.Received() == 5; }));
    probe.Tick();
    // More echoes than probes in this window: the difference is absolute.
    EXPECT_EQ(probe.Lost(), 2U);
}

// A process out of file descriptors cannot open the probe's socket: nothing starts (no
// receiver spinning on a socket that is not there), nothing is sent, nothing is measured.
TEST(RoundTripProbe, WithoutASocketNothingRunsAndNothingIsSent) {
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
    rlimit none = saved;
    none.rlim_cur = 0;
    // A probe that ran before: the sanitizers check an object's type once per type and need a
    // descriptor of their own for that check, which this test takes away.
    RoundTripProbe probe;
    ASSERT_TRUE(probe.Start("127.0.0.1", 8000));
    probe.Stop();
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &none), 0);
    const bool started = probe.Start("127.0.0.1", 8000);
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &saved), 0);
    EXPECT_FALSE(started);
    EXPECT_FALSE(probe.IsRunning());
    Tick(probe, 3);
    EXPECT_EQ(probe.Sent(), 0U);
    EXPECT_FALSE(probe.HasRoundTrip());
    // With descriptors again, the next opening works.
    EXPECT_TRUE(probe.Start("127.0.0.1", 8000));
    EXPECT_TRUE(probe.IsRunning());
}

// Echoes whose send time lies ahead of the clock, or more than a minute back, measure nothing:
// they are not counted and the mean keeps to the true echoes (such an echo once made the round
// trip -2147483648 ms).
TEST(RoundTripProbe, EchoesFromTheFutureOrLongAgoAreNotCounted) {
    constexpr std::uint32_t kNow = 100000;
    ConstantClock clock(kNow);
    Echo echo;
    RoundTripProbe probe;
    ASSERT_TRUE(probe.Start("127.0.0.1", echo.port));
    probe.Tick();
    ASSERT_EQ(echo.Collect(), 3);
    for (const std::uint32_t tick : {kNow + 10, kNow + 0x80000000U, kNow - 60001}) {
        echo.Answer(probe.LocalPort(), tick);
    }
    EXPECT_FALSE(probe.HasRoundTrip());
    // A true echo after them: once it is counted, they were read (loopback keeps the order).
    echo.Answer(probe.LocalPort(), kNow - 30);
    ASSERT_TRUE(WaitUntil([&] { return probe.Received() >= 1; }));
    EXPECT_EQ(probe.Received(), 1U);
    EXPECT_EQ(probe.MeanRtt(), 30);
    EXPECT_TRUE(probe.HasRoundTrip());
    // A minute exactly still counts.
    echo.Answer(probe.LocalPort(), kNow - 60000);
    ASSERT_TRUE(WaitUntil([&] { return probe.Received() == 2; }));
    EXPECT_EQ(probe.MeanRtt(), (30 + 60000) / 2);
}

}  // namespace
