#pragma once
// The conference-room window (template 102). Never made alone: XMainFrame derives from it,
// one object for the program's life whose window is created for each room and destroyed when
// the room is left. This class holds the window's start (OnInitDialog, InitWindow), the
// teardown of its children (ReleaseWindow), the leave sequence (OnClose), its timers, its
// private messages and its commands; the work of a stay lives in XMainFrame.

#include <QCursor>
#include <QRect>
#include <QSize>
#include <QString>

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "FullScreenKeys.h"
#include "RoomFactories.h"
#include "ScreenSaverInhibit.h"
#include "client/media/MediaIdList.h"
#include "client/ui/CMsgTipsDlg.h"
#include "client/ui/CMsgTipsHolder.h"
#include "platform/window/Dialog.h"

class CDlgReconnect;
class CDlgPopMsg;
class CDlgCycleSet;
class CDlgCycleFilter;
class XMainFrame;

// Processor count and clock (MHz) for the recording's encoder settings; 0 until read.
extern int g_nCpuCount;
extern int g_nCpuMhz;
// The room is in full-screen mode.
extern int g_bFullScreen;

class CYavClientDlg : public yav::Dialog {
public:
    static constexpr UINT IDD = 102;

    enum : UINT {
        TIMER_LOGIN_DATASERVER = 1,
        TIMER_RECV_DATA = 2,
        TIMER_RECONNECT_OK = 3,
        TICAMER_SATRT_PUTRE = 4,
        TIMER_SHOWDLG_LOCALUP = 6,
        TIMER_CLEAR_MEMERY = 7,
        TIMER_NET_QUALITY = 8,
        TIMER_DISK_SPACE = 9,
        TIMER_RECORD_SLICE = 10,
        TIMER_KEEP_AWAKE = 15,
        TIMER_AUDIO_DEVICE_CHECK = 17,
        TIMER_DEVICE_POLL = 18,
        // The second half of the data-server login, one second after the media login.
        TIMER_LOGIN_DATASERVER_2 = 19,
    };

    // The room's arrangement: what the panes show and how the videos are laid out.
    struct Arrangement {
        std::uint32_t layoutNumber = 0;
        std::uint8_t viewMode = 0;  // 2 video, 4 document
        std::uint8_t docFlag = 0;
        std::uint32_t panelState = 0;
        std::uint32_t shareMode = 0;
        bool operator==(const Arrangement&) const = default;
    };
    // The four layout bytes the layout commands set.
    struct LayoutBytes {
        std::uint8_t layoutMode = 0;
        std::uint8_t mainContent = 0;
        std::uint8_t sideContent = 0;
        std::uint8_t mainDisplay = 0;
    };

    // The room arrangement from the room's settings bytes: panels hidden, document mode and
    // layout code.
    static Arrangement InitialArrangement(std::uint8_t panelsHidden, std::uint8_t documentMode,
                                          std::uint8_t layoutCode);
    // The layout bytes a room starts with: its arrangement's layout mode (automatic in the
    // document view, which names none), the videos alone.
    static LayoutBytes InitialLayoutBytes(const Arrangement& arrangement);
    // Free megabytes as the disk watch counts them (bytes / 1024 as an integer, then / 1024.0).
    static double FreeMegabytes(std::uint64_t freeBytes);

    explicit CYavClientDlg(QWidget* parent = nullptr);
    ~CYavClientDlg() override;

    BOOL OnInitDialog() override;
    void InitWindow();
    void ReleaseWindow();
    // The title and every pane's texts, from the language in use.
    void ReloadTexts();
    // WM_CLOSE: leaves the conference (asks first unless the server ended the stay).
    void OnClose();
    void OnSysCommand(UINT id, LPARAM lParam);
    bool RegisterCameraNotify();
    void UnregisterCameraNotify();
    void ReadCpuInfo();

    // The network-event switch (XMainFrame).
    virtual void HandleNetMessage(WPARAM code, LPARAM status) = 0;

    // --- private messages ---
    LRESULT OnNetMessage(WPARAM wParam, LPARAM lParam);
    LRESULT OnReconnectState(WPARAM wParam, LPARAM lParam);
    LRESULT OnDocDataMessage(WPARAM wParam, LPARAM lParam);
    LRESULT OnCameraArrived(WPARAM wParam, LPARAM lParam);
    // What the media component's device monitor reports: device nodes changed, and a
    // capture device arrived.
    void OnDeviceNodesChanged();
    void OnCaptureDeviceArrived();

