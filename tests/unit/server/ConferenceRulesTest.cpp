// The conference server's rules seen from protocol bots: login refusals, roles and their
// limits, private data, video requests and broadcasts, notices, roll call, upgrade query,
// probe echo.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <set>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "RecordCodec.h"
#include "ServerFixture.h"
#include "UdpProbe.h"

namespace {

using namespace yav::proto;
using yav::test::RawBot;
using yav::test::ServerFixture;

class ConferenceRules : public ServerFixture {};

TEST_F(ConferenceRules, LoginRefusalsCarryTheirCodes) {
    struct Case {
        const char* name;
        uint32_t confId;
        const char* login;
        const char* password;
        uint8_t mode;
        uint16_t version;
        int32_t expected;
    };
    const std::vector<Case> cases = {
        {"unknown conference", 123, "x", "", 1, 100, ERR_UNKNOWN_CONFERENCE},
        {"unknown account", 900001, "nobody", "pw", 0, 100, ERR_UNKNOWN_ACCOUNT},
        {"wrong account password", 900001, "alice", "bob", 0, 100, ERR_WRONG_PASSWORD},
        {"account not listed", 900002, "bob", "bob", 0, 100, ERR_NOT_MEMBER},
        {"guest without the conference password", 900002, "g", "", 1, 100, ERR_CONF_PASSWORD},
        {"wrong conference password", 900002, "g", "guess", 2, 100, ERR_CONF_PASSWORD},
        {"old client", 900001, "g", "", 1, 10, ERR_VERSION},
        {"unknown login mode", 900001, "g", "", 9, 100, ERR_PROTOCOL},
        {"right conference password", 900002, "g", "secret", 2, 100, 0},
        {"listed account", 900002, "alice", "alice", 0, 100, 0},
    };
    std::set<std::array<uint8_t, kMediaTicketBytes>> tickets;
    for (const auto& testCase : cases) {
        RawBot bot(server_->ConferencePort());
        ASSERT_TRUE(bot.Greet()) << testCase.name;
        MsgLoginRequest request;
        request.confId = testCase.confId;
        request.name = testCase.login;
        request.passwordDigest =
            *testCase.password ? yav::server::PasswordDigest(testCase.password) : std::string();
        request.mode = testCase.mode;
        request.clientVersion = testCase.version;
        ASSERT_TRUE(bot.Send(request));
        auto response = bot.ReceiveMessage<MsgLoginResponse>();
        ASSERT_TRUE(response) << testCase.name;
        EXPECT_EQ(response->result, testCase.expected) << testCase.name;
        if (testCase.expected == ERR_VERSION) {
            EXPECT_EQ(response->requiredVersion, 50) << testCase.name;
        }
        if (response->result == 0) {
            // Every login gets a ticket of its own for the media relay.
            EXPECT_NE(response->mediaTicket, decltype(response->mediaTicket){}) << testCase.name;
            EXPECT_TRUE(tickets.insert(response->mediaTicket).second) << testCase.name;
        }
    }
    EXPECT_EQ(tickets.size(), 2U);
}

TEST_F(ConferenceRules, FullAndLockedConferencesRefuseNewcomers) {
    auto chair = LoggedIn("demo", "demo");
    auto a = LoggedIn("a");
    auto b = LoggedIn("b");
    auto c = LoggedIn("c");
    EXPECT_EQ(Bot()->Login(900001, "d", "", 1), ERR_CONFERENCE_FULL);
    auto full = chair->ReceiveMessage<MsgServerNotice>();
    ASSERT_TRUE(full);
    EXPECT_EQ(full->kind, 2);
    EXPECT_EQ(full->d, 4u);

    c.reset();
    ASSERT_TRUE(chair->ReceiveMessage<MsgUsersLeft>());
    ASSERT_TRUE(a->Send(MsgSetConfSetting{1}));  // a member cannot lock
    ASSERT_TRUE(chair->Send(MsgSetConfSetting{1}));
    auto lock = a->ReceiveMessage<MsgNotice>();
    ASSERT_TRUE(lock);
    EXPECT_EQ(lock->code, NoticeCode::ConfLock);
    EXPECT_EQ(lock->value, 1u);
    EXPECT_EQ(Bot()->Login(900001, "late", "", 1), ERR_CONFERENCE_LOCKED);
    // The chair's account still gets in (it replaces its old connection).
    auto again = Bot();
    ASSERT_EQ(again->Login(900001, "demo", "demo", 0), 0);
    auto notice = chair->ReceiveMessage<MsgNotice>();
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->code, NoticeCode::ConfLock);  // its own lock, then the exit
    notice = chair->ReceiveMessage<MsgNotice>();
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->code, NoticeCode::ForceExit);
    EXPECT_TRUE(chair->WaitClosed());
}

