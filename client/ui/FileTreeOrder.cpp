#include "FileTreeOrder.h"

#include <algorithm>

int CompareFileTreeKeys(const FileTreeSortKey& first, const FileTreeSortKey& second) {
    if (first.kind == kFileTreeFolder || second.kind == kFileTreeFolder) {
        return 0;
    }
    // Ordinal: unsigned 16-bit code units; the end of the shorter name sorts before any unit.
    const int order = first.name.compare(second.name);
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

std::u16string_view FileTreeName(const ST_FILETREE_ITEMDATA& item) {
    const char16_t* end = std::find(item.name, item.name + kFileTreeNameUnits, u'\0');
    return {item.name, static_cast<std::size_t>(end - item.name)};
}

int CompareFileTreeItems(const ST_FILETREE_ITEMDATA* first, const ST_FILETREE_ITEMDATA* second,
                         std::intptr_t /*sortParam*/) {
    return CompareFileTreeKeys({first->kind, FileTreeName(*first)},
                               {second->kind, FileTreeName(*second)});
}

std::vector<std::size_t> FileTreeChildOrder(const std::vector<FileTreeSortKey>& children) {
    std::vector<std::size_t> order(children.size());
    std::vector<std::size_t> files;
    std::vector<std::size_t> fileSlots;
    for (std::size_t i = 0; i < children.size(); ++i) {
        order[i] = i;
        if (children[i].kind != kFileTreeFolder) {
            files.push_back(i);
            fileSlots.push_back(i);
        }
    }
    // Among files alone the comparison is a total order, so the standard sort is well defined.
    std::stable_sort(files.begin(), files.end(), [&children](std::size_t a, std::size_t b) {
        return CompareFileTreeKeys(children[a], children[b]) < 0;
    });
    for (std::size_t i = 0; i < files.size(); ++i) {
        order[fileSlots[i]] = files[i];
    }
    return order;
}
