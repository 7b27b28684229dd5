#pragma once
// The roll call's participant list: each row shows a left icon, the text shortened to 12
// characters and, at the right, a marked or unmarked state icon chosen by the row's record.
// Row 0 may be a title that cannot be chosen. Presses and double clicks are reported to the
// parent with WM_ICONLISTBOX_CLICK and a click record; a QListWidget underneath keeps the
// list's keyboard, scrolling and accessibility.

#include <QImage>
#include <QListWidget>

#include <cstddef>
#include <cstdint>

#include "client/ui/IconListClickRules.h"
#include "platform/window/Window.h"

// The click record the parent receives by pointer (valid during the message only).
struct ICONLIST_CLICK {
    std::int32_t nCode = 0;
    std::int32_t nIndex = 0;
};

class CIconListBox : public yav::WindowT<QListWidget> {
public:
    // A row's record counts as marked when its byte at this offset is non-zero.
    static constexpr std::size_t kMarkedOffset = 133;

    explicit CIconListBox(QWidget* parent = nullptr);

    void SetImages(QImage* left, QImage* marked, QImage* unmarked);

    BOOL m_bTitle = 1;       // row 0 is a title
    BOOL m_bStateIcons = 1;  // draw the right-hand state icons

    // List box operations the owners use.
    int AddString(const QString& text);
    int GetCount() const { return count(); }
    void ResetContent() { clear(); }
    QString GetText(int row) const;
    int GetCurSel() const;
    int SetCurSel(int row);
    // Row records belong to the owner; null is allowed (an unmarked row).
    BOOL SetItemDataPtr(int row, const void* record);
    const void* GetItemDataPtr(int row) const;
    // Height of every row in pixels.
    void SetItemHeight(int height);
    int GetItemHeight() const { return m_nItemHeight; }

    static bool IsMarked(const void* record);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    friend class IconListDelegate;
    void Report(int code, int index);

    QImage* m_pLeft = nullptr;
    QImage* m_pMarked = nullptr;
    QImage* m_pUnmarked = nullptr;
    int m_nItemHeight = 24;
};
