#pragma once
// Quality of a received stream, 0..1000 (1000 clean), from what the receiver's RTCP report
// would say for the last interval: the fraction of expected packets lost and the interarrival
// jitter. Each percent of loss costs 40 points (25 % loss and more give 0); jitter above 30 ms
// costs 5 points a millisecond, at most 300.

#include <algorithm>
#include <cstdint>

namespace kromedia {

struct ReceptionSample {
    uint64_t received = 0;  // packets received so far
    uint64_t lost = 0;      // packets lost so far (expected - received, never negative)
    double jitterMs = 0;
};

inline uint32_t QualityFromLoss(uint64_t receivedDelta, uint64_t lostDelta, double jitterMs) {
    const uint64_t expected = receivedDelta + lostDelta;
    const double lossPermille =
        expected == 0 ? 0.0
                      : 1000.0 * static_cast<double>(lostDelta) / static_cast<double>(expected);
    const double lossPenalty = lossPermille * 4.0;
    const double jitterPenalty = std::min(300.0, std::max(0.0, jitterMs - 30.0) * 5.0);
    const double q = 1000.0 - lossPenalty - jitterPenalty;
    return static_cast<uint32_t>(std::clamp(q, 0.0, 1000.0));
}

// Quality over the interval between two samples of one stream.
inline uint32_t QualityBetween(const ReceptionSample& previous, const ReceptionSample& now) {
    const uint64_t received =
        now.received >= previous.received ? now.received - previous.received : 0;
    const uint64_t lost = now.lost >= previous.lost ? now.lost - previous.lost : 0;
    return QualityFromLoss(received, lost, now.jitterMs);
}

}  // namespace kromedia
