#include "TreeIndent.h"

#include <QModelIndex>

#include "platform/core/Scale.h"

namespace yav::users {

int GetTreeItemLevel(const QModelIndex& index) {
    int level = 0;
    for (QModelIndex at = index.parent(); at.isValid(); at = at.parent()) {
        ++level;
    }
    return level;
}

int GetTreeRootTextLeft(const QModelIndex& index, int indentation, double textOffsetDesign) {
    return GetTreeItemLevel(index) * indentation +
           static_cast<int>(textOffsetDesign * g_fExchangePW);
}

}  // namespace yav::users
