// Participants coming, changing and going, and the presenter hand-over, as the room handles
// the conference server's reports.

#include <algorithm>

#include "RoomHandlersFixture.h"
#include "client/conference/LayoutCodec.h"
#include "client/conference/UserCommandPayloads.h"

namespace room_test {
namespace {

using RoomParticipants = RoomHandlers;

ST_USER_ITEM_DEPT Record(std::uint16_t id, const std::u16string& name) {
    ST_USER_ITEM_DEPT record;
    record.userId = id;
    std::copy_n(name.begin(), std::min<size_t>(name.size(), 31), record.name);
    record.departmentId = 3;
    return record;
}

TEST_F(RoomParticipants, AUserJoiningTwiceIsListedOnceAndGreetedOnce) {
    AddOther(kOther, u"bob");
    ST_USER_ITEM_DEPT first = Record(kOther, u"bob");
    ST_USER_ITEM_DEPT again = Record(kOther, u"bob");
    frame->OnUserJoin(&first);
    frame->OnUserJoin(&again);
    // Listed once (the room's login snapshot listed this user already).
    EXPECT_EQ(std::count(userList->rows.begin(), userList->rows.end(), kOther), 1);
    // The tree keys department items 10 above their ids.
    EXPECT_EQ(first.departmentId, 13u);
    ASSERT_EQ(Notices().size(), 1u);
    EXPECT_EQ(Notices()[0],
              LoadLangString(235) + QStringLiteral(" bob(24) ") + LoadLangString(238));
    EXPECT_EQ(log.Count("UserList.SetOnlineCountText"), 1u);
}

TEST_F(RoomParticipants, LongNamesAreShortenedInTheJoinAndLeaveNotices) {
    const std::u16string name = u"abcdefghijKLMNOPQRST";  // 20 characters
    AddOther(kOther, name);
    ST_USER_ITEM_DEPT record = Record(kOther, name);
    frame->OnUserJoin(&record);
    frame->OnUserLeave(kOther, 13, 0);
    ASSERT_EQ(Notices().size(), 2u);
    for (const QString& notice : Notices()) {
        EXPECT_TRUE(notice.contains(QStringLiteral(" abcdefghij...PQRST(24) ")))
            << notice.toStdString();
    }
    EXPECT_TRUE(frame->GetNoticeText().endsWith(LoadLangString(241)));
}

TEST_F(RoomParticipants, ANameFillingItsWholeFieldIsReadWithinIt) {
    AddOther(kOther, u"bob");
    // The record as the server may send it: 32 characters, no terminator, then other fields.
    ST_USER_ITEM_DEPT record = Record(kOther, u"");
    std::fill(std::begin(record.name), std::end(record.name), u'n');
    record.kind = 'X';
    frame->OnUserJoin(&record);
    ASSERT_EQ(Notices().size(), 1u);
    EXPECT_TRUE(Notices()[0].contains(QStringLiteral(" nnnnnnnnnn...nnnnn(24) ")))
        << Notices()[0].toStdString();
}

TEST_F(RoomParticipants, ANewcomerIsToldOfTheSharedMediaOnlyByASharingPresenter) {
    const struct {
        bool presenter;
        std::uint8_t mediaState;
        bool told;
    } cases[] = {{true, 1, true}, {true, 2, false}, {true, 0, false}, {false, 1, false}};
    AddOther(kOther, u"bob");
    for (const auto& c : cases) {
        fake.transmissions.clear();
        userList->rows.clear();
        frame->SetMediaShareParam(0xA1B2C3D4);
        frame->HandleLeadingStatus(kMyId, c.presenter ? 2 : 0, c.presenter ? 0 : 2);
        fake.transmissions.clear();
        frame->SetMediaShareState(c.mediaState);
        ST_USER_ITEM_DEPT record = Record(kOther, u"bob");
        frame->OnUserJoin(&record);
        const auto sent = Sent(SUBCOMMAND_MEDIA);
        ASSERT_EQ(sent.size(), c.told ? 1u : 0u) << c.presenter << int(c.mediaState);
        if (c.told) {
            EXPECT_EQ(sent[0].to, kOther);
            const auto share = yav::usercmd::DecodeMediaShare(sent[0].bytes);
            ASSERT_TRUE(share.has_value());
            EXPECT_EQ(share->code, 1);
            EXPECT_EQ(share->userId, kMyId);
            EXPECT_EQ(share->shareParam, 0xA1B2C3D4u);
        }
    }
}

TEST_F(RoomParticipants, TheLeavingControllerOfMyScreenIsForgottenButTheStateStays) {
    AddOther(kOther, u"bob");
    frame->SetRemoteControl(2, kOther);
    frame->OnUserLeave(kOther, 13, 0);
    EXPECT_EQ(frame->GetRemoteControlId(), 0);
    EXPECT_EQ(frame->GetRemoteControlState(), 2);
    EXPECT_EQ(log.Count("ScreenShare.StopShare()"), 1u);
    EXPECT_EQ(log.Count("StatusBar.UpdateMeetingStateText()"), 1u);

    // The user whose screen this client controlled: both are cleared and receiving stops.
    AddOther(32, u"carol");
    frame->SetRemoteControl(1, 32);
    frame->OnUserLeave(32, 13, 0);
    EXPECT_EQ(frame->GetRemoteControlId(), 0);
    EXPECT_EQ(frame->GetRemoteControlState(), 0);
    EXPECT_EQ(log.Count("ScreenShare.SetRecv(1)"), 1u);
}

TEST_F(RoomParticipants, TheLastOtherMemberOfMyAudioGroupLeavingTakesMeOutOfIt) {
    const struct {
        std::vector<std::uint16_t> members;  // besides me, in group 7
        std::uint16_t leaving;
        bool left;
    } cases[] = {{{kOther}, kOther, true}, {{kOther, 32}, kOther, false}, {{}, 40, false}};
    for (const auto& c : cases) {
        fake.transmissions.clear();
        AddOther(40, u"dan");
        for (std::uint16_t id : c.members) {
            AddOther(id, u"m").privateData.groupValue = 7;
        }
        ST_USER_PRIVATEDATA mine;
        mine.groupValue = 7;
        fake.users.SetPrivateData(kMyId, mine);
        frame->GetConfManager()->RefreshMyRecords();
        frame->OnUserLeave(c.leaving, 13, 0);
        EXPECT_EQ(Sent(yav::proto::kSubCommandGroupAnnounce).size(), c.left ? 1u : 0u)
            << c.members.size();
        std::shared_ptr<ST_USER_PRIVATEDATA> after;
        ASSERT_TRUE(frame->GetConfManager()->GetUserPrivateData(after, kMyId));
        EXPECT_EQ(after->groupValue, c.left ? 0u : 7u) << c.members.size();
        for (std::uint16_t id : c.members) {
            fake.users.RemoveUser(id);
        }
    }
}

TEST_F(RoomParticipants, LeavingClosesTheUsersBroadcastChannelsAndLeavesTheRotation) {
    AddOther(kOther, u"bob", 0b101);
    frame->GetMediaIdList().AddOrMoveToTail(kOther);
    frame->GetMediaIdList().AddOrMoveToTail(kOther + 2);
    layout->windows[3]->userId = kOther + 2;
    frame->GetVideoCycle()->AddUserChannels(kOther);
    frame->OnUserLeave(kOther, 13, 0);
    EXPECT_EQ(frame->GetMediaIdList().GetCount(), 0);
    // Only the broadcast channel had a window.
    EXPECT_EQ(log.Matching("Layout.RemoveVideoWnd"),
              std::vector<std::string>({"Layout.RemoveVideoWnd(26)"}));
    EXPECT_EQ(log.Matching("Reception.StopVideoRecv"),
              std::vector<std::string>({"Reception.StopVideoRecv(26,1)"}));
    EXPECT_EQ(log.Matching("Reception.CloseChannelWindow"),
              std::vector<std::string>({"Reception.CloseChannelWindow(26)"}));
    EXPECT_TRUE(frame->GetVideoCycle()->GetQueue().empty());
    EXPECT_EQ(log.Count("UserList.OnUserLeave(24,13)"), 1u);
}

TEST_F(RoomParticipants, AChangedRecordOpensBroadcastsUpToTheSpeakerLimit) {
    // Channel 0 dropped, channels 1 and 2 offered and broadcast; the room already receives one
    // video (carol's) and channel 2, against a limit of 2 received broadcasts.
    g_AppSettings.bPagedVideo = 0;
    g_AppSettings.wSpeakerLimit = 2;
    AddOther(32, u"carol", 1);
    frame->GetMediaIdList().AddOrMoveToTail(32);
    frame->GetMediaIdList().SetFlag(32, 1);
    frame->GetMediaIdList().AddOrMoveToTail(kOther + 2);
    frame->GetMediaIdList().SetFlag(kOther + 2, 1);
    ST_USER_ITEM_DEPT bob = AddOther(kOther, u"bob", 0b110);
    bob.broadcastMask = 0b110;
    bob.videoChannelCount = 3;
    // The component stores bob's new record (both channels broadcast), then queues the change.
    fake.ChangeUser(bob);
    ASSERT_TRUE(yav::testing::TimerDriver::Fire(*frame, CYavClientDlg::TIMER_RECV_DATA));
    EXPECT_EQ(log.Count("Reception.StopVideoRecv(24,0)"), 1u);
    EXPECT_EQ(log.Count("UserList.SetBroadcastState(24,0)"), 1u);
    EXPECT_EQ(log.Count("UserList.SetBroadcastState(25,1)"), 1u);
    // Channel 1 would be a third received broadcast: it is refused. Channel 2 is received.
    EXPECT_EQ(log.Matching("BroadcastVideo"), std::vector<std::string>({"BroadcastVideo(25,0)"}));
    EXPECT_EQ(log.Matching("Reception.OpenChannel"),
              std::vector<std::string>({"Reception.OpenChannel(26)"}));
    EXPECT_EQ(log.Count("UserList.OnUserUpdate(24)"), 1u);
    const auto listed = frame->GetMediaIdList().Snapshot();
    ASSERT_EQ(listed.size(), 3u);
    EXPECT_EQ(listed[1].wMediaId, 25);
    EXPECT_EQ(listed[2].wMediaId, 26);
}

TEST_F(RoomParticipants, PagedVideoReceivesOfferedChannelsWhileThePageHasRoom) {
    const struct {
        int used;
        int capacity;
        std::uint8_t limit;
        std::size_t received;
    } cases[] = {{0, 16, 16, 2}, {2, 4, 16, 2}, {4, 4, 16, 0}, {1, 16, 1, 0}};
    g_AppSettings.bPagedVideo = 1;
    for (const auto& c : cases) {
        log.Clear();
        layout->used = c.used;
        layout->capacity = c.capacity;
        g_AppSettings.byPagedVideoLimit = c.limit;
        ST_USER_ITEM_DEPT bob = AddOther(kOther, u"bob", 0b101);
        bob.videoChannelCount = 3;
        bob.streamParam = 9;
        frame->OnUserInfoChanged(&bob);
        EXPECT_EQ(log.Count("Reception.MediaVideoRecv"), c.received) << c.used << "/" << c.capacity;
        EXPECT_EQ(log.Count("Reception.OpenChannel"), 0u);
        EXPECT_EQ(log.Count("ControlBar.UpdateVideoPager()"), 1u);
    }
}

TEST_F(RoomParticipants, BecomingPresenterBroadcastsOnlyTheFirstOwnChannel) {
    // The media manager captures camera channels 1 and 2.
    roomMedia->captured = 0b110;
    g_AppSettings.wSpeakerLimit = 4;
    frame->HandleLeadingStatus(kMyId, 2, 0);
    EXPECT_TRUE(frame->IsPresenter());
    EXPECT_EQ(frame->GetPresenterId(), kMyId);
    EXPECT_EQ(log.Matching("BroadcastVideo"), std::vector<std::string>({"BroadcastVideo(17,1)"}));
    EXPECT_EQ(log.Count("UserList.OnLeadingStatus(16,2)"), 1u);
    EXPECT_EQ(log.Count("StatusBar.SetShareState(2)"), 1u);
    EXPECT_EQ(log.Count("FileList.UpdateUploadEnable()"), 1u);
}

TEST_F(RoomParticipants, HandOverFromAnotherPresenterToMeSendsTheLayoutOnce) {
    AddOther(kOther, u"bob", 0b1);
    frame->HandleLeadingStatus(kOther, 2, 0);
    EXPECT_EQ(frame->GetPresenterId(), kOther);
    EXPECT_FALSE(frame->IsPresenter());
    // Bob's layout was followed: his channel in the first window.
    yav::layout::WindowLayout followed;
    followed.Bytes() = frame->GetLayoutSlot(0);
    followed.SetWindowId(0, kOther);
    frame->SetRoomLayoutForTest(followed.Bytes());
    frame->HandleLeadingStatus(kOther, 0, 2);
    EXPECT_EQ(frame->GetPresenterId(), 0);

    // The server makes me presenter; this client has no media of its own.
    fake.loginInfo.presenterState = 2;
    frame->GetConfManager()->RefreshConfInfo();
    fake.transmissions.clear();
    frame->HandleLeadingStatus(kMyId, 2, 0);
    EXPECT_TRUE(frame->IsPresenter());
    ST_USER_ITEM_DEPT bob = AddOther(kOther, u"bob", 0b1);
    frame->OnUserInfoChanged(&bob);  // a later change sends nothing new
    const auto sent = Sent(SUBCOMMAND_SYNCWNDLAYOUT);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].to, 0);
    const auto received = yav::layout::WindowLayout::FromBytes(sent[0].bytes);
    ASSERT_TRUE(received.has_value());
    EXPECT_EQ(received->WindowId(0), kOther);
}

