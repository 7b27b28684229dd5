// The room's shared state: participants and how they are reached, the state changes every
// participant is told about, and the timed notices.
#include "Conference.h"

#include "platform/core/Log.h"

namespace yav::server {

using namespace yav::proto;

Conference::Conference(const ConferenceConfig& config, ServerConfig& server)
    : config_(config), server_(server) {}

bool Conference::IsChair(const Participant& who) const {
    return HasSenderRole(who.record, SenderRole::Chair);
}

bool Conference::IsPrivileged(const Participant& who) const {
    return HasSenderRole(who.record, SenderRole::ChairOrPresenter);
}

Conference::Participant* Conference::Find(uint16_t userId) {
    auto it = participants_.find(UserOf(userId));
    return it == participants_.end() ? nullptr : &it->second;
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

void Conference::SetAttr(uint16_t offset, std::span<const uint8_t> data, uint8_t notify) {
    if (offset + data.size() > sizeof roomAttr_) {
        return;
    }
    std::memcpy(roomAttr_ + offset, data.data(), data.size());
    const bool speakingMode =
        offset <= ROOM_ATTR_CONF_FLAG && ROOM_ATTR_CONF_FLAG < offset + data.size();
    MsgRoomAttr message;
    message.offset = offset;
    message.notify = notify ? 1 : 0;
    message.data.assign(data.begin(), data.end());
    Broadcast(message);
    if (speakingMode) {
        RightsChanged();
    }
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
    RightsChanged();
}

void Conference::StopRecording(uint8_t reason) {
    recordingUser_ = 0;
    const uint8_t value = static_cast<uint8_t>(reason << 1);
    SetAttr(ROOM_ATTR_SERVER_RECORD, std::span<const uint8_t>(&value, 1), 1);
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
