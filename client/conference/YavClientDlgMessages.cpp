// The room window's private messages (network events, connection state, document data,
// camera arrival), device notices, and its commands.

#include <QTimer>

#include <algorithm>

#include "AboutDlg.h"
#include "XConfManager.h"
#include "XDocManager.h"
#include "XMainFrame.h"
#include "client/dialogs/login/CDlgChairPws.h"
#include "client/dialogs/login/CDlgReconnect.h"
#include "client/dialogs/video/CDlgVideoCycle.h"
#include "client/media/XMediaManager.h"
#include "config/AppSettings.h"
#include "config/ConfigManger.h"
#include "platform/core/Log.h"
#include "ui/CDlgPopMsg.h"

namespace {

constexpr UINT kAudioCheckMs = 10;
constexpr int kTextChairPrompt = 82;
constexpr int kTextChairTitle = 754;
constexpr int kTextConfirmTitle = 2596;
constexpr int kTextStopAllSpeakers = 1078;
constexpr int kTextDissolveTitle = 460;
constexpr int kTextDissolve = 475;
constexpr int kTextTitle = 1;
constexpr int kTextStopMediaShare = 5507;
constexpr int kTextCycleRuns = 5501;
constexpr int kTextPagingRuns = 5504;
constexpr int kTextShareDuringRemoteControl = 5708;
constexpr std::uint16_t kSubCommandDissolve = 288;

// Layout commands and the layout mode each sets.
struct LayoutCommand {
    int id;
    std::uint8_t mode;
};
constexpr LayoutCommand kLayoutCommands[] = {
    {32851, 6}, {32852, 7}, {32853, 8}, {32854, 9}, {32855, 1},
    {32856, 2}, {32857, 3}, {32858, 4}, {32859, 5},
};

// Commands whose dialog belongs to another part of the program (created on first use).
struct DialogCommand {
    int id;
    const char* className;
};
constexpr DialogCommand kDialogCommands[] = {
    {32779, "CDlgHouselamp"},
    {32780, "CDlgConfSet"},
    {32781, "CDlgConfRollcall"},
    {32789, "CDlgCallH323"},
    {32835, "CYavClientDlg::StartShareMedia (media sharing)"},
};

}  // namespace

LRESULT CYavClientDlg::OnNetMessage(WPARAM wParam, LPARAM lParam) {
    HandleNetMessage(wParam, lParam);
    return 0;
}

LRESULT CYavClientDlg::OnReconnectState(WPARAM wParam, LPARAM) {
    XMainFrame& frame = Frame();
    if (wParam == 1) {
        EnableWindow(0);
        frame.LeaveConference();
        if (m_pReconnectDlg != nullptr) {
            m_pReconnectDlg->StartReconnectThread(reconnectIntervalMs);
        }
    } else if (wParam == 2) {
        if (!frame.AdoptReLogin()) {
            // The login the worker made cannot be used: out again, and the retries go on.
            RestartReconnect();
            return 1;
        }
        EnableWindow(1);
        frame.EnterConference();
    }
    return 1;
}

void CYavClientDlg::RestartReconnect() {
    if (m_pReconnectDlg == nullptr || !IsWindow()) {
        return;
    }
    // The worker that reported success is leaving its loop; start the next one once it has.
    if (!m_pReconnectDlg->IsWorkerDone()) {
        QTimer::singleShot(20, this, [this] { RestartReconnect(); });
        return;
    }
    m_pReconnectDlg->StartReconnectThread(reconnectIntervalMs);
}

LRESULT CYavClientDlg::OnDocDataMessage(WPARAM wParam, LPARAM lParam) {
    XMainFrame& frame = Frame();
    switch (wParam) {
        case 1:
            if (lParam != 0) {
                frame.OnDocWindowMsg(static_cast<std::uint8_t>(lParam));
            }
            break;
        case 2:
            frame.OnDocListMsg(static_cast<std::uint16_t>(lParam));
            break;
        case 3:
            if (const DocPageRecord* record = yav::PayloadOf<DocPageRecord>(lParam)) {
                frame.OnDocPageMsg(static_cast<std::uint16_t>(record->kind), record->value,
                                   record->extra);
            }
            break;
        default:
            YLOG_WARN("收到错误消息参数 wp=%d", static_cast<int>(wParam));
            break;
    }
    return 0;
}

