#pragma once
// The one owner of the media component's objects (g_pMediaManager): eight channel objects, the
// audio engine, the local video sources, the device tables and the media settings. Everything
// here runs on the room's thread; the component's callbacks reach the room through the handler
// given to CreateMedia.

#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "MediaSettings.h"

class IMediaHandler;
class IMediaRoom;

// The media component's interfaces.
namespace kromedia {
class IAudioEngine;
class IMediaControl;
class ILocalVideo;
class IMediaStream;
class IRecordHandler;
struct StreamQuality;
}  // namespace kromedia

using IAudioEngine = kromedia::IAudioEngine;

class XMediaManager {
public:
    static constexpr int kChannels = 8;
    static constexpr int kLevelSlots = 21;
    static constexpr int kMaxLevels = 20;
    static constexpr size_t kMaxInputs = 16;
    static constexpr size_t kMaxFormats = 24;
    static constexpr size_t kInputNameBytes = 260;
    static constexpr size_t kFormatTextBytes = 36;
    static constexpr size_t kServerAddressBytes = 16;
    // The device-parameter block another participant (or the device dialog) reads.
    static constexpr size_t kDeviceBlockSize = 4481;
    using DeviceBlock = std::array<uint8_t, kDeviceBlockSize>;
    // An unplugged camera that was broadcast keeps its broadcast this long.
    static constexpr uint64_t kRemovedDeviceMs = 15000;
    static constexpr uint16_t kSubDeviceParam = 260;

    // What the media component reports about the machine's devices.
    struct DeviceCounts {
        int cameras = 0;
        int microphones = 0;
        int speakers = 0;
    };
    using DeviceCountSource = std::function<DeviceCounts()>;
    // Milliseconds of a monotonic clock (GetTickCount).
    using TickSource = std::function<uint64_t()>;

    // A camera the manager captures: its name and path, and its position in the component's
    // camera list (-1 not known yet). For an unplugged camera pos holds the tick it went.
    struct DeviceEntry {
        QString name;
        QString path;
        int64_t pos = -1;
    };

    struct DeviceInputs {
        uint8_t count = 0;
        std::array<std::string, kMaxInputs> names;
    };
    struct DeviceFormats {
        uint8_t count = 0;
        std::array<std::string, kMaxFormats> texts;
    };

    // Zeroes the tables, sets the defaults and loads the settings.
    XMediaManager();
    virtual ~XMediaManager();
    XMediaManager(const XMediaManager&) = delete;
    XMediaManager& operator=(const XMediaManager&) = delete;

    // Where device counts come from; empty: the media component's exports.
    static void SetDeviceCountSource(DeviceCountSource source);
    // The room this manager reports to and asks (null: nobody).
    void SetRoom(IMediaRoom* room) { m_pRoom = room; }
    IMediaRoom* GetRoom() const { return m_pRoom; }
    // Empty restores the system clock.
    void SetTickSource(TickSource source);

    // --- settings ---
    void LoadSettings();
    void SaveSettings();
    // The level values of a level select for a codec and resolution class into the record.
    void DefaultLevel(int levelSelect, int codec, ST_VIDEO_PARAM* record, int resolutionClass);
    // Width and height of a size index (320 x 240 for an unknown index).
    static void GetResolution(int index, int* width, int* height);
    // The resolution class of a picture width: 1 up to 352, 2 for 640 to 800, 3 for 1024 to
    // 1280; other widths keep the current class.
    void SetResolutionClass(int width);
    // Fills the device-parameter block from the settings and the device tables.
    void BuildDeviceLists();
    void GetDeviceParam(DeviceBlock* out);
    // Answers a participant's request for this client's devices.
    void SendDeviceParam(uint16_t toUser);
    // Applies a changed 207-byte settings record (another participant or the device dialog).
    void SetRemoteParam(const uint8_t* data, int size);

    // --- objects and the media server ---
    // One {media id, quality value} pair of a received stream.
    struct StreamQuality {
        uint16_t wMediaId = 0;
        uint32_t value = 0;
    };
    // Bytes of the current video configuration the room reports to the server: 4 audio
    // state, 5 capturing-channel mask, 8 channel count, 12 microphone count.
    static constexpr size_t kConfigBytes = 16;

