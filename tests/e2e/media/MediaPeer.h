#pragma once
// A participant with real media: a conference-server bot logged in as a guest and the media
// component's main channel (synthetic camera, microphone and speaker) logged in to the relay
// with the ticket of that login. Counts the pattern frames and sound it gets from others.

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "CsBot.h"
#include "PatternSink.h"
#include "components/KroMedia/KroMedia.h"

namespace fakes {
struct ConnectionStateHandler;
}  // namespace fakes

namespace yav::test {

struct MediaPeerOptions {
    std::string name;
    uint16_t conferencePort = 0;
    uint16_t mediaPort = 0;
    bool tcp = false;
    bool withTicket = true;  // false: the channel never gets the login's ticket
    bool onStage = true;     // takes the floor and broadcasts its camera (TakeTheStage)
};

// Makes the bot's user one whom everybody may see (and hear), as a chair would: it takes the
// chair with the demo's chair password, gives itself the floor (when asked to; the conference
// lets four speak at once) and broadcasts its camera channel 0 (declared before). False when
// the server did not agree in time.
bool TakeTheStage(CsBot& bot, bool floor = true);

class MediaPeer {
public:
    explicit MediaPeer(const MediaPeerOptions& options);
    ~MediaPeer();
    MediaPeer(const MediaPeer&) = delete;
    MediaPeer& operator=(const MediaPeer&) = delete;

    // Logged in to the conference; the media login has been started.
    bool LoggedIn() const { return loggedIn_; }
    uint16_t Id() const { return id_; }
    // The relay's answers: -1 none yet, else what the component reported.
    int ServerConnected() const;
    int StreamConnected() const;
    // Receives the other participant's video and sound.
    void Watch(uint16_t mediaId);
    // Pattern frames decoded from mediaId, and whether their counters rose throughout; frames
    // showing another id are counted as wrong.
    size_t FramesFrom(uint16_t mediaId, bool* rising = nullptr) const;
    size_t WrongFrames() const;
    // Level of what the speaker plays (0..50).
    int PlaybackLevel() const;
    uint64_t AudioBytesReceived() const;
    CsBot& Bot() { return bot_; }

private:
    CsBot bot_;
    kromedia::IMediaControl* media_ = nullptr;
    std::unique_ptr<fakes::ConnectionStateHandler> handler_;
    std::vector<uint16_t> watched_;
    std::unique_ptr<PatternSink> sink_;
    bool loggedIn_ = false;
    uint16_t id_ = 0;
};

}  // namespace yav::test
