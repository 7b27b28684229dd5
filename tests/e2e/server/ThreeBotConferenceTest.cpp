// yavserver with three clients made of the real components: the road through the data
// server, join and leave lists, the relay with the sender set by the server, attribute
// broadcast, speak and presenter changes, chair-only commands, kick and connection loss.
#include <gtest/gtest.h>

#include <cstring>

#include "CsBot.h"
#include "KroDsManger.h"
#include "ServerProcess.h"

namespace {

using yav::test::CsBot;
using yav::test::IsJoinOf;
using yav::test::IsLeaveOf;
using yav::test::IsTransmit;
using yav::test::ServerProcess;

constexpr uint32_t kDemoConference = 900001;
constexpr uint16_t kMarkerSub = 274;

std::vector<uint8_t> ChatPayload(std::u16string_view text) {
    std::vector<uint8_t> payload(4, 0);
    for (char16_t unit : text) {
        payload.push_back(static_cast<uint8_t>(unit));
        payload.push_back(static_cast<uint8_t>(unit >> 8));
    }
    return payload;
}

class ThreeBotConference : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server_.Ready()) << server_.Output();
        ASSERT_EQ(chair_.Login(server_.ConferencePort(), kDemoConference, "demo", "demo", 0), 0);
        ASSERT_EQ(guest_.Login(server_.ConferencePort(), kDemoConference, "Gast", "", 1), 0);
        ASSERT_EQ(member_.Login(server_.ConferencePort(), kDemoConference, "alice", "alice", 0), 0);
        chairId_ = chair_.UserId();
        guestId_ = guest_.UserId();
        memberId_ = member_.UserId();
        ASSERT_NE(chairId_, 0);
        ASSERT_TRUE(chair_.WaitFor(IsJoinOf(memberId_)));
        ASSERT_TRUE(guest_.WaitFor(IsJoinOf(memberId_)));
    }

    // A marker transmitted to everybody (by the chair, or by the member to the chair): once
    // a bot has seen it, it has seen everything the server handled before it. The marker is a
    // group announcement (274), which anybody may send.
    void Settle(std::initializer_list<CsBot*> bots) {
        static uint16_t marker = 0;
        for (CsBot* bot : bots) {
            ++marker;
            const uint8_t bytes[2] = {static_cast<uint8_t>(marker),
                                      static_cast<uint8_t>(marker >> 8)};
            CsBot& sender = bot == &chair_ ? member_ : chair_;
            sender.Cs().Transmit(0, kMarkerSub, bytes, 2);
            const uint16_t senderId = sender.UserId();
            ASSERT_TRUE(bot->WaitFor([&](const ST_CS_MSG& message) {
                const auto* transmit = std::get_if<CsTransmit>(&message.payload);
                return IsTransmit(senderId, kMarkerSub)(message) && transmit->payload.size() == 2 &&
                       transmit->payload[0] == bytes[0] && transmit->payload[1] == bytes[1];
            }));
        }
    }

    // Moderated: speaking and broadcasts change only when somebody asks.
    ServerProcess server_{
        {"--heartbeat-ms", "200", "--timeout-ms", "1500", "--speaking-mode", "moderated"}};
    CsBot chair_;
    CsBot guest_;
    CsBot member_;
    uint16_t chairId_ = 0;
    uint16_t guestId_ = 0;
    uint16_t memberId_ = 0;
};

