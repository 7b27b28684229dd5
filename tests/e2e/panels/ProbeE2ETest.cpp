// The statistics window's round-trip probe against a real yavserver on loopback: round trips
// and no loss, a stopped server, a relay that drops every tenth datagram, and a probe-looking
// datagram from a port that is not the echo's.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <deque>
#include <thread>
#include <vector>

#include "client/dialogs/panels/RoundTripProbe.h"
#include "components/protocol/UdpProbe.h"
#include "e2e/server/ServerProcess.h"

namespace {

using yav::test::ServerProcess;
using yav::test::WaitUntil;

// Ticks the probe as the window's 100 ms timer does, for n ticks.
void RunTicks(RoundTripProbe& probe, int ticks) {
    for (int i = 0; i < ticks; ++i) {
        probe.Tick();
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

TEST(ProbeE2E, LoopbackEchoesComeBackWithARoundTripAndNoLoss) {
    ServerProcess server;
    ASSERT_TRUE(server.Ready()) << server.Output();
    RoundTripProbe probe;
    ASSERT_TRUE(probe.Start("127.0.0.1", server.ProbePort()));
    RunTicks(probe, 20);
    ASSERT_TRUE(WaitUntil([&] { return probe.Received() == probe.Sent(); }));
    probe.Tick();
    EXPECT_EQ(probe.Lost(), 0U);
    EXPECT_EQ(probe.LossPercent(), 0U);
    // Millisecond ticks: a loopback round trip reads 0 ms or more, never garbage.
    EXPECT_GE(probe.ShownRtt(), 0);
    EXPECT_LT(probe.ShownRtt(), 1000);
    std::printf("loopback: shown RTT %d ms, loss %u%% over %u probes\n", probe.ShownRtt(),
                probe.LossPercent(), probe.Sent());
}

TEST(ProbeE2E, AStoppedServerShowsFullLossWithinAWindow) {
    ServerProcess server;
    ASSERT_TRUE(server.Ready()) << server.Output();
    const std::uint16_t port = server.ProbePort();
    ASSERT_TRUE(server.Stop());
    RoundTripProbe probe;
    ASSERT_TRUE(probe.Start("127.0.0.1", port));
    RunTicks(probe, 11);
    EXPECT_EQ(probe.Received(), 0U);
    EXPECT_EQ(probe.LossPercent(), 100U);
    std::printf("stopped server: loss %u%% over %u probes\n", probe.LossPercent(), probe.Lost());
}

// Forwards datagrams between the probe and the server's echo; drops every tenth one that goes
// towards the server when asked, and holds every echo for a delay.
class DroppingRelay {
public:
    explicit DroppingRelay(std::uint16_t serverPort, bool drop = true, int delayMs = 0)
        : drop_(drop), delay_(delayMs) {
        port = front_.Create(0);
        back_.Create(0);
        back_.SetPeer("127.0.0.1", serverPort);
        thread_ = std::thread([this] { Run(); });
    }
    ~DroppingRelay() {
        running_ = false;
        thread_.join();
    }
    std::uint16_t port = 0;

private:
    void Run() {
        using Clock = std::chrono::steady_clock;
        std::uint32_t forwarded = 0;
        std::deque<std::pair<Clock::time_point, std::vector<std::uint8_t>>> held;
        while (running_) {
            front_.Receive(0);
            while (CUdpPacket* packet = front_.PopPacket()) {
                clientPort_ = packet->m_wPort;
                if (!drop_ || ++forwarded % 10 != 0) {
                    back_.SendTo(packet->m_pData.get(),
                                 static_cast<std::int32_t>(packet->m_dwLength));
                }
                CUdpSocket::FreePacket(packet);
            }
            back_.Receive(0);
            while (CUdpPacket* packet = back_.PopPacket()) {
                held.emplace_back(
                    Clock::now() + std::chrono::milliseconds(delay_),
                    std::vector<std::uint8_t>(packet->m_pData.get(),
                                              packet->m_pData.get() + packet->m_dwLength));
                CUdpSocket::FreePacket(packet);
            }
            while (!held.empty() && held.front().first <= Clock::now()) {
                front_.SetPeer("127.0.0.1", clientPort_);
                front_.SendTo(held.front().second.data(),
                              static_cast<std::int32_t>(held.front().second.size()));
                held.pop_front();
            }
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    }
    CUdpSocket front_;
    CUdpSocket back_;
    bool drop_;
    int delay_;
    std::uint16_t clientPort_ = 0;
    std::atomic<bool> running_{true};
    std::thread thread_;
};

TEST(ProbeE2E, ARelayDroppingEveryTenthDatagramShowsAboutTenPercent) {
    ServerProcess server;
    ASSERT_TRUE(server.Ready()) << server.Output();
    DroppingRelay relay(server.ProbePort());
    RoundTripProbe probe;
    ASSERT_TRUE(probe.Start("127.0.0.1", relay.port));
    // 30 ticks: 90 probes in one window; the last tick's echoes get their time.
    RunTicks(probe, 30);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    probe.Tick();
    EXPECT_GE(probe.LossPercent(), 8U);
    EXPECT_LE(probe.LossPercent(), 13U);
    std::printf("relay dropping 1 in 10: loss %u%% (%u of %u)\n", probe.LossPercent(), probe.Lost(),
                probe.Sent());
}

TEST(ProbeE2E, ARoundTripIsMeasuredWhenTheEchoArrives) {
    ServerProcess server;
    ASSERT_TRUE(server.Ready()) << server.Output();
    DroppingRelay relay(server.ProbePort(), false, 20);
    RoundTripProbe probe;
    ASSERT_TRUE(probe.Start("127.0.0.1", relay.port));
    RunTicks(probe, 10);
    ASSERT_TRUE(WaitUntil([&] { return probe.Received() == probe.Sent(); }));
    probe.Tick();
    // 20 ms held by the relay; the receiver's 15 ms wait for more datagrams is not counted.
    EXPECT_GE(probe.ShownRtt(), 20);
    EXPECT_LT(probe.ShownRtt(), 30);
    EXPECT_EQ(probe.LossPercent(), 0U);
    std::printf("relay holding echoes 20 ms: shown RTT %d ms\n", probe.ShownRtt());
}

TEST(ProbeE2E, AnEchoLookingDatagramFromAForeignPortIsNotCounted) {
    ServerProcess server;
    ASSERT_TRUE(server.Ready()) << server.Output();
    RoundTripProbe probe;
    ASSERT_TRUE(probe.Start("127.0.0.1", server.ProbePort()));
    CUdpSocket stranger;
    ASSERT_NE(stranger.Create(0), 0);
    stranger.SetPeer("127.0.0.1", probe.LocalPort());
    for (int tick = 0; tick < 5; ++tick) {
        probe.Tick();
        for (int i = 0; i < 4; ++i) {
            const auto echo = yav::proto::MakeProbe(0);
            ASSERT_TRUE(stranger.SendTo(echo.data(), static_cast<std::int32_t>(echo.size())));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    ASSERT_TRUE(WaitUntil([&] { return probe.Received() == probe.Sent(); }));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    // Only the server's 15 echoes count; the stranger's 20 would have made it 35.
    EXPECT_EQ(probe.Sent(), 15U);
    EXPECT_EQ(probe.Received(), 15U);
    EXPECT_LT(probe.MeanRtt(), 1000);
}

}  // namespace
