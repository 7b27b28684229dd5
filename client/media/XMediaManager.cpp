#include "XMediaManager.h"

#include <QStringList>

#include <algorithm>
#include <cstring>
#include <string>

#include "app/AppSettings.h"
#include "app/ConfigManger.h"
#include "platform/core/Log.h"
#include "platform/core/Profile.h"

XMediaManager* g_pMediaManager = nullptr;

namespace {

XMediaManager::DeviceCountSource& CountSource() {
    static XMediaManager::DeviceCountSource source;
    return source;
}

struct Resolution {
    int width;
    int height;
};

constexpr std::array<Resolution, 24> kResolutions = {{
    {160, 120},  {176, 144},  {320, 176},  {320, 240},  {352, 288},  {432, 240},
    {544, 288},  {640, 360},  {640, 480},  {704, 576},  {720, 480},  {720, 576},
    {752, 416},  {800, 448},  {800, 600},  {864, 480},  {960, 544},  {960, 720},
    {1024, 576}, {1024, 768}, {1184, 656}, {1280, 720}, {1280, 960}, {1920, 1080},
}};

constexpr int kLastSizeIndex = 23;
constexpr int kMediaChannel = 7;

uint8_t Byte(int value) {
    return static_cast<uint8_t>(value);
}

}  // namespace

XMediaManager::XMediaManager() {
    ResetTables();
    LoadSettings();
}

XMediaManager::~XMediaManager() = default;

void XMediaManager::SetDeviceCountSource(DeviceCountSource source) {
    CountSource() = std::move(source);
}

void XMediaManager::ResetTables() {
    audioState = 0;
    videoBits = 0;
    captureCount = 0;
    micCount = 0;
    speakerCount = 0;
    myBaseId = 0;
    std::memset(serverAddress, 0, sizeof(serverAddress));
    m_settings = ST_MEDIA_SETTINGS();
    fecLevel = 3;
    levelTable.fill(0);
    resolutionClass = 1;
    screenStreamChannel = -1;
    ptzChannel = -1;
    serverPort = 0;
    loginValue = 0;
}

void XMediaManager::GetResolution(int index, int* width, int* height) {
    Resolution r{320, 240};
    if (index >= 0 && index <= kLastSizeIndex) {
        r = kResolutions[static_cast<size_t>(index)];
    }
    if (width != nullptr) {
        *width = r.width;
    }
    if (height != nullptr) {
        *height = r.height;
    }
}

void XMediaManager::SetResolutionClass(int width) {
    if (width <= 352) {
        resolutionClass = 1;
    } else if (width >= 640 && width <= 800) {
        resolutionClass = 2;
    } else if (width >= 1024 && width <= 1280) {
        resolutionClass = 3;
    }
}

void XMediaManager::DefaultLevel(int levelSelect, int codec, ST_VIDEO_PARAM* record,
                                 int resolutionClassValue) {
    if (record == nullptr) {
        return;
    }
    const std::string section =
        "VideoLevel-" + std::to_string(resolutionClassValue) + "-" + std::to_string(levelSelect);
    // Only H.264 levels exist; other codecs take the H.264 values.
    (void)codec;
    const std::string text =
        yav::profile::GetString(section, "H264", "85,75,300,100", 50,
                                g_ConfigManager.GetConfigVideoIniPath().toStdString());
    const QStringList values = QString::fromStdString(text).split(QLatin1Char(','));
    if (values.size() < 4) {
        return;
    }
    record->levelA = Byte(values[0].trimmed().toInt());
    record->levelB = Byte(values[1].trimmed().toInt());
    record->bitRateBig = static_cast<uint16_t>(values[2].trimmed().toInt());
    record->bitRateNormal = static_cast<uint16_t>(values[3].trimmed().toInt());
}

