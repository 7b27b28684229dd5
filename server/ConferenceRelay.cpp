// What one participant sends that reaches the others: user-to-user blocks, room attributes
// and private data, each with the rules on who may send what.
#include <algorithm>
#include <cstring>

#include "Conference.h"
#include "RecordCodec.h"
#include "platform/core/Log.h"

namespace yav::server {

using namespace yav::proto;

void Conference::OnTransmit(Participant& who, const MsgTransmit& message) {
    const uint16_t sub = message.subCommand;
    // Commands that act on the receiver's conference, devices or screen need a chair kind or
    // the presenter; group and sound commands a chair kind (SubCommands.h).
    if (!MaySendSubCommand(sub, message.payload, who.record, message.to)) {
        YLOG_WARN(
            "conference %u: sub-command %u from user %u to %u without the role it needs "
            "refused",
            config_.confId, sub, who.record.userId, message.to);
        return;
    }
    MsgRelay relay;
    relay.to = message.to;
    relay.from = who.record.userId;
    relay.subCommand = sub;
    relay.payload = message.payload;
    const Bytes frame = EncodeFrame(relay);
    if (message.to == 0) {
        // Everybody but the sender: the sender already acted on its own command.
        SendAll(frame, who.record.userId);
        return;
    }
    if (sub == kSubCommandChat && message.to == kChatToChairs) {
        for (auto& [id, other] : participants_) {
            if (id != who.record.userId && IsChair(other)) {
                SendTo(other, frame);
            }
        }
        return;
    }
    Participant* target = Find(message.to);
    if (!target) {
        YLOG_DEBUG("conference %u: relay to absent user %u dropped", config_.confId, message.to);
        return;
    }
    SendTo(*target, frame);
}

bool Conference::ShareWriteAllowed(const Participant& who, uint16_t offset,
                                   std::span<const uint8_t> data) const {
    // The share records as the write would leave them.
    uint8_t after[ROOM_ATTR_BULLETIN];
    std::memcpy(after, roomAttr_, sizeof after);
    for (size_t i = 0; i < data.size() && offset + i < sizeof after; ++i) {
        after[offset + i] = data[i];
    }
    const uint16_t me = who.record.userId;
    struct Record {
        uint16_t at;
        uint16_t size;
    };
    for (const Record record : {Record{ROOM_ATTR_SCREEN_SHARE, kScreenShareRecordBytes},
                                Record{ROOM_ATTR_MEDIA_SHARE, kMediaShareRecordBytes}}) {
        if (offset >= record.at + record.size || offset + data.size() <= record.at) {
            continue;  // not touched
        }
        const std::span<const uint8_t> written(after + record.at, record.size);
        const uint16_t named = LoadU16(roomAttr_, record.at);
        // One sharer at a time: the writer names itself where the record named nobody or
        // itself (receivers take the sharer's commands from whom the record names); a chair
        // kind may take it over.
        const bool free = named == 0 || named == me || IsChair(who);
        if (LoadU16(written, 0) == me && free) {
            continue;
        }
        const bool cleared =
            std::all_of(written.begin(), written.end(), [](uint8_t byte) { return byte == 0; });
        if (cleared && free) {
            continue;
        }
        YLOG_WARN(
            "conference %u: share record at %u by user %u refused (it names user %u, would name "
            "user %u)",
            config_.confId, record.at, me, named, LoadU16(written, 0));
        return false;
    }
    return true;
}

void Conference::OnSetUserAttribute(Participant& who, const MsgSetUserAttribute& message) {
    // Below the bulletin lie the share records: a participant names only itself there (in a
    // record naming nobody or itself), or clears a record naming itself; the chair kinds may
    // clear or take over any (a client starts receiving from whoever a record names). The
    // rest is the chair's, the presenter's, or anybody's while alone in the room.
    const size_t end = message.offset + message.data.size();
    if (message.offset < ROOM_ATTR_BULLETIN &&
        !ShareWriteAllowed(who, message.offset, message.data)) {
        return;
    }
    if (end > ROOM_ATTR_BULLETIN && !IsPrivileged(who) && participants_.size() != 1) {
        YLOG_WARN("conference %u: attribute write at %u by user %u refused", config_.confId,
                  message.offset, who.record.userId);
        return;
    }
    SetAttr(message.offset, message.data, message.notify);
}

void Conference::OnSetUserData(Participant& who, const MsgSetUserData& message) {
    Participant* target = Find(message.userId);
    if (!target || (target != &who && !IsChair(who))) {
        YLOG_WARN("conference %u: private data of %u by %u refused", config_.confId, message.userId,
                  who.record.userId);
        return;
    }
    Bytes privateData = EncodeRecord(target->record.privateData);
    std::memcpy(privateData.data() + message.offset, message.data.data(), message.data.size());
    target->record.privateData = *DecodeRecord<ST_USER_PRIVATEDATA>(privateData);
    MsgPrivateData update;
    update.userId = target->record.userId;
    update.offset = message.offset;
    update.data = message.data;
    Broadcast(update);
    RightsChanged();  // audio groups and the talk key live in the private data
}

}  // namespace yav::server
