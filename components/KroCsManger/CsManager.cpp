#include "CsManager.h"

#include <cstring>

#include "Messages.h"
#include "RecordCodec.h"
#include "platform/core/AltSignalStack.h"
#include "platform/core/Log.h"
#include "platform/core/TextCodec.h"

using namespace yav::proto;

namespace {

constexpr auto kConnectTimeout = std::chrono::seconds(5);

std::string Utf16Text(const char16_t* text, size_t maxUnits) {
    return yav::text::Utf16ToUtf8(FieldText16(text, maxUnits));
}

}  // namespace

CsManager::CsManager()
    : work_(asio::make_work_guard(io_)),
      client_(io_, Service::ConferenceServer, "KroCsManger"),
      watchTimer_(io_),
      users_(*this) {
    client_.SetEventHandler([this](Frame& frame) { OnEvent(frame); });
    client_.SetClosedHandler([this](const std::string& reason) { OnConnectionClosed(reason); });
    thread_ = std::thread([this] {
        const yav::AltSignalStack signalStack;
        io_.run();
    });
}

CsManager::~CsManager() {
    client_.Close();
    asio::post(io_, [this] { watchTimer_.cancel(); });
    work_.reset();
    io_.stop();
    if (thread_.joinable()) {
        thread_.join();
    }
}

void CsManager::SetCsHandler(ICsHandler* handler) {
    handler_ = handler;
}

ICsUserManager* CsManager::GetUserManager() {
    return everLoggedIn_ ? &users_ : nullptr;
}

void CsManager::GetConfLoginInfo(ST_CONF_LOGIN_INFO* out) {
    if (!out) {
        return;
    }
    std::lock_guard guard(stateLock_);
    *out = loginInfo_;
}

const ST_CONF_APPINFO* CsManager::GetAppInfo() {
    return &appInfo_;
}

CSafeQueue* CsManager::GetMsgQueue() {
    return &queue_;
}

static_assert(kMediaTicketBytes == 16, "the ticket of the interface is the one on the wire");

std::array<uint8_t, 16> CsManager::GetMediaTicket() {
    std::lock_guard guard(stateLock_);
    return mediaTicket_;
}

uint16_t CsManager::GetRequiredVersion() {
    return requiredVersion_;
}

void CsManager::GetConfExtra(ST_CONF_EXTRA* out) {
    if (!out) {
        return;
    }
    std::lock_guard guard(stateLock_);
    *out = extra_;
    if (loggedIn_) {
        out->elapsedSeconds +=
            static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::seconds>(
                                      std::chrono::steady_clock::now() - extraAt_)
                                      .count());
    }
}

bool CsManager::ApplyLogin(const Frame& frame) {
    auto response = DecodeBody<MsgLoginResponse>(frame.body);
    if (!response) {
        YLOG_WARN("KroCsManger: malformed login answer (%zu bytes)", frame.body.size());
        return false;
    }
    if (response->result != 0) {
        return true;
    }
    // Applied on the I/O thread before any later event, so the snapshot and the events that
    // follow it never cross.
    {
        std::lock_guard guard(stateLock_);
        loginInfo_ = response->loginInfo;
        appInfo_ = response->appInfo;
        extra_ = response->extra;
        mediaTicket_ = response->mediaTicket;
        extraAt_ = std::chrono::steady_clock::now();
    }
    users_.Reset(response->users);
    queue_.Clear();
    leaving_ = false;
    loggedIn_ = true;
    everLoggedIn_ = true;
    return true;
}

