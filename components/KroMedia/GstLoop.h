#pragma once
// GStreamer and the component's own GLib main loop thread. Sockets, bus watches and timers of
// the component run there; no call of the program waits on it except through Invoke.

#include <functional>

typedef struct _GMainContext GMainContext;

namespace kromedia {

// Initialises GStreamer once and starts the loop thread.
GMainContext* LoopContext();
// Runs the function on the loop thread and waits for it (runs at once when already there).
void InvokeSync(const std::function<void()>& function);
// Runs the function on the loop thread later.
void InvokeAsync(std::function<void()> function);

}  // namespace kromedia
