#pragma once
// The data server: conference lists for an identity, the conference-server records of a
// conference, and the media-server address.

#include <asio.hpp>
#include <map>
#include <memory>

#include "ServerSession.h"
#include "TcpListener.h"

namespace yav::server {

class DataServer {
public:
    DataServer(asio::io_context& io, ServerConfig& config);
    ~DataServer();

    bool Start(const asio::ip::address& address, uint16_t port);
    void Stop();
    uint16_t Port() const { return listener_.Port(); }
    // Where the conference servers and media servers are announced.
    void SetConferencePort(uint16_t port) { conferencePort_ = port; }
    void SetMediaPort(uint16_t port) { mediaPort_ = port; }

    // Answers (also used directly by tests).
    proto::MsgConfListResponse ConfList(const proto::MsgConfListRequest& request,
                                        const std::map<uint32_t, uint16_t>& online) const;
    proto::MsgCsServersResponse CsServers(const proto::MsgCsServersRequest& request) const;
    // Present participants per conference, supplied by the conference server.
    void SetOnlineCounter(std::function<std::map<uint32_t, uint16_t>()> counter) {
        onlineCounter_ = std::move(counter);
    }

private:
    class Session;

    asio::io_context& io_;
    ServerConfig& config_;
    TcpListener listener_;
    PendingLimit pending_;  // outlives the sessions, which hold places in it
    uint16_t conferencePort_ = 0;
    uint16_t mediaPort_ = 0;
    std::function<std::map<uint32_t, uint16_t>()> onlineCounter_;
    SessionSet<Session> sessions_;
};

}  // namespace yav::server
