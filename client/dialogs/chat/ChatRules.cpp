#include "ChatRules.h"

#include <QDateTime>

#include <algorithm>

namespace yav::chat {

namespace {

int S(double designPixels, double scale) {
    return static_cast<int>(designPixels * scale);
}

constexpr int kHeaderBand = 36;
constexpr int kLineHeight = 18;
constexpr int kBodyInset = 23;
constexpr int kBodyInsetUnscaled = 5;
constexpr int kSideMargin = 60;
constexpr int kNoticeSlackUnscaled = 10;

BubbleMetrics Measure(int max, int oneLineHeight, const QString& text, const TextMeasure& measure,
                      double scale) {
    BubbleMetrics metrics;
    const QStringList paragraphs = Paragraphs(text);
    if (max <= 0) {
        // A column too narrow for any text: one line per paragraph, nothing to wrap into.
        metrics.width = 0;
        metrics.lines = static_cast<int>(paragraphs.size());
        metrics.height = oneLineHeight + (metrics.lines - 1) * S(kLineHeight, scale);
        return metrics;
    }
    if (paragraphs.size() == 1) {
        const double m = measure(text);
        if (m <= max) {
            metrics.width = static_cast<int>(m) + S(kBodyInset, scale) + kBodyInsetUnscaled;
            metrics.height = oneLineHeight;
            return metrics;
        }
    }
    metrics.lines = 0;
    for (const QString& paragraph : paragraphs) {
        const double m = measure(paragraph);
        metrics.lines += m <= max ? 1 : static_cast<int>(m / max) + 1;
    }
    metrics.width = max;
    metrics.height = oneLineHeight + (metrics.lines - 1) * S(kLineHeight, scale);
    return metrics;
}

}  // namespace

bool IsChairKind(std::uint8_t kind) {
    return kind == USER_KIND_CHAIR || kind == USER_KIND_TEMP_ADMIN;
}

bool AnyOtherChair(const std::vector<ST_USER_ITEM_DEPT>& users, std::uint16_t myUserId) {
    return std::any_of(users.begin(), users.end(), [myUserId](const ST_USER_ITEM_DEPT& user) {
        return user.userId != myUserId && IsChairKind(user.kind);
    });
}

QStringList Paragraphs(const QString& text) {
    QString joined = text;
    joined.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    for (const QChar mark : {QChar(u'\r'), QChar(0x2028), QChar(0x2029)}) {
        joined.replace(mark, QChar(u'\n'));
    }
    return joined.split(QChar(u'\n'));
}

bool IsPrivilegedSender(const ST_USER_ITEM_DEPT& user) {
    return IsChairKind(user.kind) || user.presenterState == 2;
}

QString UserName(const ST_USER_ITEM_DEPT& user) {
    const auto* end = std::find(std::begin(user.name), std::end(user.name), u'\0');
    return QString::fromUtf16(user.name, end - std::begin(user.name));
}

ChatAcceptResult AcceptChat(const ChatAcceptInput& in) {
    ChatAcceptResult result;
    if (in.self == nullptr) {
        return result;
    }
    result.verdict = ChatAcceptResult::Verdict::Refused;
    int count = 0;
    if (in.to == kToChairs && IsChairKind(in.self->kind)) {
        result.destLabel = in.chairsText;
        count = 1;
    } else if (in.to == kToEveryone) {
        result.destLabel = in.everyoneText;
        count = 1;
    } else if (in.to == in.self->userId) {
        result.destLabel = UserName(*in.self);
        count = 1;
    }
    // A message addressed to nobody here is never shown, however often the combo lists
    // its sender (the list is filled without a duplicate check).
    if (count == 0) {
        return result;
    }
    bool privileged = false;
    if (in.sender != nullptr) {
        result.senderLabel = UserName(*in.sender);
        privileged = IsPrivilegedSender(*in.sender);
    }
    const bool toGroup = in.to == kToEveryone || in.to == kToChairs;
    if (in.combo != nullptr) {
        for (const RecipientEntry& entry : *in.combo) {
            if (count >= 2) {
                break;
            }
            if (toGroup) {
                if (entry.id == in.to) {
                    ++count;
                }
            } else if (entry.id == in.from) {
                ++count;
                result.senderLabel = entry.text;
            }
        }
    }
    if (count == 1 && privileged && (in.to == kToEveryone || in.to == in.self->userId)) {
        count = 2;
    }
    if (count == 2) {
        result.verdict = ChatAcceptResult::Verdict::Accepted;
        result.isPrivate = in.to == in.self->userId;
    }
    return result;
}

RecipientList BuildRecipients(const RecipientInput& in) {
    RecipientList list;
    const std::uint8_t flags22 = in.appInfo != nullptr ? in.appInfo->flags22 : 0;
    const std::uint8_t flags23 = in.appInfo != nullptr ? in.appInfo->flags23 : 0;
    const std::uint8_t flags24 = in.appInfo != nullptr ? in.appInfo->flags24 : 0;
    list.soundEnabled = (flags24 & 0x20) != 0 && in.chair;

    auto addOthers = [&] {
        for (const RecipientEntry& user : in.users) {
            if (user.id != in.myUserId) {
                list.entries.push_back(user);
            }
        }
    };
    const bool priv = (in.chatRights & 0x01) != 0 && (flags22 & 0x80) != 0;
    const bool pub = (in.chatRights & 0x02) != 0 && (flags23 & 0x01) != 0;
    if (in.chair || (in.presenter && priv && pub)) {
        addOthers();
        list.entries.insert(list.entries.begin(), {in.chairsText, kToChairs});
        list.entries.insert(list.entries.begin(), {in.everyoneText, kToEveryone});
        list.selected = 0;
        return list;
    }
    if (priv) {
        addOthers();
    }
    list.entries.insert(list.entries.begin(), {in.chairsText, kToChairs});
    if (pub) {
        list.entries.insert(list.entries.begin(), {in.everyoneText, kToEveryone});
    }
    list.selected = 0;
    return list;
}

bool TimeStampDue(std::int64_t nowSeconds, std::int64_t lastStampSeconds) {
    return (nowSeconds - lastStampSeconds) / 60 >= 3;
}

QString FormatTimeStamp(std::int64_t nowSeconds) {
    return QDateTime::fromSecsSinceEpoch(nowSeconds)
        .toString(QStringLiteral(" yyyy-MM-dd HH:mm:ss "));
}

QString ShortLabel(const QString& label) {
    if (label.size() <= 15) {
        return label;
    }
    return label.left(10) + QStringLiteral("...") + label.right(5);
}

int BubbleColumnWidth(double scale) {
    return S(320, scale) - S(24, scale) - 2 - 24 - S(24, scale);
}

BubbleMetrics MeasureNotice(int w, const QString& text, const TextMeasure& measure, double scale) {
    const int max = w - kNoticeSlackUnscaled - S(kBodyInset, scale);
    return Measure(max, S(kHeaderBand, scale), text, measure, scale);
}

BubbleMetrics MeasureMessage(int w, const QString& text, const TextMeasure& measure, double scale) {
    const int max = w - S(kSideMargin, scale) - S(kBodyInset, scale);
    return Measure(max, 2 * S(kHeaderBand, scale), text, measure, scale);
}

QString EscapeForLog(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u == 0x7F || (u >= 0x80 && u < 0xA0) || u == 0x2028 || u == 0x2029) {
            out += QStringLiteral("\\x%1").arg(static_cast<int>(u), 2, 16, QLatin1Char('0'));
        } else if (u == u'\\') {
            out += QStringLiteral("\\\\");
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace yav::chat
