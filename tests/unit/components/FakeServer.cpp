#include "FakeServer.h"

#include <sys/socket.h>

namespace yav::test {

using namespace yav::proto;

FakeServer::FakeServer(Script onLogin, uint32_t heartbeatMs, uint32_t timeoutMs)
    : acceptor_(io_, asio::ip::tcp::endpoint(asio::ip::make_address("127.0.0.1"), 0)),
      onLogin_(std::move(onLogin)),
      heartbeatMs_(heartbeatMs),
      timeoutMs_(timeoutMs) {
    port_ = acceptor_.local_endpoint().port();
    thread_ = std::thread([this] { Serve(); });
}

FakeServer::~FakeServer() {
    stopping_ = true;
    // Shutting the sockets down (not closing them) wakes the serving thread's blocking
    // accept or read; they are closed once that thread is done.
    ::shutdown(acceptor_.native_handle(), SHUT_RDWR);
    {
        std::lock_guard guard(lock_);
        if (socket_) {
            ::shutdown(socket_->native_handle(), SHUT_RDWR);
        }
    }
    thread_.join();
}

void FakeServer::Send(Bytes bytes) {
    std::lock_guard guard(lock_);
    if (socket_) {
        asio::error_code ignored;
        asio::write(*socket_, asio::buffer(bytes), ignored);
    }
}

std::vector<MsgType> FakeServer::Received() {
    std::lock_guard guard(lock_);
    return received_;
}

void FakeServer::Serve() {
    while (!stopping_) {
        auto socket = std::make_shared<asio::ip::tcp::socket>(io_);
        asio::error_code error;
        acceptor_.accept(*socket, error);
        if (error) {
            return;
        }
        {
            std::lock_guard guard(lock_);
            socket_ = socket;
        }
        FrameAssembler assembler;
        uint8_t buffer[4096];
        auto lastBeat = std::chrono::steady_clock::now();
        socket->non_blocking(true, error);
        for (;;) {
            // Poll with a short wait so heartbeats keep going out.
            const size_t length = socket->read_some(asio::buffer(buffer), error);
            if (error == asio::error::would_block) {
                if (!silent_ && std::chrono::steady_clock::now() - lastBeat >
                                    std::chrono::milliseconds(heartbeatMs_)) {
                    Send(MakeFrame(MsgType::Heartbeat, {}));
                    lastBeat = std::chrono::steady_clock::now();
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
                continue;
            }
            if (error || stopping_) {
                break;
            }
            if (silent_) {
                continue;
            }
            assembler.Append(std::span<const uint8_t>(buffer, length));
            Frame frame;
            while (assembler.Next(frame) == FrameAssembler::Result::Frame) {
                {
                    std::lock_guard guard(lock_);
                    received_.push_back(frame.type);
                }
                if (frame.type == MsgType::Hello) {
                    Send(EncodeFrame(MsgHelloAck{kProtocolVersion, heartbeatMs_, timeoutMs_}));
                } else if (frame.type == MsgType::LoginRequest) {
                    if (auto request = DecodeBody<MsgLoginRequest>(frame.body)) {
                        Send(onLogin_(*request));
                    }
                } else {
                    std::function<Bytes(const Frame&)> onRequest;
                    {
                        std::lock_guard guard(lock_);
                        onRequest = onRequest_;
                    }
                    if (onRequest) {
                        Send(onRequest(frame));
                    }
                }
            }
        }
        std::lock_guard guard(lock_);
        socket_.reset();
    }
}

}  // namespace yav::test
