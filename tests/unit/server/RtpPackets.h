#pragma once
// Small RTP and RTCP packets for relay tests.

#include <cstddef>
#include <cstdint>
#include <initializer_list>
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

// A receiver report from sender with one report block about each stream named.
inline std::vector<uint8_t> ReceiverReport(uint32_t sender, std::initializer_list<uint32_t> about) {
    std::vector<uint8_t> p(8 + 24 * about.size(), 0);
    p[0] = static_cast<uint8_t>(0x80 | about.size());
    p[1] = 201;
    p[3] = static_cast<uint8_t>(p.size() / 4 - 1);
    PutBe32(p, 4, sender);
    size_t at = 8;
    for (const uint32_t ssrc : about) {
        PutBe32(p, at, ssrc);
        p[at + 4] = 0x11;  // fraction lost, so a block is told from zeros
        at += 24;
    }
    return p;
}

// A sender report without report blocks.
inline std::vector<uint8_t> SenderReport(uint32_t sender) {
    std::vector<uint8_t> p(28, 0);
    p[0] = 0x80;
    p[1] = 200;
    p[3] = 6;
    PutBe32(p, 4, sender);
    p[8] = 0xAB;  // NTP time, so the sender info is told from zeros
    return p;
}

// An SDES with one CNAME chunk for ssrc.
inline std::vector<uint8_t> Sdes(uint32_t ssrc) {
    std::vector<uint8_t> p = {0x81, 202, 0, 3, 0, 0, 0, 0, 1, 2, 'y', 'v', 0, 0, 0, 0};
    PutBe32(p, 4, ssrc);
    return p;
}

// A generic NACK (RFC 4585) from sender about media, for one lost packet.
inline std::vector<uint8_t> Nack(uint32_t sender, uint32_t media, uint16_t lost = 7) {
    std::vector<uint8_t> p = {0x81, 205, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    PutBe32(p, 4, sender);
    PutBe32(p, 8, media);
    p[12] = static_cast<uint8_t>(lost >> 8);
    p[13] = static_cast<uint8_t>(lost);
    return p;
}

// A full intra request (RFC 5104) from sender about media: the media field is 0, the entry
// names the stream.
inline std::vector<uint8_t> Fir(uint32_t sender, uint32_t media, uint8_t sequence = 1) {
    std::vector<uint8_t> p = {0x84, 206, 0, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    PutBe32(p, 4, sender);
    PutBe32(p, 12, media);
    p[16] = sequence;
    return p;
}

inline std::vector<uint8_t> Joined(std::initializer_list<std::vector<uint8_t>> parts) {
    std::vector<uint8_t> out;
    for (const auto& part : parts) {
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

}  // namespace yav::test
