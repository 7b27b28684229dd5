#include "BitSliderWnd.h"

#include <QCursor>
#include <QMouseEvent>
#include <QWheelEvent>

#include "client/Common/MessageIds.h"

BitSliderWnd::BitSliderWnd(QWidget* parent, DWORD style) : yav::Window(parent) {
    m_track.SetVertical((style & TBS_VERT) != 0);
}

void BitSliderWnd::Notify() {
    yav::SendMessage(parentWidget(), WM_BITSLIDER_RELEASED, NotifyValue(), 0);
}

void BitSliderWnd::OnLButtonDown(const QPoint& point) {
    SyncClientSize();
    m_track.BeginDrag();
    SetTimer(kDragWatchTimer, 100);
    OnMouseMove(point);
}

void BitSliderWnd::OnMouseMove(const QPoint& point) {
    SyncClientSize();
    switch (m_track.DragTo(point)) {
        case BitSliderTrack::DragResult::Moved:
            OnPositionChanged();
            Invalidate(1);
            Notify();
            break;
        case BitSliderTrack::DragResult::Ended:
            KillTimer(kDragWatchTimer);
            break;
        case BitSliderTrack::DragResult::Ignored:
            break;
    }
}

void BitSliderWnd::OnLButtonUp(const QPoint& /*point*/) {
    if (!m_track.IsDragging()) {
        return;
    }
    m_track.EndDrag();
    // The watch has nothing left to watch.
    KillTimer(kDragWatchTimer);
    Invalidate(1);
    OnPositionChanged();
    Notify();
}

void BitSliderWnd::OnTimer(UINT id) {
    if (id != kDragWatchTimer) {
        yav::Window::OnTimer(id);
        return;
    }
    if (!rect().contains(mapFromGlobal(QCursor::pos()))) {
        m_track.EndDrag();
        KillTimer(kDragWatchTimer);
    }
}

void BitSliderWnd::OnSize(int cx, int cy) {
    m_track.SetClientSize(QSize(cx, cy));
}

BOOL BitSliderWnd::OnEraseBkgnd(QPainter& /*painter*/) {
    return 1;
}

void BitSliderWnd::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        OnLButtonDown(event->position().toPoint());
    }
    event->accept();
}

void BitSliderWnd::mouseMoveEvent(QMouseEvent* event) {
    OnMouseMove(event->position().toPoint());
    event->accept();
}

void BitSliderWnd::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        OnLButtonUp(event->position().toPoint());
    }
    event->accept();
}

void BitSliderWnd::wheelEvent(QWheelEvent* event) {
    event->accept();
}
