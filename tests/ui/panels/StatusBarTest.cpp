// The status bar against a table audio engine and a test clock: the level animation and mute
// sync of the audio poll, volumes both ways, the network tip's pacing, the speak and presenter
// captions, recording, the separator strip; grabs of the bar, the slider, the tip and the
// statistics window at both scales.

#include <QApplication>
#include <QCursor>
#include <QDir>

#include <gtest/gtest.h>

#include "ConfigManger.h"
#include "PanelTestSupport.h"
#include "client/Common/MessageIds.h"
#include "client/config/AppSettings.h"
#include "client/dialogs/panels/CDlgStatusBar.h"
#include "client/dialogs/panels/NetQualityEval.h"
#include "client/dialogs/panels/RoundTripProbe.h"
#include "components/protocol/UdpProbe.h"
#include "platform/window/Compositing.h"
#include "platform/window/Scaled.h"
#include "platform/window/testing/WindowTesting.h"

namespace panels_test {
namespace {

using yav::testing::TimerDriver;

class StatusBarTest : public ::testing::Test {
protected:
    void SetUp() override {
        bar = std::make_unique<CDlgStatusBar>(&room.window);
        ASSERT_TRUE(bar->Create(CDlgStatusBar::IDD, &room.window));
        bar->MoveWindow(0, room.window.height() - yav::Scaled(44), yav::Scaled(960),
                        yav::Scaled(44));
        bar->ShowWindow(SW_SHOW);
        bar->CreatePopups();
    }
    void Poll() { ASSERT_TRUE(TimerDriver::Fire(*bar, CDlgStatusBar::kAudioPollTimer)); }

