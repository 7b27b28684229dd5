#pragma once
// The machine's cameras, microphones and speakers. Real devices come from GstDeviceMonitor and
// follow hot-plug; with YAV_TEST_DEVICES=cam=N,mic=N,spk=N synthetic devices stand in (a
// pattern camera, a tone, a null sink). A machine without a camera has 0 cameras.

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "CallbackGate.h"
#include "IKroMedia.h"

namespace kromedia {

inline constexpr size_t kMaxFormats = 24;
inline constexpr size_t kMaxInputs = 16;

struct TestDeviceCounts {
    int cameras = 0;
    int microphones = 0;
    int speakers = 0;
};

// Parses "cam=2,mic=1,spk=1"; unknown keys and bad numbers are ignored (each count 0..8).
TestDeviceCounts ParseTestDevices(const std::string& text);

// Sizes listed in caps (fixed width and height only), smallest first, each once, at most 24;
// the rest are dropped with a log line.
std::vector<VideoSize> FormatsFromCaps(const std::string& capsText);

// Input names from an enumeration that answers index by index (false ends it), at most 16;
// the rest are dropped with a log line.
std::vector<std::string> CollectInputs(const std::function<bool(int, std::string*)>& enumerate);
// The inputs of a V4L2 node (VIDIOC_ENUMINPUT); none when it cannot be opened.
std::vector<std::string> V4l2Inputs(const std::string& node);

struct CameraDevice {
    std::string path;  // the device node (or the synthetic camera's name)
    std::string name;
    std::string capsText;
    bool synthetic = false;
};

struct AudioDevice {
    std::string id;  // PulseAudio source or sink name; empty for a synthetic one
    std::string name;
    bool synthetic = false;
};

class DeviceRegistry {
public:
    enum class Change { CameraAdded, CameraRemoved, AudioChanged };
    using Listener = std::function<void(Change, const std::string& path)>;

    static DeviceRegistry& Get();

    std::vector<CameraDevice> Cameras();
    std::vector<AudioDevice> Microphones();
    std::vector<AudioDevice> Speakers();
    bool FindCamera(const std::string& path, CameraDevice* out);

    // Listeners are told on the component's thread; the token removes one. RemoveListener
    // returns once no call of that listener runs (other than the caller's own), and none
    // starts afterwards.
    int AddListener(Listener listener);
    void RemoveListener(int token);

    // Test hook: takes a synthetic camera away or brings it back, through the same path a
    // monitor event takes. False when there is no such synthetic camera.
    bool TestUnplugCamera(int index);
    bool TestReplugCamera(int index);

    // Reads the devices again (the environment may have changed; for tests).
    void Reload();

private:
    DeviceRegistry();
    void LoadLocked();
    void Notify(Change change, const std::string& path);

    std::mutex m_mutex;
    bool m_testMode = false;
    std::vector<CameraDevice> m_cameras;
    std::vector<bool> m_unplugged;  // synthetic cameras taken away by the test hook
    std::vector<AudioDevice> m_microphones;
    std::vector<AudioDevice> m_speakers;
    struct ListenerEntry {
        int token = 0;
        Listener listener;
        CallbackGate gate;
    };
    std::vector<std::shared_ptr<ListenerEntry>> m_listeners;
    int m_nextToken = 1;
    void* m_monitor = nullptr;
};

}  // namespace kromedia
