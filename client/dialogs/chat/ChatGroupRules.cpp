#include "ChatGroupRules.h"

#include <algorithm>

namespace yav::chat {

std::vector<std::uint32_t> DistinctGroups(const std::vector<ST_USER_ITEM_DEPT>& users) {
    std::vector<std::uint32_t> groups;
    for (const ST_USER_ITEM_DEPT& user : users) {
        const std::uint32_t group = user.privateData.groupValue;
        if (group != 0 && std::find(groups.begin(), groups.end(), group) == groups.end()) {
            groups.push_back(group);
        }
    }
    return groups;
}

std::uint32_t MakeGroupId(std::uint16_t myUserId, std::uint16_t& counter) {
    const std::uint32_t id = static_cast<std::uint32_t>(myUserId) << 16 |
                             ((static_cast<std::uint32_t>(counter) + 0x8000U) & 0xFFFFU);
    ++counter;
    return id;
}

AddRefusal CheckAddMembers(bool groupSelected, int members,
                           const std::vector<std::uint8_t>& tickedSpeakStates, int speakers,
                           int speakerLimit) {
    if (!groupSelected) {
        return AddRefusal::NoGroup;
    }
    const int m = static_cast<int>(tickedSpeakStates.size());
    if (m == 0) {
        return AddRefusal::NobodyTicked;
    }
    if (members + m < kMinGroupMembers) {
        return AddRefusal::TooFew;
    }
    if (members + m > kMaxGroupMembers) {
        return AddRefusal::TooMany;
    }
    const int newSpeakers =
        m - static_cast<int>(std::count_if(tickedSpeakStates.begin(), tickedSpeakStates.end(),
                                           [](std::uint8_t state) { return state != 0; }));
    if (speakers + newSpeakers > speakerLimit) {
        return AddRefusal::SpeakerLimit;
    }
    return AddRefusal::None;
}

RemoveAction ChooseRemoveAction(int members, int ticked) {
    if (ticked == 0) {
        return RemoveAction::NobodyTicked;
    }
    return members - ticked > 1 ? RemoveAction::SendLeave : RemoveAction::ConfirmDissolve;
}

}  // namespace yav::chat
