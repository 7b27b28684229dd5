#pragma once
// What the chat windows need of the room: the conference manager's participants, rights and
// sending, the main frame's roles, message boxes and voice groups, the participant window's
// chat tab. The room supplies one; tests supply a recording fake.

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "components/protocol/ST_CONF_APPINFO.h"
#include "components/protocol/ST_USER_ITEM_DEPT.h"

class IChatHost {
public:
    // A message box's answer when confirmed.
    static constexpr int kIdOk = 1;

    virtual ~IChatHost() = default;

    // --- conference manager ---
    virtual void Transmit(std::uint16_t to, std::uint16_t subCommand, const void* data,
                          std::uint16_t length) = 0;
    virtual std::shared_ptr<ST_USER_ITEM_DEPT> GetMyUserItem() const = 0;
    virtual std::shared_ptr<ST_USER_ITEM_DEPT> GetUserById(std::uint16_t userId) const = 0;
    // Every participant in the manager's walk order (the local user included).
    virtual std::vector<ST_USER_ITEM_DEPT> GetAllUsers() const = 0;
    virtual std::uint16_t GetMyUserId() const = 0;
    virtual bool IsMyRoleState0or5() const = 0;
    virtual bool IsMyRoleState2() const = 0;
    // Room attribute 271 bit 0: private chat allowed.
    virtual bool GetRoomFlagA() const = 0;
    // Room attribute 271 (chat rights).
    virtual std::uint8_t GetChatRights() const = 0;
    // Null before the login.
    virtual const ST_CONF_APPINFO* GetAppInfo() const = 0;
    // The number of participants speaking now.
    virtual int GetSpeakerCount() const = 0;

    // --- main frame ---
    // The program's message box (title text 1) without waiting; onClosed gets the answer.
    virtual void ShowMessageBox(const QString& text, int type,
                                std::function<void(int answer)> onClosed) = 0;
    virtual void MoveUserToAudioGroup(std::uint16_t userId, std::uint32_t group) = 0;
    virtual void DissolveAudioGroup(std::uint32_t group) = 0;
    // The playback device of the conference's media settings.
    virtual int GetSpeakerIndex() const = 0;

    // --- participant window ---
    virtual void FlashChatTab() = 0;
};
