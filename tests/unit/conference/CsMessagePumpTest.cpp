// The conference-server message pump of XConfManager: dispatch, order, loss, boxes.

#include <gtest/gtest.h>

#include <cstring>
#include <optional>

#include "client/conference/UserCommandPayloads.h"
#include "client/conference/XConfManager.h"
#include "client/config/ConfigManger.h"
#include "client/config/LangFormat.h"
#include "fakes/conference/CallLog.h"
#include "fakes/conference/ConfManagerFixture.h"
#include "fakes/conference/FakeCsManager.h"
#include "fakes/conference/FakeMainFrame.h"
#include "fakes/conference/LogCapture.h"
#include "fakes/conference/QtWait.h"
#include "fakes/conference/RecordingCsHandler.h"

namespace {

using fakes::CallLog;
using fakes::FakeCsManager;
using fakes::FakeMainFrame;
using fakes::RecordingCsHandler;
using Strings = std::vector<std::string>;

constexpr std::uint16_t kMyId = 16;

ST_CS_MSG Value(std::uint32_t type, std::uint32_t data = 0) {
    ST_CS_MSG message;
    message.type = type;
    message.data = data;
    return message;
}

template <typename Record>
ST_CS_MSG With(std::uint32_t type, Record record) {
    ST_CS_MSG message;
    message.type = type;
    message.payload = std::move(record);
    return message;
}

CsUserList Users(std::initializer_list<std::uint16_t> ids) {
    CsUserList list;
    for (std::uint16_t id : ids) {
        ST_USER_ITEM_DEPT record;
        record.userId = id;
        list.push_back(record);
    }
    return list;
}

class CsMessagePumpTest : public fakes::ConfManagerFixture {
protected:
    void SetUp() override {
        ConfManagerFixture::SetUp();
        fake.users.AddUser(8, u"Ann", 0b1);
        fake.users.AddUser(kMyId, u"Me", 0b1);
        std::uint16_t required = 0;
        ASSERT_EQ(manager->SetupConference("127.0.0.1", 9000, 1, "me", "pw", &required, 0, 0), 0);
        log.Clear();
    }
    void TearDown() override {
        ConfManagerFixture::TearDown();
        g_ConfigManager.nLanguageIndex = savedLanguage;
    }

    void Push(ST_CS_MSG message) { fake.queue.Push(std::move(message)); }

    // The calls made on the handlers and the component, without the login-record reads.
    Strings Calls() {
        Strings calls;
        for (const auto& call : log.Calls()) {
            if (call != "GetConfLoginInfo()") {
                calls.push_back(call);
            }
        }
        return calls;
    }

