// A client can be destroyed while work it queued on the I/O thread has not run yet (a send,
// a lookup or connect finishing after Connect gave up); that work must find the client gone
// instead of touching freed memory. Run under AddressSanitizer to see the fault.
#include <gtest/gtest.h>

#include <asio.hpp>
#include <chrono>
#include <thread>

#include "RequestClient.h"

namespace {

using namespace yav::proto;

TEST(RequestClientLifetime, QueuedWorkRunningAfterTheClientIsGoneDoesNothing) {
    asio::io_context io;
    {
        RequestClient client(io, Service::ConferenceServer, "lifetime");
        // The I/O thread is not running: these stay queued until after the destructor.
        client.Send(Bytes{1, 2, 3});
        client.Send(Bytes{4});
    }
    EXPECT_EQ(io.run_for(std::chrono::seconds(5)), 2u);
}

TEST(RequestClientLifetime, ALookupAndConnectFinishingAfterTheClientIsGoneDoNothing) {
    asio::io_context io;
    asio::ip::tcp::acceptor listener(io, {asio::ip::address_v4::loopback(), 0});
    const uint16_t port = listener.local_endpoint().port();
    auto guard = asio::make_work_guard(io);
    std::thread ioThread([&] { io.run(); });
    for (int round = 0; round < 100; ++round) {
        // The connect is answered by the listener's backlog but the hello never is: the
        // client gives up while the lookup or connect of the attempt may still be under way.
        RequestClient client(io, Service::ConferenceServer, "lifetime");
        EXPECT_NE(client.Connect("localhost", port, std::chrono::milliseconds(0)), 0);
    }
    guard.reset();
    ioThread.join();
}

}  // namespace