int32_t CsManager::Login(const char* server, uint16_t port, uint32_t confId, const char* name,
                         const char* passwordDigest, uint8_t mode) {
    std::lock_guard call(callLock_);
    loggedIn_ = false;
    users_.Clear();
    const std::string host(FieldText(server, 64));
    const int32_t connected = client_.Connect(host, port, kConnectTimeout);
    if (connected != 0) {
        YLOG_WARN("KroCsManger: cannot reach conference server %s:%u (%d)", host.c_str(), port,
                  connected);
        return connected;
    }
    MsgLoginRequest request;
    request.confId = confId;
    request.name = std::string(yav::text::TruncateGbk(FieldText(name, 256), kMaxNameBytes));
    request.passwordDigest = FieldText(passwordDigest, kMaxDigestBytes);
    request.mode = mode;
    request.clientVersion = kClientVersion;
    bool wellFormed = true;
    auto answer = client_.Call(EncodeFrame(request), MsgType::LoginResponse, answerTimeout_,
                               [this, &wellFormed](const Frame& frame) {
                                   wellFormed =
                                       frame.type == MsgType::LoginResponse && ApplyLogin(frame);
                               });
    if (!answer) {
        // Nothing of a late answer is applied: the call dropped it, and closing ends the
        // server's side of this login too.
        YLOG_WARN("KroCsManger: no login answer from %s:%u within %lld ms", host.c_str(), port,
                  static_cast<long long>(answerTimeout_.count()));
        client_.Close();
        return CS_ERR_TIMEOUT;
    }
    if (!wellFormed) {
        client_.Close();
        return ERR_PROTOCOL;
    }
    auto response = DecodeBody<MsgLoginResponse>(answer->body);
    if (response->result != 0) {
        requiredVersion_ = response->requiredVersion;
        YLOG_INFO("KroCsManger: login to conference %u refused with 0x%x", confId,
                  static_cast<unsigned>(response->result));
        client_.Close();
        return response->result;
    }
    asio::post(io_, [this] {
        linkLate_ = false;
        WatchLink();
    });
    YLOG_INFO("KroCsManger: logged in to conference %u as user %u with %zu participants", confId,
              response->loginInfo.userId, response->users.size());
    return CS_LOGIN_OK;
}

void CsManager::Logout() {
    if (loggedIn_) {
        client_.Send(EncodeFrame(MsgLogout{}));
    }
    loggedIn_ = false;
    client_.Close();
    queue_.Clear();
}

int32_t CsManager::QueryUpgradeInfo(KroGuid clientGuid, const char* server, uint16_t port,
                                    const char* clientVersion, std::string* serverVersion,
                                    std::string* zipMd5, std::string* downloadUrl,
                                    std::vector<ST_UPGRADE_SERVER>* servers) {
    // An own short connection: the upgrade check runs before (and beside) the login.
    RequestClient query(io_, Service::ConferenceServer, "KroCsManger upgrade");
    const int32_t connected =
        query.Connect(std::string(FieldText(server, 64)), port, kConnectTimeout);
    if (connected != 0) {
        return connected == -2 ? -2 : -1;
    }
    MsgUpgradeQuery request;
    request.clientGuid = clientGuid;
    request.clientVersion = FieldText(clientVersion, kMaxTextBytes);
    auto answer = query.Call(EncodeFrame(request), MsgType::UpgradeInfo, answerTimeout_);
    query.Close();
    if (!answer) {
        return -2;
    }
    auto info = DecodeBody<MsgUpgradeInfo>(answer->body);
    if (!info) {
        YLOG_WARN("KroCsManger: malformed upgrade answer");
        return -2;
    }
    if (info->result < 0) {
        return info->result;
    }
    if (serverVersion)
        *serverVersion = info->serverVersion;
    if (zipMd5)
        *zipMd5 = info->zipMd5;
    if (downloadUrl)
        *downloadUrl = info->downloadUrl;
    if (servers)
        *servers = info->servers;
    return static_cast<int32_t>(info->servers.size());
}

template <class Message>
void CsManager::SendRequest(const Message& message) {
    if (!loggedIn_) {
        YLOG_DEBUG("KroCsManger: %s dropped, not logged in", MsgTypeName(Message::kType));
        return;
    }
    client_.Send(EncodeFrame(message));
}

void CsManager::SetConfOptions(uint8_t audioDevice, uint8_t channelMask, uint8_t channelCount,
                               uint8_t value85, uint8_t micCount, uint8_t reserved) {
    MsgSetConfOptions message;
    message.values = {audioDevice, channelMask, channelCount, value85, micCount, reserved};
    SendRequest(message);
}

void CsManager::ApplyPresenter() {
    SendRequest(MsgApplyPresenter{});
}

void CsManager::CancelPresenterApply() {
    SendRequest(MsgCancelPresenterApply{});
}

void CsManager::SetPresenter(uint16_t userId, uint8_t on) {
    SendRequest(MsgSetPresenter{userId, on});
}

void CsManager::ApplySpeak(uint8_t apply) {
    SendRequest(MsgApplySpeak{apply});
}

void CsManager::AwardSpeek(uint16_t userId, uint8_t status) {
    SendRequest(MsgAwardSpeak{userId, status});
}

void CsManager::ApplyChair(const char* password) {
    MsgApplyChair message;
    message.password = FieldText(password, kMaxDigestBytes);
    SendRequest(message);
}

void CsManager::GiveUpChair() {
    SendRequest(MsgGiveUpChair{});
}

