#pragma once
// The check-box user tree as the cycle filter uses it: entries keyed by media channel id,
// each with a check mark; a click on a mark posts WM_SELECTUSER_CHANGED (wParam 1 when every
// entry is checked) to the parent.

#include <QString>

#include <cstdint>
#include <vector>

#include "client/Common/MessageIds.h"
#include "platform/window/WinDefs.h"

class QWidget;

class ISelectUserTree {
public:
    struct Entry {
        std::uint32_t key = 0;
        QString name;
        std::uint32_t checked = 0;
    };

    virtual ~ISelectUserTree() = default;
    virtual QWidget* GetWidget() = 0;
    virtual void DeleteAllItems() = 0;
    virtual void AddUser(std::uint32_t key, const QString& name, std::uint32_t checked) = 0;
    virtual void SetAllChecked(std::uint32_t checked) = 0;
    virtual bool IsAllChecked() = 0;
    // Copies of the entries in ascending key, split by their check mark.
    virtual void GetCheckedUsers(std::vector<Entry>& checked, std::vector<Entry>& unchecked) = 0;
};
