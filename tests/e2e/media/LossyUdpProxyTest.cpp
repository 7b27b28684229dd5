// The proxy in front of the relay stands for a network path: a client made like the program
// has a socket per channel, and each must reach the server from an address of its own and get
// the answers meant for it, whichever socket spoke last.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <set>
#include <string>
#include <utility>

#include "MediaBot.h"

namespace yav::test {
namespace {

// A UDP socket on the loopback address, closed with the object.
class LoopbackUdp {
public:
    LoopbackUdp() : fd_(::socket(AF_INET, SOCK_DGRAM, 0)) {
        sockaddr_in address = Loopback(0);
        ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    }
    ~LoopbackUdp() { ::close(fd_); }
    LoopbackUdp(const LoopbackUdp&) = delete;
    LoopbackUdp& operator=(const LoopbackUdp&) = delete;

    uint16_t Port() const {
        sockaddr_in address{};
        socklen_t length = sizeof address;
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
        return ntohs(address.sin_port);
    }
    void SendTo(uint16_t port, const std::string& text) const {
        const sockaddr_in to = Loopback(port);
        ::sendto(fd_, text.data(), text.size(), 0, reinterpret_cast<const sockaddr*>(&to),
                 sizeof to);
    }
    // The next datagram within two seconds and the port it came from ({"", 0}: none).
    std::pair<std::string, uint16_t> Receive() const {
        pollfd ready{fd_, POLLIN, 0};
        if (::poll(&ready, 1, 2000) <= 0) {
            return {"", 0};
        }
        char buffer[256];
        sockaddr_in from{};
        socklen_t length = sizeof from;
        const ssize_t n =
            ::recvfrom(fd_, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &length);
        if (n <= 0) {
            return {"", 0};
        }
        return {std::string(buffer, static_cast<size_t>(n)), ntohs(from.sin_port)};
    }

private:
    static sockaddr_in Loopback(uint16_t port) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(port);
        return address;
    }

    int fd_;
};

TEST(LossyUdpProxy, EachClientSocketHasAPathOfItsOwnBothWays) {
    LoopbackUdp server;
    LossyUdpProxy proxy(server.Port(), 0);
    LoopbackUdp channel0;
    LoopbackUdp channel7;

    channel0.SendTo(proxy.Port(), "hello 0");
    const auto [first, from0] = server.Receive();
    channel7.SendTo(proxy.Port(), "hello 7");
    const auto [second, from7] = server.Receive();
    ASSERT_EQ(first, "hello 0");
    ASSERT_EQ(second, "hello 7");
    EXPECT_NE(from0, from7) << "the server must see each channel at an address of its own";

    // Channel 7 spoke last: an answer to channel 0's address still reaches channel 0 alone.
    server.SendTo(from0, "for 0");
    server.SendTo(from7, "for 7");
    EXPECT_EQ(channel0.Receive().first, "for 0");
    EXPECT_EQ(channel7.Receive().first, "for 7");

    // The paths stay: a channel that speaks again comes from the same address.
    channel0.SendTo(proxy.Port(), "again 0");
    const auto [again, fromAgain] = server.Receive();
    EXPECT_EQ(again, "again 0");
    EXPECT_EQ(fromAgain, from0);
}

}  // namespace
}  // namespace yav::test
