// The chat window of a participant logged in to yavserver, with bots as the others: what it
// sends arrives byte for byte where it is addressed; what a bot sends, however malformed, is
// shown or refused; a chair's sounds reach the player and nobody else's do.
#include <gtest/gtest.h>

#include <QTextDocument>

#include "CsBot.h"
#include "ServerProcess.h"
#include "client/conference/ConfChatHost.h"
#include "client/conference/XConfManager.h"
#include "client/config/ConfigManger.h"
#include "client/dialogs/chat/CDlgChat.h"
#include "client/dialogs/chat/ChatPayload.h"
#include "client/dialogs/chat/ChatRoomWindows.h"
#include "components/protocol/SubCommands.h"
#include "fakes/conference/CallLog.h"
#include "fakes/conference/FakeMainFrame.h"
#include "fakes/conference/QtWait.h"
#include "fakes/conference/RecordingCsHandler.h"
#include "tests/ui/chat/FakeChatHost.h"

namespace {

using yav::test::CsBot;
using yav::test::IsJoinOf;
using yav::test::IsTransmit;

constexpr std::uint32_t kDemoConference = 900001;
constexpr std::uint16_t kMarkerSub = 274;

// The room's receiver as far as the chat goes: 257 and 296 into the chat window.
class ChatReceiver : public fakes::RecordingCsHandler {
public:
    using RecordingCsHandler::RecordingCsHandler;
    void OnTransmit(std::uint16_t to, std::uint16_t from, std::uint16_t subCommand,
                    const std::uint8_t* data, std::uint16_t length) override {
        RecordingCsHandler::OnTransmit(to, from, subCommand, data, length);
        if (chat == nullptr) {
            return;
        }
        if (subCommand == yav::proto::kSubCommandChat && data != nullptr) {
            chat->OnRecvChatMsg(to, from, data, length);
        } else if (subCommand == yav::proto::kSubCommandClap) {
            chat->OnRecvSoundCmd(from, data, length);
        }
    }
    CDlgChat* chat = nullptr;
};

// The client: a conference manager pumped by the test and its chat window.
class Client {
public:
    Client() {
        manager.SetMainFrame(&frame);
        manager.SetCsHandler(&events);
        manager.SetUserHandler(&events);
    }
    int Login(std::uint16_t port, const char* account) {
        std::uint16_t required = 0;
        const int result = manager.SetupConference("127.0.0.1", port, kDemoConference, account,
                                                   account, &required, 0, 0);
        if (result != 0) {
            return result;
        }
        ConfChatHost::FrameOps ops;
        ops.showMessageBox = [this](const QString& text, int, std::function<void(int)>) {
            boxes.push_back(text);
        };
        ops.moveUserToAudioGroup = [this](std::uint16_t userId, std::uint32_t group) {
            moved.emplace_back(userId, group);
        };
        windows =
            std::make_unique<ChatRoomWindows>(std::make_unique<ConfChatHost>(manager, ops), &parent,
                                              std::make_unique<chat_test::FakeSoundPlayer>(sounds));
        chat = &windows->Chat();
        chat->MoveWindow(0, 0, 320, 700);
        events.chat = chat;
        return 0;
    }
    bool PumpUntil(const std::function<bool()>& done) {
        return fakes::WaitFor([&] {
            manager.ProcessCsMessage();
            return done();
        });
    }
    void Send(std::uint16_t to, const QString& text) {
        auto& combo = chat->GetRecipientCombo();
        combo.setCurrentIndex(combo.findData(QVariant::fromValue<uint>(to)));
        ASSERT_GE(combo.currentIndex(), 0) << "recipient " << to;
        chat->GetInput().setPlainText(text);
        chat->OnSend();
    }
    int Shown() const {
        int shown = 0;
        for (const auto& line : chat->GetView()->Lines()) {
            shown += line->m_bKind == 0 && line->m_bOwn == 0 ? 1 : 0;
        }
        return shown;
    }
    int Refusals() const {
        return static_cast<int>(
            chat->GetSystemChat()->GetTextView().toPlainText().count(LoadLangString(505)));
    }

