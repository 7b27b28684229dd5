#pragma once
// The chat payload (user-to-user command 257): a u32 reserved word, then UTF-16LE text.
//
// Sender: the typed text of n units has every "\r\n" turned into one space and every other
// line break ("\r", "\n", U+2028, U+2029) into a space one for one, and is followed by zero
// units up to n + 2 units: 4 + 2(n + 2) bytes. Receiver: that form and the unterminated
// 4 + 2n form; the text bytes are cut at 1998, an odd last byte is ignored, the text ends at
// the first zero unit, a cut never splits a surrogate pair and a lone surrogate becomes
// U+FFFD. Pure functions without logging, so the fuzzer can drive them.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "ByteIo.h"

namespace yav::usercmd {

inline constexpr std::size_t kChatHeaderSize = 4;       // u32 reserved before the text
inline constexpr std::size_t kChatMaxUnits = 1000;      // n + 2 a sender may use
inline constexpr std::size_t kChatMaxTextBytes = 1998;  // text bytes a receiver reads

struct ChatMessage {
    std::uint32_t reserved = 0;
    std::u16string text;
    // The block carried more text bytes than a receiver reads (the caller logs the size).
    bool cut = false;
};

// Nothing for a block of 4 bytes or fewer, or when no text is left after decoding.
std::optional<ChatMessage> DecodeChat(std::span<const std::uint8_t> payload);

// The typed text with its line breaks made spaces, as the sender puts it on the wire.
std::u16string ChatWireText(std::u16string_view typed);

// The sender's block for a typed text; nothing when n + 2 exceeds 1000 units.
std::optional<proto::Bytes> EncodeChat(std::u16string_view typed, std::uint32_t reserved = 0);

}  // namespace yav::usercmd
