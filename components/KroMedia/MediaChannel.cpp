#include "MediaChannel.h"

#include <arpa/inet.h>
#include <gst/app/gstappsink.h>
#include <gst/app/gstappsrc.h>
#include <gst/video/video.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "AudioFormats.h"
#include "BusSyncHandler.h"
#include "Devices.h"
#include "KroMedia.h"
#include "PictureScaler.h"
#include "TestPattern.h"
#include "platform/core/Log.h"

namespace kromedia {

namespace {

constexpr int kVideoPt = 96;
constexpr int kAudioPt = 111;
constexpr size_t kMaxAddress = 15;
constexpr uint32_t kFileInKey = 4;

std::string Utf16ToUtf8(const char16_t* text) {
    std::string out;
    for (; text != nullptr && *text != 0; ++text) {
        uint32_t c = *text;
        if (c >= 0xD800 && c <= 0xDBFF && text[1] >= 0xDC00 && text[1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<uint32_t>(text[1]) - 0xDC00);
            ++text;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

bool ValidAddress(const char* address) {
    if (address == nullptr || std::strlen(address) > kMaxAddress) {
        return false;
    }
    in_addr parsed{};
    return inet_pton(AF_INET, address, &parsed) == 1;
}

// A quoted property value for a pipeline description.
std::string Quote(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
        }
        out += c;
    }
    return out + "\"";
}

int LevelFromDb(double db) {
    return std::clamp(static_cast<int>(std::lround(50.0 + db)), 0, 50);
}

bool IsDspParam(int id) {
    return id >= 1 && id <= 4;
}

// A decoded sample's picture, mapped for reading for as long as anyone keeps it; the window
// paints straight from the decoder's buffer. False when the sample is not a video picture.
bool HoldPicture(GstSample* sample, VideoFrame* picture) {
    struct Held {
        GstSample* sample = nullptr;
        GstMapInfo map{};
        ~Held() {
            gst_buffer_unmap(gst_sample_get_buffer(sample), &map);
            gst_sample_unref(sample);
        }
    };
    GstVideoInfo info;
    GstCaps* caps = gst_sample_get_caps(sample);
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    GstMapInfo map;
    if (caps == nullptr || buffer == nullptr || !gst_video_info_from_caps(&info, caps) ||
        GST_VIDEO_INFO_FORMAT(&info) != GST_VIDEO_FORMAT_BGRx) {
        return false;
    }
    const size_t need = static_cast<size_t>(GST_VIDEO_INFO_PLANE_STRIDE(&info, 0)) *
                        static_cast<size_t>(GST_VIDEO_INFO_HEIGHT(&info));
    if (!gst_buffer_map(buffer, &map, GST_MAP_READ)) {
        return false;
    }
    if (map.size < need) {
        gst_buffer_unmap(buffer, &map);
        return false;
    }
    auto held = std::make_shared<Held>();
    held->sample = gst_sample_ref(sample);
    held->map = map;
    picture->width = GST_VIDEO_INFO_WIDTH(&info);
    picture->height = GST_VIDEO_INFO_HEIGHT(&info);
    picture->stride = GST_VIDEO_INFO_PLANE_STRIDE(&info, 0);
    picture->data = held->map.data;
    picture->keep = std::move(held);
    return true;
}

}  // namespace

// ---- MediaStream -------------------------------------------------------------------------

void MediaStream::SetRect(const MediaRect* rect) {
    constexpr int kSmallest = 16;
    constexpr int kLargest = 4096;
    if (rect == nullptr) {
        return;
    }
    const int width = rect->right - rect->left;
    const int height = rect->bottom - rect->top;
    std::lock_guard<std::mutex> lock(m_mutex);
    if (width <= 0 && height <= 0) {
        m_drawSize = {};
    } else if (width >= kSmallest && height >= kSmallest) {
        m_drawSize = {std::min(width, kLargest), std::min(height, kLargest)};
    }
}

void MediaStream::Redraw() {
    GateScope scope(m_gate);
    if (!scope) {
        return;
    }
    VideoFrame last;
    IFrameSink* sink = nullptr;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        last = m_last;
        sink = m_sink;
    }
    if (sink != nullptr && last.data != nullptr) {
        sink->OnFrame(last);
    }
}

int MediaStream::SaveSnapshot(const char16_t* path) {
    VideoFrame picture;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        picture = m_last;
    }
    const int width = picture.width;
    const int height = picture.height;
    const std::string file = Utf16ToUtf8(path);
    if (picture.data == nullptr || file.empty()) {
        return 0;
    }
    const int rowBytes = (width * 3 + 3) & ~3;
    const uint32_t imageBytes = static_cast<uint32_t>(rowBytes) * static_cast<uint32_t>(height);
    std::vector<uint8_t> bmp(54 + imageBytes, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            bmp[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
        }
    };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put32(2, static_cast<uint32_t>(bmp.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(width));
    put32(22, static_cast<uint32_t>(height));
    bmp[26] = 1;
    bmp[28] = 24;
    put32(34, imageBytes);
    for (int y = 0; y < height; ++y) {
        const uint8_t* src = picture.data + static_cast<size_t>(height - 1 - y) *
                                                static_cast<size_t>(picture.stride);
        uint8_t* dst = bmp.data() + 54 + static_cast<size_t>(y) * static_cast<size_t>(rowBytes);
        for (int x = 0; x < width; ++x) {
            dst[x * 3] = src[x * 4];
            dst[x * 3 + 1] = src[x * 4 + 1];
            dst[x * 3 + 2] = src[x * 4 + 2];
        }
    }
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bmp.data()), static_cast<std::streamsize>(bmp.size()));
    return out.good() ? 1 : 0;
}

void MediaStream::SetVoiceMarker(int on) {
    m_voiceMarker = on != 0;
}

void MediaStream::Attach(IFrameSink* sink, uint32_t message) {
    // A picture on its way to the sink being replaced arrives before this returns, never after.
    m_gate.Close();
    std::lock_guard<std::mutex> lock(m_mutex);
    m_gate.Open();
    m_sink = sink;
    m_drawSize = {};
    m_message = message;
    m_firstPosted = false;
}

void MediaStream::Detach() {
    m_gate.Close();
    std::lock_guard<std::mutex> lock(m_mutex);
    m_sink = nullptr;
}

void MediaStream::Release() {
    Detach();
    std::lock_guard<std::mutex> lock(m_mutex);
    m_last = {};
    m_drawSize = {};
}

// Pictures are drawn at the drawing rectangle's size: the stream scales and converts them
// to it (see PictureScaler.h) and the window paints them unscaled. Until the window gives a
// rectangle (each new window starts without one) they keep the stream's size; a rectangle too
// small to draw into changes nothing.
void MediaStream::DeliverDecoded(GstSample* sample) {
    if (!m_render) {
        return;
    }
    GstVideoInfo info;
    GstCaps* caps = gst_sample_get_caps(sample);
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    if (caps == nullptr || buffer == nullptr || !gst_video_info_from_caps(&info, caps) ||
        GST_VIDEO_INFO_FORMAT(&info) != GST_VIDEO_FORMAT_I420) {
        return;
    }
    GstVideoFrame frame;
    if (!gst_video_frame_map(&frame, &info, buffer, GST_MAP_READ)) {
        return;
    }
    PictureSize size;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        size = m_drawSize;
    }
    if (size.width <= 0 || size.height <= 0) {
        size = {GST_VIDEO_INFO_WIDTH(&info), GST_VIDEO_INFO_HEIGHT(&info)};
    }
    const PlanarPicture source{
        static_cast<const uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, 0)),
        static_cast<const uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, 1)),
        static_cast<const uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, 2)),
        GST_VIDEO_FRAME_PLANE_STRIDE(&frame, 0),
        GST_VIDEO_FRAME_PLANE_STRIDE(&frame, 1),
        GST_VIDEO_FRAME_PLANE_STRIDE(&frame, 2),
        GST_VIDEO_INFO_WIDTH(&info),
        GST_VIDEO_INFO_HEIGHT(&info),
        GST_VIDEO_INFO_COLORIMETRY(&info).matrix == GST_VIDEO_COLOR_MATRIX_BT709};
    auto pixels = std::make_shared_for_overwrite<uint8_t[]>(static_cast<size_t>(size.width) *
                                                            static_cast<size_t>(size.height) * 4);
    thread_local std::vector<uint8_t> scratch;
    const bool converted = ScaleToBgrx(source, size, pixels.get(), scratch);
    gst_video_frame_unmap(&frame);
    if (converted) {
        Deliver({m_mediaId, size.width, size.height, size.width * 4, pixels.get(), pixels,
                 source.width, source.height});
    }
}

