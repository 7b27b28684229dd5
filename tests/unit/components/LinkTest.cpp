// The framed connection's promises to its owners: a peer that stops reading is dropped, the
// close never reaches the listener from inside Send (the server sends while walking its
// participant list, which the close handler changes), and a silent peer is dropped at the
// time-out, not at the next heartbeat after it.
#include <gtest/gtest.h>

#include <asio.hpp>

#include "Link.h"

namespace {

using namespace yav::proto;

class RecordingListener final : public Link::Listener {
public:
    void OnLinkFrame(Link&, Frame&) override {}
    void OnLinkClosed(Link&, const std::string& why) override {
        closed = true;
        closedInsideSend = insideSend;
        reason = why;
    }

    bool insideSend = false;
    bool closed = false;
    bool closedInsideSend = false;
    std::string reason;
};

// A loopback connection: the link on one end, a peer socket that neither reads nor writes.
struct LinkedPair {
    asio::io_context io;
    asio::ip::tcp::socket peer{io};
    std::shared_ptr<Link> link;
    RecordingListener listener;

    LinkedPair() {
        asio::ip::tcp::acceptor acceptor(io, {asio::ip::address_v4::loopback(), 0});
        peer.connect(acceptor.local_endpoint());
        asio::ip::tcp::socket accepted(io);
        acceptor.accept(accepted);
        link = std::make_shared<Link>(std::move(accepted), "test link");
        link->Start(&listener);
    }
    // Runs the I/O until the link has closed or the limit passed.
    void RunUntilClosed(std::chrono::seconds limit) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (!listener.closed && std::chrono::steady_clock::now() < end) {
            io.run_for(std::chrono::milliseconds(20));
        }
    }
};

TEST(Link, PeerThatStopsReadingIsClosedOutsideSend) {
    LinkedPair pair;
    auto& link = pair.link;
    auto& listener = pair.listener;

    const Bytes body(1u << 20, 0x5A);
    const size_t frames = Link::kMaxPendingBytes / body.size() + 4;
    asio::post(pair.io, [&] {
        for (size_t i = 0; i < frames && !listener.closed; ++i) {
            listener.insideSend = true;
            link->Send(MakeFrame(MsgType::Relay, body));
            listener.insideSend = false;
        }
    });
    pair.RunUntilClosed(std::chrono::seconds(10));
    ASSERT_TRUE(listener.closed);
    EXPECT_FALSE(listener.closedInsideSend);
    EXPECT_EQ(listener.reason, "peer too slow");
    EXPECT_FALSE(link->IsOpen());
}

TEST(Link, SilentPeerIsDroppedAtTheTimeOutEvenBetweenHeartbeats) {
    // Heartbeats far apart: the time-out alone must end the link.
    LinkedPair pair;
    pair.link->SetTiming(std::chrono::minutes(1), std::chrono::milliseconds(200));
    pair.RunUntilClosed(std::chrono::seconds(10));
    ASSERT_TRUE(pair.listener.closed);
    EXPECT_EQ(pair.listener.reason, "heartbeat time-out");
}

}  // namespace
