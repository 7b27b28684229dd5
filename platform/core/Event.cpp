#include "Event.h"

#include <algorithm>
#include <thread>

namespace yav {

// One thread's wait across several objects: each object it waits on pokes it when signalled.
struct Waitable::Waiter {
    std::mutex mutex;
    std::condition_variable condition;
    bool poked = false;

    void Poke() {
        std::lock_guard lock(mutex);
        poked = true;
        condition.notify_one();
    }
};

void Waitable::WakeWaitersLocked() {
    for (Waiter* waiter : waiters_) {
        waiter->Poke();
    }
}

bool Waitable::Wait(std::uint32_t timeoutMs) {
    return WaitForAny({this}, timeoutMs) == 0;
}

namespace {

template <typename Range>
int WaitForAnyImpl(const Range& objects, std::uint32_t timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    Waitable::Waiter waiter;
    // Registered before the first check, so a signal between the check and the sleep still
    // pokes this waiter and is never lost.
    auto registerAll = [&](bool add) {
        for (Waitable* object : objects) {
            if (object == nullptr) {
                continue;
            }
            object->RegisterWaiter(&waiter, add);
        }
    };
    registerAll(true);
    int result = kWaitTimeout;
    for (;;) {
        int index = 0;
        for (Waitable* object : objects) {
            if (object != nullptr && object->TryConsume()) {
                result = index;
                break;
            }
            ++index;
        }
        if (result != kWaitTimeout) {
            break;
        }
        std::unique_lock lock(waiter.mutex);
        if (timeoutMs == kInfinite) {
            waiter.condition.wait(lock, [&] { return waiter.poked; });
        } else if (!waiter.condition.wait_until(lock, deadline, [&] { return waiter.poked; })) {
            break;
        }
        waiter.poked = false;
    }
    registerAll(false);
    return result;
}

}  // namespace

void Waitable::RegisterWaiter(Waiter* waiter, bool add) {
    std::lock_guard lock(mutex_);
    if (add) {
        waiters_.push_back(waiter);
    } else {
        waiters_.erase(std::remove(waiters_.begin(), waiters_.end(), waiter), waiters_.end());
    }
}

bool Waitable::TryConsume() {
    std::lock_guard lock(mutex_);
    return TryConsumeLocked();
}

int WaitForAny(std::initializer_list<Waitable*> objects, std::uint32_t timeoutMs) {
    return WaitForAnyImpl(objects, timeoutMs);
}

int WaitForAny(const std::vector<Waitable*>& objects, std::uint32_t timeoutMs) {
    return WaitForAnyImpl(objects, timeoutMs);
}

void Event::Set() {
    std::lock_guard lock(mutex_);
    signalled_ = true;
    WakeWaitersLocked();
}

void Event::Reset() {
    std::lock_guard lock(mutex_);
    signalled_ = false;
}

bool Event::IsSet() {
    std::lock_guard lock(mutex_);
    return signalled_;
}

bool Event::TryConsumeLocked() {
    if (!signalled_) {
        return false;
    }
    if (!manualReset_) {
        signalled_ = false;
    }
    return true;
}

bool Semaphore::Release(std::uint32_t count) {
    std::lock_guard lock(mutex_);
    if (count > maximum_ - count_) {
        return false;
    }
    count_ += count;
    WakeWaitersLocked();
    return true;
}

std::uint32_t Semaphore::Count() {
    std::lock_guard lock(mutex_);
    return count_;
}

bool Semaphore::TryConsumeLocked() {
    if (count_ == 0) {
        return false;
    }
    --count_;
    return true;
}

void SleepMs(std::uint32_t milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace yav
