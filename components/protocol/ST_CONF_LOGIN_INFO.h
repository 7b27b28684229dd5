#pragma once
// The login record of the own connection: 2329 bytes, holding the room attributes (1298
// bytes at offset 281) that every participant reads and the chair writes in ranges.

#include <cstddef>
#include <cstdint>

#include "ByteIo.h"

// Offsets inside the room attributes (kRoomAttrSize bytes).
enum : uint16_t {
    ROOM_ATTR_SCREEN_SHARE = 0,  // u16 sharer's user id + u32 sharing value
    ROOM_ATTR_MEDIA_SHARE = 6,   // u16 user id + u32 share parameter + u8 on
    ROOM_ATTR_BULLETIN = 13,     // u8 length + up to 241 bytes of GBK text
    ROOM_ATTR_OPTION_C = 270,
    ROOM_ATTR_CHAT_RIGHTS = 271,
    ROOM_ATTR_CONF_FLAG = 272,
    ROOM_ATTR_SERVER_RECORD = 274,  // bit 0 running; bits 1.. the stop reason
};

// The share records: each starts with the user id of the participant sharing (0 = nobody);
// other clients start receiving from whoever a record names.
inline constexpr uint16_t kScreenShareRecordBytes = 6;
inline constexpr uint16_t kMediaShareRecordBytes = 7;

struct ST_CONF_LOGIN_INFO {
    static constexpr size_t kSize = 2329;
    static constexpr size_t kRoomAttrOffset = 281;
    static constexpr size_t kRoomAttrSize = 1298;

    uint32_t confId = 0;                // +0
    char confName[64]{};                // +4 GBK, NUL-terminated
    uint8_t reserved68 = 0;             // +68
    uint8_t recordMode = 0;             // +69 0 local recording, 1 server recording
    uint8_t statusByte = 0;             // +70 non-zero while the conference is locked
    uint32_t ownerId = 0;               // +71 owner id of this participant's shared files
    uint16_t userId = 0;                // +75 own user id
    uint8_t kind = 1;                   // +77 own kind: 0/5 chair kinds, 1 member
    uint8_t presenterState = 0;         // +78 own presenter state (2 presenter)
    uint8_t reserved79[202]{};          // +79
    uint8_t roomAttr[kRoomAttrSize]{};  // +281
    uint8_t reserved1579[750]{};        // +1579

    void Write(yav::proto::ByteWriter& out) const;
    void Read(yav::proto::ByteReader& in);
};