void XMediaManager::LoadSettings() {
    using yav::profile::GetInt;
    const std::string video = g_ConfigManager.GetConfigVideoIniPath().toStdString();
    const std::string client = g_ConfigManager.GetClientIniPath().toStdString();

    DeviceCounts counts;
    if (CountSource()) {
        counts = CountSource()();
    }
    micCount = std::max(counts.microphones, 0);
    speakerCount = std::max(counts.speakers, 0);

    ST_MEDIA_SETTINGS& s = m_settings;
    s.Capture = Byte(GetInt("AudioConfig", "Capture", 0, video));
    if (s.Capture >= micCount) {
        s.Capture = 0;
    }
    s.Player = Byte(GetInt("AudioConfig", "Player", 0, video));
    if (s.Player >= speakerCount) {
        s.Player = 0;
    }
    s.Formate = Byte(GetInt("AudioConfig", "Formate", 0, video));
    s.FormateID = Byte(GetInt("AudioConfig", "FormateID", 6, video));
    s.AutoVol = Byte(GetInt("AudioConfig", "AutoVol", 1, video));
    s.VAD = Byte(GetInt("AudioConfig", "VAD", 1, video));
    s.HighLost = Byte(GetInt("AudioConfig", "HighLost", 0, video));
    s.AEC = Byte(GetInt("AudioConfig", "AEC", 1, video));
    s.ANS = Byte(GetInt("AudioConfig", "ANS", 1, video));
    s.AGC = Byte(GetInt("AudioConfig", "AGC", 0, video));
    s.LocalPlay = Byte(GetInt("AudioConfig", "LocalPlay", 0, video));
    int cameras = std::clamp(counts.cameras, 0, 8);
    if (g_AppSettings.bVideoCapMode != 0 && cameras >= 2) {
        cameras = 1;
    }
    s.VideoCount = Byte(cameras);
    s.FirstSel = 0;
    s.UseTCP = g_AppSettings.UseTCP;
    fecLevel = Byte(GetInt("AudioConfig", "FECLevel", 3, video));

    screenStreamChannel = -1;
    for (int n = 0; n < static_cast<int>(ST_MEDIA_SETTINGS::kChannels); ++n) {
        const std::string section = "VideoConfig-" + std::to_string(n + 1);
        const bool cameraChannel = n != kMediaChannel;
        ST_VIDEO_PARAM& r = s.video[static_cast<size_t>(n)];
        r.Input = Byte(GetInt(section, "Input", 0, video));
        r.Size = Byte(GetInt(section, "Size", 1, video));
        if (cameraChannel && r.Size > kLastSizeIndex) {
            r.Size = 8;
        }
        r.Codec = Byte(GetInt(section, "Codec", 0, video));
        r.EncodeMode = Byte(GetInt(section, "EncodeMode", cameraChannel ? 1 : 0, video));
        r.FrameRate = Byte(GetInt(section, "FrameRate", 15, video));
        r.KeyInterval = Byte(GetInt(section, "KeyInterval", 15, video));
        r.LevelSelect = Byte(GetInt(section, "LevelSelect", 1, video));
        DefaultLevel(r.LevelSelect, r.Codec, &r, 1);
        r.MaxBitrate = static_cast<uint16_t>(GetInt(section, "MaxBitrate", 0, video));
        r.CommPort = static_cast<int8_t>(GetInt(section, "CommPort", -1, video));
        r.CameraType = static_cast<int8_t>(GetInt(section, "CameraType", -1, video));
        r.NetStatus = Byte(GetInt(section, "NetStatus", 1, video));
        r.CommAddr = static_cast<uint16_t>(GetInt(section, "CommAddr", 0, video));
        r.CameBtl = static_cast<uint16_t>(GetInt(section, "CameBtl", 9600, video));
        if (cameraChannel) {
            r.AutoVideoParam = Byte(GetInt(section, "AutoVideoParam", 0, video));
            r.ScreenStreamParam = Byte(GetInt(section, "ScreenStreamParam", 0, video));
            if (r.ScreenStreamParam == 1) {
                screenStreamChannel = n;
            }
        } else {
            r.AutoVideoParam = 0;
            r.ScreenStreamParam = 0;
        }
    }

    levelTable.fill(0);
    const int levelNum = std::clamp(GetInt("VideoParam", "LevelNum", 1, video), 0, kMaxLevels);
    for (int i = 1; i <= levelNum; ++i) {
        const std::string section =
            "VideoLevel-" + std::to_string(resolutionClass) + "-" + std::to_string(i);
        const std::string name = yav::profile::GetString(section, "LevelName", "", 41, client);
        if (!name.empty()) {
            levelTable[static_cast<size_t>(i)] =
                static_cast<uint16_t>(GetInt(section, "LevelName", 0, client));
        }
    }
}

// --- the room's calls ------------------------------------------------------------------------

bool XMediaManager::CreateMedia(IMediaHandler* handler) {
    m_pHandler = handler;
    YLOG_INFO("media component not available: the room runs without audio and video");
    return false;
}

void XMediaManager::DestroyMedia() {
    m_pHandler = nullptr;
    captureCount = 0;
}

void XMediaManager::StartCapture() {
    const DeviceCounts counts = CountSource() ? CountSource()() : DeviceCounts{};
    micCount = counts.microphones;
    speakerCount = counts.speakers;
    YLOG_DEBUG("StartCapture cameras=%d microphones=%d speakers=%d", counts.cameras,
               counts.microphones, counts.speakers);
}

void XMediaManager::LoginMediaServer(uint16_t myUserId, const char* address, uint16_t port,
                                     uint32_t value, uint32_t confId) {
    myBaseId = myUserId;
    SetMediaServerAddress(address);
    serverPort = port;
    loginValue = value;
    YLOG_DEBUG("LoginMediaServer user=%u server=%s:%u conf=%u", myUserId, serverAddress, port,
               confId);
}

void XMediaManager::LogoutMediaServer() {
    serverPort = 0;
}

void XMediaManager::SetMediaServerAddress(const char* address) {
    std::memset(serverAddress, 0, sizeof serverAddress);
    if (address != nullptr) {
        std::memcpy(serverAddress, address, strnlen(address, sizeof serverAddress - 1));
    }
}

std::array<uint8_t, XMediaManager::kConfigBytes> XMediaManager::GetCurrentConfig() const {
    std::array<uint8_t, kConfigBytes> config{};
    config[4] = Byte(micCount > 0 ? 1 : 0);
    config[5] = videoBits;
    config[8] = Byte(captureCount);
    config[12] = Byte(micCount);
    return config;
}

IMediaControl* XMediaManager::GetMediaControl(uint16_t) const {
    return nullptr;
}

int XMediaManager::GetPlaybackDeviceCount() {
    return CountSource() ? CountSource()().speakers : 0;
}

int XMediaManager::GetCaptureDeviceCount() {
    return CountSource() ? CountSource()().microphones : 0;
}

int XMediaManager::GetCameraCount() {
    return CountSource() ? CountSource()().cameras : 0;
}

void XMediaManager::CaptureInsertedDevices() {
    YLOG_DEBUG("CaptureInsertedDevices: no media component to open cameras with");
}

void XMediaManager::OnRemovedDeviceTimeout() {}
