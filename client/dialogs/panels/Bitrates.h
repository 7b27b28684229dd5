#pragma once
// Bit rates of the call statistics from cumulative byte counters sampled every 3 s: six
// counters (audio sent c1, received c2, video sent c3, received c4, screen share sent s1,
// received s2); the first sample after a reset only stores the counters.

#include <array>
#include <cstddef>
#include <cstdint>

class Bitrates {
public:
    static constexpr int kCounters = 6;
    static constexpr std::int64_t kPeriodSeconds = 3;

    // counters: c1..c4, s1, s2.
    void Sample(const std::array<std::uint64_t, kCounters>& counters);
    void Reset();
    // Bytes per second of a counter.
    std::int32_t Rate(int index) const { return rates_.at(static_cast<std::size_t>(index)); }
    // Kbit/s of a rate.
    static std::int32_t Kbps(std::int32_t bytesPerSecond) {
        return static_cast<std::int32_t>(static_cast<std::int64_t>(bytesPerSecond) * 8 / 1000);
    }

private:
    std::array<std::uint64_t, kCounters> previous_{};
    std::array<std::int32_t, kCounters> rates_{};
};
