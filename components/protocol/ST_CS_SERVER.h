#pragma once
// One conference-server record of the data server's answer (214 bytes): where the
// conference server and the media, document and screen-share servers of a conference are.

#include <cstddef>
#include <cstdint>

#include "ByteIo.h"

struct ST_CS_SERVER {
    static constexpr size_t kSize = 214;

    char serverName[64]{};      // +0 display name of the server (GBK)
    char csAddress[16]{};       // +64 dotted IPv4
    uint16_t csPort = 0;        // +80
    char mediaAddress[16]{};    // +82 also the target of the UDP round-trip probe
    uint16_t mediaPort = 0;     // +98
    uint32_t mediaParam = 0;    // +100 handed through to the media login
    char docAddress[16]{};      // +104
    uint16_t docPort = 0;       // +120
    uint32_t docParam = 0;      // +122
    char docAddress2[16]{};     // +126
    uint32_t docValue = 0;      // +142
    uint16_t reserved146 = 0;   // +146
    char screenAddress[38]{};   // +148
    uint16_t screenPort = 0;    // +186
    uint32_t screenParam = 0;   // +188
    uint8_t reserved192[22]{};  // +192

    void Write(yav::proto::ByteWriter& out) const;
    void Read(yav::proto::ByteReader& in);
};
