#include "RoomPanelHost.h"

#include <QWindow>

#include "ConfigManger.h"
#include "XConfManager.h"
#include "XMainFrame.h"
#include "client/config/AppSettings.h"
#include "client/media/XMediaManager.h"
#include "components/KroMedia/IKroMedia.h"
#include "platform/core/Log.h"
#include "platform/window/Placement.h"

QWidget* RoomPanelHost::GetRoomWindow() {
    return frame_.IsWindow() ? &frame_ : nullptr;
}

QRect RoomPanelHost::GetMonitorWorkArea() {
    return yav::MonitorRect(&frame_, true);
}

QRect RoomPanelHost::GetMonitorRect() {
    return yav::MonitorRect(&frame_, false);
}

bool RoomPanelHost::IsRoomMinimized() {
    return frame_.isMinimized();
}

void RoomPanelHost::MinimizeRoom() {
    frame_.showMinimized();
}

int RoomPanelHost::GetViewState() {
    return frame_.isMaximized() ? 1 : 0;
}

void RoomPanelHost::MaximizeToMonitor(bool on) {
    if (on) {
        frame_.showMaximized();
    } else {
        frame_.showNormal();
    }
}

void RoomPanelHost::StartSystemMove(const QPoint&) {
    if (QWindow* window = frame_.windowHandle()) {
        window->startSystemMove();
    }
}

bool RoomPanelHost::IsMyRoleState0or5() {
    return frame_.IsMyRoleState0or5();
}
bool RoomPanelHost::IsMyRoleState2() {
    return frame_.IsMyRoleState2();
}
bool RoomPanelHost::IsMyFlagBit2() {
    return frame_.IsMyFlagBit2();
}
std::uint8_t RoomPanelHost::GetMyStatusByte() {
    return frame_.GetMyStatusByte();
}
int RoomPanelHost::GetRecordState() {
    return frame_.GetRecordState();
}
int RoomPanelHost::GetRecordMode() {
    return g_AppSettings.byRecordMode;
}
int RoomPanelHost::GetScreenShareState() {
    return frame_.GetScreenShareState();
}
int RoomPanelHost::GetRemoteControlState() {
    return frame_.GetRemoteControlState();
}

int RoomPanelHost::GetPresenterState() {
    return frame_.IsMyRoleState2() ? 2 : 0;
}

int RoomPanelHost::GetSpeakState() {
    XConfManager* manager = frame_.GetConfManager();
    return manager != nullptr && manager->IsSelfPresenterQueued() ? 1 : 0;
}

bool RoomPanelHost::IsConfFlagSet() {
    XConfManager* manager = frame_.GetConfManager();
    return manager != nullptr && manager->IsConfFlagSet();
}

std::string RoomPanelHost::CopyServerName() {
    char name[64] = {};
    frame_.CopyServerName(name);
    return name;
}

std::uint16_t RoomPanelHost::GetProbePort() {
    return static_cast<std::uint16_t>(g_AppSettings.ProbePort);
}

void RoomPanelHost::ApplySpeak() {
    if (XConfManager* manager = frame_.GetConfManager()) {
        manager->ApplySpeak();
    }
}

void RoomPanelHost::ApplyPresenter() {
    if (XConfManager* manager = frame_.GetConfManager()) {
        manager->ApplyPresenter();
    }
}

bool RoomPanelHost::StartRecord() {
    Missing("StartRecord (local recording)");
    return false;
}

void RoomPanelHost::StopRecord() {
    Missing("StopRecord (local recording)");
}

void RoomPanelHost::SetTestCameraSwitch(bool on) {
    if (g_pMediaManager != nullptr) {
        g_pMediaManager->SetCamerasOn(on);
    }
}

void RoomPanelHost::GetByteCounters(std::uint64_t c[4], std::uint64_t*, int reset) {
    // The screen-share component keeps no counters yet: its two stay 0.
    if (g_pMediaManager != nullptr) {
        g_pMediaManager->GetByteCounters(c, reset);
    }
}

bool RoomPanelHost::IsLayoutSyncOn() {
    // Set while the room keeps a layout of its own, cleared once it follows the leader again.
    return g_AppSettings.freeLayout != 0;
}

int RoomPanelHost::GetLayoutSyncAllowed() {
    // The conference server sends no permission for it: every conference allows it.
    return 1;
}

void RoomPanelHost::ResetVideoLayoutState(int force) {
    frame_.ResetVideoLayoutState(static_cast<uint32_t>(force));
}

void RoomPanelHost::ApplyLayoutFromNetwork() {
    frame_.ApplyLayoutFromNetwork();
}

bool RoomPanelHost::IsH323Enabled() {
    XConfManager* manager = frame_.GetConfManager();
    return manager != nullptr && manager->GetAppInfoFlag10();
}

bool RoomPanelHost::IsVideoCycleOn() {
    ILayoutManager* layout = frame_.GetLayoutManager();
    return layout != nullptr && layout->IsVideoCycleOn();
}

