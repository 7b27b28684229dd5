#include "CBitSlider.h"

#include <QPainter>

CBitSlider::CBitSlider(QWidget* parent, DWORD style) : BitSliderWnd(parent, style) {}

void CBitSlider::SetSliderCursor(const QCursor& cursor) {
    setCursor(cursor);
}

void CBitSlider::EnableTooltip(bool on) {
    m_bTooltip = on;
    OnPositionChanged();
}

void CBitSlider::OnPositionChanged() {
    if (!m_bTooltip) {
        setToolTip(QString());
        return;
    }
    const int shown = m_track.IsVertical() ? 100 - m_track.GetPos() : m_track.GetPos();
    setToolTip(QStringLiteral("%1%").arg(shown));
}

void CBitSlider::TakeThumbSize() {
    SyncClientSize();
    // The thumb is as large as its picture; the owner may set the picture at any time.
    if (m_pThumb != nullptr && m_track.ThumbSize() != m_pThumb->size()) {
        m_track.SetThumbSize(m_pThumb->size());
        // Back to the value it showed (SetPos of a vertical slider takes a level).
        m_track.SetPos(m_track.IsVertical() ? m_track.Maximum() - m_track.GetPos()
                                            : m_track.GetPos());
    }
}

void CBitSlider::mousePressEvent(QMouseEvent* event) {
    TakeThumbSize();
    BitSliderWnd::mousePressEvent(event);
}

void CBitSlider::OnPaint(QPainter& painter) {
    if (m_pThumb == nullptr || m_pChannel == nullptr || m_pBack == nullptr) {
        return;
    }
    TakeThumbSize();
    QImage canvas(size(), QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    QPainter paint(&canvas);
    const QRect client = rect();
    const QRect thumb = m_track.ThumbRect();
    paint.drawImage(client, *m_pBack);
    if (!m_track.IsVertical()) {
        // The filled part, up to the thumb's centre, unstretched.
        const int filled = thumb.left() + m_nThumbOffsetX + thumb.width() / 2;
        paint.drawImage(QPoint(0, 0), *m_pChannel, QRect(0, 0, filled, client.height()));
    } else {
        const int top = thumb.top() + thumb.height();
        paint.drawImage(QPoint(0, top), *m_pChannel,
                        QRect(0, 5, client.width(), client.height() - top));
    }
    paint.drawImage(QRect(thumb.left() + m_nThumbOffsetX, thumb.top() + m_nThumbOffsetY,
                          thumb.width(), thumb.height()),
                    *m_pThumb);
    paint.end();
    painter.drawImage(0, 0, canvas);
}
