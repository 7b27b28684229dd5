#include "SingleInstance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "Log.h"
#include "Paths.h"

namespace yav {

SingleInstance::SingleInstance(std::string name)
    : path_(paths::RuntimeDir() + "/" + std::move(name) + ".lock") {}

SingleInstance::~SingleInstance() {
    Release();
}

bool SingleInstance::TryAcquire() {
    if (fd_ >= 0) {
        return true;
    }
    const int fd = open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        YLOG_WARN("single-instance lock %s cannot be opened: %s", path_.c_str(),
                  std::strerror(errno));
        return true;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        close(fd);
        if (error == EWOULDBLOCK) {
            return false;
        }
        YLOG_WARN("single-instance lock %s cannot be taken: %s", path_.c_str(),
                  std::strerror(error));
        return true;
    }
    // The holder's process id, for people looking at the file.
    if (ftruncate(fd, 0) == 0) {
        const std::string pid = std::to_string(getpid()) + "\n";
        [[maybe_unused]] const ssize_t written = write(fd, pid.data(), pid.size());
    }
    fd_ = fd;
    return true;
}

void SingleInstance::Release() {
    if (fd_ >= 0) {
        flock(fd_, LOCK_UN);
        close(fd_);
        fd_ = -1;
    }
}

}  // namespace yav
