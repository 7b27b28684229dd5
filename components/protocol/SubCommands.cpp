#include "SubCommands.h"

#include <cstddef>

#include "ST_USER_ITEM_DEPT.h"

namespace yav::proto {

namespace {

constexpr uint16_t kChannelBits = 0xFFF8;
constexpr uint8_t kPresenterState = 2;
constexpr uint8_t kScreenControlGivenCode = 1;
constexpr uint8_t kScreenControlTakenBackCode = 2;
// 264: u8 start, u16 channel id.
constexpr size_t kScreenChannelEnd = 3;

bool AddressedToSender(uint16_t senderUserId, uint16_t to) {
    return to != 0 && (to & kChannelBits) == (senderUserId & kChannelBits);
}

// A screen start names the sender's own channel; a stop names nothing the viewers act on.
bool ScreenBlockNamesOnlyTheSender(std::span<const uint8_t> payload, uint16_t senderUserId) {
    if (!payload.empty() && payload[0] == 0) {
        return true;
    }
    if (payload.size() < kScreenChannelEnd) {
        return false;
    }
    const auto channel = static_cast<uint16_t>(payload[1] | (payload[2] << 8));
    return (channel & kChannelBits) == (senderUserId & kChannelBits);
}

}  // namespace

SenderRole RequiredSenderRole(uint16_t sub, std::span<const uint8_t> payload, uint16_t senderUserId,
                              uint16_t to) {
    switch (sub) {
        case kSubCommandDeviceParamRequest:
        case kSubCommandDeviceParamChange:
            return AddressedToSender(senderUserId, to) ? SenderRole::Anyone
                                                       : SenderRole::ChairOrPresenter;
        case kSubCommandSyncWndLayout:
        case kSubCommandCameraControl:
        case kSubCommandConfDissolved:
            return SenderRole::ChairOrPresenter;
        case kSubCommandScreen:
            return ScreenBlockNamesOnlyTheSender(payload, senderUserId) ? SenderRole::Anyone
                                                                        : SenderRole::Nobody;
        case kSubCommandScreenControlReply:
            if (payload.empty() || payload[0] == kScreenControlGivenCode ||
                payload[0] == kScreenControlTakenBackCode) {
                return SenderRole::ChairOrPresenter;
            }
            return SenderRole::Anyone;
        case kSubCommandGroupJoin:
        case kSubCommandGroupLeave:
        case kSubCommandClap:
            return SenderRole::Chair;
        default:
            return SenderRole::Anyone;
    }
}

bool IsChairKind(const ST_USER_ITEM_DEPT& user) {
    return user.kind == USER_KIND_CHAIR || user.kind == USER_KIND_TEMP_ADMIN;
}

bool IsPresenter(const ST_USER_ITEM_DEPT& user) {
    return user.presenterState == kPresenterState;
}

bool HasSenderRole(const ST_USER_ITEM_DEPT& sender, SenderRole role) {
    switch (role) {
        case SenderRole::Anyone:
            return true;
        case SenderRole::ChairOrPresenter:
            return IsChairKind(sender) || IsPresenter(sender);
        case SenderRole::Chair:
            return IsChairKind(sender);
        case SenderRole::Nobody:
            return false;
    }
    return false;
}

bool MaySendSubCommand(uint16_t sub, std::span<const uint8_t> payload,
                       const ST_USER_ITEM_DEPT& sender, uint16_t to) {
    return HasSenderRole(sender, RequiredSenderRole(sub, payload, sender.userId, to));
}

}  // namespace yav::proto
