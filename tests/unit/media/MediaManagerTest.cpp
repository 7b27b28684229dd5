// The media manager over a recording fake of the media component and a recording room.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "RecordCodec.h"
#include "client/media/IMediaHandler.h"
#include "client/media/IMediaRoom.h"
#include "client/media/XMediaManager.h"
#include "config/AppSettings.h"
#include "config/ConfigManger.h"
#include "fakes/media/FakeMedia.h"
#include "platform/core/Profile.h"

namespace {

using yav::profile::GetInt;
using yav::profile::GetString;
using yav::profile::WriteString;

class NullHandler final : public IMediaHandler {
public:
    void* GetLocalVideo(std::uint32_t, std::intptr_t) override { return nullptr; }
};

// Records what the manager asks of the room.
class FakeRoom final : public IMediaRoom {
public:
    void SetConfigBytes(uint8_t a, uint8_t b, uint8_t c, uint8_t d, uint8_t e, uint8_t f) override {
        Log("SetConfigBytes(" + S(a) + "," + S(b) + "," + S(c) + "," + S(d) + "," + S(e) + "," +
            S(f) + ")");
    }
    void CloseChannelWindow(uint16_t id) override { Log("CloseChannelWindow(" + S(id) + ")"); }
    uint16_t GetMyUserId() const override { return myId; }
    bool IsMyChannel(uint16_t id) const override {
        return myId != 0 && id >= myId && id < myId + 8;
    }
    uint32_t GetConfId() const override { return 77; }
    bool IsMediaIdBroadcast(uint16_t id) override {
        return std::find(broadcast.begin(), broadcast.end(), id) != broadcast.end();
    }
    void SetDevicePollTimer(int on) override { Log("SetDevicePollTimer(" + S(on) + ")"); }
    void BroadcastVideo(uint16_t id, uint8_t on) override {
        Log("BroadcastVideo(" + S(id) + "," + S(on) + ")");
    }
    void TransmitToUser(uint16_t to, uint16_t sub, const void* data, size_t length) override {
        Log("Transmit(" + S(to) + "," + S(sub) + "," + std::to_string(length) + ")");
        const auto* bytes = static_cast<const uint8_t*>(data);
        sent.assign(bytes, bytes + length);
    }
    void OnVideoOpenResult(uint16_t id, uint16_t result, uint32_t value) override {
        Log("OnVideoOpenResult(" + S(id) + "," + S(result) + "," + std::to_string(value) + ")");
    }
    void ShowVideoStoppedNotice() override { Log("ShowVideoStoppedNotice"); }
    kromedia::INotifyTarget* GetMediaNotifyTarget() override { return nullptr; }
    VideoLimits GetVideoLimits() const override { return limits; }

    bool Has(const std::string& call) const {
        return std::find(calls.begin(), calls.end(), call) != calls.end();
    }

    uint16_t myId = 0;
    std::vector<uint16_t> broadcast;
    VideoLimits limits;
    std::vector<std::string> calls;
    std::vector<uint8_t> sent;

private:
    static std::string S(int v) { return std::to_string(v); }
    void Log(const std::string& call) { calls.push_back(call); }
};

std::vector<std::string> Matching(const std::vector<std::string>& calls, const std::string& part) {
    std::vector<std::string> out;
    for (const std::string& call : calls) {
        if (call.find(part) != std::string::npos) {
            out.push_back(call);
        }
    }
    return out;
}

class MediaManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        video = g_ConfigManager.GetConfigVideoIniPath().toStdString();
        client = g_ConfigManager.GetClientIniPath().toStdString();
        QFile::remove(QString::fromStdString(video));
        QFile::remove(QString::fromStdString(client));
        saved = g_AppSettings;
        g_AppSettings.bVideoCapMode = 0;
        g_AppSettings.UseTCP = 0;
        g_AppSettings.CurCapVideoID = 0;
        XMediaManager::SetDeviceCountSource(nullptr);
        fake.microphones = {"Mic A", "Mic B"};
        fake.microphoneIds = {"alsa_input.a", "alsa_input.b"};
        fake.speakers = {"Speaker A", "Speaker B"};
        fake.speakerIds = {"alsa_output.a", "alsa_output.b"};
        fake.Install();
    }
    void TearDown() override {
        media.reset();
        g_AppSettings = saved;
    }

    void Cameras(int count) {
        fake.cameras.clear();
        for (int i = 0; i < count; ++i) {
            fake.cameras.push_back({"/dev/video" + std::to_string(i), "Cam " + std::to_string(i)});
        }
    }
    // A manager with its objects created for a room whose user id is 16.
    XMediaManager& Create(int cameras) {
        Cameras(cameras);
        media = std::make_unique<XMediaManager>();
        media->SetRoom(&room);
        media->SetTickSource([this] { return now; });
        EXPECT_TRUE(media->CreateMedia(&handler));
        room.myId = 16;
        media->LoginMediaServer(16, "127.0.0.1", 9000, 5, 77);
        return *media;
    }
    fakes::FakeMediaControl* Channel(int n) const {
        for (fakes::FakeMediaControl* c : const_cast<fakes::FakeMedia&>(fake).Live()) {
            if (static_cast<kromedia::ILocalVideo*>(c) == media->GetLocalVideo(n)) {
                return c;
            }
        }
        return nullptr;
    }
    std::string Tag(int n) const { return "#" + std::to_string(Channel(n)->index) + " "; }

    std::string video;
    std::string client;
    ST_APP_SETTINGS saved;
    fakes::FakeMedia fake;
    FakeRoom room;
    NullHandler handler;
    uint64_t now = 100000;
    std::unique_ptr<XMediaManager> media;
};

