#include "PanelClock.h"

#include <chrono>
#include <mutex>

namespace yav::panels {

namespace {

std::mutex& SourceLock() {
    static std::mutex lock;
    return lock;
}

std::function<std::uint32_t()>& Source() {
    static std::function<std::uint32_t()> source;
    return source;
}

}  // namespace

std::uint32_t GetTickCount() {
    {
        const std::lock_guard<std::mutex> guard(SourceLock());
        if (Source()) {
            return Source()();
        }
    }
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

void SetTickSource(std::function<std::uint32_t()> source) {
    const std::lock_guard<std::mutex> guard(SourceLock());
    Source() = std::move(source);
}

}  // namespace yav::panels
