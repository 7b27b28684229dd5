// The room's conference events: video results, broadcasts, room attributes, server notices
// and boxes, the forced exit and participants' roles.

#include <QApplication>

#include <functional>
#include <thread>

#include "ModalBoxes.h"
#include "RoomHandlersFixture.h"
#include "client/conference/LayoutCodec.h"
#include "client/conference/RoomNotices.h"
#include "client/conference/UserCommandPayloads.h"
#include "client/media/VideoCycle.h"
#include "ui/CDlgPopMsg.h"

namespace room_test {
namespace {

using RoomConfEvents = RoomHandlers;

QString Notice(std::initializer_list<int> ids, const QString& name, std::uint32_t id) {
    std::vector<QString> texts;
    for (int text : ids) {
        texts.push_back(LoadLangString(text));
    }
    return texts.size() == 2 ? yav::notice::UserNotice({texts[0], texts[1]}, name, id)
                             : yav::notice::UserNotice({texts[0], texts[1], texts[2]}, name, id);
}

TEST_F(RoomConfEvents, AVideoOpenFailureNamesTheChannelsUserAndTheReason) {
    const struct {
        std::uint16_t result;
        std::initializer_list<int> texts;
    } cases[] = {{0x100C, {160, 166, 169}},
                 {0x100E, {160, 166, 172}},
                 {0x1010, {160, 166, 175}},
                 {0x2000, {160, 166}}};
    for (const auto& c : cases) {
        userList->chat.lines.clear();
        // Media id 17 is channel 1 of user 16 ("me").
        frame->OnVideoOpenResult(17, c.result, 0);
        ASSERT_EQ(Notices().size(), 1u) << c.result;
        EXPECT_EQ(Notices()[0], Notice(c.texts, QStringLiteral("me"), 17)) << c.result;
        EXPECT_TRUE(frame->GetNoticeText().isEmpty());
    }
    EXPECT_EQ(log.Count("Reception."), 0u);
}

TEST_F(RoomConfEvents, AVideoOfAUserWithoutANameGivesNoNotice) {
    frame->OnVideoOpenResult(41, 0x100E, 0);
    EXPECT_TRUE(Notices().empty());
}

TEST_F(RoomConfEvents, AnOpenedVideoIsReceivedAndAClosedOneStopped) {
    AddOther(kOther, u"bob");
    frame->OnVideoOpenResult(kOther + 1, 0, 0x55);
    EXPECT_EQ(log.Matching("Reception."),
              std::vector<std::string>({"Reception.MediaVideoRecv(25,85)"}));
    ASSERT_EQ(Notices().size(), 1u);
    EXPECT_EQ(Notices()[0], Notice({160, 2389}, QStringLiteral("bob"), 25));

    log.Clear();
    frame->OnVideoOpenResult(kOther + 1, 0, 0);
    EXPECT_EQ(log.Matching("Reception."),
              std::vector<std::string>({"Reception.StopVideoRecv(25,1)"}));
    ASSERT_EQ(Notices().size(), 2u);
    EXPECT_EQ(Notices()[1], Notice({157, 2389}, QStringLiteral("bob"), 25));
}

TEST_F(RoomConfEvents, TheParticipantWindowLearnsWhichVideosThisClientReceives) {
    // Its received table holds the ids counted against the receive limits.
    AddOther(kOther, u"bob");
    const struct {
        std::uint16_t result;
        std::uint32_t value;
        bool closedWhilePending;
        std::vector<std::string> told;
    } cases[] = {
        {0, 0x55, false, {"UserList.OnVideoReceived(25,1)"}},
        {0, 0, false, {"UserList.OnVideoReceived(25,0)"}},
        {0x100E, 0, false, {"UserList.OnVideoReceived(25,0)"}},
        // The request was closed before the answer came: nothing is received.
        {0, 0x55, true, {}},
    };
    for (const auto& c : cases) {
        log.Clear();
        if (c.closedWhilePending) {
            frame->GetConfManager()->UpdateVideoRequest(kOther + 1, 1, 0, 1);
        }
        frame->OnVideoOpenResult(kOther + 1, c.result, c.value);
        EXPECT_EQ(log.Matching("UserList.OnVideoReceived"), c.told)
            << c.result << " " << c.value << " " << c.closedWhilePending;
    }
}

TEST_F(RoomConfEvents, EveryReceptionTheRoomStopsLeavesTheReceivedTable) {
    AddOther(kOther, u"bob", 0b10);
    fakes::FakeRoomVideoWindow window(log, 50);
    const std::vector<std::pair<const char*, std::function<void()>>> stops = {
        {"StopVideoRecv", [&] { frame->StopVideoRecv(kOther + 1, 0, 0); }},
        {"CloseChannel", [&] { frame->CloseChannel(kOther + 1); }},
        {"ReceiveVideo off", [&] { frame->ReceiveVideo(kOther + 1, 0, 0, &window); }},
    };
    for (const auto& [name, stop] : stops) {
        log.Clear();
        stop();
        EXPECT_EQ(log.Matching("UserList.OnVideoReceived"),
                  std::vector<std::string>({"UserList.OnVideoReceived(25,0)"}))
            << name;
    }
    // Opening a window's reception is not one of the requested videos.
    log.Clear();
    frame->ReceiveVideo(kOther + 1, 0, 123, &window);
    EXPECT_EQ(log.Count("UserList.OnVideoReceived"), 0u);
}

// The room with its own video window, the participant tree's preview.
class RoomWithPreview : public RoomHandlers {
protected:
    void InstallMore(yav::room::RoomChildFactories& make) override {
        make.ownVideo = [this](QWidget*) {
            auto child = std::make_unique<FakeOwnVideo>(log);
            ownVideo = child.get();
            return child;
        };
    }
    FakeOwnVideo* ownVideo = nullptr;
};

TEST_F(RoomWithPreview, ABroadcastMarkReachesOnlyTheWindowsShowingTheVideo) {
    ASSERT_NE(ownVideo, nullptr);
    layout->windows[3]->userId = kOther + 1;
    layout->windows[5]->userId = kOther + 2;
    layout->windows[9]->userId = kOther + 1;
    ownVideo->window.userId = kOther + 1;  // the preview shows it too
    frame->SetVideoSpeakIndicator(kOther + 1, true);
    EXPECT_EQ(log.Matching("Wnd"),
              std::vector<std::string>({"Wnd3.SetSpeakIndicator(1)", "Wnd9.SetSpeakIndicator(1)",
                                        "Wnd99.SetSpeakIndicator(1)"}));
    log.Clear();
    frame->SetVideoSpeakIndicator(kOther + 2, false);
    EXPECT_EQ(log.Matching("Wnd"), std::vector<std::string>({"Wnd5.SetSpeakIndicator(0)"}));
    // No window shows id 0.
    log.Clear();
    frame->SetVideoSpeakIndicator(0, true);
    EXPECT_EQ(log.Count("Wnd"), 0u);
}

TEST_F(RoomConfEvents, ABroadcastStopKeepsAnOwnLayoutsCameraWindowsButNotTheSharedMedia) {
    const struct {
        std::uint8_t freeLayout;
        std::uint16_t mediaId;
        bool windowClosed;
    } cases[] = {{1, kOther + 3, false}, {0, kOther + 3, true}, {1, kOther + 7, true}};
    AddOther(kOther, u"bob");
    for (const auto& c : cases) {
        log.Clear();
        g_AppSettings.freeLayout = c.freeLayout;
        frame->HandleBroadcastVideo(c.mediaId, 0, 0, 0);
        EXPECT_EQ(log.Count("UserList.SetBroadcastState(" + std::to_string(c.mediaId) + ",0)"), 1u);
        EXPECT_EQ(log.Count("Layout.RemoveVideoWnd"), c.windowClosed ? 1u : 0u)
            << int(c.freeLayout) << " " << c.mediaId;
        EXPECT_EQ(log.Count("Reception.StopVideoRecv"), c.windowClosed ? 1u : 0u)
            << int(c.freeLayout) << " " << c.mediaId;
    }
}

TEST_F(RoomConfEvents, ABroadcastStopUnderAnOwnLayoutOnlySendsTheLayoutSynchronisation) {
    AddOther(kOther, u"bob", 0b1000);
    // This client leads the layout, and its layout changed since it was last sent.
    fake.loginInfo.presenterState = 2;
    frame->GetConfManager()->RefreshConfInfo();
    yav::layout::WindowLayout room;
    room.Bytes() = frame->GetLayoutSlot(0);
    room.SetWindowId(0, kOther + 3);
    frame->SetRoomLayoutForTest(room.Bytes());
    g_AppSettings.freeLayout = 1;
    frame->HandleBroadcastVideo(kOther + 3, 0, 0, 0);
    EXPECT_EQ(log.Count("Layout.RemoveVideoWnd"), 0u);
    EXPECT_EQ(log.Count("Reception.StopVideoRecv"), 0u);
    EXPECT_EQ(log.Count("Media.StopRecvVideo"), 0u);
    ASSERT_EQ(Sent(SUBCOMMAND_SYNCWNDLAYOUT).size(), 1u);
    ASSERT_EQ(Notices().size(), 1u);
    EXPECT_EQ(Notices()[0], Notice({178, 184}, QStringLiteral("bob"), kOther + 3));
}

TEST_F(RoomConfEvents, ASharedMediaBroadcastAddsItsTabOnce) {
    AddOther(kOther, u"bob");
    frame->HandleBroadcastVideo(kOther + 7, 0, 1, 9);
    frame->HandleBroadcastVideo(kOther + 7, 0, 1, 9);
    EXPECT_EQ(frame->GetMediaShareState(), 2);
    EXPECT_EQ(log.Count("ControlBar.AddDocTab"), 1u);
    EXPECT_EQ(log.Count("Reception.MediaVideoRecv(31,9)"), 2u);

    // This client's own share (state 1) is left alone.
    log.Clear();
    frame->SetMediaShareState(1);
    frame->HandleBroadcastVideo(kOther + 7, 0, 1, 9);
    EXPECT_EQ(frame->GetMediaShareState(), 1);
    EXPECT_EQ(log.Count("ControlBar.AddDocTab"), 0u);
}

TEST_F(RoomConfEvents, RecordingStopReasonsNameTheirCause) {
    const struct {
        std::uint32_t code;
        QString text;
    } cases[] = {
        {0, QString()},
        {1, LoadLangString(2797) + u',' + LoadLangString(2800)},
        {4, LoadLangString(2797) + u',' + LoadLangString(2809)},
        {9, LoadLangString(2797)},
    };
    for (const auto& c : cases) {
        userList->chat.lines.clear();
        frame->OnNotice13(c.code);
        if (c.text.isEmpty()) {
            EXPECT_TRUE(Notices().empty()) << c.code;
        } else {
            ASSERT_EQ(Notices().size(), 1u) << c.code;
            EXPECT_EQ(Notices()[0], c.text) << c.code;
        }
    }
}

TEST_F(RoomConfEvents, TheComponentsNoticesArePostedToTheUiThread) {
    std::thread component([this] {
        frame->OnNotice11();
        frame->OnNotice12(1);
        frame->OnNotice12(7);
    });
    component.join();
    // Nothing was shown on the component's thread.
    EXPECT_TRUE(Notices().empty());
    ASSERT_TRUE(yav::testing::WaitUntil([this] { return Notices().size() == 3; }, 2000));
    EXPECT_EQ(Notices()[0], LoadLangString(232));
    EXPECT_EQ(Notices()[1], LoadLangString(1906));
    EXPECT_EQ(Notices()[2], LoadLangString(1909));
    for (const std::thread::id thread : log.Threads()) {
        EXPECT_EQ(thread, std::this_thread::get_id());
    }
}

TEST_F(RoomConfEvents, TheBulletinIsCutToWhatWasGivenAndRemovedByAZeroLength) {
    const std::uint8_t text[] = {5, 'h', 'e', 'l', 'l', 'o'};
    frame->OnConfAttrChanged(13, sizeof text, text);
    // The length byte claims 200 bytes but three follow.
    const std::uint8_t claimed[] = {200, 'a', 'b', 'c'};
    frame->OnConfAttrChanged(13, sizeof claimed, claimed);
    const std::uint8_t removed[] = {0};
    frame->OnConfAttrChanged(13, 1, removed);
    frame->OnConfAttrChanged(13, 3, nullptr);
    EXPECT_EQ(bulletin->captions,
              std::vector<QString>({QStringLiteral("hello"), QStringLiteral("abc"), QString()}));
}

TEST_F(RoomConfEvents, ServerBoxesShowTheirTextWithoutStoppingThePump) {
    const struct {
        std::uint32_t code;
        int text;
    } cases[] = {{0, 1966}, {0x1022, 1972}, {0x1024, 1963}, {7, 1975}};
    ModalBoxes boxes;
    for (const auto& c : cases) {
        frame->OnConfStateUpdate(c.code);
    }
    // The boxes are raised after the handler returned.
    EXPECT_TRUE(boxes.texts.empty());
    ASSERT_TRUE(yav::testing::WaitUntil([&] { return boxes.texts.size() == 4; }, 3000));
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(boxes.texts[i], LoadLangString(cases[i].text));
        EXPECT_EQ(boxes.countdowns[i], 0);
    }
    EXPECT_TRUE(frame->IsWindow());
}

TEST_F(RoomConfEvents, AForcedExitClosesTheRoomAfterItsBoxAndNeverReconnects) {
    ModalBoxes boxes;
    bool reconnectingWhileOpen = true;
    boxes.whileOpen = [&](CDlgPopMsg&) {
        // The server closes the connection right after its message.
        frame->OnConnectionLost();
        reconnectingWhileOpen = frame->IsReconnecting() || frame->GetReconnectDlg() != nullptr;
    };
    frame->OnForceExit(2, 0);
    ASSERT_TRUE(yav::testing::WaitUntil([&] { return !frame->IsWindow(); }, 3000));
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(boxes.texts[0], LoadLangString(3100));
    EXPECT_EQ(boxes.countdowns[0], 5);
    EXPECT_FALSE(reconnectingWhileOpen);
    EXPECT_TRUE(frame->IsForcedClose());
}

// A replaced login: the server sends the forced exit and closes the connection at once; both
// arrive in one pump tick.
TEST_F(RoomConfEvents, AReplacedLoginShowsItsBoxThenLeavesWithoutReconnecting) {
    ModalBoxes boxes;
    bool roomOpenUnderBox = false;
    bool reconnecting = true;
    boxes.whileOpen = [&](CDlgPopMsg&) {
        roomOpenUnderBox = frame->IsWindow();
        reconnecting = frame->IsReconnecting() || frame->GetReconnectDlg() != nullptr;
    };
    ST_CS_MSG exit;
    exit.type = CS_MSG_FORCE_EXIT;
    exit.data = 2;
    fake.queue.Push(exit);
    ST_CS_MSG lost;
    lost.type = CS_MSG_CONNECTION_LOST;
    fake.queue.Push(lost);
    ASSERT_TRUE(yav::testing::TimerDriver::Fire(*frame, CYavClientDlg::TIMER_RECV_DATA));
    ASSERT_TRUE(yav::testing::WaitUntil([&] { return !frame->IsWindow(); }, 3000));
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(boxes.texts[0], LoadLangString(3100));
    EXPECT_TRUE(roomOpenUnderBox);
    EXPECT_FALSE(reconnecting);
    EXPECT_TRUE(frame->IsForcedClose());
    EXPECT_EQ(log.Count("Login("), 0u);
}

TEST_F(RoomConfEvents, ARoleChangeIsTheUsersKindNeverAnAbsence) {
    const struct {
        std::uint16_t user;
        std::uint8_t state;
        int notice;
        int kind;  // my login record's kind afterwards, -1 unchanged
        int tip;
    } cases[] = {{kOther, 0, 271, -1, 0}, {kOther, 5, 271, -1, 0}, {kOther, 1, 268, -1, 0},
                 {kMyId, 0, 271, 0, 373}, {kMyId, 5, 271, 5, 373}, {kMyId, 1, 268, 1, 376}};
    AddOther(kOther, u"bob");
    for (const auto& c : cases) {
        log.Clear();
        userList->chat.lines.clear();
        frame->GetConfManager()->GetLoginInfo().kind = 9;
        frame->OnUserAttrChanged(c.user, 3, c.state);
        EXPECT_EQ(log.Count("UserList.OnUserKindChanged(" + std::to_string(c.user) + ",3," +
                            std::to_string(c.state) + ")"),
                  1u);
        ASSERT_EQ(Notices().size(), 1u);
        EXPECT_EQ(Notices()[0],
                  Notice({202, c.notice},
                         c.user == kMyId ? QStringLiteral("me") : QStringLiteral("bob"), c.user));
        EXPECT_EQ(frame->GetConfManager()->GetLoginInfo().kind, c.kind < 0 ? 9 : c.kind)
            << c.user << " " << int(c.state);
        EXPECT_EQ(log.Count("ControlBar.RefreshRoleButtons()"), c.user == kMyId ? 1u : 0u);
        EXPECT_EQ(log.Count("FullDock.UpdateButtons()"), 1u);
    }
}

TEST_F(RoomConfEvents, ClosingAReceptionInAWindowReturnsTheIdToTheCycle) {
    AddOther(kOther, u"bob", 0b10);
    fakes::FakeRoomVideoWindow window(log, 50);
    window.userId = 25;
    frame->GetMediaIdList().AddOrMoveToTail(25);
    frame->GetMediaIdList().SetFlag(25, 1);
    frame->ReceiveVideo(25, 0, 0, &window);
    EXPECT_EQ(window.userId, 0);
    EXPECT_EQ(log.Count("Media.StopRecvVideo(25)"), 1u);
    EXPECT_EQ(frame->GetMediaIdList().Find(25)->flag, 0);
    const auto queue = frame->GetVideoCycle()->GetQueue();
    EXPECT_NE(std::find(queue.begin(), queue.end(), 25), queue.end());

    // My own media channel is never received.
    log.Clear();
    frame->ReceiveVideo(kMyId + 7, 0, 123, &window);
    EXPECT_EQ(log.Count("Media.StartRecvVideo"), 0u);
    frame->ReceiveVideo(25, 0, 123, &window);
    EXPECT_EQ(log.Matching("Media.StartRecvVideo"),
              std::vector<std::string>({"Media.StartRecvVideo(25,123,40192)"}));
    EXPECT_EQ(log.Count("Wnd50.UpdateCaption(user-25)"), 1u);
}

TEST_F(RoomConfEvents, SpeakingStatesActOnMyAudioAndOthersReception) {
    const struct {
        std::uint16_t user;
        std::uint8_t status;
        std::uint8_t previous;
        std::vector<std::string> media;
        int notice;  // language text of my notice, or 0 for another user's
    } cases[] = {
        {kMyId, 2, 0, {"Media.SetAudioSend(1)"}, 190},
        {kMyId, 0, 2, {"Media.SetAudioSend(0)"}, 196},
        {kMyId, 0, 1, {}, 199},
        {kOther, 2, 0, {"Media.StartRecvAudio(24,77)"}, 0},
        {kOther, 0, 2, {"Media.StopRecvAudio(24)"}, 0},
    };
    AddOther(kOther, u"bob");
    frame->GetConfManager()->RefreshMyRecords();
    for (const auto& c : cases) {
        log.Clear();
        userList->chat.lines.clear();
        frame->OnUserAudioStatus(c.user, c.status, c.previous, 77);
        EXPECT_EQ(log.Matching("Media."), c.media) << c.user << " " << int(c.status);
        EXPECT_EQ(log.Count("UserList.OnUserAudioState(" + std::to_string(c.user) + "," +
                            std::to_string(c.status) + ")"),
                  1u);
        ASSERT_EQ(Notices().size(), 1u) << c.user << " " << int(c.status);
        if (c.notice != 0) {
            EXPECT_EQ(Notices()[0], LoadLangString(c.notice));
        } else {
            EXPECT_EQ(Notices()[0],
                      Notice({202, c.status == 2 ? 205 : 211}, QStringLiteral("bob"), kOther));
        }
    }
}

TEST_F(RoomConfEvents, SpeakersInAnotherAudioGroupAreNotHeard) {
    ST_USER_ITEM_DEPT& bob = AddOther(kOther, u"bob");
    bob.privateData.groupValue = 5;
    frame->GetConfManager()->RefreshMyRecords();
    frame->OnUserAudioStatus(kOther, 2, 0, 77);
    EXPECT_EQ(log.Count("Media.StartRecvAudio"), 0u);
    EXPECT_EQ(log.Count("UserList.OnUserAudioState(24,2)"), 1u);
    EXPECT_TRUE(Notices().empty());
}

TEST_F(RoomConfEvents, RoomAttributeChangesReachTheirWindows) {
    const struct {
        std::uint16_t offset;
        std::vector<std::string> calls;
    } cases[] = {
        {271, {"Chat.RefreshRecipients"}},
        {272,
         {"StatusBar.UpdateSpeakButton()", "StatusBar.UpdateRoleTexts()",
          "FullDock.UpdateButtons()"}},
        {300, {}},
    };
    const std::uint8_t byte[] = {1};
    for (const auto& c : cases) {
        log.Clear();
        frame->OnConfAttrChanged(c.offset, 1, byte);
        std::vector<std::string> seen;
        for (const std::string& call : log.Calls()) {
            if (call.rfind("Chat.", 0) == 0 || call.rfind("StatusBar.", 0) == 0 ||
                call.rfind("FullDock.", 0) == 0) {
                seen.push_back(call.substr(
                    0, call.find('(') == std::string::npos
                           ? call.size()
                           : (call.rfind("Chat.", 0) == 0 ? call.find('(') : call.size())));
            }
        }
        EXPECT_EQ(seen, c.calls) << c.offset;
    }
}

TEST_F(RoomConfEvents, ServerRecordingStartsAndStopsWithItsReason) {
    const struct {
        std::uint8_t roomByte;
        QString notice;  // empty: none (the start is a tip only)
        int indicator;
    } cases[] = {
        {1, QString(), SW_SHOW},
        {0, LoadLangString(2794), SW_HIDE},
        {2 << 1, LoadLangString(2797) + u',' + LoadLangString(2803), SW_HIDE},
        {7 << 1, LoadLangString(2797), SW_HIDE},
    };
    fake.appInfo.flags23 |= 4;
    for (const auto& c : cases) {
        log.Clear();
        userList->chat.lines.clear();
        fake.loginInfo.roomAttr[274] = c.roomByte;
        frame->GetConfManager()->RefreshConfInfo();
        frame->OnConfAttrChanged(274, 1, &c.roomByte);
        if (c.notice.isEmpty()) {
            EXPECT_TRUE(Notices().empty()) << int(c.roomByte);
        } else {
            ASSERT_EQ(Notices().size(), 1u) << int(c.roomByte);
            EXPECT_EQ(Notices()[0], c.notice);
        }
        EXPECT_EQ(
            log.Matching("StatusBar.ShowRecordIndicator"),
            std::vector<std::string>({fakes::Call("StatusBar.ShowRecordIndicator", c.indicator)}))
            << int(c.roomByte);
    }
}

}  // namespace
}  // namespace room_test
