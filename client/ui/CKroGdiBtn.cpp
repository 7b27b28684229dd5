#include "CKroGdiBtn.h"

#include <QEvent>
#include <QPainter>
#include <QPainterPath>

#include "client/config/SkinGlobals.h"
#include "client/ui/UiFonts.h"

CKroGdiBtn::CKroGdiBtn(QWidget* parent) : yav::WindowT<QAbstractButton>(parent) {
    m_fills.normal = RGB(124, 150, 188);
    m_fills.focus = RGB(191, 217, 255);
    m_fontOwn = g_fontUI;
    yav::ConnectClickCommand(this);
}

void CKroGdiBtn::RefreshParentBack() {
    QWidget* parent = parentWidget();
    if (parent != nullptr && m_bRefreshParent) {
        parent->update(geometry());
    } else {
        update();
    }
}

void CKroGdiBtn::SetBkColor(BOOL on, COLORREF color) {
    m_fills.normalOn = on != 0;
    if (on != 0) {
        m_fills.normal = color;
    }
    RefreshParentBack();
}

void CKroGdiBtn::SetFocusColor(BOOL on, COLORREF color) {
    m_fills.focusOn = on != 0;
    if (on != 0) {
        m_fills.focus = color;
    }
    RefreshParentBack();
}

void CKroGdiBtn::SetHoverColor(BOOL on, COLORREF color) {
    m_fills.hoverOn = on != 0;
    if (on != 0) {
        m_fills.hover = color;
    }
    RefreshParentBack();
}

void CKroGdiBtn::SetTextColor(COLORREF color) {
    m_clrText = yav::ColorFromRef(color);
    RefreshParentBack();
}

void CKroGdiBtn::SetTextColors(COLORREF normal, COLORREF focused) {
    m_clrText = yav::ColorFromRef(normal);
    m_clrFocusText = yav::ColorFromRef(focused);
    RefreshParentBack();
}

void CKroGdiBtn::SetDisabledTextColor(BYTE r, BYTE g, BYTE b) {
    m_clrDisabledText = QColor(r, g, b);
    RefreshParentBack();
}

QFont CKroGdiBtn::BuildFont(int size, bool underline) const {
    // Built again from the UI font each time, so changes never add up.
    QFont built = g_fontUI;
    if (size != 0) {
        built.setPixelSize(std::abs(size));
    }
    built.setUnderline(underline);
    return built;
}

void CKroGdiBtn::SetFont(int size, int secondSize) {
    m_fontOwn = BuildFont(size, m_bUnderline);
    m_fontSecond = BuildFont(secondSize, false);
    RefreshParentBack();
}

void CKroGdiBtn::SetFontSize(int size) {
    m_fontOwn = BuildFont(size, m_bUnderline);
}

void CKroGdiBtn::SetDrawFlags(int horizontal, int vertical) {
    if (horizontal != m_nAlignH) {
        m_nAlignH = horizontal;
        RefreshParentBack();
    }
    if (vertical != m_nAlignV) {
        m_nAlignV = vertical;
        RefreshParentBack();
    }
}

void CKroGdiBtn::SetWindowTextRefresh(const QString& text) {
    if (GetWindowText() == text) {
        return;
    }
    SetWindowText(text);
    RefreshParentBack();
}

void CKroGdiBtn::SetTextInsets(int left, int top) {
    m_nTextLeft = left;
    m_nTextTop = top;
}

QFont CKroGdiBtn::CaptionFont() const {
    return m_bUnderline ? m_fontOwn : *g_pGdipFont;
}

QColor CKroGdiBtn::CaptionColor() const {
    KroGdiBtnTextState state;
    state.underline = m_bUnderline;
    state.enabled = m_bEnabled;
    state.focused = m_bFocus;
    state.hasDisabledBrush = m_clrDisabledText.has_value();
    state.hasFocusedBrush = m_clrFocusText.has_value();
    state.hasSecondFont = m_fontSecond.has_value();
    switch (KroGdiBtnTextFor(state).brush) {
        case KroGdiBtnBrush::Disabled:
            return *m_clrDisabledText;
        case KroGdiBtnBrush::Focused:
            return *m_clrFocusText;
        case KroGdiBtnBrush::Normal:
            break;
    }
    return m_clrText;
}

