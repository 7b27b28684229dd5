#pragma once
// A scripted server for component tests: it accepts one connection at a time, answers the
// hello, and on a login (or any other request) sends whatever bytes the test prepared, so a
// test can feed the component well-formed, malformed or missing answers.

#include <asio.hpp>
#include <atomic>
#include <functional>
#include <mutex>
#include <thread>

#include "Frame.h"
#include "Messages.h"

namespace yav::test {

class FakeServer {
public:
    // onLogin returns the bytes sent back for a login request.
    using Script = std::function<proto::Bytes(const proto::MsgLoginRequest&)>;

    explicit FakeServer(Script onLogin, uint32_t heartbeatMs = 100, uint32_t timeoutMs = 600);
    ~FakeServer();

    uint16_t Port() const { return port_; }
    // Answers frames other than the hello and a login (set before a client connects).
    void SetRequestScript(std::function<proto::Bytes(const proto::Frame&)> onRequest) {
        std::lock_guard guard(lock_);
        onRequest_ = std::move(onRequest);
    }
    // Sends bytes on the current connection (after login).
    void Send(proto::Bytes bytes);
    // Stops answering and sending heartbeats, keeping the connection open.
    void GoSilent() { silent_ = true; }
    // Every frame type the server received.
    std::vector<proto::MsgType> Received();

private:
    void Serve();

    asio::io_context io_;
    asio::ip::tcp::acceptor acceptor_;
    Script onLogin_;
    std::function<proto::Bytes(const proto::Frame&)> onRequest_;
    uint32_t heartbeatMs_;
    uint32_t timeoutMs_;
    uint16_t port_ = 0;
    std::atomic<bool> silent_{false};
    std::atomic<bool> stopping_{false};
    std::mutex lock_;
    std::shared_ptr<asio::ip::tcp::socket> socket_;
    std::vector<proto::MsgType> received_;
    std::thread thread_;
};

}  // namespace yav::test
