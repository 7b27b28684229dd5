// The fake component stands in behind the exports and restores the real one when it goes.
#include <gtest/gtest.h>

#include "fakes/media/FakeMedia.h"

namespace {

TEST(FakeMedia, ExportsAnswerFromTheFakeWhileItIsInstalled) {
    {
        fakes::FakeMedia media;
        media.cameras = {
            {"/dev/video0", "Cam A"}, {"/dev/video2", "Cam B"}, {"/dev/video4", "Cam C"}};
        media.microphones = {"Mic"};
        media.Install();
        EXPECT_EQ(KroMedia_GetVideoCaptureDeviceCount(), 3);
        char name[8];
        EXPECT_EQ(KroMedia_GetAudioCaptureDeviceName(0, name, 8), 3);
        EXPECT_EQ(KroMedia_GetAudioPlaybackDeviceCount(), 0);
        auto* main = KroMedia_CreateMediaControl(kromedia::kKindMain);
        auto* video = KroMedia_CreateMediaControl(kromedia::kKindVideo);
        ASSERT_NE(main->GetAudioEngine(), nullptr);
        EXPECT_EQ(video->GetAudioEngine(), nullptr);
        const int v = 6;
        main->GetAudioEngine()->SetParam(107, &v);
        video->Login(9, "127.0.0.1", 5000, 0, 77);
        KroMedia_ReleaseMediaControl(video);
        const std::vector<std::string> expected = {"Create(0) #0", "Create(1) #1",
                                                   "audio SetParam(107,6)",
                                                   "#1 Login(9,127.0.0.1,5000,0,77)", "Release #1"};
        EXPECT_EQ(media.Calls(), expected);
        EXPECT_EQ(media.Live().size(), 1U);
        media.failCreate = true;
        EXPECT_EQ(KroMedia_CreateMediaControl(kromedia::kKindVideo), nullptr);
        KroMedia_ReleaseMediaControl(main);
    }
    setenv("YAV_TEST_DEVICES", "cam=1", 1);
    // The real component again: its synthetic camera, not the fake's three.
    EXPECT_EQ(KroMedia_GetVideoCaptureDeviceCount(), 1);
}

}  // namespace