    bool CreateMedia(IMediaHandler* handler);
    void DestroyMedia();
    bool HasMediaComponent() const { return channels[0] != nullptr; }
    void LoginMediaServer(uint16_t base, const char* address, uint16_t port, uint32_t value,
                          uint32_t confId);
    void LogoutMediaServer();
    // The 16-byte ticket of the conference login; handed to every channel before its login.
    void SetMediaTicket(const uint8_t* ticket, int length);
    // The media server address last logged in to (or set), terminated, at most 15 characters.
    const char* GetServerAddress() const { return serverAddress; }
    // False (logged, nothing changed) for a null or longer address.
    bool SetMediaServerAddress(const char* address);
    kromedia::IMediaControl* GetMediaControl(uint16_t wMediaId) const;
    kromedia::ILocalVideo* GetLocalVideo(int n) const;
    kromedia::IMediaStream* GetStream(uint16_t wMediaId) const;
    IAudioEngine* GetAudioEngine() const { return audioEngine; }
    int StartRecvAudio(uint16_t wMediaId, uint32_t value);
    int StopRecvAudio(uint16_t wMediaId);
    void SetAudioSend(int on);
    // Off returns only once no callback into the old handler runs.
    void SetRecordHandler(int on, kromedia::IRecordHandler* handler);
    void SetUseTCP(uint32_t value);
    // Fills at most capacity records; the number written.
    int GetStreamQuality(kromedia::StreamQuality* records, int capacity);
    std::vector<StreamQuality> GetStreamQuality();
    void SetVoiceIncentive(uint8_t on);
    void SetChannelVideoEnable(int n, int on);
    // The user's camera switch: off stops sending and capturing on every camera the manager
    // holds (no picture leaves the machine, the camera goes dark) and keeps them off whatever
    // asks to capture meanwhile; on captures and sends them again.
    void SetCamerasOn(bool on);
    bool AreCamerasOn() const { return !m_bCamerasOff; }
    // Adds every channel's byte counters since their last reset (audio sent, audio received,
    // video sent, video received); reset zeroes them first.
    void GetByteCounters(std::uint64_t counters[4], int reset) const;
    // The video part of a 16-byte configuration record to the server.
    void ReportVideoConfig(const uint8_t* record);
    int OpenChannelSource(int n, uint16_t bitRate, const char16_t* path);
    int StartAudio();
    void StopAudio();
    // flow 1 capture / 2 render; mode 1 index -> id, mode 2 id -> index (-2 when none).
    static bool EnumAudioEndpoints(std::string& id, int& index, int flow, int mode);

    // --- capture and hot-plug ---
    void StartCapture();
    int StartVideoCapture(int n);
    bool StopVideoCapture(int n);
    void StopAllCapture();
    int CheckCameraState();
    int CaptureInsertedDevices();
    void SwitchCurrentCamera(int index);
    void OnRemovedDeviceTimeout();
    QString GetDevicePath(int key) const;
    int FindDeviceIndexByName(const QString& path) const;

    // --- state for the room and tests ---
    int GetChannelCount() const { return captureCount; }
    std::array<uint8_t, kConfigBytes> GetCurrentConfig() const;
    static int GetPlaybackDeviceCount();
    static int GetCaptureDeviceCount();
    static int GetCameraCount();
    const ST_MEDIA_SETTINGS& GetSettings() const { return m_settings; }
    const DeviceBlock& GetDeviceBlock() const { return m_block; }
    const std::map<int, DeviceEntry>& GetDevices() const { return devices; }
    const std::map<int, DeviceEntry>& GetRemovedDevices() const { return removedDevices; }
    const DeviceInputs& GetInputs(int n) const { return inputs[static_cast<size_t>(n & 7)]; }
    const DeviceFormats& GetFormats(int n) const { return formats[static_cast<size_t>(n & 7)]; }
    uint8_t GetVideoBits() const { return videoBits; }
    uint8_t GetAudioState() const { return audioState; }
    uint16_t GetMyBaseId() const { return myBaseId; }
    uint8_t GetFecLevel() const { return fecLevel; }
    const std::array<uint16_t, kLevelSlots>& GetLevelTable() const { return levelTable; }
    int GetResolutionClass() const { return resolutionClass; }
    int GetScreenStreamChannel() const { return screenStreamChannel; }
    int GetMicCount() const { return micCount; }
    int GetSpeakerCount() const { return speakerCount; }

private:
    class HandlerBridge;

    void ResetTables();
    void DestroyMediaControls();
    kromedia::IMediaControl* CreateChannel(int n, int kind);
    void ReadDeviceLists(int n, const ST_VIDEO_PARAM& r);
    void RenumberDevices();
    int InternalApplyParam(int d, const ST_VIDEO_PARAM& cur, ST_VIDEO_PARAM& next,
                           kromedia::ILocalVideo* video);
    int StartWithRecord(kromedia::ILocalVideo* video, const ST_VIDEO_PARAM& r, int n, int width,
                        int height, uint16_t bitRateNormal, uint16_t bitRateBig);
    void ConfigBytes(uint8_t a, uint8_t b, uint8_t c, uint8_t d, uint8_t e, uint8_t f);
    uint64_t Tick() const;
    void WriteEndpointIds();

    uint8_t audioState = 0;
    uint8_t videoBits = 0;
    int captureCount = 0;
    int micCount = 0;
    int speakerCount = 0;
    std::array<kromedia::IMediaControl*, kChannels> channels{};
    IAudioEngine* audioEngine = nullptr;
    std::array<kromedia::ILocalVideo*, kChannels> localVideo{};
    uint16_t myBaseId = 0;
    char serverAddress[kServerAddressBytes] = {};
    DeviceBlock m_block{};
    ST_MEDIA_SETTINGS m_settings;
    std::array<DeviceInputs, kChannels> inputs{};
    std::array<DeviceFormats, kChannels> formats{};
    uint8_t fecLevel = 3;
    std::array<uint16_t, kLevelSlots> levelTable{};
    int resolutionClass = 1;
    int screenStreamChannel = -1;
    int ptzChannel = -1;
    uint16_t serverPort = 0;
    uint32_t loginValue = 0;
    uint32_t m_confId = 0;
    std::map<int, DeviceEntry> devices;
    std::map<int, DeviceEntry> removedDevices;

    std::vector<uint8_t> m_ticket;
    bool m_bCamerasOff = false;
    IMediaRoom* m_pRoom = nullptr;
    TickSource m_tick;
    std::unique_ptr<HandlerBridge> m_bridge;
};

extern XMediaManager* g_pMediaManager;
