#pragma once
// Which key presses the skinned edits and combo box let through while they are read-only,
// in the terms of the pre-translation step (virtual-key code and modifiers).

#include <Qt>

#include "platform/window/WinDefs.h"

// A read-only edit passes copying (Ctrl with 'C', code 67, or code 99) and Tab, which moves the
// focus on; everything else is dropped before the edit sees it.
bool ReadOnlyEditPassesKey(WPARAM virtualKey, Qt::KeyboardModifiers modifiers);

// True when a key-down must be dropped before a read-only edit sees it.
bool ReadOnlyEditDropsMessage(bool readOnly, UINT message, WPARAM virtualKey,
                              Qt::KeyboardModifiers modifiers);

// A combo box with the read-only look passes only the keys that move through and close its
// list: Up, Down, Enter and Escape (and Tab).
bool ReadOnlyComboPassesKey(WPARAM virtualKey);
