#include "MediaRelayRouter.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <openssl/rand.h>

#include <algorithm>

#include "ST_USER_ITEM_DEPT.h"
#include "platform/core/Log.h"

namespace yav::server {

using relay::Kind;

namespace {

constexpr size_t kMaxReportBlocks = 31;  // what the 5-bit count of a report can hold
constexpr uint16_t kChannelsPerUser = 8;

uint32_t GetU32Be(const uint8_t* p) {
    return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
           (static_cast<uint32_t>(p[2]) << 8) | static_cast<uint32_t>(p[3]);
}

// " (N lines held back before)" when some were, else nothing.
std::string HeldBack(uint64_t held) {
    return held == 0 ? std::string()
                     : " (" + std::to_string(held) + " lines like it held back before)";
}

}  // namespace

MediaRelayRouter::MediaRelayRouter(MediaGate& gate, std::function<Clock::time_point()> now)
    : gate_(gate), now_(std::move(now)) {
    // The cookie key never leaves the process: nobody can make a cookie for an address where
    // it does not receive.
    if (RAND_bytes(cookieKey_.data(), static_cast<int>(cookieKey_.size())) != 1) {
        YLOG_ERROR("media relay: no random bytes for the hello cookie key");
    }
}

void MediaRelayRouter::OnPacket(const std::shared_ptr<RelayPeer>& peer, const uint8_t* data,
                                size_t length) {
    auto it = sessions_.find(peer.get());
    Session* session = it == sessions_.end() ? nullptr : &it->second;
    switch (relay::Classify(data, length)) {
        case relay::PacketClass::Control: {
            const auto control = relay::Decode(data, length);
            if (!control) {
                return Reject(*peer, "malformed control packet");
            }
            return OnControl(peer, session, *control);
        }
        case relay::PacketClass::Rtp:
            if (!session) {
                return Reject(*peer, "RTP without a session");
            }
            return OnRtp(*session, data, length);
        case relay::PacketClass::Rtcp:
            if (!session) {
                return Reject(*peer, "RTCP without a session");
            }
            return OnRtcp(*session, data, length);
        case relay::PacketClass::Invalid:
            return Reject(*peer, "unrecognised packet");
    }
}

void MediaRelayRouter::OnControl(const std::shared_ptr<RelayPeer>& peer, Session* session,
                                 const relay::Control& control) {
    if (control.type == relay::Type::Hello) {
        return OnHello(peer, session, control.hello);
    }
    if (!session) {
        return Reject(*peer, "control packet without a session");
    }
    switch (control.type) {
        case relay::Type::Subscribe:
            session->lastHeard = now_();
            return OnSubscribe(*session, control.subscribe);
        case relay::Type::Keepalive: {
            session->lastHeard = now_();
            relay::Control answer;
            answer.type = relay::Type::Keepalive;
            SendControl(*peer, answer);
            // A lost word about the audience is made good within a keepalive.
            return TellAudience(session->confId, session->mediaId, true);
        }
        case relay::Type::Bye:
            return EndSession(peer.get(), "said bye", true);
        default:
            return Reject(*peer, "relay-only control packet");
    }
}

void MediaRelayRouter::OnHello(const std::shared_ptr<RelayPeer>& peer, Session* session,
                               const relay::Hello& hello) {
    relay::Control answer;
    answer.type = relay::Type::HelloAck;
    answer.ackMediaId = hello.mediaId;
    if (session) {
        // A repeated hello (our answer was lost) is answered again; another identity on the
        // same address or connection is not taken.
        if (session->confId != hello.conferenceId || session->mediaId != hello.mediaId ||
            session->ticket != hello.ticket) {
            return Reject(*peer, "hello for another session");
        }
        session->lastHeard = now_();
        answer.result = relay::HelloResult::Ok;
        return SendControl(*peer, answer);
    }
    // A UDP source address can be forged: it gets a cookie, smaller than the hello, and
    // nothing else until the cookie comes back from there. Nothing is looked up before.
    const std::string address = peer->ClaimedAddress();
    if (!address.empty() && !CookieMatches(address, hello)) {
        relay::Control cookie;
        cookie.type = relay::Type::Cookie;
        cookie.cookieMediaId = hello.mediaId;
        cookie.cookie = CookieIn(address, hello.conferenceId, hello.mediaId, CookieSlot());
        ++counters_.cookiesSent;
        return SendControl(*peer, cookie);
    }
    const relay::HelloResult result = gate_.Admit(hello.ticket, hello.conferenceId, hello.mediaId);
    if (result != relay::HelloResult::Ok) {
        Reject(*peer, result == relay::HelloResult::BadTicket ? "hello with a wrong ticket"
                      : result == relay::HelloResult::NotInConference
                          ? "hello for a user not in that conference"
                          : "hello for another participant's media id");
        // One answer for every refusal: nobody learns who is in a conference by asking.
        answer.result = relay::HelloResult::BadTicket;
        SendControl(*peer, answer);
        peer->End();  // a TCP connection has nothing more to do
        return;
    }
    // A channel that says hello again from elsewhere (a new socket) replaces its old session.
    if (auto old = owners_.find({hello.conferenceId, hello.mediaId}); old != owners_.end()) {
        EndSession(old->second, "replaced by a new hello", true);
    }
    Session& added = sessions_[peer.get()];
    added.peer = peer;
    added.confId = hello.conferenceId;
    added.mediaId = hello.mediaId;
    added.ticket = hello.ticket;
    added.lastHeard = now_();
    owners_[{added.confId, added.mediaId}] = peer.get();
    uint64_t held = 0;
    if (sessionLog_.Allow(now_(), &held)) {
        YLOG_INFO("media relay: media id %u of conference %u on %s%s", added.mediaId, added.confId,
                  peer->Name().c_str(), HeldBack(held).c_str());
    }
    answer.result = relay::HelloResult::Ok;
    SendControl(*peer, answer);
    TellAudience(added.confId, added.mediaId, true);
}

void MediaRelayRouter::OnSubscribe(Session& session, const relay::Subscribe& subscribe) {
    const std::pair<uint16_t, Kind> stream{subscribe.mediaId, subscribe.kind};
    const StreamKey key{session.confId, subscribe.mediaId, subscribe.kind};
    if (!subscribe.on) {
        if (session.subscriptions.contains(stream)) {
            Unsubscribe(session, stream);
            Reconsider(key);
            TellAudience(session.confId, subscribe.mediaId, false);
        }
        return;
    }
    if (session.subscriptions.contains(stream)) {
        return;
    }
    // A user's channels together hold no more subscriptions than one channel may.
    size_t held = 0;
    const uint16_t user = ::UserOf(session.mediaId);
    for (uint16_t channel = 0; channel < kChannelsPerUser; ++channel) {
        if (Session* mine = OwnerOf(session.confId, static_cast<uint16_t>(user + channel))) {
            held += mine->subscriptions.size();
        }
    }
    if (session.subscriptions.size() >= kMaxSubscriptions || held >= kMaxSubscriptions) {
        return Reject(*session.peer, "subscription past the limit");
    }
    session.subscriptions.insert(stream);
    subscribers_[key].insert(session.peer.get());
    Reconsider(key);
    TellAudience(session.confId, subscribe.mediaId, false);
}

void MediaRelayRouter::Unsubscribe(Session& session, const std::pair<uint16_t, Kind>& stream) {
    session.subscriptions.erase(stream);
    session.feedback.erase(stream);
    const StreamKey key{session.confId, stream.first, stream.second};
    if (auto it = subscribers_.find(key); it != subscribers_.end()) {
        it->second.erase(session.peer.get());
        if (it->second.empty()) {
            subscribers_.erase(it);
        }
    }
}

void MediaRelayRouter::Reconsider(const StreamKey& stream) {
    const auto& [confId, mediaId, kind] = stream;
    std::set<const RelayPeer*> allowed;
    if (auto subs = subscribers_.find(stream); subs != subscribers_.end()) {
        for (const RelayPeer* peer : subs->second) {
            auto receiver = sessions_.find(peer);
            if (receiver != sessions_.end() &&
                ::UserOf(receiver->second.mediaId) != ::UserOf(mediaId) &&
                gate_.MayReceive(confId, mediaId, kind, receiver->second.mediaId)) {
                allowed.insert(peer);
            }
        }
    }
    if (allowed.empty()) {
        audience_.erase(stream);
    } else {
        audience_[stream] = std::move(allowed);
    }
}

void MediaRelayRouter::TellAudience(uint32_t confId, uint16_t mediaId, bool force) {
    Session* owner = OwnerOf(confId, mediaId);
    if (!owner) {
        return;
    }
    const relay::Audience now{audience_.contains({confId, mediaId, Kind::Video}),
                              audience_.contains({confId, mediaId, Kind::Audio})};
    if (!force && owner->audienceSent && now.video == owner->audience.video &&
        now.audio == owner->audience.audio) {
        return;
    }
    owner->audience = now;
    owner->audienceSent = true;
    relay::Control control;
    control.type = relay::Type::Audience;
    control.audience = now;
    SendControl(*owner->peer, control);
}

void MediaRelayRouter::OnRightsChanged(uint32_t confId) {
    const StreamKey first{confId, 0, static_cast<Kind>(0)};
    for (auto it = subscribers_.lower_bound(first);
         it != subscribers_.end() && std::get<0>(it->first) == confId; ++it) {
        Reconsider(it->first);
    }
    for (auto it = owners_.lower_bound({confId, 0});
         it != owners_.end() && it->first.first == confId;) {
        const uint16_t mediaId = (it++)->first.second;  // telling may not end a session
        TellAudience(confId, mediaId, false);
    }
}

bool MediaRelayRouter::OwnSsrc(const Session& session, uint32_t ssrc) {
    const auto parsed = relay::ParseSsrc(ssrc);
    if (!parsed || parsed->first != session.mediaId) {
        Reject(*session.peer, "SSRC of another media id");
        return false;
    }
    return true;
}

bool MediaRelayRouter::Receives(const Session& session, uint32_t ssrc) const {
    const auto named = relay::ParseSsrc(ssrc);
    if (!named) {
        return false;
    }
    auto it = audience_.find({session.confId, named->first, named->second});
    return it != audience_.end() && it->second.contains(session.peer.get());
}

void MediaRelayRouter::OnRtp(Session& session, const uint8_t* data, size_t length) {
    if (!relay::RtpHeaderFits(data, length)) {
        return Reject(*session.peer, "RTP header longer than its packet");
    }
    const uint32_t ssrc = *relay::SenderSsrc(data, length);
    if (!OwnSsrc(session, ssrc)) {
        return;
    }
    session.lastHeard = now_();
    const Kind kind = relay::ParseSsrc(ssrc)->second;
    if (!gate_.MaySend(session.confId, session.mediaId, kind)) {
        return Reject(*session.peer, "media on a channel that is not open");
    }
    // Nobody may receive it now (the sender was told; this one was on its way).
    auto it = audience_.find({session.confId, session.mediaId, kind});
    if (it == audience_.end()) {
        ++counters_.withheld;
        return;
    }
    Forward(session, it->second, data, length, kind == Kind::Video ? ssrc : 0);
}

void MediaRelayRouter::OnRtcp(Session& session, const uint8_t* data, size_t length) {
    const auto parts = relay::SplitRtcp(data, length);
    if (!parts) {
        return Reject(*session.peer, "RTCP whose lengths do not add up");
    }
    for (const relay::RtcpPart& part : *parts) {
        if (part.hasSender && !OwnSsrc(session, part.sender)) {
            return;
        }
    }
    session.lastHeard = now_();
    // Each destination gets a compound of its own with only what concerns it: the sender
    // report to the stream's receivers, report blocks and feedback to the owner of the stream
    // they name, and those only while this session may receive that stream.
    struct Out {
        const uint8_t* senderReport = nullptr;
        std::vector<uint8_t> blocks;
        std::vector<uint8_t> feedback;
    };
    std::map<const RelayPeer*, Out> out;
    std::vector<uint8_t> trailer;  // SDES and BYE go with each
    uint32_t reporter = relay::SsrcFor(session.mediaId, Kind::Video);
    bool reporterSet = false;
    for (const relay::RtcpPart& part : *parts) {
        const uint8_t* p = data + part.offset;
        if (part.hasSender && !reporterSet) {
            reporter = part.sender;
            reporterSet = true;
        }
        switch (part.type) {
            case 200:
            case 201: {
                if (part.type == 200) {
                    const Kind kind = relay::ParseSsrc(part.sender)->second;
                    if (auto it = audience_.find({session.confId, session.mediaId, kind});
                        it != audience_.end()) {
                        for (const RelayPeer* receiver : it->second) {
                            out[receiver].senderReport = p;
                        }
                    }
                }
                const uint8_t* blocks = p + relay::ReportBlocksAt(part.type);
                for (size_t i = 0; i < part.count; ++i) {
                    const uint8_t* block = blocks + i * relay::kReportBlockBytes;
                    const uint32_t about = GetU32Be(block);
                    Session* owner = nullptr;
                    if (Receives(session, about)) {
                        owner = OwnerOf(session.confId, relay::ParseSsrc(about)->first);
                    } else {
                        ++counters_.feedbackRefused;
                    }
                    if (owner) {
                        auto& to = out[owner->peer.get()].blocks;
                        to.insert(to.end(), block, block + relay::kReportBlockBytes);
                    }
                }
                break;
            }
            case 202:
            case 203:
                trailer.insert(trailer.end(), p, p + part.size);
                break;
            case relay::kRtpFeedback:
            case relay::kPayloadFeedback: {
                if (!Receives(session, part.media)) {
                    ++counters_.feedbackRefused;
                    break;
                }
                const auto named = *relay::ParseSsrc(part.media);
                Session* owner = OwnerOf(session.confId, named.first);
                if (!owner) {
                    break;
                }
                const bool keyFrame =
                    part.type == relay::kPayloadFeedback &&
                    (part.count == relay::kFmtPli || part.count == relay::kFmtFir);
                bool allowed = false;
                if (keyFrame) {
                    allowed = KeyFrameRequestAllowed({session.confId, named.first, named.second});
                } else {
                    Bucket& bucket = session.feedback[named];
                    const auto now = now_();
                    const int64_t elapsedMs =
                        std::chrono::duration_cast<std::chrono::milliseconds>(now - bucket.last)
                            .count();
                    bucket.milliTokens =
                        std::min(kFeedbackBurst * 1000,
                                 bucket.milliTokens + std::max<int64_t>(elapsedMs, 0) *
                                                          kFeedbackPerSecond);
                    bucket.last = now;
                    allowed = bucket.milliTokens >= 1000;
                    if (allowed) {
                        bucket.milliTokens -= 1000;
                    }
                }
                if (!allowed) {
                    ++counters_.feedbackRefused;
                    break;
                }
                auto& to = out[owner->peer.get()].feedback;
                to.insert(to.end(), p, p + part.size);
                break;
            }
            default:
                break;  // APP and XR: nothing of ours sends them, and nobody gets them
        }
    }
    for (auto& [peer, what] : out) {
        auto receiver = sessions_.find(peer);
        if (receiver == sessions_.end()) {
            continue;
        }
        const size_t blocks =
            std::min(what.blocks.size() / relay::kReportBlockBytes, kMaxReportBlocks);
        const size_t head = what.senderReport != nullptr ? 28 : 8;
        const size_t reportSize = head + blocks * relay::kReportBlockBytes;
        auto packet = std::make_shared<std::vector<uint8_t>>();
        packet->reserve(reportSize + trailer.size() + what.feedback.size());
        packet->push_back(static_cast<uint8_t>(0x80 | blocks));
        packet->push_back(what.senderReport != nullptr ? 200 : 201);
        packet->push_back(static_cast<uint8_t>((reportSize / 4 - 1) >> 8));
        packet->push_back(static_cast<uint8_t>(reportSize / 4 - 1));
        if (what.senderReport != nullptr) {
            packet->insert(packet->end(), what.senderReport + 4, what.senderReport + 28);
        } else {
            for (int shift = 24; shift >= 0; shift -= 8) {
                packet->push_back(static_cast<uint8_t>(reporter >> shift));
            }
        }
        packet->insert(
            packet->end(), what.blocks.begin(),
            what.blocks.begin() + static_cast<std::ptrdiff_t>(blocks * relay::kReportBlockBytes));
        packet->insert(packet->end(), trailer.begin(), trailer.end());
        packet->insert(packet->end(), what.feedback.begin(), what.feedback.end());
        if (packet->size() <= relay::kMaxPacket) {
            Deliver(receiver->second, packet, session.confId, 0);
        }
    }
}

void MediaRelayRouter::Forward(const Session& from, const std::set<const RelayPeer*>& to,
                               const uint8_t* data, size_t length, uint32_t videoSsrc) {
    RelayPacket packet;
    const uint16_t senderUser = ::UserOf(from.mediaId);
    for (const RelayPeer* target : to) {
        auto it = sessions_.find(target);
        // Never back to the sender: none of its user's own channels gets its media.
        if (it == sessions_.end() || ::UserOf(it->second.mediaId) == senderUser) {
            continue;
        }
        if (!packet) {
            packet = std::make_shared<const std::vector<uint8_t>>(data, data + length);
        }
        Deliver(it->second, packet, from.confId, videoSsrc);
    }
}

void MediaRelayRouter::Deliver(Session& receiver, const RelayPacket& packet, uint32_t confId,
                               uint32_t videoSsrc) {
    if (receiver.peer->Send(packet)) {
        ++counters_.forwarded;
        receiver.dropping = false;
        return;
    }
    ++counters_.queueDrops;
    ++receiver.drops;
    uint64_t unlogged = 0;
    if (!receiver.dropping && overflowLog_.Allow(now_(), &unlogged)) {
        YLOG_WARN("media relay: %s (media id %u) does not keep up, dropping packets for it",
                  receiver.peer->Name().c_str(), receiver.mediaId);
    }
    receiver.dropping = true;
    if (videoSsrc != 0) {
        RequestKeyFrame(receiver, confId, videoSsrc);
    }
}

void MediaRelayRouter::RequestKeyFrame(const Session& receiver, uint32_t confId, uint32_t ssrc) {
    // The receiver lost part of a picture: the owner is asked for a new key frame, at most
    // once a second per stream whatever the number of receivers that lost it.
    const auto named = relay::ParseSsrc(ssrc);
    Session* owner = named ? OwnerOf(confId, named->first) : nullptr;
    if (!owner || !KeyFrameRequestAllowed({confId, named->first, named->second})) {
        return;
    }
    const auto pli = relay::MakePli(relay::SsrcFor(receiver.mediaId, Kind::Video), ssrc);
    if (owner->peer->Send(std::make_shared<const std::vector<uint8_t>>(pli))) {
        ++counters_.plisMade;
    }
}

bool MediaRelayRouter::KeyFrameRequestAllowed(const StreamKey& stream) {
    const auto now = now_();
    auto& last = lastKeyFrameRequest_[stream];
    if (last != Clock::time_point{} && now - last < kPliInterval) {
        return false;
    }
    last = now;
    return true;
}

MediaRelayRouter::Session* MediaRelayRouter::OwnerOf(uint32_t confId, uint16_t mediaId) {
    auto it = owners_.find({confId, mediaId});
    if (it == owners_.end()) {
        return nullptr;
    }
    auto session = sessions_.find(it->second);
    return session == sessions_.end() ? nullptr : &session->second;
}

void MediaRelayRouter::OnPeerGone(const RelayPeer& peer) {
    if (sessions_.contains(&peer)) {
        EndSession(&peer, "connection closed", false);
    }
}

void MediaRelayRouter::EndUser(uint32_t confId, uint16_t userId) {
    std::vector<const RelayPeer*> ending;
    for (const auto& [peer, session] : sessions_) {
        if (session.confId == confId && ::UserOf(session.mediaId) == userId) {
            ending.push_back(peer);
        }
    }
    for (const RelayPeer* peer : ending) {
        EndSession(peer, "its user left the conference", true);
    }
    // What named the departed user's streams goes with it: ids are not handed out again soon,
    // so nothing would ever reach those subscriptions.
    for (auto& [peer, session] : sessions_) {
        if (session.confId != confId) {
            continue;
        }
        std::vector<std::pair<uint16_t, Kind>> gone;
        for (const auto& stream : session.subscriptions) {
            if (::UserOf(stream.first) == userId) {
                gone.push_back(stream);
            }
        }
        for (const auto& stream : gone) {
            Unsubscribe(session, stream);
        }
    }
    for (uint16_t channel = 0; channel < kChannelsPerUser; ++channel) {
        for (const Kind kind : {Kind::Video, Kind::Audio}) {
            const StreamKey key{confId, static_cast<uint16_t>(userId + channel), kind};
            audience_.erase(key);
            lastKeyFrameRequest_.erase(key);
        }
    }
}

void MediaRelayRouter::Sweep() {
    const auto now = now_();
    std::vector<const RelayPeer*> silent;
    for (const auto& [peer, session] : sessions_) {
        if (now - session.lastHeard > kIdleLimit) {
            silent.push_back(peer);
        }
    }
    for (const RelayPeer* peer : silent) {
        EndSession(peer, "silent for too long", true);
    }
}

void MediaRelayRouter::EndAll() {
    while (!sessions_.empty()) {
        EndSession(sessions_.begin()->first, "the relay restarted", false);
    }
}

uint64_t MediaRelayRouter::DropsOf(uint32_t confId, uint16_t mediaId) const {
    auto it = owners_.find({confId, mediaId});
    return it == owners_.end() ? 0 : sessions_.at(it->second).drops;
}

RelayFootprint MediaRelayRouter::Footprint() const {
    RelayFootprint footprint;
    footprint.sessions = sessions_.size();
    for (const auto& [peer, session] : sessions_) {
        footprint.subscriptions += session.subscriptions.size();
        footprint.feedbackLimits += session.feedback.size();
    }
    footprint.streams = subscribers_.size();
    footprint.audiences = audience_.size();
    footprint.keyFrameLimits = lastKeyFrameRequest_.size();
    return footprint;
}

void MediaRelayRouter::EndSession(const RelayPeer* peer, const char* why, bool tellPeer) {
    auto it = sessions_.find(peer);
    if (it == sessions_.end()) {
        return;
    }
    // Keeps the peer alive until the session's traces are gone.
    std::shared_ptr<RelayPeer> keep = it->second.peer;
    Session& session = it->second;
    const uint32_t confId = session.confId;
    const std::vector<std::pair<uint16_t, Kind>> subscribed(session.subscriptions.begin(),
                                                            session.subscriptions.end());
    for (const auto& stream : subscribed) {
        Unsubscribe(session, stream);
    }
    owners_.erase({confId, session.mediaId});
    for (const Kind kind : {Kind::Video, Kind::Audio}) {
        lastKeyFrameRequest_.erase({confId, session.mediaId, kind});
    }
    uint64_t held = 0;
    if (sessionLog_.Allow(now_(), &held)) {
        YLOG_INFO(
            "media relay: session of media id %u in conference %u on %s ended: %s (%llu "
            "packets dropped by its full queue)%s",
            session.mediaId, confId, keep->Name().c_str(), why,
            static_cast<unsigned long long>(session.drops), HeldBack(held).c_str());
    }
    sessions_.erase(it);
    // The streams it received may have lost their last receiver: their senders hear of it.
    for (const auto& [mediaId, kind] : subscribed) {
        Reconsider({confId, mediaId, kind});
        TellAudience(confId, mediaId, false);
    }
    if (tellPeer) {
        keep->End();
    }
}

void MediaRelayRouter::SendControl(RelayPeer& peer, const relay::Control& control) {
    const auto bytes = relay::Encode(control);
    peer.Send(std::make_shared<const std::vector<uint8_t>>(bytes));
}

void MediaRelayRouter::Reject(const RelayPeer& peer, const char* what) {
    ++counters_.rejected;
    uint64_t suppressed = 0;
    if (log_.Allow(now_(), &suppressed)) {
        YLOG_WARN("media relay: %s from %s, dropped (%llu more dropped without a line before)",
                  what, peer.Name().c_str(), static_cast<unsigned long long>(suppressed));
    }
}

int64_t MediaRelayRouter::CookieSlot() const {
    return now_().time_since_epoch() / kCookieSlot;
}

std::array<uint8_t, relay::kCookieBytes> MediaRelayRouter::CookieIn(const std::string& address,
                                                                    uint32_t confId,
                                                                    uint16_t mediaId,
                                                                    int64_t slot) const {
    std::vector<uint8_t> message(address.begin(), address.end());
    for (int shift = 0; shift < 32; shift += 8) {
        message.push_back(static_cast<uint8_t>(confId >> shift));
    }
    message.push_back(static_cast<uint8_t>(mediaId));
    message.push_back(static_cast<uint8_t>(mediaId >> 8));
    for (int shift = 0; shift < 64; shift += 8) {
        message.push_back(static_cast<uint8_t>(static_cast<uint64_t>(slot) >> shift));
    }
    uint8_t digest[EVP_MAX_MD_SIZE];
    unsigned int digestLength = 0;
    HMAC(EVP_sha256(), cookieKey_.data(), static_cast<int>(cookieKey_.size()), message.data(),
         message.size(), digest, &digestLength);
    std::array<uint8_t, relay::kCookieBytes> cookie{};
    std::copy_n(digest, cookie.size(), cookie.begin());
    return cookie;
}

std::array<uint8_t, relay::kCookieBytes> MediaRelayRouter::CookieFor(const std::string& address,
                                                                     uint32_t confId,
                                                                     uint16_t mediaId) const {
    return CookieIn(address, confId, mediaId, CookieSlot());
}

bool MediaRelayRouter::CookieMatches(const std::string& address, const relay::Hello& hello) const {
    if (!hello.hasCookie) {
        return false;
    }
    // This slot's cookie or the last one's: one given just before a slot ends still works.
    const int64_t slot = CookieSlot();
    for (const int64_t given : {slot, slot - 1}) {
        const auto expected = CookieIn(address, hello.conferenceId, hello.mediaId, given);
        if (CRYPTO_memcmp(expected.data(), hello.cookie.data(), expected.size()) == 0) {
            return true;
        }
    }
    return false;
}

}  // namespace yav::server