    fakes::CallLog log;
    fakes::FakeMainFrame frame{log};
    ChatReceiver events{log};
    XConfManager manager;
    QWidget parent;
    std::shared_ptr<chat_test::FakeSoundPlayer::Record> sounds =
        std::make_shared<chat_test::FakeSoundPlayer::Record>();
    std::unique_ptr<ChatRoomWindows> windows;
    CDlgChat* chat = nullptr;
    std::vector<QString> boxes;
    std::vector<std::pair<std::uint16_t, std::uint32_t>> moved;
};

std::vector<std::uint8_t> Encoded(const QString& text) {
    return *yav::usercmd::EncodeChat(text.toStdU16String());
}

std::function<bool(const ST_CS_MSG&)> IsChat(std::uint16_t from, std::uint16_t to,
                                             const std::vector<std::uint8_t>& bytes) {
    return [from, to, bytes](const ST_CS_MSG& message) {
        const auto* transmit = std::get_if<CsTransmit>(&message.payload);
        return IsTransmit(from, yav::proto::kSubCommandChat)(message) && transmit->to == to &&
               transmit->payload == bytes;
    };
}

class ChatEndToEnd : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server.Ready()) << server.Output(); }
    std::uint16_t Port() { return server.ConferencePort(); }
    yav::test::ServerProcess server;
};

TEST_F(ChatEndToEnd, ChairsChatReachesEveryoneOneUserOrTheChairsByteForByte) {
    CsBot alice;
    CsBot guest;
    CsBot bob;
    ASSERT_EQ(alice.Login(Port(), kDemoConference, "alice", "alice", 0), 0);
    ASSERT_EQ(guest.Login(Port(), kDemoConference, "Gast", "", 1), 0);
    ASSERT_EQ(bob.Login(Port(), kDemoConference, "bob", "bob", 0), 0);
    Client client;
    ASSERT_EQ(client.Login(Port(), "demo"), 0) << server.Output();
    const std::uint16_t me = client.manager.GetMyUserId();
    ASSERT_TRUE(bob.WaitFor(IsJoinOf(me)));

    // Everyone.
    const QString hello = QString::fromUtf16(u"Hello everyone 你好 😀");
    client.Send(yav::chat::kToEveryone, hello);
    for (CsBot* bot : {&alice, &guest, &bob}) {
        ASSERT_TRUE(bot->WaitFor(IsChat(me, 0, Encoded(hello)))) << server.Output();
    }

    // One user; a later message to everyone shows the others got nothing in between.
    client.Send(alice.UserId(), "just you\nalice");
    ASSERT_TRUE(alice.WaitFor(IsChat(me, alice.UserId(), Encoded("just you\nalice"))));
    client.Send(yav::chat::kToEveryone, "marker 1");
    for (CsBot* bot : {&guest, &bob}) {
        ASSERT_TRUE(bot->WaitFor(IsChat(me, 0, Encoded("marker 1"))));
        EXPECT_FALSE(bot->Saw(IsChat(me, alice.UserId(), Encoded("just you\nalice"))));
    }

    // The chairs: Bob made temporary administrator is one, the others are not.
    client.manager.SetTempAdmin(bob.UserId(), 1);
    ASSERT_TRUE(bob.WaitForType(CS_MSG_USER_ATTR_CHANGED));
    client.Send(yav::chat::kToChairs, "chairs only");
    ASSERT_TRUE(bob.WaitFor(IsChat(me, 1, Encoded("chairs only"))));
    client.Send(yav::chat::kToEveryone, "marker 2");
    for (CsBot* bot : {&alice, &guest}) {
        ASSERT_TRUE(bot->WaitFor(IsChat(me, 0, Encoded("marker 2"))));
        EXPECT_FALSE(bot->Saw(IsChat(me, 1, Encoded("chairs only"))));
    }
    EXPECT_TRUE(client.boxes.empty());
}

TEST_F(ChatEndToEnd, MalformedBlocksFromABotAreShownOrRefused) {
    CsBot alice;
    ASSERT_EQ(alice.Login(Port(), kDemoConference, "alice", "alice", 0), 0);
    Client client;
    ASSERT_EQ(client.Login(Port(), "demo"), 0) << server.Output();
    struct Case {
        const char* name;
        std::vector<std::uint8_t> block;
        bool shown;
        QString text;
    };
    std::vector<std::uint8_t> oversized(4, 0);
    for (int i = 0; i < 1500; ++i) {
        oversized.push_back('A');
        oversized.push_back(0);
    }
    const Case cases[] = {
        {"four bytes", {1, 2, 3, 4}, false, {}},
        {"five bytes", {0, 0, 0, 0, 'x'}, false, {}},
        {"odd length", {0, 0, 0, 0, 'o', 0, 'k', 0, '!'}, true, "ok"},
        {"unterminated", {0, 0, 0, 0, 'a', 0, 'b', 0, 'c', 0}, true, "abc"},
        {"lone surrogate", {0, 0, 0, 0, 0x00, 0xD8, 'x', 0}, true, QString::fromUtf16(u"\uFFFDx")},
        {"only zero units", {0, 0, 0, 0, 0, 0, 0, 0}, false, {}},
        {"oversized", oversized, true, QString(999, 'A')},
        {"markup stays text", Encoded("<script>x</script>"), true, "<script>x</script>"},
    };
    int shown = 0;
    int refused = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        alice.Cs().Transmit(0, yav::proto::kSubCommandChat, c.block.data(),
                            static_cast<std::uint16_t>(c.block.size()));
        shown += c.shown ? 1 : 0;
        refused += c.shown ? 0 : 1;
        ASSERT_TRUE(client.PumpUntil([&] {
            return client.Shown() == shown && client.Refusals() == refused;
        })) << client.Shown()
            << " shown, " << client.Refusals() << " refused";
        if (c.shown) {
            EXPECT_EQ(client.chat->GetView()->Lines().back()->m_strText, c.text);
            EXPECT_EQ(client.chat->GetView()->Lines().back()->m_dwSenderId, alice.UserId());
        }
    }
}

