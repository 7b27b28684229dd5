#pragma once
// Base64 (RFC 4648 alphabet) with the client's conventions: a line feed after every 72
// output characters, "=" fill on flush, NUL-terminated output. Encoding may be fed in pieces:
// bytes that do not complete a group of three wait for the next call or the flush.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class CBase64 {
public:
    // Encodes count bytes into output (which must hold MaxEncodedLength(count + 2) bytes);
    // with flush = 1 a pending partial group is written with "=" fill. Returns the number of
    // characters written, line feeds included, the terminating NUL not.
    int Encode(const std::uint8_t* bytes, int count, char* output, int flush);

    // Decodes length characters of text (4-character groups; a line feed or carriage return
    // before a group is skipped) into output, which must hold length * 3 / 4 bytes. Returns
    // the number of bytes written, or -1 for a character outside the alphabet or a group cut
    // short.
    static int Decode(const char* text, int length, std::uint8_t* output);

    // Output bytes needed to encode count bytes in one call with flush (line feeds and NUL
    // included).
    static std::size_t MaxEncodedLength(std::size_t count);

    static std::string EncodeToString(std::string_view bytes);
    static std::optional<std::string> DecodeToString(std::string_view text);

private:
    void Put(char c, char* output, int* written);

    std::uint8_t m_pending[3] = {0, 0, 0};
    int m_nPending = 0;
    int m_nLineChars = 0;
};
