#pragma once
// One framed TCP connection on an Asio io_context, used by both yavserver and the components:
// it cuts the stream into frames (closing on a malformed length), queues writes, sends
// heartbeats, and closes a peer that stays silent longer than the time-out or leaves a frame
// unfinished that long (bytes trickled into a frame keep a peer from being silent, not from
// being stuck). Every member runs on the io_context's thread; other threads go through Post.

#include <asio.hpp>
#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "Frame.h"

namespace yav::proto {

class Link : public std::enable_shared_from_this<Link> {
public:
    class Listener {
    public:
        // A frame other than a heartbeat.
        virtual void OnLinkFrame(Link& link, Frame& frame) = 0;
        // Called once when the link closes, for whatever reason.
        virtual void OnLinkClosed(Link& link, const std::string& reason) = 0;

    protected:
        ~Listener() = default;
    };

    // Most bytes a peer may leave unread before it is dropped as too slow (the close comes
    // from the queue, never from inside Send).
    static constexpr size_t kMaxPendingBytes = 16u << 20;

    Link(asio::ip::tcp::socket socket, std::string name, uint32_t maxFrameBytes = kMaxFrameBytes);
    ~Link();
    Link(const Link&) = delete;
    Link& operator=(const Link&) = delete;

    // Starts reading; frames and the close go to listener (which must outlive the link or
    // call Detach first).
    void Start(Listener* listener);
    void Detach() { listener_ = nullptr; }
    // Starts (or changes) heartbeats: a heartbeat goes out every heartbeat interval, and
    // silence longer than the time-out, or a frame begun and not finished within it, closes
    // the link.
    void SetTiming(std::chrono::milliseconds heartbeat, std::chrono::milliseconds timeout);
    // Closes the link when HelloDone has not been called within limit (after SetTiming).
    void ExpectHelloWithin(std::chrono::milliseconds limit);
    void HelloDone();

    void Send(Bytes frame);
    template <class Message>
    void SendMessage(const Message& message) {
        Send(EncodeFrame(message));
    }
    // Closes now (pending writes are dropped).
    void Close(const std::string& reason);
    // Sends what is queued, then closes.
    void CloseAfterFlush(const std::string& reason);

    bool IsOpen() const { return open_; }
    const std::string& Name() const { return name_; }
    // The peer's IP address as text (empty when the socket has none).
    std::string PeerAddress() const;
    size_t PendingBytes() const { return pendingBytes_; }
    // When the last bytes came in (heartbeats included).
    std::chrono::steady_clock::time_point LastReceived() const { return lastReceived_; }
    asio::any_io_executor Executor() { return socket_.get_executor(); }

private:
    void ReadMore();
    void WriteNext();
    void ArmHeartbeat();
    void OnTimer();
    void Finish(const std::string& reason);

    asio::ip::tcp::socket socket_;
    std::string name_;
    FrameAssembler assembler_;
    Listener* listener_ = nullptr;
    std::array<uint8_t, 16384> readBuffer_{};
    std::deque<Bytes> writeQueue_;
    size_t pendingBytes_ = 0;
    bool writing_ = false;
    bool open_ = false;
    bool closeAfterFlush_ = false;
    std::string closeReason_;
    asio::steady_timer heartbeatTimer_;
    std::chrono::milliseconds heartbeat_{0};
    std::chrono::milliseconds timeout_{0};
    std::chrono::steady_clock::time_point lastReceived_;
    std::chrono::steady_clock::time_point nextHeartbeat_;
    // When the first byte of the frame still being received came; unset between frames.
    std::optional<std::chrono::steady_clock::time_point> partialSince_;
    std::optional<std::chrono::steady_clock::time_point> helloDeadline_;
    std::chrono::milliseconds helloLimit_{0};
};

}  // namespace yav::proto