void RoomPanelHost::CloseAllVideo() {
    if (ILayoutManager* layout = frame_.GetLayoutManager()) {
        layout->CloseAllVideo();
    }
}

void RoomPanelHost::SetShareLayout(int) {
    Missing("SetShareLayout (document views)");
}

int RoomPanelHost::GetLayoutMode() {
    return frame_.GetLayoutBytes().layoutMode;
}

bool RoomPanelHost::IsFullScreen() {
    return g_bFullScreen != 0;
}

void RoomPanelHost::UpdateSpeakerVideo() {
    frame_.EndOwnScreenShare();
}

bool RoomPanelHost::IsFullVideo() {
    return frame_.IsFullVideo();
}

void RoomPanelHost::PostVideoZoom() {
    frame_.PostMessage(WM_VIDEO_ZOOM_ROOM, 0, 0);
}

void RoomPanelHost::LeaveFullScreen() {
    frame_.SetFullScreen(false);
}

void RoomPanelHost::RecalcLayout(int mode) {
    frame_.RecalcLayout(mode);
}

void RoomPanelHost::ExecuteDockCommand(int code) {
    if (IStatusBar* bar = frame_.CYavClientDlg::GetStatusBar()) {
        bar->ExecuteDockCommand(code);
    }
}

void RoomPanelHost::ShowStripForced() {
    if (IFullDockX* strip = frame_.GetFullDock()) {
        strip->ShowBarForced();
    }
}

QRect RoomPanelHost::GetRoomRect() {
    return frame_.frameGeometry();
}

int RoomPanelHost::GetSidePanelWidth() {
    // What the docked panel takes of the room now: nothing while it is hidden or floats.
    return frame_.GetPaneRects().sidePanel.width();
}

QString RoomPanelHost::FormatChannelName(int mediaId) {
    QString name;
    frame_.FormatChannelName(static_cast<std::uint16_t>(mediaId), name);
    return name;
}

void RoomPanelHost::SetStreamMarker(int mediaId, bool on) {
    if (mediaId <= 0 || mediaId > 0xFFFF) {
        return;
    }
    const auto id = static_cast<std::uint16_t>(mediaId);
    if (kromedia::IMediaControl* channel = frame_.MediaControlOf(id)) {
        if (kromedia::IMediaStream* stream = channel->GetStream(id)) {
            stream->SetVoiceMarker(on ? 1 : 0);
        }
    }
}

IVoiceVideoWindow* RoomPanelHost::FindVoiceWindow(int mediaId) {
    return voiceLinks_.FindWindow(frame_.GetLayoutManager(), mediaId);
}

bool RoomPanelHost::IsMediaIdBroadcast(int mediaId) {
    return mediaId > 0 && mediaId <= 0xFFFF &&
           frame_.IsMediaIdBroadcast(static_cast<std::uint16_t>(mediaId));
}

int RoomPanelHost::GetLayoutModeByte() {
    return frame_.GetLayoutBytes().layoutMode;
}

int RoomPanelHost::GetLayoutStateSecond() {
    return frame_.GetLayoutBytes().mainDisplay;
}

void RoomPanelHost::PostCommand(int command) {
    frame_.PostMessage(WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(command), 1), 0);
}

void RoomPanelHost::Missing(const char* what) {
    frame_.ShowUnavailable(what);
}

// --- the participant panel the strip floats ---------------------------------------------

IFloatUserList* RoomPanelHost::GetUserListPanel() {
    return frame_.CYavClientDlg::GetUserList() != nullptr ? &floatPanel_ : nullptr;
}

IUserList& RoomPanelHost::FloatPanel::Panel() {
    return *frame_.CYavClientDlg::GetUserList();
}

bool RoomPanelHost::FloatPanel::IsFloat() {
    return Panel().IsFloat();
}

void RoomPanelHost::FloatPanel::SetFloat(bool on) {
    Panel().SetFloat(on);
    if (on && floatRect_.isValid()) {
        Panel().MoveTo(floatRect_);
    }
    floatRect_ = QRect();
    // Floated out, the panel leaves its place beside the videos; docked, it takes it again.
    frame_.LayoutPanes(1);
}

bool RoomPanelHost::FloatPanel::IsMembersPage() {
    return Panel().IsMembersPage();
}

void RoomPanelHost::FloatPanel::SelectChatTab() {
    Panel().SelectChatTab();
}

void RoomPanelHost::FloatPanel::SelectMembersTab() {
    Panel().SelectMembersTab();
}

bool RoomPanelHost::FloatPanel::IsVisible() {
    return Panel().IsVisible();
}

void RoomPanelHost::FloatPanel::ShowDlg(int nCmdShow) {
    Panel().ShowDlg(nCmdShow);
}

void RoomPanelHost::FloatPanel::MoveTo(const QRect& screenRect) {
    // A docked panel stands in room coordinates: the screen place waits for the float.
    if (!Panel().IsFloat()) {
        floatRect_ = screenRect;
        return;
    }
    Panel().MoveTo(screenRect);
}
