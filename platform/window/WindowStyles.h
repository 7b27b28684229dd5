#pragma once
// Window kinds of the program mapped to Qt: top-most, tool (no task-bar entry), frameless and
// per-pixel-alpha windows. Changing a kind keeps a visible window visible (Qt hides a window
// whose flags change) without taking the activation.

class QWidget;

namespace yav {

void SetTopMost(QWidget* window, bool on);
bool IsTopMost(const QWidget* window);
void SetToolWindow(QWidget* window, bool on);
void SetFrameless(QWidget* window, bool on);
// A translucent, frameless window whose pixels carry their own alpha.
void SetPerPixelAlpha(QWidget* window, bool on);
// Shows the window (minimised when asked) without giving it the activation.
void ShowWithoutActivating(QWidget* window, bool minimized = false);
// Raises the window and gives it the activation.
void BringToForeground(QWidget* window);
// Makes the top-level window owned by the top-level window of owner (null: by none): a window
// manager keeps an owned window above its owner, in the owner's layer (above a full-screen
// owner too), and minimises it with the owner. The widget tree is not changed.
void SetOwnerWindow(QWidget* window, QWidget* owner);
// The top-level window that owns the window, or null.
QWidget* GetOwnerWindow(const QWidget* window);

}  // namespace yav
