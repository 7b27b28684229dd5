#pragma once
// What a chair (or presenter) does to a participant from the participant tree: the click on a
// row or on one of its icons, the per-user pop-up's contents, and the commands behind them.
// Every request goes out through ITreeActionHost (the conference manager and the main frame);
// limits and refusals are decided here, so that a request that must not go never reaches it.
//
// UI thread only.

#include <QRect>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

#include "TreeRecords.h"
#include "UserTree.h"

namespace yav::users {

// Command ids of the participant commands.
enum : int {
    ID_USER_REMOTE_PARAM = 32807,
    ID_USER_GRANT_SPEAK = 32808,
    ID_USER_GRANT_PRESENTER = 32809,
    ID_USER_TEMP_ADMIN = 32810,
    ID_USER_RECEIVE_CHANNEL0 = 32811,    // .. 32818
    ID_USER_BROADCAST_CHANNEL0 = 32819,  // .. 32826
    ID_USER_REMOTE_ASSIST = 32827,
    ID_USER_KICK = 32828,
    ID_USER_SCREEN_CONTROL = 32830,
    ID_USER_LEAVE_QUEUE = 32861,
    ID_USER_BROWSE_VIDEO = 32865,
    ID_USER_BROADCAST_VIDEO = 32867,
};

// Text ids the actions show.
enum : int {
    kTextTitle = 1,
    kTextReceiveLimitChair = 115,
    kTextDeviceSettings = 1297,
    kTextGiveFloor = 1300,
    kTextMakePresenter = 1303,
    kTextRemoteAssist = 1309,
    kTextBroadcastVideo = 1315,
    kTextRemoveUser = 1321,
    kTextRemovedReason = 1717,
    kTextReceiveLimitMember = 2239,
    kTextBroadcastLimit = 2242,
    kTextSpeakerLimit = 2245,
    kTextEndRemoteAssist = 2422,
    kTextAssistRefused = 2470,
    kTextTakeFloorBack = 2785,
    kTextStopBroadcast = 2788,
    kTextRemovePresenter = 2950,
    kTextAllVideosShown = 3118,
    kTextVideoOff = 3145,
    kTextNoVideo = 3148,
    kTextRemoveConfirm = 3151,
};

// The conference's limits (from its login).
struct ConfLimits {
    std::uint16_t maxSpeakers = 0;
    std::uint8_t maxBroadcast = 0;
    std::uint8_t maxReceiveChair = 0;
    std::uint8_t maxReceiveMember = 0;
};

// Screen-sharing and remote-assistance state of this client, as the main frame keeps it.
struct RemoteAssistState {
    int remoteControlState = 0;  // 1 controlling a peer's screen, 2 controlled
    int screenShareState = 0;    // 0 none, 1 sharing, 2 viewing
    int screenViewState = 0;
    bool assistFlag = false;  // a remote assistance is running
    std::uint16_t presenterId = 0;
    std::uint16_t peerId = 0;      // the remote-assistance or remote-control peer
    std::uint8_t confOptions = 0;  // application information byte 22
};

class ITreeActionHost {
public:
    virtual ~ITreeActionHost() = default;
    // --- roles and counts ---
    virtual bool IsMyRoleState0or5() const = 0;
    virtual bool IsMyRoleState2() const = 0;
    virtual std::uint16_t GetMyUserId() const = 0;
    // The speakers the server counts (its limit is enforced on that count).
    virtual int GetSpeakerCount() const = 0;
    // Channels this client broadcasts itself.
    virtual int GetOwnBroadcastCount() const = 0;
    virtual ConfLimits GetLimits() const = 0;
    virtual RemoteAssistState GetRemoteAssistState() const = 0;
    // --- requests ---
    virtual void AwardSpeek(std::uint16_t userId, std::uint8_t state) = 0;
    virtual void SetPresenter(std::uint16_t userId, std::uint8_t on) = 0;
    virtual void ApplyPresenter() = 0;
    virtual void SetTempAdmin(std::uint16_t userId, std::uint8_t on) = 0;
    // The removal carries the language's removal reason text.
    virtual void KickUser(std::uint16_t userId, std::uint16_t reason) = 0;
    virtual void RequestUserVideo(std::uint16_t mediaId, std::uint8_t on) = 0;
    virtual void BroadcastVideo(std::uint16_t mediaId, std::uint8_t on) = 0;
    virtual void GrantScreenControl(std::uint16_t userId, std::uint8_t on) = 0;
    virtual void RequestRemoteAssist(std::uint16_t userId, int mode) = 0;
    virtual void OpenDeviceDialog(std::uint16_t userId) = 0;
    // Whether the room has the device dialog and the remote assistance: until it has, their
    // items are offered disabled.
    virtual bool HasDeviceDialog() const = 0;
    virtual bool HasRemoteAssist() const = 0;
    // --- the preview window ---
    // The media id the preview window shows, 0 when none.
    virtual std::uint16_t GetPreviewMediaId() const = 0;
    virtual bool HasPreviewWindow() const = 0;
    // Starts (on) or stops the preview's reception.
    virtual void ReceiveVideo(std::uint16_t mediaId, std::uint8_t on) = 0;
    virtual bool IsInLayout(std::uint16_t mediaId) const = 0;
    // The main frame's own layout is in force (not one received from the network).
    virtual bool IsOwnLayout() const = 0;
    // --- boxes ---
    // A notice: title text 1, the text formatted with the argument.
    virtual void ShowNotice(int textId, int argument) = 0;
    // A confirmation; true on OK.
    virtual bool Confirm(int titleId, int textId) = 0;
};

// One button of the chair's pop-up.
struct PopupButton {
    int id = 0;
    int textId = 0;
    bool checked = false;
    bool enabled = true;
    bool operator==(const PopupButton&) const = default;
};

// What a click on a row leads to.
struct ItemAction {
    enum class Kind {
        None,
        ToggleExpand,
        BroadcastChooser,  // timer 104
        ReceiveChooser,    // timer 105
        Tip,               // timer 107 with tipTextId
        PreviewToggled,    // the preview of media id user + 0 was toggled: place the window
        CommandRun,        // a command ran at once
    };
    Kind kind = Kind::None;
    int tipTextId = 0;
};

class TreeActions {
public:
    TreeActions(UserTree& tree, ITreeActionHost& host) : m_tree(tree), m_host(&host) {}
    void SetHost(ITreeActionHost& host) { m_host = &host; }

