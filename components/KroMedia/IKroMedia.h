#pragma once
// Interfaces of the media component: channel objects (IMediaControl), the local video source of
// a channel (ILocalVideo), the audio engine of the main channel (IAudioEngine), the render object
// of a received stream (IMediaStream) and the callbacks the component makes (IMediaHandler,
// IRecordHandler, IFrameSink). Operations keep the order, arguments and results the program
// relies on. Every callback arrives on a component thread; receivers copy what they need and
// post it to their own thread.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kromedia {

// Messages the component posts.
inline constexpr uint32_t kMsgFirstPicture = 0x9D00;    // lParam = width | height << 16
inline constexpr uint32_t kMsgStreamReady = 0x9D01;     // a stream started into a busy window
inline constexpr uint32_t kMsgCameraLost = 0x8001;      // to the local video's notify target
inline constexpr uint32_t kMsgCameraAdded = 0x512;      // to the audio engine's notify target
inline constexpr uint32_t kMsgVoiceIncentive = 0x513;   // wParam = the speaking received id
inline constexpr uint32_t kMsgPlaybackStopped = 0x510;  // playback ended by itself
inline constexpr uint32_t kMsgDeviceChange = 0x0219;    // audio devices came or went:
inline constexpr uint32_t kDeviceNodesChanged = 7;      //   wParam of that notice
inline constexpr uint32_t kMsgFileEnded = 2030;         // default notify message of a file source

// Where the component posts messages: a window of the program, adapted by the client side.
// Post may be called from any thread and must not block.
class INotifyTarget {
public:
    virtual void PostMessage(uint32_t message, uint64_t wParam, int64_t lParam) = 0;

protected:
    ~INotifyTarget() = default;
};

// A decoded picture: BGRx, 4 bytes a pixel. `data` is valid during the call; a sink that wants
// the picture later keeps `keep` (when set) instead of copying: the pixels stay readable, and
// unchanged, for as long as it is held. A 16-stream grid spends a core's tenth on such copies.
struct VideoFrame {
    uint16_t mediaId = 0;
    int width = 0;
    int height = 0;
    int stride = 0;
    const uint8_t* data = nullptr;
    std::shared_ptr<const void> keep;
    // The stream's own picture size before it was scaled to the drawing rectangle (0: the same
    // as width and height), so a window keeps the picture's proportions whatever it was given.
    int sourceWidth = 0;
    int sourceHeight = 0;
};

// The window a received stream is drawn into. OnFrame runs on a streaming thread: keep (or copy)
// the picture and post, never draw there.
class IFrameSink : public INotifyTarget {
public:
    virtual void OnFrame(const VideoFrame& frame) = 0;

protected:
    ~IFrameSink() = default;
};

class IMediaHandler {
public:
    virtual void OnMediaServerConnected(int connected) = 0;
    virtual void OnStreamServerConnected(int connected) = 0;
    virtual void OnMediaEvent3010(int a1, int a2) = 0;
    virtual void* GetLocalVideo(int channel, int a2) = 0;
    virtual void OnMediaEvent3013(int a1, int a2) = 0;
    virtual void OnMediaEvent300F(int a1) = 0;
    virtual void OnMediaEvent3012(int a1) = 0;
    virtual void OnMediaEvent3018(int a1) = 0;

protected:
    ~IMediaHandler() = default;
};

// Conference audio for recording: 16 kHz mono signed 16-bit, always 640-byte blocks.
class IRecordHandler {
public:
    virtual void OnAudioBlock(const uint8_t* data, int length) = 0;

protected:
    ~IRecordHandler() = default;
};

struct MediaRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

class IMediaStream {
public:
    virtual void SetRect(const MediaRect* rect) = 0;
    virtual void Redraw() = 0;
    // Saves the last picture as a 24-bit BMP; nonzero on success.
    virtual int SaveSnapshot(const char16_t* path) = 0;
    // Switches the stream's voice-activation marker.
    virtual void SetVoiceMarker(int on) = 0;

protected:
    ~IMediaStream() = default;
};

struct VideoSize {
    int width = 0;
    int height = 0;
};

// The control block of a file source (byte 512 of the program's media-file record, as a typed
// struct): the program fills the window and message, the player fills duration and position.
struct MediaFileControl {
    INotifyTarget* window = nullptr;
    uint32_t notifyMessage = kMsgFileEnded;
    double duration = 0;  // seconds, filled by command 4
    uint32_t videoWidth = 0;
    uint32_t videoHeight = 0;
    uint32_t paused = 0;  // command 0
    double position = 0;  // seconds, read by 3, filled by 4
    int32_t volume = 0;   // 0 loudest .. -10000, command 5
};

enum MediaCommandCode { kCmdApplyPause = 0, kCmdSeek = 3, kCmdQuery = 4, kCmdApplyVolume = 5 };

