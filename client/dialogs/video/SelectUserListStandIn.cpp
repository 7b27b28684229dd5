#include "SelectUserListStandIn.h"

#include "platform/window/Window.h"

SelectUserListStandIn::SelectUserListStandIn(QWidget* parent) : QListWidget(parent) {
    connect(this, &QListWidget::itemChanged, this,
            [this](QListWidgetItem* item) { OnItemChanged(item); });
}

void SelectUserListStandIn::DeleteAllItems() {
    m_bFilling = true;
    clear();
    m_entries.clear();
    m_bFilling = false;
}

void SelectUserListStandIn::AddUser(std::uint32_t key, const QString& name, std::uint32_t checked) {
    m_bFilling = true;
    m_entries[static_cast<std::uint16_t>(key)] = Entry{key, name, checked != 0 ? 1u : 0u};
    auto* item = new QListWidgetItem(name, this);
    item->setData(Qt::UserRole, key);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
    item->setCheckState(checked != 0 ? Qt::Checked : Qt::Unchecked);
    m_bFilling = false;
}

void SelectUserListStandIn::SetAllChecked(std::uint32_t checked) {
    m_bFilling = true;
    for (auto& [key, entry] : m_entries) {
        entry.checked = checked != 0 ? 1 : 0;
    }
    for (int row = 0; row < count(); ++row) {
        item(row)->setCheckState(checked != 0 ? Qt::Checked : Qt::Unchecked);
    }
    m_bFilling = false;
}

bool SelectUserListStandIn::IsAllChecked() {
    for (const auto& [key, entry] : m_entries) {
        if (entry.checked == 0) {
            return false;
        }
    }
    return true;
}

void SelectUserListStandIn::GetCheckedUsers(std::vector<Entry>& checked,
                                            std::vector<Entry>& unchecked) {
    for (const auto& [key, entry] : m_entries) {
        (entry.checked != 0 ? checked : unchecked).push_back(entry);
    }
}

void SelectUserListStandIn::Toggle(std::uint32_t key) {
    for (int row = 0; row < count(); ++row) {
        if (item(row)->data(Qt::UserRole).toUInt() == key) {
            const bool on = item(row)->checkState() == Qt::Checked;
            item(row)->setCheckState(on ? Qt::Unchecked : Qt::Checked);
            return;
        }
    }
}

void SelectUserListStandIn::OnItemChanged(QListWidgetItem* changed) {
    if (m_bFilling) {
        return;
    }
    const auto key = static_cast<std::uint16_t>(changed->data(Qt::UserRole).toUInt());
    const auto found = m_entries.find(key);
    if (found == m_entries.end()) {
        return;
    }
    found->second.checked = changed->checkState() == Qt::Checked ? 1 : 0;
    // Rows sharing the key show the same mark.
    m_bFilling = true;
    for (int row = 0; row < count(); ++row) {
        if (item(row)->data(Qt::UserRole).toUInt() == key) {
            item(row)->setCheckState(changed->checkState());
        }
    }
    m_bFilling = false;
    yav::PostMessage(parentWidget(), WM_SELECTUSER_CHANGED, IsAllChecked() ? 1 : 0, 0);
}
