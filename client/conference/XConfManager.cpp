#include "client/conference/XConfManager.h"

#include <algorithm>
#include <cstring>

#include "KroCsManger.h"
#include "client/Common/MD5String.h"
#include "client/Common/XAutoCritical.h"
#include "client/app/AppSettings.h"
#include "client/app/ConfigManger.h"
#include "client/app/LangFormat.h"
#include "client/conference/IMainFrame.h"
#include "client/conference/RoomNotices.h"
#include "client/conference/UpgradeInfo.h"
#include "client/conference/UserCommandPayloads.h"
#include "platform/core/Log.h"
#include "platform/core/Profile.h"
#include "platform/core/TextCodec.h"

ST_UPGRADE_INFO g_UpgradeInfo;

namespace {

// Offsets of the own participant record and of the login record.
constexpr std::uint16_t kRoomAttrOptionC = ROOM_ATTR_OPTION_C;        // 270
constexpr std::uint16_t kRoomAttrChatRights = ROOM_ATTR_CHAT_RIGHTS;  // 271
constexpr std::uint16_t kRoomAttrConfFlag = ROOM_ATTR_CONF_FLAG;      // 272
constexpr std::uint16_t kRoomAttrServerRecord = ROOM_ATTR_SERVER_RECORD;
constexpr std::uint16_t kRoomAttrBulletin = ROOM_ATTR_BULLETIN;  // 13

std::string ToGbk(const QString& text) {
    return yav::text::Utf16ToGbk(text.toStdU16String());
}

}  // namespace

XConfManager::XConfManager()
    : m_pCsManager(Kro_CreateCsManager()), m_alive(std::make_shared<XConfManager*>(this)) {
    if (m_pCsManager == nullptr) {
        YLOG_ERROR("conference-server component could not be created");
    }
}

XConfManager::~XConfManager() {
    m_alive.reset();
    // The cycle looks users up in the component's list: it stops before the component goes.
    m_videoCycle.Stop(true);
    m_videoCycle.SetSource(nullptr);
    if (m_pCsManager != nullptr) {
        Kro_DestroyCsManager(m_pCsManager);
        m_pCsManager = nullptr;
    }
}

// --- lifecycle and login -------------------------------------------------------------------

void XConfManager::SetCsHandler(ICsHandler* handler) {
    m_pCsHandler = handler;
    if (m_pCsManager != nullptr) {
        m_pCsManager->SetCsHandler(handler);
    }
}

void XConfManager::SetUserHandler(IUserHandler* handler) {
    m_pUserHandler = handler;
    if (m_pUserManager != nullptr) {
        m_pUserManager->SetUserHandler(handler);
    }
}

int XConfManager::QueryUpgradeInfo(const char* server, QString* message, std::uint16_t port) {
    if (m_pCsManager == nullptr) {
        return -1;
    }
    KroGuid guid{};
    const GUID& clientGuid = g_AppSettings.clientguid;
    for (int i = 0; i < 4; ++i) {
        guid[static_cast<size_t>(i)] = static_cast<std::uint8_t>(clientGuid.Data1 >> (8 * i));
    }
    guid[4] = static_cast<std::uint8_t>(clientGuid.Data2);
    guid[5] = static_cast<std::uint8_t>(clientGuid.Data2 >> 8);
    guid[6] = static_cast<std::uint8_t>(clientGuid.Data3);
    guid[7] = static_cast<std::uint8_t>(clientGuid.Data3 >> 8);
    std::copy(std::begin(clientGuid.Data4), std::end(clientGuid.Data4), guid.begin() + 8);

    const std::string clientVersion(g_AppSettings.Version,
                                    strnlen(g_AppSettings.Version, sizeof g_AppSettings.Version));
    std::string serverVersion;
    std::string zipMd5;
    std::string downloadUrl;
    std::vector<ST_UPGRADE_SERVER> servers;
    const int result = m_pCsManager->QueryUpgradeInfo(
        guid, server, port, clientVersion.c_str(), &serverVersion, &zipMd5, &downloadUrl, &servers);
    g_UpgradeInfo.serverVersion = serverVersion;
    g_UpgradeInfo.zipMd5 = zipMd5;
    g_UpgradeInfo.downloadUrl = downloadUrl;
    g_UpgradeInfo.servers = servers;
    if (result >= 1) {
        g_UpgradeInfo.serverCount = result;
    }

    QString text;
    int answer = result;
    if (result >= 0) {
        if (clientVersion == serverVersion) {
            return 0;
        }
        text = LoadLangString(1861);  // a newer client is offered
        answer = -4;
    } else if (result == -1) {
        text = LoadLangString(1864);  // the server cannot be reached
    } else if (result == -2) {
        text = LoadLangString(1867);  // the server does not answer
    } else {
        text = LoadLangString(1870);  // the check failed
    }
    if (message != nullptr) {
        *message = text;
    }
    YLOG_WARN("%s", text.toUtf8().constData());
    return answer;
}

