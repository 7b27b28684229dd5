#include "RoadDialogs.h"

#include <QApplication>

#include "JoinConfHander.h"
#include "config/ConfigManger.h"
#include "dialogs/login/CDlgChairPws.h"
#include "platform/window/Placement.h"
#include "ui/CDlgPopMsg.h"

CRoadDialogs::CRoadDialogs() = default;

CRoadDialogs::~CRoadDialogs() = default;

void CRoadDialogs::SetOwner(CJoinConfHander* owner) {
    m_pOwner = owner;
    m_dlgLogin.SetParentDlg(owner);
    m_dlgConfList.SetParentDlg(owner);
    m_dlgTransSvr.SetOwner(owner);
}

bool CRoadDialogs::LoginHasWindow() const {
    return m_dlgLogin.IsWindow();
}

// The login window's own OK does nothing (Enter starts a login); the road ends it directly.
void CRoadDialogs::EndLogin() {
    m_dlgLogin.EndDialog(IDOK);
}

int CRoadDialogs::RunLogin() {
    return m_dlgLogin.DoModal();
}

bool CRoadDialogs::ConfListHasWindow() const {
    return m_dlgConfList.IsWindow();
}

void CRoadDialogs::CancelConfList() {
    m_dlgConfList.CancelDlg();
}

void CRoadDialogs::SetConfList(const std::vector<ST_CONF_ITEM>& items, const QString& userName) {
    m_dlgConfList.SetConfList(items.data(), static_cast<int>(items.size()), userName);
}

int CRoadDialogs::RunConfList() {
    return m_dlgConfList.DoModal();
}

bool CRoadDialogs::TransSvrHasWindow() const {
    return m_dlgTransSvr.IsWindow();
}

void CRoadDialogs::EndTransSvr() {
    m_dlgTransSvr.EndDialog(IDCANCEL);
}

int CRoadDialogs::RunTransSvr(const std::vector<ST_CS_SERVER>& servers) {
    m_dlgTransSvr.SetServerList(servers.data(), static_cast<int>(servers.size()));
    return m_dlgTransSvr.DoModal();
}

int CRoadDialogs::AskChairPassword(QString* password) {
    CDlgChairPws box(LoadLangString(82), LoadLangString(754), nullptr);
    const int result = box.DoModal();
    if (result == IDOK && password != nullptr) {
        *password = box.m_strPassword;
    }
    return result;
}

int CRoadDialogs::ShowMessage(const QString& caption, const QString& text, int countdownSeconds,
                              int type) {
    CDlgPopMsg box(caption, text, countdownSeconds, type, QApplication::activeWindow(), 1);
    return box.DoModal();
}

void CRoadDialogs::RememberMonitor() {
    if (m_pOwner == nullptr) {
        return;
    }
    if (m_dlgConfList.IsWindow()) {
        m_pOwner->SetMonitor(yav::ScreenNearest(&m_dlgConfList));
    } else if (m_dlgLogin.IsWindow()) {
        m_pOwner->SetMonitor(yav::ScreenNearest(&m_dlgLogin));
    }
}
