#pragma once
// What the conference road needs of the windows it shows and of the main frame it logs in
// through. The program's start-up window supplies the real ones; tests supply their own.

#include <QString>

#include <cstdint>
#include <string>
#include <vector>

#include "ST_CONF_ITEM.h"
#include "ST_CS_SERVER.h"
#include "ST_UPGRADE_SERVER.h"

class CJoinConfHander;

namespace yav::road {

// Dialog results the road tests for.
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;

// The road's modal windows and message boxes. Every Run... call returns the dialog's
// end code; Has...Window tells whether the window is open (somewhere up the nested loops).
class IRoadWindows {
public:
    virtual ~IRoadWindows() = default;

    // The road gives itself to the login window, the list and the server choice.
    virtual void SetOwner(CJoinConfHander* owner) = 0;

    virtual bool LoginHasWindow() const = 0;
    // Ends the login window as its OK would.
    virtual void EndLogin() = 0;
    virtual int RunLogin() = 0;

    virtual bool ConfListHasWindow() const = 0;
    // Ends the list as the road does when it moves on (the list answers IDOK).
    virtual void CancelConfList() = 0;
    virtual void SetConfList(const std::vector<ST_CONF_ITEM>& items, const QString& userName) = 0;
    virtual int RunConfList() = 0;

    virtual bool TransSvrHasWindow() const = 0;
    virtual void EndTransSvr() = 0;
    // Shows the offered conference servers; its OK calls the owner's LoginChosenCsServer.
    virtual int RunTransSvr(const std::vector<ST_CS_SERVER>& servers) = 0;

    // The conference (chair) password box: caption text 754, prompt text 82.
    virtual int AskChairPassword(QString* password) = 0;
    // The program's message box, modal.
    virtual int ShowMessage(const QString& caption, const QString& text, int countdownSeconds,
                            int type) = 0;

    // Notes the monitor of the list (or else the login window) for the room to open on.
    virtual void RememberMonitor() = 0;
};

// The windows beside the road's dialogs: the room it opens and the start-up window whose loop
// carries the program. A port of its own, so that a test can run its own dialogs under the
// real room.
class IRoadRoom {
public:
    virtual ~IRoadRoom() = default;

    // Creates and shows the room window of the named conference under the start-up window;
    // false when it failed.
    virtual bool CreateRoomWindow(const QString& confName, uint32_t confId) = 0;
    // Closes the start-up window, which ends the program through its normal shut-down.
    virtual void CloseStartup() = 0;
};

// What the conference server's upgrade query left for the updater.
struct UpgradeInfo {
    std::string serverVersion;  // GBK
    std::string zipMd5;
    std::string downloadUrl;  // GBK
    std::vector<ST_UPGRADE_SERVER> servers;
};

// The conference-server login of the main frame.
class IConfLogin {
public:
    virtual ~IConfLogin() = default;
    virtual void SetLoginInfo(const QString& name, const QString& password, uint8_t mode) = 0;
    virtual void SetCsServer(const ST_CS_SERVER& record) = 0;
    // A password handed over at start as already digested (GBK; empty when none).
    virtual void SetHandOverDigest(const std::string& digest) = 0;
    // 0 logged in, -4 the server offers an upgrade, other values error codes.
    virtual int LoginCs(uint32_t confId, uint16_t* extra, uint8_t flag) = 0;
    virtual void LogoutCs() = 0;
    // The upgrade offer the last login's upgrade query left (empty when none).
    virtual UpgradeInfo GetUpgradeInfo() const = 0;
};

}  // namespace yav::road
