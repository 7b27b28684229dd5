// Participants made like the client keep their conference while yavserver's media relay
// restarts under them: their channels greet the new relay, subscribe again, and pictures and
// sound flow again without anybody leaving the room. Over UDP and TCP.
#include <gtest/gtest.h>

#include <chrono>

#include "MediaBot.h"
#include "MediaE2ESupport.h"
#include "config/AppSettings.h"

namespace yav::test {
namespace {

using std::chrono::seconds;

class RelayRestart : public MediaSuite {
protected:
    void SetUp() override {
        ASSERT_TRUE(server_.Ready()) << server_.Output();
        g_AppSettings.bVideoCapMode = 1;
        g_AppSettings.UseTCP = GetParam() ? 1 : 0;
    }
    MediaBotOptions Options(const std::string& name) {
        MediaBotOptions options;
        options.name = name;
        options.conferencePort = server_.ConferencePort();
        options.mediaPort = server_.MediaPort();
        options.tcp = GetParam();
        return options;
    }

    ServerProcess server_;
};

TEST_P(RelayRestart, MediaFlowsAgainWithoutLeavingTheRoom) {
    MediaBot a(Options("a"));
    MediaBot b(Options("b"));
    ASSERT_TRUE(SeeEachOther(a, b, server_));
    server_.RestartMediaRelay();
    ASSERT_TRUE(WaitUntil(
        [&] { return server_.Output().find("media relay restarted") != std::string::npos; },
        seconds(10)))
        << server_.Output();
    // From here on every session is new: what arrives came through the restarted relay (a few
    // pictures may still have been on their way).
    const size_t aHad = a.FramesFrom(b.Id());
    const size_t bHad = b.FramesFrom(a.Id());
    EXPECT_TRUE(WaitUntil(
        [&] { return a.FramesFrom(b.Id()) >= aHad + 30 && b.FramesFrom(a.Id()) >= bHad + 30; },
        seconds(90)))
        << a.FramesFrom(b.Id()) - aHad << " " << b.FramesFrom(a.Id()) - bHad << "\n"
        << server_.Output();
    EXPECT_TRUE(WaitUntil([&] { return a.PlaybackLevel() >= 10; }, seconds(20)))
        << "the other's tone plays again";
    EXPECT_TRUE(a.LoggedIn() && b.LoggedIn());
    EXPECT_EQ(a.ServerConnected(), 1);
    EXPECT_EQ(b.StreamConnected(), 1);
    EXPECT_EQ(a.WrongFrames(), 0U);
}

INSTANTIATE_TEST_SUITE_P(Transport, RelayRestart, ::testing::Values(false, true), TransportName);

}  // namespace
}  // namespace yav::test
