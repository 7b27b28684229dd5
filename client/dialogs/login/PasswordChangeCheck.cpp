#include "PasswordChangeCheck.h"

#include "platform/core/TextCodec.h"

namespace {

constexpr int kTextOldEmpty = 1954;
constexpr int kTextNewEmpty = 1957;
constexpr int kTextConfirmEmpty = 1960;
constexpr int kTextMismatch = 1963;
constexpr int kTextTooLong = 1756;

std::string ToGbk(const QString& text) {
    return yav::text::Utf16ToGbk(std::u16string_view(
        reinterpret_cast<const char16_t*>(text.utf16()), static_cast<size_t>(text.size())));
}

PasswordChangeResult Refuse(int textId, int field) {
    PasswordChangeResult result;
    result.textId = textId;
    result.field = field;
    return result;
}

}  // namespace

PasswordChangeResult PasswordChangeCheck::Check(const QString& oldPassword,
                                                const QString& newPassword,
                                                const QString& confirmation) {
    if (oldPassword.trimmed().isEmpty()) {
        return Refuse(kTextOldEmpty, 0);
    }
    if (newPassword.trimmed().isEmpty()) {
        return Refuse(kTextNewEmpty, 1);
    }
    if (confirmation.trimmed().isEmpty()) {
        return Refuse(kTextConfirmEmpty, 2);
    }
    if (newPassword != confirmation) {
        return Refuse(kTextMismatch, 2);
    }
    PasswordChangeResult result;
    result.oldGbk = ToGbk(oldPassword);
    result.newGbk = ToGbk(newPassword);
    result.confirmGbk = ToGbk(confirmation);
    // Cutting a password would change it into another one; a too long one is refused instead.
    const std::string* forms[] = {&result.oldGbk, &result.newGbk, &result.confirmGbk};
    for (int field = 0; field < 3; ++field) {
        if (forms[field]->size() > kMaxGbkBytes) {
            return Refuse(kTextTooLong, field);
        }
    }
    return result;
}
