#include "dialogs/login/LoginSettings.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

namespace {

// Stored texts computed independently from the key, code page 936 and standard Base64.
struct StoredVector {
    const char16_t* password;
    const char* stored;
};

const StoredVector kVectors[] = {
    {u"abc", "MBRUAA=="},                // three scrambled bytes and the zero byte
    {u"会议", "6pflygA="},               // two double-byte characters
    {u"Passw0rd!", "ARdEUBx8H1YAAA=="},  // '!' meets '!' in the key: a scrambled zero inside
    {u"xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx", "KQ5PWxM0FUpZCCpBAixMXgAvQFwWOksmED5OUhwySQA="},
    // 34 bytes in code page 936: too long for the key, stored in plain Base64.
    {u"会会会会会会会会会会会会会会会会会", "u+G74bvhu+G74bvhu+G74bvhu+G74bvhu+G74bvhu+G74QA="},
};

TEST(LoginSettingsScramble, StoredTextMatchesVectorsAndReadsBack) {
    for (const StoredVector& v : kVectors) {
        const QString password = QString::fromUtf16(v.password);
        const QString stored = LoginSettings::EncodeStoredPassword(password);
        EXPECT_EQ(stored, QString::fromLatin1(v.stored)) << v.stored;
        EXPECT_EQ(LoginSettings::DecodeStoredPassword(stored), password) << v.stored;
    }
}

TEST(LoginSettingsScramble, ThreeCharactersGiveEightCharactersEndingInFill) {
    const QString stored = LoginSettings::EncodeStoredPassword(QStringLiteral("k9z"));
    ASSERT_EQ(stored.size(), 8);
    EXPECT_TRUE(stored.endsWith(QStringLiteral("==")));
}

TEST(LoginSettingsScramble, IsItsOwnInverseAndRefusesMoreThan32Bytes) {
    std::array<std::uint8_t, 40> bytes{};
    for (size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<std::uint8_t>(0x41 + i);
    }
    const auto original = bytes;
    ASSERT_EQ(LoginSettings::ScramblePassword(bytes.data(), 32), 1);
    EXPECT_NE(std::memcmp(bytes.data(), original.data(), 31), 0);
    EXPECT_EQ(bytes[31], original[31]) << "the key's last byte is zero";
    EXPECT_EQ(bytes[32], original[32]) << "bytes past the count stay";
    ASSERT_EQ(LoginSettings::ScramblePassword(bytes.data(), 32), 1);
    EXPECT_EQ(bytes, original);

    EXPECT_EQ(LoginSettings::ScramblePassword(bytes.data(), 33), 0);
    EXPECT_EQ(bytes, original) << "a refused count changes nothing";
    EXPECT_EQ(LoginSettings::ScramblePassword(bytes.data(), 0), 1);
    EXPECT_EQ(bytes, original);
}

TEST(LoginSettingsScramble, UnreadableStoredTextsGiveAnEmptyPassword) {
    const QString cases[] = {
        QString(),
        QStringLiteral("%%%%"),         // not Base64
        QStringLiteral("A"),            // a lone character decodes to nothing
        QString(64, QLatin1Char('Q')),  // longer than the reader's buffers
    };
    for (const QString& stored : cases) {
        EXPECT_TRUE(LoginSettings::DecodeStoredPassword(stored).isEmpty()) << stored.toStdString();
    }
}

TEST(LoginSettingsScramble, LongestStorableTextIsRead) {
    // 18 double-byte characters, the most the password edits take: 52 characters stored.
    const QString password(18, QChar(0x4F1A));
    const QString stored = LoginSettings::EncodeStoredPassword(password);
    EXPECT_EQ(stored.size(), 52);
    EXPECT_EQ(LoginSettings::DecodeStoredPassword(stored), password);
}

}  // namespace
