#pragma once
// The vertical volume slider above the status bar's speaker or microphone button. A release
// of the slider posts WM_VOLUME_CHANGED (kind, position) to the window it notifies; setting
// the position from outside posts nothing, so a volume read from the engine is never written
// back. The posted position counts from the top (0 = top): the receiver's level is
// 100 - position.

#include <QPointer>

#include "client/ui/CYavBitSlider.h"
#include "client/ui/CYavDialogEx.h"
#include "platform/window/Dialog.h"

class CDlgVolumeControl : public yav::Dialog {
public:
    static constexpr UINT IDD = 165;
    static constexpr int IDC_SLIDER = 1105;

    explicit CDlgVolumeControl(QWidget* parent = nullptr);
    ~CDlgVolumeControl() override;

    void SetNotify(QWidget* window, std::uint32_t kind) {
        m_pNotify = window;
        m_nKind = kind;
    }
    // The slider's value is the volume (0 at the bottom); its position counts from the top.
    void SetVolume(int volume) { m_slider.SetPos(volume); }
    std::uint32_t GetNotifyKind() const { return m_nKind; }
    CYavBitSlider& Slider() { return m_slider; }

protected:
    BOOL OnInitDialog() override;
    BOOL OnEraseBkgnd(QPainter& painter) override;

private:
    LRESULT OnSliderReleased(WPARAM wParam, LPARAM lParam);

    CYavBitSlider m_slider;
    QPointer<QWidget> m_pNotify;
    std::uint32_t m_nKind = 0;
};

// The translucent separator strip along the status bar's top edge: a child of the window the
// bar lies in, so that it is composed there and never outlives or leaves that window.

class CDlgPopSPL : public CYavDialogEx {
public:
    static constexpr UINT IDD = 204;
    static constexpr int kAlphaPercent = 50;

    explicit CDlgPopSPL(QWidget* parent = nullptr) : CYavDialogEx(IDD, parent, Style::Child) {
        // A line to see, not to click: the bar and the videos under it keep the mouse.
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    ~CDlgPopSPL() override { DestroyWindow(); }

    void RedrawButtons(BOOL) override {}
    void LayoutControls() override {}

protected:
    BOOL OnInitDialog() override;
};
