#pragma once
// What the toolkit's windows read of the room's main window and ask of it. The conference
// core installs its main frame here when it creates it and removes it when it goes; while no
// room exists the pointer is null and the toolkit acts as if there were no main window.

#include <QWidget>

#include "platform/window/WinDefs.h"

class IUiMainFrame {
public:
    virtual ~IUiMainFrame() = default;

    // The room's main window: owner of the member message box and of the sliding tips.
    virtual QWidget* GetMainWindow() = 0;
    // The status bar panel (target of the check buttons' press reports), or null.
    virtual QWidget* GetStatusBar() = 0;
    // The document page-tab window (target of page activation and close requests), or null.
    virtual QWidget* GetDocPageTab() = 0;
    // True for the child windows of the participant list panel whose item pop-ups stay open
    // after a choice.
    virtual bool IsUserListChild(const QWidget* window) = 0;

    // The connection to the conference server is lost.
    virtual bool IsConnectionLost() = 0;
    // The first and second control-state bytes of the room.
    virtual BYTE GetControlStateFirst() = 0;
    virtual BYTE GetControlStateSecond() = 0;
    // Screen-control state: 0 none, 2 this screen is controlled by another participant.
    virtual BYTE GetScreenControlState() = 0;
    // A control request waiting for its answer (non-zero), as the main window keeps it.
    virtual DWORD GetControlRequest() = 0;
    // Accepts (1) or refuses (0) the screen-control request of a participant.
    virtual void AnswerControlRequest(BYTE accept, WORD userId) = 0;
};

// The installed main frame, or null.
extern IUiMainFrame* g_pUiMainFrame;
