#pragma once
// One participant of a conference as the conference server describes it: 124 bytes,
// packed, little-endian on the wire. The byte offsets are given beside each field.

#include <cstddef>
#include <cstdint>

#include "ByteIo.h"
#include "ST_USER_PRIVATEDATA.h"

// Participant kinds (byte 70): 0 and 5 are the chair kinds.
enum : uint8_t {
    USER_KIND_CHAIR = 0,
    USER_KIND_MEMBER = 1,
    USER_KIND_TEMP_ADMIN = 5,
};

// A media id is its owner's user id (a multiple of 8) plus the channel 0..7 in the low three
// bits; channel 7 carries the broadcast picture.
inline constexpr uint16_t kMediaChannelBits = 0x0007;
constexpr uint16_t UserOf(uint16_t mediaId) {
    return static_cast<uint16_t>(mediaId & ~kMediaChannelBits);
}
constexpr uint8_t ChannelOf(uint16_t mediaId) {
    return static_cast<uint8_t>(mediaId & kMediaChannelBits);
}

// Guests have no account; their account id is above this value.
inline constexpr uint32_t kGuestAccountBase = 0x80000000u;

struct ST_USER_ITEM_DEPT {
    static constexpr size_t kSize = 124;

    uint16_t userId = 0;              // +0 multiple of 8; media ids are userId + 0..7
    uint32_t accountId = 0;           // +2 above 0x80000000 for a guest
    char16_t name[32]{};              // +6 display name, UTF-16, NUL-terminated
    uint8_t kind = USER_KIND_MEMBER;  // +70 0 chair, 5 temporary administrator, 1 member
    uint32_t departmentId = 0;        // +71 participant-tree grouping
    uint32_t value75 = 0;             // +75 carried, not interpreted
    uint8_t speakState = 0;           // +79 0 none, 1 asking to speak, 2 speaking
    uint8_t presenterState = 0;       // +80 0 none, 1 in the presenter queue, 2 presenter
    uint8_t broadcastMask = 0;        // +81 channels broadcast to everybody
    uint8_t audioDevice = 0;          // +82 non-zero when the participant has a microphone
    uint8_t channelMask = 0;          // +83 bit n = the participant owns video channel n
    uint8_t videoChannelCount = 0;    // +84 at most 8
    uint8_t value85 = 0;              // +85 carried, not interpreted
    uint8_t reserved86[2]{};          // +86
    uint32_t streamParam = 0;         // +88 audio/video stream parameter of the media server
    ST_USER_PRIVATEDATA privateData;  // +92 32 bytes

    void Write(yav::proto::ByteWriter& out) const;
    void Read(yav::proto::ByteReader& in);
};
