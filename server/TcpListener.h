#pragma once
// A listening TCP socket that hands every accepted connection, as a named Link, to its
// owner. Shared by the data server and the conference server.

#include <asio.hpp>
#include <functional>
#include <memory>
#include <string>

#include "Link.h"

namespace yav::server {

class TcpListener {
public:
    using AcceptHandler = std::function<void(std::shared_ptr<proto::Link> link)>;

    // prefix names the links ("cs", "ds") in log lines.
    TcpListener(asio::io_context& io, std::string prefix);

    // Binds and starts accepting; false (logged) when the port cannot be bound.
    bool Start(const asio::ip::address& address, uint16_t port, AcceptHandler onAccept);
    void Stop();
    uint16_t Port() const { return port_; }
    // Accepts that failed since the start (I/O thread only).
    uint64_t FailedAccepts() const { return failedAccepts_; }

private:
    void Accept();
    void OnAcceptFailed(const asio::error_code& error);

    asio::ip::tcp::acceptor acceptor_;
    // Paces retries while accepts fail (out of descriptors): an immediate retry fails again at
    // once, spinning the thread and flooding the log.
    asio::steady_timer retryTimer_;
    bool failing_ = false;
    uint64_t failedAccepts_ = 0;
    std::string prefix_;
    AcceptHandler onAccept_;
    uint16_t port_ = 0;
    uint64_t nextNumber_ = 1;
    bool stopping_ = false;
};

}  // namespace yav::server
