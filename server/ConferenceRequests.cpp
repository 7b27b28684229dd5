// The participants' requests about roles, speaking, video, passwords and recording.
#include <algorithm>
#include <bit>

#include "Conference.h"
#include "platform/core/Log.h"
#include "platform/core/Profile.h"
#include "platform/core/TextCodec.h"

namespace yav::server {

using namespace yav::proto;

namespace {

constexpr uint16_t kResultUserAbsent = 0x100C;
constexpr uint16_t kResultNoChannel = 0x100E;
constexpr uint16_t kResultRefused = 0x1010;

uint32_t StreamValue(uint16_t mediaId) {
    return 0x00010000u | mediaId;
}

}  // namespace

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
    const uint8_t added = static_cast<uint8_t>(message.values[1] & ~record.channelMask);
    // A camera turned off pauses its broadcast; turned on again, the broadcast resumes.
    who.pausedBroadcast = static_cast<uint8_t>(
        (who.pausedBroadcast | (record.broadcastMask & removed)) & kVideoChannels);
    const uint8_t resumed = static_cast<uint8_t>(who.pausedBroadcast & added);
    who.pausedBroadcast = static_cast<uint8_t>(who.pausedBroadcast & ~resumed);
    record.broadcastMask = static_cast<uint8_t>(record.broadcastMask | resumed);
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
    if (config_.broadcastOnEntry && conferenceMode_ == kOpenDiscussion && !who.entryBroadcastDone) {
        BroadcastOnEntry(who);
    }
    RightsChanged();
}

void Conference::BroadcastOnEntry(Participant& who) {
    ST_USER_ITEM_DEPT& record = who.record;
    uint8_t channel = 0;
    while (channel < kMediaChannel && !(record.channelMask & (1u << channel))) {
        ++channel;
    }
    if (channel == kMediaChannel) {
        return;  // no camera yet: the first one reported later is broadcast then
    }
    who.entryBroadcastDone = true;
    const uint16_t mediaId = static_cast<uint16_t>(record.userId + channel);
    if (!BroadcastRoomLeft()) {
        YLOG_INFO("conference %u: camera %u not broadcast on entry, %u are broadcast already",
                  config_.confId, mediaId, config_.speakerLimit);
        return;
    }
    record.broadcastMask = static_cast<uint8_t>(record.broadcastMask | (1u << channel));
    MsgBroadcastState state;
    state.mediaId = mediaId;
    state.on = 1;
    state.value = StreamValue(mediaId);
    Broadcast(state);
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

bool Conference::SpeakerRoomLeft() const {
    const auto speakers =
        std::count_if(participants_.begin(), participants_.end(),
                      [](const auto& entry) { return entry.second.record.speakState == 2; });
    return config_.speakerLimit == 0 || speakers < config_.speakerLimit;
}

bool Conference::BroadcastRoomLeft() const {
    int broadcast = 0;
    for (const auto& [id, who] : participants_) {
        // Camera channels only: channel 7 carries shared media.
        broadcast += std::popcount(static_cast<unsigned>(who.record.broadcastMask & 0x7F));
    }
    return config_.speakerLimit == 0 || broadcast < config_.speakerLimit;
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
        if (!SpeakerRoomLeft()) {
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
    } else if (!DigestMatches(message.oldDigest, account->Digest())) {
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
    const uint8_t channel = ChannelOf(message.mediaId);
    if (!owner) {
        answer.result = kResultUserAbsent;
    } else if (!ChannelOpen(*owner, channel)) {
        answer.result = kResultNoChannel;
    } else {
        answer.value = StreamValue(message.mediaId);
        videoRequests_[message.mediaId].insert(who.record.userId);
    }
    SendTo(who, EncodeFrame(answer));
    if (answer.result == 0) {
        RightsChanged();
    }
}

void Conference::OnBroadcastVideo(Participant& who, const MsgBroadcastVideo& message) {
    MsgBroadcastState state;
    state.mediaId = message.id;
    state.on = message.value ? 1 : 0;
    Participant* owner = Find(message.id);
    const uint8_t channel = ChannelOf(message.id);
    if (!owner) {
        state.result = kResultUserAbsent;
    } else if (owner != &who && !IsChair(who)) {
        state.result = kResultRefused;
    } else if (channel != kMediaChannel && !(owner->record.channelMask & (1u << channel))) {
        state.result = kResultNoChannel;
    }
    const uint8_t bit = static_cast<uint8_t>(1u << channel);
    // A broadcast paused with its camera may be ended: it then stays off when the camera
    // comes back.
    if (state.result == kResultNoChannel && !state.on && (owner->pausedBroadcast & bit) != 0) {
        owner->pausedBroadcast = static_cast<uint8_t>(owner->pausedBroadcast & ~bit);
        state.result = 0;
        Broadcast(state);
        return;
    }
    if (state.result != 0) {
        SendTo(who, EncodeFrame(state));
        return;
    }
    owner->record.broadcastMask = static_cast<uint8_t>(
        state.on ? (owner->record.broadcastMask | bit) : (owner->record.broadcastMask & ~bit));
    state.value = StreamValue(message.id);
    Broadcast(state);
    RightsChanged();
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

}  // namespace yav::server
