#pragma once
// Lets at most a given number of log lines through per period, and counts the rest, so that
// a peer flooding bad packets cannot flood the log as well.

#include <chrono>
#include <cstdint>

namespace yav::server {

class RateLimitedLog {
public:
    using Clock = std::chrono::steady_clock;

    RateLimitedLog(int linesPerPeriod, Clock::duration period)
        : linesPerPeriod_(linesPerPeriod), period_(period) {}

    // Whether a line may be written now; *suppressed receives how many were held back since
    // the last line that was let through.
    bool Allow(Clock::time_point now, uint64_t* suppressed) {
        if (now - periodStart_ >= period_) {
            periodStart_ = now;
            lines_ = 0;
        }
        if (lines_ >= linesPerPeriod_) {
            ++suppressed_;
            return false;
        }
        ++lines_;
        *suppressed = suppressed_;
        suppressed_ = 0;
        return true;
    }

private:
    int linesPerPeriod_;
    Clock::duration period_;
    Clock::time_point periodStart_{};
    int lines_ = 0;
    uint64_t suppressed_ = 0;
};

}  // namespace yav::server
