#include "JoinConfHander.h"

#include <QStringList>

#include <algorithm>
#include <cstring>

#include "Common/MD5String.h"
#include "IDsManager.h"
#include "KroDsManger.h"
#include "RoadText.h"
#include "ServerErrorText.h"
#include "config/AppSettings.h"
#include "config/ConfigManger.h"
#include "config/LangFormat.h"
#include "platform/core/Log.h"
#include "platform/core/TextCodec.h"

using yav::road::kIdCancel;
using yav::road::kIdOk;

namespace {

constexpr uint16_t kDefaultDsPort = 8875;

// The data server's port: the configured one, 8875 unless configured otherwise.
uint16_t ConfiguredDsPort() {
    const uint32_t port = g_AppSettings.DsSvrPort;
    return port > 0 && port <= 0xFFFF ? static_cast<uint16_t>(port) : kDefaultDsPort;
}
constexpr size_t kIdentityBytes = 63;

}  // namespace

CJoinConfHander::CJoinConfHander(std::unique_ptr<yav::road::IRoadWindows> windows,
                                 std::unique_ptr<yav::road::IRoadRoom> room,
                                 yav::road::IConfLogin* frame)
    : m_windows(std::move(windows)), m_room(std::move(room)), m_frame(frame) {
    m_pDsManager = Kro_CreateDsManager();
    if (m_pDsManager == nullptr) {
        YLOG_WARN("数据服务器组件创建失败");
    }
}

CJoinConfHander::~CJoinConfHander() {
    // The windows first: they wait for their workers, which may still be in ConnectDs.
    m_windows.reset();
    Release();
}

void CJoinConfHander::Release() {
    std::lock_guard lock(m_dsLock);
    m_pConfList.clear();
    m_nCurConf = -1;
    m_pCsServers.clear();
    if (m_pDsManager != nullptr) {
        Kro_DestroyDsManager(m_pDsManager);
        m_pDsManager = nullptr;
    }
}

QString CJoinConfHander::GetServerDs() const {
    std::lock_guard lock(m_dsLock);
    return m_strSvrDs;
}

QString CJoinConfHander::StartName() const {
    return yav::road::StartParamName(m_startParam);
}

QString CJoinConfHander::StartPassword() const {
    return yav::road::StartParamPassword(m_startParam);
}

void CJoinConfHander::SetStartParams(bool autoJoin, const ST_START_PARAM* block,
                                     const QString& digestPwd) {
    m_strDigestPwd = yav::text::Utf16ToGbk(digestPwd.toStdU16String());
    m_bAutoJoin = autoJoin ? 1 : 0;
    if (block != nullptr) {
        m_startParam = *block;
    }
    if (m_frame != nullptr) {
        m_frame->SetHandOverDigest(m_strDigestPwd);
    }
    if (autoJoin) {
        std::lock_guard lock(m_dsLock);
        m_nDsPort = ConfiguredDsPort();
        m_strSvrDs = yav::road::StartParamServer(m_startParam);
    }
}

void CJoinConfHander::OnStart() {
    if (m_bExiting) {
        return;
    }
    m_windows->SetOwner(this);
    if (m_windows->LoginHasWindow()) {
        m_windows->EndLogin();
    }
    if (m_bAutoJoin != 0) {
        ShowConfListDlg();
    } else {
        m_windows->RunLogin();
    }
}

int CJoinConfHander::ConnectDs(const QString& serverList, uint16_t port) {
    // The login page always asks for the default port; a configured port takes its place.
    if (port == kDefaultDsPort) {
        port = ConfiguredDsPort();
    }
    const QStringList parts = serverList.split(QLatin1Char(';'));
    std::vector<ST_DS_ADDR> entries(static_cast<size_t>(parts.size()));
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const std::string address = yav::road::ResolveDsAddress(parts[i].toStdString());
        ST_DS_ADDR& entry = entries[static_cast<size_t>(i)];
        if (address.size() < sizeof(entry.address)) {
            std::memcpy(entry.address, address.c_str(), address.size() + 1);
        } else {
            // A name that neither resolves nor fits would reach a different host when cut.
            YLOG_WARN("数据服务器地址过长，无法使用: %s", address.c_str());
        }
        entry.port = port;
    }

    std::lock_guard lock(m_dsLock);
    int result = 0;
    int chosen = 0;
    if (m_pDsManager != nullptr && !entries.empty()) {
        result =
            m_pDsManager->ConnectDs(entries.data(), static_cast<int32_t>(entries.size()), &chosen);
    }
    if (result != 0) {
        m_nDsPort = port;
        const size_t index = chosen >= 0 && static_cast<size_t>(chosen) < entries.size()
                                 ? static_cast<size_t>(chosen)
                                 : 0;
        m_strSvrDs = QString::fromUtf8(entries[index].address);
    }
    return result;
}