TEST_F(ThreeBotConference, DataServerLeadsToTheConferenceServer) {
    IDsManager* ds = Kro_CreateDsManager();
    ST_DS_ADDR entries[2];
    yav::proto::CopyText(entries[0].address, 16, "127.0.0.1");
    entries[0].port = 1;  // nothing listens there
    yav::proto::CopyText(entries[1].address, 16, "127.0.0.1");
    entries[1].port = server_.DataPort();
    int32_t chosen = -1;
    ASSERT_NE(ds->ConnectDs(entries, 2, &chosen), 0);
    EXPECT_EQ(chosen, 1);

    int32_t count = 0;
    uint16_t extra = 0;
    const ST_CONF_ITEM* full = nullptr;
    const ST_CONF_ITEM_SHORT* brief = nullptr;
    ASSERT_EQ(ds->GetConfList("127.0.0.1", server_.DataPort(), kDemoConference, "Gast", "", 5,
                              &count, &extra, &full, &brief, 0),
              0);
    ASSERT_EQ(count, 1);
    ASSERT_NE(full, nullptr);
    EXPECT_EQ(full[0].confId, kDemoConference);
    EXPECT_EQ(full[0].onlineCount, 3);
    EXPECT_EQ(full[0].passwordFree, 1);

    EXPECT_EQ(
        ds->GetConfList("127.0.0.1", server_.DataPort(), 0, "alice",
                        "00000000000000000000000000000000", 0, &count, &extra, &full, &brief, 0),
        0x8007);
    EXPECT_EQ(ds->GetConfList("127.0.0.1", server_.DataPort(), 123, "x", "", 1, &count, &extra,
                              &full, &brief, 0),
              0x8003);

    const ST_CS_SERVER* servers = nullptr;
    ASSERT_NE(ds->GetCsServers("127.0.0.1", &servers, &count, kDemoConference, "Gast", "", 2), 0);
    ASSERT_EQ(count, 1);
    EXPECT_STREQ(servers[0].csAddress, "127.0.0.1");
    EXPECT_EQ(servers[0].csPort, server_.ConferencePort());
    EXPECT_EQ(servers[0].mediaPort, server_.MediaPort());

    char address[16] = {};
    uint16_t mediaPort = 0;
    ASSERT_NE(
        ds->QueryMediaServer("127.0.0.1", server_.DataPort(), kDemoConference, address, &mediaPort),
        0);
    EXPECT_EQ(mediaPort, server_.MediaPort());
    Kro_DestroyDsManager(ds);
}

TEST_F(ThreeBotConference, JoinSnapshotsListEveryoneInJoinOrder) {
    ST_USER_ITEM_DEPT users[8];
    ASSERT_EQ(member_.Users().GetUsers(users, 8), 3);
    EXPECT_EQ(users[0].userId, chairId_);
    EXPECT_EQ(users[1].userId, guestId_);
    EXPECT_EQ(users[2].userId, memberId_);
    EXPECT_EQ(users[0].kind, USER_KIND_CHAIR);
    EXPECT_GT(users[1].accountId, kGuestAccountBase);
    char16_t name[128];
    EXPECT_EQ(member_.Users().GetUserName(guestId_ + 5, name), 4);
    EXPECT_EQ(std::u16string(name), u"Gast");

    ST_CONF_LOGIN_INFO info;
    member_.Cs().GetConfLoginInfo(&info);
    EXPECT_EQ(info.confId, kDemoConference);
    EXPECT_EQ(info.userId, memberId_);
    EXPECT_EQ(info.kind, USER_KIND_MEMBER);
    ASSERT_NE(member_.Cs().GetAppInfo(), nullptr);
    EXPECT_EQ(member_.Cs().GetAppInfo()->speakerLimit, 4);
    EXPECT_EQ(member_.Cs().GetAppInfo()->flags24 & 0x20, 0x20);
    EXPECT_EQ(chair_.Users().GetUserCount(), 3);
}

TEST_F(ThreeBotConference, RelayCarriesTheSenderTheServerKnows) {
    const auto chat = ChatPayload(u"你好");
    guest_.Cs().Transmit(0, 257, chat.data(), static_cast<uint16_t>(chat.size()));
    for (CsBot* receiver : {&chair_, &member_}) {
        const ST_CS_MSG* message = receiver->WaitFor(IsTransmit(guestId_, 257));
        ASSERT_NE(message, nullptr);
        const auto& transmit = std::get<CsTransmit>(message->payload);
        EXPECT_EQ(transmit.to, 0);
        EXPECT_EQ(transmit.payload, chat);
    }
    // One person only: the member's channel id 3 addresses the member.
    const uint8_t code = 1;
    guest_.Cs().Transmit(static_cast<uint16_t>(memberId_ + 3), 306, &code, 1);
    ASSERT_TRUE(member_.WaitFor(IsTransmit(guestId_, 306)));
    Settle({&chair_, &guest_, &member_});
    EXPECT_FALSE(chair_.Saw(IsTransmit(guestId_, 306)));
    // The sender gets no copy of its own broadcast.
    EXPECT_FALSE(guest_.Saw(IsTransmit(guestId_, 257)));
}

