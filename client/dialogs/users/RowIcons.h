#pragma once
// Which image slot each icon of a participant row shows, from the row's record, the mouse
// (hover area) and the local user's role and voice group. Slot -1: the icon is not drawn.

#include <cstdint>
#include <optional>

#include "TreeRecords.h"

namespace yav::users {

struct RowIconSlots {
    int user = 1;
    int presenter = -1;
    int audio = -1;
    int video = -1;
    bool operator==(const RowIconSlots&) const = default;
};

struct LocalRole {
    bool chair = false;  // administrator kind or presenter
    bool admin = false;  // administrator kind
    // The local user's voice group (first value of its private data); nothing when unknown.
    std::optional<std::uint32_t> voiceGroup;
};

RowIconSlots RowIcons(const TreeUser& user, std::uint8_t hoverArea, const LocalRole& local);

// The user's voice group: the first value of its private data.
std::uint32_t VoiceGroupOf(const TreeUser& user);

// The skin image of each slot (0 for the brush slots); scaled slots take id + 1 above a
// display scale of 1.1.
std::uint32_t SlotImageId(int slot, double displayScale);

}  // namespace yav::users
