#include "CYavBitSlider.h"

#include <QPainter>

#include "platform/core/Scale.h"

namespace {

QSize ScaledSize(const QImage& image) {
    return QSize(static_cast<int>(image.width() * g_fExchangePW),
                 static_cast<int>(image.height() * g_fExchangePW));
}

}  // namespace

CYavBitSlider::CYavBitSlider(QWidget* parent, DWORD style) : BitSliderWnd(parent, style) {
    m_track.SetCentreAcross(true);
}

void CYavBitSlider::SetImages(QImage* background, QImage* channel, QImage* thumb) {
    m_pBack = background;
    m_pChannel = channel;
    m_pThumb = thumb;
    SyncClientSize();
    if (thumb != nullptr) {
        m_track.SetThumbSize(ScaledSize(*thumb));
    }
}

void CYavBitSlider::SetPos(int value) {
    SyncClientSize();
    m_track.SetPos(value);
    Invalidate(1);
}

void CYavBitSlider::OnPaint(QPainter& painter) {
    QImage canvas(size(), QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::white);
    QPainter paint(&canvas);
    paint.setRenderHint(QPainter::SmoothPixmapTransform, true);
    paint.setRenderHint(QPainter::Antialiasing, true);
    const int width = this->width();
    const int height = this->height();
    const QRect thumb = m_track.ThumbRect();
    if (!m_track.IsVertical()) {
        // Margins of 3 and 7 pixels, not scaled.
        if (m_pBack != nullptr) {
            const int h = ScaledSize(*m_pBack).height();
            paint.drawImage(QRect(3, (height - h) / 2, width - 7, h), *m_pBack);
        }
        if (m_pChannel != nullptr) {
            const int h = ScaledSize(*m_pChannel).height();
            paint.drawImage(QRect(thumb.left() + 3, (height - h) / 2, width - 7 - thumb.left(), h),
                            *m_pChannel);
        }
    } else {
        const int top = static_cast<int>(3 * g_fExchangePW);
        const int track = height - static_cast<int>(7 * g_fExchangePW);
        if (m_pBack != nullptr) {
            const int w = ScaledSize(*m_pBack).width();
            paint.drawImage(QRect((width - w) / 2, top, w, track), *m_pBack);
        }
        if (m_pChannel != nullptr) {
            const int w = ScaledSize(*m_pChannel).width();
            paint.drawImage(QRect((width - w) / 2, thumb.top() + top, w, track - thumb.top()),
                            *m_pChannel);
        }
    }
    if (m_pThumb != nullptr) {
        paint.drawImage(thumb, *m_pThumb);
    }
    paint.end();
    painter.drawImage(0, 0, canvas);
}
