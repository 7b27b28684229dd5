#pragma once
// Small RTP and RTCP packets for relay tests.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace yav::test {

inline void PutBe32(std::vector<uint8_t>& p, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        p[at + i] = static_cast<uint8_t>(v >> (24 - 8 * i));
    }
}

// An RTP packet (payload type 96) with payload bytes filled with the sequence's low byte.
inline std::vector<uint8_t> Rtp(uint32_t ssrc, uint16_t sequence = 1, size_t payload = 20) {
    std::vector<uint8_t> p(12 + payload, static_cast<uint8_t>(sequence));
    p[0] = 0x80;
    p[1] = 96;
    p[2] = static_cast<uint8_t>(sequence >> 8);
    p[3] = static_cast<uint8_t>(sequence);
    PutBe32(p, 8, ssrc);
    return p;
}

}  // namespace yav::test