TEST_F(ConferenceRules, ChairRoleNeedsTheChairPassword) {
    auto member = LoggedIn("m");
    auto other = LoggedIn("o");
    ASSERT_TRUE(member->Send(MsgApplyChair{"wrong"}));
    auto refusal = member->ReceiveMessage<MsgNotice>();
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->code, NoticeCode::ChairRefused);
    EXPECT_EQ(refusal->value, 1u);
    ASSERT_TRUE(member->Send(MsgApplyChair{"chair"}));
    auto kind = other->ReceiveMessage<MsgUserKind>();
    ASSERT_TRUE(kind);
    EXPECT_EQ(kind->userId, member->UserId());
    EXPECT_EQ(kind->kind, USER_KIND_CHAIR);
    // Now a chair: temporary administration for the other user.
    ASSERT_TRUE(member->Send(MsgSetTempAdmin{other->UserId(), 1}));
    kind = other->ReceiveMessage<MsgUserKind>();
    ASSERT_TRUE(kind);
    EXPECT_EQ(kind->kind, USER_KIND_TEMP_ADMIN);
    ASSERT_TRUE(member->Send(MsgGiveUpChair{}));
    kind = other->ReceiveMessage<MsgUserKind>();
    ASSERT_TRUE(kind);
    EXPECT_EQ(kind->userId, member->UserId());
    EXPECT_EQ(kind->kind, USER_KIND_MEMBER);
}

TEST_F(ConferenceRules, SpeakerLimitHoldsTheFloor) {
    auto chair = LoggedIn("demo", "demo");
    auto a = LoggedIn("a");
    auto b = LoggedIn("b");
    ASSERT_TRUE(chair->Send(MsgAwardSpeak{a->UserId(), 2}));
    ASSERT_TRUE(chair->Send(MsgAwardSpeak{b->UserId(), 2}));  // limit 1: refused
    ASSERT_TRUE(chair->Send(MsgAwardSpeak{a->UserId(), 0}));
    ASSERT_TRUE(chair->Send(MsgAwardSpeak{b->UserId(), 2}));
    std::vector<std::pair<uint16_t, uint8_t>> changes;
    for (int i = 0; i < 3; ++i) {
        auto audio = b->ReceiveMessage<MsgAudioStatus>();
        ASSERT_TRUE(audio);
        changes.emplace_back(audio->userId, audio->status);
    }
    const std::vector<std::pair<uint16_t, uint8_t>> expected = {
        {a->UserId(), 2}, {a->UserId(), 0}, {b->UserId(), 2}};
    EXPECT_EQ(changes, expected);
}

TEST_F(ConferenceRules, VideoRequestsFollowTheOwnersChannels) {
    auto owner = LoggedIn("owner");
    auto viewer = LoggedIn("viewer");
    const uint16_t channel1 = static_cast<uint16_t>(owner->UserId() + 1);
    const auto request = [&](uint16_t mediaId) {
        EXPECT_TRUE(viewer->Send(MsgRequestVideo{mediaId}));
        return viewer->ReceiveMessage<MsgVideoOpenResult>();
    };
    EXPECT_EQ(request(200)->result, 0x100C);
    EXPECT_EQ(request(channel1)->result, 0x100E);
    MsgSetConfOptions options;
    options.values = {1, 0x03, 2, 0, 1, 0};
    ASSERT_TRUE(owner->Send(options));
    auto changed = viewer->ReceiveMessage<MsgUsersChanged>();
    ASSERT_TRUE(changed);
    EXPECT_EQ(changed->users[0].channelMask, 0x03);
    EXPECT_EQ(changed->users[0].videoChannelCount, 2);
    auto opened = request(channel1);
    ASSERT_TRUE(opened);
    EXPECT_EQ(opened->result, 0);
    EXPECT_NE(opened->value, 0u);
    // Broadcasting is the owner's (or a chair's) decision.
    ASSERT_TRUE(viewer->Send(MsgBroadcastVideo{channel1, 1}));
    auto refused = viewer->ReceiveMessage<MsgBroadcastState>();
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->result, 0x1010);
    ASSERT_TRUE(owner->Send(MsgBroadcastVideo{channel1, 1}));
    auto broadcast = viewer->ReceiveMessage<MsgBroadcastState>();
    ASSERT_TRUE(broadcast);
    EXPECT_EQ(broadcast->result, 0);
    EXPECT_EQ(broadcast->on, 1);
    // The owner drops channel 1: its receiver is told the channel closed.
    options.values = {1, 0x01, 1, 0, 1, 0};
    ASSERT_TRUE(owner->Send(options));
    auto closed = viewer->ReceiveMessage<MsgVideoOpenResult>();
    ASSERT_TRUE(closed);
    EXPECT_EQ(closed->mediaId, channel1);
    EXPECT_EQ(closed->result, 0);
    EXPECT_EQ(closed->value, 0u);
}

