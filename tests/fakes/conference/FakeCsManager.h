#pragma once
// A scriptable conference-server component: the test sets what login and the upgrade check
// answer and what the records hold; every request is recorded in the call log, writes and
// relayed blocks also with their bytes. Install it as the component factory's product with
// FakeCsManager::InstallFactory.

#include <functional>
#include <string>
#include <vector>

#include "CallLog.h"
#include "FakeCsUserManager.h"
#include "ICsManager.h"

namespace fakes {

class FakeCsManager : public ICsManager {
public:
    explicit FakeCsManager(CallLog& log) : users(log), log_(log) {}

    // The next Kro_CreateCsManager returns this fake (destroying it does nothing); the real
    // component factory is restored by RestoreFactory.
    void InstallFactory();
    static void RestoreFactory();

    struct Write {
        std::uint16_t user = 0;  // SetUserData only
        std::uint16_t offset = 0;
        std::vector<std::uint8_t> bytes;
        std::uint8_t notify = 0;
    };
    struct Transmission {
        std::uint16_t to = 0;
        std::uint16_t subCommand = 0;
        std::vector<std::uint8_t> bytes;
    };

    // --- script ---
    std::int32_t loginResult = 0;
    std::uint16_t requiredVersion = 0;
    std::int32_t upgradeResult = 0;
    bool echoClientVersion = true;  // else the server answers serverVersion
    std::string serverVersion;
    bool provideUserManager = true;
    // Runs first in every login, on the caller's thread: a server that takes its time to
    // answer holds the login here.
    std::function<void()> duringLogin;
    ST_CONF_APPINFO appInfo;
    ST_CONF_LOGIN_INFO loginInfo;
    std::array<std::uint8_t, 16> mediaTicket{};
    FakeCsUserManager users;
    CSafeQueue queue;

    // --- observations ---
    bool loggedIn = false;
    std::string lastDigest;
    std::string lastClientVersion;
    std::vector<Write> attributeWrites;
    std::vector<Write> userDataWrites;
    std::vector<Transmission> transmissions;

    // A participant's record changed, as the component handles it: the new record is stored
    // first, then the change is queued for the room's pump.
    void ChangeUser(const ST_USER_ITEM_DEPT& record);

    void SetCsHandler(ICsHandler* handler) override;
    ICsUserManager* GetUserManager() override;
    void GetConfLoginInfo(ST_CONF_LOGIN_INFO* out) override;
    const ST_CONF_APPINFO* GetAppInfo() override;
    std::int32_t Login(const char* server, std::uint16_t port, std::uint32_t confId,
                       const char* name, const char* passwordDigest, std::uint8_t mode) override;
    void Logout() override;
    std::int32_t QueryUpgradeInfo(KroGuid clientGuid, const char* server, std::uint16_t port,
                                  const char* clientVersion, std::string* outServerVersion,
                                  std::string* zipMd5, std::string* downloadUrl,
                                  std::vector<ST_UPGRADE_SERVER>* servers) override;
    void GetConfExtra(ST_CONF_EXTRA* out) override;
    void SetConfOptions(std::uint8_t audioDevice, std::uint8_t channelMask,
                        std::uint8_t channelCount, std::uint8_t value85, std::uint8_t micCount,
                        std::uint8_t reserved) override;
    void ApplyPresenter() override;
    void CancelPresenterApply() override;
    void SetPresenter(std::uint16_t userId, std::uint8_t on) override;
    void ApplySpeak(std::uint8_t apply) override;
    void AwardSpeek(std::uint16_t userId, std::uint8_t status) override;
    void ApplyChair(const char* password) override;
    void GiveUpChair() override;
    void ModifyPassword(const char* name, const char* oldDigest, const char* newDigest,
                        const char* confirmDigest) override;
    void SetConfSetting(std::uint32_t value) override;
    void KickUser(std::uint16_t userId, std::uint16_t reason, const char* text) override;
    std::uint16_t GetRequiredVersion() override;
    void RequestVideo(std::uint16_t mediaId) override;
    void BroadcastVideo(std::uint16_t mediaId, std::uint8_t on) override;
    void SetConfSettingByte(std::uint8_t value) override;
    void Transmit(std::uint16_t to, std::uint16_t subCommand, const void* data,
                  std::uint16_t length) override;
    void SetUserAttribute(std::uint16_t offset, std::uint16_t length, const void* data,
                          std::uint8_t notify) override;
    void SetUserData(std::uint16_t userId, std::uint16_t offset, std::uint16_t length,
                     const void* data, std::uint8_t notify) override;
    std::int32_t RollCallRequest(const char16_t* name, const char16_t* password,
                                 std::uint32_t confId, const ST_ROLLCALL_ITEM** rows,
                                 std::uint32_t* count) override;
    void SetTempAdmin(std::uint16_t userId, std::uint8_t on) override;
    void SetServerRecord(std::uint32_t on) override;
    void GetConfDuration() override;
    CSafeQueue* GetMsgQueue() override;
    std::array<std::uint8_t, 16> GetMediaTicket() override { return mediaTicket; }

private:
    CallLog& log_;
};

}  // namespace fakes
