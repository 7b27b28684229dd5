#include "PanelChildren.h"

#include <QPointer>

#include "CDlgControlBar.h"
#include "CDlgExpand.h"
#include "CDlgFullDockX.h"
#include "CDlgStatusBar.h"
#include "CDlgVoiceIncentive.h"
#include "NetQualityEval.h"

namespace yav::panels {

namespace {

// The room's view of a panel window it owns.
template <class Interface, class Window>
class PanelChild : public Interface {
public:
    explicit PanelChild(QWidget* room) : window_(room) {}
    bool IsWindow() const override { return window_.IsWindow(); }
    void ShowWindow(int nCmdShow) override { window_.ShowWindow(nCmdShow); }
    void DestroyWindow() override { window_.DestroyWindow(); }
    Window& Get() { return window_; }

protected:
    Window window_;
};

class StatusBarChild : public PanelChild<IStatusBar, CDlgStatusBar> {
public:
    explicit StatusBarChild(QWidget* room) : PanelChild(room) {
        window_.Create(CDlgStatusBar::IDD, room);
    }
    int GetRecordingState() const override { return window_.GetRecordingState(); }
    void SetRecordingOff() override { window_.SetRecordingOff(); }
    void SuspendRecord() override { window_.SuspendRecord(); }
    void ResumeRecord() override { window_.ResumeRecord(); }
    void ShowRecordIndicator(int nCmdShow) override { window_.ShowRecordIndicator(nCmdShow); }
    void SetAudioControl(IAudioEngine* engine) override { window_.SetAudioControl(engine); }
    void RefreshUserState() override { window_.RefreshUserState(); }
    void SetNetQualityLevel(int level) override { window_.SetNetQualityLevel(level); }
    void EnableAudioButton(int side, bool enable) override {
        window_.EnableAudioButton(side == 1, enable);
    }
    void EnableCameraButton(bool enable) override { window_.DisableCameraButton(!enable); }
    void MoveWindow(int x, int y, int cx, int cy) override { window_.MoveWindow(x, y, cx, cy); }
    void ReloadTexts() override { window_.ReloadTexts(); }
    void OnSpeakStateChanged() override { window_.OnSpeakStateChanged(); }
    void UpdateMeetingStateText() override { window_.UpdateMeetingStateText(); }
    void SetCameraState(int on) override { window_.SetCameraState(on); }
    void StartRecord() override { window_.StartRecord(); }
    void StopRecord() override { window_.StopRecord(); }
    void StopRecordIfActive() override { window_.StopRecordIfActive(); }
    void CheckRecordRight() override { window_.CheckRecordRight(); }
    void PlaceSeparatorStrip() override { window_.PlaceSeparatorStrip(); }
    void ExecuteDockCommand(int code) override { window_.ExecuteDockCommand(code); }
    void SetShareState(std::uint8_t state) override { window_.SetShareState(state); }
    void UpdateSpeakButton() override { window_.UpdateSpeakButton(); }
    void UpdateRoleTexts() override { window_.UpdateRoleTexts(); }
    bool GetSpeakFlag() const override { return window_.GetSpeakFlag(); }
    void SetSpeakFlag(bool on) override { window_.SetSpeakFlag(on); }
};

// The room's strip, for the tab made after it and for the status bar's speak code.
QPointer<CDlgFullDockX>& CurrentStrip() {
    static QPointer<CDlgFullDockX> strip;
    return strip;
}

class ControlBarChild : public PanelChild<IControlBar, CDlgControlBar> {
public:
    explicit ControlBarChild(QWidget* room) : PanelChild(room) {
        window_.Create(CDlgControlBar::IDD, room);
    }
    void SetConfTitle(const QString& name, std::uint32_t confId) override {
        window_.SetConfTitle(name, confId);
    }
    void SetBarMode(std::uint8_t mode) override { window_.SetBarMode(mode); }
    void StartDurationTimer() override { window_.StartDurationTimer(); }
    void RefreshRoleButtons() override { window_.RefreshRoleButtons(); }
    void RemoveAllDocTabs() override { window_.RemoveAllDocTabs(); }
    // The bar's own pop-ups post commands; a choice list of the video pager reports here.
    void OnPopSwitchSelect(WPARAM, LPARAM) override { window_.UpdateVideoPager(); }
    void OnBtnSyncLayout() override { window_.OnBtnSyncLayout(); }
    bool IsAutoPaging() const override { return window_.IsVideoAutoPage(); }
    void SetAutoPaging(bool on) override { window_.SetVideoAutoPage(on); }
    void MoveWindow(int x, int y, int cx, int cy) override { window_.MoveWindow(x, y, cx, cy); }
    void ReloadTexts() override { window_.ReloadTexts(); }
    void ShowStateLabel(BOOL show) override { window_.ShowStateLabel(show); }
    void UpdateSyncLayoutButton() override { window_.UpdateSyncLayoutButton(); }
    void UpdateVideoPager() override { window_.UpdateVideoPager(); }
    void SetVideoPageCount(int count) override { window_.SetVideoPageCount(count); }
    void LayoutCenterPane() override { window_.LayoutCenterPane(); }
    bool IsActiveViewIdOne() override { return window_.IsActiveViewIdOne(); }
    bool AddDocTab(const QString& name, std::uint32_t viewId) override {
        return window_.AddDocTab(name, viewId);
    }
    bool RemoveDocTab(std::uint32_t viewId, int flag) override {
        return window_.RemoveDocTab(viewId, flag);
    }
    void RefreshRight() override {
        if (IDocPageTab* tab = window_.DocTab()) {
            tab->UpdateCloseRight();
        }
    }
};

class FullDockChild : public PanelChild<IFullDockX, CDlgFullDockX> {
public:
    // The strip is a window of its own, not a child of the room.
    explicit FullDockChild(QWidget*) : PanelChild(nullptr) {
        window_.SetBackgroundImage(436, 0);
        window_.Create(CDlgFullDockX::IDD, nullptr);
        CurrentStrip() = &window_;
    }
    void MoveWindow(int x, int y, int cx, int cy) override { window_.MoveWindow(x, y, cx, cy); }
    void RestoreAfterShare() override { window_.UpdateButtons(); }
    void ReloadTexts() override { window_.ReloadTexts(); }
    void UpdateButtons() override { window_.UpdateButtons(); }
    void ShowBar() override { window_.ShowBar(); }
    void ShowBarForced() override { window_.ShowBarForced(); }
    void DockUserList() override { window_.DockUserList(); }
    void ClearPanelButtons() override { window_.ClearPanelButtons(); }
    void SetUserListPage(BOOL chat) override { window_.SetUserListPage(chat); }
    void OnBtnExit() override { window_.OnBtnExit(); }
};

class ExpandChild : public PanelChild<IExpand, CDlgExpand> {
public:
    explicit ExpandChild(QWidget*) : PanelChild(nullptr) {
        window_.SetBackgroundImage(1102, 0);
        window_.Create(CDlgExpand::IDD, nullptr);
        if (CDlgFullDockX* strip = CurrentStrip()) {
            window_.SetStrip(strip);
            strip->SetExpand(&window_);
        }
    }
    ~ExpandChild() override {
        if (CDlgFullDockX* strip = CurrentStrip()) {
            strip->SetExpand(nullptr);
        }
    }
    void MoveWindow(int x, int y, int cx, int cy) override { window_.MoveWindow(x, y, cx, cy); }
    void QuitThread() override { window_.QuitThread(); }
    void ShowTab() override { window_.ShowTab(); }
    void OnBtnExpand() override { window_.OnBtnExpand(); }
};

class VoiceIncentiveChild : public PanelChild<IVoiceIncentive, CDlgVoiceIncentive> {
public:
    explicit VoiceIncentiveChild(QWidget* room) : PanelChild(room) {
        window_.Create(CDlgVoiceIncentive::IDD, room);
        window_.ReloadTexts();
    }
    void HideNotice() override { window_.HideNotice(); }
    void OnVoiceActivation(int mediaId) override { window_.OnVoiceActivation(mediaId); }
    void PlaceNotice(const QRect& rect, BOOL fromMainWindow) override {
        window_.PlaceNotice(rect, fromMainWindow);
    }
    // The user of the channel whose notice is up (its low three bits are the channel).
    std::uint16_t GetShownUser() const override {
        const int mediaId = window_.GetMediaId();
        return mediaId < 0 ? 0 : static_cast<std::uint16_t>(mediaId & ~7);
    }
};

}  // namespace

void InstallPanelFactories(yav::room::RoomChildFactories& factories) {
    factories.statusBar = [](QWidget* room) -> std::unique_ptr<IStatusBar> {
        auto bar = std::make_unique<StatusBarChild>(room);
        bar->Get().SetSpeakCodeSink([](int code) {
            if (CDlgFullDockX* strip = CurrentStrip()) {
                strip->SetCommandText(code);
            }
        });
        return bar;
    };
    factories.controlBar = [](QWidget* room) -> std::unique_ptr<IControlBar> {
        return std::make_unique<ControlBarChild>(room);
    };
    factories.fullDock = [](QWidget* room) -> std::unique_ptr<IFullDockX> {
        return std::make_unique<FullDockChild>(room);
    };
    factories.expand = [](QWidget* room) -> std::unique_ptr<IExpand> {
        return std::make_unique<ExpandChild>(room);
    };
    factories.voiceIncentive = [](QWidget* room) -> std::unique_ptr<IVoiceIncentive> {
        return std::make_unique<VoiceIncentiveChild>(room);
    };
    factories.netQualityEval = []() -> std::unique_ptr<INetQualityEval> {
        return std::make_unique<NetQualityEval>();
    };
}

}  // namespace yav::panels