// A camera turned off takes its channel out of the broadcast; turned on again, the broadcast
// comes back with it, unless somebody ended the broadcast meanwhile. A channel never broadcast
// comes back unbroadcast.
TEST_F(ConferenceRules, ACameraTurnedOffPausesItsBroadcastUntilItComesBack) {
    auto chair = LoggedIn("demo", "demo");
    auto owner = LoggedIn("owner");
    const uint16_t camera = owner->UserId();
    const uint16_t second = static_cast<uint16_t>(owner->UserId() + 1);
    const auto cameras = [&](uint8_t mask) {
        MsgSetConfOptions options;
        options.values = {1, mask, 2, 0, 1, 0};
        EXPECT_TRUE(owner->Send(options));
        auto changed = chair->ReceiveMessage<MsgUsersChanged>();
        EXPECT_TRUE(changed.has_value());
        return changed
                   ? std::make_pair(changed->users[0].channelMask, changed->users[0].broadcastMask)
                   : std::make_pair(uint8_t{0xFF}, uint8_t{0xFF});
    };
    const auto broadcast = [&](uint16_t mediaId, uint8_t on) {
        EXPECT_TRUE(chair->Send(MsgBroadcastVideo{mediaId, on}));
        auto state = chair->ReceiveMessage<MsgBroadcastState>();
        return state ? state->result : -1;
    };
    using Masks = std::pair<uint8_t, uint8_t>;
    EXPECT_EQ(cameras(0x03), (Masks{0x03, 0x00}));
    EXPECT_EQ(broadcast(camera, 1), 0);

    // Off and on again: the broadcast pauses and resumes; the second camera was never
    // broadcast and stays so.
    EXPECT_EQ(cameras(0x00), (Masks{0x00, 0x00}));
    EXPECT_EQ(cameras(0x03), (Masks{0x03, 0x01}));

    // Ended while paused: the camera comes back unbroadcast.
    EXPECT_EQ(cameras(0x02), (Masks{0x02, 0x00}));
    EXPECT_EQ(broadcast(camera, 0), 0);
    EXPECT_EQ(cameras(0x03), (Masks{0x03, 0x00}));
    // A camera that is off cannot be broadcast, nor ended when it is not paused.
    EXPECT_EQ(cameras(0x01), (Masks{0x01, 0x00}));
    EXPECT_EQ(broadcast(second, 1), 0x100E);
    EXPECT_EQ(broadcast(second, 0), 0x100E);
}

TEST_F(ConferenceRules, ServerRecordingBelongsToTheChair) {
    auto chair = LoggedIn("demo", "demo");
    auto member = LoggedIn("m");
    ASSERT_TRUE(member->Send(MsgSetServerRecord{1}));
    auto refusal = member->ReceiveMessage<MsgNotice>();
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->code, NoticeCode::RecordRefused);
    EXPECT_EQ(refusal->value, 3u);
    ASSERT_TRUE(chair->Send(MsgSetServerRecord{1}));
    auto started = member->ReceiveMessage<MsgRoomAttr>();
    ASSERT_TRUE(started);
    EXPECT_EQ(started->offset, ROOM_ATTR_SERVER_RECORD);
    EXPECT_EQ(started->data, Bytes{1});
    // The recording chair leaves: recording stops with reason 2.
    chair.reset();
    auto stopped = member->ReceiveMessage<MsgRoomAttr>();
    ASSERT_TRUE(stopped);
    EXPECT_EQ(stopped->data, Bytes{2 << 1});
}

TEST_F(ConferenceRules, PasswordChangeIsCheckedAndKept) {
    auto alice = LoggedIn("alice", "alice");
    const auto change = [&](const char* oldPassword, const char* newPassword, const char* confirm) {
        MsgModifyPassword message{"alice", yav::server::PasswordDigest(oldPassword),
                                  yav::server::PasswordDigest(newPassword),
                                  yav::server::PasswordDigest(confirm)};
        EXPECT_TRUE(alice->Send(message));
        auto answer = alice->ReceiveMessage<MsgNotice>();
        return answer && answer->code == NoticeCode::PasswordAnswer ? answer->value : 0xFFFFu;
    };
    EXPECT_EQ(change("wrong", "new", "new"), PWD_OLD_WRONG);
    EXPECT_EQ(change("alice", "new", "other"), PWD_CONFIRM_DIFFERS);
    EXPECT_EQ(change("alice", "new", "new"), PWD_CHANGED);
    EXPECT_EQ(Bot()->Login(900002, "alice", "alice", 0), ERR_WRONG_PASSWORD);
    EXPECT_EQ(Bot()->Login(900002, "alice", "new", 0), 0);
    auto guest = LoggedIn("g");
    ASSERT_TRUE(guest->Send(MsgModifyPassword{"g", "a", "b", "b"}));
    auto answer = guest->ReceiveMessage<MsgNotice>();
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->value, PWD_NO_ACCOUNT);
}