int XConfManager::SetupConference(const char* server, std::uint16_t port, std::uint32_t confId,
                                  const char* name, const char* password,
                                  std::uint16_t* requiredVersion, std::uint8_t loginFlag,
                                  std::uint8_t goOnAfterUpgradeError) {
    if (m_pCsManager == nullptr) {
        return -1;
    }
    QString message;
    int result = QueryUpgradeInfo(server, &message, port);
    if (result < 0 && goOnAfterUpgradeError == 0) {
        return result;
    }

    const std::string digest = LoginDigest(password);
    result = m_pCsManager->Login(server, port, confId, name, digest.c_str(), loginFlag);
    if (result != 0) {
        if (result == CS_ERR_VERSION && requiredVersion != nullptr) {
            *requiredVersion = m_pCsManager->GetRequiredVersion();
        }
        return result;
    }
    return AdoptLogin();
}

std::string XConfManager::LoginDigest(const char* password) const {
    return m_strHandOverDigest.empty() ? MD5String(password != nullptr ? password : "")
                                       : m_strHandOverDigest;
}

int XConfManager::LoginComponent(const char* server, std::uint16_t port, std::uint32_t confId,
                                 const char* name, const char* digest, std::uint8_t loginFlag) {
    if (m_pCsManager == nullptr) {
        return -1;
    }
    return m_pCsManager->Login(server, port, confId, name, digest, loginFlag);
}

void XConfManager::OnConnectionLost() {
    m_pMsgQueue = nullptr;
    XAutoCritical lock(&m_csLock);
    m_videoRequests.clear();
    m_quietVideoRequests.clear();
}

int XConfManager::AdoptLogin() {
    if (m_pCsManager == nullptr) {
        return -1;
    }
    // From here on a failure logs out again: the component must not stay logged in while the
    // caller believes the login failed.
    auto failAfterLogin = [this](const char* why) {
        YLOG_WARN("login undone: %s", why);
        m_pCsManager->Logout();
        m_videoCycle.SetSource(nullptr);
        m_pUserManager = nullptr;
        m_pMyUserItem.reset();
        m_pMyPrivateData.reset();
        m_pMsgQueue = nullptr;
        return -1;
    };

    m_pUserManager = m_pCsManager->GetUserManager();
    if (m_pUserManager == nullptr) {
        return failAfterLogin("no participant list");
    }
    if (m_pUserHandler != nullptr) {
        m_pUserManager->SetUserHandler(m_pUserHandler);
    }
    m_videoCycle.SetSource(m_pUserManager);
    m_videoCycle.SetInterval(g_AppSettings.cycleinterval * 1000);

    const int count = std::max(0, m_pUserManager->GetUserCount());
    std::vector<ST_USER_ITEM_DEPT> users(static_cast<size_t>(count));
    const int filled = std::clamp(m_pUserManager->GetUsers(users.data(), count), 0, count);
    for (int i = 0; i < filled; ++i) {
        m_videoCycle.AddUserChannels(users[static_cast<size_t>(i)].userId);
    }

    m_pAppInfo = m_pCsManager->GetAppInfo();
    CopyAppInfoToSettings();

    m_pCsManager->GetConfLoginInfo(&m_loginInfo);
    g_AppSettings.byRecordMode = m_loginInfo.recordMode;
    g_AppSettings.bRecordOnServer = IsRecordOnServer() ? 1 : 0;
    std::copy(std::begin(m_loginInfo.roomAttr), std::end(m_loginInfo.roomAttr), m_roomAttr.begin());

    const std::uint16_t myUserId = GetMyUserId();
    if (m_pUserManager->GetUserCount() == 1) {
        InitRoomOptions();
    }
    const std::uint8_t zeros[32] = {};
    m_pCsManager->SetUserData(myUserId, 0, sizeof zeros, zeros, 1);

    if (!m_pUserManager->GetUser(m_pMyUserItem, myUserId, 1) || m_pMyUserItem == nullptr) {
        return failAfterLogin("own participant record missing");
    }
    m_pUserManager->GetUserPrivateData(m_pMyPrivateData, myUserId);

    const auto firstUser = static_cast<std::uint16_t>(m_roomAttr[0] | (m_roomAttr[1] << 8));
    if (firstUser == myUserId) {
        const std::uint8_t cleared[6] = {};
        m_pCsManager->SetUserAttribute(0, sizeof cleared, cleared, 0);
    }

    m_pMsgQueue = m_pCsManager->GetMsgQueue();
    return 0;
}

