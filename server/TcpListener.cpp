#include "TcpListener.h"

#include "platform/core/Log.h"

namespace yav::server {

TcpListener::TcpListener(asio::io_context& io, std::string prefix)
    : acceptor_(io), retryTimer_(io), prefix_(std::move(prefix)) {}

namespace {
// Long enough that a failing accept costs nothing, short enough that a client that connects
// once descriptors are free again hardly notices.
constexpr std::chrono::milliseconds kAcceptRetryDelay(100);
}  // namespace

bool TcpListener::Start(const asio::ip::address& address, uint16_t port, AcceptHandler onAccept) {
    onAccept_ = std::move(onAccept);
    asio::error_code error;
    const asio::ip::tcp::endpoint endpoint(address, port);
    acceptor_.open(endpoint.protocol(), error);
    if (!error) {
        acceptor_.set_option(asio::ip::tcp::acceptor::reuse_address(true), error);
        acceptor_.bind(endpoint, error);
    }
    if (!error) {
        acceptor_.listen(asio::socket_base::max_listen_connections, error);
    }
    if (error) {
        YLOG_ERROR("%s: cannot listen on %s:%u: %s", prefix_.c_str(), address.to_string().c_str(),
                   port, error.message().c_str());
        return false;
    }
    port_ = acceptor_.local_endpoint().port();
    Accept();
    return true;
}

void TcpListener::Stop() {
    stopping_ = true;
    asio::error_code ignored;
    acceptor_.close(ignored);
    retryTimer_.cancel();
}

void TcpListener::OnAcceptFailed(const asio::error_code& error) {
    ++failedAccepts_;
    if (!failing_) {
        // Once per episode: the condition lasts until descriptors are freed.
        failing_ = true;
        YLOG_WARN("%s: accept failed: %s; retrying every %lld ms", prefix_.c_str(),
                  error.message().c_str(), static_cast<long long>(kAcceptRetryDelay.count()));
    }
    retryTimer_.expires_after(kAcceptRetryDelay);
    retryTimer_.async_wait([this](const asio::error_code& waitError) {
        if (!waitError && !stopping_) {
            Accept();
        }
    });
}

void TcpListener::Accept() {
    acceptor_.async_accept([this](const asio::error_code& error, asio::ip::tcp::socket socket) {
        if (error) {
            if (!stopping_ && error != asio::error::operation_aborted) {
                OnAcceptFailed(error);
            }
            return;
        }
        if (failing_) {
            failing_ = false;
            YLOG_INFO("%s: accepting again", prefix_.c_str());
        }
        asio::error_code ignored;
        const auto peer = socket.remote_endpoint(ignored);
        const std::string name = prefix_ + "#" + std::to_string(nextNumber_++) + " " +
                                 peer.address().to_string() + ":" + std::to_string(peer.port());
        onAccept_(std::make_shared<proto::Link>(std::move(socket), name));
        Accept();
    });
}

}  // namespace yav::server
