#include "Devices.h"

#include <fcntl.h>
#include <gst/gst.h>
#include <linux/videodev2.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <set>
#include <utility>

#include "GstLoop.h"
#include "platform/core/Log.h"

namespace kromedia {

namespace {

constexpr int kMaxTestDevices = 8;

// What a synthetic camera offers.
constexpr const char* kTestCameraCaps =
    "video/x-raw, width=(int)160, height=(int)120; video/x-raw, width=(int)320, height=(int)240; "
    "video/x-raw, width=(int)640, height=(int)360; video/x-raw, width=(int)640, height=(int)480; "
    "video/x-raw, width=(int)1280, height=(int)720";

std::string StringProperty(GstStructure* props, const char* key) {
    if (props == nullptr) {
        return {};
    }
    const gchar* value = gst_structure_get_string(props, key);
    return value != nullptr ? std::string(value) : std::string();
}

std::string ObjectStringProperty(GObject* object, const char* name) {
    if (g_object_class_find_property(G_OBJECT_GET_CLASS(object), name) == nullptr) {
        return {};
    }
    gchar* value = nullptr;
    g_object_get(object, name, &value, nullptr);
    std::string out = value != nullptr ? value : "";
    g_free(value);
    return out;
}

std::string DeviceName(GstDevice* device) {
    gchar* name = gst_device_get_display_name(device);
    std::string out = name != nullptr ? name : "";
    g_free(name);
    return out;
}

std::string CapsText(GstDevice* device) {
    GstCaps* caps = gst_device_get_caps(device);
    if (caps == nullptr) {
        return {};
    }
    gchar* text = gst_caps_to_string(caps);
    std::string out = text != nullptr ? text : "";
    g_free(text);
    gst_caps_unref(caps);
    return out;
}

bool CameraFromDevice(GstDevice* device, CameraDevice* out) {
    GstStructure* props = gst_device_get_properties(device);
    std::string path = StringProperty(props, "device.path");
    if (path.empty()) {
        path = StringProperty(props, "api.v4l2.path");
    }
    const std::string api = StringProperty(props, "device.api");
    if (props != nullptr) {
        gst_structure_free(props);
    }
    if (path.empty() || (!api.empty() && api != "v4l2")) {
        return false;
    }
    out->path = path;
    out->name = DeviceName(device);
    out->capsText = CapsText(device);
    out->synthetic = false;
    return !FormatsFromCaps(out->capsText).empty();
}

bool AudioFromDevice(GstDevice* device, AudioDevice* out) {
    GstStructure* props = gst_device_get_properties(device);
    const std::string deviceClass = StringProperty(props, "device.class");
    if (props != nullptr) {
        gst_structure_free(props);
    }
    if (deviceClass == "monitor") {
        return false;  // the speakers' own monitors are no microphones
    }
    out->id = ObjectStringProperty(G_OBJECT(device), "internal-name");
    out->name = DeviceName(device);
    out->synthetic = false;
    return !out->id.empty();
}

gboolean OnBusMessage(GstBus* /*bus*/, GstMessage* message, gpointer data) {
    static_cast<DeviceRegistry*>(data)->Reload();
    (void)message;
    return G_SOURCE_CONTINUE;
}

}  // namespace

TestDeviceCounts ParseTestDevices(const std::string& text) {
    TestDeviceCounts counts;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = std::min(text.find(',', start), text.size());
        const std::string item = text.substr(start, end - start);
        const size_t eq = item.find('=');
        if (eq != std::string::npos) {
            const std::string key = item.substr(0, eq);
            const std::string value = item.substr(eq + 1);
            char* rest = nullptr;
            const long n = std::strtol(value.c_str(), &rest, 10);
            if (!value.empty() && rest != nullptr && *rest == '\0' && n >= 0 &&
                n <= kMaxTestDevices) {
                if (key == "cam") {
                    counts.cameras = static_cast<int>(n);
                } else if (key == "mic") {
                    counts.microphones = static_cast<int>(n);
                } else if (key == "spk") {
                    counts.speakers = static_cast<int>(n);
                }
            }
        }
        start = end + 1;
    }
    return counts;
}