LRESULT CYavClientDlg::OnCameraArrived(WPARAM, LPARAM) {
    const int count = XMediaManager::GetCameraCount();
    YLOG_INFO("收到插入摄像头的消息个数：%d", count);
    if (count != 0) {
        if (m_pTestAVideo != nullptr) {
            m_pTestAVideo->FillCameraList();
        }
        if (m_pStatusBar != nullptr) {
            m_pStatusBar->EnableCameraButton(true);
        }
        if (g_pMediaManager != nullptr) {
            g_pMediaManager->CaptureInsertedDevices();
        }
    }
    return 0;
}

void CYavClientDlg::OnDeviceNodesChanged() {
    SetTimer(TIMER_AUDIO_DEVICE_CHECK, kAudioCheckMs);
}

void CYavClientDlg::OnCaptureDeviceArrived() {
    PostMessage(WM_CAMERA_ARRIVED, 0, 0);
}

LRESULT CYavClientDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // Device nodes changed (the media component's device monitor posts it): the audio devices
    // are checked once the changes have settled, however many arrive.
    if (message == WM_DEVICECHANGE && wParam == DBT_DEVNODES_CHANGED) {
        OnDeviceNodesChanged();
    }
    return yav::Dialog::WindowProc(message, wParam, lParam);
}

// --- commands ------------------------------------------------------------------------------

void CYavClientDlg::MapCommands() {
    MapCommand(32772, [this] {
        CDlgChairPws ask(LoadLangString(kTextChairPrompt), LoadLangString(kTextChairTitle), this);
        if (ask.DoModal() == IDOK) {
            if (XConfManager* manager = Frame().GetConfManager()) {
                Frame().m_strChairPassword = ask.m_strPassword;
                manager->ApplyChair(ask.m_strPassword);
            }
        }
    });
    MapCommand(32774, [this] {
        // Given up: a reconnection does not apply for the chair again.
        Frame().m_strChairPassword.clear();
        if (XConfManager* manager = Frame().GetConfManager()) {
            manager->GiveUpChair();
        }
    });
    MapCommand(32791, [this] {
        OnConfirmedCommand(kTextStopAllSpeakers, kTextConfirmTitle, [this] {
            if (XConfManager* manager = Frame().GetConfManager()) {
                manager->StopAllSpeakers();
            }
        });
    });
    MapCommand(32782, [this] {
        OnConfirmedCommand(kTextDissolve, kTextDissolveTitle, [this] {
            if (XConfManager* manager = Frame().GetConfManager()) {
                manager->Transmit(0, kSubCommandDissolve, nullptr, 0);
            }
            // The server relays to everybody but the sender: this room closes as theirs do.
            Frame().OnConfDissolved(nullptr, 0);
        });
    });
    MapCommand(32783, [this] { ShowUnavailable("CYavClientDlg::ToggleOnlineRecord (recording)"); });
    MapCommand(32833, [this] {
        if (m_pFileList != nullptr) {
            m_pFileList->ShowCentered();
        }
    });
    MapCommand(32834, [this] { MissingChild("CYavClientDlg::ShareLocalFile (documents)"); });
    MapCommand(32836, [this] {
        OnConfirmedCommand(kTextStopMediaShare, kTextTitle, [this] { StopMediaPlay(); });
    });
    MapCommand(32837, [this] {
        // This screen cannot be offered to everybody while it is controlled or controls another.
        if (Frame().GetRemoteControlState() != 0) {
            ShowMessageBox(kTextShareDuringRemoteControl, 0);
            return;
        }
        if (m_pScreenShareSet != nullptr) {
            m_pScreenShareSet->ShowWindow(SW_SHOW);
        }
    });
    MapCommand(32863, [this] {
        m_arrangement.viewMode = 4;
        if (XDocManager* docs = Frame().GetDocManager()) {
            docs->OpenWhiteboard();
        }
    });
    MapCommand(32784, [this] {
        if (m_pLayoutManager == nullptr) {
            return;
        }
        if (m_pLayoutManager->IsVideoCycleOn()) {
            m_pLayoutManager->CloseAllVideo();
        } else {
            m_pLayoutManager->StartVideoCycle();
        }
    });
    for (const int id : {32785, 32786}) {
        MapCommand(id, [this, id] {
            if (m_pLayoutManager != nullptr && m_pLayoutManager->IsVideoCycleOn()) {
                ShowMessageBox(kTextCycleRuns, 0);
                return;
            }
            if (id == 32785) {
                GetCycleSetDlg()->ShowDlg(CDlgCycleSet::kModeCycle);
            } else {
                GetCycleFilterDlg()->ShowDlg();
            }
        });
    }
    MapCommand(32787, [this] {
        if (m_pControlBar != nullptr) {
            m_pControlBar->SetAutoPaging(!m_pControlBar->IsAutoPaging());
        }
    });
    MapCommand(32788, [this] {
        if (m_pControlBar != nullptr && m_pControlBar->IsAutoPaging()) {
            ShowMessageBox(kTextPagingRuns, 0);
            return;
        }
        GetCycleSetDlg()->ShowDlg(CDlgCycleSet::kModeAutoPage);
    });
    for (const LayoutCommand& command : kLayoutCommands) {
        MapCommand(command.id, [this, mode = command.mode] { OnLayoutCommand(mode); });
    }
    for (const DialogCommand& command : kDialogCommands) {
        MapCommand(command.id, [this, name = command.className] { MissingChild(name); });
    }
    MapCommand(1282, [this] { SetFullScreen(g_bFullScreen == 0); });
    MapCommand(32790, [this] { OnChatGroupCommand(); });
}

