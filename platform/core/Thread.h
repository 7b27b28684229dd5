#pragma once
// A joinable worker thread that reports its kernel thread id and exit code. Never detached:
// an owner that forgets to join is joined on destruction (with a warning), so the thread can
// never outlive the object it runs on.

#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>

namespace yav {

class Thread {
public:
    Thread() = default;
    ~Thread();
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    // Starts body on a new thread unless one is held already (then nothing happens). True when
    // a thread is held afterwards. Returns once the thread runs, so Id() is valid.
    bool Start(std::function<std::uint32_t()> body);

    // Waits without limit for a started thread to end, then releases it; returns at once when
    // none is held. Joining from the thread itself releases it without waiting (and logs it),
    // since waiting for oneself would never end.
    void Join();

    bool IsStarted() const { return worker_.joinable(); }
    // True from Start until the body has returned.
    bool IsRunning() const { return running_.load(); }
    // Kernel id of the running thread; 0 when none is held.
    std::uint32_t Id() const { return id_.load(); }
    // What the last body returned.
    std::uint32_t ExitCode() const { return exitCode_.load(); }

    // Kernel id of the calling thread.
    static std::uint32_t CurrentId();

private:
    std::thread worker_;
    std::atomic<std::uint32_t> id_{0};
    std::atomic<std::uint32_t> exitCode_{0};
    std::atomic<bool> running_{false};
};

}  // namespace yav