    Room room;
    TableAudioEngine engine;
    std::unique_ptr<CDlgStatusBar> bar;
};

TEST_F(StatusBarTest, TheMicrophoneIconCyclesItsFramesWhileSoundIsPresent) {
    bar->SetAudioControl(&engine);
    engine.values[CDlgStatusBar::kPropMicLevel] = 40;
    std::vector<UINT> frames;
    for (int i = 0; i < 4; ++i) {
        Poll();
        frames.push_back(bar->GetMicFrameImage());
    }
    EXPECT_EQ(frames, (std::vector<UINT>{978, 980, 674, 978}));
    // Silence brings the first frame back and keeps it.
    engine.values[CDlgStatusBar::kPropMicLevel] = 0;
    Poll();
    Poll();
    EXPECT_EQ(bar->GetMicFrameImage(), 674U);
    // The speaker animates by its own level.
    engine.values[CDlgStatusBar::kPropSpeakerLevel] = 1;
    Poll();
    EXPECT_EQ(bar->GetSpeakerFrameImage(), 982U);
}

TEST_F(StatusBarTest, MuteStatesFollowTheEngineAndAMutedIconStandsStill) {
    bar->SetAudioControl(&engine);
    engine.values[CDlgStatusBar::kPropMicMute] = 1;
    engine.values[CDlgStatusBar::kPropMicLevel] = 50;
    Poll();
    EXPECT_EQ(bar->IsMicMuted(), 1);
    EXPECT_EQ(bar->Button(CDlgStatusBar::IDC_MIC).GetState(), 1U);
    EXPECT_EQ(bar->GetMicFrameImage(), 674U);
    engine.values[CDlgStatusBar::kPropMicMute] = 0;
    Poll();
    EXPECT_EQ(bar->IsMicMuted(), 0);
    EXPECT_EQ(bar->Button(CDlgStatusBar::IDC_MIC).GetState(), 0U);
    EXPECT_EQ(bar->GetMicFrameImage(), 978U);
    // The button toggles the engine's microphone mute.
    engine.writes.clear();
    bar->OnBtnMic();
    EXPECT_EQ(engine.writes, (std::vector<std::pair<int, int>>{{CDlgStatusBar::kPropMicMute, 1}}));
    EXPECT_EQ(bar->Button(CDlgStatusBar::IDC_MIC).GetState(), 1U);
}

TEST_F(StatusBarTest, ANewEngineStartsUnmutedWithItsVolumesShown) {
    engine.values = {{CDlgStatusBar::kPropSpeakerVolume, 70},
                     {CDlgStatusBar::kPropMicVolume, 30},
                     {CDlgStatusBar::kPropSpeakerMute, 1},
                     {CDlgStatusBar::kPropMicMute, 1}};
    bar->SetAudioControl(&engine);
    EXPECT_EQ(engine.writes, (std::vector<std::pair<int, int>>{{CDlgStatusBar::kPropSpeakerMute, 0},
                                                               {CDlgStatusBar::kPropMicMute, 0}}));
    EXPECT_EQ(bar->GetSpeakerVolume(), 70);
    EXPECT_EQ(bar->GetMicVolume(), 30);
    EXPECT_EQ(bar->SpeakerSlider().Slider().GetPos(), 30);
    EXPECT_EQ(bar->MicSlider()->Slider().GetPos(), 70);
}

TEST_F(StatusBarTest, ASliderReleasedAtTheTopSetsLevelHundredAndSettingItWritesNothing) {
    bar->SetAudioControl(&engine);
    engine.writes.clear();
    // The engine's volume moves the slider: no message, nothing written back.
    engine.values[CDlgStatusBar::kPropSpeakerVolume] = 55;
    Poll();
    QApplication::processEvents();
    EXPECT_EQ(bar->SpeakerSlider().Slider().GetPos(), 45);
    EXPECT_TRUE(engine.writes.empty());
    // A release at the top: position 0 is level 100.
    bar->SpeakerSlider().SetVolume(100);
    bar->SpeakerSlider().SendMessage(WM_BITSLIDER_RELEASED, CDlgVolumeControl::IDC_SLIDER, 0);
    QApplication::processEvents();
    EXPECT_EQ(engine.writes,
              (std::vector<std::pair<int, int>>{{CDlgStatusBar::kPropSpeakerVolume, 100}}));
    // The microphone's slider reports its own kind.
    bar->MicSlider()->SetVolume(75);
    bar->MicSlider()->SendMessage(WM_BITSLIDER_RELEASED, CDlgVolumeControl::IDC_SLIDER, 0);
    QApplication::processEvents();
    EXPECT_EQ(engine.writes.back(), (std::pair<int, int>{CDlgStatusBar::kPropMicVolume, 75}));
    // The same level again is not written.
    const size_t writes = engine.writes.size();
    bar->SendMessage(WM_VOLUME_CHANGED, CDlgStatusBar::kMicKind, 25);
    EXPECT_EQ(engine.writes.size(), writes);
}

TEST(VolumeControl, WithoutANotifyWindowAReleasePostsNothing) {
    Room room;
    CDlgVolumeControl slider;
    ASSERT_TRUE(slider.Create(CDlgVolumeControl::IDD, &room.window));
    slider.SendMessage(WM_BITSLIDER_RELEASED, CDlgVolumeControl::IDC_SLIDER, 0);
    QApplication::processEvents();
    EXPECT_TRUE(room.window.Of(WM_VOLUME_CHANGED).empty());
    slider.SetNotify(&room.window, 7);
    slider.SetVolume(67);
    slider.SendMessage(WM_BITSLIDER_RELEASED, CDlgVolumeControl::IDC_SLIDER, 0);
    QApplication::processEvents();
    const auto posted = room.window.Of(WM_VOLUME_CHANGED);
    ASSERT_EQ(posted.size(), 1U);
    EXPECT_EQ(posted[0].wParam, 7U);
    EXPECT_EQ(posted[0].lParam, 33);
    EXPECT_EQ(slider.GetWindowRect().size(), yav::ScaledSize(20, 110));
}

TEST_F(StatusBarTest, WithoutAnEngineEverythingReadsZero) {
    bar->SetAudioControl(&engine);
    engine.values[CDlgStatusBar::kPropMicLevel] = 50;
    engine.values[CDlgStatusBar::kPropMicVolume] = 60;
    Poll();
    ASSERT_EQ(bar->GetMicFrameImage(), 978U);
    bar->SetAudioControl(nullptr);
    Poll();
    EXPECT_EQ(bar->GetMicFrameImage(), 674U);
    EXPECT_EQ(bar->GetMicVolume(), 0);
    bar->OnBtnMic();
    EXPECT_EQ(bar->IsMicMuted(), 1);
}

TEST_F(StatusBarTest, ABadNetworkShowsTheTipAtMostOncePerNinetySeconds) {
    struct Case {
        int smart;
        int prompt;
        int expectedShows;
    } cases[] = {{0, 1, 3}, {1, 1, 0}, {0, 0, 0}};
    for (const Case& c : cases) {
        const int savedSmart = g_nSmartAdjust;
        const int savedPrompt = g_nNetAutoPrompt;
        g_nSmartAdjust = c.smart;
        g_nNetAutoPrompt = c.prompt;
        TestClock clock(5000000);
        int shows = 0;
        // Level 0 reported every second for 200 s: shown at 0, 90 and 180 s.
        for (int second = 0; second < 200; ++second) {
            bar->SetNetQualityLevel(0);
            if (bar->NetTip()->IsWindowVisible()) {
                ++shows;
                bar->NetTip()->ShowWindow(SW_HIDE);
            }
            clock.Advance(1000);
        }
        EXPECT_EQ(shows, c.expectedShows) << c.smart << c.prompt;
        EXPECT_EQ(bar->GetNetLevel(), 0);
        EXPECT_EQ(bar->NetTip()->GetLevel(), 0);
        bar->SetNetQualityLevel(2);
        g_nSmartAdjust = savedSmart;
        g_nNetAutoPrompt = savedPrompt;
    }
}

TEST_F(StatusBarTest, TheTipSitsAboveTheNetworkIndicator) {
    ASSERT_TRUE(bar->ShowNetTip());
    const QRect indicator = bar->Button(CDlgStatusBar::IDC_NETWORK).GetWindowRect();
    const QRect tip = bar->NetTip()->GetWindowRect();
    EXPECT_EQ(tip.left(), indicator.left() + 5);
    EXPECT_EQ(tip.top(), indicator.top() - yav::Scaled(155));
    EXPECT_EQ(tip.size(), yav::ScaledSize(215, 125));
}

TEST_F(StatusBarTest, SpeakAndPresenterStatesPickCaptionsAndTheStripCode) {
    std::vector<int> codes;
    bar->SetSpeakCodeSink([&](int code) { codes.push_back(code); });
    struct Case {
        int speak;
        int caption;
        std::uint32_t checked;
        int code;
        int status;
    } cases[] = {
        {2, 2359, 0, 6, 3223}, {1, 874, 1, 4, 3256}, {0, 871, 0, 5, 3256}, {7, 871, 0, 5, 3256}};
    for (const Case& c : cases) {
        room.host.speakState = c.speak;
        bar->OnSpeakStateChanged();
        EXPECT_EQ(bar->Button(CDlgStatusBar::IDC_HAND).GetWindowText(), LoadLangString(c.caption));
        EXPECT_EQ(bar->Button(CDlgStatusBar::IDC_HAND).GetState(), c.checked);
        EXPECT_EQ(codes.back(), c.code);
        EXPECT_EQ(bar->Button(CDlgStatusBar::IDC_STATUS).GetWindowText(), LoadLangString(c.status));
    }
    room.host.speakState = 0;
    room.host.confFlag = true;
    room.host.hotkey = true;
    bar->UpdateRoleTexts();
    EXPECT_EQ(bar->Button(CDlgStatusBar::IDC_STATUS).GetWindowText(), LoadLangString(2914));

    struct Presenter {
        int state;
        bool admin;
        int caption;
        std::uint32_t checked;
        BOOL itemsEnabled;
    } presenters[] = {{0, true, 2890, 0, 0},
                      {0, false, 2893, 0, 0},
                      {1, false, 883, 0, 0},
                      {2, false, 2896, 1, 1}};
    for (const Presenter& p : presenters) {
        room.host.admin = p.admin;
        room.host.presenterState = p.state;
        bar->RefreshUserState();
        EXPECT_EQ(bar->Button(CDlgStatusBar::IDC_PRESENTER).GetWindowText(),
                  LoadLangString(p.caption));
        EXPECT_EQ(bar->Button(CDlgStatusBar::IDC_PRESENTER).GetState(), p.checked);
        for (DWORD item : {32834U, 32835U, 32837U, 32863U}) {
            EXPECT_EQ(bar->ShareMenu()->GetButton(item)->IsWindowEnabled(), p.itemsEnabled);
        }
        EXPECT_TRUE(bar->ShareMenu()->GetButton(32833)->IsWindowEnabled());
    }
}

TEST_F(StatusBarTest, RaiseHandAndPresenterAskTheConferenceCore) {
    bar->SendMessage(WM_COMMAND, CDlgStatusBar::IDC_HAND, 0);
    bar->SendMessage(WM_COMMAND, CDlgStatusBar::IDC_PRESENTER, 0);
    bar->ExecuteDockCommand(3);
    bar->ExecuteDockCommand(2);
    EXPECT_EQ(room.log.Calls(),
              (std::vector<std::string>{"ApplySpeak()", "ApplyPresenter()", "ApplySpeak()"}));
}

TEST_F(StatusBarTest, AMissingRecordingFolderIsReportedInTheUsersLanguage) {
    const QString saved = g_AppSettings.recordpath;
    g_AppSettings.recordpath = QStringLiteral("/proc/self/no-such-folder/records");
    BoxAnswerer boxes;
    bar->StartRecord();
    g_AppSettings.recordpath = saved;
    ASSERT_EQ(boxes.Messages().size(), 1);
    EXPECT_EQ(boxes.Titles()[0], LoadLangString(1));
    EXPECT_EQ(boxes.Messages()[0], LoadLangString(1837));
    EXPECT_EQ(bar->GetRecordingState(), 0);
    EXPECT_EQ(room.log.Count("StartRecord"), 0U);
}

TEST_F(StatusBarTest, SuspendThenResumeRestartsRecordingAndResumeAloneDoesNothing) {
    g_AppSettings.recordpath = QDir::tempPath();
    bar->ResumeRecord();
    EXPECT_EQ(room.log.Count("StartRecord"), 0U);
    bar->StartRecord();
    EXPECT_EQ(bar->GetRecordingState(), 1);
    EXPECT_TRUE(bar->Button(CDlgStatusBar::IDC_RECORDING).isVisibleTo(bar.get()));
    bar->SuspendRecord();
    EXPECT_EQ(bar->GetRecordingState(), 2);
    bar->ResumeRecord();
    EXPECT_EQ(bar->GetRecordingState(), 1);
    EXPECT_EQ(room.log.Calls(),
              (std::vector<std::string>{"StartRecord()", "StopRecord()", "StartRecord()"}));
    // Without the right to record, recording stops.
    bar->CheckRecordRight();
    EXPECT_EQ(bar->GetRecordingState(), 0);
    EXPECT_FALSE(bar->Button(CDlgStatusBar::IDC_RECORDING).isVisibleTo(bar.get()));
}

TEST_F(StatusBarTest, TheSeparatorStripLiesOnTheTopEdgeOnlyWhileTheBarIsShown) {
    // The video area above the bar: a picture the strip lies over by two pixels.
    const QColor red(200, 40, 40);
    QWidget video(&room.window);
    video.setAutoFillBackground(true);
    video.setPalette(QPalette(red));
    const QRect r = bar->geometry();
    video.setGeometry(0, 0, r.width(), r.top());
    video.show();
    bar->PlaceSeparatorStrip();
    CDlgPopSPL* strip = bar->SeparatorStrip();
    ASSERT_TRUE(strip->isVisible());
    // Inside the room beside the bar, from 2 design px above its top edge to 2 px below.
    EXPECT_EQ(strip->parentWidget(), &room.window);
    EXPECT_EQ(strip->geometry(),
              QRect(r.left(), r.top() - yav::Scaled(2), r.width(), yav::Scaled(2) + 2));
    // Composed in the room whatever the screen can do: a faint shade over the video, never a
    // black band.
    for (int composes : {1, 0}) {
        yav::SetTranslucencyOverride(composes);
        const QImage picture = room.window.grab().toImage();
        const QColor over = picture.pixelColor(r.width() / 2, r.top() - 1);
        EXPECT_EQ(picture.pixelColor(r.width() / 2, r.top() - yav::Scaled(2) - 1), red);
        EXPECT_LT(over.red(), red.red()) << composes;
        EXPECT_GT(over.red(), red.red() * 3 / 4) << composes;
        EXPECT_GT(over.green(), red.green() * 3 / 4) << composes;
    }
    yav::SetTranslucencyOverride(-1);
    // Gone with the bar (full screen), back with it; a flat bar has none.
    bar->ShowWindow(SW_HIDE);
    EXPECT_FALSE(strip->isVisible());
    bar->ShowWindow(SW_SHOW);
    EXPECT_TRUE(strip->isVisible());
    bar->MoveWindow(0, 600, 500, 10);
    bar->PlaceSeparatorStrip();
    EXPECT_FALSE(strip->isVisible());
}

TEST_F(StatusBarTest, TheShareMenuOpensUpwardsFromTheShareButton) {
    bar->OnBtnShare();
    ASSERT_TRUE(bar->ShareMenu()->IsWindowVisible());
    const QRect button = bar->Button(CDlgStatusBar::IDC_SHARE).GetWindowRect();
    const QRect menu = bar->ShareMenu()->GetWindowRect();
    EXPECT_EQ(menu.left(), button.left());
    EXPECT_EQ(menu.bottom() + 1, button.top());
    EXPECT_EQ(menu.height(), yav::Scaled(4 * 38 + 45));
    bar->OnBtnShare();
    EXPECT_FALSE(bar->ShareMenu()->IsWindowVisible());
}

class StatusBarGrab : public ::testing::TestWithParam<double> {};

TEST_P(StatusBarGrab, TheBarItsSliderTipAndStatistics) {
    ScaleGuard scale(GetParam());
    Room room;
    TableAudioEngine engine;
    CDlgStatusBar bar(&room.window);
    ASSERT_TRUE(bar.Create(CDlgStatusBar::IDD, &room.window));
    bar.MoveWindow(0, 0, yav::Scaled(960), yav::Scaled(44));
    bar.ShowWindow(SW_SHOW);
    bar.CreatePopups();
    bar.SetAudioControl(&engine);
    engine.values[CDlgStatusBar::kPropMicLevel] = 60;
    TimerDriver::Fire(bar, CDlgStatusBar::kAudioPollTimer);

    const QImage picture = SaveGrab(bar, "status_bar");
    EXPECT_EQ(picture.size(), yav::ScaledSize(960, 44));
    // The panel colour around the buttons, the separator line at x 184.
    EXPECT_EQ(picture.pixelColor(yav::Scaled(190), yav::Scaled(5)), QColor(0xDD, 0xDD, 0xDD));
    EXPECT_EQ(picture.pixelColor(yav::Scaled(184), yav::Scaled(20)), QColor(0x99, 0x99, 0x99));
    // Each device button draws its icon.
    for (int id : {CDlgStatusBar::IDC_CAMERA, CDlgStatusBar::IDC_MIC, CDlgStatusBar::IDC_SPEAKER,
                   CDlgStatusBar::IDC_NETWORK}) {
        const QRect area = bar.Button(id).geometry();
        EXPECT_GT(PixelsNot(picture, area, QColor(0xDD, 0xDD, 0xDD)), 20) << id;
    }

    bar.OnBtnShare();
    ASSERT_TRUE(bar.ShareMenu()->IsWindowVisible());
    const QImage menu = SaveGrab(*bar.ShareMenu(), "share_menu");
    EXPECT_EQ(menu.size(), yav::ScaledSize(139, 4 * 38 + 45));
    const QColor ground = menu.pixelColor(yav::Scaled(8), yav::Scaled(60));
    EXPECT_GT(PixelsNot(menu, yav::ScaledRect(30, 14, 60, 20), ground), 10);
    bar.OnBtnShare();

    bar.SendMessage(WM_SKINBTN_HOVER, CDlgStatusBar::IDC_SPEAKER, 0);
    ASSERT_TRUE(bar.SpeakerFrame()->IsWindowVisible());
    const QImage slider = SaveGrab(bar.SpeakerSlider(), "volume_slider");
    EXPECT_EQ(slider.size(), yav::ScaledSize(20, 110));
    EXPECT_GT(PixelsNot(slider, slider.rect(), Qt::white), 20);

    bar.SetNetQualityLevel(1);
    ASSERT_TRUE(bar.ShowNetTip());
    const QImage tip = SaveGrab(*bar.NetTip(), "net_tip");
    EXPECT_EQ(tip.size(), yav::ScaledSize(215, 125));
    EXPECT_EQ(tip.pixelColor(tip.width() / 2, tip.height() - yav::Scaled(10)), QColor(Qt::white));
    EXPECT_EQ(bar.NetTip()->LevelLabel().GetWindowText(), CDlgNetTip::LevelText(1));

    bar.Statistics()->SetLevel(1);
    bar.Statistics()->Load().Sample();
    bar.Statistics()->ShowWindow(SW_SHOW);
    const QImage statistics = SaveGrab(*bar.Statistics(), "statistics");
    bar.Statistics()->ShowWindow(SW_HIDE);
    EXPECT_EQ(statistics.size(), yav::ScaledSize(617, 388));
    EXPECT_EQ(statistics.pixelColor(yav::Scaled(300), yav::Scaled(5)), QColor(0x33, 0x85, 0xED));
    EXPECT_GT(PixelsNot(statistics, yav::ScaledRect(24, 97, 200, 20), Qt::white), 20);
}

INSTANTIATE_TEST_SUITE_P(Scales, StatusBarGrab, ::testing::Values(1.0, 1.5));

}  // namespace
}  // namespace panels_test

