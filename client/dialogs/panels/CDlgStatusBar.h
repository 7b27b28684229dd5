#pragma once
// The bar along the bottom of the room window: the local device buttons with live signal
// levels and volume sliders, the network indicator with its tip and the call statistics, the
// status and recording labels, and the remote-control, presenter, raise-hand and share
// buttons. It polls the audio engine every 200 ms for mute states, levels and volumes.

#include <QPointer>

#include <functional>
#include <memory>

#include "CDlgCallStatistics.h"
#include "CDlgNetTip.h"
#include "CDlgVolumeControl.h"
#include "client/ui/CDlgPopSwitch.h"
#include "client/ui/CYavPngButton.h"
#include "platform/core/CriticalSection.h"
#include "platform/window/Dialog.h"

namespace kromedia {
class IAudioEngine;
}

class CDlgStatusBar : public yav::Dialog {
public:
    static constexpr UINT IDD = 140;
    static constexpr int IDC_CAMERA = 1047;
    static constexpr int IDC_MIC = 1048;
    static constexpr int IDC_SPEAKER = 1049;
    static constexpr int IDC_DEVICE_TEST = 1253;
    static constexpr int IDC_NETWORK = 1238;
    static constexpr int IDC_STATUS = 1053;
    static constexpr int IDC_RECORDING = 1052;
    static constexpr int IDC_REMOTE = 1364;
    static constexpr int IDC_PRESENTER = 1251;
    static constexpr int IDC_HAND = 1250;
    static constexpr int IDC_SHARE = 1322;

    static constexpr UINT kSpeakerSliderTimer = 1002;
    static constexpr UINT kMicSliderTimer = 1003;
    static constexpr UINT kAudioPollTimer = 1004;
    static constexpr UINT kCreatePopupsTimer = 2010;
    static constexpr UINT kAudioPollMs = 200;
    static constexpr UINT kSliderWatchMs = 100;
    static constexpr UINT kCreatePopupsMs = 2000;
    static constexpr std::uint32_t kSpeakerKind = 101;
    static constexpr std::uint32_t kMicKind = 102;
    static constexpr std::uint32_t kNetTipIntervalMs = 90000;

    // Engine properties.
    enum : int {
        kPropSpeakerVolume = 5,
        kPropMicVolume = 6,
        kPropSpeakerMute = 7,
        kPropMicMute = 8,
        kPropMicLevel = 101,
        kPropSpeakerLevel = 102,
    };

    explicit CDlgStatusBar(QWidget* parent = nullptr);
    ~CDlgStatusBar() override;

    void SetAudioControl(kromedia::IAudioEngine* engine);
    void ReloadTexts();
    void SetShareState(int state);
    void UpdateSpeakButton();
    void UpdateRoleTexts();
    void OnSpeakStateChanged();
    // The flag the room's speaking handlers read and clear: set while the bar keeps the
    // microphone open for this user.
    bool GetSpeakFlag() const { return m_bSpeakFlag; }
    void SetSpeakFlag(bool on) { m_bSpeakFlag = on; }
    void RefreshUserState();
    void StartRecord();
    void StopRecord();
    void StopRecordIfActive();
    void SuspendRecord();
    void ResumeRecord();
    void CheckRecordRight();
    void ShowRecordIndicator(int nCmdShow);
    void SetNetQualityLevel(int level);
    bool ShowNetTip();
    void SetCameraState(int on);
    void DisableCameraButton(bool disable);
    // microphone: true for the microphone button, false for the speaker's.
    void EnableAudioButton(bool microphone, bool enable);
    void UpdateMeetingStateText();
    // From the full-screen strip: 1 the microphone button, 3 the raise-hand button.
    void ExecuteDockCommand(int code);
    // The separator strip lies along the bar's top edge while the bar is shown, and is
    // hidden with it (full screen).
    void PlaceSeparatorStrip();
    void LayoutButtons();
    // Where the speak code goes (the full-screen strip's SetCommandText).
    void SetSpeakCodeSink(std::function<void(int)> sink) { m_speakCodeSink = std::move(sink); }

    // Button actions.
    void OnBtnCamera();
    void OnBtnMic();
    void OnBtnSpeaker();
    void OnBtnShare();
    void OnBtnRemote();

