#include "CDlgCommon.h"

#include <QPainter>

#include "SkinGlobals.h"

CDlgCommon::CDlgCommon(UINT templateId, QWidget* parent) : yav::Dialog(templateId, parent) {}

void CDlgCommon::PaintSkinnedBackground(QPainter& painter, int width, int height) {
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.fillRect(QRect(0, 0, width, g_nCaptionHeight), yav::ColorFromRef(g_clrCaption));
    painter.fillRect(QRect(0, g_nCaptionHeight, width, height - g_nCaptionHeight),
                     yav::ColorFromArgb(g_argbWhite));
    QPen border(yav::ColorFromArgb(g_argbBorder));
    border.setWidthF(0.5);
    border.setStyle(Qt::SolidLine);
    painter.setPen(border);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(0.5, 0.5, width - 1, height - 1));
    painter.restore();
}

int CDlgCommon::OnNcHitTest(const QPoint& screenPoint) {
    if (m_bDrag != 0 && GetWindowRect().contains(screenPoint)) {
        return HTCAPTION;
    }
    return yav::Dialog::OnNcHitTest(screenPoint);
}

BOOL CDlgCommon::OnEraseBkgnd(QPainter& painter) {
    PaintSkinnedBackground(painter, width(), height());
    return 1;
}

BOOL CDlgCommon::PreTranslateMessage(yav::Msg* msg) {
    if (m_bNoKeyClose == 1 && msg->message == WM_KEYDOWN &&
        (msg->wParam == VK_ESCAPE || msg->wParam == VK_RETURN || msg->wParam == VK_SPACE)) {
        return 1;
    }
    return yav::Dialog::PreTranslateMessage(msg);
}
