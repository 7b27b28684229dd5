#pragma once
// Running figures of the conference the client is logged in to (16 bytes), answered by
// ICsManager::GetConfExtra from the last server report.

#include <cstddef>
#include <cstdint>

#include "ByteIo.h"

struct ST_CONF_EXTRA {
    static constexpr size_t kSize = 16;

    uint32_t confId = 0;                // +0
    uint32_t elapsedSeconds = 0;        // +4 since the conference started
    uint32_t durationLimitSeconds = 0;  // +8 0 = no limit
    uint16_t userCount = 0;             // +12
    uint16_t maxUsers = 0;              // +14 0 = no limit

    void Write(yav::proto::ByteWriter& out) const;
    void Read(yav::proto::ByteReader& in);
};
