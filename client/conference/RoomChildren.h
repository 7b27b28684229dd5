#pragma once
// The room window's child windows as the room calls them. Each is held as a nullable pointer
// to one of these interfaces: the panels, participants, chat and video windows are built by
// their own subsystems and plugged in through RoomChildFactories; until one is there the room
// runs without it and logs one line naming its class.

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/window/WinDefs.h"

class QWidget;
class XConfManager;
class IAudioEngine;
class IFileListMsgResult;
class XDocManager;
struct ST_USER_ITEM_DEPT;

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
};

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
    // A user joined.
    virtual void AddRecipient(const ST_USER_ITEM_DEPT* user) = 0;
    // A user left: the entry goes (the selection falls back to everyone).
    virtual void RemoveRecipient(std::uint16_t userId) = 0;
    // Selects the user's entry and focuses the input (a name clicked in a bubble).
    virtual void SelectRecipient(std::uint16_t userId) = 0;
    // Language refresh.
    virtual void UpdateTips() = 0;
    virtual bool IsCursorOverInput() const = 0;
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

// CDlgUserList (template 136).
class IUserList : public IRoomChild {
public:
    virtual void ShowDlg(int nCmdShow) = 0;
    virtual void ResetSearch() = 0;
    virtual void ClearLocalUser(XConfManager* manager) = 0;
    virtual void SetOnlineCountText(int count) = 0;
    virtual void SetLocalUser(std::uint16_t myUserId, XConfManager* manager) = 0;
    virtual void InitDepartments() = 0;
    virtual void SetMyDeviceState(std::uint8_t a, std::uint8_t b, std::uint8_t c,
                                  std::uint8_t d) = 0;
    // Null while the panel has no chat window.
    virtual IChat* GetChatWindow() = 0;
};

// CDlgVideo, the room's own video window (template 137).
class IVideo : public IRoomChild {};

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
};

// CDlgFullDockX, the full-screen strip (template 182).
class IFullDockX : public IRoomChild {
public:
    virtual void MoveWindow(int x, int y, int cx, int cy) = 0;
    virtual void RestoreAfterShare() = 0;
};

// CDlgExpand, the strip's slide tab (template 218).
class IExpand : public IRoomChild {
public:
    virtual void MoveWindow(int x, int y, int cx, int cy) = 0;
    // Stops its mover thread (before it is destroyed).
    virtual void QuitThread() = 0;
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
};
class IUserlistMsg : public IRoomChild {};
class IVoiceIncentive : public IRoomChild {
public:
    virtual void HideNotice() = 0;
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

// XLayoutManager: the video, document, media-play and screen-play windows and their layout.
class ILayoutManager {
public:
    virtual ~ILayoutManager() = default;
    virtual void CreateWindows(QWidget* room) = 0;
    virtual void DestroyWindows() = 0;
    virtual bool IsVideoCycleOn() const = 0;
    virtual void StartVideoCycle() = 0;
    virtual void CloseAllVideo() = 0;
    virtual void StopAllVideo() = 0;
    // The document window exists.
    virtual bool HasDocWindow() const = 0;
    virtual void SetWinMode(std::uint8_t layoutMode, std::uint8_t mainContent,
                            std::uint8_t sideContent, std::uint8_t mainDisplay) = 0;
    virtual void SetVideoOption(int option) = 0;
    // The document window's page controls.
    virtual void EnableDocPages(bool enable) = 0;
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
};

// The factories in use.
RoomChildFactories& Children();

}  // namespace yav::room
