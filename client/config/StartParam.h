#pragma once
// The start parameter block: how the program was asked to join (from the command line or the
// login window), handed to the conference road. Its byte form is 720 bytes, little-endian:
//   0 u16 join type | 2 UTF-16[260] server address | 522 UTF-16[64] name |
//   650 UTF-16[32] password | 714 2 zero bytes | 716 i32 conference number
// Texts are NUL-terminated inside their fields.

#include <QString>

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

struct ST_START_PARAM {
    static constexpr std::size_t kSize = 720;
    static constexpr std::size_t kAddressUnits = 260;
    static constexpr std::size_t kNameUnits = 64;
    static constexpr std::size_t kPasswordUnits = 32;

    // 0 account login, 1 conference number without conference password, 2 conference number
    // with conference password, 5 trial entry with a nick name only.
    std::uint16_t wJoinType = 0;
    char16_t szServerAddr[kAddressUnits] = {};
    char16_t szUserName[kNameUnits] = {};
    char16_t szPassword[kPasswordUnits] = {};
    std::int32_t nConfId = 0;

    // Field texts as QString, and setters that cut a text to fit its field with its NUL
    // (a surrogate pair is never split).
    QString ServerAddr() const;
    QString UserName() const;
    QString Password() const;
    void SetServerAddr(const QString& text);
    void SetUserName(const QString& text);
    void SetPassword(const QString& text);

    bool IsZero() const;

    std::array<std::uint8_t, kSize> Encode() const;
    // Nothing (and a log line) unless exactly kSize bytes are given.
    static std::optional<ST_START_PARAM> Decode(std::span<const std::uint8_t> bytes);
};
