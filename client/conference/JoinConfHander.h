#pragma once
// The road into a conference: login window, data-server connection, conference list,
// conference-server choice and login, and back again when the room is left. Everything runs
// on the UI thread inside the start-up window's modal loop, except ConnectDs, which the login
// window calls from its login thread.

#include <QPointer>
#include <QScreen>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "RoadPorts.h"
#include "ST_CONF_ITEM.h"
#include "ST_CS_SERVER.h"
#include "StartParam.h"
#include "dialogs/login/IJoinConfHander.h"

class IDsManager;

class CJoinConfHander : public IJoinConfHander {
public:
    // The road drives the given dialogs and room (both owned) and logs in through the given
    // main frame (not owned; null: every conference-server login fails with -1).
    CJoinConfHander(std::unique_ptr<yav::road::IRoadWindows> windows,
                    std::unique_ptr<yav::road::IRoadRoom> room, yav::road::IConfLogin* frame);
    ~CJoinConfHander() override;
    CJoinConfHander(const CJoinConfHander&) = delete;
    CJoinConfHander& operator=(const CJoinConfHander&) = delete;

    void SetStartParams(bool autoJoin, const ST_START_PARAM* block,
                        const QString& digestPwd) override;
    void OnStart();
    // Connects to the first answering data server of the ";"-separated list; non-zero when
    // connected. Called on the login window's thread.
    int ConnectDs(const QString& serverList, uint16_t port) override;
    // Fetches the list and ends the login window and the list; 0 when fetching failed.
    int ShowConfListDlg() override;
    bool RequestConfList(uint32_t confId, const char* server, const char* name, const char* pwd,
                         uint8_t type);
    const ST_CONF_ITEM* FindConfById(uint32_t confId) override;
    void AfterLogin();
    // -1 on the early stops (no entry, password not given, no answer from the data server),
    // 1 otherwise.
    int EnterConfRoom() override;
    // The server choice's OK: logs in to the conference server of that row.
    void LoginChosenCsServer(int serverIndex) override;
    int GetCsServers(uint32_t confId);
    void LoginCS();
    void ShowServerError(int code, uint16_t extra, int mode);
    void CloseRoadDialogs(int which);
    void ShowConfListAgain();
    void ReturnToLogin();
    // Leaves the road for good: releases the data server and closes the start-up window.
    void ExitApp() override;
    void Release();

    // Upgrade offer: writes the updater's description file and starts the updater.
    void RunUpgrade();
    int StartUpgrade();

    // --- what the login window and the list read ---
    const std::vector<ST_CONF_ITEM>& GetConfList() const { return m_pConfList; }
    int GetConfCount() const { return m_nConfCount; }
    const ST_START_PARAM& GetStartParam() const { return m_startParam; }
    bool IsInRoom() const { return m_bInRoom != 0; }
    bool IsUpgrading() const { return m_bUpgrading != 0; }
    bool IsExiting() const { return m_bExiting; }
    QString GetServerDs() const;
    uint32_t GetDsPort() const { return m_nDsPort; }
    uint32_t GetEnterConfId() const { return m_dwEnterConfId; }
    // The screen the road's windows open on (null: none remembered).
    QScreen* GetMonitor() const override { return m_hMonitor; }
    void SetMonitor(QScreen* screen) override { m_hMonitor = screen; }

    // Where the upgrade's files go and how the updater is started (tests point these at a
    // folder of their own and a starter that records the call).
    struct UpgradePlaces {
        std::string dataDir;     // with trailing "/"
        std::string programDir;  // with trailing "/"
        std::string clientIni;
        // Starts program with its arguments, without waiting; false when it did not start.
        std::function<bool(const std::string& program, const std::vector<std::string>& args)>
            startProcess;
    };
    void SetUpgradePlaces(UpgradePlaces places) { m_upgradePlaces = std::move(places); }

private:
    bool NeedWayBackToLogin() const;
    void BackToLoginWindow();
    // Runs the list until the user leaves it or the road moves on.
    void RunConfListUntilDone();
    QString StartName() const;
    QString StartPassword() const;

    std::vector<ST_CONF_ITEM> m_pConfList;
    int m_nConfCount = 0;
    int m_bUpgrading = 0;
    std::string m_strDigestPwd;
    QPointer<QScreen> m_hMonitor;
    uint32_t m_nDsPort = 0;
    QString m_strSvrDs;
    IDsManager* m_pDsManager = nullptr;
    ST_START_PARAM m_startParam{};
    int m_bAutoJoin = 0;
    // Index of the entry FindConfById found (-1 none); an index survives a new list where a
    // pointer would not.
    int m_nCurConf = -1;
    uint32_t m_dwEnterConfId = 0;
    std::vector<ST_CS_SERVER> m_pCsServers;
    int m_nCsServerCount = 0;
    int m_bInRoom = 0;
    // Set once the road is left for good: no window of the road opens after it.
    bool m_bExiting = false;
    // Set when the server choice ended without a room: the list is shown again.
    bool m_bListAgain = false;
    // Counts the returns to the login window, so a caller sees that the road went on
    // beneath it.
    int m_nRoadRound = 0;
    // The conference-server record handed to the main frame for the login.
    ST_CS_SERVER m_chosenServer{};
    // The records shown in the server choice while it runs.
    std::vector<ST_CS_SERVER> m_offeredServers;

    std::unique_ptr<yav::road::IRoadWindows> m_windows;
    std::unique_ptr<yav::road::IRoadRoom> m_room;
    yav::road::IConfLogin* m_frame = nullptr;
    UpgradePlaces m_upgradePlaces;
    mutable std::mutex m_dsLock;
};
