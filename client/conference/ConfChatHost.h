#pragma once
// The chat windows' host in the room: the conference manager answers for participants,
// rights and sending; what belongs to the main frame and the participant window (message
// boxes, voice groups, the chat tab, the speaker device) comes in as operations, so the
// room wires them without this library knowing its classes.

#include <functional>

#include "client/dialogs/chat/IChatHost.h"

class XConfManager;

class ConfChatHost : public IChatHost {
public:
    struct FrameOps {
        std::function<void(const QString& text, int type, std::function<void(int)> onClosed)>
            showMessageBox;
        std::function<void(std::uint16_t userId, std::uint32_t group)> moveUserToAudioGroup;
        std::function<void(std::uint32_t group)> dissolveAudioGroup;
        std::function<void()> flashChatTab;
        std::function<int()> speakerIndex;
    };

    ConfChatHost(XConfManager& manager, FrameOps ops);

    void Transmit(std::uint16_t to, std::uint16_t subCommand, const void* data,
                  std::uint16_t length) override;
    std::shared_ptr<ST_USER_ITEM_DEPT> GetMyUserItem() const override;
    std::shared_ptr<ST_USER_ITEM_DEPT> GetUserById(std::uint16_t userId) const override;
    std::vector<ST_USER_ITEM_DEPT> GetAllUsers() const override;
    std::uint16_t GetMyUserId() const override;
    bool IsMyRoleState0or5() const override;
    bool IsMyRoleState2() const override;
    bool GetRoomFlagA() const override;
    std::uint8_t GetChatRights() const override;
    const ST_CONF_APPINFO* GetAppInfo() const override;
    int GetSpeakerCount() const override;
    void ShowMessageBox(const QString& text, int type,
                        std::function<void(int answer)> onClosed) override;
    void MoveUserToAudioGroup(std::uint16_t userId, std::uint32_t group) override;
    void DissolveAudioGroup(std::uint32_t group) override;
    int GetSpeakerIndex() const override;
    void FlashChatTab() override;

private:
    XConfManager& m_manager;
    FrameOps m_ops;
};
