#include <gtest/gtest.h>

#include "app/YavClientApp.h"

namespace {

struct Parsed {
    int result = -1;
    ST_START_PARAM block;
    QString digest;
};

Parsed Parse(const QStringList& arguments) {
    Parsed parsed;
    parsed.digest = QStringLiteral("stale");
    QStringList argv{QStringLiteral("/opt/yav/YavClient")};
    argv += arguments;
    CYavClientApp app(argv);
    parsed.result = app.ParseCommandLine(&parsed.block, &parsed.digest);
    return parsed;
}

TEST(CommandLine, KeyValueFormFillsEveryField) {
    const Parsed p =
        Parse({QStringLiteral("ip=10.1.2.3&name=alice&pwd=secret&confid=8001&type=2/")});
    EXPECT_EQ(p.result, 1);
    EXPECT_EQ(p.block.ServerAddr(), QStringLiteral("10.1.2.3"));
    EXPECT_EQ(p.block.UserName(), QStringLiteral("alice"));
    EXPECT_EQ(p.block.Password(), QStringLiteral("secret"));
    EXPECT_EQ(p.block.nConfId, 8001);
    EXPECT_EQ(p.block.wJoinType, 2);
    EXPECT_TRUE(p.digest.isEmpty());
}

TEST(CommandLine, SecretFormHandsThePasswordOnAsDigest) {
    const Parsed p = Parse({QStringLiteral(
        "ip=10.1.2.3&name=bob&pwd=e10adc3949ba59abbe56e057f20f883e&confid=7&type=1&bSecret=1/")});
    EXPECT_EQ(p.result, 1);
    EXPECT_TRUE(p.block.Password().isEmpty());
    EXPECT_EQ(p.digest, QStringLiteral("e10adc3949ba59abbe56e057f20f883e"));
    EXPECT_EQ(p.block.wJoinType, 1);
    EXPECT_EQ(p.block.nConfId, 7);

    const Parsed notSecret = Parse({QStringLiteral("ip=1.1.1.1&pwd=abc&bSecret=0/")});
    EXPECT_EQ(notSecret.block.Password(), QStringLiteral("abc"));
    EXPECT_TRUE(notSecret.digest.isEmpty());
}

TEST(CommandLine, KeysMatchWholePairsOnly) {
    // "ip" inside "Philip" and "name" inside "nickname" are not keys.
    const Parsed noIp = Parse({QStringLiteral("name=Philip&pwd=1")});
    EXPECT_EQ(noIp.result, 0);
    EXPECT_TRUE(noIp.block.IsZero());

    const Parsed p =
        Parse({QStringLiteral("nickname=zed&name=Philip&ip=192.168.1.9&xconfid=5&confid=12")});
    EXPECT_EQ(p.result, 1);
    EXPECT_EQ(p.block.UserName(), QStringLiteral("Philip"));
    EXPECT_EQ(p.block.ServerAddr(), QStringLiteral("192.168.1.9"));
    EXPECT_EQ(p.block.nConfId, 12);
    EXPECT_EQ(p.block.wJoinType, 0);
}

TEST(CommandLine, EmptyOrMissingAddressMeansNoDirectJoin) {
    for (const char* argument : {"ip=&name=a", "name=a&pwd=b", "", "garbage"}) {
        const Parsed p = Parse({QString::fromLatin1(argument)});
        EXPECT_EQ(p.result, 0) << argument;
        EXPECT_TRUE(p.block.IsZero()) << argument;
        EXPECT_TRUE(p.digest.isEmpty()) << argument;
    }
}

TEST(CommandLine, PercentEncodedChineseName) {
    const Parsed p =
        Parse({QStringLiteral("ip%3D10.0.0.1%26name%3D%E5%BC%A0%e4%B8%89%26confid%3D3")});
    EXPECT_EQ(p.result, 1);
    EXPECT_EQ(p.block.UserName(), QStringLiteral("张三"));
    EXPECT_EQ(p.block.nConfId, 3);
}

TEST(CommandLine, ValuesAreCutToTheirFields) {
    const QString longName(100, u'n');
    const QString longPassword(40, u'p');
    const QString longAddress(300, u'1');
    const Parsed p = Parse({QStringLiteral("ip=") + longAddress + QStringLiteral("&name=") +
                            longName + QStringLiteral("&pwd=") + longPassword});
    EXPECT_EQ(p.result, 1);
    EXPECT_EQ(p.block.ServerAddr().size(), 259);
    EXPECT_EQ(p.block.UserName().size(), 63);
    EXPECT_EQ(p.block.Password().size(), 31);
    EXPECT_EQ(p.block.szUserName[63], u'\0');
}

TEST(CommandLine, NumbersThatDoNotParseGiveZero) {
    const Parsed p = Parse({QStringLiteral("ip=1.2.3.4&confid=abc&type=x/")});
    EXPECT_EQ(p.result, 1);
    EXPECT_EQ(p.block.nConfId, 0);
    EXPECT_EQ(p.block.wJoinType, 0);
    EXPECT_EQ(Parse({QStringLiteral("ip=1.2.3.4&type=12")}).block.wJoinType, 12);
}

TEST(CommandLine, ConferenceNumbersOutsideThirtyTwoBitsGiveZeroNotAnotherConference) {
    const struct {
        const char* confid;
        int expected;
    } cases[] = {{"2147483647", 2147483647},  {"2147483648", 0},
                 {"4294968297", 0},  // would wrap to 1001
                 {"99999999999999999999", 0}, {"-2147483648", -2147483647 - 1},
                 {"-2147483649", 0}};
    for (const auto& c : cases) {
        const Parsed keyValue =
            Parse({QStringLiteral("ip=1.2.3.4&confid=") + QString::fromLatin1(c.confid)});
        EXPECT_EQ(keyValue.block.nConfId, c.expected) << c.confid;
        const Parsed positional = Parse({QStringLiteral("1.2.3.4"), QStringLiteral("n"),
                                         QStringLiteral("p"), QString::fromLatin1(c.confid)});
        EXPECT_EQ(positional.block.nConfId, c.expected) << c.confid;
    }
}

TEST(CommandLine, PositionalForms) {
    EXPECT_EQ(Parse({}).result, 0);
    for (const QStringList& few :
         {QStringList{QStringLiteral("1.2.3.4"), QStringLiteral("n")},
          QStringList{QStringLiteral("1.2.3.4"), QStringLiteral("n"), QStringLiteral("p")}}) {
        const Parsed p = Parse(few);
        EXPECT_EQ(p.result, 0);
        EXPECT_TRUE(p.block.IsZero());
    }
    const Parsed four = Parse({QStringLiteral("10.0.0.2"), QStringLiteral("李四"),
                               QStringLiteral("pw"), QStringLiteral("4455")});
    EXPECT_EQ(four.result, 1);
    EXPECT_EQ(four.block.ServerAddr(), QStringLiteral("10.0.0.2"));
    EXPECT_EQ(four.block.UserName(), QStringLiteral("李四"));
    EXPECT_EQ(four.block.Password(), QStringLiteral("pw"));
    EXPECT_EQ(four.block.nConfId, 4455);
    EXPECT_EQ(four.block.wJoinType, 0);
    EXPECT_TRUE(four.digest.isEmpty());

    const Parsed five = Parse({QStringLiteral("10.0.0.2"), QStringLiteral("a"), QStringLiteral("b"),
                               QStringLiteral("1"), QStringLiteral("5")});
    EXPECT_EQ(five.block.wJoinType, 5);
}

TEST(CommandLine, HostNameIsResolvedToItsAddress) {
    const Parsed p = Parse({QStringLiteral("ip=localhost&name=a")});
    EXPECT_EQ(p.result, 1);
    EXPECT_TRUE(p.block.ServerAddr().startsWith(QStringLiteral("127.")))
        << p.block.ServerAddr().toStdString();
}

TEST(UrlDecode, Forms) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {{"%E4%B8%AD", "中"}, {"%e4%b8%ad", "中"}, {"a%20b", "a b"}, {"100%", "100%"},
                 {"%4", "%4"},        {"%zz", "%zz"},      {"%%41", "%A"},   {"plain", "plain"}};
    for (const auto& c : cases) {
        EXPECT_EQ(UrlDecode(QString::fromUtf8(c.in)), QString::fromUtf8(c.out)) << c.in;
    }
}

}  // namespace
