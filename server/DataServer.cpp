#include "DataServer.h"

#include "platform/core/Log.h"
#include "platform/core/TextCodec.h"

namespace yav::server {

using namespace yav::proto;

class DataServer::Session : public ServerSession {
public:
    Session(DataServer& server, std::shared_ptr<Link> link,
            std::unique_ptr<PendingLimit::Place> place)
        : ServerSession(std::move(link), Service::DataServer, server.config_, std::move(place)),
          server_(server) {}

    void OnFrame(Frame& frame) override {
        switch (frame.type) {
            case MsgType::ConfListRequest: {
                auto request = DecodeBody<MsgConfListRequest>(frame.body);
                if (!request) {
                    return Reject(frame, "malformed");
                }
                const auto online = server_.onlineCounter_ ? server_.onlineCounter_()
                                                           : std::map<uint32_t, uint16_t>{};
                GetLink().SendMessage(server_.ConfList(*request, online));
                return;
            }
            case MsgType::CsServersRequest: {
                auto request = DecodeBody<MsgCsServersRequest>(frame.body);
                if (!request) {
                    return Reject(frame, "malformed");
                }
                GetLink().SendMessage(server_.CsServers(*request));
                return;
            }
            case MsgType::MediaServerRequest: {
                auto request = DecodeBody<MsgMediaServerRequest>(frame.body);
                if (!request) {
                    return Reject(frame, "malformed");
                }
                MsgMediaServerResponse response;
                if (!server_.config_.FindConference(request->confId)) {
                    response.result = ERR_UNKNOWN_CONFERENCE;
                } else {
                    response.address = server_.config_.AnnouncedAddress();
                    response.port = server_.mediaPort_;
                }
                GetLink().SendMessage(response);
                return;
            }
            default:
                Reject(frame, "unexpected");
                return;
        }
    }

    void OnClosed(const std::string&) override {
        asio::post(server_.io_,
                   [server = &server_, self = this] { server->sessions_.Remove(self); });
    }

private:
    DataServer& server_;
};

DataServer::DataServer(asio::io_context& io, ServerConfig& config)
    : io_(io),
      config_(config),
      listener_(io, "ds"),
      pending_("ds", config.maxPendingConnections, config.maxPendingPerAddress) {}

DataServer::~DataServer() = default;

bool DataServer::Start(const asio::ip::address& address, uint16_t port) {
    if (!listener_.Start(address, port, [this](std::shared_ptr<Link> link) {
            auto place = pending_.Admit(link->PeerAddress());
            if (!place) {
                return;  // the unstarted link closes its socket as it goes
            }
            sessions_.Start(std::make_unique<Session>(*this, std::move(link), std::move(place)));
        })) {
        return false;
    }
    return true;
}

void DataServer::Stop() {
    listener_.Stop();
    sessions_.ForEach(
        [](Session& session) { session.GetLink().CloseAfterFlush("server stopping"); });
}

MsgConfListResponse DataServer::ConfList(const MsgConfListRequest& request,
                                         const std::map<uint32_t, uint16_t>& online) const {
    MsgConfListResponse response;
    response.brief = config_.briefList ? 1 : 0;
    std::vector<const ConferenceConfig*> chosen;
    const ConferenceConfig* numbered = config_.FindConference(request.confId);
    switch (request.type) {
        case 0: {
            const Account* account = config_.FindAccount(text::GbkToUtf8(request.name));
            if (!account) {
                response.result = ERR_UNKNOWN_ACCOUNT;
                return response;
            }
            if (!DigestMatches(request.passwordDigest, account->Digest())) {
                response.result = ERR_WRONG_PASSWORD;
                return response;
            }
            for (const auto& conference : config_.conferences) {
                if (conference.Lists(account->login)) {
                    chosen.push_back(&conference);
                }
            }
            break;
        }
        case 1:
        case 2:
            if (!numbered) {
                response.result = ERR_UNKNOWN_CONFERENCE;
                return response;
            }
            if (request.type == 2 && !numbered->password.empty() &&
                !DigestMatches(request.passwordDigest, PasswordDigest(numbered->password))) {
                response.result = ERR_WRONG_PASSWORD;
                return response;
            }
            chosen.push_back(numbered);
            break;
        case 5:
            if (request.confId != 0) {
                if (!numbered) {
                    response.result = ERR_UNKNOWN_CONFERENCE;
                    return response;
                }
                if (!numbered->allowGuests) {
                    response.result = ERR_GUESTS_REFUSED;
                    return response;
                }
                chosen.push_back(numbered);
            } else {
                for (const auto& conference : config_.conferences) {
                    if (conference.allowGuests) {
                        chosen.push_back(&conference);
                    }
                }
            }
            break;
        default:
            response.result = ERR_PROTOCOL;
            return response;
    }
    for (const ConferenceConfig* conference : chosen) {
        ST_CONF_ITEM item;
        item.confId = conference->confId;
        CopyText(item.confName, sizeof item.confName,
                 text::TruncateGbk(text::Utf8ToGbk(conference->name), 63));
        item.capacity = conference->maxUsers > 0 ? conference->maxUsers : 999;
        const auto count = online.find(conference->confId);
        item.onlineCount = count == online.end() ? 0 : count->second;
        // A conference number without password lets number and guest logins in directly.
        item.passwordFree = conference->password.empty() ? 1 : 0;
        response.items.push_back(item);
    }
    return response;
}

MsgCsServersResponse DataServer::CsServers(const MsgCsServersRequest& request) const {
    MsgCsServersResponse response;
    const ConferenceConfig* conference = config_.FindConference(request.confId);
    if (!conference) {
        response.result = ERR_UNKNOWN_CONFERENCE;
        return response;
    }
    const std::string address = config_.AnnouncedAddress();
    ST_CS_SERVER server;
    CopyText(server.serverName, sizeof server.serverName, "yavserver");
    CopyText(server.csAddress, sizeof server.csAddress, address);
    server.csPort = conferencePort_;
    CopyText(server.mediaAddress, sizeof server.mediaAddress, address);
    server.mediaPort = mediaPort_;
    CopyText(server.docAddress, sizeof server.docAddress, address);
    CopyText(server.docAddress2, sizeof server.docAddress2, address);
    CopyText(server.screenAddress, sizeof server.screenAddress, address);
    response.servers.push_back(server);
    return response;
}

}  // namespace yav::server
