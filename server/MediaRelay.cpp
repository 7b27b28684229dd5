#include "MediaRelay.h"

#include <deque>

#include "platform/core/Log.h"

namespace yav::server {

namespace {

constexpr auto kSweepEvery = std::chrono::seconds(5);
constexpr int kBindTries = 20;  // a free UDP port whose TCP twin is taken is tried again

}  // namespace

// A client's UDP address: packets go out through the relay's one socket, one at a time.
class MediaRelay::UdpPeer final : public RelayPeer, public std::enable_shared_from_this<UdpPeer> {
public:
    UdpPeer(MediaRelay& relay, asio::ip::udp::endpoint endpoint)
        : relay_(relay), endpoint_(std::move(endpoint)) {}

    bool Send(const RelayPacket& packet) override {
        if (queue_.size() >= relay_.config_.relayQueuePackets) {
            return false;
        }
        queue_.push_back(packet);
        if (!sending_) {
            SendNext();
        }
        return true;
    }
    // What is queued still goes out (a refusal or the last packets before a leave).
    void End() override { relay_.udpPeers_.erase(endpoint_); }
    std::string Name() const override {
        return "udp " + endpoint_.address().to_string() + ":" + std::to_string(endpoint_.port());
    }
    std::string ClaimedAddress() const override {
        return endpoint_.address().to_string() + ":" + std::to_string(endpoint_.port());
    }

private:
    void SendNext() {
        sending_ = true;
        relay_.udp_.async_send_to(
            asio::buffer(*queue_.front()), endpoint_,
            [self = shared_from_this()](const asio::error_code& error, size_t) {
                self->sending_ = false;
                if (error == asio::error::operation_aborted || self->relay_.stopping_) {
                    return;
                }
                self->queue_.pop_front();
                if (!self->queue_.empty()) {
                    self->SendNext();
                }
            });
    }

    MediaRelay& relay_;
    asio::ip::udp::endpoint endpoint_;
    std::deque<RelayPacket> queue_;
    bool sending_ = false;
};

// A client's TCP connection: RFC 4571 frames both ways. A zero or oversized frame length ends
// it; so does a session that ends, or no accepted hello within the hello time-out.
class MediaRelay::TcpPeer final : public RelayPeer, public std::enable_shared_from_this<TcpPeer> {
public:
    TcpPeer(MediaRelay& relay, asio::ip::tcp::socket socket, std::string name,
            std::unique_ptr<PendingLimit::Place> place)
        : relay_(relay),
          socket_(std::move(socket)),
          helloTimer_(relay.io_),
          name_(std::move(name)),
          place_(std::move(place)) {}

    void Start() {
        helloTimer_.expires_after(relay_.config_.helloTimeout);
        helloTimer_.async_wait([self = shared_from_this()](const asio::error_code& error) {
            if (!error && !self->closed_ && !self->relay_.router_.HasSession(*self)) {
                self->Close("no accepted hello in time");
            }
        });
        ReadMore();
    }

    bool Send(const RelayPacket& packet) override {
        if (closed_ || ending_ || queue_.size() >= relay_.config_.relayQueuePackets) {
            return false;
        }
        queue_.push_back(relay::Frame4571(packet->data(), packet->size()));
        if (!writing_) {
            WriteNext();
        }
        return true;
    }
    void End() override {
        ending_ = true;
        if (!writing_) {
            Close("session ended");
        }
    }
    std::string Name() const override { return name_; }

