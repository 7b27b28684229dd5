#pragma once
// The conference server: accepts connections, logs them in to their conference and routes
// their requests; answers upgrade queries; ticks the conferences' timed notices.

#include <asio.hpp>
#include <functional>
#include <map>
#include <memory>

#include "Conference.h"
#include "MediaGate.h"
#include "ServerSession.h"
#include "TcpListener.h"

namespace yav::server {

class ConferenceServer final : public MediaGate {
public:
    ConferenceServer(asio::io_context& io, ServerConfig& config);
    ~ConferenceServer();

    // Binds and starts accepting; false (logged) when the port cannot be bound.
    bool Start(const asio::ip::address& address, uint16_t port);
    void Stop();
    uint16_t Port() const { return listener_.Port(); }
    size_t SessionCount() const { return sessions_.Size(); }
    size_t ParticipantCount() const;
    // Present participants per conference number.
    std::map<uint32_t, uint16_t> OnlineCounts() const;

    // MediaGate
    relay::HelloResult Admit(const MediaTicket& ticket, uint32_t confId, uint16_t mediaId) override;
    bool MaySend(uint32_t confId, uint16_t mediaId, relay::Kind kind) override;
    bool MayReceive(uint32_t confId, uint16_t mediaId, relay::Kind kind,
                    uint16_t receiverMediaId) override;
    // Told of every participant that leaves a conference (set before the first login).
    void SetLeaveObserver(std::function<void(uint32_t confId, uint16_t userId)> observer) {
        leaveObserver_ = std::move(observer);
    }
    // Told whenever who may receive what in a conference may have changed.
    void SetRightsObserver(std::function<void(uint32_t confId)> observer) {
        rightsObserver_ = std::move(observer);
    }

private:
    class Session;
    void Tick();
    Conference& ConferenceFor(const ConferenceConfig& config);

    asio::io_context& io_;
    ServerConfig& config_;
    TcpListener listener_;
    PendingLimit pending_;  // outlives the sessions, which hold places in it
    asio::steady_timer tickTimer_;
    bool stopping_ = false;
    SessionSet<Session> sessions_;
    std::map<uint32_t, std::unique_ptr<Conference>> conferences_;
    std::function<void(uint32_t, uint16_t)> leaveObserver_;
    std::function<void(uint32_t)> rightsObserver_;
};

}  // namespace yav::server
