#pragma once
// The one-instance-per-user lock: an exclusive lock on a file in the runtime folder. The lock
// is held until Release or the process ends (the system drops it even after a crash, so a
// stale file never blocks a new start).

#include <string>

namespace yav {

class SingleInstance {
public:
    // name: the instance name, used for the lock file "<runtime folder>/<name>.lock".
    explicit SingleInstance(std::string name);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when this object holds the lock now (it took it, or held it already); false when
    // another process holds it. A lock file that cannot be opened at all counts as not held
    // by anyone (logged), so a broken runtime folder never stops the program from starting.
    bool TryAcquire();
    bool IsHeld() const { return fd_ >= 0; }
    void Release();
    const std::string& LockPath() const { return path_; }

private:
    std::string path_;
    int fd_ = -1;
};

}  // namespace yav
