// Dead-peer benchmark: how long after a peer stops sending (silent) or stops finishing its
// frame (a byte now and then) a link closes, for a few heartbeat/time-out pairs. The protocol
// promises the time-out itself, not the time-out plus a heartbeat period. Prints one table;
// asserts nothing.
//
//   yav_dead_peer_bench [--rounds N]
#include <asio.hpp>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "Link.h"

namespace {

using namespace yav::proto;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

class CloseTimer final : public Link::Listener {
public:
    void OnLinkFrame(Link&, Frame&) override {}
    void OnLinkClosed(Link&, const std::string&) override { closedAt = Clock::now(); }
    Clock::time_point closedAt{};
};

enum class Peer { Silent, Trickling };

// Milliseconds from the peer's last complete frame to the close.
double MeasureOnce(milliseconds heartbeat, milliseconds timeout, Peer peer) {
    asio::io_context io;
    asio::ip::tcp::acceptor acceptor(io, {asio::ip::address_v4::loopback(), 0});
    asio::ip::tcp::socket client(io);
    client.connect(acceptor.local_endpoint());
    asio::ip::tcp::socket accepted = acceptor.accept();
    CloseTimer timer;
    auto link = std::make_shared<Link>(std::move(accepted), "bench");
    link->Start(&timer);
    link->SetTiming(heartbeat, timeout);
    const auto start = Clock::now();
    asio::steady_timer trickle(io);
    std::function<void()> feed;
    if (peer == Peer::Trickling) {
        // A frame header announcing 64 KiB, then one byte every tenth of a heartbeat.
        uint8_t header[6] = {0, 0, 1, 0, 0x1F, 0x02};
        asio::write(client, asio::buffer(header));
        feed = [&] {
            trickle.expires_after(heartbeat / 10);
            trickle.async_wait([&](const asio::error_code& error) {
                if (error || timer.closedAt != Clock::time_point{}) {
                    return;
                }
                const uint8_t byte = 0;
                asio::error_code ignored;
                asio::write(client, asio::buffer(&byte, 1), ignored);
                feed();
            });
        };
        feed();
    }
    while (timer.closedAt == Clock::time_point{} && Clock::now() - start < 4 * timeout) {
        io.run_one_for(milliseconds(10));
    }
    trickle.cancel();
    link->Close("done");
    return std::chrono::duration<double, std::milli>(timer.closedAt - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    int rounds = 3;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--rounds") == 0) {
            rounds = std::max(1, std::atoi(argv[i + 1]));
        }
    }
    struct Timing {
        int heartbeat;
        int timeout;
    };
    std::printf("%10s %10s %16s %16s\n", "beat ms", "timeout ms", "silent: close ms",
                "stuck: close ms");
    for (const Timing timing : {Timing{100, 600}, Timing{200, 1500}, Timing{500, 2000}}) {
        double silent = 0;
        double stuck = 0;
        for (int round = 0; round < rounds; ++round) {
            silent += MeasureOnce(milliseconds(timing.heartbeat), milliseconds(timing.timeout),
                                  Peer::Silent);
            stuck += MeasureOnce(milliseconds(timing.heartbeat), milliseconds(timing.timeout),
                                 Peer::Trickling);
        }
        std::printf("%10d %10d %16.1f %16.1f\n", timing.heartbeat, timing.timeout, silent / rounds,
                    stuck / rounds);
    }
    return 0;
}
