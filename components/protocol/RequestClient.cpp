#include "RequestClient.h"

#include <future>
#include <utility>

#include "Messages.h"
#include "platform/core/Log.h"

namespace yav::proto {

// A call waiting for its answer. Whoever settles it first (the answer on the I/O thread, a
// failure of the connection, or the caller giving up at its time-out) decides the outcome;
// the others find it settled and do nothing.
struct RequestClient::Pending {
    MsgType expected = MsgType::Heartbeat;
    ReplyHandler onReply;
    std::promise<std::optional<Frame>> answer;
    std::mutex mutex;
    bool settled = false;

    bool Settle() {
        std::lock_guard lock(mutex);
        return !std::exchange(settled, true);
    }
};

RequestClient::RequestClient(asio::io_context& io, Service service, std::string name)
    : io_(io), service_(service), name_(std::move(name)) {
    guard_->self = this;
}

RequestClient::~RequestClient() {
    // Waits for a handler that is running now; any later one does nothing.
    std::lock_guard lock(guard_->mutex);
    guard_->self = nullptr;
    if (link_) {
        link_->Detach();
    }
}

bool RequestClient::OnIoThread() const {
    return io_.get_executor().running_in_this_thread();
}

void RequestClient::Fail(const std::shared_ptr<Pending>& pending) {
    if (pending && pending->Settle()) {
        pending->answer.set_value(std::nullopt);
    }
}

int32_t RequestClient::Connect(const std::string& host, uint16_t port,
                               std::chrono::milliseconds timeout) {
    if (OnIoThread()) {
        return -1;
    }
    Close();
    host_ = host;
    port_ = port;
    auto connected = std::make_shared<std::promise<int32_t>>();
    auto result = connected->get_future();
    auto socket = std::make_shared<asio::ip::tcp::socket>(io_);
    auto resolver = std::make_shared<asio::ip::tcp::resolver>(io_);
    auto timer = std::make_shared<asio::steady_timer>(io_, timeout);
    auto settled = std::make_shared<bool>(false);
    const auto settle = [connected, settled, timer](int32_t code) {
        if (!*settled) {
            *settled = true;
            timer->cancel();
            connected->set_value(code);
        }
    };
    asio::post(io_, Guarded([this, host, port, socket, resolver, timer, settle, settled] {
                   timer->async_wait([socket, resolver, settle](const asio::error_code& error) {
                       if (!error) {
                           resolver->cancel();
                           asio::error_code ignored;
                           socket->close(ignored);
                           settle(-2);
                       }
                   });
                   resolver->async_resolve(
                       host, std::to_string(port),
                       Guarded([this, socket, settle, settled](
                                   const asio::error_code& error,
                                   const asio::ip::tcp::resolver::results_type& endpoints) {
                           // Once the attempt has its outcome (the time is up) nothing late may
                           // connect: async_connect would reopen the socket the time-out closed.
                           if (*settled) {
                               return;
                           }
                           if (error) {
                               YLOG_WARN("%s: cannot resolve %s: %s", name_.c_str(), host_.c_str(),
                                         error.message().c_str());
                               settle(-1);
                               return;
                           }
                           asio::async_connect(
                               *socket, endpoints,
                               Guarded([this, socket, settle, settled](
                                           const asio::error_code& connectError,
                                           const asio::ip::tcp::endpoint&) {
                                   if (*settled) {
                                       asio::error_code ignored;
                                       socket->close(ignored);
                                       return;
                                   }
                                   if (connectError) {
                                       settle(-1);
                                       return;
                                   }
                                   link_ = std::make_shared<Link>(
                                       std::move(*socket),
                                       name_ + " " + host_ + ":" + std::to_string(port_));
                                   link_->Start(this);
                                   auto hello = std::make_shared<Pending>();
                                   hello->expected = MsgType::HelloAck;
                                   hello->onReply = [this, settle, settled](const Frame& frame) {
                                       if (*settled) {
                                           // Connect already returned its time-out.
                                           link_->Close("hello answered too late");
                                           return;
                                       }
                                       if (frame.type == MsgType::Refused) {
                                           auto refused = DecodeBody<MsgRefused>(frame.body);
                                           settle(refused ? refused->code : -1);
                                           link_->Close("hello refused");
                                           return;
                                       }
                                       auto ack = DecodeBody<MsgHelloAck>(frame.body);
                                       if (!ack) {
                                           YLOG_WARN("%s: malformed hello answer", name_.c_str());
                                           link_->Close("malformed hello answer");
                                           settle(-1);
                                           return;
                                       }
                                       heartbeat_ = std::chrono::milliseconds(ack->heartbeatMs);
                                       link_->SetTiming(heartbeat_,
                                                        std::chrono::milliseconds(ack->timeoutMs));
                                       connected_ = true;
                                       settle(0);
                                   };
                                   pending_ = hello;
                                   MsgHello message;
                                   message.service = service_;
                                   link_->SendMessage(message);
                               }));
                       }));
               }));
    // The timer bounds the wait; the margin covers a busy I/O thread.
    if (result.wait_for(timeout + std::chrono::seconds(2)) != std::future_status::ready) {
        Close();
        return -2;
    }
    const int32_t code = result.get();
    if (code != 0) {
        Close();
    }
    return code;
}

std::optional<Frame> RequestClient::Call(Bytes request, MsgType expected,
                                         std::chrono::milliseconds timeout, ReplyHandler onReply) {
    if (OnIoThread() || !connected_) {
        return std::nullopt;
    }
    auto pending = std::make_shared<Pending>();
    pending->expected = expected;
    pending->onReply = std::move(onReply);
    auto answer = pending->answer.get_future();
    asio::post(io_, Guarded([this, pending, request = std::move(request)]() mutable {
                   if (!link_ || !link_->IsOpen()) {
                       Fail(pending);
                       return;
                   }
                   Fail(pending_);  // one call at a time: an older waiter gives up
                   pending_ = pending;
                   link_->Send(std::move(request));
               }));
    if (answer.wait_for(timeout) != std::future_status::ready) {
        RunHook(CallStage::TimedOut);
        if (pending->Settle()) {
            // Given up. The call stays the pending one, so that its answer, should it still
            // come, is recognised and dropped instead of being taken for an event.
            RunHook(CallStage::GaveUp);
            return std::nullopt;
        }
        // The answer (or the connection's end) settled it first: its handler has run or is
        // running and the value follows at once.
    }
    return answer.get();
}

void RequestClient::Send(Bytes frame) {
    asio::post(io_, Guarded([this, frame = std::move(frame)]() mutable {
                   if (link_ && link_->IsOpen()) {
                       link_->Send(std::move(frame));
                   }
               }));
}

void RequestClient::Close() {
    connected_ = false;
    auto closeNow = [this] {
        Fail(pending_);
        pending_.reset();
        if (link_) {
            link_->Detach();
            link_->Close("closed by the client");
            link_.reset();
        }
    };
    if (OnIoThread()) {
        closeNow();
        return;
    }
    std::promise<void> done;
    asio::post(io_, [&] {
        closeNow();
        done.set_value();
    });
    done.get_future().wait();
}

std::chrono::milliseconds RequestClient::Silence() const {
    if (!connected_ || !link_) {
        return std::chrono::milliseconds(0);
    }
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 link_->LastReceived());
}

void RequestClient::OnLinkFrame(Link&, Frame& frame) {
    if (pending_ && (frame.type == pending_->expected || frame.type == MsgType::Refused)) {
        auto pending = std::move(pending_);
        if (!pending->Settle()) {
            YLOG_WARN("%s: %s came after its call had given up, dropped", name_.c_str(),
                      MsgTypeName(frame.type));
            return;
        }
        if (pending->onReply) {
            pending->onReply(frame);
        }
        pending->answer.set_value(std::move(frame));
        return;
    }
    if (onEvent_) {
        onEvent_(frame);
    }
}

void RequestClient::OnLinkClosed(Link&, const std::string& reason) {
    const bool wasConnected = connected_.exchange(false);
    Fail(pending_);
    pending_.reset();
    if (wasConnected && onClosed_) {
        onClosed_(reason);
    }
}

}  // namespace yav::proto
