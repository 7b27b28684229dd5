#pragma once
// The room window's child windows as the room calls them. Each is held as a nullable pointer
// to one of these interfaces: the panels, participants, chat and video windows are built by
// their own subsystems and plugged in through RoomChildFactories; until one is there the room
// runs without it and logs one line naming its class. They live below the room, so that the
// windows and the layout manager implement them without seeing the room's classes.

#include <QRect>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "client/roomapi/IVideoWindow.h"
#include "platform/window/WinDefs.h"

class QRect;
class QWidget;
class ILayoutVideoWnd;
class ISpeakPopup;
namespace kromedia {
class IFrameSink;
class IMediaStream;
class IAudioEngine;
}  // namespace kromedia
using IAudioEngine = kromedia::IAudioEngine;
class IFileListMsgResult;
class XDocManager;
struct ST_USER_ITEM_DEPT;
namespace yav::users {
struct TreeUser;
struct TreeDept;
}  // namespace yav::users

// What every child window offers the room: existence, showing and its end.
class IRoomChild {
public:
    virtual ~IRoomChild() = default;
    virtual bool IsWindow() const = 0;
    virtual void ShowWindow(int nCmdShow) = 0;
    virtual void DestroyWindow() = 0;
};

// CDlgControlBar (template 134).
class IControlBar : public IRoomChild {
public:
    virtual void SetConfTitle(const QString& confName, std::uint32_t confId) = 0;
    virtual void SetBarMode(std::uint8_t mainDisplay) = 0;
    virtual void StartDurationTimer() = 0;
    virtual void RefreshRoleButtons() = 0;
    // Its document page tab drops every view (connection loss).
    virtual void RemoveAllDocTabs() = 0;
    // Message 0x1502 of the bar's pop-up (mode, item value).
    virtual void OnPopSwitchSelect(WPARAM mode, LPARAM value) = 0;
    virtual void OnBtnSyncLayout() = 0;
    // The automatic video paging flag.
    virtual bool IsAutoPaging() const = 0;
    virtual void SetAutoPaging(bool on) = 0;
    // --- main window panels: what the room and its managers call ---
    // Room client coordinates.
    virtual void MoveWindow(int x, int y, int cx, int cy) = 0;
    virtual void ReloadTexts() = 0;
    virtual void ShowStateLabel(BOOL show) = 0;
    virtual void UpdateSyncLayoutButton() = 0;
    virtual void UpdateVideoPager() = 0;
    virtual void SetVideoPageCount(int count) = 0;
    virtual void LayoutCenterPane() = 0;
    virtual bool IsActiveViewIdOne() = 0;
    virtual bool AddDocTab(const QString& viewName, std::uint32_t viewId) = 0;
    virtual bool RemoveDocTab(std::uint32_t viewId, int flag) = 0;
    // User-to-user commands and layout synchronisation: the document page tab's right-hand
    // part refreshed.
    virtual void RefreshRight() = 0;
};

class IPopClap;

// CDlgChat, the participant panel's chat window.
class IChat {
public:
    virtual ~IChat() = default;
    virtual bool IsWindow() const = 0;
    virtual void ForwardToSystemChat(const QString& text) = 0;
    virtual void RefreshRecipients(std::uint8_t chatRightsMode, std::uint8_t roomByte271) = 0;
    // --- chat: receiving, recipients kept by the participant window ---
    // A received chat block (sub-command 257) as it came: the window decodes it.
    virtual void OnRecvChatMsg(std::uint16_t to, std::uint16_t from, const std::uint8_t* data,
                               std::uint16_t length) = 0;
    // --- recipients, kept by the participant window ---
    // A user joined.
    virtual void AddRecipient(const ST_USER_ITEM_DEPT* user) = 0;
    // A user left: the entry goes (the selection falls back to everyone).
    virtual void RemoveRecipient(std::uint16_t userId) = 0;
    // Selects the user's entry and focuses the input (a name clicked in a bubble).
    virtual void SelectRecipient(std::uint16_t userId) = 0;
    // Language refresh.
    virtual void UpdateTips() = 0;
    virtual bool IsCursorOverInput() const = 0;
    // The chat window's sound pop-up.
    virtual IPopClap* GetPopClap() = 0;
};

