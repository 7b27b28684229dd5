#include "Messages.h"

namespace yav::proto {
namespace {

// A list of records: u16 count, then each record in its fixed size.
template <class Record>
void WriteRecords(ByteWriter& out, const std::vector<Record>& records) {
    const size_t count = std::min(records.size(), kMaxListEntries);
    out.U16(static_cast<uint16_t>(count));
    for (size_t i = 0; i < count; ++i) {
        records[i].Write(out);
    }
}

template <class Record>
std::vector<Record> ReadRecords(ByteReader& in) {
    const uint16_t count = in.U16();
    // The count must fit in what is left before any record is allocated.
    if (count > kMaxListEntries || in.Remaining() < count * Record::kSize) {
        in.Fail();
        return {};
    }
    std::vector<Record> records(count);
    for (auto& record : records) {
        record.Read(in);
    }
    return records;
}

}  // namespace

void MsgHello::Write(ByteWriter& out) const {
    out.U32(magic);
    out.U16(version);
    out.U8(static_cast<uint8_t>(service));
}

void MsgHello::Read(ByteReader& in) {
    magic = in.U32();
    version = in.U16();
    const uint8_t wanted = in.U8();
    if (magic != kMagic || (wanted != static_cast<uint8_t>(Service::DataServer) &&
                            wanted != static_cast<uint8_t>(Service::ConferenceServer))) {
        in.Fail();
    }
    service = static_cast<Service>(wanted);
}

void MsgHelloAck::Write(ByteWriter& out) const {
    out.U16(version);
    out.U32(heartbeatMs);
    out.U32(timeoutMs);
}

bool HeartbeatTimingValid(int64_t heartbeatMs, int64_t timeoutMs) {
    return heartbeatMs >= 10 && heartbeatMs <= 60000 && timeoutMs >= heartbeatMs &&
           timeoutMs <= 120000;
}

void MsgHelloAck::Read(ByteReader& in) {
    version = in.U16();
    heartbeatMs = in.U32();
    timeoutMs = in.U32();
    if (!HeartbeatTimingValid(heartbeatMs, timeoutMs)) {
        in.Fail();
    }
}

void MsgConfListRequest::Write(ByteWriter& out) const {
    out.U32(confId);
    out.Text(name);
    out.Text(passwordDigest);
    out.U8(type);
}

void MsgConfListRequest::Read(ByteReader& in) {
    confId = in.U32();
    name = in.Text(kMaxNameBytes);
    passwordDigest = in.Text(kMaxDigestBytes);
    type = in.U8();
}

void MsgConfListResponse::Write(ByteWriter& out) const {
    out.I32(result);
    out.U16(extra);
    out.U8(brief);
    if (brief) {
        std::vector<ST_CONF_ITEM_SHORT> shortItems;
        shortItems.reserve(items.size());
        for (const auto& item : items) {
            shortItems.push_back(item.ToShort());
        }
        WriteRecords(out, shortItems);
    } else {
        WriteRecords(out, items);
    }
}

void MsgConfListResponse::Read(ByteReader& in) {
    result = in.I32();
    extra = in.U16();
    brief = in.U8();
    if (brief > 1) {
        in.Fail();
        return;
    }
    if (brief) {
        items.clear();
        for (const auto& shortItem : ReadRecords<ST_CONF_ITEM_SHORT>(in)) {
            items.push_back(ST_CONF_ITEM::FromShort(shortItem));
        }
    } else {
        items = ReadRecords<ST_CONF_ITEM>(in);
    }
}

void MsgCsServersRequest::Write(ByteWriter& out) const {
    out.U32(confId);
    out.Text(name);
    out.I32(kind);
}

void MsgCsServersRequest::Read(ByteReader& in) {
    confId = in.U32();
    name = in.Text(kMaxNameBytes);
    kind = in.I32();
}

void MsgCsServersResponse::Write(ByteWriter& out) const {
    out.I32(result);
    WriteRecords(out, servers);
}

void MsgCsServersResponse::Read(ByteReader& in) {
    result = in.I32();
    servers = ReadRecords<ST_CS_SERVER>(in);
}

void MsgMediaServerResponse::Write(ByteWriter& out) const {
    out.I32(result);
    out.Text(address);
    out.U16(port);
}

void MsgMediaServerResponse::Read(ByteReader& in) {
    result = in.I32();
    address = in.Text(15);
    port = in.U16();
}

void MsgLoginRequest::Write(ByteWriter& out) const {
    out.U32(confId);
    out.Text(name);
    out.Text(passwordDigest);
    out.U8(mode);
    out.U16(clientVersion);
}

void MsgLoginRequest::Read(ByteReader& in) {
    confId = in.U32();
    name = in.Text(kMaxNameBytes);
    passwordDigest = in.Text(kMaxDigestBytes);
    mode = in.U8();
    clientVersion = in.U16();
}

void MsgLoginResponse::Write(ByteWriter& out) const {
    out.I32(result);
    out.U16(requiredVersion);
    if (result != 0) {
        return;
    }
    loginInfo.Write(out);
    appInfo.Write(out);
    extra.Write(out);
    out.Raw(mediaTicket.data(), mediaTicket.size());
    WriteRecords(out, users);
}

void MsgLoginResponse::Read(ByteReader& in) {
    result = in.I32();
    requiredVersion = in.U16();
    if (result != 0) {
        return;
    }
    loginInfo.Read(in);
    appInfo.Read(in);
    extra.Read(in);
    in.Raw(mediaTicket.data(), mediaTicket.size());
    users = ReadRecords<ST_USER_ITEM_DEPT>(in);
    // A successful login always lists the newcomer.
    if (users.empty()) {
        in.Fail();
    }
}

void MsgUpgradeQuery::Write(ByteWriter& out) const {
    out.Raw(clientGuid.data(), clientGuid.size());
    out.Text(clientVersion);
}

void MsgUpgradeQuery::Read(ByteReader& in) {
    in.Raw(clientGuid.data(), clientGuid.size());
    clientVersion = in.Text(kMaxTextBytes);
}

void MsgUpgradeInfo::Write(ByteWriter& out) const {
    out.I32(result);
    out.Text(serverVersion);
    out.Text(zipMd5);
    out.Text(downloadUrl);
    WriteRecords(out, servers);
}

void MsgUpgradeInfo::Read(ByteReader& in) {
    result = in.I32();
    serverVersion = in.Text(kMaxTextBytes);
    zipMd5 = in.Text(kMaxDigestBytes);
    downloadUrl = in.Text(kMaxUrlBytes);
    servers = ReadRecords<ST_UPGRADE_SERVER>(in);
}

void MsgModifyPassword::Write(ByteWriter& out) const {
    out.Text(name);
    out.Text(oldDigest);
    out.Text(newDigest);
    out.Text(confirmDigest);
}

void MsgModifyPassword::Read(ByteReader& in) {
    name = in.Text(kMaxNameBytes);
    oldDigest = in.Text(kMaxDigestBytes);
    newDigest = in.Text(kMaxDigestBytes);
    confirmDigest = in.Text(kMaxDigestBytes);
}

void MsgKickUser::Write(ByteWriter& out) const {
    out.U16(userId);
    out.U16(reason);
    out.Text(text);
}

void MsgKickUser::Read(ByteReader& in) {
    userId = in.U16();
    reason = in.U16();
    text = in.Text(kMaxTextBytes);
}

void MsgTransmit::Write(ByteWriter& out) const {
    out.U16(to);
    out.U16(subCommand);
    out.Block16(payload);
}

void MsgTransmit::Read(ByteReader& in) {
    to = in.U16();
    subCommand = in.U16();
    payload = in.Block16(0xFFFF);
}

void MsgSetUserAttribute::Write(ByteWriter& out) const {
    out.U16(offset);
    out.U8(notify);
    out.Block16(data);
}

void MsgSetUserAttribute::Read(ByteReader& in) {
    offset = in.U16();
    notify = in.U8();
    data = in.Block16(ST_CONF_LOGIN_INFO::kRoomAttrSize);
    if (data.empty() || offset + data.size() > ST_CONF_LOGIN_INFO::kRoomAttrSize) {
        in.Fail();
    }
}

void MsgSetUserData::Write(ByteWriter& out) const {
    out.U16(userId);
    out.U16(offset);
    out.Block16(data);
}

void MsgSetUserData::Read(ByteReader& in) {
    userId = in.U16();
    offset = in.U16();
    data = in.Block16(ST_USER_PRIVATEDATA::kSize);
    if (data.empty() || offset + data.size() > ST_USER_PRIVATEDATA::kSize) {
        in.Fail();
    }
}

void MsgRollCallRequest::Write(ByteWriter& out) const {
    out.Text(name);
    out.Text(password);
    out.U32(confId);
}

void MsgRollCallRequest::Read(ByteReader& in) {
    name = in.Text(kMaxTextBytes);
    password = in.Text(kMaxTextBytes);
    confId = in.U32();
}

void MsgRollCallResponse::Write(ByteWriter& out) const {
    out.I32(result);
    WriteRecords(out, rows);
}

void MsgRollCallResponse::Read(ByteReader& in) {
    result = in.I32();
    rows = ReadRecords<ST_ROLLCALL_ITEM>(in);
}

template <MsgType Type>
void MsgUsers<Type>::Write(ByteWriter& out) const {
    WriteRecords(out, users);
}

template <MsgType Type>
void MsgUsers<Type>::Read(ByteReader& in) {
    users = ReadRecords<ST_USER_ITEM_DEPT>(in);
    if (users.empty()) {
        in.Fail();
    }
}

template struct MsgUsers<MsgType::UsersJoined>;
template struct MsgUsers<MsgType::UsersChanged>;

void MsgUsersLeft::Write(ByteWriter& out) const {
    const size_t count = std::min(users.size(), kMaxListEntries);
    out.U16(static_cast<uint16_t>(count));
    for (size_t i = 0; i < count; ++i) {
        out.U16(users[i].userId);
        out.U32(users[i].departmentId);
        out.U8(users[i].kind);
    }
}

void MsgUsersLeft::Read(ByteReader& in) {
    constexpr size_t kItemBytes = 7;
    const uint16_t count = in.U16();
    if (count == 0 || count > kMaxListEntries || in.Remaining() < count * kItemBytes) {
        in.Fail();
        return;
    }
    users.resize(count);
    for (auto& user : users) {
        user.userId = in.U16();
        user.departmentId = in.U32();
        user.kind = in.U8();
    }
}

void MsgLeadingStatus::Write(ByteWriter& out) const {
    out.U16(userId);
    out.U8(newState);
    out.U8(oldState);
}

void MsgLeadingStatus::Read(ByteReader& in) {
    userId = in.U16();
    newState = in.U8();
    oldState = in.U8();
}

void MsgUserKind::Write(ByteWriter& out) const {
    out.U16(userId);
    out.U32(departmentId);
    out.U8(kind);
}

void MsgUserKind::Read(ByteReader& in) {
    userId = in.U16();
    departmentId = in.U32();
    kind = in.U8();
}

void MsgAudioStatus::Write(ByteWriter& out) const {
    out.U16(userId);
    out.U8(status);
    out.U8(previous);
    out.U32(value);
}

void MsgAudioStatus::Read(ByteReader& in) {
    userId = in.U16();
    status = in.U8();
    previous = in.U8();
    value = in.U32();
}

void MsgBroadcastState::Write(ByteWriter& out) const {
    out.U16(mediaId);
    out.U16(result);
    out.U8(on);
    out.U32(value);
}

void MsgBroadcastState::Read(ByteReader& in) {
    mediaId = in.U16();
    result = in.U16();
    on = in.U8();
    value = in.U32();
}

void MsgVideoOpenResult::Write(ByteWriter& out) const {
    out.U16(mediaId);
    out.U16(result);
    out.U32(value);
}

void MsgVideoOpenResult::Read(ByteReader& in) {
    mediaId = in.U16();
    result = in.U16();
    value = in.U32();
}

void MsgRoomAttr::Write(ByteWriter& out) const {
    out.U16(offset);
    out.U8(notify);
    out.Block16(data);
}

void MsgRoomAttr::Read(ByteReader& in) {
    offset = in.U16();
    notify = in.U8();
    data = in.Block16(ST_CONF_LOGIN_INFO::kRoomAttrSize);
    if (data.empty() || offset + data.size() > ST_CONF_LOGIN_INFO::kRoomAttrSize) {
        in.Fail();
    }
}

void MsgPrivateData::Write(ByteWriter& out) const {
    out.U16(userId);
    out.U16(offset);
    out.Block16(data);
}

void MsgPrivateData::Read(ByteReader& in) {
    userId = in.U16();
    offset = in.U16();
    data = in.Block16(ST_USER_PRIVATEDATA::kSize);
    if (data.empty() || offset + data.size() > ST_USER_PRIVATEDATA::kSize) {
        in.Fail();
    }
}

void MsgRelay::Write(ByteWriter& out) const {
    out.U16(to);
    out.U16(from);
    out.U16(subCommand);
    out.Block16(payload);
}

void MsgRelay::Read(ByteReader& in) {
    to = in.U16();
    from = in.U16();
    subCommand = in.U16();
    payload = in.Block16(0xFFFF);
}

void MsgNotice::Write(ByteWriter& out) const {
    out.U16(static_cast<uint16_t>(code));
    out.U32(value);
}

void MsgNotice::Read(ByteReader& in) {
    const uint16_t raw = in.U16();
    value = in.U32();
    switch (static_cast<NoticeCode>(raw)) {
        case NoticeCode::ChairRefused:
        case NoticeCode::ForceExit:
        case NoticeCode::PasswordAnswer:
        case NoticeCode::RecordRefused:
        case NoticeCode::ConfLock:
        case NoticeCode::ConfMode:
        case NoticeCode::MeetingTime:
            code = static_cast<NoticeCode>(raw);
            return;
    }
    in.Fail();
}

void MsgServerNotice::Write(ByteWriter& out) const {
    out.U8(kind);
    out.U32(a);
    out.U32(b);
    out.U32(c);
    out.U32(d);
}

void MsgServerNotice::Read(ByteReader& in) {
    kind = in.U8();
    a = in.U32();
    b = in.U32();
    c = in.U32();
    d = in.U32();
}

}  // namespace yav::proto
