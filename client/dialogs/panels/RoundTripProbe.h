#pragma once
// The round-trip probe of the call statistics: three 128-byte probes every tick (100 ms) to
// the server's probe echo, a receiver thread that counts the echoes from that address and
// port and keeps the running mean of their round-trip times, and the loss of the current
// window of probes (a new window starts once more than 90 were sent).
//
// Threads: Start, Tick, Stop and the readings run on the UI thread; the receiver thread
// writes the mean and the echo count, which are atomic for that reason.

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

#include "client/media/UDPSocket.h"

class RoundTripProbe {
public:
    static constexpr int kProbesPerTick = 3;
    static constexpr std::uint32_t kWindowLimit = 90;
    static constexpr std::uint32_t kReceiveWaitMs = 15;
    // An echo older than this, or one whose send time lies ahead of the clock, measures
    // nothing: it is not counted.
    static constexpr std::uint32_t kMaxRoundTripMs = 60000;

    RoundTripProbe() = default;
    ~RoundTripProbe() { Stop(); }
    RoundTripProbe(const RoundTripProbe&) = delete;
    RoundTripProbe& operator=(const RoundTripProbe&) = delete;

    // Opens the socket on any port, sets the peer and starts the receiver. False when the
    // socket could not be opened or the receiver could not start (logged): then nothing runs
    // and no probes are sent.
    bool Start(const std::string& address, std::uint16_t port);
    // One tick: updates loss and round-trip readings, starts a new window when due, sends.
    void Tick();
    // Joins the receiver, closes the socket and zeroes the readings (the mean stays until the
    // next echo replaces it).
    void Stop();
    bool IsRunning() const { return receiver_.joinable(); }
    // An echo was counted since the start: the round-trip readings mean something.
    bool HasRoundTrip() const { return echoed_.load(); }

    std::int32_t MeanRtt() const { return meanRtt_.load(); }
    std::int32_t ShownRtt() const { return shownRtt_; }
    std::uint32_t Sent() const { return sent_.load(); }
    std::uint32_t Received() const { return received_.load(); }
    std::uint32_t Lost() const { return lost_; }
    std::uint32_t LossPercent() const { return lossPercent_; }
    std::uint32_t RttChange() const { return rttChange_; }
    std::uint16_t LocalPort() const { return socket_.GetPort(); }

private:
    void ReceiveLoop();
    void CountEcho(const CUdpPacket& packet);

    CUdpSocket socket_;
    std::thread receiver_;
    std::atomic<int> running_{0};
    std::atomic<std::int32_t> meanRtt_{0};
    std::atomic<std::uint32_t> sent_{0};
    std::atomic<std::uint32_t> received_{0};
    std::atomic<bool> echoed_{false};
    std::uint32_t peerAddress_ = 0;  // host order
    std::uint16_t peerPort_ = 0;
    std::int32_t shownRtt_ = 0;
    std::uint32_t lost_ = 0;
    std::int32_t prevMean_ = 0;
    std::uint32_t rttChange_ = 0;
    std::uint32_t lossPercent_ = 0;
};