void XConfManager::CopyAppInfoToSettings() {
    if (m_pAppInfo == nullptr) {
        return;
    }
    const ST_CONF_APPINFO& info = *m_pAppInfo;
    ST_APP_SETTINGS& settings = g_AppSettings;
    settings.byMaxBroadcastChannels = info.maxBroadcastChannels;
    settings.byMaxRecvChannelsChair = info.maxRecvChannelsChair;
    settings.wBitrateLimitKbps = info.bitrateLimitKbps;
    settings.byMaxRecvChannelsMember = info.maxRecvChannelsMember;
    settings.byConferenceMode = info.conferenceMode;
    settings.byOption8 = info.option8;
    settings.byOption9 = info.option9;
    settings.wOption10 = info.option10;
    settings.wOption12 = info.option12;
    settings.byOption14 = info.option14;
    settings.wSpeakerLimit = info.speakerLimit;
    settings.wMaxOpenDocs = static_cast<std::uint16_t>(info.maxOpenDocs + 2);

    const std::string clientIni = g_ConfigManager.GetClientIniPath().toStdString();
    yav::profile::WriteString("appinfo", "wMaxOpenDocs", std::to_string(info.maxOpenDocs),
                              clientIni);
    yav::profile::WriteString("appinfo", "wMaxWBPages", std::to_string(info.maxWhiteboardPages),
                              clientIni);
    YLOG_DEBUG("maxOpenDocs=%d maxWBPages=%d", info.maxOpenDocs, info.maxWhiteboardPages);
}

void XConfManager::Logout() {
    if (m_pCsManager != nullptr) {
        m_pCsManager->Logout();
    }
    m_pMsgQueue = nullptr;
}

// --- requests to the room --------------------------------------------------------------------

bool XConfManager::SpeakerLimitReached() const {
    if (m_pUserManager == nullptr || m_pAppInfo == nullptr) {
        return false;
    }
    return m_pUserManager->GetSpeakerCount() >= m_pAppInfo->speakerLimit;
}

void XConfManager::ShowSpeakerLimit() {
    const int limit = m_pAppInfo != nullptr ? m_pAppInfo->speakerLimit : 0;
    ShowBox(yav::SafeFormat(LoadLangString(2245), {limit}), 0, 0, nullptr);
}

int XConfManager::ApplySpeak() {
    if (m_pCsManager == nullptr) {
        return 0;
    }
    const std::uint8_t speakState = m_pMyUserItem != nullptr ? m_pMyUserItem->speakState : 0;
    if (speakState == 0 && SpeakerLimitReached()) {
        ShowSpeakerLimit();
        return 0;
    }
    m_pCsManager->ApplySpeak(speakState == 0 ? 1 : 0);
    return 1;
}

void XConfManager::AwardSpeek(std::uint16_t userId, std::uint8_t status) {
    if (m_pCsManager == nullptr) {
        return;
    }
    if (status == 2 && SpeakerLimitReached()) {
        ShowSpeakerLimit();
        return;
    }
    m_pCsManager->AwardSpeek(UserOf(userId), status);
    YLOG_DEBUG("AwardSpeek  UserID= %d Status=%d", userId, status);
}

void XConfManager::StopAllSpeakers() {
    std::vector<std::uint16_t> speakers;
    ForEachUser([&speakers](ST_USER_ITEM_DEPT* user) {
        // Byte 70 is the user kind, not a presence state: the test on 0 and 5 spares the chair
        // and temporary administrators, as byte 80 (2) spares the presenter. Everybody else
        // applying or speaking loses the floor.
        const bool chairKind = user->kind == USER_KIND_CHAIR || user->kind == USER_KIND_TEMP_ADMIN;
        const bool speaking = user->speakState == 1 || user->speakState == 2;
        if (!chairKind && speaking && user->presenterState != 2) {
            speakers.push_back(user->userId);
        }
    });
    // Requests go out after the walk: the list's lock is not held while calling the component.
    for (std::uint16_t userId : speakers) {
        AwardSpeek(userId, 0);
    }
}

