#pragma once
// A small UDP endpoint with one fixed peer and a queue of received datagrams, on POSIX
// sockets and poll. The call statistics use it for their round-trip probes.
//
// Threads: one thread receives (Receive, PopPacket) while another may send (SendTo); Create,
// SetPeer and Close run while no other thread uses the socket.

#include <cstdint>
#include <functional>
#include <memory>

class CUdpPacket {
public:
    // address and port in host order; the data is copied.
    CUdpPacket(std::uint32_t address, std::uint16_t port, const std::uint8_t* data,
               std::uint32_t length);
    virtual ~CUdpPacket() = default;
    CUdpPacket(const CUdpPacket&) = delete;
    CUdpPacket& operator=(const CUdpPacket&) = delete;

    std::uint32_t m_dwAddress = 0;
    std::uint16_t m_wPort = 0;
    std::unique_ptr<std::uint8_t[]> m_pData;
    std::uint32_t m_dwLength = 0;
    // Tick count (ms) when the datagram was read from the socket.
    std::uint32_t m_dwArrivalTick = 0;
    CUdpPacket* m_pNext = nullptr;
};

class CUdpSocket {
public:
    static constexpr int kReceiveBufferBytes = 4096;
    static constexpr int kMaxPacketsPerReceive = 21;
    static constexpr int kBindAttempts = 100;
    static constexpr int kSocketBufferBytes = 0xF00000;

    CUdpSocket() = default;
    virtual ~CUdpSocket();
    CUdpSocket(const CUdpSocket&) = delete;
    CUdpSocket& operator=(const CUdpSocket&) = delete;

    // Binds the first free port of firstPort, firstPort + 1, ... (100 tries, 16-bit wrap) and
    // returns it; port 0 takes one the system chooses. 0 on failure.
    std::uint16_t Create(std::uint16_t firstPort);
    // The peer: a dotted IPv4 address and a port. Anything else leaves no peer (logged once
    // per socket) and returns false; SendTo then sends nothing.
    bool SetPeer(const char* address, std::uint16_t port);
    bool HasPeer() const { return m_bHasPeer; }
    // One datagram to the peer; false without a socket, without a peer or when it failed.
    bool SendTo(const void* data, std::int32_t length);
    // Queues the datagrams that arrive, waiting up to waitMs (100 us when 0) for each, at most
    // 21 per call.
    void Receive(std::uint32_t waitMs);
    // The oldest queued datagram (the caller owns it), or null.
    CUdpPacket* PopPacket();
    static void FreePacket(CUdpPacket* packet) { delete packet; }
    // Closes the socket and drops the queue.
    void Close();
    bool IsOpen() const { return m_socket >= 0; }
    // The bound port (host order), 0 without a socket.
    std::uint16_t GetPort() const;
    // The clock that stamps arriving datagrams (ms; the steady clock by default).
    void SetTickSource(std::function<std::uint32_t()> source) { m_tickSource = std::move(source); }

private:
    std::uint32_t NowTick() const;

    int m_socket = -1;
    std::uint8_t m_buffer[kReceiveBufferBytes] = {};
    std::uint32_t m_dwPeerAddress = 0;  // network order
    std::uint16_t m_wPeerPort = 0;      // network order
    bool m_bHasPeer = false;
    bool m_bPeerFailureLogged = false;
    CUdpPacket* m_pHead = nullptr;
    CUdpPacket* m_pTail = nullptr;
    std::function<std::uint32_t()> m_tickSource;
};
