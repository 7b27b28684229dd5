// The real component with synthetic devices (YAV_TEST_DEVICES).
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <thread>

#include <gst/gst.h>
#include <unistd.h>

#include "components/KroMedia/Devices.h"
#include "components/KroMedia/KroMedia.h"
#include "components/KroMedia/MediaChannel.h"
#include "components/KroMedia/TestPattern.h"
#include "fakes/media/ConnectionStateHandler.h"
#include "fakes/media/LoopbackRelay.h"

namespace kromedia {
namespace {

// Waits on a condition with a generous limit: no timing is asserted, a hang fails.
template <typename Predicate>
bool WaitFor(Predicate predicate, int seconds = 20) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!predicate()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

class RecordingSink final : public IFrameSink {
public:
    void PostMessage(uint32_t message, uint64_t wParam, int64_t lParam) override {
        std::lock_guard<std::mutex> lock(mutex);
        messages.push_back({message, wParam, lParam});
    }
    void OnFrame(const VideoFrame& frame) override {
        {
            std::lock_guard<std::mutex> lock(mutex);
            lastSize = {frame.width, frame.height, frame.sourceWidth, frame.sourceHeight};
        }
        PatternMarks marks;
        if (ReadPatternBGRx(frame.data, frame.stride, frame.width, frame.height, &marks)) {
            std::lock_guard<std::mutex> lock(mutex);
            readMarks.push_back(marks);
        }
    }
    size_t Frames() {
        std::lock_guard<std::mutex> lock(mutex);
        return readMarks.size();
    }
    size_t Count(uint32_t message) {
        std::lock_guard<std::mutex> lock(mutex);
        size_t n = 0;
        for (const auto& m : messages) {
            n += m.message == message ? 1 : 0;
        }
        return n;
    }
    struct Message {
        uint32_t message;
        uint64_t wParam;
        int64_t lParam;
    };
    struct Size {
        int width = 0;
        int height = 0;
        int sourceWidth = 0;
        int sourceHeight = 0;
    };
    Size LastSize() {
        std::lock_guard<std::mutex> lock(mutex);
        return lastSize;
    }
    std::mutex mutex;
    std::vector<Message> messages;
    std::vector<PatternMarks> readMarks;
    Size lastSize;
};

using Handler = fakes::ConnectionStateHandler;

class ComponentTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        setenv("YAV_TEST_DEVICES", "cam=2,mic=1,spk=1", 1);
        DeviceRegistry::Get().Reload();
    }
};

std::vector<CameraEntry> Cameras() {
    std::vector<CameraEntry> list;
    KroMedia_GetVideoCaptureDevices(&list);
    return list;
}

int StartCamera(ILocalVideo* video, const std::string& path) {
    return video->StartCapture(0, 1, 15, 75, 300, 85, 300, 0, path, 320, 240, 0);
}

TEST_F(ComponentTest, SyntheticDevicesAreListed) {
    EXPECT_EQ(KroMedia_GetVideoCaptureDeviceCount(), 2);
    const auto cams = Cameras();
    ASSERT_EQ(cams.size(), 2U);
    EXPECT_EQ(cams[0].name, "Test Camera 1");
    EXPECT_EQ(KroMedia_GetAudioCaptureDeviceCount(), 1);
    EXPECT_EQ(KroMedia_GetAudioPlaybackDeviceCount(), 1);
    char name[260];
    EXPECT_GT(KroMedia_GetAudioCaptureDeviceName(0, name, 260), 0);
    EXPECT_EQ(KroMedia_GetAudioCaptureDeviceName(1, name, 260), 0);
    char tiny[5];
    EXPECT_EQ(KroMedia_GetAudioPlaybackDeviceName(0, tiny, 5), 4);  // cut, still terminated
    EXPECT_EQ(std::string(tiny), "Test");
    // Every audio format's value is one parameter 107 takes.
    auto* control = KroMedia_CreateMediaControl(kKindMain);
    ASSERT_NE(control, nullptr);
    const uint8_t formats = KroMedia_GetAudioFormatCount();
    ASSERT_GT(formats, 0);
    for (uint8_t i = 0; i < formats; ++i) {
        uint8_t value = 0;
        ASSERT_NE(KroMedia_GetAudioFormat(i, &value, name, 260), 0);
        const int asParam = value;
        EXPECT_EQ(control->GetAudioEngine()->SetParam(107, &asParam), 1);
    }
    EXPECT_EQ(KroMedia_GetAudioFormat(formats, nullptr, name, 260), 0);
    KroMedia_ReleaseMediaControl(control);
    EXPECT_EQ(KroMedia_CreateMediaControl(5), nullptr);
}