void XConfManager::ApplyPresenter() {
    if (m_pCsManager == nullptr) {
        return;
    }
    if (m_pMyUserItem != nullptr && m_pMyUserItem->presenterState != 0) {
        m_pCsManager->CancelPresenterApply();
    } else {
        m_pCsManager->ApplyPresenter();
    }
}

void XConfManager::SetPresenter(std::uint16_t userId, std::uint8_t on) {
    if (m_pCsManager != nullptr) {
        m_pCsManager->SetPresenter(userId, on);
    }
}

void XConfManager::SetTempAdmin(std::uint16_t userId, std::uint8_t on) {
    if (m_pCsManager != nullptr) {
        m_pCsManager->SetTempAdmin(userId, on);
    }
}

void XConfManager::BroadcastVideo(std::uint16_t wMediaId, std::uint8_t on) {
    if (m_pCsManager != nullptr) {
        m_pCsManager->BroadcastVideo(wMediaId, on);
    }
}

void XConfManager::KickUser(std::uint16_t userId, std::uint16_t reason, const char* text) {
    if (m_pCsManager != nullptr) {
        m_pCsManager->KickUser(userId, reason, text);
    }
}

void XConfManager::SetConfSetting(std::uint32_t value) {
    if (m_pCsManager != nullptr) {
        m_pCsManager->SetConfSetting(value);
    }
}

void XConfManager::SetConfSettingByte(std::uint8_t value) {
    if (m_pCsManager != nullptr) {
        m_pCsManager->SetConfSettingByte(value);
    }
}

void XConfManager::SetServerRecord(std::uint32_t on) {
    if (m_pCsManager != nullptr) {
        m_pCsManager->SetServerRecord(on);
    }
}

void XConfManager::GiveUpChair() {
    if (m_pCsManager != nullptr) {
        m_pCsManager->GiveUpChair();
    }
}

int XConfManager::RollCallRequest(const char16_t* name, const char16_t* password,
                                  std::uint32_t confId, const ST_ROLLCALL_ITEM** rows,
                                  std::uint32_t* count) {
    if (m_pCsManager == nullptr || m_pUserManager == nullptr) {
        if (rows != nullptr) {
            *rows = nullptr;
        }
        if (count != nullptr) {
            *count = 0;
        }
        return -1;
    }
    return m_pCsManager->RollCallRequest(name, password, confId, rows, count);
}

void XConfManager::ApplyChair(const QString& password) {
    if (m_pCsManager != nullptr) {
        m_pCsManager->ApplyChair(ToGbk(password).c_str());
    }
}

void XConfManager::ModifyPassword(const QString& oldPassword, const QString& newPassword,
                                  const QString& confirmPassword) {
    if (m_pCsManager == nullptr) {
        return;
    }
    const std::string oldDigest = MD5String(ToGbk(oldPassword).c_str());
    const std::string newDigest = MD5String(ToGbk(newPassword).c_str());
    const std::string confirmDigest = MD5String(ToGbk(confirmPassword).c_str());
    std::string name;
    if (m_pMyUserItem != nullptr) {
        const std::u16string_view wide(
            m_pMyUserItem->name,
            static_cast<size_t>(
                std::find(std::begin(m_pMyUserItem->name), std::end(m_pMyUserItem->name), u'\0') -
                std::begin(m_pMyUserItem->name)));
        name = yav::text::Utf16ToGbk(wide);
    }
    m_pCsManager->ModifyPassword(name.c_str(), oldDigest.c_str(), newDigest.c_str(),
                                 confirmDigest.c_str());
}

void XConfManager::SetConfOptions(std::uint8_t b1, std::uint8_t b2, std::uint8_t b3,
                                  std::uint8_t b4, std::uint8_t b5, std::uint8_t b6) {
    if (m_pCsManager != nullptr) {
        m_pCsManager->SetConfOptions(b2, b1, b3, b4, b5, b6);
    }
}

