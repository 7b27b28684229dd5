#pragma once
// The client's single owner of the conference-server connection: logs in, keeps the room's
// login record, room attributes and the own participant records, feeds the video cycle,
// forwards the room requests of the user interface to the component, and pumps the
// component's event queue into the main frame's handlers (ProcessCsMessage).
//
// Everything runs on the UI thread, except the video-request map, which media callbacks of
// the main frame reach too and which is guarded by the object's lock.

#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ICsManager.h"
#include "client/media/VideoCycle.h"
#include "platform/core/CriticalSection.h"

class IMainFrame;
class IVideoWindow;

class XConfManager {
public:
    // Stream value the room uses for receptions it opens itself.
    static constexpr std::uint32_t kOpenValue = 123;
    // The longest bulletin text (bytes of code page 936).
    static constexpr std::size_t kMaxCaptionBytes = 241;

    XConfManager();
    ~XConfManager();
    XConfManager(const XConfManager&) = delete;
    XConfManager& operator=(const XConfManager&) = delete;

    // The main frame that owns this object (message boxes, receptions, leaving the room).
    void SetMainFrame(IMainFrame* frame) { m_pMainFrame = frame; }

    // --- lifecycle and login ---
    void SetCsHandler(ICsHandler* handler);
    void SetUserHandler(IUserHandler* handler);
    // An already digested password handed over at start-up; used instead of digesting the
    // password text when not empty.
    void SetHandOverDigest(const std::string& digest) { m_strHandOverDigest = digest; }
    // 0 logged in; -4 upgrade offered; -1, -2 or another negative value from the upgrade
    // check; 0x1000 version refused (*requiredVersion tells which); other component codes;
    // -1 when the own participant record is missing (then the component is logged out again).
    int SetupConference(const char* server, std::uint16_t port, std::uint32_t confId,
                        const char* name, const char* password, std::uint16_t* requiredVersion,
                        std::uint8_t loginFlag, std::uint8_t goOnAfterUpgradeError);
    void Logout();
    // The password digest a login sends (the hand-over digest when there is one).
    std::string LoginDigest(const char* password) const;
    // Only the component's login, callable from a worker thread: it touches nothing of this
    // object but the component. The result is Login's; on 0 the caller hands the login to
    // AdoptLogin on the UI thread.
    int LoginComponent(const char* server, std::uint16_t port, std::uint32_t confId,
                       const char* name, const char* digest, std::uint8_t loginFlag);
    // Takes over a login the component made: participants, limits, login record, own
    // records, queue. 0, or -1 (logged out again) when the own record is missing.
    int AdoptLogin();
    // The connection was lost: the queue and the video requests are forgotten.
    void OnConnectionLost();
    // A box of the server that ends the stay (quota used up, forced exit) is open: a lost
    // connection then ends the room instead of reconnecting.
    bool IsStayEnding() const { return m_nStayEndingBoxes > 0; }
    void MarkStayEnding(bool open) { m_nStayEndingBoxes += open ? 1 : -1; }
    int QueryUpgradeInfo(const char* server, QString* message, std::uint16_t port);

    // --- requests to the room ---
    int ApplySpeak();
    void AwardSpeek(std::uint16_t userId, std::uint8_t status);
    void StopAllSpeakers();
    void ApplyPresenter();
    void SetPresenter(std::uint16_t userId, std::uint8_t on);
    void SetTempAdmin(std::uint16_t userId, std::uint8_t on);
    void BroadcastVideo(std::uint16_t wMediaId, std::uint8_t on);
    void KickUser(std::uint16_t userId, std::uint16_t reason, const char* text);
    void SetConfSetting(std::uint32_t value);
    void SetConfSettingByte(std::uint8_t value);
    void SetServerRecord(std::uint32_t on);
    void GiveUpChair();
    int RollCallRequest(const char16_t* name, const char16_t* password, std::uint32_t confId,
                        const ST_ROLLCALL_ITEM** rows, std::uint32_t* count);
    void ApplyChair(const QString& password);
    void ModifyPassword(const QString& oldPassword, const QString& newPassword,
                        const QString& confirmPassword);
    void SetConfOptions(std::uint8_t b1, std::uint8_t b2, std::uint8_t b3, std::uint8_t b4,
                        std::uint8_t b5, std::uint8_t b6);
    void RequestUserVideo(std::uint16_t wMediaId, std::uint8_t on);
    // Asks the conference for a channel the room starts receiving on its own (not a user's
    // request): its answer opens no window. Nothing is sent while a request for it is pending.
    void AskForVideo(std::uint16_t wMediaId);
    // True (and forgotten) for the answer to such a request.
    bool TakeQuietVideoRequest(std::uint16_t wMediaId);
    void ReceiveVideo(std::uint16_t wMediaId, std::uint8_t on, IVideoWindow* window);

    // Video-request map: bytes of 255 keep the stored value.
    void UpdateVideoRequest(std::uint16_t wMediaId, std::uint8_t b0, std::uint8_t b1,
                            std::uint8_t b2);
    // 0 when the entry existed with bytes {1, _, 1}, else 1; the entry is removed.
    int TakeVideoRequest(std::uint16_t wMediaId);

    void Transmit(std::uint16_t to, std::uint16_t subCommand, const void* data,
                  std::uint16_t length);
    // Grants (on != 0) or withdraws control of this client's shared screen: sub-command 267
    // with the code its receiver reads as granted or withdrawn.
    void GrantScreenControl(std::uint16_t userId, std::uint8_t on);
    void SendUserByte311(std::uint16_t wMediaId);
    void SendH323Call(const QString& number, std::uint8_t flag);

