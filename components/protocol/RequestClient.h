#pragma once
// The client side of a server connection, for the components: a blocking connect (with the
// hello) and blocking request/answer calls for callers on any thread, while frames that
// answer nothing (events) and the connection's end go to callbacks on the I/O thread.

#include <asio.hpp>
#include <chrono>
#include <concepts>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "Link.h"

namespace yav::proto {

class RequestClient final : public Link::Listener {
public:
    using EventHandler = std::function<void(Frame&)>;
    using ClosedHandler = std::function<void(const std::string& reason)>;
    using ReplyHandler = std::function<void(const Frame&)>;
    // Where a call that ran out of time stands; tests use the hook to make an answer arrive
    // exactly there.
    enum class CallStage {
        TimedOut,  // the wait ended; an answer may still win
        GaveUp,    // the call settled on no answer; a later answer is dropped
    };
    using CallStageHook = std::function<void(CallStage)>;

    RequestClient(asio::io_context& io, Service service, std::string name);
    ~RequestClient();
    RequestClient(const RequestClient&) = delete;
    RequestClient& operator=(const RequestClient&) = delete;

    // Both run on the I/O thread. Set them before Connect.
    void SetEventHandler(EventHandler handler) { onEvent_ = std::move(handler); }
    void SetClosedHandler(ClosedHandler handler) { onClosed_ = std::move(handler); }

    // Connects and exchanges the hello; 0 on success, -1 no connection, -2 no answer in
    // time, or the server's refusal code. Closes any earlier connection first (silently).
    int32_t Connect(const std::string& host, uint16_t port, std::chrono::milliseconds timeout);
    // Sends request and waits for the frame of type expected (or a Refused frame). The reply
    // handler, when given, runs on the I/O thread before any later frame is handled. Nothing
    // when the connection is gone or the time is up. The outcome is single-valued: the reply
    // handler runs exactly when the answer is returned; an answer that comes after the call
    // gave up is dropped unhandled. Must not be called on the I/O thread.
    std::optional<Frame> Call(Bytes request, MsgType expected, std::chrono::milliseconds timeout,
                              ReplyHandler onReply = {});
    // Sends without waiting (dropped when not connected).
    void Send(Bytes frame);
    // Closes without calling the closed handler; waits until done.
    void Close();
    // Runs on the calling thread of a call that ran out of time (set before calling).
    void SetCallStageHook(CallStageHook hook) { callStageHook_ = std::move(hook); }

    bool IsConnected() const { return connected_; }
    const std::string& Host() const { return host_; }
    uint16_t Port() const { return port_; }
    // How long the server has been silent (0 when not connected); I/O thread only.
    std::chrono::milliseconds Silence() const;
    std::chrono::milliseconds Heartbeat() const { return heartbeat_; }

private:
    struct Pending;
    // What the handlers this object queues on the I/O thread hold instead of a bare this: a
    // resolve, connect or post that completes after the object is gone finds it cleared.
    struct Guard {
        std::recursive_mutex mutex;
        RequestClient* self = nullptr;
    };
    template <class Handler>
    auto Guarded(Handler handler) {
        // Constrained so that asio still sees which completion signature the handler takes.
        return [ guard = guard_, handler = std::move(handler) ]<class... Args>(
            Args && ... args) mutable requires std::invocable<Handler&, Args&&...> {
            std::lock_guard lock(guard->mutex);
            if (guard->self) {
                handler(std::forward<Args>(args)...);
            }
        };
    }
    void OnLinkFrame(Link& link, Frame& frame) override;
    void OnLinkClosed(Link& link, const std::string& reason) override;
    void Fail(const std::shared_ptr<Pending>& pending);
    void RunHook(CallStage stage) const {
        if (callStageHook_) {
            callStageHook_(stage);
        }
    }
    bool OnIoThread() const;

    asio::io_context& io_;
    Service service_;
    std::string name_;
    std::shared_ptr<Link> link_;        // I/O thread
    std::shared_ptr<Pending> pending_;  // I/O thread: the call waiting for its answer
    EventHandler onEvent_;
    ClosedHandler onClosed_;
    std::atomic<bool> connected_{false};
    std::string host_;
    uint16_t port_ = 0;
    std::chrono::milliseconds heartbeat_{0};
    CallStageHook callStageHook_;
    std::shared_ptr<Guard> guard_ = std::make_shared<Guard>();
};

}  // namespace yav::proto
