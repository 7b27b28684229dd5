// The room with its real panels: the status bar's camera button stops and restarts the
// cameras' capture and sending on the real media component (synthetic devices), the call
// statistics show the component's bit rates, the control bar's layout synchronisation reaches
// the room, controls whose part is missing tell the user, and the status bar fits the room at
// any width.

// The component's own header knows nothing of Qt: it comes before Qt defines its keywords.
#include "components/KroMedia/MediaChannel.h"

#include <QTest>

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <string>

#include "GrabChecks.h"
#include "RoomFixture.h"
#include "UiFonts.h"
#include "client/conference/LayoutCodec.h"
#include "client/dialogs/panels/CDlgCallStatistics.h"
#include "client/dialogs/panels/CDlgControlBar.h"
#include "client/dialogs/panels/CDlgNetTip.h"
#include "client/dialogs/panels/CDlgStatusBar.h"
#include "client/dialogs/panels/PanelChildren.h"
#include "client/ui/CMsgTipsDlg.h"
#include "components/KroMedia/Devices.h"
#include "fakes/media/LoopbackRelay.h"
#include "platform/window/Scaled.h"
#include "ui/controls/ControlTestSupport.h"

namespace room_test {
namespace {

using yav::testing::TimerDriver;
using yav::testing::WaitUntil;

constexpr int kTextUnavailable = 5705;

// The room with the real panels at a scale, the UI font made for it as start-up makes it.
class PanelRoom : public RoomFixture {
protected:
    void SetUp() override {
        RoomFixture::SetUp();
        savedFont = g_fontUI;
        g_fontUI.setPixelSize(yav::Scaled(12));
        yav::panels::InstallPanelFactories(yav::room::Children());
    }
    void TearDown() override {
        RoomFixture::TearDown();
        g_fontUI = savedFont;
    }

    CDlgStatusBar& StatusBar() {
        auto* bar = Find<CDlgStatusBar>();
        EXPECT_NE(bar, nullptr);
        return *bar;
    }
    CDlgControlBar& ControlBar() {
        auto* bar = Find<CDlgControlBar>();
        EXPECT_NE(bar, nullptr);
        return *bar;
    }
    static void Click(QWidget& control) {
        ASSERT_TRUE(control.isVisible()) << control.metaObject()->className();
        ASSERT_TRUE(control.isEnabled()) << control.metaObject()->className();
        QTest::mouseClick(&control, Qt::LeftButton, {}, control.rect().center());
    }

    QFont savedFont;
};

// --- the camera switch and the statistics on the real media component -------------------

class RoomOnDevices : public PanelRoom {
protected:
    void SetUp() override {
        setenv("YAV_TEST_DEVICES", "cam=1,mic=1,spk=1", 1);
        kromedia::DeviceRegistry::Get().Reload();
        PanelRoom::SetUp();
        // A relay that says someone may receive: the component sends nothing otherwise. This
        // user has the floor, so its microphone goes out too.
        ST_CS_SERVER server = frame->GetCsServer();
        std::strcpy(server.mediaAddress, "127.0.0.1");
        server.mediaPort = relay.Port();
        frame->SetCsServer(server);
        fake.users.AddUser(kMyId, u"me").speakState = 2;
        ASSERT_EQ(frame->LoginCs(kConfId, nullptr, 0), 0);
        Open();
        ASSERT_TRUE(media->HasMediaComponent());
        ASSERT_TRUE(TimerDriver::Fire(*frame, CYavClientDlg::TIMER_LOGIN_DATASERVER));
        // The room's capture start, as its timer runs it after entering.
        ASSERT_TRUE(TimerDriver::Fire(*frame, CYavClientDlg::TICAMER_SATRT_PUTRE));
        ASSERT_EQ(media->GetVideoBits(), 1);
        ASSERT_TRUE(WaitUntil([this] { return Sent().video > 0; }, 20000)) << "no video sent";
    }
    void TearDown() override {
        PanelRoom::TearDown();
        unsetenv("YAV_TEST_DEVICES");
        kromedia::DeviceRegistry::Get().Reload();
    }

