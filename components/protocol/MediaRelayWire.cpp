#include "MediaRelayWire.h"

#include <cstring>

namespace yav::relay {

namespace {

constexpr size_t kHeader = 4;  // magic, version, type
constexpr size_t kHelloBody = kTicketBytes + 4 + 2;
constexpr size_t kAckBody = 3;
constexpr size_t kSubscribeBody = 4;
constexpr size_t kCookieBody = 2 + kCookieBytes;
constexpr size_t kAudienceBody = 2;

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

bool RtpHeaderFits(const uint8_t* data, size_t length) {
    if (Classify(data, length) != PacketClass::Rtp) {
        return false;
    }
    size_t header = 12 + 4 * static_cast<size_t>(data[0] & 0x0F);
    if ((data[0] & 0x10) != 0) {  // extension: 4 bytes, then its length in words
        if (header + 4 > length) {
            return false;
        }
        header += 4 + 4 * static_cast<size_t>((data[header + 2] << 8) | data[header + 3]);
    }
    if (header > length) {
        return false;
    }
    if ((data[0] & 0x20) != 0) {  // padding: its count is the last byte, at least 1
        const size_t padding = data[length - 1];
        return padding != 0 && header + padding <= length;
    }
    return true;
}

std::optional<RtcpSsrcs> ParseRtcp(const uint8_t* data, size_t length) {
    if (Classify(data, length) != PacketClass::Rtcp) {
        return std::nullopt;
    }
    constexpr size_t kReportBlock = 24;
    RtcpSsrcs out;
    size_t at = 0;
    while (at < length) {
        if (length - at < 4) {
            return std::nullopt;
        }
        const uint8_t* p = data + at;
        const size_t size = 4 * (1 + ((static_cast<size_t>(p[2]) << 8) | p[3]));
        if ((p[0] >> 6) != 2 || size > length - at) {
            return std::nullopt;
        }
        const size_t count = p[0] & 0x1F;
        const uint8_t type = p[1];
        size_t blocksAt = 0;
        switch (type) {
            case 200:  // SR: sender info, then report blocks
                blocksAt = 28;
                out.senderReport = true;
                break;
            case 201:  // RR: report blocks
                blocksAt = 8;
                break;
            case 202:  // SDES, BYE: the first chunk or SSRC, when there is one
            case 203:
                if (count > 0 && size < 8) {
                    return std::nullopt;
                }
                break;
            case 204:  // APP, XR: an SSRC and more
            case 207:
                if (size < 8) {
                    return std::nullopt;
                }
                break;
            case 205:  // feedback: sender, then the media it is about
            case 206:
                if (size < 12) {
                    return std::nullopt;
                }
                out.named.push_back(GetU32Be(p + 8));
                break;
            default:
                return std::nullopt;
        }
        if (blocksAt != 0) {
            if (blocksAt + count * kReportBlock > size) {
                return std::nullopt;
            }
            for (size_t i = 0; i < count; ++i) {
                out.named.push_back(GetU32Be(p + blocksAt + i * kReportBlock));
            }
        }
        if (size >= 8 && !((type == 202 || type == 203) && count == 0)) {
            out.senders.push_back(GetU32Be(p + 4));
        }
        at += size;
    }
    return out;
}

size_t ReportBlocksAt(uint8_t type) {
    return type == 200 ? 28 : 8;
}

std::optional<std::vector<RtcpPart>> SplitRtcp(const uint8_t* data, size_t length) {
    if (!ParseRtcp(data, length)) {
        return std::nullopt;
    }
    std::vector<RtcpPart> parts;
    for (size_t at = 0; at < length;) {
        const uint8_t* p = data + at;
        RtcpPart part;
        part.type = p[1];
        part.count = p[0] & 0x1F;
        part.offset = at;
        part.size = 4 * (1 + ((static_cast<size_t>(p[2]) << 8) | p[3]));
        if ((p[0] & 0x20) != 0) {
            return std::nullopt;
        }
        const bool noSsrc = (part.type == 202 || part.type == 203) && part.count == 0;
        if (part.size >= 8 && !noSsrc) {
            part.sender = GetU32Be(p + 4);
            part.hasSender = true;
        }
        if (part.type == kRtpFeedback || part.type == kPayloadFeedback) {
            part.media = GetU32Be(p + 8);
            if (part.type == kPayloadFeedback && part.count == kFmtFir) {
                // RFC 5104: the media SSRC is 0; each 8-byte entry names the stream.
                if (part.size < 20 || (part.size - 12) % 8 != 0) {
                    return std::nullopt;
                }
                part.media = GetU32Be(p + 12);
                for (size_t entry = 20; entry < part.size; entry += 8) {
                    if (GetU32Be(p + entry) != part.media) {
                        return std::nullopt;
                    }
                }
            }
        }
        parts.push_back(part);
        at += part.size;
    }
    return parts;
}

std::vector<uint8_t> MakePli(uint32_t sender, uint32_t media) {
    std::vector<uint8_t> out = {0x81, 206, 0, 2};  // version 2, FMT 1, PSFB, 3 words
    for (const uint32_t v : {sender, media}) {
        for (int shift = 24; shift >= 0; shift -= 8) {
            out.push_back(static_cast<uint8_t>(v >> shift));
        }
    }
    return out;
}

std::vector<uint8_t> Encode(const Control& control) {
    std::vector<uint8_t> out = {kMagic0, kMagic1, kVersion, static_cast<uint8_t>(control.type)};
    switch (control.type) {
        case Type::Hello:
            out.insert(out.end(), control.hello.ticket.begin(), control.hello.ticket.end());
            PutU32(out, control.hello.conferenceId);
            PutU16(out, control.hello.mediaId);
            if (control.hello.hasCookie) {
                out.insert(out.end(), control.hello.cookie.begin(), control.hello.cookie.end());
            }
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
        case Type::Cookie:
            PutU16(out, control.cookieMediaId);
            out.insert(out.end(), control.cookie.begin(), control.cookie.end());
            break;
        case Type::Audience:
            out.push_back(control.audience.video ? 1 : 0);
            out.push_back(control.audience.audio ? 1 : 0);
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
            if (bodyLength != kHelloBody && bodyLength != kHelloBody + kCookieBytes) {
                return std::nullopt;
            }
            std::memcpy(c.hello.ticket.data(), body, kTicketBytes);
            c.hello.conferenceId = GetU32(body + kTicketBytes);
            c.hello.mediaId = GetU16(body + kTicketBytes + 4);
            c.hello.hasCookie = bodyLength != kHelloBody;
            if (c.hello.hasCookie) {
                std::memcpy(c.hello.cookie.data(), body + kHelloBody, kCookieBytes);
            }
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
        case Type::Cookie:
            if (bodyLength != kCookieBody) {
                return std::nullopt;
            }
            c.cookieMediaId = GetU16(body);
            std::memcpy(c.cookie.data(), body + 2, kCookieBytes);
            return c;
        case Type::Audience:
            if (bodyLength != kAudienceBody || body[0] > 1 || body[1] > 1) {
                return std::nullopt;
            }
            c.audience = {body[0] == 1, body[1] == 1};
            return c;
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

}  // namespace yav::relay
