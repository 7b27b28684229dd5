#pragma once
// An in-process yavserver on free loopback ports with a configuration made for tests.

#include <gtest/gtest.h>

#include <memory>

#include "RawBot.h"
#include "YavServer.h"

namespace yav::test {

// a followed by b.
inline proto::Bytes Concat(proto::Bytes a, const proto::Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Conference 900001 "Demo": guests welcome, chair account demo, chair password "chair",
// speaker limit 1, at most 4 participants, nobody speaks or is broadcast before asking. Conference
// 900002 "Closed": password "secret", no guests, members alice (and chair demo). Clients below
// version 50 are refused.
inline server::ServerConfig TestConfig() {
    server::ServerConfig config = server::DemoConfig();
    config.dataPort = 0;
    config.conferencePort = 0;
    config.probePort = 0;
    config.mediaPort = 0;
    config.heartbeat = std::chrono::milliseconds(100);
    config.timeout = std::chrono::milliseconds(3000);
    config.minClientVersion = 50;
    config.serverVersion = "9.9";
    auto& demo = config.conferences[0];
    demo.speakerLimit = 1;
    demo.maxUsers = 4;
    demo.speakOnEntry = false;
    demo.broadcastOnEntry = false;
    server::ConferenceConfig closed;
    closed.confId = 900002;
    closed.name = "Closed";
    closed.password = "secret";
    closed.allowGuests = false;
    closed.members = {"alice"};
    closed.chairs = {"demo"};
    config.conferences.push_back(closed);
    return config;
}

class ServerFixture : public ::testing::Test {
protected:
    void StartServer(server::ServerConfig config = TestConfig()) {
        server_ = std::make_unique<server::YavServer>(std::move(config));
        ASSERT_TRUE(server_->StartThread());
    }
    void SetUp() override { StartServer(); }
    void TearDown() override { server_.reset(); }

    std::unique_ptr<RawBot> Bot() { return std::make_unique<RawBot>(server_->ConferencePort()); }
    // A bot logged in to the demo conference (as an account when password is given).
    std::unique_ptr<RawBot> LoggedIn(const std::string& name, const std::string& password = "",
                                     uint32_t confId = 900001) {
        auto bot = Bot();
        const int32_t result = bot->Login(confId, name, password, password.empty() ? 1 : 0);
        EXPECT_EQ(result, 0) << name;
        return bot;
    }

    std::unique_ptr<server::YavServer> server_;
};

}  // namespace yav::test
