#include "MediaRelayRouter.h"

#include "ST_USER_ITEM_DEPT.h"
#include "platform/core/Log.h"

namespace yav::server {

using relay::Kind;

MediaRelayRouter::MediaRelayRouter(MediaGate& gate, std::function<Clock::time_point()> now)
    : gate_(gate), now_(std::move(now)) {}

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
            return SendControl(*peer, answer);
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
    answer.result = gate_.Admit(hello.ticket, hello.conferenceId, hello.mediaId);
    if (answer.result != relay::HelloResult::Ok) {
        Reject(*peer, answer.result == relay::HelloResult::BadTicket ? "hello with a wrong ticket"
                      : answer.result == relay::HelloResult::NotInConference
                          ? "hello for a user not in that conference"
                          : "hello for another participant's media id");
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
    YLOG_INFO("media relay: media id %u of conference %u on %s", added.mediaId, added.confId,
              peer->Name().c_str());
    SendControl(*peer, answer);
}

void MediaRelayRouter::OnSubscribe(Session& session, const relay::Subscribe& subscribe) {
    const std::pair<uint16_t, Kind> stream{subscribe.mediaId, subscribe.kind};
    const StreamKey key{session.confId, subscribe.mediaId, subscribe.kind};
    if (!subscribe.on) {
        session.subscriptions.erase(stream);
        if (auto it = subscribers_.find(key); it != subscribers_.end()) {
            it->second.erase(session.peer.get());
            if (it->second.empty()) {
                subscribers_.erase(it);
            }
        }
        return;
    }
    if (!session.subscriptions.contains(stream) &&
        session.subscriptions.size() >= kMaxSubscriptions) {
        return Reject(*session.peer, "subscription past the limit");
    }
    session.subscriptions.insert(stream);
    subscribers_[key].insert(session.peer.get());
}

bool MediaRelayRouter::OwnSsrc(const Session& session, uint32_t ssrc) {
    const auto parsed = relay::ParseSsrc(ssrc);
    if (!parsed || parsed->first != session.mediaId) {
        Reject(*session.peer, "SSRC of another media id");
        return false;
    }
    return true;
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
    auto it = subscribers_.find({session.confId, session.mediaId, kind});
    if (it != subscribers_.end()) {
        Forward(session, it->second, data, length, kind == Kind::Video ? ssrc : 0);
    }
}

void MediaRelayRouter::OnRtcp(Session& session, const uint8_t* data, size_t length) {
    const auto parsed = relay::ParseRtcp(data, length);
    if (!parsed) {
        return Reject(*session.peer, "RTCP whose lengths do not add up");
    }
    for (const uint32_t ssrc : parsed->senders) {
        if (!OwnSsrc(session, ssrc)) {
            return;
        }
    }
    session.lastHeard = now_();
    std::set<const RelayPeer*> to;
    // A sender report belongs with the sender's stream: its receivers get it.
    if (parsed->senderReport && !parsed->senders.empty()) {
        const Kind kind = relay::ParseSsrc(parsed->senders.front())->second;
        if (auto it = subscribers_.find({session.confId, session.mediaId, kind});
            it != subscribers_.end()) {
            to.insert(it->second.begin(), it->second.end());
        }
    }
    // Reports and feedback (PLI among them) go to whoever owns the stream they name.
    for (const uint32_t ssrc : parsed->named) {
        const auto named = relay::ParseSsrc(ssrc);
        if (!named) {
            continue;
        }
        if (Session* owner = OwnerOf(session.confId, named->first)) {
            to.insert(owner->peer.get());
        }
    }
    if (!to.empty()) {
        Forward(session, to, data, length, 0);
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
        Session& receiver = it->second;
        if (receiver.peer->Send(packet)) {
            ++counters_.forwarded;
            receiver.dropping = false;
            continue;
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
            RequestKeyFrame(receiver, from.confId, videoSsrc);
        }
    }
}

void MediaRelayRouter::RequestKeyFrame(const Session& receiver, uint32_t confId, uint32_t ssrc) {
    // The receiver lost part of a picture: the owner is asked for a new key frame, at most
    // once a second per stream whatever the number of receivers that lost it.
    const auto now = now_();
    auto& last = lastPli_[{confId, ssrc}];
    if (last != Clock::time_point{} && now - last < kPliInterval) {
        return;
    }
    Session* owner = OwnerOf(confId, relay::ParseSsrc(ssrc)->first);
    if (!owner) {
        return;
    }
    last = now;
    const auto pli = relay::MakePli(relay::SsrcFor(receiver.mediaId, Kind::Video), ssrc);
    if (owner->peer->Send(std::make_shared<const std::vector<uint8_t>>(pli))) {
        ++counters_.plisMade;
    }
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

void MediaRelayRouter::EndSession(const RelayPeer* peer, const char* why, bool tellPeer) {
    auto it = sessions_.find(peer);
    if (it == sessions_.end()) {
        return;
    }
    // Keeps the peer alive until the session's traces are gone.
    std::shared_ptr<RelayPeer> keep = std::move(it->second.peer);
    const Session& session = it->second;
    for (const auto& [mediaId, kind] : session.subscriptions) {
        auto sub = subscribers_.find({session.confId, mediaId, kind});
        if (sub != subscribers_.end()) {
            sub->second.erase(peer);
            if (sub->second.empty()) {
                subscribers_.erase(sub);
            }
        }
    }
    owners_.erase({session.confId, session.mediaId});
    for (auto pli = lastPli_.begin(); pli != lastPli_.end();) {
        const auto named = relay::ParseSsrc(pli->first.second);
        pli = pli->first.first == session.confId && named && named->first == session.mediaId
                  ? lastPli_.erase(pli)
                  : std::next(pli);
    }
    YLOG_INFO(
        "media relay: session of media id %u in conference %u on %s ended: %s (%llu "
        "packets dropped by its full queue)",
        session.mediaId, session.confId, keep->Name().c_str(), why,
        static_cast<unsigned long long>(session.drops));
    sessions_.erase(it);
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

}  // namespace yav::server
