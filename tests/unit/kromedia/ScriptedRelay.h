#pragma once
// A relay for tests on loopback, UDP and TCP on one port, that a test can misbehave: it answers
// hellos and keepalives (a UDP hello only with the cookie it gave to that address, and telling
// every session that everybody may receive it), keeps each media id's session and subscriptions and
// forwards RTP and RTCP to the sessions subscribed to that media id and kind (never back). A test
// can make it fall silent, restart it (every session and TCP connection forgotten, the port kept),
// or stop it reading its TCP connections.

#include <netinet/in.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <thread>
#include <utility>
#include <vector>

#include "components/KroMedia/RelayWire.h"

class ScriptedRelay {
public:
    ScriptedRelay();
    ~ScriptedRelay();
    ScriptedRelay(const ScriptedRelay&) = delete;
    ScriptedRelay& operator=(const ScriptedRelay&) = delete;

    uint16_t Port() const { return m_port; }

    // Nothing is answered or forwarded while silent; packets are still read and counted.
    void SetSilent(bool silent);
    // Hellos are refused (wrong ticket) while set.
    void SetRefusing(bool refusing);
    // While set, RTP goes to every other session, subscribed or not.
    void SetForwardingAll(bool all);
    // Forgets every session and subscription, closes every TCP connection and gives new
    // cookies from then on.
    void Restart();
    // TCP connections are not read while off: their buffers fill up.
    void SetReadingTcp(bool reading);

    // Whether mediaId has a session, and over which transport.
    bool HasSession(uint16_t mediaId, bool tcp);
    std::set<std::pair<uint16_t, kromedia::relay::Kind>> SubscriptionsOf(uint16_t mediaId);
    int Hellos(uint16_t mediaId);
    // RTP and RTCP packets a session sent, and their sizes in order.
    std::vector<size_t> MediaSizesFrom(uint16_t mediaId);
    // TCP streams that carried a zero or oversized frame length (half a frame, say).
    int BadStreams();
    int TcpConnectionsAccepted();

private:
    struct Connection {
        int fd = -1;
        kromedia::relay::Deframer4571 deframer;
    };
    struct Session {
        bool tcp = false;
        sockaddr_in udp{};
        int fd = -1;
        std::set<std::pair<uint16_t, kromedia::relay::Kind>> subscriptions;
    };

    void Run();
    void OnPacket(const uint8_t* data, size_t size, const sockaddr_in* from, int fd);
    void SendTo(const Session& session, const uint8_t* data, size_t size);
    void Answer(const uint8_t* data, size_t size, const sockaddr_in* from, int fd);
    void TellAudience(const Session& session);            // m_mutex held
    uint16_t SessionOf(const sockaddr_in* from, int fd);  // 0 when none; m_mutex held
    std::array<uint8_t, kromedia::relay::kCookieBytes> CookieFor(const sockaddr_in& from,
                                                                 uint16_t mediaId) const;
    void CloseConnection(int fd);  // m_mutex held

    int m_udp = -1;
    int m_listener = -1;
    int m_wake[2] = {-1, -1};
    uint16_t m_port = 0;
    std::atomic<bool> m_stop{false};
    std::mutex m_mutex;
    bool m_silent = false;
    bool m_refusing = false;
    bool m_forwardingAll = false;
    uint32_t m_cookieKey = 1;
    bool m_readingTcp = true;
    int m_badStreams = 0;
    int m_accepted = 0;
    std::map<int, std::unique_ptr<Connection>> m_connections;
    std::map<uint16_t, Session> m_sessions;
    std::map<uint16_t, int> m_hellos;
    std::map<uint16_t, std::vector<size_t>> m_mediaSizes;
    std::thread m_thread;
};