TEST_F(ThreeBotConference, ChatToTheChairsReachesChairKindsButTheSender) {
    const auto chat = ChatPayload(u"to the chairs");
    auto isChat = [&](uint16_t from) {
        return [&, from](const ST_CS_MSG& message) {
            const auto* transmit = std::get_if<CsTransmit>(&message.payload);
            return IsTransmit(from, 257)(message) && transmit->to == 1 && transmit->payload == chat;
        };
    };
    guest_.Cs().Transmit(1, 257, chat.data(), static_cast<uint16_t>(chat.size()));
    ASSERT_TRUE(chair_.WaitFor(isChat(guestId_)));
    Settle({&chair_, &guest_, &member_});
    EXPECT_FALSE(member_.Saw(isChat(guestId_)));
    EXPECT_FALSE(guest_.Saw(isChat(guestId_)));

    // A temporary administrator is a chair; the sending chair gets no copy.
    chair_.Cs().SetTempAdmin(memberId_, 1);
    ASSERT_TRUE(member_.WaitForType(CS_MSG_USER_ATTR_CHANGED));
    chair_.Forget();
    chair_.Cs().Transmit(1, 257, chat.data(), static_cast<uint16_t>(chat.size()));
    ASSERT_TRUE(member_.WaitFor(isChat(chairId_)));
    Settle({&chair_, &guest_, &member_});
    EXPECT_FALSE(chair_.Saw(isChat(chairId_)));
    EXPECT_FALSE(guest_.Saw(isChat(chairId_)));
}

