#pragma once
// The checks the login page runs when a login button is pressed, in the order the user sees
// their messages, and the start request that the inputs make when they pass.

#include <QString>

#include <cstdint>
#include <optional>

// Page modes.
inline constexpr int kLoginModeAccount = 0;
inline constexpr int kLoginModeConference = 2;
inline constexpr int kLoginModeTrial = 5;

// Controls of the login page that the checks put the focus into.
inline constexpr int kIdcUserName = 1000;
inline constexpr int kIdcAccountPassword = 1001;
inline constexpr int kIdcConfNumber = 1009;
inline constexpr int kIdcNickName = 1010;

// What the user typed, as the login page reads it from its controls.
struct LoginInputs {
    int mode = kLoginModeAccount;
    QString serverList;  // what the server settings would connect to; empty: none configured
    QString userName;
    QString accountPassword;
    QString nickName;
    QString confNumber;
    QString confPassword;
};

// The start block's content for the join handler.
struct LoginRequest {
    std::uint16_t joinType = 0;
    QString name;      // at most kStartNameChars
    QString password;  // at most kStartPasswordChars
    std::int32_t confId = 0;
};

struct LoginCheckResult {
    int textId = 0;   // 0: passed; otherwise the message to show
    int focusId = 0;  // control to focus with the message; 0 leaves the focus
    LoginRequest request;
    QString trimmedConfNumber;  // what the number field shows after the check

    bool Passed() const { return textId == 0; }
};

class LoginInputCheck {
public:
    static constexpr int kStartNameChars = 62;
    static constexpr int kStartPasswordChars = 30;
    static constexpr int kNickNameLimitChars = 31;

    static LoginCheckResult CheckAccount(const LoginInputs& inputs);
    // Conference-number login, or trial entry in mode 5.
    static LoginCheckResult CheckConference(const LoginInputs& inputs);

    // A conference number of digits only that fits the start block; none otherwise.
    static std::optional<std::int32_t> ParseConfNumber(const QString& trimmed);
};
