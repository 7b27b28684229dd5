// The chat window: what it sends, what it shows of received messages and what it refuses,
// the recipient list as participants come and go, time stamps, the pane's history and the
// system pane.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

#include "FakeChatHost.h"
#include "client/conference/ConfChatHost.h"
#include "client/conference/XConfManager.h"
#include "client/config/ConfigManger.h"
#include "client/dialogs/chat/CDlgChat.h"
#include "client/dialogs/chat/ChatPayload.h"
#include "client/dialogs/chat/ChatRoomWindows.h"
#include "client/ui/CKroGdiBtn.h"
#include "components/protocol/SubCommands.h"
#include "fakes/ui/UiGuards.h"
#include "platform/window/testing/WindowTesting.h"
#include "tests/fakes/conference/LogCapture.h"

namespace {

using chat_test::FakeChatHost;
using chat_test::FakeSoundPlayer;
using chat_test::MakeUser;

constexpr std::uint16_t kMe = 16;
constexpr std::uint16_t kBob = 24;
constexpr std::uint16_t kChair = 32;

std::vector<std::uint8_t> Block(const QString& text) {
    return *yav::usercmd::EncodeChat(text.toStdU16String());
}

// A block as a peer may write it: the text as it stands, unterminated.
std::vector<std::uint8_t> RawBlock(const QString& text) {
    std::vector<std::uint8_t> block(4, 0);
    for (const QChar c : text) {
        block.push_back(static_cast<std::uint8_t>(c.unicode()));
        block.push_back(static_cast<std::uint8_t>(c.unicode() >> 8));
    }
    return block;
}

class ChatWindow : public ::testing::Test {
protected:
    void SetUp() override {
        host.users = {MakeUser(8, "Ann", 1), MakeUser(kMe, "Me", 1), MakeUser(kBob, "Bob", 1),
                      MakeUser(kChair, "Chair", 0)};
        Make();
    }
    void Make() {
        chat.reset();
        parent = std::make_unique<QWidget>();
        parent->resize(320, 700);
        CDlgChat::Clocks clocks;
        clocks.now = [this] { return now; };
        clocks.tick = [this] { return tick; };
        chat = std::make_unique<CDlgChat>(&host, parent.get(),
                                          std::make_unique<FakeSoundPlayer>(sounds), clocks);
        chat->Create(CDlgChat::IDD, parent.get());
        chat->MoveWindow(0, 0, 320, 700);
        chat->ShowWindow(SW_SHOW);
        parent->show();
        parent->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(parent.get()));
        chat->RefreshRecipients(host.rights, host.rights);
    }
    void Select(std::uint16_t id) {
        auto& combo = chat->GetRecipientCombo();
        combo.setCurrentIndex(combo.findData(QVariant::fromValue<uint>(id)));
        ASSERT_GE(combo.currentIndex(), 0);
    }
    void Type(const QString& text) { chat->GetInput().setPlainText(text); }
    int Lines() { return static_cast<int>(chat->GetView()->Lines().size()); }
    const CDlgChatData& Line(int index) {
        return *chat->GetView()->Lines().at(static_cast<std::size_t>(index));
    }
    QString SystemText() { return chat->GetSystemChat()->GetTextView().toPlainText(); }
    void Receive(std::uint16_t to, std::uint16_t from, const std::vector<std::uint8_t>& data) {
        chat->OnRecvChatMsg(to, from, data.data(), static_cast<std::uint16_t>(data.size()));
    }

    FakeChatHost host;
    std::shared_ptr<FakeSoundPlayer::Record> sounds = std::make_shared<FakeSoundPlayer::Record>();
    std::int64_t now = 1'700'000'000;
    std::uint32_t tick = 1000;
    std::unique_ptr<QWidget> parent;
    std::unique_ptr<CDlgChat> chat;
};

TEST_F(ChatWindow, SendsTheExactBlockToTheChosenRecipient) {
    struct Case {
        std::uint16_t to;
        QString header;
    };
    const QString privateHead = LoadLangString(2863) + " " + LoadLangString(2860) + " ";
    const Case cases[] = {
        {0, "Me"}, {1, privateHead + LoadLangString(511)}, {kBob, privateHead + "Bob"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.to);
        host.sent.clear();
        Select(c.to);
        Type(QString::fromUtf16(u"héllo 😀"));
        chat->OnSend();
        ASSERT_EQ(host.sent.size(), 1U);
        EXPECT_EQ(host.sent[0].to, c.to);
        EXPECT_EQ(host.sent[0].sub, yav::proto::kSubCommandChat);
        EXPECT_EQ(host.sent[0].data, Block(QString::fromUtf16(u"héllo 😀")));
        const CDlgChatData& own = Line(Lines() - 1);
        EXPECT_EQ(own.m_bOwn, 1);
        EXPECT_EQ(own.m_strHeader, c.header);
        EXPECT_TRUE(chat->GetInput().toPlainText().isEmpty());
    }
}

