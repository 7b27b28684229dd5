#include "Thread.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <future>

#include "Log.h"

namespace yav {

std::uint32_t Thread::CurrentId() {
    return static_cast<std::uint32_t>(syscall(SYS_gettid));
}

Thread::~Thread() {
    if (worker_.joinable()) {
        YLOG_WARN("thread %u still held at destruction: joining it", id_.load());
        Join();
    }
}

bool Thread::Start(std::function<std::uint32_t()> body) {
    if (worker_.joinable()) {
        return true;
    }
    std::promise<std::uint32_t> started;
    std::future<std::uint32_t> startedId = started.get_future();
    running_ = true;
    try {
        // The promise moves into the thread, so nothing of this frame is touched after get().
        worker_ =
            std::thread([this, body = std::move(body), started = std::move(started)]() mutable {
                started.set_value(CurrentId());
                exitCode_ = body();
                running_ = false;
            });
    } catch (const std::system_error& error) {
        running_ = false;
        YLOG_ERROR("cannot start a thread: %s", error.what());
        return false;
    }
    id_ = startedId.get();
    return true;
}

void Thread::Join() {
    if (worker_.joinable()) {
        if (worker_.get_id() == std::this_thread::get_id()) {
            YLOG_ERROR("thread %u joins itself: released without waiting", id_.load());
            worker_.detach();
        } else {
            worker_.join();
        }
    }
    id_ = 0;
}

}  // namespace yav
