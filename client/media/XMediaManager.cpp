#include "XMediaManager.h"

#include <QStringList>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <string>

#include "IMediaHandler.h"
#include "IMediaRoom.h"
#include "components/KroMedia/KroMedia.h"
#include "config/AppSettings.h"
#include "config/ConfigManger.h"
#include "platform/core/Log.h"
#include "platform/core/Profile.h"
#include "platform/core/TextCodec.h"

XMediaManager* g_pMediaManager = nullptr;

namespace {

XMediaManager::DeviceCountSource& CountSource() {
    static XMediaManager::DeviceCountSource source;
    return source;
}

XMediaManager::DeviceCounts Counts() {
    if (CountSource()) {
        return CountSource()();
    }
    return {KroMedia_GetVideoCaptureDeviceCount(), KroMedia_GetAudioCaptureDeviceCount(),
            KroMedia_GetAudioPlaybackDeviceCount()};
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
constexpr int kLastCameraChannel = 6;
constexpr uint32_t kMsgCameraLost = kromedia::kMsgCameraLost;
constexpr int kNameBytes = 260;

// Offsets and sizes of the lists in the device-parameter block.
constexpr size_t kDeviceNamesAt = 207;
constexpr size_t kDeviceNamesSize = 400;
constexpr size_t kCodecListAt = 607;
constexpr size_t kCodecListSize = 100;
constexpr size_t kInputsAt = 707;
constexpr size_t kInputsSize = 250;
constexpr size_t kFormatsAt = 2707;
constexpr size_t kFormatsSize = 128;
constexpr size_t kMicrophonesAt = 3731;
constexpr size_t kSpeakersAt = 3981;
constexpr size_t kAudioFormatsAt = 4231;
constexpr size_t kAudioListSize = 250;
static_assert(kAudioFormatsAt + kAudioListSize == XMediaManager::kDeviceBlockSize);
static_assert(kInputsAt + 8 * kInputsSize == kFormatsAt);
static_assert(kFormatsAt + 8 * kFormatsSize == kMicrophonesAt);

uint8_t Byte(int value) {
    return static_cast<uint8_t>(value);
}

bool SamePath(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

std::vector<kromedia::CameraEntry> CameraList() {
    std::vector<kromedia::CameraEntry> list;
    KroMedia_GetVideoCaptureDevices(&list);
    return list;
}

XMediaManager::DeviceEntry EntryOf(const kromedia::CameraEntry& camera, int64_t pos) {
    return {QString::fromStdString(camera.name), QString::fromStdString(camera.path), pos};
}

// A run of NUL-terminated strings in one field of the block: an entry goes in only while it
// leaves the field's last two bytes zero, and the first one that does not fit ends the list.
class ListWriter {
public:
    ListWriter(XMediaManager::DeviceBlock& block, size_t at, size_t size)
        : m_base(block.data() + at), m_size(size) {}
    bool Add(const std::string& text) {
        if (m_full) {
            return false;
        }
        const size_t length = text.size() + 1;
        if (m_offset + length > m_size - 2) {
            m_full = true;
            return false;
        }
        std::memcpy(m_base + m_offset, text.data(), text.size());
        m_base[m_offset + text.size()] = 0;
        m_offset += length;
        return true;
    }
    uint32_t Offset() const { return static_cast<uint32_t>(m_offset); }

private:
    uint8_t* m_base;
    size_t m_size;
    size_t m_offset = 0;
    bool m_full = false;
};

template <typename Name>
void AddNames(ListWriter& list, int count, Name name) {
    char buffer[kNameBytes];
    for (int i = 0; i < count; ++i) {
        buffer[0] = 0;
        name(i, buffer, kNameBytes);
        if (!list.Add(buffer)) {
            break;
        }
    }
}

std::string VideoIni() {
    return g_ConfigManager.GetConfigVideoIniPath().toStdString();
}

std::string ClientIni() {
    return g_ConfigManager.GetClientIniPath().toStdString();
}

void WriteNumber(std::string_view section, std::string_view key, int value,
                 const std::string& path) {
    yav::profile::WriteString(section, key, std::to_string(value), path);
}

}  // namespace

// The component's callbacks, handed on to the room's handler.
class XMediaManager::HandlerBridge final : public kromedia::IMediaHandler {
public:
    explicit HandlerBridge(::IMediaHandler* handler) : m_handler(handler) {}
    void OnMediaServerConnected(int connected) override {
        m_handler->OnMediaServerConnected(connected);
    }
    void OnStreamServerConnected(int connected) override {
        m_handler->OnStreamServerConnected(connected);
    }
    void OnMediaEvent3010(int a1, int a2) override { m_handler->OnMediaEvent3010(a1, a2); }
    void* GetLocalVideo(int channel, int a2) override {
        return m_handler->GetLocalVideo(static_cast<uint32_t>(channel), a2);
    }
    void OnMediaEvent3013(int a1, int a2) override { m_handler->OnMediaEvent3013(a1, a2); }
    void OnMediaEvent300F(int a1) override { m_handler->OnMediaEvent300F(a1); }
    void OnMediaEvent3012(int a1) override { m_handler->OnMediaEvent3012(a1); }
    void OnMediaEvent3018(int a1) override { m_handler->OnMediaEvent3018(a1); }

private:
    ::IMediaHandler* m_handler;
};

XMediaManager::XMediaManager() {
    ResetTables();
    LoadSettings();
}

XMediaManager::~XMediaManager() {
    LogoutMediaServer();
    StopAllCapture();
    DestroyMediaControls();
}

void XMediaManager::SetDeviceCountSource(DeviceCountSource source) {
    CountSource() = std::move(source);
}

void XMediaManager::SetTickSource(TickSource source) {
    m_tick = std::move(source);
}

uint64_t XMediaManager::Tick() const {
    if (m_tick) {
        return m_tick();
    }
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::steady_clock::now().time_since_epoch())
                                     .count());
}

