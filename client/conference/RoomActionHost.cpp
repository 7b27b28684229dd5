#include "RoomActionHost.h"

#include "XConfManager.h"
#include "XDocManager.h"
#include "XMainFrame.h"
#include "config/AppSettings.h"
#include "config/ConfigManger.h"
#include "config/LangFormat.h"
#include "platform/core/Log.h"
#include "platform/core/TextCodec.h"
#include "ui/CDlgPopMsg.h"

using namespace yav::users;

bool RoomActionHost::IsMyRoleState0or5() const {
    return m_manager != nullptr && m_manager->IsMyRoleState0or5();
}

bool RoomActionHost::IsMyRoleState2() const {
    return m_manager != nullptr && m_manager->IsMyRoleState2();
}

std::uint16_t RoomActionHost::GetMyUserId() const {
    return m_manager != nullptr ? m_manager->GetMyUserId() : 0;
}

int RoomActionHost::GetSpeakerCount() const {
    // The count the server enforces its limit on.
    ICsUserManager* users = m_manager != nullptr ? m_manager->GetUserManager() : nullptr;
    return users != nullptr ? users->GetSpeakerCount() : 0;
}

int RoomActionHost::GetOwnBroadcastCount() const {
    std::shared_ptr<ST_USER_ITEM_DEPT> mine =
        m_manager != nullptr ? m_manager->GetMyUserItem() : nullptr;
    return mine != nullptr ? __builtin_popcount(mine->broadcastMask & 0x7Fu) : 0;
}

ConfLimits RoomActionHost::GetLimits() const {
    return {g_AppSettings.wSpeakerLimit, g_AppSettings.byMaxBroadcastChannels,
            g_AppSettings.byMaxRecvChannelsChair, g_AppSettings.byMaxRecvChannelsMember};
}

RemoteAssistState RoomActionHost::GetRemoteAssistState() const {
    RemoteAssistState state;
    if (g_pMainFrame != nullptr) {
        state.screenShareState = g_pMainFrame->GetScreenShareState();
        if (const ST_CONF_APPINFO* info = g_pMainFrame->GetAppInfo(); info != nullptr) {
            state.confOptions = info->flags22;
        }
    }
    return state;
}

void RoomActionHost::AwardSpeek(std::uint16_t userId, std::uint8_t state) {
    if (m_manager != nullptr) {
        m_manager->AwardSpeek(userId, state);
    }
}

void RoomActionHost::SetPresenter(std::uint16_t userId, std::uint8_t on) {
    if (m_manager != nullptr) {
        m_manager->SetPresenter(userId, on);
    }
}

void RoomActionHost::ApplyPresenter() {
    if (m_manager != nullptr) {
        m_manager->ApplyPresenter();
    }
}

void RoomActionHost::SetTempAdmin(std::uint16_t userId, std::uint8_t on) {
    if (m_manager != nullptr) {
        m_manager->SetTempAdmin(userId, on);
    }
}

void RoomActionHost::KickUser(std::uint16_t userId, std::uint16_t reason) {
    if (m_manager != nullptr) {
        const std::string text =
            yav::text::Utf16ToGbk(LoadLangString(kTextRemovedReason).toStdU16String());
        m_manager->KickUser(userId, reason, text.c_str());
    }
}

void RoomActionHost::RequestUserVideo(std::uint16_t mediaId, std::uint8_t on) {
    if (m_manager != nullptr) {
        m_manager->RequestUserVideo(mediaId, on);
    }
}

void RoomActionHost::BroadcastVideo(std::uint16_t mediaId, std::uint8_t on) {
    if (m_manager != nullptr) {
        m_manager->BroadcastVideo(mediaId, on);
    }
}

void RoomActionHost::GrantScreenControl(std::uint16_t userId, std::uint8_t on) {
    if (m_manager != nullptr) {
        m_manager->GrantScreenControl(userId, on);
    }
}

void RoomActionHost::RequestRemoteAssist(std::uint16_t userId, int mode) {
    // The main frame's remote-assistance request comes with the screen-sharing issue.
    YLOG_INFO("remote assistance request user=%u mode=%d", userId, mode);
}

void RoomActionHost::OpenDeviceDialog(std::uint16_t userId) {
    // The device dialog (GetDeviceDlg, OpenForTerminal) comes with the settings issue.
    YLOG_INFO("remote device parameters requested for user=%u", userId);
}

IFullDockX* RoomActionHost::GetFullDock() const {
    return g_pMainFrame != nullptr ? g_pMainFrame->GetFullDock() : nullptr;
}

std::optional<std::uint32_t> RoomActionHost::GetMyVoiceGroup() const {
    if (m_manager == nullptr) {
        return std::nullopt;
    }
    const auto mine = m_manager->GetMyPrivateData();
    return mine != nullptr ? std::optional<std::uint32_t>(mine->groupValue) : std::nullopt;
}

void RoomActionHost::OnOtherPresenter() {
    if (g_pMainFrame == nullptr) {
        return;
    }
    g_pMainFrame->RefreshToolbarStateEx(0, 0);
    if (XDocManager* documents = g_pMainFrame->GetDocManager(); documents != nullptr) {
        documents->SetDocOption(0);
    }
    g_pMainFrame->OnDocWindowMsg(0);
}

void RoomActionHost::SetVideoSpeakIndicator(std::uint16_t mediaId, bool on) {
    if (g_pMainFrame != nullptr) {
        g_pMainFrame->SetVideoSpeakIndicator(mediaId, on);
    }
}

std::uint16_t RoomActionHost::GetPreviewMediaId() const {
    const IPreviewWindow* preview = GetPreviewWindow();
    return preview != nullptr ? preview->GetMediaId() : 0;
}

void RoomActionHost::ReceiveVideo(std::uint16_t mediaId, std::uint8_t on) {
    if (m_manager != nullptr) {
        IPreviewWindow* preview = GetPreviewWindow();
        m_manager->ReceiveVideo(mediaId, on, preview != nullptr ? preview->GetWindow() : nullptr);
    }
}

bool RoomActionHost::IsInLayout(std::uint16_t mediaId) const {
    const IPreviewWindow* preview = GetPreviewWindow();
    return preview != nullptr && preview->IsInLayout(mediaId);
}

bool RoomActionHost::IsOwnLayout() const {
    // The room sets the flag while it keeps its own layout and clears it when it follows the
    // layout sent over the network (the control bar's layout-sync button switches).
    return g_AppSettings.freeLayout != 0;
}

void RoomActionHost::ShowNotice(int textId, int argument) {
    CDlgPopMsg box(LoadLangString(kTextTitle), yav::SafeFormat(LoadLangString(textId), {argument}),
                   0, 0, m_boxParent, 0);
    box.DoModal();
}

bool RoomActionHost::Confirm(int titleId, int textId) {
    CDlgPopMsg box(LoadLangString(titleId), LoadLangString(textId), 0, 1, m_boxParent, 0);
    return box.DoModal() == IDOK;
}
