#pragma once
// The road's windows in the running program: the room frame and the start-up window here;
// the login window, conference list, server choice, password box and message box from the
// road's dialogs (CRoadDialogs, or a test's own).

#include <QPointer>
#include <QWidget>

#include <memory>

#include "RoadPorts.h"

class CRoadWindows : public yav::road::IRoadWindows {
public:
    // dialogs: the road's dialogs (not null).
    explicit CRoadWindows(std::unique_ptr<yav::road::IRoadWindows> dialogs);
    ~CRoadWindows() override;

    void SetOwner(CJoinConfHander* owner) override;
    bool LoginHasWindow() const override;
    void EndLogin() override;
    int RunLogin() override;
    bool ConfListHasWindow() const override;
    void CancelConfList() override;
    void SetConfList(const std::vector<ST_CONF_ITEM>& items, const QString& userName) override;
    int RunConfList() override;
    bool TransSvrHasWindow() const override;
    void EndTransSvr() override;
    int RunTransSvr(const std::vector<ST_CS_SERVER>& servers) override;
    int AskChairPassword(QString* password) override;
    int ShowMessage(const QString& caption, const QString& text, int countdownSeconds,
                    int type) override;
    void RememberMonitor() override;
    bool CreateRoomWindow(const QString& confName, uint32_t confId) override;
    void CloseStartup() override;

private:
    std::unique_ptr<yav::road::IRoadWindows> m_dialogs;
};
