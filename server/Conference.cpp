#include "Conference.h"

#include <algorithm>

#include "RecordCodec.h"
#include "platform/core/Log.h"
#include "platform/core/Profile.h"
#include "platform/core/TextCodec.h"

namespace yav::server {

using namespace yav::proto;

namespace {

constexpr uint16_t kResultUserAbsent = 0x100C;
constexpr uint16_t kResultNoChannel = 0x100E;
constexpr uint16_t kResultRefused = 0x1010;
constexpr uint16_t kChannelBits = 0xFFF8;
constexpr uint8_t kMediaChannel = 7;

uint32_t StreamValue(uint16_t mediaId) {
    return 0x00010000u | mediaId;
}

bool DigestEquals(const std::string& a, const std::string& b) {
    return !a.empty() && EqualsIgnoreCase(a, b);
}

bool Contains(const std::vector<std::string>& logins, const std::string& login) {
    return std::any_of(logins.begin(), logins.end(),
                       [&](const std::string& entry) { return EqualsIgnoreCase(entry, login); });
}

}  // namespace

Conference::Conference(const ConferenceConfig& config, ServerConfig& server)
    : config_(config), server_(server) {}

bool Conference::IsChair(const Participant& who) const {
    return who.record.kind == USER_KIND_CHAIR || who.record.kind == USER_KIND_TEMP_ADMIN;
}

bool Conference::IsPrivileged(const Participant& who) const {
    return IsChair(who) || who.record.presenterState == 2;
}

Conference::Participant* Conference::Find(uint16_t userId) {
    auto it = participants_.find(static_cast<uint16_t>(userId & kChannelBits));
    return it == participants_.end() ? nullptr : &it->second;
}

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
    app.flags25 = config_.appFlags25;
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

void Conference::SendTo(Participant& who, Bytes frame) {
    if (who.link) {
        who.link->Send(std::move(frame));
    }
}

void Conference::SendAll(const Bytes& frame, uint16_t exceptUserId) {
    for (auto& [id, who] : participants_) {
        if (id != exceptUserId) {
            SendTo(who, frame);
        }
    }
}

void Conference::BroadcastRecord(const Participant& who) {
    MsgUsersChanged changed;
    changed.users.push_back(who.record);
    Broadcast(changed);
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
            if (!DigestEquals(request.passwordDigest, account->Digest())) {
                return ERR_WRONG_PASSWORD;
            }
            if (!config_.members.empty() && !Contains(config_.members, account->login) &&
                !Contains(config_.chairs, account->login)) {
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
                !DigestEquals(request.passwordDigest, PasswordDigest(config_.password))) {
                return ERR_CONF_PASSWORD;
            }
            break;
        default:
            return ERR_PROTOCOL;
    }
    if (name.empty()) {
        return ERR_UNKNOWN_ACCOUNT;
    }
    const bool chairAccount = account && Contains(config_.chairs, account->login);
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
    userId = record.userId;
    participants_.emplace(userId, std::move(newcomer));
    joinOrder_.push_back(userId);
    Participant& me = participants_.at(userId);

    MsgLoginResponse response;
    response.loginInfo = LoginInfoFor(me);
    response.appInfo = AppInfo();
    response.extra = Extra(now);
    for (uint16_t id : joinOrder_) {
        response.users.push_back(participants_.at(id).record);
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
        if ((request->first & kChannelBits) == userId || request->second.empty()) {
            request = videoRequests_.erase(request);
        } else {
            ++request;
        }
    }
    YLOG_INFO("conference %u: user %u left (%s), %zu present", config_.confId, userId, why,
              participants_.size());
    if (participants_.empty()) {
        // An empty room starts afresh: no stale share records, lock or recording.
        std::memset(roomAttr_, 0, sizeof roomAttr_);
        locked_ = false;
        conferenceMode_ = 0;
        recordingUser_ = 0;
        return;
    }
    MsgUsersLeft message;
    message.users.push_back(left);
    Broadcast(message);
    // Share records naming the departed user are cleared without a notice.
    const uint8_t zeros[7] = {};
    if (LoadU16(roomAttr_, ROOM_ATTR_SCREEN_SHARE) == userId) {
        SetAttr(ROOM_ATTR_SCREEN_SHARE, std::span<const uint8_t>(zeros, 6), 0);
    }
    if (LoadU16(roomAttr_, ROOM_ATTR_MEDIA_SHARE) == userId) {
        SetAttr(ROOM_ATTR_MEDIA_SHARE, std::span<const uint8_t>(zeros, 7), 0);
    }
    if (recordingUser_ == userId) {
        StopRecording(2);
    }
    MsgConfExtra extra;
    extra.extra = Extra(Clock::now());
    Broadcast(extra);
}

