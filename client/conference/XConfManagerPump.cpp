// The conference-server message pump: drains the component's queue on the UI thread and
// turns each item into one call of the main frame's handlers or of this object.

#include <algorithm>
#include <limits>
#include <type_traits>

#include "client/conference/IMainFrame.h"
#include "client/conference/XConfManager.h"
#include "client/config/ConfigManger.h"
#include "client/config/LangFormat.h"
#include "platform/core/Log.h"

namespace {

constexpr int kBoxTypeNotice = 18;
constexpr int kBoxTypeMeetingTime = 23;
constexpr int kMeetingTimeCountdown = 60;
constexpr int kQuotaUsedUpCountdown = 3;

// The payload of an item, or null (with a log line) when the item does not carry the record
// its type announces.
template <typename Record>
Record* PayloadOf(ST_CS_MSG& message) {
    Record* record = std::get_if<Record>(&message.payload);
    if (record == nullptr) {
        YLOG_WARN("cs message type=0x%x without its record, skipped", message.type);
    }
    return record;
}

}  // namespace

// Boxes raised from here are shown without waiting (IMainFrame::ShowPopMsg): the pump returns
// at once, timer 2 keeps firing while a box is open, and a connection loss queued meanwhile is
// still reported. A nested call (a handler that runs an event loop of its own) takes nothing,
// so no handler is entered again before it has returned.
int XConfManager::ProcessCsMessage() {
    if (m_pMsgQueue == nullptr) {
        return -1;
    }
    if (m_bPumping) {
        return 0;
    }
    m_bPumping = true;
    int result = 0;
    ST_CS_MSG message;
    while (m_pMsgQueue != nullptr && m_pMsgQueue->Pop(message)) {
        YLOG_DEBUG("获取一个cs消息 type=0x%x", message.type);
        if (message.type == CS_MSG_CONNECTION_LOST) {
            result = -1;
        } else {
            Dispatch(message);
        }
        YLOG_DEBUG("处理结束一个cs消息 type=0x%x", message.type);
        if (result < 0) {
            break;
        }
    }
    m_bPumping = false;
    return result;
}

void XConfManager::Dispatch(ST_CS_MSG& message) {
    ICsHandler* cs = m_pCsHandler;
    IUserHandler* user = m_pUserHandler;
    switch (message.type) {
        case CS_MSG_SYSTEM_MESSAGE:
            if (cs != nullptr) {
                cs->OnSystemMessage(message.data);
            }
            break;
        case CS_MSG_FORCE_EXIT:
            if (cs != nullptr) {
                cs->OnForceExit(static_cast<std::uint16_t>(message.data & 0xFFFFu), 0);
            }
            break;
        case CS_MSG_VIDEO_OPEN_RESULT:
            if (auto* record = PayloadOf<CsVideoOpenResult>(message); record && cs) {
                cs->OnVideoOpenResult(record->mediaId, record->result, record->value);
            }
            break;
        case CS_MSG_CONF_ATTR_CHANGED: {
            RefreshConfInfo();
            auto* record = PayloadOf<CsConfAttrChange>(message);
            if (record == nullptr) {
                break;
            }
            // The handler reads `length` bytes at `offset` of the room attributes: both must
            // lie inside them.
            const size_t end = size_t{record->offset} + record->bytes.size();
            if (end > ST_CONF_LOGIN_INFO::kRoomAttrSize) {
                YLOG_WARN("room-attribute change %u+%zu beyond the attributes, skipped",
                          record->offset, record->bytes.size());
                break;
            }
            if (cs != nullptr) {
                cs->OnConfAttrChanged(record->offset,
                                      static_cast<std::uint16_t>(record->bytes.size()),
                                      record->bytes.data());
            }
            break;
        }
        case CS_MSG_PRIVATE_DATA_CHANGED:
            if ((message.data & 0xFFFFu) == GetMyUserId()) {
                RefreshMyRecords();
            }
            break;
        case CS_MSG_CONF_STATE_UPDATE:
            if (cs != nullptr) {
                cs->OnConfStateUpdate(message.data);
            }
            break;
        case CS_MSG_RECORD_NOTICE:
            if (cs != nullptr) {
                cs->OnNotice13(message.data);
            }
            break;
        case CS_MSG_USER_INFO_CHANGED:
        case CS_MSG_USER_JOIN:
            if (auto* list = PayloadOf<CsUserList>(message); list && user) {
                for (ST_USER_ITEM_DEPT& record : *list) {
                    if (message.type == CS_MSG_USER_JOIN) {
                        user->OnUserJoin(&record);
                    } else {
                        user->OnUserInfoChanged(&record);
                    }
                }
            }
            break;
        case CS_MSG_LEADING_STATUS:
            RefreshConfInfo();
            if (auto* record = PayloadOf<CsLeadingStatus>(message); record && user) {
                user->HandleLeadingStatus(record->userId, record->newState, record->oldState);
            }
            break;
        case CS_MSG_USER_ATTR_CHANGED:
            RefreshConfInfo();
            if (auto* record = PayloadOf<CsUserAttr>(message)) {
                if (user != nullptr) {
                    user->OnUserAttrChanged(record->userId, record->departmentId, record->kind);
                }
                RefreshMyRecords();
            }
            break;
        case CS_MSG_CONF_LOCK:
            RefreshConfInfo();
            if (cs != nullptr) {
                cs->OnTextMessage(message.data);
            }
            break;
        case CS_MSG_TRANSMIT:
            if (auto* record = PayloadOf<CsTransmit>(message)) {
                if (record->payload.size() > std::numeric_limits<std::uint16_t>::max()) {
                    YLOG_WARN("user-to-user block of %zu bytes, skipped", record->payload.size());
                    break;
                }
                if (cs != nullptr) {
                    cs->OnTransmit(record->to, record->from, record->subCommand,
                                   record->payload.data(),
                                   static_cast<std::uint16_t>(record->payload.size()));
                }
            }
            break;
        case CS_MSG_USER_LEAVE:
            if (auto* list = PayloadOf<CsLeaveList>(message)) {
                for (const CsLeaveItem& item : *list) {
                    if (user != nullptr) {
                        user->OnUserLeave(item.userId, item.departmentId, item.kind);
                    }
                    if (m_pUserManager != nullptr) {
                        m_pUserManager->RemoveUser(item.userId);
                    }
                }
            }
            break;
        case CS_MSG_BROADCAST_VIDEO:
            if (auto* record = PayloadOf<CsBroadcastVideo>(message); record && cs) {
                cs->HandleBroadcastVideo(record->mediaId, record->result, record->on,
                                         record->value);
            }
            break;
        case CS_MSG_USER_AUDIO_STATUS:
            if (auto* record = PayloadOf<CsUserAudioStatus>(message); record && cs) {
                cs->OnUserAudioStatus(record->userId, record->status, record->previous,
                                      record->value);
            }
            break;
        case CS_MSG_CONF_ATTR_SILENT:
            RefreshConfInfo();
            if (cs != nullptr) {
                cs->OnReserved9(message.data);
            }
            break;
        case CS_MSG_CONF_FLAG_CHANGED:
            RefreshConfInfo();
            if (cs != nullptr) {
                cs->OnConfFlagChanged(static_cast<std::uint8_t>(message.data & 0xFFu));
            }
            break;
        case CS_MSG_SERVER_NOTICE:
            if (auto* record = PayloadOf<CsServerNotice>(message)) {
                OnServerList(record->kind, record->a, record->b, record->c, record->d);
            }
            break;
        case CS_MSG_MEETING_TIME:
            FormatMeetingTime(message.data);
            break;
        default:
            YLOG_DEBUG("不了解的CS命令");
            break;
    }
}

