#pragma once
// What the reconnect dialog needs of the room's main frame while the conference-server
// connection is being restored.

#include "platform/window/WindowHandle.h"

class IReconnectHost {
public:
    virtual ~IReconnectHost() = default;

    // Logs in to the conference server again with the stored server, conference and
    // credentials; 0 on success, otherwise the login's error code. Runs on the reconnect
    // worker thread.
    virtual int ReLoginCS() = 0;

    // The room window, target of WM_RECONNECT_STATE (wParam 2) when a re-login succeeded.
    virtual yav::WindowHandle GetMainWindowHandle() = 0;

    // The main frame's reconnecting flag (the dialog stays top-most while it is set).
    virtual bool IsReconnecting() = 0;

    // The user gave up: set the leave flag (as the dismiss command does), close the room
    // window through its normal close, and clear the reconnecting flag.
    virtual void GiveUpConference() = 0;
};