TEST_F(ChatWindow, LengthLimitAndLineBreaks) {
    Type(QString(998, 'x'));
    chat->OnSend();
    ASSERT_EQ(host.sent.size(), 1U);
    EXPECT_EQ(host.sent[0].data.size(), 2004U);

    Type(QString(999, 'x'));
    chat->OnSend();
    EXPECT_EQ(host.sent.size(), 1U) << "999 units are not sent";
    ASSERT_EQ(host.boxes.size(), 1U);
    EXPECT_EQ(host.boxes[0], LoadLangString(3106));
    EXPECT_EQ(chat->GetInput().toPlainText().size(), 999) << "the input keeps its text";

    // A pasted line break is a blank on the wire and in the pane, one for one.
    Type("a\nb");
    chat->OnSend();
    ASSERT_EQ(host.sent.size(), 2U);
    EXPECT_EQ(host.sent[1].data.size(), 4U + 2 * 5);
    EXPECT_EQ(Line(Lines() - 1).m_strText, "a b");
}

TEST_F(ChatWindow, NothingSentWithoutTextSelectionOrOwnRecord) {
    chat->OnSend();
    Type("hi");
    chat->GetRecipientCombo().setCurrentIndex(-1);
    chat->OnSend();
    EXPECT_EQ(chat->GetInput().toPlainText(), "hi");
    chat->GetRecipientCombo().setCurrentIndex(0);
    host.myId = 99;  // no record of the local user
    chat->OnSend();
    EXPECT_TRUE(host.sent.empty());
    EXPECT_TRUE(host.boxes.empty());
}

TEST_F(ChatWindow, EnterSendsThroughTheTimerAndNeverBreaksTheLine) {
    chat->GetInput().setFocus();
    QTest::keyClicks(&chat->GetInput(), "hello");
    QTest::keyClick(&chat->GetInput(), Qt::Key_Return);
    EXPECT_EQ(chat->GetInput().toPlainText(), "hello") << "no line break inserted";
    EXPECT_EQ(chat->GetTimerElapse(CDlgChat::kSendTimer), 100);
    EXPECT_TRUE(host.sent.empty());
    EXPECT_TRUE(yav::testing::TimerDriver::Fire(*chat, CDlgChat::kSendTimer));
    EXPECT_FALSE(chat->IsTimerSet(CDlgChat::kSendTimer));
    ASSERT_EQ(host.sent.size(), 1U);
    EXPECT_EQ(host.sent[0].data, Block("hello"));

    // The send button sends once; Esc never closes the page.
    chat->GetInput().setPlainText("clicked");
    QTest::mouseClick(&chat->GetSendButton(), Qt::LeftButton);
    EXPECT_EQ(host.sent.size(), 2U);
    EXPECT_TRUE(host.boxes.empty());
    QTest::keyClick(&chat->GetInput(), Qt::Key_Escape);
    EXPECT_TRUE(chat->isVisible());

    // An empty input arms nothing.
    QTest::keyClick(&chat->GetInput(), Qt::Key_Return);
    EXPECT_FALSE(chat->IsTimerSet(CDlgChat::kSendTimer));
}

