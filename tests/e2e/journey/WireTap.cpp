#include "WireTap.h"

#include <array>
#include <functional>
#include <list>
#include <sstream>
#include <vector>

#include <asio.hpp>

namespace journey_e2e {

namespace {

using asio::ip::tcp;
using asio::ip::udp;

constexpr std::size_t kMaxDatagram = 65536;

// One client connection and its connection to the server, bytes copied both ways.
class TcpPipe : public std::enable_shared_from_this<TcpPipe> {
public:
    using Counter = std::function<void(const std::uint8_t*, std::size_t)>;
    TcpPipe(tcp::socket client, asio::io_context& io, Counter counter)
        : client_(std::move(client)), server_(io), counter_(std::move(counter)) {}

    void Start(const tcp::endpoint& target) {
        auto self = shared_from_this();
        server_.async_connect(target, [self](const asio::error_code& error) {
            if (error) {
                self->Close();
                return;
            }
            self->Pump(self->client_, self->server_, self->up_, true);
            self->Pump(self->server_, self->client_, self->down_, false);
        });
    }

private:
    void Pump(tcp::socket& from, tcp::socket& to, std::array<std::uint8_t, 16384>& buffer,
              bool upstream) {
        auto self = shared_from_this();
        from.async_read_some(
            asio::buffer(buffer),
            [self, &from, &to, &buffer, upstream](const asio::error_code& error, std::size_t n) {
                if (error) {
                    self->Close();
                    return;
                }
                if (upstream && self->counter_) {
                    self->Frames(buffer.data(), n);
                }
                asio::async_write(
                    to, asio::buffer(buffer.data(), n),
                    [self, &from, &to, &buffer, upstream](const asio::error_code& e, std::size_t) {
                        if (e) {
                            self->Close();
                            return;
                        }
                        self->Pump(from, to, buffer, upstream);
                    });
            });
    }

    // RFC 4571: each packet behind a 16-bit big-endian length.
    void Frames(const std::uint8_t* data, std::size_t n) {
        pending_.insert(pending_.end(), data, data + n);
        std::size_t at = 0;
        while (pending_.size() - at >= 2) {
            const std::size_t length = (std::size_t{pending_[at]} << 8) | pending_[at + 1];
            if (pending_.size() - at - 2 < length) {
                break;
            }
            counter_(pending_.data() + at + 2, length);
            at += 2 + length;
        }
        pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(at));
    }

    void Close() {
        asio::error_code ignored;
        client_.close(ignored);
        server_.close(ignored);
    }

    tcp::socket client_;
    tcp::socket server_;
    Counter counter_;
    std::array<std::uint8_t, 16384> up_{};
    std::array<std::uint8_t, 16384> down_{};
    std::vector<std::uint8_t> pending_;
};

class TcpForward {
public:
    TcpForward(asio::io_context& io, const tcp::endpoint& listen, tcp::endpoint target,
               TcpPipe::Counter counter)
        : io_(io),
          acceptor_(io, listen),
          target_(std::move(target)),
          counter_(std::move(counter)) {}
    void Accept() {
        acceptor_.async_accept([this](const asio::error_code& error, tcp::socket socket) {
            if (error) {
                return;
            }
            std::make_shared<TcpPipe>(std::move(socket), io_, counter_)->Start(target_);
            Accept();
        });
    }

private:
    asio::io_context& io_;
    tcp::acceptor acceptor_;
    tcp::endpoint target_;
    TcpPipe::Counter counter_;
};

// UDP with one upstream socket per client endpoint: the server answers each flow on its own
// socket, and what comes back goes out of the listening socket to that client.
class UdpForward {
public:
    using Counter = std::function<void(const std::uint8_t*, std::size_t)>;
    UdpForward(asio::io_context& io, const udp::endpoint& listen, udp::endpoint target,
               Counter counter)
        : io_(io), socket_(io, listen), target_(std::move(target)), counter_(std::move(counter)) {}

    void Receive() {
        socket_.async_receive_from(
            asio::buffer(buffer_), from_, [this](const asio::error_code& error, std::size_t n) {
                if (error == asio::error::operation_aborted) {
                    return;
                }
                if (!error) {
                    counter_(buffer_.data(), n);
                    Flow& flow = FlowFor(from_);
                    asio::error_code ignored;
                    flow.socket.send(asio::buffer(buffer_.data(), n), 0, ignored);
                }
                Receive();
            });
    }

private:
    struct Flow {
        explicit Flow(asio::io_context& io) : socket(io) {}
        udp::endpoint client;
        udp::socket socket;
        std::array<std::uint8_t, kMaxDatagram> buffer{};
    };

