#include "ByteIo.h"

#include <algorithm>

namespace yav::proto {

void ByteWriter::FixedText(const char* text, size_t fieldBytes) {
    const size_t length = text ? ::strnlen(text, fieldBytes) : 0;
    Raw(text, length);
    Zeros(fieldBytes - length);
}

void ByteWriter::FixedText16(const char16_t* text, size_t fieldUnits) {
    size_t units = 0;
    while (text && units < fieldUnits && text[units] != 0) {
        ++units;
    }
    for (size_t i = 0; i < units; ++i) {
        U16(static_cast<uint16_t>(text[i]));
    }
    Zeros((fieldUnits - units) * 2);
}

void ByteWriter::Text(std::string_view text) {
    const size_t length = std::min<size_t>(text.size(), 0xFFFF);
    U16(static_cast<uint16_t>(length));
    Raw(text.data(), length);
}

void ByteWriter::Block16(std::span<const uint8_t> data) {
    const size_t length = std::min<size_t>(data.size(), 0xFFFF);
    U16(static_cast<uint16_t>(length));
    Raw(data.first(length));
}

void ByteWriter::PatchU32(size_t offset, uint32_t value) {
    if (offset + 4 > bytes_.size()) {
        return;
    }
    for (int i = 0; i < 4; ++i) {
        bytes_[offset + static_cast<size_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
    }
}

bool ByteReader::Need(size_t length) {
    if (failed_ || data_.size() - offset_ < length) {
        failed_ = true;
        return false;
    }
    return true;
}

uint8_t ByteReader::U8() {
    if (!Need(1)) {
        return 0;
    }
    return data_[offset_++];
}

uint16_t ByteReader::U16() {
    if (!Need(2)) {
        return 0;
    }
    const uint16_t value = static_cast<uint16_t>(data_[offset_] | (data_[offset_ + 1] << 8));
    offset_ += 2;
    return value;
}

uint32_t ByteReader::U32() {
    const uint32_t low = U16();
    const uint32_t high = U16();
    return low | (high << 16);
}

bool ByteReader::Raw(void* out, size_t length) {
    if (!Need(length)) {
        return false;
    }
    if (length > 0) {
        std::memcpy(out, data_.data() + offset_, length);
    }
    offset_ += length;
    return true;
}

std::span<const uint8_t> ByteReader::Span(size_t length) {
    if (!Need(length)) {
        return {};
    }
    auto part = data_.subspan(offset_, length);
    offset_ += length;
    return part;
}

void ByteReader::FixedText(char* out, size_t fieldBytes) {
    if (fieldBytes == 0) {
        return;
    }
    if (!Raw(out, fieldBytes)) {
        std::memset(out, 0, fieldBytes);
        return;
    }
    // A field without terminator is cut so that readers always find one.
    out[fieldBytes - 1] = 0;
}

void ByteReader::FixedText16(char16_t* out, size_t fieldUnits) {
    for (size_t i = 0; i < fieldUnits; ++i) {
        out[i] = static_cast<char16_t>(U16());
    }
    if (fieldUnits > 0) {
        out[fieldUnits - 1] = 0;
    }
}

std::string ByteReader::Text(size_t maxBytes) {
    const uint16_t length = U16();
    if (length > maxBytes) {
        failed_ = true;
        return {};
    }
    auto part = Span(length);
    return std::string(part.begin(), part.end());
}

Bytes ByteReader::Block16(size_t maxBytes) {
    const uint16_t length = U16();
    if (length > maxBytes) {
        failed_ = true;
        return {};
    }
    auto part = Span(length);
    return Bytes(part.begin(), part.end());
}

uint16_t LoadU16(std::span<const uint8_t> data, size_t offset) {
    if (offset + 2 > data.size()) {
        return 0;
    }
    return static_cast<uint16_t>(data[offset] | (data[offset + 1] << 8));
}

uint32_t LoadU32(std::span<const uint8_t> data, size_t offset) {
    if (offset + 4 > data.size()) {
        return 0;
    }
    return static_cast<uint32_t>(LoadU16(data, offset)) |
           (static_cast<uint32_t>(LoadU16(data, offset + 2)) << 16);
}

void StoreU16(std::span<uint8_t> data, size_t offset, uint16_t value) {
    if (offset + 2 > data.size()) {
        return;
    }
    data[offset] = static_cast<uint8_t>(value);
    data[offset + 1] = static_cast<uint8_t>(value >> 8);
}

void StoreU32(std::span<uint8_t> data, size_t offset, uint32_t value) {
    if (offset + 4 > data.size()) {
        return;
    }
    StoreU16(data, offset, static_cast<uint16_t>(value));
    StoreU16(data, offset + 2, static_cast<uint16_t>(value >> 16));
}

void CopyText(char* field, size_t fieldBytes, std::string_view text) {
    if (fieldBytes == 0) {
        return;
    }
    const size_t length = std::min(text.size(), fieldBytes - 1);
    std::memset(field, 0, fieldBytes);
    std::memcpy(field, text.data(), length);
}

void CopyText16(char16_t* field, size_t fieldUnits, std::u16string_view text) {
    if (fieldUnits == 0) {
        return;
    }
    const size_t length = std::min(text.size(), fieldUnits - 1);
    std::fill(field, field + fieldUnits, u'\0');
    std::copy(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(length), field);
}

std::string_view FieldText(const char* field, size_t fieldBytes) {
    return field ? std::string_view(field, ::strnlen(field, fieldBytes)) : std::string_view();
}

std::u16string_view FieldText16(const char16_t* field, size_t fieldUnits) {
    size_t length = 0;
    while (field && length < fieldUnits && field[length] != 0) {
        ++length;
    }
    return field ? std::u16string_view(field, length) : std::u16string_view();
}

}  // namespace yav::proto
