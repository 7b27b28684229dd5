#pragma once
// The label of the skinned dialogs: paints its text over whatever its parent painted, in its
// own colour, font and alignment, and has the parent repaint the area under it whenever the
// text changes, so that no trace of an older text stays.

#include <QFont>

#include <vector>

#include "platform/window/GdipText.h"
#include "platform/window/Window.h"

class CTransparentStatic : public yav::Window {
public:
    explicit CTransparentStatic(QWidget* parent = nullptr);

    void SetTextColor(COLORREF color) { m_clrText = color; }
    void SetAlignLeft() { m_bAlignLeft = 1; }
    void ClearAlignLeft() { m_bAlignLeft = 0; }
    void SetAlignCenter() { m_bAlignCenter = 1; }
    // 0 top, 1 centre, 2 bottom.
    void SetLineAlign(int align) { m_nLineAlign = align; }
    // The UI font with its size moved away from zero by delta (each call starts again from
    // the UI font).
    void SetFontSizeDelta(int delta);
    // The UI font one unit larger and semi-bold (starts again from the UI font).
    void SetFontBold();
    // Width of the window text in the label's font, plus 1.
    int GetTextWidth() const;

    COLORREF GetTextColor() const { return m_clrText; }
    const QFont& GetFont() const { return m_font; }
    int GetLineAlign() const { return m_nLineAlign; }
    Qt::Alignment GetHorizontalAlign() const;
    // The lines as the label draws them.
    std::vector<yav::gdip::LaidOutLine> GetTextLayout() const;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnEraseBkgnd(QPainter& painter) override;
    void OnPaint(QPainter& painter) override;

private:
    yav::gdip::StringFormat TextFormat() const;

    int m_nLineAlign = 0;
    COLORREF m_clrText = 0;
    QFont m_font;
    BOOL m_bAlignLeft = 0;
    BOOL m_bAlignCenter = 0;
};
