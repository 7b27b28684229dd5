#pragma once
// The whole service in one object: data server, conference server, probe echo and media relay
// on one
// io_context. Run blocks the calling thread; Start/Stop with a thread of its own serve tests.

#include <asio.hpp>
#include <functional>
#include <memory>
#include <thread>

#include "ConferenceServer.h"
#include "DataServer.h"
#include "MediaRelay.h"
#include "ProbeEcho.h"
#include "ServerConfig.h"

namespace yav::server {

class YavServer {
public:
    explicit YavServer(ServerConfig config);
    ~YavServer();
    YavServer(const YavServer&) = delete;
    YavServer& operator=(const YavServer&) = delete;

    // Binds the four services; false (logged) when any cannot be bound, the heartbeat
    // timing is one clients refuse, or a time-out, connection cap or media queue is 0.
    bool Open();
    // Runs the io_context on the calling thread until Stop.
    void Run();
    // Opens and runs on an own thread.
    bool StartThread();
    // Tells the clients, closes the listeners and ends Run (or joins the own thread).
    void Stop();

    uint16_t DataPort() const { return dataServer_.Port(); }
    uint16_t ConferencePort() const { return conferenceServer_.Port(); }
    uint16_t ProbePort() const { return probeEcho_.Port(); }
    uint16_t MediaPort() const { return mediaRelay_.Port(); }
    const ServerConfig& Config() const { return config_; }
    asio::io_context& Io() { return io_; }
    // Participant count, read on the server's thread.
    size_t ParticipantCount();
    // Runs f on the server's thread with the relay's router and waits for it (tests).
    void WithRelay(const std::function<void(MediaRelayRouter&)>& f);
    // Restarts the media relay on its port (every media session ends, the conferences go on)
    // on the server's thread, from any thread but that one (SIGUSR1 does it in yavserver).
    bool RestartMediaRelay();

private:
    void WithRelayObject(const std::function<void(MediaRelay&)>& f);

    ServerConfig config_;
    asio::io_context io_;
    asio::executor_work_guard<asio::io_context::executor_type> work_;
    DataServer dataServer_;
    ConferenceServer conferenceServer_;
    ProbeEcho probeEcho_;
    MediaRelay mediaRelay_;
    std::thread thread_;
    bool open_ = false;
};

}  // namespace yav::server
