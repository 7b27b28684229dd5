#include "StartParam.h"

#include <algorithm>
#include <cstring>

#include "platform/core/Log.h"

namespace {

constexpr std::size_t kAddressOffset = 2;
constexpr std::size_t kNameOffset = kAddressOffset + ST_START_PARAM::kAddressUnits * 2;
constexpr std::size_t kPasswordOffset = kNameOffset + ST_START_PARAM::kNameUnits * 2;
constexpr std::size_t kPaddingOffset = kPasswordOffset + ST_START_PARAM::kPasswordUnits * 2;
constexpr std::size_t kConfIdOffset = kPaddingOffset + 2;
static_assert(kNameOffset == 522 && kPasswordOffset == 650 && kPaddingOffset == 714 &&
              kConfIdOffset == 716);
static_assert(kConfIdOffset + 4 == ST_START_PARAM::kSize);

template <std::size_t N>
QString FieldText(const char16_t (&field)[N]) {
    std::size_t length = 0;
    while (length < N && field[length] != u'\0') {
        ++length;
    }
    return QString::fromUtf16(field, static_cast<qsizetype>(length));
}

template <std::size_t N>
void SetFieldText(char16_t (&field)[N], const QString& text) {
    std::fill(std::begin(field), std::end(field), u'\0');
    std::size_t length = std::min<std::size_t>(static_cast<std::size_t>(text.size()), N - 1);
    if (length > 0 && length < static_cast<std::size_t>(text.size()) &&
        text.at(static_cast<qsizetype>(length - 1)).isHighSurrogate()) {
        --length;
    }
    std::memcpy(field, text.utf16(), length * 2);
}

template <std::size_t N>
void PutText(std::uint8_t* out, const char16_t (&field)[N]) {
    for (std::size_t i = 0; i < N; ++i) {
        out[2 * i] = static_cast<std::uint8_t>(field[i] & 0xFF);
        out[2 * i + 1] = static_cast<std::uint8_t>(field[i] >> 8);
    }
}

template <std::size_t N>
void GetText(const std::uint8_t* in, char16_t (&field)[N]) {
    for (std::size_t i = 0; i < N; ++i) {
        field[i] = static_cast<char16_t>(in[2 * i] | (in[2 * i + 1] << 8));
    }
    field[N - 1] = u'\0';  // always terminated, whatever the sender wrote
}

}  // namespace

QString ST_START_PARAM::ServerAddr() const {
    return FieldText(szServerAddr);
}
QString ST_START_PARAM::UserName() const {
    return FieldText(szUserName);
}
QString ST_START_PARAM::Password() const {
    return FieldText(szPassword);
}
void ST_START_PARAM::SetServerAddr(const QString& text) {
    SetFieldText(szServerAddr, text);
}
void ST_START_PARAM::SetUserName(const QString& text) {
    SetFieldText(szUserName, text);
}
void ST_START_PARAM::SetPassword(const QString& text) {
    SetFieldText(szPassword, text);
}

bool ST_START_PARAM::IsZero() const {
    const auto bytes = Encode();
    return std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == 0; });
}

std::array<std::uint8_t, ST_START_PARAM::kSize> ST_START_PARAM::Encode() const {
    std::array<std::uint8_t, kSize> out{};
    out[0] = static_cast<std::uint8_t>(wJoinType & 0xFF);
    out[1] = static_cast<std::uint8_t>(wJoinType >> 8);
    PutText(out.data() + kAddressOffset, szServerAddr);
    PutText(out.data() + kNameOffset, szUserName);
    PutText(out.data() + kPasswordOffset, szPassword);
    const auto confId = static_cast<std::uint32_t>(nConfId);
    for (int i = 0; i < 4; ++i) {
        out[kConfIdOffset + static_cast<std::size_t>(i)] =
            static_cast<std::uint8_t>(confId >> (8 * i));
    }
    return out;
}

std::optional<ST_START_PARAM> ST_START_PARAM::Decode(std::span<const std::uint8_t> bytes) {
    if (bytes.size() != kSize) {
        YLOG_WARN("ST_START_PARAM: %zu bytes instead of %zu", bytes.size(), kSize);
        return std::nullopt;
    }
    ST_START_PARAM block;
    block.wJoinType = static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
    GetText(bytes.data() + kAddressOffset, block.szServerAddr);
    GetText(bytes.data() + kNameOffset, block.szUserName);
    GetText(bytes.data() + kPasswordOffset, block.szPassword);
    std::uint32_t confId = 0;
    for (int i = 0; i < 4; ++i) {
        confId |= std::uint32_t{bytes[kConfIdOffset + static_cast<std::size_t>(i)]} << (8 * i);
    }
    block.nConfId = static_cast<std::int32_t>(confId);
    return block;
}
