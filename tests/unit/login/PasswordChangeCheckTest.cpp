#include "dialogs/login/PasswordChangeCheck.h"

#include <gtest/gtest.h>

namespace {

TEST(PasswordChangeCheck, RefusalsInOrder) {
    struct Case {
        const char* what;
        const char16_t* oldPwd;
        const char16_t* newPwd;
        const char16_t* confirm;
        int text;
        int field;
    };
    const Case cases[] = {
        {"all empty", u"", u"", u"", 1954, 0},
        {"old blanks", u"   ", u"n", u"n", 1954, 0},
        {"new empty", u"old", u"", u"", 1957, 1},
        {"new blanks", u"old", u" \t", u"x", 1957, 1},
        {"confirm empty", u"old", u"new", u"", 1960, 2},
        {"case differs", u"old", u"Secret", u"secret", 1963, 2},
        {"differs inside", u"old", u"sec ret", u"secret", 1963, 2},
        // 16 double-byte characters: 32 bytes, one too many for the field.
        {"old too long", u"会会会会会会会会会会会会会会会会", u"n", u"n", 1756, 0},
        {"new too long", u"old", u"会会会会会会会会会会会会会会会会",
         u"会会会会会会会会会会会会会会会会", 1756, 1},
    };
    for (const Case& c : cases) {
        const PasswordChangeResult r =
            PasswordChangeCheck::Check(QString::fromUtf16(c.oldPwd), QString::fromUtf16(c.newPwd),
                                       QString::fromUtf16(c.confirm));
        EXPECT_EQ(r.textId, c.text) << c.what;
        EXPECT_EQ(r.field, c.field) << c.what;
        EXPECT_TRUE(r.newGbk.empty()) << c.what << ": nothing is handed on after a refusal";
    }
}

// Blanks at the ends are not part of a password: they are trimmed before the checks, so a
// confirmation that differs from the new password only there matches, and only the trimmed
// texts are handed on. Blanks inside are kept.
TEST(PasswordChangeCheck, PassedFormsAreTrimmedGbk) {
    const PasswordChangeResult r = PasswordChangeCheck::Check(
        QStringLiteral(" old\t"), QStringLiteral("会议 1  "), QStringLiteral("\u3000会议 1"));
    ASSERT_TRUE(r.Passed());
    EXPECT_EQ(r.oldPassword, QStringLiteral("old"));
    EXPECT_EQ(r.newPassword, QStringLiteral("会议 1"));
    EXPECT_EQ(r.confirmation, r.newPassword);
    EXPECT_EQ(r.oldGbk, "old");
    EXPECT_EQ(r.newGbk, "\xBB\xE1\xD2\xE9 1");
    EXPECT_EQ(r.confirmGbk, r.newGbk);

    // 15 double-byte characters and one letter: exactly 31 bytes still fit, also with blanks
    // around them that would make 33 bytes untrimmed.
    const QString longest = QString(15, QChar(0x4F1A)) + QLatin1Char('a');
    const QString padded = QLatin1Char(' ') + longest + QLatin1Char(' ');
    const PasswordChangeResult fits = PasswordChangeCheck::Check(padded, padded, longest);
    ASSERT_TRUE(fits.Passed());
    EXPECT_EQ(fits.oldGbk.size(), 31u);
    EXPECT_EQ(fits.newGbk.size(), 31u);
    // 18 characters of ASCII, the most the edits take, always fit.
    const QString ascii(18, QLatin1Char('p'));
    EXPECT_TRUE(PasswordChangeCheck::Check(ascii, ascii, ascii).Passed());
}

}  // namespace
