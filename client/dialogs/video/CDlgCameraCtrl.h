#pragma once
// The camera pad: a strip over the bottom of a video window with six direction buttons and a
// close button. Pressing a direction sends its code to the camera of the window's channel at
// once and every 100 ms while held; releasing sends stop (0). A pad that goes away (closed,
// hidden or destroyed) while a direction is held sends stop too, so the camera never keeps
// turning.

#include <array>
#include <cstdint>

#include "platform/window/Dialog.h"

class CYavPngButton;

class CDlgCameraCtrl : public yav::Dialog {
public:
    static constexpr UINT IDD = 142;
    static constexpr UINT TIMER_REPEAT = 1000;
    static constexpr UINT kRepeatMs = 100;
    static constexpr int IDC_LEFT = 1057;
    static constexpr int IDC_RIGHT = 1062;
    static constexpr int IDC_UP = 1061;
    static constexpr int IDC_DOWN = 1060;
    static constexpr int IDC_ZOOM_IN = 1063;
    static constexpr int IDC_ZOOM_OUT = 1064;
    static constexpr int IDC_CLOSE = 1029;
    static constexpr UINT WM_CLOSE_PAD = WM_USER + 200;

    explicit CDlgCameraCtrl(QWidget* parent);
    ~CDlgCameraCtrl() override;

    void SetTarget(std::uint16_t wMediaId, QWidget* owner);
    std::uint16_t GetTarget() const { return m_wTarget; }
    int GetCurrentCode() const { return m_nCode; }
    // The code of a direction button (0 for any other control).
    static int CodeOfControl(int controlId);
    CYavPngButton* GetButton(int controlId) const;

    // A press on a direction button and a release anywhere in the pad (the mouse handlers
    // call these; so can a caller that drives the pad).
    void PressDirection(int controlId);
    void Release();

protected:
    BOOL OnInitDialog() override;
    void OnTimer(UINT id) override;
    void OnSize(int cx, int cy) override;
    void OnShowWindow(BOOL show) override;
    void OnDestroy() override;
    BOOL OnEraseBkgnd(QPainter& painter) override;
    BOOL PreTranslateMessage(yav::Msg* msg) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void OnOK() override {}
    void OnCancel() override {}

private:
    void Send(int code);
    void StopHeld();
    void LayoutButtons();
    void OnClose();

    std::array<CYavPngButton*, 7> m_buttons{};
    std::uint16_t m_wTarget = 0;
    int m_nCode = -1;
    QWidget* m_pOwner = nullptr;
};