class ILocalVideo {
public:
    // Nonzero when the camera captures.
    virtual int StartCapture(uint8_t codec, uint8_t encodeMode, uint8_t frameRate, uint8_t levelB,
                             uint16_t bitRateNormal, uint8_t levelA, uint16_t bitRateBig,
                             uint16_t maxBitRate, std::string devicePath, int width, int height,
                             int reserved) = 0;
    virtual int GetInputCount() = 0;
    // Writes the name (NUL-terminated, at most capacity units); >0 on success.
    virtual int GetInputName(int index, char16_t* buffer, int capacity) = 0;
    virtual int SelectInput(uint8_t index) = 0;
    virtual int GetFormatCount() = 0;
    // >=0 on success.
    virtual int GetFormat(int index, VideoSize* size) = 0;
    // The network preset as the program passes it: (0,0,0), (1,12,4), (2,12,7), (3,14,13).
    virtual void SetOption(int a, int b, int c) = 0;
    virtual int ShowPropertyPage(void* parent) = 0;
    virtual void StopCapture() = 0;
    // Opens a media file as this channel's source; nonzero when opened.
    virtual int Open(int channel, uint8_t codec, uint8_t encodeMode, uint8_t frameRate,
                     uint8_t levelB, uint16_t bitRate, uint8_t levelA, uint16_t bitRateBig,
                     uint16_t maxBitRate, int width, int height, const char16_t* path) = 0;
    virtual int MediaCommand(MediaFileControl* control, int command) = 0;
    virtual void CloseSource() = 0;
    virtual void EnableSend(int on) = 0;
    // Nonzero (low byte) once the capturing camera was unplugged.
    virtual int IsDeviceLost() = 0;
    virtual void SetNotifyWindow(INotifyTarget* window, uint32_t message) = 0;

protected:
    ~ILocalVideo() = default;
};

class IAudioEngine {
public:
    virtual uint8_t StartCapture(uint8_t micIndex) = 0;
    virtual void StopCapture() = 0;
    virtual int StartPlayback(uint8_t speakerIndex) = 0;
    virtual void StopPlayback() = 0;
    virtual int GetParam(int id, int* value) = 0;
    virtual int SetParam(int id, const int* value) = 0;
    virtual int StartPlayTest() = 0;
    // Plays 16 kHz mono s16 test audio.
    virtual int PushTestFrame(const uint8_t* data, int length) = 0;
    virtual void StopPlayTest() = 0;
    // 0 stops the notifications.
    virtual void SetNotifyWindow(INotifyTarget* window) = 0;
    virtual void SetVoiceIncentive(uint8_t on, uint16_t myUserId) = 0;

protected:
    ~IAudioEngine() = default;
};

// One quality record: 6 bytes on the program side (u16 id, u32 value).
struct StreamQuality {
    uint16_t mediaId = 0;
    uint32_t value = 0;
};

class IMediaControl {
public:
    virtual void SetHandler(IMediaHandler* handler) = 0;
    virtual IAudioEngine* GetAudioEngine() = 0;
    virtual ILocalVideo* GetLocalVideo() = 0;
    virtual IMediaStream* GetStream(uint16_t mediaId) = 0;
    // The ticket the conference login handed out proves the session to the relay.
    virtual int Login(uint16_t mediaId, const char* serverAddress, uint16_t port, uint32_t value,
                      uint32_t conferenceId) = 0;
    virtual void Logout() = 0;
    virtual void SetUseTCP(uint32_t useTcp) = 0;
    virtual int StartRecvAudio(uint16_t mediaId, uint32_t value) = 0;
    virtual int StopRecvAudio(uint16_t mediaId) = 0;
    // A window that takes an id over from another gets the first-picture message (wParam: the
    // id) again; the window it replaces gets no call once this returns.
    virtual int StartRecvVideo(uint16_t mediaId, uint32_t mode, void* owner, IFrameSink* window,
                               uint32_t message) = 0;
    // Returns once no callback into that stream's window runs; the stream's decoder and last
    // picture go, while its render object (GetStream) stays valid, empty, for a window that
    // still holds it.
    virtual int StopRecvVideo(uint16_t mediaId) = 0;
    virtual int EnableRender(uint16_t mediaId, int on) = 0;
    // Off (or a null handler) returns once no callback into the old handler runs.
    virtual int SetRecordHandler(int on, IRecordHandler* handler) = 0;
    virtual int SetAudioSend(int on) = 0;
    // Refuses (0, logged) an address longer than 15 characters.
    virtual int SetServerAddress(const char* address) = 0;
    // Fills at most capacity records; count = records written.
    virtual int GetStreamQuality(StreamQuality* records, int capacity, int* count) = 0;
    // Adds the byte counters since the last reset: audio sent, audio received, video sent,
    // video received. reset = 1 zeroes them first.
    virtual void GetCounters(uint64_t* audioSent, uint64_t* audioReceived, uint64_t* videoSent,
                             uint64_t* videoReceived, int reset) = 0;
    // Added call: the 16-byte ticket of the conference login, before Login.
    virtual void SetTicket(const uint8_t* ticket, int length) = 0;

protected:
    ~IMediaControl() = default;
};

struct CameraEntry {
    std::string path;
    std::string name;
};

}  // namespace kromedia
