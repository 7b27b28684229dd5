#include "ServerSession.h"

#include "platform/core/Log.h"

namespace yav::server {

using namespace yav::proto;

ServerSession::ServerSession(std::shared_ptr<Link> link, Service service,
                             const ServerConfig& config, std::unique_ptr<PendingLimit::Place> place)
    : link_(std::move(link)), service_(service), config_(config), place_(std::move(place)) {}

void ServerSession::Start() {
    link_->Start(this);
    link_->SetTiming(config_.heartbeat, config_.timeout);
    // Bytes that never make a hello (heartbeats, a frame fed a byte at a time) would keep the
    // connection from ever being silent.
    link_->ExpectHelloWithin(config_.helloTimeout);
}

void ServerSession::Reject(const Frame& frame, const char* what) {
    YLOG_WARN("%s: %s %s (0x%04x, %zu bytes), closing the connection", link_->Name().c_str(), what,
              MsgTypeName(frame.type), static_cast<unsigned>(frame.type), frame.body.size());
    link_->Close(what);
}

void ServerSession::OnLinkFrame(Link&, Frame& frame) {
    if (greeted_) {
        OnFrame(frame);
        return;
    }
    if (frame.type != MsgType::Hello) {
        Reject(frame, "expected a hello, got");
        return;
    }
    auto hello = DecodeBody<MsgHello>(frame.body);
    if (!hello || hello->service != service_) {
        Reject(frame, "malformed or wrong-service");
        return;
    }
    if (hello->version != kProtocolVersion) {
        YLOG_WARN("%s: protocol version %u refused (server speaks %u)", link_->Name().c_str(),
                  hello->version, kProtocolVersion);
        MsgRefused refused;
        refused.code = ERR_PROTOCOL;
        link_->SendMessage(refused);
        link_->CloseAfterFlush("protocol version refused");
        return;
    }
    greeted_ = true;
    link_->HelloDone();
    MsgHelloAck ack;
    ack.heartbeatMs = static_cast<uint32_t>(config_.heartbeat.count());
    ack.timeoutMs = static_cast<uint32_t>(config_.timeout.count());
    link_->SendMessage(ack);
}

void ServerSession::OnLinkClosed(Link&, const std::string& reason) {
    place_.reset();
    OnClosed(reason);
}

}  // namespace yav::server
