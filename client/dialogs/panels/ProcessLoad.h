#pragma once
// The process's processor share and memory for the call statistics: working set from VmRSS,
// installed memory and processor count from sysconf, processor time from the process CPU-time
// clock. The processor share is the processor time between two samples over the elapsed time
// and the processor count; a sample without elapsed time changes nothing.

#include <cstdint>
#include <functional>

class ProcessLoad {
public:
    struct Reading {
        std::uint64_t cpuNs = 0;    // processor time of the process
        std::uint64_t clockNs = 0;  // a monotonic clock
    };
    using ReadingSource = std::function<Reading()>;

    ProcessLoad();
    // Tests replace the clocks.
    void SetReadingSource(ReadingSource source) { source_ = std::move(source); }
    void SetProcessors(std::uint16_t processors) { processors_ = processors == 0 ? 1 : processors; }

    void Sample();
    // Forgets the previous sample (the window closed).
    void Reset() { hasPrevious_ = false; }

    double CpuPercent() const { return cpuPercent_; }
    std::uint32_t WorkingSetMb() const { return workingSetMb_; }
    std::uint32_t PagefileMb() const { return pagefileMb_; }
    std::uint32_t PhysicalMb() const { return physicalMb_; }
    std::uint16_t Processors() const { return processors_; }

    // VmRSS of /proc/self/status in MB (0 when unreadable).
    static std::uint32_t ReadWorkingSetMb(const char* statusPath = "/proc/self/status",
                                          const char* key = "VmRSS:");

private:
    ReadingSource source_;
    std::uint16_t processors_ = 1;
    bool hasPrevious_ = false;
    Reading previous_;
    double cpuPercent_ = 0.0;
    std::uint32_t workingSetMb_ = 0;
    std::uint32_t pagefileMb_ = 0;
    std::uint32_t physicalMb_ = 0;
};