    void Close(const char* why) {
        if (closed_) {
            return;
        }
        closed_ = true;
        helloTimer_.cancel();
        asio::error_code ignored;
        socket_.close(ignored);
        // Anybody may open and close connections: the lines they cause are limited.
        uint64_t held = 0;
        if (relay_.connectionLog_.Allow(RateLimitedLog::Clock::now(), &held)) {
            YLOG_INFO("media relay: %s closed: %s (%llu lines like it held back before)",
                      name_.c_str(), why, static_cast<unsigned long long>(held));
        }
        auto self = shared_from_this();
        relay_.router_.OnPeerGone(*this);
        relay_.tcpPeers_.erase(self);
    }

private:
    void ReadMore() {
        socket_.async_read_some(
            asio::buffer(buffer_),
            [self = shared_from_this()](const asio::error_code& error, size_t length) {
                if (self->closed_ || error == asio::error::operation_aborted) {
                    return;
                }
                if (error) {
                    return self->Close(error == asio::error::eof ? "closed by the client"
                                                                 : "read failed");
                }
                self->OnBytes(length);
            });
    }

    void OnBytes(size_t length) {
        if (!deframer_.Push(buffer_.data(), length)) {
            return Close("frame length 0 or over 1500");
        }
        auto self = shared_from_this();
        while (auto packet = deframer_.Next()) {
            relay_.router_.OnPacket(self, packet->data(), packet->size());
            if (closed_ || ending_) {
                return;
            }
        }
        if (deframer_.Bad()) {
            return Close("frame length 0 or over 1500");
        }
        if (place_ && relay_.router_.HasSession(*this)) {
            place_.reset();  // no longer a connection without a session
        }
        ReadMore();
    }

    void WriteNext() {
        writing_ = true;
        asio::async_write(socket_, asio::buffer(queue_.front()),
                          [self = shared_from_this()](const asio::error_code& error, size_t) {
                              self->writing_ = false;
                              if (self->closed_ || error == asio::error::operation_aborted) {
                                  return;
                              }
                              if (error) {
                                  return self->Close("write failed");
                              }
                              self->queue_.pop_front();
                              if (!self->queue_.empty()) {
                                  self->WriteNext();
                              } else if (self->ending_) {
                                  self->Close("session ended");
                              }
                          });
    }

