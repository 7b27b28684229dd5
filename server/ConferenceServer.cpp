#include "ConferenceServer.h"

#include "platform/core/Log.h"

namespace yav::server {

using namespace yav::proto;

class ConferenceServer::Session : public ServerSession {
public:
    Session(ConferenceServer& server, std::shared_ptr<Link> link,
            std::unique_ptr<PendingLimit::Place> place)
        : ServerSession(std::move(link), Service::ConferenceServer, server.config_,
                        std::move(place)),
          server_(server) {}

    void OnFrame(Frame& frame) override {
        switch (frame.type) {
            case MsgType::UpgradeQuery:
                OnUpgradeQuery(frame);
                return;
            case MsgType::LoginRequest:
                OnLogin(frame);
                return;
            case MsgType::Logout:
                if (conference_) {
                    conference_->Leave(userId_, "logged out");
                    conference_ = nullptr;
                }
                GetLink().CloseAfterFlush("logged out");
                return;
            default:
                if (!conference_) {
                    Reject(frame, "request before login:");
                    return;
                }
                conference_->Handle(userId_, frame);
                return;
        }
    }

    void OnClosed(const std::string& reason) override {
        if (conference_) {
            conference_->Leave(userId_, reason.c_str());
            conference_ = nullptr;
        }
        // The session object goes once the current handler has returned.
        asio::post(server_.io_,
                   [server = &server_, self = this] { server->sessions_.Remove(self); });
    }

private:
    void OnUpgradeQuery(const Frame& frame) {
        auto query = DecodeBody<MsgUpgradeQuery>(frame.body);
        if (!query) {
            Reject(frame, "malformed");
            return;
        }
        MsgUpgradeInfo info;
        const ServerConfig& config = server_.config_;
        info.serverVersion =
            config.serverVersion.empty() ? query->clientVersion : config.serverVersion;
        info.zipMd5 = config.zipMd5;
        info.downloadUrl = config.downloadUrl;
        GetLink().SendMessage(info);
    }

    void OnLogin(const Frame& frame) {
        auto request = DecodeBody<MsgLoginRequest>(frame.body);
        if (!request) {
            Reject(frame, "malformed");
            return;
        }
        if (conference_) {
            Reject(frame, "second login on one connection:");
            return;
        }
        MsgLoginResponse refusal;
        const ConferenceConfig* config = server_.config_.FindConference(request->confId);
        if (!config) {
            refusal.result = ERR_UNKNOWN_CONFERENCE;
        } else {
            Conference& conference = server_.ConferenceFor(*config);
            uint16_t userId = 0;
            refusal.result = conference.Join(LinkPtr(), *request, userId);
            if (refusal.result == 0) {
                conference_ = &conference;
                userId_ = userId;
                LoggedIn();
                return;
            }
        }
        if (refusal.result == ERR_VERSION) {
            refusal.requiredVersion = server_.config_.minClientVersion;
        }
        YLOG_INFO("%s: login to conference %u refused with 0x%x", GetLink().Name().c_str(),
                  request->confId, static_cast<unsigned>(refusal.result));
        GetLink().SendMessage(refusal);
    }

    ConferenceServer& server_;
    Conference* conference_ = nullptr;
    uint16_t userId_ = 0;
};

ConferenceServer::ConferenceServer(asio::io_context& io, ServerConfig& config)
    : io_(io),
      config_(config),
      listener_(io, "cs"),
      pending_("cs", config.maxPendingConnections, config.maxPendingPerAddress),
      tickTimer_(io) {}

ConferenceServer::~ConferenceServer() = default;

bool ConferenceServer::Start(const asio::ip::address& address, uint16_t port) {
    if (!listener_.Start(address, port, [this](std::shared_ptr<Link> link) {
            auto place = pending_.Admit(link->PeerAddress());
            if (!place) {
                return;  // the unstarted link closes its socket as it goes
            }
            sessions_.Start(std::make_unique<Session>(*this, std::move(link), std::move(place)));
        })) {
        return false;
    }
    Tick();
    return true;
}

void ConferenceServer::Stop() {
    stopping_ = true;
    listener_.Stop();
    tickTimer_.cancel();
    sessions_.ForEach([](Session& session) {
        session.GetLink().SendMessage(MsgShutdown{});
        session.GetLink().CloseAfterFlush("server stopping");
    });
}

size_t ConferenceServer::ParticipantCount() const {
    size_t count = 0;
    for (const auto& [id, conference] : conferences_) {
        count += conference->ParticipantCount();
    }
    return count;
}

std::map<uint32_t, uint16_t> ConferenceServer::OnlineCounts() const {
    std::map<uint32_t, uint16_t> counts;
    for (const auto& [id, conference] : conferences_) {
        counts[id] = conference->OnlineCount();
    }
    return counts;
}

void ConferenceServer::Tick() {
    const auto now = Conference::Clock::now();
    for (auto& [id, conference] : conferences_) {
        conference->Tick(now);
    }
    tickTimer_.expires_after(std::chrono::seconds(1));
    tickTimer_.async_wait([this](const asio::error_code& error) {
        if (!error && !stopping_) {
            Tick();
        }
    });
}

Conference& ConferenceServer::ConferenceFor(const ConferenceConfig& config) {
    auto& slot = conferences_[config.confId];
    if (!slot) {
        slot = std::make_unique<Conference>(config, config_);
        slot->SetLeaveObserver([this](uint32_t confId, uint16_t userId) {
            if (leaveObserver_) {
                leaveObserver_(confId, userId);
            }
        });
        slot->SetRightsObserver([this](uint32_t confId) {
            if (rightsObserver_) {
                rightsObserver_(confId);
            }
        });
    }
    return *slot;
}

relay::HelloResult ConferenceServer::Admit(const MediaTicket& ticket, uint32_t confId,
                                           uint16_t mediaId) {
    auto it = conferences_.find(confId);
    return it == conferences_.end() ? relay::HelloResult::NotInConference
                                    : it->second->MediaAdmit(ticket, mediaId);
}

bool ConferenceServer::MaySend(uint32_t confId, uint16_t mediaId, relay::Kind kind) {
    auto it = conferences_.find(confId);
    return it != conferences_.end() && it->second->MediaMaySend(mediaId, kind);
}

bool ConferenceServer::MayReceive(uint32_t confId, uint16_t mediaId, relay::Kind kind,
                                  uint16_t receiverMediaId) {
    auto it = conferences_.find(confId);
    return it != conferences_.end() && it->second->MediaMayReceive(mediaId, kind, receiverMediaId);
}

}  // namespace yav::server
