#include "EditKeyFilter.h"

bool ReadOnlyEditPassesKey(int key, Qt::KeyboardModifiers modifiers) {
    return key == Qt::Key_C && (modifiers & Qt::ControlModifier) != 0;
}

bool ReadOnlyComboPassesKey(int key) {
    switch (key) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
            return true;
        default:
            return false;
    }
}