    void SetRoomOptionC(std::uint8_t value);
    void SetRoomOptionA(std::uint8_t value);
    void SetRoomOptionB(std::uint8_t value);
    void SetRoomCaption(const QString& text);
    void InitRoomOptions();
    void ResetRoomOptions();
    // Writes a 10-byte block of a user's private data.
    void CsCommand27(std::uint16_t userId, const std::uint8_t* block10);
    std::uint8_t ModifyUserPrivateData(std::uint16_t userId,
                                       const std::function<void(ST_USER_PRIVATEDATA*)>& change);
    std::uint8_t ForEachUser(const std::function<void(ST_USER_ITEM_DEPT*)>& visit);
    void SetUserState(std::uint16_t userId, std::uint32_t state, std::uint8_t flag);

    // --- queries of the login record ---
    std::uint32_t GetConfId() const;
    QString GetConfName() const;
    std::uint8_t GetMyStatusByte() const;
    std::uint32_t GetMyOwnerId() const;
    std::uint16_t GetMyUserId() const;
    bool IsMyRoleState2() const;
    bool IsMyRoleState0or5() const;
    std::uint8_t GetMyRoleState() const;
    // The login record itself; the main frame writes the own role byte into it.
    ST_CONF_LOGIN_INFO& GetLoginInfo() { return m_loginInfo; }

    // --- queries of the room attributes ---
    const std::uint8_t* GetRoomAttr() const { return m_roomAttr.data(); }
    // Zeroes `length` bytes of the kept room attributes from `offset` (a value the room no
    // longer holds, such as the ended screen share's).
    void ClearRoomAttr(std::uint16_t offset, std::uint16_t length);
    // Copies min(max, bulletin length) bytes of the bulletin text; returns the count.
    int GetBulletin(char* out, int max) const;
    bool IsConfFlagSet() const;
    bool GetRoomFlagA() const;
    bool GetRoomFlagB() const;
    bool IsServerRecording() const;
    bool IsMyFlagBit2() const;

    // --- queries of the server's limits ---
    const ST_CONF_APPINFO* GetAppInfo() const { return m_pAppInfo; }
    bool GetAppInfoFlag10() const;
    bool IsRecordOnServer() const;

    // --- participants ---
    ICsUserManager* GetUserManager() const { return m_pUserManager; }
    int GetUserCount() const;
    std::vector<ST_USER_ITEM_DEPT> GetAllUsers() const;
    bool GetUserById(std::shared_ptr<ST_USER_ITEM_DEPT>& out, std::uint16_t userId,
                     std::uint8_t flag) const;
    bool GetUserPrivateData(std::shared_ptr<ST_USER_PRIVATEDATA>& out, std::uint16_t userId) const;
    // At most 128 characters into buffer128; the length, or -1 / 0 when unknown.
    int GetUserName(std::uint16_t userId, char16_t* buffer128) const;
    QString GetUserNameText(std::uint16_t userId) const;
    std::shared_ptr<ST_USER_ITEM_DEPT> GetMyUserItem() const { return m_pMyUserItem; }
    std::shared_ptr<ST_USER_PRIVATEDATA> GetMyPrivateData() const { return m_pMyPrivateData; }
    bool HasCurrentUser() const { return m_pMyUserItem != nullptr; }
    bool IsSelfPresenterQueued() const;
    void GetConfExtra(ST_CONF_EXTRA* out);

    CVideoCycle& GetVideoCycle() { return m_videoCycle; }
    ICsManager* GetCsManager() const { return m_pCsManager; }

    // --- the message pump ---
    // Drains the queue into the handlers: 0 when the queue was emptied, -1 when there is no
    // queue yet or the connection was lost (the items behind the loss stay queued).
    int ProcessCsMessage();
    void RefreshConfInfo();
    void RefreshMyRecords();
    void OnServerList(std::uint8_t kind, std::uint32_t a, std::uint32_t b, std::uint32_t c,
                      std::uint32_t d);
    void FormatMeetingTime(std::uint32_t seconds);
    // "%d小时%d分钟", "%dh%dm" or "%d小時%d分鐘" by language index.
    static QString FormatDuration(std::uint32_t seconds, int languageIndex);

private:
    void Dispatch(ST_CS_MSG& message);
    void WriteRoomByte(std::uint16_t offset, std::uint8_t value);
    void ApplyRoomDefaults();
    void CopyAppInfoToSettings();
    bool SpeakerLimitReached() const;
    void ShowSpeakerLimit();
    void ShowBox(const QString& text, int countdownSeconds, int type,
                 std::function<void(XConfManager&, int)> onClosed);

    ICsManager* m_pCsManager = nullptr;
    ICsUserManager* m_pUserManager = nullptr;
    ICsHandler* m_pCsHandler = nullptr;
    IUserHandler* m_pUserHandler = nullptr;
    IMainFrame* m_pMainFrame = nullptr;
    ST_CONF_LOGIN_INFO m_loginInfo;
    const ST_CONF_APPINFO* m_pAppInfo = nullptr;
    std::array<std::uint8_t, ST_CONF_LOGIN_INFO::kRoomAttrSize> m_roomAttr{};
    std::shared_ptr<ST_USER_PRIVATEDATA> m_pMyPrivateData;
    std::shared_ptr<ST_USER_ITEM_DEPT> m_pMyUserItem;
    CVideoCycle m_videoCycle;
    std::map<std::uint16_t, std::array<std::uint8_t, 3>> m_videoRequests;
    std::map<std::uint16_t, int> m_quietVideoRequests;  // answers still to come, by media id
    yav::CriticalSection m_csLock;
    CSafeQueue* m_pMsgQueue = nullptr;
    std::string m_strHandOverDigest;
    bool m_bPumping = false;
    int m_nStayEndingBoxes = 0;
    // Answers of boxes that close after this object is gone are ignored.
    std::shared_ptr<XConfManager*> m_alive;
};
