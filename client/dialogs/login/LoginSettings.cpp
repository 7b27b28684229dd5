#include "LoginSettings.h"

#include <QByteArray>

#include <array>
#include <string>

#include "platform/core/Log.h"
#include "platform/core/TextCodec.h"

namespace {

// 31 printable characters and a zero byte; values stored by earlier installs depend on it.
constexpr std::array<std::uint8_t, 32> kScrambleKey = {
    'Q', 'v', '7', '#', 'k', 'L', 'm', '2', '!', 'p', 'R', '9', 'z', 'T', '4', '&',
    'x', 'W', '8', '$', 'n', 'B', '3', '^', 'h', 'F', '6', '*', 'd', 'J', '1', '\0'};

std::string ToGbk(const QString& text) {
    return yav::text::Utf16ToGbk(std::u16string_view(
        reinterpret_cast<const char16_t*>(text.utf16()), static_cast<size_t>(text.size())));
}

QString FromGbk(std::string_view gbk) {
    const std::u16string wide = yav::text::GbkToUtf16(gbk);
    return QString::fromUtf16(wide.data(), static_cast<qsizetype>(wide.size()));
}

}  // namespace

int LoginSettings::ScramblePassword(std::uint8_t* bytes, std::int32_t count) {
    if (count > static_cast<std::int32_t>(kScrambleKey.size())) {
        return 0;
    }
    for (std::int32_t i = 0; i < count; ++i) {
        bytes[i] ^= kScrambleKey[static_cast<size_t>(i)];
    }
    return 1;
}

QString LoginSettings::EncodeStoredPassword(const QString& password) {
    std::string bytes = ToGbk(password);
    const auto textBytes = static_cast<std::int32_t>(bytes.size());
    bytes.push_back('\0');  // stored with the terminator, which is never scrambled
    ScramblePassword(reinterpret_cast<std::uint8_t*>(bytes.data()), textBytes);
    return QString::fromLatin1(
        QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())).toBase64());
}

QString LoginSettings::DecodeStoredPassword(const QString& stored) {
    if (stored.isEmpty()) {
        return {};
    }
    if (stored.size() > kStoredPasswordChars) {
        YLOG_WARN("stored password text of %d characters ignored", static_cast<int>(stored.size()));
        return {};
    }
    const auto decoded = QByteArray::fromBase64Encoding(
        stored.toLatin1(), QByteArray::Base64Encoding | QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded) {
        YLOG_WARN("stored password text is not Base64, ignored");
        return {};
    }
    QByteArray bytes = *decoded;
    const auto decodedBytes = static_cast<std::int32_t>(bytes.size());
    if (decodedBytes == 0) {
        return {};
    }
    // The last decoded byte is the stored terminator.
    ScramblePassword(reinterpret_cast<std::uint8_t*>(bytes.data()), decodedBytes - 1);
    const std::string_view text(bytes.constData(), static_cast<size_t>(decodedBytes));
    return FromGbk(text.substr(0, text.find('\0')));
}
