#pragma once
// The one owner of the media objects, device tables and media settings (g_pMediaManager).
// This holds its construction, the loading of its settings and the operations the room calls;
// until the media component is there, those answer as a machine without media does (no
// devices, no streams, no server connection).

#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "MediaSettings.h"

class IMediaHandler;
// The media component's audio engine.
namespace kromedia {
class IAudioEngine;
}
using IAudioEngine = kromedia::IAudioEngine;
class IMediaControl;

class XMediaManager {
public:
    static constexpr int kLevelSlots = 21;
    static constexpr int kMaxLevels = 20;

    // What the media component reports about the machine's devices.
    struct DeviceCounts {
        int cameras = 0;
        int microphones = 0;
        int speakers = 0;
    };
    using DeviceCountSource = std::function<DeviceCounts()>;

    // Zeroes the tables, sets the defaults and loads the settings.
    XMediaManager();
    virtual ~XMediaManager();
    XMediaManager(const XMediaManager&) = delete;
    XMediaManager& operator=(const XMediaManager&) = delete;

    // Where device counts come from (the media component once it is there; none before).
    static void SetDeviceCountSource(DeviceCountSource source);

    // Reads the settings record, the level table and the FEC level from the INI files.
    void LoadSettings();
    // The level values of a level select for a codec and resolution class into the record.
    void DefaultLevel(int levelSelect, int codec, ST_VIDEO_PARAM* record, int resolutionClass);
    // Width and height of a size index (320 x 240 for an unknown index).
    static void GetResolution(int index, int* width, int* height);
    // The resolution class of a picture width: 1 up to 352, 2 for 640 to 800, 3 for 1024 to
    // 1280; other widths keep the current class.
    void SetResolutionClass(int width);

    // --- the room's calls ---
    // One {media id, quality value} pair of a received stream.
    struct StreamQuality {
        uint16_t wMediaId = 0;
        uint32_t value = 0;
    };
    // Bytes of the current video configuration the room reports to the server: 4 audio
    // device, 5 owned-channel mask, 8 channel count, 12 microphone count.
    static constexpr size_t kConfigBytes = 16;

    // Creates the media engine objects with the handler for their events; false (and one log
    // line) without a media component.
    bool CreateMedia(IMediaHandler* handler);
    void DestroyMedia();
    bool HasMediaComponent() const { return false; }
    void StartCapture();
    void LoginMediaServer(uint16_t myUserId, const char* address, uint16_t port, uint32_t value,
                          uint32_t confId);
    void LogoutMediaServer();
    // The media server address last logged in to (or set), terminated, at most 15 characters.
    const char* GetServerAddress() const { return serverAddress; }
    void SetMediaServerAddress(const char* address);
    // Number of own video channels that capture.
    int GetChannelCount() const { return captureCount; }
    std::array<uint8_t, kConfigBytes> GetCurrentConfig() const;
    std::vector<StreamQuality> GetStreamQuality() const { return {}; }
    IAudioEngine* GetAudioEngine() const { return nullptr; }
    IMediaControl* GetMediaControl(uint16_t wMediaId) const;
    // Device counts as the media component reports them (0 without one).
    static int GetPlaybackDeviceCount();
    static int GetCaptureDeviceCount();
    static int GetCameraCount();
    void CaptureInsertedDevices();
    void OnRemovedDeviceTimeout();

    const ST_MEDIA_SETTINGS& GetSettings() const { return m_settings; }
    uint8_t GetFecLevel() const { return fecLevel; }
    const std::array<uint16_t, kLevelSlots>& GetLevelTable() const { return levelTable; }
    int GetResolutionClass() const { return resolutionClass; }
    int GetScreenStreamChannel() const { return screenStreamChannel; }
    int GetMicCount() const { return micCount; }
    int GetSpeakerCount() const { return speakerCount; }

private:
    void ResetTables();

    uint8_t audioState = 0;
    uint8_t videoBits = 0;
    int captureCount = 0;
    int micCount = 0;
    int speakerCount = 0;
    uint16_t myBaseId = 0;
    char serverAddress[16] = {};
    ST_MEDIA_SETTINGS m_settings;
    uint8_t fecLevel = 3;
    std::array<uint16_t, kLevelSlots> levelTable{};
    int resolutionClass = 1;
    int screenStreamChannel = -1;
    int ptzChannel = -1;
    uint16_t serverPort = 0;
    uint32_t loginValue = 0;
    IMediaHandler* m_pHandler = nullptr;
};

extern XMediaManager* g_pMediaManager;
