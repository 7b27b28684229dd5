#include "RoundTripProbe.h"

#include <arpa/inet.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <span>
#include <system_error>

#include "PanelClock.h"
#include "components/protocol/UdpProbe.h"
#include "platform/core/Log.h"

bool RoundTripProbe::Start(const std::string& address, std::uint16_t port) {
    Stop();
    if (socket_.Create(0) == 0) {
        // Without a socket the receiver would only spin: nothing is measured.
        YLOG_ERROR("the round-trip probe has no socket: %s", std::strerror(errno));
        return false;
    }
    // An echo's round trip ends when it is read, not when the receive batch is handled.
    socket_.SetTickSource([] { return yav::panels::GetTickCount(); });
    peerAddress_ = 0;
    peerPort_ = port;
    if (socket_.SetPeer(address.c_str(), port)) {
        in_addr parsed{};
        ::inet_pton(AF_INET, address.c_str(), &parsed);
        peerAddress_ = ntohl(parsed.s_addr);
    }
    running_.store(1);
    try {
        receiver_ = std::thread([this] { ReceiveLoop(); });
    } catch (const std::system_error& error) {
        running_.store(0);
        socket_.Close();
        YLOG_ERROR("创建线程失败 %d", error.code().value());
        return false;
    }
    return true;
}

void RoundTripProbe::Tick() {
    const std::uint32_t sent = sent_.load();
    const std::uint32_t received = received_.load();
    lost_ = sent > received ? sent - received : received - sent;
    if (sent != 0) {
        lossPercent_ = lost_ * 100 / sent;
    }
    const std::int32_t mean = meanRtt_.load();
    if (prevMean_ != 0) {
        rttChange_ = static_cast<std::uint32_t>(std::abs(mean - prevMean_));
    }
    prevMean_ = mean;
    shownRtt_ = mean;
    if (sent > kWindowLimit) {
        sent_.store(0);
        received_.store(0);
    }
    if (!receiver_.joinable()) {
        return;
    }
    for (int i = 0; i < kProbesPerTick; ++i) {
        const yav::proto::ProbePacket probe = yav::proto::MakeProbe(yav::panels::GetTickCount());
        if (socket_.SendTo(probe.data(), static_cast<std::int32_t>(probe.size()))) {
            sent_.fetch_add(1);
        }
    }
}

void RoundTripProbe::Stop() {
    running_.store(0);
    if (receiver_.joinable()) {
        receiver_.join();
    }
    socket_.Close();
    received_.store(0);
    sent_.store(0);
    echoed_.store(false);
    lost_ = 0;
    prevMean_ = 0;
    rttChange_ = 0;
    shownRtt_ = 0;
}

void RoundTripProbe::ReceiveLoop() {
    while (running_.load() == 1) {
        socket_.Receive(kReceiveWaitMs);
        while (CUdpPacket* packet = socket_.PopPacket()) {
            CountEcho(*packet);
            CUdpSocket::FreePacket(packet);
        }
    }
}

void RoundTripProbe::CountEcho(const CUdpPacket& packet) {
    // Only the echo service answers probes: anything from elsewhere would forge the readings.
    if (packet.m_dwAddress != peerAddress_ || packet.m_wPort != peerPort_) {
        return;
    }
    const std::span<const std::uint8_t> bytes(packet.m_pData.get(), packet.m_dwLength);
    if (!yav::proto::IsProbe(bytes)) {
        return;
    }
    // Tick counts wrap: the difference is right across a wrap, and huge for a send time ahead
    // of the clock.
    const std::uint32_t rtt = packet.m_dwArrivalTick - yav::proto::ProbeTick(bytes);
    if (rtt > kMaxRoundTripMs) {
        return;
    }
    const std::uint32_t received = received_.load();
    const std::int64_t total =
        static_cast<std::int64_t>(received) * meanRtt_.load() + static_cast<std::int64_t>(rtt);
    meanRtt_.store(static_cast<std::int32_t>(static_cast<double>(total) / (received + 1)));
    received_.fetch_add(1);
    echoed_.store(true);
}
