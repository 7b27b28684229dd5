#pragma once
// The skinned edit of the login and settings dialogs: a one-pixel frame in the owner's colour
// and a grey hint text while it is empty. A QLineEdit underneath keeps typing, input methods,
// the clipboard and accessibility. Its read-only state (setReadOnly / isReadOnly, the byte the
// owners lock the keyboard with) lets only Ctrl+C and Tab through.

#include <QLineEdit>

#include "platform/window/Window.h"

class CEditXP : public yav::WindowT<QLineEdit> {
public:
    explicit CEditXP(QWidget* parent = nullptr);

    // A non-empty hint switches the frame on and shows the hint while the edit is empty; an
    // empty text changes nothing.
    void SetHintText(const QString& text);
    QString GetHintText() const { return m_strHint; }
    bool HasCustomFrame() const { return m_bCustomFrame; }
    // Frame colour; 0 takes the system's shadow colour.
    void SetFrameColor(COLORREF color);
    bool IsHovering() const { return m_bHover; }

    BOOL PreTranslateMessage(yav::Msg* msg) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    bool m_bHover = false;
    COLORREF m_clrFrame = 0;
    bool m_bCustomFrame = false;
    QString m_strHint;
};
