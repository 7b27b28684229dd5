#pragma once
// A minimal relay for tests on loopback: answers hellos and keepalives and forwards every RTP
// and RTCP packet to every other session. No tickets, no subscriptions.

#include <netinet/in.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

class LoopbackRelay {
public:
    LoopbackRelay();
    ~LoopbackRelay();
    uint16_t Port() const { return m_port; }
    int Sessions();
    uint64_t Forwarded() const { return m_forwarded; }
    // RTCP picture-loss indications seen from any session.
    uint64_t PictureLossRequests() const { return m_pli; }

private:
    void Run();
    int m_fd = -1;
    uint16_t m_port = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<uint64_t> m_forwarded{0};
    std::atomic<uint64_t> m_pli{0};
    std::mutex m_mutex;
    std::vector<sockaddr_in> m_peers;
    std::thread m_thread;
};
