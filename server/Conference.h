#pragma once
// One conference room of the conference server: its participants, room attributes, roles,
// speakers and presenter, and every event the clients' queues expect. Runs on the server's
// single I/O thread; participants are reached through their links.

#include <array>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "Link.h"
#include "MediaGate.h"
#include "Messages.h"
#include "ServerConfig.h"

namespace yav::server {

class Conference {
public:
    using Clock = std::chrono::steady_clock;

    Conference(const ConferenceConfig& config, ServerConfig& server);

    // Admits a logged-in connection; 0 and the snapshot sent, or a refusal code (nothing
    // sent). userId receives the new participant's id.
    int32_t Join(const std::shared_ptr<proto::Link>& link, const proto::MsgLoginRequest& request,
                 uint16_t& userId);
    // The participant's connection ended or it logged out: everybody else is told.
    void Leave(uint16_t userId, const char* why);
    // A request frame of a participant (already past login).
    void Handle(uint16_t userId, const proto::Frame& frame);
    // Timed notices (duration, quota); called about once a second.
    void Tick(Clock::time_point now);

    // The media relay's questions (see MediaGate).
    relay::HelloResult MediaAdmit(const MediaTicket& ticket, uint16_t mediaId) const;
    bool MediaMaySend(uint16_t mediaId, relay::Kind kind) const;
    bool MediaMayReceive(uint16_t mediaId, relay::Kind kind, uint16_t receiverMediaId) const;
    // Told of every participant that leaves (logout, loss, kick, quota), after the leave.
    void SetLeaveObserver(std::function<void(uint32_t confId, uint16_t userId)> observer) {
        leaveObserver_ = std::move(observer);
    }
    // Told whenever what a participant may receive of another may have changed (speaking,
    // groups, the speaking mode, broadcasts, grants, channels, a leave).
    void SetRightsObserver(std::function<void(uint32_t confId)> observer) {
        rightsObserver_ = std::move(observer);
    }

    bool Empty() const { return participants_.empty(); }
    size_t ParticipantCount() const { return participants_.size(); }
    uint32_t ConfId() const { return config_.confId; }
    const ConferenceConfig& Config() const { return config_; }
    uint16_t OnlineCount() const { return static_cast<uint16_t>(participants_.size()); }

private:
    // The channel a file source or shared media is sent on; it carries video only while
    // broadcast.
    static constexpr uint8_t kMediaChannel = 7;
    // The conference mode byte of a room where everybody may speak; the entry's floor and
    // camera broadcast are given only then (a moderated room leaves both to the chair).
    static constexpr uint8_t kOpenDiscussion = 0;
    static constexpr uint8_t kVideoChannels = 0x7F;  // the camera channels 0..6

    struct Participant {
        std::shared_ptr<proto::Link> link;
        ST_USER_ITEM_DEPT record;
        std::string login;  // account login; empty for a guest
        uint32_t ownerId = 0;
        std::array<uint8_t, proto::kMediaTicketBytes> mediaTicket{};  // random, from the login
        // The camera broadcast of the entry was made (or the limit left no room for it).
        bool entryBroadcastDone = false;
        // Broadcast channels whose camera is off: broadcast again when it comes back.
        uint8_t pausedBroadcast = 0;
    };

    // Whether the owner's channel carries video now (channel 7: while broadcast).
    static bool ChannelOpen(const Participant& owner, uint8_t channel);
    // Whether the receiver may hear the sender's microphone now.
    bool MayHear(const Participant& sender, const Participant& receiver) const;
    void RightsChanged();
    bool IsPrivileged(const Participant& who) const;  // chair kinds or presenter
    bool IsChair(const Participant& who) const;       // chair kinds
    Participant* Find(uint16_t userId);
    uint16_t NextUserId();
    ST_CONF_LOGIN_INFO LoginInfoFor(const Participant& who) const;
    ST_CONF_APPINFO AppInfo() const;
    ST_CONF_EXTRA Extra(Clock::time_point now) const;

    void SendTo(Participant& who, proto::Bytes frame);
    void SendAll(const proto::Bytes& frame, uint16_t exceptUserId = 0);
    template <class Message>
    void Broadcast(const Message& message, uint16_t exceptUserId = 0) {
        SendAll(proto::EncodeFrame(message), exceptUserId);
    }
    void BroadcastRecord(const Participant& who);
    void SetAttr(uint16_t offset, std::span<const uint8_t> data, uint8_t notify);
    void SetKind(Participant& who, uint8_t kind);
    void SetPresenterState(Participant& who, uint8_t state);
    void SetSpeakState(Participant& who, uint8_t state);
    // Whether one more speaker, or one more broadcast camera channel, stays within the limit.
    bool SpeakerRoomLeft() const;
    bool BroadcastRoomLeft() const;
    // The entry's camera broadcast, once the participant's options name a camera channel.
    void BroadcastOnEntry(Participant& who);
    void StopRecording(uint8_t reason);

    void OnSetConfOptions(Participant& who, const proto::MsgSetConfOptions& message);
    void OnSetPresenter(Participant& who, const proto::MsgSetPresenter& message);
    void OnAwardSpeak(Participant& who, const proto::MsgAwardSpeak& message);
    void OnApplyChair(Participant& who, const proto::MsgApplyChair& message);
    void OnModifyPassword(Participant& who, const proto::MsgModifyPassword& message);
    void OnKickUser(Participant& who, const proto::MsgKickUser& message);
    void OnRequestVideo(Participant& who, const proto::MsgRequestVideo& message);
    void OnBroadcastVideo(Participant& who, const proto::MsgBroadcastVideo& message);
    void OnTransmit(Participant& who, const proto::MsgTransmit& message);
    void OnSetUserAttribute(Participant& who, const proto::MsgSetUserAttribute& message);
    // Whether who may make the write at offset into the share records (logged when not).
    bool ShareWriteAllowed(const Participant& who, uint16_t offset,
                           std::span<const uint8_t> data) const;
    void OnSetUserData(Participant& who, const proto::MsgSetUserData& message);
    void OnRollCall(Participant& who, const proto::MsgRollCallRequest& message);
    void OnSetTempAdmin(Participant& who, const proto::MsgSetTempAdmin& message);
    void OnSetServerRecord(Participant& who, const proto::MsgSetServerRecord& message);

    ConferenceConfig config_;
    ServerConfig& server_;
    std::function<void(uint32_t, uint16_t)> leaveObserver_;
    std::function<void(uint32_t)> rightsObserver_;
    std::map<uint16_t, Participant> participants_;  // by user id
    std::vector<uint16_t> joinOrder_;
    uint16_t lastUserId_ = 0;
    uint8_t roomAttr_[ST_CONF_LOGIN_INFO::kRoomAttrSize]{};
    bool locked_ = false;
    uint8_t conferenceMode_ = 0;
    uint16_t recordingUser_ = 0;
    // Who asked for which media id (to tell them when the channel closes).
    std::map<uint16_t, std::set<uint16_t>> videoRequests_;
    Clock::time_point startedAt_{};
    Clock::time_point nextDurationNotice_{};
    Clock::time_point lastTick_{};
    std::chrono::milliseconds quotaUsed_{0};
    bool quotaWarned_ = false;
    bool quotaClosed_ = false;
};

}  // namespace yav::server