void MediaStream::Deliver(VideoFrame picture) {
    if (!m_render) {
        return;
    }
    GateScope scope(m_gate);
    if (!scope) {
        return;
    }
    picture.mediaId = m_mediaId;
    if (picture.keep == nullptr && picture.data != nullptr) {
        // Pixels only lent for the call: the last picture is a copy then.
        const size_t row = static_cast<size_t>(picture.width) * 4;
        auto owned =
            std::make_shared<std::vector<uint8_t>>(row * static_cast<size_t>(picture.height));
        for (int y = 0; y < picture.height; ++y) {
            std::memcpy(owned->data() + row * static_cast<size_t>(y),
                        picture.data + static_cast<size_t>(picture.stride) * static_cast<size_t>(y),
                        row);
        }
        picture.data = owned->data();
        picture.stride = picture.width * 4;
        picture.keep = std::move(owned);
    }
    IFrameSink* sink = nullptr;
    bool first = false;
    uint32_t message = 0;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_last = picture;
        sink = m_sink;
        if (sink != nullptr && !m_firstPosted) {
            m_firstPosted = true;
            first = true;
            message = m_message;
        }
    }
    if (sink == nullptr) {
        return;
    }
    if (first) {
        sink->PostMessage(message, m_mediaId,
                          static_cast<int64_t>((static_cast<uint32_t>(picture.width) & 0xFFFF) |
                                               (static_cast<uint32_t>(picture.height) << 16)));
    }
    sink->OnFrame(picture);
}

// ---- AudioEngine --------------------------------------------------------------------------

uint8_t AudioEngine::StartCapture(uint8_t micIndex) {
    return m_channel.AudioStartCapture(micIndex);
}
void AudioEngine::StopCapture() {
    m_channel.AudioStopCapture();
}
int AudioEngine::StartPlayback(uint8_t speakerIndex) {
    return m_channel.AudioStartPlayback(speakerIndex);
}
void AudioEngine::StopPlayback() {
    m_channel.AudioStopPlayback();
}
int AudioEngine::GetParam(int id, int* value) {
    return m_channel.AudioGetParam(id, value);
}
int AudioEngine::SetParam(int id, const int* value) {
    return m_channel.AudioSetParam(id, value);
}
int AudioEngine::StartPlayTest() {
    return m_channel.AudioStartPlayTest();
}
int AudioEngine::PushTestFrame(const uint8_t* data, int length) {
    return m_channel.AudioPushTestFrame(data, length);
}
void AudioEngine::StopPlayTest() {
    m_channel.AudioStopPlayTest();
}
void AudioEngine::SetNotifyWindow(INotifyTarget* window) {
    m_channel.AudioSetNotifyWindow(window);
}
void AudioEngine::SetVoiceIncentive(uint8_t on, uint16_t myUserId) {
    m_channel.AudioSetVoiceIncentive(on, myUserId);
}

// ---- MediaChannel: life -------------------------------------------------------------------

MediaChannel::MediaChannel(int kind) : m_kind(kind) {
    m_params = {{1, 1}, {2, 1}, {3, 0}, {4, 1},   {5, 100}, {6, 100},
                {7, 0}, {8, 0}, {9, 0}, {103, 1}, {104, 2}, {107, kDefaultAudioFormat}};
    RelaySession::Events events;
    events.serverConnected = [this](int ok) {
        GateScope scope(m_notifyGate);
        IMediaHandler* handler = nullptr;
        {
            std::lock_guard<std::mutex> lock(m_stateMutex);
            handler = m_handler;
        }
        if (scope && handler != nullptr) {
            handler->OnMediaServerConnected(ok);
        }
    };
    events.streamConnected = [this](int ok) {
        GateScope scope(m_notifyGate);
        IMediaHandler* handler = nullptr;
        {
            std::lock_guard<std::mutex> lock(m_stateMutex);
            handler = m_handler;
        }
        if (scope && handler != nullptr) {
            handler->OnStreamServerConnected(ok);
        }
    };
    events.media = [this](const uint8_t* data, size_t length, bool rtcp) {
        OnMedia(data, length, rtcp);
    };
    events.audience = [this](const relay::Audience& audience) {
        m_sendGate.SetAudience(audience);
        std::lock_guard<std::mutex> lock(m_buildMutex);
        ApplySendGate();
    };
    m_session = std::make_unique<RelaySession>(std::move(events));
    m_deviceToken = DeviceRegistry::Get().AddListener(
        [this](DeviceRegistry::Change change, const std::string& path) {
            OnDeviceChange(static_cast<int>(change), path);
        });
    std::lock_guard<std::mutex> lock(m_buildMutex);
    Rebuild();
}

MediaChannel::~MediaChannel() {
    Shutdown();
}

void MediaChannel::Shutdown() {
    DeviceRegistry::Get().RemoveListener(m_deviceToken);
    if (m_session) {
        m_session->Stop();
    }
    m_loopGate->Close();
    m_notifyGate.Close();
    m_recordGate.Close();
    {
        std::lock_guard<std::mutex> lock(m_buildMutex);
        TearDown();
        if (m_filePipeline != nullptr) {
            gst_element_set_state(m_filePipeline, GST_STATE_NULL);
            gst_object_unref(m_filePipeline);
            m_filePipeline = nullptr;
        }
    }
    std::lock_guard<std::mutex> lock(m_stateMutex);
    for (auto& entry : m_streams) {
        entry.second->Detach();
    }
}

// ---- pipeline ------------------------------------------------------------------------------

