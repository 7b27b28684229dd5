#include "client/ui/FileTreeOrder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

namespace {

ST_FILETREE_ITEMDATA Item(std::uint8_t kind, std::u16string_view name) {
    ST_FILETREE_ITEMDATA item;
    item.kind = kind;
    std::copy_n(name.begin(), std::min(name.size(), kFileTreeNameUnits - 1), item.name);
    return item;
}

int Compare(std::u16string_view first, std::u16string_view second) {
    const ST_FILETREE_ITEMDATA a = Item(kFileTreeFile, first);
    const ST_FILETREE_ITEMDATA b = Item(kFileTreeFile, second);
    return CompareFileTreeItems(&a, &b, 0);
}

TEST(FileTreeOrder, FilesCompareOrdinallyByCodeUnit) {
    struct Case {
        std::u16string_view first;
        std::u16string_view second;
        int expected;
    };
    const Case cases[] = {
        {u"report.doc", u"report.doc", 0},
        {u"abc", u"abcd", -1},  // the end of a name sorts first
        {u"abcd", u"abc", 1},
        {u"", u"a", -1},
        {u"", u"", 0},
        {u"Zeta", u"alpha", -1},  // capitals before small letters
        {u"9", u"A", -1},         // digits before letters
        {u"Z_", u"Za", -1},       // '_' (0x5F) between capitals and small letters
        {u"_", u"Z", 1},
        {u"z", u"会议", -1},             // CJK after all ASCII
        {u"file10", u"file9", -1},       // no numeric reading
        {u"\U0001F600", u"\uFFFF", -1},  // surrogates are plain code units (0xD83D < 0xFFFF)
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Compare(c.first, c.second), c.expected)
            << std::string(c.first.begin(), c.first.end());
    }
}

TEST(FileTreeOrder, FoldersEqualEverything) {
    const ST_FILETREE_ITEMDATA folder = Item(kFileTreeFolder, u"zzz");
    const ST_FILETREE_ITEMDATA other = Item(kFileTreeFolder, u"aaa");
    const ST_FILETREE_ITEMDATA file = Item(kFileTreeFile, u"mmm");
    EXPECT_EQ(CompareFileTreeItems(&folder, &file, 0), 0);
    EXPECT_EQ(CompareFileTreeItems(&file, &folder, 0), 0);
    EXPECT_EQ(CompareFileTreeItems(&folder, &other, 0), 0);
    EXPECT_EQ(CompareFileTreeItems(&folder, &folder, 0), 0);
}

TEST(FileTreeOrder, UnknownKindsSortLikeFilesAndTheSortParameterIsIgnored) {
    const ST_FILETREE_ITEMDATA odd = Item(7, u"b");
    const ST_FILETREE_ITEMDATA file = Item(kFileTreeFile, u"a");
    EXPECT_EQ(CompareFileTreeItems(&odd, &file, 0), 1);
    EXPECT_EQ(CompareFileTreeItems(&odd, &file, 12345), 1);
    EXPECT_EQ(CompareFileTreeItems(&file, &odd, -1), -1);
}

TEST(FileTreeOrder, NameIsReadOnlyUpToItsTerminatorAndNeverPastTheField) {
    ST_FILETREE_ITEMDATA full;
    std::fill(std::begin(full.name), std::end(full.name), u'x');  // no terminator at all
    EXPECT_EQ(FileTreeName(full).size(), kFileTreeNameUnits);
    const ST_FILETREE_ITEMDATA cut = Item(kFileTreeFile, std::u16string_view(u"ab\0cd", 5));
    EXPECT_EQ(FileTreeName(cut), u"ab");
}

std::vector<std::u16string> Apply(
    const std::vector<std::pair<std::uint8_t, std::u16string>>& items) {
    std::vector<FileTreeSortKey> keys;
    for (const auto& [kind, name] : items) {
        keys.push_back({kind, name});
    }
    std::vector<std::u16string> result;
    for (const std::size_t index : FileTreeChildOrder(keys)) {
        result.push_back(items[index].second);
    }
    return result;
}

TEST(FileTreeOrder, ChildSortOrdersFilesAndLeavesFoldersInPlace) {
    constexpr std::uint8_t D = kFileTreeFolder;
    constexpr std::uint8_t F = kFileTreeFile;
    struct Case {
        const char* name;
        std::vector<std::pair<std::uint8_t, std::u16string>> items;
        std::vector<std::u16string> expected;
    };
    const Case cases[] = {
        {"files only", {{F, u"c"}, {F, u"a"}, {F, u"b"}}, {u"a", u"b", u"c"}},
        {"new file appended last", {{F, u"a"}, {F, u"c"}, {F, u"b"}}, {u"a", u"b", u"c"}},
        {"folders first stay first",
         {{D, u"zdir"}, {D, u"adir"}, {F, u"b"}, {F, u"a"}},
         {u"zdir", u"adir", u"a", u"b"}},
        {"folder among files keeps its place",
         {{F, u"c"}, {D, u"dir"}, {F, u"a"}, {F, u"b"}},
         {u"a", u"dir", u"b", u"c"}},
        {"new folder appended last stays last",
         {{F, u"a"}, {F, u"b"}, {D, u"new"}},
         {u"a", u"b", u"new"}},
        {"equal names keep their order", {{F, u"x"}, {F, u"x"}}, {u"x", u"x"}},
        {"empty folder", {}, {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Apply(c.items), c.expected) << c.name;
    }
}

TEST(FileTreeOrder, ChildSortIsAPermutationForAnyMixAndIsIdempotent) {
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        std::vector<std::pair<std::uint8_t, std::u16string>> items;
        const int count = static_cast<int>(random() % 40);
        for (int i = 0; i < count; ++i) {
            const std::uint8_t kind =
                static_cast<std::uint8_t>(random() % 3);  // 0 counts as a file
            items.emplace_back(
                kind, std::u16string(1 + random() % 3, static_cast<char16_t>(u'a' + random() % 4)));
        }
        std::vector<FileTreeSortKey> keys;
        for (const auto& [kind, name] : items) {
            keys.push_back({kind, name});
        }
        const std::vector<std::size_t> order = FileTreeChildOrder(keys);
        std::vector<std::size_t> sorted = order;
        std::sort(sorted.begin(), sorted.end());
        for (std::size_t i = 0; i < sorted.size(); ++i) {
            ASSERT_EQ(sorted[i], i);
        }
        std::vector<FileTreeSortKey> after;
        for (const std::size_t index : order) {
            after.push_back(keys[index]);
        }
        for (std::size_t i = 0; i < after.size(); ++i) {
            if (after[i].kind == kFileTreeFolder) {
                EXPECT_EQ(order[i], i) << "a folder moved";
            }
            for (std::size_t j = i + 1; j < after.size(); ++j) {
                EXPECT_LE(CompareFileTreeKeys(after[i], after[j]), 0) << "files out of order";
            }
        }
        const std::vector<std::size_t> again = FileTreeChildOrder(after);
        for (std::size_t i = 0; i < again.size(); ++i) {
            EXPECT_EQ(again[i], i) << "a second sort changed the order";
        }
    }
}

}  // namespace
