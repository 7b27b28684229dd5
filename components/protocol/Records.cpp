// Field-by-field encoding of the fixed records, in offset order.
#include "ST_CONF_APPINFO.h"
#include "ST_CONF_EXTRA.h"
#include "ST_CONF_ITEM.h"
#include "ST_CONF_LOGIN_INFO.h"
#include "ST_CS_SERVER.h"
#include "ST_DEPT_INFO.h"
#include "ST_DS_ADDR.h"
#include "ST_ROLLCALL_ITEM.h"
#include "ST_UPGRADE_SERVER.h"
#include "ST_USER_ITEM_DEPT.h"
#include "ST_USER_PRIVATEDATA.h"

using yav::proto::ByteReader;
using yav::proto::ByteWriter;

void ST_USER_PRIVATEDATA::Write(ByteWriter& out) const {
    out.U32(groupValue);
    out.U32(previousGroupValue);
    out.U8(speakMode);
    out.U8(listenFlag);
    out.Raw(reserved, sizeof reserved);
}

void ST_USER_PRIVATEDATA::Read(ByteReader& in) {
    groupValue = in.U32();
    previousGroupValue = in.U32();
    speakMode = in.U8();
    listenFlag = in.U8();
    in.Raw(reserved, sizeof reserved);
}

void ST_USER_ITEM_DEPT::Write(ByteWriter& out) const {
    out.U16(userId);
    out.U32(accountId);
    out.FixedText16(name, 32);
    out.U8(kind);
    out.U32(departmentId);
    out.U32(value75);
    out.U8(speakState);
    out.U8(presenterState);
    out.U8(broadcastMask);
    out.U8(audioDevice);
    out.U8(channelMask);
    out.U8(videoChannelCount);
    out.U8(value85);
    out.Raw(reserved86, sizeof reserved86);
    out.U32(streamParam);
    privateData.Write(out);
}

void ST_USER_ITEM_DEPT::Read(ByteReader& in) {
    userId = in.U16();
    accountId = in.U32();
    in.FixedText16(name, 32);
    kind = in.U8();
    departmentId = in.U32();
    value75 = in.U32();
    speakState = in.U8();
    presenterState = in.U8();
    broadcastMask = in.U8();
    audioDevice = in.U8();
    channelMask = in.U8();
    videoChannelCount = in.U8();
    value85 = in.U8();
    in.Raw(reserved86, sizeof reserved86);
    streamParam = in.U32();
    privateData.Read(in);
}

void ST_CONF_LOGIN_INFO::Write(ByteWriter& out) const {
    out.U32(confId);
    out.FixedText(confName, sizeof confName);
    out.U8(reserved68);
    out.U8(recordMode);
    out.U8(statusByte);
    out.U32(ownerId);
    out.U16(userId);
    out.U8(kind);
    out.U8(presenterState);
    out.Raw(reserved79, sizeof reserved79);
    out.Raw(roomAttr, sizeof roomAttr);
    out.Raw(reserved1579, sizeof reserved1579);
}

void ST_CONF_LOGIN_INFO::Read(ByteReader& in) {
    confId = in.U32();
    in.FixedText(confName, sizeof confName);
    reserved68 = in.U8();
    recordMode = in.U8();
    statusByte = in.U8();
    ownerId = in.U32();
    userId = in.U16();
    kind = in.U8();
    presenterState = in.U8();
    in.Raw(reserved79, sizeof reserved79);
    in.Raw(roomAttr, sizeof roomAttr);
    in.Raw(reserved1579, sizeof reserved1579);
}

void ST_CONF_APPINFO::Write(ByteWriter& out) const {
    out.U8(maxBroadcastChannels);
    out.U8(reserved1);
    out.U8(maxRecvChannelsChair);
    out.U8(reserved3);
    out.U16(bitrateLimitKbps);
    out.U8(maxRecvChannelsMember);
    out.U8(conferenceMode);
    out.U8(option8);
    out.U8(option9);
    out.U16(option10);
    out.U16(option12);
    out.U8(option14);
    out.U16(speakerLimit);
    out.U8(reserved17);
    out.U16(maxOpenDocs);
    out.U16(maxWhiteboardPages);
    out.U8(flags22);
    out.U8(flags23);
    out.U8(flags24);
    out.U8(flags25);
    out.Raw(reserved26, sizeof reserved26);
}

void ST_CONF_APPINFO::Read(ByteReader& in) {
    maxBroadcastChannels = in.U8();
    reserved1 = in.U8();
    maxRecvChannelsChair = in.U8();
    reserved3 = in.U8();
    bitrateLimitKbps = in.U16();
    maxRecvChannelsMember = in.U8();
    conferenceMode = in.U8();
    option8 = in.U8();
    option9 = in.U8();
    option10 = in.U16();
    option12 = in.U16();
    option14 = in.U8();
    speakerLimit = in.U16();
    reserved17 = in.U8();
    maxOpenDocs = in.U16();
    maxWhiteboardPages = in.U16();
    flags22 = in.U8();
    flags23 = in.U8();
    flags24 = in.U8();
    flags25 = in.U8();
    in.Raw(reserved26, sizeof reserved26);
}

void ST_CONF_EXTRA::Write(ByteWriter& out) const {
    out.U32(confId);
    out.U32(elapsedSeconds);
    out.U32(durationLimitSeconds);
    out.U16(userCount);
    out.U16(maxUsers);
}

void ST_CONF_EXTRA::Read(ByteReader& in) {
    confId = in.U32();
    elapsedSeconds = in.U32();
    durationLimitSeconds = in.U32();
    userCount = in.U16();
    maxUsers = in.U16();
}