    Flow& FlowFor(const udp::endpoint& client) {
        for (Flow& flow : flows_) {
            if (flow.client == client) {
                return flow;
            }
        }
        Flow& flow = flows_.emplace_back(io_);
        flow.client = client;
        asio::error_code ignored;
        flow.socket.open(udp::v4(), ignored);
        flow.socket.bind(udp::endpoint(target_.address(), 0), ignored);
        flow.socket.connect(target_, ignored);
        Back(flow);
        return flow;
    }

    void Back(Flow& flow) {
        flow.socket.async_receive(
            asio::buffer(flow.buffer), [this, &flow](const asio::error_code& error, std::size_t n) {
                if (error == asio::error::operation_aborted) {
                    return;
                }
                if (!error) {
                    asio::error_code ignored;
                    socket_.send_to(asio::buffer(flow.buffer.data(), n), flow.client, 0, ignored);
                }
                Back(flow);
            });
    }

    asio::io_context& io_;
    udp::socket socket_;
    udp::endpoint target_;
    Counter counter_;
    udp::endpoint from_;
    std::array<std::uint8_t, kMaxDatagram> buffer_{};
    std::list<Flow> flows_;  // stable addresses for the handlers
};

}  // namespace

struct WireTap::Impl {
    asio::io_context io;
    asio::ip::address listen;
    asio::ip::address server;
    std::list<TcpForward> tcp;
    std::list<UdpForward> udp;
};

WireTap::WireTap(std::string listenAddress, std::string serverAddress)
    : impl_(std::make_unique<Impl>()) {
    impl_->listen = asio::ip::make_address(listenAddress);
    impl_->server = asio::ip::make_address(serverAddress);
}

WireTap::~WireTap() {
    impl_->io.stop();
    if (thread_.joinable()) {
        thread_.join();
    }
}

bool WireTap::ForwardTcp(std::uint16_t port, bool media) {
    try {
        TcpPipe::Counter counter;
        if (media) {
            counter = [this](const std::uint8_t* data, std::size_t n) { Count(data, n); };
        }
        impl_->tcp
            .emplace_back(impl_->io, tcp::endpoint(impl_->listen, port),
                          tcp::endpoint(impl_->server, port), std::move(counter))
            .Accept();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool WireTap::ForwardUdp(std::uint16_t port) {
    try {
        impl_->udp
            .emplace_back(impl_->io, udp::endpoint(impl_->listen, port),
                          udp::endpoint(impl_->server, port),
                          [this](const std::uint8_t* data, std::size_t n) { Count(data, n); })
            .Receive();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

void WireTap::Start() {
    thread_ = std::thread([this] { impl_->io.run(); });
}

std::uint32_t WireTap::RtpSsrc(const std::uint8_t* data, std::size_t size) {
    // The relay's own rule: version 2, at least 12 bytes, and a second byte outside the RTCP
    // packet types (192..223); control packets start with "YM" (version 1).
    if (data == nullptr || size < 12 || (data[0] >> 6) != 2 || (data[1] >= 192 && data[1] <= 223)) {
        return 0;
    }
    return (std::uint32_t{data[8]} << 24) | (std::uint32_t{data[9]} << 16) |
           (std::uint32_t{data[10]} << 8) | data[11];
}

void WireTap::Count(const std::uint8_t* data, std::size_t size) {
    if (const std::uint32_t ssrc = RtpSsrc(data, size); ssrc != 0) {
        std::lock_guard lock(mutex_);
        ++rtp_[ssrc];
    }
}

std::uint64_t WireTap::RtpFrom(std::uint32_t ssrc) const {
    std::lock_guard lock(mutex_);
    const auto it = rtp_.find(ssrc);
    return it == rtp_.end() ? 0 : it->second;
}

std::string WireTap::Summary() const {
    std::lock_guard lock(mutex_);
    std::ostringstream out;
    for (const auto& [ssrc, count] : rtp_) {
        out << std::hex << "0x" << ssrc << std::dec << ": " << count << " ";
    }
    return out.str();
}

}  // namespace journey_e2e
