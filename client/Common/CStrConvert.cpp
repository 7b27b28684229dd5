#include "CStrConvert.h"

#include <cstring>

#include "platform/core/TextCodec.h"

unsigned GetDefaultCodePage() {
    return CP_THREAD_ACP;
}

int WideToMultiByte(char* out, const char16_t* wide, int size, unsigned codePage) {
    if (out == nullptr || size < 1) {
        return 0;
    }
    const std::u16string_view text = wide ? std::u16string_view(wide) : std::u16string_view();
    const auto limit = static_cast<size_t>(size - 1);
    std::string_view fitted;
    std::string converted;
    if (codePage == CP_GBK) {
        converted = yav::text::Utf16ToGbk(text);
        fitted = yav::text::TruncateGbk(converted, limit);
    } else {
        converted = yav::text::Utf16ToUtf8(text);
        fitted = yav::text::TruncateUtf8(converted, limit);
    }
    std::memcpy(out, fitted.data(), fitted.size());
    out[fitted.size()] = '\0';
    return static_cast<int>(fitted.size());
}

const char* CStrConvert::WideToGbk(const char16_t* wide) {
    m_narrow = wide ? yav::text::Utf16ToGbk(wide) : std::string();
    return m_narrow.c_str();
}

const char* CStrConvert::CStringToGbk(const QString& text) {
    m_narrow = yav::text::Utf16ToGbk(std::u16string_view(
        reinterpret_cast<const char16_t*>(text.utf16()), static_cast<size_t>(text.size())));
    return m_narrow.c_str();
}

const char16_t* CStrConvert::GbkToWide(const char* gbk) {
    m_wide = gbk ? yav::text::GbkToUtf16(gbk) : std::u16string();
    return m_wide.c_str();
}

QString CStrConvert::GbkToCString(const char* gbk) {
    const char16_t* wide = GbkToWide(gbk);
    return QString::fromUtf16(wide, static_cast<qsizetype>(m_wide.size()));
}

QString CStrConvert::AnsiToCString(const char* text) {
    return QString::fromUtf8(text ? text : "");
}

void CStrConvert::Widen16(const std::uint8_t* src, std::uint8_t* dst) {
    if (src == nullptr || dst == nullptr) {
        return;
    }
    for (int i = 0; i < 16; ++i) {
        dst[2 * i] = src[i];
        dst[2 * i + 1] = 0;
    }
}

void CStrConvert::Narrow16(const std::uint8_t* src, std::uint8_t* dst) {
    if (src == nullptr || dst == nullptr) {
        return;
    }
    for (int i = 0; i < 16; ++i) {
        dst[i] = src[2 * i];
    }
}
