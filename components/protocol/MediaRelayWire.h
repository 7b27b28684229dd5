#pragma once
// What a media channel and the media relay say to each other on one socket (UDP datagrams, or
// RFC 4571 frames over TCP): RTP and RTCP as they are (RFC 5761 tells them apart) and control
// packets that start with "YM". Control bodies are little-endian.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace yav::relay {

inline constexpr uint8_t kMagic0 = 'Y';
inline constexpr uint8_t kMagic1 = 'M';
inline constexpr uint8_t kVersion = 1;
inline constexpr size_t kTicketBytes = 16;
inline constexpr size_t kCookieBytes = 16;
inline constexpr size_t kMaxPacket = 1500;  // larger datagrams and frames are dropped

enum class Type : uint8_t {
    Hello = 1,      // client: ticket, conference id, media id
    HelloAck = 2,   // relay: result, media id
    Subscribe = 3,  // client: media id, kind, on
    Keepalive = 4,  // both ways; the relay answers each one
    Bye = 5,        // client: the session ends
    Cookie = 6,     // relay: a UDP hello must come back with this before a session opens
    Audience = 7,   // relay: whether anyone may receive the session's video and audio now
};

enum class Kind : uint8_t { Video = 1, Audio = 2 };

enum class HelloResult : uint8_t { Ok = 0, BadTicket = 1, NotInConference = 2, IdNotOwned = 3 };

struct Hello {
    std::array<uint8_t, kTicketBytes> ticket{};
    uint32_t conferenceId = 0;
    uint16_t mediaId = 0;
    bool hasCookie = false;  // the relay's cookie, echoed from the hello's own address
    std::array<uint8_t, kCookieBytes> cookie{};
};

struct Audience {
    bool video = false;
    bool audio = false;
};

struct Subscribe {
    uint16_t mediaId = 0;
    Kind kind = Kind::Video;
    bool on = false;
};

struct Control {
    Type type = Type::Keepalive;
    Hello hello;                                 // Hello
    HelloResult result{};                        // HelloAck
    uint16_t ackMediaId = 0;                     // HelloAck
    Subscribe subscribe;                         // Subscribe
    uint16_t cookieMediaId = 0;                  // Cookie
    std::array<uint8_t, kCookieBytes> cookie{};  // Cookie
    Audience audience;                           // Audience
};

enum class PacketClass { Rtp, Rtcp, Control, Invalid };

// RTP version 2 with payload type 192..223 in the second byte is RTCP (RFC 5761).
PacketClass Classify(const uint8_t* data, size_t length);

// The SSRC a sender uses for a stream: 0x59 in the top byte, the kind, the media id. The relay
// accepts from a session only SSRCs that carry its own media id.
constexpr uint32_t SsrcFor(uint16_t mediaId, Kind kind) {
    return 0x59000000U | (static_cast<uint32_t>(kind) << 16) | mediaId;
}
// The media id and kind of an SSRC made by SsrcFor; nothing for any other.
std::optional<std::pair<uint16_t, Kind>> ParseSsrc(uint32_t ssrc);
// The sender's SSRC of an RTP packet, or of the first RTCP packet of a compound.
std::optional<uint32_t> SenderSsrc(const uint8_t* data, size_t length);

// Whether an RTP packet's header (fixed part, CSRCs, extension) and padding fit inside it.
bool RtpHeaderFits(const uint8_t* data, size_t length);

// What an RTCP compound packet says about SSRCs.
struct RtcpSsrcs {
    std::vector<uint32_t> senders;  // the sender SSRC of each packet that names one
    std::vector<uint32_t> named;    // media SSRCs reported on (report blocks) or asked (feedback)
    bool senderReport = false;      // an SR: it belongs with the sender's stream
};
// Nothing when the packets' lengths do not add up to the compound's, a packet is too short
// for what its count says, or a packet type is not one of 200..207.
std::optional<RtcpSsrcs> ParseRtcp(const uint8_t* data, size_t length);

// One packet of an RTCP compound, as the relay takes it apart.
struct RtcpPart {
    uint8_t type = 0;     // 200..207
    uint8_t count = 0;    // report count, or the feedback message type (FMT)
    size_t offset = 0;    // in the compound
    size_t size = 0;      // bytes, header included
    uint32_t sender = 0;  // the sender SSRC (0 for an SDES or BYE without one)
    bool hasSender = false;
    uint32_t media = 0;  // feedback: the media SSRC (for a FIR the one its entries name)
};
inline constexpr uint8_t kRtpFeedback = 205;
inline constexpr uint8_t kPayloadFeedback = 206;
inline constexpr uint8_t kFmtNack = 1;  // with 205
inline constexpr uint8_t kFmtPli = 1;   // with 206
inline constexpr uint8_t kFmtFir = 4;   // with 206
inline constexpr size_t kReportBlockBytes = 24;
// The packets of a compound; nothing when ParseRtcp would refuse it, when a packet is padded
// (nothing we send pads RTCP, and a padded packet cannot be moved into another compound), or
// when a FIR's entries name more than one stream.
std::optional<std::vector<RtcpPart>> SplitRtcp(const uint8_t* data, size_t length);
// The offset of a report packet's first report block (SR 28, RR 8).
size_t ReportBlocksAt(uint8_t type);

// A picture loss indication (RFC 4585) from sender about media.
std::vector<uint8_t> MakePli(uint32_t sender, uint32_t media);

std::vector<uint8_t> Encode(const Control& control);
// Nothing for a packet of the wrong size, version or type.
std::optional<Control> Decode(const uint8_t* data, size_t length);

// RFC 4571: each packet behind a 16-bit big-endian length.
std::vector<uint8_t> Frame4571(const uint8_t* data, size_t length);

// Cuts a TCP byte stream into packets; a zero or oversized length poisons the stream.
class Deframer4571 {
public:
    // Appends bytes; false once the stream is bad (the connection should be dropped).
    bool Push(const uint8_t* data, size_t length);
    // The next complete packet, if any.
    std::optional<std::vector<uint8_t>> Next();
    // Whether a zero or oversized length has been seen.
    bool Bad() const { return m_bad; }

private:
    std::vector<uint8_t> m_buffer;
    bool m_bad = false;
};

}  // namespace yav::relay
