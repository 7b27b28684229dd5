#include "PanelChildren.h"

#include "CDlgStatusBar.h"
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

}  // namespace

void InstallPanelFactories(yav::room::RoomChildFactories& factories) {
    factories.statusBar = [](QWidget* room) -> std::unique_ptr<IStatusBar> {
        return std::make_unique<StatusBarChild>(room);
    };
    factories.netQualityEval = []() -> std::unique_ptr<INetQualityEval> {
        return std::make_unique<NetQualityEval>();
    };
}

}  // namespace yav::panels
