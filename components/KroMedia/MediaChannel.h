#pragma once
// The component's channel object: its pipeline (capture and encode, receive and decode, audio
// mix and playback for the main channel), its relay session and the objects it hands out.

#include <gst/gst.h>

#include <array>
#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "CallbackGate.h"
#include "IKroMedia.h"
#include "PictureScaler.h"
#include "RecordBlocks.h"
#include "RelayWire.h"
#include "SendGate.h"
#include "Session.h"
#include "StreamQualityCalc.h"

namespace kromedia {

class MediaChannel;

class AudioEngine final : public IAudioEngine {
public:
    explicit AudioEngine(MediaChannel& channel) : m_channel(channel) {}
    uint8_t StartCapture(uint8_t micIndex) override;
    void StopCapture() override;
    int StartPlayback(uint8_t speakerIndex) override;
    void StopPlayback() override;
    int GetParam(int id, int* value) override;
    int SetParam(int id, const int* value) override;
    int StartPlayTest() override;
    int PushTestFrame(const uint8_t* data, int length) override;
    void StopPlayTest() override;
    void SetNotifyWindow(INotifyTarget* window) override;
    void SetVoiceIncentive(uint8_t on, uint16_t myUserId) override;

private:
    MediaChannel& m_channel;
};

// A received (or own, locally rendered) stream and the window it is drawn into.
class MediaStream final : public IMediaStream {
public:
    explicit MediaStream(uint16_t mediaId) : m_mediaId(mediaId) {}
    void SetRect(const MediaRect* rect) override;
    void Redraw() override;
    int SaveSnapshot(const char16_t* path) override;
    void SetVoiceMarker(int on) override;

    // Streaming thread: a new picture, held (not copied) as the last one.
    void Deliver(VideoFrame picture);
    // Streaming thread: a decoded I420 sample, drawn at the drawing rectangle's size.
    void DeliverDecoded(GstSample* sample);
    // Both return once no call into the old sink runs.
    void Attach(IFrameSink* sink, uint32_t message);
    void Detach();
    // Detaches and lets the last picture go: the object stays valid (a window may still hold
    // it) but holds nothing of the stream.
    void Release();
    bool VoiceMarker() const { return m_voiceMarker.load(); }
    void SetRender(bool on) { m_render = on; }

private:
    const uint16_t m_mediaId;
    CallbackGate m_gate;
    std::mutex m_mutex;  // sink, last picture, drawing size
    IFrameSink* m_sink = nullptr;
    uint32_t m_message = kMsgFirstPicture;
    bool m_firstPosted = false;
    VideoFrame m_last;
    PictureSize m_drawSize;  // zero: the stream's own
    std::atomic<bool> m_voiceMarker{false};
    std::atomic<bool> m_render{true};
};

class MediaChannel final : public IMediaControl, public ILocalVideo {
public:
    explicit MediaChannel(int kind);
    ~MediaChannel();
    MediaChannel(const MediaChannel&) = delete;
    MediaChannel& operator=(const MediaChannel&) = delete;

    // IMediaControl
    void SetHandler(IMediaHandler* handler) override;
    IAudioEngine* GetAudioEngine() override;
    ILocalVideo* GetLocalVideo() override;
    IMediaStream* GetStream(uint16_t mediaId) override;
    int Login(uint16_t mediaId, const char* serverAddress, uint16_t port, uint32_t value,
              uint32_t conferenceId) override;
    void Logout() override;
    void SetUseTCP(uint32_t useTcp) override;
    int StartRecvAudio(uint16_t mediaId, uint32_t value) override;
    int StopRecvAudio(uint16_t mediaId) override;
    int StartRecvVideo(uint16_t mediaId, uint32_t mode, void* owner, IFrameSink* window,
                       uint32_t message) override;
    int StopRecvVideo(uint16_t mediaId) override;
    int EnableRender(uint16_t mediaId, int on) override;
    int SetRecordHandler(int on, IRecordHandler* handler) override;
    int SetAudioSend(int on) override;
    int SetServerAddress(const char* address) override;
    int GetStreamQuality(StreamQuality* records, int capacity, int* count) override;
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
    int GetFormat(int index, VideoSize* size) override;
    void SetOption(int a, int b, int c) override;
    int ShowPropertyPage(void* parent) override;
    void StopCapture() override;
    int Open(int channel, uint8_t codec, uint8_t encodeMode, uint8_t frameRate, uint8_t levelB,
             uint16_t bitRate, uint8_t levelA, uint16_t bitRateBig, uint16_t maxBitRate, int width,
             int height, const char16_t* path) override;
    int MediaCommand(MediaFileControl* control, int command) override;
    void CloseSource() override;
    void EnableSend(int on) override;
    int IsDeviceLost() override;
    void SetNotifyWindow(INotifyTarget* window, uint32_t message) override;

    // The audio engine's operations (main channel only); AudioEngine forwards to them.
    uint8_t AudioStartCapture(uint8_t micIndex);
    void AudioStopCapture();
    int AudioStartPlayback(uint8_t speakerIndex);
    void AudioStopPlayback();
    int AudioGetParam(int id, int* value);
    int AudioSetParam(int id, const int* value);
    int AudioStartPlayTest();
    int AudioPushTestFrame(const uint8_t* data, int length);
    void AudioStopPlayTest();
    void AudioSetNotifyWindow(INotifyTarget* window);
    void AudioSetVoiceIncentive(uint8_t on, uint16_t myUserId);