std::string MediaChannel::Describe() const {
    const uint16_t id = m_mediaId;
    // AVPF: a picture-loss request leaves at once instead of with the next regular report.
    std::string d = "rtpbin name=rb latency=150 rtp-profile=avpf ";
    for (int session = 0; session < (m_kind == 0 ? 2 : 1); ++session) {
        const std::string s = std::to_string(session);
        const char* caps =
            session == 0
                ? "application/x-rtp,media=(string)video,clock-rate=(int)90000,"
                  "encoding-name=(string)H264,payload=(int)96,rtcp-fb-nack-pli=(boolean)true"
                : "application/x-rtp,media=(string)audio,clock-rate=(int)48000,"
                  "encoding-name=(string)OPUS,payload=(int)111";
        d += "appsrc name=rtpin" + s + " is-live=true format=time do-timestamp=true caps=\"" +
             caps + "\" ! rb.recv_rtp_sink_" + s + " ";
        d += "appsrc name=rtcpin" + s +
             " is-live=true format=time do-timestamp=true caps=application/x-rtcp ! "
             "rb.recv_rtcp_sink_" +
             s + " ";
        d += "rb.send_rtcp_src_" + s + " ! appsink name=rtcpout" + s + " sync=false async=false ";
    }
    if (m_video.active) {
        const std::string caps = "video/x-raw,format=I420,width=" + std::to_string(m_video.width) +
                                 ",height=" + std::to_string(m_video.height) +
                                 ",framerate=" + std::to_string(m_video.frameRate) + "/1";
        CameraDevice cam;
        if (m_video.fromFile) {
            d += "appsrc name=filein is-live=true format=time do-timestamp=true caps=" + caps + " ";
        } else if (DeviceRegistry::Get().FindCamera(m_video.path, &cam) && cam.synthetic) {
            d += "videotestsrc name=vsrc is-live=true pattern=smpte ! " + caps +
                 " ! identity name=marks ";
        } else {
            d += "v4l2src name=vsrc device=" + Quote(m_video.path) +
                 " ! videoconvert ! videoscale ! videorate ! " + caps + " ";
        }
        d += "! tee name=vt vt. ! queue leaky=downstream max-size-buffers=2 ! valve name=vsend "
             "drop=" +
             std::string(m_sendGate.Open(relay::Kind::Video) ? "false" : "true") +
             " ! x264enc name=venc tune=zerolatency speed-preset=veryfast threads=2 bitrate=" +
             std::to_string(m_video.bitRateKbps) +
             " key-int-max=" + std::to_string(m_video.keyInterval) +
             " ! rtph264pay config-interval=-1 mtu=1200 pt=" + std::to_string(kVideoPt) +
             " ssrc=" + std::to_string(relay::SsrcFor(id, relay::Kind::Video)) +
             " ! rb.send_rtp_sink_0 rb.send_rtp_src_0 ! appsink name=rtpout0 sync=false "
             "async=false ";
        d += "vt. ! queue leaky=downstream max-size-buffers=2 ! videoconvert ! "
             "video/x-raw,format=BGRx ! "
             "appsink name=local sync=false async=false max-buffers=1 drop=true ";
    }
    if (m_kind != 0) {
        return d;
    }
    const std::string probe = "yavprobe" + std::to_string(reinterpret_cast<uintptr_t>(this));
    const auto speakers = DeviceRegistry::Get().Speakers();
    std::string speaker = "fakesink name=spk sync=true";
    if (m_speakerIndex >= 0 && static_cast<size_t>(m_speakerIndex) < speakers.size() &&
        !speakers[static_cast<size_t>(m_speakerIndex)].synthetic) {
        speaker =
            "pulsesink name=spk device=" + Quote(speakers[static_cast<size_t>(m_speakerIndex)].id);
    }
    d +=
        "audiotestsrc is-live=true wave=silence ! audio/x-raw,format=S16LE,rate=48000,channels=1 ! "
        "queue ! audiomixer name=mix ! audio/x-raw,format=S16LE,rate=48000,channels=1 ! tee "
        "name=mt ";
    d += "mt. ! queue ! webrtcechoprobe name=" + probe +
         " ! level name=playlevel interval=100000000 ! volume name=spkvol ! " + speaker + " ";
    d += "mt. ! queue ! audioresample ! audio/x-raw,rate=16000 ! queue ! audiomixer name=recmix ! "
         "audio/x-raw,format=S16LE,rate=16000,channels=1 ! appsink name=record sync=false "
         "async=false ";
    d += "appsrc name=playtest is-live=true format=time do-timestamp=true "
         "caps=audio/x-raw,format=S16LE,rate=16000,channels=1,layout=interleaved ! audioconvert ! "
         "audioresample ! audio/x-raw,format=S16LE,rate=48000,channels=1 ! queue ! mix. ";
    const auto mics = DeviceRegistry::Get().Microphones();
    if (m_micIndex >= 0 && static_cast<size_t>(m_micIndex) < mics.size()) {
        const AudioDevice& mic = mics[static_cast<size_t>(m_micIndex)];
        d += mic.synthetic ? "audiotestsrc name=asrc is-live=true wave=sine freq=440 volume=0.3 "
                           : "pulsesrc name=asrc device=" + Quote(mic.id) + " ";
        d += "! audioconvert ! audioresample ! audio/x-raw,format=S16LE,rate=48000,channels=1 ! "
             "webrtcdsp name=dsp probe=" +
             probe +
             " ! level name=caplevel interval=100000000 ! volume name=micvol ! tee name=at ";
        d += "at. ! queue ! valve name=asend drop=" +
             std::string(m_sendGate.Open(relay::Kind::Audio) ? "false" : "true") +
             " ! opusenc name=aenc ! rtpopuspay mtu=1200 pt=" + std::to_string(kAudioPt) +
             " ssrc=" + std::to_string(relay::SsrcFor(id, relay::Kind::Audio)) +
             " ! rb.send_rtp_sink_1 rb.send_rtp_src_1 ! appsink name=rtpout1 sync=false "
             "async=false ";
        d += "at. ! queue ! audioresample ! audio/x-raw,rate=16000 ! queue ! recmix. ";
        d += "at. ! queue ! valve name=localplay drop=true ! mix. ";
    }
    return d;
}

GstElement* MediaChannel::Element(const char* name) {
    return m_pipeline != nullptr ? gst_bin_get_by_name(GST_BIN(m_pipeline), name) : nullptr;
}

void MediaChannel::TearDown() {
    if (m_pipeline == nullptr) {
        return;
    }
    {
        std::lock_guard<std::mutex> lock(m_stateMutex);
        for (auto& entry : m_appsrcs) {
            gst_object_unref(entry.second);
        }
        m_appsrcs.clear();
    }
    gst_element_set_state(m_pipeline, GST_STATE_NULL);
    gst_object_unref(m_pipeline);
    m_pipeline = nullptr;
}

// Called with m_buildMutex held.
void MediaChannel::Rebuild() {
    TearDown();
    const std::string description = Describe();
    GError* error = nullptr;
    GstElement* pipeline = gst_parse_launch(description.c_str(), &error);
    if (pipeline == nullptr || error != nullptr) {
        YLOG_ERROR("media pipeline cannot be built: %s", error != nullptr ? error->message : "?");
        g_clear_error(&error);
        if (pipeline != nullptr) {
            gst_object_unref(pipeline);
        }
        return;
    }
    m_pipeline = pipeline;
    m_videoValveOpen = m_sendGate.Open(relay::Kind::Video);
    ConnectPipeline();
    ApplyParams();
    if (gst_element_set_state(m_pipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        YLOG_ERROR("media pipeline does not start");
    }
}

void MediaChannel::ConnectPipeline() {
    GstBus* bus = gst_element_get_bus(m_pipeline);
    HandleBusSynchronously(
        bus,
        [](GstMessage* message, void* self) {
            static_cast<MediaChannel*>(self)->OnBusMessage(message);
        },
        this);
    gst_object_unref(bus);

    GstElement* rb = Element("rb");
    g_signal_connect(rb, "pad-added", G_CALLBACK(+[](GstElement*, GstPad* pad, gpointer self) {
                         static_cast<MediaChannel*>(self)->OnPadAdded(pad);
                     }),
                     this);
    KeepReportsOfWantedStreams();
    // A sender that said bye or fell silent leaves no decoding branch behind.
    for (const char* signal : {"on-bye-ssrc", "on-timeout"}) {
        g_signal_connect(rb, signal, G_CALLBACK(+[](GstElement*, guint, guint ssrc, gpointer self) {
                             static_cast<MediaChannel*>(self)->FreeBranchLater(ssrc, true);
                         }),
                         this);
    }
    // Our RTCP carries our own SSRCs, so the relay can tell whose feedback it is.
    for (guint session = 0; session < (m_kind == 0 ? 2U : 1U); ++session) {
        GObject* internal = nullptr;
        g_signal_emit_by_name(rb, "get-internal-session", session, &internal);
        if (internal != nullptr) {
            g_object_set(
                internal, "internal-ssrc",
                relay::SsrcFor(m_mediaId, session == 0 ? relay::Kind::Video : relay::Kind::Audio),
                nullptr);
            g_object_unref(internal);
        }
    }
    gst_object_unref(rb);

    struct OutSpec {
        const char* name;
        relay::Kind kind;
        bool rtcp;
    };
    static const OutSpec outs[] = {{"rtpout0", relay::Kind::Video, false},
                                   {"rtcpout0", relay::Kind::Video, true},
                                   {"rtpout1", relay::Kind::Audio, false},
                                   {"rtcpout1", relay::Kind::Audio, true}};
    for (const OutSpec& out : outs) {
        GstElement* sink = Element(out.name);
        if (sink == nullptr) {
            continue;
        }
        GstAppSinkCallbacks callbacks{};
        callbacks.new_sample = +[](GstAppSink* appsink, gpointer data) -> GstFlowReturn {
            auto* spec = static_cast<const OutSpec*>(data);
            GstSample* sample = gst_app_sink_pull_sample(appsink);
            auto* self =
                static_cast<MediaChannel*>(g_object_get_data(G_OBJECT(appsink), "channel"));
            if (sample != nullptr) {
                self->SendOut(sample, spec->kind, spec->rtcp);
                gst_sample_unref(sample);
            }
            return GST_FLOW_OK;
        };
        g_object_set_data(G_OBJECT(sink), "channel", this);
        gst_app_sink_set_callbacks(GST_APP_SINK(sink), &callbacks, const_cast<OutSpec*>(&out),
                                   nullptr);
        gst_object_unref(sink);
    }
    if (GstElement* local = Element("local")) {
        GstAppSinkCallbacks callbacks{};
        callbacks.new_sample = +[](GstAppSink* appsink, gpointer self) -> GstFlowReturn {
            GstSample* sample = gst_app_sink_pull_sample(appsink);
            if (sample != nullptr) {
                static_cast<MediaChannel*>(self)->OnLocalFrame(sample);
                gst_sample_unref(sample);
            }
            return GST_FLOW_OK;
        };
        gst_app_sink_set_callbacks(GST_APP_SINK(local), &callbacks, this, nullptr);
        gst_object_unref(local);
    }
    if (GstElement* record = Element("record")) {
        GstAppSinkCallbacks callbacks{};
        callbacks.new_sample = +[](GstAppSink* appsink, gpointer self) -> GstFlowReturn {
            GstSample* sample = gst_app_sink_pull_sample(appsink);
            if (sample != nullptr) {
                static_cast<MediaChannel*>(self)->OnRecordSample(sample);
                gst_sample_unref(sample);
            }
            return GST_FLOW_OK;
        };
        gst_app_sink_set_callbacks(GST_APP_SINK(record), &callbacks, this, nullptr);
        gst_object_unref(record);
    }
    if (GstElement* marks = Element("marks")) {
        GstPad* pad = gst_element_get_static_pad(marks, "src");
        gst_pad_add_probe(
            pad, GST_PAD_PROBE_TYPE_BUFFER,
            +[](GstPad* probePad, GstPadProbeInfo* info, gpointer self) -> GstPadProbeReturn {
                auto* channel = static_cast<MediaChannel*>(self);
                GstBuffer* buffer = gst_buffer_make_writable(GST_PAD_PROBE_INFO_BUFFER(info));
                GST_PAD_PROBE_INFO_DATA(info) = buffer;
                GstCaps* caps = gst_pad_get_current_caps(probePad);
                GstVideoInfo videoInfo;
                if (caps != nullptr && gst_video_info_from_caps(&videoInfo, caps)) {
                    GstVideoFrame frame;
                    if (gst_video_frame_map(&frame, &videoInfo, buffer, GST_MAP_WRITE)) {
                        PatternMarks pattern;
                        pattern.mediaId = channel->m_mediaId;
                        pattern.counter = channel->m_frameCounter.fetch_add(1);
                        pattern.captureMs = static_cast<uint32_t>(g_get_monotonic_time() / 1000);
                        PaintPatternI420(
                            static_cast<uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, 0)),
                            GST_VIDEO_FRAME_PLANE_STRIDE(&frame, 0),
                            static_cast<uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, 1)),
                            static_cast<uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, 2)),
                            GST_VIDEO_FRAME_PLANE_STRIDE(&frame, 1),
                            GST_VIDEO_INFO_WIDTH(&videoInfo), GST_VIDEO_INFO_HEIGHT(&videoInfo),
                            pattern);
                        gst_video_frame_unmap(&frame);
                    }
                }
                if (caps != nullptr) {
                    gst_caps_unref(caps);
                }
                return GST_PAD_PROBE_OK;
            },
            this, nullptr);
        gst_object_unref(pad);
        gst_object_unref(marks);
    }
    std::lock_guard<std::mutex> lock(m_stateMutex);
    const char* ins[] = {"rtpin0", "rtcpin0", "rtpin1", "rtcpin1", "filein"};
    for (uint32_t i = 0; i <= kFileInKey; ++i) {
        if (GstElement* src = Element(ins[i])) {
            m_appsrcs[i] = src;  // keeps the reference
        }
    }
}

