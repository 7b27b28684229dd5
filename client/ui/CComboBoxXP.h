#pragma once
// The flat combo box: a one-pixel frame, a flat drop button that lights up while the mouse is
// over the combo or its edit, an optional read-only look (own background, only the list keys
// pass) and a wheel that scrolls only an open list. A QComboBox underneath keeps the list,
// keyboard, input methods and accessibility.
//
// The visible height is the selection field's: the height a layout asks for (on the reference
// system the extent of the drop-down list) is replaced by the field height, which the owner
// may set through m_nPendingHeight before the next move.

#include <QComboBox>
#include <QPointer>

#include "platform/window/Window.h"

class QLineEdit;

class CComboBoxXP : public yav::WindowT<QComboBox> {
public:
    explicit CComboBoxXP(QWidget* parent = nullptr);

    // Creates the combo in `parent` with control id `id` at `rect` (height: see above).
    BOOL Create(DWORD style, const QRect& rect, QWidget* parent, UINT id);

    // Owner-set fields: the frame colour and a selection-field height taken at the next
    // move or resize (-1: none pending).
    COLORREF m_clrFrame = 0;
    int m_nPendingHeight = -1;

    // Read-only look: own background colour (stored only when on), list keys only.
    void SetBkColor(BOOL on, COLORREF color);
    void SetWheelOnlyWhenDropped(BYTE on) { m_bWheelOnlyDropped = on != 0; }
    bool IsReadOnlyLook() const { return m_bReadOnly; }
    bool IsHot() const { return m_hover.hovering; }
    int FieldHeight() const;
    // Pixel width of the drop button.
    static int ButtonWidth();

    BOOL PreTranslateMessage(yav::Msg* msg) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showPopup() override;
    void hidePopup() override;

private:
    // Keeps the combo lit while the mouse moves between the combo and its edit.
    struct HoverTracker {
        QPointer<QWidget> tracked;
        bool hovering = false;
    };
    void TrackMouseMove(QWidget* window);
    void TrackMouseLeave(QWidget* window);
    void AttachEdit();

    HoverTracker m_hover;
    bool m_bReadOnly = false;
    COLORREF m_clrReadOnlyBk = 0xFFFFFF;
    bool m_bWheelOnlyDropped = true;
    int m_nFieldHeight = -1;
    bool m_bDropped = false;
    QPointer<QLineEdit> m_edit;
};
