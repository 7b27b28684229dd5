#include "PasswordChangeCheck.h"

#include "LoginText.h"

namespace {

constexpr int kTextOldEmpty = 1954;
constexpr int kTextNewEmpty = 1957;
constexpr int kTextConfirmEmpty = 1960;
constexpr int kTextMismatch = 1963;
constexpr int kTextTooLong = 1756;

PasswordChangeResult Refuse(int textId, int field) {
    PasswordChangeResult result;
    result.textId = textId;
    result.field = field;
    return result;
}

}  // namespace

PasswordChangeResult PasswordChangeCheck::Check(const QString& typedOld, const QString& typedNew,
                                                const QString& typedConfirmation) {
    const QString oldPassword = typedOld.trimmed();
    const QString newPassword = typedNew.trimmed();
    const QString confirmation = typedConfirmation.trimmed();
    if (oldPassword.isEmpty()) {
        return Refuse(kTextOldEmpty, 0);
    }
    if (newPassword.isEmpty()) {
        return Refuse(kTextNewEmpty, 1);
    }
    if (confirmation.isEmpty()) {
        return Refuse(kTextConfirmEmpty, 2);
    }
    if (newPassword != confirmation) {
        return Refuse(kTextMismatch, 2);
    }
    PasswordChangeResult result;
    result.oldPassword = oldPassword;
    result.newPassword = newPassword;
    result.confirmation = confirmation;
    result.oldGbk = login_text::ToGbk(oldPassword);
    result.newGbk = login_text::ToGbk(newPassword);
    result.confirmGbk = login_text::ToGbk(confirmation);
    // Cutting a password would change it into another one; a too long one is refused instead.
    const std::string* forms[] = {&result.oldGbk, &result.newGbk, &result.confirmGbk};
    for (int field = 0; field < 3; ++field) {
        if (forms[field]->size() > kMaxGbkBytes) {
            return Refuse(kTextTooLong, field);
        }
    }
    return result;
}
