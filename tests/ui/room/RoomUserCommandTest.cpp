// The user-to-user commands as the room receives them: the payload gate (sizes and the
// sender's role), each command's action, the consent rule for screen control and one control
// request window at a time.

#include "UserCommandFixture.h"
#include "client/conference/UserCommandPayloads.h"
#include "client/ui/CDlgPopMsg.h"
#include "client/ui/CMsgTipsDlg.h"
#include "config/LangFormat.h"
#include "fakes/conference/LogCapture.h"

namespace room_test {
namespace {

using Bytes = std::vector<std::uint8_t>;
namespace usercmd = yav::usercmd;

class UserCommands : public UserCommandRoom {};

QString Named(int textId, const QString& name) {
    return yav::SafeFormat(LoadLangString(textId), {name});
}
QString NamedWithId(int textId, const QString& name, int id) {
    return yav::SafeFormat(LoadLangString(textId), {name, id});
}

Bytes Reply(std::uint8_t code) {
    return usercmd::Encode(usercmd::ScreenControlReply{code, 0x11223344});
}

constexpr char kDropped[] = "user-to-user block dropped";

TEST_F(UserCommands, TheGateDropsShortAndRoleLessBlocksBeforeAnyHandler) {
    const struct {
        const char* name;
        std::uint16_t from;
        std::uint16_t sub;
        Bytes bytes;
        std::uint16_t to;
        bool dropped;
        const char* acted;  // a call the handler makes when the block passes
    } cases[] = {
        {"chat without text", kBob, 257, Bytes(4), kMyId, true, nullptr},
        {"chat", kBob + 1, 257, {0, 0, 0, 0, 'h', 0}, kMyId, false, "Chat.OnRecvChatMsg(16,25,6)"},
        {"layout of 99 bytes", kBob, 258, Bytes(99), 0, true, nullptr},
        {"layout of 101 bytes", kBob, 258, Bytes(101), 0, true, nullptr},
        {"device request from a member", kBob, 259, {}, kMyId, true, nullptr},
        {"device reply one byte short", kBob, 260, Bytes(4480), kMyId, true, nullptr},
        {"remote change from a member", kBob, 261, Bytes(207), kMyId, true, nullptr},
        {"remote change one byte short", kChair, 261, Bytes(206), kMyId, true, nullptr},
        {"camera control from a member", kBob, 263, {0, 1}, kMyId, true, nullptr},
        {"camera control one byte", kChair, 263, {0}, kMyId, true, nullptr},
        {"camera control", kChair, 263, {1, 4}, kMyId, false, "Media.ControlCamera(1,4)"},
        {"screen one byte short", kBob, 264, Bytes(6), 0, true, nullptr},
        {"media one byte short", kBob, 266, Bytes(15), 0, true, nullptr},
        {"grant without code", kBob, 267, {}, kMyId, true, nullptr},
        {"question with two bytes", kBob, 268, {1, 1}, kMyId, true, nullptr},
        {"reply one byte short", kBob, 269, Bytes(4), kMyId, true, nullptr},
        {"control on from a member", kBob, 269, Reply(1), kMyId, true, nullptr},
        {"control off from a member", kBob, 269, Reply(2), kMyId, true, nullptr},
        {"announcement of three bytes", kBob, 274, Bytes(3), 0, true, nullptr},
        {"group join from a member", kBob, 275, {}, kMyId, true, nullptr},
        {"group leave from a member", kBob, 276, {}, kMyId, true, nullptr},
        {"dissolution from a member", kBob, 288, {}, 0, true, nullptr},
        {"clap from a member", kBob, 296, {'2'}, 0, true, nullptr},
        {"clap of two bytes", kChair, 296, {'2', '2'}, 0, true, nullptr},
        {"clap", kChair, 296, {'2'}, 0, false, "PopClap.PlayClap(0)"},
        {"clap stop, no data", kChair, 296, {}, 0, false, "PopClap.StopSound(0)"},
        {"request without code", kBob, 306, {}, kMyId, true, nullptr},
        {"response one byte short", kBob, 307, Bytes(6), kMyId, true, nullptr},
        {"listen flag one byte short", kBob, 308, Bytes(2), kMyId, true, nullptr},
        {"unknown sub-command", kBob, 262, {1}, kMyId, true, nullptr},
    };
    for (const auto& c : cases) {
        log.Clear();
        fakes::LogCapture capture;
        Receive(c.from, c.sub, c.bytes, c.to);
        EXPECT_EQ(capture.Contains(kDropped), c.dropped) << c.name;
        if (c.dropped) {
            EXPECT_TRUE(log.Calls().empty()) << c.name << ": " << log.Calls().front();
            EXPECT_TRUE(fake.transmissions.empty()) << c.name;
        } else {
            EXPECT_EQ(log.Count(c.acted), 1u) << c.name;
        }
    }
    EXPECT_FALSE(frame->HasPendingLayout());
}

TEST_F(UserCommands, EmptyBlocksWithoutDataReachTheirHandlers) {
    // The pump hands over data() of an empty vector: a null pointer with length 0.
    fakes::LogCapture capture;
    frame->OnTransmit(kMyId, kChair, 275, nullptr, 0);
    frame->OnTransmit(kMyId, kMyId, 259, nullptr, 0);  // my own device dialog asks me
    EXPECT_FALSE(capture.Contains(kDropped));
    ASSERT_FALSE(userList->chat.lines.empty());
    EXPECT_EQ(userList->chat.lines.back(), LoadLangString(2170));
    EXPECT_TRUE(capture.Contains("XMediaManager::SendDeviceParam"));
    // A length with no data is not a block.
    frame->OnTransmit(kMyId, kChair, 263, nullptr, 2);
    EXPECT_TRUE(capture.Contains(kDropped));
    EXPECT_EQ(log.Count("Media.ControlCamera"), 0u);
}

TEST_F(UserCommands, APeersDeviceParametersGoToTheDeviceDialogMadeOnce) {
    int made = 0;
    yav::room::Children().device = [this, &made](QWidget*) {
        ++made;
        return std::make_unique<fakes::FakeDevice>(log);
    };
    frame->RequestDeviceParam(kBob);
    ASSERT_EQ(Sent(259).size(), 1u);
    EXPECT_EQ(Sent(259)[0].to, kBob);
    EXPECT_TRUE(Sent(259)[0].bytes.empty());
    Receive(kBob, 260, Bytes(usercmd::kDeviceParamBlockSize));
    Receive(kBob, 260, Bytes(usercmd::kDeviceParamBlockSize));
    EXPECT_EQ(made, 1);
    EXPECT_EQ(log.Count("Device.OnHandleRespParam(4481)"), 2u);
    EXPECT_EQ(log.Count("Device.ShowWindow"), 0u);
}

TEST_F(UserCommands, ClapDigitsPlayWithoutForwarding) {
    const struct {
        Bytes bytes;
        const char* call;  // null: nothing plays
    } cases[] = {
        {{'0'}, "PopClap.PlayBroadcast(0)"},
        {{'1'}, "PopClap.PlayIntermissionMusic(0)"},
        {{'2'}, "PopClap.PlayClap(0)"},
        {{'3'}, "PopClap.PlayCheer(0)"},
        {{'7'}, nullptr},
        {{}, "PopClap.StopSound(0)"},
    };
    for (const auto& c : cases) {
        log.Clear();
        Receive(kChair, 296, c.bytes, 0);
        const auto played = log.Matching("PopClap.");
        if (c.call == nullptr) {
            EXPECT_TRUE(played.empty());
        } else {
            EXPECT_EQ(played, std::vector<std::string>{c.call});
        }
    }
    EXPECT_TRUE(fake.transmissions.empty());
}

TEST_F(UserCommands, SharedScreenStartAndStopByTheViewerAndTheSharer) {
    const Bytes start = usercmd::Encode(usercmd::ScreenShare{1, kChair, 0x55});
    const Bytes stop = usercmd::Encode(usercmd::ScreenShare{0, kChair, 0});

    Receive(kChair, 264, start, 0);
    EXPECT_EQ(log.Count("ScreenShare.StartRecv(40,85)"), 1u);
    EXPECT_EQ(frame->GetScreenBroadcast(), 2);
    EXPECT_EQ(frame->GetViewedChannel(), kChair);
    EXPECT_EQ(userList->chat.lines.back(), LoadLangString(151));

    log.Clear();
    Receive(kChair, 264, stop, 0);
    EXPECT_EQ(log.Count("ScreenShare.SetRecv(1)"), 1u);
    EXPECT_EQ(frame->GetScreenBroadcast(), 0);
    EXPECT_EQ(frame->GetViewedChannel(), 0);
    EXPECT_EQ(userList->chat.lines.back(), LoadLangString(154));

    // Receiving fails: a tip, not a chat line.
    screen->startResult = 0;
    const size_t lines = userList->chat.lines.size();
    Receive(kChair, 264, start, 0);
    EXPECT_EQ(userList->chat.lines.size(), lines);
    EXPECT_EQ(TipText(), LoadLangString(2476));

    // This client was the sharer: its own share ends and the control set is emptied.
    frame->SetShareStateForTest(1, 0, 0, 0);
    log.Clear();
    Receive(kChair, 264, stop, 0);
    EXPECT_EQ(frame->GetScreenBroadcast(), 0);
    EXPECT_EQ(log.Count("ScreenShare.StopShare()"), 1u);
    EXPECT_EQ(log.Count("UserList.ClearScreenControlUsers()"), 1u);
    EXPECT_EQ(log.Count("Layout.SetVideoOption(1)"), 1u);
    EXPECT_EQ(log.Count("ScreenShare.SetRecv"), 0u);
}

TEST_F(UserCommands, SharedMediaStartsOnceStopsAndPauses) {
    const auto shared = [](std::uint8_t code) {
        return usercmd::Encode(usercmd::MediaShare{code, kChair, 9});
    };
    Receive(kChair, 266, shared(1), 0);
    Receive(kChair, 266, shared(1), 0);
    EXPECT_EQ(log.Count("ControlBar.AddDocTab(" + LoadLangString(1060).toStdString() + ",1)"), 1u);
    EXPECT_EQ(frame->GetMediaShareState(), 2);
    EXPECT_EQ(userList->chat.lines.back(), LoadLangString(385));
    Receive(kChair, 266, shared(0), 0);
    EXPECT_EQ(userList->chat.lines.back(), LoadLangString(388));
    Receive(kChair, 266, shared(2), 0);
    EXPECT_EQ(userList->chat.lines.back(), LoadLangString(391));
    EXPECT_EQ(frame->GetMediaShareState(), 2);

    // Without the media-play window nothing happens.
    layout->mediaPlay = false;
    const size_t lines = userList->chat.lines.size();
    Receive(kChair, 266, shared(2), 0);
    EXPECT_EQ(userList->chat.lines.size(), lines);
}

TEST_F(UserCommands, TheGrantCodeMeansTheSameAtBothEnds) {
    // The sharer grants: the block it sends is what the receiver reads as a grant.
    frame->GrantScreenControl(kBob, 1);
    ASSERT_EQ(Sent(267).size(), 1u);
    const auto granted = Sent(267)[0];
    EXPECT_EQ(granted.to, kBob);
    EXPECT_EQ(granted.bytes, Bytes{usercmd::kScreenControlGranted});
    Receive(kChair, 267, granted.bytes);
    EXPECT_EQ(frame->GetScreenControlState(), 1);
    EXPECT_EQ(TipText(), Named(436, "chair"));

    // Withdrawn: the receiver answers 269 code 0 (control taken back).
    frame->GrantScreenControl(kBob, 0);
    const auto withdrawn = Sent(267).back();
    EXPECT_EQ(withdrawn.bytes, Bytes{usercmd::kScreenControlWithdrawn});
    fake.transmissions.clear();
    Receive(kChair, 267, withdrawn.bytes);
    ASSERT_EQ(Sent(269).size(), 1u);
    EXPECT_EQ(Sent(269)[0].to, kChair);
    EXPECT_EQ(Sent(269)[0].bytes[0], usercmd::kReplyTakenBack);
}

TEST_F(UserCommands, ControlOfThisScreenNeedsThisUsersConsent) {
    // A chair may send control-on, but this user never let it in.
    fakes::LogCapture capture;
    Receive(kChair, 269, Reply(usercmd::kReplyControlOn));
    EXPECT_EQ(log.Count("ScreenShare.AllowControl"), 0u);
    EXPECT_EQ(log.Count("UserList.AddScreenControlUser"), 0u);
    EXPECT_TRUE(capture.Contains("did not agree"));

    // After this user's own grant to that chair, control is allowed.
    frame->GrantScreenControl(kChair, 1);
    Receive(kChair + 2, 269, Reply(usercmd::kReplyControlOn));
    EXPECT_EQ(log.Count("ScreenShare.AllowControl(1)"), 1u);
    EXPECT_EQ(log.Count("UserList.AddScreenControlUser(42)"), 1u);
    EXPECT_EQ(TipText(), Named(2416, "chair"));

    // Withdrawing the grant withdraws the consent.
    frame->GrantScreenControl(kChair, 0);
    log.Clear();
    Receive(kChair, 269, Reply(usercmd::kReplyControlOn));
    EXPECT_EQ(log.Count("ScreenShare.AllowControl"), 0u);
}

TEST_F(UserCommands, ScreenControlRepliesUpdateStateAndTips) {
    const struct {
        std::uint8_t code;
        int text;
        const char* call;
        std::uint8_t mode;
    } cases[] = {
        {usercmd::kReplyTakenBack, 2407, "UserList.RemoveScreenControlUser(24)", 0},
        {usercmd::kReplyAccepted, 430, nullptr, 2},
        {usercmd::kReplyDeclined, 433, nullptr, 0},
        {usercmd::kReplyGivenUp, 2467, "UserList.RemoveScreenControlUser(24)", 0},
    };
    for (const auto& c : cases) {
        log.Clear();
        Receive(kBob, 269, Reply(c.code));
        EXPECT_EQ(TipText(), Named(c.text, "bob")) << int(c.code);
        if (c.call != nullptr) {
            EXPECT_EQ(log.Count(c.call), 1u) << int(c.code);
        }
        EXPECT_EQ(frame->GetScreenControlState(), c.mode) << int(c.code);
        EXPECT_EQ(frame->GetControlRequest(), 0u);
    }
    // Accepted: the cycle holds while this client controls the sharer's screen.
    Receive(kBob, 269, Reply(usercmd::kReplyAccepted));
    EXPECT_EQ(frame->GetCycleHold(), 1u);
    EXPECT_EQ(frame->GetViewedChannel(), kBob);
}

TEST_F(UserCommands, TheQuestionAsksOnceAndAnAcceptedOneLetsControlIn) {
    int boxes = 0;
    QString shown;
    const int token = yav::Dialog::AddModalObserver([&](yav::Dialog& dialog) {
        auto* box = dynamic_cast<CDlgPopMsg*>(&dialog);
        if (box == nullptr) {
            return;
        }
        ++boxes;
        shown = box->GetMessageLabel().GetWindowText();
        // A second question while this one is open asks nothing, and a control request
        // meanwhile is answered busy.
        Receive(kCarol, 268, {1});
        Receive(kCarol, 306, {1});
        box->EndDialog(IDOK);
    });
    Receive(kBob, 268, {1});
    ASSERT_TRUE(yav::testing::WaitUntil([&] { return boxes == 1 && !Sent(269).empty(); }));
    yav::Dialog::RemoveModalObserver(token);
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(shown, NamedWithId(412, "bob", kBob));
    ASSERT_EQ(Sent(307).size(), 1u);
    EXPECT_EQ(Sent(307)[0].to, kCarol);
    EXPECT_EQ(Sent(307)[0].bytes[0], usercmd::kControlBusy);
    EXPECT_EQ(Sent(269)[0].to, kBob);
    EXPECT_EQ(Sent(269)[0].bytes[0], usercmd::kReplyAccepted);
    EXPECT_EQ(log.Count("ScreenShare.AllowControl(1)"), 1u);
    EXPECT_TRUE(frame->HasControlConsent(kBob));
    EXPECT_FALSE(frame->HasControlConsent(kCarol));
}

TEST_F(UserCommands, AControlRequestOpensOnePromptAndLaterOnesAreBusy) {
    Receive(kBob, 306, {1});
    CDlgPopMsg* prompt = VisiblePrompt();
    ASSERT_NE(prompt, nullptr);
    EXPECT_FALSE(prompt->IsModalBox());
    EXPECT_EQ(prompt->GetType(), 8);
    EXPECT_EQ(prompt->GetMessageLabel().GetWindowText(), NamedWithId(2443, "bob", kBob));
    EXPECT_TRUE(Sent(307).empty());

    // A second asker gets busy (3); no second window.
    Receive(kCarol, 306, {1});
    ASSERT_EQ(Sent(307).size(), 1u);
    EXPECT_EQ(Sent(307)[0].to, kCarol);
    const auto busy = usercmd::DecodeControlResponse(Sent(307)[0].bytes);
    ASSERT_TRUE(busy);
    EXPECT_EQ(busy->result, usercmd::kControlBusy);
    EXPECT_EQ(busy->channelId, kMyId);

    // Refused with the prompt's own button: 307 result 2 to the asker, no consent.
    prompt->GetCancelButton().click();
    ASSERT_EQ(Sent(307).size(), 2u);
    EXPECT_EQ(Sent(307)[1].to, kBob);
    EXPECT_EQ(Sent(307)[1].bytes[0], usercmd::kControlRefused);
    EXPECT_FALSE(frame->HasControlConsent(kBob));

    // Asked again and accepted: this screen is shared for control and the asker is let in.
    Receive(kBob, 306, {1});
    ASSERT_TRUE(yav::testing::WaitUntil([&] { return (prompt = VisiblePrompt()) != nullptr; }));
    prompt->GetOkButton().click();
    EXPECT_EQ(log.Count("ScreenShare.StartShare(3,2,8,0)"), 1u);
    EXPECT_EQ(frame->GetRemoteControlState(), 2);
    EXPECT_EQ(frame->GetRemoteControlId(), kBob);
    EXPECT_TRUE(frame->HasControlConsent(kBob));
}

TEST_F(UserCommands, AnAcceptedRequestWithoutScreenSharingTellsTheAskerItCannot) {
    Reopen(false);
    Receive(kBob, 306, {1});
    CDlgPopMsg* prompt = VisiblePrompt();
    ASSERT_NE(prompt, nullptr);
    prompt->GetOkButton().click();
    ASSERT_EQ(Sent(307).size(), 1u);
    EXPECT_EQ(Sent(307)[0].to, kBob);
    EXPECT_EQ(Sent(307)[0].bytes[0], usercmd::kControlUnsupported);
    EXPECT_EQ(frame->GetRemoteControlState(), 0);
}

TEST_F(UserCommands, ARequestWhileViewingASharedScreenIsBusyWithoutAsking) {
    frame->SetShareStateForTest(2, kChair, 0, 0);
    Receive(kBob, 306, {1});
    ASSERT_EQ(Sent(307).size(), 1u);
    EXPECT_EQ(Sent(307)[0].bytes[0], usercmd::kControlBusy);
    EXPECT_EQ(VisiblePrompt(), nullptr);
    // To a user the user manager does not know, nothing is sent at all.
    Receive(80, 306, {1});
    EXPECT_EQ(Sent(307).size(), 1u);
}

TEST_F(UserCommands, AWithdrawnOrEndedRequestStopsSharingOrControl) {
    // Bob controls this screen and ends it.
    frame->SetRemoteControl(2, kBob);
    Receive(kBob, 306, {0});
    EXPECT_EQ(log.Count("ScreenShare.StopShare()"), 1u);
    EXPECT_EQ(frame->GetAnswerFlag(), 0u);

    frame->SetRemoteControl(1, kBob);
    Receive(kBob, 306, {2});
    EXPECT_EQ(frame->GetRemoteControlState(), 0);
    EXPECT_EQ(frame->GetAnswerFlag(), 1u);
    EXPECT_EQ(TipText(), NamedWithId(2452, "bob", kBob));
    EXPECT_TRUE(Sent(307).empty());
}

TEST_F(UserCommands, AcceptedControlWhileControlledGivesTheSharedScreenBack) {
    // This client views the chair's screen and controls it (mode 2), then another user's
    // screen is offered: the chair gets control back (269 code 2) before the new view starts.
    frame->SetShareStateForTest(2, kChair, 0, 0);
    Receive(kChair, 269, Reply(usercmd::kReplyAccepted));
    ASSERT_EQ(frame->GetScreenControlState(), 2);
    frame->SendControlRequest(kBob, 1);
    Receive(kBob, 307, usercmd::Encode(usercmd::ControlResponse{1, kBob, 5}));
    ASSERT_EQ(Sent(269).size(), 1u);
    EXPECT_EQ(Sent(269)[0].to, kChair);
    EXPECT_EQ(Sent(269)[0].bytes[0], usercmd::kReplyControlOff);
    EXPECT_EQ(frame->GetScreenControlState(), 0);
    EXPECT_EQ(log.Count("ScreenShare.StartRecv(24,5)"), 1u);
    EXPECT_GE(IndexOf("ScreenShare.SetRecv(1)"), 0);
    EXPECT_LT(IndexOf("ScreenShare.SetRecv(1)"), IndexOf("ScreenShare.StartRecv(24,5)"));
    EXPECT_EQ(frame->GetRemoteControlState(), 1);
}

TEST_F(UserCommands, ControlResponsesStartAndEndTheControlledView) {
    frame->SendControlRequest(kBob, 1);
    EXPECT_EQ(frame->GetControlRequest(), 1u);
    ASSERT_EQ(Sent(306).size(), 1u);
    EXPECT_EQ(Sent(306)[0].bytes, Bytes{1});

    Receive(kBob, 307, usercmd::Encode(usercmd::ControlResponse{1, kBob, 0x77}));
    EXPECT_EQ(frame->GetControlRequest(), 0u);
    EXPECT_EQ(log.Count("ScreenShare.StartRecv(24,119)"), 1u);
    EXPECT_EQ(frame->GetRemoteControlState(), 1);
    EXPECT_EQ(frame->GetRemoteControlId(), kBob);
    EXPECT_EQ(frame->GetCycleHold(), 1u);

    // Asked again while controlling, bob's refusal ends the controlled view.
    frame->SendControlRequest(kBob, 1);
    log.Clear();
    Receive(kBob, 307, usercmd::Encode(usercmd::ControlResponse{0, kBob, 0}));
    EXPECT_EQ(log.Count("ScreenShare.SetRecv(1)"), 1u);
    EXPECT_EQ(frame->GetRemoteControlState(), 0);
    EXPECT_EQ(frame->GetRemoteControlId(), 0);
    EXPECT_EQ(TipText(), Named(418, "bob"));

    const struct {
        std::uint8_t result;
        int text;
    } tips[] = {{2, 421}, {3, 2410}, {7, 2413}};
    for (const auto& c : tips) {
        frame->SendControlRequest(kBob, 1);
        Receive(kBob, 307, usercmd::Encode(usercmd::ControlResponse{c.result, kBob, 0}));
        EXPECT_EQ(TipText(), Named(c.text, "bob")) << int(c.result);
        EXPECT_EQ(frame->GetControlRequest(), 0u) << int(c.result);
    }
}

TEST_F(UserCommands, TheListenFlagWritesPrivateDataAndRefreshesTheRow) {
    Receive(kChair, 308, usercmd::Encode(usercmd::AudioListen{1, kCarol}));
    std::shared_ptr<ST_USER_PRIVATEDATA> data;
    ASSERT_TRUE(fake.users.GetUserPrivateData(data, kCarol));
    EXPECT_EQ(data->listenFlag, 1);
    EXPECT_EQ(log.Count("UserList.RefreshUserItem(32,10)"), 1u);

    Receive(kChair, 308, usercmd::Encode(usercmd::AudioListen{0, kCarol}));
    ASSERT_TRUE(fake.users.GetUserPrivateData(data, kCarol));
    EXPECT_EQ(data->listenFlag, 0);
    EXPECT_EQ(log.Count("Media.StopRecvAudio(32)"), 1u);

    // An unknown user: nothing at all.
    log.Clear();
    Receive(kChair, 308, usercmd::Encode(usercmd::AudioListen{1, 88}));
    EXPECT_TRUE(log.Calls().empty());
}

TEST_F(UserCommands, TheDissolutionBoxClosesTheRoom) {
    int boxes = 0;
    const int token = yav::Dialog::AddModalObserver([&](yav::Dialog& dialog) {
        auto* box = dynamic_cast<CDlgPopMsg*>(&dialog);
        if (box == nullptr) {
            return;
        }
        ++boxes;
        EXPECT_EQ(box->GetTitleLabel().GetWindowText(), LoadLangString(457));
        EXPECT_EQ(box->GetMessageLabel().GetWindowText(), LoadLangString(463));
        // Unanswered, it closes by itself.
        EXPECT_GT(box->GetCountdown(), 0);
        // A repeated dissolution while the box is open adds none.
        Receive(kChair, 288, {}, 0);
        box->EndDialog(IDOK);
    });
    Receive(kChair, 288, {}, 0);
    EXPECT_TRUE(yav::testing::WaitUntil([&] { return !frame->IsWindow(); }));
    yav::Dialog::RemoveModalObserver(token);
    // One box: the room closed without asking whether to leave.
    EXPECT_EQ(boxes, 1);
}

}  // namespace
}  // namespace room_test
