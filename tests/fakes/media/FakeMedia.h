#pragma once
// A fake media component: KroMedia_SetApi hands the program channel objects that record every
// call (in order, as text) and answer from tables a test sets. Install with FakeMedia::Install,
// which restores the real component when the FakeMedia goes.

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "components/KroMedia/KroMedia.h"

namespace fakes {

class FakeMedia;

class FakeAudioEngine final : public kromedia::IAudioEngine {
public:
    explicit FakeAudioEngine(FakeMedia& media) : m_media(media) {}
    uint8_t StartCapture(uint8_t micIndex) override;
    void StopCapture() override;
    int StartPlayback(uint8_t speakerIndex) override;
    void StopPlayback() override;
    int GetParam(int id, int* value) override;
    int SetParam(int id, const int* value) override;
    int StartPlayTest() override;
    int PushTestFrame(const uint8_t* data, int length) override;
    void StopPlayTest() override;
    void SetNotifyWindow(kromedia::INotifyTarget* window) override;
    void SetVoiceIncentive(uint8_t on, uint16_t myUserId) override;

    std::vector<std::pair<int, int>> params;  // SetParam calls in order

private:
    FakeMedia& m_media;
};

class FakeMediaControl final : public kromedia::IMediaControl, public kromedia::ILocalVideo {
public:
    FakeMediaControl(FakeMedia& media, int kind, int index);
    // IMediaControl
    void SetHandler(kromedia::IMediaHandler* handler) override;
    kromedia::IAudioEngine* GetAudioEngine() override;
    kromedia::ILocalVideo* GetLocalVideo() override;
    kromedia::IMediaStream* GetStream(uint16_t mediaId) override;
    int Login(uint16_t mediaId, const char* serverAddress, uint16_t port, uint32_t value,
              uint32_t conferenceId) override;
    void Logout() override;
    void SetUseTCP(uint32_t useTcp) override;
    int StartRecvAudio(uint16_t mediaId, uint32_t value) override;
    int StopRecvAudio(uint16_t mediaId) override;
    int StartRecvVideo(uint16_t mediaId, uint32_t mode, void* owner, kromedia::IFrameSink* window,
                       uint32_t message) override;
    int StopRecvVideo(uint16_t mediaId) override;
    int EnableRender(uint16_t mediaId, int on) override;
    int SetRecordHandler(int on, kromedia::IRecordHandler* handler) override;
    int SetAudioSend(int on) override;
    int SetServerAddress(const char* address) override;
    int GetStreamQuality(kromedia::StreamQuality* records, int capacity, int* count) override;
    void GetCounters(uint64_t* audioSent, uint64_t* audioReceived, uint64_t* videoSent,
                     uint64_t* videoReceived, int reset) override;
    void SetTicket(const uint8_t* ticket, int length) override;
    // ILocalVideo
    int StartCapture(uint8_t codec, uint8_t encodeMode, uint8_t frameRate, uint8_t levelB,
                     uint16_t bitRateNormal, uint8_t levelA, uint16_t bitRateBig,
                     uint16_t maxBitRate, std::string devicePath, int width, int height,
                     int reserved) override;
    int GetInputCount() override;
    int GetInputName(int index, char16_t* buffer, int capacity) override;
    int SelectInput(uint8_t index) override;
    int GetFormatCount() override;
    int GetFormat(int index, kromedia::VideoSize* size) override;
    void SetOption(int a, int b, int c) override;
    int ShowPropertyPage(void* parent) override;
    void StopCapture() override;
    int Open(int channel, uint8_t codec, uint8_t encodeMode, uint8_t frameRate, uint8_t levelB,
             uint16_t bitRate, uint8_t levelA, uint16_t bitRateBig, uint16_t maxBitRate, int width,
             int height, const char16_t* path) override;
    int MediaCommand(kromedia::MediaFileControl* control, int command) override;
    void CloseSource() override;
    void EnableSend(int on) override;
    int IsDeviceLost() override;
    void SetNotifyWindow(kromedia::INotifyTarget* window, uint32_t message) override;

    const int kind;
    const int index;  // creation order
    // Set by a test when the camera is unplugged; cleared by StartCapture and StopCapture, as
    // the component clears its own.
    bool deviceLost = false;
    bool captureResult = true;
    std::vector<std::string> inputs;
    std::vector<kromedia::VideoSize> formats;
    std::vector<kromedia::StreamQuality> quality;
    std::unique_ptr<FakeAudioEngine> audio;

private:
    void Log(const std::string& call);
    FakeMedia& m_media;
};

class FakeMedia {
public:
    FakeMedia();
    ~FakeMedia();
    // Makes the exports answer from this fake until it is destroyed.
    void Install();

    std::vector<kromedia::CameraEntry> cameras;
    std::vector<std::string> microphones;
    std::vector<std::string> speakers;
    // PulseAudio names of the microphones and speakers.
    std::vector<std::string> microphoneIds;
    std::vector<std::string> speakerIds;
    bool failCreate = false;

    // Every call made on any object, "#<channel index> Name(args)", in order.
    std::vector<std::string> Calls();
    void Record(const std::string& call);
    std::vector<FakeMediaControl*> Live();

    // Used by the export table.
    kromedia::IMediaControl* Create(int kind);
    void Release(kromedia::IMediaControl* control);

private:
    std::mutex m_mutex;
    std::vector<std::string> m_calls;
    std::vector<std::unique_ptr<FakeMediaControl>> m_live;
    int m_created = 0;
    bool m_installed = false;
};

}  // namespace fakes
