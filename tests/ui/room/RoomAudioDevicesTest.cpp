// The room's audio-device re-check: the media component reports device changes, the room looks
// at the devices once they have settled, and a speaker or microphone that appears where none was
// is started on device 0 and named in the settings.

#include <QApplication>

#include <thread>

#include "RoomFixture.h"
#include "fakes/media/FakeMedia.h"
#include "platform/core/Profile.h"

namespace room_test {
namespace {

using yav::testing::TimerDriver;
using yav::testing::WaitUntil;

class RoomAudioDevices : public RoomFixture {
protected:
    void SetUp() override {
        RoomFixture::SetUp();
        videoIni = g_ConfigManager.GetConfigVideoIniPath().toStdString();
        clientIni = g_ConfigManager.GetClientIniPath().toStdString();
        for (const char* key : {"Player", "Capture"}) {
            saved.emplace_back(key, yav::profile::GetString("AudioConfig", key, "", 260, videoIni));
        }
        component.Install();
        Open();
    }
    void TearDown() override {
        RoomFixture::TearDown();
        for (const auto& [key, value] : saved) {
            yav::profile::WriteString("AudioConfig", key, value, videoIni);
        }
    }
    std::vector<std::string> AudioStarts() {
        std::vector<std::string> starts;
        for (const std::string& call : component.Calls()) {
            if (call.rfind("audio Start", 0) == 0) {
                starts.push_back(call);
            }
        }
        return starts;
    }

    fakes::FakeMedia component;
    std::string videoIni;
    std::string clientIni;
    std::vector<std::pair<std::string, std::string>> saved;
};

TEST_F(RoomAudioDevices, DevicesThatAppearAreCheckedOnceAndStartedFromDeviceZero) {
    // The room's capture start finds neither a speaker nor a microphone.
    ASSERT_TRUE(TimerDriver::Fire(*frame, CYavClientDlg::TICAMER_SATRT_PUTRE));
    ASSERT_NE(media->GetAudioEngine(), nullptr);
    const size_t startsBefore = AudioStarts().size();
    component.speakers = {"USB speaker"};
    component.speakerIds = {"alsa_output.usb"};
    component.microphones = {"USB microphone"};
    component.microphoneIds = {"alsa_input.usb"};
    fakes::LogCapture lines;
    log.Clear();

    // The device monitor reports each change where the room had it report them.
    kromedia::INotifyTarget* target = frame->GetMediaNotifyTarget();
    std::thread([target] {
        for (int i = 0; i < 3; ++i) {
            target->PostMessage(kromedia::kMsgDeviceChange, kromedia::kDeviceNodesChanged, 0);
        }
    }).join();
    ASSERT_TRUE(
        WaitUntil([this] { return frame->IsTimerSet(CYavClientDlg::TIMER_AUDIO_DEVICE_CHECK); }));
    QApplication::processEvents();
    // Nothing is looked at while changes arrive; one look once they have settled.
    EXPECT_EQ(lines.CountContaining("audio devices re-checked"), 0u);
    EXPECT_EQ(frame->GetTimerElapse(CYavClientDlg::TIMER_AUDIO_DEVICE_CHECK), 10);
    EXPECT_EQ(TimerDriver::FireWhileSet(*frame, CYavClientDlg::TIMER_AUDIO_DEVICE_CHECK, 5), 1);
    EXPECT_EQ(lines.CountContaining("audio devices re-checked"), 1u);

    const std::vector<std::string> starts = AudioStarts();
    ASSERT_EQ(starts.size(), startsBefore + 2);
    EXPECT_EQ(starts[startsBefore], "audio StartPlayback(0)");
    EXPECT_EQ(starts[startsBefore + 1], "audio StartCapture(0)");
    EXPECT_EQ(log.Matching("StatusBar.EnableAudioButton"),
              (std::vector<std::string>{"StatusBar.EnableAudioButton(0,1)",
                                        "StatusBar.EnableAudioButton(1,1)"}));
    EXPECT_EQ(yav::profile::GetString("AudioConfig", "Player", "", 260, videoIni), "0");
    EXPECT_EQ(yav::profile::GetString("AudioConfig", "Capture", "", 260, videoIni), "0");
    EXPECT_EQ(yav::profile::GetString("AudioConfig", "playDevId", "", 260, clientIni),
              "alsa_output.usb");
    EXPECT_EQ(yav::profile::GetString("AudioConfig", "capDevId", "", 260, clientIni),
              "alsa_input.usb");

    // A later change with the devices still there starts nothing again.
    frame->GetMediaNotifyTarget()->PostMessage(kromedia::kMsgDeviceChange,
                                               kromedia::kDeviceNodesChanged, 0);
    ASSERT_TRUE(
        WaitUntil([this] { return frame->IsTimerSet(CYavClientDlg::TIMER_AUDIO_DEVICE_CHECK); }));
    EXPECT_EQ(TimerDriver::FireWhileSet(*frame, CYavClientDlg::TIMER_AUDIO_DEVICE_CHECK, 5), 1);
    EXPECT_EQ(AudioStarts().size(), startsBefore + 2);
}

}  // namespace
}  // namespace room_test