    // --- state (tests) ---
    int IsMicMuted() const { return m_bMicMuted; }
    int IsSpeakerMuted() const { return m_bSpeakerMuted; }
    int GetMicVolume() const { return m_nMicVolume; }
    int GetSpeakerVolume() const { return m_nSpeakerVolume; }
    // The skin image the level animation shows now (674/978/980 and 712/982/984).
    UINT GetMicFrameImage() const { return kMicFrames[m_nMicLevelFrame]; }
    UINT GetSpeakerFrameImage() const { return kSpeakerFrames[m_nSpeakerLevelFrame]; }
    int GetNetLevel() const { return m_nNetLevel; }
    int GetRecordingState() const;
    void SetRecordingOff() { m_bRecording = 0; }
    CYavPngButton& Button(int id);
    CDlgPopSwitch* ShareMenu() { return m_pShareMenu.get(); }
    CDlgNetTip* NetTip() { return m_pNetTip.get(); }
    CDlgCallStatistics* Statistics() { return m_pStatistics.get(); }
    CDlgVolumeControl& SpeakerSlider() { return m_speakerSlider; }
    CDlgVolumeControl* MicSlider() { return m_pMicSlider.get(); }
    CDlgPopSwitch* SpeakerFrame() { return m_pSpeakerFrame.get(); }
    CDlgPopSwitch* MicFrame() { return m_pMicFrame.get(); }
    CDlgPopSPL* SeparatorStrip() { return m_pSeparator.get(); }
    // Runs the lazily made pop-ups at once (the 2 s timer does it otherwise).
    void CreatePopups();

    static constexpr UINT kMicFrames[3] = {674, 978, 980};
    static constexpr UINT kSpeakerFrames[3] = {712, 982, 984};

protected:
    BOOL OnInitDialog() override;
    void OnTimer(UINT id) override;
    void OnSize(int cx, int cy) override;
    void OnMove(int x, int y) override;
    void OnShowWindow(BOOL show) override;
    BOOL OnEraseBkgnd(QPainter& painter) override;

private:
    void SetUpButtons();
    void PollAudio();
    void OpenVolumeSlider(bool speaker);
    void WatchVolumeSlider(bool speaker);
    LRESULT OnVolumeChanged(WPARAM kind, LPARAM position);
    int GetParam(int id);
    void SetParam(int id, int value);
    void SetMicImages(UINT frame);
    void SetSpeakerImages(UINT frame);
    void PlaceNetTip();
    QWidget* RoomWindow();
    // Width of a label's text in the bar's font (device px, rounded up).
    static int TextWidth(const QString& text);

    yav::CriticalSection m_lock;
    kromedia::IAudioEngine* m_pAudio = nullptr;
    int m_bMicMuted = 0;
    int m_bSpeakerMuted = 0;
    bool m_bSpeakFlag = false;
    int m_nMicLevelFrame = 0;
    int m_nSpeakerLevelFrame = 0;
    int m_nMicVolume = 0;
    int m_nSpeakerVolume = 0;
    BYTE m_bSpeakerSliderOpen = 0;
    BYTE m_bMicSliderOpen = 0;
    std::unique_ptr<CDlgPopSPL> m_pSeparator;
    CYavPngButton m_btnCamera;
    CYavPngButton m_btnMic;
    CYavPngButton m_btnSpeaker;
    CYavPngButton m_btnDeviceTest;
    CYavPngButton m_btnNetwork;
    CYavPngButton m_btnStatus;
    CYavPngButton m_btnRecording;
    CYavPngButton m_btnRemote;
    CYavPngButton m_btnPresenter;
    CYavPngButton m_btnHand;
    CYavPngButton m_btnShare;
    std::unique_ptr<CDlgCallStatistics> m_pStatistics;
    std::unique_ptr<CDlgPopSwitch> m_pSpeakerFrame;
    CDlgVolumeControl m_speakerSlider;
    std::unique_ptr<CDlgVolumeControl> m_pMicSlider;
    std::unique_ptr<CDlgPopSwitch> m_pMicFrame;
    std::unique_ptr<CDlgPopSwitch> m_pShareMenu;
    std::unique_ptr<CDlgNetTip> m_pNetTip;
    int m_bRecording = 0;
    int m_bStopping = 0;
    int m_bResumeLater = 0;
    int m_nNetLevel = 2;
    std::uint32_t m_dwLastNetTipTick = 0;
    std::function<void(int)> m_speakCodeSink;
    // The recording mark and the remote-control button are wanted (the layout may still leave
    // them out of a bar too narrow for them).
    bool m_bRecordMarkShown = false;
    bool m_bRemoteShown = false;
    // Where the line after the device buttons stands (device px), -1 for none.
    int m_nSeparatorX = -1;
};
