// The status bar on the real media component with synthetic devices: the test tone on the
// synthetic microphone makes the microphone icon run through its level frames.

#include <QApplication>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <set>
#include <thread>

#include "PanelTestSupport.h"
#include "client/dialogs/panels/CDlgStatusBar.h"
#include "components/KroMedia/Devices.h"
#include "components/KroMedia/KroMedia.h"
#include "platform/window/testing/WindowTesting.h"

namespace panels_test {
namespace {

using yav::testing::TimerDriver;

TEST(RealEngine, TheMicrophoneIconAnimatesWithTheTestTone) {
    setenv("YAV_TEST_DEVICES", "cam=0,mic=1,spk=1", 1);
    kromedia::DeviceRegistry::Get().Reload();
    kromedia::IMediaControl* control = KroMedia_CreateMediaControl(0);
    ASSERT_NE(control, nullptr);
    kromedia::IAudioEngine* engine = control->GetAudioEngine();
    ASSERT_EQ(engine->StartCapture(0), 1);

    Room room;
    CDlgStatusBar bar(&room.window);
    ASSERT_TRUE(bar.Create(CDlgStatusBar::IDD, &room.window));
    bar.SetAudioControl(engine);
    std::set<UINT> frames;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (frames.size() < 3 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(CDlgStatusBar::kAudioPollMs));
        QApplication::processEvents();
        TimerDriver::Fire(bar, CDlgStatusBar::kAudioPollTimer);
        frames.insert(bar.GetMicFrameImage());
    }
    EXPECT_EQ(frames, (std::set<UINT>{674, 978, 980}));
    // Muted, the icon stands still.
    bar.OnBtnMic();
    const UINT still = bar.GetMicFrameImage();
    for (int i = 0; i < 3; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(CDlgStatusBar::kAudioPollMs));
        TimerDriver::Fire(bar, CDlgStatusBar::kAudioPollTimer);
        EXPECT_EQ(bar.GetMicFrameImage(), still);
    }
    bar.SetAudioControl(nullptr);
    engine->StopCapture();
    KroMedia_ReleaseMediaControl(control);
}

}  // namespace
}  // namespace panels_test
