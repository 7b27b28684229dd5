// The room's senders and the layout synchronisation: when the leading client sends its layout
// and in which network code, how a received layout moves the video windows, group audio and
// the dissolution command.

#include "UserCommandFixture.h"
#include "client/conference/LayoutCodec.h"
#include "client/conference/UserCommandPayloads.h"
#include "fakes/conference/LogCapture.h"

namespace room_test {
namespace {

using Bytes = std::vector<std::uint8_t>;
using yav::layout::WindowLayout;
namespace usercmd = yav::usercmd;

class LayoutSync : public UserCommandRoom {
protected:
    void Lead(bool on) { frame->GetConfManager()->GetLoginInfo().presenterState = on ? 2 : 0; }

    // A room layout in the local form.
    static WindowLayout Local(std::uint8_t layoutMode, std::uint8_t windowMode,
                              std::uint8_t mainDisplay, std::vector<std::uint16_t> ids = {},
                              std::uint16_t maximised = 0) {
        WindowLayout result;
        result.SetLayoutMode(layoutMode);
        result.SetWindowMode(windowMode);
        result.SetMainDisplay(mainDisplay);
        for (std::size_t i = 0; i < ids.size(); ++i) {
            result.SetWindowId(i, ids[i]);
        }
        result.SetMaximisedId(maximised);
        return result;
    }
    void SetRoom(const WindowLayout& room) { frame->SetRoomLayoutForTest(room.Bytes()); }
    WindowLayout Room() const { return *WindowLayout::FromBytes(frame->GetLayoutSlot(0)); }
    // The leader's layout as it arrives.
    void ReceiveLayout(const WindowLayout& local) {
        const WindowLayout sent = yav::layout::ToNetworkForm(local);
        Receive(kChair, 258, Bytes(sent.Bytes().begin(), sent.Bytes().end()), 0);
    }
    void ShowInWindows(std::vector<std::uint16_t> ids) {
        for (std::size_t i = 0; i < ids.size(); ++i) {
            layout->windows[i]->userId = ids[i];
        }
    }
};

TEST_F(LayoutSync, TheLayoutIsSentOnlyWhenLeadingAllowedReadyAndChanged) {
    const struct {
        const char* name;
        bool leading;
        int allowed;
        std::uint32_t ready;
        bool changed;
        bool sends;
    } cases[] = {
        {"all four", true, 1, 1, true, true},
        {"unchanged since sent", true, 1, 1, false, false},
        {"not leading", false, 1, 1, true, false},
        {"not allowed", true, 0, 1, true, false},
        {"not ready", true, 1, 0, true, false},
        {"all four again", true, 1, 1, true, true},
    };
    std::uint16_t id = 100;
    for (const auto& c : cases) {
        fake.transmissions.clear();
        Lead(c.leading);
        frame->SetLayoutReady(c.ready);
        if (c.changed) {
            SetRoom(Local(1, 2, 0, {id, static_cast<std::uint16_t>(id + 8)}));
            id = static_cast<std::uint16_t>(id + 16);
        }
        frame->SendSyncWndLayout(c.allowed);
        EXPECT_EQ(Sent(258).size(), c.sends ? 1u : 0u) << c.name;
        if (c.sends) {
            EXPECT_EQ(Sent(258)[0].to, 0) << c.name;
            EXPECT_EQ(frame->GetLastLayoutSent(), frame->GetLayoutSlot(0)) << c.name;
        }
    }
    // Sent once, a second call with the same layout sends nothing.
    Lead(true);
    frame->SetLayoutReady(1);
    fake.transmissions.clear();
    frame->SendSyncWndLayout(1);
    EXPECT_TRUE(Sent(258).empty());
}

TEST_F(LayoutSync, TheModeBytesTravelAsTheNetworkCodeOfTheMainDisplay) {
    Lead(true);
    const struct {
        std::uint8_t layoutMode, windowMode, mainDisplay;
        std::uint8_t byte0, byte1;
    } cases[] = {
        {4, 8, 1, 0, 8}, {4, 4, 1, 7, 4}, {3, 8, 2, 2, 8},
        {3, 2, 2, 2, 4}, {7, 2, 0, 5, 2}, {6, 4, 0, 3, 2},
    };
    std::uint16_t id = 100;
    for (const auto& c : cases) {
        fake.transmissions.clear();
        const WindowLayout local = Local(c.layoutMode, c.windowMode, c.mainDisplay, {id}, id);
        id = static_cast<std::uint16_t>(id + 8);
        SetRoom(local);
        frame->SendSyncWndLayout(1);
        ASSERT_EQ(Sent(258).size(), 1u);
        const Bytes sent = Sent(258)[0].bytes;
        ASSERT_EQ(sent.size(), 100u);
        EXPECT_EQ(sent[0], c.byte0) << int(c.layoutMode) << "/" << int(c.mainDisplay);
        EXPECT_EQ(sent[1], c.byte1) << int(c.layoutMode) << "/" << int(c.mainDisplay);
        // The other bytes travel as they are; the room layout keeps its local form.
        EXPECT_TRUE(std::equal(sent.begin() + 2, sent.end(), local.Bytes().begin() + 2));
        EXPECT_EQ(Room(), local);
        EXPECT_TRUE(std::equal(sent.begin(), sent.end(), frame->GetPendingLayout().begin()));
    }
}

TEST_F(LayoutSync, AReceivedLayoutSetsTheRoomModesAndLaysOutThePanes) {
    const struct {
        WindowLayout sentAs;
        std::uint8_t layoutMode, windowMode, flag, mainDisplay;
    } cases[] = {
        {Local(1, 2, 0), 1, 2, 0, 0},
        {Local(3, 2, 0), 3, 2, 0, 0},
        {Local(7, 2, 0), 8, 2, 0, 0},  // lossy by design: 7 comes back as 8
        {Local(4, 4, 1), 7, 4, 1, 1},
        {Local(9, 8, 2), 2, 4, 0, 2},  // window mode 8 without a shared screen shows 4
    };
    for (const auto& c : cases) {
        log.Clear();
        ReceiveLayout(c.sentAs);
        const WindowLayout room = Room();
        EXPECT_EQ(room.LayoutMode(), c.layoutMode) << int(c.sentAs.LayoutMode());
        EXPECT_EQ(room.WindowMode(), c.windowMode) << int(c.sentAs.LayoutMode());
        EXPECT_EQ(room.LayoutFlag(), c.flag) << int(c.sentAs.LayoutMode());
        EXPECT_EQ(room.MainDisplay(), c.mainDisplay) << int(c.sentAs.LayoutMode());
        EXPECT_EQ(log.Count("ControlBar.SetBarMode(" + std::to_string(c.mainDisplay) + ")"), 1u);
        EXPECT_EQ(log.Count("Layout.SetWinMode"), 1u);
        EXPECT_TRUE(frame->HasPendingLayout());
        EXPECT_EQ(frame->GetLayoutReady(), 1u);
    }
    // The same layout again changes nothing.
    ReceiveLayout(cases[3].sentAs);
    log.Clear();
    ReceiveLayout(cases[3].sentAs);
    EXPECT_EQ(log.Count("Layout.SetWinMode"), 0u);
}

TEST_F(LayoutSync, AVideoShownElsewhereIsSwappedWithoutARequest) {
    SetRoom(Local(1, 2, 0, {24, 32}));
    ShowInWindows({24, 32});
    ReceiveLayout(Local(1, 2, 0, {32, 24}));
    EXPECT_EQ(log.Matching("Layout.ExchangeWndByIndex"),
              std::vector<std::string>{"Layout.ExchangeWndByIndex(0,1)"});
    EXPECT_EQ(log.Count("RequestVideo"), 0u);
    EXPECT_EQ(log.Count("Reception."), 0u);
    EXPECT_EQ(Room().WindowId(0), 32);
    EXPECT_EQ(Room().WindowId(1), 24);
}

TEST_F(LayoutSync, ANewVideoIsRequestedAndAWindowLeftEmptyIsLetGo) {
    SetRoom(Local(1, 2, 0, {24, 32}));
    ShowInWindows({24, 32});
    ReceiveLayout(Local(1, 2, 0, {40, 0}));
    // Window 0: 40 is nowhere yet, so 24 goes and 40 is asked for.
    EXPECT_EQ(log.Count("RequestVideo(40)"), 1u);
    EXPECT_EQ(log.Count("RequestVideo(24)"), 0u);
    EXPECT_EQ(Room().WindowId(0), 40);
    EXPECT_EQ(Room().WindowId(1), 0);
    EXPECT_EQ(log.Count("Layout.ExchangeWndByIndex"), 0u);

    // The room keeps its own layout: the copy is kept, nothing moves.
    g_AppSettings.freeLayout = 1;
    log.Clear();
    ReceiveLayout(Local(1, 2, 0, {48}));
    EXPECT_EQ(log.Count("RequestVideo"), 0u);
    EXPECT_TRUE(frame->HasPendingLayout());
    EXPECT_EQ(Room().WindowId(0), 40);
}

TEST_F(LayoutSync, ViewingASharedScreenMovesWindowsButNotPanes) {
    frame->SetShareStateForTest(2, kChair, 0, 0);
    SetRoom(Local(1, 2, 0, {24, 32}));
    ShowInWindows({24, 32});
    ReceiveLayout(Local(3, 2, 0, {32, 24}, 24));
    EXPECT_EQ(Room().LayoutMode(), 3);
    EXPECT_EQ(log.Count("Layout.SetWinMode"), 0u);
    EXPECT_EQ(log.Count("Layout.ExchangeWndByIndex(0,1)"), 1u);
    EXPECT_EQ(Room().MaximisedId(), 24);
    EXPECT_EQ(log.Count("Arrangement.ShowFullVideo"), 0u);

    // Not viewing: the maximised video is shown, and its end resets the share buttons.
    frame->SetShareStateForTest(0, 0, 0, 0);
    ReceiveLayout(Local(3, 2, 0, {32, 24}, 32));
    EXPECT_EQ(log.Count("Arrangement.ShowFullVideo(32,1)"), 1u);
    ReceiveLayout(Local(3, 2, 0, {32, 24}, 0));
    EXPECT_EQ(log.Count("Arrangement.ShowFullVideo(0,0)"), 1u);
    EXPECT_EQ(log.Count("FullDock.UpdateButtons()"), 1u);
}

TEST_F(LayoutSync, ResynchronisingAppliesTheKeptLayoutOpensBroadcastsAndSendsWhenLeading) {
    g_AppSettings.freeLayout = 1;
    SetRoom(Local(1, 2, 0, {24}));
    ShowInWindows({24});
    frame->SetShareStateForTest(0, kChair, 0, 0);
    ReceiveLayout(Local(1, 2, 0, {32}));
    EXPECT_EQ(log.Count("Reception."), 0u);
    userList->broadcastIds = {41};
    reception.receiving = {};
    Lead(true);
    log.Clear();
    frame->ApplyLayoutFromNetwork();
    EXPECT_EQ(g_AppSettings.freeLayout, 0);
    EXPECT_EQ(log.Count("ControlBar.UpdateVideoPager()"), 1u);
    // The kept layout applied with force: channels opened and closed directly.
    EXPECT_EQ(log.Count("Reception.CloseChannel(24)"), 1u);
    EXPECT_EQ(log.Count("Reception.OpenChannel(32)"), 1u);
    EXPECT_EQ(log.Count("Reception.OpenChannel(41)"), 1u);
    EXPECT_EQ(log.Count("RequestVideo"), 0u);
    EXPECT_FALSE(frame->HasPendingLayout());
    EXPECT_EQ(Sent(258).size(), 1u);
}

TEST_F(LayoutSync, TheLastOtherMemberLeavingMakesThisClientLeaveAndAnnounceIt) {
    fake.appInfo.speakerLimit = 8;
    fake.users.SetPrivateData(kMyId, ST_USER_PRIVATEDATA{5, 0, 1});
    fake.users.SetPrivateData(kBob, ST_USER_PRIVATEDATA{0, 5, 0});  // bob just left group 5
    fake.users.SetPrivateData(kCarol, ST_USER_PRIVATEDATA{7, 0, 0});
    Receive(kBob, 274, usercmd::EncodeGroupAnnounce(kBob), 0);

    EXPECT_EQ(log.Count("Media.StopRecvAudio(24)"), 1u);
    std::shared_ptr<ST_USER_PRIVATEDATA> mine;
    ASSERT_TRUE(fake.users.GetUserPrivateData(mine, kMyId));
    EXPECT_EQ(mine->groupValue, 0u);
    EXPECT_EQ(mine->previousGroupValue, 5u);
    ASSERT_EQ(fake.userDataWrites.size(), 1u);
    EXPECT_EQ(fake.userDataWrites[0].user, kMyId);
    EXPECT_EQ(fake.userDataWrites[0].bytes.size(), 10u);
    EXPECT_EQ(fake.userDataWrites[0].bytes[4], 5);  // previous group
    EXPECT_EQ(log.Count("ApplySpeak"), 2u);         // speak mode 1
    ASSERT_EQ(Sent(274).size(), 1u);
    EXPECT_EQ(Sent(274)[0].to, 0);
    EXPECT_EQ(Sent(274)[0].bytes, usercmd::EncodeGroupAnnounce(kMyId));
    EXPECT_EQ(userList->chat.lines.back(), LoadLangString(2173));

    // With another member still in the group, this client stays.
    fake.users.SetPrivateData(kMyId, ST_USER_PRIVATEDATA{7, 0, 0});
    fake.users.SetPrivateData(kBob, ST_USER_PRIVATEDATA{0, 7, 0});
    fake.transmissions.clear();
    Receive(kBob, 274, usercmd::EncodeGroupAnnounce(kBob), 0);
    EXPECT_TRUE(Sent(274).empty());
    ASSERT_TRUE(fake.users.GetUserPrivateData(mine, kMyId));
    EXPECT_EQ(mine->groupValue, 7u);
}

TEST_F(LayoutSync, DissolvingOneGroupLeavesTheOtherAlone) {
    fake.users.SetPrivateData(kBob, ST_USER_PRIVATEDATA{1, 3, 0});
    fake.users.SetPrivateData(kChair, ST_USER_PRIVATEDATA{1, 0, 0});
    fake.users.SetPrivateData(kCarol, ST_USER_PRIVATEDATA{2, 9, 0});
    frame->DissolveAudioGroup(1);

    ASSERT_EQ(Sent(276).size(), 2u);
    EXPECT_EQ(Sent(276)[0].to, kBob);
    EXPECT_EQ(Sent(276)[1].to, kChair);
    std::shared_ptr<ST_USER_PRIVATEDATA> data;
    ASSERT_TRUE(fake.users.GetUserPrivateData(data, kBob));
    EXPECT_EQ(data->groupValue, 0u);
    EXPECT_EQ(data->previousGroupValue, 1u);
    ASSERT_TRUE(fake.users.GetUserPrivateData(data, kCarol));
    EXPECT_EQ(data->groupValue, 2u);
    EXPECT_EQ(data->previousGroupValue, 9u);
}

TEST_F(LayoutSync, MovingASpeakerIntoAGroupTakesTheFloorAndTellsThem) {
    fake.appInfo.speakerLimit = 8;
    fake.users.AddUser(kBob, u"bob").speakState = 2;
    fake.users.SetPrivateData(kBob, ST_USER_PRIVATEDATA{3, 0, 0});
    frame->MoveUserToAudioGroup(kBob, 4);
    EXPECT_EQ(log.Matching("AwardSpeek"),
              (std::vector<std::string>{"AwardSpeek(24,0)", "AwardSpeek(24,2)"}));
    EXPECT_EQ(log.Count("Media.StopRecvAudio(24)"), 1u);
    std::shared_ptr<ST_USER_PRIVATEDATA> data;
    ASSERT_TRUE(fake.users.GetUserPrivateData(data, kBob));
    EXPECT_EQ(data->groupValue, 4u);
    EXPECT_EQ(data->previousGroupValue, 3u);
    EXPECT_EQ(data->speakMode, 2);
    ASSERT_EQ(Sent(275).size(), 1u);
    EXPECT_EQ(Sent(275)[0].to, kBob);
    EXPECT_TRUE(Sent(275)[0].bytes.empty());
    ASSERT_EQ(fake.userDataWrites.size(), 1u);
    EXPECT_EQ(fake.userDataWrites[0].user, kBob);

    // Joining: the members of my new group who speak or are listened to are heard.
    fake.users.SetPrivateData(kMyId, ST_USER_PRIVATEDATA{4, 3, 0});
    fake.users.SetPrivateData(kChair, ST_USER_PRIVATEDATA{4, 0, 0, 1});
    fake.users.SetPrivateData(kCarol, ST_USER_PRIVATEDATA{3, 0, 0});
    log.Clear();
    Receive(kChair, 275, {});
    EXPECT_EQ(log.Count("Media.StopRecvAudio(32)"), 1u);
    EXPECT_EQ(log.Count("Media.StartRecvAudio(24"), 1u);
    EXPECT_EQ(log.Count("Media.StartRecvAudio(40"), 1u);
    EXPECT_EQ(log.Count("UserList.OnUserAudioState(24,2)"), 1u);
}

TEST_F(LayoutSync, MediaShareIsAnnouncedOnceAndEndedOnlyWhenShared) {
    frame->SetMediaShareParam(0x0A0B0C0D);
    frame->StopMediaShare();
    EXPECT_TRUE(Sent(266).empty());
    frame->StartMediaShare();
    frame->StartMediaShare();
    ASSERT_EQ(Sent(266).size(), 1u);
    const auto started = usercmd::DecodeMediaShare(Sent(266)[0].bytes);
    ASSERT_TRUE(started);
    EXPECT_EQ(started->code, 1);
    EXPECT_EQ(started->userId, kMyId);
    EXPECT_EQ(started->shareParam, 0x0A0B0C0Du);
    ASSERT_EQ(fake.attributeWrites.size(), 1u);
    EXPECT_EQ(fake.attributeWrites[0].offset, 6);
    EXPECT_EQ(fake.attributeWrites[0].bytes, (Bytes{16, 0, 0x0D, 0x0C, 0x0B, 0x0A, 1}));
    EXPECT_TRUE(frame->GetNoticeText().isEmpty());
    EXPECT_EQ(userList->chat.lines.back(), LoadLangString(379));

    frame->StopMediaShare();
    ASSERT_EQ(Sent(266).size(), 2u);
    EXPECT_EQ(Sent(266)[1].bytes, Bytes(16, 0));
    EXPECT_EQ(fake.attributeWrites.back().bytes, Bytes(7, 0));
    EXPECT_EQ(frame->GetMediaShareState(), 0);
}

TEST_F(LayoutSync, EndingOwnControlStopsTheViewAndReturnsToTheSharedScreen) {
    frame->SetShareStateForTest(2, kChair, 1, 0);
    frame->SetMediaShareParam(9);
    frame->SendControlRequest(kBob, 0);
    EXPECT_EQ(Sent(306)[0].bytes, Bytes{0});
    EXPECT_EQ(log.Count("ScreenShare.SetRecv(1)"), 1u);
    EXPECT_EQ(log.Count("ScreenShare.StartRecv(40,9)"), 1u);
    EXPECT_EQ(log.Count("StatusBar.UpdateMeetingStateText()"), 1u);
    EXPECT_EQ(frame->GetRemoteControlState(), 0);
    EXPECT_EQ(frame->GetControlRequest(), 0u);
}

TEST_F(LayoutSync, TheChairsDissolutionClosesItsOwnRoomToo) {
    int boxes = 0;
    const int token = yav::Dialog::AddModalObserver([&](yav::Dialog& dialog) {
        ++boxes;
        dialog.EndDialog(IDOK);  // the confirmation, then the dissolution box
    });
    frame->SendMessage(WM_COMMAND, 32782, 0);
    EXPECT_TRUE(yav::testing::WaitUntil([&] { return !frame->IsWindow(); }));
    yav::Dialog::RemoveModalObserver(token);
    EXPECT_EQ(boxes, 2);
    ASSERT_EQ(Sent(288).size(), 1u);
    EXPECT_EQ(Sent(288)[0].to, 0);
}

}  // namespace
}  // namespace room_test
