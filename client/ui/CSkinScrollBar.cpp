#include "CSkinScrollBar.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

#include "platform/core/Scale.h"

namespace {

// Rows of the skin bitmap.
constexpr int kRowNormal = 0;
constexpr int kRowHover = 1;
constexpr int kRowPressed = 2;
// Unstretched ends of the thumb.
constexpr int kThumbEnd = 3;

bool IsArrow(int part) {
    return part == SB_LINEUP || part == SB_LINEDOWN;
}

}  // namespace

CSkinScrollBar::CSkinScrollBar(QWidget* parent, DWORD style)
    : yav::Window(parent), m_bVertical((style & SBS_VERT) != 0) {
    m_si.nTrackPos = -1;
}

BOOL CSkinScrollBar::Create(DWORD style, const QRect& rect, QWidget* parent, UINT id) {
    m_bVertical = (style & SBS_VERT) != 0;
    setParent(parent);
    SetDlgCtrlID(static_cast<int>(id));
    MoveWindow(rect);
    show();
    return 1;
}

void CSkinScrollBar::SetBitmap(const QPixmap& bitmap) {
    m_hBmp = bitmap;
    const SkinScrollCells cells = ComputeSkinScrollCells(bitmap.width(), bitmap.height());
    m_nBitmapCell = cells.bitmapCell;
    m_nFactor = cells.factor;
    m_nCellWidth = cells.cellWidth;
    m_nCellHeight = cells.cellHeight;
    // One cell thick across the bar.
    QRect rect = geometry();
    if (m_bVertical) {
        rect.setWidth(m_nBitmapCell);
    } else {
        rect.setHeight(m_nBitmapCell);
    }
    MoveWindow(rect);
}

BOOL CSkinScrollBar::SetScrollInfo(const SkinScrollInfo& info, BOOL redraw) {
    const int trackPos = m_si.nTrackPos;
    m_si = NormalizeScrollInfo(info);
    m_si.nTrackPos = trackPos;
    if (redraw != 0) {
        Invalidate(0);
    }
    return 1;
}

BOOL CSkinScrollBar::GetScrollInfo(SkinScrollInfo* info) const {
    if (info == nullptr) {
        return 0;
    }
    *info = m_si;
    return 1;
}

int CSkinScrollBar::SetScrollPos(int pos, BOOL redraw) {
    const int previous = m_si.nPos;
    SkinScrollInfo info = m_si;
    info.nPos = pos;
    SetScrollInfo(info, redraw);
    return previous;
}

void CSkinScrollBar::SetScrollRange(int minimum, int maximum, BOOL redraw) {
    SkinScrollInfo info = m_si;
    info.nMin = minimum;
    info.nMax = maximum;
    SetScrollInfo(info, redraw);
}

SkinScrollLayout CSkinScrollBar::GetLayout() const {
    // The bar's current length, also before a hidden bar has been told of its size.
    const int length = m_bVertical ? height() : width();
    return ComputeSkinScrollLayout(length, m_nCellWidth, g_fExchangePW, m_si);
}

int CSkinScrollBar::HitTest(const QPoint& point) const {
    return GetLayout().HitTest(Along(point), Across(point));
}

bool CSkinScrollBar::CursorInThumb() const {
    return HitTest(m_ptLast) == SB_THUMBTRACK;
}

void CSkinScrollBar::Notify(int code, int pos) {
    const UINT message = m_bVertical ? WM_VSCROLL : WM_HSCROLL;
    const bool withPos = code == SB_THUMBTRACK || code == SB_THUMBPOSITION;
    yav::SendMessage(
        parentWidget(), message,
        MAKEWPARAM(static_cast<unsigned>(code), withPos ? static_cast<unsigned>(pos) : 0),
        reinterpret_cast<LPARAM>(static_cast<QWidget*>(this)));
}

