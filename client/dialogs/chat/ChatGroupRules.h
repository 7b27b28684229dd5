#pragma once
// The voice-group manager's rules: groups are derived from the participants' group values,
// new ids are made here, and adding members passes a fixed row of checks.

#include <cstdint>
#include <vector>

#include "components/protocol/ST_USER_ITEM_DEPT.h"

namespace yav::chat {

inline constexpr int kMinGroupMembers = 2;
inline constexpr int kMaxGroupMembers = 8;

// The group values of the users other than 0, each once, in walk order.
std::vector<std::uint32_t> DistinctGroups(const std::vector<ST_USER_ITEM_DEPT>& users);

// (user id << 16) | ((counter + 0x8000) & 0xFFFF); the counter then grows by one.
std::uint32_t MakeGroupId(std::uint16_t myUserId, std::uint16_t& counter);

// Why adding members is refused, in the order the checks run; each names its text.
enum class AddRefusal : int {
    None = 0,
    NoGroup = 3112,
    NobodyTicked = 2203,
    TooFew = 2158,
    TooMany = 2206,
    SpeakerLimit = 2245,
};

// ticked: the speak states of the ticked non-members.
AddRefusal CheckAddMembers(bool groupSelected, int members,
                           const std::vector<std::uint8_t>& tickedSpeakStates, int speakers,
                           int speakerLimit);

enum class RemoveAction { NobodyTicked, SendLeave, ConfirmDissolve };
RemoveAction ChooseRemoveAction(int members, int ticked);

}  // namespace yav::chat