    // --- commands ---
    void SetFullScreen(bool on);
    // Esc in full screen: the participant panel docks again and full screen ends.
    void LeaveFullScreenByKey();
    void LayoutPanes(int relayout);
    void StopMediaPlay();

    // --- the room's panes: control bar, status bar, side panel and the video area ---
    // Where each pane stands, in room client coordinates; an empty rectangle is a pane that
    // is not shown.
    struct PaneRects {
        QRect controlBar;
        QRect statusBar;
        QRect sidePanel;
        QRect video;
    };
    // The arrangement for a client area: the control bar across the top (strip height), the
    // side panel docked on the right below it, the status bar (title-strip height) across the
    // bottom left of the side panel, the videos in what is left. Hidden panes leave the whole
    // client area to the videos.
    static PaneRects ArrangePanes(const QSize& client, int stripSize, int titleSize,
                                  int sidePanelSize, bool panesHidden, bool sidePanelShown);
    const PaneRects& GetPaneRects() const { return m_paneRects; }
    // Full screen (or a share) hides the bars and the docked side panel (1) or shows them (0).
    void SetPanelState(int fullScreen);
    // Full screen brings the strip and its slide tab up; otherwise the notice follows the room.
    void UpdateZOrder(int fullScreen);
    // Every pane shown or hidden as the room's state says, wherever it stood before.
    void ShowPanes();
    // The docked participant panel beside the videos, shown or hidden by the user.
    void ShowSidePanel(bool show);
    bool IsSidePanelShown() const;
    // One video maximised over the room (on) or back in its place: the panes step aside.
    void SetFullVideoState(bool on);
    bool IsFullVideo() const { return m_bFullVideo; }
    // A video window's zoom (wParam the media id, lParam 1 maximise, 0 restore).
    LRESULT OnVideoZoom(WPARAM wParam, LPARAM lParam);
    // The voice-activation report of the media component (wParam the speaking media id).
    LRESULT OnVoiceIncentive(WPARAM wParam, LPARAM lParam);
    // The room answers the conference events' arrangement calls itself.
    void InstallOwnArrangement();
    // The panes as the room's state places them, and the placing itself.
    PaneRects NormalPanes() const;
    void PlacePanes(const PaneRects& panes);

    // --- state ---
    const Arrangement& GetArrangement() const { return m_arrangement; }
    const Arrangement& GetSavedArrangement() const { return m_savedArrangement; }
    const LayoutBytes& GetLayoutBytes() const { return m_layoutBytes; }
    int GetSidePanelSize() const { return m_nSidePanelSize; }
    int GetStripSize() const { return m_nStripSize; }
    int GetTitleStripSize() const { return m_nTitleSize; }
    bool IsLeaving() const { return m_bLeaving; }
    // The leave question is open.
    CDlgPopMsg* GetLeaveQuestion() const { return m_pLeaveQuestion; }
    CDlgReconnect* GetReconnectDlg() const { return m_pReconnectDlg.get(); }
    CMsgTipsHolder& GetTipsHolder() { return m_tipsHolder; }
    // A control whose part the room does not have yet: the user is told so by a tip (the
    // part is logged once).
    void ShowUnavailable(const char* what);
    CMediaIdList& GetMediaIdList() { return m_mediaIdList; }

    IControlBar* GetControlBar() const { return m_pControlBar.get(); }
    IUserList* GetUserList() const { return m_pUserList.get(); }
    IStatusBar* GetStatusBar() const { return m_pStatusBar.get(); }
    IFullDockX* GetFullDock() const { return m_pFullDock.get(); }
    IExpand* GetExpand() const { return m_pExpand.get(); }
    IFileList* GetFileList() const { return m_pFileList.get(); }
    ILayoutManager* GetLayoutManager() const { return m_pLayoutManager.get(); }
    INetQualityEval* GetNetQualityEval() const { return m_pNetQuality.get(); }
    IToolBox* GetToolBoxDlg();
    IFrame* GetFrameDlg();
    // The video-cycle dialogs, made on first use and kept hidden between uses.
    CDlgCycleSet* GetCycleSetDlg();
    CDlgCycleFilter* GetCycleFilterDlg();

    // Test seams: where the disk watch reads free bytes, and the millisecond clock of the
    // recording split. Empty: statvfs on the recording folder and a monotonic clock.
    std::function<std::optional<std::uint64_t>(const QString& path)> freeBytesSource;
    std::function<std::uint64_t()> tickSource;
    // How long the reconnect worker waits before each re-login.
    std::uint32_t reconnectIntervalMs = 2000;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL PreTranslateMessage(yav::Msg* msg) override;
    // Keeps the show state that component threads ask for (GetOwner) in step.
    bool event(QEvent* event) override;
    void OnTimer(UINT id) override;
    // The panes follow the room's size and place; a shown room lays them out once.
    void OnSize(int cx, int cy) override;
    void OnMove(int x, int y) override;
    void OnShowWindow(BOOL show) override;
    // The window manager's close and Esc: the room's WM_CLOSE.
    void OnCancel() override;
    void OnOK() override;

