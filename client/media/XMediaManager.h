#pragma once
// The one owner of the media objects, device tables and media settings (g_pMediaManager).
// This holds its construction and the loading of its settings; capture, streams and device
// work come with the media engine.

#include <QString>

#include <array>
#include <cstdint>
#include <functional>

#include "MediaSettings.h"

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
};

extern XMediaManager* g_pMediaManager;
