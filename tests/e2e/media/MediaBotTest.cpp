// Participants made like the client (the media manager over the real component) meet through
// yavserver: each decodes the other's camera pattern and hears its tone over UDP and TCP,
// records the conference in 640-byte blocks, a lossy path shows in the stream quality, and the
// pictures a window gets come at the size of its drawing rectangle.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <utility>

#include "MediaBot.h"
#include "MediaE2ESupport.h"
#include "components/KroMedia/TestPattern.h"
#include "config/AppSettings.h"

namespace yav::test {
namespace {

using std::chrono::seconds;

class MediaBots : public MediaSuite {
protected:
    void SetUp() override {
        ASSERT_TRUE(server_.Ready()) << server_.Output();
        g_AppSettings.bVideoCapMode = 1;
        g_AppSettings.UseTCP = 0;
    }
    MediaBotOptions Options(const std::string& name, uint16_t mediaPort = 0) {
        MediaBotOptions options;
        options.name = name;
        options.conferencePort = server_.ConferencePort();
        options.mediaPort = mediaPort != 0 ? mediaPort : server_.MediaPort();
        options.tcp = GetParam();
        return options;
    }

    ServerProcess server_;
};

TEST_P(MediaBots, EachDecodesAndHearsTheOtherAndRecordsTheConference) {
    MediaBot a(Options("a"));
    MediaBot b(Options("b"));
    ASSERT_TRUE(SeeEachOther(a, b, server_));
    for (MediaBot* bot : {&a, &b}) {
        const uint16_t other = bot == &a ? b.Id() : a.Id();
        bool rising = false;
        bot->FramesFrom(other, &rising);
        EXPECT_TRUE(rising) << "the counter of the other's pattern rises";
        EXPECT_EQ(bot->WrongFrames(), 0U) << "no picture with another id, never one's own";
    }
    // The other's tone plays: the speaker's level rises well above silence.
    EXPECT_TRUE(
        WaitUntil([&] { return a.PlaybackLevel() >= 10 && b.PlaybackLevel() >= 10; }, seconds(20)))
        << a.PlaybackLevel() << " " << b.PlaybackLevel();

    // The conference recording: 640-byte blocks (20 ms of 16 kHz mono), 50 a second.
    a.StartRecording();
    ASSERT_TRUE(WaitUntil([&] { return a.RecordBlocks() > 0; }, seconds(10)));
    const size_t first = a.RecordBlocks();
    const auto from = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(seconds(3));
    const size_t blocks = a.RecordBlocks() - first;
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - from).count();
    a.StopRecording();
    const size_t atStop = a.RecordBlocks();
    EXPECT_EQ(a.WrongSizedBlocks(), 0U);
    // The rate follows the audio clock, not the machine's speed: a wide band around 50.
    EXPECT_NEAR(static_cast<double>(blocks) / elapsed, 50.0, 12.0) << blocks << " in " << elapsed;
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(a.RecordBlocks(), atStop) << "no block once the handler is taken away";
}

INSTANTIATE_TEST_SUITE_P(Transport, MediaBots, ::testing::Values(false, true), TransportName);

class MediaBotsOnUdp : public MediaBots {};

TEST_P(MediaBotsOnUdp, TenPercentLossLowersTheQualityOfThatReceiverOnly) {
    MediaBot sender(Options("sender"));
    MediaBot clean(Options("clean"));
    LossyUdpProxy proxy(server_.MediaPort(), 10);
    MediaBotOptions lossyOptions = Options("lossy", proxy.Port());
    lossyOptions.capture = false;
    MediaBot lossy(lossyOptions);
    ASSERT_TRUE(sender.LoggedIn() && clean.LoggedIn() && lossy.LoggedIn());
    ASSERT_TRUE(Connected(sender));
    ASSERT_TRUE(Connected(clean));
    ASSERT_TRUE(Connected(lossy));
    clean.Watch(sender.Id());
    lossy.Watch(sender.Id());
    ASSERT_TRUE(WaitUntil(
        [&] { return clean.FramesFrom(sender.Id()) >= 20 && lossy.FramesFrom(sender.Id()) >= 5; },
        seconds(60)));
    // Quality covers the interval since the previous call: read it over a few seconds.
    int cleanQuality = -1;
    int lossyQuality = -1;
    clean.QualityOf(sender.Id());
    lossy.QualityOf(sender.Id());
    for (int i = 0; i < 6; ++i) {
        std::this_thread::sleep_for(seconds(1));
        cleanQuality = clean.QualityOf(sender.Id());
        lossyQuality = lossy.QualityOf(sender.Id());
    }
    EXPECT_GT(proxy.Dropped(), 0U);
    ASSERT_GE(cleanQuality, 0);
    ASSERT_GE(lossyQuality, 0);
    // 10 % loss costs 4 points per 0.1 %: about 400 below the clean path, whatever the jitter
    // both share on a busy machine.
    EXPECT_LE(lossyQuality, 800);
    EXPECT_LE(lossyQuality, cleanQuality - 200) << "clean " << cleanQuality;
}

// The pictures a window gets come at the size of the drawing rectangle its render object was
// given, so the window paints them unscaled: at the camera's size before any rectangle (and
// for each new window), resized when the rectangle changes (stretched to its shape), unchanged
// by one too small to draw into;
// the window keeps each picture without a copy, and the pattern survives the scaling.
class SizeSink final : public kromedia::IFrameSink {
public:
    void PostMessage(uint32_t, uint64_t, int64_t) override {}
    void OnFrame(const kromedia::VideoFrame& frame) override {
        kromedia::PatternMarks marks;
        const bool readable =
            kromedia::ReadPatternBGRx(frame.data, frame.stride, frame.width, frame.height, &marks);
        std::lock_guard<std::mutex> lock(mutex_);
        size_ = {frame.width, frame.height};
        id_ = readable ? marks.mediaId : 0;
        held_ = frame.keep != nullptr;
        ++frames_;
    }
    // Whether the latest picture has this size, showed `id` and came held.
    bool Latest(int width, int height, uint16_t id) const {
        std::lock_guard<std::mutex> lock(mutex_);
        return size_ == std::pair{width, height} && id_ == id && held_;
    }
    std::pair<int, int> Size() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return size_;
    }
    size_t Frames() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return frames_;
    }

