// The entries of the check-box user list.

#include <gtest/gtest.h>

#include "dialogs/users/SelectUserEntries.h"

using yav::users::SelectUserEntries;
using yav::users::SelectUserEntry;

TEST(SelectUserEntries, TogglingReportsWhetherAllAreChecked) {
    SelectUserEntries entries;
    entries.AddUser(16, "Ann", 1);
    entries.AddUser(8, "Bob", 1);
    entries.AddUser(24, "Cy", 1);
    EXPECT_EQ(entries.ToggleRow(1), std::optional<bool>(false));
    EXPECT_EQ(entries.ToggleRow(1), std::optional<bool>(true));
    EXPECT_EQ(entries.ToggleRow(3), std::nullopt);
    EXPECT_EQ(entries.ToggleRow(-1), std::nullopt);
}

TEST(SelectUserEntries, EmptyListCountsAsAllChecked) {
    SelectUserEntries entries;
    entries.SetAllChecked(0);
    EXPECT_TRUE(entries.IsAllChecked());
}

TEST(SelectUserEntries, CheckedUsersComeInKeyOrderWhateverTheOrderOfAdding) {
    SelectUserEntries entries;
    entries.AddUser(0x10019, "Ann 2", 1);  // the key's low 16 bits index the entry
    entries.AddUser(8, "Bob", 0);
    entries.AddUser(24, "Ann 1", 1);
    entries.AddUser(16, "Cy", 0);
    std::vector<SelectUserEntry> checked;
    std::vector<SelectUserEntry> unchecked;
    entries.GetCheckedUsers(checked, unchecked);
    EXPECT_EQ(checked, (std::vector<SelectUserEntry>{{24, "Ann 1", 1}, {0x10019, "Ann 2", 1}}));
    EXPECT_EQ(unchecked, (std::vector<SelectUserEntry>{{8, "Bob", 0}, {16, "Cy", 0}}));
    entries.SetAllChecked(1);
    EXPECT_TRUE(entries.IsAllChecked());
}

TEST(SelectUserEntries, AKeyAddedTwiceShowsTwiceAndSharesItsEntry) {
    SelectUserEntries entries;
    entries.AddUser(8, "Old", 1);
    entries.AddUser(8, "New", 0);
    EXPECT_EQ(entries.RowCount(), 2);
    EXPECT_EQ(entries.EntryOfRow(0)->name, "New");
    EXPECT_EQ(entries.ToggleRow(0), std::optional<bool>(true));
    EXPECT_EQ(entries.EntryOfRow(1)->checked, 1u);
}
