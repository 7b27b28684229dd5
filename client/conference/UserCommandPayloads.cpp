#include "UserCommandPayloads.h"

#include <algorithm>
#include <iterator>

#include "ST_USER_ITEM_DEPT.h"
#include "platform/core/Log.h"

namespace yav::usercmd {

using proto::ByteReader;
using proto::ByteWriter;

namespace {

constexpr std::uint16_t kChannelBits = 0xFFF8;

// Reads a fixed-size payload: nothing unless the block has exactly `size` bytes.
template <class Payload, class ReadFields>
std::optional<Payload> ReadExact(std::span<const std::uint8_t> payload, std::size_t size,
                                 ReadFields read) {
    if (payload.size() != size) {
        return std::nullopt;
    }
    ByteReader in(payload);
    Payload out;
    read(in, out);
    if (!in.Finished()) {
        return std::nullopt;
    }
    return out;
}

enum class LengthRule : std::uint8_t {
    Exact,     // exactly `size` bytes
    Over,      // more than `size` bytes
    Any,       // the receiver reads nothing; any length
    UpToSize,  // 0 .. size bytes
};

// Of the users this client deals with, the one a command must come from (ReceiverPeers).
enum class PeerRule : std::uint8_t {
    Anyone,
    ViewedSharerOrChair,
    ControlPeer,
    ControlAsked,
    MediaSharerOrChair,
    DeviceAsked,
};

// The first-byte values (codes) a peer rule holds for: bit n for value n.
constexpr std::uint32_t kEveryCode = 0xFFFFFFFFu;
constexpr std::uint32_t CodeBit(unsigned code) {
    return 1u << code;
}

struct SubCommandRule {
    std::uint16_t sub;
    LengthRule rule;
    std::size_t size;
    PeerRule peer = PeerRule::Anyone;
    std::uint32_t codes = kEveryCode;
};

// Length and peer of every sub-command this program handles. The roles (chair kinds, the
// presenter, a screen start naming the sender's own channel) are the server's rules too and
// stand in SubCommands.h.
constexpr SubCommandRule kRules[] = {
    {proto::kSubCommandChat, LengthRule::Over, kChatHeaderSize},
    {proto::kSubCommandSyncWndLayout, LengthRule::Exact, kLayoutSize},
    {proto::kSubCommandDeviceParamRequest, LengthRule::Any, 0},
    // Device parameters only from the user this client asked for them.
    {proto::kSubCommandDeviceParamReply, LengthRule::Exact, kDeviceParamBlockSize,
     PeerRule::DeviceAsked},
    {proto::kSubCommandDeviceParamChange, LengthRule::Exact, kRemoteParamSize},
    {proto::kSubCommandCameraControl, LengthRule::Exact, kCameraControlSize},
    // A shared screen is stopped (start byte 0) by its sharer or a chair kind.
    {proto::kSubCommandScreen, LengthRule::Exact, kScreenSize, PeerRule::ViewedSharerOrChair,
     CodeBit(0)},
    // Shared media is the media sharer's, or a chair kind's.
    {proto::kSubCommandMedia, LengthRule::Exact, kMediaSize, PeerRule::MediaSharerOrChair},
    {proto::kSubCommandScreenControlGrant, LengthRule::Exact, kCodeSize},
    {proto::kSubCommandScreenControlQuestion, LengthRule::Exact, kCodeSize},
    {proto::kSubCommandScreenControlReply, LengthRule::Exact, kScreenControlReplySize},
    {proto::kSubCommandGroupAnnounce, LengthRule::Exact, kGroupAnnounceSize},
    {proto::kSubCommandGroupJoin, LengthRule::Any, 0},
    {proto::kSubCommandGroupLeave, LengthRule::Any, 0},
    {proto::kSubCommandConfDissolved, LengthRule::Any, 0},
    {proto::kSubCommandClap, LengthRule::UpToSize, kClapSize},
    // Control ended (0) or the request withdrawn (2): only by the peer of that control.
    {proto::kSubCommandRequestControl, LengthRule::Exact, kCodeSize, PeerRule::ControlPeer,
     CodeBit(0) | CodeBit(2)},
    // An answer only to this client's pending request, from the user it asked.
    {proto::kSubCommandResponseControl, LengthRule::Exact, kResponseControlSize,
     PeerRule::ControlAsked},
    {proto::kSubCommandAudioListen, LengthRule::Exact, kAudioListenSize},
};

const SubCommandRule* RuleOf(std::uint16_t sub) {
    const auto* found = std::find_if(std::begin(kRules), std::end(kRules),
                                     [sub](const SubCommandRule& rule) { return rule.sub == sub; });
    return found == std::end(kRules) ? nullptr : found;
}

bool IsPeer(std::uint16_t peer, std::uint16_t senderUserId) {
    return peer != 0 && (peer & kChannelBits) == senderUserId;
}

// `chair`: the sender's own record shows a chair kind.
bool PeerRuleHolds(const SubCommandRule& rule, std::span<const std::uint8_t> block,
                   std::uint16_t senderUserId, bool chair, const ReceiverPeers& peers) {
    if (rule.codes != kEveryCode &&
        (block.empty() || block[0] >= 32 || (rule.codes & CodeBit(block[0])) == 0)) {
        return true;
    }
    switch (rule.peer) {
        case PeerRule::Anyone:
            return true;
        case PeerRule::ViewedSharerOrChair:
            return chair || IsPeer(peers.viewedSharer, senderUserId);
        case PeerRule::ControlPeer:
            return IsPeer(peers.controlPeer, senderUserId);
        case PeerRule::ControlAsked:
            return IsPeer(peers.controlAsked, senderUserId);
        case PeerRule::MediaSharerOrChair:
            return chair || IsPeer(peers.mediaSharer, senderUserId);
        case PeerRule::DeviceAsked:
            return IsPeer(peers.deviceAsked, senderUserId);
    }
    return false;
}

bool LengthFits(const SubCommandRule& rule, std::size_t length) {
    switch (rule.rule) {
        case LengthRule::Exact:
            return length == rule.size;
        case LengthRule::Over:
            return length > rule.size;
        case LengthRule::Any:
            return true;
        case LengthRule::UpToSize:
            return length <= rule.size;
    }
    return false;
}

}  // namespace

// --- 263 ---

Bytes Encode(const CameraControl& payload) {
    ByteWriter out(kCameraControlSize);
    out.U8(static_cast<std::uint8_t>(payload.channel));
    out.U8(static_cast<std::uint8_t>(payload.command));
    return out.Take();
}

std::optional<CameraControl> DecodeCameraControl(std::span<const std::uint8_t> payload) {
    return ReadExact<CameraControl>(payload, kCameraControlSize,
                                    [](ByteReader& in, CameraControl& out) {
                                        out.channel = static_cast<std::int8_t>(in.U8());
                                        out.command = static_cast<std::int8_t>(in.U8());
                                    });
}

// --- 264 ---

Bytes Encode(const ScreenShare& payload) {
    ByteWriter out(kScreenSize);
    out.U8(payload.bStartRecv);
    out.U16(payload.wRemoteChannelID);
    out.U32(payload.screenParam);
    return out.Take();
}

std::optional<ScreenShare> DecodeScreenShare(std::span<const std::uint8_t> payload) {
    return ReadExact<ScreenShare>(payload, kScreenSize, [](ByteReader& in, ScreenShare& out) {
        out.bStartRecv = in.U8();
        out.wRemoteChannelID = in.U16();
        out.screenParam = in.U32();
    });
}

// --- 266 ---

Bytes Encode(const MediaShare& payload) {
    ByteWriter out(kMediaSize);
    out.U8(payload.code);
    out.U8(0);  // fill byte of the aligned layout
    out.U16(payload.userId);
    out.U32(payload.shareParam);
    out.U32(payload.reserved8);
    out.U32(payload.reserved12);
    return out.Take();
}

std::optional<MediaShare> DecodeMediaShare(std::span<const std::uint8_t> payload) {
    return ReadExact<MediaShare>(payload, kMediaSize, [](ByteReader& in, MediaShare& out) {
        out.code = in.U8();
        in.Skip(1);
        out.userId = in.U16();
        out.shareParam = in.U32();
        out.reserved8 = in.U32();
        out.reserved12 = in.U32();
    });
}

// --- 267, 268, 306 ---

Bytes EncodeCode(std::uint8_t code) {
    return Bytes{code};
}

std::optional<std::uint8_t> DecodeCode(std::span<const std::uint8_t> payload) {
    if (payload.size() != kCodeSize) {
        return std::nullopt;
    }
    return payload[0];
}

// --- 269 ---

Bytes Encode(const ScreenControlReply& payload) {
    ByteWriter out(kScreenControlReplySize);
    out.U8(payload.code);
    out.U32(payload.screenParam);
    return out.Take();
}

std::optional<ScreenControlReply> DecodeScreenControlReply(std::span<const std::uint8_t> payload) {
    return ReadExact<ScreenControlReply>(payload, kScreenControlReplySize,
                                         [](ByteReader& in, ScreenControlReply& out) {
                                             out.code = in.U8();
                                             out.screenParam = in.U32();
                                         });
}

// --- 274 ---

Bytes EncodeGroupAnnounce(std::uint16_t userId) {
    ByteWriter out(kGroupAnnounceSize);
    out.U16(userId);
    return out.Take();
}

std::optional<std::uint16_t> DecodeGroupAnnounce(std::span<const std::uint8_t> payload) {
    if (payload.size() != kGroupAnnounceSize) {
        return std::nullopt;
    }
    return proto::LoadU16(payload, 0);
}

// --- 296 ---

Bytes Encode(const ClapCommand& payload) {
    if (payload.stop) {
        return {};
    }
    return Bytes{static_cast<std::uint8_t>(payload.digit)};
}

std::optional<ClapCommand> DecodeClap(std::span<const std::uint8_t> payload) {
    if (payload.empty()) {
        return ClapCommand{true, 0};
    }
    if (payload.size() != kClapSize || payload[0] < '0' || payload[0] > '9') {
        return std::nullopt;
    }
    return ClapCommand{false, static_cast<char>(payload[0])};
}

// --- 307 ---

Bytes Encode(const ControlResponse& payload) {
    ByteWriter out(kResponseControlSize);
    out.U8(payload.result);
    out.U16(payload.channelId);
    out.U32(payload.screenParam);
    return out.Take();
}

std::optional<ControlResponse> DecodeControlResponse(std::span<const std::uint8_t> payload) {
    return ReadExact<ControlResponse>(payload, kResponseControlSize,
                                      [](ByteReader& in, ControlResponse& out) {
                                          out.result = in.U8();
                                          out.channelId = in.U16();
                                          out.screenParam = in.U32();
                                      });
}

// --- 308 ---

Bytes Encode(const AudioListen& payload) {
    ByteWriter out(kAudioListenSize);
    out.U8(payload.flag);
    out.U16(payload.userId);
    return out.Take();
}

std::optional<AudioListen> DecodeAudioListen(std::span<const std::uint8_t> payload) {
    return ReadExact<AudioListen>(payload, kAudioListenSize, [](ByteReader& in, AudioListen& out) {
        out.flag = in.U8();
        out.userId = in.U16();
    });
}

// --- the gate ---

const char* VerdictText(Verdict verdict) {
    switch (verdict) {
        case Verdict::Accepted:
            return "accepted";
        case Verdict::Unknown:
            return "unknown sub-command";
        case Verdict::MissingData:
            return "length without data";
        case Verdict::WrongLength:
            return "wrong length";
        case Verdict::NotAllowed:
            return "sender without the role";
        case Verdict::Foreign:
            return "names another user's channel";
        case Verdict::NotThePeer:
            return "not from the user it concerns";
    }
    return "?";
}

Verdict CheckLength(std::uint16_t sub, const std::uint8_t* data, std::size_t length) {
    const SubCommandRule* rule = RuleOf(sub);
    if (rule == nullptr) {
        return Verdict::Unknown;
    }
    if (data == nullptr && length != 0) {
        return Verdict::MissingData;
    }
    return LengthFits(*rule, length) ? Verdict::Accepted : Verdict::WrongLength;
}

Verdict CheckUserCommand(std::uint16_t to, std::uint16_t from, std::uint16_t sub,
                         const std::uint8_t* data, std::size_t length,
                         const ST_USER_ITEM_DEPT* sender, const ReceiverPeers& peers) {
    const Verdict byLength = CheckLength(sub, data, length);
    if (byLength != Verdict::Accepted) {
        return byLength;
    }
    const std::span<const std::uint8_t> block = BlockOf(data, length);
    const auto senderUserId = static_cast<std::uint16_t>(from & kChannelBits);
    const proto::SenderRole role = proto::RequiredSenderRole(sub, block, senderUserId, to);
    if (role == proto::SenderRole::Nobody) {
        return Verdict::Foreign;
    }
    // The record must be the sender's own: a record of someone else proves nothing.
    const bool ownRecord = sender != nullptr && (sender->userId & kChannelBits) == senderUserId;
    if (role != proto::SenderRole::Anyone && (!ownRecord || !proto::HasSenderRole(*sender, role))) {
        return Verdict::NotAllowed;
    }
    const bool chair = ownRecord && proto::IsChairKind(*sender);
    if (!PeerRuleHolds(*RuleOf(sub), block, senderUserId, chair, peers)) {
        return Verdict::NotThePeer;
    }
    return Verdict::Accepted;
}

bool AcceptUserCommand(std::uint16_t to, std::uint16_t from, std::uint16_t sub,
                       const std::uint8_t* data, std::size_t length,
                       const ST_USER_ITEM_DEPT* sender, const ReceiverPeers& peers) {
    const Verdict verdict = CheckUserCommand(to, from, sub, data, length, sender, peers);
    if (verdict == Verdict::Accepted) {
        return true;
    }
    YLOG_WARN("user-to-user block dropped: sub=%u from=%u to=%u len=%zu (%s)",
              static_cast<unsigned>(sub), static_cast<unsigned>(from), static_cast<unsigned>(to),
              length, VerdictText(verdict));
    return false;
}

}  // namespace yav::usercmd
