#pragma once
// Bounds-checked little-endian reading and writing of byte buffers. Every record and wire
// message is built and parsed through these two classes; nothing casts raw bytes to a struct.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace yav::proto {

using Bytes = std::vector<uint8_t>;

// Appends little-endian values to a growing buffer.
class ByteWriter {
public:
    ByteWriter() = default;
    explicit ByteWriter(size_t reserveBytes) { bytes_.reserve(reserveBytes); }

    void U8(uint8_t value) { bytes_.push_back(value); }
    void U16(uint16_t value) {
        U8(static_cast<uint8_t>(value));
        U8(static_cast<uint8_t>(value >> 8));
    }
    void U32(uint32_t value) {
        U16(static_cast<uint16_t>(value));
        U16(static_cast<uint16_t>(value >> 16));
    }
    void I32(int32_t value) { U32(static_cast<uint32_t>(value)); }
    void Raw(const void* data, size_t length) {
        const auto* begin = static_cast<const uint8_t*>(data);
        bytes_.insert(bytes_.end(), begin, begin + length);
    }
    void Raw(std::span<const uint8_t> data) {
        bytes_.insert(bytes_.end(), data.begin(), data.end());
    }
    void Zeros(size_t count) { bytes_.insert(bytes_.end(), count, 0); }
    // A fixed 8-bit text field: the text cut to the field and padded with zero bytes.
    void FixedText(const char* text, size_t fieldBytes);
    // A fixed UTF-16 field of fieldUnits code units.
    void FixedText16(const char16_t* text, size_t fieldUnits);
    // A variable text: u16 byte length, then the bytes (no terminator).
    void Text(std::string_view text);
    // A variable block: u16 length, then the bytes.
    void Block16(std::span<const uint8_t> data);

    size_t Size() const { return bytes_.size(); }
    const Bytes& Data() const { return bytes_; }
    Bytes Take() { return std::move(bytes_); }
    // Overwrites a u32 already written at offset (frame lengths).
    void PatchU32(size_t offset, uint32_t value);

private:
    Bytes bytes_;
};

// Reads little-endian values from a span; any read past the end sets the failed state and
// yields zeros, so a decoder checks Ok() once at its end.
class ByteReader {
public:
    explicit ByteReader(std::span<const uint8_t> data) : data_(data) {}

    uint8_t U8();
    uint16_t U16();
    uint32_t U32();
    int32_t I32() { return static_cast<int32_t>(U32()); }
    // Copies length bytes; false (and failed state) when fewer remain.
    bool Raw(void* out, size_t length);
    std::span<const uint8_t> Span(size_t length);
    void Skip(size_t length) { (void)Span(length); }
    // A fixed 8-bit text field; out receives the bytes up to the first NUL and always ends
    // with a NUL within fieldBytes.
    void FixedText(char* out, size_t fieldBytes);
    void FixedText16(char16_t* out, size_t fieldUnits);
    // A variable text of at most maxBytes (longer fails the read).
    std::string Text(size_t maxBytes);
    Bytes Block16(size_t maxBytes);

    size_t Remaining() const { return failed_ ? 0 : data_.size() - offset_; }
    size_t Offset() const { return offset_; }
    bool Ok() const { return !failed_; }
    // True when every byte was read and nothing failed: decoders of whole messages use this.
    bool Finished() const { return !failed_ && offset_ == data_.size(); }
    void Fail() { failed_ = true; }

private:
    bool Need(size_t length);

    std::span<const uint8_t> data_;
    size_t offset_ = 0;
    bool failed_ = false;
};

// Little-endian accessors on a fixed buffer, for code that addresses bytes of a record by
// offset (room attributes). Out-of-range access reads 0 and writes nothing.
uint16_t LoadU16(std::span<const uint8_t> data, size_t offset);
uint32_t LoadU32(std::span<const uint8_t> data, size_t offset);
void StoreU16(std::span<uint8_t> data, size_t offset, uint16_t value);
void StoreU32(std::span<uint8_t> data, size_t offset, uint32_t value);

// Copies a NUL-terminated text into a fixed field, cut so that a terminator always fits.
void CopyText(char* field, size_t fieldBytes, std::string_view text);
void CopyText16(char16_t* field, size_t fieldUnits, std::u16string_view text);
// The text of a fixed field up to its first NUL (or the whole field); empty for a null field,
// so callers can pass the texts they were handed as they are.
std::string_view FieldText(const char* field, size_t fieldBytes);
std::u16string_view FieldText16(const char16_t* field, size_t fieldUnits);

}  // namespace yav::proto
