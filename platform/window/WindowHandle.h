#pragma once
// A thread-safe name for a window: the one thing a worker thread may keep of a window.
//
// Posting is safe from any thread, through a handle or through the window's own PostMessage
// and PostPayload. A posted message reaches the window on the GUI thread, in posting order
// per posting thread, or is dropped when the window has been destroyed (before the post:
// the post returns false; after it: the queued message is never delivered). A handle stays
// valid after the window object is gone; a pointer to the window does not, so a thread that
// may outlive the window keeps a handle.
//
// A message can carry an owned payload (PostPayload): the value is moved into the message
// and destroyed exactly once, after the handler returns or when the message is dropped. The
// handler finds it with PayloadOf<T>(lParam) (MessagePayload.h).

#include <memory>
#include <utility>

#include "platform/window/MessagePayload.h"
#include "platform/window/WinDefs.h"

class QObject;

namespace yav {

namespace detail {
struct HandleState;
}

class WindowHandle {
public:
    WindowHandle() = default;

    // True while the window this handle names exists.
    bool IsWindow() const;
    explicit operator bool() const { return IsWindow(); }
    bool operator==(const WindowHandle& other) const { return state_ == other.state_; }

    // Queues the message for the window; callable from any thread. False when the window is
    // gone (the message is dropped).
    bool Post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

    // Queues the message with value as its owned payload; the handler's lParam names it.
    // False when the window is gone (the value is destroyed before this returns).
    template <class T>
    bool PostPayload(UINT message, WPARAM wParam, T value) const {
        static_assert(detail::kPayloadType<T>, "a payload is a plain movable value");
        return PostOwned(message, wParam, std::make_unique<detail::Payload<T>>(std::move(value)));
    }

private:
    friend class WindowCore;
    explicit WindowHandle(std::shared_ptr<detail::HandleState> state) : state_(std::move(state)) {}
    bool PostOwned(UINT message, WPARAM wParam, std::unique_ptr<detail::PayloadBase> payload) const;
    std::shared_ptr<detail::HandleState> state_;
};

// The same as handle.Post(...): the program's posting call.
inline bool PostMessage(const WindowHandle& handle, UINT message, WPARAM wParam = 0,
                        LPARAM lParam = 0) {
    return handle.Post(message, wParam, lParam);
}

}  // namespace yav
