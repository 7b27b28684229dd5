#pragma once
// The login page's remembered inputs in section "login" of "Client.ini", and the scrambled
// form its passwords are stored in: code page 936 bytes plus one zero byte, the text bytes
// XORed with a fixed key (only when there are at most 32 of them), Base64 over all of them.

#include <QString>

#include <cstdint>

class LoginSettings {
public:
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
};
