#include "ProbeEcho.h"

#include "UdpProbe.h"
#include "platform/core/Log.h"

namespace yav::server {

ProbeEcho::ProbeEcho(asio::io_context& io) : socket_(io) {}

bool ProbeEcho::Start(const asio::ip::address& address, uint16_t port) {
    asio::error_code error;
    const asio::ip::udp::endpoint endpoint(address, port);
    socket_.open(endpoint.protocol(), error);
    if (!error) {
        socket_.bind(endpoint, error);
    }
    if (error) {
        YLOG_ERROR("probe echo cannot bind %s:%u: %s", address.to_string().c_str(), port,
                   error.message().c_str());
        return false;
    }
    port_ = socket_.local_endpoint().port();
    Receive();
    return true;
}

void ProbeEcho::Stop() {
    stopping_ = true;
    asio::error_code ignored;
    socket_.close(ignored);
}

void ProbeEcho::Receive() {
    socket_.async_receive_from(
        asio::buffer(buffer_), sender_, [this](const asio::error_code& error, size_t length) {
            if (stopping_ || error == asio::error::operation_aborted) {
                return;
            }
            if (!error && proto::IsProbe(std::span<const uint8_t>(buffer_.data(), length))) {
                ++echoes_;
                asio::error_code ignored;
                socket_.send_to(asio::buffer(buffer_.data(), length), sender_, 0, ignored);
            }
            Receive();
        });
}

}  // namespace yav::server