// CDlgPopClap, the clap and sounds pop-up of the participant panel; send = 0 plays without
// forwarding to the others.
class IPopClap {
public:
    virtual ~IPopClap() = default;
    virtual void PlayBroadcast(int send) = 0;
    virtual void PlayIntermissionMusic(int send) = 0;
    virtual void PlayClap(int send) = 0;
    virtual void PlayCheer(int send) = 0;
    virtual void StopSound(int send) = 0;
};

// The participant trees' records.
using ST_TREE_USER = yav::users::TreeUser;
using ST_TREE_DEPT = yav::users::TreeDept;

// CDlgUserList (template 136).
class IUserList : public IRoomChild {
public:
    virtual void ShowDlg(int nCmdShow) = 0;
    virtual void ResetSearch() = 0;
    virtual void ClearLocalUser() = 0;
    virtual void SetOnlineCountText(int count) = 0;
    virtual void SetLocalUser(std::uint16_t myUserId) = 0;
    // (owned channels, audio device, channel count, byte 85, two unused).
    virtual void SetMyDeviceState(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d,
                                  std::uint8_t e, std::uint8_t f) = 0;
    // Null while the panel has no chat window.
    virtual IChat* GetChatWindow() = 0;
    // --- participants: the trees (department keys are server ids + 10; the main frame
    // shifts them, so each operation takes keys, except where an unshifted id is named) ---
    // Returns 1 when added, 0 for a null record or a user already present.
    virtual int AddUser(const ST_USER_ITEM_DEPT* record) = 0;
    virtual void OnUserLeave(std::uint16_t userId, std::uint32_t departmentId) = 0;
    virtual void OnUserUpdate(const ST_USER_ITEM_DEPT* record) = 0;
    virtual void OnLeadingStatus(std::uint16_t userId, std::uint8_t presenterState) = 0;
    virtual void OnUserAudioState(std::uint16_t userId, std::uint8_t speakState) = 0;
    virtual void OnUserKindChanged(std::uint16_t userId, std::uint32_t departmentId,
                                   std::uint8_t kind) = 0;
    virtual void SetBroadcastState(std::uint16_t mediaId, std::uint8_t on) = 0;
    virtual void RefreshUserItem(std::uint16_t userId, std::uint32_t departmentKey) = 0;
    // Under the department of the parent key (left out when it is not in the tree).
    virtual void AddDepartment(const ST_TREE_DEPT* dept, std::uint32_t parentKey) = 0;
    virtual void AddRootDepartment(const ST_TREE_DEPT* dept) = 0;
    virtual bool FindDeptItem(std::uint32_t departmentKey) const = 0;
    // A video request of this client was answered (on) or stopped.
    virtual void OnVideoReceived(std::uint16_t mediaId, std::uint8_t on) = 0;
    virtual int GetSpeakerCount() const = 0;
    virtual void GetBroadcastMediaIds(std::vector<std::uint16_t>& out) const = 0;
    virtual int GetBroadcastCount() const = 0;
    virtual bool IsBroadcasting(std::uint16_t mediaId) const = 0;
    virtual void AddScreenControlUser(std::uint16_t userId) = 0;
    virtual void RemoveScreenControlUser(std::uint16_t userId) = 0;
    virtual void ClearScreenControlUsers() = 0;
    // The participant tree's record whose name is the text, or null.
    virtual const ST_TREE_USER* FindUserItemByName(const QString& name) const = 0;
    virtual void ResetAll() = 0;
    virtual void SetFloat(bool floating) = 0;
    virtual bool IsFloat() const = 0;
    virtual void ReloadTexts() = 0;
    virtual void FlashChatTab() = 0;
    virtual void FlashMembersTab() = 0;
    virtual bool IsChatInputHovered() const = 0;
    // The chair toggles the preview of a media id from the tree.
    virtual void ToggleUserPreview(std::uint16_t wMediaId) = 0;
    // The chat page's sound pop-up (null while the panel has no chat window).
    virtual IPopClap* GetPopClap() = 0;
    // --- the room's panes: the docked panel beside the videos, floated by the strip ---
    virtual bool IsVisible() const = 0;
    // Room client coordinates while docked, screen coordinates while floating.
    virtual void MoveTo(const QRect& rect) = 0;
    virtual bool IsMembersPage() const = 0;
    virtual void SelectChatTab() = 0;
    virtual void SelectMembersTab() = 0;
};

