// The conference component against a scripted server: the login snapshot and the events
// right behind it, malformed events, a server that falls silent, refusals.
#include <gtest/gtest.h>

#include <thread>

#include "CsManager.h"
#include "FakeServer.h"
#include "KroCsManger.h"
#include "fakes/conference/LogCapture.h"
#include "support/WaitUntil.h"

namespace {

using namespace yav::proto;
using yav::proto::RequestClient;
using yav::test::FakeServer;
using yav::test::WaitUntil;

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const auto& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

ST_USER_ITEM_DEPT User(uint16_t id) {
    ST_USER_ITEM_DEPT user;
    user.userId = id;
    CopyText16(user.name, 32, u"bot");
    return user;
}

Bytes Snapshot(uint16_t me, std::vector<uint16_t> others = {}) {
    MsgLoginResponse response;
    response.loginInfo.confId = 1;
    response.loginInfo.userId = me;
    for (uint16_t id : others) {
        response.users.push_back(User(id));
    }
    response.users.push_back(User(me));
    return EncodeFrame(response);
}

// Waits for the first queued item of a type; others are dropped.
bool WaitForType(ICsManager& cs, uint32_t type, ST_CS_MSG* out = nullptr,
                 std::chrono::milliseconds limit = std::chrono::seconds(5)) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    ST_CS_MSG message;
    while (std::chrono::steady_clock::now() < deadline) {
        while (cs.GetMsgQueue()->Pop(message)) {
            if (message.type == type) {
                if (out) {
                    *out = std::move(message);
                }
                return true;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return false;
}

class RecordingHandler final : public ICsHandler {
public:
    void OnVideoOpenResult(uint16_t, uint16_t, uint32_t) override {}
    void HandleBroadcastVideo(uint16_t, uint16_t, uint8_t, uint32_t) override {}
    void OnUserAudioStatus(uint16_t, uint8_t, uint8_t, uint32_t) override {}
    void OnTransmit(uint16_t, uint16_t, uint16_t, const uint8_t*, uint16_t) override {}
    void OnConfAttrChanged(uint16_t, uint16_t, const uint8_t*) override {}
    void OnSystemMessage(uint32_t) override {}
    void OnConfStateUpdate(uint32_t) override {}
    void OnTextMessage(uint32_t) override {}
    void OnForceExit(uint16_t, uint32_t) override {}
    void OnReserved9(uint32_t) override {}
    void OnConfFlagChanged(uint8_t) override {}
    void OnNotice11() override { ++shutdowns; }
    void OnNotice12(uint32_t code) override { lastLinkNotice = static_cast<int>(code); }
    void OnNotice13(uint32_t) override {}
    std::atomic<int> shutdowns{0};
    std::atomic<int> lastLinkNotice{-1};
};

struct Component {
    ICsManager* cs = Kro_CreateCsManager();
    ~Component() { Kro_DestroyCsManager(cs); }
    int32_t Login(uint16_t port) { return cs->Login("127.0.0.1", port, 1, "me", "", 1); }
};

TEST(CsManager, EventsRightBehindTheSnapshotAreNotLost) {
    MsgUsersJoined joined;
    joined.users = {User(24)};
    MsgRoomAttr attr{272, 1, Bytes{1}};
    FakeServer server([&](const MsgLoginRequest&) {
        // One write: the snapshot and two events after it.
        return Concat({Snapshot(16, {8}), EncodeFrame(joined), EncodeFrame(attr)});
    });
    Component component;
    ASSERT_EQ(component.Login(server.Port()), 0);
    ICsUserManager* users = component.cs->GetUserManager();
    ASSERT_NE(users, nullptr);
    ST_CS_MSG message;
    ASSERT_TRUE(WaitForType(*component.cs, CS_MSG_USER_JOIN, &message));
    EXPECT_EQ(std::get<CsUserList>(message.payload)[0].userId, 24);
    EXPECT_EQ(users->GetUserCount(), 3);
    ASSERT_TRUE(WaitForType(*component.cs, CS_MSG_CONF_ATTR_CHANGED));
    ST_CONF_LOGIN_INFO info;
    component.cs->GetConfLoginInfo(&info);
    EXPECT_EQ(info.userId, 16);
    EXPECT_EQ(info.roomAttr[272], 1);
}

TEST(CsManager, MediaTicketOfTheLoginIsKept) {
    FakeServer server([](const MsgLoginRequest&) {
        MsgLoginResponse response;
        response.loginInfo.userId = 16;
        response.users = {User(16)};
        for (size_t i = 0; i < response.mediaTicket.size(); ++i) {
            response.mediaTicket[i] = static_cast<uint8_t>(0x40 + i);
        }
        return EncodeFrame(response);
    });
    Component component;
    EXPECT_EQ(component.cs->GetMediaTicket(), (std::array<uint8_t, 16>{}));
    ASSERT_EQ(component.Login(server.Port()), 0);
    const auto ticket = component.cs->GetMediaTicket();
    for (size_t i = 0; i < ticket.size(); ++i) {
        EXPECT_EQ(ticket[i], 0x40 + i) << i;
    }
}

TEST(CsManager, MalformedEventDropsTheConnectionAsALoss) {
    FakeServer server([](const MsgLoginRequest&) { return Snapshot(16); });
    Component component;
    ASSERT_EQ(component.Login(server.Port()), 0);
    // A user list that claims two records and carries one.
    MsgUsersJoined joined;
    joined.users = {User(24)};
    Bytes bad = EncodeFrame(joined);
    bad[kFrameLengthBytes + kFrameTypeBytes] = 2;
    server.Send(bad);
    EXPECT_TRUE(WaitForType(*component.cs, CS_MSG_CONNECTION_LOST));
    EXPECT_EQ(component.cs->GetUserManager()->GetUserCount(), 1);
}

TEST(CsManager, SilentServerIsAnnouncedLateThenLost) {
    RecordingHandler handler;
    FakeServer server([](const MsgLoginRequest&) { return Snapshot(16); }, 100, 600);
    Component component;
    component.cs->SetCsHandler(&handler);
    ASSERT_EQ(component.Login(server.Port()), 0);
    // Heartbeats keep the link: no notice, no loss.
    EXPECT_FALSE(
        WaitForType(*component.cs, CS_MSG_CONNECTION_LOST, nullptr, std::chrono::seconds(1)));
    EXPECT_EQ(handler.lastLinkNotice, -1);
    server.GoSilent();
    ASSERT_TRUE(WaitForType(*component.cs, CS_MSG_CONNECTION_LOST));
    // Two silent heartbeat periods pass before the 600 ms time-out: by the time the loss is
    // queued the handler has heard that the server is late.
    EXPECT_EQ(handler.lastLinkNotice, 1);
}

TEST(CsManager, ShutdownNoticeReachesTheHandler) {
    RecordingHandler handler;
    FakeServer server([](const MsgLoginRequest&) { return Snapshot(16); });
    Component component;
    component.cs->SetCsHandler(&handler);
    ASSERT_EQ(component.Login(server.Port()), 0);
    server.Send(EncodeFrame(MsgShutdown{}));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (handler.shutdowns == 0 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    EXPECT_EQ(handler.shutdowns, 1);
}

TEST(CsManager, RefusalsAndMissingServersComeBackAsCodes) {
    MsgLoginResponse refusal;
    refusal.result = ERR_VERSION;
    refusal.requiredVersion = 321;
    FakeServer refusing([&](const MsgLoginRequest& request) {
        EXPECT_EQ(request.mode, 1);
        EXPECT_EQ(request.name, "me");
        return EncodeFrame(refusal);
    });
    Component component;
    EXPECT_EQ(component.Login(refusing.Port()), ERR_VERSION);
    EXPECT_EQ(component.cs->GetRequiredVersion(), 321);
    EXPECT_EQ(component.cs->GetUserManager(), nullptr);
    // Requests while not logged in are dropped, not queued for later.
    component.cs->Transmit(0, 257, "x", 1);

    asio::io_context io;
    asio::ip::tcp::acceptor closed(io,
                                   asio::ip::tcp::endpoint(asio::ip::make_address("127.0.0.1"), 0));
    const uint16_t port = closed.local_endpoint().port();
    closed.close();
    EXPECT_EQ(component.Login(port), CS_ERR_CONNECT);
    EXPECT_EQ(component.cs->RollCallRequest(u"a", u"b", 1, nullptr, nullptr), -1);
}

// The login answer arrives right at the call's time-out: on either side of the decision the
// outcome is one (applied and reported, or neither), never a login applied behind a time-out.
TEST(CsManager, LoginAnswerRacingTheTimeOutHasOneOutcome) {
    using Stage = RequestClient::CallStage;
    struct Case {
        const char* name;
        Stage answerAt;
        int32_t result;
        bool applied;
    };
    const Case cases[] = {
        {"answer handled before the call decides", Stage::TimedOut, CS_LOGIN_OK, true},
        {"answer handled after the call gave up", Stage::GaveUp, CS_ERR_TIMEOUT, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fakes::LogCapture log;
        // The server holds its answer until the call's hook sends it.
        FakeServer server([](const MsgLoginRequest&) { return Bytes{}; });
        CsManager cs;
        cs.SetAnswerTimeout(std::chrono::milliseconds(50));
        cs.SetCallStageHook([&](Stage stage) {
            if (stage != c.answerAt) {
                return;
            }
            server.Send(Snapshot(16));
            // The component's I/O thread handles it before the call goes on.
            EXPECT_TRUE(WaitUntil([&] {
                return stage == Stage::TimedOut ? cs.GetUserManager() != nullptr
                                                : log.Contains("came after its call had given up");
            }));
        });
        EXPECT_EQ(cs.Login("127.0.0.1", server.Port(), 1, "me", "", 1), c.result);
        EXPECT_EQ(cs.GetUserManager() != nullptr, c.applied);
        ST_CONF_LOGIN_INFO info;
        cs.GetConfLoginInfo(&info);
        EXPECT_EQ(info.userId, c.applied ? 16 : 0);
    }
}

TEST(CsManager, MalformedSnapshotIsAProtocolError) {
    FakeServer server([](const MsgLoginRequest&) {
        Bytes snapshot = Snapshot(16);
        snapshot.resize(snapshot.size() - 10);
        ByteWriter length;
        length.U32(static_cast<uint32_t>(snapshot.size() - kFrameLengthBytes));
        std::copy(length.Data().begin(), length.Data().end(), snapshot.begin());
        return snapshot;
    });
    Component component;
    EXPECT_EQ(component.Login(server.Port()), ERR_PROTOCOL);
    EXPECT_EQ(component.cs->GetUserManager(), nullptr);
}

TEST(CsManager, FactoryCanBeReplaced) {
    static int created = 0;
    static int destroyed = 0;
    Kro_SetCsManagerFactory(
        []() -> ICsManager* {
            ++created;
            return nullptr;
        },
        [](ICsManager*) { ++destroyed; });
    EXPECT_EQ(Kro_CreateCsManager(), nullptr);
    Kro_DestroyCsManager(nullptr);
    Kro_SetCsManagerFactory(nullptr, nullptr);
    EXPECT_EQ(created, 1);
    EXPECT_EQ(destroyed, 1);
    ICsManager* real = Kro_CreateCsManager();
    EXPECT_NE(real, nullptr);
    Kro_DestroyCsManager(real);
}

}  // namespace
