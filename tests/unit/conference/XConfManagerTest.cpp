#include "client/conference/XConfManager.h"

#include <gtest/gtest.h>

#include <cstring>

#include "client/Common/MD5String.h"
#include "client/conference/UpgradeInfo.h"
#include "client/config/AppSettings.h"
#include "client/config/ConfigManger.h"
#include "client/config/LangFormat.h"
#include "fakes/conference/CallLog.h"
#include "fakes/conference/ConfManagerFixture.h"
#include "fakes/conference/FakeCsManager.h"
#include "fakes/conference/FakeMainFrame.h"
#include "fakes/conference/QtWait.h"
#include "fakes/conference/RecordingCsHandler.h"
#include "platform/core/Profile.h"
#include "platform/core/TextCodec.h"

namespace {

using fakes::CallLog;
using fakes::FakeCsManager;
using fakes::FakeMainFrame;
using fakes::RecordingCsHandler;
using Strings = std::vector<std::string>;

class XConfManagerTest : public fakes::ConfManagerFixture {
protected:
    void SetUp() override {
        ConfManagerFixture::SetUp();
        fake.loginInfo.confId = 4321;
        std::strcpy(fake.loginInfo.confName, "Demo");
        fake.appInfo.speakerLimit = 2;
        fake.users.AddUser(8, u"Ann", 0b11);
        fake.users.AddUser(kMyId, u"Me", 0b1);
    }

    int Login(std::uint8_t goOn = 0, const char* password = "secret") {
        std::uint16_t required = 0;
        return manager->SetupConference("127.0.0.1", 9000, 4321, "me", password, &required, 0,
                                        goOn);
    }

