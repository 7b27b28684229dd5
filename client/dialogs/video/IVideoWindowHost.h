#pragma once
// What a video window, its camera pad and its overlays ask of the room (the main frame
// implements it and installs itself while it lives). Every operation runs on the GUI thread.
// While no host is installed the windows act as if there were no main frame: every operation
// that needs it is skipped.

#include <QString>
#include <QWidget>

#include <cstdint>

namespace kromedia {
class IMediaStream;
}
class IVideoWindow;

// The speak pop-up a video window owns (the participant panels provide it).
class ISpeakPopup {
public:
    virtual ~ISpeakPopup() = default;
    virtual QWidget* GetWidget() = 0;
    virtual void SetBroadcastIcon(bool on) = 0;
    virtual void SetSpeakState(std::uint8_t state) = 0;
    virtual void SetUserId(std::uint16_t wMediaId) = 0;
    virtual void StartHideTimer() = 0;
    virtual void StopHideTimer() = 0;
};

// The voice-activation notice the main window attaches to a video window.
class IVoiceNotice {
public:
    virtual void PlaceNotice(const QRect& windowRect, int flag) = 0;
    virtual void HideNotice() = 0;

protected:
    ~IVoiceNotice() = default;
};

class IVideoWindowHost {
public:
    virtual ~IVideoWindowHost() = default;

    // --- the room's windows and state ---
    // The room's main window (receiver of the zoom message), or null.
    virtual QWidget* GetMainWindow() = 0;
    // The participant list panel, parent of the windows' context pop-ups, or null.
    virtual QWidget* GetUserListWindow() = 0;
    virtual bool IsMainWindowMinimised() = 0;
    virtual bool IsMainWindowVisible() = 0;
    // The second byte of the room's layout state (non-zero: captions stay hidden).
    virtual std::uint8_t GetLayoutStateSecond() = 0;
    // The layout-sync flag of the application settings (the chair follows a synchronised
    // layout while it is set).
    virtual bool IsLayoutSyncFlag() = 0;
    // The room shows the video area full screen.
    virtual bool IsFullVideo() = 0;

    // --- roles and users ---
    virtual bool IsMyRoleState0or5() = 0;
    virtual bool IsMyRoleState2() = 0;
    virtual bool IsMyRoleActive() = 0;
    virtual std::uint16_t GetMyUserId() = 0;
    // Speaking state and broadcast marker of the channel's user (broadcast: 1 broadcast, 0
    // owned but not broadcast, -1 not owned); false when the user is unknown.
    virtual bool GetSpeakInfo(std::uint16_t wMediaId, int* speaking, int* broadcast) = 0;
    // False when the user is unknown.
    virtual bool GetUserName(std::uint16_t userId, QString* name) = 0;
    // The display name of a channel ("B", "B-2").
    virtual QString FormatChannelName(std::uint16_t wMediaId) = 0;
    virtual bool IsMediaIdBroadcast(std::uint16_t wMediaId) = 0;

    // --- requests ---
    // Opens the device parameters of the terminal; false (nothing done) while the room has
    // no device dialog.
    virtual bool OpenRemoteParams(std::uint16_t wMediaId) = 0;
    // Drives a camera: another user's over the network, my own directly. Code 0 stops.
    virtual void SendCameraControl(std::uint16_t wMediaId, std::uint32_t code) = 0;
    // User-to-user sub-command 311 (the channel) to the channel's user.
    virtual void SendUserByte311(std::uint16_t wMediaId) = 0;
    virtual void BeginVideoDrag(QWidget* window) = 0;
    // The preview close button was clicked: the participant tree turns the preview off when
    // the preview window shows an id.
    virtual void TogglePreviewOff() = 0;
    // A new speak pop-up with the window as parent (owned by the caller), or null.
    virtual ISpeakPopup* CreateSpeakPopup(QWidget* parent) = 0;

    // --- media, layout, cycle ---
    // Stops receiving the id; false when there is no media object for it.
    virtual bool StopRecvVideo(std::uint16_t wMediaId) = 0;
    // The render object of a received id, or null.
    virtual kromedia::IMediaStream* GetStream(std::uint16_t wMediaId) = 0;
    // Clears the slot's entry in the room's per-window id array.
    virtual void ClearWindowSlot(int slot) = 0;
    // The layout manager frees the window showing the id / closes the gap at the slot.
    virtual void DelVideo(std::uint16_t wMediaId) = 0;
    virtual void CompactWindow(int slot) = 0;
    // The video cycle (each skipped while there is no cycle).
    virtual void CyclePushBack(std::uint16_t wMediaId) = 0;
    virtual void CycleRemoveWindow(IVideoWindow* window) = 0;
    virtual void CycleRemoveMediaId(std::uint16_t wMediaId) = 0;
};

// The installed host, or null.
extern IVideoWindowHost* g_pVideoWindowHost;
