#pragma once
// One row of a conference's roll (134 bytes): a registered member or a present guest.

#include <cstddef>
#include <cstdint>

#include "ByteIo.h"

struct ST_ROLLCALL_ITEM {
    static constexpr size_t kSize = 134;

    uint32_t accountId = 0;  // +0 above 0x80000000 for a guest
    char nickName[64]{};     // +4 GBK
    char displayName[64]{};  // +68 GBK
    uint8_t kind = 0;        // +132 participant kind (as ST_USER_ITEM_DEPT byte 70)
    uint8_t present = 0;     // +133 1 = in the conference now

    void Write(yav::proto::ByteWriter& out) const;
    void Read(yav::proto::ByteReader& in);
};
