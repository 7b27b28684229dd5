#pragma once
// The user-to-user sub-commands that clients hand to the conference server (Transmit) and that
// it relays (Relay), and the role a sender needs for each. yavserver refuses to relay a block
// from a sender without that role, and a receiving client checks the sender's record again:
// another participant is untrusted input.

#include <cstdint>
#include <span>

struct ST_USER_ITEM_DEPT;

namespace yav::proto {

inline constexpr uint16_t kSubCommandChat = 257;
// A chat sent to this "user id" goes to every chair kind but the sender.
inline constexpr uint16_t kChatToChairs = 1;
inline constexpr uint16_t kSubCommandSyncWndLayout = 258;
inline constexpr uint16_t kSubCommandDeviceParamRequest = 259;
inline constexpr uint16_t kSubCommandDeviceParamReply = 260;
inline constexpr uint16_t kSubCommandDeviceParamChange = 261;
inline constexpr uint16_t kSubCommandCameraControl = 263;
inline constexpr uint16_t kSubCommandScreen = 264;
inline constexpr uint16_t kSubCommandMedia = 266;
inline constexpr uint16_t kSubCommandScreenControlGrant = 267;
inline constexpr uint16_t kSubCommandScreenControlQuestion = 268;
inline constexpr uint16_t kSubCommandScreenControlReply = 269;
inline constexpr uint16_t kSubCommandGroupAnnounce = 274;
inline constexpr uint16_t kSubCommandGroupJoin = 275;
inline constexpr uint16_t kSubCommandGroupLeave = 276;
inline constexpr uint16_t kSubCommandConfDissolved = 288;
inline constexpr uint16_t kSubCommandClap = 296;
inline constexpr uint16_t kSubCommandRequestControl = 306;
inline constexpr uint16_t kSubCommandResponseControl = 307;
inline constexpr uint16_t kSubCommandAudioListen = 308;
inline constexpr uint16_t kSubCommandH323Call = 310;
inline constexpr uint16_t kSubCommandChannelRequest = 311;

// What a sender must be for a sub-command to be relayed and acted on.
enum class SenderRole : uint8_t {
    Anyone,
    ChairOrPresenter,  // participant kind 0 or 5, or presenter state 2
    Chair,             // participant kind 0 or 5
    Nobody,            // the block speaks for another user: no sender may send it
};

// The role needed to send `sub` with this payload from senderUserId to `to` (0 = everybody).
// Device requests and changes (259, 261) addressed to the sender itself need none: a client
// opens its own device dialog that way. Screen-control replies (269) need a role only for the
// codes that grant or take back control (1, 2; an empty block counts as such). The layout
// (258) is the leader's: a chair kind or the presenter. A screen start (264 with its first
// byte set) must name a channel of the sender, since every viewer starts receiving the
// channel it names; a start too short to name one is nobody's.
SenderRole RequiredSenderRole(uint16_t sub, std::span<const uint8_t> payload, uint16_t senderUserId,
                              uint16_t to);

bool IsChairKind(const ST_USER_ITEM_DEPT& user);
bool IsPresenter(const ST_USER_ITEM_DEPT& user);
bool HasSenderRole(const ST_USER_ITEM_DEPT& sender, SenderRole role);

// True when the sender, as its record describes it, may send `sub` with this payload to `to`.
bool MaySendSubCommand(uint16_t sub, std::span<const uint8_t> payload,
                       const ST_USER_ITEM_DEPT& sender, uint16_t to);

}  // namespace yav::proto
