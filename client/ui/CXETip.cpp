#include "CXETip.h"

#include <QFontMetrics>
#include <QPainter>

#include "ConfigManger.h"
#include "UiFonts.h"
#include "platform/core/Scale.h"

namespace {

constexpr UINT kBitmapTipLeft = 98;
constexpr UINT kBitmapTipMiddle = 100;
constexpr UINT kBitmapTipRight = 102;
constexpr int kCapWidth = 3;
constexpr int kStripHeight = 20;

}  // namespace

CXETipWndBase::CXETipWndBase() {
    StartNotCreated();
}

BOOL CXETipWndBase::Create(UINT bitmapId) {
    m_bitmap = LoadSkinBitmap(bitmapId);
    if (m_bitmap.isNull()) {
        return 0;
    }
    setAttribute(Qt::WA_ShowWithoutActivating);
    CreateWindowEx(nullptr,
                   Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                       Qt::WindowDoesNotAcceptFocus,
                   QRect(0, 0, m_bitmap.width(), m_bitmap.height()));
    return 1;
}

BOOL CXETipWndBase::OnEraseBkgnd(QPainter& painter) {
    painter.drawPixmap(GetClientRect(), m_bitmap);
    return 1;
}

void CXETipMidWnd::SetText(const QString& text) {
    m_strText = text;
    update();
}

void CXETipMidWnd::OnPaint(QPainter& painter) {
    if (m_strText.isEmpty()) {
        return;
    }
    painter.setFont(g_fontUI);
    painter.drawText(GetClientRect().translated(0, 1), Qt::AlignHCenter | Qt::AlignVCenter,
                     m_strText);
}

BOOL CXETip::Create() {
    return m_wndLeft.Create(kBitmapTipLeft) != 0 && m_wndRight.Create(kBitmapTipRight) != 0 &&
                   m_wndMid.Create(kBitmapTipMiddle) != 0
               ? 1
               : 0;
}

void CXETip::Show(int x, int y, const QString& text) {
    if (text.isEmpty() || !m_wndLeft.IsWindow() || !m_wndMid.IsWindow() || !m_wndRight.IsWindow()) {
        return;
    }
    const bool wasVisible = m_wndLeft.IsWindowVisible() != 0;
    const int cap = yav::Scaled(kCapWidth);
    const int height = yav::Scaled(kStripHeight);
    m_wndLeft.MoveWindow(x, y, cap, height);
    m_wndLeft.ShowWindow(SW_SHOWNA);

    const int textWidth = QFontMetrics(g_fontUI).horizontalAdvance(text);
    m_wndMid.MoveWindow(x + cap, y, textWidth, height);
    m_wndMid.SetText(text);
    m_wndMid.ShowWindow(SW_SHOWNA);

    m_wndRight.MoveWindow(x + cap + textWidth, y, cap, height);
    m_wndRight.ShowWindow(SW_SHOWNA);

    if (wasVisible) {
        m_wndLeft.Invalidate();
        m_wndMid.Invalidate();
        m_wndRight.Invalidate();
    }
}

void CXETip::Hide() {
    if (!m_wndLeft.IsWindow()) {
        return;
    }
    m_wndLeft.MoveWindow(0, 0, 0, 0);
    m_wndMid.MoveWindow(0, 0, 0, 0);
    m_wndRight.MoveWindow(0, 0, 0, 0);
    m_wndMid.SetText(QString());
}

BOOL CXETip::IsShown() const {
    return m_wndLeft.IsWindow() && m_wndLeft.IsWindowVisible() != 0 ? 1 : 0;
}
