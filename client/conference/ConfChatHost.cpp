#include "ConfChatHost.h"

#include "client/conference/XConfManager.h"
#include "components/protocol/ST_CONF_LOGIN_INFO.h"

ConfChatHost::ConfChatHost(XConfManager& manager, FrameOps ops)
    : m_manager(manager), m_ops(std::move(ops)) {}

void ConfChatHost::Transmit(std::uint16_t to, std::uint16_t subCommand, const void* data,
                            std::uint16_t length) {
    m_manager.Transmit(to, subCommand, data, length);
}

std::shared_ptr<ST_USER_ITEM_DEPT> ConfChatHost::GetMyUserItem() const {
    return m_manager.GetMyUserItem();
}

std::shared_ptr<ST_USER_ITEM_DEPT> ConfChatHost::GetUserById(std::uint16_t userId) const {
    std::shared_ptr<ST_USER_ITEM_DEPT> user;
    return m_manager.GetUserById(user, userId, 0) ? user : nullptr;
}

std::vector<ST_USER_ITEM_DEPT> ConfChatHost::GetAllUsers() const {
    return m_manager.GetAllUsers();
}

std::uint16_t ConfChatHost::GetMyUserId() const {
    return m_manager.GetMyUserId();
}

bool ConfChatHost::IsMyRoleState0or5() const {
    return m_manager.IsMyRoleState0or5();
}

bool ConfChatHost::IsMyRoleState2() const {
    return m_manager.IsMyRoleState2();
}

bool ConfChatHost::GetRoomFlagA() const {
    return m_manager.GetRoomFlagA();
}

std::uint8_t ConfChatHost::GetChatRights() const {
    return m_manager.GetRoomAttr()[ROOM_ATTR_CHAT_RIGHTS];
}

const ST_CONF_APPINFO* ConfChatHost::GetAppInfo() const {
    return m_manager.GetAppInfo();
}

int ConfChatHost::GetSpeakerCount() const {
    ICsUserManager* users = m_manager.GetUserManager();
    return users != nullptr ? users->GetSpeakerCount() : 0;
}

void ConfChatHost::ShowMessageBox(const QString& text, int type,
                                  std::function<void(int answer)> onClosed) {
    if (m_ops.showMessageBox) {
        m_ops.showMessageBox(text, type, std::move(onClosed));
    }
}

void ConfChatHost::MoveUserToAudioGroup(std::uint16_t userId, std::uint32_t group) {
    if (m_ops.moveUserToAudioGroup) {
        m_ops.moveUserToAudioGroup(userId, group);
    }
}

void ConfChatHost::DissolveAudioGroup(std::uint32_t group) {
    if (m_ops.dissolveAudioGroup) {
        m_ops.dissolveAudioGroup(group);
    }
}

int ConfChatHost::GetSpeakerIndex() const {
    return m_ops.speakerIndex ? m_ops.speakerIndex() : -1;
}

void ConfChatHost::FlashChatTab() {
    if (m_ops.flashChatTab) {
        m_ops.flashChatTab();
    }
}
