#pragma once
// The conference-server connection. Created by Kro_CreateCsManager, released by
// Kro_DestroyCsManager. It runs its own I/O thread; every operation may be called from the UI
// thread (Login and the other answering calls block until the server answers or a time-out).
// Requests made while not logged in are dropped. Room events arrive in the ST_CS_MSG queue
// (GetMsgQueue), drained by the client's pump.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "CSafeQueue.h"
#include "ICsHandler.h"
#include "ICsUserManager.h"
#include "ST_CONF_APPINFO.h"
#include "ST_CONF_EXTRA.h"
#include "ST_CONF_LOGIN_INFO.h"
#include "ST_ROLLCALL_ITEM.h"
#include "ST_UPGRADE_SERVER.h"

// Results of Login besides the error codes of the data-server table.
enum : int32_t {
    CS_LOGIN_OK = 0,
    CS_ERR_CONNECT = -1,      // the server cannot be reached
    CS_ERR_TIMEOUT = -2,      // no answer in time
    CS_ERR_VERSION = 0x1000,  // client version refused; GetRequiredVersion tells which
};

class ICsManager {
public:
    virtual ~ICsManager() = default;

    // 0 the handler for slots 11 and 12 (called from the component's thread).
    virtual void SetCsHandler(ICsHandler* handler) = 0;
    // 1 the participant list; valid after Login (null before the first one).
    virtual ICsUserManager* GetUserManager() = 0;
    // 2 the current login record (2329 bytes) with the room attributes as last reported.
    virtual void GetConfLoginInfo(ST_CONF_LOGIN_INFO* out) = 0;
    // 3 the server's limits for the conference; kept valid while logged in (the pointer
    // stays the same for the component's life, the content is renewed by each Login).
    virtual const ST_CONF_APPINFO* GetAppInfo() = 0;
    // 4 connects, logs in and takes one consistent snapshot (login record, limits, every
    // participant including me) before returning. mode: 0 account password, 1 no password
    // check (guest entry), 2 conference password. Returns 0, CS_ERR_*, or a refusal code of
    // the data-server error table (0x8001 unknown account, 0x8003 unknown conference,
    // 0x8005 full, 0x8007 wrong password, 0x8009 locked, 0x800B kicked out, ...).
    virtual int32_t Login(const char* server, uint16_t port, uint32_t confId, const char* name,
                          const char* passwordDigest, uint8_t mode) = 0;
    // 5 leaves the conference and closes the connection; the queue is emptied.
    virtual void Logout() = 0;
    // 6 asks a conference server (own short connection) which client version it serves.
    // Returns the number of upgrade servers (>= 0) with the server's version text, the
    // archive's MD5 text and download URL, or -1 (no connection) / -2 (no answer).
    virtual int32_t QueryUpgradeInfo(KroGuid clientGuid, const char* server, uint16_t port,
                                     const char* clientVersion, std::string* serverVersion,
                                     std::string* zipMd5, std::string* downloadUrl,
                                     std::vector<ST_UPGRADE_SERVER>* servers) = 0;
    // 7 running figures of the conference.
    virtual void GetConfExtra(ST_CONF_EXTRA* out) = 0;
    // 8 own device state: audio device (82), owned-channel mask (83), channel count (84),
    // byte 85, microphone count, reserved; every participant gets my record again (0x504).
    virtual void SetConfOptions(uint8_t audioDevice, uint8_t channelMask, uint8_t channelCount,
                                uint8_t value85, uint8_t micCount, uint8_t reserved) = 0;
    // 9 joins the presenter queue (0x509 state 1).
    virtual void ApplyPresenter() = 0;
    // 10 leaves the queue or gives the presenter role up (0x509 state 0).
    virtual void CancelPresenterApply() = 0;
    // 11 chair: makes a user presenter (on 1) or takes the role/queue place away (on 0).
    virtual void SetPresenter(uint16_t userId, uint8_t on) = 0;
    // 12 asks to speak (1) or withdraws (0) (0x555).
    virtual void ApplySpeak(uint8_t apply) = 0;
    // 13 chair: sets a user's speak state (0 none, 2 speaking).
    virtual void AwardSpeek(uint16_t userId, uint8_t status) = 0;
    // 15 asks for the chair role with the chair password (GBK); success arrives as 0x50B,
    // refusal as 0x30B.
    virtual void ApplyChair(const char* password) = 0;
    // 16 gives the chair or temporary administrator role up.
    virtual void GiveUpChair() = 0;
    // 17 changes the account password (MD5 hex texts); the answer arrives as 0x383.
    virtual void ModifyPassword(const char* name, const char* oldDigest, const char* newDigest,
                                const char* confirmDigest) = 0;
    // 18 chair: locks (non-zero) or unlocks the conference (login byte 70, 0x50C).
    virtual void SetConfSetting(uint32_t value) = 0;
    // 19 chair: removes a participant with a reason and a GBK text shown to them.
    virtual void KickUser(uint16_t userId, uint16_t reason, const char* text) = 0;
    // 20 the client version the server asked for after a 0x1000 refusal.
    virtual uint16_t GetRequiredVersion() = 0;
    // 21 asks to receive a media id (answer 0x351).
    virtual void RequestVideo(uint16_t mediaId) = 0;
    // 22 owner or chair: starts or stops broadcasting a channel to everybody (0x553).
    virtual void BroadcastVideo(uint16_t mediaId, uint8_t on) = 0;
    // 24 chair: sets the conference mode byte (0x558).
    virtual void SetConfSettingByte(uint8_t value) = 0;
    // 25 relays a user-to-user command to user `to` (0 = everybody); at most 65535 bytes.
    virtual void Transmit(uint16_t to, uint16_t subCommand, const void* data, uint16_t length) = 0;
    // 26 writes bytes of the room attributes; notify 1 reports 0x365, 0 reports 0x557.
    virtual void SetUserAttribute(uint16_t offset, uint16_t length, const void* data,
                                  uint8_t notify) = 0;
    // 27 writes bytes of a user's private data (own data, or any user's for a chair);
    // every participant gets 0x367 with the user id.
    virtual void SetUserData(uint16_t userId, uint16_t offset, uint16_t length, const void* data,
                             uint8_t notify) = 0;
    // 28 the conference's roll; rows stay the component's until the next call. Returns 0,
    // -1 (not logged in, count 0) or the server's refusal.
    virtual int32_t RollCallRequest(const char16_t* name, const char16_t* password, uint32_t confId,
                                    const ST_ROLLCALL_ITEM** rows, uint32_t* count) = 0;
    // 30 chair: grants (1) or removes (0) temporary administration (kind 5).
    virtual void SetTempAdmin(uint16_t userId, uint8_t on) = 0;
    // 31 chair: starts (1) or stops (0) recording on the server (room attribute 274).
    virtual void SetServerRecord(uint32_t on) = 0;
    // 32 acknowledges a duration notice: the conference goes on and the next notice comes
    // one limit period later.
    virtual void GetConfDuration() = 0;
    // 33 the event queue; the same object for the component's life.
    virtual CSafeQueue* GetMsgQueue() = 0;
    // The media relay's ticket of the current login (random, renewed by each Login; zeros
    // before the first): each media channel gets it with IMediaControl::SetTicket.
    virtual std::array<uint8_t, 16> GetMediaTicket() = 0;
};