    XMainFrame& Frame();
    std::uint64_t NowMs() const;

    void RestartReconnect();
    void OnTimerReconnectOk();
    void OnTimerCaptureStart();
    void OnTimerNetQuality();
    void OnTimerDiskSpace();
    void OnTimerRecordSlice();
    void OnTimerKeepAwake();
    void OnTimerAudioDeviceCheck();
    void MapCommands();
    // --- chat: room command 32790, the voice-group manager (the main frame makes it) ---
    virtual void OnChatGroupCommand();
    void OnLayoutCommand(std::uint8_t layoutMode);
    void OnConfirmedCommand(int textId, int captionId, const std::function<void()>& action);
    // One line per room for a child or dialog whose class is not there.
    void MissingChild(const char* className);
    // Local recording (the recording control): stop and start of a slice.
    void StopRecord(int mux);
    void StartRecord(int mux);
    void ShowMessageBox(int textId, int type);

    template <class Child>
    void Release(std::unique_ptr<Child>& child);

    // Children, in the order ReleaseWindow ends them.
    std::unique_ptr<ILayoutManager> m_pLayoutManager;
    std::unique_ptr<IControlBar> m_pControlBar;
    std::unique_ptr<IUserList> m_pUserList;
    std::unique_ptr<IVideo> m_pOwnVideo;
    std::unique_ptr<IStatusBar> m_pStatusBar;
    std::unique_ptr<IToolBox> m_pToolBox;
    std::unique_ptr<IFrame> m_pFrame;
    std::unique_ptr<IExpand> m_pExpand;
    std::unique_ptr<IFullDockX> m_pFullDock;
    std::unique_ptr<IFileList> m_pFileList;
    std::unique_ptr<IFileLocalUpInfo> m_pFileLocalUpInfo;
    std::unique_ptr<IScreenShareSet> m_pScreenShareSet;
    std::unique_ptr<CDlgReconnect> m_pReconnectDlg;
    std::unique_ptr<ITestAVideo> m_pTestAVideo;
    std::unique_ptr<IUserlistMsg> m_pUserlistMsg;
    std::unique_ptr<IVoiceIncentive> m_pVoiceIncentive;
    std::unique_ptr<INetQualityEval> m_pNetQuality;

    std::unique_ptr<CDlgCycleSet> m_pCycleSet;
    std::unique_ptr<CDlgCycleFilter> m_pCycleFilter;

    // Locks inside: read from const queries too.
    mutable CMediaIdList m_mediaIdList;
    CMsgTipsHolder m_tipsHolder;
    Arrangement m_arrangement;
    Arrangement m_savedArrangement;
    LayoutBytes m_layoutBytes;
    int m_nStripSize = 0;
    int m_nSidePanelSize = 0;
    int m_nTitleSize = 0;
    int m_nPanelVisible = 1;
    int m_nPlaybackDevices = 0;
    int m_nCaptureDevices = 0;
    std::vector<std::uint16_t> m_badIds;
    std::uint64_t m_lastSplitMs = 0;
    bool m_bKeyHook = false;
    bool m_bCameraNotify = false;
    bool m_bLeaving = false;
    CDlgPopMsg* m_pLeaveQuestion = nullptr;
    QString m_strTitle;
    QCursor m_dragCursor;
    int m_nSysSetOwnerValue = 0;
    ScreenSaverInhibit m_keepAwake;
    // Esc out of full screen, wherever the focus rests in the room.
    FullScreenKeys m_fullScreenKeys{this, [this] { LeaveFullScreenByKey(); }};
    std::set<std::string> m_missingLogged;
    // SW_SHOWNORMAL, SW_SHOWMINIMIZED or SW_SHOWMAXIMIZED, read from component threads.
    std::atomic<int> m_nShowCommand{SW_SHOWNORMAL};
    // The panes as last laid out (none yet while the flag is clear).
    PaneRects m_paneRects;
    bool m_bPanesLaidOut = false;
    // A video is maximised over the room.
    bool m_bFullVideo = false;
    // What the conference events ask of the room's arrangement, answered by this window.
    std::unique_ptr<IRoomArrangement> m_pOwnArrangement;
};
