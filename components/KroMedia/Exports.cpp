#include <algorithm>
#include <atomic>
#include <cstring>

#include "AudioFormats.h"
#include "Devices.h"
#include "KroMedia.h"
#include "MediaChannel.h"

namespace kromedia {

namespace {

template <typename List>
int NameAt(const List& list, int index, char* buffer, int capacity) {
    if (index < 0 || static_cast<size_t>(index) >= list.size()) {
        return 0;
    }
    return CopyName(list[static_cast<size_t>(index)].name, buffer, capacity);
}

constexpr const char* kVideoCodecs[] = {"H.264"};

const Api kRealApi = {
    [](int kind) -> IMediaControl* {
        if (kind != kKindMain && kind != kKindVideo) {
            return nullptr;
        }
        return new MediaChannel(kind);
    },
    [](IMediaControl* control) {
        auto* channel = static_cast<MediaChannel*>(control);
        if (channel != nullptr) {
            channel->Shutdown();
            delete channel;
        }
    },
    [] { return static_cast<int>(DeviceRegistry::Get().Microphones().size()); },
    [](int index, char* buffer, int capacity) {
        return NameAt(DeviceRegistry::Get().Microphones(), index, buffer, capacity);
    },
    [] { return static_cast<int>(DeviceRegistry::Get().Speakers().size()); },
    [](int index, char* buffer, int capacity) {
        return NameAt(DeviceRegistry::Get().Speakers(), index, buffer, capacity);
    },
    [] { return static_cast<uint8_t>(std::size(kAudioFormats)); },
    [](uint8_t index, uint8_t* value, char* buffer, int capacity) {
        if (index >= std::size(kAudioFormats)) {
            return 0;
        }
        if (value != nullptr) {
            *value = kAudioFormats[index].value;
        }
        return CopyName(kAudioFormats[index].label, buffer, capacity) > 0 ? 1 : 0;
    },
    [] { return static_cast<int>(std::size(kVideoCodecs)); },
    [](int index, char* buffer, int capacity) {
        if (index < 0 || static_cast<size_t>(index) >= std::size(kVideoCodecs)) {
            return 0;
        }
        return CopyName(kVideoCodecs[index], buffer, capacity);
    },
    [] { return static_cast<int>(DeviceRegistry::Get().Cameras().size()); },
    [](std::vector<CameraEntry>* list) {
        if (list == nullptr) {
            return 0;
        }
        list->clear();
        for (const auto& cam : DeviceRegistry::Get().Cameras()) {
            list->push_back({cam.path, cam.name});
        }
        return static_cast<int>(list->size());
    },
    [](int flow, int index, char* buffer, int capacity) {
        const auto list = flow == 1 ? DeviceRegistry::Get().Microphones()
                                    : DeviceRegistry::Get().Speakers();
        if (index < 0 || static_cast<size_t>(index) >= list.size()) {
            return 0;
        }
        return CopyName(list[static_cast<size_t>(index)].id, buffer, capacity);
    },
};

std::atomic<const Api*> g_api{&kRealApi};

}  // namespace

static const Api& Current() {
    return *g_api.load();
}

int CopyName(const std::string& name, char* buffer, int capacity) {
    if (buffer == nullptr || capacity <= 0) {
        return 0;
    }
    const int n = std::min(static_cast<int>(name.size()), capacity - 1);
    std::memcpy(buffer, name.data(), static_cast<size_t>(n));
    buffer[n] = '\0';
    return n;
}

int CopyNameUtf16(const std::string& name, char16_t* buffer, int capacity) {
    if (buffer == nullptr || capacity <= 0) {
        return 0;
    }
    int n = 0;
    for (unsigned char c : name) {
        if (n + 1 >= capacity) {
            break;
        }
        buffer[n++] = c;
    }
    buffer[n] = 0;
    return n;
}

const Api& RealApi() {
    return kRealApi;
}

void KroMedia_SetApi(const Api* api) {
    g_api = api != nullptr ? api : &kRealApi;
}

}  // namespace kromedia

kromedia::IMediaControl* KroMedia_CreateMediaControl(int kind) {
    return kromedia::Current().createMediaControl(kind);
}
void KroMedia_ReleaseMediaControl(kromedia::IMediaControl* control) {
    kromedia::Current().releaseMediaControl(control);
}
int KroMedia_GetAudioCaptureDeviceCount() {
    return kromedia::Current().getAudioCaptureDeviceCount();
}
int KroMedia_GetAudioCaptureDeviceName(int index, char* buffer, int capacity) {
    return kromedia::Current().getAudioCaptureDeviceName(index, buffer, capacity);
}
int KroMedia_GetAudioPlaybackDeviceCount() {
    return kromedia::Current().getAudioPlaybackDeviceCount();
}
int KroMedia_GetAudioPlaybackDeviceName(int index, char* buffer, int capacity) {
    return kromedia::Current().getAudioPlaybackDeviceName(index, buffer, capacity);
}
uint8_t KroMedia_GetAudioFormatCount() {
    return kromedia::Current().getAudioFormatCount();
}
int KroMedia_GetAudioFormat(uint8_t index, uint8_t* value, char* buffer, int capacity) {
    return kromedia::Current().getAudioFormat(index, value, buffer, capacity);
}
int KroMedia_GetVideoCodecCount() {
    return kromedia::Current().getVideoCodecCount();
}
int KroMedia_GetVideoCodecName(int index, char* buffer, int capacity) {
    return kromedia::Current().getVideoCodecName(index, buffer, capacity);
}
int KroMedia_GetVideoCaptureDeviceCount() {
    return kromedia::Current().getVideoCaptureDeviceCount();
}
int KroMedia_GetVideoCaptureDevices(std::vector<kromedia::CameraEntry>* list) {
    return kromedia::Current().getVideoCaptureDevices(list);
}
int KroMedia_GetAudioDeviceId(int flow, int index, char* buffer, int capacity) {
    return kromedia::Current().getAudioDeviceId(flow, index, buffer, capacity);
}