int CJoinConfHander::ShowConfListDlg() {
    const std::string server = GetServerDs().toStdString();
    const std::string name = yav::road::ToGbkCut(StartName(), kIdentityBytes);
    const std::string pwd = yav::road::ToGbkCut(StartPassword(), kIdentityBytes);
    const uint32_t confId = yav::road::StartParamConfId(m_startParam);
    const uint8_t type = static_cast<uint8_t>(yav::road::StartParamType(m_startParam));

    if (m_bAutoJoin != 0) {
        std::lock_guard lock(m_dsLock);
        if (m_pDsManager != nullptr) {
            m_pDsManager->SetServer(server.c_str(), 0, 0, m_nDsPort);
        }
    }
    YLOG_DEBUG("CJoinConfHander::ShowConfListDlg confid=%d m_strSvrDs=%s szName=%s type=%d",
               static_cast<int>(confId), server.c_str(), StartName().toUtf8().constData(),
               static_cast<int>(type));
    const bool ok = RequestConfList(confId, server.c_str(), name.c_str(), pwd.c_str(), type);
    if (ok) {
        CloseRoadDialogs(2);
    } else {
        YLOG_WARN("从DS获取会议列表失败 ret:%d", 0);
    }
    return ok ? 1 : 0;
}

bool CJoinConfHander::RequestConfList(uint32_t confId, const char* server, const char* name,
                                      const char* pwd, uint8_t type) {
    const std::string digest =
        m_strDigestPwd.empty() ? MD5String(pwd != nullptr ? pwd : "") : m_strDigestPwd;

    int result = -4;
    int32_t count = 0;
    uint16_t extra = 0;
    const ST_CONF_ITEM* full = nullptr;
    const ST_CONF_ITEM_SHORT* brief = nullptr;
    std::vector<ST_CONF_ITEM> received;
    {
        std::lock_guard lock(m_dsLock);
        if (m_pDsManager != nullptr) {
            result = m_pDsManager->GetConfList(server, m_nDsPort, confId, name, digest.c_str(),
                                               type, &count, &extra, &full, &brief, 0);
            if (result != 0) {
                YLOG_DEBUG("获取DS会议列表失败，发起第二次请求 ret:%d", result);
                count = 0;
                extra = 0;
                full = nullptr;
                brief = nullptr;
                result = m_pDsManager->GetConfList(server, m_nDsPort, confId, name, digest.c_str(),
                                                   type, &count, &extra, &full, &brief, 0);
            }
        }
        if (result == 0) {
            // The component's arrays are only good until its next call: copy them now.
            const size_t n = count > 0 ? static_cast<size_t>(count) : 0;
            received.resize(n);
            if (full != nullptr) {
                std::copy(full, full + n, received.begin());
            } else if (brief != nullptr) {
                std::transform(brief, brief + n, received.begin(), ST_CONF_ITEM::FromShort);
            }
        }
    }

    if (result == 0) {
        m_pConfList = std::move(received);
        m_nConfCount = static_cast<int>(m_pConfList.size());
        m_nCurConf = -1;
    } else {
        // The data server's extra value goes with the code: a waiting time shows as such
        // instead of as zero minutes and seconds.
        ShowServerError(result, extra, type);
    }
    return result == 0;
}

const ST_CONF_ITEM* CJoinConfHander::FindConfById(uint32_t confId) {
    m_nCurConf = -1;
    for (size_t i = 0; i < m_pConfList.size(); ++i) {
        if (m_pConfList[i].confId == confId) {
            m_nCurConf = static_cast<int>(i);
            return &m_pConfList[i];
        }
    }
    return nullptr;
}

bool CJoinConfHander::NeedWayBackToLogin() const {
    return m_nConfCount == 1 && m_bAutoJoin == 0 && m_bUpgrading == 0 && !m_bExiting;
}

void CJoinConfHander::BackToLoginWindow() {
    ++m_nRoadRound;
    CloseRoadDialogs(3);
    m_windows->RunLogin();
    AfterLogin();
}

