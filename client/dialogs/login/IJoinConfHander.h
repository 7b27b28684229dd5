#pragma once
// What the login and conference-entry dialogs ask of the conference road (the join handler
// that owns them and drives start-up, data-server login, conference list and room entry).
// The road implements it; the dialogs keep a plain pointer that the road sets and outlives.
//
// Every operation runs on the GUI thread except ConnectDs, which the login page calls on its
// login worker thread (the road touches nothing else of its own meanwhile).

#include <QString>

#include <cstdint>

class QScreen;
struct ST_CONF_ITEM;
struct ST_START_PARAM;

class IJoinConfHander {
public:
    virtual ~IJoinConfHander() = default;

    // Copies the start block for the following conference entry. The login page passes
    // autoJoin false and an empty digested password.
    virtual void SetStartParams(bool autoJoin, const ST_START_PARAM* block,
                                const QString& digestPwd) = 0;

    // Connects to the data server: addresses or host names joined by ";", and the port.
    // 1 when connected; any other value is a failure. Called on the login worker thread.
    virtual int ConnectDs(const QString& serverList, std::uint16_t port) = 0;

    // Fetches the conference list and goes on to it, ending the login window. 0 when the
    // fetch failed (the login page then unlocks its inputs), non-zero otherwise.
    virtual int ShowConfListDlg() = 0;

    // The screen the road's windows open on (the one the last road window closed on); null
    // when none is remembered. Road windows record theirs before they close.
    virtual QScreen* GetMonitor() const = 0;
    virtual void SetMonitor(QScreen* screen) = 0;

    // The first conference of the last list with that number, or null; the result (null too)
    // is remembered as the conference to enter.
    virtual const ST_CONF_ITEM* FindConfById(std::uint32_t confId) = 0;

    // Enters the remembered conference; -1 when it stopped early (nothing remembered, password
    // prompt cancelled, no conference-server list), 1 otherwise.
    virtual int EnterConfRoom() = 0;

    // Logs in to the conference server chosen in the server choice dialog: the index into the
    // conference-server records the road handed to that dialog.
    virtual void LoginChosenCsServer(int serverIndex) = 0;

    // Releases the data-server connection and ends the program through the normal shut-down.
    virtual void ExitApp() = 0;
};
