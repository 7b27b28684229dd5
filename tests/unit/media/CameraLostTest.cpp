// Cameras unplugged one after the other, with the fake component and with the real one on
// synthetic cameras: each loss is counted once, however many camera events follow it.

#include <gtest/gtest.h>

#include <QFile>

#include <cstdlib>
#include <memory>
#include <string>

#include "client/media/IMediaHandler.h"
#include "client/media/IMediaRoom.h"
#include "client/media/XMediaManager.h"
#include "components/KroMedia/Devices.h"
#include "config/AppSettings.h"
#include "config/ConfigManger.h"
#include "fakes/media/FakeMedia.h"

namespace {

class NullHandler final : public IMediaHandler {
public:
    void* GetLocalVideo(std::uint32_t, std::intptr_t) override { return nullptr; }
};

class QuietRoom final : public IMediaRoom {
public:
    void SetConfigBytes(uint8_t, uint8_t, uint8_t, uint8_t, uint8_t, uint8_t) override {}
    void CloseChannelWindow(uint16_t) override {}
    uint16_t GetMyUserId() const override { return 16; }
    bool IsMyChannel(uint16_t id) const override { return id >= 16 && id < 24; }
    uint32_t GetConfId() const override { return 77; }
    bool IsMediaIdBroadcast(uint16_t) override { return false; }
    void SetDevicePollTimer(int) override {}
    void BroadcastVideo(uint16_t, uint8_t) override {}
    void TransmitToUser(uint16_t, uint16_t, const void*, size_t) override {}
    void OnVideoOpenResult(uint16_t, uint16_t, uint32_t) override {}
    void ShowVideoStoppedNotice() override {}
    kromedia::INotifyTarget* GetMediaNotifyTarget() override { return nullptr; }
    VideoLimits GetVideoLimits() const override { return {}; }
};

enum class Component { Fake, Real };

class CameraLost : public ::testing::TestWithParam<Component> {
protected:
    void SetUp() override {
        QFile::remove(g_ConfigManager.GetConfigVideoIniPath());
        saved = g_AppSettings;
        g_AppSettings.bVideoCapMode = 0;
        g_AppSettings.UseTCP = 0;
        XMediaManager::SetDeviceCountSource(nullptr);
        if (GetParam() == Component::Fake) {
            for (int i = 0; i < 3; ++i) {
                fake.cameras.push_back({"/dev/video" + std::to_string(i), "Cam"});
            }
            fake.microphones = {"Mic"};
            fake.speakers = {"Speaker"};
            fake.Install();
        } else {
            setenv("YAV_TEST_DEVICES", "cam=3,mic=1,spk=1", 1);
            kromedia::DeviceRegistry::Get().Reload();
        }
        media = std::make_unique<XMediaManager>();
        media->SetRoom(&room);
        ASSERT_TRUE(media->CreateMedia(&handler));
        media->StartCapture();
    }
    void TearDown() override {
        media.reset();
        g_AppSettings = saved;
    }

    // Camera n goes away; the component's camera event makes the manager check its cameras.
    void Unplug(int n) {
        if (GetParam() == Component::Fake) {
            for (fakes::FakeMediaControl* c : fake.Live()) {
                if (static_cast<kromedia::ILocalVideo*>(c) == media->GetLocalVideo(n)) {
                    c->deviceLost = true;
                }
            }
            fake.cameras.erase(fake.cameras.begin() + n);
        } else {
            ASSERT_TRUE(kromedia::DeviceRegistry::Get().TestUnplugCamera(n));
        }
        media->CheckCameraState();
    }

    fakes::FakeMedia fake;
    QuietRoom room;
    NullHandler handler;
    std::unique_ptr<XMediaManager> media;
    ST_APP_SETTINGS saved;
};

TEST_P(CameraLost, EachUnpluggedCameraIsCountedOnce) {
    ASSERT_EQ(media->GetChannelCount(), 3);
    ASSERT_EQ(media->GetVideoBits(), 7);
    Unplug(2);
    EXPECT_EQ(media->GetChannelCount(), 2);
    Unplug(1);
    EXPECT_EQ(media->GetChannelCount(), 1) << "camera 0 still captures";
    EXPECT_EQ(media->GetVideoBits(), 1);
    // Any later camera event leaves the count alone.
    media->CheckCameraState();
    EXPECT_EQ(media->GetChannelCount(), 1);
    EXPECT_EQ(media->GetLocalVideo(0)->IsDeviceLost(), 0);
}

INSTANTIATE_TEST_SUITE_P(Component, CameraLost, ::testing::Values(Component::Fake, Component::Real),
                         [](const ::testing::TestParamInfo<Component>& component) {
                             return component.param == Component::Fake ? "Fake" : "Real";
                         });

}  // namespace
