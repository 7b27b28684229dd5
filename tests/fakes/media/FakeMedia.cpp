#include "FakeMedia.h"

#include <algorithm>
#include <cstring>

namespace fakes {

namespace {

FakeMedia* g_current = nullptr;

int NameAt(const std::vector<std::string>& names, int index, char* buffer, int capacity) {
    if (index < 0 || static_cast<size_t>(index) >= names.size()) {
        return 0;
    }
    return kromedia::CopyName(names[static_cast<size_t>(index)], buffer, capacity);
}

const kromedia::Api kFakeApi = {
    [](int kind) { return g_current->Create(kind); },
    [](kromedia::IMediaControl* control) { g_current->Release(control); },
    [] { return static_cast<int>(g_current->microphones.size()); },
    [](int index, char* buffer, int capacity) {
        return NameAt(g_current->microphones, index, buffer, capacity);
    },
    [] { return static_cast<int>(g_current->speakers.size()); },
    [](int index, char* buffer, int capacity) {
        return NameAt(g_current->speakers, index, buffer, capacity);
    },
    [] { return kromedia::RealApi().getAudioFormatCount(); },
    [](uint8_t index, uint8_t* value, char* buffer, int capacity) {
        return kromedia::RealApi().getAudioFormat(index, value, buffer, capacity);
    },
    [] { return kromedia::RealApi().getVideoCodecCount(); },
    [](int index, char* buffer, int capacity) {
        return kromedia::RealApi().getVideoCodecName(index, buffer, capacity);
    },
    [] { return static_cast<int>(g_current->cameras.size()); },
    [](std::vector<kromedia::CameraEntry>* list) {
        if (list == nullptr) {
            return 0;
        }
        *list = g_current->cameras;
        return static_cast<int>(list->size());
    },
    [](int flow, int index, char* buffer, int capacity) {
        return NameAt(flow == 1 ? g_current->microphoneIds : g_current->speakerIds, index, buffer,
                      capacity);
    },
};

std::string S(int v) {
    return std::to_string(v);
}

}  // namespace

// ---- FakeMedia -------------------------------------------------------------------------------

FakeMedia::FakeMedia() = default;

FakeMedia::~FakeMedia() {
    if (m_installed) {
        kromedia::KroMedia_SetApi(nullptr);
        g_current = nullptr;
    }
}

void FakeMedia::Install() {
    g_current = this;
    m_installed = true;
    kromedia::KroMedia_SetApi(&kFakeApi);
}

std::vector<std::string> FakeMedia::Calls() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_calls;
}

void FakeMedia::Record(const std::string& call) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_calls.push_back(call);
}

std::vector<FakeMediaControl*> FakeMedia::Live() {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<FakeMediaControl*> out;
    for (auto& c : m_live) {
        out.push_back(c.get());
    }
    return out;
}

kromedia::IMediaControl* FakeMedia::Create(int kind) {
    if (failCreate || (kind != kromedia::kKindMain && kind != kromedia::kKindVideo)) {
        Record("Create(" + S(kind) + ") failed");
        return nullptr;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    const int index = m_created++;
    m_calls.push_back("Create(" + S(kind) + ") #" + S(index));
    m_live.push_back(std::make_unique<FakeMediaControl>(*this, kind, index));
    return m_live.back().get();
}

void FakeMedia::Release(kromedia::IMediaControl* control) {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto it = m_live.begin(); it != m_live.end(); ++it) {
        if (it->get() == control) {
            m_calls.push_back("Release #" + S((*it)->index));
            m_live.erase(it);
            return;
        }
    }
    m_calls.push_back("Release of an unknown object");
}

// ---- FakeMediaControl -----------------------------------------------------------------------

FakeMediaControl::FakeMediaControl(FakeMedia& media, int kindValue, int indexValue)
    : kind(kindValue), index(indexValue), m_media(media) {
    if (kind == kromedia::kKindMain) {
        audio = std::make_unique<FakeAudioEngine>(media);
    }
}

void FakeMediaControl::Log(const std::string& call) {
    m_media.Record("#" + S(index) + " " + call);
}