    MediaRelay& relay_;
    asio::ip::tcp::socket socket_;
    asio::steady_timer helloTimer_;
    std::string name_;
    std::unique_ptr<PendingLimit::Place> place_;
    relay::Deframer4571 deframer_;
    std::array<uint8_t, 4096> buffer_{};
    std::deque<std::vector<uint8_t>> queue_;
    bool writing_ = false;
    bool ending_ = false;
    bool closed_ = false;
};

MediaRelay::MediaRelay(asio::io_context& io, MediaGate& gate, const ServerConfig& config)
    : io_(io),
      config_(config),
      udp_(io),
      acceptor_(io),
      sweepTimer_(io),
      pending_("media", config.maxPendingConnections, config.maxPendingPerAddress),
      router_(gate) {}

MediaRelay::~MediaRelay() {
    // Pending handlers hold the peers; none may reach back into a relay that is gone.
    stopping_ = true;
    udpPeers_.clear();
    tcpPeers_.clear();
}

bool MediaRelay::Start(const asio::ip::address& address, uint16_t port) {
    address_ = address;
    for (int attempt = 0; attempt < kBindTries; ++attempt) {
        if (Bind(address, port)) {
            YLOG_INFO("media relay on %s:%u (UDP and TCP)", address.to_string().c_str(), port_);
            Receive();
            Accept();
            ArmSweep();
            return true;
        }
        if (port != 0) {
            break;
        }
    }
    YLOG_ERROR("media relay cannot bind UDP and TCP port %u on %s", port,
               address.to_string().c_str());
    return false;
}

bool MediaRelay::Bind(const asio::ip::address& address, uint16_t port) {
    asio::error_code error;
    asio::error_code ignored;
    udp_.close(ignored);
    acceptor_.close(ignored);
    const asio::ip::udp::endpoint udpEndpoint(address, port);
    udp_.open(udpEndpoint.protocol(), error);
    if (!error) {
        udp_.bind(udpEndpoint, error);
    }
    if (error) {
        YLOG_WARN("media relay: UDP %s:%u: %s", address.to_string().c_str(), port,
                  error.message().c_str());
        return false;
    }
    // TCP takes the port UDP got, so one number serves both.
    const asio::ip::tcp::endpoint tcpEndpoint(address, udp_.local_endpoint().port());
    acceptor_.open(tcpEndpoint.protocol(), error);
    if (!error) {
        acceptor_.set_option(asio::ip::tcp::acceptor::reuse_address(true), error);
        acceptor_.bind(tcpEndpoint, error);
    }
    if (!error) {
        acceptor_.listen(asio::socket_base::max_listen_connections, error);
    }
    if (error) {
        YLOG_WARN("media relay: TCP %s:%u: %s", address.to_string().c_str(), tcpEndpoint.port(),
                  error.message().c_str());
        return false;
    }
    port_ = tcpEndpoint.port();
    return true;
}

void MediaRelay::Stop() {
    stopping_ = true;
    asio::error_code ignored;
    udp_.close(ignored);
    acceptor_.close(ignored);
    sweepTimer_.cancel();
    const auto peers = tcpPeers_;
    for (const auto& peer : peers) {
        peer->Close("server stopping");
    }
}

bool MediaRelay::Restart() {
    Stop();
    router_.EndAll();
    udpPeers_.clear();
    // Handlers of the closed sockets still queued see operation_aborted and end there.
    stopping_ = false;
    const uint16_t port = port_;
    if (!Bind(address_, port)) {
        stopping_ = true;
        YLOG_ERROR("media relay cannot bind port %u again after its restart", port);
        return false;
    }
    Receive();
    Accept();
    ArmSweep();
    YLOG_INFO("media relay restarted on %s:%u: every session ended", address_.to_string().c_str(),
              port);
    return true;
}

void MediaRelay::Receive() {
    udp_.async_receive_from(
        asio::buffer(buffer_), sender_, [this](const asio::error_code& error, size_t length) {
            if (stopping_ || error == asio::error::operation_aborted) {
                return;
            }
            if (!error) {
                // Anything longer than the largest packet arrives cut to the buffer: dropped.
                const size_t size = length <= relay::kMaxPacket ? length : 0;
                // The packet may end the session (and so the map entry): no iterator is kept.
                const auto it = udpPeers_.find(sender_);
                const bool known = it != udpPeers_.end();
                std::shared_ptr<UdpPeer> peer =
                    known ? it->second : std::make_shared<UdpPeer>(*this, sender_);
                router_.OnPacket(peer, buffer_.data(), size);
                // Only an address with a session is remembered: a stranger costs nothing.
                if (!known && router_.HasSession(*peer)) {
                    udpPeers_[sender_] = peer;
                }
            }
            Receive();
        });
}

void MediaRelay::Accept() {
    acceptor_.async_accept([this](const asio::error_code& error, asio::ip::tcp::socket socket) {
        if (stopping_ || error == asio::error::operation_aborted) {
            return;
        }
        if (!error) {
            asio::error_code endpointError;
            const auto remote = socket.remote_endpoint(endpointError);
            const std::string address =
                endpointError ? std::string() : remote.address().to_string();
            if (auto place = pending_.Admit(address)) {
                asio::error_code ignored;
                socket.set_option(asio::ip::tcp::no_delay(true), ignored);
                auto peer = std::make_shared<TcpPeer>(
                    *this, std::move(socket),
                    "tcp#" + std::to_string(nextConnection_++) + " " + address + ":" +
                        std::to_string(endpointError ? 0 : remote.port()),
                    std::move(place));
                tcpPeers_.insert(peer);
                peer->Start();
            }
        }
        Accept();
    });
}

void MediaRelay::ArmSweep() {
    sweepTimer_.expires_after(kSweepEvery);
    sweepTimer_.async_wait([this](const asio::error_code& error) {
        if (!error && !stopping_) {
            router_.Sweep();
            ArmSweep();
        }
    });
}

}  // namespace yav::server
