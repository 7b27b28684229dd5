#pragma once
// The road's own dialogs: the login window, the conference list and the server choice (held
// for the road's whole run, as the road owns them), the conference password box and the
// program's message box.

#include <memory>

#include "RoadPorts.h"
#include "dialogs/login/CDlgConfList.h"
#include "dialogs/login/CDlgLogin.h"
#include "dialogs/login/CDlgTransSvr.h"

class CRoadDialogs : public yav::road::IRoadWindows {
public:
    CRoadDialogs();
    ~CRoadDialogs() override;

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

    CDlgLogin& GetLogin() { return m_dlgLogin; }
    CDlgConfList& GetConfList() { return m_dlgConfList; }
    CDlgTransSvr& GetTransSvr() { return m_dlgTransSvr; }

private:
    CJoinConfHander* m_pOwner = nullptr;
    CDlgLogin m_dlgLogin;
    CDlgConfList m_dlgConfList;
    CDlgTransSvr m_dlgTransSvr;
};