void FakeMediaControl::SetHandler(kromedia::IMediaHandler*) {
    Log("SetHandler");
}
kromedia::IAudioEngine* FakeMediaControl::GetAudioEngine() {
    return audio.get();
}
kromedia::ILocalVideo* FakeMediaControl::GetLocalVideo() {
    return this;
}
kromedia::IMediaStream* FakeMediaControl::GetStream(uint16_t mediaId) {
    Log("GetStream(" + S(mediaId) + ")");
    return nullptr;
}
int FakeMediaControl::Login(uint16_t mediaId, const char* serverAddress, uint16_t port,
                            uint32_t value, uint32_t conferenceId) {
    Log("Login(" + S(mediaId) + "," + std::string(serverAddress != nullptr ? serverAddress : "") +
        "," + S(port) + "," + std::to_string(value) + "," + std::to_string(conferenceId) + ")");
    return 1;
}
void FakeMediaControl::Logout() {
    Log("Logout");
}
void FakeMediaControl::SetUseTCP(uint32_t useTcp) {
    Log("SetUseTCP(" + std::to_string(useTcp) + ")");
}
int FakeMediaControl::StartRecvAudio(uint16_t mediaId, uint32_t) {
    Log("StartRecvAudio(" + S(mediaId) + ")");
    return 1;
}
int FakeMediaControl::StopRecvAudio(uint16_t mediaId) {
    Log("StopRecvAudio(" + S(mediaId) + ")");
    return 1;
}
int FakeMediaControl::StartRecvVideo(uint16_t mediaId, uint32_t mode, void*, kromedia::IFrameSink*,
                                     uint32_t message) {
    Log("StartRecvVideo(" + S(mediaId) + "," + std::to_string(mode) + "," +
        std::to_string(message) + ")");
    return 1;
}
int FakeMediaControl::StopRecvVideo(uint16_t mediaId) {
    Log("StopRecvVideo(" + S(mediaId) + ")");
    return 1;
}
int FakeMediaControl::EnableRender(uint16_t mediaId, int on) {
    Log("EnableRender(" + S(mediaId) + "," + S(on) + ")");
    return 1;
}
int FakeMediaControl::SetRecordHandler(int on, kromedia::IRecordHandler*) {
    Log("SetRecordHandler(" + S(on) + ")");
    return 1;
}
int FakeMediaControl::SetAudioSend(int on) {
    Log("SetAudioSend(" + S(on) + ")");
    return 1;
}
int FakeMediaControl::SetServerAddress(const char* address) {
    Log("SetServerAddress(" + std::string(address != nullptr ? address : "") + ")");
    return 1;
}
int FakeMediaControl::GetStreamQuality(kromedia::StreamQuality* records, int capacity, int* count) {
    Log("GetStreamQuality(" + S(capacity) + ")");
    int n = 0;
    for (const auto& q : quality) {
        if (records == nullptr || n >= capacity) {
            break;
        }
        records[n++] = q;
    }
    if (count != nullptr) {
        *count = n;
    }
    return 1;
}
void FakeMediaControl::GetCounters(uint64_t*, uint64_t*, uint64_t*, uint64_t*, int reset) {
    Log("GetCounters(" + S(reset) + ")");
}
void FakeMediaControl::SetTicket(const uint8_t*, int length) {
    Log("SetTicket(" + S(length) + ")");
}

