#pragma once
// The 128-byte UDP round-trip probe that the statistics window sends to the server's probe
// port and the server echoes: byte 0 = 0xF1, bytes 4..7 the sender's tick count (LE), bytes
// 8..9 = 116 (LE), the rest unassigned.

#include <array>
#include <cstdint>
#include <span>

namespace yav::proto {

inline constexpr size_t kProbeBytes = 128;
inline constexpr uint8_t kProbeMark = 0xF1;
inline constexpr uint16_t kProbeTag = 116;

using ProbePacket = std::array<uint8_t, kProbeBytes>;

ProbePacket MakeProbe(uint32_t tickMs);
// An echo (or probe): at least 8 bytes with the mark in byte 0. Bytes beyond are not checked.
bool IsProbe(std::span<const uint8_t> datagram);
// The tick count a probe carries (0 for anything that is not a probe).
uint32_t ProbeTick(std::span<const uint8_t> datagram);

}  // namespace yav::proto