    static std::string Hex(const std::vector<std::uint8_t>& bytes) {
        std::string out;
        for (auto b : bytes) {
            char text[4];
            std::snprintf(text, sizeof text, "%02x", b);
            out += text;
        }
        return out;
    }
};

// --- login ---------------------------------------------------------------------------------

TEST_F(XConfManagerTest, DifferentServerVersionOffersUpgradeWithoutLogin) {
    fake.echoClientVersion = false;
    fake.serverVersion = "9.9.9";
    QString message;
    EXPECT_EQ(manager->QueryUpgradeInfo("127.0.0.1", &message, 9000), -4);
    EXPECT_EQ(message, LoadLangString(1861));
    EXPECT_EQ(Login(), -4);
    EXPECT_EQ(log.Count("Login"), 0u);
    EXPECT_EQ(g_UpgradeInfo.serverVersion, "9.9.9");
    EXPECT_EQ(manager->ProcessCsMessage(), -1);  // no queue
}

TEST_F(XConfManagerTest, GoOnFlagLogsInDespiteTheUpgradeCheck) {
    fake.echoClientVersion = false;
    fake.serverVersion = "9.9.9";
    EXPECT_EQ(Login(/*goOn=*/1), 0);
    EXPECT_EQ(log.Count("Login"), 1u);
    EXPECT_EQ(manager->ProcessCsMessage(), 0);
}

TEST_F(XConfManagerTest, EqualVersionTextsGiveNoUpgrade) {
    QString message;
    EXPECT_EQ(manager->QueryUpgradeInfo("127.0.0.1", &message, 9000), 0);
    EXPECT_TRUE(message.isEmpty());
}

struct UpgradeErrorCase {
    std::int32_t result;
    int textId;
};

class XConfManagerUpgradeError : public XConfManagerTest,
                                 public ::testing::WithParamInterface<UpgradeErrorCase> {};

TEST_P(XConfManagerUpgradeError, ReturnsTheErrorWithItsText) {
    fake.upgradeResult = GetParam().result;
    QString message;
    EXPECT_EQ(manager->QueryUpgradeInfo("127.0.0.1", &message, 9000), GetParam().result);
    EXPECT_EQ(message, LoadLangString(GetParam().textId));
    EXPECT_EQ(Login(), GetParam().result);
    EXPECT_EQ(log.Count("Login"), 0u);
    EXPECT_EQ(Login(/*goOn=*/1), 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, XConfManagerUpgradeError,
                         ::testing::Values(UpgradeErrorCase{-1, 1864}, UpgradeErrorCase{-2, 1867},
                                           UpgradeErrorCase{-7, 1870}));

TEST_F(XConfManagerTest, UpgradeServerCountIsKeptWhenOffered) {
    g_UpgradeInfo = ST_UPGRADE_INFO{};
    fake.upgradeResult = 2;
    EXPECT_EQ(Login(), 0);
    EXPECT_EQ(g_UpgradeInfo.serverCount, 2);
    EXPECT_EQ(g_UpgradeInfo.servers.size(), 2u);
}

TEST_F(XConfManagerTest, VersionRefusedReportsTheRequiredVersion) {
    fake.loginResult = 0x1000;
    fake.requiredVersion = 77;
    std::uint16_t required = 0;
    EXPECT_EQ(manager->SetupConference("127.0.0.1", 9000, 4321, "me", "pw", &required, 0, 0),
              0x1000);
    EXPECT_EQ(required, 77);
    EXPECT_EQ(manager->ProcessCsMessage(), -1);
}

TEST_F(XConfManagerTest, PasswordTravelsAsLowercaseMd5OrAsHandedOverDigest) {
    ASSERT_EQ(Login(0, "secret"), 0);
    EXPECT_EQ(fake.lastDigest, MD5String("secret"));
    EXPECT_EQ(fake.lastDigest, "5ebe2294ecd0e0f08eab7690d2a6ee69");
    manager->SetHandOverDigest("0123456789abcdef0123456789abcdef");
    ASSERT_EQ(Login(0, "ignored"), 0);
    EXPECT_EQ(fake.lastDigest, "0123456789abcdef0123456789abcdef");
}

TEST_F(XConfManagerTest, LimitsGoToSettingsAndClientIni) {
    fake.appInfo.maxOpenDocs = 5;
    fake.appInfo.maxWhiteboardPages = 30;
    fake.appInfo.speakerLimit = 6;
    fake.appInfo.bitrateLimitKbps = 1024;
    ASSERT_EQ(Login(), 0);
    EXPECT_EQ(g_AppSettings.wMaxOpenDocs, 7);
    EXPECT_EQ(g_AppSettings.wSpeakerLimit, 6);
    EXPECT_EQ(g_AppSettings.wBitrateLimitKbps, 1024);
    const std::string ini = g_ConfigManager.GetClientIniPath().toStdString();
    EXPECT_EQ(yav::profile::GetString("appinfo", "wMaxOpenDocs", "", 32, ini), "5");
    EXPECT_EQ(yav::profile::GetString("appinfo", "wMaxWBPages", "", 32, ini), "30");
}

TEST_F(XConfManagerTest, LoginKeepsLoginRecordRoomAttributesAndOwnRecords) {
    fake.loginInfo.recordMode = 1;
    fake.loginInfo.roomAttr[13] = 3;
    std::memcpy(&fake.loginInfo.roomAttr[14], "abc", 3);
    fake.loginInfo.roomAttr[272] = 1;
    ASSERT_EQ(Login(), 0);
    EXPECT_EQ(manager->GetConfId(), 4321u);
    EXPECT_EQ(manager->GetConfName(), "Demo");
    EXPECT_EQ(manager->GetMyUserId(), kMyId);
    EXPECT_EQ(g_AppSettings.byRecordMode, 1);
    char bulletin[8] = {};
    EXPECT_EQ(manager->GetBulletin(bulletin, 2), 2);
    EXPECT_EQ(std::string(bulletin), "ab");
    EXPECT_TRUE(manager->IsConfFlagSet());
    ASSERT_TRUE(manager->HasCurrentUser());
    EXPECT_EQ(manager->GetMyUserItem()->userId, kMyId);
    EXPECT_NE(manager->GetMyPrivateData(), nullptr);
    // My private data is cleared once at login.
    ASSERT_EQ(fake.userDataWrites.size(), 1u);
    EXPECT_EQ(fake.userDataWrites[0].user, kMyId);
    EXPECT_EQ(fake.userDataWrites[0].bytes, std::vector<std::uint8_t>(32, 0));
    EXPECT_EQ(fake.userDataWrites[0].notify, 1);
}

TEST_F(XConfManagerTest, BulletinCopyNeverSplitsACharacter) {
    const std::string gbk = yav::text::Utf8ToGbk("中文");
    fake.loginInfo.roomAttr[13] = 4;
    std::memcpy(&fake.loginInfo.roomAttr[14], gbk.data(), gbk.size());
    ASSERT_EQ(Login(), 0);
    char bulletin[8] = {};
    EXPECT_EQ(manager->GetBulletin(bulletin, 3), 2);
    EXPECT_EQ(std::string(bulletin), gbk.substr(0, 2));
}

TEST_F(XConfManagerTest, MissingOwnRecordLogsOutAgain) {
    fake.loginInfo.userId = 24;  // nobody of that id is listed
    EXPECT_EQ(Login(), -1);
    EXPECT_FALSE(fake.loggedIn);
    EXPECT_EQ(log.Count("Logout"), 1u);
    EXPECT_FALSE(manager->HasCurrentUser());
    EXPECT_EQ(manager->GetUserCount(), 0);
    EXPECT_EQ(manager->ProcessCsMessage(), -1);
}

TEST_F(XConfManagerTest, MissingParticipantListLogsOutAgain) {
    fake.provideUserManager = false;
    EXPECT_EQ(Login(), -1);
    EXPECT_FALSE(fake.loggedIn);
    EXPECT_EQ(manager->ProcessCsMessage(), -1);
}

TEST_F(XConfManagerTest, OnlyUserSetsTheRoomDefaults) {
    fake.users.RemoveUser(8);
    fake.appInfo.flags22 = 0x80;  // 271 bit 0
    fake.appInfo.flags23 = 0x03;  // 271 bit 1, 270
    fake.appInfo.flags25 = 0x01;  // 272
    ASSERT_EQ(Login(), 0);
    ASSERT_EQ(fake.attributeWrites.size(), 3u);
    EXPECT_EQ(fake.attributeWrites[0].offset, 271);
    EXPECT_EQ(fake.attributeWrites[0].bytes, std::vector<std::uint8_t>{3});
    EXPECT_EQ(fake.attributeWrites[1].offset, 270);
    EXPECT_EQ(fake.attributeWrites[1].bytes, std::vector<std::uint8_t>{1});
    EXPECT_EQ(fake.attributeWrites[2].offset, 272);
    EXPECT_EQ(fake.attributeWrites[2].bytes, std::vector<std::uint8_t>{1});
}

TEST_F(XConfManagerTest, SecondUserLeavesRoomDefaultsAlone) {
    ASSERT_EQ(Login(), 0);
    EXPECT_TRUE(fake.attributeWrites.empty());
    manager->ResetRoomOptions();
    EXPECT_TRUE(fake.attributeWrites.empty());
}

TEST_F(XConfManagerTest, NamedUserClearsTheSixLeadingRoomBytes) {
    fake.loginInfo.roomAttr[0] = kMyId;
    fake.loginInfo.roomAttr[2] = 0x55;
    ASSERT_EQ(Login(), 0);
    ASSERT_EQ(fake.attributeWrites.size(), 1u);
    EXPECT_EQ(fake.attributeWrites[0].offset, 0);
    EXPECT_EQ(fake.attributeWrites[0].bytes, std::vector<std::uint8_t>(6, 0));
    EXPECT_EQ(fake.attributeWrites[0].notify, 0);
}

TEST_F(XConfManagerTest, LoginFeedsTheVideoCycle) {
    g_AppSettings.cycleinterval = 15;
    ASSERT_EQ(Login(), 0);
    EXPECT_EQ(manager->GetVideoCycle().GetQueue(), (std::vector<std::uint16_t>{8, 9, 16}));
    EXPECT_EQ(manager->GetVideoCycle().GetInterval(), 15000u);
    EXPECT_EQ(manager->GetVideoCycle().GetSelectedCount(), 3);
}

// --- requests --------------------------------------------------------------------------------

TEST_F(XConfManagerTest, OwnChannelIsOpenedWithoutServerRequest) {
    ASSERT_EQ(Login(), 0);
    log.Clear();
    manager->RequestUserVideo(kMyId + 3, 1);
    manager->RequestUserVideo(8, 1);
    manager->RequestUserVideo(8, 1);  // one entry per id
    manager->RequestUserVideo(9, 0);
    manager->RequestUserVideo(0, 1);
    EXPECT_EQ(log.Calls(), (Strings{"OnVideoOpenResult(19,0,123)", "RequestVideo(8)",
                                    "RequestVideo(8)", "OnVideoOpenResult(9,0,0)"}));
}

TEST_F(XConfManagerTest, VideoRequestMapKeepsBytesAndIsTakenOnce) {
    ASSERT_EQ(Login(), 0);
    manager->RequestUserVideo(8, 1);  // {1, 0, 0}
    manager->UpdateVideoRequest(8, 255, 255, 1);
    EXPECT_EQ(manager->TakeVideoRequest(8), 0);
    EXPECT_EQ(manager->TakeVideoRequest(8), 1);  // gone
    manager->UpdateVideoRequest(9, 2, 255, 1);
    EXPECT_EQ(manager->TakeVideoRequest(9), 1);
    EXPECT_EQ(manager->TakeVideoRequest(40), 1);
}

TEST_F(XConfManagerTest, ReceiveVideoGoesToTheMainFrame) {
    manager->ReceiveVideo(9, 1, nullptr);
    manager->ReceiveVideo(9, 0, nullptr);
    manager->ReceiveVideo(0, 1, nullptr);
    EXPECT_EQ(log.Matching("ReceiveVideo"),
              (Strings{"ReceiveVideo(9,0,123,0)", "ReceiveVideo(9,0,0,0)"}));
}

struct CaptionCase {
    const char* name;
    QString text;
    size_t textBytes;  // after the length byte
};

class XConfManagerCaption : public XConfManagerTest,
                            public ::testing::WithParamInterface<CaptionCase> {};

TEST_P(XConfManagerCaption, WritesLengthByteAndAtMost241Bytes) {
    manager->SetRoomCaption(GetParam().text);
    ASSERT_EQ(fake.attributeWrites.size(), 1u);
    const auto& write = fake.attributeWrites[0];
    EXPECT_EQ(write.offset, 13);
    EXPECT_EQ(write.notify, 1);
    ASSERT_EQ(write.bytes.size(), GetParam().textBytes + 1);
    EXPECT_EQ(write.bytes[0], GetParam().textBytes);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, XConfManagerCaption,
    ::testing::Values(CaptionCase{"Empty", QString(), 0},
                      CaptionCase{"Short", QStringLiteral("hello"), 5},
                      CaptionCase{"Exactly241", QString(241, QChar('x')), 241},
                      CaptionCase{"ThreeHundredBytes", QString(300, QChar('x')), 241},
                      // 121 double-byte characters: the 121st would end at byte 242
                      CaptionCase{"DoubleByteCutOnBoundary", QString(121, QChar(0x4F1A)), 240}),
    [](const ::testing::TestParamInfo<CaptionCase>& caseInfo) {
        return std::string(caseInfo.param.name);
    });

TEST_F(XConfManagerTest, RoomOptionBytesGoToTheirOffsets) {
    manager->SetRoomOptionC(1);
    manager->SetRoomOptionB(2);
    manager->SetRoomOptionA(0);
    EXPECT_EQ(log.Matching("SetUserAttribute"),
              (Strings{"SetUserAttribute(270,1,1)", "SetUserAttribute(271,1,1)",
                       "SetUserAttribute(272,1,1)"}));
}

TEST_F(XConfManagerTest, SpeakerLimitRefusesWithText2245) {
    ASSERT_EQ(Login(), 0);
    fake.users.speakerCount = 2;  // limit 2 reached
    log.Clear();
    EXPECT_EQ(manager->ApplySpeak(), 0);
    EXPECT_EQ(log.Count("ApplySpeak"), 0u);
    ASSERT_EQ(frame.boxes.size(), 1u);
    EXPECT_EQ(frame.boxes[0].text, yav::SafeFormat(LoadLangString(2245), {2}));
    EXPECT_EQ(frame.boxes[0].title, LoadLangString(1));

    manager->AwardSpeek(9, 2);
    EXPECT_EQ(log.Count("AwardSpeek"), 0u);
    EXPECT_EQ(frame.boxes.size(), 2u);
    manager->AwardSpeek(9, 0);  // taking the floor away is never limited
    EXPECT_EQ(log.Matching("AwardSpeek"), (Strings{"AwardSpeek(8,0)"}));

    fake.users.speakerCount = 1;
    EXPECT_NE(manager->ApplySpeak(), 0);
    EXPECT_EQ(log.Matching("ApplySpeak"), (Strings{"ApplySpeak(1)"}));
}

TEST_F(XConfManagerTest, SpeakingUserWithdrawsEvenAtTheLimit) {
    fake.users.AddUser(kMyId, u"Me", 1).speakState = 2;
    ASSERT_EQ(Login(), 0);
    fake.users.speakerCount = 5;
    manager->ApplySpeak();
    EXPECT_EQ(log.Matching("ApplySpeak"), (Strings{"ApplySpeak(0)"}));
    EXPECT_TRUE(frame.boxes.empty());
}

TEST_F(XConfManagerTest, StopAllSpeakersSparesChairKindsAndThePresenter) {
    constexpr std::uint8_t kSpeaking = 2;
    constexpr std::uint8_t kApplying = 1;
    constexpr std::uint8_t kSilent = 0;
    constexpr std::uint8_t kPresenter = 2;
    struct User {
        std::uint16_t id;
        std::uint8_t kind;
        std::uint8_t speak;
        std::uint8_t presenter;
    };
    for (const User& user :
         {User{24, USER_KIND_MEMBER, kSpeaking, 0}, User{32, USER_KIND_MEMBER, kApplying, 0},
          User{40, USER_KIND_CHAIR, kSpeaking, 0}, User{48, USER_KIND_TEMP_ADMIN, kSpeaking, 0},
          User{56, USER_KIND_MEMBER, kSpeaking, kPresenter},
          User{64, USER_KIND_MEMBER, kSilent, 0}}) {
        auto& record = fake.users.AddUser(user.id, u"x", 0);
        record.kind = user.kind;
        record.speakState = user.speak;
        record.presenterState = user.presenter;
    }
    ASSERT_EQ(Login(), 0);
    log.Clear();
    manager->StopAllSpeakers();
    EXPECT_EQ(log.Matching("AwardSpeek"), (Strings{"AwardSpeek(24,0)", "AwardSpeek(32,0)"}));
}

TEST_F(XConfManagerTest, ForwardersKeepTheArgumentOrder) {
    ASSERT_EQ(Login(), 0);
    log.Clear();
    manager->SetConfOptions(1, 2, 3, 4, 5, 6);
    manager->SetPresenter(8, 1);
    manager->SetTempAdmin(8, 0);
    manager->BroadcastVideo(9, 1);
    manager->KickUser(8, 3, "bye");
    manager->SetConfSetting(1);
    manager->SetConfSettingByte(2);
    manager->SetServerRecord(1);
    manager->GiveUpChair();
    manager->ApplyPresenter();
    manager->ApplyChair(QStringLiteral("chair"));
    EXPECT_EQ(log.Calls(),
              (Strings{"SetConfOptions(2,1,3,4,5,6)", "SetPresenter(8,1)", "SetTempAdmin(8,0)",
                       "BroadcastVideo(9,1)", "KickUser(8,3,bye)", "SetConfSetting(1)",
                       "SetConfSettingByte(2)", "SetServerRecord(1)", "GiveUpChair()",
                       "ApplyPresenter()", "ApplyChair(chair)"}));
}

TEST_F(XConfManagerTest, PresenterApplicationIsWithdrawnWhenQueued) {
    fake.users.AddUser(kMyId, u"Me", 1).presenterState = 1;
    ASSERT_EQ(Login(), 0);
    manager->ApplyPresenter();
    EXPECT_EQ(log.Count("CancelPresenterApply"), 1u);
    EXPECT_EQ(log.Count("ApplyPresenter"), 0u);
}

TEST_F(XConfManagerTest, ModifyPasswordSendsMyNameAndThreeDigests) {
    ASSERT_EQ(Login(), 0);
    manager->ModifyPassword("a", "b", "c");
    EXPECT_EQ(log.Matching("ModifyPassword"),
              (Strings{"ModifyPassword(Me," + MD5String("a") + "," + MD5String("b") + "," +
                       MD5String("c") + ")"}));
}

TEST_F(XConfManagerTest, RollCallWithoutParticipantListFails) {
    const ST_ROLLCALL_ITEM dummy{};
    const ST_ROLLCALL_ITEM* rows = &dummy;
    std::uint32_t count = 9;
    EXPECT_EQ(manager->RollCallRequest(u"n", u"p", 1, &rows, &count), -1);
    EXPECT_EQ(rows, nullptr);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(log.Count("RollCallRequest"), 0u);
}

TEST_F(XConfManagerTest, FixedSendersBuildTheirBlocks) {
    ASSERT_EQ(Login(), 0);
    manager->SendUserByte311(19);
    manager->GrantScreenControl(8, 1);
    manager->SendH323Call(QStringLiteral("10086"), 1);
    std::uint8_t block10[10] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    manager->CsCommand27(8, block10);
    ASSERT_EQ(fake.transmissions.size(), 3u);
    EXPECT_EQ(fake.transmissions[0].to, 16);
    EXPECT_EQ(fake.transmissions[0].subCommand, 311);
    EXPECT_EQ(fake.transmissions[0].bytes, std::vector<std::uint8_t>{3});
    EXPECT_EQ(fake.transmissions[1].subCommand, 267);
    // The receiver reads 0 as "control granted".
    EXPECT_EQ(fake.transmissions[1].bytes, std::vector<std::uint8_t>{0});
    const auto& h323 = fake.transmissions[2];
    EXPECT_EQ(h323.to, 0);
    EXPECT_EQ(h323.subCommand, 310);
    ASSERT_EQ(h323.bytes.size(), 69u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(h323.bytes.data())), "10086");
    EXPECT_EQ(Hex({h323.bytes.begin() + 64, h323.bytes.end()}), "e110000001");  // 4321, flag
    ASSERT_EQ(fake.userDataWrites.size(), 2u);
    EXPECT_EQ(fake.userDataWrites[1].user, 8);
    EXPECT_EQ(fake.userDataWrites[1].bytes, std::vector<std::uint8_t>(block10, block10 + 10));
}

}  // namespace