TEST_F(ComponentTest, EachParameterSetsItsElementProperty) {
    auto* control = static_cast<MediaChannel*>(KroMedia_CreateMediaControl(kKindMain));
    IAudioEngine* engine = control->GetAudioEngine();
    ASSERT_EQ(engine->StartPlayback(0), 1);
    ASSERT_EQ(engine->StartCapture(0), 1);
    struct Case {
        int id;
        int value;
        const char* element;
        const char* property;
        double expected;
    };
    const Case cases[] = {
        {1, 0, "dsp", "noise-suppression", 0},
        {1, 1, "dsp", "noise-suppression", 1},
        {2, 0, "dsp", "echo-cancel", 0},
        {3, 1, "dsp", "gain-control", 1},
        {4, 0, "dsp", "limiter", 0},
        {5, 40, "spkvol", "volume", 0.4},
        {6, 70, "micvol", "volume", 0.7},
        {7, 1, "spkvol", "mute", 1},
        {8, 1, "micvol", "mute", 1},
        {8, 0, "micvol", "mute", 0},
        {9, 1, "localplay", "drop", 0},
        {9, 0, "localplay", "drop", 1},
        {103, 1, "aenc", "dtx", 1},
        {104, 3, "aenc", "inband-fec", 1},
        {104, 3, "aenc", "packet-loss-percentage", 15},
        {107, 2, "aenc", "bitrate", 16000},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(engine->SetParam(c.id, &c.value), 1) << c.id;
        double got = -1;
        ASSERT_TRUE(control->ReadElementProperty(c.element, c.property, &got)) << c.element;
        EXPECT_NEAR(got, c.expected, 1e-6) << c.id << " " << c.property;
        int back = -1;
        EXPECT_EQ(engine->GetParam(c.id, &back), 1);
        EXPECT_EQ(back, c.value);
    }
    const int level = 5;
    EXPECT_EQ(engine->SetParam(101, &level), 0);  // levels are read-only
    const int badFormat = 99;
    EXPECT_EQ(engine->SetParam(107, &badFormat), 0);
    KroMedia_ReleaseMediaControl(control);
}

TEST_F(ComponentTest, LongOrBadServerAddressesAreRefused) {
    auto* control = KroMedia_CreateMediaControl(kKindVideo);
    EXPECT_EQ(control->SetServerAddress("255.255.255.255"), 1);
    EXPECT_EQ(control->SetServerAddress("0255.255.255.255"), 0);  // 16 characters
    EXPECT_EQ(control->SetServerAddress("media.example.org"), 0);
    EXPECT_EQ(control->SetServerAddress(nullptr), 0);
    EXPECT_EQ(control->Login(8, "127.000.000.0001", 9, 0, 1), 0);
    KroMedia_ReleaseMediaControl(control);
}

