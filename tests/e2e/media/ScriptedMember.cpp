#include "ScriptedMember.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

namespace yav::test {

namespace {
constexpr uint32_t kDemoConference = 900001;
}  // namespace

ScriptedMember::ScriptedMember(uint16_t conferencePort, uint16_t mediaPort,
                               const std::string& name) {
    if (bot_.Login(conferencePort, kDemoConference, name, "", 1) != 0) {
        return;
    }
    id_ = bot_.UserId();
    fd_ = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in relayAddress{};
    relayAddress.sin_family = AF_INET;
    relayAddress.sin_port = htons(mediaPort);
    relayAddress.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::connect(fd_, reinterpret_cast<sockaddr*>(&relayAddress), sizeof relayAddress);
    hello_.type = relay::Type::Hello;
    hello_.hello.ticket = bot_.Cs().GetMediaTicket();
    hello_.hello.conferenceId = kDemoConference;
    hello_.hello.mediaId = id_;
    SendControl(hello_);
    thread_ = std::thread([this] { Run(); });
}

ScriptedMember::~ScriptedMember() {
    stop_ = true;
    if (thread_.joinable()) {
        thread_.join();
    }
    if (fd_ >= 0) {
        ::close(fd_);
    }
    bot_.Cs().Logout();
}

void ScriptedMember::SendControl(const relay::Control& control) {
    Send(relay::Encode(control));
}

void ScriptedMember::Send(const std::vector<uint8_t>& packet) {
    (void)::send(fd_, packet.data(), packet.size(), 0);
}

void ScriptedMember::Subscribe(uint16_t mediaId, relay::Kind kind, bool on) {
    relay::Control subscribe;
    subscribe.type = relay::Type::Subscribe;
    subscribe.subscribe = {mediaId, kind, on};
    SendControl(subscribe);
}

uint64_t ScriptedMember::Received(uint16_t mediaId, relay::Kind kind) const {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = received_.find({mediaId, kind});
    return it == received_.end() ? 0 : it->second;
}

void ScriptedMember::Run() {
    auto nextTick = std::chrono::steady_clock::now();
    uint8_t buffer[2048];
    while (!stop_) {
        const auto now = std::chrono::steady_clock::now();
        if (now >= nextTick) {
            nextTick = now + std::chrono::milliseconds(100);
            if (accepted_) {
                relay::Control tick;
                tick.type = relay::Type::Keepalive;
                ++keepalivesSent_;  // counted before it leaves: see KeepalivesSent
                SendControl(tick);
            } else {
                SendControl(hello_);
            }
        }
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, 20) <= 0) {
            continue;
        }
        const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
        if (n <= 0) {
            continue;
        }
        const auto size = static_cast<size_t>(n);
        switch (relay::Classify(buffer, size)) {
            case relay::PacketClass::Rtp: {
                if (const auto stream = relay::ParseSsrc(*relay::SenderSsrc(buffer, size))) {
                    std::lock_guard<std::mutex> lock(mutex_);
                    ++received_[*stream];
                }
                break;
            }
            case relay::PacketClass::Control: {
                const auto control = relay::Decode(buffer, size);
                if (!control) {
                    break;
                }
                if (control->type == relay::Type::Cookie) {
                    hello_.hello.hasCookie = true;
                    hello_.hello.cookie = control->cookie;
                    SendControl(hello_);
                } else if (control->type == relay::Type::HelloAck) {
                    accepted_ = control->result == relay::HelloResult::Ok;
                } else if (control->type == relay::Type::Keepalive) {
                    ++keepalives_;
                }
                break;
            }
            default:
                break;
        }
    }
}

}  // namespace yav::test
