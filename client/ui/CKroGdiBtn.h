#pragma once
// A text button with a rounded, flat-coloured body whose colour follows the button's state
// (normal, focused, hovering; each fill switched on by its owner) and a caption in its own
// colours. Clicks reach the parent as the ordinary BN_CLICKED command. Every change that
// shows repaints the parent's area under the button, so a transparent corner never keeps an
// old picture.

#include <QAbstractButton>
#include <QColor>
#include <QFont>

#include <optional>

#include "client/ui/KroGdiBtnLook.h"
#include "platform/window/Window.h"

class CKroGdiBtn : public yav::WindowT<QAbstractButton> {
public:
    explicit CKroGdiBtn(QWidget* parent = nullptr);

    // Hover colours need hover tracking; the owner switches it on directly.
    bool m_bHoverTrack = false;

    void SetBkColor(BOOL on, COLORREF color);
    void SetBkColorRGB(BOOL on, BYTE r, BYTE g, BYTE b) { SetBkColor(on, RGB(r, g, b)); }
    void SetFocusColor(BOOL on, COLORREF color);
    void SetFocusColorRGB(BOOL on, BYTE r, BYTE g, BYTE b) { SetFocusColor(on, RGB(r, g, b)); }
    void SetHoverColor(BOOL on, COLORREF color);
    void SetTextColor(COLORREF color);
    void SetTextColors(COLORREF normal, COLORREF focused);
    void SetDisabledTextColor(BYTE r, BYTE g, BYTE b);
    // Pixel sizes of the own font and the second font (0 keeps the UI font's size).
    void SetFont(int size, int secondSize);
    void SetFontSize(int size);
    // Takes effect at the next SetFont or SetFontSize.
    void SetUnderline(int underline) { m_bUnderline = underline != 0; }
    // Horizontal and vertical alignment: 0 near, 1 centre, 2 far.
    void SetDrawFlags(int horizontal, int vertical);
    void SetWindowTextRefresh(const QString& text);
    void SetRedrawThroughParent(bool on) { m_bRefreshParent = on; }
    void SetTextInsets(int left, int top);
    void RefreshParentBack();

    // State for owners and tests.
    bool IsHovering() const { return m_bHover; }
    bool IsFocused() const { return m_bFocus; }
    const KroGdiBtnFills& Fills() const { return m_fills; }
    // The caption's font and colour as the next paint chooses them.
    QFont CaptionFont() const;
    QColor CaptionColor() const;
    const QFont& OwnFont() const { return m_fontOwn; }

    // Rounded rectangle of corner c over rect, outlined with a 1-pixel pen of `pen` and,
    // when `fill` is set, filled with `fillColor` (or the pen colour when that is 0).
    static void DrawRoundRect(QPainter& painter, const QRectF& rect, double corner, COLORREF pen,
                              bool fill, COLORREF fillColor);

protected:
    BOOL OnEraseBkgnd(QPainter& painter) override;
    void OnPaint(QPainter& painter) override;
    virtual void DrawItem(QPainter& painter);
    void OnSetCursor() override;
    void OnMouseLeave() override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

    // What DrawItem needs of the other buttons.
    Qt::Alignment TextAlignment(int vertical) const;
    int TextLeft() const { return m_nTextLeft; }
    int TextTop() const { return m_nTextTop; }
    bool HasFocusedBrushAndSecondFont() const {
        return m_clrFocusText.has_value() && m_fontSecond.has_value();
    }
    QColor NormalTextColor() const { return m_clrText; }
    QColor FocusedTextColor() const { return m_clrFocusText.value_or(m_clrText); }

private:
    QFont BuildFont(int size, bool underline) const;

    QFont m_fontOwn;
    QColor m_clrText = QColor(0, 0, 253);
    std::optional<QColor> m_clrFocusText;
    std::optional<QFont> m_fontSecond;
    std::optional<QColor> m_clrDisabledText;
    bool m_bRefreshParent = true;
    int m_nAlignH = 1;
    int m_nAlignV = 1;
    bool m_bFocus = false;
    bool m_bEnabled = true;
    KroGdiBtnFills m_fills;
    bool m_bUnderline = false;
    int m_nTextLeft = 2;
    int m_nTextTop = 0;
    bool m_bHover = false;
};
