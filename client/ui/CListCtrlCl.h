#pragma once
// The owner-drawn report list: rows of text with per-column alignment in a scaled font, a
// gradient header, an optional fixed row height. A QTreeWidget underneath keeps selection,
// keyboard and accessibility; its signals are the list's notifications.

#include <QTreeWidget>

#include "client/ui/CHeaderCtrlCl.h"
#include "platform/window/Window.h"

// Extended list styles.
inline constexpr DWORD LVS_EX_GRIDLINES = 0x00000001;
inline constexpr DWORD LVS_EX_FULLROWSELECT = 0x00000020;

class CListCtrlCl : public yav::WindowT<QTreeWidget> {
public:
    explicit CListCtrlCl(QWidget* parent = nullptr);

    // The header; the list (its Qt parent) owns it.
    CHeaderCtrlCl& m_Header;
    int m_nRowHeight = 0;   // 0: the standard height
    COLORREF m_color = 0;   // text colour
    int m_fontHeight = 12;  // design pixels
    int m_fontWidth = 0;

    // Adds the heading and its alignment code (left 0 -> '0', centre 2 -> '1', right 1 ->
    // '2', anything else '1'); returns the column's index.
    int InsertColumn(int column, const QString& heading, int format = 0, int width = -1,
                     int subItem = -1);
    void SetHeaderBkColor(int r, int g, int b, int step);
    void SetHeaderFontSize(int height, int width);
    // 0 or less keeps the standard row height.
    void SetRowHeight(int height);

    void SetExtendedStyle(DWORD style);
    DWORD GetExtendedStyle() const { return m_dwExStyle; }
    void SetBkColor(COLORREF color);
    COLORREF GetBkColor() const;

    // Rows.
    int InsertItem(int row, const QString& text);
    BOOL SetItemText(int row, int column, const QString& text);
    QString GetItemText(int row, int column) const;
    int GetItemCount() const { return topLevelItemCount(); }
    BOOL DeleteItem(int row);
    BOOL DeleteAllItems();
    // The selected row, -1 when none.
    int GetSelectionMark() const;
    void SetSelectionMark(int row);

    // Alignment of a column's cells and the row height the list asks for.
    Qt::Alignment ColumnAlignment(int column) const;
    int RowHeight() const;

private:
    DWORD m_dwExStyle = 0;
};
