#pragma once
// A scroll bar painted from the skin's scroll-bar bitmap (9 columns by 3 rows of cells: arrows,
// thumb, track and corner; rows normal, hover, pressed). It keeps its own range, page and
// position and tells its parent about every user action with WM_VSCROLL / WM_HSCROLL (scroll
// code in the low word, track position in the high word for the thumb codes, the bar as
// lParam), sent directly, like a standard scroll bar.

#include <QPixmap>
#include <QPoint>

#include "client/ui/SkinScrollGeometry.h"
#include "platform/window/Window.h"

inline constexpr UINT WM_HSCROLL = 0x0114;
inline constexpr UINT WM_VSCROLL = 0x0115;

// Orientation styles.
inline constexpr DWORD SBS_HORZ = 0x0;
inline constexpr DWORD SBS_VERT = 0x1;

class CSkinScrollBar : public yav::Window {
public:
    // Timers: the first repeat waits 500 ms, then the pressed part repeats every 100 ms.
    static constexpr UINT kRepeatTimer = 100;
    static constexpr UINT kDelayTimer = 200;

    explicit CSkinScrollBar(QWidget* parent = nullptr, DWORD style = SBS_VERT);

    // Places the bar in `parent` with control id `id`.
    BOOL Create(DWORD style, const QRect& rect, QWidget* parent, UINT id);

    // The skin bitmap (shared, never changed by the bar); the bar becomes one cell thick.
    void SetBitmap(const QPixmap& bitmap);

    // Range, page and position (normalised the way a scroll bar keeps them); redraws at once
    // when `redraw` is set.
    BOOL SetScrollInfo(const SkinScrollInfo& info, BOOL redraw = 1);
    // Range, page, position and the track position (-1 while not dragging).
    BOOL GetScrollInfo(SkinScrollInfo* info) const;
    int SetScrollPos(int pos, BOOL redraw = 1);
    int GetScrollPos() const { return m_si.nPos; }
    void SetScrollRange(int minimum, int maximum, BOOL redraw = 1);

    bool IsVertical() const { return m_bVertical; }
    bool IsDragging() const { return m_bDrag != 0; }
    int GetPressedPart() const { return m_nClickedPart; }
    int GetHoverPart() const { return m_nHoverPart; }
    // Layout along the bar as it is painted now.
    SkinScrollLayout GetLayout() const;

    // Mouse handling in client coordinates (also what the Qt mouse events are turned into).
    void OnLButtonDown(const QPoint& point);
    void OnMouseMove(const QPoint& point);
    void OnLButtonUp(const QPoint& point);
    void OnTimer(UINT id) override;
    void OnMouseLeave() override;

protected:
    BOOL OnEraseBkgnd(QPainter& painter) override;
    void OnPaint(QPainter& painter) override;

    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void Notify(int code, int pos = 0);
    int Along(const QPoint& point) const { return m_bVertical ? point.y() : point.x(); }
    int Across(const QPoint& point) const { return m_bVertical ? point.x() : point.y(); }
    int HitTest(const QPoint& point) const;
    bool CursorInThumb() const;
    void RepeatTick();
    void DrawPart(QPainter& painter, const SkinScrollLayout& layout, int part, int row) const;
    void DrawThumb(QPainter& painter, const SkinScrollLayout& layout, int row) const;
    int RowOfPart(int part) const;

    QPixmap m_hBmp;
    int m_nCellWidth = 0;
    int m_nCellHeight = 0;
    SkinScrollInfo m_si;
    BOOL m_bDrag = 0;
    QPoint m_ptDrag;
    int m_nDragPos = 0;
    int m_nClickedPart = kScrollPartNone;
    BOOL m_bRepeating = 0;
    int m_nHoverPart = kScrollPartNone;
    BOOL m_bOutside = 0;
    BOOL m_bTracking = 0;
    int m_nFactor = 1;

    bool m_bVertical = true;
    int m_nBitmapCell = 0;
    QPoint m_ptLast;  // last mouse point seen, for the repeat's cursor test
};
