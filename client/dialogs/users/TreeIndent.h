#pragma once
// Indentation of the owner-drawn trees: a row is painted depth x indentation from the left of
// the tree, and its text starts a fixed offset further in.

class QModelIndex;

namespace yav::users {

// Depth of an item: 0 for a top-level row, one more per parent.
int GetTreeItemLevel(const QModelIndex& index);
// The x at which a row's text starts for the given indentation (pixels per level): the row's
// indent, plus the design offset of the text, scaled.
int GetTreeRootTextLeft(const QModelIndex& index, int indentation, double textOffsetDesign);

}  // namespace yav::users
