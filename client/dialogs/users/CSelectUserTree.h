#pragma once
// The check-box user list of the video-cycle filter: a flat list of entries (one per video
// channel of each participant, keyed by media id) with a check mark at the right end of each
// row. A click on a check mark toggles it and posts WM_SELECTUSER_CHANGED to the parent with
// wParam 1 when every entry is now checked; a click on the name changes nothing.

#include <QTreeView>

#include <cstdint>
#include <memory>
#include <vector>

#include "SelectUserEntries.h"
#include "platform/window/Window.h"

class SelectUserListModel;

class CSelectUserTree : public yav::WindowT<QTreeView> {
public:
    explicit CSelectUserTree(QWidget* parent = nullptr);
    ~CSelectUserTree() override;

    void AddUser(std::uint32_t key, const QString& name, std::uint32_t checked);
    void SetAllChecked(std::uint32_t checked);
    bool IsAllChecked() const;
    void GetCheckedUsers(std::vector<yav::users::SelectUserEntry>& checkedList,
                         std::vector<yav::users::SelectUserEntry>& uncheckedList) const;
    // Empties the list (the filter refills it each time it opens).
    void DeleteAllItems();

    // The check-mark area of a row: right of the client's right edge minus 19 design pixels.
    bool IsInCheckArea(int x) const;
    // The click at a point of the list (viewport coordinates).
    void OnClick(const QPoint& point);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    yav::users::SelectUserEntries m_entries;
    std::unique_ptr<SelectUserListModel> m_model;
};
