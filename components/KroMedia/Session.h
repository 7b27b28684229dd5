#pragma once
// One channel object's session with the media relay: one socket (UDP, or TCP with RFC 4571
// frames) that carries the hello, subscriptions, keepalives and the channel's RTP and RTCP.

#include <array>
#include <cstdint>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "RelayWire.h"

typedef struct _GSocket GSocket;
typedef struct _GSource GSource;

namespace kromedia {

class RelaySession {
public:
    struct Events {
        std::function<void(int)> serverConnected;  // hello answered (1) or not (0)
        std::function<void(int)> streamConnected;  // media path works both ways (1) or not (0)
        std::function<void(const uint8_t*, size_t, bool rtcp)> media;
        // The relay says whether anyone may receive the channel's video and audio now.
        std::function<void(const relay::Audience&)> audience;
    };

    explicit RelaySession(Events events);
    ~RelaySession();
    RelaySession(const RelaySession&) = delete;
    RelaySession& operator=(const RelaySession&) = delete;

    // Connects and says hello; answers arrive through the events on the component's thread.
    void Start(const std::string& address, uint16_t port, bool tcp,
               const std::array<uint8_t, relay::kTicketBytes>& ticket, uint32_t conferenceId,
               uint16_t mediaId);
    // Says bye and closes; returns once no event runs.
    void Stop();

    void Subscribe(uint16_t mediaId, relay::Kind kind, bool on);
    // Whether the channel asked for that stream (and has not stopped it since).
    bool IsSubscribed(uint16_t mediaId, relay::Kind kind) const;
    // Sends an RTP or RTCP packet (any thread); dropped while not connected.
    void SendMedia(const uint8_t* data, size_t length);
    bool IsAccepted() const;

private:
    void SendRaw(const uint8_t* data, size_t length);
    void SendControl(const relay::Control& control);
    void OnReadable();
    void OnPacket(const uint8_t* data, size_t length);
    void OnTick();
    void CloseOnLoop();

    Events m_events;
    mutable std::mutex m_mutex;  // socket sends, flags, subscriptions
    GSocket* m_socket = nullptr;
    GSource* m_readSource = nullptr;
    GSource* m_timer = nullptr;
    bool m_tcp = false;
    bool m_accepted = false;
    bool m_streamUp = false;
    int m_helloTries = 0;
    int m_silentTicks = 0;
    relay::Control m_hello;
    relay::Deframer4571 m_deframer;
    std::set<std::pair<uint16_t, relay::Kind>> m_subscriptions;
};

}  // namespace kromedia
