#pragma once
// The retry loop behind the reconnect dialog: every interval (2 s) it logs in to the
// conference server again, without an attempt limit, until a try succeeds or a stop is
// requested. A stop never interrupts a running attempt; IsDone turns true once the loop has
// left, so the give-up can wait for it.

#include <cstdint>
#include <functional>

#include "platform/core/Event.h"
#include "platform/core/Thread.h"

class ReconnectWorker {
public:
    static constexpr std::uint32_t kRetryIntervalMs = 2000;

    // Both run on the worker thread: the re-login (0 means logged in again) and the report of
    // success, which must only post to the GUI thread.
    using ReLoginFn = std::function<int()>;
    using ReconnectedFn = std::function<void()>;

    ReconnectWorker() = default;
    // Stops a running loop and waits for it.
    ~ReconnectWorker();
    ReconnectWorker(const ReconnectWorker&) = delete;
    ReconnectWorker& operator=(const ReconnectWorker&) = delete;

    // Starts the loop. False when a loop is still running or no thread could be started; done
    // is true in the second case, so a give-up does not wait for a loop that never ran.
    bool Start(ReLoginFn reLogin, ReconnectedFn reconnected,
               std::uint32_t intervalMs = kRetryIntervalMs);

    // Asks a running loop to leave before its next attempt (one stop for one loop).
    void RequestStop() { stopEvent_.Set(); }
    // Asks the loop to leave and waits until it has (after a running attempt).
    void Stop();

    // True while no loop runs: before the first start, and after a loop has left.
    bool IsDone() const { return done_.load() != 0; }

private:
    std::uint32_t ConnectServerProgress(const ReLoginFn& reLogin, const ReconnectedFn& reconnected,
                                        std::uint32_t intervalMs);

    yav::Event stopEvent_{false, false};
    std::atomic<int> done_{1};
    yav::Thread thread_;
};