// CDlgVideo, the room's own video window (template 137).
class IVideo : public IRoomChild {
public:
    // The window as the media side reaches it (what it shows).
    virtual IVideoWindow* GetVideoWindow() = 0;
};

// CDlgHouselamp, the bulletin board of the room window.
class IBulletinBoard {
public:
    virtual ~IBulletinBoard() = default;
    virtual void OnCaptionChanged(const QString& text, int show) = 0;
};

// CDlgStatusBar (template 140).
class IStatusBar : public IRoomChild {
public:
    // 0 none, 1 recording, 2 recording suspended for later.
    virtual int GetRecordingState() const = 0;
    virtual void SetRecordingOff() = 0;
    virtual void SuspendRecord() = 0;
    virtual void ResumeRecord() = 0;
    virtual void ShowRecordIndicator(int nCmdShow) = 0;
    virtual void SetAudioControl(IAudioEngine* engine) = 0;
    virtual void RefreshUserState() = 0;
    virtual void SetNetQualityLevel(int level) = 0;
    // side 0 speaker, 1 microphone.
    virtual void EnableAudioButton(int side, bool enable) = 0;
    virtual void EnableCameraButton(bool enable) = 0;
    // --- main window panels: what the room and its managers call ---
    // Room client coordinates.
    virtual void MoveWindow(int x, int y, int cx, int cy) = 0;
    virtual void ReloadTexts() = 0;
    // Speak state changed: the raise-hand button, the strip's speak caption, the status text.
    virtual void OnSpeakStateChanged() = 0;
    virtual void UpdateMeetingStateText() = 0;
    // From the device test: 1 the camera is on.
    virtual void SetCameraState(int on) = 0;
    virtual void StartRecord() = 0;
    virtual void StopRecord() = 0;
    virtual void StopRecordIfActive() = 0;
    virtual void CheckRecordRight() = 0;
    // The room moved: the separator strip follows.
    virtual void PlaceSeparatorStrip() = 0;
    // The full-screen strip's speak button: 1 the microphone button, 3 the raise-hand button.
    virtual void ExecuteDockCommand(int code) = 0;
    // Participant and conference events.
    virtual void SetShareState(std::uint8_t state) = 0;
    virtual void UpdateSpeakButton() = 0;
    virtual void UpdateRoleTexts() = 0;
    // The flag the speaking handlers read and clear (the bar keeps the microphone open).
    virtual bool GetSpeakFlag() const = 0;
    virtual void SetSpeakFlag(bool on) = 0;
};

// CDlgFullDockX, the full-screen strip (template 182).
class IFullDockX : public IRoomChild {
public:
    virtual void MoveWindow(int x, int y, int cx, int cy) = 0;
    virtual void RestoreAfterShare() = 0;
    // --- main window panels: what the room and its managers call ---
    virtual void ReloadTexts() = 0;
    virtual void UpdateButtons() = 0;
    virtual void ShowBar() = 0;
    virtual void ShowBarForced() = 0;
    virtual void DockUserList() = 0;
    virtual void ClearPanelButtons() = 0;
    // The participant panel's page: chat (TRUE) or members.
    virtual void SetUserListPage(BOOL chat) = 0;
    // Ends what the strip's exit button ends (own sharing, viewing, full screen).
    virtual void OnBtnExit() = 0;
};

// CDlgExpand, the strip's slide tab (template 218).
class IExpand : public IRoomChild {
public:
    virtual void MoveWindow(int x, int y, int cx, int cy) = 0;
    // Stops its mover thread (before it is destroyed).
    virtual void QuitThread() = 0;
    // --- main window panels: what the room and its managers call ---
    virtual void ShowTab() = 0;
    virtual void OnBtnExpand() = 0;
};

// ST_DOC_MSG: a document-server message queued to the file list.
struct ST_DOC_MSG {
    std::uint32_t msg = 0;
    std::uint32_t status = 0;
    QString text;
};

