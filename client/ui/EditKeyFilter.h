#pragma once
// Which key presses the skinned edits and combo box let through while they are read-only.
// (Focus moves with Tab happen before a control sees the key, so they keep working.)

#include <Qt>

// A read-only edit passes only copying: Ctrl+C.
bool ReadOnlyEditPassesKey(int key, Qt::KeyboardModifiers modifiers);

// A combo box with the read-only look passes only the keys that open, move through and close
// its list: Up, Down, Enter and Escape.
bool ReadOnlyComboPassesKey(int key);
