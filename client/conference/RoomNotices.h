#pragma once
// Texts the room builds from participants' names and room records: the user notice shown in
// the chat's system pane ("<text> <name>(<id>) <text>") and the bulletin carried in the room
// attributes.

#include <QString>

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string_view>

namespace yav::notice {

// Names longer than this are shortened in notices.
inline constexpr qsizetype kNoticeNameMax = 15;

// The name as a notice shows it: unchanged up to 15 characters, else its first 10, "..." and
// its last 5 (a surrogate pair is never split).
QString ShortNoticeName(const QString& name);

// "<first> <name>(<id>) <second>", or with a third text "<first> <name>(<id>) <second>:<third>".
// The language texts and the name are inserted as they are: a '%' in any of them stays a '%'.
// Empty when the name is empty (no notice is shown for a user without a name).
QString UserNotice(std::initializer_list<QString> texts, const QString& name, std::uint32_t id);

// The longest bulletin text (GBK bytes).
inline constexpr std::size_t kMaxBulletinBytes = 241;

// The bulletin text of a block that starts with the bulletin's length byte (room attributes
// from offset 13): min(length byte, bytes given - 1, 241) bytes, cut so that no GBK character
// is split. Empty for an empty block.
std::string_view BulletinBytes(std::span<const std::uint8_t> block);
// The same text decoded from GBK.
QString BulletinText(std::span<const std::uint8_t> block);

}  // namespace yav::notice