    struct Counters {
        std::uint64_t audio = 0;
        std::uint64_t video = 0;
    };
    LoopbackRelay relay;
    // What the media component has sent so far.
    Counters Sent() {
        std::uint64_t c[4] = {};
        media->GetByteCounters(c, 0);
        return {c[0], c[2]};
    }
    // The microphone's tone keeps going out: its bytes are the clock of these tests.
    bool AudioGoesOn() {
        const std::uint64_t start = Sent().audio;
        return WaitUntil([&] { return Sent().audio >= start + 2000; }, 20000);
    }
    kromedia::MediaChannel& Camera() {
        auto* channel = dynamic_cast<kromedia::MediaChannel*>(media->GetLocalVideo(0));
        EXPECT_NE(channel, nullptr);
        return *channel;
    }
    // The component's camera source runs.
    bool Captures() {
        double live = 0;
        return Camera().ReadElementProperty("vsrc", "is-live", &live);
    }
    // Its pictures pass to the encoder and out.
    bool Sends() {
        double drop = 1;
        return Camera().ReadElementProperty("vsend", "drop", &drop) && drop == 0;
    }
    // The video bits the server last heard of (the second option byte the room sends).
    std::string LastVideoBits() {
        const auto calls = log.Matching("SetConfOptions(");
        if (calls.empty()) {
            return "";
        }
        const std::string& call = calls.back();
        const size_t first = call.find(',');
        return call.substr(first + 1, call.find(',', first + 1) - first - 1);
    }
};

TEST_F(RoomOnDevices, TheCameraButtonStopsCaptureAndSendingAndStartsThemAgain) {
    CYavPngButton& camera = StatusBar().Button(CDlgStatusBar::IDC_CAMERA);
    ASSERT_TRUE(Captures());
    ASSERT_TRUE(Sends());

    Click(camera);
    EXPECT_EQ(camera.GetState(), 1U);
    EXPECT_EQ(camera.GetTooltipText(), LoadLangString(988));
    EXPECT_FALSE(media->AreCamerasOn());
    EXPECT_FALSE(Captures()) << "the camera still captures";
    EXPECT_FALSE(Sends());
    EXPECT_EQ(media->GetVideoBits(), 0);
    EXPECT_EQ(LastVideoBits(), "0") << "the others are not told the camera is off";
    // Whatever was under way has left; from now on no video byte goes out.
    ASSERT_TRUE(AudioGoesOn());
    const std::uint64_t stopped = Sent().video;
    ASSERT_TRUE(AudioGoesOn());
    EXPECT_EQ(Sent().video, stopped) << "video still goes out with the camera off";
    // Nothing else turns it on behind the user's back (a camera plugged in, a setting).
    EXPECT_EQ(media->StartVideoCapture(0), 0);
    EXPECT_FALSE(Captures());

    Click(camera);
    EXPECT_EQ(camera.GetState(), 0U);
    EXPECT_EQ(camera.GetTooltipText(), LoadLangString(985));
    EXPECT_TRUE(media->AreCamerasOn());
    EXPECT_TRUE(Captures());
    EXPECT_TRUE(Sends());
    EXPECT_EQ(media->GetVideoBits(), 1);
    EXPECT_EQ(LastVideoBits(), "1");
    const std::uint64_t resumed = Sent().video;
    EXPECT_TRUE(WaitUntil([&] { return Sent().video > resumed; }, 20000)) << "no video again";
}

TEST_F(RoomOnDevices, TheStatisticsShowTheBitRatesTheComponentCounts) {
    CDlgStatusBar& status = StatusBar();
    ASSERT_TRUE(TimerDriver::Fire(status, CDlgStatusBar::kCreatePopupsTimer));
    // The network indicator opens the tip, the tip's link the statistics.
    Click(status.Button(CDlgStatusBar::IDC_NETWORK));
    CDlgNetTip* tip = status.NetTip();
    ASSERT_NE(tip, nullptr);
    ASSERT_TRUE(tip->IsWindowVisible());
    QWidget* details = tip->GetDlgItem(CDlgNetTip::IDC_DETAILS);
    ASSERT_NE(details, nullptr);
    Click(*details);
    CDlgCallStatistics* statistics = status.Statistics();
    ASSERT_NE(statistics, nullptr);
    ASSERT_TRUE(statistics->IsWindowVisible());

    // The first sample only takes the counters; the next one has rates.
    ASSERT_TRUE(TimerDriver::Fire(*statistics, CDlgCallStatistics::kSampleTimer));
    const Counters first = Sent();
    ASSERT_TRUE(WaitUntil([&] { return Sent().video > first.video + 3000; }, 20000));
    ASSERT_TRUE(TimerDriver::Fire(*statistics, CDlgCallStatistics::kSampleTimer));
    EXPECT_GT(Bitrates::Kbps(statistics->Rates().Rate(2)), 0) << "video sent";
    EXPECT_GT(statistics->Rates().Rate(0), 0) << "audio sent";
    EXPECT_EQ(statistics->Rates().Rate(3), 0) << "nothing received";

    // Closing resets the component's counters.
    const std::uint64_t before = Sent().video;
    QWidget* close = statistics->GetDlgItem(CDlgCallStatistics::IDC_CLOSE);
    ASSERT_NE(close, nullptr);
    Click(*close);
    EXPECT_FALSE(statistics->IsWindowVisible());
    EXPECT_LT(Sent().video, before);
}

// --- layout synchronisation and missing parts ---------------------------------------------

class RoomPanelActions : public PanelRoom {};

TEST_F(RoomPanelActions, LayoutSynchronisationTogglesTheRoomsOwnLayout) {
    g_AppSettings.freeLayout = 0;
    // An administrator who does not lead: the room follows the leader until the click.
    frame->GetConfManager()->GetLoginInfo().kind = 0;
    Open();
    // The room shows a layout the leader sent: one video with the document.
    yav::layout::WindowLayout followed;
    followed.SetLayoutMode(1);
    followed.SetWindowMode(8);
    frame->SetRoomLayoutForTest(followed.Bytes());
    CYavPngButton& sync = ControlBar().Button(CDlgControlBar::IDC_SYNC_LAYOUT);
    ASSERT_TRUE(frame->IsMyRoleState0or5());
    ASSERT_FALSE(frame->IsMyRoleState2());

    Click(sync);
    EXPECT_EQ(g_AppSettings.freeLayout, 1) << "the room keeps no layout of its own";
    // Its own layout starts from the default arrangement.
    const auto own = yav::layout::WindowLayout::FromBytes(frame->GetLayoutSlot(0));
    ASSERT_TRUE(own.has_value());
    EXPECT_EQ(own->LayoutMode(), 4);
    EXPECT_EQ(own->WindowMode(), 2);
    EXPECT_EQ(sync.GetState(), 1U);
    EXPECT_EQ(sync.GetWindowText(), LoadLangString(2881));

    Click(sync);
    EXPECT_EQ(g_AppSettings.freeLayout, 0) << "the room does not follow the leader again";
    EXPECT_EQ(sync.GetState(), 0U);
    EXPECT_EQ(sync.GetWindowText(), LoadLangString(2878));
    EXPECT_EQ(Sent(258).size(), 0u) << "only the leader sends its layout";
}

TEST_F(RoomPanelActions, ControlsWithoutTheirPartTellTheUser) {
    // A chair: the meeting menu's recording item is open to it.
    frame->GetConfManager()->GetLoginInfo().kind = 0;
    Open();
    CDlgControlBar& bar = ControlBar();
    CDlgStatusBar& status = StatusBar();
    ASSERT_TRUE(TimerDriver::Fire(bar, CDlgControlBar::kCreatePopupsTimer));
    const QString unavailable = LoadLangString(kTextUnavailable);
    auto tipText = [this]() -> QString {
        CMsgTipsDlg* tip = frame->GetTipsHolder().GetTip();
        return tip != nullptr && tip->isVisible() ? tip->GetLabel().GetWindowText() : QString();
    };

    const struct {
        const char* what;
        std::function<QWidget*()> control;
    } cases[] = {
        {"settings", [&] { return &bar.Button(CDlgControlBar::IDC_SETTINGS); }},
        {"device test", [&] { return &status.Button(CDlgStatusBar::IDC_DEVICE_TEST); }},
        {"recording, meeting menu",
         [&]() -> QWidget* {
             Click(bar.Button(CDlgControlBar::IDC_MEETING));
             return bar.MeetingMenu()->GetButton(32783);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        frame->GetTipsHolder().CloseTip();
        QWidget* control = c.control();
        ASSERT_NE(control, nullptr);
        Click(*control);
        EXPECT_TRUE(WaitUntil([&] { return tipText() == unavailable; }, 3000))
            << "tip: " << tipText().toStdString();
    }
}

// --- the status bar at the room's widths ----------------------------------------------------

class RoomStatusBarFit : public PanelRoom, public ::testing::WithParamInterface<double> {
protected:
    double Scale() const override { return GetParam(); }

    // The rectangle a control shows in, in the bar: a grown button draws inside its margins.
    static QRect Shown(const CYavPngButton& button) {
        return button.GetDrawRect().translated(button.geometry().topLeft());
    }

    // Grabs the bar as it stands and checks it: its size, nothing shown over anything else,
    // every shown label with its whole text, every shown button painted.
    void CheckBar(CDlgStatusBar& bar, const std::string& where) {
        SCOPED_TRACE(where);
        const QImage picture = bar.grab().toImage();
        ASSERT_EQ(picture.size(), bar.size());
        const int ids[] = {
            CDlgStatusBar::IDC_CAMERA,      CDlgStatusBar::IDC_MIC,     CDlgStatusBar::IDC_SPEAKER,
            CDlgStatusBar::IDC_DEVICE_TEST, CDlgStatusBar::IDC_NETWORK, CDlgStatusBar::IDC_STATUS,
            CDlgStatusBar::IDC_RECORDING,   CDlgStatusBar::IDC_SHARE,   CDlgStatusBar::IDC_HAND,
            CDlgStatusBar::IDC_PRESENTER,   CDlgStatusBar::IDC_REMOTE};
        std::vector<std::pair<int, QRect>> shown;
        for (const int id : ids) {
            CYavPngButton& button = bar.Button(id);
            if (!button.isVisibleTo(&bar)) {
                continue;
            }
            const QRect rect = Shown(button);
            EXPECT_TRUE(bar.rect().contains(rect)) << id;
            EXPECT_GT(PixelsUnlike(picture, rect, QColor(0xDD, 0xDD, 0xDD)), 0) << id;
            for (const auto& [other, otherRect] : shown) {
                EXPECT_FALSE(rect.intersects(otherRect)) << id << " over " << other;
            }
            shown.emplace_back(id, rect);
            if (button.GetShowText() != 0 && !button.GetWindowText().isEmpty()) {
                QString text;
                for (const auto& line : button.GetCaptionLayout()) {
                    text += line.text;
                }
                if (id == CDlgStatusBar::IDC_STATUS || id == CDlgStatusBar::IDC_RECORDING) {
                    EXPECT_EQ(text, button.GetWindowText()) << id << ": the label is cut";
                }
            }
        }
        // The buttons the user needs most are there at any width a room has.
        for (const int id :
             {CDlgStatusBar::IDC_CAMERA, CDlgStatusBar::IDC_MIC, CDlgStatusBar::IDC_HAND}) {
            EXPECT_TRUE(bar.Button(id).isVisibleTo(&bar)) << id;
        }
    }

    static int PixelsUnlike(const QImage& picture, const QRect& area, const QColor& colour) {
        int count = 0;
        const QRect inside = area.intersected(picture.rect());
        for (int y = inside.top(); y <= inside.bottom(); ++y) {
            for (int x = inside.left(); x <= inside.right(); ++x) {
                count += picture.pixelColor(x, y) != colour ? 1 : 0;
            }
        }
        return count;
    }
};

TEST_P(RoomStatusBarFit, NothingOverlapsAtTheRoomsWidthNorAtAnyOther) {
    // English: the longest status texts; a recording under way shows its mark.
    g_ConfigManager.SetLanguage(1);
    Open();
    CDlgStatusBar& bar = StatusBar();
    bar.ShowRecordIndicator(SW_SHOW);
    bar.UpdateRoleTexts();
    ASSERT_EQ(bar.Button(CDlgStatusBar::IDC_STATUS).GetWindowText(), LoadLangString(3256));
    // The room as it opened: the work area, less the participant panel beside the bar.
    EXPECT_EQ(bar.width(), frame->GetClientRect().width() - yav::Scaled(320));
    CheckBar(bar, "the room's own width");
    controls_test::SaveGrab(bar, Name("room_status_bar", GetParam()));

    // The room sets no least width: the bar fits whatever it is given, from a room that leaves
    // it 180 design px beside the participant panel up to a wide monitor.
    const int height = frame->GetClientRect().height();
    for (int width = yav::Scaled(320 + 180); width <= yav::Scaled(1500); width += 11) {
        frame->MoveWindow(0, 0, width, height);
        ASSERT_EQ(bar.width(), width - yav::Scaled(320));
        CheckBar(bar, "room width " + std::to_string(width));
        if (HasFailure()) {
            break;
        }
    }
    // Wide enough, every caption is back and the label stands where it always stood.
    frame->MoveWindow(0, 0, yav::Scaled(1500), height);
    EXPECT_EQ(bar.Button(CDlgStatusBar::IDC_SHARE).GetShowText(), 1);
    EXPECT_EQ(bar.Button(CDlgStatusBar::IDC_STATUS).geometry().left(), yav::Scaled(203));
    g_ConfigManager.SetLanguage(0);
}

INSTANTIATE_TEST_SUITE_P(Scales, RoomStatusBarFit, ::testing::Values(1.0, 1.5));

}  // namespace
}  // namespace room_test
