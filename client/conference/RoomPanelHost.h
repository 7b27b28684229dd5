#pragma once
// What the panels around the video area ask of the room, answered by the main frame. Actions
// that belong to windows or managers the room does not have yet are logged once and do
// nothing; the rest reach the conference manager, the room window or its commands.

#include <set>
#include <string>

#include "client/dialogs/panels/PanelHost.h"
#include "client/dialogs/panels/PanelNeighbours.h"

class XMainFrame;
class IUserList;

class RoomPanelHost : public IPanelHost {
public:
    explicit RoomPanelHost(XMainFrame& frame) : frame_(frame) {}

    QWidget* GetRoomWindow() override;
    QRect GetMonitorWorkArea() override;
    QRect GetMonitorRect() override;
    bool IsRoomMinimized() override;
    void MinimizeRoom() override;
    int GetViewState() override;
    void MaximizeToMonitor(bool on) override;
    void CalcNormalRect() override {}
    void StartSystemMove(const QPoint& screenPoint) override;

    bool IsMyRoleState0or5() override;
    bool IsMyRoleState2() override;
    bool IsMyFlagBit2() override;
    std::uint8_t GetMyStatusByte() override;
    int GetRecordState() override;
    int GetRecordMode() override;
    int GetScreenShareState() override;
    int GetRemoteControlState() override;
    int GetPresenterState() override;
    int GetSpeakState() override;
    bool IsConfFlagSet() override;
    bool IsHotkeySpeaking() override { return false; }
    std::string CopyServerName() override;
    std::uint16_t GetProbePort() override;

    void ApplySpeak() override;
    void ApplyPresenter() override;
    bool StartRecord() override;
    void StopRecord() override;
    void RefreshVideoWindows() override { Missing("RefreshVideoWindows (video windows)"); }
    void RecalcLayout(int) override { Missing("RecalcLayout (remote control)"); }
    void EndRemoteControl() override { Missing("EndRemoteControl (remote control)"); }
    void ShowDeviceTest() override { Missing("CDlgTestAVideo (device test)"); }
    void SetTestCameraSwitch(bool) override { Missing("CDlgTestAVideo (device test)"); }
    void GetByteCounters(std::uint64_t c[4], std::uint64_t s[2], int reset) override;

    void ShowSettings() override { Missing("CDlgSysSet (settings)"); }
    bool IsLayoutSyncOn() override;
    int GetLayoutSyncAllowed() override;
    void ResetVideoLayoutState(int reset) override;
    void ApplyLayoutFromNetwork() override;
    bool IsH323Enabled() override;
    void RefreshBulletin() override {}
    bool IsVideoCycleOn() override;
    void CloseAllVideo() override;
    void SetShareLayout(int kind) override;
    int GetLayoutMode() override;
    bool GetSourceMatchFlag() override { return false; }
    void ShowStripForced() override;
    void CloseMyVideoWindows() override {}
    void GiveUpChair() override { PostCommand(32774); }
    void ApplyAdmin() override { PostCommand(32772); }
    void ShowHouselampDlg() override { PostCommand(32779); }
    void ShowConfSetDlg() override { PostCommand(32780); }
    void ShowRollcallDlg() override { PostCommand(32781); }
    void DissolveConference() override { PostCommand(32782); }

    bool IsFullScreen() override;
    bool IsFullVideo() override;
    bool IsViewerFullScreen() override { return false; }
    bool HasOpenVideoWindow() override { return false; }
    void OnRequestControl(int, int) override { Missing("OnRequestControl (remote control)"); }
    void UpdateSpeakerVideo() override;
    void LeaveFullScreen() override;
    void PostVideoZoom() override;
    void ShowToolBoxForDocument() override {}
    void ExecuteDockCommand(int code) override;
    void ShareLocalFile() override { PostCommand(32834); }
    void StartShareMedia() override { PostCommand(32835); }
    void ShareDesktop() override { PostCommand(32837); }
    void NewWhiteboard() override { PostCommand(32863); }
    void ShowFileList() override { PostCommand(32833); }
    std::uint32_t GetActiveDocumentId() override { return 0; }

    QRect GetRoomRect() override;
    int GetSidePanelWidth() override;
    QString FormatChannelName(int mediaId) override;
    bool IsMediaIdBroadcast(int mediaId) override;
    void SetStreamMarker(int, bool) override {}
    IVoiceVideoWindow* FindVoiceWindow(int) override { return nullptr; }
    int GetLayoutModeByte() override;
    int GetLayoutStateSecond() override;
    IFloatUserList* GetUserListPanel() override;

private:
    // The room's participant panel as the strip floats it out and docks it again; the room
    // lays out its panes after each change of place.
    class FloatPanel : public IFloatUserList {
    public:
        explicit FloatPanel(XMainFrame& frame) : frame_(frame) {}
        bool IsFloat() override;
        void SetFloat(bool on) override;
        bool IsMembersPage() override;
        void SelectChatTab() override;
        void SelectMembersTab() override;
        bool IsVisible() override;
        void ShowDlg(int nCmdShow) override;
        void MoveTo(const QRect& screenRect) override;

    private:
        IUserList& Panel();
        XMainFrame& frame_;
        // A screen rectangle given while the panel was docked, taken once it floats.
        QRect floatRect_;
    };

    void PostCommand(int command);
    void Missing(const char* what);

    XMainFrame& frame_;
    FloatPanel floatPanel_{frame_};
    std::set<std::string> missingLogged_;
};
