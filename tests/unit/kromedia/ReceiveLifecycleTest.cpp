// Received streams with the real component on synthetic devices: a stream is decoded only while
// the channel asked for it, and nothing of it stays once it is stopped or its sender is gone.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <gst/gst.h>
#include "ScriptedRelay.h"

#include "components/KroMedia/Devices.h"
#include "components/KroMedia/KroMedia.h"
#include "components/KroMedia/MediaChannel.h"
#include "fakes/media/ConnectionStateHandler.h"
#include "support/WaitUntil.h"

namespace kromedia {
namespace {

using std::chrono::seconds;
using yav::test::WaitUntil;

struct CountingSink final : public IFrameSink {
    std::atomic<int> frames{0};
    void PostMessage(uint32_t, uint64_t, int64_t) override {}
    void OnFrame(const VideoFrame&) override { ++frames; }
};

// A channel object logged in to a relay, released with the participant.
struct Participant {
    Participant(int kind, uint16_t id, uint16_t port) : control(KroMedia_CreateMediaControl(kind)) {
        control->SetHandler(&handler);
        control->Login(id, "127.0.0.1", port, 0, 1);
    }
    ~Participant() { Release(); }
    void Release() {
        if (control != nullptr) {
            KroMedia_ReleaseMediaControl(control);
            control = nullptr;
        }
    }
    bool Connected() {
        return WaitUntil([&] { return handler.server == 1 && handler.stream == 1; }, seconds(20));
    }
    void Capture(int camera) {
        std::vector<CameraEntry> cameras;
        KroMedia_GetVideoCaptureDevices(&cameras);
        control->GetLocalVideo()->StartCapture(0, 1, 15, 75, 300, 85, 300, 0,
                                               cameras.at(static_cast<size_t>(camera)).path, 160,
                                               120, 0);
    }
    int Elements() { return static_cast<MediaChannel*>(control)->CountElements(); }
    uint64_t VideoBytesReceived() {
        uint64_t audioSent = 0, audio = 0, videoSent = 0, video = 0;
        control->GetCounters(&audioSent, &audio, &videoSent, &video, 0);
        return video;
    }
    uint64_t AudioBytesReceived() {
        uint64_t audioSent = 0, audio = 0, videoSent = 0, video = 0;
        control->GetCounters(&audioSent, &audio, &videoSent, &video, 0);
        return audio;
    }

    IMediaControl* control;
    fakes::ConnectionStateHandler handler;
};

class ReceiveLifecycle : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        setenv("YAV_TEST_DEVICES", "cam=3,mic=1,spk=1", 1);
        DeviceRegistry::Get().Reload();
    }
};

TEST_F(ReceiveLifecycle, StoppedStreamsLeaveNothingBehindAndCanStartAgain) {
    ScriptedRelay relay;
    // One sender with camera and microphone, two with a camera only.
    std::vector<std::unique_ptr<Participant>> senders;
    const uint16_t ids[] = {0x10, 0x18, 0x20};
    for (int i = 0; i < 3; ++i) {
        senders.push_back(
            std::make_unique<Participant>(i == 0 ? kKindMain : kKindVideo, ids[i], relay.Port()));
        senders.back()->Capture(i);
    }
    ASSERT_EQ(senders[0]->control->GetAudioEngine()->StartCapture(0), 1);
    Participant receiver(kKindMain, 0x28, relay.Port());
    for (auto& sender : senders) {
        ASSERT_TRUE(sender->Connected());
    }
    ASSERT_TRUE(receiver.Connected());
    const int before = receiver.Elements();

    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        CountingSink sinks[3];
        for (int i = 0; i < 3; ++i) {
            ASSERT_EQ(
                receiver.control->StartRecvVideo(ids[i], 0, nullptr, &sinks[i], kMsgFirstPicture),
                1);
        }
        ASSERT_EQ(receiver.control->StartRecvAudio(ids[0], 0), 1);
        const uint64_t audioBefore = receiver.AudioBytesReceived();
        ASSERT_TRUE(WaitUntil(
            [&] {
                return sinks[0].frames >= 3 && sinks[1].frames >= 3 && sinks[2].frames >= 3 &&
                       receiver.AudioBytesReceived() > audioBefore;
            },
            seconds(60)));
        EXPECT_GT(receiver.Elements(), before) << "each stream has its decoding branch";
        StreamQuality quality[4];
        int count = 0;
        receiver.control->GetStreamQuality(quality, 4, &count);
        EXPECT_EQ(count, 3);

        for (uint16_t id : ids) {
            ASSERT_EQ(receiver.control->StopRecvVideo(id), 1);
        }
        ASSERT_EQ(receiver.control->StopRecvAudio(ids[0]), 1);
        EXPECT_EQ(receiver.Elements(), before) << "decoders and jitter buffers are gone";
        receiver.control->GetStreamQuality(quality, 4, &count);
        EXPECT_EQ(count, 0) << "no quality is kept for streams no longer received";
        // The render object a window may still hold stays valid but keeps no picture.
        IMediaStream* stream = receiver.control->GetStream(ids[0]);
        ASSERT_NE(stream, nullptr);
        const std::u16string path = u"/tmp/yav-receive-lifecycle.bmp";
        EXPECT_EQ(stream->SaveSnapshot(path.c_str()), 0);
        stream->Redraw();
    }
}