TEST_F(ChatEndToEnd, AChairsClapAndStopReachThePlayerAMembersSoundDoesNot) {
    CsBot chair;
    CsBot guest;
    ASSERT_EQ(chair.Login(Port(), kDemoConference, "demo", "demo", 0), 0);
    ASSERT_EQ(guest.Login(Port(), kDemoConference, "Gast", "", 1), 0);
    Client client;
    ASSERT_EQ(client.Login(Port(), "alice"), 0) << server.Output();
    ASSERT_TRUE(chair.WaitFor(IsJoinOf(client.manager.GetMyUserId())));
    const auto& calls = client.sounds->calls;

    const std::uint8_t clap = '2';
    chair.Cs().Transmit(0, yav::proto::kSubCommandClap, &clap, 1);
    ASSERT_TRUE(client.PumpUntil([&] { return !calls.empty(); })) << server.Output();
    EXPECT_NE(calls.back().find("clapping.wav"), std::string::npos) << calls.back();
    EXPECT_EQ(client.chat->GetPopClapDlg()->GetCurrentSound(), CDlgPopClap::kClap);

    chair.Cs().Transmit(0, yav::proto::kSubCommandClap, nullptr, 0);
    ASSERT_TRUE(client.PumpUntil([&] { return calls.back() == "stop"; }));
    EXPECT_EQ(client.chat->GetPopClapDlg()->GetCurrentSound(), CDlgPopClap::kNone);

    // A guest's cheer, then a marker from the chair: the cheer never played.
    const std::uint8_t cheer = '3';
    guest.Cs().Transmit(0, yav::proto::kSubCommandClap, &cheer, 1);
    const std::uint8_t marker[2] = {7, 7};
    chair.Cs().Transmit(0, kMarkerSub, marker, 2);
    ASSERT_TRUE(client.PumpUntil([&] {
        return client.log.Count("OnTransmit(0," + std::to_string(chair.UserId()) + "," +
                                std::to_string(kMarkerSub)) > 0;
    }));
    EXPECT_EQ(calls.size(), 2U) << "only the clap and the stop";
    EXPECT_TRUE(client.sounds->calls.back() == "stop");
    // Nothing of a received sound went back out.
    EXPECT_FALSE(chair.Saw(IsTransmit(client.manager.GetMyUserId(), yav::proto::kSubCommandClap)));
}

TEST_F(ChatEndToEnd, TheGroupManagerListsTheRoomAndMovesThroughTheRoom) {
    CsBot alice;
    CsBot bob;
    ASSERT_EQ(alice.Login(Port(), kDemoConference, "alice", "alice", 0), 0);
    ASSERT_EQ(bob.Login(Port(), kDemoConference, "bob", "bob", 0), 0);
    Client client;
    ASSERT_EQ(client.Login(Port(), "demo"), 0) << server.Output();
    client.windows->ShowGroupManager(&client.parent);
    CDlgMgrChatGroup* groups = client.windows->GroupManager();
    ASSERT_NE(groups, nullptr);
    EXPECT_EQ(groups->GetGroupCombo().count(), 0) << "nobody is in a group yet";
    EXPECT_EQ(groups->GetOtherList().count(), 3);
    groups->OnNewGroup();
    const std::uint32_t group = groups->GetGroupCombo().currentData().toUInt();
    EXPECT_EQ(group >> 16, client.manager.GetMyUserId());
    CDlgMgrChatGroup::TickUser(groups->GetOtherList(), alice.UserId());
    CDlgMgrChatGroup::TickUser(groups->GetOtherList(), bob.UserId());
    groups->OnAddMembers();
    EXPECT_TRUE(client.boxes.empty()) << client.boxes.front().toStdString();
    EXPECT_EQ(client.moved, (std::vector<std::pair<std::uint16_t, std::uint32_t>>{
                                {alice.UserId(), group}, {bob.UserId(), group}}));
}

}  // namespace
