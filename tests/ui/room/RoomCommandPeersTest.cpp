// Commands that only one user may send this client: each from the user it concerns (or the
// role that may send it) and from somebody else. The room's state is set by what the room
// itself does (its requests, a prompt answered with a click, a command received); a dishonest
// block is dropped with the gate's log line and leaves no trace.

#include <QTest>

#include <algorithm>
#include <functional>

#include "UserCommandFixture.h"
#include "client/conference/UserCommandPayloads.h"
#include "client/ui/CDlgPopMsg.h"
#include "fakes/conference/FakeLayoutSync.h"
#include "fakes/conference/LogCapture.h"

namespace room_test {
namespace {

using Bytes = std::vector<std::uint8_t>;
namespace usercmd = yav::usercmd;

constexpr char kDropped[] = "user-to-user block dropped";

class CommandPeers : public UserCommandRoom {
protected:
    static constexpr std::uint16_t kDave = 48;  // member and presenter

    void SetUp() override {
        UserCommandRoom::SetUp();
        fake.users.AddUser(kDave, u"dave").presenterState = 2;
        yav::room::Children().device = [this](QWidget*) {
            return std::make_unique<fakes::FakeDevice>(log);
        };
    }

    // The room's media-share record names `sharer` (as the server's RoomAttr leaves it).
    void NameMediaSharer(std::uint16_t sharer) {
        std::fill_n(fake.loginInfo.roomAttr + ROOM_ATTR_MEDIA_SHARE, 7, std::uint8_t{0});
        fake.loginInfo.roomAttr[ROOM_ATTR_MEDIA_SHARE] = static_cast<std::uint8_t>(sharer);
        fake.loginInfo.roomAttr[ROOM_ATTR_MEDIA_SHARE + 1] = static_cast<std::uint8_t>(sharer >> 8);
        frame->GetConfManager()->RefreshConfInfo();
    }

    // A user asks for control of this screen; the prompt opens.
    CDlgPopMsg* AskedForControlBy(std::uint16_t asker) {
        Receive(asker, 306, {1});
        return VisiblePrompt();
    }
    void Click(CYavPngButton& button) { QTest::mouseClick(&button, Qt::LeftButton); }

