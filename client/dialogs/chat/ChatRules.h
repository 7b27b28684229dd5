#pragma once
// The chat window's decisions, free of widgets so that tests drive them directly: who may
// see a received message, which recipients the combo offers, when a time stamp is due, how
// big a bubble is and how a long name is shortened.

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "components/protocol/ST_CONF_APPINFO.h"
#include "components/protocol/ST_USER_ITEM_DEPT.h"

namespace yav::chat {

// Destination ids of a chat (the combo entries' item data).
inline constexpr std::uint16_t kToEveryone = 0;
inline constexpr std::uint16_t kToChairs = 1;

// Lines a pane keeps: beyond this the oldest go.
inline constexpr int kMaxPaneLines = 1000;

struct RecipientEntry {
    QString text;
    std::uint16_t id = 0;
    bool operator==(const RecipientEntry&) const = default;
};

// Kind 0 or 5: a chair.
bool IsChairKind(std::uint8_t kind);
// Whether a participant other than the local user holds a chair kind: a chat to the chairs
// reaches someone only then (the server never sends a chat back to its sender).
bool AnyOtherChair(const std::vector<ST_USER_ITEM_DEPT>& users, std::uint16_t myUserId);
// A chair kind or the presenter (byte 80 = 2).
bool IsPrivilegedSender(const ST_USER_ITEM_DEPT& user);
QString UserName(const ST_USER_ITEM_DEPT& user);

struct ChatAcceptInput {
    std::uint16_t to = 0;
    std::uint16_t from = 0;
    const ST_USER_ITEM_DEPT* self = nullptr;    // the local record; null drops the message
    const ST_USER_ITEM_DEPT* sender = nullptr;  // null when unknown
    const std::vector<RecipientEntry>* combo = nullptr;
    QString everyoneText;  // label of destination 0
    QString chairsText;    // label of destination 1
};

struct ChatAcceptResult {
    enum class Verdict { Dropped, Refused, Accepted };
    Verdict verdict = Verdict::Dropped;
    QString senderLabel;
    QString destLabel;
    bool isPrivate = false;
};

// Whether a received chat is shown. Dropped without a local record; refused (the caller
// puts the refusal notice into the system pane) when it is not addressed to this user by
// its combo and the sender's rights.
ChatAcceptResult AcceptChat(const ChatAcceptInput& in);

struct RecipientInput {
    bool chair = false;                        // the local user holds a chair kind
    bool presenter = false;                    // the local user is the presenter
    std::uint8_t chatRights = 0;               // room attribute 271: bit 0 private, bit 1 everyone
    const ST_CONF_APPINFO* appInfo = nullptr;  // null: nothing allowed
    std::uint16_t myUserId = 0;
    std::vector<RecipientEntry> users;  // every participant in walk order (self included)
    QString everyoneText;
    QString chairsText;
};

struct RecipientList {
    std::vector<RecipientEntry> entries;
    int selected = -1;
    bool soundEnabled = false;
};

RecipientList BuildRecipients(const RecipientInput& in);

// Whole minutes from the last stamp to now of 3 or more (times in seconds).
bool TimeStampDue(std::int64_t nowSeconds, std::int64_t lastStampSeconds);
// " %Y-%m-%d %H:%M:%S " of a local time.
QString FormatTimeStamp(std::int64_t nowSeconds);

// A header longer than 15 characters: its first 10, "..." and its last 5.
QString ShortLabel(const QString& label);

// Geometry of one pane line.
struct BubbleMetrics {
    int width = 0;   // the body's width (one-line bodies)
    int height = 0;  // the whole line
    int lines = 1;
};

// Width of a text on one line in the font the line is painted with.
using TextMeasure = std::function<double(const QString& text)>;

// The text's paragraphs: a peer's text may hold raw line breaks ("\r\n", "\n", "\r", U+2028,
// U+2029), each of which starts a new line of the bubble.
QStringList Paragraphs(const QString& text);

// The column the bubbles stand in at a scale.
int BubbleColumnWidth(double scale);
// A notice pill or a participant message in a column of width w. Each paragraph takes its own
// lines, so a body with line breaks is as high as all of them.
BubbleMetrics MeasureNotice(int w, const QString& text, const TextMeasure& measure, double scale);
BubbleMetrics MeasureMessage(int w, const QString& text, const TextMeasure& measure, double scale);

// The debug log's text: control characters shown as \xNN, so a peer cannot forge log lines.
QString EscapeForLog(const QString& text);

}  // namespace yav::chat