TEST_F(MediaManagerTest, ChannelObjectsFollowCamerasLimitAndCaptureMode) {
    struct Case {
        int cameras;
        int limit;
        uint8_t singleCapture;
        std::vector<int> channels;
    };
    const Case cases[] = {
        {1, 4, 0, {0, 7}},       {3, 8, 1, {0, 7}},    {0, 8, 0, {0, 7}},
        {3, 8, 0, {0, 1, 2, 7}}, {5, 2, 0, {0, 1, 7}}, {8, 8, 0, {0, 1, 2, 3, 4, 5, 6, 7}},
    };
    for (const Case& c : cases) {
        g_AppSettings.bVideoCapMode = c.singleCapture;
        room.limits.channels = c.limit;
        Create(c.cameras);
        std::vector<int> present;
        for (int n = -1; n <= 8; ++n) {
            if (media->GetLocalVideo(n) != nullptr) {
                present.push_back(n);
            }
        }
        EXPECT_EQ(present, c.channels) << c.cameras << " cameras, limit " << c.limit;
        EXPECT_NE(media->GetAudioEngine(), nullptr);
        media.reset();
        EXPECT_TRUE(fake.Live().empty()) << "every object is released";
    }
}

TEST_F(MediaManagerTest, WithoutTheMainChannelNothingIsCreated) {
    Cameras(2);
    fake.failCreate = true;
    XMediaManager manager;
    EXPECT_FALSE(manager.CreateMedia(&handler));
    EXPECT_FALSE(manager.HasMediaComponent());
    EXPECT_EQ(manager.GetMediaControl(5), nullptr);
}

TEST_F(MediaManagerTest, AudioStartSetsTheParametersInTheirOrder) {
    WriteString("AudioConfig", "FormateID", "4", video);
    WriteString("AudioConfig", "ANS", "0", video);
    WriteString("AudioConfig", "AEC", "1", video);
    WriteString("AudioConfig", "AGC", "1", video);
    WriteString("AudioConfig", "VAD", "0", video);
    WriteString("AudioConfig", "AutoVol", "0", video);
    WriteString("AudioConfig", "LocalPlay", "1", video);
    WriteString("AudioConfig", "Capture", "1", video);
    WriteString("AudioConfig", "Player", "1", video);
    for (const auto& [highLost, fec] : {std::pair{"0", 2}, std::pair{"1", 5}}) {
        WriteString("AudioConfig", "HighLost", highLost, video);
        WriteString("AudioConfig", "FECLevel", "5", video);
        XMediaManager& m = Create(1);
        m.StartCapture();
        auto* engine = static_cast<fakes::FakeAudioEngine*>(m.GetAudioEngine());
        const std::vector<std::pair<int, int>> expected = {{107, 4},   {1, 0},   {2, 1}, {3, 1},
                                                           {104, fec}, {103, 0}, {4, 0}, {9, 1}};
        EXPECT_EQ(engine->params, expected);
        const auto starts = Matching(fake.Calls(), "audio Start");
        ASSERT_GE(starts.size(), 2u);
        EXPECT_EQ(std::vector<std::string>(starts.end() - 2, starts.end()),
                  (std::vector<std::string>{"audio StartPlayback(1)", "audio StartCapture(1)"}));
        // The chosen devices' PulseAudio names.
        EXPECT_EQ(GetString("AudioConfig", "playDevId", "", 260, client), "alsa_output.b");
        EXPECT_EQ(GetString("AudioConfig", "capDevId", "", 260, client), "alsa_input.b");
        EXPECT_TRUE(room.Has("SetConfigBytes(255,1,255,255,2,255)"));
        media.reset();
    }
}

