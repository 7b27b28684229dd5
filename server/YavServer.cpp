#include "YavServer.h"

#include <future>

#include "Messages.h"
#include "platform/core/Log.h"

namespace yav::server {

YavServer::YavServer(ServerConfig config)
    : config_(std::move(config)),
      work_(asio::make_work_guard(io_)),
      dataServer_(io_, config_),
      conferenceServer_(io_, config_),
      probeEcho_(io_),
      mediaRelay_(io_, conferenceServer_, config_) {
    dataServer_.SetOnlineCounter([this] { return conferenceServer_.OnlineCounts(); });
    // A participant that leaves (or is removed) loses its media sessions at once.
    conferenceServer_.SetLeaveObserver(
        [this](uint32_t confId, uint16_t userId) { mediaRelay_.Router().EndUser(confId, userId); });
    // What the relay forwards follows the conference: it hears of every change at once.
    conferenceServer_.SetRightsObserver(
        [this](uint32_t confId) { mediaRelay_.Router().OnRightsChanged(confId); });
}

YavServer::~YavServer() {
    Stop();
    // The relay goes before the conference server: no leave may reach it after that.
    conferenceServer_.SetLeaveObserver(nullptr);
    conferenceServer_.SetRightsObserver(nullptr);
}

bool YavServer::Open() {
    // Timing the clients would refuse in the hello answer would turn every login away.
    if (!proto::HeartbeatTimingValid(config_.heartbeat.count(), config_.timeout.count())) {
        YLOG_ERROR(
            "heartbeat %lld ms with time-out %lld ms is not accepted by clients "
            "(heartbeat 10..60000 ms, time-out from the heartbeat to 120000 ms)",
            static_cast<long long>(config_.heartbeat.count()),
            static_cast<long long>(config_.timeout.count()));
        return false;
    }
    if (config_.helloTimeout.count() <= 0 || config_.maxPendingConnections == 0 ||
        config_.maxPendingPerAddress == 0 || config_.relayQueuePackets == 0) {
        YLOG_ERROR(
            "hello time-out %lld ms, %zu pending connections, %zu per address, %zu packets in a "
            "media queue: each must be above 0",
            static_cast<long long>(config_.helloTimeout.count()), config_.maxPendingConnections,
            config_.maxPendingPerAddress, config_.relayQueuePackets);
        return false;
    }
    asio::error_code error;
    const auto address = asio::ip::make_address(config_.bindAddress, error);
    if (error) {
        YLOG_ERROR("bind address %s is not an IP address", config_.bindAddress.c_str());
        return false;
    }
    if (!conferenceServer_.Start(address, config_.conferencePort) ||
        !dataServer_.Start(address, config_.dataPort) ||
        !probeEcho_.Start(address, config_.probePort) ||
        !mediaRelay_.Start(address, config_.mediaPort)) {
        return false;
    }
    dataServer_.SetConferencePort(conferenceServer_.Port());
    dataServer_.SetMediaPort(config_.announceMediaPort != 0 ? config_.announceMediaPort
                                                            : mediaRelay_.Port());
    open_ = true;
    YLOG_INFO("yavserver on %s: data %u, conference %u, probe %u, media %u",
              config_.bindAddress.c_str(), DataPort(), ConferencePort(), ProbePort(), MediaPort());
    return true;
}

void YavServer::Run() {
    io_.run();
}

bool YavServer::StartThread() {
    if (!Open()) {
        return false;
    }
    thread_ = std::thread([this] { io_.run(); });
    return true;
}

void YavServer::Stop() {
    if (open_) {
        open_ = false;
        asio::post(io_, [this] {
            conferenceServer_.Stop();
            dataServer_.Stop();
            probeEcho_.Stop();
            mediaRelay_.Stop();
            // Let the shutdown notices go out, then end the loop.
            auto timer = std::make_shared<asio::steady_timer>(io_, std::chrono::milliseconds(100));
            timer->async_wait([this, timer](const asio::error_code&) { io_.stop(); });
        });
        work_.reset();
    }
    if (thread_.joinable()) {
        thread_.join();
    }
}

bool YavServer::RestartMediaRelay() {
    bool restarted = false;
    WithRelayObject([&restarted](MediaRelay& relay) { restarted = relay.Restart(); });
    return restarted;
}

void YavServer::WithRelayObject(const std::function<void(MediaRelay&)>& f) {
    if (!thread_.joinable()) {
        f(mediaRelay_);
        return;
    }
    std::promise<void> done;
    asio::post(io_, [this, &f, &done] {
        f(mediaRelay_);
        done.set_value();
    });
    done.get_future().get();
}

void YavServer::WithRelay(const std::function<void(MediaRelayRouter&)>& f) {
    if (!thread_.joinable()) {
        f(mediaRelay_.Router());
        return;
    }
    std::promise<void> done;
    asio::post(io_, [this, &f, &done] {
        f(mediaRelay_.Router());
        done.set_value();
    });
    done.get_future().get();
}

size_t YavServer::ParticipantCount() {
    if (!thread_.joinable()) {
        return conferenceServer_.ParticipantCount();
    }
    std::promise<size_t> count;
    asio::post(io_, [this, &count] { count.set_value(conferenceServer_.ParticipantCount()); });
    return count.get_future().get();
}

}  // namespace yav::server
