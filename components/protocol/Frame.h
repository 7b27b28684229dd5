#pragma once
// Framing of the byte stream: u32 length (counting the type and body) + u16 type + body.
// FrameAssembler cuts a received stream into frames and refuses lengths outside the limits
// before reading a body.

#include <optional>
#include <span>

#include "ByteIo.h"
#include "Protocol.h"

namespace yav::proto {

struct Frame {
    MsgType type = MsgType::Heartbeat;
    Bytes body;
};

class FrameAssembler {
public:
    enum class Result { NeedMore, Frame, Malformed };

    explicit FrameAssembler(uint32_t maxFrameBytes = kMaxFrameBytes)
        : maxFrameBytes_(maxFrameBytes) {}

    void Append(std::span<const uint8_t> data);
    // The next complete frame; Malformed for a length outside [2, max] (the stream cannot
    // be trusted after that).
    Result Next(Frame& out);
    size_t Buffered() const { return buffer_.size() - readOffset_; }

private:
    uint32_t maxFrameBytes_;
    Bytes buffer_;
    size_t readOffset_ = 0;
};

// A frame of the given type around an already encoded body.
Bytes MakeFrame(MsgType type, std::span<const uint8_t> body);

// Encodes a message struct (with kType and Write) as one frame.
template <class Message>
Bytes EncodeFrame(const Message& message) {
    ByteWriter out;
    out.U32(0);
    out.U16(static_cast<uint16_t>(Message::kType));
    message.Write(out);
    out.PatchU32(0, static_cast<uint32_t>(out.Size() - kFrameLengthBytes));
    return out.Take();
}

// Decodes a body as the message; nothing when it is short, long or holds a value outside
// the message's limits.
template <class Message>
std::optional<Message> DecodeBody(std::span<const uint8_t> body) {
    ByteReader in(body);
    Message message;
    message.Read(in);
    if (!in.Finished()) {
        return std::nullopt;
    }
    return message;
}

// A printable name of a message type for log lines.
const char* MsgTypeName(MsgType type);

}  // namespace yav::proto
