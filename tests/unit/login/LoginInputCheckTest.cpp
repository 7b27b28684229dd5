#include "dialogs/login/LoginInputCheck.h"

#include <gtest/gtest.h>

namespace {

LoginInputs Filled(int mode) {
    LoginInputs in;
    in.mode = mode;
    in.serverList = QStringLiteral("127.0.0.1");
    in.userName = QStringLiteral("alice");
    in.accountPassword = QStringLiteral("secret");
    in.nickName = QStringLiteral("Bob");
    in.confNumber = QStringLiteral("812");
    in.confPassword = QStringLiteral("pw");
    return in;
}

TEST(LoginInputCheck, AccountChainRefusesInOrder) {
    struct Case {
        const char* what;
        void (*change)(LoginInputs&);
        int text;
        int focus;
    };
    const Case cases[] = {
        {"no server",
         [](LoginInputs& in) {
             in.serverList.clear();
             in.userName.clear();
         },
         2380, 0},
        {"no user",
         [](LoginInputs& in) {
             in.userName.clear();
             in.accountPassword.clear();
         },
         49, kIdcUserName},
        {"no password", [](LoginInputs& in) { in.accountPassword.clear(); }, 1753,
         kIdcAccountPassword},
    };
    for (const Case& c : cases) {
        LoginInputs in = Filled(kLoginModeAccount);
        c.change(in);
        const LoginCheckResult r = LoginInputCheck::CheckAccount(in);
        EXPECT_EQ(r.textId, c.text) << c.what;
        EXPECT_EQ(r.focusId, c.focus) << c.what;
    }
}

TEST(LoginInputCheck, AccountRequestKeepsBlanksAndCutsLongFields) {
    LoginInputs in = Filled(kLoginModeAccount);
    in.userName = QStringLiteral(" alice ");
    in.accountPassword = QString(40, QLatin1Char('p'));
    const LoginCheckResult r = LoginInputCheck::CheckAccount(in);
    ASSERT_TRUE(r.Passed());
    EXPECT_EQ(r.request.joinType, 0);
    EXPECT_EQ(r.request.name, QStringLiteral(" alice "));
    EXPECT_EQ(r.request.password.size(), 30);
    EXPECT_EQ(r.request.confId, 0);

    in.userName = QString(70, QLatin1Char('n'));
    EXPECT_EQ(LoginInputCheck::CheckAccount(in).request.name.size(), 62);
}

TEST(LoginInputCheck, ConferenceChainRefusesInOrder) {
    struct Case {
        const char* what;
        QString nick;
        QString number;
        int text;
        int focus;
    };
    const Case cases[] = {
        {"nick empty", QString(), QStringLiteral("x"), 2383, kIdcNickName},
        {"nick 32", QString(32, QLatin1Char('n')), QStringLiteral("x"), 1750, kIdcNickName},
        {"number empty", QStringLiteral("Bob"), QString(), 3205, kIdcConfNumber},
        {"number blanks", QStringLiteral("Bob"), QStringLiteral("   "), 3205, kIdcConfNumber},
        {"letter inside", QStringLiteral("Bob"), QStringLiteral("8a12"), 3103, kIdcConfNumber},
        {"sign", QStringLiteral("Bob"), QStringLiteral("-812"), 3103, kIdcConfNumber},
        {"inner blank", QStringLiteral("Bob"), QStringLiteral("8 12"), 3103, kIdcConfNumber},
        {"overflow", QStringLiteral("Bob"), QStringLiteral("999999999999"), 3103, kIdcConfNumber},
        {"just over", QStringLiteral("Bob"), QStringLiteral("2147483648"), 3103, kIdcConfNumber},
    };
    for (const Case& c : cases) {
        LoginInputs in = Filled(kLoginModeConference);
        in.nickName = c.nick;
        in.confNumber = c.number;
        const LoginCheckResult r = LoginInputCheck::CheckConference(in);
        EXPECT_EQ(r.textId, c.text) << c.what;
        EXPECT_EQ(r.focusId, c.focus) << c.what;
    }
    LoginInputs in = Filled(kLoginModeConference);
    in.serverList.clear();
    in.nickName.clear();
    EXPECT_EQ(LoginInputCheck::CheckConference(in).textId, 2380);
}

TEST(LoginInputCheck, ConferenceRequestByPasswordAndMode) {
    LoginInputs in = Filled(kLoginModeConference);
    in.nickName = QString(31, QLatin1Char('n'));  // the longest nick name accepted
    in.confNumber = QStringLiteral(" 00812 ");
    LoginCheckResult r = LoginInputCheck::CheckConference(in);
    ASSERT_TRUE(r.Passed());
    EXPECT_EQ(r.request.joinType, 2);
    EXPECT_EQ(r.request.confId, 812);
    EXPECT_EQ(r.request.password, QStringLiteral("pw"));
    EXPECT_EQ(r.trimmedConfNumber, QStringLiteral("00812"));

    in.confPassword.clear();
    r = LoginInputCheck::CheckConference(in);
    ASSERT_TRUE(r.Passed());
    EXPECT_EQ(r.request.joinType, 1);
    EXPECT_TRUE(r.request.password.isEmpty());

    in.confNumber = QStringLiteral("2147483647");
    EXPECT_EQ(LoginInputCheck::CheckConference(in).request.confId, 2147483647);
}

TEST(LoginInputCheck, TrialNeedsOnlyTheNickName) {
    LoginInputs in = Filled(kLoginModeTrial);
    in.confNumber = QStringLiteral("not a number");
    in.confPassword = QStringLiteral("ignored");
    const LoginCheckResult r = LoginInputCheck::CheckConference(in);
    ASSERT_TRUE(r.Passed());
    EXPECT_EQ(r.request.joinType, 5);
    EXPECT_EQ(r.request.name, QStringLiteral("Bob"));
    EXPECT_TRUE(r.request.password.isEmpty());
    EXPECT_EQ(r.request.confId, 0);
}

}  // namespace
