#include "CDlgVolumeControl.h"

#include <QPainter>

#include "ConfigManger.h"
#include "client/Common/MessageIds.h"
#include "platform/window/Scaled.h"

namespace {
constexpr UINT kImageBack = 906;
constexpr UINT kImageThumb = 910;
}  // namespace

CDlgVolumeControl::CDlgVolumeControl(QWidget* parent)
    : yav::Dialog(IDD, parent), m_slider(this, TBS_VERT) {
    m_slider.SetDlgCtrlID(IDC_SLIDER);
    MapMessage(WM_BITSLIDER_RELEASED,
               [this](WPARAM wParam, LPARAM lParam) { return OnSliderReleased(wParam, lParam); });
}

CDlgVolumeControl::~CDlgVolumeControl() {
    DestroyWindow();
}

BOOL CDlgVolumeControl::OnInitDialog() {
    yav::Dialog::OnInitDialog();
    MoveWindow(0, 0, yav::Scaled(20), yav::Scaled(110));
    m_slider.MoveWindow(GetClientRect());
    m_slider.SetImages(g_ConfigManager.LoadPNG(kImageBack), nullptr,
                       g_ConfigManager.LoadPNG(kImageThumb));
    m_slider.SetRange(0, 100);
    return 1;
}

LRESULT CDlgVolumeControl::OnSliderReleased(WPARAM, LPARAM) {
    if (m_pNotify != nullptr) {
        yav::PostMessage(m_pNotify, WM_VOLUME_CHANGED, m_nKind,
                         static_cast<LPARAM>(m_slider.GetPos()));
    }
    m_slider.update();
    return 0;
}

BOOL CDlgVolumeControl::OnEraseBkgnd(QPainter& painter) {
    painter.fillRect(GetClientRect(), Qt::white);
    return 1;
}

BOOL CDlgPopSPL::OnInitDialog() {
    CYavDialogEx::OnInitDialog();
    SetAlpha(kAlphaPercent);
    UpdateLayered(1, kAlphaPercent);
    return 1;
}