// ---- parameters ----------------------------------------------------------------------------

void MediaChannel::ApplyParams() {
    for (const auto& entry : m_params) {
        ApplyParam(entry.first, entry.second);
    }
}

void MediaChannel::ApplyParam(int id, int value) {
    auto setOn = [&](const char* element, const char* property, auto v) {
        if (GstElement* e = Element(element)) {
            g_object_set(e, property, v, nullptr);
            gst_object_unref(e);
        }
    };
    const gboolean on = value != 0 ? TRUE : FALSE;
    switch (id) {
        case 1:
            setOn("dsp", "noise-suppression", on);
            break;
        case 2:
            setOn("dsp", "echo-cancel", on);
            break;
        case 3:
            setOn("dsp", "gain-control", on);
            break;
        case 4:
            setOn("dsp", "limiter", on);
            break;
        case 5:
            setOn("spkvol", "volume", std::clamp(value, 0, 100) / 100.0);
            break;
        case 6:
            setOn("micvol", "volume", std::clamp(value, 0, 100) / 100.0);
            break;
        case 7:
            setOn("spkvol", "mute", on);
            break;
        case 8:
            setOn("micvol", "mute", on);
            m_sendGate.SetMuted(value != 0);  // a muted microphone sends nothing at all
            ApplySendGate();
            break;
        case 9:
            setOn("localplay", "drop", value != 0 ? FALSE : TRUE);
            break;
        case 103:
            setOn("aenc", "dtx", on);
            break;
        case 104:
            setOn("aenc", "inband-fec", on);
            setOn("aenc", "packet-loss-percentage", std::clamp(value * 5, 0, 100));
            break;
        case 107:
            setOn("aenc", "bitrate", AudioFormatBitrate(value));
            break;
        default:
            break;
    }
}

int MediaChannel::AudioGetParam(int id, int* value) {
    if (value == nullptr) {
        return 0;
    }
    if (id == 101) {
        *value = m_levelCapture;
        return 1;
    }
    if (id == 102) {
        *value = m_levelPlayback;
        return 1;
    }
    std::lock_guard<std::mutex> lock(m_buildMutex);
    const auto it = m_params.find(id);
    if (it == m_params.end()) {
        return 0;
    }
    *value = it->second;
    return 1;
}

int MediaChannel::AudioSetParam(int id, const int* value) {
    if (value == nullptr || m_kind != 0) {
        return 0;
    }
    std::lock_guard<std::mutex> lock(m_buildMutex);
    const auto it = m_params.find(id);
    if (it == m_params.end()) {
        return 0;  // 101 and 102 are read-only, others unknown
    }
    if (id == 107 && !IsAudioFormat(*value)) {
        YLOG_WARN("audio format %d is unknown", *value);
        return 0;
    }
    const bool changed = it->second != *value;
    it->second = *value;
    if (changed && IsDspParam(id) && m_micIndex >= 0) {
        Rebuild();  // the processor takes its settings when it starts
    } else {
        ApplyParam(id, *value);
    }
    return 1;
}

bool MediaChannel::ReadElementProperty(const char* element, const char* property, double* value) {
    std::lock_guard<std::mutex> lock(m_buildMutex);
    GstElement* e = Element(element);
    if (e == nullptr) {
        return false;
    }
    GParamSpec* spec = g_object_class_find_property(G_OBJECT_GET_CLASS(e), property);
    bool ok = spec != nullptr;
    if (ok) {
        GValue v = G_VALUE_INIT;
        g_value_init(&v, spec->value_type);
        g_object_get_property(G_OBJECT(e), property, &v);
        if (G_VALUE_HOLDS_BOOLEAN(&v)) {
            *value = g_value_get_boolean(&v) ? 1 : 0;
        } else if (G_VALUE_HOLDS_INT(&v)) {
            *value = g_value_get_int(&v);
        } else if (G_VALUE_HOLDS_UINT(&v)) {
            *value = g_value_get_uint(&v);
        } else if (G_VALUE_HOLDS_DOUBLE(&v)) {
            *value = g_value_get_double(&v);
        } else if (G_VALUE_HOLDS_ENUM(&v)) {
            *value = g_value_get_enum(&v);
        } else {
            ok = false;
        }
        g_value_unset(&v);
    }
    gst_object_unref(e);
    return ok;
}

// ---- streaming-thread work --------------------------------------------------------------------

void MediaChannel::SendOut(GstSample* sample, relay::Kind kind, bool rtcp) {
    // What the encoder still held when the gate closed stays here too.
    if (!rtcp && !m_sendGate.Open(kind)) {
        return;
    }
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    GstMapInfo map;
    if (buffer == nullptr || !gst_buffer_map(buffer, &map, GST_MAP_READ)) {
        return;
    }
    if (!rtcp) {
        (kind == relay::Kind::Video ? m_videoSent : m_audioSent) += map.size;
    }
    m_session->SendMedia(map.data, map.size);
    gst_buffer_unmap(buffer, &map);
}

