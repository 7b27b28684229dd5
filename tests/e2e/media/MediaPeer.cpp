#include "MediaPeer.h"

#include <vector>

#include "fakes/media/ConnectionStateHandler.h"

namespace yav::test {

namespace {
constexpr uint32_t kDemoConference = 900001;
}  // namespace

bool TakeTheStage(CsBot& bot, bool floor) {
    const uint16_t id = bot.UserId();
    bot.Cs().ApplyChair("chair");
    const bool chair = bot.WaitFor([id](const ST_CS_MSG& m) {
        const auto* attr = std::get_if<CsUserAttr>(&m.payload);
        return m.type == CS_MSG_USER_ATTR_CHANGED && attr && attr->userId == id && attr->kind == 0;
    }) != nullptr;
    const bool spoke = !floor || [&] {
        bot.Cs().AwardSpeek(id, 2);
        return bot.WaitFor([id](const ST_CS_MSG& m) {
            const auto* audio = std::get_if<CsUserAudioStatus>(&m.payload);
            return m.type == CS_MSG_USER_AUDIO_STATUS && audio && audio->userId == id &&
                   audio->status == 2;
        }) != nullptr;
    }();
    bot.Cs().BroadcastVideo(id, 1);
    const bool broadcast = bot.WaitFor([id](const ST_CS_MSG& m) {
        const auto* state = std::get_if<CsBroadcastVideo>(&m.payload);
        return m.type == CS_MSG_BROADCAST_VIDEO && state && state->mediaId == id &&
               state->result == 0 && state->on != 0;
    }) != nullptr;
    return chair && spoke && broadcast;
}

MediaPeer::MediaPeer(const MediaPeerOptions& options)
    : handler_(std::make_unique<fakes::ConnectionStateHandler>()),
      sink_(std::make_unique<PatternSink>()) {
    if (bot_.Login(options.conferencePort, kDemoConference, options.name, "", 1) != 0) {
        return;
    }
    id_ = bot_.UserId();
    // Camera channel 0 and a microphone: the relay forwards only an owned channel's video.
    bot_.Cs().SetConfOptions(1, 0x01, 1, 0, 1, 0);
    if (options.onStage && !TakeTheStage(bot_)) {
        return;
    }
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
    return sink_->Frames(mediaId, rising);
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
