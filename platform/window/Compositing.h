#pragma once
// Whether the screen shows translucent top-level windows. On X11 that takes a compositing
// manager, which owns the selection _NET_WM_CM_S<screen number> while it runs (the way the
// window-manager standard gives to find one); without it the X server shows a window's pixels
// as they are and drops their alpha. Other platforms (Wayland, offscreen) always compose.

namespace yav {

bool ScreenComposesTranslucency();

// Tests: 1 or 0 forces the answer, -1 asks the screen again.
void SetTranslucencyOverride(int composes);

}  // namespace yav