void XConfManager::RequestUserVideo(std::uint16_t wMediaId, std::uint8_t on) {
    if (wMediaId == 0) {
        return;
    }
    if (on == 0) {
        if (m_pCsHandler != nullptr) {
            m_pCsHandler->OnVideoOpenResult(wMediaId, 0, 0);
        }
        return;
    }
    const std::uint16_t myUserId = GetMyUserId();
    if (wMediaId >= myUserId && wMediaId < myUserId + 8) {
        if (m_pCsHandler != nullptr) {
            m_pCsHandler->OnVideoOpenResult(wMediaId, 0, kOpenValue);
        }
        return;
    }
    if (m_pCsManager == nullptr) {
        return;
    }
    m_pCsManager->RequestVideo(wMediaId);
    XAutoCritical lock(&m_csLock);
    m_videoRequests.try_emplace(wMediaId, std::array<std::uint8_t, 3>{1, 0, 0});
}

void XConfManager::AskForVideo(std::uint16_t wMediaId) {
    if (m_pCsManager == nullptr || wMediaId == 0) {
        return;
    }
    {
        XAutoCritical lock(&m_csLock);
        auto pending = m_videoRequests.find(wMediaId);
        if (pending != m_videoRequests.end() && pending->second[0] == 1 &&
            pending->second[2] == 0) {
            return;  // the user's own request, still waiting, brings the grant
        }
        ++m_quietVideoRequests[wMediaId];
    }
    m_pCsManager->RequestVideo(wMediaId);
}

bool XConfManager::TakeQuietVideoRequest(std::uint16_t wMediaId) {
    XAutoCritical lock(&m_csLock);
    auto it = m_quietVideoRequests.find(wMediaId);
    if (it == m_quietVideoRequests.end()) {
        return false;
    }
    if (--it->second == 0) {
        m_quietVideoRequests.erase(it);
    }
    return true;
}

void XConfManager::ReceiveVideo(std::uint16_t wMediaId, std::uint8_t on, IVideoWindow* window) {
    if (wMediaId == 0 || m_pMainFrame == nullptr) {
        return;
    }
    m_pMainFrame->ReceiveVideo(wMediaId, 0, on != 0 ? kOpenValue : 0, window);
}

void XConfManager::UpdateVideoRequest(std::uint16_t wMediaId, std::uint8_t b0, std::uint8_t b1,
                                      std::uint8_t b2) {
    XAutoCritical lock(&m_csLock);
    auto& entry = m_videoRequests[wMediaId];
    const std::uint8_t bytes[3] = {b0, b1, b2};
    for (size_t i = 0; i < 3; ++i) {
        if (bytes[i] != 255) {
            entry[i] = bytes[i];
        }
    }
}

int XConfManager::TakeVideoRequest(std::uint16_t wMediaId) {
    XAutoCritical lock(&m_csLock);
    auto it = m_videoRequests.find(wMediaId);
    if (it == m_videoRequests.end()) {
        return 1;
    }
    const bool closedWhilePending = it->second[0] == 1 && it->second[2] == 1;
    m_videoRequests.erase(it);
    return closedWhilePending ? 0 : 1;
}

void XConfManager::Transmit(std::uint16_t to, std::uint16_t subCommand, const void* data,
                            std::uint16_t length) {
    if (m_pCsManager != nullptr) {
        m_pCsManager->Transmit(to, subCommand, data, length);
    }
}

void XConfManager::GrantScreenControl(std::uint16_t userId, std::uint8_t on) {
    const std::uint8_t code = yav::usercmd::ScreenControlGrantCode(on != 0);
    Transmit(userId, yav::proto::kSubCommandScreenControlGrant, &code, 1);
}

void XConfManager::SendUserByte311(std::uint16_t wMediaId) {
    const auto channel = static_cast<std::uint8_t>(wMediaId % 8);
    Transmit(UserOf(wMediaId), yav::proto::kSubCommandChannelRequest, &channel, 1);
}

void XConfManager::SendH323Call(const QString& number, std::uint8_t flag) {
    std::uint8_t block[69] = {};
    const std::string gbk = ToGbk(number);
    // The number field holds 64 bytes with a terminator.
    const std::string_view cut = yav::text::TruncateGbk(gbk, 63);
    std::memcpy(block, cut.data(), cut.size());
    const std::uint32_t confId = GetConfId();
    for (int i = 0; i < 4; ++i) {
        block[64 + i] = static_cast<std::uint8_t>(confId >> (8 * i));
    }
    block[68] = flag;
    Transmit(0, yav::proto::kSubCommandH323Call, block, sizeof block);
}

