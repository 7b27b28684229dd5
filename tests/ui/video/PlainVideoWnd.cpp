#include "PlainVideoWnd.h"

#include <QPainter>

namespace layout_test {

namespace {

constexpr QRgb kEmptyColour = 0xFF202428;
constexpr QRgb kShowingColour = 0xFF000000;
constexpr QRgb kReceivingColour = 0xFF102A43;
constexpr QRgb kBorderColour = 0xFF3C4650;
constexpr QRgb kTextColour = 0xFFE8E8E8;

}  // namespace

PlainVideoWnd::PlainVideoWnd(QWidget* parent, int slot) : QWidget(parent), m_nSlot(slot) {}

void PlainVideoWnd::SetUserId(std::uint16_t wMediaId) {
    m_wUserId = wMediaId;
    if (wMediaId == 0) {
        m_strCaption.clear();
        m_pStream = nullptr;
    }
    update();
}

void PlainVideoWnd::SetMediaId(std::uint16_t wMediaId, bool) {
    m_wMediaId = wMediaId;
}

void PlainVideoWnd::SetReceiving(bool receiving) {
    m_bReceiving = receiving;
    update();
}

void PlainVideoWnd::SetVideoNameVisible(bool visible) {
    m_bNameVisible = visible;
    update();
}

void PlainVideoWnd::UpdateCaption(const QString& caption) {
    m_strCaption = caption;
    update();
}

void PlainVideoWnd::StopCycling(bool) {
    m_bReceiving = false;
    m_wMediaId = 0;
    update();
}

void PlainVideoWnd::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRgb fill = m_wUserId != 0 ? kShowingColour
                      : m_bReceiving ? kReceivingColour
                                     : kEmptyColour;
    painter.fillRect(rect(), QColor::fromRgb(fill));
    painter.setPen(QColor::fromRgb(kBorderColour));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    if (m_wUserId != 0 && m_bNameVisible && !m_strCaption.isEmpty()) {
        painter.setPen(QColor::fromRgb(kTextColour));
        painter.drawText(rect().adjusted(6, 0, -6, -4), Qt::AlignLeft | Qt::AlignBottom,
                         m_strCaption);
    }
}

}  // namespace layout_test