std::vector<VideoSize> FormatsFromCaps(const std::string& capsText) {
    std::vector<VideoSize> sizes;
    GstCaps* caps = capsText.empty() ? nullptr : gst_caps_from_string(capsText.c_str());
    if (caps == nullptr) {
        return sizes;
    }
    std::set<std::pair<long, std::pair<int, int>>> seen;
    for (guint i = 0; i < gst_caps_get_size(caps); ++i) {
        const GstStructure* s = gst_caps_get_structure(caps, i);
        int width = 0;
        int height = 0;
        if (gst_structure_get_int(s, "width", &width) &&
            gst_structure_get_int(s, "height", &height) && width > 0 && height > 0) {
            seen.insert({static_cast<long>(width) * height, {width, height}});
        }
    }
    gst_caps_unref(caps);
    for (const auto& entry : seen) {
        if (sizes.size() == kMaxFormats) {
            YLOG_WARN("camera offers %zu sizes, only the %zu smallest are listed", seen.size(),
                      kMaxFormats);
            break;
        }
        sizes.push_back({entry.second.first, entry.second.second});
    }
    return sizes;
}

std::vector<std::string> CollectInputs(const std::function<bool(int, std::string*)>& enumerate) {
    std::vector<std::string> names;
    for (int index = 0;; ++index) {
        std::string name;
        if (!enumerate(index, &name)) {
            break;
        }
        if (names.size() == kMaxInputs) {
            YLOG_WARN("camera has more than %zu inputs, input %d and later are not listed",
                      kMaxInputs, index);
            break;
        }
        names.push_back(name);
    }
    return names;
}

std::vector<std::string> V4l2Inputs(const std::string& node) {
    const int fd = ::open(node.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return {};
    }
    auto names = CollectInputs([fd](int index, std::string* name) {
        v4l2_input input{};
        input.index = static_cast<__u32>(index);
        if (::ioctl(fd, VIDIOC_ENUMINPUT, &input) != 0) {
            return false;
        }
        *name = std::string(reinterpret_cast<const char*>(input.name),
                            strnlen(reinterpret_cast<const char*>(input.name), sizeof(input.name)));
        return true;
    });
    ::close(fd);
    return names;
}

DeviceRegistry& DeviceRegistry::Get() {
    static DeviceRegistry* registry = new DeviceRegistry();
    return *registry;
}

DeviceRegistry::DeviceRegistry() {
    LoopContext();  // GStreamer is initialised
    Reload();
}

void DeviceRegistry::Reload() {
    std::vector<CameraDevice> before;
    size_t audioBefore = 0;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        before = m_cameras;
        audioBefore = m_microphones.size() + m_speakers.size();
        LoadLocked();
    }
    std::vector<CameraDevice> after = Cameras();
    for (const auto& cam : after) {
        if (std::none_of(before.begin(), before.end(),
                         [&](const CameraDevice& b) { return b.path == cam.path; })) {
            Notify(Change::CameraAdded, cam.path);
        }
    }
    for (const auto& cam : before) {
        if (std::none_of(after.begin(), after.end(),
                         [&](const CameraDevice& a) { return a.path == cam.path; })) {
            Notify(Change::CameraRemoved, cam.path);
        }
    }
    size_t audioAfter = 0;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        audioAfter = m_microphones.size() + m_speakers.size();
    }
    if (audioAfter != audioBefore) {
        Notify(Change::AudioChanged, {});
    }
}