// The branch leaves the pipeline and is freed with everything it holds (decoder, buffers).
TEST_F(ReceiveLifecycle, AStoppedStreamsDecoderIsFreed) {
    ScriptedRelay relay;
    Participant sender(kKindVideo, 0x10, relay.Port());
    sender.Capture(0);
    Participant receiver(kKindMain, 0x18, relay.Port());
    ASSERT_TRUE(sender.Connected());
    ASSERT_TRUE(receiver.Connected());
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        CountingSink sink;
        ASSERT_EQ(receiver.control->StartRecvVideo(0x10, 0, nullptr, &sink, kMsgFirstPicture), 1);
        ASSERT_TRUE(WaitUntil([&] { return sink.frames >= 3; }, seconds(60)));
        const std::string name = "rx" + std::to_string(relay::SsrcFor(0x10, relay::Kind::Video));
        GstElement* branch =
            static_cast<MediaChannel*>(receiver.control)->TakeElement(name.c_str());
        ASSERT_NE(branch, nullptr);
        std::atomic<bool> freed{false};
        g_object_weak_ref(
            G_OBJECT(branch),
            +[](gpointer flag, GObject*) { *static_cast<std::atomic<bool>*>(flag) = true; },
            &freed);
        gst_object_unref(branch);
        ASSERT_FALSE(freed) << "the pipeline holds it while the stream is received";
        receiver.control->StopRecvVideo(0x10);
        EXPECT_TRUE(freed) << "nothing holds the stopped stream's branch any more";
        if (!freed) {
            g_object_weak_unref(
                G_OBJECT(branch),
                +[](gpointer flag, GObject*) { *static_cast<std::atomic<bool>*>(flag) = true; },
                &freed);
        }
    }
}

TEST_F(ReceiveLifecycle, AStreamNotAskedForIsNeverDecoded) {
    ScriptedRelay relay;
    relay.SetForwardingAll(true);
    Participant sender(kKindVideo, 0x10, relay.Port());
    sender.Capture(0);
    Participant receiver(kKindMain, 0x18, relay.Port());
    ASSERT_TRUE(sender.Connected());
    ASSERT_TRUE(receiver.Connected());
    const int before = receiver.Elements();
    // The relay forwards the sender's pictures to the receiver, which never asked for them.
    ASSERT_TRUE(WaitUntil([&] { return relay.MediaSizesFrom(0x10).size() > 100; }, seconds(30)));
    EXPECT_EQ(receiver.Elements(), before);
    EXPECT_EQ(receiver.VideoBytesReceived(), 0U);
    // Asked for, the same packets are decoded.
    CountingSink sink;
    ASSERT_EQ(receiver.control->StartRecvVideo(0x10, 0, nullptr, &sink, kMsgFirstPicture), 1);
    EXPECT_TRUE(WaitUntil([&] { return sink.frames >= 3; }, seconds(60)));
    receiver.control->StopRecvVideo(0x10);
}

TEST_F(ReceiveLifecycle, ASenderThatLeavesTakesItsDecoderAlong) {
    ScriptedRelay relay;
    auto sender = std::make_unique<Participant>(kKindVideo, 0x10, relay.Port());
    sender->Capture(0);
    Participant receiver(kKindMain, 0x18, relay.Port());
    ASSERT_TRUE(sender->Connected());
    ASSERT_TRUE(receiver.Connected());
    const int before = receiver.Elements();
    CountingSink sink;
    ASSERT_EQ(receiver.control->StartRecvVideo(0x10, 0, nullptr, &sink, kMsgFirstPicture), 1);
    ASSERT_TRUE(WaitUntil([&] { return sink.frames >= 3; }, seconds(60)));
    ASSERT_GT(receiver.Elements(), before);
    sender.reset();  // the participant leaves; the receiver's window still asks for it
    EXPECT_TRUE(WaitUntil([&] { return receiver.Elements() == before; }, seconds(90)))
        << receiver.Elements() << " elements, " << before << " before the stream";
    receiver.control->StopRecvVideo(0x10);
}

}  // namespace
}  // namespace kromedia
