#pragma once
// One data-server address handed to IDsManager::ConnectDs (52 bytes).

#include <cstddef>
#include <cstdint>

#include "ByteIo.h"

struct ST_DS_ADDR {
    static constexpr size_t kSize = 52;

    char address[16]{};      // +0 dotted IPv4 or host text, NUL-terminated
    uint16_t port = 0;       // +16
    uint8_t reserved[34]{};  // +18 not written by the client

    void Write(yav::proto::ByteWriter& out) const;
    void Read(yav::proto::ByteReader& in);
};