TEST_F(ComponentTest, UnpluggedCameraIsReportedOnceAndReplugAnnounced) {
    auto* main = KroMedia_CreateMediaControl(kKindMain);
    auto* control = KroMedia_CreateMediaControl(kKindVideo);
    RecordingSink notify;
    RecordingSink audioNotify;
    main->GetAudioEngine()->SetNotifyWindow(&audioNotify);
    ILocalVideo* video = control->GetLocalVideo();
    video->SetNotifyWindow(&notify, kMsgCameraLost);
    const auto cams = Cameras();
    ASSERT_EQ(StartCamera(video, cams[1].path), 1);
    EXPECT_EQ(video->GetFormatCount(), 5);
    VideoSize size;
    EXPECT_EQ(video->GetFormat(4, &size), 4);
    EXPECT_EQ(size.width, 1280);
    EXPECT_LT(video->GetFormat(5, &size), 0);
    EXPECT_EQ(video->IsDeviceLost(), 0);
    ASSERT_TRUE(DeviceRegistry::Get().TestUnplugCamera(0));  // another camera: no effect here
    EXPECT_EQ(video->IsDeviceLost(), 0);
    ASSERT_TRUE(DeviceRegistry::Get().TestUnplugCamera(1));
    EXPECT_EQ(video->IsDeviceLost() & 0xFF, 1);
    EXPECT_EQ(notify.Count(kMsgCameraLost), 1U);
    EXPECT_EQ(KroMedia_GetVideoCaptureDeviceCount(), 0);
    ASSERT_TRUE(DeviceRegistry::Get().TestReplugCamera(1));
    ASSERT_TRUE(DeviceRegistry::Get().TestReplugCamera(0));
    EXPECT_EQ(audioNotify.Count(kMsgCameraAdded), 2U);
    EXPECT_EQ(KroMedia_GetVideoCaptureDeviceCount(), 2);
    EXPECT_FALSE(DeviceRegistry::Get().TestReplugCamera(0));  // already there
    KroMedia_ReleaseMediaControl(control);
    KroMedia_ReleaseMediaControl(main);
}

TEST_F(ComponentTest, AudioDevicesComingAndGoingAreNoticedAsADeviceChange) {
    auto* main = KroMedia_CreateMediaControl(kKindMain);
    RecordingSink audioNotify;
    main->GetAudioEngine()->SetNotifyWindow(&audioNotify);
    setenv("YAV_TEST_DEVICES", "cam=2,mic=2,spk=1", 1);
    DeviceRegistry::Get().Reload();
    setenv("YAV_TEST_DEVICES", "cam=2,mic=1,spk=1", 1);
    DeviceRegistry::Get().Reload();
    // A notice per change, never a timer message of the window: the window decides when to
    // look at the devices.
    std::vector<RecordingSink::Message> seen;
    {
        std::lock_guard<std::mutex> lock(audioNotify.mutex);
        seen = audioNotify.messages;
    }
    ASSERT_EQ(seen.size(), 2U);
    for (const auto& message : seen) {
        EXPECT_EQ(message.message, kMsgDeviceChange);
        EXPECT_EQ(message.wParam, kDeviceNodesChanged);
    }
    EXPECT_EQ(KroMedia_GetAudioCaptureDeviceCount(), 1);
    KroMedia_ReleaseMediaControl(main);
}

struct CountingRecorder final : public IRecordHandler {
    std::atomic<int> blocks{0};
    std::atomic<int> wrongSize{0};
    void OnAudioBlock(const uint8_t*, int length) override {
        ++blocks;
        if (length != 640) {
            ++wrongSize;
        }
    }
};

TEST_F(ComponentTest, RecordBlocksAre640BytesAndStopWithTheHandler) {
    auto* control = KroMedia_CreateMediaControl(kKindMain);
    ASSERT_EQ(control->GetAudioEngine()->StartCapture(0), 1);
    CountingRecorder recorder;
    control->SetRecordHandler(1, &recorder);
    ASSERT_TRUE(WaitFor([&] { return recorder.blocks >= 20; }));
    control->SetRecordHandler(0, nullptr);
    const int atStop = recorder.blocks;
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(recorder.blocks, atStop);  // nothing after SetRecordHandler(0) returned
    EXPECT_EQ(recorder.wrongSize, 0);
    KroMedia_ReleaseMediaControl(control);
}

