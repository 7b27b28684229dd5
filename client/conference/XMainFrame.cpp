#include "XMainFrame.h"

#include <cstring>

#include "RoadText.h"
#include "RoomFrame.h"
#include "UpgradeInfo.h"
#include "XConfManager.h"
#include "platform/core/Log.h"

XMainFrame* g_pMainFrame = nullptr;

namespace {

constexpr size_t kNameBytes = 63;
constexpr size_t kPasswordBytes = 32;

}  // namespace

XMainFrame::XMainFrame() : m_pConfManager(std::make_unique<XConfManager>()) {
    m_pConfManager->SetMainFrame(this);
}

XMainFrame::~XMainFrame() {
    if (m_pRoom != nullptr) {
        delete m_pRoom.data();
    }
    m_pConfManager.reset();
    YLOG_INFO("XMainFrame::~XMainFrame 析构");
}

void XMainFrame::SetLoginInfo(const QString& name, const QString& password, uint8_t mode) {
    m_strLoginName = name;
    m_strLoginPassword = password;
    m_byLoginMode = mode;
}

void XMainFrame::SetCsServer(const ST_CS_SERVER& record) {
    m_csServer = record;
}

void XMainFrame::SetHandOverDigest(const std::string& digest) {
    if (m_pConfManager) {
        m_pConfManager->SetHandOverDigest(digest);
    }
}

std::string XMainFrame::CsLoginName(const QString& name) {
    return yav::road::ToGbkCut(name, kNameBytes);
}

std::string XMainFrame::CsLoginPassword(const QString& password) {
    return yav::road::ToGbkCut(password, kPasswordBytes);
}

int XMainFrame::LoginCs(uint32_t confId, uint16_t* extra, uint8_t flag) {
    uint16_t scratch = 0;
    uint16_t* out = extra != nullptr ? extra : &scratch;
    *out = 0;
    m_dwConfId = confId;
    if (!m_pConfManager) {
        return -1;
    }
    const std::string name = CsLoginName(m_strLoginName);
    const std::string password = CsLoginPassword(m_strLoginPassword);
    const std::string address(m_csServer.csAddress,
                              strnlen(m_csServer.csAddress, sizeof(m_csServer.csAddress)));
    return m_pConfManager->SetupConference(address.c_str(), m_csServer.csPort, confId, name.c_str(),
                                           password.c_str(), out, m_byLoginMode, flag);
}

int XMainFrame::ReLogin() {
    uint16_t scratch = 0;
    return LoginCs(m_dwConfId, &scratch, 1);
}

void XMainFrame::LogoutCs() {
    if (m_pConfManager) {
        m_pConfManager->Logout();
    }
}

int XMainFrame::PumpCsMessage() {
    return m_pConfManager ? m_pConfManager->ProcessCsMessage() : -1;
}

yav::road::UpgradeInfo XMainFrame::GetUpgradeInfo() const {
    yav::road::UpgradeInfo info;
    info.serverVersion = g_UpgradeInfo.serverVersion;
    info.zipMd5 = g_UpgradeInfo.zipMd5;
    info.downloadUrl = g_UpgradeInfo.downloadUrl;
    info.servers = g_UpgradeInfo.servers;
    return info;
}

void XMainFrame::CopyServerName(char* out) const {
    if (out == nullptr) {
        return;
    }
    const size_t length = strnlen(m_csServer.mediaAddress, sizeof(m_csServer.mediaAddress) - 1);
    std::memcpy(out, m_csServer.mediaAddress, length);
    out[length] = '\0';
}

bool XMainFrame::CreateRoomWindow(QWidget* parent, const QString& confName, uint32_t confId) {
    if (m_pRoom != nullptr) {
        delete m_pRoom.data();
    }
    m_pRoom = new CRoomFrame(this, parent);
    return m_pRoom->Open(confName, confId);
}

CRoomFrame* XMainFrame::GetRoomWindow() const {
    return m_pRoom.data();
}

void XMainFrame::ReceiveVideo(uint16_t, uint32_t, uint32_t, IVideoWindow*) {
    // The room's video windows come with the room; there is nothing to open yet.
}

void XMainFrame::ShowPopMsg(const QString& title, const QString& text, int countdownSeconds,
                            int type, std::function<void(int answer)> onClosed) {
    if (m_pRoom != nullptr) {
        m_pRoom->ShowNotice(title, text, countdownSeconds, type, std::move(onClosed));
    } else if (onClosed) {
        onClosed(0);
    }
}

void XMainFrame::CloseByServer() {
    if (m_pRoom != nullptr) {
        m_pRoom->CloseRoom();
    }
}
