#pragma once
// Payloads of the user-to-user commands (XConfManager::Transmit out, ICsHandler::OnTransmit
// in): one size constant and one little-endian encoder/decoder per payload, and the receiving
// side's gate, which tells whether a block is acceptable for its sub-command (length, data,
// the sender's role) before any handler reads it.
//
// A block arrives as (pointer, length); an empty block may come with a null pointer (the pump
// hands over data() of an empty vector), and that is a valid empty payload.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "ByteIo.h"
#include "SubCommands.h"
#include "client/dialogs/chat/ChatPayload.h"

struct ST_USER_ITEM_DEPT;

// The commands the program names.
inline constexpr std::uint16_t SUBCOMMAND_SYNCWNDLAYOUT = yav::proto::kSubCommandSyncWndLayout;
inline constexpr std::uint16_t SUBCOMMAND_SCREEN = yav::proto::kSubCommandScreen;
inline constexpr std::uint16_t SUBCOMMAND_MEDIA = yav::proto::kSubCommandMedia;
inline constexpr std::uint16_t SUBCOMMAND_REQUESTCONTROL = yav::proto::kSubCommandRequestControl;
inline constexpr std::uint16_t SUBCOMMAND_RESPONSTCONTROL = yav::proto::kSubCommandResponseControl;