private:
    mutable std::mutex mutex_;
    std::pair<int, int> size_;
    uint16_t id_ = 0;
    bool held_ = false;
    size_t frames_ = 0;
};

TEST_P(MediaBotsOnUdp, PicturesComeAtTheSizeOfTheDrawingRectangle) {
    MediaBot sender(Options("sender"));
    MediaBotOptions viewerOptions = Options("viewer");
    viewerOptions.capture = false;
    MediaBot viewer(viewerOptions);
    ASSERT_TRUE(sender.LoggedIn() && viewer.LoggedIn());
    ASSERT_TRUE(Connected(sender));
    ASSERT_TRUE(Connected(viewer));
    kromedia::IMediaControl* channel = viewer.Media().GetMediaControl(sender.Id());
    ASSERT_NE(channel, nullptr);
    SizeSink sink;
    channel->StartRecvVideo(sender.Id(), 0, nullptr, &sink, kromedia::kMsgFirstPicture);
    kromedia::IMediaStream* stream = channel->GetStream(sender.Id());
    ASSERT_NE(stream, nullptr);
    const uint16_t id = sender.Id();
    EXPECT_TRUE(WaitUntil([&] { return sink.Latest(320, 240, id); }, seconds(60)))
        << sink.Size().first << "x" << sink.Size().second;

    struct Case {
        kromedia::MediaRect rect;
        int width;
        int height;
    };
    const Case cases[] = {
        {{10, 20, 10 + 160, 20 + 120}, 160, 120},  // a quarter, the camera's shape
        {{0, 0, 240, 240}, 240, 240},              // a square: stretched to it
        {{0, 0, 8, 8}, 240, 240},                  // too small to draw into: unchanged
    };
    for (const Case& c : cases) {
        stream->SetRect(&c.rect);
        const size_t before = sink.Frames();
        EXPECT_TRUE(WaitUntil(
            [&] { return sink.Frames() >= before + 10 && sink.Latest(c.width, c.height, id); },
            seconds(20)))
            << c.width << "x" << c.height << ", got " << sink.Size().first << "x"
            << sink.Size().second;
    }
    // The next window starts without a rectangle: the camera's size again.
    channel->StopRecvVideo(sender.Id());
    SizeSink next;
    channel->StartRecvVideo(sender.Id(), 0, nullptr, &next, kromedia::kMsgFirstPicture);
    EXPECT_TRUE(WaitUntil([&] { return next.Latest(320, 240, id); }, seconds(20)))
        << next.Size().first << "x" << next.Size().second;
    channel->StopRecvVideo(sender.Id());
}

INSTANTIATE_TEST_SUITE_P(Transport, MediaBotsOnUdp, ::testing::Values(false), TransportName);

}  // namespace
}  // namespace yav::test
