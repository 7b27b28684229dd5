#pragma once
// Plays one sound file (WAVE) on a speaker: the chat window's sound effects. One pipeline at a
// time; a new sound replaces the one playing, Stop tears it down. Every state change runs on
// the component's loop thread, so no caller waits for the audio device.

#include <functional>
#include <memory>
#include <string>

namespace kromedia {

class ISoundPlayer {
public:
    // Called on the component's thread when a sound ends by itself: at its end (error false)
    // or because it could not be played (error true, logged). Not called after Stop or a
    // replacing Play.
    using Finished = std::function<void(bool error)>;

    virtual ~ISoundPlayer() = default;
    // speakerIndex: one of the playback devices; out of range plays on the default device.
    // Under YAV_TEST_DEVICES the sound goes to a null sink that keeps real time.
    virtual void Play(const std::string& path, int speakerIndex) = 0;
    virtual void Stop() = 0;
    // From Play until the end, an error or Stop.
    virtual bool IsPlaying() const = 0;
    virtual void SetFinishedCallback(Finished callback) = 0;
};

// The destructor stops the sound and returns once no callback runs.
std::unique_ptr<ISoundPlayer> CreateSoundPlayer();

}  // namespace kromedia