void MediaChannel::OnMedia(const uint8_t* data, size_t length, bool rtcp) {
    const auto ssrc = relay::SenderSsrc(data, length);
    const auto parsed = ssrc ? relay::ParseSsrc(*ssrc) : std::nullopt;
    if (!parsed) {
        return;
    }
    // Only a stream this channel asked for gets a jitter buffer and a decoder.
    if (!rtcp && !m_session->IsSubscribed(parsed->first, parsed->second)) {
        return;
    }
    const bool video = parsed->second == relay::Kind::Video;
    if (!video && m_kind != 0) {
        return;
    }
    if (!rtcp) {
        (video ? m_videoReceived : m_audioReceived) += length;
    }
    const uint32_t key = (video ? 0U : 2U) | (rtcp ? 1U : 0U);
    GstElement* src = nullptr;
    {
        std::lock_guard<std::mutex> lock(m_stateMutex);
        const auto it = m_appsrcs.find(key);
        if (it != m_appsrcs.end()) {
            src = GST_ELEMENT(gst_object_ref(it->second));
        }
    }
    if (src == nullptr) {
        return;
    }
    gst_app_src_push_buffer(GST_APP_SRC(src), gst_buffer_new_memdup(data, length));
    gst_object_unref(src);
}

void MediaChannel::OnPadAdded(GstPad* pad) {
    gchar* name = gst_pad_get_name(pad);
    guint session = 0;
    guint ssrc = 0;
    guint pt = 0;
    const bool recv = std::sscanf(name, "recv_rtp_src_%u_%u_%u", &session, &ssrc, &pt) == 3;
    g_free(name);
    if (!recv) {
        return;
    }
    const auto parsed = relay::ParseSsrc(ssrc);
    std::string description = "fakesink sync=false async=false";
    const bool video =
        session == 0 && pt == kVideoPt && parsed && parsed->second == relay::Kind::Video;
    const bool audio =
        session == 1 && pt == kAudioPt && parsed && parsed->second == relay::Kind::Audio;
    if (video) {
        // One decoder thread a stream: frame threads cost a sixth more CPU at 25 pictures a
        // second, add a picture of delay each and hold more pictures, and a grid of 16
        // received streams must fit in well under a core. The pictures leave as I420 (the
        // converter only acts for another decoder format); the stream sizes and converts them.
        description =
            "rtph264depay request-keyframe=true wait-for-keyframe=true ! h264parse ! "
            "avdec_h264 max-threads=1 automatic-request-sync-points=true ! videoconvert ! "
            "video/x-raw,format=I420 ! appsink name=v" +
            std::to_string(ssrc) + " sync=false async=false max-buffers=2 drop=true";
    } else if (audio) {
        description =
            "rtpopusdepay ! opusdec ! audioconvert ! audioresample ! "
            "audio/x-raw,format=S16LE,rate=48000,channels=1 ! level name=lvl" +
            std::to_string(ssrc) + " interval=100000000 ! queue";
    }
    GError* error = nullptr;
    GstElement* bin = gst_parse_bin_from_description(description.c_str(), TRUE, &error);
    if (bin == nullptr) {
        g_clear_error(&error);
        return;
    }
    gst_element_set_name(bin, ("rx" + std::to_string(ssrc)).c_str());
    gst_bin_add(GST_BIN(m_pipeline), bin);
    if (video) {
        {
            std::lock_guard<std::mutex> lock(m_stateMutex);
            Remote& remote = m_remotes[ssrc];
            remote.mediaId = parsed->first;
            remote.kind = relay::Kind::Video;
        }
        GstElement* sink = gst_bin_get_by_name(GST_BIN(bin), ("v" + std::to_string(ssrc)).c_str());
        g_object_set_data(G_OBJECT(sink), "media-id", GUINT_TO_POINTER(parsed->first));
        GstAppSinkCallbacks callbacks{};
        callbacks.new_sample = +[](GstAppSink* appsink, gpointer self) -> GstFlowReturn {
            GstSample* sample = gst_app_sink_pull_sample(appsink);
            if (sample == nullptr) {
                return GST_FLOW_OK;
            }
            auto id = static_cast<uint16_t>(
                GPOINTER_TO_UINT(g_object_get_data(G_OBJECT(appsink), "media-id")));
            auto* channel = static_cast<MediaChannel*>(self);
            if (MediaStream* stream = channel->StreamFor(id, false)) {
                stream->DeliverDecoded(sample);
            }
            gst_sample_unref(sample);
            return GST_FLOW_OK;
        };
        gst_app_sink_set_callbacks(GST_APP_SINK(sink), &callbacks, this, nullptr);
        gst_object_unref(sink);
    }
    GstPad* sinkPad = gst_element_get_static_pad(bin, "sink");
    gst_pad_link(pad, sinkPad);
    if (video) {
        // A stream joined mid-way decodes nothing before its next key frame: ask the sender
        // for one now (rtpbin turns the request into a PLI to the stream's SSRC).
        gst_pad_push_event(
            sinkPad, gst_video_event_new_upstream_force_key_unit(GST_CLOCK_TIME_NONE, TRUE, 0));
    }
    gst_object_unref(sinkPad);
    if (audio) {
        {
            std::lock_guard<std::mutex> lock(m_stateMutex);
            Remote& remote = m_remotes[ssrc];
            remote.mediaId = parsed->first;
            remote.kind = relay::Kind::Audio;
        }
        GstElement* mix = gst_bin_get_by_name(GST_BIN(m_pipeline), "mix");
        if (mix != nullptr) {
            gst_element_link(bin, mix);
            gst_object_unref(mix);
        }
    }
    gst_element_sync_state_with_parent(bin);
    if (!Wanted(ssrc)) {
        FreeBranchLater(ssrc, false);  // a packet that passed just before the stream was stopped
    }
}

void MediaChannel::OnLocalFrame(GstSample* sample) {
    const uint16_t id = m_mediaId;
    MediaStream* stream = id != 0 ? StreamFor(id, false) : nullptr;
    if (stream == nullptr) {
        return;
    }
    VideoFrame picture;
    if (HoldPicture(sample, &picture)) {
        stream->Deliver(std::move(picture));
    }
}

void MediaChannel::OnRecordSample(GstSample* sample) {
    GateScope scope(m_recordGate);
    if (!scope) {
        return;
    }
    IRecordHandler* handler = nullptr;
    {
        std::lock_guard<std::mutex> lock(m_stateMutex);
        handler = m_recordHandler;
    }
    if (handler == nullptr) {
        return;
    }
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    GstMapInfo map;
    if (buffer != nullptr && gst_buffer_map(buffer, &map, GST_MAP_READ)) {
        m_recordBlocks.Push(map.data, map.size, [&](const uint8_t* block, int length) {
            handler->OnAudioBlock(block, length);
        });
        gst_buffer_unmap(buffer, &map);
    }
}

void MediaChannel::OnBusMessage(GstMessage* message) {
    const char* source =
        GST_MESSAGE_SRC(message) != nullptr ? GST_OBJECT_NAME(GST_MESSAGE_SRC(message)) : "";
    if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ELEMENT) {
        const GstStructure* s = gst_message_get_structure(message);
        if (s == nullptr || !gst_structure_has_name(s, "level")) {
            return;
        }
        const GValue* list = gst_structure_get_value(s, "peak");
        if (list == nullptr) {
            return;
        }
        GValueArray* array = static_cast<GValueArray*>(g_value_get_boxed(list));
        G_GNUC_BEGIN_IGNORE_DEPRECATIONS
        const double db = array != nullptr && array->n_values > 0
                              ? g_value_get_double(g_value_array_get_nth(array, 0))
                              : -100.0;
        G_GNUC_END_IGNORE_DEPRECATIONS
        if (std::strcmp(source, "caplevel") == 0) {
            m_levelCapture = LevelFromDb(db);
        } else if (std::strcmp(source, "playlevel") == 0) {
            m_levelPlayback = LevelFromDb(db);
        } else if (std::strncmp(source, "lvl", 3) == 0) {
            const uint32_t ssrc = static_cast<uint32_t>(std::strtoul(source + 3, nullptr, 10));
            uint16_t speaking = 0;
            {
                std::lock_guard<std::mutex> lock(m_stateMutex);
                const auto it = m_remotes.find(ssrc);
                if (!m_voiceIncentive || it == m_remotes.end() || db < -40.0 ||
                    (it->second.mediaId & 0xFFF8) == (m_myUserId & 0xFFF8) ||
                    it->second.mediaId == m_speaking) {
                    return;
                }
                m_speaking = it->second.mediaId;
                speaking = m_speaking;
            }
            PostAudio(kMsgVoiceIncentive, speaking, 0);
        }
        return;
    }
    if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR) {
        GError* error = nullptr;
        gst_message_parse_error(message, &error, nullptr);
        YLOG_WARN("media element %s failed: %s", source, error != nullptr ? error->message : "?");
        g_clear_error(&error);
        if (std::strcmp(source, "vsrc") == 0) {
            if (!m_deviceLost.exchange(true)) {
                PostNotify(m_videoNotifyMessage, 0, 0);
            }
        } else if (std::strcmp(source, "spk") == 0) {
            PostAudio(kMsgPlaybackStopped, 0, 0);
        }
    }
}

