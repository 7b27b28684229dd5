#pragma once
// Conversions between UTF-16 text (QString, char16_t) and the 8-bit code pages of the
// components and records: code page 936 (GBK) and the system code page, which is UTF-8 on
// this platform. A CStrConvert owns the last converted buffer of each kind; the pointer it
// returns stays valid until the next conversion of that kind or the object's destruction.

#include <QString>

#include <cstdint>
#include <string>

// Code page numbers the program passes around.
inline constexpr unsigned CP_ACP = 0;
inline constexpr unsigned CP_OEMCP = 1;
inline constexpr unsigned CP_THREAD_ACP = 3;
inline constexpr unsigned CP_GBK = 936;
inline constexpr unsigned CP_UTF8 = 65001;

// The code page of narrow text handed to the log and the system (CP_THREAD_ACP).
unsigned GetDefaultCodePage();

// UTF-16 text into out (size bytes, NUL-terminated, cut on a character boundary) in the given
// code page: 936 is GBK; every other code page is UTF-8 here. Returns the bytes written without
// the NUL (0 when size < 1).
int WideToMultiByte(char* out, const char16_t* wide, int size, unsigned codePage);

class CStrConvert {
public:
    CStrConvert() = default;
    CStrConvert(const CStrConvert&) = delete;
    CStrConvert& operator=(const CStrConvert&) = delete;

    const char* WideToGbk(const char16_t* wide);
    const char* CStringToGbk(const QString& text);
    const char16_t* GbkToWide(const char* gbk);
    QString GbkToCString(const char* gbk);
    // The system code page (UTF-8 here) to UTF-16.
    QString AnsiToCString(const char* text);

    // 16 bytes to 32 with a zero after each byte, and back (every second byte). Nothing
    // happens when either pointer is null.
    static void Widen16(const std::uint8_t* src, std::uint8_t* dst);
    static void Narrow16(const std::uint8_t* src, std::uint8_t* dst);

private:
    std::u16string m_wide;
    std::string m_narrow;
};
