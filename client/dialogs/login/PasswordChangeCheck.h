#pragma once
// The checks of the password change, in the order their messages are shown, and the code
// page 936 forms handed on to the conference manager. Passwords are taken as typed (the login
// does not trim them either, so a trimmed new password could never be typed at login again);
// a field of blanks only still counts as empty.

#include <QString>

#include <string>

struct PasswordChangeResult {
    int textId = 0;  // 0: passed
    // Which field the message is about: 0 old, 1 new, 2 confirmation; -1 none.
    int field = -1;
    std::string oldGbk;
    std::string newGbk;
    std::string confirmGbk;

    bool Passed() const { return textId == 0; }
};

class PasswordChangeCheck {
public:
    // The conference manager takes each password in a 32-byte field with its terminator.
    static constexpr size_t kMaxGbkBytes = 31;

    static PasswordChangeResult Check(const QString& oldPassword, const QString& newPassword,
                                      const QString& confirmation);
};
