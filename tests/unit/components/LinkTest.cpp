// The framed connection's promises to its owners: a peer that stops reading is dropped, and
// the close never reaches the listener from inside Send (the server sends while walking its
// participant list, which the close handler changes).
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

TEST(Link, PeerThatStopsReadingIsClosedOutsideSend) {
    asio::io_context io;
    asio::ip::tcp::acceptor acceptor(io, {asio::ip::address_v4::loopback(), 0});
    asio::ip::tcp::socket peer(io);  // connected, never read
    peer.connect(acceptor.local_endpoint());
    asio::ip::tcp::socket accepted(io);
    acceptor.accept(accepted);

    auto link = std::make_shared<Link>(std::move(accepted), "test link");
    RecordingListener listener;
    link->Start(&listener);

    const Bytes body(1u << 20, 0x5A);
    const size_t frames = Link::kMaxPendingBytes / body.size() + 4;
    asio::post(io, [&] {
        for (size_t i = 0; i < frames && !listener.closed; ++i) {
            listener.insideSend = true;
            link->Send(MakeFrame(MsgType::Relay, body));
            listener.insideSend = false;
        }
    });
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!listener.closed && std::chrono::steady_clock::now() < limit) {
        io.run_for(std::chrono::milliseconds(50));
    }
    ASSERT_TRUE(listener.closed);
    EXPECT_FALSE(listener.closedInsideSend);
    EXPECT_EQ(listener.reason, "peer too slow");
    EXPECT_FALSE(link->IsOpen());
}

}  // namespace
