#include "SoundPlayer.h"

#include <gst/gst.h>

#include <cstdlib>
#include <mutex>

#include "Devices.h"
#include "GstLoop.h"
#include "platform/core/Log.h"

namespace kromedia {

namespace {

class SoundPlayer final : public ISoundPlayer {
public:
    ~SoundPlayer() override {
        InvokeSync([this] { TearDown(); });
    }

    void Play(const std::string& path, int speakerIndex) override {
        const unsigned generation = Next(true);
        InvokeAsync([this, path, speakerIndex, generation] {
            if (IsCurrent(generation)) {
                Start(path, speakerIndex, generation);
            }
        });
    }

    void Stop() override {
        const unsigned generation = Next(false);
        InvokeAsync([this, generation] {
            if (IsCurrent(generation)) {
                TearDown();
            }
        });
    }

    bool IsPlaying() const override {
        std::lock_guard<std::mutex> lock(m_stateMutex);
        return m_playing;
    }

    void SetFinishedCallback(Finished callback) override {
        std::lock_guard<std::mutex> lock(m_callbackMutex);
        m_finished = std::move(callback);
    }

private:
    // Each Play and Stop starts a new generation; work queued for an older one is dropped.
    unsigned Next(bool playing) {
        std::lock_guard<std::mutex> lock(m_stateMutex);
        m_playing = playing;
        return ++m_generation;
    }
    bool IsCurrent(unsigned generation) const {
        std::lock_guard<std::mutex> lock(m_stateMutex);
        return generation == m_generation;
    }

    static std::string SinkDescription(int speakerIndex) {
        if (std::getenv("YAV_TEST_DEVICES") != nullptr) {
            return "fakesink sync=true";
        }
        const auto speakers = DeviceRegistry::Get().Speakers();
        if (speakerIndex >= 0 && static_cast<size_t>(speakerIndex) < speakers.size() &&
            !speakers[static_cast<size_t>(speakerIndex)].synthetic) {
            return "pulsesink name=sink";
        }
        return "autoaudiosink";
    }

    // Loop thread.
    void Start(const std::string& path, int speakerIndex, unsigned generation) {
        TearDown();
        GError* error = nullptr;
        const std::string description =
            "filesrc name=src ! wavparse ! audioconvert ! audioresample ! " +
            SinkDescription(speakerIndex);
        GstElement* pipeline = gst_parse_launch(description.c_str(), &error);
        if (pipeline == nullptr || error != nullptr) {
            YLOG_WARN("sound pipeline could not be made: %s",
                      error != nullptr ? error->message : "unknown");
            if (error != nullptr) {
                g_error_free(error);
            }
            if (pipeline != nullptr) {
                gst_object_unref(pipeline);
            }
            End(generation, true);
            return;
        }
        GstElement* source = gst_bin_get_by_name(GST_BIN(pipeline), "src");
        g_object_set(source, "location", path.c_str(), nullptr);
        gst_object_unref(source);
        if (GstElement* sink = gst_bin_get_by_name(GST_BIN(pipeline), "sink")) {
            const auto speakers = DeviceRegistry::Get().Speakers();
            g_object_set(sink, "device", speakers[static_cast<size_t>(speakerIndex)].id.c_str(),
                         nullptr);
            gst_object_unref(sink);
        }
        GstBus* bus = gst_element_get_bus(pipeline);
        m_watch = gst_bus_create_watch(bus);
        gst_object_unref(bus);
        m_watchGeneration = generation;
        g_source_set_callback(m_watch,
                              reinterpret_cast<GSourceFunc>(reinterpret_cast<void (*)()>(
                                  +[](GstBus*, GstMessage* message, gpointer self) -> gboolean {
                                      static_cast<SoundPlayer*>(self)->OnBusMessage(message);
                                      return G_SOURCE_CONTINUE;
                                  })),
                              this, nullptr);
        g_source_attach(m_watch, LoopContext());
        m_pipeline = pipeline;
        m_path = path;
        if (gst_element_set_state(pipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
            YLOG_WARN("sound %s could not be played", path.c_str());
            TearDown();
            End(generation, true);
        }
    }

    // Loop thread.
    void OnBusMessage(GstMessage* message) {
        const unsigned generation = m_watchGeneration;
        switch (GST_MESSAGE_TYPE(message)) {
            case GST_MESSAGE_EOS:
                TearDown();
                End(generation, false);
                break;
            case GST_MESSAGE_ERROR: {
                GError* error = nullptr;
                gchar* debug = nullptr;
                gst_message_parse_error(message, &error, &debug);
                YLOG_WARN("sound %s: %s", m_path.c_str(),
                          error != nullptr ? error->message : "error");
                if (error != nullptr) {
                    g_error_free(error);
                }
                g_free(debug);
                TearDown();
                End(generation, true);
                break;
            }
            default:
                break;
        }
    }

    // Loop thread: a sound of this generation ended by itself.
    void End(unsigned generation, bool error) {
        {
            std::lock_guard<std::mutex> lock(m_stateMutex);
            if (generation != m_generation) {
                return;  // replaced or stopped meanwhile
            }
            m_playing = false;
        }
        std::lock_guard<std::mutex> lock(m_callbackMutex);
        if (m_finished) {
            m_finished(error);
        }
    }

    // Loop thread.
    void TearDown() {
        if (m_watch != nullptr) {
            g_source_destroy(m_watch);
            g_source_unref(m_watch);
            m_watch = nullptr;
        }
        if (m_pipeline != nullptr) {
            gst_element_set_state(m_pipeline, GST_STATE_NULL);
            gst_object_unref(m_pipeline);
            m_pipeline = nullptr;
        }
    }

    mutable std::mutex m_stateMutex;
    bool m_playing = false;
    unsigned m_generation = 0;
    std::mutex m_callbackMutex;
    Finished m_finished;
    // Loop thread only.
    GstElement* m_pipeline = nullptr;
    GSource* m_watch = nullptr;
    unsigned m_watchGeneration = 0;
    std::string m_path;
};

}  // namespace

std::unique_ptr<ISoundPlayer> CreateSoundPlayer() {
    return std::make_unique<SoundPlayer>();
}

}  // namespace kromedia