    UserTree& Tree() { return m_tree; }
    std::uint16_t GetTarget() const { return m_target; }
    void SetTarget(std::uint16_t userId) { m_target = userId; }

    bool IsChair() const { return m_host->IsMyRoleState0or5() || m_host->IsMyRoleState2(); }

    // The click on a user or department row with hover area (0: the row's own area).
    ItemAction OnItemAction(TreeNode* node, std::uint8_t area);
    // The chair's pop-up for the row's user; empty when none is shown.
    std::vector<PopupButton> ChairPopup(const TreeNode* node);
    // Runs one command for the target; false for an unknown id.
    bool OnCommand(int id);

    void OnGrantSpeak();
    void OnGrantPresenter();
    void OnLeaveQueue();
    void OnTempAdmin();
    void OnKickUser();
    void OnRemoteParam();
    void OnReceiveChannel(unsigned channel);
    void OnBroadcastChannel(unsigned channel);
    void OnScreenControl();
    void OnRemoteAssist();

    // Opens or closes the preview of one channel; a tip text id when a tip is to be shown.
    std::optional<int> ToggleUserPreview(std::uint16_t mediaId);

    // Whether a tip for the user is shown at nowMs: not for the user of the previous tip
    // within 5000 ms of it.
    bool AllowTip(std::uint16_t userId, std::int64_t nowMs);

    // The broadcast chooser's buttons (id channel + 1): enabled for owned channels, checked
    // (text "stop") while broadcast.
    std::vector<PopupButton> BroadcastChooser(const TreeUser& user) const;
    // The receive chooser's buttons (id channel + 1): the channels not broadcast.
    std::vector<PopupButton> ReceiveChooser(const TreeUser& user) const;

private:
    const TreeUser* Target() const;
    PopupButton DeviceButton() const;

    UserTree& m_tree;
    ITreeActionHost* m_host;
    std::uint16_t m_target = 0;
    std::uint16_t m_lastTipUser = 0;
    std::int64_t m_lastTipMs = 0;
    bool m_tipShown = false;
};

// Where the preview window goes beside a row (screen coordinates): its top one row height below
// the row's top, centred on the row; up by three quarters of its width when its bottom would
// reach the monitor's bottom; against the panel's left edge while the panel floats.
QRect PreviewPlacement(const QRect& rowOnScreen, int rowHeight, const QSize& preview,
                       const QRect& monitor, bool panelFloats, const QRect& panelOnScreen);

// The speak pop-up over a video: its two buttons act on the media id it was given.
class SpeakButtons {
public:
    explicit SpeakButtons(ITreeActionHost& host) : m_host(host) {}
    // The participant record comes from the conference manager (null when unknown). Returns
    // the new speak state shown on the button, or nothing when nothing was sent.
    std::optional<std::uint8_t> OnBtnSpeak(std::uint16_t mediaId, const ST_USER_ITEM_DEPT* record);
    // Starts or stops broadcasting the channel; true when a request went out.
    bool OnBtnBroadcast(std::uint16_t mediaId, const ST_USER_ITEM_DEPT* record, int broadcastCount);

private:
    ITreeActionHost& m_host;
};

}  // namespace yav::users
