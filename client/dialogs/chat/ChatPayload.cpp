#include "ChatPayload.h"

namespace yav::usercmd {

namespace {

constexpr char16_t kReplacement = u'\uFFFD';

bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}
bool IsLineBreak(char16_t unit) {
    return unit == u'\r' || unit == u'\n' || unit == u'\u2028' || unit == u'\u2029';
}

}  // namespace

std::optional<ChatMessage> DecodeChat(std::span<const std::uint8_t> payload) {
    if (payload.size() <= kChatHeaderSize) {
        return std::nullopt;
    }
    proto::ByteReader header(payload.first(kChatHeaderSize));
    ChatMessage message;
    message.reserved = header.U32();

    auto textBytes = payload.subspan(kChatHeaderSize);
    if (textBytes.size() > kChatMaxTextBytes) {
        textBytes = textBytes.first(kChatMaxTextBytes);
        message.cut = true;
    }
    std::u16string units;
    units.reserve(textBytes.size() / 2);
    for (std::size_t i = 0; i + 1 < textBytes.size(); i += 2) {
        const auto unit = static_cast<char16_t>(textBytes[i] | textBytes[i + 1] << 8);
        if (unit == 0) {
            break;
        }
        units.push_back(unit);
    }
    // A cut that ends right after a high surrogate would split the pair: drop that half.
    if (message.cut && !units.empty() && IsHighSurrogate(units.back()) &&
        units.size() * 2 == textBytes.size()) {
        units.pop_back();
    }
    message.text.reserve(units.size());
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char16_t unit = units[i];
        if (IsHighSurrogate(unit) && i + 1 < units.size() && IsLowSurrogate(units[i + 1])) {
            message.text.push_back(unit);
            message.text.push_back(units[++i]);
        } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
            message.text.push_back(kReplacement);
        } else {
            message.text.push_back(unit);
        }
    }
    if (message.text.empty()) {
        return std::nullopt;
    }
    return message;
}

std::u16string ChatWireText(std::u16string_view typed) {
    std::u16string text;
    text.reserve(typed.size());
    for (std::size_t i = 0; i < typed.size(); ++i) {
        if (typed[i] == u'\r' && i + 1 < typed.size() && typed[i + 1] == u'\n') {
            ++i;
            text.push_back(u' ');
        } else if (IsLineBreak(typed[i])) {
            text.push_back(u' ');
        } else {
            text.push_back(typed[i]);
        }
    }
    return text;
}

std::optional<proto::Bytes> EncodeChat(std::u16string_view typed, std::uint32_t reserved) {
    const std::size_t units = typed.size() + 2;
    if (units > kChatMaxUnits) {
        return std::nullopt;
    }
    const std::u16string text = ChatWireText(typed);
    proto::ByteWriter out(kChatHeaderSize + 2 * units);
    out.U32(reserved);
    for (const char16_t unit : text) {
        out.U16(static_cast<std::uint16_t>(unit));
    }
    for (std::size_t i = text.size(); i < units; ++i) {
        out.U16(0);
    }
    return out.Take();
}

}  // namespace yav::usercmd
