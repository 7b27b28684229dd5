#include "CEditXP.h"

#include <QPainter>

#include "client/config/SkinGlobals.h"
#include "client/ui/EditKeyFilter.h"
#include "client/ui/UiFonts.h"
#include "platform/core/Scale.h"

namespace {

constexpr QRgb kHintColor = 0x999999;
// Room for the two frame lines inside the edit.
constexpr int kFrameMargin = 2;

}  // namespace

CEditXP::CEditXP(QWidget* parent) : yav::WindowT<QLineEdit>(parent) {}

void CEditXP::SetHintText(const QString& text) {
    if (text.isEmpty()) {
        return;
    }
    if (!m_bCustomFrame) {
        m_bCustomFrame = true;
        setFrame(false);
        setTextMargins(kFrameMargin, kFrameMargin, kFrameMargin, kFrameMargin);
    }
    m_strHint = text;
    update();
}

void CEditXP::SetFrameColor(COLORREF color) {
    m_clrFrame = color;
    update();
}

BOOL CEditXP::PreTranslateMessage(yav::Msg* msg) {
    if (ReadOnlyEditDropsMessage(isReadOnly(), msg->message, msg->wParam, msg->modifiers)) {
        return 1;
    }
    return yav::WindowT<QLineEdit>::PreTranslateMessage(msg);
}

void CEditXP::enterEvent(QEnterEvent* event) {
    if (!m_bHover) {
        m_bHover = true;
        update();
    }
    yav::WindowT<QLineEdit>::enterEvent(event);
}

void CEditXP::leaveEvent(QEvent* event) {
    if (m_bHover) {
        m_bHover = false;
        update();
    }
    yav::WindowT<QLineEdit>::leaveEvent(event);
}

void CEditXP::paintEvent(QPaintEvent* event) {
    yav::WindowT<QLineEdit>::paintEvent(event);
    if (!m_bCustomFrame) {
        return;
    }
    QPainter painter(this);
    const QRect client = rect();
    const QColor frame = m_clrFrame == 0 ? palette().color(QPalette::Active, QPalette::Mid)
                                         : yav::ColorFromRef(m_clrFrame);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(frame);
    painter.drawRect(client.adjusted(0, 0, -1, -1));
    if (text().isEmpty()) {
        QFont hintFont = g_fontUI;
        QStringList faces{QStringLiteral("宋体"), QStringLiteral("SimSun")};
        faces.append(g_fontUI.families());
        hintFont.setFamilies(faces);
        painter.setFont(hintFont);
        painter.setPen(QColor::fromRgb(kHintColor));
        const double scale = g_fExchangePW;
        const QRectF layout(2 * scale, 2 * scale, client.width() - 2 * scale, 20 * scale);
        const QString shown = QFontMetrics(hintFont).elidedText(m_strHint, Qt::ElideRight,
                                                                static_cast<int>(layout.width()));
        painter.drawText(layout, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, shown);
    }
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled,
                                   isEnabled() ? QPalette::Base : QPalette::Button));
    painter.drawRect(client.adjusted(1, 1, -2, -2));
}
