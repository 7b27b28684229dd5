#include "CYavDialogStand.h"

#include <QPainter>

#include "SkinGlobals.h"

CYavDialogStand::CYavDialogStand(UINT /*templateId*/, QWidget* parent)
    : yav::Dialog(kFallbackTemplate, parent),
      m_dwLayeredFlags(yav::LWA_COLORKEY | yav::LWA_ALPHA),
      m_crKey(0xF7F7F7) {}

BOOL CYavDialogStand::OnInitDialog() {
    yav::Dialog::OnInitDialog();
    SetLayeredWindowAttributes(m_crKey, static_cast<BYTE>(m_byAlpha & 0xFF), m_dwLayeredFlags);
    return 1;
}

BOOL CYavDialogStand::PreTranslateMessage(yav::Msg* msg) {
    if (msg->message == WM_KEYDOWN && (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE)) {
        return 0;  // to the focused control, never the dialog's OK or Cancel
    }
    return yav::Dialog::PreTranslateMessage(msg);
}

BOOL CYavDialogStand::OnEraseBkgnd(QPainter& painter) {
    painter.fillRect(GetClientRect(), yav::ColorFromRef(m_crKey));
    return 1;
}

void CYavDialogStand::OnSize(int cx, int cy) {
    yav::Dialog::OnSize(cx, cy);
    RefreshContent();
}
