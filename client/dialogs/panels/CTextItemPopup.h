#pragma once
// Base of the layered text-item pop-ups (layout pickers, more and meeting pop-ups, share
// pop-up): check-button items drawn as text, black normally, blue while hovered or checked,
// grey when disabled; a repaint of dirty items first restores the background under them.

#include <QPointer>
#include <QRect>

#include <memory>
#include <vector>

#include "client/ui/CButtonCheck.h"
#include "client/ui/CYavDialogEx.h"

class CTextItemPopup : public CYavDialogEx {
public:
    CTextItemPopup(UINT templateId, QWidget* parent);
    ~CTextItemPopup() override;

    void RedrawButtons(BOOL all) override;
    void LayoutControls() override;
    CButtonCheck* Item(int id);
    // Marks the item for redraw and repaints the dirty ones.
    void RepaintItem(int id);
    // Whether the application's active window is this pop-up or the given one.
    bool ActiveIsThisOr(const QWidget* other) const;

protected:
    // The pop-up that opens beside this one: the auto-hide timer keeps this one open while
    // either has the activation, and hiding this one hides the companion.
    void SetCompanion(QWidget* companion) { m_pCompanion = companion; }
    void OnTimer(UINT id) override;
    void OnShowWindow(BOOL show) override;

    struct ItemSpec {
        int id;
        int left;        // design px
        int rightInset;  // design px from the client width
        int top;
        int height;
    };
    // Adds an item (hover notification on) with its place.
    CButtonCheck* AddItem(const ItemSpec& spec);
    // Checked items draw blue like hovered ones.
    bool m_bCheckedIsHot = true;
    // Centred text (share pop-up) or left aligned.
    bool m_bCentred = false;

private:
    std::vector<std::pair<ItemSpec, std::unique_ptr<CButtonCheck>>> m_items;
    QPointer<QWidget> m_pCompanion;
};