TEST_F(RoomParticipants, APresenterSteppingDownEndsTheViewOfTheirScreenUnlessIControlIt) {
    const struct {
        std::uint8_t remoteControl;
        bool stopsReceiving;
    } cases[] = {{0, true}, {1, false}};
    AddOther(kOther, u"bob");
    for (const auto& c : cases) {
        log.Clear();
        frame->SetShareStateForTest(2, kOther, c.remoteControl, 0);
        frame->HandleLeadingStatus(kOther, 0, 2);
        EXPECT_EQ(frame->GetScreenBroadcast(), 0);
        EXPECT_EQ(frame->GetPresenterId(), 0);
        EXPECT_EQ(log.Count("ScreenShare.SetRecv(1)"), c.stopsReceiving ? 1u : 0u)
            << int(c.remoteControl);
        // Another user's role change leaves my own buttons alone.
        EXPECT_EQ(log.Count("StatusBar.SetShareState"), 0u);
    }
}

TEST_F(RoomParticipants, StoppingBeingPresenterClearsTheFlagAndId) {
    frame->HandleLeadingStatus(kMyId, 2, 0);
    log.Clear();
    frame->HandleLeadingStatus(kMyId, 0, 2);
    EXPECT_FALSE(frame->IsPresenter());
    EXPECT_EQ(frame->GetPresenterId(), 0);
    EXPECT_EQ(log.Count("StatusBar.SetShareState(0)"), 1u);
}

}  // namespace
}  // namespace room_test
