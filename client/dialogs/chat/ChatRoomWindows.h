#pragma once
// The chat windows of one room over the room's chat host: the chat window (a page of the
// participant window, made at once) and the voice-group manager (made on first use, for room
// command 32790). The room keeps one of these for its stay and routes 257 and 296 into Chat().

#include <QPointer>

#include <memory>

#include "CDlgChat.h"
#include "CDlgMgrChatGroup.h"
#include "IChatHost.h"

class ChatRoomWindows {
public:
    // chatParent: the participant window's page area; the sound player is the real one
    // unless one is given.
    ChatRoomWindows(std::unique_ptr<IChatHost> host, QWidget* chatParent,
                    std::unique_ptr<kromedia::ISoundPlayer> player = {},
                    CDlgChat::Clocks clocks = {});
    ~ChatRoomWindows();

    CDlgChat& Chat() { return *m_pChat; }
    IChatHost& Host() { return *m_host; }
    // Shows the voice-group manager over the room, making it on first use.
    void ShowGroupManager(QWidget* room);
    // Refills the manager's lists when it exists (participants or their groups changed).
    void RefreshGroupLists();
    CDlgMgrChatGroup* GroupManager() { return m_pGroups.data(); }

private:
    std::unique_ptr<IChatHost> m_host;
    // The windows belong to their Qt parents too: whichever goes first, each is deleted once.
    QPointer<CDlgChat> m_pChat;
    QPointer<CDlgMgrChatGroup> m_pGroups;
};
