// Who is in the room: login checks, the snapshot for a newcomer, leaving, the roll call.
#include <openssl/crypto.h>
#include <openssl/rand.h>

#include <algorithm>

#include "Conference.h"
#include "platform/core/Log.h"
#include "platform/core/TextCodec.h"

namespace yav::server {

using namespace yav::proto;

uint16_t Conference::NextUserId() {
    // Ids grow so that a departed user's id is not handed out again soon.
    for (;;) {
        lastUserId_ = static_cast<uint16_t>(lastUserId_ + 8);
        if (lastUserId_ != 0 && !participants_.contains(lastUserId_)) {
            return lastUserId_;
        }
    }
}

ST_CONF_APPINFO Conference::AppInfo() const {
    ST_CONF_APPINFO app;
    app.maxBroadcastChannels = 16;
    app.maxRecvChannelsChair = 16;
    app.maxRecvChannelsMember = 16;
    app.bitrateLimitKbps = 2048;
    app.conferenceMode = conferenceMode_;
    app.speakerLimit = config_.speakerLimit;
    app.maxOpenDocs = config_.maxOpenDocs;
    app.maxWhiteboardPages = config_.maxWhiteboardPages;
    app.flags22 = config_.appFlags22;
    app.flags23 =
        static_cast<uint8_t>((config_.appFlags23 & ~0x04) | (config_.allowServerRecord ? 0x04 : 0));
    app.flags24 = config_.appFlags24;
    app.flags25 = config_.appFlags25;
    app.option9 = config_.layoutCode;
    app.option14 = config_.panelsHidden;
    return app;
}

ST_CONF_EXTRA Conference::Extra(Clock::time_point now) const {
    ST_CONF_EXTRA extra;
    extra.confId = config_.confId;
    extra.elapsedSeconds =
        participants_.empty()
            ? 0
            : static_cast<uint32_t>(
                  std::chrono::duration_cast<std::chrono::seconds>(now - startedAt_).count());
    extra.durationLimitSeconds = static_cast<uint32_t>(config_.duration.count());
    extra.userCount = static_cast<uint16_t>(participants_.size());
    extra.maxUsers = config_.maxUsers;
    return extra;
}

ST_CONF_LOGIN_INFO Conference::LoginInfoFor(const Participant& who) const {
    ST_CONF_LOGIN_INFO info;
    info.confId = config_.confId;
    CopyText(info.confName, sizeof info.confName,
             text::TruncateGbk(text::Utf8ToGbk(config_.name), 63));
    info.recordMode = config_.allowServerRecord ? 1 : 0;
    info.statusByte = locked_ ? 1 : 0;
    info.ownerId = who.ownerId;
    info.userId = who.record.userId;
    info.kind = who.record.kind;
    info.presenterState = who.record.presenterState;
    std::memcpy(info.roomAttr, roomAttr_, sizeof roomAttr_);
    return info;
}

int32_t Conference::Join(const std::shared_ptr<Link>& link, const MsgLoginRequest& request,
                         uint16_t& userId) {
    if (quotaClosed_) {
        return ERR_QUOTA_USED;
    }
    if (request.clientVersion < server_.minClientVersion) {
        return ERR_VERSION;
    }
    const std::string name = text::GbkToUtf8(request.name);
    const Account* account = nullptr;
    switch (request.mode) {
        case 0:
            account = server_.FindAccount(name);
            if (!account) {
                return ERR_UNKNOWN_ACCOUNT;
            }
            if (!DigestMatches(request.passwordDigest, account->Digest())) {
                return ERR_WRONG_PASSWORD;
            }
            if (!config_.Lists(account->login)) {
                return ERR_NOT_MEMBER;
            }
            break;
        case 1:
            if (!config_.password.empty()) {
                return ERR_CONF_PASSWORD;
            }
            if (!config_.allowGuests) {
                return ERR_GUESTS_REFUSED;
            }
            break;
        case 2:
            if (!config_.password.empty() &&
                !DigestMatches(request.passwordDigest, PasswordDigest(config_.password))) {
                return ERR_CONF_PASSWORD;
            }
            break;
        default:
            return ERR_PROTOCOL;
    }
    if (name.empty()) {
        return ERR_UNKNOWN_ACCOUNT;
    }
    const bool chairAccount = account && config_.IsChairAccount(account->login);
    if (locked_ && !chairAccount) {
        return ERR_CONFERENCE_LOCKED;
    }
    // The same account logging in again (a client reconnecting before its old connection
    // was noticed dead) replaces its old place.
    if (account) {
        for (auto& [id, who] : participants_) {
            if (EqualsIgnoreCase(who.login, account->login)) {
                YLOG_INFO("conference %u: %s logs in again, dropping its old connection",
                          config_.confId, account->login.c_str());
                MsgNotice exit;
                exit.code = NoticeCode::ForceExit;
                exit.value = 2;
                auto oldLink = who.link;
                SendTo(who, EncodeFrame(exit));
                Leave(id, "replaced by a new login");
                if (oldLink) {
                    oldLink->CloseAfterFlush("replaced by a new login");
                }
                break;
            }
        }
    }
    if (config_.maxUsers > 0 && participants_.size() >= config_.maxUsers) {
        MsgServerNotice full;
        full.kind = 2;
        full.d = config_.maxUsers;
        for (auto& [id, who] : participants_) {
            if (IsChair(who)) {
                SendTo(who, EncodeFrame(full));
            }
        }
        return ERR_CONFERENCE_FULL;
    }

    const auto now = Clock::now();
    if (participants_.empty()) {
        startedAt_ = now;
        lastTick_ = now;
        nextDurationNotice_ = now + config_.duration;
    }
    Participant newcomer;
    newcomer.link = link;
    newcomer.login = account ? account->login : std::string();
    ST_USER_ITEM_DEPT& record = newcomer.record;
    record.userId = NextUserId();
    record.accountId = account ? account->accountId : kGuestAccountBase + 1u + record.userId;
    newcomer.ownerId = account ? account->accountId : 0xF0001000u + record.userId;
    const std::string displayName = account ? account->displayName : name;
    CopyText16(record.name, 32, text::TruncateUtf16(text::Utf8ToUtf16(displayName), 31));
    record.kind = static_cast<uint8_t>(chairAccount ? USER_KIND_CHAIR : USER_KIND_MEMBER);
    record.departmentId = account ? account->departmentId : 0;
    record.streamParam = record.userId;
    if (RAND_bytes(newcomer.mediaTicket.data(), static_cast<int>(newcomer.mediaTicket.size())) !=
        1) {
        // Without unguessable tickets anybody could join the media of the room.
        YLOG_ERROR("conference %u: no random bytes for a media ticket", config_.confId);
        return ERR_PROTOCOL;
    }
    userId = record.userId;
    participants_.emplace(userId, std::move(newcomer));
    joinOrder_.push_back(userId);
    Participant& me = participants_.at(userId);

    MsgLoginResponse response;
    response.loginInfo = LoginInfoFor(me);
    response.appInfo = AppInfo();
    response.extra = Extra(now);
    response.mediaTicket = me.mediaTicket;
    for (uint16_t id : joinOrder_) {
        response.users.push_back(participants_.at(id).record);
    }
    for (const Department& department : server_.departments) {
        ST_DEPT_INFO& info = response.departments.emplace_back();
        info.parentId = department.parentId;
        info.value = department.value;
        info.id = department.id;
        CopyText16(
            info.name, ST_DEPT_INFO::kNameUnits,
            text::TruncateUtf16(text::Utf8ToUtf16(department.name), ST_DEPT_INFO::kNameUnits - 1));
    }
    SendTo(me, EncodeFrame(response));
    MsgUsersJoined joined;
    joined.users.push_back(me.record);
    Broadcast(joined, userId);
    MsgConfExtra extra;
    extra.extra = response.extra;
    Broadcast(extra, userId);
    if (config_.quota.count() > 0) {
        MsgServerNotice report;
        report.kind = 0;
        report.a = static_cast<uint32_t>(config_.quota.count() / 60);
        report.b = static_cast<uint32_t>(
            std::chrono::duration_cast<std::chrono::minutes>(quotaUsed_).count());
        report.d = config_.maxUsers;
        SendTo(me, EncodeFrame(report));
    }
    YLOG_INFO("conference %u: user %u (%s) joined, %zu present", config_.confId, userId,
              displayName.c_str(), participants_.size());
    // Told after the snapshot and the join, as a chair's award would be, so every client
    // (the newcomer's too) starts sending or receiving the voice from the event.
    if (config_.speakOnEntry && conferenceMode_ == kOpenDiscussion) {
        if (SpeakerRoomLeft()) {
            SetSpeakState(me, 2);
        } else {
            YLOG_INFO("conference %u: user %u enters silent, %u speak already", config_.confId,
                      userId, config_.speakerLimit);
        }
    }
    RightsChanged();
    return 0;
}

void Conference::Leave(uint16_t userId, const char* why) {
    auto it = participants_.find(userId);
    if (it == participants_.end()) {
        return;
    }
    LeftUser left{userId, it->second.record.departmentId, it->second.record.kind};
    participants_.erase(it);
    joinOrder_.erase(std::remove(joinOrder_.begin(), joinOrder_.end(), userId), joinOrder_.end());
    for (auto request = videoRequests_.begin(); request != videoRequests_.end();) {
        request->second.erase(userId);
        if (UserOf(request->first) == userId || request->second.empty()) {
            request = videoRequests_.erase(request);
        } else {
            ++request;
        }
    }
    YLOG_INFO("conference %u: user %u left (%s), %zu present", config_.confId, userId, why,
              participants_.size());
    if (leaveObserver_) {
        leaveObserver_(config_.confId, userId);
    }
    RightsChanged();  // the grants it held, and what others may now hear without it
    if (participants_.empty()) {
        // An empty room starts afresh: no stale share records, lock or recording.
        std::memset(roomAttr_, 0, sizeof roomAttr_);
        locked_ = false;
        conferenceMode_ = config_.speakingMode;
        recordingUser_ = 0;
        return;
    }
    MsgUsersLeft message;
    message.users.push_back(left);
    Broadcast(message);
    // Share records naming the departed user are cleared without a notice.
    const uint8_t zeros[kMediaShareRecordBytes] = {};
    if (LoadU16(roomAttr_, ROOM_ATTR_SCREEN_SHARE) == userId) {
        SetAttr(ROOM_ATTR_SCREEN_SHARE, std::span<const uint8_t>(zeros, kScreenShareRecordBytes),
                0);
    }
    if (LoadU16(roomAttr_, ROOM_ATTR_MEDIA_SHARE) == userId) {
        SetAttr(ROOM_ATTR_MEDIA_SHARE, std::span<const uint8_t>(zeros, kMediaShareRecordBytes), 0);
    }
    if (recordingUser_ == userId) {
        StopRecording(2);
    }
    MsgConfExtra extra;
    extra.extra = Extra(Clock::now());
    Broadcast(extra);
}

void Conference::OnRollCall(Participant& who, const MsgRollCallRequest& message) {
    MsgRollCallResponse response;
    if (message.confId != config_.confId) {
        response.result = ERR_UNKNOWN_CONFERENCE;
        SendTo(who, EncodeFrame(response));
        return;
    }
    const auto presentAccount = [&](const std::string& login) -> const Participant* {
        for (const auto& [id, participant] : participants_) {
            if (EqualsIgnoreCase(participant.login, login)) {
                return &participant;
            }
        }
        return nullptr;
    };
    for (const auto& account : server_.accounts) {
        if (!config_.Lists(account.login)) {
            continue;
        }
        ST_ROLLCALL_ITEM row;
        row.accountId = account.accountId;
        CopyText(row.nickName, sizeof row.nickName,
                 text::TruncateGbk(text::Utf8ToGbk(account.login), 63));
        CopyText(row.displayName, sizeof row.displayName,
                 text::TruncateGbk(text::Utf8ToGbk(account.displayName), 63));
        const Participant* present = presentAccount(account.login);
        row.kind = present ? present->record.kind : static_cast<uint8_t>(USER_KIND_MEMBER);
        row.present = present ? 1 : 0;
        response.rows.push_back(row);
    }
    for (uint16_t id : joinOrder_) {
        const Participant& guest = participants_.at(id);
        if (!guest.login.empty()) {
            continue;
        }
        ST_ROLLCALL_ITEM row;
        row.accountId = guest.record.accountId;
        const std::string nick = text::Utf16ToGbk(FieldText16(guest.record.name, 32));
        CopyText(row.nickName, sizeof row.nickName, text::TruncateGbk(nick, 63));
        CopyText(row.displayName, sizeof row.displayName, text::TruncateGbk(nick, 63));
        row.kind = guest.record.kind;
        row.present = 1;
        response.rows.push_back(row);
    }
    SendTo(who, EncodeFrame(response));
}

bool Conference::ChannelOpen(const Participant& owner, uint8_t channel) {
    return channel == kMediaChannel ? (owner.record.broadcastMask & 0x80) != 0
                                    : (owner.record.channelMask & (1u << channel)) != 0;
}

relay::HelloResult Conference::MediaAdmit(const MediaTicket& ticket, uint16_t mediaId) const {
    // Every ticket is compared, whoever the media id names, so an answer takes as long for a
    // present user as for an absent one.
    const uint16_t owner = UserOf(mediaId);
    bool present = false;
    bool own = false;
    bool anyone = false;
    for (const auto& [id, who] : participants_) {
        const bool equal = CRYPTO_memcmp(who.mediaTicket.data(), ticket.data(), ticket.size()) == 0;
        present = present || id == owner;
        own = own || (equal && id == owner);
        anyone = anyone || equal;
    }
    if (!present) {
        return relay::HelloResult::NotInConference;
    }
    return own      ? relay::HelloResult::Ok
           : anyone ? relay::HelloResult::IdNotOwned
                    : relay::HelloResult::BadTicket;
}

bool Conference::MayHear(const Participant& sender, const Participant& receiver) const {
    const bool sameGroup =
        sender.record.privateData.groupValue == receiver.record.privateData.groupValue;
    // The floor, or a shared media file whose sound goes with its sender's microphone: heard
    // in the sender's audio group. In the push-to-talk mode, whoever holds the talk key
    // (its listen flag) is heard by everyone.
    if ((sender.record.speakState == 2 || ChannelOpen(sender, kMediaChannel)) && sameGroup) {
        return true;
    }
    return roomAttr_[ROOM_ATTR_CONF_FLAG] == 1 && sender.record.privateData.listenFlag != 0;
}

void Conference::RightsChanged() {
    if (rightsObserver_) {
        rightsObserver_(config_.confId);
    }
}

bool Conference::MediaMayReceive(uint16_t mediaId, relay::Kind kind,
                                 uint16_t receiverMediaId) const {
    auto sender = participants_.find(UserOf(mediaId));
    auto receiver = participants_.find(UserOf(receiverMediaId));
    if (sender == participants_.end() || receiver == participants_.end() || sender == receiver ||
        !MediaMaySend(mediaId, kind)) {
        return false;
    }
    const uint8_t channel = ChannelOf(mediaId);
    if (kind == relay::Kind::Audio) {
        return channel == kMediaChannel || MayHear(sender->second, receiver->second);
    }
    if ((sender->second.record.broadcastMask & (1u << channel)) != 0) {
        return true;
    }
    // Channel 7 reaches its viewers only while broadcast; a camera channel also whoever asked
    // for it and was granted it.
    auto granted = videoRequests_.find(mediaId);
    return channel != kMediaChannel && granted != videoRequests_.end() &&
           granted->second.contains(receiver->first);
}

bool Conference::MediaMaySend(uint16_t mediaId, relay::Kind kind) const {
    auto it = participants_.find(UserOf(mediaId));
    if (it == participants_.end()) {
        return false;
    }
    const uint8_t channel = ChannelOf(mediaId);
    if (kind == relay::Kind::Audio) {
        // The microphone travels on the main channel; a shared file's sound with channel 7.
        return channel == 0 || (channel == kMediaChannel && ChannelOpen(it->second, channel));
    }
    return ChannelOpen(it->second, channel);
}

}  // namespace yav::server
