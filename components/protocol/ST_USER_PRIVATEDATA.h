#pragma once
// A participant's private data: 32 bytes kept by the conference server per participant and
// mirrored at offset 92 of the participant record. Clients change it with
// ICsManager::SetUserData (ranges) or ICsUserManager::ModifyUserPrivateData (whole record).

#include <cstddef>
#include <cstdint>

#include "ByteIo.h"

struct ST_USER_PRIVATEDATA {
    static constexpr size_t kSize = 32;

    uint32_t groupValue = 0;          // +0 audio group the participant listens in (0 = none)
    uint32_t previousGroupValue = 0;  // +4 the group value before the last move
    uint8_t speakMode = 0;            // +8 speak state remembered when the group changed
    uint8_t listenFlag = 0;           // +9 1 = the participant's audio is listened to
    uint8_t reserved[22]{};           // +10

    void Write(yav::proto::ByteWriter& out) const;
    void Read(yav::proto::ByteReader& in);
};
