#pragma once
// Order of the items of one folder in the network-disk file tree. Files go by their names,
// compared code unit by code unit; a folder compares equal to everything. Because of that the
// comparison alone is not a strict weak order once folders are among the children, so the tree
// sorts with FileTreeChildOrder, which leaves every folder where it is and puts the files in
// the remaining places in comparison order.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

inline constexpr std::uint8_t kFileTreeFolder = 1;
inline constexpr std::uint8_t kFileTreeFile = 2;
inline constexpr std::size_t kFileTreeNameUnits = 256;

// The two fields of a tree item's record that decide its place.
struct ST_FILETREE_ITEMDATA {
    std::uint8_t kind = kFileTreeFile;       // 1 folder; any other value is a file
    char16_t name[kFileTreeNameUnits] = {};  // zero-terminated
};

// -1 when the first item goes before the second, +1 after, 0 equal for the sort. The sort
// parameter is not read; the comparison keeps no state.
int CompareFileTreeItems(const ST_FILETREE_ITEMDATA* first, const ST_FILETREE_ITEMDATA* second,
                         std::intptr_t sortParam);

// The same rule on a kind and a name (up to its terminator, at most 256 code units).
struct FileTreeSortKey {
    std::uint8_t kind = kFileTreeFile;
    std::u16string_view name;
};
int CompareFileTreeKeys(const FileTreeSortKey& first, const FileTreeSortKey& second);

// Name of a record as the comparison reads it: up to the terminator, never past the field.
std::u16string_view FileTreeName(const ST_FILETREE_ITEMDATA& item);

// New order of a folder's children: element i of the result is the index (into `children`) of
// the child that goes to place i.
std::vector<std::size_t> FileTreeChildOrder(const std::vector<FileTreeSortKey>& children);
