#include "UdpProbe.h"

#include "ByteIo.h"

namespace yav::proto {

ProbePacket MakeProbe(uint32_t tickMs) {
    ProbePacket packet{};
    packet[0] = kProbeMark;
    StoreU32(packet, 4, tickMs);
    StoreU16(packet, 8, kProbeTag);
    return packet;
}

bool IsProbe(std::span<const uint8_t> datagram) {
    return datagram.size() >= 8 && datagram[0] == kProbeMark;
}

uint32_t ProbeTick(std::span<const uint8_t> datagram) {
    return IsProbe(datagram) ? LoadU32(datagram, 4) : 0;
}

}  // namespace yav::proto
