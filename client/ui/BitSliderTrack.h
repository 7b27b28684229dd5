#pragma once
// Thumb placement, value and drag rules shared by the two image sliders. The slider windows
// keep one of these and only forward sizes, images and mouse points to it, so the arithmetic
// (including the one-step creep beyond either end) is checked without a window.
//
// Positions run from 0 to the maximum along the track: left to right for a horizontal
// slider, top to bottom for a vertical one. SetPos of a vertical slider takes the value
// counted from the bottom (a level) and stores it counted from the top, so GetPos of a
// vertical slider at the top is 0; its owners read the level as maximum - GetPos().

#include <QPoint>
#include <QRect>
#include <QSize>

class BitSliderTrack {
public:
    enum class DragResult {
        Ignored,  // not dragging: nothing happens
        Ended,    // the point left the slider: the drag ends without a message
        Moved,    // the thumb and the value follow the point: notify the parent
    };

    void SetClientSize(QSize size) { client_ = size; }
    QSize ClientSize() const { return client_; }
    void SetVertical(bool vertical) { vertical_ = vertical; }
    bool IsVertical() const { return vertical_; }
    // Keeps the thumb centred across the track on every move (the GDI+ slider does).
    void SetCentreAcross(bool centre) { centreAcross_ = centre; }

    // A new thumb size (in device pixels); the thumb goes to the start of the track,
    // centred across it.
    void SetThumbSize(QSize size);
    QSize ThumbSize() const { return thumb_.size(); }
    QRect ThumbRect() const { return thumb_; }

    // Stored only when min < max; false otherwise.
    bool SetRange(int minimum, int maximum);
    int Minimum() const { return minimum_; }
    int Maximum() const { return maximum_; }

    // A value below the minimum gives position 0, above the maximum the maximum; the thumb
    // moves to match.
    void SetPos(int value);
    int GetPos() const { return position_; }

    bool IsDragging() const { return dragging_; }
    void BeginDrag() { dragging_ = true; }
    void EndDrag() { dragging_ = false; }
    // The mouse moved to `point` (client coordinates).
    DragResult DragTo(QPoint point);

private:
    int Travel() const;  // pixels the thumb can move along the track
    int PositionForThumbStart(int thumbStart) const;
    void PlaceAcross();

    QSize client_;
    bool vertical_ = false;
    bool centreAcross_ = false;
    QRect thumb_;
    int position_ = 0;
    int minimum_ = 0;
    int maximum_ = 100;
    bool dragging_ = false;
};
