#pragma once
// The login page's remembered inputs in section "login" of "Client.ini", and the scrambled
// form its passwords are stored in: code page 936 bytes plus one zero byte, the text bytes
// XORed with a fixed key (only when there are at most 32 of them), Base64 over all of them.

#include <QString>

#include <cstdint>

// What the login page reads back when it opens.
struct StoredLogin {
    bool reservePassword = false;  // "ReservePWS"
    bool autoLogin = false;        // "AutoLogin"
    QString user;                  // "User"
    QString password;              // "Password", decoded
    QString nickName;              // "NickName"
    QString confPassword;          // "confpwd", decoded
    int confId = 0;                // "confID"
};

class LoginSettings {
public:
    explicit LoginSettings(QString clientIniPath) : iniPath_(std::move(clientIniPath)) {}

    // "ReservePWS", "AutoLogin", "User", "Password".
    void LoadAccount(StoredLogin* stored) const;
    // "NickName", "confpwd", "confID".
    void LoadConf(StoredLogin* stored) const;
    // After a successful account login: the user name (cut to 63), the password when
    // remembered (a password too long to store keeps the stored one; not remembered stores
    // an empty value) and the remember state.
    void SaveAccount(const QString& user, const QString& password, bool reservePassword) const;
    // After a successful conference-number login: nick name, conference password under the
    // same rule, and the conference number trimmed.
    void SaveConf(const QString& nickName, const QString& confPassword, bool reservePassword,
                  const QString& confNumber) const;
    void SaveAutoLogin(bool autoLogin) const;

    // Stored texts arrive through a 128-character buffer; names are written cut to 63.
    static constexpr int kReadChars = 128;
    static constexpr int kNameChars = 63;
    // Longest stored scrambled text the reader accepts (it worked in 64-byte buffers).
    static constexpr int kStoredPasswordChars = 63;
    // Passwords of this many characters or more keep the value stored before.
    static constexpr int kUnstorablePasswordChars = 32;

    // XORs the first count bytes with the key, in place; its own inverse. Returns 1, or 0
    // without touching anything when count is greater than 32.
    static int ScramblePassword(std::uint8_t* bytes, std::int32_t count);

    // The stored text for a password (any length; the caller decides whether to store it).
    static QString EncodeStoredPassword(const QString& password);
    // The password a stored text stands for; empty for an empty, oversized or malformed text.
    static QString DecodeStoredPassword(const QString& stored);

private:
    void SavePassword(const char* key, const QString& password, bool reservePassword) const;

    QString iniPath_;
};