// CDlgFileList, the network-disk file list (template 175).
class IFileList : public IRoomChild {
public:
    // A document upload is being prepared.
    virtual bool IsUploadPreparing() const = 0;
    virtual void UpdateUploadButton() = 0;
    virtual void ShowCentered() = 0;
    virtual void SetOwnerId(std::uint32_t ownerId) = 0;
    virtual void SetResultHandler(IFileListMsgResult* handler) = 0;
    virtual void AttachSource(XDocManager* manager, std::uint32_t confId) = 0;
    // Called on a component thread: the panel guards its records itself.
    virtual std::intptr_t AddFileRecord(const std::uint8_t* record32) = 0;
    // Called on a component thread: front puts the message first.
    virtual void QueueDocMessage(std::shared_ptr<ST_DOC_MSG> message, bool front) = 0;
    virtual void UpdateUploadEnable() = 0;
};

// CDlgFileLocalUpInfo (template 222), CDlgTestAVideo (214), CDlgScreenShareSet (198),
// CDlgUserlistMsg (226), CDlgVoiceIncentive (224).
class IFileLocalUpInfo : public IRoomChild {};
class ITestAVideo : public IRoomChild {
public:
    virtual void FillCameraList() = 0;
    virtual void SelectAllCameras() = 0;
};
class IScreenShareSet : public IRoomChild {
public:
    // The source buttons by bits 1 and 2 of the application record's byte 22.
    virtual void SetSourceButtons(bool window, bool desktop) = 0;
    virtual int GetSourceMatchFlag() const = 0;
};
class IUserlistMsg : public IRoomChild {};
class IVoiceIncentive : public IRoomChild {
public:
    virtual void HideNotice() = 0;
    // --- main window panels: what the room calls ---
    // The room's handler of the voice-activation report 0x513 (wParam the media id).
    virtual void OnVoiceActivation(int mediaId) = 0;
    // The room (fromMainWindow) or the channel's video window moved to rect (screen).
    virtual void PlaceNotice(const QRect& rect, BOOL fromMainWindow) = 0;
    // The user whose notice the pane shows (0 none).
    virtual std::uint16_t GetShownUser() const = 0;
};

// CDlgToolBox, the document tools (made on first use).
class IToolBox : public IRoomChild {
public:
    virtual void ShowBox(int nCmdShow) = 0;
    virtual void ApplyZoom(int index, int flag) = 0;
    virtual void EnableTools(bool enable) = 0;
};

// CDlgFrame, the document frame (made on first use).
class IFrame : public IRoomChild {
public:
    virtual void SetPageInfo(std::int32_t page, std::uint32_t count) = 0;
    virtual void EnableButtons(bool enable) = 0;
};

// NetQualityEval: judges the received streams' quality values.
class INetQualityEval {
public:
    struct Sample {
        std::uint16_t wMediaId = 0;
        std::uint32_t value = 0;
    };
    virtual ~INetQualityEval() = default;
    virtual void Update(const std::vector<Sample>& samples) = 0;
    virtual void GetBadIds(std::vector<std::uint16_t>& out) = 0;
    // 0 bad, 1, 2 good.
    virtual int GetLevel() const = 0;
    virtual void Clear() = 0;
};

// CDlgVideo as the room's handlers reach one of the 37 video windows.
class IRoomVideoWindow : public IVideoWindow {
public:
    virtual bool IsZoomed() = 0;
    virtual void RepostZoom() = 0;
    virtual bool IsPopupStyle() = 0;
    virtual void ShowSpeakState(bool speaking) = 0;
    // The broadcast mark of the video shown (the participant window's broadcast state).
    virtual void SetSpeakIndicator(bool on) = 0;
    virtual void SetOwnerSlot(std::uint32_t slot) = 0;
    virtual void SetVideoState(bool hasStream) = 0;
    virtual void UpdateCaption(const QString& caption) = 0;
    // The window's slot in the room layout (0..36).
    virtual int GetSlotIndex() = 0;

protected:
    ~IRoomVideoWindow() = default;
};

