// The conference/chair password prompt and the password change: their checks and results,
// layouts, and the keys.

#include <QTest>

#include <gtest/gtest.h>

#include "ConfigManger.h"
#include "LoginTestSupport.h"
#include "dialogs/login/CDlgChairPws.h"
#include "dialogs/login/CDlgModUserPwd.h"
#include "platform/window/Placement.h"
#include "platform/window/Scaled.h"
#include "platform/window/testing/WindowTesting.h"

namespace {

using login_test::BoxAnswerer;
using yav::testing::ModalAnswer;

class PasswordDialogs : public ::testing::Test {
protected:
    void SetUp() override { login_test::Reset(); }
};

void PressButton(yav::Dialog& d, int id) {
    d.SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(id), BN_CLICKED), 0);
}

TEST_F(PasswordDialogs, ChairPasswordRefusesEmptyAndLongAndKeepsTheDialog) {
    CDlgChairPws dialog(LoadLangString(82), LoadLangString(754), nullptr);
    BoxAnswerer boxes;
    std::vector<bool> stillOpen;
    ModalAnswer answer([&](yav::Dialog& d) {
        auto& prompt = static_cast<CDlgChairPws&>(d);
        PressButton(d, CDlgChairPws::IDC_OK_BUTTON);  // empty
        stillOpen.push_back(d.IsRunningModal());
        prompt.GetPasswordEdit().setText(QString(33, QLatin1Char('p')));
        PressButton(d, CDlgChairPws::IDC_OK_BUTTON);
        stillOpen.push_back(d.IsRunningModal());
        EXPECT_EQ(prompt.GetPasswordEdit().text().size(), 33) << "typed text kept";
        prompt.GetPasswordEdit().setText(QStringLiteral(" "));  // blanks are a password
        QTest::keyClick(&prompt.GetPasswordEdit(), Qt::Key_Return);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.m_strPassword, QStringLiteral(" "));
    EXPECT_EQ(boxes.Messages(), (QStringList{LoadLangString(1753), LoadLangString(1756)}));
    EXPECT_EQ(stillOpen, (std::vector<bool>{true, true}));
    EXPECT_EQ(CDlgChairPws::CheckPassword(QString(32, QLatin1Char('p'))), 0);
}

TEST_F(PasswordDialogs, ChairPasswordCancelAndLayout) {
    for (int language : {0, 1}) {
        login_test::LanguageGuard guard(language);
        CDlgChairPws dialog(QStringLiteral("  prompt  "), QStringLiteral("title"), nullptr);
        ModalAnswer answer([language](yav::Dialog& d) {
            EXPECT_EQ(d.size(), QSize(332, 122));
            EXPECT_EQ(d.GetDlgItem(CDlgChairPws::IDC_PASSWORD)->geometry(),
                      QRect(language == 1 ? 130 : 124, 47, 150, 21));
            EXPECT_EQ(d.GetDlgItem(CDlgChairPws::IDC_PROMPT)->geometry().width(),
                      language == 1 ? 125 : 120);
            EXPECT_EQ(static_cast<CTransparentStatic*>(d.GetDlgItem(CDlgChairPws::IDC_PROMPT))
                          ->GetWindowText(),
                      QStringLiteral("prompt"));
            PressButton(d, CDlgChairPws::IDC_CANCEL_BUTTON);
        });
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    }
}

// Entering a conference asks without a parent window: the prompt stands in the middle of the
// screen, not in its corner.
TEST_F(PasswordDialogs, ChairPasswordWithoutParentIsCentredOnTheScreen) {
    CDlgChairPws dialog(LoadLangString(82), LoadLangString(754), nullptr);
    QPoint offset;
    ModalAnswer answer([&](yav::Dialog& d) {
        const QRect work = yav::MonitorRect(&d, true);
        offset = d.frameGeometry().center() - work.center();
        PressButton(d, CDlgChairPws::IDC_CANCEL_BUTTON);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_LE(offset.manhattanLength(), 2) << offset.x() << ", " << offset.y();
}

// The fields are trimmed before they are checked and handed over: a confirmation that differs
// from the new password only in blanks at its ends matches.
TEST_F(PasswordDialogs, PasswordChangeChecksInOrderAndHandsOverTrimmed) {
    std::vector<QStringList> requests;
    CDlgModUserPwd dialog(nullptr,
                          [&requests](const QString& o, const QString& n, const QString& c) {
                              requests.push_back({o, n, c});
                          });
    BoxAnswerer boxes;
    ModalAnswer answer([&](yav::Dialog& d) {
        auto& change = static_cast<CDlgModUserPwd&>(d);
        EXPECT_EQ(change.GetNewEdit().maxLength(), 18);
        change.GetOldEdit().setText(QStringLiteral("   "));
        PressButton(d, IDOK);
        change.GetOldEdit().setText(QStringLiteral(" old\t"));
        change.GetNewEdit().setText(QStringLiteral("Secret "));
        change.GetConfirmEdit().setText(QStringLiteral("secret "));
        PressButton(d, IDOK);
        change.GetNewEdit().setText(QString(16, QChar(0x4F1A)));
        change.GetConfirmEdit().setText(QString(16, QChar(0x4F1A)));
        PressButton(d, IDOK);
        EXPECT_TRUE(requests.empty());
        change.GetNewEdit().setText(QStringLiteral(" new pw"));
        change.GetConfirmEdit().setText(QStringLiteral("new pw  "));
        // Space on the focused OK button does nothing.
        d.GetDlgItem(IDOK)->setFocus();
        QTest::keyClick(d.GetDlgItem(IDOK), Qt::Key_Space);
        EXPECT_TRUE(d.IsRunningModal());
        PressButton(d, IDOK);
        if (d.IsRunningModal()) {
            d.EndDialog(IDCANCEL);  // refused: end the loop so that the checks below report it
        }
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(boxes.Messages(),
              (QStringList{LoadLangString(1954), LoadLangString(1963), LoadLangString(1756)}));
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0], (QStringList{QStringLiteral("old"), QStringLiteral("new pw"),
                                        QStringLiteral("new pw")}));
}

TEST_F(PasswordDialogs, PasswordChangeLayoutAndCancel) {
    for (double scale : {1.0, 1.5}) {
        login_test::ScaleGuard guard(scale);
        CDlgModUserPwd dialog(nullptr, nullptr);
        ModalAnswer answer([](yav::Dialog& d) {
            EXPECT_EQ(d.size(), QSize(yav::Scaled(304), yav::Scaled(207)));
            EXPECT_EQ(d.GetDlgItem(CDlgModUserPwd::IDC_CONFIRM_PASSWORD)->geometry(),
                      yav::ScaledRect(110, 118, 147, 23));
            EXPECT_EQ(d.GetDlgItem(CDlgModUserPwd::IDC_CONFIRM_LABEL)->geometry(),
                      yav::ScaledRect(42, 120, 68, 17));
            PressButton(d, CDlgModUserPwd::IDC_CLOSE);
        });
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    }
}

}  // namespace