void CsManager::ModifyPassword(const char* name, const char* oldDigest, const char* newDigest,
                               const char* confirmDigest) {
    MsgModifyPassword message;
    message.name = std::string(yav::text::TruncateGbk(FieldText(name, 256), kMaxNameBytes));
    message.oldDigest = FieldText(oldDigest, kMaxDigestBytes);
    message.newDigest = FieldText(newDigest, kMaxDigestBytes);
    message.confirmDigest = FieldText(confirmDigest, kMaxDigestBytes);
    SendRequest(message);
}

void CsManager::SetConfSetting(uint32_t value) {
    SendRequest(MsgSetConfSetting{value});
}

void CsManager::KickUser(uint16_t userId, uint16_t reason, const char* text) {
    MsgKickUser message;
    message.userId = userId;
    message.reason = reason;
    message.text = std::string(yav::text::TruncateGbk(FieldText(text, 1024), kMaxTextBytes));
    SendRequest(message);
}

void CsManager::RequestVideo(uint16_t mediaId) {
    SendRequest(MsgRequestVideo{mediaId});
}

void CsManager::BroadcastVideo(uint16_t mediaId, uint8_t on) {
    SendRequest(MsgBroadcastVideo{mediaId, on});
}

void CsManager::SetConfSettingByte(uint8_t value) {
    SendRequest(MsgSetConfSettingByte{value});
}

void CsManager::Transmit(uint16_t to, uint16_t subCommand, const void* data, uint16_t length) {
    MsgTransmit message;
    message.to = to;
    message.subCommand = subCommand;
    if (data && length > 0) {
        const auto* bytes = static_cast<const uint8_t*>(data);
        message.payload.assign(bytes, bytes + length);
    }
    SendRequest(message);
}

void CsManager::SetUserAttribute(uint16_t offset, uint16_t length, const void* data,
                                 uint8_t notify) {
    if (!data || length == 0 || offset + length > ST_CONF_LOGIN_INFO::kRoomAttrSize) {
        YLOG_WARN("KroCsManger: room attribute write %u+%u out of range", offset, length);
        return;
    }
    MsgSetUserAttribute message;
    message.offset = offset;
    message.notify = notify;
    const auto* bytes = static_cast<const uint8_t*>(data);
    message.data.assign(bytes, bytes + length);
    SendRequest(message);
}

void CsManager::SetUserData(uint16_t userId, uint16_t offset, uint16_t length, const void* data,
                            uint8_t) {
    if (!data || length == 0 || offset + length > ST_USER_PRIVATEDATA::kSize) {
        YLOG_WARN("KroCsManger: private data write %u+%u out of range", offset, length);
        return;
    }
    MsgSetUserData message;
    message.userId = userId;
    message.offset = offset;
    const auto* bytes = static_cast<const uint8_t*>(data);
    message.data.assign(bytes, bytes + length);
    SendRequest(message);
}

int32_t CsManager::RollCallRequest(const char16_t* name, const char16_t* password, uint32_t confId,
                                   const ST_ROLLCALL_ITEM** rows, uint32_t* count) {
    if (count)
        *count = 0;
    if (rows)
        *rows = nullptr;
    if (!loggedIn_) {
        return -1;
    }
    std::lock_guard call(callLock_);
    MsgRollCallRequest request;
    request.name = std::string(yav::text::TruncateUtf8(Utf16Text(name, 64), kMaxTextBytes));
    request.password = std::string(yav::text::TruncateUtf8(Utf16Text(password, 32), kMaxTextBytes));
    request.confId = confId;
    auto answer = client_.Call(EncodeFrame(request), MsgType::RollCallResponse, answerTimeout_);
    if (!answer) {
        return -1;
    }
    auto response = DecodeBody<MsgRollCallResponse>(answer->body);
    if (!response) {
        YLOG_WARN("KroCsManger: malformed roll call answer");
        return -1;
    }
    if (response->result != 0) {
        return response->result;
    }
    rollCall_ = std::move(response->rows);
    if (rows)
        *rows = rollCall_.data();
    if (count)
        *count = static_cast<uint32_t>(rollCall_.size());
    return 0;
}

void CsManager::SetTempAdmin(uint16_t userId, uint8_t on) {
    SendRequest(MsgSetTempAdmin{userId, on});
}

void CsManager::SetServerRecord(uint32_t on) {
    SendRequest(MsgSetServerRecord{on});
}

void CsManager::GetConfDuration() {
    SendRequest(MsgConfDurationAck{});
}

void CsManager::Push(uint32_t type, uint32_t data) {
    ST_CS_MSG message;
    message.type = type;
    message.data = data;
    queue_.Push(std::move(message));
}