// The media manager's reception and sending as the room's handlers call them (XMediaManager
// over the media component's channel objects).
class IRoomMedia {
public:
    virtual ~IRoomMedia() = default;
    // A participant's audio on the media object of my own channel.
    virtual void StartRecvAudio(std::uint16_t userId, std::uint32_t value) = 0;
    virtual void StopRecvAudio(std::uint16_t userId) = 0;
    virtual void SetAudioSend(bool on) = 0;
    virtual void ControlCamera(std::uint8_t channel, std::uint32_t command) = 0;
    // On the channel object of the id; false when there is none.
    virtual bool StartRecvVideo(std::uint16_t wMediaId, std::uint32_t mode, IVideoWindow* window,
                                std::uint32_t message) = 0;
    virtual bool StopRecvVideo(std::uint16_t wMediaId) = 0;
    // The id's stream exists.
    virtual bool HasStream(std::uint16_t wMediaId) = 0;
    // Bit n set while camera channel n of this client captures.
    virtual std::uint8_t GetCapturedChannels() = 0;
};

// CDlgDevice, the device dialog (made hidden on first use): a peer's device parameters.
class IDevice : public IRoomChild {
public:
    virtual void OnHandleRespParam(const std::uint8_t* data, std::uint16_t length) = 0;
};

// XLayoutManager: the video, document, media-play and screen-play windows and their layout.
class ILayoutManager {
public:
    using LayoutRecord = std::array<std::uint8_t, 100>;

    virtual ~ILayoutManager() = default;
    virtual void CreateWindows(QWidget* room) = 0;
    virtual void DestroyWindows() = 0;
    virtual bool IsVideoCycleOn() const = 0;
    virtual void StartVideoCycle() = 0;
    virtual void CloseAllVideo() = 0;
    virtual void StopAllVideo() = 0;
    // The document window exists.
    virtual bool HasDocWindow() const = 0;
    virtual void SetWinMode(std::uint8_t mainDisplay, std::uint8_t layoutMode,
                            std::uint8_t mainContent, std::uint8_t sideContent) = 0;
    virtual void SetVideoOption(int option) = 0;
    // The document window's page controls.
    virtual void EnableDocPages(bool enable) = 0;
    // Participant and conference events and the room's own paging.
    virtual void RemoveVideoWnd(std::uint16_t wMediaId, std::uint8_t* roomLayout) = 0;
    virtual int GetUsedWndCount() const = 0;
    // Windows per page of the current mode.
    virtual int GetCapacity() const = 0;
    // Video window 0..36, null outside or when it does not exist.
    virtual IRoomVideoWindow* GetVideoWnd(int index) = 0;
    // Layout synchronisation: the window (0..36) showing a media id from `start` on (-1 when
    // none), the media id a window shows, two windows swapped in place and in the room layout
    // (100 bytes), and whether the media-play window exists.
    virtual int FindWndIndexFrom(int start, std::uint16_t wMediaId) const = 0;
    virtual std::uint16_t GetWndMediaId(int index) const = 0;
    virtual void ExchangeWndByIndex(int first, int second, std::uint8_t* roomLayout) = 0;
    virtual bool HasMediaPlayWindow() const = 0;

    // --- video windows and layout ---
    // Area n (0 side, 1 video, 2 kept) in room client coordinates.
    virtual void SetScreenRect(int n, const QRect& rect) = 0;
    virtual void Relayout(bool repaint) = 0;
    virtual bool IsAutoLayout() const = 0;
    // The window now showing the id (channel 7: the media-play window), null when none.
    virtual QWidget* AddVideo(std::uint16_t wMediaId, std::uint32_t streamParam,
                              std::span<std::uint8_t, 100> record, LayoutRecord synced) = 0;
    virtual bool DelVideo(std::uint16_t wMediaId, std::span<std::uint8_t, 100> record,
                          bool repaint) = 0;
    virtual void SetVideoWndState(std::uint16_t wMediaId, const QString& caption,
                                  kromedia::IMediaStream* stream) = 0;
    // Slot window n (0..36) as the layout places and fills it, null outside.
    virtual ILayoutVideoWnd* GetLayoutWnd(int n) = 0;
    virtual int FindNonCycleWndIndex(std::uint16_t wMediaId) = 0;
    virtual void RemoveBusyWnd(const QWidget* window) = 0;
    // What channel 7 renders into (the media-play window).
    virtual kromedia::IFrameSink* GetMediaPlaySink() = 0;
    // Passed to every video window.
    virtual void SetVideoNameVisible(bool visible) = 0;
    virtual void SetVideoNameColor(std::uint32_t colour) = 0;
    virtual void RelayoutChildren() = 0;
    virtual void ReloadTexts() = 0;
    // Stops (pause) or resumes drawing every received stream shown in a window.
    virtual void PauseAllVideoRender(bool pause) = 0;
    // --- the room's panes: one video maximised over the room (the room's zoom message) ---
    virtual void SetMaxVideo(bool on, std::uint16_t wMediaId, int slot) = 0;
    virtual bool IsMaxVideo() const = 0;
};