TEST_F(ChatWindow, ToTheChairsWithNoOtherChairPresentTellsTheUserInsteadOfSending) {
    struct Case {
        const char* name;
        std::uint16_t me;
        bool chairLeft;  // the room's only other chair has left
        bool viaEnter;   // else the send button
        bool sent;
    };
    const Case cases[] = {
        {"a chair is present, Enter", kMe, false, true, true},
        {"a chair is present, send button", kMe, false, false, true},
        {"no chair present, Enter", kMe, true, true, false},
        {"no chair present, send button", kMe, true, false, false},
        {"I am the only chair, Enter", kChair, false, true, false},
        {"I am the only chair, send button", kChair, false, false, false},
    };
    const QString notice =
        QStringLiteral("No administrator is in the meeting, so the message was not sent.");
    ui_test::LanguageGuard language(1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        chat.reset();
        host = FakeChatHost();
        SetUp();
        host.myId = c.me;
        if (c.chairLeft) {
            std::erase_if(host.users, [](const auto& user) { return user.userId == kChair; });
        }
        chat->RefreshRecipients(host.rights, host.rights);
        auto& combo = chat->GetRecipientCombo();
        ASSERT_EQ(combo.currentData().toUInt(), 0U);
        // The chairs entry follows the everyone entry.
        QTest::keyClick(&combo, Qt::Key_Down);
        ASSERT_EQ(combo.currentData().toUInt(), 1U);
        chat->GetInput().setFocus();
        QTest::keyClicks(&chat->GetInput(), "for the chairs");
        if (c.viaEnter) {
            QTest::keyClick(&chat->GetInput(), Qt::Key_Return);
            ASSERT_TRUE(yav::testing::TimerDriver::Fire(*chat, CDlgChat::kSendTimer));
        } else {
            QTest::mouseClick(&chat->GetSendButton(), Qt::LeftButton);
        }
        const CDlgChatData& last = Line(Lines() - 1);
        if (c.sent) {
            ASSERT_EQ(host.sent.size(), 1U);
            EXPECT_EQ(host.sent[0].to, 1);
            EXPECT_EQ(host.sent[0].data, Block("for the chairs"));
            EXPECT_EQ(last.m_bOwn, 1);
            EXPECT_TRUE(chat->GetInput().toPlainText().isEmpty());
        } else {
            EXPECT_TRUE(host.sent.empty());
            EXPECT_EQ(last.m_bKind, 1) << "a notice line";
            EXPECT_EQ(last.m_strText, notice);
            EXPECT_EQ(chat->GetInput().toPlainText(), "for the chairs") << "the text is kept";
            EXPECT_TRUE(host.boxes.empty());
        }
    }
}

TEST_F(ChatWindow, ReceivedMessagesShownOrRefusedIntoTheSystemPane) {
    host.rights = 1;  // private chat only: no everyone entry
    chat->RefreshRecipients(1, 1);
    struct Case {
        const char* name;
        std::uint16_t to;
        std::uint16_t from;
        std::vector<std::uint8_t> data;
        bool shown;
        std::uint8_t isPrivate;
    };
    const std::vector<std::uint8_t> hi = Block("hi");
    const Case cases[] = {
        {"everyone from a member without the entry", 0, kBob, hi, false, 0},
        {"everyone from a chair", 0, kChair, hi, true, 0},
        {"to the chairs at a member", 1, kChair, hi, false, 0},
        {"private from a listed member", kMe, kBob, hi, true, 1},
        {"four bytes", kMe, kBob, {0, 0, 0, 0}, false, 0},
        {"only zero units", kMe, kBob, {0, 0, 0, 0, 0, 0}, false, 0},
        {"odd and unterminated", kMe, kBob, {1, 2, 3, 4, 'o', 0, 'k', 0, '!'}, true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int before = Lines();
        const int flashes = host.flashes;
        const int refusals = static_cast<int>(SystemText().count(LoadLangString(505)));
        Receive(c.to, c.from, c.data);
        if (c.shown) {
            ASSERT_GT(Lines(), before);
            const CDlgChatData& line = Line(Lines() - 1);
            EXPECT_EQ(line.m_bOwn, 0);
            EXPECT_EQ(line.m_dwSenderId, c.from);
            EXPECT_EQ(line.m_bPrivate, c.isPrivate);
            EXPECT_EQ(host.flashes, flashes + 1);
        } else {
            EXPECT_EQ(Lines(), before);
            EXPECT_EQ(SystemText().count(LoadLangString(505)), refusals + 1);
        }
    }
    // A null block is refused too, without a crash.
    chat->OnRecvChatMsg(kMe, kBob, nullptr, 0);
    EXPECT_EQ(SystemText().count(LoadLangString(505)), 5);
}

TEST_F(ChatWindow, ReceivedTextIsPlainAndLoggedEscaped) {
    fakes::LogCapture log;
    Receive(0, kBob, RawBlock("<b>x</b>\nforged line"));
    EXPECT_EQ(Line(Lines() - 1).m_strText, "<b>x</b>\nforged line");
    EXPECT_TRUE(log.Contains("<b>x</b>\\x0aforged line"));
    EXPECT_FALSE(log.Contains("</b>\nforged"));
}

TEST_F(ChatWindow, TimeStampsFirstNotWithinThreeMinutesThenAgain) {
    Receive(0, kBob, Block("one"));
    ASSERT_EQ(Lines(), 2) << "stamp and message";
    EXPECT_EQ(Line(0).m_bKind, 1);
    EXPECT_EQ(Line(0).m_strText, yav::chat::FormatTimeStamp(now));
    now += 179;
    Receive(0, kBob, Block("two"));
    EXPECT_EQ(Lines(), 3);
    now += 1;  // three minutes after the stamp
    chat->AddNotice("notice");
    EXPECT_EQ(Lines(), 5);
    EXPECT_EQ(Line(3).m_bKind, 1);
    EXPECT_EQ(Line(3).m_strText, yav::chat::FormatTimeStamp(now));
    EXPECT_EQ(Line(4).m_strText, "notice");
}

TEST_F(ChatWindow, RecipientsFollowJoinsLeavesAndNameClicks) {
    auto& combo = chat->GetRecipientCombo();
    const ST_USER_ITEM_DEPT dora = MakeUser(40, "Dora", 1);
    chat->AddRecipient(&dora);
    chat->AddRecipient(&dora);
    const ST_USER_ITEM_DEPT self = MakeUser(kMe, "Me", 1);
    chat->AddRecipient(&self);
    EXPECT_EQ(combo.count(), 2 + 4) << "everyone, chairs, Ann, Bob, Chair, Dora once";
    EXPECT_EQ(combo.findData(QVariant::fromValue<uint>(kMe)), -1);

    // A leaver that is selected hands the selection to the first entry.
    Select(40);
    chat->RemoveRecipient(40);
    EXPECT_EQ(combo.findData(QVariant::fromValue<uint>(40)), -1);
    EXPECT_EQ(combo.currentIndex(), 0);
    Select(kBob);
    chat->RemoveRecipient(8);
    EXPECT_EQ(combo.currentData().toUInt(), kBob) << "another leaver keeps the selection";

    // A click on a sender's name answers privately.
    combo.setCurrentIndex(0);
    Receive(0, kChair, Block("hello"));
    CKroGdiBtn* name = Line(Lines() - 1).GetNameButton();
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->GetWindowText(), "Chair");
    QTest::mouseClick(name, Qt::LeftButton);
    EXPECT_EQ(combo.currentData().toUInt(), kChair);
    EXPECT_TRUE(chat->GetInput().hasFocus());
    chat->SelectRecipient(77);
    EXPECT_EQ(combo.currentData().toUInt(), kChair) << "an unknown id changes nothing";

    // Without private chat in the room a joiner is not offered.
    host.rights = 2;
    const ST_USER_ITEM_DEPT eve = MakeUser(48, "Eve", 1);
    chat->AddRecipient(&eve);
    EXPECT_EQ(combo.findData(QVariant::fromValue<uint>(48)), -1);
}

