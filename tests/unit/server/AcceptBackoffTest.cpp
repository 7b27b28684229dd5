// A listener out of file descriptors keeps failing to accept until some are freed: it must
// wait between attempts and say so once, not spin and log every failure, and take the
// waiting connections as soon as descriptors are free again.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <asio.hpp>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "TcpListener.h"
#include "unit/resources/LogCapture.h"

namespace {

using namespace yav;

// Lowers the soft descriptor limit for the test's lifetime.
class DescriptorLimit {
public:
    explicit DescriptorLimit(rlim_t soft) {
        getrlimit(RLIMIT_NOFILE, &saved_);
        rlimit lowered = saved_;
        lowered.rlim_cur = soft;
        ok_ = setrlimit(RLIMIT_NOFILE, &lowered) == 0;
    }
    ~DescriptorLimit() { setrlimit(RLIMIT_NOFILE, &saved_); }
    bool Ok() const { return ok_; }

private:
    rlimit saved_{};
    bool ok_ = false;
};

int HighestOpenDescriptor() {
    int highest = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        highest = std::max(highest, std::stoi(entry.path().filename().string()));
    }
    return highest;
}

size_t CountLines(const yav::testing::LogCapture& log, const std::string& text) {
    size_t count = 0;
    for (const std::string& line : log.Lines()) {
        count += line.find(text) != std::string::npos ? 1 : 0;
    }
    return count;
}

// Runs the I/O until done() holds, for at most ten seconds.
template <class Condition>
bool RunUntil(asio::io_context& io, Condition done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done() && std::chrono::steady_clock::now() < deadline) {
        io.run_one_for(std::chrono::milliseconds(50));
    }
    return done();
}

TEST(AcceptBackoff, OutOfDescriptorsLogsOnceWaitsAndAcceptsAgainWhenFreed) {
    yav::testing::LogCapture log;
    asio::io_context io;
    server::TcpListener listener(io, "cs");
    std::vector<std::shared_ptr<proto::Link>> accepted;
    ASSERT_TRUE(listener.Start(
        asio::ip::address_v4::loopback(), 0,
        [&](std::shared_ptr<proto::Link> link) { accepted.push_back(std::move(link)); }));
    const asio::ip::tcp::endpoint server(asio::ip::address_v4::loopback(), listener.Port());

    // Run the I/O and read the log once while descriptors are free: UndefinedBehaviorSanitizer
    // checks a virtual call's object the first time it meets its type, through a pipe it opens
    // for the purpose, and with no descriptor left it would take a sound object for a broken one.
    io.run_one_for(std::chrono::milliseconds(1));
    EXPECT_EQ(CountLines(log, "cs: accept failed"), 0u);

    std::vector<std::unique_ptr<asio::ip::tcp::socket>> clients;
    {
        DescriptorLimit limit(static_cast<rlim_t>(HighestOpenDescriptor()) + 1 + 16);
        ASSERT_TRUE(limit.Ok());
        // Clients take every descriptor left; their connections wait in the backlog.
        for (;;) {
            auto client = std::make_unique<asio::ip::tcp::socket>(io);
            asio::error_code error;
            client->open(asio::ip::tcp::v4(), error);
            if (error) {
                break;
            }
            client->connect(server, error);
            ASSERT_FALSE(error) << error.message();
            clients.push_back(std::move(client));
        }
        ASSERT_GE(clients.size(), 2u);

        ASSERT_TRUE(RunUntil(io, [&] { return listener.FailedAccepts() >= 3; }));
        EXPECT_TRUE(accepted.empty());
        EXPECT_EQ(CountLines(log, "cs: accept failed"), 1u);

        // Freeing descriptors lets the waiting connections in.
        clients.erase(clients.begin(), clients.begin() + 4);
        ASSERT_TRUE(RunUntil(io, [&] { return !accepted.empty(); }));
        EXPECT_EQ(CountLines(log, "cs: accepting again"), 1u);
        EXPECT_EQ(CountLines(log, "cs: accept failed"), 1u);
    }
    listener.Stop();
}

}  // namespace