void MediaChannel::OnDeviceChange(int change, const std::string& path) {
    const auto kind = static_cast<DeviceRegistry::Change>(change);
    if (kind == DeviceRegistry::Change::CameraAdded) {
        PostAudio(kMsgCameraAdded, 0, 0);
    } else if (kind == DeviceRegistry::Change::AudioChanged) {
        PostAudio(kMsgDeviceChange, kDeviceNodesChanged, 0);
    } else if (kind == DeviceRegistry::Change::CameraRemoved) {
        bool lost = false;
        {
            std::lock_guard<std::mutex> lock(m_buildMutex);
            if (m_video.active && !m_video.fromFile &&
                strcasecmp(m_video.path.c_str(), path.c_str()) == 0) {
                m_video.active = false;
                lost = !m_deviceLost.exchange(true);
                Rebuild();
            }
        }
        if (lost) {
            PostNotify(m_videoNotifyMessage, 0, 0);
        }
    }
}

void MediaChannel::PostNotify(uint32_t message, uint64_t wParam, int64_t lParam) {
    GateScope scope(m_notifyGate);
    INotifyTarget* target = nullptr;
    {
        std::lock_guard<std::mutex> lock(m_stateMutex);
        target = m_videoNotify;
    }
    if (scope && target != nullptr) {
        target->PostMessage(message, wParam, lParam);
    }
}

void MediaChannel::PostAudio(uint32_t message, uint64_t wParam, int64_t lParam) {
    if (m_kind != 0) {
        return;
    }
    GateScope scope(m_notifyGate);
    INotifyTarget* target = nullptr;
    {
        std::lock_guard<std::mutex> lock(m_stateMutex);
        target = m_audioNotify;
    }
    if (scope && target != nullptr) {
        target->PostMessage(message, wParam, lParam);
    }
}

MediaStream* MediaChannel::StreamFor(uint16_t mediaId, bool create) {
    std::lock_guard<std::mutex> lock(m_stateMutex);
    auto it = m_streams.find(mediaId);
    if (it != m_streams.end()) {
        return it->second.get();
    }
    if (!create) {
        return nullptr;
    }
    auto stream = std::make_unique<MediaStream>(mediaId);
    MediaStream* raw = stream.get();
    m_streams.emplace(mediaId, std::move(stream));
    return raw;
}

bool MediaChannel::IsOwnId(uint16_t mediaId) const {
    return m_mediaId != 0 && mediaId == m_mediaId;
}

void MediaChannel::ApplySendGate() {
    const bool video = m_sendGate.Open(relay::Kind::Video);
    const bool audio = m_sendGate.Open(relay::Kind::Audio);
    if (GstElement* valve = Element("asend")) {
        g_object_set(valve, "drop", audio ? FALSE : TRUE, nullptr);
        gst_object_unref(valve);
    }
    if (GstElement* valve = Element("vsend")) {
        g_object_set(valve, "drop", video ? FALSE : TRUE, nullptr);
        gst_object_unref(valve);
    }
    if (video && !m_videoValveOpen) {
        // The first receivers decode nothing before a key frame: the encoder makes one now.
        if (GstElement* encoder = Element("venc")) {
            if (GstPad* pad = gst_element_get_static_pad(encoder, "src")) {
                gst_pad_send_event(
                    pad, gst_video_event_new_upstream_force_key_unit(GST_CLOCK_TIME_NONE, TRUE, 0));
                gst_object_unref(pad);
            }
            gst_object_unref(encoder);
        }
    }
    m_videoValveOpen = video;
}

// ---- IMediaControl ---------------------------------------------------------------------------

void MediaChannel::SetHandler(IMediaHandler* handler) {
    std::lock_guard<std::mutex> lock(m_stateMutex);
    m_handler = handler;
}

IAudioEngine* MediaChannel::GetAudioEngine() {
    return m_kind == 0 ? &m_audioEngine : nullptr;
}

ILocalVideo* MediaChannel::GetLocalVideo() {
    return this;
}

IMediaStream* MediaChannel::GetStream(uint16_t mediaId) {
    return StreamFor(mediaId, false);
}

int MediaChannel::Login(uint16_t mediaId, const char* serverAddress, uint16_t port,
                        uint32_t /*value*/, uint32_t conferenceId) {
    if (!ValidAddress(serverAddress)) {
        YLOG_WARN(
            "media login refused: server address is no IPv4 address of at most 15 characters");
        return 0;
    }
    bool tcp = false;
    std::array<uint8_t, relay::kTicketBytes> ticket{};
    {
        std::lock_guard<std::mutex> lock(m_stateMutex);
        m_serverAddress = serverAddress;
        tcp = m_useTcp;
        ticket = m_ticket;
    }
    {
        std::lock_guard<std::mutex> lock(m_buildMutex);
        if (m_mediaId != mediaId) {
            m_mediaId = mediaId;
            Rebuild();  // the SSRCs carry the id
        }
    }
    // The new session sends nothing until the relay says someone may receive it.
    m_session->Start(serverAddress, port, tcp, ticket, conferenceId, mediaId);
    return 1;
}

void MediaChannel::Logout() {
    m_session->Stop();
    m_sendGate.ResetAudience();
    {
        std::lock_guard<std::mutex> lock(m_buildMutex);
        ApplySendGate();
    }
    m_mediaId = 0;
    std::vector<uint32_t> received;
    {
        std::lock_guard<std::mutex> lock(m_stateMutex);
        for (const auto& entry : m_remotes) {
            received.push_back(entry.first);
        }
    }
    for (uint32_t ssrc : received) {
        FreeBranch(ssrc);
    }
}

void MediaChannel::SetUseTCP(uint32_t useTcp) {
    {
        std::lock_guard<std::mutex> lock(m_stateMutex);
        m_useTcp = useTcp != 0;
    }
    m_session->UseTcp(useTcp != 0);  // a logged-in channel moves now
}

int MediaChannel::StartRecvAudio(uint16_t mediaId, uint32_t /*value*/) {
    if (IsOwnId(mediaId) || m_kind != 0) {
        return 0;
    }
    m_session->Subscribe(mediaId, relay::Kind::Audio, true);
    return 1;
}

int MediaChannel::StopRecvAudio(uint16_t mediaId) {
    m_session->Subscribe(mediaId, relay::Kind::Audio, false);
    if (m_kind == 0 && !IsOwnId(mediaId)) {
        FreeBranch(relay::SsrcFor(mediaId, relay::Kind::Audio));
    }
    return 1;
}

int MediaChannel::StartRecvVideo(uint16_t mediaId, uint32_t /*mode*/, void* /*owner*/,
                                 IFrameSink* window, uint32_t message) {
    if (mediaId == 0) {
        return 0;
    }
    MediaStream* stream = StreamFor(mediaId, true);
    stream->Attach(window, message);
    if (!IsOwnId(mediaId)) {
        m_session->Subscribe(mediaId, relay::Kind::Video, true);
    }
    return 1;
}

int MediaChannel::StopRecvVideo(uint16_t mediaId) {
    const bool own = IsOwnId(mediaId);
    if (!own) {
        m_session->Subscribe(mediaId, relay::Kind::Video, false);
    }
    if (MediaStream* stream = StreamFor(mediaId, false)) {
        stream->Release();
    }
    if (!own) {
        FreeBranch(relay::SsrcFor(mediaId, relay::Kind::Video));
    }
    return 1;
}

int MediaChannel::EnableRender(uint16_t mediaId, int on) {
    MediaStream* stream = StreamFor(mediaId, false);
    if (stream == nullptr) {
        return 0;
    }
    stream->SetRender(on != 0);
    return 1;
}

int MediaChannel::SetRecordHandler(int on, IRecordHandler* handler) {
    m_recordGate.Close();  // the old handler gets no more calls once this returns
    {
        std::lock_guard<std::mutex> lock(m_stateMutex);
        m_recordHandler = on != 0 ? handler : nullptr;
        m_recordBlocks.Reset();
    }
    if (on != 0 && handler != nullptr) {
        m_recordGate.Open();
    }
    return 1;
}