void XConfManager::WriteRoomByte(std::uint16_t offset, std::uint8_t value) {
    if (m_pCsManager != nullptr) {
        m_pCsManager->SetUserAttribute(offset, 1, &value, 1);
    }
}

void XConfManager::SetRoomOptionC(std::uint8_t value) {
    WriteRoomByte(kRoomAttrOptionC, value);
}
void XConfManager::SetRoomOptionA(std::uint8_t value) {
    WriteRoomByte(kRoomAttrConfFlag, value);
}
void XConfManager::SetRoomOptionB(std::uint8_t value) {
    WriteRoomByte(kRoomAttrChatRights, value);
}

void XConfManager::SetRoomCaption(const QString& text) {
    if (m_pCsManager == nullptr) {
        return;
    }
    const std::string gbk = ToGbk(text);
    const std::string_view cut = yav::text::TruncateGbk(gbk, kMaxCaptionBytes);
    std::vector<std::uint8_t> block;
    block.reserve(cut.size() + 1);
    block.push_back(static_cast<std::uint8_t>(cut.size()));
    block.insert(block.end(), cut.begin(), cut.end());
    m_pCsManager->SetUserAttribute(kRoomAttrBulletin, static_cast<std::uint16_t>(block.size()),
                                   block.data(), 1);
}

void XConfManager::ApplyRoomDefaults() {
    if (m_pAppInfo == nullptr || m_pUserManager == nullptr || m_pUserManager->GetUserCount() != 1) {
        return;
    }
    const ST_CONF_APPINFO& info = *m_pAppInfo;
    SetRoomOptionB(static_cast<std::uint8_t>(2 * (info.flags23 & 1u) + ((info.flags22 >> 7) & 1u)));
    SetRoomOptionC(static_cast<std::uint8_t>((info.flags23 >> 1) & 1u));
    SetRoomOptionA(static_cast<std::uint8_t>(info.flags25 & 1u));
}

void XConfManager::InitRoomOptions() {
    ApplyRoomDefaults();
}

void XConfManager::ResetRoomOptions() {
    ApplyRoomDefaults();
}

void XConfManager::ClearRoomAttr(std::uint16_t offset, std::uint16_t length) {
    if (offset < m_roomAttr.size()) {
        const std::size_t count = std::min<std::size_t>(length, m_roomAttr.size() - offset);
        std::fill_n(m_roomAttr.begin() + offset, count, std::uint8_t{0});
    }
}

void XConfManager::CsCommand27(std::uint16_t userId, const std::uint8_t* block10) {
    if (m_pCsManager != nullptr && block10 != nullptr) {
        m_pCsManager->SetUserData(userId, 0, 10, block10, 1);
    }
}

std::uint8_t XConfManager::ModifyUserPrivateData(
    std::uint16_t userId, const std::function<void(ST_USER_PRIVATEDATA*)>& change) {
    return m_pUserManager != nullptr ? m_pUserManager->ModifyUserPrivateData(userId, change) : 0;
}

std::uint8_t XConfManager::ForEachUser(const std::function<void(ST_USER_ITEM_DEPT*)>& visit) {
    return m_pUserManager != nullptr ? m_pUserManager->ForEachUser(visit) : 0;
}

void XConfManager::SetUserState(std::uint16_t userId, std::uint32_t state, std::uint8_t flag) {
    if (m_pUserManager != nullptr) {
        m_pUserManager->SetUserState(userId, state, flag);
    }
}

// --- queries -----------------------------------------------------------------------------

std::uint32_t XConfManager::GetConfId() const {
    return m_loginInfo.confId;
}

QString XConfManager::GetConfName() const {
    const std::string_view gbk(m_loginInfo.confName,
                               strnlen(m_loginInfo.confName, sizeof m_loginInfo.confName));
    return QString::fromStdU16String(yav::text::GbkToUtf16(gbk));
}

std::uint8_t XConfManager::GetMyStatusByte() const {
    return m_loginInfo.statusByte;
}
std::uint32_t XConfManager::GetMyOwnerId() const {
    return m_loginInfo.ownerId;
}
std::uint16_t XConfManager::GetMyUserId() const {
    return m_loginInfo.userId;
}
bool XConfManager::IsMyRoleState2() const {
    return m_loginInfo.presenterState == 2;
}
bool XConfManager::IsMyRoleState0or5() const {
    return m_loginInfo.kind == 0 || m_loginInfo.kind == 5;
}
std::uint8_t XConfManager::GetMyRoleState() const {
    return m_loginInfo.presenterState;
}