void Conference::SetAttr(uint16_t offset, std::span<const uint8_t> data, uint8_t notify) {
    if (offset + data.size() > sizeof roomAttr_) {
        return;
    }
    std::memcpy(roomAttr_ + offset, data.data(), data.size());
    MsgRoomAttr message;
    message.offset = offset;
    message.notify = notify ? 1 : 0;
    message.data.assign(data.begin(), data.end());
    Broadcast(message);
}

void Conference::SetKind(Participant& who, uint8_t kind) {
    if (who.record.kind == kind) {
        return;
    }
    who.record.kind = kind;
    MsgUserKind message;
    message.userId = who.record.userId;
    message.departmentId = who.record.departmentId;
    message.kind = kind;
    Broadcast(message);
}

void Conference::SetPresenterState(Participant& who, uint8_t state) {
    const uint8_t old = who.record.presenterState;
    if (old == state) {
        return;
    }
    who.record.presenterState = state;
    MsgLeadingStatus message;
    message.userId = who.record.userId;
    message.newState = state;
    message.oldState = old;
    Broadcast(message);
}

void Conference::SetSpeakState(Participant& who, uint8_t state) {
    const uint8_t old = who.record.speakState;
    if (old == state) {
        return;
    }
    who.record.speakState = state;
    MsgAudioStatus message;
    message.userId = who.record.userId;
    message.status = state;
    message.previous = old;
    message.value = who.record.streamParam;
    Broadcast(message);
}

void Conference::StopRecording(uint8_t reason) {
    recordingUser_ = 0;
    const uint8_t value = static_cast<uint8_t>(reason << 1);
    SetAttr(ROOM_ATTR_SERVER_RECORD, std::span<const uint8_t>(&value, 1), 1);
}

