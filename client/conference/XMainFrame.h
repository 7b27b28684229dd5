#pragma once
// The conference room's hub (g_pMainFrame): one object for the program's life that is at once
// the room window (CYavClientDlg, re-created for each room) and the receiver of every callback
// of the components. It owns the conference manager, logs in to the conference server for the
// road, starts and stops the work of a stay, handles the components' events on the UI thread
// and brings the room back after a lost connection.
//
// Threads: ICsHandler and IUserHandler run on the UI thread (the message pump). The other
// four callback interfaces are called on the components' threads and only post to the room
// window, except the slots that answer at once (GetOwner, OnFileListRecord, GetLocalVideo).
// ReLoginCS runs on the reconnect worker and touches nothing but the component's login.

#include <QString>

#include <array>
#include <atomic>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "ICsHandler.h"
#include "ICsUserManager.h"
#include "IMainFrame.h"
#include "IUserHandler.h"
#include "RoadPorts.h"
#include "RoomComponents.h"
#include "ST_CS_SERVER.h"
#include "WindowNotifyTarget.h"
#include "YavClientDlg.h"
#include "client/Common/MessageIds.h"
#include "client/dialogs/chat/ConfChatHost.h"
#include "client/dialogs/login/IReconnectHost.h"
#include "client/dialogs/video/CDlgVideoCycle.h"
#include "client/dialogs/video/CDlgVideoPageTab.h"
#include "client/dialogs/video/IVideoWindowHost.h"
#include "client/media/IMediaHandler.h"
#include "client/media/IMediaRoom.h"
#include "client/media/XLayoutManager.h"
#include "client/ui/UiMainFrame.h"
#include "platform/core/CriticalSection.h"

class XConfManager;
class XDocManager;
class RoomPanelHost;
class CVideoCycle;
class CDlgPopMsg;
class IVideoWindow;
class IVideoCycleHost;
struct ST_CONF_APPINFO;
namespace kromedia {
class IMediaControl;
}  // namespace kromedia
namespace yav::usercmd {
struct ReceiverPeers;
}  // namespace yav::usercmd

// Messages of the room window.
inline constexpr UINT WM_NET_MESSAGE = WM_USER + 0x100;       // 0x500 event code / status
inline constexpr UINT WM_DOCDATA_MESSAGE = WM_USER + 0x111;   // 0x511 1, 2, 3 / value
inline constexpr UINT WM_CAMERA_ARRIVED = WM_USER + 274;      // 0x512
inline constexpr UINT WM_VOICE_INCENTIVE = WM_USER + 275;     // 0x513 the speaking media id
inline constexpr UINT WM_VIDEO_ZOOM_ROOM = 0x9409;            // media id / 1 maximise, 0 restore
inline constexpr UINT WM_AVSERVER_ADDRESS = WM_USER + 0x120;  // the data server's answer
inline constexpr UINT WM_KEYHOOK_NOTIFY = 0x2A5A;
inline constexpr UINT WM_CLOSE_ROOM = 0x0010;       // WM_CLOSE
inline constexpr UINT WM_SYSCOMMAND_ROOM = 0x0112;  // WM_SYSCOMMAND

// Event codes of WM_NET_MESSAGE.
enum : WPARAM {
    NETMSG_CONNECTED_MEDIASERVER = 0x3003,
    NETMSG_CONNECTED_STREAMSERVER = 0x3004,
    NETMSG_MEDIA_RESULT_300F = 0x300F,
    NETMSG_MEDIA_RESULT_3010 = 0x3010,
    NETMSG_MEDIA_RESULT_3012 = 0x3012,
    NETMSG_MEDIA_RESULT_3013 = 0x3013,
    NETMSG_MEDIA_NOTICE_3018 = 0x3018,
    NETMSG_WB_FILELIST = 0x3020,
    NETMSG_WB_MSGRESULt = 0x3021,
    NETMSG_SCREEN_LOGIN = 0x3030,
    NETMSG_SCREEN_SENDREQUEST = 0x3031,
    NETMSG_SCREEN_MSGOFRECEVIER = 0x3032,
    NETMSG_SCREEN_MSGOFSENDER = 0x3033,
    NETMSG_SCREEN_SHARE = 0x3034,
    NETMSG_VIDEO_SYNC = 0x3050,
};

// The page record of the document component's page messages (WM_DOCDATA_MESSAGE 3).
struct DocPageRecord {
    std::uint32_t kind = 0;
    std::int32_t value = 0;
    std::uint32_t extra = 0;
    std::uint32_t reserved = 0;
};
static_assert(sizeof(DocPageRecord) == 16);

class CDlgMgrChatGroup;