void XMediaManager::ConfigBytes(uint8_t a, uint8_t b, uint8_t c, uint8_t d, uint8_t e, uint8_t f) {
    if (m_pRoom != nullptr) {
        m_pRoom->SetConfigBytes(a, b, c, d, e, f);
    }
}

void XMediaManager::ResetTables() {
    audioState = 0;
    videoBits = 0;
    captureCount = 0;
    micCount = 0;
    speakerCount = 0;
    channels.fill(nullptr);
    audioEngine = nullptr;
    localVideo.fill(nullptr);
    myBaseId = 0;
    std::memset(serverAddress, 0, sizeof(serverAddress));
    m_block.fill(0);
    m_settings = ST_MEDIA_SETTINGS();
    inputs = {};
    formats = {};
    fecLevel = 3;
    levelTable.fill(0);
    resolutionClass = 1;
    screenStreamChannel = -1;
    ptzChannel = -1;
    serverPort = 0;
    loginValue = 0;
    m_confId = 0;
    devices.clear();
    removedDevices.clear();
    m_bCamerasOff = false;
}

// --- settings --------------------------------------------------------------------------------

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
        yav::profile::GetString(section, "H264", "85,75,300,100", 50, VideoIni());
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
    const std::string video = VideoIni();
    const std::string client = ClientIni();

    const DeviceCounts counts = Counts();
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
    for (int n = 0; n < kChannels; ++n) {
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

void XMediaManager::SaveSettings() {
    const std::string video = VideoIni();
    const ST_MEDIA_SETTINGS& s = m_settings;
    WriteNumber("AudioConfig", "Capture", s.Capture, video);
    WriteNumber("AudioConfig", "Formate", s.Formate, video);
    WriteNumber("AudioConfig", "FormateID", s.FormateID, video);
    WriteNumber("AudioConfig", "Player", s.Player, video);
    // The voice processing switches are the user's: a forced 1 would undo an "off".
    WriteNumber("AudioConfig", "VAD", s.VAD, video);
    WriteNumber("AudioConfig", "AutoVol", s.AutoVol, video);
    WriteNumber("AudioConfig", "HighLost", s.HighLost, video);
    WriteNumber("AudioConfig", "AEC", s.AEC, video);
    WriteNumber("AudioConfig", "ANS", s.ANS, video);
    WriteNumber("AudioConfig", "AGC", s.AGC, video);
    WriteNumber("AudioConfig", "LocalPlay", 0, video);
    WriteEndpointIds();
    WriteNumber("VideoParam", "VideoCount", s.VideoCount, video);
    WriteNumber("VideoParam", "FirstSel", s.FirstSel, video);
    WriteNumber("VideoParam", "Capture", s.CaptureFlag, video);
    WriteNumber("VideoParam", "UseTCP", s.UseTCP, video);
    for (const auto& [key, entry] : devices) {
        if (key < 0 || key >= kChannels) {
            continue;
        }
        const ST_VIDEO_PARAM& r = s.video[static_cast<size_t>(key)];
        const std::string section = "VideoConfig-" + std::to_string(key + 1);
        WriteNumber(section, "Input", r.Input, video);
        WriteNumber(section, "Size", r.Size, video);
        WriteNumber(section, "Codec", 0, video);
        WriteNumber(section, "EncodeMode", r.EncodeMode, video);
        WriteNumber(section, "FrameRate", 15, video);
        WriteNumber(section, "KeyInterval", r.KeyInterval, video);
        WriteNumber(section, "LevelSelect", r.LevelSelect, video);
        WriteNumber(section, "CommPort", r.CommPort, video);
        WriteNumber(section, "CameraType", r.CameraType, video);
        WriteNumber(section, "NetStatus", 1, video);
        WriteNumber(section, "MaxBitrate", 0, video);
        WriteNumber(section, "CommAddr", r.CommAddr, video);
        WriteNumber(section, "CameBtl", r.CameBtl, video);
        WriteNumber(section, "ScreenStreamParam", r.ScreenStreamParam, video);
    }
}

void XMediaManager::BuildDeviceLists() {
    LoadSettings();
    m_block.fill(0);
    yav::proto::ByteWriter record(ST_MEDIA_SETTINGS::kSize);
    m_settings.Write(record);
    std::memcpy(m_block.data(), record.Data().data(), ST_MEDIA_SETTINGS::kSize);

    ListWriter microphones(m_block, kMicrophonesAt, kAudioListSize);
    AddNames(microphones, KroMedia_GetAudioCaptureDeviceCount(),
             [](int i, char* buffer, int capacity) {
                 KroMedia_GetAudioCaptureDeviceName(i, buffer, capacity);
             });
    ListWriter audioFormats(m_block, kAudioFormatsAt, kAudioListSize);
    const int formatCount = KroMedia_GetAudioFormatCount();
    for (int i = 0; i < formatCount; ++i) {
        uint8_t value = 0;
        char name[kNameBytes] = {};
        if (KroMedia_GetAudioFormat(Byte(i), &value, name, kNameBytes) == 0) {
            continue;
        }
        char entry[kNameBytes + 8];
        std::snprintf(entry, sizeof entry, "%03d%s", value, name);
        if (!audioFormats.Add(entry)) {
            break;
        }
    }
    ListWriter speakers(m_block, kSpeakersAt, kAudioListSize);
    AddNames(speakers, KroMedia_GetAudioPlaybackDeviceCount(),
             [](int i, char* buffer, int capacity) {
                 KroMedia_GetAudioPlaybackDeviceName(i, buffer, capacity);
             });
    ListWriter names(m_block, kDeviceNamesAt, kDeviceNamesSize);
    for (const auto& [key, entry] : devices) {
        if (!names.Add(yav::text::Utf16ToGbk(entry.name.toStdU16String()))) {
            break;
        }
    }
    ListWriter codecs(m_block, kCodecListAt, kCodecListSize);
    AddNames(codecs, KroMedia_GetVideoCodecCount(), [](int i, char* buffer, int capacity) {
        KroMedia_GetVideoCodecName(i, buffer, capacity);
    });
    const int deviceCount = std::min<int>(m_settings.VideoCount, kChannels);
    for (int d = 0; d < deviceCount; ++d) {
        ListWriter list(m_block, kInputsAt + kInputsSize * static_cast<size_t>(d), kInputsSize);
        const DeviceInputs& in = inputs[static_cast<size_t>(d)];
        for (size_t i = 0; i < in.count && list.Add(in.names[i]); ++i) {
        }
    }
    for (int d = 0; d < deviceCount; ++d) {
        ListWriter list(m_block, kFormatsAt + kFormatsSize * static_cast<size_t>(d), kFormatsSize);
        const DeviceFormats& f = formats[static_cast<size_t>(d)];
        for (size_t i = 0; i < f.count && list.Add(f.texts[i]); ++i) {
        }
    }
}

void XMediaManager::GetDeviceParam(DeviceBlock* out) {
    if (out == nullptr) {
        return;
    }
    if (g_AppSettings.bVideoCapMode != 0) {
        BuildDeviceLists();
        *out = m_block;
        return;
    }
    LoadSettings();
    yav::proto::ByteWriter record(ST_MEDIA_SETTINGS::kSize);
    m_settings.Write(record);
    std::memcpy(m_block.data(), record.Data().data(), ST_MEDIA_SETTINGS::kSize);
    *out = m_block;
    const int deviceCount = std::min<int>(m_settings.VideoCount, kChannels);
    for (int d = 0; d < deviceCount; ++d) {
        const size_t at = kInputsAt + kInputsSize * static_cast<size_t>(d);
        std::memset(out->data() + at, 0, kInputsSize);
        ListWriter list(*out, at, kInputsSize);
        const DeviceInputs& in = inputs[static_cast<size_t>(d)];
        for (size_t i = 0; i < in.count; ++i) {
            const uint32_t offset = list.Offset();
            if (!list.Add(in.names[i])) {
                break;
            }
            YLOG_DEBUG("%s", ("n=" + std::to_string(d) + " nOffset=" + std::to_string(offset) +
                              " " + in.names[i])
                                 .c_str());
        }
    }
}

void XMediaManager::SendDeviceParam(uint16_t toUser) {
    BuildDeviceLists();
    if (m_pRoom != nullptr) {
        m_pRoom->TransmitToUser(toUser, kSubDeviceParam, m_block.data(), m_block.size());
    }
}

void XMediaManager::SetRemoteParam(const uint8_t* data, int size) {
    if (data == nullptr || size != static_cast<int>(ST_MEDIA_SETTINGS::kSize)) {
        YLOG_DEBUG("设置远程参数，获取的数据为空或者大小不正确");
        return;
    }
    ST_MEDIA_SETTINGS next;
    yav::proto::ByteReader reader(std::span<const uint8_t>(data, ST_MEDIA_SETTINGS::kSize));
    next.Read(reader);

    if (next.UseTCP != g_AppSettings.UseTCP) {
        SetUseTCP(next.UseTCP);
        g_AppSettings.UseTCP = next.UseTCP;
    }
    uint8_t state = audioState;
    if (audioEngine != nullptr) {
        if (next.Capture != m_settings.Capture) {
            audioEngine->StopCapture();
            state = audioEngine->StartCapture(next.Capture);
        }
        if (next.Player != m_settings.Player) {
            audioEngine->StopPlayback();
            audioEngine->StartPlayback(next.Player);
        }
        if (next.FormateID != m_settings.FormateID) {
            const int value = next.FormateID;
            audioEngine->SetParam(107, &value);
        }
        if (next.HighLost != m_settings.HighLost) {
            const int value = next.HighLost != 0 ? fecLevel : 2;
            audioEngine->SetParam(104, &value);
        }
    }

    uint8_t bits = videoBits;
    const int count = std::min<int>(next.VideoCount, kChannels);
    for (int d = 0; d < count; ++d) {
        kromedia::ILocalVideo* video = localVideo[static_cast<size_t>(d)];
        if (video == nullptr) {
            continue;
        }
        const int ok = InternalApplyParam(d, m_settings.video[static_cast<size_t>(d)],
                                          next.video[static_cast<size_t>(d)], video);
        if (ok == 0 && myBaseId != 0 && m_pRoom != nullptr) {
            m_pRoom->OnVideoOpenResult(static_cast<uint16_t>(myBaseId + d), 0, 0);
        }
        bits = ok != 0 ? Byte(bits | (1u << d)) : Byte(bits & ~(1u << d));
    }
    if (bits == 0 && videoBits != 0 && m_pRoom != nullptr) {
        m_pRoom->ShowVideoStoppedNotice();
    }
    if (bits != videoBits || state != audioState) {
        videoBits = bits;
        audioState = state;
        ConfigBytes(bits, state, 255, 255, 255, 255);
    }
    yav::proto::ByteWriter before(ST_MEDIA_SETTINGS::kSize);
    m_settings.Write(before);
    yav::proto::ByteWriter after(ST_MEDIA_SETTINGS::kSize);
    next.Write(after);
    if (before.Data() != after.Data()) {
        m_settings = next;
        SaveSettings();
    }
}

int XMediaManager::InternalApplyParam(int d, const ST_VIDEO_PARAM& cur, ST_VIDEO_PARAM& next,
                                      kromedia::ILocalVideo* video) {
    int result = (videoBits >> d) & 1;
    if (next.Size > kLastSizeIndex) {
        return 0;
    }
    int width = 0;
    int height = 0;
    GetResolution(next.Size, &width, &height);
    SetResolutionClass(width);
    DefaultLevel(next.LevelSelect, next.Codec, &next, resolutionClass);
    if (next.Size != cur.Size || next.LevelSelect != cur.LevelSelect) {
        result =
            StartWithRecord(video, next, d, width, height, next.bitRateNormal, next.bitRateBig);
    }
    video->SelectInput(next.Input);
    // Camera controllers on a serial port are not part of this client: nothing to rebuild.
    return result;
}

// --- objects and the media server -----------------------------------------------------------

kromedia::IMediaControl* XMediaManager::CreateChannel(int n, int kind) {
    kromedia::IMediaControl* channel = KroMedia_CreateMediaControl(kind);
    if (channel == nullptr) {
        return nullptr;
    }
    channels[static_cast<size_t>(n)] = channel;
    channel->SetHandler(m_bridge.get());
    localVideo[static_cast<size_t>(n)] = channel->GetLocalVideo();
    return channel;
}

bool XMediaManager::CreateMedia(IMediaHandler* handler) {
    if (handler == nullptr) {
        return false;
    }
    if (channels[0] != nullptr) {
        DestroyMediaControls();
    }
    m_bridge = std::make_unique<HandlerBridge>(handler);
    const int limit = m_pRoom != nullptr ? m_pRoom->GetVideoLimits().channels : kChannels;
    int n = std::min(GetCameraCount(), limit);
    if (g_AppSettings.bVideoCapMode != 0 && n >= 2) {
        n = 1;
    }
    if (CreateChannel(0, kromedia::kKindMain) == nullptr) {
        YLOG_ERROR("media component: the main channel could not be created");
        return false;
    }
    for (int i = 1; i < n && i <= kLastCameraChannel; ++i) {
        CreateChannel(i, kromedia::kKindVideo);
    }
    CreateChannel(kMediaChannel, kromedia::kKindVideo);
    audioEngine = channels[0]->GetAudioEngine();
    if (g_AppSettings.UseTCP != 0) {
        SetUseTCP(g_AppSettings.UseTCP);
        m_settings.UseTCP = g_AppSettings.UseTCP;
    }
    return true;
}

void XMediaManager::DestroyMediaControls() {
    for (kromedia::IMediaControl*& channel : channels) {
        if (channel != nullptr) {
            KroMedia_ReleaseMediaControl(channel);
            channel = nullptr;
        }
    }
    localVideo.fill(nullptr);
    audioEngine = nullptr;
}

void XMediaManager::DestroyMedia() {
    YLOG_INFO("DestroyMedia 1");
    LogoutMediaServer();
    YLOG_INFO("DestroyMedia 2");
    StopAllCapture();
    YLOG_INFO("DestroyMedia 3");
    DestroyMediaControls();
    YLOG_INFO("DestroyMedia 4");
    ResetTables();
    LoadSettings();
}

bool XMediaManager::SetMediaServerAddress(const char* address) {
    if (address == nullptr || std::strlen(address) >= sizeof serverAddress) {
        YLOG_ERROR("media server address refused: %s", address != nullptr ? address : "(none)");
        return false;
    }
    std::memset(serverAddress, 0, sizeof serverAddress);
    std::memcpy(serverAddress, address, std::strlen(address));
    for (kromedia::IMediaControl* channel : channels) {
        if (channel != nullptr) {
            channel->SetServerAddress(serverAddress);
        }
    }
    return true;
}

void XMediaManager::SetMediaTicket(const uint8_t* ticket, int length) {
    m_ticket.clear();
    if (ticket != nullptr && length > 0) {
        m_ticket.assign(ticket, ticket + length);
    }
}

void XMediaManager::LoginMediaServer(uint16_t base, const char* address, uint16_t port,
                                     uint32_t value, uint32_t confId) {
    myBaseId = base;
    serverPort = port;
    loginValue = value;
    m_confId = confId;
    YLOG_DEBUG("LoginMediaServer user=%u server=%s:%u conf=%u", base,
               address != nullptr ? address : "", port, confId);
    if (!SetMediaServerAddress(address)) {
        // A cut address would reach some other host: no channel logs in.
        return;
    }
    for (int n = 0; n < kChannels; ++n) {
        kromedia::IMediaControl* channel = channels[static_cast<size_t>(n)];
        if (channel == nullptr) {
            continue;
        }
        if (!m_ticket.empty()) {
            channel->SetTicket(m_ticket.data(), static_cast<int>(m_ticket.size()));
        }
        channel->Login(static_cast<uint16_t>(base + n), serverAddress, port, value, confId);
        channel->SetUseTCP(g_AppSettings.UseTCP);
    }
}

void XMediaManager::LogoutMediaServer() {
    myBaseId = 0;
    for (kromedia::IMediaControl* channel : channels) {
        if (channel != nullptr) {
            channel->Logout();
        }
    }
    for (kromedia::ILocalVideo* video : localVideo) {
        if (video != nullptr) {
            video->EnableSend(1);
        }
    }
}

kromedia::IMediaControl* XMediaManager::GetMediaControl(uint16_t wMediaId) const {
    const bool mine = m_pRoom != nullptr ? m_pRoom->IsMyChannel(wMediaId)
                                         : myBaseId != 0 && (wMediaId & ~7u) == myBaseId;
    return mine ? channels[wMediaId & 7u] : channels[0];
}

kromedia::ILocalVideo* XMediaManager::GetLocalVideo(int n) const {
    if (n < 0 || n >= kChannels) {
        return nullptr;
    }
    return localVideo[static_cast<size_t>(n)];
}

kromedia::IMediaStream* XMediaManager::GetStream(uint16_t wMediaId) const {
    kromedia::IMediaControl* channel = GetMediaControl(wMediaId);
    return channel != nullptr ? channel->GetStream(wMediaId) : nullptr;
}

int XMediaManager::StartRecvAudio(uint16_t wMediaId, uint32_t value) {
    kromedia::IMediaControl* channel = GetMediaControl(wMediaId);
    return channel != nullptr ? channel->StartRecvAudio(wMediaId, value) : 0;
}

int XMediaManager::StopRecvAudio(uint16_t wMediaId) {
    kromedia::IMediaControl* channel = GetMediaControl(wMediaId);
    return channel != nullptr ? channel->StopRecvAudio(wMediaId) : 0;
}

void XMediaManager::SetAudioSend(int on) {
    if (channels[0] != nullptr) {
        channels[0]->SetAudioSend(on);
    }
}

void XMediaManager::SetRecordHandler(int on, kromedia::IRecordHandler* handler) {
    for (kromedia::IMediaControl* channel : channels) {
        if (channel != nullptr) {
            channel->SetRecordHandler(on, handler);
        }
    }
}

void XMediaManager::SetUseTCP(uint32_t value) {
    for (kromedia::IMediaControl* channel : channels) {
        if (channel != nullptr) {
            channel->SetUseTCP(value);
        }
    }
}

int XMediaManager::GetStreamQuality(kromedia::StreamQuality* records, int capacity) {
    int count = 0;
    if (channels[0] == nullptr || records == nullptr || capacity <= 0) {
        return 0;
    }
    channels[0]->GetStreamQuality(records, capacity, &count);
    return std::clamp(count, 0, capacity);
}

std::vector<XMediaManager::StreamQuality> XMediaManager::GetStreamQuality() {
    // Every stream a room can receive: eight channels of each of a room's participants fit.
    std::vector<kromedia::StreamQuality> records(256);
    const int count = GetStreamQuality(records.data(), static_cast<int>(records.size()));
    std::vector<StreamQuality> out;
    for (int i = 0; i < count; ++i) {
        out.push_back(
            {records[static_cast<size_t>(i)].mediaId, records[static_cast<size_t>(i)].value});
    }
    return out;
}

void XMediaManager::SetVoiceIncentive(uint8_t on) {
    WriteNumber("AudioConfig", "voiceincentive", on, ClientIni());
    if (audioEngine != nullptr) {
        audioEngine->SetVoiceIncentive(on, m_pRoom != nullptr ? m_pRoom->GetMyUserId() : myBaseId);
    }
}

void XMediaManager::SetChannelVideoEnable(int n, int on) {
    if (n < 0 || n >= kChannels) {
        return;
    }
    if (on == 0 && m_pRoom != nullptr) {
        m_pRoom->CloseChannelWindow(static_cast<uint16_t>(m_pRoom->GetMyUserId() + n));
    }
    const int index = g_AppSettings.bVideoCapMode != 0 ? 0 : n;
    if (kromedia::ILocalVideo* video = localVideo[static_cast<size_t>(index)]) {
        video->EnableSend(on);
    }
    videoBits = on != 0 ? Byte(videoBits | (1u << index)) : Byte(videoBits & ~(1u << index));
}

void XMediaManager::SetCamerasOn(bool on) {
    if (on == !m_bCamerasOff) {
        return;
    }
    YLOG_INFO("cameras switched %s by the user", on ? "on" : "off");
    std::vector<int> keys;
    for (const auto& [key, entry] : devices) {
        keys.push_back(key);
    }
    if (g_AppSettings.bVideoCapMode != 0 && keys.size() > 1) {
        keys.resize(1);
    }
    if (!on) {
        // Sending stops before the camera does, so no picture leaves between the two.
        for (const int key : keys) {
            SetChannelVideoEnable(key, 0);
            StopVideoCapture(key);
        }
        m_bCamerasOff = true;
        ConfigBytes(videoBits, 255, 255, 255, 255, 0);
        return;
    }
    m_bCamerasOff = false;
    for (const int key : keys) {
        if (StartVideoCapture(key) != 0) {
            SetChannelVideoEnable(key, 1);
        }
    }
}

void XMediaManager::GetByteCounters(std::uint64_t counters[4], int reset) const {
    for (kromedia::IMediaControl* channel : channels) {
        if (channel != nullptr) {
            channel->GetCounters(&counters[0], &counters[1], &counters[2], &counters[3], reset);
        }
    }
}

void XMediaManager::ReportVideoConfig(const uint8_t* record) {
    if (record != nullptr) {
        ConfigBytes(record[5], record[4], record[8], record[12], 255, 0);
    }
}

int XMediaManager::OpenChannelSource(int n, uint16_t bitRate, const char16_t* path) {
    if (n < 0 || n >= kChannels || localVideo[static_cast<size_t>(n)] == nullptr) {
        return 0;
    }
    const ST_VIDEO_PARAM& r = m_settings.video[static_cast<size_t>(n)];
    int width = 0;
    int height = 0;
    GetResolution(r.Size, &width, &height);
    const uint16_t maxBitRate = levelTable[std::min<size_t>(r.MaxBitrate, kLevelSlots - 1)];
    return localVideo[static_cast<size_t>(n)]->Open(n, r.Codec, r.EncodeMode, r.FrameRate, r.levelB,
                                                    bitRate, r.levelA, bitRate, maxBitRate, width,
                                                    height, path);
}

int XMediaManager::StartAudio() {
    if (audioEngine == nullptr) {
        return 0;
    }
    const ST_MEDIA_SETTINGS& s = m_settings;
    audioEngine->SetNotifyWindow(m_pRoom != nullptr ? m_pRoom->GetMediaNotifyTarget() : nullptr);
    if (audioEngine->StartPlayback(s.Player) == 0) {
        YLOG_WARN("启动出错,初始化音频播放设备失败");
    }
    audioState = audioEngine->StartCapture(s.Capture);
    const std::pair<int, int> params[] = {
        {107, s.FormateID},
        {1, s.ANS},
        {2, s.AEC},
        {3, s.AGC},
        {104, s.HighLost != 0 ? fecLevel : 2},
        {103, s.VAD},
        {4, s.AutoVol},
        {9, s.LocalPlay},
    };
    for (const auto& [id, value] : params) {
        audioEngine->SetParam(id, &value);
    }
    if (yav::profile::GetInt("AudioConfig", "voiceincentive", 0, ClientIni()) != 0) {
        SetVoiceIncentive(1);
    }
    WriteEndpointIds();
    micCount = KroMedia_GetAudioCaptureDeviceCount();
    speakerCount = KroMedia_GetAudioPlaybackDeviceCount();
    ConfigBytes(255, audioState, 255, 255, Byte(micCount), 255);
    return 0;
}

void XMediaManager::StopAudio() {
    if (audioEngine == nullptr) {
        return;
    }
    audioEngine->SetNotifyWindow(nullptr);
    audioEngine->StopPlayback();
    audioEngine->StopCapture();
}

void XMediaManager::WriteEndpointIds() {
    // The PulseAudio sink and source names of the chosen speaker and microphone.
    std::string play;
    int speaker = m_settings.Player;
    EnumAudioEndpoints(play, speaker, 2, 1);
    std::string capture;
    int microphone = m_settings.Capture;
    EnumAudioEndpoints(capture, microphone, 1, 1);
    const std::string client = ClientIni();
    yav::profile::WriteString("AudioConfig", "playDevId", play, client);
    yav::profile::WriteString("AudioConfig", "capDevId", capture, client);
}

bool XMediaManager::EnumAudioEndpoints(std::string& id, int& index, int flow, int mode) {
    const int count =
        flow == 1 ? KroMedia_GetAudioCaptureDeviceCount() : KroMedia_GetAudioPlaybackDeviceCount();
    char buffer[kNameBytes];
    if (mode == 1) {
        id.clear();
        if (index >= 0 && index < count &&
            KroMedia_GetAudioDeviceId(flow, index, buffer, kNameBytes) > 0) {
            id = buffer;
        }
        return !id.empty();
    }
    for (int i = 0; i < count; ++i) {
        if (KroMedia_GetAudioDeviceId(flow, i, buffer, kNameBytes) > 0 &&
            QString::fromUtf8(buffer).compare(QString::fromStdString(id), Qt::CaseInsensitive) ==
                0) {
            index = i;
            return true;
        }
    }
    index = -2;
    return false;
}

// --- capture and hot-plug --------------------------------------------------------------------

void XMediaManager::StartCapture() {
    YLOG_INFO("start capture start");
    LoadSettings();
    StartAudio();
    YLOG_INFO("start capture start 2");
    const std::vector<kromedia::CameraEntry> list = CameraList();
    if (g_AppSettings.bVideoCapMode == 0) {
        for (int i = 0; i < kChannels && static_cast<size_t>(i) < list.size(); ++i) {
            if (channels[static_cast<size_t>(i)] == nullptr) {
                continue;
            }
            devices[i] = EntryOf(list[static_cast<size_t>(i)], i);
            StartVideoCapture(i);
        }
    } else {
        int selected = g_AppSettings.CurCapVideoID;
        if (static_cast<size_t>(selected) >= list.size()) {
            selected = 0;
        }
        YLOG_INFO("StartVideoCapture: ID=%d", selected);
        if (static_cast<size_t>(selected) < list.size()) {
            devices[0] = EntryOf(list[static_cast<size_t>(selected)], selected);
        }
        StartVideoCapture(0);
    }
    BuildDeviceLists();
    YLOG_INFO("start capture over");
}

int XMediaManager::StartWithRecord(kromedia::ILocalVideo* video, const ST_VIDEO_PARAM& r, int n,
                                   int width, int height, uint16_t bitRateNormal,
                                   uint16_t bitRateBig) {
    video->SetNotifyWindow(m_pRoom != nullptr ? m_pRoom->GetMediaNotifyTarget() : nullptr,
                           kMsgCameraLost);
    const uint16_t maxBitRate = levelTable[std::min<size_t>(r.MaxBitrate, kLevelSlots - 1)];
    const std::string path = GetDevicePath(n).toStdString();
    if (m_bCamerasOff) {
        // The user turned the cameras off: nothing captures until they turn them on.
        YLOG_INFO("camera %d stays off: the user switched the cameras off", n);
        return 0;
    }
    const int result =
        video->StartCapture(r.Codec, r.EncodeMode, r.FrameRate, r.levelB, bitRateNormal, r.levelA,
                            bitRateBig, maxBitRate, path, width, height, 0);
    YLOG_DEBUG(
        "frameRate=%d bitRateNormal=%d bitRateBig=%d maxBitRate=%d width=%d height=%d "
        "devpath=%s success=%d",
        r.FrameRate, bitRateNormal, bitRateBig, maxBitRate, width, height, path.c_str(), result);
    return result;
}

int XMediaManager::StartVideoCapture(int n) {
    kromedia::ILocalVideo* video = GetLocalVideo(n);
    if (video == nullptr) {
        YLOG_WARN("StartVideoCapture IVideoLocalControl索引值不存在");
        return 0;
    }
    const ST_VIDEO_PARAM& r = m_settings.video[static_cast<size_t>(n)];
    const IMediaRoom::VideoLimits limits =
        m_pRoom != nullptr ? m_pRoom->GetVideoLimits() : IMediaRoom::VideoLimits{};
    int width = 0;
    int height = 0;
    GetResolution(r.Size, &width, &height);
    if (limits.maxPixels > 0 && width * height > limits.maxPixels) {
        width = limits.maxWidth;
        height = limits.maxHeight;
    }
    uint16_t bitRateNormal = r.bitRateNormal;
    uint16_t bitRateBig = r.bitRateBig;
    if (limits.maxBitRateKbps > 0 && bitRateNormal > limits.maxBitRateKbps) {
        bitRateNormal = 64;
        bitRateBig = 64;
    }
    const int result = StartWithRecord(video, r, n, width, height, bitRateNormal, bitRateBig);
    videoBits = result != 0 ? Byte(videoBits | (1u << n)) : Byte(videoBits & ~(1u << n));
    if (result != 0) {
        ++captureCount;
        m_settings.VideoCount = Byte(captureCount);
        WriteNumber("VideoParam", "VideoCount", captureCount, VideoIni());
        video->SelectInput(r.Input);
        ReadDeviceLists(n, r);
    }
    const int videocnt = std::max(captureCount, n + 1);
    YLOG_INFO("startvideocapture 发送设备信息 hasvideo=%d videocnt=%d", videoBits, videocnt);
    ConfigBytes(videoBits, audioState, Byte(videocnt), 0, 255, 0);
    return result;
}

void XMediaManager::ReadDeviceLists(int n, const ST_VIDEO_PARAM& r) {
    kromedia::ILocalVideo* video = localVideo[static_cast<size_t>(n)];
    DeviceInputs& in = inputs[static_cast<size_t>(n)];
    in = {};
    const int inputCount = video->GetInputCount();
    if (inputCount > static_cast<int>(kMaxInputs)) {
        YLOG_WARN("camera %d has %d inputs: only the first %zu are listed", n, inputCount,
                  kMaxInputs);
    }
    for (int i = 0; i < inputCount && in.count < kMaxInputs; ++i) {
        char16_t wide[kNameBytes] = {};
        if (video->GetInputName(i, wide, kNameBytes) <= 0) {
            continue;
        }
        in.names[in.count] = yav::text::Utf16ToUtf8(std::u16string_view(wide));
        YLOG_INFO("GetVideoSourceName:%s", in.names[in.count].c_str());
        ++in.count;
    }

    const std::string client = ClientIni();
    std::vector<std::string> allowed;
    const bool filter = yav::profile::GetInt("VideoFormat", "filter", 0, client) != 0;
    if (filter) {
        const int allowedCount = yav::profile::GetInt("VideoFormat", "nformatnum", 0, client);
        for (int i = 0; i < allowedCount; ++i) {
            allowed.push_back(
                yav::profile::GetString("VideoFormat", std::to_string(i), "", 21, client));
        }
    }
    const IMediaRoom::VideoLimits limits =
        m_pRoom != nullptr ? m_pRoom->GetVideoLimits() : IMediaRoom::VideoLimits{};
    DeviceFormats& out = formats[static_cast<size_t>(n)];
    out = {};
    int dropped = 0;
    const int formatCount = video->GetFormatCount();
    for (int i = 0; i < formatCount; ++i) {
        kromedia::VideoSize size;
        if (video->GetFormat(i, &size) < 0) {
            continue;
        }
        const std::string key = std::to_string(size.width) + "*" + std::to_string(size.height);
        if (filter && std::find(allowed.begin(), allowed.end(), key) == allowed.end()) {
            continue;
        }
        if (limits.maxPixels > 0 && size.width * size.height > limits.maxPixels) {
            continue;
        }
        if (out.count >= kMaxFormats) {
            ++dropped;
            continue;
        }
        out.texts[out.count++] = std::to_string(size.width) + " X " + std::to_string(size.height);
    }
    if (dropped > 0) {
        YLOG_WARN("camera %d: %d formats past the first %zu are not listed", n, dropped,
                  kMaxFormats);
    }

    switch (r.NetStatus) {
        case 0:
            video->SetOption(0, 0, 0);
            break;
        case 1:
            video->SetOption(1, 12, 4);
            break;
        case 2:
            video->SetOption(2, 12, 7);
            break;
        case 3:
            video->SetOption(3, 14, 13);
            break;
        default:
            break;
    }
}

bool XMediaManager::StopVideoCapture(int n) {
    kromedia::ILocalVideo* video = GetLocalVideo(n);
    if (video == nullptr) {
        YLOG_WARN("StopVideoCapture IVideoLocalControl索引值不存在");
        return false;
    }
    video->StopCapture();
    captureCount = std::max(captureCount - 1, 0);
    return true;
}

void XMediaManager::StopAllCapture() {
    StopAudio();
    if (g_AppSettings.bVideoCapMode == 0) {
        for (const auto& [key, entry] : devices) {
            StopVideoCapture(key);
        }
    } else if (!devices.empty()) {
        StopVideoCapture(devices.begin()->first);
    }
    devices.clear();
}

int XMediaManager::CheckCameraState() {
    for (int n = 0; n < kChannels; ++n) {
        kromedia::ILocalVideo* video = localVideo[static_cast<size_t>(n)];
        if (video == nullptr) {
            continue;
        }
        YLOG_INFO("检查摄像头运行状态%d", n);
        if ((video->IsDeviceLost() & 0xFF) == 0) {
            continue;
        }
        YLOG_INFO("摄像头已经被拔下，停止捕获");
        video->StopCapture();
        captureCount = std::max(captureCount - 1, 0);
        if (auto it = devices.find(n); it != devices.end()) {
            const auto id = static_cast<uint16_t>(myBaseId + n);
            YLOG_INFO("检测媒体%d是否是广播视频%d", id, n);
            if (m_pRoom != nullptr && m_pRoom->IsMediaIdBroadcast(id) &&
                g_AppSettings.bVideoCapMode == 0) {
                DeviceEntry entry = it->second;
                entry.pos = static_cast<int64_t>(Tick());
                removedDevices[n] = entry;
                m_pRoom->SetDevicePollTimer(1);
                YLOG_INFO("将移除设备插入移除队列");
            }
            devices.erase(it);
        }
        RenumberDevices();
        videoBits = Byte(videoBits & ~(1u << n));
        const int count = devices.empty() ? captureCount : devices.rbegin()->first + 1;
        YLOG_INFO("拔下摄像头之后，更新设备信息 视频bit=%d 个数=%d", videoBits, count);
        ConfigBytes(videoBits, 255, Byte(count), 0, 255, 0);
    }
    return 1;
}

void XMediaManager::OnRemovedDeviceTimeout() {
    const uint64_t now = Tick();
    for (auto it = removedDevices.begin(); it != removedDevices.end();) {
        if (now - static_cast<uint64_t>(it->second.pos) > kRemovedDeviceMs) {
            YLOG_INFO("被移除的设备倒计时结束 取消广播 索引%d", it->first);
            if (m_pRoom != nullptr) {
                m_pRoom->BroadcastVideo(static_cast<uint16_t>(myBaseId + it->first), 0);
            }
            it = removedDevices.erase(it);
        } else {
            ++it;
        }
    }
    if (removedDevices.empty() && m_pRoom != nullptr) {
        m_pRoom->SetDevicePollTimer(0);
    }
}

int XMediaManager::CaptureInsertedDevices() {
    YLOG_INFO("开始捕获新插入设备 1");
    const std::vector<kromedia::CameraEntry> list = CameraList();
    if (g_AppSettings.bVideoCapMode != 0) {
        if (devices.empty()) {
            int selected = g_AppSettings.CurCapVideoID;
            if (static_cast<size_t>(selected) >= list.size()) {
                selected = 0;
            }
            YLOG_INFO("开始捕获新插入设备: 当前没有设备，开始捕获新插入的设备 ID=%d", selected);
            if (static_cast<size_t>(selected) < list.size()) {
                devices[0] = EntryOf(list[static_cast<size_t>(selected)], -1);
            }
            StartVideoCapture(0);
        }
    } else {
        std::vector<kromedia::CameraEntry> fresh;
        for (const kromedia::CameraEntry& camera : list) {
            const QString path = QString::fromStdString(camera.path);
            const bool known = std::any_of(devices.begin(), devices.end(), [&](const auto& d) {
                return SamePath(d.second.path, path);
            });
            if (!known) {
                fresh.push_back(camera);
            }
        }
        YLOG_INFO("开始捕获新插入设备： 设备新插入个数%zu", fresh.size());
        for (auto it = removedDevices.begin(); it != removedDevices.end();) {
            auto match = std::find_if(fresh.begin(), fresh.end(), [&](const auto& camera) {
                return SamePath(it->second.path, QString::fromStdString(camera.path));
            });
            if (match == fresh.end()) {
                ++it;
                continue;
            }
            const int key = it->first;
            YLOG_INFO("开始捕获新插入设备：被移除的设备%d,重新被插入 开始捕获", key);
            DeviceEntry entry = it->second;
            entry.pos = 0;
            devices[key] = entry;
            it = removedDevices.erase(it);
            fresh.erase(match);
            StartVideoCapture(key);
        }
        const int limit = m_pRoom != nullptr ? m_pRoom->GetVideoLimits().channels : kChannels;
        for (int k = 0; !fresh.empty() && k < limit && k < kChannels; ++k) {
            if (devices.count(k) != 0 || removedDevices.count(k) != 0) {
                continue;
            }
            if (channels[static_cast<size_t>(k)] != nullptr) {
                YLOG_INFO("开始捕获新插入设备：替补插入%d", k);
            } else if (k == 0) {
                YLOG_WARN("不存在这个条件");
                continue;
            } else {
                kromedia::IMediaControl* channel =
                    m_bridge ? CreateChannel(k, kromedia::kKindVideo) : nullptr;
                if (channel == nullptr) {
                    YLOG_WARN("创建采集对象失败");
                    continue;
                }
                YLOG_INFO("开始捕获新插入设备：超过初始化总数 创建对象之后插入%d", k);
                if (!m_ticket.empty()) {
                    channel->SetTicket(m_ticket.data(), static_cast<int>(m_ticket.size()));
                }
                channel->Login(static_cast<uint16_t>(myBaseId + k), serverAddress, serverPort,
                               loginValue, m_pRoom != nullptr ? m_pRoom->GetConfId() : m_confId);
                channel->SetUseTCP(g_AppSettings.UseTCP);
            }
            devices[k] = EntryOf(fresh.front(), 0);
            fresh.erase(fresh.begin());
            StartVideoCapture(k);
        }
        if (!fresh.empty()) {
            YLOG_INFO("摄像机个数超过最大个数加已经拔出但是未删除的个数");
        }
    }
    RenumberDevices();
    BuildDeviceLists();
    YLOG_INFO("开始捕获新插入设备 3");
    return 1;
}

void XMediaManager::RenumberDevices() {
    YLOG_DEBUG("重拍设备索引 1");
    const std::vector<kromedia::CameraEntry> list = CameraList();
    YLOG_DEBUG("重拍设备索引 2");
    for (size_t p = 0; p < list.size(); ++p) {
        const QString path = QString::fromStdString(list[p].path);
        for (auto& [key, entry] : devices) {
            if (!SamePath(entry.path, path)) {
                continue;
            }
            if (entry.pos == g_AppSettings.CurCapVideoID) {
                g_AppSettings.CurCapVideoID = Byte(static_cast<int>(p));
            }
            entry.pos = static_cast<int64_t>(p);
        }
    }
    YLOG_DEBUG("重拍设备索引 3");
}

void XMediaManager::SwitchCurrentCamera(int index) {
    if (g_AppSettings.bVideoCapMode == 0) {
        return;
    }
    if (index == g_AppSettings.CurCapVideoID && !devices.empty()) {
        return;
    }
    YLOG_INFO("设备调试 切换当前选择的摄像头 cur=%d new=%d", g_AppSettings.CurCapVideoID, index);
    StopVideoCapture(0);
    const std::vector<kromedia::CameraEntry> list = CameraList();
    if (index >= 0 && static_cast<size_t>(index) < list.size()) {
        devices[0] = EntryOf(list[static_cast<size_t>(index)], index);
    }
    StartVideoCapture(0);
    g_AppSettings.CurCapVideoID = Byte(index);
    WriteNumber("VideoParam", "CurCapVideoID", index, VideoIni());
    YLOG_INFO("设备调试 切换当前选择的摄像头 完成");
    removedDevices.clear();
}

QString XMediaManager::GetDevicePath(int key) const {
    const auto it = devices.find(key);
    return it != devices.end() ? it->second.path : QString();
}

int XMediaManager::FindDeviceIndexByName(const QString& path) const {
    for (const auto& [key, entry] : devices) {
        if (SamePath(entry.path, path)) {
            return key;
        }
    }
    return -1;
}

// --- state for the room ----------------------------------------------------------------------

std::array<uint8_t, XMediaManager::kConfigBytes> XMediaManager::GetCurrentConfig() const {
    std::array<uint8_t, kConfigBytes> config{};
    config[4] = audioState;
    config[5] = videoBits;
    config[8] = Byte(captureCount);
    config[12] = Byte(micCount);
    return config;
}

int XMediaManager::GetPlaybackDeviceCount() {
    return Counts().speakers;
}

int XMediaManager::GetCaptureDeviceCount() {
    return Counts().microphones;
}

int XMediaManager::GetCameraCount() {
    return Counts().cameras;
}