void Conference::Handle(uint16_t userId, const Frame& frame) {
    Participant* who = Find(userId);
    if (!who) {
        return;
    }
    const auto malformed = [&] {
        YLOG_WARN("conference %u: malformed %s from user %u, closing its connection",
                  config_.confId, MsgTypeName(frame.type), userId);
        if (who->link) {
            who->link->Close("malformed request");
        }
    };
    // Decodes the body as Message and hands it to the handler, or drops the connection.
    const auto dispatch = [&](auto handler, auto tag) {
        using Message = decltype(tag);
        auto message = DecodeBody<Message>(frame.body);
        if (!message) {
            malformed();
            return;
        }
        (this->*handler)(*who, *message);
    };
    switch (frame.type) {
        case MsgType::SetConfOptions:
            dispatch(&Conference::OnSetConfOptions, MsgSetConfOptions{});
            break;
        case MsgType::ApplyPresenter:
            if (!DecodeBody<MsgApplyPresenter>(frame.body)) {
                return malformed();
            }
            if (who->record.presenterState == 0) {
                SetPresenterState(*who, 1);
            }
            break;
        case MsgType::CancelPresenterApply:
            if (!DecodeBody<MsgCancelPresenterApply>(frame.body)) {
                return malformed();
            }
            SetPresenterState(*who, 0);
            break;
        case MsgType::SetPresenter:
            dispatch(&Conference::OnSetPresenter, MsgSetPresenter{});
            break;
        case MsgType::ApplySpeak: {
            auto message = DecodeBody<MsgApplySpeak>(frame.body);
            if (!message) {
                return malformed();
            }
            if (message->value && who->record.speakState == 0) {
                SetSpeakState(*who, 1);
            } else if (!message->value) {
                SetSpeakState(*who, 0);
            }
            break;
        }
        case MsgType::AwardSpeak:
            dispatch(&Conference::OnAwardSpeak, MsgAwardSpeak{});
            break;
        case MsgType::ApplyChair:
            dispatch(&Conference::OnApplyChair, MsgApplyChair{});
            break;
        case MsgType::GiveUpChair:
            if (!DecodeBody<MsgGiveUpChair>(frame.body)) {
                return malformed();
            }
            if (IsChair(*who)) {
                SetKind(*who, USER_KIND_MEMBER);
            }
            break;
        case MsgType::ModifyPassword:
            dispatch(&Conference::OnModifyPassword, MsgModifyPassword{});
            break;
        case MsgType::SetConfSetting: {
            auto message = DecodeBody<MsgSetConfSetting>(frame.body);
            if (!message) {
                return malformed();
            }
            if (!IsChair(*who)) {
                YLOG_WARN("conference %u: lock change by non-chair %u refused", config_.confId,
                          userId);
                return;
            }
            locked_ = message->value != 0;
            MsgNotice notice;
            notice.code = NoticeCode::ConfLock;
            notice.value = locked_ ? 1 : 0;
            Broadcast(notice);
            break;
        }
        case MsgType::KickUser:
            dispatch(&Conference::OnKickUser, MsgKickUser{});
            break;
        case MsgType::RequestVideo:
            dispatch(&Conference::OnRequestVideo, MsgRequestVideo{});
            break;
        case MsgType::BroadcastVideo:
            dispatch(&Conference::OnBroadcastVideo, MsgBroadcastVideo{});
            break;
        case MsgType::SetConfSettingByte: {
            auto message = DecodeBody<MsgSetConfSettingByte>(frame.body);
            if (!message) {
                return malformed();
            }
            if (!IsChair(*who)) {
                return;
            }
            conferenceMode_ = message->value;
            MsgNotice notice;
            notice.code = NoticeCode::ConfMode;
            notice.value = conferenceMode_;
            Broadcast(notice);
            break;
        }
        case MsgType::Transmit:
            dispatch(&Conference::OnTransmit, MsgTransmit{});
            break;
        case MsgType::SetUserAttribute:
            dispatch(&Conference::OnSetUserAttribute, MsgSetUserAttribute{});
            break;
        case MsgType::SetUserData:
            dispatch(&Conference::OnSetUserData, MsgSetUserData{});
            break;
        case MsgType::RollCallRequest:
            dispatch(&Conference::OnRollCall, MsgRollCallRequest{});
            break;
        case MsgType::SetTempAdmin:
            dispatch(&Conference::OnSetTempAdmin, MsgSetTempAdmin{});
            break;
        case MsgType::SetServerRecord:
            dispatch(&Conference::OnSetServerRecord, MsgSetServerRecord{});
            break;
        case MsgType::ConfDurationAck:
            if (!DecodeBody<MsgConfDurationAck>(frame.body)) {
                return malformed();
            }
            nextDurationNotice_ = Clock::now() + config_.duration;
            break;
        default:
            YLOG_WARN("conference %u: unexpected %s (0x%04x) from user %u, closing", config_.confId,
                      MsgTypeName(frame.type), static_cast<unsigned>(frame.type), userId);
            if (who->link) {
                who->link->Close("unexpected message");
            }
            break;
    }
}