void CSkinScrollBar::OnLButtonDown(const QPoint& point) {
    m_ptLast = point;
    const int part = HitTest(point);
    if (part == SB_THUMBTRACK) {
        m_bDrag = 1;
        m_ptDrag = point;
        m_nDragPos = m_si.nPos;
        m_si.nTrackPos = m_si.nPos;
        Invalidate(0);
        return;
    }
    if (part == kScrollPartNone) {
        return;
    }
    m_nClickedPart = part;
    m_bOutside = 0;
    Invalidate(0);
    Notify(part);
    SetTimer(kDelayTimer, 500);
}

void CSkinScrollBar::OnMouseMove(const QPoint& point) {
    m_ptLast = point;
    if (m_bTracking == 0) {
        m_bTracking = 1;
        TrackMouseEvent(TME_LEAVE);
    }
    if (m_bDrag != 0) {
        const SkinScrollLayout layout = GetLayout();
        const int position =
            DragScrollPosition(m_si, layout, m_nDragPos, Along(point) - Along(m_ptDrag));
        if (position != m_si.nTrackPos) {
            m_si.nTrackPos = position;
            Invalidate(0);
            Notify(SB_THUMBTRACK, position);
        }
        return;
    }
    if (m_nClickedPart == kScrollPartNone) {
        const int part = HitTest(point);
        if (part != m_nHoverPart) {
            m_nHoverPart = part;
            Invalidate(0);
        }
        return;
    }
    const BOOL outside = HitTest(point) != m_nClickedPart ? 1 : 0;
    if (outside != m_bOutside) {
        m_bOutside = outside;
        Invalidate(0);
    }
}

void CSkinScrollBar::OnLButtonUp(const QPoint& point) {
    m_ptLast = point;
    if (m_bDrag != 0) {
        m_bDrag = 0;
        Notify(SB_THUMBPOSITION, m_si.nTrackPos);
        Notify(SB_ENDSCROLL);
        m_si.nTrackPos = -1;
        m_nHoverPart = HitTest(point) == SB_THUMBTRACK ? SB_THUMBTRACK : kScrollPartNone;
        Invalidate(0);
        return;
    }
    if (m_nClickedPart != kScrollPartNone) {
        // Both timers go: a release before the first repeat must not leave the delay running.
        KillTimer(kRepeatTimer);
        KillTimer(kDelayTimer);
        m_bRepeating = 0;
        m_nClickedPart = kScrollPartNone;
        Invalidate(0);
    }
}

void CSkinScrollBar::OnTimer(UINT id) {
    if (id == kDelayTimer) {
        KillTimer(kDelayTimer);
        if (m_nClickedPart == kScrollPartNone) {
            return;
        }
        m_bRepeating = 1;
        SetTimer(kRepeatTimer, 100);
        RepeatTick();
        return;
    }
    if (id == kRepeatTimer) {
        RepeatTick();
        return;
    }
    yav::Window::OnTimer(id);
}

void CSkinScrollBar::RepeatTick() {
    if (m_nClickedPart == kScrollPartNone) {
        KillTimer(kRepeatTimer);
        return;
    }
    if (m_bOutside != 0) {
        return;
    }
    if (!ScrollRepeatContinues(m_nClickedPart, m_si, CursorInThumb())) {
        KillTimer(kRepeatTimer);
        return;
    }
    Notify(m_nClickedPart);
}

void CSkinScrollBar::OnMouseLeave() {
    m_bTracking = 0;
    OnMouseMove(QPoint(-1, -1));
}

BOOL CSkinScrollBar::OnEraseBkgnd(QPainter& /*painter*/) {
    return 1;
}

int CSkinScrollBar::RowOfPart(int part) const {
    if (part == SB_THUMBTRACK) {
        if (m_bDrag != 0) {
            return kRowPressed;
        }
        return m_nClickedPart == kScrollPartNone && m_nHoverPart == part ? kRowHover : kRowNormal;
    }
    if (!IsArrow(part)) {
        return kRowNormal;  // page areas are never highlighted
    }
    if (m_nClickedPart == part) {
        return m_bOutside != 0 ? kRowNormal : kRowPressed;
    }
    return m_nClickedPart == kScrollPartNone && m_nHoverPart == part ? kRowHover : kRowNormal;
}

