// Who sees a received chat, which recipients a participant is offered, when a time stamp is
// due, how big a bubble is, and what the debug log gets of a peer's text.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "client/dialogs/chat/ChatRules.h"

namespace {

using namespace yav::chat;

constexpr std::uint16_t kMe = 16;
constexpr std::uint16_t kPeer = 24;

ST_USER_ITEM_DEPT User(std::uint16_t id, const char16_t* name, std::uint8_t kind,
                       std::uint8_t presenter = 0) {
    ST_USER_ITEM_DEPT user;
    user.userId = id;
    std::char_traits<char16_t>::copy(user.name, name, std::char_traits<char16_t>::length(name));
    user.kind = kind;
    user.presenterState = presenter;
    return user;
}

// Combos as the recipient rebuild leaves them.
const std::vector<RecipientEntry> kFullCombo = {
    {"Everyone", kToEveryone}, {"Chairs", kToChairs}, {"Peer in combo", kPeer}};
const std::vector<RecipientEntry> kChairsOnly = {{"Chairs", kToChairs}};
const std::vector<RecipientEntry> kPrivateOnly = {{"Chairs", kToChairs}, {"Peer in combo", kPeer}};

TEST(ChatAccept, DestinationKindComboAndPrivilegedSender) {
    enum Sender { Member, Chair, TempAdmin, Presenter };
    struct Case {
        const char* name;
        std::uint16_t to;
        std::uint8_t myKind;
        const std::vector<RecipientEntry>* combo;
        Sender sender;
        ChatAcceptResult::Verdict verdict;
        bool isPrivate;
    };
    using V = ChatAcceptResult::Verdict;
    const Case cases[] = {
        // Everyone: shown when the own combo holds the entry, or the sender is privileged.
        {"everyone, entry held", kToEveryone, 1, &kFullCombo, Member, V::Accepted, false},
        {"everyone, no entry, member", kToEveryone, 1, &kChairsOnly, Member, V::Refused, false},
        {"everyone, no entry, chair", kToEveryone, 1, &kChairsOnly, Chair, V::Accepted, false},
        {"everyone, no entry, kind 5", kToEveryone, 1, &kChairsOnly, TempAdmin, V::Accepted, false},
        {"everyone, no entry, presenter", kToEveryone, 1, &kChairsOnly, Presenter, V::Accepted,
         false},
        // The chairs: only a chair kind with the entry; a privileged sender does not help.
        {"chairs at chair", kToChairs, 0, &kFullCombo, Member, V::Accepted, false},
        {"chairs at kind 5", kToChairs, 5, &kChairsOnly, Member, V::Accepted, false},
        {"chairs at member", kToChairs, 1, &kFullCombo, Chair, V::Refused, false},
        {"chairs at chair without entry", kToChairs, 0, &kPrivateOnly, Member, V::Accepted, false},
        // Private: the combo must list the sender, or the sender is privileged.
        {"private, sender listed", kMe, 1, &kPrivateOnly, Member, V::Accepted, true},
        {"private, sender not listed", kMe, 1, &kChairsOnly, Member, V::Refused, true},
        {"private, chair not listed", kMe, 1, &kChairsOnly, Chair, V::Accepted, true},
        {"private, presenter not listed", kMe, 1, &kChairsOnly, Presenter, V::Accepted, true},
        // Addressed to somebody else.
        {"another user's id", 32, 0, &kFullCombo, Chair, V::Refused, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ST_USER_ITEM_DEPT me = User(kMe, u"Me", c.myKind);
        const ST_USER_ITEM_DEPT sender = c.sender == Member      ? User(kPeer, u"Peer", 1)
                                         : c.sender == Chair     ? User(kPeer, u"Peer", 0)
                                         : c.sender == TempAdmin ? User(kPeer, u"Peer", 5)
                                                                 : User(kPeer, u"Peer", 1, 2);
        ChatAcceptInput in{c.to, kPeer, &me, &sender, c.combo, "Everyone", "Chairs"};
        const ChatAcceptResult result = AcceptChat(in);
        EXPECT_EQ(result.verdict, c.verdict);
        if (result.verdict == V::Accepted) {
            EXPECT_EQ(result.isPrivate, c.isPrivate);
        }
    }
}

TEST(ChatAccept, LabelsComeFromTheDestinationAndTheCombo) {
    const ST_USER_ITEM_DEPT me = User(kMe, u"Me", 0);
    const ST_USER_ITEM_DEPT sender = User(kPeer, u"Peer", 1);
    ChatAcceptInput in{kMe, kPeer, &me, &sender, &kPrivateOnly, "Everyone", "Chairs"};
    ChatAcceptResult result = AcceptChat(in);
    EXPECT_EQ(result.destLabel, "Me");
    EXPECT_EQ(result.senderLabel, "Peer in combo");

    in.to = kToChairs;
    result = AcceptChat(in);
    EXPECT_EQ(result.destLabel, "Chairs");
    EXPECT_EQ(result.senderLabel, "Peer");
}

TEST(ChatAccept, NoLocalRecordDropsAndAnUnknownSenderIsNotPrivileged) {
    ChatAcceptInput in{kToEveryone, kPeer, nullptr, nullptr, &kFullCombo, "E", "C"};
    EXPECT_EQ(AcceptChat(in).verdict, ChatAcceptResult::Verdict::Dropped);

    const ST_USER_ITEM_DEPT me = User(kMe, u"Me", 1);
    in.self = &me;
    in.combo = &kChairsOnly;
    const ChatAcceptResult unknown = AcceptChat(in);
    EXPECT_EQ(unknown.verdict, ChatAcceptResult::Verdict::Refused);
    EXPECT_TRUE(unknown.senderLabel.isEmpty());
}

TEST(ChatAccept, SenderListedTwiceDoesNotOpenAnotherUsersMessage) {
    // The list is filled without a duplicate check: two entries of the sender must not
    // count as "addressed here".
    const std::vector<RecipientEntry> twice = {{"Peer", kPeer}, {"Peer", kPeer}};
    const ST_USER_ITEM_DEPT me = User(kMe, u"Me", 1);
    const ST_USER_ITEM_DEPT sender = User(kPeer, u"Peer", 1);
    ChatAcceptInput in{40, kPeer, &me, &sender, &twice, "E", "C"};
    EXPECT_EQ(AcceptChat(in).verdict, ChatAcceptResult::Verdict::Refused);
}

// --- recipients -----------------------------------------------------------------------------

std::vector<std::uint16_t> Ids(const RecipientList& list) {
    std::vector<std::uint16_t> ids;
    for (const auto& entry : list.entries) {
        ids.push_back(entry.id);
    }
    return ids;
}

TEST(ChatRecipients, RebuiltFromRightsRoleAndAppInfo) {
    ST_CONF_APPINFO all;
    all.flags22 = 0x80;
    all.flags23 = 0x01;
    all.flags24 = 0x20;
    ST_CONF_APPINFO none;
    const std::vector<RecipientEntry> users = {{"A", 8}, {"Me", kMe}, {"B", kPeer}};
    struct Case {
        const char* name;
        bool chair;
        bool presenter;
        std::uint8_t rights;
        const ST_CONF_APPINFO* info;
        std::vector<std::uint16_t> ids;
        bool sound;
    };
    const Case cases[] = {
        {"chair: full list whatever the rights", true, false, 0, &all, {0, 1, 8, kPeer}, true},
        {"chair, sound bit off", true, false, 3, &none, {0, 1, 8, kPeer}, false},
        {"member, both rights", false, false, 3, &all, {0, 1, 8, kPeer}, false},
        {"member, private only", false, false, 1, &all, {1, 8, kPeer}, false},
        {"member, everyone only", false, false, 2, &all, {0, 1}, false},
        {"member, no rights", false, false, 0, &all, {1}, false},
        {"member, rights but server forbids", false, false, 3, &none, {1}, false},
        {"presenter, both rights", false, true, 3, &all, {0, 1, 8, kPeer}, false},
        {"presenter, private only", false, true, 1, &all, {1, 8, kPeer}, false},
        {"before login", false, false, 3, nullptr, {1}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecipientInput in{c.chair, c.presenter, c.rights, c.info, kMe, users, "Everyone", "Chairs"};
        const RecipientList list = BuildRecipients(in);
        EXPECT_EQ(Ids(list), c.ids);
        EXPECT_EQ(list.selected, 0);
        EXPECT_EQ(list.soundEnabled, c.sound);
        EXPECT_EQ(list.entries.front().text, c.ids.front() == 0 ? "Everyone" : "Chairs");
    }
}

// --- time stamps ----------------------------------------------------------------------------

TEST(ChatTimeStamp, DueAtThreeWholeMinutes) {
    const std::int64_t last = 1'000'000;
    EXPECT_TRUE(TimeStampDue(last + 3600, last)) << "the first line (last stamp an hour ago)";
    EXPECT_FALSE(TimeStampDue(last, last));
    EXPECT_FALSE(TimeStampDue(last + 179, last)) << "2 minutes 59 seconds";
    EXPECT_TRUE(TimeStampDue(last + 180, last));
    EXPECT_FALSE(TimeStampDue(last - 600, last)) << "a clock set back";
}

TEST(ChatTimeStamp, FormattedWithBlanksAround) {
    const QString stamp = FormatTimeStamp(1'700'000'000);
    EXPECT_TRUE(stamp.startsWith(' ') && stamp.endsWith(' '));
    EXPECT_EQ(stamp.size(), 21);
    EXPECT_EQ(stamp.mid(5, 1), "-");
    EXPECT_EQ(stamp.mid(14, 1), ":");
}

// --- bubbles --------------------------------------------------------------------------------

TEST(ChatBubble, ColumnWidthKeepsScaledAndUnscaledParts) {
    EXPECT_EQ(BubbleColumnWidth(1.0), 320 - 24 - 2 - 24 - 24);
    EXPECT_EQ(BubbleColumnWidth(1.5), 480 - 36 - 2 - 24 - 36);
}

TEST(ChatBubble, NoticeAndMessageMetrics) {
    // 7 px per character.
    const TextMeasure measure = [](const QString& text) { return 7.0 * text.size(); };
    struct Case {
        const char* name;
        bool notice;
        double scale;
        int column;
        int chars;
        BubbleMetrics expected;
    };
    const Case cases[] = {
        // Notice: max = w - 10 - 23 s.
        {"one-word notice", true, 1.0, 246, 5, {35 + 23 + 5, 36, 1}},
        {"notice at max", true, 1.0, 246, 30, {210 + 28, 36, 1}},
        {"wrapped notice", true, 1.0, 246, 60, {213, 36 + 18, 2}},
        // Message: max = w - 60 s - 23 s.
        {"one-line message", false, 1.0, 246, 10, {70 + 28, 72, 1}},
        {"message just over max", false, 1.0, 246, 24, {163, 72 + 18, 2}},
        {"long message", false, 1.0, 246, 100, {163, 72 + 4 * 18, 5}},
        {"scaled message", false, 1.5, 372, 10, {70 + 34 + 5, 108, 1}},
        {"scaled wrap", false, 1.5, 372, 60, {248, 108 + 27, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString text(c.chars, 'x');
        const BubbleMetrics m = c.notice ? MeasureNotice(c.column, text, measure, c.scale)
                                         : MeasureMessage(c.column, text, measure, c.scale);
        EXPECT_EQ(m.height, c.expected.height);
        EXPECT_EQ(m.lines, c.expected.lines);
        EXPECT_EQ(m.width, c.expected.width);
    }
}

TEST(ChatBubble, EveryLineBreakOfAPeersTextTakesALine) {
    // 7 px per character; a message column of 246 leaves 163 px (23 characters) a line.
    const TextMeasure measure = [](const QString& text) { return 7.0 * text.size(); };
    const QString ten(10, 'x');
    struct Case {
        const char* name;
        bool notice;
        QString text;
        int lines;
        int height;
    };
    const Case cases[] = {
        {"LF", false, ten + "\n" + ten, 2, 72 + 18},
        {"CR LF, lone CR", false, ten + "\r\n" + ten + "\r" + ten, 3, 72 + 2 * 18},
        {"line and paragraph separators", false, ten + QChar(0x2028) + ten + QChar(0x2029) + ten, 3,
         72 + 2 * 18},
        {"a wrapped paragraph and a short one", false, QString(30, 'x') + "\n" + ten, 3,
         72 + 2 * 18},
        {"empty lines count", false, "\n\n", 3, 72 + 2 * 18},
        {"notice", true, ten + "\n" + ten, 2, 36 + 18},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const BubbleMetrics m = c.notice ? MeasureNotice(246, c.text, measure, 1.0)
                                         : MeasureMessage(246, c.text, measure, 1.0);
        EXPECT_EQ(m.lines, c.lines);
        EXPECT_EQ(m.height, c.height);
    }
}

TEST(ChatBubble, NarrowColumnNeverDividesByZero) {
    const TextMeasure measure = [](const QString&) { return 50.0; };
    const BubbleMetrics m = MeasureMessage(40, "x", measure, 1.0);
    EXPECT_EQ(m.height, 72);
    EXPECT_EQ(m.lines, 1);
}

TEST(ChatBubble, LongNamesAreShortenedAtBothEnds) {
    EXPECT_EQ(ShortLabel("fifteen chars!!"), "fifteen chars!!");
    EXPECT_EQ(ShortLabel("ABCDEFGHIJKLMNOPQRST"), "ABCDEFGHIJ...PQRST");
}

TEST(ChatLog, ControlCharactersAreEscaped) {
    EXPECT_EQ(EscapeForLog("a\nb\rc"), "a\\x0ab\\x0dc");
    EXPECT_EQ(EscapeForLog(QString::fromUtf16(u"x\u2028y")), "x\\x2028y");
    EXPECT_EQ(EscapeForLog("back\\slash"), "back\\\\slash");
    EXPECT_EQ(EscapeForLog(QString::fromUtf16(u"中文 ok")), QString::fromUtf16(u"中文 ok"));
}

}  // namespace
