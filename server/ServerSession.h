#pragma once
// The first steps every server connection takes: the hello (service and protocol version)
// and the heartbeat timing. A service subclasses it and gets the frames after the hello.

#include <map>
#include <memory>
#include <string>

#include "Link.h"
#include "Messages.h"
#include "PendingLimit.h"
#include "ServerConfig.h"

namespace yav::server {

class ServerSession : public proto::Link::Listener {
public:
    // place counts the connection against the caps on connections not logged in.
    ServerSession(std::shared_ptr<proto::Link> link, proto::Service service,
                  const ServerConfig& config, std::unique_ptr<PendingLimit::Place> place);
    virtual ~ServerSession() = default;

    void Start();
    proto::Link& GetLink() { return *link_; }
    const std::shared_ptr<proto::Link>& LinkPtr() const { return link_; }

protected:
    // A frame after a successful hello.
    virtual void OnFrame(proto::Frame& frame) = 0;
    virtual void OnClosed(const std::string& reason) = 0;
    // Logs and drops the connection (a malformed or unexpected frame).
    void Reject(const proto::Frame& frame, const char* what);
    // The connection logged in: it no longer counts against the caps.
    void LoggedIn() { place_.reset(); }

private:
    void OnLinkFrame(proto::Link& link, proto::Frame& frame) final;
    void OnLinkClosed(proto::Link& link, const std::string& reason) final;

    std::shared_ptr<proto::Link> link_;
    proto::Service service_;
    const ServerConfig& config_;
    std::unique_ptr<PendingLimit::Place> place_;
    bool greeted_ = false;
};

// The open sessions of one service. Sessions remove themselves (posted) when their link
// closes; whatever is left when the set goes has its links cut loose first, since pending
// handlers may still hold them.
template <class Session>
class SessionSet {
public:
    SessionSet() = default;
    SessionSet(const SessionSet&) = delete;
    SessionSet& operator=(const SessionSet&) = delete;
    ~SessionSet() {
        for (auto& [key, session] : sessions_) {
            session->GetLink().Detach();
            session->GetLink().Close("server destroyed");
        }
    }

    void Start(std::unique_ptr<Session> session) {
        Session* raw = session.get();
        sessions_.emplace(raw, std::move(session));
        raw->Start();
    }
    void Remove(Session* session) { sessions_.erase(session); }
    template <class Visit>
    void ForEach(Visit visit) {
        for (auto& [key, session] : sessions_) {
            visit(*session);
        }
    }
    size_t Size() const { return sessions_.size(); }

private:
    std::map<Session*, std::unique_ptr<Session>> sessions_;
};

}  // namespace yav::server