void Conference::OnSetConfOptions(Participant& who, const MsgSetConfOptions& message) {
    ST_USER_ITEM_DEPT& record = who.record;
    const uint8_t removed = static_cast<uint8_t>(record.channelMask & ~message.values[1]);
    record.audioDevice = message.values[0];
    record.channelMask = message.values[1];
    record.videoChannelCount = std::min<uint8_t>(message.values[2], 8);
    record.value85 = message.values[3];
    for (uint8_t channel = 0; channel < kMediaChannel; ++channel) {
        if (!(removed & (1u << channel))) {
            continue;
        }
        const uint16_t mediaId = static_cast<uint16_t>(record.userId + channel);
        record.broadcastMask = static_cast<uint8_t>(record.broadcastMask & ~(1u << channel));
        // Receivers of a channel that is gone are told it closed.
        auto requesters = videoRequests_.find(mediaId);
        if (requesters != videoRequests_.end()) {
            MsgVideoOpenResult closed;
            closed.mediaId = mediaId;
            for (uint16_t requester : requesters->second) {
                if (Participant* receiver = Find(requester)) {
                    SendTo(*receiver, EncodeFrame(closed));
                }
            }
            videoRequests_.erase(requesters);
        }
    }
    BroadcastRecord(who);
}

void Conference::OnSetPresenter(Participant& who, const MsgSetPresenter& message) {
    Participant* target = Find(message.id);
    if (!target || !IsChair(who)) {
        YLOG_WARN("conference %u: presenter change for %u by %u refused", config_.confId,
                  message.id, who.record.userId);
        return;
    }
    if (message.value) {
        for (auto& [id, other] : participants_) {
            if (&other != target && other.record.presenterState == 2) {
                SetPresenterState(other, 0);
            }
        }
        SetPresenterState(*target, 2);
    } else {
        SetPresenterState(*target, 0);
    }
}

void Conference::OnAwardSpeak(Participant& who, const MsgAwardSpeak& message) {
    Participant* target = Find(message.id);
    if (!target || message.value > 2) {
        return;
    }
    const bool ownStop = target == &who && message.value == 0;
    if (!IsChair(who) && !ownStop) {
        YLOG_WARN("conference %u: speak award by non-chair %u refused", config_.confId,
                  who.record.userId);
        return;
    }
    if (message.value == 2 && target->record.speakState != 2) {
        const auto speakers =
            std::count_if(participants_.begin(), participants_.end(),
                          [](const auto& entry) { return entry.second.record.speakState == 2; });
        if (config_.speakerLimit > 0 && speakers >= config_.speakerLimit) {
            YLOG_INFO("conference %u: speaker limit %u reached", config_.confId,
                      config_.speakerLimit);
            return;
        }
    }
    SetSpeakState(*target, message.value);
}

void Conference::OnApplyChair(Participant& who, const MsgApplyChair& message) {
    MsgNotice refusal;
    refusal.code = NoticeCode::ChairRefused;
    if (config_.chairPassword.empty()) {
        refusal.value = 2;
        SendTo(who, EncodeFrame(refusal));
        return;
    }
    if (message.password != text::Utf8ToGbk(config_.chairPassword)) {
        refusal.value = 1;
        SendTo(who, EncodeFrame(refusal));
        return;
    }
    SetKind(who, USER_KIND_CHAIR);
}

void Conference::OnModifyPassword(Participant& who, const MsgModifyPassword& message) {
    MsgNotice answer;
    answer.code = NoticeCode::PasswordAnswer;
    Account* account = who.login.empty() ? nullptr : server_.FindAccount(who.login);
    if (!account || !EqualsIgnoreCase(text::GbkToUtf8(message.name), account->login)) {
        answer.value = PWD_NO_ACCOUNT;
    } else if (!DigestEquals(message.oldDigest, account->Digest())) {
        answer.value = PWD_OLD_WRONG;
    } else if (message.newDigest != message.confirmDigest || message.newDigest.size() != 32) {
        answer.value = PWD_CONFIRM_DIFFERS;
    } else {
        account->passwordDigest = message.newDigest;
        if (!server_.iniPath.empty()) {
            profile::WriteString("account." + account->login, "PasswordMd5", message.newDigest,
                                 server_.iniPath);
        }
        answer.value = PWD_CHANGED;
    }
    SendTo(who, EncodeFrame(answer));
}