namespace yav::usercmd {

using proto::Bytes;

// Payload sizes in bytes.
inline constexpr std::size_t kLayoutSize = 100;
inline constexpr std::size_t kDeviceParamBlockSize = 4481;
inline constexpr std::size_t kRemoteParamSize = 207;
inline constexpr std::size_t kCameraControlSize = 2;
inline constexpr std::size_t kScreenSize = 7;
inline constexpr std::size_t kMediaSize = 16;
inline constexpr std::size_t kCodeSize = 1;  // 267, 268, 306
inline constexpr std::size_t kScreenControlReplySize = 5;
inline constexpr std::size_t kGroupAnnounceSize = 2;
inline constexpr std::size_t kClapSize = 1;
inline constexpr std::size_t kResponseControlSize = 7;
inline constexpr std::size_t kAudioListenSize = 3;

// --- 257 chat: ChatPayload.h ---

// --- 263 camera control ---
struct CameraControl {
    std::int8_t channel = 0;
    std::int8_t command = 0;
};
Bytes Encode(const CameraControl& payload);
std::optional<CameraControl> DecodeCameraControl(std::span<const std::uint8_t> payload);

// --- 264 SUBCOMMAND_SCREEN ---
struct ScreenShare {
    std::uint8_t bStartRecv = 0;
    std::uint16_t wRemoteChannelID = 0;
    std::uint32_t screenParam = 0;
};
Bytes Encode(const ScreenShare& payload);
std::optional<ScreenShare> DecodeScreenShare(std::span<const std::uint8_t> payload);

// --- 266 SUBCOMMAND_MEDIA (natural alignment: a fill byte at 1) ---
struct MediaShare {
    std::uint8_t code = 0;  // 0 stopped, 1 started, 2 shown
    std::uint16_t userId = 0;
    std::uint32_t shareParam = 0;
    std::uint32_t reserved8 = 0;
    std::uint32_t reserved12 = 0;
};
Bytes Encode(const MediaShare& payload);
std::optional<MediaShare> DecodeMediaShare(std::span<const std::uint8_t> payload);

// --- 267, 268, 306: one code byte ---
Bytes EncodeCode(std::uint8_t code);
std::optional<std::uint8_t> DecodeCode(std::span<const std::uint8_t> payload);

// 267's code as its receiver reads it; the sender (XConfManager::GrantScreenControl) sends the
// same constants.
inline constexpr std::uint8_t kScreenControlGranted = 0;
inline constexpr std::uint8_t kScreenControlWithdrawn = 1;
inline constexpr std::uint8_t ScreenControlGrantCode(bool on) {
    return on ? kScreenControlGranted : kScreenControlWithdrawn;
}

// --- 269 screen-control reply ---
// Its codes: control taken back, control on / off (a chair or the presenter), the question
// accepted / declined, control given up.
inline constexpr std::uint8_t kReplyTakenBack = 0;
inline constexpr std::uint8_t kReplyControlOn = 1;
inline constexpr std::uint8_t kReplyControlOff = 2;
inline constexpr std::uint8_t kReplyAccepted = 3;
inline constexpr std::uint8_t kReplyDeclined = 4;
inline constexpr std::uint8_t kReplyGivenUp = 5;
struct ScreenControlReply {
    std::uint8_t code = 0;
    std::uint32_t screenParam = 0;
};
Bytes Encode(const ScreenControlReply& payload);
std::optional<ScreenControlReply> DecodeScreenControlReply(std::span<const std::uint8_t> payload);

// --- 274 group announcement ---
Bytes EncodeGroupAnnounce(std::uint16_t userId);
std::optional<std::uint16_t> DecodeGroupAnnounce(std::span<const std::uint8_t> payload);

// --- 296 clap and sounds: one ASCII digit, or nothing to stop ---
struct ClapCommand {
    bool stop = false;
    char digit = 0;  // '0'..'9' when not stop
};
Bytes Encode(const ClapCommand& payload);
std::optional<ClapCommand> DecodeClap(std::span<const std::uint8_t> payload);

// --- 307 SUBCOMMAND_RESPONSTCONTROL ---
inline constexpr std::uint8_t kControlEnded = 0;
inline constexpr std::uint8_t kControlAccepted = 1;
inline constexpr std::uint8_t kControlRefused = 2;
inline constexpr std::uint8_t kControlBusy = 3;  // already controls, waits, or shares/views
inline constexpr std::uint8_t kControlUnsupported = 7;
struct ControlResponse {
    std::uint8_t result = 0;  // 0 refused or ended, 1 accepted, 2 refused, 3 busy, 7
    std::uint16_t channelId = 0;
    std::uint32_t screenParam = 0;
};
Bytes Encode(const ControlResponse& payload);
std::optional<ControlResponse> DecodeControlResponse(std::span<const std::uint8_t> payload);

// --- 308 audio-listen flag ---
struct AudioListen {
    std::uint8_t flag = 0;
    std::uint16_t userId = 0;
};
Bytes Encode(const AudioListen& payload);
std::optional<AudioListen> DecodeAudioListen(std::span<const std::uint8_t> payload);

// --- the receiving side's gate ---

enum class Verdict : std::uint8_t {
    Accepted,
    Unknown,      // not a sub-command this program handles
    MissingData,  // a null pointer with a non-zero length
    WrongLength,  // the length is not the one the sub-command carries
    NotAllowed,   // the sender lacks the role the sub-command needs (or is not known)
    Foreign,      // the block speaks for another user (a screen start naming another's channel)
    NotThePeer,   // the command concerns one user of this client's, and the sender is not it
};
const char* VerdictText(Verdict verdict);

// The users this receiving client deals with in a command that only they may send (user ids;
// 0 = nobody). What the server cannot know: the receiver fills it from its own state.
struct ReceiverPeers {
    // Whose shared screen this client views: its stop (264) is that sharer's, or a chair
    // kind's.
    std::uint16_t viewedSharer = 0;
    // In remote control with this client (either side), or asking for it with the prompt
    // still open: the end (306 code 0) and the withdrawal (306 code 2) are its.
    std::uint16_t controlPeer = 0;
    // Asked for control by this client while the answer is pending: the answer (307) is its.
    std::uint16_t controlAsked = 0;
    // Named by the room's media-share record: 266 is its, or a chair kind's.
    std::uint16_t mediaSharer = 0;
    // Asked for its device parameters by this client (259): the block (260) is its.
    std::uint16_t deviceAsked = 0;
};

// Length rule only: whether `length` bytes are acceptable for `sub`.
Verdict CheckLength(std::uint16_t sub, const std::uint8_t* data, std::size_t length);

// The whole check a receiver makes before it acts: length, the sender's role (the server's
// rule, SubCommands.h), then, for a command that concerns one peer, that the sender is that
// peer. `sender` is the record of the sending user (from with its channel bits cleared), null
// when unknown.
Verdict CheckUserCommand(std::uint16_t to, std::uint16_t from, std::uint16_t sub,
                         const std::uint8_t* data, std::size_t length,
                         const ST_USER_ITEM_DEPT* sender, const ReceiverPeers& peers);

// CheckUserCommand, logging a refused block with its reason; true when the block may be acted
// on.
bool AcceptUserCommand(std::uint16_t to, std::uint16_t from, std::uint16_t sub,
                       const std::uint8_t* data, std::size_t length,
                       const ST_USER_ITEM_DEPT* sender, const ReceiverPeers& peers);

// The block as a span; empty for a null pointer.
inline std::span<const std::uint8_t> BlockOf(const std::uint8_t* data, std::size_t length) {
    return data == nullptr ? std::span<const std::uint8_t>() : std::span(data, length);
}

}  // namespace yav::usercmd
