#include "RoadWindows.h"

#include <QApplication>

#include "DlgStartup.h"
#include "XMainFrame.h"
#include "platform/core/Log.h"
#include "ui/CDlgPopMsg.h"

using yav::road::kIdCancel;
using yav::road::kIdOk;

CRoadWindows::CRoadWindows(std::unique_ptr<yav::road::IRoadWindows> dialogs)
    : m_dialogs(std::move(dialogs)) {}

CRoadWindows::~CRoadWindows() = default;

void CRoadWindows::SetOwner(CJoinConfHander* owner) {
    if (m_dialogs) {
        m_dialogs->SetOwner(owner);
    }
}

bool CRoadWindows::LoginHasWindow() const {
    return m_dialogs && m_dialogs->LoginHasWindow();
}

void CRoadWindows::EndLogin() {
    if (m_dialogs) {
        m_dialogs->EndLogin();
    }
}

int CRoadWindows::RunLogin() {
    if (!m_dialogs) {
        YLOG_WARN("登录窗口不可用，程序结束");
        if (g_pDlgStartup != nullptr) {
            g_pDlgStartup->GetJoinHandler().ExitApp();
        }
        return kIdCancel;
    }
    return m_dialogs->RunLogin();
}

bool CRoadWindows::ConfListHasWindow() const {
    return m_dialogs && m_dialogs->ConfListHasWindow();
}

void CRoadWindows::CancelConfList() {
    if (m_dialogs) {
        m_dialogs->CancelConfList();
    }
}

void CRoadWindows::SetConfList(const std::vector<ST_CONF_ITEM>& items, const QString& userName) {
    if (m_dialogs) {
        m_dialogs->SetConfList(items, userName);
    }
}

int CRoadWindows::RunConfList() {
    if (!m_dialogs) {
        YLOG_WARN("会议列表窗口不可用，程序结束");
        if (g_pDlgStartup != nullptr) {
            g_pDlgStartup->GetJoinHandler().ExitApp();
        }
        return kIdOk;
    }
    return m_dialogs->RunConfList();
}

bool CRoadWindows::TransSvrHasWindow() const {
    return m_dialogs && m_dialogs->TransSvrHasWindow();
}

void CRoadWindows::EndTransSvr() {
    if (m_dialogs) {
        m_dialogs->EndTransSvr();
    }
}

int CRoadWindows::RunTransSvr(const std::vector<ST_CS_SERVER>& servers) {
    if (!m_dialogs) {
        YLOG_WARN("服务器选择窗口不可用");
        return kIdCancel;
    }
    return m_dialogs->RunTransSvr(servers);
}

int CRoadWindows::AskChairPassword(QString* password) {
    if (!m_dialogs) {
        YLOG_WARN("会议密码窗口不可用");
        return kIdCancel;
    }
    return m_dialogs->AskChairPassword(password);
}

int CRoadWindows::ShowMessage(const QString& caption, const QString& text, int countdownSeconds,
                              int type) {
    if (m_dialogs) {
        return m_dialogs->ShowMessage(caption, text, countdownSeconds, type);
    }
    CDlgPopMsg box(caption, text, countdownSeconds, type, QApplication::activeWindow(), 1);
    return box.DoModal();
}

void CRoadWindows::RememberMonitor() {
    if (m_dialogs) {
        m_dialogs->RememberMonitor();
    }
}

bool CRoadWindows::CreateRoomWindow(const QString& confName, uint32_t confId) {
    if (g_pMainFrame == nullptr || g_pDlgStartup == nullptr) {
        return false;
    }
    return g_pMainFrame->CreateRoomWindow(g_pDlgStartup, confName, confId);
}

void CRoadWindows::CloseStartup() {
    if (g_pDlgStartup != nullptr) {
        g_pDlgStartup->Close();
    }
}
