#pragma once
// The media relay's sessions and routing, apart from its sockets: who may open a session
// (cookie, ticket, conference, user), what each session receives, and where each RTP and RTCP
// packet goes. What reaches a receiver follows the conference (MediaGate): each sender is told
// whether anyone may receive its streams, so that it sends nothing otherwise. Runs on the
// server's thread; peers carry the packets out.

#include <array>
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
    // The source address a UDP peer claims, which must show that it receives there before a
    // session is bound to it (the hello cookie); empty for a TCP connection, whose handshake
    // showed that already.
    virtual std::string ClaimedAddress() const { return {}; }
};

struct RelayCounters {
    uint64_t forwarded = 0;        // packets queued to receivers
    uint64_t queueDrops = 0;       // packets a full receiver queue did not take
    uint64_t rejected = 0;         // packets dropped as malformed, spoofed or not allowed
    uint64_t plisMade = 0;         // picture loss indications the relay sent after drops
    uint64_t withheld = 0;         // media that nobody may receive now
    uint64_t feedbackRefused = 0;  // reports and feedback from non-receivers, or over the rate
    uint64_t cookiesSent = 0;      // answers to hellos that did not bring the cookie back
};

// What the router holds, for tests and benchmarks that check it is all freed.
struct RelayFootprint {
    size_t sessions = 0;
    size_t subscriptions = 0;  // over all sessions
    size_t streams = 0;        // streams with subscribers
    size_t audiences = 0;      // streams with receivers that may get them
    size_t keyFrameLimits = 0;
    size_t feedbackLimits = 0;
};

class MediaRelayRouter {
public:
    using Clock = std::chrono::steady_clock;

    static constexpr size_t kMaxSubscriptions = 64;  // per session, and per user over all
    static constexpr Clock::duration kIdleLimit = std::chrono::seconds(30);
    static constexpr Clock::duration kPliInterval = std::chrono::seconds(1);
    static constexpr Clock::duration kCookieSlot = std::chrono::seconds(20);
    // Other feedback (NACK above all) from one receiver about one stream.
    static constexpr int64_t kFeedbackPerSecond = 25;
    static constexpr int64_t kFeedbackBurst = 25;

    explicit MediaRelayRouter(MediaGate& gate, std::function<Clock::time_point()> now = Clock::now);
    MediaRelayRouter(const MediaRelayRouter&) = delete;
    MediaRelayRouter& operator=(const MediaRelayRouter&) = delete;

    // A packet from peer (kept while it has a session).
    void OnPacket(const std::shared_ptr<RelayPeer>& peer, const uint8_t* data, size_t length);
    // The peer's connection is gone: its session ends without a word to it.
    void OnPeerGone(const RelayPeer& peer);
    // The user left the conference (logout, loss, kick): its sessions end, and everything
    // that named its streams is let go.
    void EndUser(uint32_t confId, uint16_t userId);
    // Who may receive what in the conference may have changed: every stream's receivers are
    // checked again and senders are told when their audience starts or ends.
    void OnRightsChanged(uint32_t confId);
    // Ends the sessions that have been silent longer than kIdleLimit.
    void Sweep();
    // Ends every session without a word to its peer (the relay restarts).
    void EndAll();

    bool HasSession(const RelayPeer& peer) const { return sessions_.contains(&peer); }
    size_t SessionCount() const { return sessions_.size(); }
    const RelayCounters& Counters() const { return counters_; }
    RelayFootprint Footprint() const;
    // Packets dropped by full queues of the session with this media id.
    uint64_t DropsOf(uint32_t confId, uint16_t mediaId) const;
    // The cookie a hello from address must bring back now (tests play the client's part).
    std::array<uint8_t, relay::kCookieBytes> CookieFor(const std::string& address, uint32_t confId,
                                                       uint16_t mediaId) const;

private:
    using StreamKey = std::tuple<uint32_t, uint16_t, relay::Kind>;  // conference, media id, kind
    struct Bucket {
        int64_t milliTokens = kFeedbackBurst * 1000;
        Clock::time_point last{};
    };
    struct Session {
        std::shared_ptr<RelayPeer> peer;
        uint32_t confId = 0;
        uint16_t mediaId = 0;
        MediaTicket ticket{};
        std::set<std::pair<uint16_t, relay::Kind>> subscriptions;
        std::map<std::pair<uint16_t, relay::Kind>, Bucket> feedback;  // by subscription
        Clock::time_point lastHeard{};
        uint64_t drops = 0;
        bool dropping = false;  // its queue is full: logged once until it takes packets again
        bool audienceSent = false;
        relay::Audience audience;  // as last told
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
    // Whether the session may receive the stream ssrc names (its feedback may reach the owner).
    bool Receives(const Session& session, uint32_t ssrc) const;
    // Queues the packet to each receiver; a full video queue asks the owner for a key frame.
    void Forward(const Session& from, const std::set<const RelayPeer*>& to, const uint8_t* data,
                 size_t length, uint32_t videoSsrc);
    void Deliver(Session& receiver, const RelayPacket& packet, uint32_t confId, uint32_t videoSsrc);
    void RequestKeyFrame(const Session& receiver, uint32_t confId, uint32_t ssrc);
    // At most one key-frame request per stream and second, whoever asks.
    bool KeyFrameRequestAllowed(const StreamKey& stream);
    Session* OwnerOf(uint32_t confId, uint16_t mediaId);
    void EndSession(const RelayPeer* peer, const char* why, bool tellPeer);
    void Unsubscribe(Session& session, const std::pair<uint16_t, relay::Kind>& stream);
    // Recomputes who of the stream's subscribers may receive it.
    void Reconsider(const StreamKey& stream);
    // Tells the owner of mediaId whether anyone may receive its video and audio, when that
    // changed (always when forced).
    void TellAudience(uint32_t confId, uint16_t mediaId, bool force);
    void SendControl(RelayPeer& peer, const relay::Control& control);
    void Reject(const RelayPeer& peer, const char* what);
    bool CookieMatches(const std::string& address, const relay::Hello& hello) const;
    std::array<uint8_t, relay::kCookieBytes> CookieIn(const std::string& address, uint32_t confId,
                                                      uint16_t mediaId, int64_t slot) const;
    int64_t CookieSlot() const;

    MediaGate& gate_;
    std::function<Clock::time_point()> now_;
    std::array<uint8_t, 32> cookieKey_{};
    std::map<const RelayPeer*, Session> sessions_;
    std::map<std::pair<uint32_t, uint16_t>, const RelayPeer*> owners_;  // conference, media id
    std::map<StreamKey, std::set<const RelayPeer*>> subscribers_;
    std::map<StreamKey, std::set<const RelayPeer*>> audience_;  // subscribers that may receive
    std::map<StreamKey, Clock::time_point> lastKeyFrameRequest_;
    RelayCounters counters_;
    RateLimitedLog log_{10, std::chrono::seconds(10)};          // dropped bad packets
    RateLimitedLog overflowLog_{10, std::chrono::seconds(10)};  // receivers that overflow
    RateLimitedLog sessionLog_{20, std::chrono::seconds(10)};   // sessions opened, refused, ended
};

}  // namespace yav::server
