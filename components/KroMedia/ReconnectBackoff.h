#pragma once
// How long a lost media session waits before it tries again: from the first delay doubling up
// to the ceiling, each delay spread by up to a fifth either way so that the clients of a
// restarted relay do not all come back in the same instant.

#include <cstdint>
#include <random>

namespace kromedia {

class ReconnectBackoff {
public:
    ReconnectBackoff(int firstMs, int ceilingMs, uint32_t seed)
        : m_firstMs(firstMs), m_ceilingMs(ceilingMs), m_nextMs(firstMs), m_random(seed) {}

    // The delay before the next try; each call doubles the one after it, up to the ceiling.
    int NextDelayMs() {
        const int base = m_nextMs;
        m_nextMs = base >= m_ceilingMs / 2 ? m_ceilingMs : base * 2;
        std::uniform_int_distribution<int> spread(-base / 5, base / 5);
        return base + spread(m_random);
    }
    // A try succeeded: the next loss starts again from the first delay.
    void Reset() { m_nextMs = m_firstMs; }

private:
    const int m_firstMs;
    const int m_ceilingMs;
    int m_nextMs;
    std::minstd_rand m_random;
};

}  // namespace kromedia
