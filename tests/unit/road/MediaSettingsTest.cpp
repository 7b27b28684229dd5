#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "RecordCodec.h"
#include "config/AppSettings.h"
#include "config/ConfigManger.h"
#include "media/XMediaManager.h"
#include "platform/core/Profile.h"

namespace {

using yav::profile::WriteString;

class MediaSettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        video = g_ConfigManager.GetConfigVideoIniPath().toStdString();
        client = g_ConfigManager.GetClientIniPath().toStdString();
        ASSERT_FALSE(video.empty());
        // Each case starts from an empty settings file.
        QFile::remove(QString::fromStdString(video));
        savedCapMode = g_AppSettings.bVideoCapMode;
        savedUseTcp = g_AppSettings.UseTCP;
        XMediaManager::SetDeviceCountSource(nullptr);
    }
    void TearDown() override {
        g_AppSettings.bVideoCapMode = savedCapMode;
        g_AppSettings.UseTCP = savedUseTcp;
        XMediaManager::SetDeviceCountSource(nullptr);
    }

    std::string video;
    std::string client;
    uint8_t savedCapMode = 0;
    uint8_t savedUseTcp = 0;
};

TEST_F(MediaSettingsTest, DefaultsWithoutAnySetting) {
    g_AppSettings.UseTCP = 1;
    XMediaManager media;
    const ST_MEDIA_SETTINGS& s = media.GetSettings();
    EXPECT_EQ(s.FormateID, 6);
    EXPECT_EQ(s.AutoVol, 1);
    EXPECT_EQ(s.VAD, 1);
    EXPECT_EQ(s.AEC, 1);
    EXPECT_EQ(s.ANS, 1);
    EXPECT_EQ(s.AGC, 0);
    EXPECT_EQ(s.UseTCP, 1);
    EXPECT_EQ(media.GetFecLevel(), 3);
    for (size_t n = 0; n < 8; ++n) {
        const ST_VIDEO_PARAM& r = s.video[n];
        EXPECT_EQ(r.Size, 1) << n;
        EXPECT_EQ(r.EncodeMode, n == 7 ? 0 : 1) << n;
        EXPECT_EQ(r.FrameRate, 15);
        EXPECT_EQ(r.CommPort, -1);
        EXPECT_EQ(r.CameraType, -1);
        EXPECT_EQ(r.NetStatus, 1);
        EXPECT_EQ(r.CameBtl, 9600);
        // The built-in level "85,75,300,100": A, B, big, normal.
        EXPECT_EQ(r.levelA, 85);
        EXPECT_EQ(r.levelB, 75);
        EXPECT_EQ(r.bitRateBig, 300);
        EXPECT_EQ(r.bitRateNormal, 100);
    }
    EXPECT_EQ(media.GetScreenStreamChannel(), -1);
}

TEST_F(MediaSettingsTest, ValuesAreReadAndBoundedPerChannel) {
    WriteString("VideoConfig-1", "Size", "30", video);
    WriteString("VideoConfig-8", "Size", "30", video);
    WriteString("VideoConfig-3", "ScreenStreamParam", "1", video);
    WriteString("VideoConfig-8", "ScreenStreamParam", "1", video);
    WriteString("VideoConfig-2", "CommPort", "3", video);
    WriteString("VideoConfig-2", "LevelSelect", "2", video);
    WriteString("VideoLevel-1-2", "H264", "90,80,512,256", video);
    WriteString("AudioConfig", "FECLevel", "5", video);
    XMediaManager media;
    const ST_MEDIA_SETTINGS& s = media.GetSettings();
    EXPECT_EQ(s.video[0].Size, 8);   // camera channels above 23 fall back to 640 x 480
    EXPECT_EQ(s.video[7].Size, 30);  // the media channel keeps what it was given
    EXPECT_EQ(media.GetScreenStreamChannel(), 2);
    EXPECT_EQ(s.video[7].ScreenStreamParam, 0);
    EXPECT_EQ(s.video[1].CommPort, 3);
    EXPECT_EQ(s.video[1].levelA, 90);
    EXPECT_EQ(s.video[1].bitRateNormal, 256);
    EXPECT_EQ(media.GetFecLevel(), 5);
}

TEST_F(MediaSettingsTest, DeviceIndexesAndCountsFollowTheDevices) {
    WriteString("AudioConfig", "Capture", "3", video);
    WriteString("AudioConfig", "Player", "1", video);
    {
        g_AppSettings.bVideoCapMode = 1;
        XMediaManager::SetDeviceCountSource([]() { return XMediaManager::DeviceCounts{3, 2, 2}; });
        XMediaManager media;
        EXPECT_EQ(media.GetSettings().Capture, 0);  // microphone 3 does not exist
        EXPECT_EQ(media.GetSettings().Player, 1);
        EXPECT_EQ(media.GetSettings().VideoCount, 1);  // single-capture mode
    }
    {
        g_AppSettings.bVideoCapMode = 0;
        XMediaManager::SetDeviceCountSource([]() { return XMediaManager::DeviceCounts{10, 4, 1}; });
        XMediaManager media;
        EXPECT_EQ(media.GetSettings().Capture, 3);
        EXPECT_EQ(media.GetSettings().Player, 0);
        EXPECT_EQ(media.GetSettings().VideoCount, 8);
    }
}

TEST_F(MediaSettingsTest, TheRecordIs207BytesWithChannelsAt15Plus24n) {
    WriteString("VideoConfig-2", "Input", "7", video);
    WriteString("VideoConfig-2", "CameBtl", "4800", video);
    XMediaManager media;
    const auto bytes = yav::proto::EncodeRecord(media.GetSettings());
    ASSERT_EQ(bytes.size(), 207u);
    EXPECT_EQ(bytes[3], 6);            // format id
    EXPECT_EQ(bytes[15 + 24 + 0], 7);  // channel 1 input
    EXPECT_EQ(bytes[15 + 24 + 20], 4800 & 0xFF);
    EXPECT_EQ(bytes[15 + 24 + 21], 4800 >> 8);
    EXPECT_EQ(bytes[15 + 15], 0xFF);  // channel 0 COM port -1
    const auto decoded = yav::proto::DecodeRecord<ST_MEDIA_SETTINGS>(bytes);
    ASSERT_TRUE(decoded.has_value());
    EXPECT_EQ(decoded->video[1].CameBtl, 4800);
    EXPECT_FALSE(
        yav::proto::DecodeRecord<ST_MEDIA_SETTINGS>(std::span<const uint8_t>(bytes.data(), 206))
            .has_value());
}

TEST(MediaResolution, TableAndClasses) {
    int w = 0;
    int h = 0;
    XMediaManager::GetResolution(0, &w, &h);
    EXPECT_EQ(w, 160);
    EXPECT_EQ(h, 120);
    XMediaManager::GetResolution(23, &w, &h);
    EXPECT_EQ(w, 1920);
    EXPECT_EQ(h, 1080);
    for (int unknown : {-1, 24, 255}) {
        XMediaManager::GetResolution(unknown, &w, &h);
        EXPECT_EQ(w, 320);
        EXPECT_EQ(h, 240);
    }
}

}  // namespace