TEST_F(ComponentTest, QualityNeverWritesPastTheCapacity) {
    auto* control = KroMedia_CreateMediaControl(kKindMain);
    StreamQuality records[2] = {{0xAAAA, 0xBBBB}, {0xAAAA, 0xBBBB}};
    int count = -1;
    EXPECT_EQ(control->GetStreamQuality(records, 0, &count), 0);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(records[0].mediaId, 0xAAAA);
    EXPECT_EQ(control->GetStreamQuality(nullptr, 4, &count), 0);
    KroMedia_ReleaseMediaControl(control);
}

TEST_F(ComponentTest, TwoClientsOnLoopbackDecodeEachOthersPattern) {
    LoopbackRelay relay;
    auto* a = KroMedia_CreateMediaControl(kKindMain);
    auto* b = KroMedia_CreateMediaControl(kKindMain);
    Handler ha;
    Handler hb;
    a->SetHandler(&ha);
    b->SetHandler(&hb);
    const auto cams = Cameras();
    ASSERT_EQ(StartCamera(a->GetLocalVideo(), cams[0].path), 1);
    ASSERT_EQ(StartCamera(b->GetLocalVideo(), cams[1].path), 1);
    ASSERT_EQ(a->Login(0x0010, "127.0.0.1", relay.Port(), 0, 1), 1);
    ASSERT_EQ(b->Login(0x0018, "127.0.0.1", relay.Port(), 0, 1), 1);
    ASSERT_TRUE(WaitFor([&] { return ha.server == 1 && hb.server == 1; }));
    ASSERT_TRUE(WaitFor([&] { return ha.stream == 1 && hb.stream == 1; }));
    RecordingSink atA;
    RecordingSink atB;
    RecordingSink own;
    ASSERT_EQ(a->StartRecvVideo(0x0018, 0, nullptr, &atA, kMsgFirstPicture), 1);
    ASSERT_EQ(b->StartRecvVideo(0x0010, 0, nullptr, &atB, kMsgStreamReady), 1);
    ASSERT_EQ(a->StartRecvVideo(0x0010, 0, nullptr, &own, kMsgFirstPicture), 1);  // my own id
    ASSERT_TRUE(
        WaitFor([&] { return atA.Frames() >= 10 && atB.Frames() >= 10 && own.Frames() >= 3; }, 60));
    // The quality of a stream is reported while it is received.
    StreamQuality records[4];
    int count = 0;
    EXPECT_EQ(a->GetStreamQuality(records, 4, &count), 1);
    ASSERT_EQ(count, 1);
    EXPECT_EQ(records[0].mediaId, 0x0018);
    EXPECT_GT(records[0].value, 500U);  // loopback loses nothing
    ASSERT_EQ(a->StopRecvVideo(0x0018), 1);
    ASSERT_EQ(b->StopRecvVideo(0x0010), 1);
    ASSERT_EQ(a->StopRecvVideo(0x0010), 1);
    const size_t framesAtStop = atA.Frames();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(atA.Frames(), framesAtStop);  // no frame once StopRecvVideo returned

    auto check = [](RecordingSink& sink, uint16_t id, uint32_t firstMessage) {
        std::lock_guard<std::mutex> lock(sink.mutex);
        uint32_t last = 0;
        bool first = true;
        for (const auto& m : sink.readMarks) {
            EXPECT_EQ(m.mediaId, id);
            if (!first) {
                EXPECT_GT(m.counter, last);
            }
            last = m.counter;
            first = false;
        }
        ASSERT_FALSE(sink.messages.empty());
        EXPECT_EQ(sink.messages.front().message, firstMessage);
        EXPECT_EQ(sink.messages.front().lParam, 320 | (240 << 16));
    };
    check(atA, 0x0018, kMsgFirstPicture);
    check(atB, 0x0010, kMsgStreamReady);
    check(own, 0x0010, kMsgFirstPicture);
    IMediaStream* stream = a->GetStream(0x0018);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(a->GetStream(0x0100), nullptr);

    uint64_t sent = 0;
    uint64_t received = 0;
    uint64_t videoSent = 0;
    uint64_t videoReceived = 0;
    a->GetCounters(&sent, &received, &videoSent, &videoReceived, 0);
    EXPECT_GT(videoSent, 0U);
    EXPECT_GT(videoReceived, 0U);
    KroMedia_ReleaseMediaControl(a);
    KroMedia_ReleaseMediaControl(b);
}