TEST_F(ConferenceRules, RollCallListsMembersAndPresentGuests) {
    auto alice = LoggedIn("alice", "alice");
    auto guest = LoggedIn("Gast");
    ASSERT_TRUE(alice->Send(MsgRollCallRequest{"alice", "alice", 900001}));
    auto roll = alice->ReceiveMessage<MsgRollCallResponse>();
    ASSERT_TRUE(roll);
    ASSERT_EQ(roll->result, 0);
    ASSERT_EQ(roll->rows.size(), 4u);  // demo, alice, bob, the guest
    EXPECT_STREQ(roll->rows[0].nickName, "demo");
    EXPECT_EQ(roll->rows[0].present, 0);
    EXPECT_STREQ(roll->rows[1].nickName, "alice");
    EXPECT_EQ(roll->rows[1].present, 1);
    EXPECT_STREQ(roll->rows[3].nickName, "Gast");
    EXPECT_GT(roll->rows[3].accountId, kGuestAccountBase);
    ASSERT_TRUE(alice->Send(MsgRollCallRequest{"alice", "alice", 5}));
    roll = alice->ReceiveMessage<MsgRollCallResponse>();
    ASSERT_TRUE(roll);
    EXPECT_EQ(roll->result, ERR_UNKNOWN_CONFERENCE);
}

TEST_F(ConferenceRules, UpgradeQueryAnswersBeforeLogin) {
    auto bot = Bot();
    ASSERT_TRUE(bot->Greet());
    ASSERT_TRUE(bot->Send(MsgUpgradeQuery{{}, "1.0"}));
    auto info = bot->ReceiveMessage<MsgUpgradeInfo>();
    ASSERT_TRUE(info);
    EXPECT_EQ(info->serverVersion, "9.9");
}

TEST_F(ConferenceRules, SharesOfADepartedUserAreCleared) {
    auto sharer = LoggedIn("sharer");
    auto viewer = LoggedIn("viewer");
    ByteWriter screen;
    screen.U16(sharer->UserId());
    screen.U32(77);
    ASSERT_TRUE(sharer->Send(MsgSetUserAttribute{ROOM_ATTR_SCREEN_SHARE, 1, screen.Take()}));
    auto written = viewer->ReceiveMessage<MsgRoomAttr>();
    ASSERT_TRUE(written);
    EXPECT_EQ(written->notify, 1);
    sharer.reset();
    auto cleared = viewer->ReceiveMessage<MsgRoomAttr>();
    ASSERT_TRUE(cleared);
    EXPECT_EQ(cleared->offset, ROOM_ATTR_SCREEN_SHARE);
    EXPECT_EQ(cleared->notify, 0);
    EXPECT_EQ(cleared->data, Bytes(6, 0));
}

TEST_F(ConferenceRules, PrivateDataWritesStayInTheirRecord) {
    auto owner = LoggedIn("owner");
    auto other = LoggedIn("other");
    // Somebody else's data is the chair's to change: this write is dropped.
    ASSERT_TRUE(other->Send(MsgSetUserData{owner->UserId(), 0, Bytes(4, 0xEE)}));
    // The last ten of the owner's own 32 bytes.
    ASSERT_TRUE(owner->Send(MsgSetUserData{owner->UserId(), 22, Bytes(10, 0xAB)}));
    auto update = other->ReceiveMessage<MsgPrivateData>();
    ASSERT_TRUE(update);
    EXPECT_EQ(update->userId, owner->UserId());
    EXPECT_EQ(update->offset, 22);
    EXPECT_EQ(update->data, Bytes(10, 0xAB));
    // A write reaching past the 32 bytes ends the writer's connection only.
    ASSERT_TRUE(other->Send(MsgSetUserData{other->UserId(), 30, Bytes(4, 1)}));
    EXPECT_TRUE(other->WaitClosed());

    // A newcomer's snapshot holds the owner's record with the bytes where they were written
    // (private data at 92 of the record).
    RawBot newcomer(server_->ConferencePort());
    ASSERT_TRUE(newcomer.Greet());
    MsgLoginRequest request;
    request.confId = 900001;
    request.name = "newcomer";
    request.mode = 1;
    request.clientVersion = 100;
    ASSERT_TRUE(newcomer.Send(request));
    auto response = newcomer.ReceiveMessage<MsgLoginResponse>();
    ASSERT_TRUE(response);
    ASSERT_EQ(response->result, 0);
    const auto record =
        std::find_if(response->users.begin(), response->users.end(),
                     [&](const ST_USER_ITEM_DEPT& user) { return user.userId == owner->UserId(); });
    ASSERT_NE(record, response->users.end());
    const Bytes bytes = EncodeRecord(*record);
    Bytes expected(32, 0);
    std::fill(expected.begin() + 22, expected.end(), 0xAB);
    EXPECT_EQ(Bytes(bytes.begin() + 92, bytes.end()), expected);
}