void DeviceRegistry::LoadLocked() {
    const char* env = std::getenv("YAV_TEST_DEVICES");
    m_testMode = env != nullptr;
    m_microphones.clear();
    m_speakers.clear();
    if (m_testMode) {
        const TestDeviceCounts counts = ParseTestDevices(env);
        m_unplugged.resize(static_cast<size_t>(counts.cameras), false);
        m_cameras.clear();
        for (int i = 0; i < counts.cameras; ++i) {
            if (!m_unplugged[static_cast<size_t>(i)]) {
                m_cameras.push_back({"test:camera/" + std::to_string(i),
                                     "Test Camera " + std::to_string(i + 1), kTestCameraCaps,
                                     true});
            }
        }
        for (int i = 0; i < counts.microphones; ++i) {
            m_microphones.push_back({{}, "Test Microphone " + std::to_string(i + 1), true});
        }
        for (int i = 0; i < counts.speakers; ++i) {
            m_speakers.push_back({{}, "Test Speaker " + std::to_string(i + 1), true});
        }
        return;
    }
    if (m_monitor == nullptr) {
        GstDeviceMonitor* monitor = gst_device_monitor_new();
        gst_device_monitor_add_filter(monitor, "Video/Source", nullptr);
        gst_device_monitor_add_filter(monitor, "Audio/Source", nullptr);
        gst_device_monitor_add_filter(monitor, "Audio/Sink", nullptr);
        GstBus* bus = gst_device_monitor_get_bus(monitor);
        GSource* watch = gst_bus_create_watch(bus);
        g_source_set_callback(watch,
                              reinterpret_cast<GSourceFunc>(reinterpret_cast<void (*)()>(
                                  +[](GstBus* b, GstMessage* m, gpointer d) -> gboolean {
                                      return OnBusMessage(b, m, d);
                                  })),
                              this, nullptr);
        g_source_attach(watch, LoopContext());
        g_source_unref(watch);
        gst_object_unref(bus);
        if (!gst_device_monitor_start(monitor)) {
            YLOG_WARN("device monitor did not start; no devices are listed");
        }
        m_monitor = monitor;
    }
    m_cameras.clear();
    GList* devices = gst_device_monitor_get_devices(static_cast<GstDeviceMonitor*>(m_monitor));
    for (GList* item = devices; item != nullptr; item = item->next) {
        GstDevice* device = GST_DEVICE(item->data);
        if (gst_device_has_classes(device, "Video/Source")) {
            CameraDevice cam;
            if (CameraFromDevice(device, &cam) &&
                std::none_of(m_cameras.begin(), m_cameras.end(),
                             [&](const CameraDevice& c) { return c.path == cam.path; })) {
                m_cameras.push_back(cam);
            }
        } else if (gst_device_has_classes(device, "Audio/Source")) {
            AudioDevice mic;
            if (AudioFromDevice(device, &mic)) {
                m_microphones.push_back(mic);
            }
        } else if (gst_device_has_classes(device, "Audio/Sink")) {
            AudioDevice speaker;
            if (AudioFromDevice(device, &speaker)) {
                m_speakers.push_back(speaker);
            }
        }
    }
    g_list_free_full(devices, gst_object_unref);
    // Stable order: by node, so /dev/video0 comes before /dev/video2 whatever the monitor says.
    std::sort(m_cameras.begin(), m_cameras.end(),
              [](const CameraDevice& a, const CameraDevice& b) { return a.path < b.path; });
    auto byId = [](const AudioDevice& a, const AudioDevice& b) { return a.id < b.id; };
    std::sort(m_microphones.begin(), m_microphones.end(), byId);
    std::sort(m_speakers.begin(), m_speakers.end(), byId);
}

std::vector<CameraDevice> DeviceRegistry::Cameras() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_cameras;
}

std::vector<AudioDevice> DeviceRegistry::Microphones() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_microphones;
}

std::vector<AudioDevice> DeviceRegistry::Speakers() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_speakers;
}

bool DeviceRegistry::FindCamera(const std::string& path, CameraDevice* out) {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const auto& cam : m_cameras) {
        if (strcasecmp(cam.path.c_str(), path.c_str()) == 0) {
            *out = cam;
            return true;
        }
    }
    return false;
}

int DeviceRegistry::AddListener(Listener listener) {
    auto entry = std::make_shared<ListenerEntry>();
    entry->listener = std::move(listener);
    std::lock_guard<std::mutex> lock(m_mutex);
    entry->token = m_nextToken++;
    m_listeners.push_back(entry);
    return entry->token;
}

void DeviceRegistry::RemoveListener(int token) {
    std::shared_ptr<ListenerEntry> removed;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (auto it = m_listeners.begin(); it != m_listeners.end(); ++it) {
            if ((*it)->token == token) {
                removed = *it;
                m_listeners.erase(it);
                break;
            }
        }
    }
    if (removed != nullptr) {
        // A change being told right now may still be on its way into this listener.
        removed->gate.Close();
    }
}

void DeviceRegistry::Notify(Change change, const std::string& path) {
    std::vector<std::shared_ptr<ListenerEntry>> listeners;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        listeners = m_listeners;
    }
    for (const auto& entry : listeners) {
        GateScope scope(entry->gate);
        if (scope) {
            entry->listener(change, path);
        }
    }
}

bool DeviceRegistry::TestUnplugCamera(int index) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_testMode || index < 0 || static_cast<size_t>(index) >= m_unplugged.size() ||
            m_unplugged[static_cast<size_t>(index)]) {
            return false;
        }
        m_unplugged[static_cast<size_t>(index)] = true;
    }
    InvokeSync([this] { Reload(); });
    return true;
}

bool DeviceRegistry::TestReplugCamera(int index) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_testMode || index < 0 || static_cast<size_t>(index) >= m_unplugged.size() ||
            !m_unplugged[static_cast<size_t>(index)]) {
            return false;
        }
        m_unplugged[static_cast<size_t>(index)] = false;
    }
    InvokeSync([this] { Reload(); });
    return true;
}

}  // namespace kromedia
