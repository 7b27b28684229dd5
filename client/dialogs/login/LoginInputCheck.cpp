#include "LoginInputCheck.h"

#include <limits>

#include "LoginText.h"

namespace {

constexpr int kTextNoServer = 2380;
constexpr int kTextUserNameEmpty = 49;
constexpr int kTextPasswordEmpty = 1753;
constexpr int kTextNickNameEmpty = 2383;
constexpr int kTextNickNameTooLong = 1750;
constexpr int kTextConfNumberEmpty = 3205;
constexpr int kTextConfNumberInvalid = 3103;

LoginCheckResult Refuse(int textId, int focusId) {
    LoginCheckResult result;
    result.textId = textId;
    result.focusId = focusId;
    return result;
}

}  // namespace

std::optional<std::int32_t> LoginInputCheck::ParseConfNumber(const QString& trimmed) {
    if (trimmed.isEmpty()) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (const QChar c : trimmed) {
        if (c < u'0' || c > u'9') {
            return std::nullopt;
        }
        value = value * 10 + (c.unicode() - u'0');
        if (value > std::numeric_limits<std::int32_t>::max()) {
            return std::nullopt;
        }
    }
    return static_cast<std::int32_t>(value);
}

LoginCheckResult LoginInputCheck::CheckAccount(const LoginInputs& inputs) {
    if (inputs.serverList.isEmpty()) {
        return Refuse(kTextNoServer, 0);
    }
    if (inputs.userName.isEmpty()) {
        return Refuse(kTextUserNameEmpty, kIdcUserName);
    }
    if (inputs.accountPassword.isEmpty()) {
        return Refuse(kTextPasswordEmpty, kIdcAccountPassword);
    }
    // Account name and password go as typed: blanks may be part of them.
    LoginCheckResult result;
    result.request.joinType = static_cast<std::uint16_t>(inputs.mode & 0xFF);
    result.request.name = login_text::CutTo(inputs.userName, kStartNameChars);
    result.request.password = login_text::CutTo(inputs.accountPassword, kStartPasswordChars);
    result.request.confId = 0;
    result.trimmedConfNumber = inputs.confNumber;
    return result;
}

LoginCheckResult LoginInputCheck::CheckConference(const LoginInputs& inputs) {
    if (inputs.serverList.isEmpty()) {
        return Refuse(kTextNoServer, 0);
    }
    if (inputs.nickName.isEmpty()) {
        return Refuse(kTextNickNameEmpty, kIdcNickName);
    }
    if (inputs.nickName.size() > kNickNameLimitChars) {
        return Refuse(kTextNickNameTooLong, kIdcNickName);
    }
    LoginCheckResult result;
    result.trimmedConfNumber = inputs.confNumber;
    result.request.name = login_text::CutTo(inputs.nickName, kStartNameChars);
    if (inputs.mode == kLoginModeTrial) {
        result.request.joinType = kLoginModeTrial;
        return result;
    }
    // A number of blanks only is as empty as no number at all.
    const QString trimmed = inputs.confNumber.trimmed();
    if (trimmed.isEmpty()) {
        LoginCheckResult refused = Refuse(kTextConfNumberEmpty, kIdcConfNumber);
        refused.trimmedConfNumber = inputs.confNumber;
        return refused;
    }
    const std::optional<std::int32_t> number = ParseConfNumber(trimmed);
    if (!number) {
        LoginCheckResult refused = Refuse(kTextConfNumberInvalid, kIdcConfNumber);
        refused.trimmedConfNumber = trimmed;
        return refused;
    }
    result.trimmedConfNumber = trimmed;
    result.request.confId = *number;
    result.request.password = login_text::CutTo(inputs.confPassword, kStartPasswordChars);
    result.request.joinType = inputs.confPassword.isEmpty()
                                  ? std::uint16_t{1}
                                  : static_cast<std::uint16_t>(inputs.mode & 0xFF);
    return result;
}