void Conference::OnKickUser(Participant& who, const MsgKickUser& message) {
    Participant* target = Find(message.userId);
    if (!target || target == &who || !IsChair(who)) {
        YLOG_WARN("conference %u: kick of %u by %u refused", config_.confId, message.userId,
                  who.record.userId);
        return;
    }
    const uint16_t targetId = target->record.userId;
    MsgNotice exit;
    exit.code = NoticeCode::ForceExit;
    exit.value = message.reason;
    auto link = target->link;
    SendTo(*target, EncodeFrame(exit));
    Leave(targetId, "removed by the chair");
    if (link) {
        link->CloseAfterFlush("removed by the chair");
    }
}

void Conference::OnRequestVideo(Participant& who, const MsgRequestVideo& message) {
    MsgVideoOpenResult answer;
    answer.mediaId = message.mediaId;
    Participant* owner = Find(message.mediaId);
    const uint8_t channel = static_cast<uint8_t>(message.mediaId & 7);
    if (!owner) {
        answer.result = kResultUserAbsent;
    } else if (channel == kMediaChannel ? !(owner->record.broadcastMask & 0x80)
                                        : !(owner->record.channelMask & (1u << channel))) {
        answer.result = kResultNoChannel;
    } else {
        answer.value = StreamValue(message.mediaId);
        videoRequests_[message.mediaId].insert(who.record.userId);
    }
    SendTo(who, EncodeFrame(answer));
}

void Conference::OnBroadcastVideo(Participant& who, const MsgBroadcastVideo& message) {
    MsgBroadcastState state;
    state.mediaId = message.id;
    state.on = message.value ? 1 : 0;
    Participant* owner = Find(message.id);
    const uint8_t channel = static_cast<uint8_t>(message.id & 7);
    if (!owner) {
        state.result = kResultUserAbsent;
    } else if (owner != &who && !IsChair(who)) {
        state.result = kResultRefused;
    } else if (channel != kMediaChannel && !(owner->record.channelMask & (1u << channel))) {
        state.result = kResultNoChannel;
    }
    if (state.result != 0) {
        SendTo(who, EncodeFrame(state));
        return;
    }
    const uint8_t bit = static_cast<uint8_t>(1u << channel);
    owner->record.broadcastMask = static_cast<uint8_t>(
        state.on ? (owner->record.broadcastMask | bit) : (owner->record.broadcastMask & ~bit));
    state.value = StreamValue(message.id);
    Broadcast(state);
}

