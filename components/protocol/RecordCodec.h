#pragma once
// Encoding and decoding of the fixed records: each record type states its size once
// (kSize) and reads and writes its fields in order; these helpers check the size on both
// ways so a record never travels with a wrong length.

#include <optional>
#include <span>

#include "ByteIo.h"

namespace yav::proto {

// The exact kSize bytes of a record.
template <class Record>
Bytes EncodeRecord(const Record& record) {
    ByteWriter out(Record::kSize);
    record.Write(out);
    return out.Take();
}

// Writes the record into exactly Record::kSize bytes at out (size checked by the caller's
// span).
template <class Record>
bool EncodeRecordInto(const Record& record, std::span<uint8_t> out) {
    if (out.size() != Record::kSize) {
        return false;
    }
    const Bytes bytes = EncodeRecord(record);
    if (bytes.size() != Record::kSize) {
        return false;
    }
    std::memcpy(out.data(), bytes.data(), bytes.size());
    return true;
}

// The record held in exactly Record::kSize bytes; nothing for any other length.
template <class Record>
std::optional<Record> DecodeRecord(std::span<const uint8_t> bytes) {
    if (bytes.size() != Record::kSize) {
        return std::nullopt;
    }
    ByteReader in(bytes);
    Record record;
    record.Read(in);
    if (!in.Finished()) {
        return std::nullopt;
    }
    return record;
}

}  // namespace yav::proto
