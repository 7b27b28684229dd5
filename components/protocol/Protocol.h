#pragma once
// Constants and message numbers of the wire protocol between the components and yavserver
// (described for people in docs/protocol.md).

#include <cstddef>
#include <cstdint>

#include "SubCommands.h"

namespace yav::proto {

// "YAV1" as it appears on the wire.
inline constexpr uint32_t kMagic = 0x31564159u;
inline constexpr uint16_t kProtocolVersion = 1;

// A frame is u32 length (of what follows) + u16 message type + body.
inline constexpr size_t kFrameLengthBytes = 4;
inline constexpr size_t kFrameTypeBytes = 2;
// Largest frame (length field value) either side accepts: a full login snapshot of a large
// conference fits, a relay block of 65535 bytes fits.
inline constexpr uint32_t kMaxFrameBytes = 1u << 20;

// Text limits on the wire.
inline constexpr size_t kMaxNameBytes = 63;    // GBK names (64-byte fields)
inline constexpr size_t kMaxDigestBytes = 64;  // MD5 hex texts and passwords
inline constexpr size_t kMaxTextBytes = 255;   // kick reasons, version texts
inline constexpr size_t kMaxUrlBytes = 1024;
inline constexpr size_t kMaxListEntries = 4096;  // users, conferences, roll rows, servers

// The services a connection says it wants in its hello.
enum class Service : uint8_t { DataServer = 1, ConferenceServer = 2 };

enum class MsgType : uint16_t {
    // Both servers.
    Hello = 0x0001,      // client -> server, first frame
    HelloAck = 0x0002,   // server -> client: version and heartbeat timing
    Heartbeat = 0x0003,  // both ways, no body
    Refused = 0x0004,    // server -> client before closing: i32 code
    Shutdown = 0x0005,   // server -> client: the server is stopping

    // Data server.
    ConfListRequest = 0x0101,
    ConfListResponse = 0x0102,
    CsServersRequest = 0x0103,
    CsServersResponse = 0x0104,
    MediaServerRequest = 0x0105,
    MediaServerResponse = 0x0106,

    // Conference server, client -> server.
    LoginRequest = 0x0201,
    LoginResponse = 0x0202,  // server -> client
    UpgradeQuery = 0x0203,
    UpgradeInfo = 0x0204,  // server -> client
    Logout = 0x0205,
    SetConfOptions = 0x0211,
    ApplyPresenter = 0x0212,
    CancelPresenterApply = 0x0213,
    SetPresenter = 0x0214,
    ApplySpeak = 0x0215,
    AwardSpeak = 0x0216,
    ApplyChair = 0x0217,
    GiveUpChair = 0x0218,
    ModifyPassword = 0x0219,
    SetConfSetting = 0x021A,
    KickUser = 0x021B,
    RequestVideo = 0x021C,
    BroadcastVideo = 0x021D,
    SetConfSettingByte = 0x021E,
    Transmit = 0x021F,
    SetUserAttribute = 0x0220,
    SetUserData = 0x0221,
    RollCallRequest = 0x0222,
    RollCallResponse = 0x0223,  // server -> client
    SetTempAdmin = 0x0224,
    SetServerRecord = 0x0225,
    ConfDurationAck = 0x0226,

    // Conference server, server -> client events.
    UsersJoined = 0x0301,
    UsersChanged = 0x0302,
    UsersLeft = 0x0303,
    LeadingStatus = 0x0304,
    UserKind = 0x0305,
    AudioStatus = 0x0306,
    BroadcastState = 0x0307,
    VideoOpenResult = 0x0308,
    RoomAttr = 0x0309,
    PrivateData = 0x030A,
    Relay = 0x030B,
    Notice = 0x030C,
    ServerNotice = 0x030D,
    ConfExtra = 0x030E,
};

// Refusal codes shared by both servers (the client's error table shows a text for each).
enum : int32_t {
    ERR_VERSION = 0x1000,        // client version refused (extra: required version)
    ERR_ALREADY_IN = 0x1002,     // reserved
    ERR_CONF_PASSWORD = 0x100A,  // wrong conference password at the conference server
    ERR_UNKNOWN_ACCOUNT = 0x8001,
    ERR_NOT_MEMBER = 0x8002,
    ERR_UNKNOWN_CONFERENCE = 0x8003,
    ERR_CONFERENCE_FULL = 0x8005,
    ERR_WRONG_PASSWORD = 0x8007,  // account password; conference password for type 2
    ERR_CONFERENCE_LOCKED = 0x8009,
    ERR_GUESTS_REFUSED = 0x800B,
    ERR_QUOTA_USED = 0x8013,
    ERR_PROTOCOL = 0x8017,  // protocol version or malformed request
};

// Answers to a password change (carried by Notice 0x383).
enum : uint32_t {
    PWD_CHANGED = 0,
    PWD_OLD_WRONG = 0x1022,
    PWD_CONFIRM_DIFFERS = 0x1024,
    PWD_NO_ACCOUNT = 0x1026,
};

}  // namespace yav::proto