void CsManager::OnEvent(Frame& frame) {
    if (frame.type == MsgType::Shutdown) {
        YLOG_INFO("KroCsManger: the conference server is shutting down");
        if (ICsHandler* handler = handler_) {
            handler->OnNotice11();
        }
        return;
    }
    if (!loggedIn_) {
        return;
    }
    const auto malformed = [&] {
        YLOG_WARN("KroCsManger: malformed %s (%zu bytes) from the server, dropping the connection",
                  MsgTypeName(frame.type), frame.body.size());
        client_.Close();
        OnConnectionClosed("malformed event");
    };
    ST_CS_MSG item;
    switch (frame.type) {
        case MsgType::UsersJoined:
        case MsgType::UsersChanged: {
            std::optional<std::vector<ST_USER_ITEM_DEPT>> users;
            if (frame.type == MsgType::UsersJoined) {
                if (auto joined = DecodeBody<MsgUsersJoined>(frame.body)) {
                    users = std::move(joined->users);
                }
            } else if (auto changed = DecodeBody<MsgUsersChanged>(frame.body)) {
                users = std::move(changed->users);
            }
            if (!users) {
                return malformed();
            }
            for (const auto& user : *users) {
                users_.Upsert(user);
            }
            item.type =
                frame.type == MsgType::UsersJoined ? CS_MSG_USER_JOIN : CS_MSG_USER_INFO_CHANGED;
            item.payload = CsUserList(std::move(*users));
            break;
        }
        case MsgType::UsersLeft: {
            auto left = DecodeBody<MsgUsersLeft>(frame.body);
            if (!left) {
                return malformed();
            }
            CsLeaveList leaves;
            for (const auto& user : left->users) {
                leaves.push_back({user.userId, user.departmentId, user.kind});
            }
            item.type = CS_MSG_USER_LEAVE;
            item.payload = std::move(leaves);
            break;
        }
        case MsgType::LeadingStatus: {
            auto status = DecodeBody<MsgLeadingStatus>(frame.body);
            if (!status) {
                return malformed();
            }
            users_.Update(status->userId,
                          [&](ST_USER_ITEM_DEPT& user) { user.presenterState = status->newState; });
            {
                std::lock_guard guard(stateLock_);
                if (status->userId == loginInfo_.userId) {
                    loginInfo_.presenterState = status->newState;
                }
            }
            item.type = CS_MSG_LEADING_STATUS;
            item.payload = CsLeadingStatus{status->userId, status->newState, status->oldState};
            break;
        }
        case MsgType::UserKind: {
            auto kind = DecodeBody<MsgUserKind>(frame.body);
            if (!kind) {
                return malformed();
            }
            users_.Update(kind->userId, [&](ST_USER_ITEM_DEPT& user) { user.kind = kind->kind; });
            {
                std::lock_guard guard(stateLock_);
                if (kind->userId == loginInfo_.userId) {
                    loginInfo_.kind = kind->kind;
                }
            }
            item.type = CS_MSG_USER_ATTR_CHANGED;
            item.payload = CsUserAttr{kind->userId, kind->departmentId, kind->kind};
            break;
        }
        case MsgType::AudioStatus: {
            auto audio = DecodeBody<MsgAudioStatus>(frame.body);
            if (!audio) {
                return malformed();
            }
            users_.Update(audio->userId,
                          [&](ST_USER_ITEM_DEPT& user) { user.speakState = audio->status; });
            item.type = CS_MSG_USER_AUDIO_STATUS;
            item.payload =
                CsUserAudioStatus{audio->userId, audio->status, audio->previous, audio->value};
            break;
        }
        case MsgType::BroadcastState: {
            auto state = DecodeBody<MsgBroadcastState>(frame.body);
            if (!state) {
                return malformed();
            }
            if (state->result == 0) {
                const uint8_t bit = static_cast<uint8_t>(1u << ChannelOf(state->mediaId));
                users_.Update(state->mediaId, [&](ST_USER_ITEM_DEPT& user) {
                    user.broadcastMask = static_cast<uint8_t>(
                        state->on ? (user.broadcastMask | bit) : (user.broadcastMask & ~bit));
                });
            }
            item.type = CS_MSG_BROADCAST_VIDEO;
            item.payload = CsBroadcastVideo{state->mediaId, state->result, state->on, state->value};
            break;
        }
        case MsgType::VideoOpenResult: {
            auto result = DecodeBody<MsgVideoOpenResult>(frame.body);
            if (!result) {
                return malformed();
            }
            item.type = CS_MSG_VIDEO_OPEN_RESULT;
            item.payload = CsVideoOpenResult{result->mediaId, result->result, result->value};
            break;
        }
        case MsgType::RoomAttr: {
            auto attr = DecodeBody<MsgRoomAttr>(frame.body);
            if (!attr) {
                return malformed();
            }
            {
                std::lock_guard guard(stateLock_);
                std::memcpy(loginInfo_.roomAttr + attr->offset, attr->data.data(),
                            attr->data.size());
            }
            if (attr->notify) {
                item.type = CS_MSG_CONF_ATTR_CHANGED;
                item.payload = CsConfAttrChange{attr->offset, std::move(attr->data)};
            } else {
                item.type = CS_MSG_CONF_ATTR_SILENT;
            }
            break;
        }
        case MsgType::PrivateData: {
            auto update = DecodeBody<MsgPrivateData>(frame.body);
            if (!update) {
                return malformed();
            }
            users_.Update(update->userId, [&](ST_USER_ITEM_DEPT& user) {
                Bytes bytes = EncodeRecord(user.privateData);
                std::memcpy(bytes.data() + update->offset, update->data.data(),
                            update->data.size());
                user.privateData = *DecodeRecord<ST_USER_PRIVATEDATA>(bytes);
            });
            item.type = CS_MSG_PRIVATE_DATA_CHANGED;
            item.data = update->userId;
            break;
        }
        case MsgType::Relay: {
            auto relay = DecodeBody<MsgRelay>(frame.body);
            if (!relay) {
                return malformed();
            }
            item.type = CS_MSG_TRANSMIT;
            item.payload =
                CsTransmit{relay->to, relay->from, relay->subCommand, std::move(relay->payload)};
            break;
        }
        case MsgType::Notice: {
            auto notice = DecodeBody<MsgNotice>(frame.body);
            if (!notice) {
                return malformed();
            }
            item.type = static_cast<uint32_t>(notice->code);
            item.data = notice->value;
            if (notice->code == NoticeCode::ForceExit) {
                // The connection ends next; that is not a loss to reconnect from.
                leaving_ = true;
            } else if (notice->code == NoticeCode::ConfLock) {
                std::lock_guard guard(stateLock_);
                loginInfo_.statusByte = notice->value ? 1 : 0;
            } else if (notice->code == NoticeCode::ConfMode) {
                std::lock_guard guard(stateLock_);
                appInfo_.conferenceMode = static_cast<uint8_t>(notice->value);
            }
            break;
        }
        case MsgType::ServerNotice: {
            auto notice = DecodeBody<MsgServerNotice>(frame.body);
            if (!notice) {
                return malformed();
            }
            if (notice->kind == 3) {
                leaving_ = true;
            }
            item.type = CS_MSG_SERVER_NOTICE;
            item.payload = CsServerNotice{notice->kind, notice->a, notice->b, notice->c, notice->d};
            break;
        }
        case MsgType::ConfExtra: {
            auto extra = DecodeBody<MsgConfExtra>(frame.body);
            if (!extra) {
                return malformed();
            }
            std::lock_guard guard(stateLock_);
            extra_ = extra->extra;
            extraAt_ = std::chrono::steady_clock::now();
            return;
        }
        default:
            YLOG_WARN(
                "KroCsManger: unexpected %s (0x%04x) from the server, dropping the connection",
                MsgTypeName(frame.type), static_cast<unsigned>(frame.type));
            client_.Close();
            OnConnectionClosed("unexpected message");
            return;
    }
    queue_.Push(std::move(item));
}

void CsManager::OnConnectionClosed(const std::string& reason) {
    watchTimer_.cancel();
    if (!loggedIn_.exchange(false)) {
        return;
    }
    if (leaving_) {
        YLOG_INFO("KroCsManger: the server ended the stay (%s)", reason.c_str());
        return;
    }
    YLOG_WARN("KroCsManger: connection to the conference server lost (%s)", reason.c_str());
    Push(CS_MSG_CONNECTION_LOST, 0);
}

void CsManager::WatchLink() {
    // Tells the handler when the server falls silent for two heartbeat periods, and when
    // it speaks again (the link may still recover before the time-out).
    const auto period = client_.Heartbeat();
    if (!loggedIn_ || period.count() <= 0) {
        return;
    }
    const bool late = client_.Silence() > 2 * period;
    if (late != linkLate_) {
        linkLate_ = late;
        if (ICsHandler* handler = handler_) {
            handler->OnNotice12(late ? 1 : 0);
        }
    }
    watchTimer_.expires_after(period / 2);
    watchTimer_.async_wait([this](const asio::error_code& error) {
        if (!error) {
            WatchLink();
        }
    });
}