void XConfManager::RefreshConfInfo() {
    if (m_pCsManager == nullptr) {
        return;
    }
    m_pCsManager->GetConfLoginInfo(&m_loginInfo);
    std::copy(std::begin(m_loginInfo.roomAttr), std::end(m_loginInfo.roomAttr), m_roomAttr.begin());
}

void XConfManager::RefreshMyRecords() {
    if (m_pUserManager == nullptr) {
        return;
    }
    const std::uint16_t myUserId = GetMyUserId();
    std::shared_ptr<ST_USER_PRIVATEDATA> privateData;
    if (m_pUserManager->GetUserPrivateData(privateData, myUserId)) {
        m_pMyPrivateData = privateData;
    }
    std::shared_ptr<ST_USER_ITEM_DEPT> item;
    if (m_pUserManager->GetUser(item, myUserId, 1)) {
        m_pMyUserItem = item;
    }
}

void XConfManager::OnServerList(std::uint8_t kind, std::uint32_t a, std::uint32_t b,
                                std::uint32_t c, std::uint32_t d) {
    YLOG_DEBUG("服务器总数 %d %d %d %d", static_cast<int>(a), static_cast<int>(b),
               static_cast<int>(c), static_cast<int>(d));
    switch (kind) {
        case 1:
            if (m_pUserManager != nullptr) {
                // Minutes left; computed wide so that a server sending b + c > a shows a
                // negative number rather than a wrapped one.
                const long long minutesLeft = static_cast<long long>(a) -
                                              static_cast<long long>(b) - static_cast<long long>(c);
                ShowBox(yav::SafeFormat(LoadLangString(5435), {minutesLeft}), 0, kBoxTypeNotice,
                        nullptr);
            }
            break;
        case 2:
            if (m_pUserManager != nullptr) {
                ShowBox(yav::SafeFormat(LoadLangString(5438), {d}), 0, kBoxTypeNotice, nullptr);
            }
            break;
        case 3:
            // While this box is open the server is ending the stay.
            MarkStayEnding(true);
            ShowBox(LoadLangString(5441), kQuotaUsedUpCountdown, kBoxTypeNotice,
                    [](XConfManager& self, int) {
                        self.MarkStayEnding(false);
                        if (self.m_pMainFrame != nullptr) {
                            self.m_pMainFrame->CloseByServer();
                        }
                    });
            break;
        default:
            YLOG_DEBUG("当前会议分钟数正常 %d-%d-%d-%d", static_cast<int>(a), static_cast<int>(b),
                       static_cast<int>(c), static_cast<int>(d));
            break;
    }
}

QString XConfManager::FormatDuration(std::uint32_t seconds, int languageIndex) {
    const auto hours = static_cast<unsigned long long>(seconds / 3600);
    const auto minutes = static_cast<unsigned long long>((seconds % 3600) / 60);
    QString format;
    switch (languageIndex) {
        case 0:
            format = QStringLiteral("%1小时%2分钟");
            break;
        case 1:
            format = QStringLiteral("%1h%2m");
            break;
        default:
            format = QStringLiteral("%1小時%2分鐘");
            break;
    }
    return format.arg(hours).arg(minutes);
}

void XConfManager::FormatMeetingTime(std::uint32_t seconds) {
    const QString duration = FormatDuration(seconds, g_ConfigManager.GetLanguageIndex());
    const QString text = yav::SafeFormat(LoadLangString(5444), {duration});
    ShowBox(text, kMeetingTimeCountdown, kBoxTypeMeetingTime, [](XConfManager& self, int answer) {
        if (answer == IMainFrame::kIdOk) {
            if (self.m_pMainFrame != nullptr) {
                self.m_pMainFrame->CloseByServer();
            }
        } else if (self.m_pCsManager != nullptr) {
            self.m_pCsManager->GetConfDuration();
        }
    });
}
