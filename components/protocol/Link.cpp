#include "Link.h"

#include <algorithm>

#include "platform/core/Log.h"

namespace yav::proto {

Link::Link(asio::ip::tcp::socket socket, std::string name, uint32_t maxFrameBytes)
    : socket_(std::move(socket)),
      name_(std::move(name)),
      assembler_(maxFrameBytes),
      heartbeatTimer_(socket_.get_executor()) {}

Link::~Link() = default;

void Link::Start(Listener* listener) {
    listener_ = listener;
    open_ = true;
    lastReceived_ = std::chrono::steady_clock::now();
    asio::error_code ignored;
    socket_.set_option(asio::ip::tcp::no_delay(true), ignored);
    ReadMore();
}

std::string Link::PeerAddress() const {
    asio::error_code error;
    const auto peer = socket_.remote_endpoint(error);
    return error ? std::string() : peer.address().to_string();
}

void Link::SetTiming(std::chrono::milliseconds heartbeat, std::chrono::milliseconds timeout) {
    heartbeat_ = heartbeat;
    timeout_ = timeout;
    lastReceived_ = std::chrono::steady_clock::now();
    nextHeartbeat_ = lastReceived_ + heartbeat_;
    ArmHeartbeat();
}

void Link::ExpectHelloWithin(std::chrono::milliseconds limit) {
    helloLimit_ = limit;
    helloDeadline_ = std::chrono::steady_clock::now() + limit;
    ArmHeartbeat();
}

void Link::HelloDone() {
    helloDeadline_.reset();
}

void Link::ArmHeartbeat() {
    if (!open_ || heartbeat_.count() <= 0) {
        return;
    }
    // Wakes for the next heartbeat, or earlier when a time-out passes first, so a silent or
    // stuck peer is dropped at its time-out and not up to a heartbeat period later.
    const auto margin = std::chrono::milliseconds(1);
    auto wake = std::min(nextHeartbeat_, lastReceived_ + timeout_ + margin);
    if (partialSince_) {
        wake = std::min(wake, *partialSince_ + timeout_ + margin);
    }
    if (helloDeadline_) {
        wake = std::min(wake, *helloDeadline_);
    }
    heartbeatTimer_.expires_at(wake);
    heartbeatTimer_.async_wait([self = shared_from_this()](const asio::error_code& error) {
        if (error || !self->open_) {
            return;
        }
        self->OnTimer();
    });
}

void Link::OnTimer() {
    using std::chrono::duration_cast;
    using std::chrono::milliseconds;
    const auto now = std::chrono::steady_clock::now();
    const auto silent = now - lastReceived_;
    if (silent > timeout_) {
        YLOG_WARN("%s: no frame for %lld ms, peer considered dead", name_.c_str(),
                  static_cast<long long>(duration_cast<milliseconds>(silent).count()));
        Close("heartbeat time-out");
        return;
    }
    if (partialSince_ && now - *partialSince_ > timeout_) {
        YLOG_WARN("%s: a frame begun %lld ms ago is still incomplete (%zu bytes), closing",
                  name_.c_str(),
                  static_cast<long long>(duration_cast<milliseconds>(now - *partialSince_).count()),
                  assembler_.Buffered());
        Close("frame time-out");
        return;
    }
    if (helloDeadline_ && now >= *helloDeadline_) {
        YLOG_WARN("%s: no hello within %lld ms, closing", name_.c_str(),
                  static_cast<long long>(helloLimit_.count()));
        Close("hello time-out");
        return;
    }
    if (now >= nextHeartbeat_) {
        nextHeartbeat_ = now + heartbeat_;
        Send(MakeFrame(MsgType::Heartbeat, {}));
    }
    ArmHeartbeat();
}

void Link::ReadMore() {
    socket_.async_read_some(
        asio::buffer(readBuffer_),
        [self = shared_from_this()](const asio::error_code& error, size_t length) {
            if (!self->open_) {
                return;
            }
            if (error) {
                self->Close(error == asio::error::eof ? "peer closed" : error.message());
                return;
            }
            const auto now = std::chrono::steady_clock::now();
            self->lastReceived_ = now;
            self->assembler_.Append(std::span<const uint8_t>(self->readBuffer_.data(), length));
            Frame frame;
            for (;;) {
                const auto result = self->assembler_.Next(frame);
                if (result == FrameAssembler::Result::NeedMore) {
                    // What is left is the start of the next frame; it began now unless it
                    // was already under way before this read.
                    if (self->assembler_.Buffered() == 0) {
                        self->partialSince_.reset();
                    } else if (!self->partialSince_) {
                        self->partialSince_ = now;
                    }
                    break;
                }
                if (result == FrameAssembler::Result::Malformed) {
                    YLOG_WARN("%s: malformed frame length, closing", self->name_.c_str());
                    self->Close("malformed frame");
                    return;
                }
                // A whole frame came: any rest belongs to a frame begun in this read.
                self->partialSince_.reset();
                if (frame.type == MsgType::Heartbeat) {
                    continue;
                }
                if (self->listener_) {
                    self->listener_->OnLinkFrame(*self, frame);
                }
                if (!self->open_) {
                    return;
                }
            }
            self->ReadMore();
        });
}

void Link::Send(Bytes frame) {
    if (!open_ || closeAfterFlush_) {
        return;
    }
    pendingBytes_ += frame.size();
    if (pendingBytes_ > kMaxPendingBytes) {
        YLOG_WARN("%s: %zu bytes unread by the peer, dropping it", name_.c_str(), pendingBytes_);
        // Closed from the queue, never inside Send: senders may be walking a list that the
        // close handler changes (the server's participants).
        closeAfterFlush_ = true;
        closeReason_ = "peer too slow";
        asio::post(socket_.get_executor(),
                   [self = shared_from_this()] { self->Close(self->closeReason_); });
        return;
    }
    writeQueue_.push_back(std::move(frame));
    WriteNext();
}

void Link::WriteNext() {
    if (writing_ || !open_) {
        return;
    }
    if (writeQueue_.empty()) {
        if (closeAfterFlush_) {
            Close(closeReason_);
        }
        return;
    }
    writing_ = true;
    asio::async_write(socket_, asio::buffer(writeQueue_.front()),
                      [self = shared_from_this()](const asio::error_code& error, size_t) {
                          self->writing_ = false;
                          if (!self->open_) {
                              return;
                          }
                          if (error) {
                              self->Close(error.message());
                              return;
                          }
                          self->pendingBytes_ -= self->writeQueue_.front().size();
                          self->writeQueue_.pop_front();
                          self->WriteNext();
                      });
}

void Link::CloseAfterFlush(const std::string& reason) {
    if (!open_) {
        return;
    }
    closeAfterFlush_ = true;
    closeReason_ = reason;
    if (!writing_ && writeQueue_.empty()) {
        Close(reason);
    }
}

void Link::Close(const std::string& reason) {
    if (!open_) {
        return;
    }
    Finish(reason);
}

void Link::Finish(const std::string& reason) {
    open_ = false;
    asio::error_code ignored;
    heartbeatTimer_.cancel();
    socket_.shutdown(asio::ip::tcp::socket::shutdown_both, ignored);
    socket_.close(ignored);
    writeQueue_.clear();
    pendingBytes_ = 0;
    Listener* listener = listener_;
    listener_ = nullptr;
    if (listener) {
        listener->OnLinkClosed(*this, reason);
    }
}

}  // namespace yav::proto