// Who may send what: each row is sent, then every receiver has either got it or, after a
// marker that went out later, has not.
TEST_F(ThreeBotConference, RoleRulesOfTheRelay) {
    enum class To { Member, Guest, Self };
    struct Row {
        const char* name;
        CsBot* sender;
        uint16_t sub;
        std::vector<uint8_t> payload;
        To to;
        bool relayed;
    };
    const std::vector<uint8_t> none;
    const std::vector<uint8_t> settings(207, 1);
    const std::vector<Row> asMembers = {
        {"dissolve by a member", &guest_, 288, none, To::Member, false},
        {"device change by a member", &guest_, 261, settings, To::Member, false},
        {"camera by a member", &guest_, 263, {1, 2}, To::Member, false},
        {"grant reply by a member", &guest_, 269, {1, 0, 0, 0, 0}, To::Member, false},
        {"revoke reply by a member", &guest_, 269, {2, 0, 0, 0, 0}, To::Member, false},
        {"device request by a member", &guest_, 259, none, To::Member, false},
        {"group join by a member", &guest_, 275, none, To::Member, false},
        {"group leave by a member", &guest_, 276, none, To::Member, false},
        {"clap by a member", &guest_, 296, {'2'}, To::Member, false},
        {"clap stop by a member", &guest_, 296, none, To::Member, false},
        {"camera to oneself", &guest_, 263, {1, 2}, To::Self, false},
        // Answers to a screen-control question are anybody's (codes 0, 3, 4, 5).
        {"answer reply by a member", &guest_, 269, {3, 0, 0, 0, 0}, To::Member, true},
        {"chat by a member", &guest_, 257, {0, 0, 0, 0, 'h', 0}, To::Member, true},
        // A client opens its own device dialog with requests to itself.
        {"device request to oneself", &guest_, 259, none, To::Self, true},
        {"device change to oneself", &guest_, 261, settings, To::Self, true},
        {"device request by the chair", &chair_, 259, none, To::Member, true},
        {"device change by the chair", &chair_, 261, settings, To::Member, true},
        {"camera by the chair", &chair_, 263, {1, 2}, To::Member, true},
        {"grant reply by the chair", &chair_, 269, {1, 0, 0, 0, 0}, To::Member, true},
        {"group join by the chair", &chair_, 275, none, To::Member, true},
        {"group leave by the chair", &chair_, 276, none, To::Member, true},
        {"clap stop by the chair", &chair_, 296, none, To::Member, true},
        {"dissolve by the chair", &chair_, 288, none, To::Member, true},
    };
    auto run = [&](const std::vector<Row>& rows) {
        auto target = [&](const Row& row) -> CsBot& {
            switch (row.to) {
                case To::Member:
                    return member_;
                case To::Guest:
                    return guest_;
                case To::Self:
                    break;
            }
            return *row.sender;
        };
        for (const Row& row : rows) {
            row.sender->Cs().Transmit(target(row).UserId(), row.sub, row.payload.data(),
                                      static_cast<uint16_t>(row.payload.size()));
        }
        auto matches = [](const Row& row, uint16_t from) {
            return [&row, from](const ST_CS_MSG& message) {
                const auto* transmit = std::get_if<CsTransmit>(&message.payload);
                return IsTransmit(from, row.sub)(message) && transmit->payload == row.payload;
            };
        };
        for (const Row& row : rows) {
            if (row.relayed) {
                EXPECT_TRUE(target(row).WaitFor(matches(row, row.sender->UserId()))) << row.name;
            }
        }
        Settle({&chair_, &guest_, &member_});
        for (const Row& row : rows) {
            if (!row.relayed) {
                EXPECT_FALSE(target(row).Saw(matches(row, row.sender->UserId()))) << row.name;
            }
        }
    };
    run(asMembers);

    // The presenter may do what needs a chair or the presenter, not what needs a chair.
    guest_.Forget();
    chair_.Cs().SetPresenter(guestId_, 1);
    ASSERT_TRUE(guest_.WaitForType(CS_MSG_LEADING_STATUS));
    run({
        {"camera by the presenter", &guest_, 263, {3, 4}, To::Member, true},
        {"device request by the presenter", &guest_, 259, none, To::Member, true},
        {"revoke reply by the presenter", &guest_, 269, {2, 0, 0, 0, 0}, To::Member, true},
        {"group join by the presenter", &guest_, 275, none, To::Member, false},
        {"group leave by the presenter", &guest_, 276, none, To::Member, false},
        {"clap by the presenter", &guest_, 296, {'1'}, To::Member, false},
    });

    // A temporary administrator is a chair kind.
    member_.Forget();
    chair_.Cs().SetTempAdmin(memberId_, 1);
    ASSERT_TRUE(member_.WaitForType(CS_MSG_USER_ATTR_CHANGED));
    run({
        {"clap by a temporary administrator", &member_, 296, {'3'}, To::Guest, true},
        {"group leave by a temporary administrator", &member_, 276, none, To::Guest, true},
    });
}

TEST_F(ThreeBotConference, AttributeWritesReachEveryone) {
    const uint8_t bulletin[] = {5, 'h', 'e', 'l', 'l', 'o'};
    chair_.Cs().SetUserAttribute(13, sizeof bulletin, bulletin, 1);
    for (CsBot* bot : {&chair_, &guest_, &member_}) {
        const ST_CS_MSG* message = bot->WaitForType(CS_MSG_CONF_ATTR_CHANGED);
        ASSERT_NE(message, nullptr);
        const auto& change = std::get<CsConfAttrChange>(message->payload);
        EXPECT_EQ(change.offset, 13);
        EXPECT_EQ(change.bytes, std::vector<uint8_t>(bulletin, bulletin + sizeof bulletin));
        ST_CONF_LOGIN_INFO info;
        bot->Cs().GetConfLoginInfo(&info);
        EXPECT_EQ(0, std::memcmp(info.roomAttr + 13, bulletin, sizeof bulletin));
    }
    // A member may not write the chair's options; a silent write refreshes only.
    const uint8_t option = 1;
    member_.Cs().SetUserAttribute(270, 1, &option, 1);
    chair_.Cs().SetUserAttribute(272, 1, &option, 0);
    ASSERT_TRUE(member_.WaitForType(CS_MSG_CONF_ATTR_SILENT));
    Settle({&member_});
    ST_CONF_LOGIN_INFO info;
    member_.Cs().GetConfLoginInfo(&info);
    EXPECT_EQ(info.roomAttr[270], 0);
    EXPECT_EQ(info.roomAttr[272], 1);
}

