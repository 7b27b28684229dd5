#include "ChatRoomWindows.h"

ChatRoomWindows::ChatRoomWindows(std::unique_ptr<IChatHost> host, QWidget* chatParent,
                                 std::unique_ptr<kromedia::ISoundPlayer> player,
                                 CDlgChat::Clocks clocks)
    : m_host(std::move(host)) {
    m_pChat = new CDlgChat(m_host.get(), chatParent, std::move(player), std::move(clocks));
    m_pChat->Create(CDlgChat::IDD, chatParent);
    const std::uint8_t rights = m_host->GetChatRights();
    m_pChat->RefreshRecipients(rights, rights);
}

ChatRoomWindows::~ChatRoomWindows() {
    delete m_pGroups.data();
    delete m_pChat.data();
}

void ChatRoomWindows::ShowGroupManager(QWidget* room) {
    if (!m_pGroups) {
        m_pGroups = new CDlgMgrChatGroup(m_host.get(), room);
        m_pGroups->Create(CDlgMgrChatGroup::IDD, room);
    }
    m_pGroups->ShowDialog();
}

void ChatRoomWindows::RefreshGroupLists() {
    if (m_pGroups && m_pGroups->IsWindowVisible()) {
        m_pGroups->RefreshLists();
    }
}
