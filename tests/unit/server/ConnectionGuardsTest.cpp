// Connections that never get anywhere: no hello, a frame fed a byte at a time, more
// connections that do not log in than the server holds. Each must end with a log line
// instead of holding the server's descriptors and memory for as long as the peer likes.
#include <gtest/gtest.h>

#include <functional>
#include <future>

#include "ServerFixture.h"
#include "fakes/conference/LogCapture.h"
#include "support/WaitUntil.h"

namespace {

using namespace yav::proto;
using yav::test::RawBot;
using yav::test::ServerFixture;
using yav::test::WaitUntil;

// The header of a frame announcing the largest body; its bytes then come one by one.
Bytes HugeFrameHeader(MsgType type) {
    ByteWriter out;
    out.U32(kMaxFrameBytes);
    out.U16(static_cast<uint16_t>(type));
    return out.Take();
}

class StuckConnections : public ServerFixture {
protected:
    void SetUp() override {
        auto config = yav::test::TestConfig();
        config.heartbeat = std::chrono::milliseconds(100);
        config.timeout = std::chrono::milliseconds(800);
        config.helloTimeout = std::chrono::milliseconds(400);
        StartServer(config);
    }
    fakes::LogCapture log_;
};

// RawBot sends a heartbeat's bytes every 50 ms while it waits: on a connection that is inside
// an unfinished frame those bytes only feed the frame, so it is never silent.
TEST_F(StuckConnections, TricklingPeersAreClosedAtTheirTimeOut) {
    struct Case {
        const char* name;
        std::function<void(RawBot&)> prepare;
        const char* logLine;
    };
    const std::vector<Case> cases = {
        {"heartbeats and never a hello", [](RawBot&) {}, "no hello within 400 ms"},
        {"a huge first frame fed a byte at a time",
         [](RawBot& bot) { bot.SendBytes(HugeFrameHeader(MsgType::Hello)); },
         "no hello within 400 ms"},
        {"a huge frame after the hello",
         [](RawBot& bot) {
             ASSERT_TRUE(bot.Greet());
             bot.SendBytes(HugeFrameHeader(MsgType::Transmit));
         },
         "still incomplete"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RawBot bot(server_->ConferencePort());
        ASSERT_TRUE(bot.Connected());
        c.prepare(bot);
        EXPECT_TRUE(bot.WaitClosed(std::chrono::seconds(10)));
        EXPECT_TRUE(WaitUntil([&] { return log_.Contains(c.logLine); }));
    }
}

TEST_F(StuckConnections, ParticipantStuckInAFrameLeavesTheRoom) {
    auto bystander = LoggedIn("bystander");
    auto culprit = LoggedIn("culprit");
    ASSERT_TRUE(bystander->ReceiveMessage<MsgUsersJoined>());
    ASSERT_TRUE(culprit->SendBytes(HugeFrameHeader(MsgType::Transmit)));
    // The culprit keeps trickling while the bystander waits.
    auto closed = std::async(std::launch::async,
                             [&] { return culprit->WaitClosed(std::chrono::seconds(10)); });
    auto left = bystander->ReceiveMessage<MsgUsersLeft>(std::chrono::seconds(10));
    EXPECT_TRUE(closed.get());
    ASSERT_TRUE(left);
    EXPECT_EQ(left->users[0].userId, culprit->UserId());
}

TEST_F(StuckConnections, GreetedConnectionMayIdlePastTheHelloLimit) {
    RawBot bot(server_->ConferencePort());
    ASSERT_TRUE(bot.Greet());
    // Three hello limits of heartbeats only: the hello is done, so nothing ends it.
    EXPECT_FALSE(bot.WaitClosed(std::chrono::milliseconds(1200)));
    EXPECT_EQ(bot.Login(900001, "late", "", 1), 0);
}

class PendingCaps : public ServerFixture {
protected:
    void Start(size_t total, size_t perAddress) {
        auto config = yav::test::TestConfig();
        config.maxPendingConnections = total;
        config.maxPendingPerAddress = perAddress;
        StartServer(config);
    }
    void SetUp() override {}

    std::unique_ptr<RawBot> From(const char* address) {
        return std::make_unique<RawBot>(server_->ConferencePort(), address);
    }
    // A connection from address that the server takes (retried while a freed place is still
    // on its way to the server's thread).
    std::unique_ptr<RawBot> AcceptedFrom(const char* address) {
        std::unique_ptr<RawBot> bot;
        WaitUntil([&] {
            bot = From(address);
            return bot->Greet();
        });
        return bot;
    }
    static bool Refused(RawBot& bot) { return !bot.Greet() && bot.WaitClosed(); }

    fakes::LogCapture log_;
};

TEST_F(PendingCaps, PerAddressCapRefusesOnlyThatAddress) {
    Start(10, 2);
    auto a = From("127.0.0.1");
    auto b = From("127.0.0.1");
    ASSERT_TRUE(a->Greet());
    ASSERT_TRUE(b->Greet());
    for (int i = 0; i < 3; ++i) {
        auto extra = From("127.0.0.1");
        EXPECT_TRUE(Refused(*extra)) << i;
    }
    auto elsewhere = From("127.0.0.2");
    EXPECT_TRUE(elsewhere->Greet());
    EXPECT_EQ(log_.CountContaining("connections from 127.0.0.1 have not logged in"), 1u);

    // A login frees its place.
    ASSERT_EQ(a->Login(900001, "a", "", 1), 0);
    auto afterLogin = AcceptedFrom("127.0.0.1");
    EXPECT_TRUE(afterLogin->Connected());
    EXPECT_TRUE(Refused(*From("127.0.0.1")));
    // So does a close.
    b.reset();
    auto afterClose = AcceptedFrom("127.0.0.1");
    EXPECT_EQ(afterClose->Login(900001, "c", "", 1), 0);
    EXPECT_TRUE(WaitUntil([&] { return log_.Contains("from 127.0.0.1 again"); }));
    // Two episodes, two refusal lines, whatever the number of refused attempts.
    EXPECT_EQ(log_.CountContaining("connections from 127.0.0.1 have not logged in"), 2u);
}

TEST_F(PendingCaps, TotalCapCountsEveryAddress) {
    Start(3, 10);
    auto a = From("127.0.0.1");
    auto b = From("127.0.0.2");
    auto c = From("127.0.0.3");
    for (auto* bot : {a.get(), b.get(), c.get()}) {
        ASSERT_TRUE(bot->Greet());
    }
    EXPECT_TRUE(Refused(*From("127.0.0.4")));
    EXPECT_TRUE(Refused(*From("127.0.0.1")));
    EXPECT_EQ(log_.CountContaining("connections have not logged in (limit 3)"), 1u);
    c.reset();
    auto next = AcceptedFrom("127.0.0.4");
    EXPECT_EQ(next->Login(900001, "d", "", 1), 0);
    EXPECT_TRUE(WaitUntil([&] { return log_.Contains("cs: accepting new connections again"); }));
}

}  // namespace
