#include "RoadWindows.h"

#include "DlgStartup.h"
#include "XMainFrame.h"

CRoadWindows::CRoadWindows(std::unique_ptr<yav::road::IRoadWindows> dialogs)
    : m_dialogs(std::move(dialogs)) {}

CRoadWindows::~CRoadWindows() = default;

void CRoadWindows::SetOwner(CJoinConfHander* owner) {
    m_dialogs->SetOwner(owner);
}

bool CRoadWindows::LoginHasWindow() const {
    return m_dialogs->LoginHasWindow();
}

void CRoadWindows::EndLogin() {
    m_dialogs->EndLogin();
}

int CRoadWindows::RunLogin() {
    return m_dialogs->RunLogin();
}

bool CRoadWindows::ConfListHasWindow() const {
    return m_dialogs->ConfListHasWindow();
}

void CRoadWindows::CancelConfList() {
    m_dialogs->CancelConfList();
}

void CRoadWindows::SetConfList(const std::vector<ST_CONF_ITEM>& items, const QString& userName) {
    m_dialogs->SetConfList(items, userName);
}

int CRoadWindows::RunConfList() {
    return m_dialogs->RunConfList();
}

bool CRoadWindows::TransSvrHasWindow() const {
    return m_dialogs->TransSvrHasWindow();
}

void CRoadWindows::EndTransSvr() {
    m_dialogs->EndTransSvr();
}

int CRoadWindows::RunTransSvr(const std::vector<ST_CS_SERVER>& servers) {
    return m_dialogs->RunTransSvr(servers);
}

int CRoadWindows::AskChairPassword(QString* password) {
    return m_dialogs->AskChairPassword(password);
}

int CRoadWindows::ShowMessage(const QString& caption, const QString& text, int countdownSeconds,
                              int type) {
    return m_dialogs->ShowMessage(caption, text, countdownSeconds, type);
}

void CRoadWindows::RememberMonitor() {
    m_dialogs->RememberMonitor();
}

bool CRoadWindows::CreateRoomWindow(const QString& confName, uint32_t confId) {
    if (g_pMainFrame == nullptr || g_pDlgStartup == nullptr) {
        return false;
    }
    return g_pMainFrame->CreateRoomWindow(confName, confId);
}

void CRoadWindows::CloseStartup() {
    if (g_pDlgStartup != nullptr) {
        g_pDlgStartup->Close();
    }
}