TEST_F(ChatWindow, SoundButtonOnlyForChairsTheServerAllows) {
    EXPECT_FALSE(chat->GetSoundButton().isEnabled());
    host.myId = kChair;
    chat->RefreshRecipients(3, 3);
    EXPECT_TRUE(chat->GetSoundButton().isEnabled());
    host.appInfo.flags24 = 0;
    chat->UpdateTips();
    EXPECT_FALSE(chat->GetSoundButton().isEnabled());
}

TEST_F(ChatWindow, SoundPanelOpensAboveItsButtonAndWritesItsNotices) {
    host.myId = kChair;
    chat->RefreshRecipients(3, 3);
    chat->OnSoundButton();
    CDlgPopClap* panel = chat->GetPopClapDlg();
    ASSERT_TRUE(panel->isVisible());
    const QRect button = chat->GetSoundButton().GetWindowRect();
    const QRect placed = panel->GetWindowRect();
    EXPECT_EQ(placed.size(), QSize(142, 171));
    EXPECT_EQ(placed.bottom() + 1, button.top());
    EXPECT_LE(std::abs(placed.center().x() - button.center().x()), 1);

    const int flashes = host.flashes;
    panel->PlayClap(1);
    ASSERT_GE(Lines(), 2);
    EXPECT_EQ(Line(Lines() - 1).m_bKind, 1);
    EXPECT_EQ(Line(Lines() - 1).m_strText, LoadLangString(2851));
    EXPECT_EQ(host.flashes, flashes + 1);
    EXPECT_EQ(sounds->calls.back().substr(0, 5), "play ");
}

