#include "MediaBot.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>

#include "config/ConfigManger.h"
#include "platform/core/Profile.h"

namespace yav::test {

namespace {

constexpr uint32_t kDemoConference = 900001;

}  // namespace

MediaBot::MediaBot(const MediaBotOptions& options) : sink_(std::make_unique<PatternSink>()) {
    if (bot_.Login(options.conferencePort, kDemoConference, options.name, "", 1) != 0) {
        return;
    }
    id_ = bot_.UserId();
    config_.fill(0);
    media_ = std::make_unique<XMediaManager>();
    media_->SetRoom(this);
    if (!media_->CreateMedia(this)) {
        return;
    }
    media_->SetUseTCP(options.tcp ? 1 : 0);
    const auto ticket = bot_.Cs().GetMediaTicket();
    media_->SetMediaTicket(ticket.data(), static_cast<int>(ticket.size()));
    media_->LoginMediaServer(id_, "127.0.0.1", options.mediaPort, 0, kDemoConference);
    // The room's own use of TCP follows the settings; a bot chooses it per bot.
    media_->SetUseTCP(options.tcp ? 1 : 0);
    if (options.capture) {
        // The manager starts the camera from the settings of channel 1, as the room does.
        const std::string video = g_ConfigManager.GetConfigVideoIniPath().toStdString();
        const std::string kbps = std::to_string(options.bitRateKbps);
        profile::WriteString("VideoConfig-1", "Size", std::to_string(options.sizeIndex), video);
        profile::WriteString("VideoConfig-1", "FrameRate", std::to_string(options.frameRate),
                             video);
        profile::WriteString("VideoLevel-1-1", "H264", "85,75," + kbps + "," + kbps, video);
        media_->StartCapture();
        if ((media_->GetVideoBits() & 1) == 0) {
            return;
        }
        if (options.onStage && !TakeTheStage(bot_, options.floor)) {
            return;
        }
    }
    loggedIn_ = true;
}

MediaBot::~MediaBot() {
    if (media_) {
        media_->SetRecordHandler(0, nullptr);
        media_->DestroyMedia();
        media_.reset();
    }
    bot_.Cs().Logout();
}

void MediaBot::SetConfigBytes(uint8_t a, uint8_t b, uint8_t c, uint8_t d, uint8_t e, uint8_t f) {
    const uint8_t given[6] = {a, b, c, d, e, f};
    for (size_t i = 0; i < 6; ++i) {
        if (given[i] != 255) {
            config_[i] = given[i];
        }
    }
    // As the room's conference manager passes them on: audio state first, then the mask.
    bot_.Cs().SetConfOptions(config_[1], config_[0], config_[2], config_[3], config_[4],
                             config_[5]);
}

uint32_t MediaBot::GetConfId() const {
    return kDemoConference;
}

void MediaBot::Watch(uint16_t mediaId) {
    watched_.push_back(mediaId);
    if (kromedia::IMediaControl* channel = media_->GetMediaControl(mediaId)) {
        channel->StartRecvVideo(mediaId, 0, nullptr, sink_.get(), kromedia::kMsgFirstPicture);
    }
    media_->StartRecvAudio(mediaId, 0);
}

void MediaBot::Unwatch(uint16_t mediaId) {
    if (kromedia::IMediaControl* channel = media_->GetMediaControl(mediaId)) {
        channel->StopRecvVideo(mediaId);
    }
    media_->StopRecvAudio(mediaId);
}

size_t MediaBot::FramesFrom(uint16_t mediaId, bool* rising) const {
    return sink_->Frames(mediaId, rising);
}

size_t MediaBot::WrongFrames() const {
    return sink_->Except(watched_);
}

std::vector<double> MediaBot::LatenciesFrom(uint16_t mediaId) const {
    return sink_->Of(mediaId).latencies;
}

int MediaBot::PlaybackLevel() {
    int level = 0;
    if (IAudioEngine* audio = media_->GetAudioEngine()) {
        audio->GetParam(102, &level);
    }
    return level;
}

int MediaBot::QualityOf(uint16_t mediaId) {
    for (const XMediaManager::StreamQuality& q : media_->GetStreamQuality()) {
        if (q.wMediaId == mediaId) {
            return static_cast<int>(q.value);
        }
    }
    return -1;
}

void MediaBot::StartRecording() {
    media_->SetRecordHandler(1, &recorder_);
}

void MediaBot::StopRecording() {
    media_->SetRecordHandler(0, nullptr);
}

// --- LossyUdpProxy ----------------------------------------------------------------------------

namespace {

int LoopbackSocket(uint16_t* port) {
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    socklen_t length = sizeof addr;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &length);
    if (port != nullptr) {
        *port = ntohs(addr.sin_port);
    }
    return fd;
}

}  // namespace

