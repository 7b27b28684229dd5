#include "CYavEditEx.h"

#include <QEvent>
#include <QPalette>

#include "client/config/SkinGlobals.h"
#include "client/ui/EditKeyFilter.h"
#include "client/ui/UiFonts.h"

CYavEditEx::CYavEditEx(QWidget* parent) : yav::WindowT<QLineEdit>(parent) {
    setFrame(false);
    setFont(g_fontUI);
}

void CYavEditEx::SetTextColors(COLORREF normal, COLORREF focused) {
    m_clrText = normal;
    m_clrTextFocus = focused;
}

void CYavEditEx::SetBkColors(COLORREF normal, COLORREF focused) {
    m_clrBk = normal;
    m_clrBkFocus = focused;
    m_bBrushes = true;
    ApplyColors();
}

void CYavEditEx::SetFontHeight(int size) {
    QFont font = g_fontUI;
    font.setPixelSize(std::max(std::abs(size), 1));
    setFont(font);
}

BOOL CYavEditEx::PreTranslateMessage(yav::Msg* msg) {
    if (ReadOnlyEditDropsMessage(isReadOnly(), msg->message, msg->wParam, msg->modifiers)) {
        return 1;
    }
    return yav::WindowT<QLineEdit>::PreTranslateMessage(msg);
}

void CYavEditEx::focusInEvent(QFocusEvent* event) {
    yav::WindowT<QLineEdit>::focusInEvent(event);
    if (!m_bFocus) {
        m_bFocus = true;
        ApplyColors();
    }
}

void CYavEditEx::focusOutEvent(QFocusEvent* event) {
    yav::WindowT<QLineEdit>::focusOutEvent(event);
    if (m_bFocus) {
        m_bFocus = false;
        ApplyColors();
    }
}

void CYavEditEx::changeEvent(QEvent* event) {
    yav::WindowT<QLineEdit>::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) {
        ApplyColors();
    }
}

void CYavEditEx::ApplyColors() {
    if (!m_bBrushes) {
        return;
    }
    QPalette colors = palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        colors.setColor(group, QPalette::Text,
                        yav::ColorFromRef(m_bFocus ? m_clrTextFocus : m_clrText));
        colors.setColor(group, QPalette::Base,
                        yav::ColorFromRef(m_bFocus ? m_clrBkFocus : m_clrBk));
    }
    // Disabled: red text on the normal background.
    colors.setColor(QPalette::Disabled, QPalette::Text, QColor(255, 0, 0));
    colors.setColor(QPalette::Disabled, QPalette::Base, yav::ColorFromRef(m_clrBk));
    setPalette(colors);
    update();
}