void CSkinScrollBar::DrawPart(QPainter& painter, const SkinScrollLayout& layout, int part,
                              int row) const {
    const ScrollSpanPx span = layout.Part(part);
    if (span.Size() <= 0) {
        return;
    }
    const QRect target = m_bVertical ? QRect(0, span.begin, layout.thickness, span.Size())
                                     : QRect(span.begin, 0, span.Size(), layout.thickness);
    const int column = SkinScrollSourceColumn(part, m_bVertical);
    const QRect source(column * m_nBitmapCell, row * m_nBitmapCell, m_nBitmapCell, m_nBitmapCell);
    painter.drawPixmap(target, m_hBmp, source);
}

void CSkinScrollBar::DrawThumb(QPainter& painter, const SkinScrollLayout& layout, int row) const {
    const ScrollSpanPx span = layout.Part(SB_THUMBTRACK);
    if (span.Size() < 2 * kThumbEnd || m_nBitmapCell < 2 * kThumbEnd) {
        DrawPart(painter, layout, SB_THUMBTRACK, row);
        return;
    }
    const int column = SkinScrollSourceColumn(SB_THUMBTRACK, m_bVertical);
    const QRect cell(column * m_nBitmapCell, row * m_nBitmapCell, m_nBitmapCell, m_nBitmapCell);
    const int across = layout.thickness;
    // Ends copied unstretched along the bar, the middle stretched.
    const int middle = span.Size() - 2 * kThumbEnd;
    const int middleSource = m_nBitmapCell - 2 * kThumbEnd;
    struct Piece {
        int at, length, sourceAt, sourceLength;
    };
    const Piece pieces[] = {
        {span.begin, kThumbEnd, 0, kThumbEnd},
        {span.begin + kThumbEnd, middle, kThumbEnd, middleSource},
        {span.end - kThumbEnd, kThumbEnd, m_nBitmapCell - kThumbEnd, kThumbEnd},
    };
    for (const Piece& piece : pieces) {
        if (m_bVertical) {
            painter.drawPixmap(
                QRect(0, piece.at, across, piece.length), m_hBmp,
                QRect(cell.left(), cell.top() + piece.sourceAt, cell.width(), piece.sourceLength));
        } else {
            painter.drawPixmap(
                QRect(piece.at, 0, piece.length, across), m_hBmp,
                QRect(cell.left() + piece.sourceAt, cell.top(), piece.sourceLength, cell.height()));
        }
    }
}

void CSkinScrollBar::OnPaint(QPainter& painter) {
    if (m_hBmp.isNull()) {
        return;
    }
    const SkinScrollLayout layout = GetLayout();
    DrawPart(painter, layout, SB_LINEUP, RowOfPart(SB_LINEUP));
    DrawPart(painter, layout, SB_LINEDOWN, RowOfPart(SB_LINEDOWN));
    DrawPart(painter, layout, SB_PAGEUP, kRowNormal);
    DrawPart(painter, layout, SB_PAGEDOWN, kRowNormal);
    DrawThumb(painter, layout, RowOfPart(SB_THUMBTRACK));
}

void CSkinScrollBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        OnLButtonDown(event->position().toPoint());
    }
    event->accept();
}

void CSkinScrollBar::mouseMoveEvent(QMouseEvent* event) {
    OnMouseMove(event->position().toPoint());
    event->accept();
}

void CSkinScrollBar::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        OnLButtonUp(event->position().toPoint());
    }
    event->accept();
}

void CSkinScrollBar::mouseDoubleClickEvent(QMouseEvent* event) {
    // A double click does nothing more than its first press did.
    event->accept();
}
