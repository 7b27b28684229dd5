#include <gtest/gtest.h>

#include "conference/XMainFrame.h"
#include "platform/core/TextCodec.h"

namespace {

TEST(CsLoginName, LongNamesAreCutWithoutSplittingACharacter) {
    // 35 Chinese characters: 70 bytes -> 31 characters, 62 bytes.
    EXPECT_EQ(XMainFrame::CsLoginName(QString(35, QChar(0x4F1A))).size(), 62u);
    // One ASCII letter and 35 Chinese characters: 71 bytes -> 63 bytes.
    EXPECT_EQ(XMainFrame::CsLoginName(QStringLiteral("a") + QString(35, QChar(0x4F1A))).size(),
              63u);
    // 70 ASCII letters -> 63 bytes.
    EXPECT_EQ(XMainFrame::CsLoginName(QString(70, QLatin1Char('x'))).size(), 63u);
    EXPECT_EQ(XMainFrame::CsLoginName(QStringLiteral("张三")), yav::text::Utf8ToGbk("张三"));
}

TEST(CsLoginName, PasswordsKeepTheirWholeField) {
    EXPECT_EQ(XMainFrame::CsLoginPassword(QString(32, QLatin1Char('p'))).size(), 32u);
    EXPECT_EQ(XMainFrame::CsLoginPassword(QString(40, QLatin1Char('p'))).size(), 32u);
    EXPECT_EQ(XMainFrame::CsLoginPassword(QString(17, QChar(0x5BC6))).size(), 32u);
    EXPECT_EQ(XMainFrame::CsLoginPassword(QStringLiteral("a") + QString(17, QChar(0x5BC6))).size(),
              31u);
}

}  // namespace
