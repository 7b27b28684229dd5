#include "EditKeyFilter.h"

bool ReadOnlyEditPassesKey(WPARAM virtualKey, Qt::KeyboardModifiers modifiers) {
    if (virtualKey == VK_TAB) {
        return true;
    }
    return (modifiers & Qt::ControlModifier) != 0 && (virtualKey == 67 || virtualKey == 99);
}

bool ReadOnlyEditDropsMessage(bool readOnly, UINT message, WPARAM virtualKey,
                              Qt::KeyboardModifiers modifiers) {
    return readOnly && message == WM_KEYDOWN && !ReadOnlyEditPassesKey(virtualKey, modifiers);
}

bool ReadOnlyComboPassesKey(WPARAM virtualKey) {
    switch (virtualKey) {
        case VK_UP:
        case VK_DOWN:
        case VK_RETURN:
        case VK_ESCAPE:
        case VK_TAB:
            return true;
        default:
            return false;
    }
}