TEST_F(ThreeBotConference, SpeakAndPresenterChangesAreReported) {
    guest_.Cs().ApplySpeak(1);
    const auto audioOf = [&](uint8_t status, uint8_t previous) {
        return [this, status, previous](const ST_CS_MSG& message) {
            const auto* audio = std::get_if<CsUserAudioStatus>(&message.payload);
            return message.type == CS_MSG_USER_AUDIO_STATUS && audio->userId == guestId_ &&
                   audio->status == status && audio->previous == previous;
        };
    };
    ASSERT_TRUE(member_.WaitFor(audioOf(1, 0)));
    chair_.Cs().AwardSpeek(guestId_, 2);
    ASSERT_TRUE(member_.WaitFor(audioOf(2, 1)));
    EXPECT_EQ(member_.Users().GetSpeakerCount(), 1);
    // A member cannot hand out the floor.
    member_.Cs().AwardSpeek(memberId_, 2);

    chair_.Cs().SetPresenter(memberId_, 1);
    const auto leading = [&](uint16_t user, uint8_t state) {
        return [=](const ST_CS_MSG& message) {
            const auto* status = std::get_if<CsLeadingStatus>(&message.payload);
            return message.type == CS_MSG_LEADING_STATUS && status->userId == user &&
                   status->newState == state;
        };
    };
    ASSERT_TRUE(guest_.WaitFor(leading(memberId_, 2)));
    ASSERT_TRUE(member_.WaitFor(leading(memberId_, 2)));
    ST_CONF_LOGIN_INFO info;
    member_.Cs().GetConfLoginInfo(&info);
    EXPECT_EQ(info.presenterState, 2);
    // A new presenter takes the role from the old one.
    chair_.Cs().SetPresenter(guestId_, 1);
    ASSERT_TRUE(member_.WaitFor(leading(memberId_, 0)));
    ASSERT_TRUE(member_.WaitFor(leading(guestId_, 2)));
    Settle({&member_});
    EXPECT_EQ(member_.Users().GetSpeakerCount(), 1);
}

TEST_F(ThreeBotConference, KickRemovesTheUserForEveryone) {
    member_.Cs().KickUser(guestId_, 5, "no");  // not a chair: refused
    chair_.Cs().KickUser(guestId_, 5, "bye");
    const ST_CS_MSG* exit = guest_.WaitForType(CS_MSG_FORCE_EXIT);
    ASSERT_NE(exit, nullptr);
    EXPECT_EQ(exit->data, 5u);
    ASSERT_TRUE(chair_.WaitFor(IsLeaveOf(guestId_)));
    ASSERT_TRUE(member_.WaitFor(IsLeaveOf(guestId_)));
    // The leaving user stays listed until the pump removes it.
    EXPECT_TRUE(member_.Users().IsUserKnown(guestId_));
    member_.Users().RemoveUser(guestId_);
    EXPECT_FALSE(member_.Users().IsUserKnown(guestId_));
    Settle({&chair_});
    // Removed on purpose: the kicked client is not told to reconnect.
    EXPECT_FALSE(guest_.Saw([](const ST_CS_MSG& m) { return m.type == CS_MSG_CONNECTION_LOST; }));
    EXPECT_EQ(chair_.Users().GetUserCount(), 3);
}

