#include "Bitrates.h"

void Bitrates::Sample(const std::array<std::uint64_t, kCounters>& counters) {
    const bool first =
        previous_[0] == 0 && previous_[1] == 0 && previous_[2] == 0 && previous_[3] == 0;
    if (!first) {
        for (std::size_t i = 0; i < counters.size(); ++i) {
            const auto delta =
                static_cast<std::int64_t>(counters[i]) - static_cast<std::int64_t>(previous_[i]);
            rates_[i] = static_cast<std::int32_t>(delta / kPeriodSeconds);
        }
    }
    previous_ = counters;
}

void Bitrates::Reset() {
    previous_.fill(0);
    rates_.fill(0);
}
