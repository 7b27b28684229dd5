#pragma once
// The room as the panels see it: states a test sets, actions recorded in order, and a
// recording room window that receives the panels' posted commands.

#include <QPoint>
#include <QRect>
#include <QString>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "client/dialogs/panels/PanelHost.h"
#include "client/dialogs/panels/PanelNeighbours.h"
#include "fakes/conference/CallLog.h"

namespace fakes {

class FakePanelHost : public IPanelHost {
public:
    explicit FakePanelHost(CallLog& log, QWidget* room = nullptr) : log_(log), room_(room) {
        SetPanelHost(this);
    }
    ~FakePanelHost() override { SetPanelHost(nullptr); }
    FakePanelHost(const FakePanelHost&) = delete;
    FakePanelHost& operator=(const FakePanelHost&) = delete;

    QWidget* GetRoomWindow() override { return room_; }
    QRect GetMonitorWorkArea() override { return workArea; }
    QRect GetMonitorRect() override { return monitor; }
    bool IsRoomMinimized() override { return minimized; }
    void MinimizeRoom() override { log_.Add("MinimizeRoom()"); }
    int GetViewState() override { return viewState; }
    void MaximizeToMonitor(bool on) override { log_.Add(Call("MaximizeToMonitor", on ? 1 : 0)); }
    void CalcNormalRect() override { log_.Add("CalcNormalRect()"); }
    void StartSystemMove(const QPoint& point) override {
        log_.Add(Call("StartSystemMove", point.x(), point.y()));
    }

    bool IsMyRoleState0or5() override { return admin; }
    bool IsMyRoleState2() override { return presenterRole; }
    bool IsMyFlagBit2() override { return flagBit2; }
    std::uint8_t GetMyStatusByte() override { return statusByte; }
    int GetRecordState() override { return recordState; }
    int GetRecordMode() override { return recordMode; }
    int GetScreenShareState() override { return screenShare; }
    int GetRemoteControlState() override { return remoteControl; }
    int GetPresenterState() override { return presenterState; }
    int GetSpeakState() override { return speakState; }
    bool IsConfFlagSet() override { return confFlag; }
    bool IsHotkeySpeaking() override { return hotkey; }
    std::string CopyServerName() override { return serverName; }
    std::uint16_t GetProbePort() override { return probePort; }

    void ApplySpeak() override { log_.Add("ApplySpeak()"); }
    void ApplyPresenter() override { log_.Add("ApplyPresenter()"); }
    bool StartRecord() override {
        log_.Add("StartRecord()");
        return recordStarts;
    }
    void StopRecord() override { log_.Add("StopRecord()"); }
    void RefreshVideoWindows() override { log_.Add("RefreshVideoWindows()"); }
    void RecalcLayout(int mode) override { log_.Add(Call("RecalcLayout", mode)); }
    void EndRemoteControl() override { log_.Add("EndRemoteControl()"); }
    void ShowDeviceTest() override { log_.Add("ShowDeviceTest()"); }
    void SetTestCameraSwitch(bool on) override {
        log_.Add(Call("SetTestCameraSwitch", on ? 1 : 0));
    }
    void GetByteCounters(std::uint64_t c[4], std::uint64_t s[2], int reset) override {
        log_.Add(Call("GetByteCounters", reset));
        for (int i = 0; i < 4; ++i) {
            c[i] += counters[static_cast<size_t>(i)];
        }
        s[0] += counters[4];
        s[1] += counters[5];
    }

    void ShowSettings() override { log_.Add("ShowSettings()"); }
    bool IsLayoutSyncOn() override { return layoutSync; }
    int GetLayoutSyncAllowed() override { return layoutSyncAllowed; }
    void ResetVideoLayoutState(int force) override {
        layoutSync = true;
        log_.Add(Call("ResetVideoLayoutState", force));
    }
    void ApplyLayoutFromNetwork() override {
        layoutSync = false;
        log_.Add("ApplyLayoutFromNetwork()");
    }
    bool IsH323Enabled() override { return h323; }
    void RefreshBulletin() override { log_.Add("RefreshBulletin()"); }
    bool IsVideoCycleOn() override { return videoCycle; }
    void CloseAllVideo() override { log_.Add("CloseAllVideo()"); }
    void SetShareLayout(int kind) override { log_.Add(Call("SetShareLayout", kind)); }
    int GetLayoutMode() override { return layoutMode; }
    bool GetSourceMatchFlag() override { return sourceMatch; }
    void ShowStripForced() override { log_.Add("ShowStripForced()"); }
    void CloseMyVideoWindows() override { log_.Add("CloseMyVideoWindows()"); }
    void GiveUpChair() override { log_.Add("GiveUpChair()"); }
    void ApplyAdmin() override { log_.Add("ApplyAdmin()"); }
    void ShowHouselampDlg() override { log_.Add("ShowHouselampDlg()"); }
    void ShowConfSetDlg() override { log_.Add("ShowConfSetDlg()"); }
    void ShowRollcallDlg() override { log_.Add("ShowRollcallDlg()"); }
    void DissolveConference() override { log_.Add("DissolveConference()"); }

