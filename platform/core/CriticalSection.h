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

namespace yav {

// Holds a critical section for one scope; a null section is allowed and does nothing.
class SectionGuard {
public:
    explicit SectionGuard(CriticalSection* section) : section_(section) {
        if (section_ != nullptr) {
            section_->Enter();
        }
    }
    ~SectionGuard() {
        if (section_ != nullptr) {
            section_->Leave();
        }
    }
    SectionGuard(const SectionGuard&) = delete;
    SectionGuard& operator=(const SectionGuard&) = delete;

private:
    CriticalSection* section_;
};

}  // namespace yav
