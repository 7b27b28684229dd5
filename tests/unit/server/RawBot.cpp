#include "RawBot.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "ServerConfig.h"

namespace yav::test {

using namespace yav::proto;

RawBot::RawBot(uint16_t port, const char* sourceAddress) {
    fd_ = socket(AF_INET, SOCK_STREAM, 0);
    if (fd_ >= 0 && sourceAddress) {
        sockaddr_in source{};
        source.sin_family = AF_INET;
        inet_pton(AF_INET, sourceAddress, &source.sin_addr);
        if (bind(fd_, reinterpret_cast<sockaddr*>(&source), sizeof source) != 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd_ >= 0 && connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

RawBot::~RawBot() {
    Close();
}

void RawBot::Close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

bool RawBot::SendBytes(const Bytes& bytes) {
    size_t sent = 0;
    while (fd_ >= 0 && sent < bytes.size()) {
        const ssize_t written = ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (written <= 0) {
            return false;
        }
        sent += static_cast<size_t>(written);
    }
    lastSent_ = std::chrono::steady_clock::now();
    return fd_ >= 0;
}

bool RawBot::ReadSome(std::chrono::milliseconds limit) {
    if (fd_ < 0 || peerClosed_) {
        return false;
    }
    // A bot that is waiting for frames is alive: it says so as a client would.
    const auto now = std::chrono::steady_clock::now();
    if (now - lastSent_ > std::chrono::milliseconds(50)) {
        SendBytes(MakeFrame(MsgType::Heartbeat, {}));
    }
    pollfd poller{fd_, POLLIN, 0};
    const auto wait = std::min(limit, std::chrono::milliseconds(50));
    if (poll(&poller, 1, static_cast<int>(wait.count())) <= 0) {
        return false;
    }
    uint8_t buffer[65536];
    const ssize_t length = ::recv(fd_, buffer, sizeof buffer, 0);
    if (length <= 0) {
        peerClosed_ = true;
        return false;
    }
    assembler_.Append(std::span<const uint8_t>(buffer, static_cast<size_t>(length)));
    return true;
}

std::optional<Frame> RawBot::Receive(std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        Frame frame;
        while (assembler_.Next(frame) == FrameAssembler::Result::Frame) {
            if (frame.type != MsgType::Heartbeat) {
                return frame;
            }
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || !ReadSome(left)) {
            if (std::chrono::steady_clock::now() >= deadline || peerClosed_ || fd_ < 0) {
                return std::nullopt;
            }
        }
    }
}

std::optional<Frame> RawBot::ReceiveType(MsgType type, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return std::nullopt;
        }
        auto frame = Receive(left);
        if (!frame || frame->type == type) {
            return frame;
        }
    }
}

bool RawBot::WaitClosed(std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!peerClosed_ && std::chrono::steady_clock::now() < deadline) {
        ReadSome(std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now()));
        Frame ignored;
        while (assembler_.Next(ignored) == FrameAssembler::Result::Frame) {
        }
    }
    return peerClosed_;
}

bool RawBot::Greet(Service service) {
    MsgHello hello;
    hello.service = service;
    greeted_ = Send(hello) && ReceiveMessage<MsgHelloAck>().has_value();
    return greeted_;
}

int32_t RawBot::Login(uint32_t confId, const std::string& name, const std::string& password,
                      uint8_t mode, uint16_t clientVersion) {
    if (!greeted_ && !Greet()) {
        return -1;
    }
    MsgLoginRequest request;
    request.confId = confId;
    request.name = name;
    request.passwordDigest = password.empty() ? "" : yav::server::PasswordDigest(password);
    request.mode = mode;
    request.clientVersion = clientVersion;
    if (!Send(request)) {
        return -1;
    }
    auto response = ReceiveMessage<MsgLoginResponse>();
    if (!response) {
        return -2;
    }
    if (response->result == 0) {
        userId_ = response->loginInfo.userId;
        mediaTicket_ = response->mediaTicket;
        departments_ = response->departments;
        participants_ = response->users;
        conferenceMode_ = response->appInfo.conferenceMode;
    }
    return response->result;
}

}  // namespace yav::test
