#include "RoomNotices.h"

#include <algorithm>

#include "platform/core/TextCodec.h"

namespace yav::notice {

namespace {

constexpr qsizetype kNameHead = 10;
constexpr qsizetype kNameTail = 5;
constexpr std::uint8_t kGbkLeadFirst = 0x81;
constexpr std::uint8_t kGbkLeadLast = 0xFE;

}  // namespace

QString ShortNoticeName(const QString& name) {
    if (name.size() <= kNoticeNameMax) {
        return name;
    }
    qsizetype head = kNameHead;
    if (name.at(head - 1).isHighSurrogate()) {
        --head;
    }
    qsizetype tailStart = name.size() - kNameTail;
    if (name.at(tailStart).isLowSurrogate()) {
        ++tailStart;
    }
    return name.left(head) + QStringLiteral("...") + name.mid(tailStart);
}

QString UserNotice(std::initializer_list<QString> texts, const QString& name, std::uint32_t id) {
    if (name.isEmpty() || texts.size() < 2) {
        return QString();
    }
    const QString* text = texts.begin();
    QString notice = text[0] + u' ' + ShortNoticeName(name) + u'(' + QString::number(id) +
                     QStringLiteral(") ") + text[1];
    if (texts.size() > 2) {
        notice += u':' + text[2];
    }
    return notice;
}

std::string_view BulletinBytes(std::span<const std::uint8_t> block) {
    if (block.empty()) {
        return {};
    }
    const std::size_t limit =
        std::min<std::size_t>({block[0], block.size() - 1, kMaxBulletinBytes});
    // A lead byte counts with its trail byte: a character that does not fit whole is left out,
    // also when the block itself ends after the lead byte.
    std::size_t length = 0;
    while (length < limit) {
        const std::uint8_t lead = block[1 + length];
        const std::size_t width = (lead >= kGbkLeadFirst && lead <= kGbkLeadLast) ? 2 : 1;
        if (length + width > limit) {
            break;
        }
        length += width;
    }
    return std::string_view(reinterpret_cast<const char*>(block.data() + 1), length);
}

QString BulletinText(std::span<const std::uint8_t> block) {
    const std::u16string wide = yav::text::GbkToUtf16(BulletinBytes(block));
    return QString::fromUtf16(wide.data(), static_cast<qsizetype>(wide.size()));
}

}  // namespace yav::notice
