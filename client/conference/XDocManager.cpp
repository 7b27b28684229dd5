#include "XDocManager.h"

#include "XMainFrame.h"
#include "config/AppSettings.h"
#include "config/ConfigManger.h"
#include "platform/core/Log.h"
#include "platform/core/Profile.h"

XDocManager::XDocManager(std::uint32_t parentValue) {
    auto& create = yav::room::Components().createDocShare;
    if (create) {
        m_pObject = create(parentValue, g_ConfigManager.GetLanguageIndex());
    }
    if (m_pObject == nullptr) {
        YLOG_INFO("document-share component not available: the room runs without documents");
        return;
    }
    m_pView = m_pObject->GetView();
    m_pOffice = m_pObject->GetOffice();
    if (m_pOffice != nullptr && m_pOffice->CheckOfficeSuite() == 0) {
        YLOG_WARN("检查是否安装WPS或者office启动失败");
    }
}

XDocManager::~XDocManager() {
    m_pView = nullptr;
    m_pOffice = nullptr;
    m_pObject.reset();
}

int XDocManager::StartShare(const QString& address, std::uint16_t port, std::uint32_t value,
                            std::uint32_t ownerId, std::uint32_t secondValue,
                            const QString& secondAddress, std::uint16_t secondPort) {
    if (m_pObject == nullptr) {
        return 0;
    }
    const std::string clientIni = g_ConfigManager.GetClientIniPath().toStdString();
    SetFollowLead(static_cast<std::int32_t>(
        yav::profile::GetInt("WBFileControl", "DocFollowLead", 0, clientIni)));
    DocShareStart start;
    start.ownerId = ownerId;
    start.value = value;
    start.port = port;
    start.address = address;
    start.secondValue = secondValue;
    start.secondAddress = secondAddress;
    start.secondPort = secondPort;
    return m_pObject->StartShare(start);
}

void XDocManager::SetFollowLead(std::int32_t value) {
    if (m_pObject != nullptr) {
        const bool presenter = g_pMainFrame != nullptr && g_pMainFrame->IsMyRoleState2();
        m_pObject->SetFollowLead(value, presenter ? 1 : 0);
    }
    m_nFollowLead = value;
}

std::int32_t XDocManager::GetFollowLead() const {
    if (g_pMainFrame != nullptr && g_pMainFrame->IsMyRoleState2()) {
        return 0;
    }
    return m_nFollowLead;
}

void XDocManager::SetHandler(IKroDataHandleMsg* handler) {
    if (m_pObject != nullptr) {
        m_pObject->SetHandler(handler);
    }
}

void XDocManager::Stop() {
    if (m_pObject != nullptr) {
        m_pObject->Stop();
    }
}
void XDocManager::SetLanguage(int languageIndex) {
    if (m_pObject != nullptr) {
        m_pObject->SetLanguage(languageIndex);
    }
}
void XDocManager::SetWindowsShown(std::int32_t value) {
    if (m_pObject != nullptr) {
        m_pObject->SetWindowsShown(value);
    }
}
int XDocManager::QueryState1() {
    return m_pObject != nullptr ? m_pObject->QueryState1() : 0;
}
int XDocManager::QueryState2() {
    return m_pObject != nullptr ? m_pObject->QueryState2() : 0;
}
int XDocManager::QueryState3() {
    return m_pObject != nullptr ? m_pObject->QueryState3() : 0;
}
void XDocManager::CloseAll() {
    if (m_pObject != nullptr) {
        m_pObject->CloseAll();
    }
}
int XDocManager::GetState() {
    return m_pObject != nullptr ? m_pObject->GetState() : -1;
}
void XDocManager::OpenWhiteboard() {
    if (m_pObject != nullptr) {
        m_pObject->OpenWhiteboard();
    }
}
void XDocManager::Reset() {
    if (m_pObject != nullptr) {
        m_pObject->Reset();
    }
}
void XDocManager::EnableTools(int enable) {
    if (m_pObject != nullptr) {
        m_pObject->EnableTools(enable);
    }
}
void XDocManager::EnablePages(int enable) {
    if (m_pObject != nullptr) {
        m_pObject->EnablePages(enable);
    }
}

void XDocManager::SetViewValue(std::int32_t value) {
    if (m_pView != nullptr) {
        m_pView->SetViewValue(value);
    }
}
void XDocManager::RestoreAfterReconnect() {
    if (m_pView != nullptr) {
        m_pView->RestoreAfterReconnect();
    }
}
void XDocManager::SetDocOption(std::int32_t value) {
    if (m_pView != nullptr) {
        m_pView->SetDocOption(value);
    }
}
void XDocManager::GotoPage(std::uint16_t a, std::uint16_t b, std::uint16_t c) {
    if (m_pView != nullptr) {
        m_pView->GotoPage(a, b, c);
    }
}
int XDocManager::GetZoomPercent() {
    return m_pView != nullptr ? m_pView->GetZoomPercent() : 0;
}

void XDocManager::RefreshOffice() {
    if (m_pOffice != nullptr) {
        m_pOffice->Refresh();
    }
}

void XDocManager::ReadOfficeOptions() {
    if (m_pOffice == nullptr) {
        return;
    }
    std::uint8_t a = 0;
    std::uint8_t b = 0;
    std::uint8_t c = 0;
    m_pOffice->GetOptions(&a, &b, &c);
    g_AppSettings.byOfficeOption = c;
    g_AppSettings.bOfficeFlagA = a != 0 ? 1 : 0;
    g_AppSettings.bOfficeFlagB = b != 0 ? 1 : 0;
}
