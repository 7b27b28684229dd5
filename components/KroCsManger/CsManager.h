#pragma once
// The conference-server component: one connection to yavserver's conference server on an
// own I/O thread. Requests are framed and sent from the caller's thread; events are applied
// to the participant list and login record, then queued as ST_CS_MSG items.

#include <asio.hpp>
#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

#include "CsUserManager.h"
#include "ICsManager.h"
#include "RequestClient.h"

class CsManager final : public ICsManager {
public:
    // The client version this component reports at login.
    static constexpr uint16_t kClientVersion = 100;

    CsManager();
    ~CsManager() override;

    void SetCsHandler(ICsHandler* handler) override;
    ICsUserManager* GetUserManager() override;
    void GetConfLoginInfo(ST_CONF_LOGIN_INFO* out) override;
    const ST_CONF_APPINFO* GetAppInfo() override;
    int32_t Login(const char* server, uint16_t port, uint32_t confId, const char* name,
                  const char* passwordDigest, uint8_t mode) override;
    void Logout() override;
    int32_t QueryUpgradeInfo(KroGuid clientGuid, const char* server, uint16_t port,
                             const char* clientVersion, std::string* serverVersion,
                             std::string* zipMd5, std::string* downloadUrl,
                             std::vector<ST_UPGRADE_SERVER>* servers) override;
    void GetConfExtra(ST_CONF_EXTRA* out) override;
    void SetConfOptions(uint8_t audioDevice, uint8_t channelMask, uint8_t channelCount,
                        uint8_t value85, uint8_t micCount, uint8_t reserved) override;
    void ApplyPresenter() override;
    void CancelPresenterApply() override;
    void SetPresenter(uint16_t userId, uint8_t on) override;
    void ApplySpeak(uint8_t apply) override;
    void AwardSpeek(uint16_t userId, uint8_t status) override;
    void ApplyChair(const char* password) override;
    void GiveUpChair() override;
    void ModifyPassword(const char* name, const char* oldDigest, const char* newDigest,
                        const char* confirmDigest) override;
    void SetConfSetting(uint32_t value) override;
    void KickUser(uint16_t userId, uint16_t reason, const char* text) override;
    uint16_t GetRequiredVersion() override;
    void RequestVideo(uint16_t mediaId) override;
    void BroadcastVideo(uint16_t mediaId, uint8_t on) override;
    void SetConfSettingByte(uint8_t value) override;
    void Transmit(uint16_t to, uint16_t subCommand, const void* data, uint16_t length) override;
    void SetUserAttribute(uint16_t offset, uint16_t length, const void* data,
                          uint8_t notify) override;
    void SetUserData(uint16_t userId, uint16_t offset, uint16_t length, const void* data,
                     uint8_t notify) override;
    int32_t RollCallRequest(const char16_t* name, const char16_t* password, uint32_t confId,
                            const ST_ROLLCALL_ITEM** rows, uint32_t* count) override;
    void SetTempAdmin(uint16_t userId, uint8_t on) override;
    void SetServerRecord(uint32_t on) override;
    void GetConfDuration() override;
    CSafeQueue* GetMsgQueue() override;
    std::array<uint8_t, 16> GetMediaTicket() override;

    // How long the blocking calls wait for the server's answer (10 s); tests shorten it.
    void SetAnswerTimeout(std::chrono::milliseconds timeout) { answerTimeout_ = timeout; }
    // Runs on the caller's thread when a login or roll call runs out of time (tests).
    void SetCallStageHook(yav::proto::RequestClient::CallStageHook hook) {
        client_.SetCallStageHook(std::move(hook));
    }

private:
    // Sends a request while logged in (dropped otherwise).
    template <class Message>
    void SendRequest(const Message& message);
    // I/O thread.
    void OnEvent(yav::proto::Frame& frame);
    void OnConnectionClosed(const std::string& reason);
    void Push(uint32_t type, uint32_t data);
    void WatchLink();
    bool ApplyLogin(const yav::proto::Frame& frame);

    asio::io_context io_;
    asio::executor_work_guard<asio::io_context::executor_type> work_;
    yav::proto::RequestClient client_;
    asio::steady_timer watchTimer_;
    std::thread thread_;

    CsUserManager users_;
    CSafeQueue queue_;
    std::mutex stateLock_;  // guards the records below
    ST_CONF_LOGIN_INFO loginInfo_;
    ST_CONF_APPINFO appInfo_;
    ST_CONF_EXTRA extra_;
    std::array<uint8_t, 16> mediaTicket_{};
    std::chrono::steady_clock::time_point extraAt_{};
    std::vector<ST_ROLLCALL_ITEM> rollCall_;
    std::atomic<ICsHandler*> handler_{nullptr};
    std::atomic<bool> loggedIn_{false};
    std::atomic<bool> everLoggedIn_{false};
    std::atomic<bool> leaving_{false};  // the server ended the stay on purpose (kick, quota)
    std::atomic<uint16_t> requiredVersion_{0};
    bool linkLate_ = false;  // I/O thread
    std::mutex callLock_;    // one blocking call (login, roll call) at a time
    std::chrono::milliseconds answerTimeout_{10000};
};
