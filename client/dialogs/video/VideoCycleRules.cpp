#include "VideoCycleRules.h"

#include <algorithm>
#include <array>

#include "ST_USER_ITEM_DEPT.h"

namespace yav::video {

QStringList CycleIntervalItems() {
    return {QStringLiteral("10s"), QStringLiteral("20 s"), QStringLiteral("30 s"),
            QStringLiteral("60 s"), QStringLiteral("120 s")};
}

QStringList PageTurnItems() {
    return {QStringLiteral("10s"), QStringLiteral("15s"), QStringLiteral("30 s"),
            QStringLiteral("60 s"), QStringLiteral("120 s")};
}

namespace {

int ItemOf(std::uint32_t seconds, const std::array<std::uint32_t, 5>& values, int otherwise) {
    const auto* found = std::find(values.begin(), values.end(), seconds);
    return found != values.end() ? static_cast<int>(found - values.begin()) : otherwise;
}

}  // namespace

int CycleIntervalItem(std::uint32_t seconds) {
    return ItemOf(seconds, {10, 20, 30, 60, 120}, 0);
}

int PageTurnItem(std::uint32_t seconds) {
    return ItemOf(seconds, {10, 15, 30, 60, 120}, 1);
}

int LeadingNumber(const QString& text) {
    int value = 0;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9') || value > 100000) {
            break;
        }
        value = value * 10 + (c.unicode() - '0');
    }
    return value;
}

std::vector<CycleFilterEntry> CycleFilterEntries(const ST_USER_ITEM_DEPT& user) {
    std::vector<CycleFilterEntry> entries;
    const QString name = QString::fromUtf16(
        user.name,
        static_cast<qsizetype>(std::find(std::begin(user.name), std::end(user.name), u'\0') -
                               std::begin(user.name)));
    const int count = std::min<int>(user.videoChannelCount, 8);
    for (int channel = 0; channel < count; ++channel) {
        if ((user.channelMask & (1u << channel)) == 0) {
            continue;
        }
        CycleFilterEntry entry;
        entry.key = static_cast<std::uint16_t>(user.userId + channel);
        entry.name =
            channel == 0 ? name : QStringLiteral("%1-%2").arg(name, QString::number(channel + 1));
        entries.push_back(entry);
    }
    return entries;
}

}  // namespace yav::video
