#pragma once
// The coloured edit of the bulletin, document and file-list panels: text and background take
// one pair of colours while it has the focus and another while it has not; disabled it shows
// red text. Until SetBkColors has been called it keeps the ordinary colours. No frame is
// drawn. Read-only (setReadOnly) lets only Ctrl+C and Tab through.

#include <QLineEdit>

#include "platform/window/Window.h"

class CYavEditEx : public yav::WindowT<QLineEdit> {
public:
    explicit CYavEditEx(QWidget* parent = nullptr);

    // Normal and focused text colours (no redraw).
    void SetTextColors(COLORREF normal, COLORREF focused);
    // Normal and focused background colours; from now on the edit paints its own colours.
    void SetBkColors(COLORREF normal, COLORREF focused);
    // Font height in pixels, from the UI font.
    void SetFontHeight(int size);
    bool IsFocused() const { return m_bFocus; }

    BOOL PreTranslateMessage(yav::Msg* msg) override;

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void ApplyColors();

    COLORREF m_clrText = 0xFFFFFF;
    COLORREF m_clrTextFocus = 0xFFFFFF;
    COLORREF m_clrBk = 0xF7F7F7;
    COLORREF m_clrBkFocus = 0xD8D8D8;
    bool m_bBrushes = false;
    bool m_bFocus = false;
};