TEST_F(ConferenceRules, ProbeEchoReturnsProbesOnly) {
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_in server{};
    server.sin_family = AF_INET;
    server.sin_port = htons(server_->ProbePort());
    server.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const auto exchange = [&](const uint8_t* data, size_t length) {
        sendto(fd, data, length, 0, reinterpret_cast<sockaddr*>(&server), sizeof server);
        pollfd poller{fd, POLLIN, 0};
        if (poll(&poller, 1, 1000) <= 0) {
            return Bytes{};
        }
        Bytes answer(2048);
        const ssize_t received = recv(fd, answer.data(), answer.size(), 0);
        answer.resize(received > 0 ? static_cast<size_t>(received) : 0);
        return answer;
    };
    const uint8_t notAProbe[128] = {0x42};
    EXPECT_TRUE(exchange(notAProbe, sizeof notAProbe).empty());
    const auto probe = MakeProbe(123456);
    const Bytes echo = exchange(probe.data(), probe.size());
    ASSERT_EQ(echo.size(), 128u);
    EXPECT_EQ(ProbeTick(echo), 123456u);
    close(fd);
}

class TimedNotices : public ServerFixture {
protected:
    void SetUp() override {
        auto config = yav::test::TestConfig();
        config.conferences[0].duration = std::chrono::seconds(1);
        config.conferences[1].quota = std::chrono::seconds(3);
        config.conferences[1].quotaWarn = std::chrono::seconds(2);
        config.conferences[1].allowGuests = true;
        config.conferences[1].password.clear();
        StartServer(config);
    }
};

TEST_F(TimedNotices, DurationNoticeComesEachPeriod) {
    auto bot = LoggedIn("g");
    auto first = bot->ReceiveMessage<MsgNotice>(std::chrono::seconds(5));
    ASSERT_TRUE(first);
    EXPECT_EQ(first->code, NoticeCode::MeetingTime);
    ASSERT_TRUE(bot->Send(MsgConfDurationAck{}));
    auto second = bot->ReceiveMessage<MsgNotice>(std::chrono::seconds(5));
    ASSERT_TRUE(second);
    EXPECT_GT(second->value, first->value);
}

TEST_F(TimedNotices, UsedQuotaWarnsThenClosesTheRoom) {
    auto bot = LoggedIn("g", "", 900002);
    auto report = bot->ReceiveMessage<MsgServerNotice>();
    ASSERT_TRUE(report);
    EXPECT_EQ(report->kind, 0);
    auto warning = bot->ReceiveMessage<MsgServerNotice>(std::chrono::seconds(5));
    ASSERT_TRUE(warning);
    EXPECT_EQ(warning->kind, 1);
    auto closing = bot->ReceiveMessage<MsgServerNotice>(std::chrono::seconds(5));
    ASSERT_TRUE(closing);
    EXPECT_EQ(closing->kind, 3);
    EXPECT_TRUE(bot->WaitClosed());
    EXPECT_EQ(Bot()->Login(900002, "late", "", 1), ERR_QUOTA_USED);
}

}  // namespace

namespace yav::test {

TEST_F(ServerFixture, TheLoginSnapshotCarriesTheNestedDepartments) {
    auto alice = LoggedIn("alice", "alice");
    const auto& departments = alice->Departments();
    ASSERT_EQ(departments.size(), server::DemoConfig().departments.size());
    const auto research = std::find_if(departments.begin(), departments.end(),
                                       [](const ST_DEPT_INFO& d) { return d.id == 3; });
    ASSERT_NE(research, departments.end());
    EXPECT_EQ(research->parentId, 1);
    EXPECT_EQ(std::u16string(research->name), u"Research (north)");
}

}  // namespace yav::test
