#include "Thread.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <future>

#include "AltSignalStack.h"
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
    // The body waits until this object knows its thread, so that it may use the object
    // (even join it) from its first line.
    std::promise<void> go;
    std::shared_future<void> goSignal = go.get_future().share();
    running_ = true;
    try {
        // The promise moves into the thread, so nothing of this frame is touched after get().
        worker_ = std::thread(
            [this, body = std::move(body), started = std::move(started), goSignal]() mutable {
                // The crash handler's report needs room even after a stack overflow.
                const AltSignalStack signalStack;
                started.set_value(CurrentId());
                goSignal.wait();
                exitCode_ = body();
                running_ = false;
            });
    } catch (const std::system_error& error) {
        running_ = false;
        YLOG_ERROR("cannot start a thread: %s", error.what());
        return false;
    }
    id_ = startedId.get();
    go.set_value();
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
