#include "LayoutPlaceholders.h"

#include <QPainter>

namespace yav::layout {

namespace {

constexpr QRgb kEmptyColour = 0xFF202428;
constexpr QRgb kShowingColour = 0xFF000000;
constexpr QRgb kReceivingColour = 0xFF102A43;
constexpr QRgb kBorderColour = 0xFF3C4650;
constexpr QRgb kTextColour = 0xFFE8E8E8;

}  // namespace

PlaceholderVideoWnd::PlaceholderVideoWnd(QWidget* parent, int slot)
    : QWidget(parent), m_nSlot(slot) {}

void PlaceholderVideoWnd::SetUserId(std::uint16_t wMediaId) {
    m_wUserId = wMediaId;
    if (wMediaId == 0) {
        m_strCaption.clear();
        m_pStream = nullptr;
    }
    update();
}

void PlaceholderVideoWnd::SetMediaId(std::uint16_t wMediaId, bool) {
    m_wMediaId = wMediaId;
}

void PlaceholderVideoWnd::SetReceiving(bool receiving) {
    m_bReceiving = receiving;
    update();
}

void PlaceholderVideoWnd::SetVideoNameVisible(bool visible) {
    m_bNameVisible = visible;
    update();
}

void PlaceholderVideoWnd::UpdateCaption(const QString& caption) {
    m_strCaption = caption;
    update();
}

void PlaceholderVideoWnd::StopCycling(bool) {
    m_bReceiving = false;
    m_wMediaId = 0;
    update();
}

void PlaceholderVideoWnd::paintEvent(QPaintEvent*) {
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

PanePlaceholder::PanePlaceholder(QWidget* parent, int rectIndex)
    : QWidget(parent), m_nRectIndex(rectIndex) {}

void PanePlaceholder::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor::fromRgb(kEmptyColour));
    painter.setPen(QColor::fromRgb(kBorderColour));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace yav::layout