int MediaChannel::SetAudioSend(int on) {
    m_sendGate.SetSwitch(relay::Kind::Audio, on != 0);
    std::lock_guard<std::mutex> lock(m_buildMutex);
    ApplySendGate();
    return 1;
}

int MediaChannel::SetServerAddress(const char* address) {
    if (!ValidAddress(address)) {
        YLOG_WARN("media server address refused: no IPv4 address of at most 15 characters");
        return 0;
    }
    std::lock_guard<std::mutex> lock(m_stateMutex);
    m_serverAddress = address;
    return 1;
}

int MediaChannel::GetStreamQuality(StreamQuality* records, int capacity, int* count) {
    if (count != nullptr) {
        *count = 0;
    }
    if (records == nullptr || count == nullptr || capacity <= 0) {
        return 0;
    }
    std::lock_guard<std::mutex> buildLock(m_buildMutex);
    GstElement* rb = Element("rb");
    if (rb == nullptr) {
        return 0;
    }
    std::map<uint16_t, uint32_t> byId;
    std::lock_guard<std::mutex> lock(m_stateMutex);
    for (auto& [ssrc, remote] : m_remotes) {
        GObject* session = nullptr;
        g_signal_emit_by_name(rb, "get-internal-session",
                              remote.kind == relay::Kind::Video ? 0U : 1U, &session);
        if (session == nullptr) {
            continue;
        }
        GObject* source = nullptr;
        g_signal_emit_by_name(session, "get-source-by-ssrc", ssrc, &source);
        g_object_unref(session);
        if (source == nullptr) {
            continue;
        }
        GstStructure* stats = nullptr;
        g_object_get(source, "stats", &stats, nullptr);
        g_object_unref(source);
        if (stats == nullptr) {
            continue;
        }
        guint64 received = 0;
        gint lost = 0;
        guint jitter = 0;
        gint clockRate = 0;
        gst_structure_get_uint64(stats, "packets-received", &received);
        gst_structure_get_int(stats, "packets-lost", &lost);
        gst_structure_get_uint(stats, "jitter", &jitter);
        gst_structure_get_int(stats, "clock-rate", &clockRate);
        gst_structure_free(stats);
        ReceptionSample now;
        now.received = received;
        now.lost = lost > 0 ? static_cast<uint64_t>(lost) : 0;
        now.jitterMs = clockRate > 0 ? 1000.0 * jitter / clockRate : 0.0;
        const uint32_t quality = remote.hasSample ? QualityBetween(remote.lastSample, now)
                                                  : QualityBetween(ReceptionSample{}, now);
        remote.lastSample = now;
        remote.hasSample = true;
        auto [it, inserted] = byId.emplace(remote.mediaId, quality);
        if (!inserted) {
            it->second = std::min(it->second, quality);
        }
    }
    gst_object_unref(rb);
    int written = 0;
    for (const auto& [id, quality] : byId) {
        if (written == capacity) {
            break;
        }
        records[written++] = {id, quality};
    }
    *count = written;
    return 1;
}

void MediaChannel::GetCounters(uint64_t* audioSent, uint64_t* audioReceived, uint64_t* videoSent,
                               uint64_t* videoReceived, int reset) {
    if (reset != 0) {
        m_audioSent = 0;
        m_audioReceived = 0;
        m_videoSent = 0;
        m_videoReceived = 0;
    }
    if (audioSent != nullptr)
        *audioSent += m_audioSent;
    if (audioReceived != nullptr)
        *audioReceived += m_audioReceived;
    if (videoSent != nullptr)
        *videoSent += m_videoSent;
    if (videoReceived != nullptr)
        *videoReceived += m_videoReceived;
}

void MediaChannel::SetTicket(const uint8_t* ticket, int length) {
    std::lock_guard<std::mutex> lock(m_stateMutex);
    m_ticket.fill(0);
    if (ticket != nullptr && length == static_cast<int>(relay::kTicketBytes)) {
        std::memcpy(m_ticket.data(), ticket, relay::kTicketBytes);
    }
}

// ---- ILocalVideo -----------------------------------------------------------------------------

int MediaChannel::StartCapture(uint8_t /*codec*/, uint8_t /*encodeMode*/, uint8_t frameRate,
                               uint8_t /*levelB*/, uint16_t bitRateNormal, uint8_t /*levelA*/,
                               uint16_t /*bitRateBig*/, uint16_t /*maxBitRate*/,
                               std::string devicePath, int width, int height, int /*reserved*/) {
    CameraDevice cam;
    if (!DeviceRegistry::Get().FindCamera(devicePath, &cam)) {
        YLOG_WARN("no camera %s to capture", devicePath.c_str());
        return 0;
    }
    std::vector<std::string> inputs =
        cam.synthetic ? std::vector<std::string>{"Test Input"} : V4l2Inputs(cam.path);
    std::vector<VideoSize> formats = FormatsFromCaps(cam.capsText);
    {
        std::lock_guard<std::mutex> lock(m_stateMutex);
        m_inputs = std::move(inputs);
        m_formats = std::move(formats);
    }
    std::lock_guard<std::mutex> lock(m_buildMutex);
    m_video.active = true;
    m_video.fromFile = false;
    m_video.path = cam.path;
    m_video.width = std::max(16, width) & ~1;
    m_video.height = std::max(16, height) & ~1;
    m_video.frameRate = std::clamp<int>(frameRate, 1, 60);
    m_video.bitRateKbps = std::max<int>(64, bitRateNormal);
    m_video.keyInterval = m_video.frameRate * 2;
    m_deviceLost = false;
    Rebuild();
    return m_pipeline != nullptr ? 1 : 0;
}

int MediaChannel::GetInputCount() {
    std::lock_guard<std::mutex> lock(m_stateMutex);
    return static_cast<int>(m_inputs.size());
}

int MediaChannel::GetInputName(int index, char16_t* buffer, int capacity) {
    std::lock_guard<std::mutex> lock(m_stateMutex);
    if (index < 0 || static_cast<size_t>(index) >= m_inputs.size()) {
        return 0;
    }
    return CopyNameUtf16(m_inputs[static_cast<size_t>(index)], buffer, capacity);
}

int MediaChannel::SelectInput(uint8_t index) {
    std::lock_guard<std::mutex> lock(m_stateMutex);
    if (index >= m_inputs.size()) {
        return 0;
    }
    m_input = index;
    return 1;
}

int MediaChannel::GetFormatCount() {
    std::lock_guard<std::mutex> lock(m_stateMutex);
    return static_cast<int>(m_formats.size());
}

int MediaChannel::GetFormat(int index, VideoSize* size) {
    std::lock_guard<std::mutex> lock(m_stateMutex);
    if (size == nullptr || index < 0 || static_cast<size_t>(index) >= m_formats.size()) {
        return -1;
    }
    *size = m_formats[static_cast<size_t>(index)];
    return index;
}

void MediaChannel::SetOption(int a, int b, int c) {
    // The preset trades resolution steadiness for bit rate: a > 0 lets the encoder lower its
    // rate under loss, b and c are the key-frame spacing in seconds and the loss budget.
    (void)a;
    (void)b;
    (void)c;
}

int MediaChannel::ShowPropertyPage(void* /*parent*/) {
    return 0;
}

void MediaChannel::StopCapture() {
    // The program stops a lost camera when it hears of the loss: that is the loss taken in,
    // not to be counted again at the next camera event.
    m_deviceLost = false;
    std::lock_guard<std::mutex> lock(m_buildMutex);
    if (!m_video.active || m_video.fromFile) {
        return;
    }
    m_video.active = false;
    Rebuild();
}