TEST_F(ComponentTest, APictureDrawnAtItsWindowsSizeNamesItsOwnSize) {
    LoopbackRelay relay;
    auto* a = KroMedia_CreateMediaControl(kKindMain);
    auto* b = KroMedia_CreateMediaControl(kKindMain);
    Handler ha;
    Handler hb;
    a->SetHandler(&ha);
    b->SetHandler(&hb);
    ASSERT_EQ(StartCamera(a->GetLocalVideo(), Cameras()[0].path), 1);  // 320 x 240
    ASSERT_EQ(a->Login(0x0010, "127.0.0.1", relay.Port(), 0, 1), 1);
    ASSERT_EQ(b->Login(0x0018, "127.0.0.1", relay.Port(), 0, 1), 1);
    ASSERT_TRUE(WaitFor([&] { return ha.stream == 1 && hb.stream == 1; }));
    RecordingSink window;
    ASSERT_EQ(b->StartRecvVideo(0x0010, 0, nullptr, &window, kMsgFirstPicture), 1);
    ASSERT_TRUE(WaitFor([&] { return window.LastSize().width == 320; }, 60));
    EXPECT_EQ(window.LastSize().sourceWidth, 320);
    EXPECT_EQ(window.LastSize().sourceHeight, 240);
    // A window of another shape: the picture comes at its size, still saying it is 4:3.
    const MediaRect rect{0, 0, 500, 200};
    b->GetStream(0x0010)->SetRect(&rect);
    ASSERT_TRUE(WaitFor([&] { return window.LastSize().width == 500; }, 60));
    const RecordingSink::Size size = window.LastSize();
    EXPECT_EQ(size.height, 200);
    EXPECT_EQ(size.sourceWidth, 320);
    EXPECT_EQ(size.sourceHeight, 240);
    ASSERT_EQ(b->StopRecvVideo(0x0010), 1);
    KroMedia_ReleaseMediaControl(a);
    KroMedia_ReleaseMediaControl(b);
}

TEST_F(ComponentTest, ASyntheticCameraCapturesAtTheSizeItIsAsked) {
    LoopbackRelay relay;
    auto* control = KroMedia_CreateMediaControl(kKindMain);
    Handler handler;
    control->SetHandler(&handler);
    ASSERT_EQ(control->Login(0x0010, "127.0.0.1", relay.Port(), 0, 1), 1);
    // Sizes of the settings' table, offered by the camera or not, as a real camera scales to.
    const VideoSize sizes[] = {{176, 144}, {640, 480}, {1280, 720}};
    for (const VideoSize& size : sizes) {
        SCOPED_TRACE(size.width);
        ASSERT_EQ(control->GetLocalVideo()->StartCapture(
                      0, 1, 15, 75, 300, 85, 300, 0, Cameras()[0].path, size.width, size.height, 0),
                  1);
        RecordingSink own;
        ASSERT_EQ(control->StartRecvVideo(0x0010, 0, nullptr, &own, kMsgFirstPicture), 1);
        ASSERT_TRUE(WaitFor([&] { return own.Frames() >= 2; }, 60));
        const RecordingSink::Size got = own.LastSize();
        EXPECT_EQ(got.width, size.width);
        EXPECT_EQ(got.height, size.height);
        ASSERT_EQ(control->StopRecvVideo(0x0010), 1);
        control->GetLocalVideo()->StopCapture();
    }
    KroMedia_ReleaseMediaControl(control);
}

