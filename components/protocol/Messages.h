#pragma once
// The messages of the wire protocol. Each struct names its frame type (kType), writes its
// body in field order and reads it back; a reader that meets a value outside the limits
// fails, so DecodeBody refuses the whole message.

#include <array>
#include <string>
#include <vector>

#include "ByteIo.h"
#include "Protocol.h"
#include "ST_CONF_APPINFO.h"
#include "ST_CONF_EXTRA.h"
#include "ST_CONF_ITEM.h"
#include "ST_CONF_LOGIN_INFO.h"
#include "ST_CS_SERVER.h"
#include "ST_ROLLCALL_ITEM.h"
#include "ST_UPGRADE_SERVER.h"
#include "ST_USER_ITEM_DEPT.h"

namespace yav::proto {

// A message without body.
template <MsgType Type>
struct MsgEmpty {
    static constexpr MsgType kType = Type;
    void Write(ByteWriter&) const {}
    void Read(ByteReader&) {}
};
using MsgHeartbeat = MsgEmpty<MsgType::Heartbeat>;
using MsgShutdown = MsgEmpty<MsgType::Shutdown>;
using MsgLogout = MsgEmpty<MsgType::Logout>;
using MsgApplyPresenter = MsgEmpty<MsgType::ApplyPresenter>;
using MsgCancelPresenterApply = MsgEmpty<MsgType::CancelPresenterApply>;
using MsgGiveUpChair = MsgEmpty<MsgType::GiveUpChair>;
using MsgConfDurationAck = MsgEmpty<MsgType::ConfDurationAck>;

// One byte or one u32 of request.
template <MsgType Type>
struct MsgByte {
    static constexpr MsgType kType = Type;
    uint8_t value = 0;
    void Write(ByteWriter& out) const { out.U8(value); }
    void Read(ByteReader& in) { value = in.U8(); }
};
using MsgApplySpeak = MsgByte<MsgType::ApplySpeak>;
using MsgSetConfSettingByte = MsgByte<MsgType::SetConfSettingByte>;

template <MsgType Type>
struct MsgU32 {
    static constexpr MsgType kType = Type;
    uint32_t value = 0;
    void Write(ByteWriter& out) const { out.U32(value); }
    void Read(ByteReader& in) { value = in.U32(); }
};
using MsgSetConfSetting = MsgU32<MsgType::SetConfSetting>;
using MsgSetServerRecord = MsgU32<MsgType::SetServerRecord>;

// A user (or media) id and one byte.
template <MsgType Type>
struct MsgUserByte {
    static constexpr MsgType kType = Type;
    uint16_t id = 0;
    uint8_t value = 0;
    void Write(ByteWriter& out) const {
        out.U16(id);
        out.U8(value);
    }
    void Read(ByteReader& in) {
        id = in.U16();
        value = in.U8();
    }
};
using MsgSetPresenter = MsgUserByte<MsgType::SetPresenter>;
using MsgAwardSpeak = MsgUserByte<MsgType::AwardSpeak>;
using MsgSetTempAdmin = MsgUserByte<MsgType::SetTempAdmin>;
using MsgBroadcastVideo = MsgUserByte<MsgType::BroadcastVideo>;

struct MsgHello {
    static constexpr MsgType kType = MsgType::Hello;
    uint32_t magic = kMagic;
    uint16_t version = kProtocolVersion;
    Service service = Service::ConferenceServer;
    void Write(ByteWriter& out) const;
    void Read(ByteReader& in);
};

// Heartbeat timing a client accepts in a HelloAck: a heartbeat of 10 ms to 60 s, a time-out
// from the heartbeat up to 120 s. A server must announce timing within these limits.
bool HeartbeatTimingValid(int64_t heartbeatMs, int64_t timeoutMs);

struct MsgHelloAck {
    static constexpr MsgType kType = MsgType::HelloAck;
    uint16_t version = kProtocolVersion;
    uint32_t heartbeatMs = 5000;  // send something at least this often
    uint32_t timeoutMs = 15000;   // a peer silent this long is dead
    void Write(ByteWriter& out) const;
    void Read(ByteReader& in);
};

struct MsgRefused {
    static constexpr MsgType kType = MsgType::Refused;
    int32_t code = 0;
    void Write(ByteWriter& out) const { out.I32(code); }
    void Read(ByteReader& in) { code = in.I32(); }
};

// Data server.
struct MsgConfListRequest {
    static constexpr MsgType kType = MsgType::ConfListRequest;
    uint32_t confId = 0;
    std::string name;            // GBK
    std::string passwordDigest;  // MD5 hex
    uint8_t type = 0;            // 0 account, 1 number, 2 number + password, 5 guest
    void Write(ByteWriter& out) const;
    void Read(ByteReader& in);
};

struct MsgConfListResponse {
    static constexpr MsgType kType = MsgType::ConfListResponse;
    int32_t result = 0;
    uint16_t extra = 0;
    uint8_t brief = 0;  // 1: entries travel in the 75-byte short form
    std::vector<ST_CONF_ITEM> items;
    void Write(ByteWriter& out) const;
    void Read(ByteReader& in);
};

struct MsgCsServersRequest {
    static constexpr MsgType kType = MsgType::CsServersRequest;
    uint32_t confId = 0;
    std::string name;
    int32_t kind = 0;
    void Write(ByteWriter& out) const;
    void Read(ByteReader& in);
};

struct MsgCsServersResponse {
    static constexpr MsgType kType = MsgType::CsServersResponse;
    int32_t result = 0;
    std::vector<ST_CS_SERVER> servers;
    void Write(ByteWriter& out) const;
    void Read(ByteReader& in);
};

struct MsgMediaServerRequest {
    static constexpr MsgType kType = MsgType::MediaServerRequest;
    uint32_t confId = 0;
    void Write(ByteWriter& out) const { out.U32(confId); }
    void Read(ByteReader& in) { confId = in.U32(); }
};

struct MsgMediaServerResponse {
    static constexpr MsgType kType = MsgType::MediaServerResponse;
    int32_t result = 0;
    std::string address;  // dotted IPv4, at most 15 characters
    uint16_t port = 0;
    void Write(ByteWriter& out) const;
    void Read(ByteReader& in);
};

// Conference server requests.
struct MsgLoginRequest {
    static constexpr MsgType kType = MsgType::LoginRequest;
    uint32_t confId = 0;
    std::string name;
    std::string passwordDigest;
    uint8_t mode = 0;  // 0 account, 1 guest, 2 conference password
    uint16_t clientVersion = 0;
    void Write(ByteWriter& out) const;
    void Read(ByteReader& in);
};

// The answer to a login; on success the whole snapshot of the room.
inline constexpr size_t kMediaTicketBytes = 16;

struct MsgLoginResponse {
    static constexpr MsgType kType = MsgType::LoginResponse;
    int32_t result = 0;
    uint16_t requiredVersion = 0;
    ST_CONF_LOGIN_INFO loginInfo;
    ST_CONF_APPINFO appInfo;
    ST_CONF_EXTRA extra;
    // Random per login; the media relay takes a session only with it (after extra, before the
    // participant list).
    std::array<uint8_t, kMediaTicketBytes> mediaTicket{};
    std::vector<ST_USER_ITEM_DEPT> users;  // me included
    void Write(ByteWriter& out) const;
    void Read(ByteReader& in);
};

struct MsgUpgradeQuery {
    static constexpr MsgType kType = MsgType::UpgradeQuery;
    KroGuid clientGuid{};
    std::string clientVersion;
    void Write(ByteWriter& out) const;
    void Read(ByteReader& in);
};

struct MsgUpgradeInfo {
    static constexpr MsgType kType = MsgType::UpgradeInfo;
    int32_t result = 0;
    std::string serverVersion;
    std::string zipMd5;
    std::string downloadUrl;
    std::vector<ST_UPGRADE_SERVER> servers;
    void Write(ByteWriter& out) const;
    void Read(ByteReader& in);
};

struct MsgSetConfOptions {
    static constexpr MsgType kType = MsgType::SetConfOptions;
    std::array<uint8_t, 6> values{};  // audio device, channel mask, count, byte 85, mics, reserved
    void Write(ByteWriter& out) const { out.Raw(values.data(), values.size()); }
    void Read(ByteReader& in) { in.Raw(values.data(), values.size()); }
};

struct MsgApplyChair {
    static constexpr MsgType kType = MsgType::ApplyChair;
    std::string password;  // GBK
    void Write(ByteWriter& out) const { out.Text(password); }
    void Read(ByteReader& in) { password = in.Text(kMaxDigestBytes); }
};

struct MsgModifyPassword {
    static constexpr MsgType kType = MsgType::ModifyPassword;
    std::string name;
    std::string oldDigest;
    std::string newDigest;
    std::string confirmDigest;
    void Write(ByteWriter& out) const;
    void Read(ByteReader& in);
};

struct MsgKickUser {
    static constexpr MsgType kType = MsgType::KickUser;
    uint16_t userId = 0;
    uint16_t reason = 0;
    std::string text;  // GBK, shown to the removed user
    void Write(ByteWriter& out) const;
    void Read(ByteReader& in);
};

struct MsgRequestVideo {
    static constexpr MsgType kType = MsgType::RequestVideo;
    uint16_t mediaId = 0;
    void Write(ByteWriter& out) const { out.U16(mediaId); }
    void Read(ByteReader& in) { mediaId = in.U16(); }
};

struct MsgTransmit {
    static constexpr MsgType kType = MsgType::Transmit;
    uint16_t to = 0;
    uint16_t subCommand = 0;
    Bytes payload;  // at most 65535 bytes
    void Write(ByteWriter& out) const;
    void Read(ByteReader& in);
};

struct MsgSetUserAttribute {
    static constexpr MsgType kType = MsgType::SetUserAttribute;
    uint16_t offset = 0;
    uint8_t notify = 1;
    Bytes data;  // offset + size within the room attributes
    void Write(ByteWriter& out) const;
    void Read(ByteReader& in);
};

struct MsgSetUserData {
    static constexpr MsgType kType = MsgType::SetUserData;
    uint16_t userId = 0;
    uint16_t offset = 0;
    Bytes data;  // offset + size within the 32 bytes of private data
    void Write(ByteWriter& out) const;
    void Read(ByteReader& in);
};

struct MsgRollCallRequest {
    static constexpr MsgType kType = MsgType::RollCallRequest;
    std::string name;      // UTF-8
    std::string password;  // UTF-8
    uint32_t confId = 0;
    void Write(ByteWriter& out) const;
    void Read(ByteReader& in);
};

struct MsgRollCallResponse {
    static constexpr MsgType kType = MsgType::RollCallResponse;
    int32_t result = 0;
    std::vector<ST_ROLLCALL_ITEM> rows;
    void Write(ByteWriter& out) const;
    void Read(ByteReader& in);
};

// Conference server events.
template <MsgType Type>
struct MsgUsers {
    static constexpr MsgType kType = Type;
    std::vector<ST_USER_ITEM_DEPT> users;
    void Write(ByteWriter& out) const;
    void Read(ByteReader& in);
};
using MsgUsersJoined = MsgUsers<MsgType::UsersJoined>;
using MsgUsersChanged = MsgUsers<MsgType::UsersChanged>;

struct LeftUser {
    uint16_t userId = 0;
    uint32_t departmentId = 0;
    uint8_t kind = 0;
};

struct MsgUsersLeft {
    static constexpr MsgType kType = MsgType::UsersLeft;
    std::vector<LeftUser> users;
    void Write(ByteWriter& out) const;
    void Read(ByteReader& in);
};

struct MsgLeadingStatus {
    static constexpr MsgType kType = MsgType::LeadingStatus;
    uint16_t userId = 0;
    uint8_t newState = 0;
    uint8_t oldState = 0;
    void Write(ByteWriter& out) const;
    void Read(ByteReader& in);
};

struct MsgUserKind {
    static constexpr MsgType kType = MsgType::UserKind;
    uint16_t userId = 0;
    uint32_t departmentId = 0;
    uint8_t kind = 0;
    void Write(ByteWriter& out) const;
    void Read(ByteReader& in);
};

struct MsgAudioStatus {
    static constexpr MsgType kType = MsgType::AudioStatus;
    uint16_t userId = 0;
    uint8_t status = 0;
    uint8_t previous = 0;
    uint32_t value = 0;
    void Write(ByteWriter& out) const;
    void Read(ByteReader& in);
};

struct MsgBroadcastState {
    static constexpr MsgType kType = MsgType::BroadcastState;
    uint16_t mediaId = 0;
    uint16_t result = 0;
    uint8_t on = 0;
    uint32_t value = 0;
    void Write(ByteWriter& out) const;
    void Read(ByteReader& in);
};

struct MsgVideoOpenResult {
    static constexpr MsgType kType = MsgType::VideoOpenResult;
    uint16_t mediaId = 0;
    uint16_t result = 0;
    uint32_t value = 0;
    void Write(ByteWriter& out) const;
    void Read(ByteReader& in);
};

struct MsgRoomAttr {
    static constexpr MsgType kType = MsgType::RoomAttr;
    uint16_t offset = 0;
    uint8_t notify = 1;
    Bytes data;
    void Write(ByteWriter& out) const;
    void Read(ByteReader& in);
};

struct MsgPrivateData {
    static constexpr MsgType kType = MsgType::PrivateData;
    uint16_t userId = 0;
    uint16_t offset = 0;
    Bytes data;
    void Write(ByteWriter& out) const;
    void Read(ByteReader& in);
};

struct MsgRelay {
    static constexpr MsgType kType = MsgType::Relay;
    uint16_t to = 0;
    uint16_t from = 0;
    uint16_t subCommand = 0;
    Bytes payload;
    void Write(ByteWriter& out) const;
    void Read(ByteReader& in);
};

// Value notices; code is the client's queue type they become.
enum class NoticeCode : uint16_t {
    ChairRefused = 0x30B,
    ForceExit = 0x310,
    PasswordAnswer = 0x383,
    RecordRefused = 0x387,
    ConfLock = 0x50C,
    ConfMode = 0x558,
    MeetingTime = 0x566,
};

struct MsgNotice {
    static constexpr MsgType kType = MsgType::Notice;
    NoticeCode code = NoticeCode::ChairRefused;
    uint32_t value = 0;
    void Write(ByteWriter& out) const;
    void Read(ByteReader& in);
};

struct MsgServerNotice {
    static constexpr MsgType kType = MsgType::ServerNotice;
    uint8_t kind = 0;
    uint32_t a = 0;
    uint32_t b = 0;
    uint32_t c = 0;
    uint32_t d = 0;
    void Write(ByteWriter& out) const;
    void Read(ByteReader& in);
};

struct MsgConfExtra {
    static constexpr MsgType kType = MsgType::ConfExtra;
    ST_CONF_EXTRA extra;
    void Write(ByteWriter& out) const { extra.Write(out); }
    void Read(ByteReader& in) { extra.Read(in); }
};

}  // namespace yav::proto
