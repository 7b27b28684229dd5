#pragma once
// A recursive lock with the semantics the program's shared structures were designed around:
// the owning thread may enter again; every Enter is matched by one Leave.

#include <mutex>

namespace yav {

class CriticalSection {
public:
    CriticalSection() = default;
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;

    void Enter() { mutex_.lock(); }
    bool TryEnter() { return mutex_.try_lock(); }
    void Leave() { mutex_.unlock(); }

private:
    std::recursive_mutex mutex_;
};

}  // namespace yav
