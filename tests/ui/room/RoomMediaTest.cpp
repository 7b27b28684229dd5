// The room and the media manager: the media login with the conference login's ticket, the
// component's camera-lost message and the poll of an unplugged broadcast camera.

#include <algorithm>

#include "RoomFixture.h"
#include "fakes/media/FakeMedia.h"

namespace room_test {
namespace {

using yav::testing::TimerDriver;

class RoomMedia : public RoomFixture {
protected:
    void SetUp() override {
        fakeMedia.cameras = {{"/dev/video0", "Cam 0"}, {"/dev/video1", "Cam 1"}};
        fakeMedia.microphones = {"Mic"};
        fakeMedia.speakers = {"Speaker"};
        fakeMedia.Install();
        RoomFixture::SetUp();
        media->SetTickSource([this] { return now; });
    }
    std::vector<std::string> MediaCalls(const std::string& part) {
        std::vector<std::string> out;
        for (const std::string& call : fakeMedia.Calls()) {
            if (call.find(part) != std::string::npos) {
                out.push_back(call);
            }
        }
        return out;
    }

    fakes::FakeMedia fakeMedia;
    uint64_t now = 50000;
};

TEST_F(RoomMedia, EachChannelLogsInWithTheTicketOfTheConferenceLogin) {
    g_AppSettings.bVideoCapMode = 0;
    fake.mediaTicket.fill(0x5A);
    ASSERT_EQ(frame->LoginCs(kConfId, nullptr, 0), 0);
    Open();
    ASSERT_TRUE(media->HasMediaComponent());
    ASSERT_TRUE(TimerDriver::Fire(*frame, CYavClientDlg::TIMER_LOGIN_DATASERVER));
    const auto logins = MediaCalls("Login(");
    ASSERT_EQ(logins.size(), 3u);  // two cameras and the media channel
    EXPECT_NE(logins[0].find("Login(16,10.0.0.5,7100,"), std::string::npos) << logins[0];
    EXPECT_NE(logins[1].find("Login(17,10.0.0.5,7100,"), std::string::npos) << logins[1];
    EXPECT_NE(logins[2].find("Login(23,10.0.0.5,7100,"), std::string::npos) << logins[2];
    const auto calls = fakeMedia.Calls();
    const auto ticket = std::find(calls.begin(), calls.end(), "#0 SetTicket(16)");
    const auto login = std::find_if(calls.begin(), calls.end(), [](const std::string& c) {
        return c.rfind("#0 Login(", 0) == 0;
    });
    ASSERT_NE(ticket, calls.end());
    EXPECT_LT(ticket, login) << "the ticket comes before the login";
}

// The component's sound switch starts on: the room turns it off before the media login
// unless this user has the floor, so a member without it never sends its microphone.
TEST_F(RoomMedia, TheMicrophoneIsSentFromTheMediaLoginOnlyWithTheFloor) {
    struct Case {
        uint8_t speakState;
        const char* expected;
    };
    for (const Case& c :
         {Case{0, "SetAudioSend(0)"}, Case{1, "SetAudioSend(0)"}, Case{2, "SetAudioSend(1)"}}) {
        fake.users.AddUser(kMyId, u"me").speakState = c.speakState;
        ASSERT_EQ(frame->LoginCs(kConfId, nullptr, 0), 0);
        Open();
        const size_t before = fakeMedia.Calls().size();
        ASSERT_TRUE(TimerDriver::Fire(*frame, CYavClientDlg::TIMER_LOGIN_DATASERVER));
        const auto all = fakeMedia.Calls();
        const std::vector<std::string> calls(all.begin() + static_cast<std::ptrdiff_t>(before),
                                             all.end());
        const auto named = [&](const char* what) {
            return std::find_if(calls.begin(), calls.end(), [what](const std::string& call) {
                return call.find(what) != std::string::npos;
            });
        };
        const auto send = named(" SetAudioSend(");
        ASSERT_NE(send, calls.end()) << int(c.speakState);
        EXPECT_NE(send->find(c.expected), std::string::npos) << *send;
        EXPECT_LT(send, named(" Login(")) << "switched before the channels log in";
        CloseRoom();
    }
}

TEST_F(RoomMedia, AnUnpluggedBroadcastCameraIsPolledAndItsBroadcastEndsAfter15Seconds) {
    g_AppSettings.bVideoCapMode = 0;
    fake.users.AddUser(kMyId, u"me").broadcastMask = 0x02;  // channel 1 is broadcast
    Open();
    ASSERT_TRUE(TimerDriver::Fire(*frame, CYavClientDlg::TIMER_LOGIN_DATASERVER));
    media->StartCapture();
    ASSERT_EQ(media->GetVideoBits(), 3);
    fakes::FakeMediaControl* camera1 = nullptr;
    for (fakes::FakeMediaControl* c : fakeMedia.Live()) {
        if (static_cast<kromedia::ILocalVideo*>(c) == media->GetLocalVideo(1)) {
            camera1 = c;
        }
    }
    ASSERT_NE(camera1, nullptr);
    camera1->deviceLost = true;
    fakeMedia.cameras.pop_back();
    log.Clear();
    // The component's camera-lost message runs the check.
    frame->SendMessage(kromedia::kMsgCameraLost, 0, 0);
    EXPECT_EQ(media->GetVideoBits(), 1);
    EXPECT_EQ(media->GetRemovedDevices().count(1), 1u);
    EXPECT_EQ(frame->GetTimerElapse(CYavClientDlg::TIMER_DEVICE_POLL), 5000);
    EXPECT_EQ(log.Count("SetConfOptions("), 1u) << "the server hears of the lost camera";
    EXPECT_FALSE(camera1->deviceLost) << "stopping the lost camera took the loss in";
    now += 10000;
    ASSERT_TRUE(TimerDriver::Fire(*frame, CYavClientDlg::TIMER_DEVICE_POLL));
    EXPECT_EQ(log.Count("BroadcastVideo("), 0u);
    now += 6000;
    ASSERT_TRUE(TimerDriver::Fire(*frame, CYavClientDlg::TIMER_DEVICE_POLL));
    EXPECT_EQ(log.Count("BroadcastVideo(17,0)"), 1u);
    EXPECT_FALSE(frame->IsTimerSet(CYavClientDlg::TIMER_DEVICE_POLL));
}

}  // namespace
}  // namespace room_test
