#pragma once
// The program's own window messages and command ids, in one place: windows of different
// subsystems and worker threads exchange them, so each value is defined once.

#include "platform/window/WinDefs.h"

// --- messages between the toolkit's controls and their owners ---
// Bitmap sliders, on every accepted drag move and at release (wParam: slider id or 0).
inline constexpr UINT WM_BITSLIDER_RELEASED = WM_USER + 101;
// Image button with hover notification: the mouse rests on it (wParam: control id).
inline constexpr UINT WM_SKINBTN_HOVER = WM_USER + 102;
// Check-button presses and releases reported to the status bar (wParam 1053).
inline constexpr UINT WM_SKINBTN_DOWN = WM_USER + 104;
inline constexpr UINT WM_SKINBTN_UP = WM_USER + 105;
// Check button entered or left (sent; wParam: control id, lParam: the button's value).
inline constexpr UINT WM_BUTTONCHECK_HOVER = WM_USER + 431;
// Check button pressed (posted; wParam: control id, lParam: the button's value).
inline constexpr UINT WM_BUTTONCHECK_CLICK = WM_USER + 432;
// Volume pop-up (posted; wParam: kind, lParam: slider position, 0 = top).
inline constexpr UINT WM_VOLUME_CHANGED = WM_USER + 2000;
// Connection state of the room window (posted; wParam 1 lost, 2 reconnected).
inline constexpr UINT WM_RECONNECT_STATE = WM_USER + 263;
// Document page buttons to the page-tab window (wParam 1 activate, 2 close; lParam: page).
inline constexpr UINT WM_PAGEBTN_INFO = WM_USER + 4353;
// Item pop-up choice to its owner (posted; wParam: the pop-up's mode, lParam: item value).
inline constexpr UINT WM_POPSWITCH_SELECT = WM_USER + 4354;

// Icon list box clicks and double clicks (sent; wParam: the list box, lParam: pointer to the
// click record {i32 code, i32 row}, valid during the call).
inline constexpr UINT WM_ICONLISTBOX_CLICK = WM_USER + 252;

static_assert(WM_PAGEBTN_INFO == 0x1501 && WM_POPSWITCH_SELECT == 0x1502);
static_assert(WM_BITSLIDER_RELEASED == 0x465 && WM_SKINBTN_HOVER == 0x466);
static_assert(WM_ICONLISTBOX_CLICK == 0x4FC);

// --- control ids that carry a meaning outside their dialog ---
// The status bar's control that check buttons report presses for.
inline constexpr int IDC_STATUSBAR_NOTIFY = 1053;

// --- participant area ---
// Search-choice pop-up to the participant window (sent; wParam: keyword 1, 2 or 3).
inline constexpr UINT WM_FINDCASE_CHOICE = WM_USER + 1002;
// Check-box user list to its parent (posted; wParam 1 when every entry is checked).
inline constexpr UINT WM_SELECTUSER_CHANGED = WM_USER + 2002;
static_assert(WM_FINDCASE_CHOICE == 0x7EA && WM_SELECTUSER_CHANGED == 0xBD2);
