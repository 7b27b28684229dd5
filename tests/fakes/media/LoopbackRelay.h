#pragma once
// A minimal relay for tests on loopback: answers hellos and keepalives and forwards every RTP
// and RTCP packet to every other session. No tickets, no subscriptions, no cookies. It tells
// every session that someone may receive its video and audio (with the hello's answer and each
// keepalive's), unless a test says otherwise.

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
    // What the relay tells every session about its audience from now on (sent at once too).
    void SetAudience(bool video, bool audio);
    // RTP packets received of that kind (from any session), and keepalives answered.
    uint64_t RtpReceived(bool video) const { return video ? m_videoRtp : m_audioRtp; }
    uint64_t Keepalives() const { return m_keepalives; }

private:
    void Run();
    int m_fd = -1;
    uint16_t m_port = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<uint64_t> m_forwarded{0};
    std::atomic<uint64_t> m_pli{0};
    std::atomic<uint64_t> m_videoRtp{0};
    std::atomic<uint64_t> m_audioRtp{0};
    std::atomic<uint64_t> m_keepalives{0};
    std::atomic<bool> m_videoAudience{true};
    std::atomic<bool> m_audioAudience{true};
    std::mutex m_mutex;
    std::vector<sockaddr_in> m_peers;
    std::thread m_thread;
};
