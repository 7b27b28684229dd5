#pragma once
// The owner-drawn pop-up menu: every item carries a VexMenuData record and the menu measures
// and paints its items itself (icon and check column, highlight bar, etched separators, text
// in the program's UI font). Owners build it at run time: CreatePopupMenu, AppendMenu for
// each entry (separators with id 0), TrackPopupMenu, DestroyMenu. Underneath it is a QMenu,
// so keyboard navigation and accessibility are Qt's; only measuring and painting are ours.

#include <QFont>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

#include "client/ui/VexMenuMetrics.h"
#include "platform/window/WinDefs.h"

class QAction;
class QMenu;
class QPainter;
class QPalette;
class QWidget;

// Item flags.
inline constexpr UINT MF_ENABLED = 0x0000;
inline constexpr UINT MF_GRAYED = 0x0001;
inline constexpr UINT MF_DISABLED = 0x0002;
inline constexpr UINT MF_UNCHECKED = 0x0000;
inline constexpr UINT MF_CHECKED = 0x0008;
inline constexpr UINT MF_POPUP = 0x0010;
inline constexpr UINT MF_OWNERDRAW = 0x0100;
inline constexpr UINT MF_BYCOMMAND = 0x0000;
inline constexpr UINT MF_BYPOSITION = 0x0400;
inline constexpr UINT MF_SEPARATOR = 0x0800;

// TrackPopupMenu flags (alignment flags are taken as given: the menu opens at the point).
inline constexpr UINT TPM_LEFTALIGN = 0x0000;
inline constexpr UINT TPM_RIGHTBUTTON = 0x0002;
inline constexpr UINT TPM_RETURNCMD = 0x0100;

// One item's record, owned by the menu that appended it.
struct VexMenuData {
    QString strText;
    int nOwnImage = -1;        // index in the item's own image list
    int nSharedImage = -1;     // index in the program-wide image list
    int nOwnImageMarker = -1;  // 0 or more: the item draws from its own list
    UINT nFlags = MF_OWNERDRAW;
    std::uintptr_t nID = 0;  // command id, or the sub-menu for MF_POPUP

    bool HasImage() const { return nOwnImageMarker >= 0 || nSharedImage >= 0; }
};

// What DrawItem is given for one item.
struct VexDrawItem {
    QPainter* painter = nullptr;
    QRect rect;
    bool selected = false;
    bool grayed = false;
    bool checked = false;
    const VexMenuData* data = nullptr;
};

class VexMenu {
public:
    VexMenu();
    virtual ~VexMenu();
    VexMenu(const VexMenu&) = delete;
    VexMenu& operator=(const VexMenu&) = delete;

    BOOL CreatePopupMenu();
    // The Qt menu (null before CreatePopupMenu and after DestroyMenu).
    QMenu* GetSafeHmenu() const { return m_pMenu; }

    // `id` is the command id, or for MF_POPUP the sub-menu (GetSafeHmenu of a VexMenu).
    BOOL AppendMenu(UINT flags, std::uintptr_t id = 0, const QString& text = QString(),
                    int iconIndex = -1);
    BOOL AppendODMenu(const QString& text, UINT flags, std::uintptr_t id, int iconIndex);

    // Previous state (MF_CHECKED / MF_GRAYED), or -1 when there is no such item.
    int CheckMenuItem(UINT idOrPosition, UINT flags);
    int EnableMenuItem(UINT idOrPosition, UINT flags);
    int GetMenuItemCount() const;

    // Opens the menu at (x, y) in screen coordinates and returns when it closes. With
    // TPM_RETURNCMD the chosen command id is returned (0 for none); otherwise the choice is
    // posted to `owner` as WM_COMMAND and the result is non-zero when the menu ran.
    BOOL TrackPopupMenu(UINT flags, int x, int y, QWidget* owner);

    virtual BOOL DestroyMenu();

    // Owner drawing. Both are called by the menu's style for every item.
    virtual void MeasureItem(const VexMenuData& data, QSize* size) const;
    virtual void DrawItem(const VexDrawItem& item) const;

    // Items in the order appended (for owners and tests).
    const std::vector<std::unique_ptr<VexMenuData>>& GetItems() const { return m_MenuList; }
    QAction* GetAction(UINT idOrPosition, UINT flags) const;

    // The look family of the program's menus and the menu row height on this system.
    static VexMenuStyle Style();
    static int MenuRowHeight();

private:
    QPointer<QMenu> m_pMenu;
    std::vector<std::unique_ptr<VexMenuData>> m_MenuList;
    std::vector<QPointer<QMenu>> m_SubMenus;
    COLORREF m_bitmapBackground;
    int m_iconX = 16;
    int m_iconY = 15;
};