void CYavClientDlg::OnChatGroupCommand() {
    MissingChild("CDlgMgrChatGroup");
}

void CYavClientDlg::OnConfirmedCommand(int textId, int captionId,
                                       const std::function<void()>& action) {
    CDlgPopMsg confirm(LoadLangString(captionId), LoadLangString(textId), 0, 0, this, 1);
    if (confirm.DoModal() == IDOK) {
        action();
    }
}

void CYavClientDlg::OnLayoutCommand(std::uint8_t layoutMode) {
    if (layoutMode == 2 && m_pVoiceIncentive != nullptr) {
        m_pVoiceIncentive->HideNotice();
    }
    m_layoutBytes.mainDisplay = 0;
    m_layoutBytes.mainContent = 2;
    m_layoutBytes.sideContent = 0;
    m_layoutBytes.layoutMode = layoutMode;
    LayoutPanes(1);
    if (g_AppSettings.byDocLayoutMode != 0) {
        Frame().ResetVideoLayoutState(0);
    }
}

CDlgCycleSet* CYavClientDlg::GetCycleSetDlg() {
    if (m_pCycleSet == nullptr) {
        m_pCycleSet = std::make_unique<CDlgCycleSet>(this, &Frame());
        m_pCycleSet->Create(CDlgCycleSet::IDD, this);
    }
    return m_pCycleSet.get();
}

CDlgCycleFilter* CYavClientDlg::GetCycleFilterDlg() {
    if (m_pCycleFilter == nullptr) {
        m_pCycleFilter = std::make_unique<CDlgCycleFilter>(this, &Frame());
        m_pCycleFilter->Create(CDlgCycleFilter::IDD, this);
    }
    return m_pCycleFilter.get();
}

void CYavClientDlg::StopMediaPlay() {
    // Nothing plays without the media-play window of the media sharing.
}

void CYavClientDlg::OnSysCommand(UINT id, LPARAM) {
    if ((id & 0xFFF0u) == 16) {
        CAboutDlg about(this);
        about.DoModal();
    }
}