    std::size_t Chat(int textId) const {
        return static_cast<std::size_t>(std::count(
            userList->chat.lines.begin(), userList->chat.lines.end(), LoadLangString(textId)));
    }
};

Bytes Screen(std::uint8_t start, std::uint16_t channel) {
    return usercmd::Encode(usercmd::ScreenShare{start, channel, 0x55});
}
Bytes Media(std::uint8_t code, std::uint16_t sharer) {
    return usercmd::Encode(usercmd::MediaShare{code, sharer, 9});
}
Bytes Answer(std::uint8_t result, std::uint16_t channel) {
    return usercmd::Encode(usercmd::ControlResponse{result, channel, 0x77});
}

TEST_F(CommandPeers, EachRuleTakesTheHonestSenderAndDropsTheOther) {
    struct Case {
        const char* name;
        std::function<void()> setUp;  // what the room did before the block comes
        std::uint16_t from;
        std::uint16_t sub;
        Bytes bytes;
        bool honest;
        std::function<bool()> acted;  // the block's effect is there
    };
    const auto viewBobsScreen = [this] { Receive(kBob, 264, Screen(1, kBob)); };
    const auto shareOwnScreen = [this] { frame->SetShareStateForTest(1, 0, 0, 0); };
    const auto layoutKept = [this] { return frame->HasPendingLayout(); };
    const auto viewing = [this](std::uint16_t channel) {
        return [this, channel] {
            return log.Count(fakes::Call("ScreenShare.StartRecv", channel, 0x55)) == 1 &&
                   frame->GetScreenBroadcast() == 2 && frame->GetViewedChannel() == channel;
        };
    };
    const auto viewStopped = [this] {
        return log.Count("ScreenShare.SetRecv(1)") == 1 && frame->GetScreenBroadcast() == 0;
    };
    const auto shareStopped = [this] {
        return log.Count("ScreenShare.StopShare()") == 1 && frame->GetScreenBroadcast() == 0;
    };
    const auto bobControlsThisScreen = [this] {
        Click(AskedForControlBy(kBob)->GetOkButton());
        ASSERT_EQ(frame->GetRemoteControlState(), 2);
    };
    const auto bobsPromptOpen = [this] { ASSERT_NE(AskedForControlBy(kBob), nullptr); };
    const auto withdrawn = [this] { return frame->GetAnswerFlag() == 1; };
    const auto askedBob = [this] { frame->SendControlRequest(kBob, 1); };
    const auto controlsBob = [this] {
        return log.Count("ScreenShare.StartRecv(24,119)") == 1 &&
               frame->GetRemoteControlState() == 1 && frame->GetRemoteControlId() == kBob;
    };
    const auto bobSharesMedia = [this] {
        NameMediaSharer(kBob);
        Receive(kBob, 266, Media(1, kBob), 0);
        ASSERT_EQ(frame->GetMediaShareState(), 2);
    };
    const auto mediaStarted = [this] { return Chat(385) == 1; };
    const auto mediaStopped = [this] { return Chat(388) == 1; };
    const auto deviceParams = [this] { return log.Count("Device.OnHandleRespParam(4481)") == 1; };
    const Bytes layoutBlock(usercmd::kLayoutSize);
    const Bytes params(usercmd::kDeviceParamBlockSize);

    const Case cases[] = {
        // The layout: a chair kind or the presenter.
        {"layout by the chair", {}, kChair, 258, layoutBlock, true, layoutKept},
        {"layout by the presenter", {}, kDave, 258, layoutBlock, true, layoutKept},
        {"layout by a member", {}, kBob, 258, layoutBlock, false, layoutKept},
        // A screen start names the sender's own channel, whatever its role.
        {"start naming the own channel", {}, kBob, 264, Screen(1, kBob), true, viewing(kBob)},
        {"start naming the chair's channel",
         {},
         kBob,
         264,
         Screen(1, kChair),
         false,
         viewing(kChair)},
        {"the chair naming a member's channel",
         {},
         kChair,
         264,
         Screen(1, kBob),
         false,
         viewing(kBob)},
        // A screen stop: the sharer this client views, or a chair kind.
        {"stop by the viewed sharer", viewBobsScreen, kBob, 264, Screen(0, 0), true, viewStopped},
        {"stop by the chair", viewBobsScreen, kChair, 264, Screen(0, 0), true, viewStopped},
        {"stop by another member", viewBobsScreen, kCarol, 264, Screen(0, 0), false, viewStopped},
        {"stop while viewing nothing",
         {},
         kCarol,
         264,
         Screen(0, 0),
         false,
         [this] { return log.Count("ScreenShare.SetRecv") != 0; }},
        {"stop of this client's share by the chair", shareOwnScreen, kChair, 264, Screen(0, 0),
         true, shareStopped},
        {"stop of this client's share by a member", shareOwnScreen, kCarol, 264, Screen(0, 0),
         false, shareStopped},
        // Control ended (0) or withdrawn (2): the user in remote control with this client.
        {"end by the controller",
         bobControlsThisScreen,
         kBob,
         306,
         {0},
         true,
         [this] { return log.Count("ScreenShare.StopShare()") == 1; }},
        {"end by another member",
         bobControlsThisScreen,
         kCarol,
         306,
         {0},
         false,
         [this] { return log.Count("ScreenShare.StopShare()") != 0; }},
        {"withdrawal by the asker", bobsPromptOpen, kBob, 306, {2}, true, withdrawn},
        {"withdrawal by another member", bobsPromptOpen, kCarol, 306, {2}, false, withdrawn},
        {"withdrawal by the chair", bobsPromptOpen, kChair, 306, {2}, false, withdrawn},
        {"withdrawal after the prompt was answered",
         [this] { Click(AskedForControlBy(kBob)->GetCancelButton()); },
         kBob,
         306,
         {2},
         false,
         withdrawn},
        // An answer to control: only to this client's pending request, from the user asked.
        {"acceptance by the user asked", askedBob, kBob, 307, Answer(1, kBob), true, controlsBob},
        {"acceptance after another user's screen-control reply",
         [this] {
             frame->SendControlRequest(kBob, 1);
             Receive(kCarol, 269, usercmd::Encode(usercmd::ScreenControlReply{5, 0}));
         },
         kBob, 307, Answer(1, kBob), true, controlsBob},
        {"acceptance nobody asked for", {}, kBob, 307, Answer(1, kBob), false, controlsBob},
        {"acceptance by another user", askedBob, kCarol, 307, Answer(1, kBob), false,
         [this] { return log.Count("ScreenShare.StartRecv") != 0; }},
        {"a second answer to one request",
         [this] {
             frame->SendControlRequest(kBob, 1);
             Receive(kBob, 307, Answer(2, kBob));
         },
         kBob, 307, Answer(1, kBob), false, controlsBob},
        // Shared media: the sharer the room's record names, or a chair kind.
        {"media start by the sharer named", [this] { NameMediaSharer(kBob); }, kBob, 266,
         Media(1, kBob), true, mediaStarted},
        {"media start by a user nobody named", {}, kBob, 266, Media(1, kBob), false, mediaStarted},
        {"media start by another member", [this] { NameMediaSharer(kBob); }, kCarol, 266,
         Media(1, kCarol), false, mediaStarted},
        {"media stop by the sharer", bobSharesMedia, kBob, 266, Media(0, 0), true, mediaStopped},
        {"media stop by the chair", bobSharesMedia, kChair, 266, Media(0, 0), true, mediaStopped},
        {"media stop by another member", bobSharesMedia, kCarol, 266, Media(0, 0), false,
         mediaStopped},
        {"stop of this client's media by a member",
         [this] {
             NameMediaSharer(kMyId);
             frame->SetMediaShareState(1);
         },
         kBob, 266, Media(0, 0), false, mediaStopped},
        // Device parameters: only from the user this client asked.
        {"parameters of the user asked", [this] { frame->RequestDeviceParam(kBob); }, kBob, 260,
         params, true, deviceParams},
        {"parameters nobody asked for", {}, kBob, 260, params, false, deviceParams},
        {"parameters of another user", [this] { frame->RequestDeviceParam(kBob); }, kCarol, 260,
         params, false, deviceParams},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Reopen();
        NameMediaSharer(0);
        userList->chat.lines.clear();
        if (c.setUp) {
            c.setUp();
        }
        if (HasFatalFailure()) {
            return;
        }
        log.Clear();
        fake.transmissions.clear();
        userList->chat.lines.clear();
        const XMainFrame::LayoutRecord roomLayout = frame->GetRoomLayout();
        fakes::LogCapture capture;
        Receive(c.from, c.sub, c.bytes, c.sub == 258 || c.sub == 264 || c.sub == 266 ? 0 : kMyId);
        const std::string line = "user-to-user block dropped: sub=" + std::to_string(c.sub) +
                                 " from=" + std::to_string(c.from);
        EXPECT_EQ(capture.Contains(line), !c.honest);
        EXPECT_EQ(c.acted(), c.honest);
        if (!c.honest) {
            EXPECT_TRUE(fake.transmissions.empty());
            EXPECT_EQ(frame->GetRoomLayout(), roomLayout);
        }
    }
}

// A shared screen found in the room's record on entering is the one in view: its sharer may
// stop it, nobody else.
TEST_F(CommandPeers, TheSharerFoundOnEnteringMayStopItsScreen) {
    for (const std::uint16_t from : {kCarol, kBob}) {
        Reopen();
        fake.loginInfo.roomAttr[ROOM_ATTR_SCREEN_SHARE] = kBob;
        fake.loginInfo.roomAttr[ROOM_ATTR_SCREEN_SHARE + 2] = 7;  // its sharing value
        frame->GetConfManager()->RefreshConfInfo();
        frame->HandleNetMessage(NETMSG_SCREEN_LOGIN, 0);
        ASSERT_EQ(log.Count("ScreenShare.StartRecv(24,7)"), 1u);
        log.Clear();
        fakes::LogCapture capture;
        Receive(from, 264, Screen(0, 0), 0);
        EXPECT_EQ(capture.Contains(kDropped), from != kBob) << from;
        EXPECT_EQ(log.Count("ScreenShare.SetRecv(1)"), from == kBob ? 1u : 0u) << from;
    }
    std::fill_n(fake.loginInfo.roomAttr, 6, std::uint8_t{0});
}

// What the room asked ends with the stay: the same frame's next room takes nothing from the
// user asked before; a prompt once answered makes its asker no peer.
TEST_F(CommandPeers, AskedUsersAreForgottenWhenTheStayEnds) {
    frame->RequestDeviceParam(kBob);
    ASSERT_NE(AskedForControlBy(kCarol), nullptr);
    CloseRoom();
    ASSERT_EQ(frame->LoginCs(kConfId, nullptr, 0), 0);
    Open();
    log.Clear();
    fakes::LogCapture capture;
    Receive(kBob, 260, Bytes(usercmd::kDeviceParamBlockSize));
    Receive(kCarol, 306, {2});
    EXPECT_EQ(capture.CountContaining(kDropped), 2u);
    EXPECT_EQ(log.Count("Device.OnHandleRespParam"), 0u);
    EXPECT_EQ(frame->GetAnswerFlag(), 0u);
}

// The sharer's room names it in the share record before announcing the share, so that the
// others, who take 266 only from the user that record names, find it there.
TEST_F(CommandPeers, TheMediaSharerNamesItselfBeforeItAnnouncesTheShare) {
    frame->SetMediaShareParam(0x0A0B0C0D);
    frame->StartMediaShare();
    const long named = IndexOf(fakes::Call("SetUserAttribute", ROOM_ATTR_MEDIA_SHARE, 7, 1));
    const long announced = IndexOf(fakes::Call("Transmit", 0, 266, 16));
    ASSERT_GE(named, 0);
    ASSERT_GE(announced, 0);
    EXPECT_LT(named, announced);
    ASSERT_EQ(fake.attributeWrites.size(), 1u);
    EXPECT_EQ(fake.attributeWrites[0].bytes, (Bytes{kMyId, 0, 0x0D, 0x0C, 0x0B, 0x0A, 1}));

    // The stop goes out while the record still names this client, then clears it.
    log.Clear();
    frame->StopMediaShare();
    const long stopped = IndexOf(fakes::Call("Transmit", 0, 266, 16));
    const long cleared = IndexOf(fakes::Call("SetUserAttribute", ROOM_ATTR_MEDIA_SHARE, 7, 1));
    ASSERT_GE(stopped, 0);
    EXPECT_LT(stopped, cleared);
}

}  // namespace
}  // namespace room_test
