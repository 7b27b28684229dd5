#pragma once
// What the two image sliders share: the drag that follows the mouse (with the one-step creep
// at either end), the watch timer that ends a drag once the cursor has left, the release
// notice WM_BITSLIDER_RELEASED to the parent, and a mouse wheel that never moves the value.
// Each slider paints itself and says what it sends as wParam.

#include "client/ui/BitSliderTrack.h"
#include "platform/window/Window.h"

// Slider styles.
inline constexpr DWORD TBS_HORZ = 0x0000;
inline constexpr DWORD TBS_VERT = 0x0002;

class BitSliderWnd : public yav::Window {
public:
    // While dragging, every 100 ms: a cursor outside the slider ends the drag.
    static constexpr UINT kDragWatchTimer = 1000;

    BitSliderWnd(QWidget* parent, DWORD style);

    bool IsDragging() const { return m_track.IsDragging(); }
    const BitSliderTrack& Track() const { return m_track; }

    // Mouse handling in client coordinates (what the Qt mouse events are turned into).
    void OnLButtonDown(const QPoint& point);
    void OnMouseMove(const QPoint& point);
    void OnLButtonUp(const QPoint& point);
    void OnTimer(UINT id) override;

protected:
    // wParam of WM_BITSLIDER_RELEASED.
    virtual WPARAM NotifyValue() const = 0;
    // The thumb or the value may have changed (a move or the release), just before the
    // parent hears of it.
    virtual void OnPositionChanged() {}

    void OnSize(int cx, int cy) override;
    // The track works in the slider's current size, also before a hidden slider has been
    // told of its size.
    void SyncClientSize() { m_track.SetClientSize(size()); }
    BOOL OnEraseBkgnd(QPainter& painter) override;

    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

    BitSliderTrack m_track;

private:
    void Notify();
};
