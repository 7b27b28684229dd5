#include "CStaticImage.h"

#include <QPainter>

#include "client/config/SkinGlobals.h"
#include "client/ui/VolumeMeterLayout.h"
#include "platform/core/Scale.h"

CStaticImage::CStaticImage(QWidget* parent) : yav::Window(parent) {}

BOOL CStaticImage::OnEraseBkgnd(QPainter& /*painter*/) {
    return 1;
}

void CStaticImage::OnPaint(QPainter& painter) {
    if (m_pImage == nullptr) {
        return;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.fillRect(rect(), yav::ColorFromRef(m_clrBk));
    painter.drawImage(rect(), *m_pImage);
}

CStaticVolume::CStaticVolume(QWidget* parent) : yav::Window(parent) {}

void CStaticVolume::SetLevel(int level) {
    m_nLevel = ClampVolumeLevel(level, m_nBarCount);
    Invalidate(1);
}

BOOL CStaticVolume::OnEraseBkgnd(QPainter& /*painter*/) {
    return 1;
}

void CStaticVolume::OnPaint(QPainter& painter) {
    QImage canvas(size(), QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::white);
    QPainter paint(&canvas);
    paint.setRenderHint(QPainter::SmoothPixmapTransform, true);
    for (int i = 0; i < m_nBarCount; ++i) {
        const QImage* bar = i < m_nLevel ? m_pImageLit : m_pImageUnlit;
        if (bar != nullptr) {
            paint.drawImage(VolumeBarRect(i, height(), g_fExchangePW), *bar);
        }
    }
    paint.end();
    painter.drawImage(0, 0, canvas);
}