    // For tests: reads a numeric property of a named element of the running pipeline.
    bool ReadElementProperty(const char* element, const char* property, double* value);
    // For tests: the elements of the pipeline, those inside bins included.
    int CountElements();
    // For tests: a new reference to a named element of the pipeline; null when there is none.
    GstElement* TakeElement(const char* name);

    // Ends callbacks and stops everything; the release export calls it before deleting.
    void Shutdown();

private:
    struct VideoConfig {
        bool active = false;
        bool fromFile = false;
        std::string path;  // camera node or file
        int width = 320;
        int height = 240;
        int frameRate = 15;
        int bitRateKbps = 300;
        int keyInterval = 30;
    };
    struct Remote {
        uint16_t mediaId = 0;
        relay::Kind kind = relay::Kind::Video;
        ReceptionSample lastSample;
        bool hasSample = false;
    };

    void Rebuild();
    void TearDown();
    std::string Describe() const;
    void ConnectPipeline();
    void ApplyParams();
    void ApplyParam(int id, int value);
    void OnPadAdded(GstPad* pad);
    void OnBusMessage(GstMessage* message);
    void OnDeviceChange(int change, const std::string& path);
    void OnMedia(const uint8_t* data, size_t length, bool rtcp);
    void SendOut(GstSample* sample, relay::Kind kind, bool rtcp);
    void OnLocalFrame(GstSample* sample);
    void OnRecordSample(GstSample* sample);
    MediaStream* StreamFor(uint16_t mediaId, bool create);
    void PostNotify(uint32_t message, uint64_t wParam, int64_t lParam);
    void PostAudio(uint32_t message, uint64_t wParam, int64_t lParam);
    GstElement* Element(const char* name);
    bool IsOwnId(uint16_t mediaId) const;
    // Sets the send valves to what the gate says now; called with m_buildMutex held.
    void ApplySendGate();

    // Received streams (MediaChannelReceive.cpp): a stream is decoded only while this channel
    // asked for it; its decoding branch goes when it is stopped or its sender is gone.
    bool Wanted(uint32_t ssrc) const;
    void KeepReportsOfWantedStreams();     // m_buildMutex held, while connecting the pipeline
    void FreeBranchLocked(uint32_t ssrc);  // m_buildMutex held
    void FreeBranch(uint32_t ssrc);
    void FreeBranchLater(uint32_t ssrc, bool senderGone);  // from rtpbin's threads

    const int m_kind;
    std::mutex m_buildMutex;  // pipeline (re)builds and configuration
    GstElement* m_pipeline = nullptr;
    VideoConfig m_video;
    int m_micIndex = -1;
    int m_speakerIndex = -1;
    bool m_playTest = false;
    std::map<int, int> m_params;
    int m_deviceToken = 0;

    std::mutex m_stateMutex;  // handlers, streams, remotes, ids
    IMediaHandler* m_handler = nullptr;
    INotifyTarget* m_videoNotify = nullptr;
    uint32_t m_videoNotifyMessage = kMsgCameraLost;
    INotifyTarget* m_audioNotify = nullptr;
    std::map<uint16_t, std::unique_ptr<MediaStream>> m_streams;
    std::map<uint32_t, Remote> m_remotes;  // by SSRC
    std::atomic<uint16_t> m_mediaId{0};
    std::string m_serverAddress;
    bool m_useTcp = false;
    std::array<uint8_t, relay::kTicketBytes> m_ticket{};
    bool m_voiceIncentive = false;
    uint16_t m_myUserId = 0;
    uint16_t m_speaking = 0;
    IRecordHandler* m_recordHandler = nullptr;
    CallbackGate m_recordGate;
    CallbackGate m_notifyGate;
    RecordBlocks m_recordBlocks;
    std::vector<std::string> m_inputs;
    std::vector<VideoSize> m_formats;
    int m_input = 0;

    std::atomic<bool> m_deviceLost{false};
    SendGate m_sendGate;
    bool m_videoValveOpen = false;  // as last applied (m_buildMutex)
    std::atomic<uint64_t> m_audioSent{0};
    std::atomic<uint64_t> m_audioReceived{0};
    std::atomic<uint64_t> m_videoSent{0};
    std::atomic<uint64_t> m_videoReceived{0};
    std::atomic<uint32_t> m_frameCounter{0};
    std::atomic<int> m_levelCapture{0};
    std::atomic<int> m_levelPlayback{0};
    std::map<uint32_t, GstElement*> m_appsrcs;  // ref'd, by (session << 1 | rtcp)

    GstElement* m_filePipeline = nullptr;
    MediaFileControl m_fileControl;
    INotifyTarget* m_fileWindow = nullptr;
    uint32_t m_fileMessage = kMsgFileEnded;

    std::unique_ptr<RelaySession> m_session;
    // Work handed to the loop thread enters this gate; Shutdown closes it.
    std::shared_ptr<CallbackGate> m_loopGate = std::make_shared<CallbackGate>();
    AudioEngine m_audioEngine{*this};
};

}  // namespace kromedia