TEST_F(MediaManagerTest, EndpointLookupBothWays) {
    std::string id;
    int index = 1;
    EXPECT_TRUE(XMediaManager::EnumAudioEndpoints(id, index, 1, 1));
    EXPECT_EQ(id, "alsa_input.b");
    index = 2;
    EXPECT_FALSE(XMediaManager::EnumAudioEndpoints(id, index, 2, 1));
    EXPECT_EQ(id, "");
    id = "ALSA_OUTPUT.B";
    EXPECT_TRUE(XMediaManager::EnumAudioEndpoints(id, index, 2, 2));
    EXPECT_EQ(index, 1);
    id = "missing";
    EXPECT_FALSE(XMediaManager::EnumAudioEndpoints(id, index, 2, 2));
    EXPECT_EQ(index, -2);
}

TEST_F(MediaManagerTest, OwnIdsGoToTheirChannelEverythingElseToChannelZero) {
    XMediaManager& m = Create(3);
    ASSERT_NE(Channel(2), nullptr);
    EXPECT_EQ(m.GetMediaControl(18), static_cast<kromedia::IMediaControl*>(Channel(2)));
    EXPECT_EQ(m.GetMediaControl(23), static_cast<kromedia::IMediaControl*>(Channel(7)));
    for (uint16_t remote : {8, 15, 24, 42}) {
        EXPECT_EQ(m.GetMediaControl(remote), static_cast<kromedia::IMediaControl*>(Channel(0)))
            << remote;
    }
    // Own channel 5 has no object: no channel answers for it.
    EXPECT_EQ(m.GetMediaControl(21), nullptr);
    EXPECT_EQ(m.StartRecvAudio(21, 0), 0);
    EXPECT_EQ(m.StartRecvAudio(42, 0), 1);
    EXPECT_EQ(Matching(fake.Calls(), "StartRecvAudio"),
              std::vector<std::string>{Tag(0) + "StartRecvAudio(42)"});
    EXPECT_EQ(m.GetLocalVideo(8), nullptr);
    EXPECT_EQ(m.GetLocalVideo(-1), nullptr);
}

TEST_F(MediaManagerTest, LoginHandsEachChannelItsIdTicketAndTransport) {
    g_AppSettings.UseTCP = 1;
    Cameras(2);
    media = std::make_unique<XMediaManager>();
    media->SetRoom(&room);
    ASSERT_TRUE(media->CreateMedia(&handler));
    const uint8_t ticket[16] = {1, 2, 3};
    media->SetMediaTicket(ticket, 16);
    media->LoginMediaServer(40, "10.1.2.3", 9100, 5, 77);
    const std::vector<std::string> expected = {
        "#0 SetTicket(16)", "#0 Login(40,10.1.2.3,9100,5,77)", "#0 SetUseTCP(1)",
        "#1 SetTicket(16)", "#1 Login(41,10.1.2.3,9100,5,77)", "#1 SetUseTCP(1)",
        "#2 SetTicket(16)", "#2 Login(47,10.1.2.3,9100,5,77)", "#2 SetUseTCP(1)"};
    std::vector<std::string> login;
    for (const std::string& call : fake.Calls()) {
        if (call.find("SetTicket") != std::string::npos ||
            call.find("Login") != std::string::npos ||
            (call.find("SetUseTCP") != std::string::npos && !login.empty())) {
            login.push_back(call);
        }
    }
    EXPECT_EQ(login, expected);
    EXPECT_EQ(media->GetMyBaseId(), 40);
    media->LogoutMediaServer();
    EXPECT_EQ(media->GetMyBaseId(), 0);
    EXPECT_EQ(Matching(fake.Calls(), "EnableSend(1)").size(), 3u);
}

TEST_F(MediaManagerTest, AddressesLongerThan15CharactersAreRefused) {
    XMediaManager& m = Create(1);
    EXPECT_TRUE(m.SetMediaServerAddress("123.123.123.123"));
    EXPECT_STREQ(m.GetServerAddress(), "123.123.123.123");
    const size_t loginsBefore = Matching(fake.Calls(), "Login(").size();
    EXPECT_FALSE(m.SetMediaServerAddress("media.example.org"));
    EXPECT_STREQ(m.GetServerAddress(), "123.123.123.123");
    EXPECT_FALSE(m.SetMediaServerAddress(nullptr));
    // A cut address would reach another host: no channel logs in with it.
    m.LoginMediaServer(16, "1234.1234.1234.1", 9000, 0, 77);
    EXPECT_EQ(Matching(fake.Calls(), "Login(").size(), loginsBefore);
    EXPECT_TRUE(Matching(fake.Calls(), "SetServerAddress(media").empty());
}

