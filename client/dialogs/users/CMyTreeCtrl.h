#pragma once
// The owner-drawn participant tree: one view of a UserTree (the participant tree, the stage
// list or the search results) with the row's state icons, hover tracking over the icons, the
// chair's clicks and pop-ups, and the preview and tip they lead to. The rules live in
// UserTree, RowIcons and TreeActions; this class draws and routes input.

#include <QPointer>
#include <QTreeView>

#include <cstdint>
#include <memory>

#include "CDlgPopSwitch.h"
#include "RowIcons.h"
#include "TreeActions.h"
#include "UserTree.h"
#include "UserTreeItemModel.h"
#include "platform/window/Window.h"

// What the tree needs of its panel beyond the requests.
class ITreeViewHost {
public:
    virtual ~ITreeViewHost() = default;
    virtual yav::users::LocalRole GetLocalRole() const = 0;
    // Shows the preview window beside a row (its rectangle on the screen).
    virtual void PlacePreviewWindow(const QRect& rowOnScreen) = 0;
    // The participant tree's record of a user (a result tree shows the participant tree's).
    virtual const yav::users::TreeUser* FindUserRecord(std::uint16_t mediaId) const = 0;
};

class CMyTreeCtrl : public yav::WindowT<QTreeView> {
public:
    static constexpr UINT kBroadcastChooserTimer = 104;
    static constexpr UINT kReceiveChooserTimer = 105;
    static constexpr UINT kTipTimer = 107;
    static constexpr UINT kPopupDelayMs = 100;
    static constexpr int kItemHeightDesign = 25;
    static constexpr std::int64_t kLongPressMs = 1000;
    // Distances of the three icons from the row's right edge, and their size (design pixels).
    static constexpr int kVideoIconRight = 27;
    static constexpr int kAudioIconRight = 54;
    static constexpr int kPresenterIconRight = 83;
    static constexpr int kIconWidth = 22;
    static constexpr int kIconHeight = 24;

    // The tree's actions act on the participant tree (whose tables hold the limits' counts).
    CMyTreeCtrl(yav::users::UserTree& tree, yav::users::UserTree& participantTree,
                yav::users::ITreeActionHost& actionHost, ITreeViewHost& viewHost,
                QWidget* parent = nullptr);
    ~CMyTreeCtrl() override;

    yav::users::UserTree& Tree() { return m_tree; }
    yav::users::UserTreeItemModel& Model() { return *m_model; }
    yav::users::TreeActions& Actions() { return m_actions; }
    void SetMeText(const QString& text);

    // The right edge of the rows, where the icons are placed from.
    int RowRightEdge() const;
    // The hover area of a point of a row for the local role (0 none .. 4 presenter icon).
    std::uint8_t HoverAreaAt(const QPoint& viewportPoint) const;
    // The mouse at a point: the hover row and area change, and only changed rows are redrawn.
    void TrackHover(const QPoint& viewportPoint);
    void ClearHover();

    // The click at a point (viewport coordinates) with an area (0: the row's hover area).
    void OnItemAction(const QPoint& viewportPoint, std::uint8_t area);
    // The same action on the row of the user the last pop-up or action was for: the chair's
    // pop-up acts on the row it was opened for, whatever was clicked before.
    void OnTargetAction(std::uint8_t area);
    // The chair's pop-up for the row at a point; false when none is shown.
    bool ShowChairPopup(const QPoint& viewportPoint);
    void HidePopups();
    // The pop-ups (null until first used).
    CDlgPopSwitch* GetChairPopup() const { return m_chairPopup; }
    CDlgPopSwitch* GetReceiveChooser() const { return m_receiveChooser; }
    CDlgPopSwitch* GetBroadcastChooser() const { return m_broadcastChooser; }
    CDlgPopSwitch* GetTipBubble() const { return m_tipBubble; }
    const QString& GetTipText() const { return m_tipText; }

    // The clock the tip suppression reads (tests replace it).
    void SetClock(std::function<std::int64_t()> nowMs) { m_nowMs = std::move(nowMs); }

    // Expands every department row (the tree starts that way).
    void ExpandDepartments();

protected:
    void OnTimer(UINT id) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    // Touch: a press of a second or more acts as a right click, a shorter one as a click.
    bool viewportEvent(QEvent* event) override;

private:
    yav::users::TreeNode* NodeAt(const QPoint& viewportPoint) const;
    void ActOnRow(const QModelIndex& index, std::uint8_t area);
    CDlgPopSwitch* Popup(QPointer<CDlgPopSwitch>& popup, int mode, std::uint32_t background);
    void ShowPopupAt(CDlgPopSwitch* popup, const QPoint& globalPoint, bool rightAligned);
    void ShowTip(int textId);
    void PlacePreviewForRow(const yav::users::TreeNode* node);
    LRESULT OnPopSwitchSelect(WPARAM mode, LPARAM value);
    void RowsInserted(const QModelIndex& parent, int first, int last);

    yav::users::UserTree& m_tree;
    std::unique_ptr<yav::users::UserTreeItemModel> m_model;
    yav::users::TreeActions m_actions;
    ITreeViewHost& m_viewHost;
    yav::users::TreeNode* m_hoverNode = nullptr;
    QString m_tipText;
    QPointer<CDlgPopSwitch> m_receiveChooser;
    QPointer<CDlgPopSwitch> m_broadcastChooser;
    QPointer<CDlgPopSwitch> m_chairPopup;
    QPointer<CDlgPopSwitch> m_tipBubble;
    std::function<std::int64_t()> m_nowMs;
    std::int64_t m_touchDownMs = 0;
    // Mouse clicks synthesised from a touch are ignored while the finger is down.
    bool m_bClickEnabled = true;
};
