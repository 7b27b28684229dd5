#include "MediaPeer.h"

#include <vector>

#include "components/KroMedia/TestPattern.h"
#include "fakes/media/ConnectionStateHandler.h"

namespace yav::test {

namespace {
constexpr uint32_t kDemoConference = 900001;
}  // namespace

class MediaPeer::Sink final : public kromedia::IFrameSink {
public:
    void PostMessage(uint32_t, uint64_t, int64_t) override {}
    void OnFrame(const kromedia::VideoFrame& frame) override {
        kromedia::PatternMarks marks;
        if (!kromedia::ReadPatternBGRx(frame.data, frame.stride, frame.width, frame.height,
                                       &marks)) {
            return;
        }
        std::lock_guard<std::mutex> lock(mutex_);
        auto& stream = streams_[marks.mediaId];
        stream.rising = stream.rising && (stream.frames == 0 || marks.counter > stream.last);
        stream.last = marks.counter;
        ++stream.frames;
    }
    struct Stream {
        size_t frames = 0;
        uint32_t last = 0;
        bool rising = true;
    };
    Stream Of(uint16_t mediaId) const {
        std::lock_guard<std::mutex> lock(mutex_);
        auto it = streams_.find(mediaId);
        return it == streams_.end() ? Stream{} : it->second;
    }
    size_t Except(const std::vector<uint16_t>& watched) const {
        std::lock_guard<std::mutex> lock(mutex_);
        size_t wrong = 0;
        for (const auto& [id, stream] : streams_) {
            bool known = false;
            for (uint16_t w : watched) {
                known = known || w == id;
            }
            wrong += known ? 0 : stream.frames;
        }
        return wrong;
    }

private:
    mutable std::mutex mutex_;
    std::map<uint16_t, Stream> streams_;
};

MediaPeer::MediaPeer(const MediaPeerOptions& options)
    : handler_(std::make_unique<fakes::ConnectionStateHandler>()), sink_(std::make_unique<Sink>()) {
    if (bot_.Login(options.conferencePort, kDemoConference, options.name, "", 1) != 0) {
        return;
    }
    id_ = bot_.UserId();
    // Camera channel 0 and a microphone: the relay forwards only an owned channel's video.
    bot_.Cs().SetConfOptions(1, 0x01, 1, 0, 1, 0);
    media_ = KroMedia_CreateMediaControl(kromedia::kKindMain);
    if (media_ == nullptr) {
        return;
    }
    media_->SetHandler(handler_.get());
    media_->SetUseTCP(options.tcp ? 1 : 0);
    if (options.withTicket) {
        const auto ticket = bot_.Cs().GetMediaTicket();
        media_->SetTicket(ticket.data(), static_cast<int>(ticket.size()));
    }
    kromedia::IAudioEngine* audio = media_->GetAudioEngine();
    audio->StartPlayback(0);
    audio->StartCapture(0);
    std::vector<kromedia::CameraEntry> cameras;
    KroMedia_GetVideoCaptureDevices(&cameras);
    if (cameras.empty() || media_->GetLocalVideo()->StartCapture(
                               0, 1, 15, 75, 300, 85, 300, 0, cameras[0].path, 320, 240, 0) != 1) {
        return;
    }
    loggedIn_ = media_->Login(id_, "127.0.0.1", options.mediaPort, 0, kDemoConference) == 1;
}

MediaPeer::~MediaPeer() {
    if (media_ != nullptr) {
        KroMedia_ReleaseMediaControl(media_);
    }
    bot_.Cs().Logout();
}

int MediaPeer::ServerConnected() const {
    return handler_->server;
}

int MediaPeer::StreamConnected() const {
    return handler_->stream;
}

void MediaPeer::Watch(uint16_t mediaId) {
    watched_.push_back(mediaId);
    media_->StartRecvVideo(mediaId, 0, nullptr, sink_.get(), kromedia::kMsgFirstPicture);
    media_->StartRecvAudio(mediaId, 0);
}

size_t MediaPeer::FramesFrom(uint16_t mediaId, bool* rising) const {
    const Sink::Stream stream = sink_->Of(mediaId);
    if (rising != nullptr) {
        *rising = stream.rising;
    }
    return stream.frames;
}

size_t MediaPeer::WrongFrames() const {
    return sink_->Except(watched_);
}

int MediaPeer::PlaybackLevel() const {
    int level = 0;
    media_->GetAudioEngine()->GetParam(102, &level);
    return level;
}

uint64_t MediaPeer::AudioBytesReceived() const {
    uint64_t audioSent = 0;
    uint64_t audioReceived = 0;
    uint64_t videoSent = 0;
    uint64_t videoReceived = 0;
    media_->GetCounters(&audioSent, &audioReceived, &videoSent, &videoReceived, 0);
    return audioReceived;
}

}  // namespace yav::test
