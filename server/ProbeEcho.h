#pragma once
// The UDP round-trip probe echo: a probe datagram (byte 0 = 0xF1, 128 bytes) comes back to
// its sender unchanged; anything else is dropped.

#include <array>
#include <asio.hpp>

namespace yav::server {

class ProbeEcho {
public:
    explicit ProbeEcho(asio::io_context& io);

    bool Start(const asio::ip::address& address, uint16_t port);
    void Stop();
    uint16_t Port() const { return port_; }
    uint64_t EchoCount() const { return echoes_; }

private:
    void Receive();

    asio::ip::udp::socket socket_;
    asio::ip::udp::endpoint sender_;
    std::array<uint8_t, 2048> buffer_{};
    uint16_t port_ = 0;
    uint64_t echoes_ = 0;
    bool stopping_ = false;
};

}  // namespace yav::server
