#include "ChatRoomWindows.h"

#include "client/conference/XConfManager.h"

ChatRoomWindows::ChatRoomWindows(XConfManager& manager, ConfChatHost::FrameOps ops,
                                 QWidget* chatParent,
                                 std::unique_ptr<kromedia::ISoundPlayer> player,
                                 CDlgChat::Clocks clocks)
    : m_host(manager, std::move(ops)) {
    m_pChat = new CDlgChat(&m_host, chatParent, std::move(player), std::move(clocks));
    m_pChat->Create(CDlgChat::IDD, chatParent);
    const std::uint8_t rights = m_host.GetChatRights();
    m_pChat->RefreshRecipients(rights, rights);
}

ChatRoomWindows::~ChatRoomWindows() {
    delete m_pGroups.data();
    delete m_pChat.data();
}

void ChatRoomWindows::ShowGroupManager(QWidget* room) {
    if (!m_pGroups) {
        m_pGroups = new CDlgMgrChatGroup(&m_host, room);
        m_pGroups->Create(CDlgMgrChatGroup::IDD, room);
    }
    m_pGroups->ShowDialog();
}

void ChatRoomWindows::RefreshGroupLists() {
    if (m_pGroups && m_pGroups->IsWindowVisible()) {
        m_pGroups->RefreshLists();
    }
}
