#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "dialogs/login/LoginSettings.h"
#include "dialogs/login/NetSetSettings.h"
#include "platform/core/Profile.h"

namespace {

class StoredSettings : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ini = dir.filePath(QStringLiteral("Client.ini"));
    }
    void WriteIni(const char* text) {
        QFile file(ini);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    std::string Value(const char* section, const char* key) {
        return yav::profile::GetString(section, key, "<missing>", 256, ini.toStdString());
    }

    QTemporaryDir dir;
    QString ini;
};

TEST_F(StoredSettings, MissingKeysGiveDefaults) {
    StoredLogin stored;
    stored.confId = 99;
    stored.user = QStringLiteral("x");
    LoginSettings settings(ini);
    settings.LoadAccount(&stored);
    settings.LoadConf(&stored);
    EXPECT_FALSE(stored.reservePassword);
    EXPECT_FALSE(stored.autoLogin);
    EXPECT_TRUE(stored.user.isEmpty());
    EXPECT_TRUE(stored.password.isEmpty());
    EXPECT_TRUE(stored.nickName.isEmpty());
    EXPECT_EQ(stored.confId, 0);
}

TEST_F(StoredSettings, AccountRoundTripWithAndWithoutRememberedPassword) {
    LoginSettings settings(ini);
    settings.SaveAccount(QStringLiteral("alice"), QStringLiteral("abc"), true);
    EXPECT_EQ(Value("login", "Password"), "MBRUAA==");
    EXPECT_EQ(Value("login", "ReservePWS"), "1");
    StoredLogin stored;
    settings.LoadAccount(&stored);
    EXPECT_TRUE(stored.reservePassword);
    EXPECT_EQ(stored.user, QStringLiteral("alice"));
    EXPECT_EQ(stored.password, QStringLiteral("abc"));

    settings.SaveAccount(QStringLiteral("alice"), QStringLiteral("abc"), false);
    EXPECT_EQ(Value("login", "Password"), "");
    EXPECT_EQ(Value("login", "ReservePWS"), "0");
    settings.LoadAccount(&stored);
    EXPECT_TRUE(stored.password.isEmpty());
}

TEST_F(StoredSettings, TooLongPasswordKeepsTheStoredOneAndNamesAreCut) {
    LoginSettings settings(ini);
    settings.SaveAccount(QStringLiteral("alice"), QStringLiteral("abc"), true);
    settings.SaveAccount(QString(70, QLatin1Char('u')), QString(32, QLatin1Char('p')), true);
    EXPECT_EQ(Value("login", "Password"), "MBRUAA==");
    EXPECT_EQ(Value("login", "User"), std::string(63, 'u'));
}

TEST_F(StoredSettings, ConferenceValuesTrimmedAndGovernedByTheSameBox) {
    LoginSettings settings(ini);
    settings.SaveConf(QStringLiteral("Bob"), QStringLiteral("会议"), true, QStringLiteral(" 812 "));
    EXPECT_EQ(Value("login", "confID"), "812");
    EXPECT_EQ(Value("login", "confpwd"), "6pflygA=");
    StoredLogin stored;
    settings.LoadConf(&stored);
    EXPECT_EQ(stored.nickName, QStringLiteral("Bob"));
    EXPECT_EQ(stored.confPassword, QStringLiteral("会议"));
    EXPECT_EQ(stored.confId, 812);

    settings.SaveConf(QStringLiteral("Bob"), QStringLiteral("会议"), false, QStringLiteral("812"));
    EXPECT_EQ(Value("login", "confpwd"), "");
}

TEST_F(StoredSettings, StoredConferenceNumberNeverWraps) {
    struct Case {
        const char* ini;
        int confId;
    };
    const Case cases[] = {
        {"[login]\nconfID=812\n", 812},
        {"[login]\nconfID=812abc\n", 812},
        {"[login]\nconfID=2147483647\n", 2147483647},
        {"[login]\nconfID=99999999999\n", 0},
        {"[login]\nconfID=-5\n", 0},
        {"[login]\nconfID=\n", 0},
    };
    for (const Case& c : cases) {
        WriteIni(c.ini);
        StoredLogin stored;
        LoginSettings(ini).LoadConf(&stored);
        EXPECT_EQ(stored.confId, c.confId) << c.ini;
    }
}

TEST_F(StoredSettings, AutoLoginIsWrittenAtOnce) {
    LoginSettings settings(ini);
    settings.SaveAutoLogin(true);
    EXPECT_EQ(Value("login", "AutoLogin"), "1");
    StoredLogin stored;
    settings.LoadAccount(&stored);
    EXPECT_TRUE(stored.autoLogin);
}

TEST_F(StoredSettings, ServerTypeAndAddresses) {
    struct Case {
        const char* ini;
        int type;
        const char* list;
    };
    const Case cases[] = {
        {"[login]\nserver1= a \nserver2=b\nserver3=c\n", 0, "a;b;c"},
        {"[login]\nserver2=b\nServerType=0\n", 0, ";b"},
        {"[login]\nserver1=a\nserver3=c\n", 0, "a;c"},
        {"[login]\n", 0, ""},
        {"[LOGIN]\nservertype=2\nserverself= own.example \nserver1=a\n", 1, "own.example"},
        {"[login]\nServerType=1\n", 1, ""},
    };
    for (const Case& c : cases) {
        WriteIni(c.ini);
        const NetSetSettings settings = NetSetSettings::Load(ini);
        EXPECT_EQ(settings.serverType, c.type) << c.ini;
        EXPECT_EQ(settings.ServerList(), QString::fromLatin1(c.list)) << c.ini;
    }
}

TEST_F(StoredSettings, SavingTypeTwoWritesOneAndTheListOnlyItsAddresses) {
    WriteIni("[login]\nServerType=2\nserverself=x\n[appinfo]\nbVideoCapMode=1\n");
    NetSetSettings settings = NetSetSettings::Load(ini);
    settings.SaveServerType(ini);
    EXPECT_EQ(Value("login", "ServerType"), "1");

    settings.server1 = QStringLiteral(" s1 ");
    settings.serverType = 0;
    settings.SaveList(ini);
    EXPECT_EQ(Value("login", "server1"), "s1");
    EXPECT_EQ(Value("login", "ServerType"), "1") << "the list alone leaves the type";
    EXPECT_EQ(Value("appinfo", "bVideoCapMode"), "1");

    NetSetSettings::SaveSingleCapture(false, ini);
    EXPECT_EQ(Value("appinfo", "bVideoCapMode"), "0");
}

}  // namespace