namespace panels_test {
namespace {

TEST(CallStatistics, OpeningStartsProbeAndSamplingAndClosingStopsThem) {
    Room room;
    room.host.probePort = 9;  // nothing answers there
    CDlgCallStatistics statistics(&room.window);
    ASSERT_TRUE(statistics.Create(CDlgCallStatistics::IDD));
    statistics.ShowOnMonitor();
    ASSERT_TRUE(statistics.IsWindowVisible());
    EXPECT_EQ(statistics.GetTimerElapse(CDlgCallStatistics::kSampleTimer), 3000);
    EXPECT_EQ(statistics.GetTimerElapse(CDlgCallStatistics::kProbeTimer), 100);
    EXPECT_TRUE(statistics.Probe().IsRunning());
    TimerDriver::Fire(statistics, CDlgCallStatistics::kProbeTimer);
    EXPECT_EQ(statistics.Probe().Sent(), 3U);

    // Cumulative counters: the first sample only stores them, rates come one period later.
    room.host.counters[1] = 30000;
    TimerDriver::Fire(statistics, CDlgCallStatistics::kSampleTimer);
    EXPECT_EQ(statistics.Rates().Rate(1), 0);
    room.host.counters[1] = 60000;
    TimerDriver::Fire(statistics, CDlgCallStatistics::kSampleTimer);
    EXPECT_EQ(statistics.Rates().Rate(1), 10000);
    EXPECT_EQ(room.log.Count("GetByteCounters(0)"), 2U);

    statistics.SendMessage(WM_COMMAND, CDlgCallStatistics::IDC_CLOSE, 0);
    EXPECT_FALSE(statistics.IsWindowVisible());
    EXPECT_FALSE(statistics.Probe().IsRunning());
    EXPECT_FALSE(statistics.IsTimerSet(CDlgCallStatistics::kSampleTimer));
    EXPECT_FALSE(statistics.IsTimerSet(CDlgCallStatistics::kProbeTimer));
    EXPECT_EQ(statistics.Rates().Rate(1), 0);
    EXPECT_EQ(room.log.Calls().back(), "GetByteCounters(1)");
    EXPECT_EQ(statistics.Probe().Sent(), 0U);
}

// The probe's cells say "no measurement" where there is nothing to measure by: a probe that
// does not run, or the round trip before the first echo. Loss is a measurement once probes
// went out; an echo gives the round trip in ms.
TEST(CallStatistics, CellsWithoutAMeasurementSaySo) {
    const QString none = LoadLangString(5702);
    ASSERT_NE(none, QStringLiteral("Not found"));
    const RoundTripProbe idle;
    const auto idleTexts = CDlgCallStatistics::FormatProbe(idle);
    for (const QString& text :
         {idleTexts.rttChange, idleTexts.rtt, idleTexts.lost, idleTexts.loss}) {
        EXPECT_EQ(text, none);
    }

    TestClock clock(70000);
    CUdpSocket echo;
    const std::uint16_t echoPort = echo.Create(0);
    ASSERT_NE(echoPort, 0);
    RoundTripProbe probe;
    ASSERT_TRUE(probe.Start("127.0.0.1", echoPort));
    probe.Tick();
    probe.Tick();
    auto texts = CDlgCallStatistics::FormatProbe(probe);
    EXPECT_EQ(texts.rtt, none);
    EXPECT_EQ(texts.rttChange, none);
    EXPECT_EQ(texts.lost, QStringLiteral("3"));
    EXPECT_EQ(texts.loss, QStringLiteral("100%"));

    // The echo of a probe sent 40 ms ago.
    echo.SetPeer("127.0.0.1", probe.LocalPort());
    const auto answer = yav::proto::MakeProbe(70000 - 40);
    ASSERT_TRUE(echo.SendTo(answer.data(), static_cast<std::int32_t>(answer.size())));
    ASSERT_TRUE(yav::testing::WaitUntil([&] { return probe.HasRoundTrip(); }, 5000));
    probe.Tick();
    texts = CDlgCallStatistics::FormatProbe(probe);
    EXPECT_EQ(texts.rtt, QStringLiteral("40 ms"));
    EXPECT_EQ(texts.rttChange, QStringLiteral("0 ms"));
}

TEST(NetTip, SwitchesChangeTheProcessWideFlagsAndTheLinkOpensTheStatistics) {
    Room room;
    const int savedSmart = g_nSmartAdjust;
    const int savedPrompt = g_nNetAutoPrompt;
    CDlgNetTip tip(&room.window);
    ASSERT_TRUE(tip.Create(CDlgNetTip::IDD));
    CDlgCallStatistics statistics(&room.window);
    ASSERT_TRUE(statistics.Create(CDlgCallStatistics::IDD));
    room.host.probePort = 9;
    tip.SendMessage(WM_COMMAND, CDlgNetTip::IDC_SMART, 0);
    EXPECT_EQ(g_nSmartAdjust, savedSmart == 0 ? 1 : 0);
    EXPECT_EQ(tip.SmartSwitch().GetState(), g_nSmartAdjust != 0 ? 1U : 0U);
    EXPECT_EQ(room.log.Calls(), std::vector<std::string>{"RefreshVideoWindows()"});
    tip.SendMessage(WM_COMMAND, CDlgNetTip::IDC_PROMPT, 0);
    EXPECT_EQ(g_nNetAutoPrompt, savedPrompt == 0 ? 1 : 0);
    // Without the statistics window the link does nothing; with it, the tip's level goes along.
    tip.SendMessage(WM_COMMAND, CDlgNetTip::IDC_DETAILS, 0);
    EXPECT_FALSE(statistics.IsWindowVisible());
    tip.SetStatistics(&statistics);
    tip.SetLevel(0);
    EXPECT_EQ(tip.LevelLabel().GetWindowText(),
              QStringLiteral("%1:%2").arg(LoadLangString(580), LoadLangString(3268)));
    tip.SendMessage(WM_COMMAND, CDlgNetTip::IDC_DETAILS, 0);
    EXPECT_TRUE(statistics.IsWindowVisible());
    EXPECT_EQ(statistics.GetLevel(), 0);
    EXPECT_EQ(CDlgCallStatistics::LevelTextId(statistics.GetLevel()), 1519);
    statistics.OnBtnClose();
    tip.SendMessage(WM_COMMAND, CDlgNetTip::IDC_CLOSE, 0);
    EXPECT_FALSE(tip.IsWindowVisible());
    g_nSmartAdjust = savedSmart;
    g_nNetAutoPrompt = savedPrompt;
}

TEST_F(StatusBarTest, TheCameraButtonTogglesAndTellsTheDeviceTest) {
    bar->Button(CDlgStatusBar::IDC_CAMERA).EnableWindow(1);
    bar->OnBtnCamera();
    EXPECT_EQ(bar->Button(CDlgStatusBar::IDC_CAMERA).GetState(), 1U);
    EXPECT_EQ(bar->Button(CDlgStatusBar::IDC_CAMERA).GetTooltipText(), LoadLangString(988));
    bar->OnBtnCamera();
    EXPECT_EQ(bar->Button(CDlgStatusBar::IDC_CAMERA).GetTooltipText(), LoadLangString(985));
    EXPECT_EQ(room.log.Calls(),
              (std::vector<std::string>{"SetTestCameraSwitch(0)", "SetTestCameraSwitch(1)"}));
    // The device test reports the camera: checked when off, nothing when already so.
    bar->SetCameraState(0);
    EXPECT_EQ(bar->Button(CDlgStatusBar::IDC_CAMERA).GetState(), 1U);
    bar->SetCameraState(1);
    EXPECT_EQ(bar->Button(CDlgStatusBar::IDC_CAMERA).GetState(), 0U);
}

TEST_F(StatusBarTest, AVolumeSliderClosesOnceTheCursorLeavesButtonFrameAndGap) {
    bar->SendMessage(WM_SKINBTN_HOVER, CDlgStatusBar::IDC_SPEAKER, 0);
    ASSERT_TRUE(bar->SpeakerFrame()->IsWindowVisible());
    const QRect button = bar->Button(CDlgStatusBar::IDC_SPEAKER).GetWindowRect();
    const QRect frame = bar->SpeakerFrame()->GetWindowRect();
    EXPECT_EQ(frame.left(), button.left() + button.width() / 2 - 27);
    EXPECT_EQ(frame.top(), button.top() - 153);
    QCursor::setPos(frame.center().x(), (frame.bottom() + button.top()) / 2);  // the gap
    TimerDriver::Fire(*bar, CDlgStatusBar::kSpeakerSliderTimer);
    EXPECT_TRUE(bar->SpeakerFrame()->IsWindowVisible());
    QCursor::setPos(frame.right() + 200, frame.top());
    TimerDriver::Fire(*bar, CDlgStatusBar::kSpeakerSliderTimer);
    EXPECT_FALSE(bar->SpeakerFrame()->IsWindowVisible());
    EXPECT_FALSE(bar->SpeakerSlider().IsWindowVisible());
    EXPECT_FALSE(bar->IsTimerSet(CDlgStatusBar::kSpeakerSliderTimer));
}

}  // namespace
}  // namespace panels_test