TEST_F(ThreeBotConference, LeavingAndServerLossAreNoticed) {
    guest_.Cs().Logout();
    ASSERT_TRUE(member_.WaitFor(IsLeaveOf(guestId_)));
    ASSERT_TRUE(server_.Stop());
    for (CsBot* bot : {&chair_, &member_}) {
        EXPECT_TRUE(bot->WaitForType(CS_MSG_CONNECTION_LOST, std::chrono::seconds(20)));
    }
    // A relogin after the loss fails cleanly while the server is gone.
    EXPECT_LT(chair_.Login(server_.ConferencePort(), kDemoConference, "demo", "demo", 0), 0);
}

TEST_F(ThreeBotConference, RecordChangesReachEveryParticipantsList) {
    // Private data: the change is sent whole and every list holds it afterwards.
    ASSERT_EQ(guest_.Users().ModifyUserPrivateData(guestId_,
                                                   [](ST_USER_PRIVATEDATA* data) {
                                                       data->groupValue = 42;
                                                       data->listenFlag = 1;
                                                   }),
              1);
    const ST_CS_MSG* changed = member_.WaitFor([&](const ST_CS_MSG& message) {
        return message.type == CS_MSG_PRIVATE_DATA_CHANGED && message.data == guestId_;
    });
    ASSERT_NE(changed, nullptr);
    std::shared_ptr<ST_USER_PRIVATEDATA> data;
    ASSERT_TRUE(member_.Users().GetUserPrivateData(data, guestId_));
    EXPECT_EQ(data->groupValue, 42u);
    std::shared_ptr<ST_USER_ITEM_DEPT> record;
    ASSERT_TRUE(member_.Users().GetUser(record, guestId_, 1));
    EXPECT_EQ(record->privateData.listenFlag, 1);
    // Device state: the whole record again (0x504).
    guest_.Cs().SetConfOptions(1, 0x05, 2, 9, 1, 0);
    const ST_CS_MSG* info = chair_.WaitForType(CS_MSG_USER_INFO_CHANGED);
    ASSERT_NE(info, nullptr);
    const auto& users = std::get<CsUserList>(info->payload);
    ASSERT_EQ(users.size(), 1u);
    EXPECT_EQ(users[0].userId, guestId_);
    EXPECT_EQ(users[0].channelMask, 0x05);
    EXPECT_EQ(users[0].value85, 9);
    EXPECT_EQ(users[0].privateData.groupValue, 42u);
    // Conference mode and lock: values for everybody, kept in the login record.
    chair_.Cs().SetConfSettingByte(1);
    chair_.Cs().SetConfSetting(1);
    const ST_CS_MSG* mode = member_.WaitForType(CS_MSG_CONF_FLAG_CHANGED);
    ASSERT_NE(mode, nullptr);
    EXPECT_EQ(mode->data, 1u);
    ASSERT_TRUE(member_.WaitForType(CS_MSG_CONF_LOCK));
    EXPECT_EQ(member_.Cs().GetAppInfo()->conferenceMode, 1);
    ST_CONF_LOGIN_INFO login;
    member_.Cs().GetConfLoginInfo(&login);
    EXPECT_EQ(login.statusByte, 1);
}

TEST_F(ThreeBotConference, FrozenServerIsNoticedByTheHeartbeat) {
    // Every link carries traffic up to the freeze, and none was lost before it.
    Settle({&chair_, &guest_, &member_});
    const auto lost = [](const ST_CS_MSG& m) { return m.type == CS_MSG_CONNECTION_LOST; };
    for (CsBot* bot : {&chair_, &guest_, &member_}) {
        EXPECT_FALSE(bot->Saw(lost));
    }
    // The server's sockets stay open: only the missing heartbeats tell the clients, within
    // the 20 s the protocol promises (how soon is measured by bench/DeadPeerBench).
    server_.Freeze();
    for (CsBot* bot : {&chair_, &guest_, &member_}) {
        EXPECT_TRUE(bot->WaitForType(CS_MSG_CONNECTION_LOST, std::chrono::seconds(20)));
    }
}

}  // namespace
