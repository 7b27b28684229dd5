#pragma once
// A thread-safe name for a window: the one thing a worker thread may keep of a window. A
// message posted through a handle reaches the window on the GUI thread, in posting order, or
// is dropped when the window has been destroyed (before or after the post).

#include <memory>

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

private:
    friend class WindowCore;
    explicit WindowHandle(std::shared_ptr<detail::HandleState> state) : state_(std::move(state)) {}
    std::shared_ptr<detail::HandleState> state_;
};

// The same as handle.Post(...): the program's posting call.
inline bool PostMessage(const WindowHandle& handle, UINT message, WPARAM wParam = 0,
                        LPARAM lParam = 0) {
    return handle.Post(message, wParam, lParam);
}

}  // namespace yav
