#pragma once
// Text helpers shared by the login dialogs: cutting UTF-16 text to a field without splitting
// a surrogate pair, and the code page 936 forms of texts.

#include <QString>

#include <string>
#include <string_view>

#include "platform/core/TextCodec.h"

namespace login_text {

inline QString CutTo(const QString& text, int maxUnits) {
    if (text.size() <= maxUnits) {
        return text;
    }
    int cut = maxUnits;
    if (cut > 0 && text.at(cut - 1).isHighSurrogate()) {
        --cut;
    }
    return text.left(cut);
}

inline std::string ToGbk(const QString& text) {
    return yav::text::Utf16ToGbk(std::u16string_view(
        reinterpret_cast<const char16_t*>(text.utf16()), static_cast<size_t>(text.size())));
}

inline QString FromGbk(std::string_view gbk) {
    const std::u16string wide = yav::text::GbkToUtf16(gbk);
    return QString::fromUtf16(wide.data(), static_cast<qsizetype>(wide.size()));
}

}  // namespace login_text