    int savedLanguage = g_ConfigManager.nLanguageIndex;
};

TEST(CsMessagePumpWithoutLogin, ReturnsMinusOne) {
    fakes::EnsureApplication();
    CallLog log;
    FakeCsManager fake{log};
    fake.InstallFactory();
    {
        XConfManager manager;
        EXPECT_EQ(manager.ProcessCsMessage(), -1);
    }
    FakeCsManager::RestoreFactory();
}

TEST_F(CsMessagePumpTest, EmptyQueueMakesNoCall) {
    EXPECT_EQ(manager->ProcessCsMessage(), 0);
    EXPECT_TRUE(log.Calls().empty());
}

TEST_F(CsMessagePumpTest, ConnectionLossStopsAndLeavesTheRestQueued) {
    Push(With(CS_MSG_USER_JOIN, Users({24, 32})));
    Push(Value(CS_MSG_CONNECTION_LOST));
    Push(With(CS_MSG_USER_INFO_CHANGED, Users({24})));
    EXPECT_EQ(manager->ProcessCsMessage(), -1);
    EXPECT_EQ(Calls(), (Strings{"OnUserJoin(24)", "OnUserJoin(32)"}));
    EXPECT_EQ(fake.queue.Size(), 1u);
    // The next call goes on with what was left.
    EXPECT_EQ(manager->ProcessCsMessage(), 0);
    EXPECT_EQ(log.Count("OnUserInfoChanged(24)"), 1u);
}

TEST_F(CsMessagePumpTest, EachLeaveIsFollowedByItsRemoval) {
    Push(With(CS_MSG_USER_LEAVE, CsLeaveList{{8, 101, 1}, {24, 102, 0}, {32, 103, 5}}));
    EXPECT_EQ(manager->ProcessCsMessage(), 0);
    EXPECT_EQ(Calls(), (Strings{"OnUserLeave(8,101,1)", "RemoveUser(8)", "OnUserLeave(24,102,0)",
                                "RemoveUser(24)", "OnUserLeave(32,103,5)", "RemoveUser(32)"}));
    EXPECT_FALSE(fake.users.HasUser(8));
}

TEST_F(CsMessagePumpTest, UnknownTypeIsLoggedAndSkipped) {
    fakes::LogCapture capture;
    Push(Value(0x999, 7));
    Push(Value(CS_MSG_SYSTEM_MESSAGE, 1));
    EXPECT_EQ(manager->ProcessCsMessage(), 0);
    EXPECT_EQ(Calls(), (Strings{"OnSystemMessage(1)"}));
    EXPECT_TRUE(capture.Contains("<不了解的CS命令>"));
    EXPECT_TRUE(capture.Contains("<获取一个cs消息 type=0x999>"));
    EXPECT_TRUE(capture.Contains("<处理结束一个cs消息 type=0x999>"));
}

TEST_F(CsMessagePumpTest, ItemWithoutItsRecordIsSkipped) {
    fakes::LogCapture capture;
    Push(Value(CS_MSG_VIDEO_OPEN_RESULT, 5));              // record missing
    Push(With(CS_MSG_USER_JOIN, CsLeaveList{{8, 1, 1}}));  // wrong record
    Push(Value(CS_MSG_CONF_LOCK, 1));
    EXPECT_EQ(manager->ProcessCsMessage(), 0);
    EXPECT_EQ(Calls(), (Strings{"OnTextMessage(1)"}));
    EXPECT_EQ(capture.CountContaining("without its record"), 2u);
}

TEST_F(CsMessagePumpTest, AttributeChangeOutsideTheRoomAttributesIsSkipped) {
    Push(With(CS_MSG_CONF_ATTR_CHANGED, CsConfAttrChange{1297, {1, 2}}));
    Push(With(CS_MSG_CONF_ATTR_CHANGED, CsConfAttrChange{1296, {1, 2}}));
    EXPECT_EQ(manager->ProcessCsMessage(), 0);
    EXPECT_EQ(Calls(), (Strings{"OnConfAttrChanged(1296,2)"}));
    EXPECT_EQ(handler.lastAttrBytes, (std::vector<std::uint8_t>{1, 2}));
}

struct DispatchCase {
    const char* name;
    ST_CS_MSG message;
    Strings calls;
};

class CsMessagePumpDispatch : public CsMessagePumpTest,
                              public ::testing::WithParamInterface<DispatchCase> {};

TEST_P(CsMessagePumpDispatch, CallsTheHandlerWithTheRecordsFields) {
    ST_CS_MSG message = GetParam().message;
    Push(std::move(message));
    EXPECT_EQ(manager->ProcessCsMessage(), 0);
    EXPECT_EQ(Calls(), GetParam().calls);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CsMessagePumpDispatch,
    ::testing::Values(
        DispatchCase{"SystemMessage", Value(0x30B, 2), {"OnSystemMessage(2)"}},
        DispatchCase{"ForceExitLow16Bits", Value(0x310, 0x12345), {"OnForceExit(9029,0)"}},
        DispatchCase{"VideoOpenResult",
                     With(0x351, CsVideoOpenResult{17, 0x100E, 88}),
                     {"OnVideoOpenResult(17,4110,88)"}},
        DispatchCase{"ConfAttrChanged",
                     With(0x365, CsConfAttrChange{13, {2, 'h', 'i'}}),
                     {"OnConfAttrChanged(13,3)"}},
        DispatchCase{"ConfStateUpdate", Value(0x383, 0x1022), {"OnConfStateUpdate(4130)"}},
        DispatchCase{"RecordNotice", Value(0x387, 3), {"OnNotice13(3)"}},
        DispatchCase{"UserInfoChanged",
                     With(0x504, Users({8, 24})),
                     {"OnUserInfoChanged(8)", "OnUserInfoChanged(24)"}},
        DispatchCase{
            "LeadingStatus", With(0x509, CsLeadingStatus{8, 2, 1}), {"HandleLeadingStatus(8,2,1)"}},
        DispatchCase{
            "UserAttrChanged", With(0x50B, CsUserAttr{8, 12, 5}), {"OnUserAttrChanged(8,12,5)"}},
        DispatchCase{"ConfLock", Value(0x50C, 1), {"OnTextMessage(1)"}},
        DispatchCase{"Transmit",
                     With(0x513, CsTransmit{0, 8, 257, {1, 2, 3, 4, 5}}),
                     {"OnTransmit(0,8,257,5)"}},
        DispatchCase{"BroadcastVideo",
                     With(0x553, CsBroadcastVideo{9, 0, 1, 77}),
                     {"HandleBroadcastVideo(9,0,1,77)"}},
        DispatchCase{"UserAudioStatus",
                     With(0x555, CsUserAudioStatus{8, 2, 1, 66}),
                     {"OnUserAudioStatus(8,2,1,66)"}},
        DispatchCase{"ConfAttrSilent", Value(0x557, 0), {"OnReserved9(0)"}},
        DispatchCase{"ConfFlagLowByte", Value(0x558, 0x1FF), {"OnConfFlagChanged(255)"}},
        DispatchCase{"ServerNoticeRegular", With(0x565, CsServerNotice{0, 1, 2, 3, 4}), {}},
        DispatchCase{"OtherUsersPrivateData", Value(0x367, 8), {}}),
    [](const ::testing::TestParamInfo<DispatchCase>& caseInfo) {
        return std::string(caseInfo.param.name);
    });

TEST_F(CsMessagePumpTest, RoomAttributesAreRefreshedBeforeTheHandlerSeesThem) {
    fake.loginInfo.roomAttr[272] = 1;
    bool flagSeen = false;
    handler.probe = [&](const std::string& call) {
        if (call.rfind("OnConfAttrChanged", 0) == 0) {
            flagSeen = manager->IsConfFlagSet();
        }
    };
    Push(With(CS_MSG_CONF_ATTR_CHANGED, CsConfAttrChange{272, {1}}));
    manager->ProcessCsMessage();
    EXPECT_TRUE(flagSeen);
}

TEST_F(CsMessagePumpTest, OwnPrivateDataChangeRefreshesOnlyForMe) {
    fake.users.AddUser(kMyId, u"Me", 1).speakState = 2;
    Push(Value(CS_MSG_PRIVATE_DATA_CHANGED, 8));
    manager->ProcessCsMessage();
    EXPECT_EQ(manager->GetMyUserItem()->speakState, 0);
    Push(Value(CS_MSG_PRIVATE_DATA_CHANGED, kMyId));
    manager->ProcessCsMessage();
    EXPECT_EQ(manager->GetMyUserItem()->speakState, 2);
}

TEST_F(CsMessagePumpTest, UserAttrChangeRefreshesMyRecordsAfterTheHandler) {
    fake.users.AddUser(kMyId, u"Me", 1).presenterState = 1;
    std::uint8_t seenByHandler = 9;
    handler.probe = [&](const std::string& call) {
        if (call.rfind("OnUserAttrChanged", 0) == 0) {
            seenByHandler = manager->GetMyUserItem()->presenterState;
        }
    };
    Push(With(CS_MSG_USER_ATTR_CHANGED, CsUserAttr{kMyId, 1, 1}));
    manager->ProcessCsMessage();
    EXPECT_EQ(seenByHandler, 0);
    EXPECT_EQ(manager->GetMyUserItem()->presenterState, 1);
}

TEST_F(CsMessagePumpTest, TransmitPayloadArrivesWhole) {
    Push(With(CS_MSG_TRANSMIT, CsTransmit{kMyId, 8, 257, {0, 0, 0, 0, 'h', 0, 'i', 0}}));
    manager->ProcessCsMessage();
    EXPECT_EQ(handler.lastTransmit, (std::vector<std::uint8_t>{0, 0, 0, 0, 'h', 0, 'i', 0}));
}

// Commands without payload travel as an empty vector whose data() may be null: they must
// reach the handler with length 0 and pass the receiver's gate there.
TEST_F(CsMessagePumpTest, EmptyCommandsReachTheHandlerAndPassTheGate) {
    class GatedHandler : public RecordingCsHandler {
    public:
        using RecordingCsHandler::RecordingCsHandler;
        void OnTransmit(std::uint16_t to, std::uint16_t from, std::uint16_t subCommand,
                        const std::uint8_t* data, std::uint16_t length) override {
            RecordingCsHandler::OnTransmit(to, from, subCommand, data, length);
            ST_USER_ITEM_DEPT chair;
            chair.userId = 8;
            chair.kind = USER_KIND_CHAIR;
            if (yav::usercmd::AcceptUserCommand(to, from, subCommand, data, length, &chair,
                                                yav::usercmd::ReceiverPeers{})) {
                accepted.push_back(subCommand);
            }
        }
        std::vector<std::uint16_t> accepted;
    };
    GatedHandler gated{log};
    manager->SetCsHandler(&gated);
    const std::vector<std::uint16_t> subs = {259, 275, 276, 288, 296};
    for (const std::uint16_t sub : subs) {
        Push(With(CS_MSG_TRANSMIT, CsTransmit{kMyId, 8, sub, {}}));
    }
    manager->ProcessCsMessage();
    EXPECT_EQ(gated.accepted, subs);
    EXPECT_EQ(log.Count("OnTransmit"), subs.size());
}

TEST_F(CsMessagePumpTest, MeetingTimeTextFollowsTheLanguage) {
    EXPECT_EQ(XConfManager::FormatDuration(3725, 0), QStringLiteral("1小时2分钟"));
    EXPECT_EQ(XConfManager::FormatDuration(3725, 1), QStringLiteral("1h2m"));
    EXPECT_EQ(XConfManager::FormatDuration(3725, 2), QStringLiteral("1小時2分鐘"));
    EXPECT_EQ(XConfManager::FormatDuration(59, 1), QStringLiteral("0h0m"));
}

TEST_F(CsMessagePumpTest, MeetingTimeBoxAnsweredOkClosesTheRoom) {
    g_ConfigManager.nLanguageIndex = 1;
    Push(Value(CS_MSG_MEETING_TIME, 3725));
    EXPECT_EQ(manager->ProcessCsMessage(), 0);
    ASSERT_EQ(frame.boxes.size(), 1u);
    EXPECT_EQ(frame.boxes[0].type, 23);
    EXPECT_EQ(frame.boxes[0].countdownSeconds, 60);
    EXPECT_EQ(frame.boxes[0].text, yav::SafeFormat(LoadLangString(5444), {QStringLiteral("1h2m")}));
    frame.Answer(0, IMainFrame::kIdOk);
    EXPECT_EQ(log.Count("CloseByServer"), 1u);
    EXPECT_EQ(log.Count("GetConfDuration"), 0u);
}

TEST_F(CsMessagePumpTest, MeetingTimeBoxDismissedGoesOn) {
    Push(Value(CS_MSG_MEETING_TIME, 7200));
    manager->ProcessCsMessage();
    ASSERT_EQ(frame.boxes.size(), 1u);
    frame.Answer(0, 2);
    EXPECT_EQ(log.Count("CloseByServer"), 0u);
    EXPECT_EQ(log.Count("GetConfDuration"), 1u);
}

// The fault this guards against: a box raised from the pump used to run a nested modal loop
// with the pump's timer killed, so a lost connection went unnoticed while it was open.
TEST_F(CsMessagePumpTest, ConnectionLossIsNoticedWhileABoxIsOpen) {
    Push(Value(CS_MSG_MEETING_TIME, 3725));
    Push(With(CS_MSG_SERVER_NOTICE, CsServerNotice{1, 30, 10, 5, 0}));
    EXPECT_EQ(manager->ProcessCsMessage(), 0);
    ASSERT_EQ(frame.boxes.size(), 2u);
    EXPECT_TRUE(frame.boxes[0].open);
    EXPECT_TRUE(frame.boxes[1].open);
    Push(Value(CS_MSG_CONNECTION_LOST));
    EXPECT_EQ(manager->ProcessCsMessage(), -1);
}

TEST_F(CsMessagePumpTest, AnswerAfterTheManagerIsGoneIsIgnored) {
    Push(Value(CS_MSG_MEETING_TIME, 3725));
    manager->ProcessCsMessage();
    manager.reset();
    frame.Answer(0, IMainFrame::kIdOk);
    EXPECT_EQ(log.Count("CloseByServer"), 0u);
}

struct ServerNoticeCase {
    const char* name;
    CsServerNotice notice;
    int textId;
    std::optional<long long> argument;  // none: the text takes no argument
    int countdown;
};

class CsMessagePumpServerNotice : public CsMessagePumpTest,
                                  public ::testing::WithParamInterface<ServerNoticeCase> {};

TEST_P(CsMessagePumpServerNotice, ShowsItsBox) {
    Push(With(CS_MSG_SERVER_NOTICE, GetParam().notice));
    manager->ProcessCsMessage();
    ASSERT_EQ(frame.boxes.size(), 1u);
    const auto& box = frame.boxes[0];
    EXPECT_EQ(box.type, 18);
    EXPECT_EQ(box.countdownSeconds, GetParam().countdown);
    const QString format = LoadLangString(GetParam().textId);
    if (GetParam().argument) {
        const yav::FormatArg argument(*GetParam().argument);
        EXPECT_EQ(box.text, yav::SafeFormat(format, {argument}));
    } else {
        EXPECT_EQ(box.text, format);
    }
    frame.Answer(0, 2);
    EXPECT_EQ(log.Count("CloseByServer"), GetParam().notice.kind == 3 ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, CsMessagePumpServerNotice,
    ::testing::Values(ServerNoticeCase{"MinutesLeft", {1, 30, 10, 5, 0}, 5435, 15, 0},
                      ServerNoticeCase{"MinutesLeftNeverWraps", {1, 5, 10, 0, 0}, 5435, -5, 0},
                      ServerNoticeCase{"UserLimit", {2, 0, 0, 0, 50}, 5438, 50, 0},
                      ServerNoticeCase{"QuotaUsedUp", {3, 0, 0, 0, 0}, 5441, std::nullopt, 3}),
    [](const ::testing::TestParamInfo<ServerNoticeCase>& caseInfo) {
        return std::string(caseInfo.param.name);
    });

TEST_F(CsMessagePumpTest, RegularServerReportIsOnlyLogged) {
    fakes::LogCapture capture;
    Push(With(CS_MSG_SERVER_NOTICE, CsServerNotice{7, 1, 2, 3, 4}));
    manager->ProcessCsMessage();
    EXPECT_TRUE(frame.boxes.empty());
    EXPECT_TRUE(capture.Contains("<服务器总数 1 2 3 4>"));
    EXPECT_TRUE(capture.Contains("<当前会议分钟数正常 1-2-3-4>"));
}

TEST_F(CsMessagePumpTest, NestedCallTakesNothing) {
    int nested = 99;
    handler.probe = [&](const std::string& call) {
        if (call == "OnSystemMessage(1)") {
            nested = manager->ProcessCsMessage();
        }
    };
    Push(Value(CS_MSG_SYSTEM_MESSAGE, 1));
    Push(Value(CS_MSG_SYSTEM_MESSAGE, 2));
    EXPECT_EQ(manager->ProcessCsMessage(), 0);
    EXPECT_EQ(nested, 0);
    EXPECT_EQ(Calls(), (Strings{"OnSystemMessage(1)", "OnSystemMessage(2)"}));
}

TEST_F(CsMessagePumpTest, LogoutForgetsTheQueue) {
    manager->Logout();
    Push(Value(CS_MSG_SYSTEM_MESSAGE, 1));
    EXPECT_EQ(manager->ProcessCsMessage(), -1);
    EXPECT_EQ(log.Count("OnSystemMessage"), 0u);
}

}  // namespace