    bool IsFullScreen() override { return fullScreen; }
    bool IsFullVideo() override { return fullVideo; }
    bool IsViewerFullScreen() override { return viewerFull; }
    bool HasOpenVideoWindow() override { return videoOpen; }
    void OnRequestControl(int request, int value) override {
        log_.Add(Call("OnRequestControl", request, value));
    }
    void UpdateSpeakerVideo() override { log_.Add("UpdateSpeakerVideo()"); }
    void LeaveFullScreen() override {
        fullScreen = false;
        log_.Add("LeaveFullScreen()");
    }
    void PostVideoZoom() override { log_.Add("PostVideoZoom()"); }
    void ShowToolBoxForDocument() override { log_.Add("ShowToolBoxForDocument()"); }
    void ExecuteDockCommand(int code) override { log_.Add(Call("ExecuteDockCommand", code)); }
    void ShareLocalFile() override { log_.Add("ShareLocalFile()"); }
    void StartShareMedia() override { log_.Add("StartShareMedia()"); }
    void ShareDesktop() override { log_.Add("ShareDesktop()"); }
    void NewWhiteboard() override { log_.Add("NewWhiteboard()"); }
    void ShowFileList() override { log_.Add("ShowFileList()"); }
    std::uint32_t GetActiveDocumentId() override { return activeDocument; }
    QRect GetRoomRect() override { return roomRect; }
    int GetSidePanelWidth() override { return sidePanel; }
    QString FormatChannelName(int mediaId) override {
        return QStringLiteral("User%1").arg(mediaId);
    }
    bool IsMediaIdBroadcast(int mediaId) override {
        for (int id : broadcast) {
            if (id == mediaId) {
                return true;
            }
        }
        return false;
    }
    void SetStreamMarker(int mediaId, bool on) override {
        log_.Add(Call("SetStreamMarker", mediaId, on ? 1 : 0));
    }

    IVoiceVideoWindow* FindVoiceWindow(int mediaId) override {
        const auto found = voiceWindows.find(mediaId);
        return found != voiceWindows.end() ? found->second : nullptr;
    }
    int GetLayoutModeByte() override { return layoutModeByte; }
    int GetLayoutStateSecond() override { return layoutStateSecond; }
    IFloatUserList* GetUserListPanel() override { return userList; }

    QRect workArea{0, 0, 1280, 720};
    QRect monitor{0, 0, 1280, 760};
    bool minimized = false;
    int viewState = 0;
    bool admin = false;
    bool presenterRole = false;
    bool flagBit2 = false;
    std::uint8_t statusByte = 0;
    int recordState = 0;
    int recordMode = 0;
    int screenShare = 0;
    int remoteControl = 0;
    int presenterState = 0;
    int speakState = 0;
    bool confFlag = false;
    bool hotkey = false;
    std::string serverName = "127.0.0.1";
    std::uint16_t probePort = 8000;
    bool recordStarts = true;
    std::uint64_t counters[6] = {};
    bool layoutSync = false;
    int layoutSyncAllowed = 1;
    bool h323 = false;
    bool videoCycle = false;
    int layoutMode = 8;
    bool sourceMatch = false;
    bool fullScreen = false;
    bool fullVideo = false;
    bool viewerFull = false;
    bool videoOpen = false;
    std::uint32_t activeDocument = 0;
    QRect roomRect{0, 0, 1280, 720};
    int sidePanel = 0;
    std::vector<int> broadcast;
    std::map<int, IVoiceVideoWindow*> voiceWindows;
    int layoutModeByte = 0;
    int layoutStateSecond = 0;
    IFloatUserList* userList = nullptr;

private:
    CallLog& log_;
    QWidget* room_;
};

}  // namespace fakes
