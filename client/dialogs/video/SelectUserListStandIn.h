#pragma once
// Stands in for the check-box user tree (CSelectUserTree, which replaces it) in the cycle
// filter: a flat list of checkable entries keyed by media channel id.

#include <QListWidget>

#include <map>

#include "ISelectUserTree.h"

class SelectUserListStandIn : public QListWidget, public ISelectUserTree {
public:
    explicit SelectUserListStandIn(QWidget* parent);

    QWidget* GetWidget() override { return this; }
    void DeleteAllItems() override;
    void AddUser(std::uint32_t key, const QString& name, std::uint32_t checked) override;
    void SetAllChecked(std::uint32_t checked) override;
    bool IsAllChecked() override;
    void GetCheckedUsers(std::vector<Entry>& checked, std::vector<Entry>& unchecked) override;

    // The entry's mark as the user toggles it (a click on its check box).
    void Toggle(std::uint32_t key);

private:
    void OnItemChanged(QListWidgetItem* item);

    std::map<std::uint16_t, Entry> m_entries;
    bool m_bFilling = false;
};
