#pragma once
// A loopback proxy between the clients and yavserver that counts what the clients put on the
// wire. yavserver announces the tap's address as its conference and media address, so every
// client connects to the tap; the tap forwards each TCP connection and each UDP flow (one
// upstream socket per client socket, so the relay still tells the clients' sessions apart)
// to the server's real address and back, and counts the RTP packets the clients send by
// their SSRC (UDP datagrams, and RFC 4571 frames on the TCP ports marked as media).

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace journey_e2e {

class WireTap {
public:
    // Listens on `listenAddress`, forwards to `serverAddress` (the same port numbers).
    WireTap(std::string listenAddress, std::string serverAddress);
    ~WireTap();
    WireTap(const WireTap&) = delete;
    WireTap& operator=(const WireTap&) = delete;

    // Forward TCP connections to `port`; `media`: the stream carries RFC 4571 frames whose
    // RTP is counted. False when the port cannot be taken.
    bool ForwardTcp(std::uint16_t port, bool media);
    // Forward UDP datagrams to `port`, counting their RTP. False when the port cannot be taken.
    bool ForwardUdp(std::uint16_t port);
    // Runs the forwarding on a thread of its own (call after the Forward* calls).
    void Start();

    // RTP packets sent by clients with this SSRC so far.
    std::uint64_t RtpFrom(std::uint32_t ssrc) const;
    // Every SSRC seen with its count, for failure messages.
    std::string Summary() const;

    // What the tap makes of one packet from a client: the SSRC of an RTP packet, 0 for
    // anything else (control packets, RTCP, too short).
    static std::uint32_t RtpSsrc(const std::uint8_t* data, std::size_t size);

private:
    struct Impl;
    void Count(const std::uint8_t* data, std::size_t size);

    std::unique_ptr<Impl> impl_;
    std::thread thread_;
    mutable std::mutex mutex_;
    std::map<std::uint32_t, std::uint64_t> rtp_;
};

}  // namespace journey_e2e
