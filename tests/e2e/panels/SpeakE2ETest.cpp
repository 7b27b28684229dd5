// The status bar's raise-hand and presenter buttons against a real yavserver: the requests
// reach the chair, and when the chair grants the floor both speak captions (the status bar's
// and the full-screen strip's) read "stop speaking".

#include <gtest/gtest.h>

#include "ConfigManger.h"
#include "client/conference/XConfManager.h"
#include "client/dialogs/panels/CDlgFullDockX.h"
#include "client/dialogs/panels/CDlgStatusBar.h"
#include "e2e/conference/ManagerParticipant.h"
#include "e2e/server/ServerProcess.h"
#include "ui/panels/PanelTestSupport.h"

namespace {

using e2e_test::kDemoConference;
using e2e_test::Participant;

// The start of the recorded audio-status event of a user with a status.
std::string Audio(std::uint16_t userId, int status) {
    return "OnUserAudioStatus(" + std::to_string(userId) + "," + std::to_string(status) + ",";
}

// The room as Alice's panels see it: her own conference manager behind the requests and states.
class ManagerHost : public fakes::FakePanelHost {
public:
    ManagerHost(fakes::CallLog& log, QWidget* room, XConfManager& manager)
        : FakePanelHost(log, room), manager_(manager) {}
    void ApplySpeak() override { manager_.ApplySpeak(); }
    void ApplyPresenter() override { manager_.ApplyPresenter(); }
    int GetSpeakState() override {
        const auto me = manager_.GetMyUserItem();
        return me != nullptr ? me->speakState : 0;
    }
    int GetPresenterState() override {
        const auto me = manager_.GetMyUserItem();
        return me != nullptr ? me->presenterState : 0;
    }

private:
    XConfManager& manager_;
};

TEST(SpeakE2E, TheChairGrantsTheFloorAndBothSpeakCaptionsSayStop) {
    // Moderated: nobody speaks before the chair gives the floor.
    yav::test::ServerProcess server{{"--speaking-mode", "moderated"}};
    ASSERT_TRUE(server.Ready()) << server.Output();
    Participant chair;
    Participant alice;
    ASSERT_EQ(chair.Login(server.ConferencePort(), "demo"), 0);
    ASSERT_EQ(alice.Login(server.ConferencePort(), "alice"), 0);
    const std::uint16_t aliceId = alice.manager.GetMyUserId();
    ASSERT_TRUE(chair.PumpUntil("OnUserJoin(" + std::to_string(aliceId))) << server.Output();

    fakes::CallLog panelLog;
    yav::fakes::RecordingWindow room;
    ManagerHost host(panelLog, &room, alice.manager);
    CDlgFullDockX strip;
    ASSERT_TRUE(strip.Create(CDlgFullDockX::IDD, nullptr));
    CDlgStatusBar bar(&room);
    ASSERT_TRUE(bar.Create(CDlgStatusBar::IDD, &room));
    bar.SetSpeakCodeSink([&strip](int code) { strip.SetCommandText(code); });
    bar.OnSpeakStateChanged();
    ASSERT_EQ(bar.Button(CDlgStatusBar::IDC_HAND).GetWindowText(), LoadLangString(871));

    // Raise hand: the chair sees Alice ask for the floor.
    bar.SendMessage(WM_COMMAND, CDlgStatusBar::IDC_HAND, 0);
    ASSERT_TRUE(chair.PumpUntil(Audio(aliceId, 1))) << server.Output();
    ASSERT_TRUE(alice.PumpUntil(Audio(aliceId, 1)));
    // What the room does on its own audio event: the own records again, then the bar.
    alice.manager.RefreshMyRecords();
    bar.OnSpeakStateChanged();
    EXPECT_EQ(bar.Button(CDlgStatusBar::IDC_HAND).GetWindowText(), LoadLangString(874));
    EXPECT_EQ(strip.Button(CDlgFullDockX::IDC_SPEAK).GetWindowText(), LoadLangString(874));

    // The chair grants it.
    chair.manager.AwardSpeek(aliceId, 2);
    ASSERT_TRUE(alice.PumpUntil(Audio(aliceId, 2))) << server.Output();
    alice.manager.RefreshMyRecords();
    bar.OnSpeakStateChanged();
    EXPECT_EQ(bar.Button(CDlgStatusBar::IDC_HAND).GetWindowText(), LoadLangString(2359));
    EXPECT_EQ(strip.Button(CDlgFullDockX::IDC_SPEAK).GetWindowText(), LoadLangString(2359));
    EXPECT_EQ(strip.GetSpeakState(), 6);

    // The presenter button asks too: the chair sees Alice queue for the role.
    bar.SendMessage(WM_COMMAND, CDlgStatusBar::IDC_PRESENTER, 0);
    ASSERT_TRUE(chair.PumpUntil("HandleLeadingStatus(" + std::to_string(aliceId) + ",1,"))
        << server.Output();
}

}  // namespace