LossyUdpProxy::LossyUdpProxy(uint16_t serverPort, int dropEvery)
    : serverPort_(serverPort), dropEvery_(dropEvery) {
    clientSide_ = LoopbackSocket(&port_);
    thread_ = std::thread([this] { Run(); });
}

uint64_t LossyUdpProxy::FeedbackFrom(uint16_t mediaId) const {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = feedback_.find(mediaId);
    return it == feedback_.end() ? 0 : it->second;
}

uint64_t LossyUdpProxy::ReportBlocksFrom(uint16_t mediaId) const {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = reportBlocks_.find(mediaId);
    return it == reportBlocks_.end() ? 0 : it->second;
}

LossyUdpProxy::~LossyUdpProxy() {
    stop_ = true;
    thread_.join();
    ::close(clientSide_);
    for (const Path& path : paths_) {
        ::close(path.serverSide);
    }
}

void LossyUdpProxy::Run() {
    sockaddr_in server{};
    server.sin_family = AF_INET;
    server.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    server.sin_port = htons(serverPort_);
    uint64_t towardsClient = 0;
    uint8_t buffer[2048];
    std::vector<pollfd> fds;
    while (!stop_) {
        fds.assign(1, pollfd{clientSide_, POLLIN, 0});
        for (const Path& path : paths_) {
            fds.push_back(pollfd{path.serverSide, POLLIN, 0});
        }
        if (::poll(fds.data(), fds.size(), 50) <= 0) {
            continue;
        }
        if ((fds[0].revents & POLLIN) != 0) {
            sockaddr_in client{};
            socklen_t length = sizeof client;
            const ssize_t n = ::recvfrom(clientSide_, buffer, sizeof buffer, 0,
                                         reinterpret_cast<sockaddr*>(&client), &length);
            if (n > 0) {
                auto path = std::find_if(paths_.begin(), paths_.end(), [&](const Path& p) {
                    return p.client.sin_addr.s_addr == client.sin_addr.s_addr &&
                           p.client.sin_port == client.sin_port;
                });
                if (path == paths_.end()) {
                    path = paths_.insert(paths_.end(), Path{client, LoopbackSocket(nullptr)});
                }
                const auto size = static_cast<size_t>(n);
                if (relay::Classify(buffer, size) == relay::PacketClass::Rtp) {
                    const auto stream = relay::ParseSsrc(*relay::SenderSsrc(buffer, size));
                    if (stream) {
                        ++(stream->second == relay::Kind::Video ? videoSent_ : audioSent_);
                    }
                }
                ::sendto(path->serverSide, buffer, size, 0,
                         reinterpret_cast<const sockaddr*>(&server), sizeof server);
            }
        }
        // Only the paths polled above: one made just now has no entry in fds yet.
        for (size_t i = 1; i < fds.size(); ++i) {
            if ((fds[i].revents & POLLIN) == 0) {
                continue;
            }
            const Path& path = paths_[i - 1];
            const ssize_t n = ::recv(path.serverSide, buffer, sizeof buffer, 0);
            if (n <= 0) {
                continue;
            }
            // Control packets ("YM") always pass: only media is lost.
            const bool media = !(n >= 2 && buffer[0] == 'Y' && buffer[1] == 'M');
            if (media && dropEvery_ > 0 &&
                ++towardsClient % static_cast<uint64_t>(dropEvery_) == 0) {
                ++dropped_;
                continue;
            }
            if (const auto parts = relay::SplitRtcp(buffer, static_cast<size_t>(n))) {
                std::lock_guard<std::mutex> lock(mutex_);
                for (const relay::RtcpPart& part : *parts) {
                    const auto from = relay::ParseSsrc(part.sender);
                    if ((part.type == relay::kRtpFeedback ||
                         part.type == relay::kPayloadFeedback) &&
                        from) {
                        ++feedback_[from->first];
                    }
                    if ((part.type == 200 || part.type == 201) && from) {
                        reportBlocks_[from->first] += part.count;
                    }
                }
            }
            ::sendto(clientSide_, buffer, static_cast<size_t>(n), 0,
                     reinterpret_cast<const sockaddr*>(&path.client), sizeof path.client);
        }
    }
}

}  // namespace yav::test