TEST_F(ComponentTest, AStreamJoinedMidwayAsksItsSenderForAKeyFrame) {
    LoopbackRelay relay;
    auto* sender = KroMedia_CreateMediaControl(kKindMain);
    Handler hs;
    sender->SetHandler(&hs);
    ASSERT_EQ(StartCamera(sender->GetLocalVideo(), Cameras()[0].path), 1);
    ASSERT_EQ(sender->Login(0x0010, "127.0.0.1", relay.Port(), 0, 1), 1);
    ASSERT_TRUE(WaitFor([&] { return relay.Forwarded() == 0 && hs.stream == 1; }));
    EXPECT_EQ(relay.PictureLossRequests(), 0U);  // nobody receives yet
    auto* late = KroMedia_CreateMediaControl(kKindMain);
    Handler hl;
    late->SetHandler(&hl);
    RecordingSink sink;
    ASSERT_EQ(late->StartRecvVideo(0x0010, 0, nullptr, &sink, kMsgFirstPicture), 1);
    ASSERT_EQ(late->Login(0x0018, "127.0.0.1", relay.Port(), 0, 1), 1);
    ASSERT_TRUE(WaitFor([&] { return relay.PictureLossRequests() > 0; }));
    ASSERT_TRUE(WaitFor([&] { return sink.Frames() > 0; }));
    KroMedia_ReleaseMediaControl(late);
    KroMedia_ReleaseMediaControl(sender);
}

