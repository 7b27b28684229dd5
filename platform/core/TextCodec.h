#pragma once
// Text conversion between UTF-8 (components, server, logs), UTF-16 (fixed record fields and
// the client's QString) and code page 936 (GBK), through iconv. Invalid input never throws:
// an undecodable byte or unencodable character becomes '?'.

#include <string>
#include <string_view>

namespace yav::text {

std::string Utf8ToGbk(std::string_view utf8);
std::string GbkToUtf8(std::string_view gbk);
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);
std::string Utf16ToGbk(std::u16string_view utf16);
std::u16string GbkToUtf16(std::string_view gbk);

// The longest prefix of a GBK text that fits in maxBytes without cutting a double-byte
// character in two.
std::string_view TruncateGbk(std::string_view gbk, size_t maxBytes);

// The longest prefix of a UTF-16 text that fits in maxUnits without splitting a surrogate pair.
std::u16string_view TruncateUtf16(std::u16string_view utf16, size_t maxUnits);

// The longest prefix of a UTF-8 text that fits in maxBytes without cutting a character.
std::string_view TruncateUtf8(std::string_view utf8, size_t maxBytes);

}  // namespace yav::text