int XConfManager::GetBulletin(char* out, int max) const {
    if (out == nullptr || max <= 0) {
        return 0;
    }
    const std::string_view bulletin = yav::text::TruncateGbk(
        yav::notice::BulletinBytes(std::span(m_roomAttr).subspan(kRoomAttrBulletin)),
        static_cast<size_t>(max));
    std::memcpy(out, bulletin.data(), bulletin.size());
    return static_cast<int>(bulletin.size());
}

bool XConfManager::IsConfFlagSet() const {
    return m_roomAttr[kRoomAttrConfFlag] == 1;
}
bool XConfManager::GetRoomFlagA() const {
    return (m_roomAttr[kRoomAttrChatRights] & 1u) != 0;
}
bool XConfManager::GetRoomFlagB() const {
    return (m_roomAttr[kRoomAttrChatRights] & 2u) != 0;
}
bool XConfManager::IsServerRecording() const {
    return (m_roomAttr[kRoomAttrServerRecord] & 1u) != 0;
}
bool XConfManager::IsMyFlagBit2() const {
    return m_roomAttr[kRoomAttrOptionC] == 1 && m_pAppInfo != nullptr &&
           (m_pAppInfo->flags23 & 2u) != 0;
}
bool XConfManager::GetAppInfoFlag10() const {
    return m_pAppInfo != nullptr && (m_pAppInfo->flags23 & 0x10u) != 0;
}
bool XConfManager::IsRecordOnServer() const {
    return m_pAppInfo != nullptr && (m_pAppInfo->flags23 & 4u) != 0;
}

int XConfManager::GetUserCount() const {
    return m_pUserManager != nullptr ? m_pUserManager->GetUserCount() : 0;
}

std::vector<ST_USER_ITEM_DEPT> XConfManager::GetAllUsers() const {
    if (m_pUserManager == nullptr) {
        return {};
    }
    const int count = std::max(0, m_pUserManager->GetUserCount());
    std::vector<ST_USER_ITEM_DEPT> users(static_cast<size_t>(count));
    const int filled = std::clamp(m_pUserManager->GetUsers(users.data(), count), 0, count);
    users.resize(static_cast<size_t>(filled));
    return users;
}

bool XConfManager::GetUserById(std::shared_ptr<ST_USER_ITEM_DEPT>& out, std::uint16_t userId,
                               std::uint8_t flag) const {
    out.reset();
    return m_pUserManager != nullptr && m_pUserManager->GetUser(out, userId, flag);
}

bool XConfManager::GetUserPrivateData(std::shared_ptr<ST_USER_PRIVATEDATA>& out,
                                      std::uint16_t userId) const {
    out.reset();
    return m_pUserManager != nullptr && m_pUserManager->GetUserPrivateData(out, userId);
}

int XConfManager::GetUserName(std::uint16_t userId, char16_t* buffer128) const {
    if (m_pUserManager == nullptr || buffer128 == nullptr) {
        return 0;
    }
    return m_pUserManager->GetUserName(userId, buffer128);
}

QString XConfManager::GetUserNameText(std::uint16_t userId) const {
    char16_t buffer[128] = {};
    const int length = GetUserName(userId, buffer);
    return length > 0 ? QString::fromUtf16(buffer, length) : QString();
}

bool XConfManager::IsSelfPresenterQueued() const {
    return m_pMyUserItem != nullptr && m_pMyUserItem->speakState != 0;
}

void XConfManager::GetConfExtra(ST_CONF_EXTRA* out) {
    if (m_pCsManager != nullptr && out != nullptr) {
        m_pCsManager->GetConfExtra(out);
    }
}

// --- boxes -----------------------------------------------------------------------------------

void XConfManager::ShowBox(const QString& text, int countdownSeconds, int type,
                           std::function<void(XConfManager&, int)> onClosed) {
    if (m_pMainFrame == nullptr) {
        YLOG_WARN("no main frame for the message: %s", text.toUtf8().constData());
        return;
    }
    std::weak_ptr<XConfManager*> alive = m_alive;
    m_pMainFrame->ShowPopMsg(LoadLangString(1), text, countdownSeconds, type,
                             [alive, onClosed = std::move(onClosed)](int answer) {
                                 const auto self = alive.lock();
                                 if (self && onClosed) {
                                     onClosed(**self, answer);
                                 }
                             });
}
