#include "CComboBoxXP.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QLineEdit>
#include <QPainter>
#include <QResizeEvent>
#include <QWheelEvent>

#include "client/config/SkinGlobals.h"
#include "client/ui/CDrawButton.h"
#include "client/ui/EditKeyFilter.h"
#include "platform/core/Scale.h"

CComboBoxXP::CComboBoxXP(QWidget* parent) : yav::WindowT<QComboBox>(parent) {
    setMouseTracking(true);
    installEventFilter(this);
}

BOOL CComboBoxXP::Create(DWORD /*style*/, const QRect& rect, QWidget* parent, UINT id) {
    setParent(parent);
    SetDlgCtrlID(static_cast<int>(id));
    MoveWindow(rect);
    AttachEdit();
    show();
    return 1;
}

int CComboBoxXP::ButtonWidth() {
    return yav::Scaled(16);
}

int CComboBoxXP::FieldHeight() const {
    return m_nFieldHeight > 0 ? m_nFieldHeight : sizeHint().height();
}

void CComboBoxXP::SetBkColor(BOOL on, COLORREF color) {
    m_bReadOnly = on != 0;
    if (on != 0) {
        m_clrReadOnlyBk = color;
    }
    update();
}

void CComboBoxXP::AttachEdit() {
    QLineEdit* edit = lineEdit();
    if (edit == m_edit) {
        return;
    }
    m_edit = edit;
    if (edit != nullptr) {
        edit->setMouseTracking(true);
        edit->installEventFilter(this);
    }
}

void CComboBoxXP::TrackMouseMove(QWidget* window) {
    if (!m_hover.hovering) {
        m_hover.hovering = true;
        m_hover.tracked = window;
        update();
    } else if (window != m_hover.tracked) {
        // Moving between the combo and its edit: track the new one, no redraw.
        m_hover.tracked = window;
    }
}

void CComboBoxXP::TrackMouseLeave(QWidget* window) {
    if (window == m_hover.tracked && m_hover.hovering) {
        m_hover.hovering = false;
        update();
    }
}

bool CComboBoxXP::eventFilter(QObject* watched, QEvent* event) {
    auto* window = qobject_cast<QWidget*>(watched);
    if (window == this || (window != nullptr && window == m_edit)) {
        switch (event->type()) {
            case QEvent::MouseMove:
            case QEvent::Enter:
                TrackMouseMove(window);
                break;
            case QEvent::Leave:
                TrackMouseLeave(window);
                break;
            default:
                break;
        }
    }
    return yav::WindowT<QComboBox>::eventFilter(watched, event);
}

BOOL CComboBoxXP::PreTranslateMessage(yav::Msg* msg) {
    if (m_bReadOnly && msg->message == WM_KEYDOWN && !ReadOnlyComboPassesKey(msg->wParam)) {
        return 1;
    }
    return yav::WindowT<QComboBox>::PreTranslateMessage(msg);
}

void CComboBoxXP::wheelEvent(QWheelEvent* event) {
    if (m_bWheelOnlyDropped && !m_bDropped) {
        event->accept();
        return;
    }
    yav::WindowT<QComboBox>::wheelEvent(event);
}

void CComboBoxXP::showPopup() {
    m_bDropped = true;
    update();
    yav::WindowT<QComboBox>::showPopup();
}

void CComboBoxXP::hidePopup() {
    m_bDropped = false;
    yav::WindowT<QComboBox>::hidePopup();
    update();
}

void CComboBoxXP::resizeEvent(QResizeEvent* event) {
    yav::WindowT<QComboBox>::resizeEvent(event);
    AttachEdit();
    if (m_nPendingHeight >= 0) {
        m_nFieldHeight = m_nPendingHeight;
        m_nPendingHeight = -1;
    }
    const int field = FieldHeight();
    if (field > 0 && height() != field) {
        resize(width(), field);
    }
    if (m_edit != nullptr && !m_edit->hasFocus()) {
        m_edit->deselect();
    }
}

void CComboBoxXP::paintEvent(QPaintEvent* /*event*/) {
    AttachEdit();
    QPainter painter(this);
    const QRect client = rect();
    const bool enabled = isEnabled();
    const QColor window = palette().color(QPalette::Active, QPalette::Base);
    const QColor face = palette().color(QPalette::Active, QPalette::Button);
    const QRect button(client.right() + 1 - ButtonWidth(), client.top(), ButtonWidth(),
                       client.height());
    // The selection field: text of the current item (the edit paints its own).
    const QRect inner = client.adjusted(1, 1, -1 - ButtonWidth(), -1);
    painter.fillRect(inner,
                     m_bReadOnly ? yav::ColorFromRef(m_clrReadOnlyBk) : (enabled ? window : face));
    if (m_edit == nullptr) {
        const QRect textRect = inner.adjusted(4, 0, 0, 0);
        const bool focused = hasFocus() && !m_bReadOnly;
        if (focused) {
            const QFontMetrics metrics(font());
            const QRect mark(
                textRect.left() - 1, textRect.top() + 1,
                std::min(metrics.horizontalAdvance(currentText()) + 2, textRect.width()),
                textRect.height() - 2);
            painter.fillRect(mark, palette().color(QPalette::Active, QPalette::Highlight));
            painter.setPen(palette().color(QPalette::Active, QPalette::HighlightedText));
        } else {
            painter.setPen(
                palette().color(enabled ? QPalette::Active : QPalette::Disabled, QPalette::Text));
        }
        painter.setFont(font());
        painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                         currentText());
    }

    // Combos of this program never sit on a control bar.
    const std::uint32_t state = ComboButtonStateWord(!enabled, false, m_hover.hovering, m_bDropped);
    CDrawButton(state, button).Draw(painter, palette(), g_fExchangePW);

    // Frame in the owner's colour, then an inner frame that hides the standard border.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(yav::ColorFromRef(m_clrFrame));
    painter.drawRect(client.adjusted(0, 0, -1, -1));
    painter.setPen(enabled ? window : face);
    const QRect second = client.adjusted(1, 1, -1 - ButtonWidth(), -1);
    painter.drawRect(second);
    painter.drawLine(second.right() + 1, client.top(), second.right() + 1, client.bottom());
}
