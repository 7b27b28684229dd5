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
};

class FullDockChild : public PanelChild<IFullDockX, CDlgFullDockX> {
public:
    explicit FullDockChild(QWidget* room) : PanelChild(nullptr) {
        (void)room;
        window_.Create(CDlgFullDockX::IDD, nullptr);
        CurrentStrip() = &window_;
    }
    void MoveWindow(int x, int y, int cx, int cy) override { window_.MoveWindow(x, y, cx, cy); }
    void RestoreAfterShare() override { window_.UpdateButtons(); }
};

class ExpandChild : public PanelChild<IExpand, CDlgExpand> {
public:
    explicit ExpandChild(QWidget* room) : PanelChild(nullptr) {
        (void)room;
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
};

class VoiceIncentiveChild : public PanelChild<IVoiceIncentive, CDlgVoiceIncentive> {
public:
    explicit VoiceIncentiveChild(QWidget* room) : PanelChild(room) {
        window_.Create(CDlgVoiceIncentive::IDD, room);
        window_.ReloadTexts();
    }
    void HideNotice() override { window_.HideNotice(); }
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
