#pragma once
// One department of the participant tree as the conference server lists it with the login
// snapshot: 140 bytes, little-endian. Departments nest by parent id; -1 is the top level.

#include <cstddef>
#include <cstdint>

#include "ByteIo.h"

struct ST_DEPT_INFO {
    static constexpr size_t kSize = 140;
    static constexpr size_t kNameUnits = 64;
    static constexpr int32_t kTopLevel = -1;

    int32_t parentId = kTopLevel;  // +0
    uint32_t value = 0;            // +4 carried to the tree, not interpreted
    char16_t name[kNameUnits]{};   // +8 UTF-16, NUL-terminated unless it fills the field
    uint32_t id = 0;               // +136

    void Write(yav::proto::ByteWriter& out) const;
    void Read(yav::proto::ByteReader& in);
};
