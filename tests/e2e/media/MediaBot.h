#pragma once
// A participant made like the client makes one: a conference-server bot logged in as a guest
// and the program's media manager over the real media component (synthetic devices), logged
// in to the relay with the ticket of that login. The bot's room answers the manager and
// forwards its configuration bytes to the conference server as the room window does.

#include <netinet/in.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "CsBot.h"
#include "MediaPeer.h"
#include "PatternSink.h"
#include "client/media/IMediaHandler.h"
#include "client/media/IMediaRoom.h"
#include "client/media/XMediaManager.h"
#include "components/KroMedia/IKroMedia.h"
#include "components/KroMedia/RelayWire.h"

namespace yav::test {

struct MediaBotOptions {
    std::string name;
    uint16_t conferencePort = 0;
    uint16_t mediaPort = 0;  // where the bot's media goes (the relay, or a proxy before it)
    bool tcp = false;
    int sizeIndex = 3;  // the camera picture (the settings' size index: 320 x 240)
    int frameRate = 15;
    int bitRateKbps = 300;
    bool capture = true;  // false: the bot only receives
    bool onStage = true;  // a capturing bot broadcasts its camera (TakeTheStage)
    bool floor = true;    // and takes the floor
};

class MediaBot final : public IMediaRoom, public IMediaHandler {
public:
    explicit MediaBot(const MediaBotOptions& options);
    ~MediaBot() override;
    MediaBot(const MediaBot&) = delete;
    MediaBot& operator=(const MediaBot&) = delete;

    bool LoggedIn() const { return loggedIn_; }
    uint16_t Id() const { return id_; }
    XMediaManager& Media() { return *media_; }
    CsBot& Bot() { return bot_; }
    // The relay's answers: -1 none yet, else what the component reported.
    int ServerConnected() const { return server_; }
    int StreamConnected() const { return stream_; }

    // Receives another participant's video (into a counting sink) and sound.
    void Watch(uint16_t mediaId);
    void Unwatch(uint16_t mediaId);
    // Pattern frames decoded from mediaId, whether their counters rose throughout, and frames
    // that showed an id nobody watched.
    size_t FramesFrom(uint16_t mediaId, bool* rising = nullptr) const;
    size_t WrongFrames() const;
    // Milliseconds from capture (the time coded into the pattern) to the decoded picture, of
    // every frame from mediaId so far.
    std::vector<double> LatenciesFrom(uint16_t mediaId) const;
    // Level of what the speaker plays (0..50).
    int PlaybackLevel();
    // Quality value of a received stream (none: -1).
    int QualityOf(uint16_t mediaId);

    // Recorded conference audio: blocks and their sizes.
    void StartRecording();
    void StopRecording();
    size_t RecordBlocks() const { return recorder_.blocks; }
    size_t WrongSizedBlocks() const { return recorder_.wrongSize; }

    // --- IMediaRoom ---
    void SetConfigBytes(uint8_t a, uint8_t b, uint8_t c, uint8_t d, uint8_t e, uint8_t f) override;
    void CloseChannelWindow(uint16_t) override {}
    uint16_t GetMyUserId() const override { return id_; }
    bool IsMyChannel(uint16_t wMediaId) const override {
        return id_ != 0 && (wMediaId & ~7u) == id_;
    }
    uint32_t GetConfId() const override;
    bool IsMediaIdBroadcast(uint16_t) override { return false; }
    void SetDevicePollTimer(int) override {}
    void BroadcastVideo(uint16_t, uint8_t) override {}
    void TransmitToUser(uint16_t, uint16_t, const void*, std::size_t) override {}
    void OnVideoOpenResult(uint16_t, uint16_t, uint32_t) override {}
    void ShowVideoStoppedNotice() override {}
    kromedia::INotifyTarget* GetMediaNotifyTarget() override { return nullptr; }
    VideoLimits GetVideoLimits() const override { return {}; }

    // --- IMediaHandler (component threads) ---
    void OnMediaServerConnected(std::intptr_t status) override { server_ = int(status); }
    void OnStreamServerConnected(std::intptr_t status) override { stream_ = int(status); }
    void* GetLocalVideo(std::uint32_t, std::intptr_t) override { return nullptr; }

private:
    struct Recorder final : public kromedia::IRecordHandler {
        std::atomic<size_t> blocks{0};
        std::atomic<size_t> wrongSize{0};
        void OnAudioBlock(const uint8_t*, int length) override {
            ++blocks;
            wrongSize += length != 640 ? 1 : 0;
        }
    };

    CsBot bot_;
    std::unique_ptr<XMediaManager> media_;
    std::unique_ptr<PatternSink> sink_;
    Recorder recorder_;
    std::vector<uint16_t> watched_;
    std::array<uint8_t, 6> config_{};
    std::atomic<int> server_{-1};
    std::atomic<int> stream_{-1};
    bool loggedIn_ = false;
    uint16_t id_ = 0;
};

// Forwards UDP between one client and a server, dropping every n-th datagram towards the
// client (n = 0: none). Counts what crosses: the client's RTP by kind, and the RTCP feedback
// packets (PLI, FIR, NACK) that reach the client, by the media id of their sender. Each socket
// of the client (one per channel) gets a socket of its own towards the server, as behind a
// NAT: the server sees one address per channel, and each answer reaches the socket it was for.
class LossyUdpProxy {
public:
    LossyUdpProxy(uint16_t serverPort, int dropEvery);
    ~LossyUdpProxy();
    uint16_t Port() const { return port_; }
    uint64_t Dropped() const { return dropped_; }
    uint64_t RtpSent(relay::Kind kind) const {
        return kind == relay::Kind::Video ? videoSent_.load() : audioSent_.load();
    }
    uint64_t FeedbackFrom(uint16_t mediaId) const;
    // Report blocks that reach the client, by the media id of the receiver that wrote them.
    uint64_t ReportBlocksFrom(uint16_t mediaId) const;

private:
    // One of the client's sockets and the proxy's socket towards the server for it.
    struct Path {
        sockaddr_in client{};
        int serverSide = -1;
    };

    void Run();
    int clientSide_ = -1;
    std::vector<Path> paths_;  // the proxy's thread only
    uint16_t port_ = 0;
    uint16_t serverPort_ = 0;
    int dropEvery_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<uint64_t> dropped_{0};
    std::atomic<uint64_t> videoSent_{0};
    std::atomic<uint64_t> audioSent_{0};
    mutable std::mutex mutex_;
    std::map<uint16_t, uint64_t> feedback_;  // by the sender's media id
    std::map<uint16_t, uint64_t> reportBlocks_;
    std::thread thread_;
};

}  // namespace yav::test
