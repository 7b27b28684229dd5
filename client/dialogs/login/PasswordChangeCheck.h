#pragma once
// The checks of the password change, in the order their messages are shown, and the code
// page 936 forms handed on to the conference manager. Each field is trimmed of white space at
// both ends first; the checks and the request see only the trimmed texts.

#include <QString>

#include <string>

struct PasswordChangeResult {
    int textId = 0;  // 0: passed
    // Which field the message is about: 0 old, 1 new, 2 confirmation; -1 none.
    int field = -1;
    // The trimmed texts (set when the checks passed).
    QString oldPassword;
    QString newPassword;
    QString confirmation;
    std::string oldGbk;
    std::string newGbk;
    std::string confirmGbk;

    bool Passed() const { return textId == 0; }
};

class PasswordChangeCheck {
public:
    // The conference manager takes each password in a 32-byte field with its terminator.
    static constexpr size_t kMaxGbkBytes = 31;

    static PasswordChangeResult Check(const QString& typedOld, const QString& typedNew,
                                      const QString& typedConfirmation);
};
