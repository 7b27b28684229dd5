#pragma once
// The button of the layered pop-up panels. It never paints itself (only the pop-up's
// composed picture is visible): it is an input area and state holder that its pop-up draws
// whenever the redraw flag is set, and it reports hover, leave and click to its parent. Like
// any button, a click (press and release over it) sends its parent WM_COMMAND (id, BN_CLICKED).

#include <QAbstractButton>

#include "platform/window/Window.h"

class CButtonCheck : public yav::WindowT<QAbstractButton> {
public:
    explicit CButtonCheck(QWidget* parent = nullptr);

    void SetCheck(BYTE check);
    BYTE GetCheck() const { return m_bChecked; }
    BYTE IsHover() const { return m_bHover; }
    void SetHoverNotify(BYTE notify) { m_bHoverNotify = notify; }
    void SetClickNotify() { m_bClickNotify = 1; }
    void SetStatusNotify(BYTE notify) { m_bStatusNotify = notify; }
    void SetPageItem() { m_bPageItem = 1; }
    // With release notification a click is reported when the button is let go over it (not
    // when it is pressed), and the pressed state is drawn meanwhile.
    void SetReleaseNotify(BOOL on) { m_bReleaseNotify = on != 0 ? 1 : 0; }
    BOOL IsPressed() const { return m_bPressed; }
    void SetValue(DWORD value) { m_dwValue = value; }
    DWORD GetValue() const { return m_dwValue; }
    void SetWindowText(const QString& text) override;
    BOOL EnableWindow(BOOL enable) override;
    BOOL ShowWindow(int nCmdShow) override;

    // Set whenever the button's picture must be drawn again; the pop-up clears it.
    BYTE m_bRedraw = 0;
    BYTE m_bPageItem = 0;
    BYTE m_bChecked = 0;
    BYTE m_bHover = 0;
    BYTE m_bHoverNotify = 0;
    BYTE m_bClickNotify = 0;
    BYTE m_bReleaseNotify = 0;
    BYTE m_bPressed = 0;
    // Without click notification, presses and releases go to the main window's status bar.
    BYTE m_bStatusNotify = 0;
    DWORD m_dwValue = 0;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void OnSetCursor() override;
    void OnMouseLeave() override;

private:
    LRESULT NotifyHover();
};
