#pragma once
// Where windows stand: the screen of a window and its work area (the screen without panels
// and docks).

class QRect;
class QScreen;
class QWidget;

namespace yav {

// The screen that holds most of the window (the primary screen for a null or unplaced one).
QScreen* ScreenNearest(const QWidget* window);
// The screen's whole rectangle or its work area, in global coordinates.
QRect MonitorRect(const QWidget* window, bool workArea);
// Moves the window, keeping its size and stacking, so that it stands centred in the screen's
// work area; does nothing when either is null.
void CenterInWorkArea(QWidget* window, QScreen* screen);

}  // namespace yav
