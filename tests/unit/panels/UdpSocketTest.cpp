// The probe's UDP endpoint on loopback: port choice, peers, the receive queue's batches.

#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "client/media/UDPSocket.h"
#include "fakes/conference/LogCapture.h"

namespace {

TEST(UdpSocket, CreateWithPortZeroReturnsTheBoundPort) {
    CUdpSocket socket;
    const std::uint16_t port = socket.Create(0);
    EXPECT_NE(port, 0);
    EXPECT_EQ(port, socket.GetPort());
}

TEST(UdpSocket, ATakenPortMovesToTheNextFreeOne) {
    CUdpSocket first;
    const std::uint16_t taken = first.Create(0);
    ASSERT_NE(taken, 0);
    CUdpSocket second;
    const std::uint16_t next = second.Create(taken);
    EXPECT_NE(next, 0);
    EXPECT_NE(next, taken);
    // The next free one within the 100 tries (a neighbour may be taken by someone else).
    EXPECT_GT(static_cast<std::uint16_t>(next - taken), 0);
    EXPECT_LT(static_cast<std::uint16_t>(next - taken), CUdpSocket::kBindAttempts);
}

TEST(UdpSocket, OnlyDottedIpv4IsAPeerAndTheFailureIsLoggedOnce) {
    struct Case {
        const char* address;
        bool accepted;
    } cases[] = {{"127.0.0.1", true}, {"10.1.2.3", true},  {"localhost", false},
                 {"1.2.3", false},    {"::1", false},      {"255.255.255.255x", false},
                 {"", false},         {"300.1.1.1", false}};
    fakes::LogCapture log;
    CUdpSocket socket;
    ASSERT_NE(socket.Create(0), 0);
    int refused = 0;
    for (const Case& c : cases) {
        EXPECT_EQ(socket.SetPeer(c.address, 9), c.accepted) << c.address;
        EXPECT_EQ(socket.HasPeer(), c.accepted) << c.address;
        refused += c.accepted ? 0 : 1;
        if (!c.accepted) {
            const char byte = 1;
            EXPECT_FALSE(socket.SendTo(&byte, 1)) << c.address;
        }
    }
    ASSERT_GT(refused, 1);
    EXPECT_EQ(log.CountContaining("not a dotted IPv4 address"), 1U);
}

struct Pair {
    CUdpSocket receiver;
    CUdpSocket sender;
    std::uint16_t port = 0;
    Pair() {
        port = receiver.Create(0);
        sender.Create(0);
        sender.SetPeer("127.0.0.1", port);
    }
};

TEST(UdpSocket, ThirtyPendingDatagramsArriveAsTwentyOneAndNine) {
    Pair pair;
    for (int i = 0; i < 30; ++i) {
        const std::uint8_t byte = static_cast<std::uint8_t>(i);
        ASSERT_TRUE(pair.sender.SendTo(&byte, 1));
    }
    auto drain = [&] {
        int count = 0;
        while (CUdpPacket* packet = pair.receiver.PopPacket()) {
            ++count;
            CUdpSocket::FreePacket(packet);
        }
        return count;
    };
    pair.receiver.Receive(200);
    EXPECT_EQ(drain(), 21);
    pair.receiver.Receive(200);
    EXPECT_EQ(drain(), 9);
    pair.receiver.Receive(0);
    EXPECT_EQ(pair.receiver.PopPacket(), nullptr);
}

TEST(UdpSocket, APacketCarriesItsSenderAndDataInOrder) {
    Pair pair;
    const std::string first = "first";
    const std::string second = "second datagram";
    ASSERT_TRUE(pair.sender.SendTo(first.data(), static_cast<std::int32_t>(first.size())));
    ASSERT_TRUE(pair.sender.SendTo(second.data(), static_cast<std::int32_t>(second.size())));
    pair.receiver.Receive(200);
    for (const std::string& expected : {first, second}) {
        CUdpPacket* packet = pair.receiver.PopPacket();
        ASSERT_NE(packet, nullptr);
        EXPECT_EQ(packet->m_dwAddress, 0x7F000001U);
        EXPECT_EQ(packet->m_wPort, pair.sender.GetPort());
        EXPECT_EQ(
            std::string(reinterpret_cast<const char*>(packet->m_pData.get()), packet->m_dwLength),
            expected);
        CUdpSocket::FreePacket(packet);
    }
    EXPECT_EQ(pair.receiver.PopPacket(), nullptr);
}

TEST(UdpSocket, WithoutASocketNothingIsSentOrReceivedAndCloseDropsTheQueue) {
    CUdpSocket idle;
    const char byte = 0;
    EXPECT_FALSE(idle.SendTo(&byte, 1));
    idle.Receive(1);
    EXPECT_EQ(idle.PopPacket(), nullptr);
    CUdpSocket::FreePacket(nullptr);

    Pair pair;
    ASSERT_TRUE(pair.sender.SendTo(&byte, 1));
    pair.receiver.Receive(200);
    pair.receiver.Close();
    EXPECT_FALSE(pair.receiver.IsOpen());
    EXPECT_EQ(pair.receiver.PopPacket(), nullptr);
}

}  // namespace