void CJoinConfHander::AfterLogin() {
    if (m_bExiting) {
        return;
    }
    if (m_nConfCount == 1 && yav::road::StartParamType(m_startParam) == 0) {
        yav::road::SetStartParamConfId(m_startParam, m_pConfList.front().confId);
    }
    m_windows->SetConfList(m_pConfList, StartName());
    if (FindConfById(yav::road::StartParamConfId(m_startParam)) != nullptr) {
        const int round = m_nRoadRound;
        EnterConfRoom();
        if (m_bInRoom != 0 || m_bExiting || m_bUpgrading != 0 || round != m_nRoadRound) {
            return;
        }
        // The direct entry failed and nothing else was shown: offer the list, so the user
        // is never left without a window.
        m_bListAgain = false;
    }
    RunConfListUntilDone();
}

void CJoinConfHander::RunConfListUntilDone() {
    for (;;) {
        const int result = m_windows->RunConfList();
        if (m_bExiting) {
            return;
        }
        if (result == kIdCancel) {
            ReturnToLogin();
            return;
        }
        if (!m_bListAgain || m_bInRoom != 0 || m_bUpgrading != 0) {
            m_bListAgain = false;
            return;
        }
        // The server choice ended without a room: the list comes back.
        m_bListAgain = false;
        m_windows->SetConfList(m_pConfList, StartName());
    }
}

int CJoinConfHander::EnterConfRoom() {
    YLOG_DEBUG("进入会议室开始");
    if (m_bExiting || m_nCurConf < 0 || static_cast<size_t>(m_nCurConf) >= m_pConfList.size()) {
        return -1;
    }
    const ST_CONF_ITEM entry = m_pConfList[static_cast<size_t>(m_nCurConf)];
    m_dwEnterConfId = entry.confId;

    const QString startName = StartName();
    const QString startPassword = StartPassword();
    const int type = yav::road::StartParamType(m_startParam);
    if (entry.hasIdentity == 1) {
        m_dwEnterConfId = entry.identityConfId;
        const QString entryName =
            yav::road::FromGbkField(entry.identityName, sizeof(entry.identityName));
        const QString name = (type == 0 && !entryName.isEmpty()) ? entryName : startName;
        const QString password =
            yav::road::FromGbkField(entry.identityPassword, sizeof(entry.identityPassword));
        if (m_frame != nullptr) {
            m_frame->SetLoginInfo(name, password, 2);
        }
    } else {
        QString password = startPassword;
        uint8_t mode = 0;
        if (type == 2) {
            mode = 2;
        } else if (type == 1 || type == 5) {
            if (entry.passwordFree != 0) {
                mode = 1;
            } else {
                QString typed;
                if (m_windows->AskChairPassword(&typed) != kIdOk) {
                    return -1;
                }
                password = typed;
                mode = 2;
            }
        }
        if (m_frame != nullptr) {
            m_frame->SetLoginInfo(startName, password, mode);
        }
    }

    if (GetCsServers(entry.confId) == 0) {
        return -1;
    }

    if (m_nCsServerCount <= 0) {
        m_windows->ShowMessage(LoadLangString(1), LoadLangString(43), 0, 0);
        if (NeedWayBackToLogin()) {
            BackToLoginWindow();
        }
        return -1;
    }
    if (m_nCsServerCount == 1) {
        if (m_frame != nullptr) {
            m_frame->SetCsServer(m_pCsServers.front());
        }
        m_chosenServer = m_pCsServers.front();
        LoginCS();
        if (m_bInRoom != 0) {
            CloseRoadDialogs(3);
            return 1;
        }
        if (NeedWayBackToLogin()) {
            BackToLoginWindow();
        }
        return m_bExiting ? 1 : -1;
    }

    CloseRoadDialogs(3);
    m_offeredServers = m_pCsServers;
    m_windows->RunTransSvr(m_offeredServers);
    m_offeredServers.clear();
    if (m_bInRoom == 0 && !m_bExiting && m_bUpgrading == 0) {
        // Back, or a login that failed: the list comes back rather than nothing at all.
        m_bListAgain = true;
    }
    return 1;
}

void CJoinConfHander::LoginChosenCsServer(int serverIndex) {
    if (m_bExiting || serverIndex < 0 ||
        static_cast<size_t>(serverIndex) >= m_offeredServers.size()) {
        return;
    }
    m_chosenServer = m_offeredServers[static_cast<size_t>(serverIndex)];
    if (m_frame != nullptr) {
        m_frame->SetCsServer(m_chosenServer);
    }
    LoginCS();
}