int FakeMediaControl::StartCapture(uint8_t, uint8_t, uint8_t frameRate, uint8_t,
                                   uint16_t bitRateNormal, uint8_t, uint16_t bitRateBig,
                                   uint16_t maxBitRate, std::string devicePath, int width,
                                   int height, int) {
    Log("StartCapture(" + S(frameRate) + "," + S(bitRateNormal) + "," + S(bitRateBig) + "," +
        S(maxBitRate) + "," + devicePath + "," + S(width) + "x" + S(height) + ")");
    deviceLost = false;
    return captureResult ? 1 : 0;
}
int FakeMediaControl::GetInputCount() {
    return static_cast<int>(inputs.size());
}
int FakeMediaControl::GetInputName(int i, char16_t* buffer, int capacity) {
    if (i < 0 || static_cast<size_t>(i) >= inputs.size()) {
        return 0;
    }
    return kromedia::CopyNameUtf16(inputs[static_cast<size_t>(i)], buffer, capacity);
}
int FakeMediaControl::SelectInput(uint8_t i) {
    Log("SelectInput(" + S(i) + ")");
    return 1;
}
int FakeMediaControl::GetFormatCount() {
    return static_cast<int>(formats.size());
}
int FakeMediaControl::GetFormat(int i, kromedia::VideoSize* size) {
    if (size == nullptr || i < 0 || static_cast<size_t>(i) >= formats.size()) {
        return -1;
    }
    *size = formats[static_cast<size_t>(i)];
    return i;
}
void FakeMediaControl::SetOption(int a, int b, int c) {
    Log("SetOption(" + S(a) + "," + S(b) + "," + S(c) + ")");
}
int FakeMediaControl::ShowPropertyPage(void*) {
    return 0;
}
void FakeMediaControl::StopCapture() {
    Log("StopCapture");
    deviceLost = false;  // as the component: a stop takes the loss in
}
int FakeMediaControl::Open(int channel, uint8_t, uint8_t, uint8_t, uint8_t, uint16_t bitRate,
                           uint8_t, uint16_t, uint16_t, int width, int height, const char16_t*) {
    Log("Open(" + S(channel) + "," + S(bitRate) + "," + S(width) + "x" + S(height) + ")");
    return 1;
}
int FakeMediaControl::MediaCommand(kromedia::MediaFileControl*, int command) {
    Log("MediaCommand(" + S(command) + ")");
    return 1;
}
void FakeMediaControl::CloseSource() {
    Log("CloseSource");
}
void FakeMediaControl::EnableSend(int on) {
    Log("EnableSend(" + S(on) + ")");
}
int FakeMediaControl::IsDeviceLost() {
    return deviceLost ? 1 : 0;
}
void FakeMediaControl::SetNotifyWindow(kromedia::INotifyTarget*, uint32_t message) {
    Log("SetNotifyWindow(" + std::to_string(message) + ")");
}

// ---- FakeAudioEngine ------------------------------------------------------------------------

uint8_t FakeAudioEngine::StartCapture(uint8_t micIndex) {
    m_media.Record("audio StartCapture(" + S(micIndex) + ")");
    return micIndex < m_media.microphones.size() ? 1 : 0;
}
void FakeAudioEngine::StopCapture() {
    m_media.Record("audio StopCapture");
}
int FakeAudioEngine::StartPlayback(uint8_t speakerIndex) {
    m_media.Record("audio StartPlayback(" + S(speakerIndex) + ")");
    return speakerIndex < m_media.speakers.size() ? 1 : 0;
}
void FakeAudioEngine::StopPlayback() {
    m_media.Record("audio StopPlayback");
}
int FakeAudioEngine::GetParam(int id, int* value) {
    for (auto it = params.rbegin(); it != params.rend(); ++it) {
        if (it->first == id && value != nullptr) {
            *value = it->second;
            return 1;
        }
    }
    return 0;
}
int FakeAudioEngine::SetParam(int id, const int* value) {
    if (value == nullptr) {
        return 0;
    }
    params.emplace_back(id, *value);
    m_media.Record("audio SetParam(" + S(id) + "," + S(*value) + ")");
    return 1;
}
int FakeAudioEngine::StartPlayTest() {
    m_media.Record("audio StartPlayTest");
    return 1;
}
int FakeAudioEngine::PushTestFrame(const uint8_t*, int length) {
    m_media.Record("audio PushTestFrame(" + S(length) + ")");
    return 1;
}
void FakeAudioEngine::StopPlayTest() {
    m_media.Record("audio StopPlayTest");
}
void FakeAudioEngine::SetNotifyWindow(kromedia::INotifyTarget* window) {
    m_media.Record(window != nullptr ? "audio SetNotifyWindow" : "audio SetNotifyWindow(0)");
}
void FakeAudioEngine::SetVoiceIncentive(uint8_t on, uint16_t myUserId) {
    m_media.Record("audio SetVoiceIncentive(" + S(on) + "," + S(myUserId) + ")");
}

}  // namespace fakes
