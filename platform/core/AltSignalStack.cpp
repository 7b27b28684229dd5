#include "AltSignalStack.h"

#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "Log.h"

namespace yav {

AltSignalStack::AltSignalStack() {
    const long pageBytes = sysconf(_SC_PAGESIZE);
    const long systemMinimum = sysconf(_SC_SIGSTKSZ);
    const std::size_t page = pageBytes > 0 ? static_cast<std::size_t>(pageBytes) : 4096;
    std::size_t stackBytes = kMinimumBytes;
    if (systemMinimum > 0) {
        stackBytes += static_cast<std::size_t>(systemMinimum);
    }
    stackBytes = (stackBytes + page - 1) / page * page;
    // One inaccessible page below the stack: a handler that runs out of room faults there
    // instead of writing over whatever memory lies below.
    mappingBytes_ = stackBytes + page;
    void* mapping = mmap(nullptr, mappingBytes_, PROT_READ | PROT_WRITE,
                         MAP_PRIVATE | MAP_ANONYMOUS | MAP_STACK, -1, 0);
    if (mapping == MAP_FAILED) {
        YLOG_ERROR("no alternate signal stack for this thread: mmap: %s", std::strerror(errno));
        mappingBytes_ = 0;
        return;
    }
    mapping_ = mapping;
    mprotect(mapping_, page, PROT_NONE);

    stack_t stack{};
    stack.ss_sp = static_cast<char*>(mapping_) + page;
    stack.ss_size = stackBytes;
    stack_t previous{};
    if (sigaltstack(&stack, &previous) != 0) {
        YLOG_ERROR("no alternate signal stack for this thread: sigaltstack: %s",
                   std::strerror(errno));
        munmap(mapping_, mappingBytes_);
        mapping_ = nullptr;
        return;
    }
    installed_ = true;
    previousBase_ = previous.ss_sp;
    previousBytes_ = previous.ss_size;
    previousFlags_ = previous.ss_flags & SS_DISABLE;
}

AltSignalStack::~AltSignalStack() {
    if (installed_) {
        stack_t previous{};
        previous.ss_sp = previousBase_;
        previous.ss_size = previousBytes_;
        previous.ss_flags = previousFlags_;
        if (sigaltstack(&previous, nullptr) != 0) {
            // The stack stays the thread's: unmapping it under a later signal would be worse.
            YLOG_ERROR("alternate signal stack not released: sigaltstack: %s",
                       std::strerror(errno));
            return;
        }
    }
    if (mapping_ != nullptr) {
        munmap(mapping_, mappingBytes_);
    }
}

}  // namespace yav