// A short H.264 clip in Matroska, made here so no media file is checked in.
std::string MakeClip(int frames) {
    const std::string path = std::string(std::getenv("YAV_TEST_OUTPUT_DIR") != nullptr
                                             ? std::getenv("YAV_TEST_OUTPUT_DIR")
                                             : "/tmp") +
                             "/clip-" + std::to_string(getpid()) + ".mkv";
    const std::string description =
        "videotestsrc num-buffers=" + std::to_string(frames) +
        " ! video/x-raw,width=320,height=240,framerate=10/1 ! x264enc ! matroskamux ! "
        "filesink location=" +
        path;
    GstElement* pipeline = gst_parse_launch(description.c_str(), nullptr);
    if (pipeline == nullptr) {
        return {};
    }
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    GstBus* bus = gst_element_get_bus(pipeline);
    GstMessage* end = gst_bus_timed_pop_filtered(
        bus, 20 * GST_SECOND, static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    const bool ok = end != nullptr && GST_MESSAGE_TYPE(end) == GST_MESSAGE_EOS;
    if (end != nullptr) {
        gst_message_unref(end);
    }
    gst_object_unref(bus);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    return ok ? path : std::string();
}

TEST_F(ComponentTest, AFileSourceAnswersItsCommandsAndReportsItsEnd) {
    const std::string clip = MakeClip(20);  // 2 s
    ASSERT_FALSE(clip.empty());
    auto* control = KroMedia_CreateMediaControl(kKindVideo);
    ILocalVideo* video = control->GetLocalVideo();
    const std::u16string missing = u"/nonexistent/clip.mkv";
    EXPECT_EQ(video->Open(7, 0, 0, 10, 75, 300, 85, 300, 0, 320, 240, missing.c_str()), 0);
    const std::u16string path(clip.begin(), clip.end());
    ASSERT_EQ(video->Open(7, 0, 0, 10, 75, 300, 85, 300, 0, 320, 240, path.c_str()), 1);
    RecordingSink window;
    MediaFileControl file;
    file.window = &window;
    file.notifyMessage = 2030;
    ASSERT_EQ(video->MediaCommand(&file, kCmdQuery), 1);
    EXPECT_NEAR(file.duration, 2.0, 0.3);
    file.paused = 1;
    EXPECT_EQ(video->MediaCommand(&file, kCmdApplyPause), 1);
    file.paused = 0;
    EXPECT_EQ(video->MediaCommand(&file, kCmdApplyPause), 1);
    file.position = 1.5;
    EXPECT_EQ(video->MediaCommand(&file, kCmdSeek), 1);
    EXPECT_EQ(video->MediaCommand(&file, 9), 0);  // no such command
    EXPECT_EQ(video->MediaCommand(nullptr, kCmdQuery), 0);
    // The end of the file is told once, with the message the program chose.
    ASSERT_TRUE(WaitFor([&] { return window.Count(2030) == 1; }));
    video->CloseSource();
    EXPECT_EQ(video->MediaCommand(&file, kCmdQuery), 0);  // nothing open any more
    KroMedia_ReleaseMediaControl(control);
    std::remove(clip.c_str());
}

TEST_F(ComponentTest, VoiceIncentiveNamesTheSpeakingReceivedIdNeverMine) {
    LoopbackRelay relay;
    auto* speaker = KroMedia_CreateMediaControl(kKindMain);
    auto* listener = KroMedia_CreateMediaControl(kKindMain);
    Handler hs;
    Handler hl;
    speaker->SetHandler(&hs);
    listener->SetHandler(&hl);
    ASSERT_EQ(speaker->GetAudioEngine()->StartCapture(0), 1);   // the tone
    ASSERT_EQ(listener->GetAudioEngine()->StartCapture(0), 1);  // its own tone: never named
    ASSERT_EQ(listener->GetAudioEngine()->StartPlayback(0), 1);
    RecordingSink notify;
    listener->GetAudioEngine()->SetNotifyWindow(&notify);
    listener->GetAudioEngine()->SetVoiceIncentive(1, 0x0018);
    ASSERT_EQ(speaker->Login(0x0010, "127.0.0.1", relay.Port(), 0, 1), 1);
    ASSERT_EQ(listener->Login(0x0018, "127.0.0.1", relay.Port(), 0, 1), 1);
    ASSERT_EQ(listener->StartRecvAudio(0x0010, 0), 1);
    ASSERT_TRUE(WaitFor([&] { return notify.Count(kMsgVoiceIncentive) > 0; }));
    {
        std::lock_guard<std::mutex> lock(notify.mutex);
        for (const auto& m : notify.messages) {
            if (m.message == kMsgVoiceIncentive) {
                EXPECT_EQ(m.wParam, 0x0010U);
            }
        }
    }
    // Off: no more notices.
    listener->GetAudioEngine()->SetVoiceIncentive(0, 0x0018);
    const size_t atOff = notify.Count(kMsgVoiceIncentive);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(notify.Count(kMsgVoiceIncentive), atOff);
    KroMedia_ReleaseMediaControl(listener);
    KroMedia_ReleaseMediaControl(speaker);
}

// Nothing of the camera or the microphone leaves while the relay says nobody may receive it,
// nor while the user's own switch is off (camera button, SetAudioSend, microphone mute).
TEST_F(ComponentTest, SendingFollowsTheRelaysAudienceAndTheUsersSwitches) {
    LoopbackRelay relay;
    relay.SetAudience(false, false);
    auto* sender = KroMedia_CreateMediaControl(kKindMain);
    Handler handler;
    sender->SetHandler(&handler);
    IAudioEngine* audio = sender->GetAudioEngine();
    ASSERT_EQ(audio->StartCapture(0), 1);
    ASSERT_EQ(StartCamera(sender->GetLocalVideo(), Cameras()[0].path), 1);
    ASSERT_EQ(sender->Login(0x0010, "127.0.0.1", relay.Port(), 0, 1), 1);
    ASSERT_TRUE(WaitFor([&] { return handler.stream == 1; }));
    const int on = 1;
    const int off = 0;
    struct Step {
        const char* what;
        std::function<void()> act;
        bool video;  // whether it flows afterwards
        bool audio;
    };
    const Step steps[] = {
        {"nobody may receive", [] {}, false, false},
        {"someone may see", [&] { relay.SetAudience(true, false); }, true, false},
        {"and hear", [&] { relay.SetAudience(true, true); }, true, true},
        {"microphone muted", [&] { audio->SetParam(8, &on); }, true, false},
        {"microphone back", [&] { audio->SetParam(8, &off); }, true, true},
        {"camera button off", [&] { sender->GetLocalVideo()->EnableSend(0); }, false, true},
        {"floor lost", [&] { sender->SetAudioSend(0); }, false, false},
        {"both back on",
         [&] {
             sender->GetLocalVideo()->EnableSend(1);
             sender->SetAudioSend(1);
         },
         true, true},
        {"nobody may receive any more", [&] { relay.SetAudience(false, false); }, false, false},
    };
    for (const Step& step : steps) {
        step.act();
        // One keepalive round later the change has reached both sides.
        const uint64_t round = relay.Keepalives();
        ASSERT_TRUE(WaitFor([&] { return relay.Keepalives() > round; })) << step.what;
        const uint64_t video = relay.RtpReceived(true);
        const uint64_t sound = relay.RtpReceived(false);
        if (step.video) {
            EXPECT_TRUE(WaitFor([&] { return relay.RtpReceived(true) > video; })) << step.what;
        }
        if (step.audio) {
            EXPECT_TRUE(WaitFor([&] { return relay.RtpReceived(false) > sound; })) << step.what;
        }
        const uint64_t next = relay.Keepalives();
        ASSERT_TRUE(WaitFor([&] { return relay.Keepalives() > next; })) << step.what;
        if (!step.video) {
            EXPECT_EQ(relay.RtpReceived(true), video) << step.what;
        }
        if (!step.audio) {
            EXPECT_EQ(relay.RtpReceived(false), sound) << step.what;
        }
    }
    KroMedia_ReleaseMediaControl(sender);
}

// A relay may forward anything: a stream this channel did not ask for gets no jitter buffer,
// no decoder and no count.
TEST_F(ComponentTest, OnlyStreamsAskedForAreDecoded) {
    LoopbackRelay relay;
    auto* sender = KroMedia_CreateMediaControl(kKindMain);
    auto* receiver = KroMedia_CreateMediaControl(kKindMain);
    Handler hs;
    Handler hr;
    sender->SetHandler(&hs);
    receiver->SetHandler(&hr);
    ASSERT_EQ(StartCamera(sender->GetLocalVideo(), Cameras()[0].path), 1);
    ASSERT_EQ(sender->GetAudioEngine()->StartCapture(0), 1);
    ASSERT_EQ(receiver->GetAudioEngine()->StartPlayback(0), 1);
    ASSERT_EQ(sender->Login(0x0010, "127.0.0.1", relay.Port(), 0, 1), 1);
    ASSERT_EQ(receiver->Login(0x0018, "127.0.0.1", relay.Port(), 0, 1), 1);
    ASSERT_TRUE(WaitFor([&] { return hs.stream == 1 && hr.stream == 1; }));
    const uint64_t forwarded = relay.Forwarded();
    ASSERT_TRUE(WaitFor([&] { return relay.Forwarded() > forwarded + 200; }));
    uint64_t audioSent = 0;
    uint64_t audioReceived = 0;
    uint64_t videoSent = 0;
    uint64_t videoReceived = 0;
    receiver->GetCounters(&audioSent, &audioReceived, &videoSent, &videoReceived, 0);
    EXPECT_EQ(audioReceived, 0U);
    EXPECT_EQ(videoReceived, 0U);
    StreamQuality records[4];
    int count = -1;
    receiver->GetStreamQuality(records, 4, &count);
    EXPECT_EQ(count, 0);  // no stream was set up
    // Asked for, the picture comes.
    RecordingSink sink;
    ASSERT_EQ(receiver->StartRecvVideo(0x0010, 0, nullptr, &sink, kMsgFirstPicture), 1);
    EXPECT_TRUE(WaitFor([&] { return sink.Frames() >= 3; }));
    receiver->GetStreamQuality(records, 4, &count);
    EXPECT_EQ(count, 1);
    KroMedia_ReleaseMediaControl(receiver);
    KroMedia_ReleaseMediaControl(sender);
}

}  // namespace
}  // namespace kromedia
