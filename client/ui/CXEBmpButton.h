#pragma once
// An owner-drawn button that paints a per-state bitmap (tiled from its top-left corner) and
// an optional caption, with a hover state while the mouse is over it; optionally shaped to
// the opaque pixels of its normal bitmap.

#include <QAbstractButton>
#include <QFont>
#include <QPixmap>
#include <QRect>

#include <array>

#include "platform/window/Window.h"

class CXEBmpButton : public yav::WindowT<QAbstractButton> {
public:
    explicit CXEBmpButton(BOOL shapeToBitmap, QWidget* parent = nullptr);
    ~CXEBmpButton() override = default;

    // The seven state bitmaps (a null pixmap leaves a state without one); the button keeps
    // them from then on.
    void SetBitmaps(const QPixmap& normal, const QPixmap& pressed, const QPixmap& hover,
                    const QPixmap& checkedNormal, const QPixmap& checkedPressed,
                    const QPixmap& checkedHover, const QPixmap& disabled);
    void SetCheck(BOOL checked);
    BOOL GetCheck() const { return m_bChecked; }
    void SetShowText(BOOL show);
    void SetTextColors(COLORREF normal, COLORREF hover, COLORREF pressed, COLORREF disabled);
    // 0: one left-aligned line with an end ellipsis; otherwise alignment flags of the
    // centred layout (1 centre).
    void SetCaptionFormat(BYTE format) { m_byCaptionFormat = format; }

    BOOL IsHovering() const { return m_bHover; }
    // The bitmap and text colour the current state paints with.
    const QPixmap* ChooseBitmap() const;
    COLORREF ChooseTextColor() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void OnSize(int cx, int cy) override;
    void OnSetCursor() override;
    void OnMouseLeave() override;

private:
    enum Slot {
        kNormal,
        kPressed,
        kHover,
        kCheckedNormal,
        kCheckedPressed,
        kCheckedHover,
        kDisabled,
        kSlotCount
    };
    const QPixmap* Bitmap(Slot slot) const;
    void ApplyShape();

    std::array<QPixmap, kSlotCount> m_bitmaps;
    BOOL m_bChecked = 0;
    BOOL m_bDrawCaption = 0;
    std::array<COLORREF, 4> m_clrText;
    BOOL m_bHover = 0;
    BOOL m_bSharedFont = 1;
    std::array<QFont, 4> m_fonts;
    QRect m_rcText;
    BOOL m_bCenterVertically = 1;
    BYTE m_byCaptionFormat = 1;
    BOOL m_bShapeToBitmap;
};
