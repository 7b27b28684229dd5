#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "Common/CBase64.h"
#include "Common/CStrConvert.h"
#include "Common/Guid.h"
#include "Common/MD5String.h"
#include "Common/NetUtil.h"
#include "Common/StringUtil.h"

namespace {

TEST(Base64, KnownVectorsWithFill) {
    const struct {
        const char* plain;
        const char* encoded;
    } cases[] = {{"", ""},
                 {"f", "Zg=="},
                 {"fo", "Zm8="},
                 {"foo", "Zm9v"},
                 {"foob", "Zm9vYg=="},
                 {"fooba", "Zm9vYmE="},
                 {"foobar", "Zm9vYmFy"}};
    for (const auto& c : cases) {
        EXPECT_EQ(CBase64::EncodeToString(c.plain), c.encoded) << c.plain;
        EXPECT_EQ(CBase64::DecodeToString(c.encoded), std::string(c.plain)) << c.encoded;
    }
}

TEST(Base64, LineFeedAfterEvery72Characters) {
    const std::string bytes(54, 'x');
    char output[128];
    CBase64 coder;
    const int written =
        coder.Encode(reinterpret_cast<const std::uint8_t*>(bytes.data()), 54, output, 1);
    EXPECT_EQ(written, 73);
    EXPECT_EQ(std::strlen(output), 73u);
    EXPECT_EQ(output[72], '\n');
    const std::string longer = CBase64::EncodeToString(std::string(120, '\x01'));
    EXPECT_EQ(longer.size(), 160u + 2u);  // two full lines of 72, then 16 characters
    EXPECT_EQ(longer[72], '\n');
    EXPECT_EQ(longer[145], '\n');
    EXPECT_EQ(CBase64::DecodeToString(longer), std::string(120, '\x01'));
}

TEST(Base64, PiecewiseEncodingEqualsOneCall) {
    std::string bytes;
    for (int i = 0; i < 200; ++i) {
        bytes += static_cast<char>(i * 7);
    }
    CBase64 coder;
    std::string pieces;
    std::vector<char> output(CBase64::MaxEncodedLength(bytes.size()) + 8);
    for (size_t offset = 0; offset < bytes.size(); offset += 7) {
        const size_t n = std::min<size_t>(7, bytes.size() - offset);
        const bool last = offset + n == bytes.size();
        const int written =
            coder.Encode(reinterpret_cast<const std::uint8_t*>(bytes.data() + offset),
                         static_cast<int>(n), output.data(), last ? 1 : 0);
        pieces.append(output.data(), static_cast<size_t>(written));
    }
    EXPECT_EQ(pieces, CBase64::EncodeToString(bytes));
}

TEST(Base64, DecodeRejectsGarbage) {
    const char* bad[] = {"Zm9", "Zm9v!A==", "Z===", "Zg==Zg==", "Zm=v"};
    for (const char* text : bad) {
        EXPECT_FALSE(CBase64::DecodeToString(text).has_value()) << text;
    }
    EXPECT_EQ(CBase64::DecodeToString("Zm9v\nYmFy\n"), std::string("foobar"));
}

TEST(MD5String, KnownDigests) {
    EXPECT_EQ(MD5String(""), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(MD5String("abc"), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(MD5String("123456"), "e10adc3949ba59abbe56e057f20f883e");
}

TEST(MD5String, ThreeDigestsInOneCallDiffer) {
    char line[128];
    std::snprintf(line, sizeof line, "%s %s %s", MD5String("a").c_str(), MD5String("b").c_str(),
                  MD5String("c").c_str());
    EXPECT_STREQ(line,
                 "0cc175b9c0f1b6a831c399e269772661 92eb5ffee6ae2fec3ad71c777531578f "
                 "4a8a08f09d37b73795649038408b5f33");
}

TEST(StrConvert, GbkRoundTrip) {
    CStrConvert convert;
    const QString text = QStringLiteral("会议室 A-1");
    const char* gbk = convert.CStringToGbk(text);
    EXPECT_EQ(std::string(gbk), "\xBB\xE1\xD2\xE9\xCA\xD2 A-1");
    EXPECT_EQ(convert.GbkToCString(gbk), text);
    const char16_t* wide = convert.GbkToWide("\xD6\xD0");
    EXPECT_EQ(std::u16string(wide), u"中");
    EXPECT_STREQ(convert.WideToGbk(u"中"), "\xD6\xD0");
    EXPECT_EQ(convert.AnsiToCString("\xE4\xB8\xAD"), QStringLiteral("中"));
}

TEST(StrConvert, WideToMultiByteCutsOnCharacterBoundary) {
    char out[4];
    EXPECT_EQ(WideToMultiByte(out, u"中文", sizeof out, CP_GBK),
              2);  // 4 bytes would not fit the NUL
    EXPECT_STREQ(out, "\xD6\xD0");
    EXPECT_EQ(WideToMultiByte(out, u"中", sizeof out, GetDefaultCodePage()), 3);
    EXPECT_STREQ(out, "\xE4\xB8\xAD");
    EXPECT_EQ(WideToMultiByte(out, u"x", 0, CP_GBK), 0);
}

TEST(StrConvert, Widen16AndNarrow16) {
    std::uint8_t id[16];
    for (int i = 0; i < 16; ++i) {
        id[i] = static_cast<std::uint8_t>(0xF0 + i);
    }
    std::uint8_t wide[32];
    CStrConvert::Widen16(id, wide);
    EXPECT_EQ(wide[0], 0xF0);
    EXPECT_EQ(wide[1], 0);
    EXPECT_EQ(wide[30], 0xFF);
    std::uint8_t back[16] = {};
    CStrConvert::Narrow16(wide, back);
    EXPECT_EQ(std::memcmp(back, id, 16), 0);
    CStrConvert::Widen16(nullptr, wide);  // harmless
    CStrConvert::Narrow16(wide, nullptr);
}

TEST(Guid, TextRoundTripAndRejects) {
    const GUID guid = StringToGuid(QStringLiteral("6B29FC40-CA47-1067-B31D-00DD010662DA"));
    EXPECT_EQ(guid.Data1, 0x6B29FC40u);
    EXPECT_EQ(guid.Data2, 0xCA47);
    EXPECT_EQ(guid.Data3, 0x1067);
    EXPECT_EQ(guid.Data4[0], 0xB3);
    EXPECT_EQ(guid.Data4[7], 0xDA);
    EXPECT_EQ(GuidToString(guid), QStringLiteral("6b29fc40-ca47-1067-b31d-00dd010662da"));
    char16_t out[37];
    GuidToString(guid, out);
    EXPECT_EQ(std::u16string(out), u"6b29fc40-ca47-1067-b31d-00dd010662da");
    const char* bad[] = {
        "", "{6b29fc40-ca47-1067-b31d-00dd010662da}", "6b29fc40-ca47-1067-b31d-00dd010662dz",
        "6b29fc40ca47-1067-b31d-00dd010662da0", "6b29fc40-ca47-1067-b31d+00dd010662da"};
    for (const char* text : bad) {
        EXPECT_EQ(StringToGuid(QString::fromLatin1(text)), GUID{}) << text;
    }
}

TEST(StringUtil, TruncateWithEllipsis) {
    const QString five = QStringLiteral("abcde");
    EXPECT_EQ(TruncateWithEllipsis(five, 5), five);
    EXPECT_EQ(TruncateWithEllipsis(five, 3), QStringLiteral("abc..."));
    EXPECT_EQ(TruncateWithEllipsis(five, 0), five);
    EXPECT_EQ(TruncateWithEllipsis(QStringLiteral("a\U0001F600b"), 2), QStringLiteral("a..."));
}

TEST(StringUtil, SplitStringDropsEmptyParts) {
    EXPECT_EQ(SplitString(QStringLiteral(";1.1.1.1;;host;"), QStringLiteral(";")),
              (QStringList{QStringLiteral("1.1.1.1"), QStringLiteral("host")}));
    EXPECT_TRUE(SplitString(QString(), QStringLiteral(";")).isEmpty());
}

TEST(NetUtil, DigitsAndDotsAndLocalResolution) {
    EXPECT_TRUE(IsDigitsAndDots("192.168.0.1"));
    EXPECT_FALSE(IsDigitsAndDots("192.168.0.a"));
    EXPECT_FALSE(IsDigitsAndDots("conf.example.com"));
    std::string ip;
    ASSERT_TRUE(GetIpByHostName("localhost", &ip));
    EXPECT_EQ(ip.rfind("127.", 0), 0u);
    EXPECT_FALSE(GetIpByHostName("", &ip));
}

}  // namespace
