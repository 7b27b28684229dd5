#pragma once
// The media relay's sockets: UDP and TCP (RFC 4571 frames) on one port. Each UDP source address
// with a session and each TCP connection is a peer with a bounded send queue; the router
// decides what each packet does. Runs on the server's io_context.

#include <array>
#include <asio.hpp>
#include <map>
#include <memory>
#include <set>

#include "MediaGate.h"
#include "MediaRelayRouter.h"
#include "PendingLimit.h"
#include "RateLimitedLog.h"
#include "ServerConfig.h"

namespace yav::server {

class MediaRelay {
public:
    MediaRelay(asio::io_context& io, MediaGate& gate, const ServerConfig& config);
    ~MediaRelay();
    MediaRelay(const MediaRelay&) = delete;
    MediaRelay& operator=(const MediaRelay&) = delete;

    // Binds UDP and TCP on the same port (0: a free one); false (logged) when it cannot.
    bool Start(const asio::ip::address& address, uint16_t port);
    void Stop();
    // Drops every session and connection and binds the same port again, as a relay process
    // that restarted: the clients greet it anew. False (logged) when the port cannot be had.
    bool Restart();
    uint16_t Port() const { return port_; }
    // Server thread only.
    MediaRelayRouter& Router() { return router_; }

private:
    class UdpPeer;
    class TcpPeer;

    bool Bind(const asio::ip::address& address, uint16_t port);
    void Receive();
    void Accept();
    void ArmSweep();

    asio::io_context& io_;
    const ServerConfig& config_;
    asio::ip::udp::socket udp_;
    asio::ip::tcp::acceptor acceptor_;
    asio::steady_timer sweepTimer_;
    PendingLimit pending_;  // TCP connections without a session; outlives them
    RateLimitedLog connectionLog_{20, std::chrono::seconds(10)};  // TCP connections closed
    MediaRelayRouter router_;
    std::map<asio::ip::udp::endpoint, std::shared_ptr<UdpPeer>> udpPeers_;  // with a session
    std::set<std::shared_ptr<TcpPeer>> tcpPeers_;
    asio::ip::udp::endpoint sender_;
    asio::ip::address address_;
    std::array<uint8_t, 2048> buffer_{};
    uint16_t port_ = 0;
    uint64_t nextConnection_ = 1;
    bool stopping_ = false;
};

}  // namespace yav::server
