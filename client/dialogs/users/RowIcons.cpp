#include "RowIcons.h"

#include <array>

#include "UserTree.h"

namespace yav::users {

namespace {

struct SlotImage {
    std::uint32_t id;
    bool scaled;
};

constexpr std::array<SlotImage, 26> kSlots = {{
    {856, true},   {858, true},   {846, true},  {848, true},  {902, true},  {904, true},
    {1176, false}, {1178, false}, {870, false}, {874, false}, {882, true},  {898, false},
    {894, false},  {886, true},   {890, true},  {884, true},  {900, false}, {896, false},
    {888, true},   {892, true},   {1012, true}, {1014, true}, {1016, true}, {1018, true},
    {1020, true},  {1022, true},
}};

int Hovered(bool hovered, int normal, int hover) {
    return hovered ? hover : normal;
}

}  // namespace

std::uint32_t VoiceGroupOf(const TreeUser& user) {
    const auto& b = user.privateBlock;
    return static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
           (static_cast<std::uint32_t>(b[2]) << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
}

RowIconSlots RowIcons(const TreeUser& user, std::uint8_t hoverArea, const LocalRole& local) {
    RowIconSlots icons;
    icons.user = user.IsAdminKind() ? 0 : 1;
    const bool rowHover = hoverArea == TreeNode::kHoverRow;

    const bool presenterHover = hoverArea == TreeNode::kHoverPresenter;
    if (user.presenterState == kStateActive) {
        icons.presenter = Hovered(presenterHover, 20, 21);
    } else if (user.presenterState == kStateQueued) {
        icons.presenter = Hovered(presenterHover, 22, 23);
    } else if (presenterHover) {
        icons.presenter = 25;
    } else if (local.chair && rowHover) {
        icons.presenter = 24;
    }

    const std::uint32_t group = VoiceGroupOf(user);
    const bool audioShown = user.audioFlag != 0 && local.voiceGroup.has_value() &&
                            (group == *local.voiceGroup || local.admin);
    if (audioShown) {
        const bool audioHover = hoverArea == TreeNode::kHoverAudio;
        if (group != 0) {
            icons.audio = Hovered(audioHover, 14, 19);
        } else if (user.speakState == kStateActive) {
            icons.audio = Hovered(audioHover, 10, 15);
        } else if (user.IsListenedTo()) {
            icons.audio = Hovered(audioHover, 13, 18);
        } else if (user.speakState == kStateQueued) {
            icons.audio = Hovered(audioHover, 11, 16);
        } else if (audioHover) {
            icons.audio = 17;
        } else if (local.chair && rowHover) {
            icons.audio = 12;
        }
    }

    if (user.channelCount != 0 && user.ownedMask != 0) {
        const bool several = user.channelCount > 1;
        const bool videoHover = hoverArea == TreeNode::kHoverVideo;
        bool broadcast = false;
        for (unsigned n = 0; n < user.channelCount && n < 8; ++n) {
            broadcast = broadcast || user.IsChannelBroadcast(n);
        }
        if (broadcast) {
            icons.video = several ? 7 : Hovered(videoHover, 2, 3);
        } else {
            icons.video = several ? 6 : Hovered(videoHover, 4, 5);
        }
    }
    return icons;
}

std::uint32_t SlotImageId(int slot, double displayScale) {
    if (slot < 0 || slot >= static_cast<int>(kSlots.size())) {
        return 0;
    }
    const SlotImage& image = kSlots[static_cast<std::size_t>(slot)];
    return image.scaled && displayScale > 1.1 ? image.id + 1 : image.id;
}

}  // namespace yav::users
