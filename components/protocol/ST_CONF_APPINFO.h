#pragma once
// The server's limits and defaults for a conference, handed over at login (32 bytes). The
// client copies the fields into its application settings by position.

#include <cstddef>
#include <cstdint>

#include "ByteIo.h"

struct ST_CONF_APPINFO {
    static constexpr size_t kSize = 32;

    uint8_t maxBroadcastChannels = 0;   // +0
    uint8_t reserved1 = 0;              // +1
    uint8_t maxRecvChannelsChair = 0;   // +2
    uint8_t reserved3 = 0;              // +3
    uint16_t bitrateLimitKbps = 0;      // +4
    uint8_t maxRecvChannelsMember = 0;  // +6
    uint8_t conferenceMode = 0;         // +7 also changed later through message 0x558
    uint8_t option8 = 0;                // +8
    uint8_t option9 = 0;                // +9 the layout the room's videos start in
    uint16_t option10 = 0;              // +10
    uint16_t option12 = 0;              // +12
    uint8_t option14 = 0;               // +14
    uint16_t speakerLimit = 0;          // +15 most participants speaking at once
    uint8_t reserved17 = 0;             // +17
    uint16_t maxOpenDocs = 0;           // +18
    uint16_t maxWhiteboardPages = 0;    // +20
    uint8_t flags22 = 0;  // +22 bit 7: default of room option 271 bit 0; bits 1, 2: screen sources
    uint8_t flags23 =
        0;  // +23 bit 0: 271 bit 1; bit 1: option 270; bit 2: server recording; bit 4: H.323
    uint8_t flags24 = 0;  // +24 bit 5: the chair's sound-effect button
    uint8_t flags25 =
        0;  // +25 bit 0: option 272; bit 1: apply to speak; bit 3: broadcast own video
    uint8_t reserved26[6]{};  // +26

    void Write(yav::proto::ByteWriter& out) const;
    void Read(yav::proto::ByteReader& in);
};