Qt::Alignment CKroGdiBtn::TextAlignment(int vertical) const {
    const Qt::Alignment horizontal =
        m_nAlignH == 0 ? Qt::AlignLeft : (m_nAlignH == 2 ? Qt::AlignRight : Qt::AlignHCenter);
    const Qt::Alignment across =
        vertical == 0 ? Qt::AlignTop : (vertical == 2 ? Qt::AlignBottom : Qt::AlignVCenter);
    return horizontal | across;
}

void CKroGdiBtn::DrawRoundRect(QPainter& painter, const QRectF& rect, double corner, COLORREF pen,
                               bool fill, COLORREF fillColor) {
    const double d = 2 * corner;
    QPainterPath path;
    path.arcMoveTo(QRectF(rect.left(), rect.top(), d, d), 180);
    path.arcTo(QRectF(rect.left(), rect.top(), d, d), 180, -90);
    path.arcTo(QRectF(rect.right() - d, rect.top(), d, d), 90, -90);
    path.arcTo(QRectF(rect.right() - d, rect.bottom() - d, d, d), 0, -90);
    path.arcTo(QRectF(rect.left(), rect.bottom() - d, d, d), 270, -90);
    path.closeSubpath();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(yav::ColorFromRef(pen), 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);
    if (fill) {
        painter.fillPath(path, yav::ColorFromRef(fillColor != 0 ? fillColor : pen));
    }
    painter.restore();
}

BOOL CKroGdiBtn::OnEraseBkgnd(QPainter& /*painter*/) {
    return 1;
}

void CKroGdiBtn::OnPaint(QPainter& painter) {
    DrawItem(painter);
}

void CKroGdiBtn::DrawItem(QPainter& painter) {
    if (const std::optional<COLORREF> body = KroGdiBtnBodyColor(m_fills, m_bFocus, m_bHover)) {
        DrawRoundRect(painter, QRectF(0, 0, width(), height()), 5, *body, true, *body);
    }
    const QString caption = GetWindowText().isEmpty() ? text() : GetWindowText();
    if (caption.isEmpty()) {
        return;
    }
    const QFont captionFont = CaptionFont();
    painter.setFont(captionFont);
    painter.setPen(CaptionColor());
    const QRect layout(m_nTextLeft, m_nTextTop, width() - m_nTextLeft, height());
    const QString shown =
        QFontMetrics(captionFont).elidedText(caption, Qt::ElideMiddle, std::max(layout.width(), 0));
    painter.drawText(layout, TextAlignment(m_nAlignV) | Qt::TextSingleLine, shown);
}

void CKroGdiBtn::OnSetCursor() {
    if (m_bHoverTrack && !m_bHover) {
        TrackMouseEvent(TME_HOVER | TME_LEAVE);
        m_bHover = true;
        RefreshParentBack();
    }
}

void CKroGdiBtn::OnMouseLeave() {
    if (m_bHoverTrack) {
        m_bHover = false;
        RefreshParentBack();
    }
}

void CKroGdiBtn::focusInEvent(QFocusEvent* event) {
    yav::WindowT<QAbstractButton>::focusInEvent(event);
    m_bFocus = true;
    RefreshParentBack();
}

void CKroGdiBtn::focusOutEvent(QFocusEvent* event) {
    yav::WindowT<QAbstractButton>::focusOutEvent(event);
    m_bFocus = false;
    RefreshParentBack();
}

void CKroGdiBtn::changeEvent(QEvent* event) {
    yav::WindowT<QAbstractButton>::changeEvent(event);
    if (event->type() == QEvent::EnabledChange && isEnabled() != m_bEnabled) {
        m_bEnabled = isEnabled();
        RefreshParentBack();
    }
}
