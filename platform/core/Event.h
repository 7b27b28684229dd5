#pragma once
// Waitable objects with the semantics the program's threads were designed around: events
// (auto-reset: one waiter is released and the event clears; manual-reset: stays signalled until
// Reset), counting semaphores, waits with a time-out in milliseconds, and a wait for the first
// of several objects that becomes signalled (the lowest index wins when several are).

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <initializer_list>
#include <mutex>
#include <vector>

namespace yav {

// A time-out that never expires.
inline constexpr std::uint32_t kInfinite = 0xFFFFFFFFu;

// What WaitForAny returns when the time-out expired.
inline constexpr int kWaitTimeout = -1;

class Waitable {
public:
    Waitable() = default;
    virtual ~Waitable() = default;
    Waitable(const Waitable&) = delete;
    Waitable& operator=(const Waitable&) = delete;

    // True when the object was (or became) signalled within the time-out; a successful wait
    // consumes what the object's kind says (an auto-reset event clears, a semaphore counts down).
    bool Wait(std::uint32_t timeoutMs = kInfinite);

    // The parts of a wait that WaitForAny drives (not for direct use).
    struct Waiter;
    void RegisterWaiter(Waiter* waiter, bool add);
    bool TryConsume();

protected:
    // Called with mutex_ held: true when signalled, consuming the signal.
    virtual bool TryConsumeLocked() = 0;
    // Called with mutex_ held after the object became signalled.
    void WakeWaitersLocked();

    std::mutex mutex_;

private:
    std::vector<Waiter*> waiters_;
};

class Event : public Waitable {
public:
    Event(bool manualReset, bool initiallySignalled)
        : manualReset_(manualReset), signalled_(initiallySignalled) {}

    void Set();
    void Reset();
    // True when signalled, without consuming the signal.
    bool IsSet();

private:
    bool TryConsumeLocked() override;

    const bool manualReset_;
    bool signalled_;
};

class Semaphore : public Waitable {
public:
    Semaphore(std::uint32_t initialCount, std::uint32_t maximumCount)
        : count_(initialCount > maximumCount ? maximumCount : initialCount),
          maximum_(maximumCount) {}

    // Adds count; false (and no change) when that would exceed the maximum.
    bool Release(std::uint32_t count = 1);
    std::uint32_t Count();

private:
    bool TryConsumeLocked() override;

    std::uint32_t count_;
    const std::uint32_t maximum_;
};

// Waits until one of the objects is signalled and consumes that one: its index, or
// kWaitTimeout. Null entries are never signalled.
int WaitForAny(std::initializer_list<Waitable*> objects, std::uint32_t timeoutMs);
int WaitForAny(const std::vector<Waitable*>& objects, std::uint32_t timeoutMs);

// Sleeps for the given milliseconds (the thread-pacing waits of worker loops).
void SleepMs(std::uint32_t milliseconds);

}  // namespace yav
