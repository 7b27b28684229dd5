#include "RelayWire.h"

#include <cstring>

namespace kromedia::relay {

namespace {

constexpr size_t kHeader = 4;  // magic, version, type
constexpr size_t kHelloBody = kTicketBytes + 4 + 2;
constexpr size_t kAckBody = 3;
constexpr size_t kSubscribeBody = 4;

void PutU16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
}

uint16_t GetU16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t GetU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

uint32_t GetU32Be(const uint8_t* p) {
    return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
           (static_cast<uint32_t>(p[2]) << 8) | static_cast<uint32_t>(p[3]);
}

}  // namespace

PacketClass Classify(const uint8_t* data, size_t length) {
    if (data == nullptr || length < 4 || length > kMaxPacket) {
        return PacketClass::Invalid;
    }
    if (data[0] == kMagic0 && data[1] == kMagic1) {
        return PacketClass::Control;
    }
    if ((data[0] >> 6) != 2 || length < 8) {
        return PacketClass::Invalid;
    }
    if (data[1] >= 192 && data[1] <= 223) {
        return PacketClass::Rtcp;
    }
    return length >= 12 ? PacketClass::Rtp : PacketClass::Invalid;
}

std::optional<std::pair<uint16_t, Kind>> ParseSsrc(uint32_t ssrc) {
    if ((ssrc >> 24) != 0x59) {
        return std::nullopt;
    }
    const uint32_t kind = (ssrc >> 16) & 0xFF;
    if (kind != static_cast<uint32_t>(Kind::Video) && kind != static_cast<uint32_t>(Kind::Audio)) {
        return std::nullopt;
    }
    return std::make_pair(static_cast<uint16_t>(ssrc & 0xFFFF), static_cast<Kind>(kind));
}

std::optional<uint32_t> SenderSsrc(const uint8_t* data, size_t length) {
    switch (Classify(data, length)) {
        case PacketClass::Rtp:
            return GetU32Be(data + 8);
        case PacketClass::Rtcp:
            return GetU32Be(data + 4);
        default:
            return std::nullopt;
    }
}

std::vector<uint8_t> Encode(const Control& control) {
    std::vector<uint8_t> out = {kMagic0, kMagic1, kVersion, static_cast<uint8_t>(control.type)};
    switch (control.type) {
        case Type::Hello:
            out.insert(out.end(), control.hello.ticket.begin(), control.hello.ticket.end());
            PutU32(out, control.hello.conferenceId);
            PutU16(out, control.hello.mediaId);
            break;
        case Type::HelloAck:
            out.push_back(static_cast<uint8_t>(control.result));
            PutU16(out, control.ackMediaId);
            break;
        case Type::Subscribe:
            PutU16(out, control.subscribe.mediaId);
            out.push_back(static_cast<uint8_t>(control.subscribe.kind));
            out.push_back(control.subscribe.on ? 1 : 0);
            break;
        case Type::Keepalive:
        case Type::Bye:
            break;
    }
    return out;
}

std::optional<Control> Decode(const uint8_t* data, size_t length) {
    if (Classify(data, length) != PacketClass::Control || data[2] != kVersion) {
        return std::nullopt;
    }
    Control c;
    c.type = static_cast<Type>(data[3]);
    const uint8_t* body = data + kHeader;
    const size_t bodyLength = length - kHeader;
    switch (c.type) {
        case Type::Hello:
            if (bodyLength != kHelloBody) {
                return std::nullopt;
            }
            std::memcpy(c.hello.ticket.data(), body, kTicketBytes);
            c.hello.conferenceId = GetU32(body + kTicketBytes);
            c.hello.mediaId = GetU16(body + kTicketBytes + 4);
            return c;
        case Type::HelloAck:
            if (bodyLength != kAckBody || body[0] > static_cast<uint8_t>(HelloResult::IdNotOwned)) {
                return std::nullopt;
            }
            c.result = static_cast<HelloResult>(body[0]);
            c.ackMediaId = GetU16(body + 1);
            return c;
        case Type::Subscribe:
            if (bodyLength != kSubscribeBody ||
                (body[2] != static_cast<uint8_t>(Kind::Video) &&
                 body[2] != static_cast<uint8_t>(Kind::Audio)) ||
                body[3] > 1) {
                return std::nullopt;
            }
            c.subscribe.mediaId = GetU16(body);
            c.subscribe.kind = static_cast<Kind>(body[2]);
            c.subscribe.on = body[3] == 1;
            return c;
        case Type::Keepalive:
        case Type::Bye:
            return bodyLength == 0 ? std::optional<Control>(c) : std::nullopt;
    }
    return std::nullopt;
}

std::vector<uint8_t> Frame4571(const uint8_t* data, size_t length) {
    std::vector<uint8_t> out;
    out.reserve(length + 2);
    out.push_back(static_cast<uint8_t>(length >> 8));
    out.push_back(static_cast<uint8_t>(length));
    out.insert(out.end(), data, data + length);
    return out;
}

bool Deframer4571::Push(const uint8_t* data, size_t length) {
    if (m_bad) {
        return false;
    }
    m_buffer.insert(m_buffer.end(), data, data + length);
    if (m_buffer.size() >= 2) {
        const size_t frame = (static_cast<size_t>(m_buffer[0]) << 8) | m_buffer[1];
        if (frame == 0 || frame > kMaxPacket) {
            m_bad = true;
            m_buffer.clear();
        }
    }
    return !m_bad;
}

std::optional<std::vector<uint8_t>> Deframer4571::Next() {
    if (m_bad || m_buffer.size() < 2) {
        return std::nullopt;
    }
    const size_t frame = (static_cast<size_t>(m_buffer[0]) << 8) | m_buffer[1];
    if (frame == 0 || frame > kMaxPacket) {
        m_bad = true;
        m_buffer.clear();
        return std::nullopt;
    }
    if (m_buffer.size() < frame + 2) {
        return std::nullopt;
    }
    std::vector<uint8_t> packet(m_buffer.begin() + 2,
                                m_buffer.begin() + 2 + static_cast<std::ptrdiff_t>(frame));
    m_buffer.erase(m_buffer.begin(), m_buffer.begin() + 2 + static_cast<std::ptrdiff_t>(frame));
    return packet;
}

}  // namespace kromedia::relay
