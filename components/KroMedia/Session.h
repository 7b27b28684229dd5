#pragma once
// One channel object's session with the media relay: one socket (UDP, or TCP with RFC 4571
// frames) that carries the hello, subscriptions, keepalives and the channel's RTP and RTCP.
// Everything that waits on the network runs on the component's loop thread and never blocks
// it: the TCP connect completes there, a stream's bytes drain there from a bounded queue, and
// a session whose relay stops answering says hello again, with a back-off, until it is back.

#include <array>
#include <cstdint>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "FrameQueue.h"
#include "ReconnectBackoff.h"
#include "RelayWire.h"

typedef struct _GSocket GSocket;
typedef struct _GSource GSource;

namespace kromedia {

class RelaySession {
public:
    // Each reports a change of its state only (a second "connected" in a row is not told).
    struct Events {
        std::function<void(int)> serverConnected;  // hello answered (1), refused or unanswered (0)
        std::function<void(int)> streamConnected;  // media path works both ways (1) or not (0)
        std::function<void(const uint8_t*, size_t, bool rtcp)> media;
        // The relay says whether anyone may receive the channel's video and audio now.
        std::function<void(const relay::Audience&)> audience;
    };

    explicit RelaySession(Events events);
    ~RelaySession();
    RelaySession(const RelaySession&) = delete;
    RelaySession& operator=(const RelaySession&) = delete;

    // Connects and says hello; returns at once, answers arrive through the events on the
    // component's thread. The subscriptions made so far carry over.
    void Start(const std::string& address, uint16_t port, bool tcp,
               const std::array<uint8_t, relay::kTicketBytes>& ticket, uint32_t conferenceId,
               uint16_t mediaId);
    // Says bye, closes and forgets the subscriptions; returns once no event runs.
    void Stop();
    // Moves a started session to TCP or UDP now (a new hello on a new socket, subscriptions
    // kept); only remembered while the session is stopped.
    void UseTcp(bool tcp);

    void Subscribe(uint16_t mediaId, relay::Kind kind, bool on);
    bool IsSubscribed(uint16_t mediaId, relay::Kind kind) const;
    // Sends an RTP or RTCP packet (any thread, never waits); dropped while not connected or,
    // over TCP, while the stream's queue is full.
    void SendMedia(const uint8_t* data, size_t length);
    bool IsAccepted() const;
    // Packets a full TCP queue refused so far.
    uint64_t QueueDrops() const;

private:
    enum class Phase {
        Idle,        // not started, or refused for good
        Waiting,     // between two tries, no socket
        Connecting,  // TCP connect under way
        Hello,       // connected, saying hello
        Up,          // the relay took the session
    };

    void OpenAttempt();
    void OnConnected();
    void FailAttempt();
    void LoseSession();
    void CloseSocket(bool sayBye);
    void WaitBeforeRetry();
    void ReportServer(int connected);
    void ReportStream(bool up);
    void SendHello();
    void OnHelloAck(const relay::Control& answer);
    void OnCookie(const relay::Control& cookie);
    bool SayingHello() const;
    void SendRaw(const uint8_t* data, size_t length, bool control);  // m_mutex held
    void SendControl(const relay::Control& control);
    bool DrainLocked();  // m_mutex held; false when the stream failed
    void ArmWriterLocked();
    void OnWritable();
    void OnReadable();
    void OnPacket(const uint8_t* data, size_t length);
    void OnTick();

    Events m_events;

    // Loop thread only.
    Phase m_phase = Phase::Idle;
    std::string m_address;
    uint16_t m_port = 0;
    relay::Control m_hello;
    int m_attemptTicks = 0;
    int m_waitTicks = 0;
    bool m_rehello = false;  // a hello was said again on a session that went silent
    int m_reportedServer = -1;
    bool m_streamUp = false;
    GSource* m_readSource = nullptr;
    GSource* m_connectSource = nullptr;
    GSource* m_timer = nullptr;
    relay::Deframer4571 m_deframer;
    ReconnectBackoff m_backoff;

    mutable std::mutex m_mutex;  // the socket, its sends and queue, flags, subscriptions
    GSocket* m_socket = nullptr;
    GSource* m_writeSource = nullptr;
    bool m_tcp = false;
    bool m_connected = false;  // the socket may carry packets
    bool m_accepted = false;
    int m_silentTicks = 0;
    FrameQueue m_queue;
    std::set<std::pair<uint16_t, relay::Kind>> m_subscriptions;
};

}  // namespace kromedia