int CJoinConfHander::GetCsServers(uint32_t confId) {
    m_pCsServers.clear();
    m_nCsServerCount = 0;
    const std::string server = GetServerDs().toStdString();
    const std::string name = yav::road::ToGbkCut(StartName(), kIdentityBytes);
    const std::string pwd = yav::road::ToGbkCut(StartPassword(), kIdentityBytes);

    std::lock_guard lock(m_dsLock);
    int result = -1;
    if (m_pDsManager != nullptr) {
        const ST_CS_SERVER* list = nullptr;
        int32_t count = 0;
        result = m_pDsManager->GetCsServers(server.c_str(), &list, &count, confId, name.c_str(),
                                            pwd.c_str(), 2);
        if (result != 0 && list != nullptr && count > 0) {
            m_pCsServers.assign(list, list + count);
        }
    }
    m_nCsServerCount = static_cast<int>(m_pCsServers.size());
    return result;
}

void CJoinConfHander::LoginCS() {
    YLOG_DEBUG("登陆CS服务器 IP=%s, ConfID=%d",
               std::string(m_chosenServer.csAddress,
                           strnlen(m_chosenServer.csAddress, sizeof(m_chosenServer.csAddress)))
                   .c_str(),
               static_cast<int>(m_dwEnterConfId));
    uint16_t extra = 0;
    const int result = m_frame != nullptr ? m_frame->LoginCs(m_dwEnterConfId, &extra, 0) : -1;
    if (result == 0) {
        m_bInRoom = 1;
    } else {
        m_bInRoom = 0;
        // Whatever the login left open on the server side is closed again.
        if (m_frame != nullptr) {
            m_frame->LogoutCs();
        }
        if (result == -4) {
            const int answer =
                m_windows->ShowMessage(LoadLangString(1), LoadLangString(1945), 0, 22);
            if (answer == kIdOk) {
                // Upgrading only once the updater runs: an updater that did not start must
                // not keep the road from its way back (the user would be left without a
                // window).
                RunUpgrade();
            }
        } else {
            YLOG_DEBUG("登陆CS失败 ret=0x%x", static_cast<unsigned>(result));
            ShowServerError(result, extra, -1);
        }
    }

    if (m_bInRoom != 0) {
        m_windows->RememberMonitor();
        QString confName;
        if (m_nCurConf >= 0 && static_cast<size_t>(m_nCurConf) < m_pConfList.size()) {
            const ST_CONF_ITEM& entry = m_pConfList[static_cast<size_t>(m_nCurConf)];
            confName = yav::road::FromGbkField(entry.confName, sizeof(entry.confName));
        }
        if (!m_room->CreateRoomWindow(confName, m_dwEnterConfId)) {
            YLOG_WARN("会议室窗口创建失败");
            m_bInRoom = 0;
            if (m_frame != nullptr) {
                m_frame->LogoutCs();
            }
        }
    }
}

void CJoinConfHander::ShowServerError(int code, uint16_t extra, int mode) {
    const int textId = yav::road::ServerErrorTextId(code, mode);
    QString text = LoadLangString(textId);
    switch (yav::road::ServerErrorTextFormat(code)) {
        case yav::road::ServerErrorFormat::MinutesSeconds:
            text = yav::SafeFormat(text, {extra / 60, extra % 60});
            break;
        case yav::road::ServerErrorFormat::NoArguments:
            text = yav::SafeFormat(text, {});
            break;
        case yav::road::ServerErrorFormat::Plain:
            break;
    }
    m_windows->ShowMessage(LoadLangString(1), text, 0, 0);
}

void CJoinConfHander::CloseRoadDialogs(int which) {
    if (m_windows->LoginHasWindow()) {
        m_windows->EndLogin();
    }
    if (which == 1) {
        return;
    }
    if (m_windows->ConfListHasWindow()) {
        m_windows->CancelConfList();
    }
    if (which == 2) {
        return;
    }
    if (m_windows->TransSvrHasWindow()) {
        m_windows->EndTransSvr();
    }
}

void CJoinConfHander::ShowConfListAgain() {
    m_bInRoom = 0;
    if (m_bExiting) {
        return;
    }
    if (m_windows->ConfListHasWindow()) {
        m_windows->CancelConfList();
    }
    m_windows->SetConfList(m_pConfList, StartName());
    m_bListAgain = false;
    RunConfListUntilDone();
}

void CJoinConfHander::ReturnToLogin() {
    if (m_bExiting) {
        return;
    }
    m_windows->SetOwner(this);
    if (m_windows->LoginHasWindow()) {
        m_windows->EndLogin();
    }
    m_windows->RunLogin();
    AfterLogin();
}

void CJoinConfHander::ExitApp() {
    m_bExiting = true;
    Release();
    m_room->CloseStartup();
}
