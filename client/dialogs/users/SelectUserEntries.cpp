#include "SelectUserEntries.h"

namespace yav::users {

void SelectUserEntries::AddUser(std::uint32_t key, const QString& name, std::uint32_t checked) {
    const auto shortKey = static_cast<std::uint16_t>(key & 0xFFFFu);
    m_entries[shortKey] = SelectUserEntry{key, name, checked != 0 ? 1u : 0u};
    m_rows.push_back(shortKey);
}

void SelectUserEntries::SetAllChecked(std::uint32_t checked) {
    for (auto& [key, entry] : m_entries) {
        entry.checked = checked != 0 ? 1u : 0u;
    }
}

bool SelectUserEntries::IsAllChecked() const {
    for (const auto& [key, entry] : m_entries) {
        if (entry.checked == 0) {
            return false;
        }
    }
    return true;
}

void SelectUserEntries::GetCheckedUsers(std::vector<SelectUserEntry>& checkedList,
                                        std::vector<SelectUserEntry>& uncheckedList) const {
    for (const auto& [key, entry] : m_entries) {
        (entry.checked != 0 ? checkedList : uncheckedList).push_back(entry);
    }
}

const SelectUserEntry* SelectUserEntries::EntryOfRow(int row) const {
    if (row < 0 || row >= RowCount()) {
        return nullptr;
    }
    auto it = m_entries.find(m_rows[static_cast<std::size_t>(row)]);
    return it == m_entries.end() ? nullptr : &it->second;
}

std::optional<bool> SelectUserEntries::ToggleRow(int row) {
    if (EntryOfRow(row) == nullptr) {
        return std::nullopt;
    }
    SelectUserEntry& entry = m_entries[m_rows[static_cast<std::size_t>(row)]];
    entry.checked = entry.checked != 0 ? 0u : 1u;
    return IsAllChecked();
}

void SelectUserEntries::Clear() {
    m_entries.clear();
    m_rows.clear();
}

}  // namespace yav::users