int MediaChannel::Open(int /*channel*/, uint8_t /*codec*/, uint8_t /*encodeMode*/,
                       uint8_t frameRate, uint8_t /*levelB*/, uint16_t bitRate, uint8_t /*levelA*/,
                       uint16_t /*bitRateBig*/, uint16_t /*maxBitRate*/, int width, int height,
                       const char16_t* path) {
    const std::string file = Utf16ToUtf8(path);
    if (file.empty()) {
        return 0;
    }
    std::lock_guard<std::mutex> lock(m_buildMutex);
    if (m_filePipeline != nullptr) {
        gst_element_set_state(m_filePipeline, GST_STATE_NULL);
        gst_object_unref(m_filePipeline);
        m_filePipeline = nullptr;
    }
    m_video.active = true;
    m_video.fromFile = true;
    m_video.path = file;
    m_video.width = std::max(16, width) & ~1;
    m_video.height = std::max(16, height) & ~1;
    m_video.frameRate = std::clamp<int>(frameRate == 0 ? 25 : frameRate, 1, 60);
    m_video.bitRateKbps = std::max<int>(64, bitRate);
    m_video.keyInterval = m_video.frameRate * 2;
    Rebuild();
    const std::string description =
        "filesrc location=" + Quote(file) +
        " ! decodebin ! videoconvert ! videoscale ! videorate ! "
        "video/x-raw,format=I420,width=" +
        std::to_string(m_video.width) + ",height=" + std::to_string(m_video.height) +
        ",framerate=" + std::to_string(m_video.frameRate) + "/1 ! appsink name=fileout sync=true";
    GError* error = nullptr;
    m_filePipeline = gst_parse_launch(description.c_str(), &error);
    if (m_filePipeline == nullptr || error != nullptr) {
        g_clear_error(&error);
        return 0;
    }
    GstElement* out = gst_bin_get_by_name(GST_BIN(m_filePipeline), "fileout");
    GstAppSinkCallbacks callbacks{};
    callbacks.new_sample = +[](GstAppSink* appsink, gpointer self) -> GstFlowReturn {
        GstSample* sample = gst_app_sink_pull_sample(appsink);
        auto* channel = static_cast<MediaChannel*>(self);
        if (sample != nullptr) {
            GstElement* in = nullptr;
            {
                std::lock_guard<std::mutex> l(channel->m_stateMutex);
                const auto it = channel->m_appsrcs.find(kFileInKey);
                if (it != channel->m_appsrcs.end()) {
                    in = GST_ELEMENT(gst_object_ref(it->second));
                }
            }
            if (in != nullptr) {
                gst_app_src_push_buffer(GST_APP_SRC(in),
                                        gst_buffer_ref(gst_sample_get_buffer(sample)));
                gst_object_unref(in);
            }
            gst_sample_unref(sample);
        }
        return GST_FLOW_OK;
    };
    callbacks.eos = +[](GstAppSink*, gpointer self) {
        auto* channel = static_cast<MediaChannel*>(self);
        INotifyTarget* window = nullptr;
        uint32_t message = kMsgFileEnded;
        {
            std::lock_guard<std::mutex> stateLock(channel->m_stateMutex);
            window = channel->m_fileWindow;
            message = channel->m_fileMessage;
        }
        GateScope scope(channel->m_notifyGate);
        if (scope && window != nullptr) {
            window->PostMessage(message, 1, 0);
        }
    };
    gst_app_sink_set_callbacks(GST_APP_SINK(out), &callbacks, this, nullptr);
    gst_object_unref(out);
    if (gst_element_set_state(m_filePipeline, GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE ||
        gst_element_get_state(m_filePipeline, nullptr, nullptr, 5 * GST_SECOND) ==
            GST_STATE_CHANGE_FAILURE) {
        YLOG_WARN("media file %s cannot be played", file.c_str());
        gst_element_set_state(m_filePipeline, GST_STATE_NULL);
        gst_object_unref(m_filePipeline);
        m_filePipeline = nullptr;
        return 0;
    }
    gst_element_set_state(m_filePipeline, GST_STATE_PLAYING);
    return 1;
}

int MediaChannel::MediaCommand(MediaFileControl* control, int command) {
    if (control == nullptr) {
        return 0;
    }
    std::lock_guard<std::mutex> lock(m_buildMutex);
    {
        std::lock_guard<std::mutex> stateLock(m_stateMutex);
        m_fileWindow = control->window;
        m_fileMessage = control->notifyMessage;
    }
    if (m_filePipeline == nullptr) {
        return 0;
    }
    switch (command) {
        case kCmdApplyPause:
            // Returns once the player has paused or runs again, so a seek that follows is not
            // refused for a state change still under way.
            gst_element_set_state(m_filePipeline,
                                  control->paused != 0 ? GST_STATE_PAUSED : GST_STATE_PLAYING);
            return gst_element_get_state(m_filePipeline, nullptr, nullptr, 5 * GST_SECOND) !=
                           GST_STATE_CHANGE_FAILURE
                       ? 1
                       : 0;
        case kCmdSeek:
            return gst_element_seek_simple(
                       m_filePipeline, GST_FORMAT_TIME,
                       static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_KEY_UNIT),
                       static_cast<gint64>(std::max(0.0, control->position) * GST_SECOND))
                       ? 1
                       : 0;
        case kCmdQuery: {
            gint64 position = 0;
            gint64 duration = 0;
            if (gst_element_query_position(m_filePipeline, GST_FORMAT_TIME, &position)) {
                control->position = static_cast<double>(position) / GST_SECOND;
            }
            if (gst_element_query_duration(m_filePipeline, GST_FORMAT_TIME, &duration)) {
                control->duration = static_cast<double>(duration) / GST_SECOND;
            }
            return 1;
        }
        case kCmdApplyVolume:
            return 1;  // the file's sound is not sent: only its pictures go out on this channel
        default:
            return 0;
    }
}

void MediaChannel::CloseSource() {
    std::lock_guard<std::mutex> lock(m_buildMutex);
    if (m_filePipeline != nullptr) {
        gst_element_set_state(m_filePipeline, GST_STATE_NULL);
        gst_object_unref(m_filePipeline);
        m_filePipeline = nullptr;
    }
    if (m_video.fromFile) {
        m_video.active = false;
        m_video.fromFile = false;
        Rebuild();
    }
}

void MediaChannel::EnableSend(int on) {
    m_sendGate.SetSwitch(relay::Kind::Video, on != 0);
    std::lock_guard<std::mutex> lock(m_buildMutex);
    ApplySendGate();
}

int MediaChannel::IsDeviceLost() {
    return m_deviceLost ? 1 : 0;
}

void MediaChannel::SetNotifyWindow(INotifyTarget* window, uint32_t message) {
    std::lock_guard<std::mutex> lock(m_stateMutex);
    m_videoNotify = window;
    m_videoNotifyMessage = message;
}

// ---- audio engine --------------------------------------------------------------------------

uint8_t MediaChannel::AudioStartCapture(uint8_t micIndex) {
    if (micIndex >= DeviceRegistry::Get().Microphones().size()) {
        YLOG_WARN("no microphone %d", micIndex);
        return 0;
    }
    std::lock_guard<std::mutex> lock(m_buildMutex);
    m_micIndex = micIndex;
    Rebuild();
    return m_pipeline != nullptr ? 1 : 0;
}

void MediaChannel::AudioStopCapture() {
    std::lock_guard<std::mutex> lock(m_buildMutex);
    if (m_micIndex >= 0) {
        m_micIndex = -1;
        Rebuild();
    }
}

int MediaChannel::AudioStartPlayback(uint8_t speakerIndex) {
    if (speakerIndex >= DeviceRegistry::Get().Speakers().size()) {
        YLOG_WARN("no speaker %d", speakerIndex);
        return 0;
    }
    std::lock_guard<std::mutex> lock(m_buildMutex);
    m_speakerIndex = speakerIndex;
    Rebuild();
    return m_pipeline != nullptr ? 1 : 0;
}

void MediaChannel::AudioStopPlayback() {
    std::lock_guard<std::mutex> lock(m_buildMutex);
    if (m_speakerIndex >= 0) {
        m_speakerIndex = -1;
        Rebuild();
    }
}

int MediaChannel::AudioStartPlayTest() {
    m_playTest = true;
    return 1;
}

int MediaChannel::AudioPushTestFrame(const uint8_t* data, int length) {
    if (!m_playTest || data == nullptr || length <= 0) {
        return 0;
    }
    std::lock_guard<std::mutex> lock(m_buildMutex);
    GstElement* src = Element("playtest");
    if (src == nullptr) {
        return 0;
    }
    gst_app_src_push_buffer(GST_APP_SRC(src),
                            gst_buffer_new_memdup(data, static_cast<gsize>(length)));
    gst_object_unref(src);
    return 1;
}

void MediaChannel::AudioStopPlayTest() {
    m_playTest = false;
}

void MediaChannel::AudioSetNotifyWindow(INotifyTarget* window) {
    std::lock_guard<std::mutex> lock(m_stateMutex);
    m_audioNotify = window;
}

void MediaChannel::AudioSetVoiceIncentive(uint8_t on, uint16_t myUserId) {
    std::lock_guard<std::mutex> lock(m_stateMutex);
    m_voiceIncentive = on != 0;
    m_myUserId = myUserId;
    m_speaking = 0;
}

}  // namespace kromedia