class XMainFrame : public ICsHandler,
                   public IUserHandler,
                   public IKroDataHandleMsg,
                   public IFileListMsgResult,
                   public IMediaHandler,
                   public IRemoteControlHandler,
                   public CYavClientDlg,
                   public yav::road::IConfLogin,
                   public IMainFrame,
                   public IReconnectHost,
                   public IUiMainFrame,
                   public ILayoutHost,
                   public IVideoCycleDialogHost,
                   public IVideoReception,
                   public IMediaRoom,
                   public IVideoPagerHost {
public:
    static constexpr std::size_t kLayoutBytes = 100;
    using LayoutRecord = std::array<std::uint8_t, kLayoutBytes>;

    XMainFrame();
    ~XMainFrame() override;
    XMainFrame(const XMainFrame&) = delete;
    XMainFrame& operator=(const XMainFrame&) = delete;

    // --- login (the road) ---
    void SetLoginInfo(const QString& name, const QString& password, uint8_t mode) override;
    void SetCsServer(const ST_CS_SERVER& record) override;
    void SetHandOverDigest(const std::string& digest) override;
    int LoginCs(uint32_t confId, uint16_t* extra, uint8_t flag) override;
    void LogoutCs() override;
    yav::road::UpgradeInfo GetUpgradeInfo() const override;
    int ReLogin();
    // 0 when the queue was emptied; -1 without a conference manager or when the connection
    // was lost.
    int PumpCsMessage();
    void CopyServerName(char* out) const;

    // The name as it reaches the conference server: code page 936, at most 63 bytes, never
    // ending inside a double-byte character.
    static std::string CsLoginName(const QString& name);
    // The password as it reaches the conference server: code page 936, at most 32 bytes.
    static std::string CsLoginPassword(const QString& password);

    // --- the room window ---
    // Creates the room window of the conference (its start runs the work of the stay) and
    // shows it; false when it could not be created.
    bool CreateRoomWindow(const QString& confName, uint32_t confId);

    // --- work of a stay ---
    void StartWork();
    void StopWork();
    void InitRoomPanels();
    // --- participant tree ---
    // Fills the participant window from the login snapshot: the departments, then every
    // participant; department ids become tree keys (server id + 10) here and nowhere else.
    void LoadUserTree();
    // The participant tree's record whose name is the text, or null (the H.323 call dialog
    // finds its terminal by name).
    const ST_TREE_USER* FindUserByDisplayName(const QString& name) const;
    void LoginDataServer();
    void LogoutServers();
    void CreateMedia();
    void CreateDocManager(uint32_t value);
    void RefreshToolbarStateEx(uint32_t enable, uint32_t reset);
    void RefreshToolbarState();
    void OnDocPageMsg(uint16_t kind, int32_t value, uint32_t extra);
    void OnDocWindowMsg(uint8_t show);
    void OnDocListMsg(uint16_t value);
    void SetConfigBytes(uint8_t a, uint8_t b, uint8_t c, uint8_t d, uint8_t e, uint8_t f) override;
    // The room was entered (the window exists and the work runs).
    bool IsRoomEntered() const { return m_bRoomEntered; }

    // The connection is lost: reconnect, or close when the server is ending the stay.
    void OnConnectionLost();
    int LeaveConference();
    void EnterConference();
    // 0x507(2): adopts the login the reconnect worker made; false when that failed (then the
    // worker retries).
    bool AdoptReLogin();
    void EndOwnScreenShare();
    void ShowNotice(const QString& text);
    // The room window is gone: the reconnecting flag and a running address lookup end.
    void OnRoomClosed();

    // --- getters and role tests ---
    XConfManager* GetConfManager() const { return m_pConfManager.get(); }
    XDocManager* GetDocManager() const { return m_pDocManager.get(); }
    IKroScreenShare* GetScreenShare() const { return m_pScreenShare.get(); }
    ICsUserManager* GetUserManager() const;
    const ST_CONF_APPINFO* GetAppInfo() const;
    uint16_t GetMyUserId() const override;
    bool IsMyChannel(uint16_t wMediaId) const override;
    uint32_t GetMyOwnerId() const;
    uint32_t GetConfId() const override;
    uint8_t GetMyStatusByte() const;
    bool IsMyRoleState2() const;
    bool IsMyRoleState0or5() const;
    bool IsMyRoleActive() const;
    bool IsInConference() const;
    bool IsMyFlagBit2() const;
    void SetMyFlag(uint8_t value);
    bool GetUserInfo(std::shared_ptr<ST_USER_ITEM_DEPT>& out, uint16_t userId) const;
    // Asks the conference for another participant's camera channel that is not broadcast, as
    // its reception starts: the relay forwards it only then.
    void AskForCameraChannel(uint16_t wMediaId);
    uint32_t GetUserDeptKey(uint16_t userId) const;
    int GetRecordState() const;
    int GetDocShareState() const;
    int IsDocServerReady() const;
    uint32_t GetConfIdOfLogin() const { return m_dwConfId; }
    const ST_CS_SERVER& GetCsServer() const { return m_csServer; }
    const LayoutRecord& GetLayoutSlot(int index) const { return m_layoutSlots.at(index); }
    const LayoutRecord& GetLastLayoutSent() const { return m_lastLayoutSent; }
    const std::array<uint8_t, 6>& GetConfigBytes() const { return m_configBytes; }
    bool IsReconnecting() override { return m_bReconnecting.load(); }
    bool IsStreamServerReady() const { return m_bStreamServerReady; }
    int GetMediaConnectFails() const { return m_nMediaConnectFails; }
    int GetScreenShareState() const { return m_byScreenShareState; }
    const char* GetAVServerIp() const { return m_szAVServerIp; }
    // The server ended the stay (forced exit or the give-up): the room closes without asking.
    bool IsExitFlagSet() const { return m_bExit != 0; }
    void SetExitFlag(int value) { m_bExit = value; }

    // --- sub-command senders and layout synchronisation ---
    // Sends the room layout (258 to everybody) when this client leads it, `allowed` is set,
    // the layout is ready and it changed since the last send.
    void SendSyncWndLayout(int allowed);
    void SendControlRequest(uint16_t to, uint8_t code);
    // 307 and 269 to a user the user manager knows; nothing otherwise.
    void SendControlResponse(uint16_t to, uint8_t code);
    void SendScreenControlReply(uint16_t to, uint8_t code);
    // Grants (on != 0) or withdraws control of this client's shared screen to a user (267) and
    // remembers the grant: a later 269 code 1 from that user is accepted only then.
    void GrantScreenControl(uint16_t userId, uint8_t on);
    // Asks a user for its device parameters (259); its answer (260) is taken from that user
    // only.
    void RequestDeviceParam(uint16_t userId);
    void StartMediaShare();
    void StopMediaShare();
    void HandleSubCommand274(const uint8_t* data, uint16_t length);
    void HandleSubCommand275();
    void HandleSubCommand276();
    void OnConfDissolved(const uint8_t* data, uint16_t length);
    void OnClapCommand(const uint8_t* data, uint16_t length);
    void MoveUserToAudioGroup(uint16_t userId, uint32_t group);
    void DissolveAudioGroup(uint32_t group);
    void ApplySyncLayout(const uint8_t* layout, uint16_t length, uint32_t force);
    void ApplyPendingLayout(uint32_t force);
    void ApplyLayoutFromNetwork();
    // Audio of a participant on the media object of my own channel; 0 without it.
    uint32_t StartRecvAudio(uint16_t userId, uint32_t param);
    uint32_t StopRecvAudio(uint16_t userId);
    // The layout may be sent (cleared while a received one is applied).
    uint32_t GetLayoutReady() const { return m_dwLayoutReady; }
    void SetLayoutReady(uint32_t ready) { m_dwLayoutReady = ready; }
    // The room's video reception (open, close, stop a channel) as the layout synchronisation
    // calls it; null leaves those calls out.
    void SetVideoReception(IVideoReception* reception) { m_pVideoReception = reception; }
    void SetRoomArrangement(IRoomArrangement* arrangement) { m_pArrangement = arrangement; }
    // State the user-to-user commands keep (read by tests and the status texts).
    uint8_t GetScreenBroadcast() const { return m_bScreenBroadcast; }
    uint16_t GetViewedChannel() const { return m_wViewedChannel; }
    uint8_t GetRemoteControlState() const { return m_byRemoteControlState; }
    uint16_t GetRemoteControlId() const { return m_wRemoteControlID; }
    uint32_t GetAnswerFlag() const { return m_dwAnswerFlag; }
    uint32_t GetCycleHold() const { return m_dwCycleHold; }
    bool HasPendingLayout() const { return m_dwPendingLayout != 0; }
    const LayoutRecord& GetPendingLayout() const { return m_pendingLayout; }
    // Whether this client's user agreed to control of its screen by that user.
    bool HasControlConsent(uint16_t userId) const;
    // Test seam: the state a handler starts from.
    void SetShareStateForTest(uint8_t screenBroadcast, uint16_t sharedChannel,
                              uint8_t remoteControl, uint8_t mediaShare) {
        m_bScreenBroadcast = screenBroadcast;
        m_wSharedScreenChannel = sharedChannel;
        m_byRemoteControlState = remoteControl;
        m_byMediaShareRecvState = mediaShare;
    }
    void SetRoomLayoutForTest(const LayoutRecord& layout) { m_layoutSlots[0] = layout; }

    // --- IMainFrame (calls of the conference manager) ---
    void ReceiveVideo(uint16_t wMediaId, uint32_t unused, uint32_t mode,
                      IVideoWindow* window) override;
    void ShowPopMsg(const QString& title, const QString& text, int countdownSeconds, int type,
                    std::function<void(int answer)> onClosed) override;
    void CloseByServer() override;

    // --- IReconnectHost ---
    int ReLoginCS() override;
    yav::WindowHandle GetMainWindowHandle() override { return GetSafeHwnd(); }
    void GiveUpConference() override;

    // --- IUiMainFrame (what the toolkit's windows ask of the room) ---
    QWidget* GetMainWindow() override { return IsWindow() ? this : nullptr; }
    QWidget* GetStatusBar() override { return nullptr; }
    QWidget* GetDocPageTab() override { return nullptr; }
    bool IsUserListChild(const QWidget*) override { return false; }
    bool IsConnectionLost() override { return m_bReconnecting.load(); }
    BYTE GetControlStateFirst() override { return m_stateBytes[0]; }
    BYTE GetControlStateSecond() override { return m_stateBytes[1]; }
    BYTE GetScreenControlState() override { return m_byScreenControlMode; }
    DWORD GetControlRequest() override { return m_dwRequestPending; }
    void AnswerControlRequest(BYTE accept, WORD userId) override;

    // --- ICsHandler (the participants' and conference events come with the next issue) ---
    void OnVideoOpenResult(uint16_t mediaId, uint16_t result, uint32_t value) override;
    void HandleBroadcastVideo(uint16_t mediaId, uint16_t result, uint8_t on,
                              uint32_t value) override;
    void OnUserAudioStatus(uint16_t userId, uint8_t status, uint8_t previous,
                           uint32_t value) override;
    void OnTransmit(uint16_t to, uint16_t from, uint16_t subCommand, const uint8_t* data,
                    uint16_t length) override;
    void OnConfAttrChanged(uint16_t offset, uint16_t length, const uint8_t* bytes) override;
    void OnSystemMessage(uint32_t code) override;
    void OnConfStateUpdate(uint32_t code) override;
    void OnTextMessage(uint32_t on) override;
    void OnForceExit(uint16_t reason, uint32_t value) override;
    void OnReserved9(uint32_t value) override;
    void OnConfFlagChanged(uint8_t flag) override;
    void OnNotice11() override;
    void OnNotice12(uint32_t code) override;
    void OnNotice13(uint32_t code) override;

    // --- IUserHandler ---
    void OnUserJoin(ST_USER_ITEM_DEPT* record) override;
    void OnUserLeave(uint16_t userId, uint32_t departmentId, uint8_t state) override;
    void OnUserInfoChanged(ST_USER_ITEM_DEPT* record) override;
    void HandleLeadingStatus(uint16_t userId, uint8_t newState, uint8_t oldState) override;
    void OnUserAttrChanged(uint16_t userId, uint32_t departmentId, uint8_t state) override;

    // --- conference operations ---
    // Starts receiving one present participant's speech and broadcast channels (the stream
    // server became reachable); my own record is skipped.
    void AddRecvForUser(ST_USER_ITEM_DEPT* user, const ST_USER_PRIVATEDATA* mine);
    // Switches to a layout of this client's own; with reset the room layout's mode bytes go
    // back to the default arrangement.
    void ResetVideoLayoutState(uint32_t reset);
    // Opens one page of received media ids into the video windows, one id per timer step;
    // returns the number of ids taken (0 unless the room keeps its own layout).
    int LayoutVideoWindows(int start, int count) override;
    // Empties every video window; the page starts again at 0.
    void CloseAllVideoWindows();
    // The video cycle's switch of one window to the next id; *oldMediaId gets the id shown
    // before.
    void AssignChannelToWindow(IVideoWindow* window, uint16_t wNewMediaId, uint16_t* oldMediaId);
    int IsDocShareActive() const;
    void SetUserStateOnce(uint16_t userId, uint32_t state);
    void SendCameraControl(uint16_t channelId, uint32_t command);
    int HasZoomedVideoWindow() const;
    int IsShareSourceMatched() const;
    // Size in bytes of a readable file, 0 when it cannot be opened.
    static uint32_t GetLocalFileSize(const QString& path);
    // 0 none, 1 this client shares a media, 2 a shared media is received.
    uint8_t GetMediaShareState() const { return m_byMediaShareRecvState; }
    // Number of participants whose group value equals `group`.
    int CountGroupUsers(uint32_t group);
    // The page of video that LayoutVideoWindows opens next.
    uint32_t GetPageStart() const { return m_dwPageStart; }

    // --- participant and conference event helpers ---
    // The user notice "<text> <name>(<id>) <text>[:<text>]" of the user of `id` (low three
    // bits cleared) into m_strNotice, shown in the chat's system pane, then emptied; nothing
    // when the user has no name.
    void FormatScreenShareNotice(std::initializer_list<int> textIds, uint16_t id);
    void ApplyAudioState(uint16_t userId, uint8_t status, uint8_t previous, uint32_t value);
    void ApplyAudioStateEx(uint16_t userId, uint8_t status, uint32_t value);
    // Closes the received videos that nobody broadcasts (a new presenter keeps only those).
    void StopUnbroadcastVideos();
    // The presenter's user id (0 none): the channel whose screen is the shared one.
    uint16_t GetPresenterId() const { return m_wSharedScreenChannel; }
    bool IsPresenter() const { return m_dwPresenter != 0; }
    uint8_t GetOwnChannelMask() const { return m_byOwnChannelMask; }
    const QString& GetNoticeText() const { return m_strNotice; }
    bool IsForcedClose() const { return m_dwForcedClose != 0; }
    void SetMediaShareParam(uint32_t value) { m_dwMediaShareParam = value; }
    void SetMediaShareState(uint8_t state) { m_byMediaShareRecvState = state; }
    void SetOwnChannelMask(uint8_t mask) { m_byOwnChannelMask = mask; }
    // Remote control: 0 none, 1 this client controls `id`'s screen, 2 `id` controls this one.
    void SetRemoteControl(uint8_t state, uint16_t id) {
        m_byRemoteControlState = state;
        m_wRemoteControlID = id;
    }
    void SetRequestPendingForTest(uint32_t pending) { m_dwRequestPending = pending; }
    // Helpers of the handlers.
    void RefreshChatRecipients();
    void ShowNoticeAndTip(const QString& text);
    void ClosePreviewOfOthers(uint16_t userId);
    void ResumePresenterScreen();
    // This client no longer controls another screen: back to viewing it, status text renewed.
    void EndRemoteControlView();
    // The shared screen is gone: the video windows come back (the panels too when asked) and
    // nobody controls this screen any more.
    void CloseSharedScreen(bool restorePanels);
    void ReapplyFollowLead();
    void PostToControlBarSyncLayout();
    // The room still lists a media id as received (after its sender's record is gone).
    bool IsMediaIdListed(uint16_t wMediaId) const;
    // Number of videos the room receives into windows.
    int GetBroadcastChannelCount() const override;
    // A video window shows the id.
    bool IsMediaIdShown(uint16_t wMediaId) const;
    void RecalcLayout(int withScreen);
    void OnUserPrivateFlagOff(int a, int b);
    // The own video window as the handlers reach it (null without one).
    IVideoWindow* OwnVideoWindow() const;
    // A switching window's new stream shows its first picture (0x9D01): the old id is stopped
    // and goes back to the video cycle, the new one becomes the window's.
    void OnCycleSwitchShown(IVideoWindow* window);
    void SetRoomLayoutWindowId(int slot, uint16_t wMediaId);
    void OpenNextLayoutId();
    IRoomMedia* GetRoomMedia() const { return m_pRoomMedia.get(); }
    // Makes the media service of the handlers (StartWork).
    void CreateRoomServices();

    // --- IKroDataHandleMsg (component threads) ---
    void OnMsgResult(std::intptr_t result, std::intptr_t value) override;
    int GetOwner() override;
    void OnDocMsg1(std::uint8_t show) override;
    void OnDocMsg2(std::uint16_t value) override;
    void OnDocData(std::uint32_t kind, std::int32_t value, std::uint32_t extra) override;
    std::intptr_t OnFileListRecord(const std::uint8_t* record32) override;
    void OnLowLevelMsg(std::uint32_t msg, const QString& text, std::uint32_t status) override;

    // --- IFileListMsgResult (component thread) ---
    void OnFileListResult(std::intptr_t result, std::intptr_t value) override;

    // --- IMediaHandler (component threads) ---
    void OnMediaServerConnected(std::intptr_t status) override;
    void OnStreamServerConnected(std::intptr_t status) override;
    void OnMediaEvent3010(std::intptr_t value, std::intptr_t status) override;
    void* GetLocalVideo(std::uint32_t channel, std::intptr_t value) override;
    void OnMediaEvent3013(std::intptr_t value, std::intptr_t status) override;
    void OnMediaEvent300F(std::intptr_t status) override;
    void OnMediaEvent3012(std::intptr_t status) override;
    void OnMediaEvent3018(std::intptr_t value) override;

    // --- IRemoteControlHandler (component threads) ---
    void OnRemoteControl(std::intptr_t status) override;
    void OnScreenShareStatus(std::intptr_t status) override;
    void OnScreenSendRequest(std::intptr_t status) override;
    void OnScreenRecvReconnected(std::intptr_t wParam, std::intptr_t lParam) override;
    void OnScreenSendReconnected(std::intptr_t wParam, std::intptr_t lParam) override;

    // --- CYavClientDlg ---
    void HandleNetMessage(WPARAM code, LPARAM status) override;

    // --- video reception (the room's video windows) ---
    // (IVideoReception, installed as the room's own reception.)
    // Receives a media id, channel 7 included (into the media-play window); 1 when a window
    // or the media window took it.
    int MediaVideoRecv(uint16_t wMediaId, uint32_t mode) override;
    // Receives a camera channel into a window with the stored receive mode (channel 7 refused).
    void OpenChannel(uint16_t wMediaId) override;
    // Frees the window that shows the id and stops its stream.
    void CloseChannel(uint16_t wMediaId) override;
    // Stops a reception through the layout manager; 0 for id 0, else 1.
    uint32_t StopVideoRecv(uint16_t wMediaId, uint32_t unused, uint8_t sync) override;
    // The window showing the id is receiving (a cycle window).
    bool IsReceiving(uint16_t wMediaId) const override;
    // The previews (participant panel, device test) that show an id, or any id.
    void CloseChannelWindow(uint16_t wMediaId) override;
    void CloseMyVideoWindows() override;
    QString FormatChannelName(uint16_t wMediaId) override;
    // The window caption of a channel; the length in characters (0: the buffer is unchanged).
    int FormatChannelName(uint16_t wMediaId, QString& name) const;
    // Frees the windows of the current video page (the page's ids go back to the received-
    // video list unflagged) so that the next page can be laid out into them.
    void ApplyVideoWindows() override;

    // --- IVideoPagerHost (the control bar's video pager) ---
    int GetReceivedCount() override { return m_mediaIdList.GetCount(); }
    int GetWindowsPerPage() override;
    int GetUsedWndCount() override;
    // The room's window layout record (slot ids at 14, maximised id at 88).
    LayoutRecord& GetRoomLayout() { return m_layoutSlots[0]; }
    uint16_t GetMediaChannelId() const { return m_wMediaChannelId; }
    uint16_t GetMediaAudioId() const { return m_wMediaAudioId; }
    // Test seam: the media channel object of an id (empty: the media manager's).
    std::function<kromedia::IMediaControl*(uint16_t wMediaId)> mediaControlSource;
    // The media channel object of an id, or null.
    kromedia::IMediaControl* MediaControlOf(uint16_t wMediaId) const;

    // --- ILayoutHost ---
    uint16_t GetLeadId() override { return m_wLeadUserId; }
    bool IsPagedVideo() override;
    int GetVideoPageStart() override { return static_cast<int>(m_dwPageStart); }
    void SetVideoPageStart(int start) override {
        m_dwPageStart = static_cast<uint32_t>(std::max(start, 0));
    }
    CMediaIdList* GetReceivedList() override { return &m_mediaIdList; }
    CVideoCycle* GetVideoCycle() const override;
    // The room's own presenter flag (set by the leading-status handler).
    bool IsPresenter() override { return m_dwPresenter != 0; }
    void StopVideoRecv(uint16_t wMediaId) override { StopVideoRecv(wMediaId, 0, 1); }
    void SetFullVideo(bool on) override;
    void OnVideoPopState(uint16_t wMediaId, int inside) override;
    void SetDocCellCount(int cells) override;
    int GetSpeakerLimit() override;
    void ShowLayoutMessage(int textId) override;
    void EnableRender(uint16_t wMediaId, bool on) override;

    // --- IVideoCycleDialogHost ---
    ICsUserManager* GetUserSource() override { return GetUserManager(); }
    QWidget* GetCommandTarget() override { return IsWindow() ? this : nullptr; }

    // --- media manager's calls into the room ---
    bool IsMediaIdBroadcast(uint16_t wMediaId) override;
    void SetDevicePollTimer(int on) override;
    void BroadcastVideo(uint16_t wMediaId, uint8_t on) override;
    void TransmitToUser(uint16_t to, uint16_t subCommand, const void* data,
                        std::size_t length) override;
    void ShowVideoStoppedNotice() override;
    kromedia::INotifyTarget* GetMediaNotifyTarget() override;
    VideoLimits GetVideoLimits() const override;
    // --- chat: the voice-group manager, made on the first command 32790 of a stay ---
    void OnChatGroupCommand() override;
    // What the chat windows of this room ask of the main frame (boxes, group moves, the
    // speaker); flashChatTab is the participant window's.
    ConfChatHost::FrameOps ChatFrameOps(std::function<void()> flashChatTab);
    // Refills the manager's lists while it is shown (participants or their groups changed).
    void RefreshChatGroupManager();
    // Null until the command made it.
    CDlgMgrChatGroup* GetChatGroupManager() const;

    // --- participant window and video windows: receptions, preview, broadcast marks ---
    // A reception started (on) or stopped: the participant window counts what this client
    // receives against the conference's limits.
    void NoteVideoReceived(uint16_t wMediaId, bool on);
    // The participant window's broadcast mark of a media id reaches the windows showing it.
    void SetVideoSpeakIndicator(uint16_t wMediaId, bool on);
    // The room's own video window, the participant tree's preview (null until made).
    IVideo* GetOwnVideo() const { return m_pOwnVideo.get(); }

    // Test seam: the data server asked by ResetAVServerIp for the media server address
    // (runs on a worker thread; empty: the data-server component).
    std::function<std::string(uint32_t confId)> avServerLookup;

private:
    friend class CYavClientDlg;

    struct ReLoginRequest {
        std::string server;
        uint16_t port = 0;
        uint32_t confId = 0;
        std::string name;
        std::string password;
        uint8_t mode = 0;
    };

    void LoginDataServerFinish();
    void StartDocShare();
    void LoginScreenShare();
    void LogoutScreenShare();
    void ResetAVServerIp();
    void AddRecvForUsers();
    void OnScreenShareStarted();
    void SetRemoteAssistState(int state);
    void OnNetMediaServer(LPARAM status);
    void OnNetStreamServer(LPARAM status);
    void OnNetScreenLogin(LPARAM status);
    void OnNetScreenShare(LPARAM status);
    void SendScreenRecord(uint8_t startRecv);
    void Post(UINT message, WPARAM wParam, LPARAM lParam);

    std::unique_ptr<XConfManager> m_pConfManager;
    std::unique_ptr<XDocManager> m_pDocManager;
    std::unique_ptr<IKroScreenShare> m_pScreenShare;
    std::unique_ptr<RoomPanelHost> m_pPanelHost;
    // The voice-group manager and its host over the conference manager (chat).
    struct ChatGroupRoom;
    std::shared_ptr<ChatGroupRoom> m_pChatGroupRoom;
    // --- sub-command senders and layout synchronisation ---
    uint32_t m_dwLayoutReady = 1;
    IVideoReception* m_pVideoReception = nullptr;
    IRoomArrangement* m_pArrangement = nullptr;
    // The video cycle holds still while this client's screen is controlled.
    uint32_t m_dwCycleHold = 0;
    // The device dialog, made hidden when a peer's device parameters first arrive.
    std::unique_ptr<IDevice> m_pDeviceDlg;
    void GroupAudioPass(uint32_t group, bool start);
    void MoveLayoutWindow(int index, uint16_t oldId, uint16_t newId, uint32_t force,
                          const LayoutRecord& target);
    void LetVideoGo(uint16_t wMediaId, uint32_t force);
    void OnScreenCommand(const uint8_t* data, uint16_t length);
    void OnMediaCommand(const uint8_t* data, uint16_t length);
    void OnScreenControlGrant(uint16_t from, uint8_t code);
    void OnScreenControlQuestion(uint16_t from, uint8_t code);
    void OnScreenControlReply(uint16_t from, const uint8_t* data, uint16_t length);
    void OnRequestControl(uint16_t from, uint8_t code);
    void OnResponseControl(uint16_t from, const uint8_t* data, uint16_t length);
    void OnAudioListen(const uint8_t* data, uint16_t length);
    void OnDeviceParamReply(const uint8_t* data, uint16_t length);
    // The language text with the sender's name (and its id) into m_strNotice; false, and no
    // notice, when the sender has no name.
    bool FormatNameNotice(int textId, uint16_t from, bool withId);
    void ShowMediaShareNotice(int textId);
    void GrantConsent(uint16_t userId);
    void RevokeConsent(uint16_t userId);
    void TipNotice(int textId, uint16_t from, bool withId = false);
    // Users this client's user let control its screen (own grant or an accepted prompt).
    std::vector<uint16_t> m_controlConsent;
    // The users that commands bound to one peer must come from (the payload gate reads it).
    yav::usercmd::ReceiverPeers CommandPeers() const;
    // The user asked for device parameters (259), and the one whose control request the
    // prompt asks about until it is answered; 0 none. Both end with the stay.
    uint16_t m_wDeviceParamAsked = 0;
    uint16_t m_wControlAsker = 0;
    // A 268 question is open (a second one is not asked).
    bool m_bQuestionOpen = false;
    // The dissolution box is open (a second 288 adds none).
    bool m_bDissolving = false;

    QString m_strSecond;
    std::unique_ptr<CDlgPopMsg> m_pControlPrompt;
    QString m_strNotice;

    // Screen sharing and remote control.
    uint8_t m_bScreenBroadcast = 0;
    uint16_t m_wViewedChannel = 0;
    uint16_t m_wRemoteControlID = 0;
    uint8_t m_byRemoteControlState = 0;
    uint8_t m_byScreenControlMode = 0;
    uint8_t m_byMediaShareRecvState = 0;
    uint32_t m_dwRequestPending = 0;
    uint32_t m_dwAnswerFlag = 0;
    uint16_t m_wSharedScreenChannel = 0;
    uint16_t m_wSharedScreenNext = 0;
    uint32_t m_dwAfterShared = 0;
    uint32_t m_dwAfterSharedNext = 1;
    uint32_t m_dwSyncedLayout = 0;
    std::array<uint8_t, 214> m_settingsArea{};
    uint32_t m_dwSettingsFlag = 1;
    yav::CriticalSection m_callbackLock;

    // Login.
    QString m_strLoginName;
    QString m_strLoginPassword;
    uint8_t m_byLoginMode = 0;
    uint32_t m_dwConfId = 0;
    ST_CS_SERVER m_csServer{};
    ReLoginRequest m_reLogin;

    // Work of a stay.
    std::array<LayoutRecord, 4> m_layoutSlots{};
    LayoutRecord m_lastLayoutSent{};
    uint32_t m_dwLastLayoutFlag = 0;
    LayoutRecord m_pendingLayout{};
    uint32_t m_dwPendingLayout = 0;
    std::array<uint8_t, 6> m_configBytes{};
    std::array<uint8_t, 6> m_myDeviceState{};
    uint16_t m_wLeadUserId = 0;
    uint16_t m_wMainUserId = 0;
    uint32_t m_dwCounter = 0;
    uint16_t m_wScreenControlPeer = 0;
    uint16_t m_wRemoteControlChannel = 0;
    std::array<uint8_t, 2> m_stateBytes{};
    std::array<uint32_t, 2> m_stateValues{};
    std::array<uint32_t, 4> m_stateFlags{};
    bool m_bRoomEntered = false;
    int m_bExit = 0;
    QString m_strChairPassword;
    uint32_t m_dwPresenterRequest = 0;
    uint32_t m_dwSpeakRequest = 0;
    uint32_t m_dwSharedOnLeave = 0;
    uint32_t m_dwReEnterValue = 0;

    // Participant and conference events, conference operations.
    uint32_t m_dwPresenter = 0;
    uint8_t m_byOwnChannelMask = 0;
    uint32_t m_dwPageStart = 0;
    uint32_t m_dwForcedClose = 0;
    uint32_t m_dwMySpeaking = 0;
    uint16_t m_wSpeakerId = 0;
    uint16_t m_wVoiceIncentiveUser = 0;
    std::vector<uint16_t> m_layoutQueue;
    uint32_t m_dwMediaShareParam = 0;
    uint32_t m_dwPagePosition = 0;
    std::unique_ptr<IBulletinBoard> m_pBulletinBoard;
    // The media manager's calls as the handlers make them; null skips them.
    std::unique_ptr<IRoomMedia> m_pRoomMedia;
    // What the video cycle hands its window switches to.
    std::shared_ptr<IVideoCycleHost> m_pCycleHost;

    // Network events.
    char m_szAVServerIp[16] = {};
    int m_nMediaConnectFails = 0;
    LPARAM m_nMediaServerState = 0;
    // --- media manager's calls into the room ---
    WindowNotifyTarget m_mediaNotify;
    bool m_bStreamServerReady = false;
    uint8_t m_byScreenShareState = 0;
    uint16_t m_wViewedUserId = 0;
    uint8_t m_bRemoteControl = 0;
    std::atomic<bool> m_bReconnecting{false};
    bool m_bAvLookupRunning = false;
    std::thread m_avLookupThread;

    // Video reception.
    bool OpenIntoWindow(uint16_t wMediaId, uint32_t mode, bool sync);
    uint16_t m_wMediaChannelId = 0;
    uint16_t m_wMediaAudioId = 0;
    uint32_t m_dwRecvMode = 0;
    // What the video windows ask of the room, installed while this frame lives.
    std::unique_ptr<IVideoWindowHost> m_pVideoWindowHost;
};

extern XMainFrame* g_pMainFrame;
