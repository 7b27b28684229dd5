#include "LoginSettings.h"

#include <QByteArray>

#include <array>
#include <limits>
#include <string>

#include "LoginText.h"
#include "platform/core/Log.h"
#include "platform/core/Profile.h"

namespace {

// 31 printable characters and a zero byte; values stored by earlier installs depend on it.
constexpr std::array<std::uint8_t, 32> kScrambleKey = {
    'Q', 'v', '7', '#', 'k', 'L', 'm', '2', '!', 'p', 'R', '9', 'z', 'T', '4', '&',
    'x', 'W', '8', '$', 'n', 'B', '3', '^', 'h', 'F', '6', '*', 'd', 'J', '1', '\0'};

constexpr const char* kSection = "login";

}  // namespace

void LoginSettings::LoadAccount(StoredLogin* stored) const {
    const std::string path = iniPath_.toStdString();
    auto text = [&path](const char* key) {
        return QString::fromStdString(yav::profile::GetString(kSection, key, "", kReadChars, path));
    };
    stored->reservePassword = yav::profile::GetInt(kSection, "ReservePWS", 0, path) != 0;
    stored->autoLogin = yav::profile::GetInt(kSection, "AutoLogin", 0, path) != 0;
    stored->user = text("User");
    stored->password = DecodeStoredPassword(text("Password"));
}

void LoginSettings::LoadConf(StoredLogin* stored) const {
    const std::string path = iniPath_.toStdString();
    auto text = [&path](const char* key) {
        return QString::fromStdString(yav::profile::GetString(kSection, key, "", kReadChars, path));
    };
    stored->nickName = text("NickName");
    stored->confPassword = DecodeStoredPassword(text("confpwd"));
    // Read as the profile integers are (leading digits), but a number too long for a
    // conference number counts as none instead of wrapping around into another one.
    const std::string number = yav::profile::GetString(kSection, "confID", "0", kReadChars, path);
    const size_t start = number.find_first_not_of(" \t");
    std::int64_t value = 0;
    for (size_t i = start; i != std::string::npos && i < number.size(); ++i) {
        if (number[i] < '0' || number[i] > '9') {
            break;
        }
        value = value * 10 + (number[i] - '0');
        if (value > std::numeric_limits<std::int32_t>::max()) {
            value = 0;
            break;
        }
    }
    stored->confId = static_cast<int>(value);
}

void LoginSettings::SavePassword(const char* key, const QString& password,
                                 bool reservePassword) const {
    const std::string path = iniPath_.toStdString();
    if (!reservePassword) {
        yav::profile::WriteString(kSection, key, std::string(), path);
        return;
    }
    if (password.size() >= kUnstorablePasswordChars) {
        return;  // the stored value stays
    }
    yav::profile::WriteString(kSection, key, EncodeStoredPassword(password).toStdString(), path);
}

void LoginSettings::SaveAccount(const QString& user, const QString& password,
                                bool reservePassword) const {
    const std::string path = iniPath_.toStdString();
    yav::profile::WriteString(kSection, "User", login_text::CutTo(user, kNameChars).toStdString(),
                              path);
    SavePassword("Password", password, reservePassword);
    yav::profile::WriteString(kSection, "ReservePWS", reservePassword ? "1" : "0", path);
}

void LoginSettings::SaveConf(const QString& nickName, const QString& confPassword,
                             bool reservePassword, const QString& confNumber) const {
    const std::string path = iniPath_.toStdString();
    yav::profile::WriteString(kSection, "NickName",
                              login_text::CutTo(nickName, kNameChars).toStdString(), path);
    SavePassword("confpwd", confPassword, reservePassword);
    yav::profile::WriteString(kSection, "confID", confNumber.trimmed().toStdString(), path);
}

void LoginSettings::SaveAutoLogin(bool autoLogin) const {
    yav::profile::WriteString(kSection, "AutoLogin", autoLogin ? "1" : "0", iniPath_.toStdString());
}

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
    std::string bytes = login_text::ToGbk(password);
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
    return login_text::FromGbk(text.substr(0, text.find('\0')));
}
