#pragma once
// The media relay's sessions and routing, apart from its sockets: who may open a session
// (ticket, conference, user), what each session receives, and where each RTP and RTCP packet
// goes. Runs on the server's thread; peers carry the packets out.

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "MediaGate.h"
#include "MediaRelayWire.h"
#include "RateLimitedLog.h"

namespace yav::server {

using RelayPacket = std::shared_ptr<const std::vector<uint8_t>>;

// One way back to a client: its UDP address or its TCP connection, with a bounded queue.
class RelayPeer {
public:
    virtual ~RelayPeer() = default;
    // Queues a packet; false when the queue is full and the packet is dropped.
    virtual bool Send(const RelayPacket& packet) = 0;
    // Its session ended (bye, leave, kick, replaced, silent): a TCP connection closes.
    virtual void End() = 0;
    virtual std::string Name() const = 0;
};

struct RelayCounters {
    uint64_t forwarded = 0;   // packets queued to receivers
    uint64_t queueDrops = 0;  // packets a full receiver queue did not take
    uint64_t rejected = 0;    // packets dropped as malformed, spoofed or not allowed
    uint64_t plisMade = 0;    // picture loss indications the relay sent after drops
};

class MediaRelayRouter {
public:
    using Clock = std::chrono::steady_clock;

    static constexpr size_t kMaxSubscriptions = 64;  // per session
    static constexpr Clock::duration kIdleLimit = std::chrono::seconds(30);
    static constexpr Clock::duration kPliInterval = std::chrono::seconds(1);

    explicit MediaRelayRouter(MediaGate& gate, std::function<Clock::time_point()> now = Clock::now);
    MediaRelayRouter(const MediaRelayRouter&) = delete;
    MediaRelayRouter& operator=(const MediaRelayRouter&) = delete;

    // A packet from peer (kept while it has a session).
    void OnPacket(const std::shared_ptr<RelayPeer>& peer, const uint8_t* data, size_t length);
    // The peer's connection is gone: its session ends without a word to it.
    void OnPeerGone(const RelayPeer& peer);
    // The user left the conference (logout, loss, kick): its sessions end.
    void EndUser(uint32_t confId, uint16_t userId);
    // Ends the sessions that have been silent longer than kIdleLimit.
    void Sweep();
    // Ends every session without a word to its peer (the relay restarts).
    void EndAll();

    bool HasSession(const RelayPeer& peer) const { return sessions_.contains(&peer); }
    size_t SessionCount() const { return sessions_.size(); }
    const RelayCounters& Counters() const { return counters_; }
    // Packets dropped by full queues of the session with this media id.
    uint64_t DropsOf(uint32_t confId, uint16_t mediaId) const;

private:
    using StreamKey = std::tuple<uint32_t, uint16_t, relay::Kind>;  // conference, media id, kind
    struct Session {
        std::shared_ptr<RelayPeer> peer;
        uint32_t confId = 0;
        uint16_t mediaId = 0;
        MediaTicket ticket{};
        std::set<std::pair<uint16_t, relay::Kind>> subscriptions;
        Clock::time_point lastHeard{};
        uint64_t drops = 0;
        bool dropping = false;  // its queue is full: logged once until it takes packets again
    };

    void OnControl(const std::shared_ptr<RelayPeer>& peer, Session* session,
                   const relay::Control& control);
    void OnHello(const std::shared_ptr<RelayPeer>& peer, Session* session,
                 const relay::Hello& hello);
    void OnSubscribe(Session& session, const relay::Subscribe& subscribe);
    void OnRtp(Session& session, const uint8_t* data, size_t length);
    void OnRtcp(Session& session, const uint8_t* data, size_t length);
    // Whether ssrc is one of the session's own (logged and counted when not).
    bool OwnSsrc(const Session& session, uint32_t ssrc);
    // Queues the packet to each receiver; a full video queue asks the owner for a key frame.
    void Forward(const Session& from, const std::set<const RelayPeer*>& to, const uint8_t* data,
                 size_t length, uint32_t videoSsrc);
    void RequestKeyFrame(const Session& receiver, uint32_t confId, uint32_t ssrc);
    Session* OwnerOf(uint32_t confId, uint16_t mediaId);
    void EndSession(const RelayPeer* peer, const char* why, bool tellPeer);
    void SendControl(RelayPeer& peer, const relay::Control& control);
    void Reject(const RelayPeer& peer, const char* what);

    MediaGate& gate_;
    std::function<Clock::time_point()> now_;
    std::map<const RelayPeer*, Session> sessions_;
    std::map<std::pair<uint32_t, uint16_t>, const RelayPeer*> owners_;  // conference, media id
    std::map<StreamKey, std::set<const RelayPeer*>> subscribers_;
    std::map<std::pair<uint32_t, uint32_t>, Clock::time_point> lastPli_;  // conference, SSRC
    RelayCounters counters_;
    RateLimitedLog log_{10, std::chrono::seconds(10)};          // dropped bad packets
    RateLimitedLog overflowLog_{10, std::chrono::seconds(10)};  // receivers that overflow
};

}  // namespace yav::server