TEST_F(MediaManagerTest, QualityNeverWritesPastTheCallersBuffer) {
    XMediaManager& m = Create(1);
    for (uint16_t i = 0; i < 300; ++i) {
        Channel(0)->quality.push_back({static_cast<uint16_t>(100 + i), 1000u - i});
    }
    kromedia::StreamQuality records[4];
    records[3].mediaId = 0xBEEF;
    EXPECT_EQ(m.GetStreamQuality(records, 3), 3);
    EXPECT_EQ(records[2].mediaId, 102);
    EXPECT_EQ(records[3].mediaId, 0xBEEF);
    EXPECT_EQ(Matching(fake.Calls(), "GetStreamQuality").back(), Tag(0) + "GetStreamQuality(3)");
    const auto all = m.GetStreamQuality();
    ASSERT_EQ(all.size(), 256u);
    EXPECT_EQ(all[255].wMediaId, 355);
}

TEST_F(MediaManagerTest, ChannelVideoOffClosesItsWindowFirst) {
    XMediaManager& m = Create(3);
    m.SetChannelVideoEnable(2, 0);
    EXPECT_EQ(room.calls.back(), "CloseChannelWindow(18)");
    EXPECT_EQ(Matching(fake.Calls(), "EnableSend(0)"),
              std::vector<std::string>{Tag(2) + "EnableSend(0)"});
    EXPECT_EQ(m.GetVideoBits() & 4, 0);
    m.SetChannelVideoEnable(2, 1);
    EXPECT_EQ(m.GetVideoBits() & 4, 4);
}

TEST_F(MediaManagerTest, CaptureStartsEachCameraWithItsRecordAndReports) {
    WriteString("VideoConfig-2", "Size", "21", video);  // 1280 x 720
    WriteString("VideoConfig-2", "NetStatus", "3", video);
    WriteString("VideoConfig-2", "Input", "1", video);
    room.limits.maxPixels = 640 * 480;
    room.limits.maxWidth = 640;
    room.limits.maxHeight = 480;
    room.limits.maxBitRateKbps = 64;
    XMediaManager& m = Create(2);
    m.StartCapture();
    const auto starts = Matching(fake.Calls(), "StartCapture(15");
    // The conference caps the picture at its maximum and the bit rate at 64.
    EXPECT_EQ(starts,
              (std::vector<std::string>{Tag(0) + "StartCapture(15,64,64,0,/dev/video0,176x144)",
                                        Tag(1) + "StartCapture(15,64,64,0,/dev/video1,640x480)"}));
    EXPECT_TRUE(Matching(fake.Calls(), Tag(1) + "SelectInput(1)").size() == 1);
    EXPECT_TRUE(Matching(fake.Calls(), Tag(1) + "SetOption(3,14,13)").size() == 1);
    EXPECT_EQ(m.GetVideoBits(), 3);
    EXPECT_EQ(m.GetChannelCount(), 2);
    EXPECT_EQ(GetInt("VideoParam", "VideoCount", 0, video), 2);
    EXPECT_EQ(room.calls.back().rfind("SetConfigBytes(3,1,2,0,255,0)", 0), 0u);
    EXPECT_EQ(m.GetDevicePath(1), "/dev/video1");
    EXPECT_EQ(m.FindDeviceIndexByName("/DEV/VIDEO1"), 1);
    EXPECT_EQ(m.FindDeviceIndexByName("/dev/video9"), -1);
}

