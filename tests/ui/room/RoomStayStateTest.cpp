// The room's screen-share and remote-control state, one member each, as the components and
// the conference server drive it: remote assistance is told to its asker alone, a screen in view
// ends with its sharer, and nothing of it outlives the stay.

#include <QTest>

#include <thread>

#include "UserCommandFixture.h"
#include "client/conference/UserCommandPayloads.h"
#include "client/ui/CDlgPopMsg.h"

namespace room_test {
namespace {

using yav::testing::TimerDriver;
using yav::testing::WaitUntil;
namespace usercmd = yav::usercmd;

class RoomStayState : public UserCommandRoom {
protected:
    // One item of the conference server's queue, handled by the room's pump.
    void Pump(ST_CS_MSG message) {
        fake.queue.Push(std::move(message));
        ASSERT_TRUE(TimerDriver::Fire(*frame, CYavClientDlg::TIMER_RECV_DATA));
    }
    void PumpTransmit(std::uint16_t from, std::uint16_t sub, std::vector<std::uint8_t> bytes) {
        ST_CS_MSG message;
        message.type = CS_MSG_TRANSMIT;
        message.payload = CsTransmit{kMyId, from, sub, std::move(bytes)};
        Pump(std::move(message));
    }
    void PumpLeave(std::uint16_t userId) {
        ST_CS_MSG message;
        message.type = CS_MSG_USER_LEAVE;
        message.payload = CsLeaveList{{userId, 3, 1}};
        Pump(std::move(message));
    }
    // The room attributes' screen record names the sharer, as the server's write leaves it.
    void ScreenRecord(std::uint16_t sharer, std::uint8_t connection) {
        const std::uint8_t record[6] = {static_cast<std::uint8_t>(sharer),
                                        static_cast<std::uint8_t>(sharer >> 8),
                                        connection,
                                        0,
                                        0,
                                        0};
        std::copy(std::begin(record), std::end(record), fake.loginInfo.roomAttr);
        ST_CS_MSG silent;
        silent.type = CS_MSG_CONF_ATTR_SILENT;
        Pump(std::move(silent));
    }
    // A callback made on the component's own thread; the room handles what it posted.
    void FromComponent(const std::function<void(XMainFrame&)>& call,
                       const std::function<bool()>& handled) {
        std::thread component([this, &call] { call(*frame); });
        component.join();
        ASSERT_TRUE(WaitUntil(handled));
    }
    void ClickPromptOk() {
        CDlgPopMsg* prompt = nullptr;
        ASSERT_TRUE(WaitUntil([&prompt] { return (prompt = VisiblePrompt()) != nullptr; }));
        QTest::mouseClick(&prompt->GetOkButton(), Qt::LeftButton);
    }
    std::optional<usercmd::ControlResponse> Response(size_t index) const {
        const auto sent = Sent(SUBCOMMAND_RESPONSTCONTROL);
        if (index >= sent.size()) {
            return std::nullopt;
        }
        return usercmd::DecodeControlResponse(sent[index].bytes);
    }
};

TEST_F(RoomStayState, AcceptedRemoteAssistanceIsToldToTheAskerAloneNotAnnouncedAsAShare) {
    PumpTransmit(kBob, SUBCOMMAND_REQUESTCONTROL, {1});
    ClickPromptOk();
    ASSERT_EQ(frame->GetRemoteControlState(), 2);
    ASSERT_EQ(log.Count("ScreenShare.StartShare(3,2,8,0)"), 1u);

    // The component reports that this screen, shared for control, runs.
    FromComponent([](XMainFrame& f) { f.OnScreenShareStatus(0); },
                  [this] { return !Sent(SUBCOMMAND_RESPONSTCONTROL).empty(); });
    EXPECT_TRUE(Sent(264).empty());
    EXPECT_EQ(frame->GetScreenShareState(), 0);
    ASSERT_EQ(Sent(SUBCOMMAND_RESPONSTCONTROL).size(), 1u);
    EXPECT_EQ(Sent(SUBCOMMAND_RESPONSTCONTROL)[0].to, kBob);
    ASSERT_TRUE(Response(0).has_value());
    EXPECT_EQ(Response(0)->result, usercmd::kControlAccepted);
    EXPECT_EQ(Response(0)->channelId, kMyId);
    EXPECT_EQ(frame->GetRemoteControlState(), 2);
    // Its sending side reconnects: still nobody but the controller is concerned.
    FromComponent([](XMainFrame& f) { f.OnScreenSendReconnected(1, 0); },
                  [this] { return log.Count("Chat.ForwardToSystemChat") > 0; });
    EXPECT_TRUE(Sent(264).empty());
    EXPECT_EQ(frame->GetScreenShareState(), 0);

    // It stops: the controller hears that the control ended, and nobody controls this screen.
    FromComponent([](XMainFrame& f) { f.OnScreenShareStatus(1); },
                  [this] { return Sent(SUBCOMMAND_RESPONSTCONTROL).size() == 2; });
    EXPECT_TRUE(Sent(264).empty());
    ASSERT_EQ(Sent(SUBCOMMAND_RESPONSTCONTROL).size(), 2u);
    EXPECT_EQ(Sent(SUBCOMMAND_RESPONSTCONTROL)[1].to, kBob);
    ASSERT_TRUE(Response(1).has_value());
    EXPECT_EQ(Response(1)->result, usercmd::kControlEnded);
    EXPECT_EQ(frame->GetRemoteControlState(), 0);
    EXPECT_EQ(frame->GetRemoteControlId(), 0);
    EXPECT_FALSE(frame->HasControlConsent(kBob));
}

TEST_F(RoomStayState, AScreenViewedSinceTheLoginEndsWithItsSharerAndLeavesNobodyBusy) {
    ScreenRecord(kBob, 0x55);
    FromComponent([](XMainFrame& f) { f.OnRemoteControl(0); },
                  [this] { return log.Count("ScreenShare.StartRecv(24,85)") == 1; });
    EXPECT_EQ(frame->GetScreenShareState(), 2);
    EXPECT_EQ(frame->GetViewedChannel(), kBob);
    // The room makes room for the screen.
    EXPECT_EQ(frame->GetArrangement().shareMode, 1u);

    log.Clear();
    PumpLeave(kBob);
    EXPECT_EQ(log.Count("ScreenShare.SetRecv(1)"), 1u);
    EXPECT_EQ(frame->GetScreenShareState(), 0);
    EXPECT_EQ(frame->GetViewedChannel(), 0);
    EXPECT_EQ(frame->GetArrangement().shareMode, 0u);

    // Nothing is left that would answer a control request busy.
    PumpTransmit(kCarol, SUBCOMMAND_REQUESTCONTROL, {1});
    EXPECT_NE(VisiblePrompt(), nullptr);
    EXPECT_TRUE(Sent(SUBCOMMAND_RESPONSTCONTROL).empty());
}

TEST_F(RoomStayState, LeavingEndsTheControlOfAnotherScreenOrWithdrawsTheRequest) {
    const struct {
        const char* name;
        bool accepted;
        std::uint8_t code;
    } cases[] = {{"controlling bob's screen", true, 0}, {"waiting for bob's answer", false, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Reopen();
        // The participant tree's remote-control request, and bob's answer.
        frame->SendControlRequest(kBob, 1);
        if (c.accepted) {
            PumpTransmit(kBob, SUBCOMMAND_RESPONSTCONTROL,
                         usercmd::Encode(usercmd::ControlResponse{1, kBob, 0x77}));
            ASSERT_EQ(frame->GetRemoteControlState(), 1);
            ASSERT_EQ(frame->GetArrangement().shareMode, 1u);
        }
        fake.transmissions.clear();
        log.Clear();
        CloseRoom();
        const auto sent = Sent(SUBCOMMAND_REQUESTCONTROL);
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(sent[0].to, kBob);
        EXPECT_EQ(sent[0].bytes, std::vector<std::uint8_t>{c.code});
        // Told before the logout; the controlled screen is no longer received nor laid out.
        EXPECT_LT(IndexOf("Transmit(24,306"), IndexOf("Logout()"));
        EXPECT_EQ(log.Count("ScreenShare.SetRecv(1)"), c.accepted ? 1u : 0u);
        EXPECT_EQ(frame->GetArrangement().shareMode, 0u);
        EXPECT_EQ(frame->GetRemoteControlState(), 0);
        EXPECT_EQ(frame->GetControlRequest(), 0u);
    }
}

TEST_F(RoomStayState, OwnSharingAnnouncesItsStartAndAStopThatNamesNothing) {
    FromComponent([](XMainFrame& f) { f.OnScreenShareStatus(0); },
                  [this] { return Sent(264).size() == 1; });
    EXPECT_EQ(frame->GetScreenShareState(), 1);
    EXPECT_EQ(Sent(264)[0].to, 0);
    EXPECT_EQ(Sent(264)[0].bytes, (std::vector<std::uint8_t>{1, kMyId, 0, 4, 3, 2, 1}));
    FromComponent([](XMainFrame& f) { f.OnScreenShareStatus(1); },
                  [this] { return Sent(264).size() == 2; });
    EXPECT_EQ(frame->GetScreenShareState(), 0);
    EXPECT_EQ(Sent(264)[1].bytes, std::vector<std::uint8_t>(7, 0));
}

TEST_F(RoomStayState, AViewedScreenIsLeftWithTheLostConnection) {
    PumpTransmit(kBob, 264, usercmd::Encode(usercmd::ScreenShare{1, kBob, 0x55}));
    ASSERT_EQ(frame->GetScreenShareState(), 2);
    ASSERT_EQ(frame->GetArrangement().shareMode, 1u);
    log.Clear();
    Pump(ST_CS_MSG{});
    ASSERT_TRUE(WaitUntil([this] { return log.Count("UserList.ClearLocalUser()") == 1; }));
    EXPECT_EQ(log.Count("ScreenShare.SetRecv(1)"), 1u);
    EXPECT_EQ(frame->GetScreenShareState(), 0);
    EXPECT_EQ(frame->GetArrangement().shareMode, 0u);
}

TEST_F(RoomStayState, NothingOfAStaysRemoteControlOrDeviceDialogReachesTheNext) {
    int made = 0;
    yav::room::Children().device = [this, &made](QWidget*) {
        ++made;
        return std::make_unique<fakes::FakeDevice>(log);
    };
    // This client controls bob's screen, then bob takes it back (306 code 2).
    frame->SendControlRequest(kBob, 1);
    PumpTransmit(kBob, SUBCOMMAND_RESPONSTCONTROL,
                 usercmd::Encode(usercmd::ControlResponse{1, kBob, 0x77}));
    ASSERT_EQ(frame->GetRemoteControlState(), 1);
    PumpTransmit(kBob, SUBCOMMAND_REQUESTCONTROL, {2});
    ASSERT_EQ(frame->GetRemoteControlState(), 0);
    // Bob's device parameters open the device dialog.
    frame->RequestDeviceParam(kBob);
    PumpTransmit(kBob, 260, std::vector<std::uint8_t>(usercmd::kDeviceParamBlockSize));
    ASSERT_EQ(made, 1);

    log.Clear();
    CloseRoom();
    EXPECT_EQ(log.Count("Device.DestroyWindow()"), 1u);
    ASSERT_EQ(frame->LoginCs(kConfId, nullptr, 0), 0);
    Open();
    EXPECT_EQ(frame->GetRemoteControlId(), 0);
    // The next stay makes a dialog of its own for the next answer.
    frame->RequestDeviceParam(kBob);
    PumpTransmit(kBob, 260, std::vector<std::uint8_t>(usercmd::kDeviceParamBlockSize));
    EXPECT_EQ(made, 2);
}

}  // namespace
}  // namespace room_test
