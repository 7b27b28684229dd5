// The room's voice-group manager: made on the first command 32790 of a stay over the
// conference manager, with the main frame's boxes and group moves; gone with the stay.

#include <QPointer>

#include "ConfChatHost.h"
#include "XConfManager.h"
#include "XMainFrame.h"
#include "client/config/ConfigManger.h"
#include "client/dialogs/chat/CDlgMgrChatGroup.h"
#include "client/media/XMediaManager.h"

namespace {

constexpr int kTextBoxTitle = 1;

}  // namespace

struct XMainFrame::ChatGroupRoom {
    ChatGroupRoom(XConfManager& manager, ConfChatHost::FrameOps ops)
        : host(manager, std::move(ops)) {}
    ~ChatGroupRoom() { delete dialog.data(); }
    ChatGroupRoom(const ChatGroupRoom&) = delete;
    ChatGroupRoom& operator=(const ChatGroupRoom&) = delete;

    ConfChatHost host;
    QPointer<CDlgMgrChatGroup> dialog;
};

ConfChatHost::FrameOps XMainFrame::ChatFrameOps(std::function<void()> flashChatTab) {
    ConfChatHost::FrameOps ops;
    ops.showMessageBox = [this](const QString& text, int type, std::function<void(int)> onClosed) {
        ShowPopMsg(LoadLangString(kTextBoxTitle), text, 0, type,
                   [onClosed = std::move(onClosed)](int answer) {
                       if (onClosed) {
                           onClosed(answer);
                       }
                   });
    };
    ops.moveUserToAudioGroup = [this](std::uint16_t userId, std::uint32_t group) {
        MoveUserToAudioGroup(userId, group);
    };
    ops.dissolveAudioGroup = [this](std::uint32_t group) { DissolveAudioGroup(group); };
    ops.flashChatTab = std::move(flashChatTab);
    ops.speakerIndex = [] {
        return g_pMediaManager != nullptr ? g_pMediaManager->GetSettings().Player : -1;
    };
    return ops;
}

void XMainFrame::OnChatGroupCommand() {
    if (!m_pConfManager) {
        return;
    }
    if (!m_pChatGroupRoom) {
        m_pChatGroupRoom = std::make_shared<ChatGroupRoom>(*m_pConfManager, ChatFrameOps({}));
    }
    if (m_pChatGroupRoom->dialog == nullptr) {
        m_pChatGroupRoom->dialog = new CDlgMgrChatGroup(&m_pChatGroupRoom->host, this);
        m_pChatGroupRoom->dialog->Create(CDlgMgrChatGroup::IDD, this);
    }
    m_pChatGroupRoom->dialog->ShowDialog();
}

void XMainFrame::RefreshChatGroupManager() {
    if (m_pChatGroupRoom && m_pChatGroupRoom->dialog != nullptr &&
        m_pChatGroupRoom->dialog->IsWindowVisible()) {
        m_pChatGroupRoom->dialog->RefreshLists();
    }
}

CDlgMgrChatGroup* XMainFrame::GetChatGroupManager() const {
    return m_pChatGroupRoom ? m_pChatGroupRoom->dialog.data() : nullptr;
}
