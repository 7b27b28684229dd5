#include "ProcessLoad.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <ctime>

namespace {

std::uint64_t ClockNs(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<std::uint64_t>(now.tv_sec) * 1000000000ULL +
           static_cast<std::uint64_t>(now.tv_nsec);
}

}  // namespace

ProcessLoad::ProcessLoad() {
    source_ = [] { return Reading{ClockNs(CLOCK_PROCESS_CPUTIME_ID), ClockNs(CLOCK_MONOTONIC)}; };
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    if (pages > 0 && pageSize > 0) {
        physicalMb_ = static_cast<std::uint32_t>(
            (static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize)) >> 20);
    }
    const long processors = sysconf(_SC_NPROCESSORS_ONLN);
    SetProcessors(processors > 0 && processors < 0xFFFF ? static_cast<std::uint16_t>(processors)
                                                        : 1);
}

std::uint32_t ProcessLoad::ReadWorkingSetMb(const char* statusPath, const char* key) {
    std::FILE* file = std::fopen(statusPath, "r");
    if (file == nullptr) {
        return 0;
    }
    char line[256];
    unsigned long long kb = 0;
    const size_t keyLength = std::strlen(key);
    while (std::fgets(line, sizeof(line), file) != nullptr) {
        if (std::strncmp(line, key, keyLength) == 0) {
            std::sscanf(line + keyLength, "%llu", &kb);
            break;
        }
    }
    std::fclose(file);
    return static_cast<std::uint32_t>(kb >> 10);
}

void ProcessLoad::Sample() {
    workingSetMb_ = ReadWorkingSetMb();
    // The memory the process has committed beyond what is resident (swap).
    pagefileMb_ = ReadWorkingSetMb("/proc/self/status", "VmSwap:");
    const Reading now = source_();
    if (hasPrevious_ && now.clockNs > previous_.clockNs) {
        const double cpu = static_cast<double>(now.cpuNs - previous_.cpuNs) / processors_;
        const double elapsed = static_cast<double>(now.clockNs - previous_.clockNs);
        cpuPercent_ = cpu / elapsed * 100.0;
    }
    if (!hasPrevious_ || now.clockNs > previous_.clockNs) {
        previous_ = now;
        hasPrevious_ = true;
    }
}