TEST_F(ChatWindow, PaneKeepsTheNewestThousandLinesAndShowsTheEnd) {
    CDlgChatShow* view = chat->GetView();
    QScrollBar* bar = chat->GetFrame()->verticalScrollBar();
    view->AddChatMsg("first");
    QCoreApplication::processEvents();
    EXPECT_FALSE(bar->isVisible()) << "no scroll bar while the lines fit";
    for (int i = 1; i < 1005; ++i) {
        view->AddChatMsg(QStringLiteral("line %1").arg(i));
    }
    ASSERT_EQ(view->Lines().size(), 1000U);
    QCoreApplication::processEvents();
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(view->Lines().front()->m_strText, "line 5");
    std::uint32_t total = 0;
    int expectedTop = 0;
    for (const auto& line : view->Lines()) {
        ASSERT_EQ(line->y(), expectedTop);
        expectedTop += line->m_wHeight;
        total += line->m_wHeight;
    }
    EXPECT_EQ(view->m_dwHeight, total);
    EXPECT_EQ(view->height(), static_cast<int>(total));
    EXPECT_EQ(bar->value(), bar->maximum());
    EXPECT_EQ(bar->maximum(), static_cast<int>(total) - chat->GetFrame()->viewport()->height());

    // Stepping up at the top or down at the end changes nothing.
    view->ScrollStep(false);
    EXPECT_EQ(bar->value(), bar->maximum());
    view->ScrollStep(true);
    EXPECT_EQ(bar->value(), bar->maximum() - 36);
    bar->setValue(0);
    view->ScrollStep(true);
    EXPECT_EQ(bar->value(), 0);
}

TEST_F(ChatWindow, SystemPaneAppendsPlainColouredLinesWithACap) {
    CDlgSystemChat* pane = chat->GetSystemChat();
    chat->ForwardToSystemChat("<img src=x> & <b>bold</b>");
    const QTextDocument* doc = pane->GetTextView().document();
    ASSERT_EQ(doc->blockCount(), 2);
    EXPECT_TRUE(doc->firstBlock().text().startsWith(LoadLangString(502) + ": ("));
    EXPECT_EQ(doc->lastBlock().text(), "<img src=x> & <b>bold</b>");
    const QTextCharFormat header = doc->firstBlock().begin().fragment().charFormat();
    const QTextCharFormat body = doc->lastBlock().begin().fragment().charFormat();
    EXPECT_EQ(header.foreground().color(), QColor(0x32, 0x32, 0x32));
    EXPECT_EQ(body.foreground().color(), QColor(0, 0, 255));
    EXPECT_FALSE(body.fontUnderline());

    for (int i = 0; i < 1100; ++i) {
        chat->ForwardToSystemChat(QStringLiteral("line %1").arg(i));
    }
    EXPECT_EQ(doc->blockCount(), 2000);
    EXPECT_EQ(doc->lastBlock().text(), "line 1099");
    EXPECT_EQ(doc->findBlockByNumber(1).text(), "line 100");
    const QScrollBar* bar = pane->GetTextView().verticalScrollBar();
    EXPECT_EQ(bar->value(), bar->maximum());

    // Its close button hides it.
    pane->ShowWindow(SW_SHOW);
    auto* close = qobject_cast<QAbstractButton*>(pane->GetDlgItem(CDlgSystemChat::IDC_CLOSE));
    ASSERT_NE(close, nullptr);
    QTest::mouseClick(close, Qt::LeftButton);
    EXPECT_FALSE(pane->isVisible());
    EXPECT_TRUE(pane->IsWindow());
}

}  // namespace

namespace {

TEST(ChatRoomWindowsLife, EachWindowIsDeletedOnceWhicheverOwnerGoesFirst) {
    XConfManager manager;
    {
        auto page = std::make_unique<QWidget>();
        ChatRoomWindows windows(std::make_unique<ConfChatHost>(manager, ConfChatHost::FrameOps{}),
                                page.get(),
                                std::make_unique<chat_test::FakeSoundPlayer>(
                                    std::make_shared<chat_test::FakeSoundPlayer::Record>()));
        windows.ShowGroupManager(page.get());
        ASSERT_NE(windows.GroupManager(), nullptr);
        page.reset();  // the participant window goes first and takes its children along
        EXPECT_EQ(windows.GroupManager(), nullptr);
    }
    {
        QWidget page;
        ChatRoomWindows windows(std::make_unique<ConfChatHost>(manager, ConfChatHost::FrameOps{}),
                                &page,
                                std::make_unique<chat_test::FakeSoundPlayer>(
                                    std::make_shared<chat_test::FakeSoundPlayer::Record>()));
        EXPECT_EQ(windows.Chat().GetRecipientCombo().count(), 1) << "only the chairs entry";
    }
}

}  // namespace
