#include "FakeCsManager.h"

#include "KroCsManger.h"

namespace fakes {

namespace {

FakeCsManager* g_nextFake = nullptr;

ICsManager* CreateFake() {
    return g_nextFake;
}
void DestroyFake(ICsManager*) {}

std::vector<std::uint8_t> BytesOf(const void* data, std::uint16_t length) {
    const auto* begin = static_cast<const std::uint8_t*>(data);
    return data != nullptr ? std::vector<std::uint8_t>(begin, begin + length)
                           : std::vector<std::uint8_t>{};
}

}  // namespace

void FakeCsManager::InstallFactory() {
    g_nextFake = this;
    Kro_SetCsManagerFactory(&CreateFake, &DestroyFake);
}

void FakeCsManager::RestoreFactory() {
    g_nextFake = nullptr;
    Kro_SetCsManagerFactory(nullptr, nullptr);
}

void FakeCsManager::ChangeUser(const ST_USER_ITEM_DEPT& record) {
    users.AddUser(record.userId, u"") = record;
    ST_CS_MSG item;
    item.type = CS_MSG_USER_INFO_CHANGED;
    item.payload = CsUserList{record};
    queue.Push(std::move(item));
}

void FakeCsManager::SetCsHandler(ICsHandler* handler) {
    log_.Add(handler != nullptr ? "SetCsHandler(set)" : "SetCsHandler(null)");
}

ICsUserManager* FakeCsManager::GetUserManager() {
    return loggedIn && provideUserManager ? &users : nullptr;
}

void FakeCsManager::GetConfLoginInfo(ST_CONF_LOGIN_INFO* out) {
    log_.Add("GetConfLoginInfo()");
    *out = loginInfo;
}

const ST_CONF_APPINFO* FakeCsManager::GetAppInfo() {
    return &appInfo;
}

std::int32_t FakeCsManager::Login(const char* server, std::uint16_t port, std::uint32_t confId,
                                  const char* name, const char* passwordDigest, std::uint8_t mode) {
    if (duringLogin) {
        duringLogin();
    }
    lastDigest = passwordDigest;
    log_.Add(Call("Login", std::string(server), port, confId, std::string(name),
                  std::string(passwordDigest), mode));
    loggedIn = loginResult == 0;
    return loginResult;
}

void FakeCsManager::Logout() {
    loggedIn = false;
    queue.Clear();
    log_.Add("Logout()");
}

std::int32_t FakeCsManager::QueryUpgradeInfo(KroGuid, const char* server, std::uint16_t port,
                                             const char* clientVersion,
                                             std::string* outServerVersion, std::string* zipMd5,
                                             std::string* downloadUrl,
                                             std::vector<ST_UPGRADE_SERVER>* servers) {
    lastClientVersion = clientVersion;
    log_.Add(Call("QueryUpgradeInfo", std::string(server), port));
    *outServerVersion = echoClientVersion ? std::string(clientVersion) : serverVersion;
    *zipMd5 = "0123456789abcdef0123456789abcdef";
    *downloadUrl = "http://127.0.0.1/upgrade.zip";
    servers->assign(upgradeResult > 0 ? static_cast<size_t>(upgradeResult) : 0,
                    ST_UPGRADE_SERVER{});
    return upgradeResult;
}

void FakeCsManager::GetConfExtra(ST_CONF_EXTRA*) {
    log_.Add("GetConfExtra()");
}

void FakeCsManager::SetConfOptions(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d,
                                   std::uint8_t e, std::uint8_t f) {
    log_.Add(Call("SetConfOptions", a, b, c, d, e, f));
}

void FakeCsManager::ApplyPresenter() {
    log_.Add("ApplyPresenter()");
}
void FakeCsManager::CancelPresenterApply() {
    log_.Add("CancelPresenterApply()");
}
void FakeCsManager::SetPresenter(std::uint16_t userId, std::uint8_t on) {
    log_.Add(Call("SetPresenter", userId, on));
}
void FakeCsManager::ApplySpeak(std::uint8_t apply) {
    log_.Add(Call("ApplySpeak", apply));
}
void FakeCsManager::AwardSpeek(std::uint16_t userId, std::uint8_t status) {
    log_.Add(Call("AwardSpeek", userId, status));
}
void FakeCsManager::ApplyChair(const char* password) {
    log_.Add(Call("ApplyChair", std::string(password)));
}
void FakeCsManager::GiveUpChair() {
    log_.Add("GiveUpChair()");
}
void FakeCsManager::ModifyPassword(const char* name, const char* oldDigest, const char* newDigest,
                                   const char* confirmDigest) {
    log_.Add(Call("ModifyPassword", std::string(name), std::string(oldDigest),
                  std::string(newDigest), std::string(confirmDigest)));
}
void FakeCsManager::SetConfSetting(std::uint32_t value) {
    log_.Add(Call("SetConfSetting", value));
}
void FakeCsManager::KickUser(std::uint16_t userId, std::uint16_t reason, const char* text) {
    log_.Add(Call("KickUser", userId, reason, std::string(text != nullptr ? text : "")));
}
std::uint16_t FakeCsManager::GetRequiredVersion() {
    return requiredVersion;
}
void FakeCsManager::RequestVideo(std::uint16_t mediaId) {
    log_.Add(Call("RequestVideo", mediaId));
}
void FakeCsManager::BroadcastVideo(std::uint16_t mediaId, std::uint8_t on) {
    log_.Add(Call("BroadcastVideo", mediaId, on));
}
void FakeCsManager::SetConfSettingByte(std::uint8_t value) {
    log_.Add(Call("SetConfSettingByte", value));
}

void FakeCsManager::Transmit(std::uint16_t to, std::uint16_t subCommand, const void* data,
                             std::uint16_t length) {
    transmissions.push_back(Transmission{to, subCommand, BytesOf(data, length)});
    log_.Add(Call("Transmit", to, subCommand, length));
}

void FakeCsManager::SetUserAttribute(std::uint16_t offset, std::uint16_t length, const void* data,
                                     std::uint8_t notify) {
    attributeWrites.push_back(Write{0, offset, BytesOf(data, length), notify});
    log_.Add(Call("SetUserAttribute", offset, length, notify));
}

void FakeCsManager::SetUserData(std::uint16_t userId, std::uint16_t offset, std::uint16_t length,
                                const void* data, std::uint8_t notify) {
    userDataWrites.push_back(Write{userId, offset, BytesOf(data, length), notify});
    log_.Add(Call("SetUserData", userId, offset, length, notify));
}

std::int32_t FakeCsManager::RollCallRequest(const char16_t*, const char16_t*, std::uint32_t confId,
                                            const ST_ROLLCALL_ITEM** rows, std::uint32_t* count) {
    log_.Add(Call("RollCallRequest", confId));
    *rows = nullptr;
    *count = 0;
    return 0;
}

void FakeCsManager::SetTempAdmin(std::uint16_t userId, std::uint8_t on) {
    log_.Add(Call("SetTempAdmin", userId, on));
}
void FakeCsManager::SetServerRecord(std::uint32_t on) {
    log_.Add(Call("SetServerRecord", on));
}
void FakeCsManager::GetConfDuration() {
    log_.Add("GetConfDuration()");
}
CSafeQueue* FakeCsManager::GetMsgQueue() {
    return &queue;
}

}  // namespace fakes
