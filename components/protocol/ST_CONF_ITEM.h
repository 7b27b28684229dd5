#pragma once
// One conference of the data server's list: the full 177-byte entry and its 75-byte short
// form (the first 75 bytes of the full one).

#include <cstddef>
#include <cstdint>

#include "ByteIo.h"

struct ST_CONF_ITEM_SHORT {
    static constexpr size_t kSize = 75;

    uint32_t confId = 0;       // +0
    char confName[64]{};       // +4 GBK, NUL-terminated
    uint16_t capacity = 0;     // +68 shown after the slash; 0 = cannot be joined now
    uint16_t onlineCount = 0;  // +70 shown before the slash
    uint16_t reserved72 = 0;   // +72
    uint8_t passwordFree = 0;  // +74 0 = a conference password must be typed (types 1, 5)

    void Write(yav::proto::ByteWriter& out) const;
    void Read(yav::proto::ByteReader& in);
};

struct ST_CONF_ITEM {
    static constexpr size_t kSize = 177;

    uint32_t confId = 0;          // +0
    char confName[64]{};          // +4
    uint16_t capacity = 0;        // +68
    uint16_t onlineCount = 0;     // +70
    uint16_t reserved72 = 0;      // +72
    uint8_t passwordFree = 0;     // +74
    uint8_t hasIdentity = 0;      // +75 1 = log in with the three fields below
    uint32_t identityConfId = 0;  // +76
    char identityPassword[33]{};  // +80 GBK
    char identityName[64]{};      // +113 GBK

    void Write(yav::proto::ByteWriter& out) const;
    void Read(yav::proto::ByteReader& in);

    // A full entry made from a short one: its first 75 bytes, the rest zero.
    static ST_CONF_ITEM FromShort(const ST_CONF_ITEM_SHORT& brief);
    ST_CONF_ITEM_SHORT ToShort() const;
};