// The room's own video reception (open a channel into a window, close it, stop a reception)
// as the layout synchronisation calls it. Built with the video windows; until then the room
// has none and leaves those calls out.
class IVideoReception {
public:
    virtual ~IVideoReception() = default;
    virtual void OpenChannel(std::uint16_t wMediaId) = 0;
    virtual void CloseChannel(std::uint16_t wMediaId) = 0;
    virtual std::uint32_t StopVideoRecv(std::uint16_t wMediaId, std::uint32_t unused,
                                        std::uint8_t sync) = 0;
    // The video window showing the id receives its stream (CDlgVideo::IsReceiving).
    virtual bool IsReceiving(std::uint16_t wMediaId) const = 0;
    // Participant and conference events: receive a channel (channel 7 in the media window),
    // close the previews that show an id, close my own channels' windows, and the caption of
    // a channel ("name", "name-2", "name(me)").
    virtual int MediaVideoRecv(std::uint16_t wMediaId, std::uint32_t mode) = 0;
    virtual void CloseChannelWindow(std::uint16_t wMediaId) = 0;
    virtual void CloseMyVideoWindows() = 0;
    virtual QString FormatChannelName(std::uint16_t wMediaId) = 0;
};

// The room window's own arrangement as the user-to-user commands and the layout
// synchronisation ask for it: a maximised video, the panels and z-order in full screen. Until
// the main window's arrangement is built the room has none and leaves those calls out.
class IRoomArrangement {
public:
    virtual ~IRoomArrangement() = default;
    virtual void ShowFullVideo(std::uint16_t wMediaId, bool on) = 0;
    virtual void SetPanelState(int fullScreen) = 0;
    virtual void UpdateZOrder(int fullScreen) = 0;
};

namespace yav::room {

// How the room makes its children; an empty factory (or a null result) leaves the child out.
// Each gets the room window as parent.
struct RoomChildFactories {
    std::function<std::unique_ptr<ILayoutManager>(QWidget*)> layoutManager;
    std::function<std::unique_ptr<IControlBar>(QWidget*)> controlBar;
    std::function<std::unique_ptr<IUserList>(QWidget*)> userList;
    std::function<std::unique_ptr<IVideo>(QWidget*)> ownVideo;
    std::function<std::unique_ptr<IStatusBar>(QWidget*)> statusBar;
    std::function<std::unique_ptr<IFullDockX>(QWidget*)> fullDock;
    std::function<std::unique_ptr<IExpand>(QWidget*)> expand;
    std::function<std::unique_ptr<IFileList>(QWidget*)> fileList;
    std::function<std::unique_ptr<IFileLocalUpInfo>(QWidget*)> fileLocalUpInfo;
    std::function<std::unique_ptr<IScreenShareSet>(QWidget*)> screenShareSet;
    std::function<std::unique_ptr<ITestAVideo>(QWidget*)> testAVideo;
    std::function<std::unique_ptr<IUserlistMsg>(QWidget*)> userlistMsg;
    std::function<std::unique_ptr<IVoiceIncentive>(QWidget*)> voiceIncentive;
    std::function<std::unique_ptr<IToolBox>(QWidget*)> toolBox;
    std::function<std::unique_ptr<IFrame>(QWidget*)> frame;
    std::function<std::unique_ptr<INetQualityEval>()> netQualityEval;
    std::function<std::unique_ptr<IRoomMedia>()> roomMedia;
    std::function<std::unique_ptr<IBulletinBoard>()> bulletinBoard;
    std::function<std::unique_ptr<IDevice>(QWidget*)> device;
    // The speak pop-up over a video window of the room (room, the video window).
    std::function<std::unique_ptr<ISpeakPopup>(QWidget*, QWidget*)> speakPopup;
};

}  // namespace yav::room
