#pragma once
// The entries of the check-box user list: one per key (the low 16 bits of the caller's key;
// the video-cycle filter uses media ids), each with a name and a check mark, and the rows that
// show them (a key added twice shows twice and shares its one entry). Iteration is by key.

#include <QString>

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

namespace yav::users {

struct SelectUserEntry {
    std::uint32_t key = 0;
    QString name;
    std::uint32_t checked = 0;
    bool operator==(const SelectUserEntry&) const = default;
};

class SelectUserEntries {
public:
    // Stores (replaces) the entry of the key and appends a row for it.
    void AddUser(std::uint32_t key, const QString& name, std::uint32_t checked);
    void SetAllChecked(std::uint32_t checked);
    // True when every entry is checked, also when there is none.
    bool IsAllChecked() const;
    // Copies of the entries in ascending key, checked ones to the first list.
    void GetCheckedUsers(std::vector<SelectUserEntry>& checkedList,
                         std::vector<SelectUserEntry>& uncheckedList) const;
    // Toggles the entry shown in the row; the new all-checked state, or nothing when the row
    // or its entry does not exist.
    std::optional<bool> ToggleRow(int row);

    int RowCount() const { return static_cast<int>(m_rows.size()); }
    // The entry a row shows, or null.
    const SelectUserEntry* EntryOfRow(int row) const;
    void Clear();

private:
    std::map<std::uint16_t, SelectUserEntry> m_entries;
    std::vector<std::uint16_t> m_rows;
};

}  // namespace yav::users
