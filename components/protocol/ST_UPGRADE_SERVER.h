#pragma once
// One upgrade server offered by the conference server's upgrade query (106 bytes).

#include <array>
#include <cstddef>
#include <cstdint>

#include "ByteIo.h"

// A GUID as 16 bytes in the order Windows stores it.
using KroGuid = std::array<uint8_t, 16>;

struct ST_UPGRADE_SERVER {
    static constexpr size_t kSize = 106;

    char serverName[64]{};     // +0
    char address[16]{};        // +64 dotted IPv4
    uint16_t port = 0;         // +80
    uint8_t reserved82[4]{};   // +82
    int32_t filePassword = 0;  // +86
    KroGuid guid{};            // +90

    void Write(yav::proto::ByteWriter& out) const;
    void Read(yav::proto::ByteReader& in);
};
