#pragma once
// What the panels around the room's video area read of the room and ask of it: the room
// window (target of the posted commands), the conference core's states and role checks, and
// the room's actions. The room installs its host when it creates the panels (SetPanelHost)
// and removes it when it goes; every call runs on the UI thread.

#include <QRect>
#include <QString>

#include <cstdint>
#include <string>

class QWidget;
class IFloatUserList;
class IVoiceVideoWindow;

// The window-close message the panels post to the room (WM_CLOSE).
inline constexpr unsigned int WM_PANEL_CLOSE = 0x0010;

class IPanelHost {
public:
    virtual ~IPanelHost() = default;

    // --- the room window ---
    // Target of the panels' WM_COMMAND posts and owner of their message boxes.
    virtual QWidget* GetRoomWindow() = 0;
    // The work area of the monitor that shows the room window (screen pixels).
    virtual QRect GetMonitorWorkArea() = 0;
    // The whole monitor rectangle of the room window.
    virtual QRect GetMonitorRect() = 0;
    virtual bool IsRoomMinimized() = 0;
    virtual void MinimizeRoom() = 0;
    // 0 normal, 1 maximised to the work area, 2 maximised at start without a normal rectangle.
    virtual int GetViewState() = 0;
    virtual void MaximizeToMonitor(bool on) = 0;
    virtual void CalcNormalRect() = 0;
    // Starts the window manager's move of the room window from a press at the screen point.
    virtual void StartSystemMove(const QPoint& screenPoint) = 0;

    // --- conference core states ---
    virtual bool IsMyRoleState0or5() = 0;
    virtual bool IsMyRoleState2() = 0;
    virtual bool IsMyFlagBit2() = 0;
    virtual std::uint8_t GetMyStatusByte() = 0;
    virtual int GetRecordState() = 0;
    // 0 local, 1 on the server.
    virtual int GetRecordMode() = 0;
    // 0 none, 1 this client shares its screen, 2 it views another's.
    virtual int GetScreenShareState() = 0;
    virtual int GetRemoteControlState() = 0;
    // Presenter state: 0 none, 1 applied, 2 presenter.
    virtual int GetPresenterState() = 0;
    // Speak state: 0 none, 1 queued, 2 speaking.
    virtual int GetSpeakState() = 0;
    virtual bool IsConfFlagSet() = 0;
    virtual bool IsHotkeySpeaking() = 0;
    // The conference server's address (dotted IPv4) and the probe echo's port.
    virtual std::string CopyServerName() = 0;
    virtual std::uint16_t GetProbePort() = 0;

    // --- conference core actions ---
    virtual void ApplySpeak() = 0;
    virtual void ApplyPresenter() = 0;
    // The room's recording (local mode); StartRecord reports success.
    virtual bool StartRecord() = 0;
    virtual void StopRecord() = 0;
    // Re-applies the receive mode of every video window (smart adjust changed).
    virtual void RefreshVideoWindows() = 0;
    // Remote control state 1: the alternative panel layout; state 2: ends the control.
    virtual void RecalcLayout(int mode) = 0;
    virtual void EndRemoteControl() = 0;
    // Shows the device-test window; tells its camera switch the camera state.
    virtual void ShowDeviceTest() = 0;
    virtual void SetTestCameraSwitch(bool on) = 0;

    // --- media counters (cumulative bytes; reset zeroes them first) ---
    // c: audio sent, audio received, video sent, video received; s: screen share sent,
    // received.
    virtual void GetByteCounters(std::uint64_t c[4], std::uint64_t s[2], int reset) = 0;

    // --- control bar, layout pickers, meeting pop-ups ---
    // The settings dialog (made on demand) is shown.
    virtual void ShowSettings() = 0;
    // The room-wide layout synchronisation flag and the conference's permission byte.
    virtual bool IsLayoutSyncOn() = 0;
    virtual int GetLayoutSyncAllowed() = 0;
    virtual void ResetVideoLayoutState(int force) = 0;
    virtual void ApplyLayoutFromNetwork() = 0;
    // Conference option bit 0x10 (H.323 calls).
    virtual bool IsH323Enabled() = 0;
    virtual void RefreshBulletin() = 0;
    virtual bool IsVideoCycleOn() = 0;
    virtual void CloseAllVideo() = 0;
    // The view kind: 1 data, 2 mixed.
    virtual void SetShareLayout(int kind) = 0;
    // The room's video layout mode.
    virtual int GetLayoutMode() = 0;
    // The screen-share settings report a matching source (false without that dialog).
    virtual bool GetSourceMatchFlag() = 0;
    // The full-screen strip is shown whatever the room's state.
    virtual void ShowStripForced() = 0;
    virtual void CloseMyVideoWindows() = 0;
    virtual void GiveUpChair() = 0;
    virtual void ApplyAdmin() = 0;
    virtual void ShowHouselampDlg() = 0;
    virtual void ShowConfSetDlg() = 0;
    virtual void ShowRollcallDlg() = 0;
    virtual void DissolveConference() = 0;

    // --- full-screen strip, slide tab, share pop-up ---
    // g_bFullScreen, the full-video mode, the shared-screen viewer's full screen.
    virtual bool IsFullScreen() = 0;
    virtual bool IsFullVideo() = 0;
    virtual bool IsViewerFullScreen() = 0;
    // A video window is open on its own.
    virtual bool HasOpenVideoWindow() = 0;
    virtual void OnRequestControl(int request, int value) = 0;
    // Ends this client's own screen share.
    virtual void UpdateSpeakerVideo() = 0;
    // Full screen off: the room's own view, panels and z-order back, the voice notice
    // re-placed when voice activation is on.
    virtual void LeaveFullScreen() = 0;
    // Full-video mode ends (WM_VIDEO_ZOOM to the room).
    virtual void PostVideoZoom() = 0;
    // In a conference with a visible document window: the annotation tool box is shown.
    virtual void ShowToolBoxForDocument() = 0;
    // The status bar's button actions for the strip: 1 microphone, 3 raise hand.
    virtual void ExecuteDockCommand(int code) = 0;
    virtual void ShareLocalFile() = 0;
    virtual void StartShareMedia() = 0;
    virtual void ShareDesktop() = 0;
    virtual void NewWhiteboard() = 0;
    virtual void ShowFileList() = 0;
    virtual std::uint32_t GetActiveDocumentId() = 0;

    // --- voice-activation notice ---
    virtual QRect GetRoomRect() = 0;
    // Width of the room's side panel (0 when hidden).
    virtual int GetSidePanelWidth() = 0;
    virtual QString FormatChannelName(int mediaId) = 0;
    virtual bool IsMediaIdBroadcast(int mediaId) = 0;
    // The stream's voice-activation marker.
    virtual void SetStreamMarker(int mediaId, bool on) = 0;
    // The video window that shows the channel outside the video cycle, or null.
    virtual IVoiceVideoWindow* FindVoiceWindow(int mediaId) = 0;
    // The room's layout mode byte and second layout state byte.
    virtual int GetLayoutModeByte() = 0;
    virtual int GetLayoutStateSecond() = 0;
    // The participant/chat panel that the strip floats out, or null.
    virtual IFloatUserList* GetUserListPanel() = 0;
};

// The installed host, or null.
IPanelHost* GetPanelHost();
void SetPanelHost(IPanelHost* host);