void Conference::OnTransmit(Participant& who, const MsgTransmit& message) {
    const uint16_t sub = message.subCommand;
    // The screen-control reply carries the ordinary answers every participant gives (codes 0,
    // 3, 4, 5); only codes 1 and 2 hand out or take back control of the receiver's screen.
    const bool grantsScreenControl =
        sub == kSubCommandScreenControlReply &&
        (message.payload.empty() || message.payload[0] == 1 || message.payload[0] == 2);
    const bool chairOnly = sub == kSubCommandConfDissolved || sub == kSubCommandDeviceParamChange ||
                           sub == kSubCommandCameraControl || grantsScreenControl;
    if (chairOnly && !IsPrivileged(who)) {
        YLOG_WARN(
            "conference %u: sub-command %u from user %u without chair or presenter role "
            "refused",
            config_.confId, sub, who.record.userId);
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
    Participant* target = Find(message.to);
    if (!target) {
        YLOG_DEBUG("conference %u: relay to absent user %u dropped", config_.confId, message.to);
        return;
    }
    SendTo(*target, frame);
}

void Conference::OnSetUserAttribute(Participant& who, const MsgSetUserAttribute& message) {
    // The share records below the bulletin belong to whoever shares; the rest is the chair's
    // (or anybody's while alone in the room).
    const bool allowed = message.offset + message.data.size() <= ROOM_ATTR_BULLETIN ||
                         IsPrivileged(who) || participants_.size() == 1;
    if (!allowed) {
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
        const bool listed = config_.members.empty() || Contains(config_.members, account.login) ||
                            Contains(config_.chairs, account.login);
        if (!listed) {
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

void Conference::OnSetTempAdmin(Participant& who, const MsgSetTempAdmin& message) {
    Participant* target = Find(message.id);
    if (!target || who.record.kind != USER_KIND_CHAIR) {
        YLOG_WARN("conference %u: temporary administration of %u by %u refused", config_.confId,
                  message.id, who.record.userId);
        return;
    }
    if (message.value && target->record.kind != USER_KIND_CHAIR) {
        SetKind(*target, USER_KIND_TEMP_ADMIN);
    } else if (!message.value && target->record.kind == USER_KIND_TEMP_ADMIN) {
        SetKind(*target, USER_KIND_MEMBER);
    }
}

void Conference::OnSetServerRecord(Participant& who, const MsgSetServerRecord& message) {
    MsgNotice refusal;
    refusal.code = NoticeCode::RecordRefused;
    if (!IsChair(who)) {
        refusal.value = 3;
        SendTo(who, EncodeFrame(refusal));
        return;
    }
    if (!config_.allowServerRecord) {
        refusal.value = 4;
        SendTo(who, EncodeFrame(refusal));
        return;
    }
    if (message.value) {
        recordingUser_ = who.record.userId;
        const uint8_t running = 1;
        SetAttr(ROOM_ATTR_SERVER_RECORD, std::span<const uint8_t>(&running, 1), 1);
    } else {
        StopRecording(0);
    }
}

void Conference::Tick(Clock::time_point now) {
    if (participants_.empty()) {
        lastTick_ = now;
        return;
    }
    quotaUsed_ += std::chrono::duration_cast<std::chrono::milliseconds>(now - lastTick_);
    lastTick_ = now;
    if (config_.quota.count() > 0 && !quotaClosed_) {
        const auto quotaMinutes = static_cast<uint32_t>(config_.quota.count() / 60);
        const auto usedMinutes = static_cast<uint32_t>(
            std::chrono::duration_cast<std::chrono::minutes>(quotaUsed_).count());
        if (quotaUsed_ >= config_.quota) {
            quotaClosed_ = true;
            MsgServerNotice closing;
            closing.kind = 3;
            closing.a = quotaMinutes;
            closing.b = usedMinutes;
            Broadcast(closing);
            YLOG_INFO("conference %u: quota used up, closing the room", config_.confId);
            std::vector<std::pair<uint16_t, std::shared_ptr<Link>>> everyone;
            for (auto& [id, who] : participants_) {
                everyone.emplace_back(id, who.link);
            }
            for (auto& [id, link] : everyone) {
                Leave(id, "quota used up");
                if (link) {
                    link->CloseAfterFlush("quota used up");
                }
            }
            return;
        }
        if (!quotaWarned_ && config_.quota - quotaUsed_ <= config_.quotaWarn) {
            quotaWarned_ = true;
            MsgServerNotice warning;
            warning.kind = 1;
            warning.a = quotaMinutes;
            warning.b = usedMinutes;
            Broadcast(warning);
        }
    }
    if (config_.duration.count() > 0 && now >= nextDurationNotice_) {
        nextDurationNotice_ = now + config_.duration;
        MsgNotice notice;
        notice.code = NoticeCode::MeetingTime;
        notice.value = static_cast<uint32_t>(
            std::chrono::duration_cast<std::chrono::seconds>(now - startedAt_).count());
        Broadcast(notice);
    }
}

}  // namespace yav::server