void ST_DS_ADDR::Write(ByteWriter& out) const {
    out.FixedText(address, sizeof address);
    out.U16(port);
    out.Raw(reserved, sizeof reserved);
}

void ST_DS_ADDR::Read(ByteReader& in) {
    in.FixedText(address, sizeof address);
    port = in.U16();
    in.Raw(reserved, sizeof reserved);
}

void ST_CONF_ITEM_SHORT::Write(ByteWriter& out) const {
    out.U32(confId);
    out.FixedText(confName, sizeof confName);
    out.U16(capacity);
    out.U16(onlineCount);
    out.U16(reserved72);
    out.U8(passwordFree);
}

void ST_CONF_ITEM_SHORT::Read(ByteReader& in) {
    confId = in.U32();
    in.FixedText(confName, sizeof confName);
    capacity = in.U16();
    onlineCount = in.U16();
    reserved72 = in.U16();
    passwordFree = in.U8();
}

void ST_CONF_ITEM::Write(ByteWriter& out) const {
    ToShort().Write(out);
    out.U8(hasIdentity);
    out.U32(identityConfId);
    out.FixedText(identityPassword, sizeof identityPassword);
    out.FixedText(identityName, sizeof identityName);
}

void ST_CONF_ITEM::Read(ByteReader& in) {
    ST_CONF_ITEM_SHORT brief;
    brief.Read(in);
    *this = FromShort(brief);
    hasIdentity = in.U8();
    identityConfId = in.U32();
    in.FixedText(identityPassword, sizeof identityPassword);
    in.FixedText(identityName, sizeof identityName);
}

ST_CONF_ITEM ST_CONF_ITEM::FromShort(const ST_CONF_ITEM_SHORT& brief) {
    ST_CONF_ITEM item;
    item.confId = brief.confId;
    std::memcpy(item.confName, brief.confName, sizeof item.confName);
    item.capacity = brief.capacity;
    item.onlineCount = brief.onlineCount;
    item.reserved72 = brief.reserved72;
    item.passwordFree = brief.passwordFree;
    return item;
}

ST_CONF_ITEM_SHORT ST_CONF_ITEM::ToShort() const {
    ST_CONF_ITEM_SHORT brief;
    brief.confId = confId;
    std::memcpy(brief.confName, confName, sizeof brief.confName);
    brief.capacity = capacity;
    brief.onlineCount = onlineCount;
    brief.reserved72 = reserved72;
    brief.passwordFree = passwordFree;
    return brief;
}

void ST_CS_SERVER::Write(ByteWriter& out) const {
    out.FixedText(serverName, sizeof serverName);
    out.FixedText(csAddress, sizeof csAddress);
    out.U16(csPort);
    out.FixedText(mediaAddress, sizeof mediaAddress);
    out.U16(mediaPort);
    out.U32(mediaParam);
    out.FixedText(docAddress, sizeof docAddress);
    out.U16(docPort);
    out.U32(docParam);
    out.FixedText(docAddress2, sizeof docAddress2);
    out.U32(docValue);
    out.U16(reserved146);
    out.FixedText(screenAddress, sizeof screenAddress);
    out.U16(screenPort);
    out.U32(screenParam);
    out.Raw(reserved192, sizeof reserved192);
}

void ST_CS_SERVER::Read(ByteReader& in) {
    in.FixedText(serverName, sizeof serverName);
    in.FixedText(csAddress, sizeof csAddress);
    csPort = in.U16();
    in.FixedText(mediaAddress, sizeof mediaAddress);
    mediaPort = in.U16();
    mediaParam = in.U32();
    in.FixedText(docAddress, sizeof docAddress);
    docPort = in.U16();
    docParam = in.U32();
    in.FixedText(docAddress2, sizeof docAddress2);
    docValue = in.U32();
    reserved146 = in.U16();
    in.FixedText(screenAddress, sizeof screenAddress);
    screenPort = in.U16();
    screenParam = in.U32();
    in.Raw(reserved192, sizeof reserved192);
}

void ST_ROLLCALL_ITEM::Write(ByteWriter& out) const {
    out.U32(accountId);
    out.FixedText(nickName, sizeof nickName);
    out.FixedText(displayName, sizeof displayName);
    out.U8(kind);
    out.U8(present);
}

void ST_ROLLCALL_ITEM::Read(ByteReader& in) {
    accountId = in.U32();
    in.FixedText(nickName, sizeof nickName);
    in.FixedText(displayName, sizeof displayName);
    kind = in.U8();
    present = in.U8();
}

void ST_UPGRADE_SERVER::Write(ByteWriter& out) const {
    out.FixedText(serverName, sizeof serverName);
    out.FixedText(address, sizeof address);
    out.U16(port);
    out.Raw(reserved82, sizeof reserved82);
    out.I32(filePassword);
    out.Raw(guid.data(), guid.size());
}

void ST_UPGRADE_SERVER::Read(ByteReader& in) {
    in.FixedText(serverName, sizeof serverName);
    in.FixedText(address, sizeof address);
    port = in.U16();
    in.Raw(reserved82, sizeof reserved82);
    filePassword = in.I32();
    in.Raw(guid.data(), guid.size());
}

void ST_DEPT_INFO::Write(ByteWriter& out) const {
    out.I32(parentId);
    out.U32(value);
    out.FixedText16(name, kNameUnits);
    out.U32(id);
}

void ST_DEPT_INFO::Read(ByteReader& in) {
    parentId = in.I32();
    value = in.U32();
    in.FixedText16(name, kNameUnits);
    id = in.U32();
}