TEST_F(MediaManagerTest, CamerasCaptureAtTheSizeTheSeededSettingsGive) {
    struct Case {
        const char* name;
        bool seeded;  // the program's ConfigVideo.ini copied in, as a first start does
        const char* size;
    };
    const Case cases[] = {
        {"the program's seeded settings", true, "640x480"},
        {"no settings at all: the size key's default, index 1", false, "176x144"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        media.reset();
        QFile::remove(QString::fromStdString(video));
        if (c.seeded) {
            // Tests run in the program folder, beside the settings a first start copies.
            ASSERT_TRUE(QFile::copy(QDir::currentPath() + "/ConfigVideo.ini",
                                    QString::fromStdString(video)));
        }
        XMediaManager& m = Create(2);
        m.StartCapture();
        for (int n : {0, 1}) {
            EXPECT_EQ(Matching(fake.Calls(), Tag(n) + "StartCapture(15"),
                      std::vector<std::string>{Tag(n) + "StartCapture(15,100,300,0,/dev/video" +
                                               std::to_string(n) + "," + c.size + ")"});
        }
    }
}

TEST_F(MediaManagerTest, FormatsPast24AndInputsPast16AreDropped) {
    XMediaManager& m = Create(1);
    fakes::FakeMediaControl* camera = Channel(0);
    for (int i = 0; i < 20; ++i) {
        camera->inputs.push_back("Input " + std::to_string(i));
    }
    for (int i = 0; i < 30; ++i) {
        camera->formats.push_back({160 + 16 * i, 120 + 8 * i});
    }
    room.limits.maxPixels = 0;
    ASSERT_EQ(m.StartVideoCapture(0), 1);
    EXPECT_EQ(m.GetInputs(0).count, 16);
    EXPECT_EQ(m.GetInputs(0).names[15], "Input 15");
    EXPECT_EQ(m.GetFormats(0).count, 24);
    EXPECT_EQ(m.GetFormats(0).texts[0], "160 X 120");
    EXPECT_EQ(m.GetFormats(0).texts[23],
              std::to_string(160 + 16 * 23) + " X " + std::to_string(120 + 8 * 23));
}

TEST_F(MediaManagerTest, FormatFilterAndConferenceMaximumPickTheListedFormats) {
    WriteString("VideoFormat", "filter", "1", client);
    WriteString("VideoFormat", "nformatnum", "3", client);
    WriteString("VideoFormat", "0", "320*240", client);
    WriteString("VideoFormat", "1", "1280*720", client);
    WriteString("VideoFormat", "2", "640*480", client);
    XMediaManager& m = Create(1);
    Channel(0)->formats = {{160, 120}, {320, 240}, {640, 480}, {1280, 720}};
    room.limits.maxPixels = 640 * 480;
    m.StartVideoCapture(0);
    const auto& f = m.GetFormats(0);
    ASSERT_EQ(f.count, 2);
    EXPECT_EQ(f.texts[0], "320 X 240");
    EXPECT_EQ(f.texts[1], "640 X 480");
}

TEST_F(MediaManagerTest, FileSourceVoiceIncentiveAndReportedConfiguration) {
    WriteString("VideoConfig-8", "Size", "4", video);  // 352 x 288
    XMediaManager& m = Create(1);
    const std::u16string path = u"/tmp/clip.mkv";
    EXPECT_EQ(m.OpenChannelSource(7, 512, path.c_str()), 1);
    EXPECT_EQ(Matching(fake.Calls(), "Open("),
              std::vector<std::string>{Tag(7) + "Open(7,512,352x288)"});
    EXPECT_EQ(m.OpenChannelSource(3, 512, path.c_str()), 0);  // no object for channel 3
    EXPECT_EQ(m.OpenChannelSource(8, 512, path.c_str()), 0);

    m.SetVoiceIncentive(1);
    EXPECT_EQ(Matching(fake.Calls(), "SetVoiceIncentive").back(), "audio SetVoiceIncentive(1,16)");
    EXPECT_EQ(GetInt("AudioConfig", "voiceincentive", 0, client), 1);

    uint8_t record[16] = {};
    record[4] = 1;
    record[5] = 3;
    record[8] = 2;
    record[12] = 7;
    m.ReportVideoConfig(record);
    EXPECT_EQ(room.calls.back(), "SetConfigBytes(3,1,2,7,255,0)");
}

// --- settings record, block and remote changes ---------------------------------------------

std::vector<uint8_t> RecordOf(const XMediaManager& m) {
    return yav::proto::EncodeRecord(m.GetSettings());
}

TEST_F(MediaManagerTest, ChangesOfAnyOtherSizeAreRefusedWithoutEffect) {
    XMediaManager& m = Create(1);
    m.StartCapture();
    std::vector<uint8_t> change = RecordOf(m);
    change[0] = 1;  // another microphone
    change[14] = 1;
    const size_t callsBefore = fake.Calls().size();
    const std::vector<uint8_t> before = RecordOf(m);
    for (int size : {206, 208, 0}) {
        std::vector<uint8_t> data = change;
        data.resize(static_cast<size_t>(std::max(size, 1)));
        m.SetRemoteParam(data.data(), size);
    }
    m.SetRemoteParam(nullptr, 207);
    EXPECT_EQ(fake.Calls().size(), callsBefore);
    EXPECT_EQ(RecordOf(m), before);
}

TEST_F(MediaManagerTest, AnUnknownSizeIndexFailsThatChannel) {
    XMediaManager& m = Create(2);
    m.StartCapture();
    ASSERT_EQ(m.GetVideoBits(), 3);
    std::vector<uint8_t> change = RecordOf(m);
    change[15 + 24 * 1 + 1] = 24;  // channel 1 size index
    room.calls.clear();
    m.SetRemoteParam(change.data(), 207);
    EXPECT_EQ(m.GetVideoBits(), 1);
    EXPECT_TRUE(room.Has("OnVideoOpenResult(17,0,0)"));
    EXPECT_TRUE(room.Has("SetConfigBytes(1,1,255,255,255,255)"));
    EXPECT_FALSE(room.Has("ShowVideoStoppedNotice"));
    // The last capturing channel failing tells the user.
    change[15 + 1] = 30;
    m.SetRemoteParam(change.data(), 207);
    EXPECT_EQ(m.GetVideoBits(), 0);
    EXPECT_TRUE(room.Has("ShowVideoStoppedNotice"));
}

TEST_F(MediaManagerTest, ChangedSizeRestartsTheCameraAndAudioChangesReachTheEngine) {
    XMediaManager& m = Create(1);
    m.StartCapture();
    std::vector<uint8_t> change = RecordOf(m);
    change[15 + 1] = 7;  // 640 x 360
    change[0] = 1;       // microphone
    change[3] = 9;       // audio format
    change[6] = 1;       // high-loss mode
    const size_t from = fake.Calls().size();
    m.SetRemoteParam(change.data(), 207);
    const auto calls = fake.Calls();
    const std::vector<std::string> after(calls.begin() + static_cast<long>(from), calls.end());
    EXPECT_EQ(Matching(after, "audio"),
              (std::vector<std::string>{"audio StopCapture", "audio StartCapture(1)",
                                        "audio SetParam(107,9)", "audio SetParam(104,3)"}));
    EXPECT_EQ(Matching(after, "x360").size(), 1u);
    EXPECT_EQ(m.GetSettings().video[0].Size, 7);
    EXPECT_EQ(GetInt("VideoConfig-1", "Size", 0, video), 7);
}

TEST_F(MediaManagerTest, SavedSettingsReadBackWithTheFixedVideoValues) {
    XMediaManager& m = Create(2);
    m.StartCapture();
    std::vector<uint8_t> change = RecordOf(m);
    // The user turned voice processing off.
    change[4] = 0;   // AutoVol
    change[5] = 0;   // VAD
    change[7] = 0;   // AEC
    change[8] = 0;   // ANS
    change[9] = 1;   // AGC
    change[10] = 1;  // LocalPlay
    uint8_t* r1 = change.data() + 15 + 24;
    r1[0] = 2;      // Input
    r1[2] = 3;      // Codec
    r1[4] = 30;     // FrameRate
    r1[5] = 25;     // KeyInterval
    r1[13] = 4;     // MaxBitrate
    r1[15] = 3;     // CommPort
    r1[16] = 2;     // CameraType
    r1[17] = 2;     // NetStatus
    r1[18] = 9;     // CommAddr
    r1[20] = 0x80;  // CameBtl 4800
    r1[21] = 0x12;
    m.SetRemoteParam(change.data(), 207);

    for (const char* key : {"AutoVol", "VAD", "AEC", "ANS"}) {
        EXPECT_EQ(GetInt("AudioConfig", key, -1, video), 0) << key;
    }
    EXPECT_EQ(GetInt("AudioConfig", "AGC", -1, video), 1);
    EXPECT_EQ(GetInt("AudioConfig", "LocalPlay", -1, video), 0);
    const XMediaManager reread;
    const ST_MEDIA_SETTINGS& s = reread.GetSettings();
    EXPECT_EQ(s.AutoVol, 0);
    EXPECT_EQ(s.VAD, 0);
    EXPECT_EQ(s.AEC, 0);
    EXPECT_EQ(s.ANS, 0);
    EXPECT_EQ(s.AGC, 1);
    const ST_VIDEO_PARAM& v = s.video[1];
    EXPECT_EQ(v.Input, 2);
    EXPECT_EQ(v.KeyInterval, 25);
    EXPECT_EQ(v.CommPort, 3);
    EXPECT_EQ(v.CameraType, 2);
    EXPECT_EQ(v.CommAddr, 9);
    EXPECT_EQ(v.CameBtl, 0x1280);
    // Codec, frame rate, network preset and maximum bit rate are written fixed.
    EXPECT_EQ(v.Codec, 0);
    EXPECT_EQ(v.FrameRate, 15);
    EXPECT_EQ(v.NetStatus, 1);
    EXPECT_EQ(v.MaxBitrate, 0);
    EXPECT_EQ(GetInt("VideoConfig-2", "CameraType", 0, video), 2);
}

// The strings of a list field, up to its first empty one.
std::vector<std::string> ListAt(const XMediaManager::DeviceBlock& block, size_t at, size_t size) {
    std::vector<std::string> out;
    size_t offset = at;
    while (offset < at + size && block[offset] != 0) {
        const char* text = reinterpret_cast<const char*>(block.data() + offset);
        out.emplace_back(text, strnlen(text, at + size - offset));
        offset += out.back().size() + 1;
    }
    return out;
}

TEST_F(MediaManagerTest, DeviceBlockListsStopAtTheFirstEntryThatDoesNotFit) {
    fake.microphones.clear();
    // 10 names of 30 bytes (31 with the NUL): 8 fit the 250-byte list (248 used, 2 kept free).
    for (int i = 0; i < 10; ++i) {
        fake.microphones.push_back(std::string(29, static_cast<char>('a' + i)) + "!");
    }
    XMediaManager& m = Create(0);
    const XMediaManager::DeviceBlock& block = m.GetDeviceBlock();
    m.BuildDeviceLists();
    const auto mics = ListAt(block, 3731, 250);
    ASSERT_EQ(mics.size(), 8u);
    EXPECT_EQ(mics[7], std::string(29, 'h') + "!");
    EXPECT_EQ(block[3731 + 248], 0);
    EXPECT_EQ(block[3731 + 249], 0);
    EXPECT_EQ(ListAt(block, 3981, 250), (std::vector<std::string>{"Speaker A", "Speaker B"}));
    const auto formats = ListAt(block, 4231, 250);
    ASSERT_FALSE(formats.empty());
    EXPECT_EQ(formats[0].size(), 3 + std::strlen(formats[0].c_str() + 3));
    EXPECT_TRUE(std::all_of(formats[0].begin(), formats[0].begin() + 3, ::isdigit));
    EXPECT_EQ(ListAt(block, 607, 100), std::vector<std::string>{"H.264"});
    // The record leads the block.
    const auto record = RecordOf(m);
    EXPECT_TRUE(std::equal(record.begin(), record.end(), block.begin()));
}

TEST_F(MediaManagerTest, DeviceNamesFillTheir400BytesAndInputsFollowAt707) {
    // Cameras whose names take 99 bytes each with the NUL: four fit in 398, a fifth does not.
    fake.cameras.clear();
    for (int i = 0; i < 6; ++i) {
        fake.cameras.push_back(
            {"/dev/video" + std::to_string(i), std::string(98, static_cast<char>('A' + i))});
    }
    room.limits.channels = 8;
    media = std::make_unique<XMediaManager>();
    media->SetRoom(&room);
    ASSERT_TRUE(media->CreateMedia(&handler));
    for (fakes::FakeMediaControl* c : fake.Live()) {
        c->inputs = {"Composite", "S-Video"};
    }
    media->StartCapture();
    const XMediaManager::DeviceBlock& block = media->GetDeviceBlock();
    const auto names = ListAt(block, 207, 400);
    ASSERT_EQ(names.size(), 4u);
    EXPECT_EQ(names[3], std::string(98, 'D'));
    EXPECT_EQ(block[606], 0);
    EXPECT_EQ(ListAt(block, 707 + 250 * 5, 250),
              (std::vector<std::string>{"Composite", "S-Video"}));
    // The local device dialog's copy: a fresh record, the inputs written again.
    XMediaManager::DeviceBlock copy{};
    media->GetDeviceParam(&copy);
    EXPECT_EQ(ListAt(copy, 707 + 250 * 5, 250), (std::vector<std::string>{"Composite", "S-Video"}));
    EXPECT_EQ(ListAt(copy, 207, 400), names);
    const auto record = RecordOf(*media);
    EXPECT_TRUE(std::equal(record.begin(), record.end(), copy.begin()));
    media->SendDeviceParam(99);
    EXPECT_EQ(room.calls.back(), "Transmit(99,260,4481)");
    EXPECT_TRUE(std::equal(room.sent.begin(), room.sent.end(), block.begin()));
}

// --- hot-plug -------------------------------------------------------------------------------

class HotPlugTest : public MediaManagerTest {
protected:
    void Unplug(int n) {
        Channel(n)->deviceLost = true;
        fake.cameras.erase(fake.cameras.begin() + n);
        media->CheckCameraState();
    }
    void Replug(int n) {
        fake.cameras.insert(fake.cameras.begin() + n,
                            {"/dev/video" + std::to_string(n), "Cam " + std::to_string(n)});
        media->CaptureInsertedDevices();
    }
    size_t Starts(int n) { return Matching(fake.Calls(), Tag(n) + "StartCapture(").size(); }
};

TEST_F(HotPlugTest, BroadcastCameraBackWithin15SecondsKeepsItsKeyAndBroadcast) {
    XMediaManager& m = Create(2);
    m.StartCapture();
    room.broadcast = {17};
    Unplug(1);
    EXPECT_EQ(m.GetRemovedDevices().count(1), 1u);
    EXPECT_EQ(m.GetDevices().count(1), 0u);
    EXPECT_EQ(m.GetVideoBits(), 1);
    EXPECT_TRUE(room.Has("SetDevicePollTimer(1)"));
    EXPECT_EQ(room.calls.back(), "SetConfigBytes(1,255,1,0,255,0)");
    now += 10000;
    m.OnRemovedDeviceTimeout();
    EXPECT_FALSE(room.Has("BroadcastVideo(17,0)"));
    const size_t before = Starts(1);
    Replug(1);
    EXPECT_EQ(Starts(1), before + 1);
    EXPECT_EQ(m.GetDevices().at(1).path, "/dev/video1");
    EXPECT_TRUE(m.GetRemovedDevices().empty());
    EXPECT_EQ(m.GetVideoBits(), 3);
    now += 20000;
    m.OnRemovedDeviceTimeout();
    EXPECT_FALSE(room.Has("BroadcastVideo(17,0)"));
    EXPECT_EQ(room.calls.back(), "SetDevicePollTimer(0)");
}

TEST_F(HotPlugTest, BroadcastCameraGoneFor15SecondsEndsItsBroadcast) {
    XMediaManager& m = Create(2);
    m.StartCapture();
    room.broadcast = {17};
    Unplug(1);
    now += 15000;
    m.OnRemovedDeviceTimeout();
    EXPECT_FALSE(room.Has("BroadcastVideo(17,0)")) << "15 s exactly is not over";
    now += 1;
    m.OnRemovedDeviceTimeout();
    EXPECT_TRUE(room.Has("BroadcastVideo(17,0)"));
    EXPECT_EQ(room.calls.back(), "SetDevicePollTimer(0)");
    EXPECT_TRUE(m.GetRemovedDevices().empty());
    // Back after that: captured again as a new camera in the first free place.
    const size_t before = Starts(1);
    Replug(1);
    EXPECT_EQ(Starts(1), before + 1);
    EXPECT_EQ(m.GetDevices().count(1), 1u);
}

TEST_F(HotPlugTest, CameraNotBroadcastLeavesNoRemovedEntry) {
    XMediaManager& m = Create(2);
    m.StartCapture();
    Unplug(1);
    EXPECT_TRUE(m.GetRemovedDevices().empty());
    EXPECT_FALSE(room.Has("SetDevicePollTimer(1)"));
    EXPECT_EQ(m.GetChannelCount(), 1);
}

TEST_F(HotPlugTest, AnInsertedCameraBeyondTheCreatedChannelsGetsANewChannel) {
    XMediaManager& m = Create(1);
    m.StartCapture();
    ASSERT_EQ(m.GetLocalVideo(1), nullptr);
    fake.cameras.push_back({"/dev/video5", "Cam 5"});
    m.CaptureInsertedDevices();
    ASSERT_NE(m.GetLocalVideo(1), nullptr);
    const std::string tag = Tag(1);
    const auto calls = Matching(fake.Calls(), tag);
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls[0], tag + "SetHandler");
    EXPECT_EQ(Matching(calls, "Login").at(0), tag + "Login(17,127.0.0.1,9000,5,77)");
    EXPECT_EQ(Matching(calls, "StartCapture(").size(), 1u);
    EXPECT_EQ(m.GetDevices().at(1).path, "/dev/video5");
    EXPECT_EQ(m.GetDevices().at(1).pos, 1);
}

TEST_F(HotPlugTest, SingleCaptureModeSwitchesTheOneCamera) {
    g_AppSettings.bVideoCapMode = 1;
    XMediaManager& m = Create(3);
    m.StartCapture();
    EXPECT_EQ(m.GetDevicePath(0), "/dev/video0");
    m.SwitchCurrentCamera(2);
    EXPECT_EQ(m.GetDevicePath(0), "/dev/video2");
    EXPECT_EQ(g_AppSettings.CurCapVideoID, 2);
    EXPECT_EQ(GetInt("VideoParam", "CurCapVideoID", 0, video), 2);
    EXPECT_EQ(Matching(fake.Calls(), "/dev/video2").size(), 1u);
    m.SwitchCurrentCamera(2);  // the same camera: nothing happens
    EXPECT_EQ(Matching(fake.Calls(), "/dev/video2").size(), 1u);
}

}  // namespace
