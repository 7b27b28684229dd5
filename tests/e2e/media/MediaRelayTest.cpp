// yavserver's media relay between real media components: participants logged in like the
// client see each other's camera pattern and hear each other's tone, over UDP and over TCP;
// a channel without the login's ticket reaches nobody; a participant that is killed takes
// nobody else's media with it.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "MediaE2ESupport.h"
#include "MediaPeer.h"

namespace yav::test {
namespace {

using std::chrono::seconds;

class MediaRelay : public MediaSuite {
protected:
    void SetUp() override {
        // The server logs to a file of its own, so tests can read what the relay dropped.
        char folder[] = "/tmp/yav-media-e2e-XXXXXX";
        ASSERT_NE(mkdtemp(folder), nullptr);
        folder_ = folder;
        const std::string config = folder_ + "/log.properties";
        std::ofstream(config) << "log4cpp.rootCategory=DEBUG, A\n"
                                 "log4cpp.appender.A=org.apache.log4j.FileAppender\n"
                                 "log4cpp.appender.A.fileName="
                              << folder_
                              << "/server.log\n"
                                 "log4cpp.appender.A.layout=org.apache.log4j.BasicLayout\n";
        server_ = std::make_unique<ServerProcess>(std::vector<std::string>{"--log-config", config});
        ASSERT_TRUE(server_->Ready()) << server_->Output();
    }
    void TearDown() override {
        server_.reset();
        std::filesystem::remove_all(folder_);
    }
    // The server's log lines that contain text.
    std::vector<std::string> LogLines(const std::string& text) const {
        std::ifstream log(folder_ + "/server.log");
        std::vector<std::string> lines;
        for (std::string line; std::getline(log, line);) {
            if (line.find(text) != std::string::npos) {
                lines.push_back(line);
            }
        }
        return lines;
    }

    MediaPeerOptions Options(const std::string& name, bool withTicket = true) {
        MediaPeerOptions options;
        options.name = name;
        options.conferencePort = server_->ConferencePort();
        options.mediaPort = server_->MediaPort();
        options.tcp = GetParam();
        options.withTicket = withTicket;
        return options;
    }

    std::string folder_;
    std::unique_ptr<ServerProcess> server_;
};

TEST_P(MediaRelay, EachSeesAndHearsTheOther) {
    MediaPeer a(Options("a"));
    MediaPeer b(Options("b"));
    ASSERT_TRUE(SeeEachOther(a, b, *server_));
    bool rising = false;
    a.FramesFrom(b.Id(), &rising);
    EXPECT_TRUE(rising);
    b.FramesFrom(a.Id(), &rising);
    EXPECT_TRUE(rising);
    EXPECT_EQ(a.WrongFrames(), 0U);  // nobody's picture but the watched one, never one's own
    EXPECT_EQ(b.WrongFrames(), 0U);
    // The other's tone plays: its level rises well above silence.
    EXPECT_TRUE(
        WaitUntil([&] { return a.PlaybackLevel() >= 10 && b.PlaybackLevel() >= 10; }, seconds(20)))
        << a.PlaybackLevel() << " " << b.PlaybackLevel();
    EXPECT_GT(a.AudioBytesReceived(), 0U);
    EXPECT_GT(b.AudioBytesReceived(), 0U);
    // Nothing the real component sends is mistaken for a bad packet (the log is there: it
    // tells the sessions that opened).
    EXPECT_EQ(LogLines("media relay: media id").size(), 2U);
    for (const auto& line : LogLines(", dropped (")) {
        ADD_FAILURE() << line;
    }
}

TEST_P(MediaRelay, ChannelWithoutTheTicketReachesNobody) {
    MediaPeer watcher(Options("watcher"));
    MediaPeer intruder(Options("intruder", false));
    ASSERT_TRUE(watcher.LoggedIn() && intruder.LoggedIn());
    ASSERT_TRUE(Connected(watcher));
    EXPECT_TRUE(WaitUntil([&] { return intruder.ServerConnected() == 0; }, seconds(20)));
    watcher.Watch(intruder.Id());
    // A well-behaved participant's stream arrives meanwhile, so the silence is not a slow start.
    MediaPeer honest(Options("honest"));
    ASSERT_TRUE(Connected(honest));
    watcher.Watch(honest.Id());
    ASSERT_TRUE(WaitUntil([&] { return watcher.FramesFrom(honest.Id()) >= 10; }, seconds(60)));
    EXPECT_EQ(watcher.FramesFrom(intruder.Id()), 0U);
    EXPECT_NE(intruder.StreamConnected(), 1);  // media never flowed for it
}

// Starts a participant in a process of its own; its id once media flows, 0 when it does not.
uint16_t StartPeerProcess(const ServerProcess& server, bool tcp, pid_t* pid) {
    int out[2];
    if (pipe(out) != 0) {
        return 0;
    }
    *pid = fork();
    if (*pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        const std::string cs = std::to_string(server.ConferencePort());
        const std::string media = std::to_string(server.MediaPort());
        execl("./media_peer", "./media_peer", cs.c_str(), media.c_str(), "victim", tcp ? "1" : "0",
              static_cast<char*>(nullptr));
        _exit(127);
    }
    close(out[1]);
    FILE* lines = fdopen(out[0], "r");
    unsigned id = 0;
    const bool ready = lines != nullptr && std::fscanf(lines, "ready %u", &id) == 1;
    if (lines != nullptr) {
        std::fclose(lines);
    }
    return ready ? static_cast<uint16_t>(id) : 0;
}

TEST_P(MediaRelay, KillingOneParticipantSparesTheOthers) {
    MediaPeer a(Options("a"));
    MediaPeer b(Options("b"));
    ASSERT_TRUE(Connected(a));
    ASSERT_TRUE(Connected(b));
    pid_t victimPid = -1;
    const uint16_t victim = StartPeerProcess(*server_, GetParam(), &victimPid);
    ASSERT_NE(victim, 0) << server_->Output();
    a.Watch(victim);
    a.Watch(b.Id());
    b.Watch(a.Id());
    ASSERT_TRUE(WaitUntil(
        [&] {
            return a.FramesFrom(victim) >= 5 && a.FramesFrom(b.Id()) >= 5 &&
                   b.FramesFrom(a.Id()) >= 5;
        },
        seconds(60)));
    kill(victimPid, SIGKILL);
    int status = 0;
    waitpid(victimPid, &status, 0);
    const size_t atKillA = a.FramesFrom(b.Id());
    const size_t atKillB = b.FramesFrom(a.Id());
    EXPECT_TRUE(WaitUntil(
        [&] {
            return a.FramesFrom(b.Id()) >= atKillA + 20 && b.FramesFrom(a.Id()) >= atKillB + 20;
        },
        seconds(30)));
    EXPECT_EQ(a.StreamConnected(), 1);
    EXPECT_EQ(b.StreamConnected(), 1);
    bool rising = false;
    a.FramesFrom(b.Id(), &rising);
    EXPECT_TRUE(rising);
}

INSTANTIATE_TEST_SUITE_P(Transport, MediaRelay, ::testing::Values(false, true), TransportName);

}  // namespace
}  // namespace yav::test
