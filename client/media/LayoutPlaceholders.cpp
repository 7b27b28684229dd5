#include "LayoutPlaceholders.h"

#include <QPainter>

namespace yav::layout {

namespace {

constexpr QRgb kEmptyColour = 0xFF202428;
constexpr QRgb kBorderColour = 0xFF3C4650;

}  // namespace

PanePlaceholder::PanePlaceholder(QWidget* parent, int rectIndex)
    : QWidget(parent), m_nRectIndex(rectIndex) {}

void PanePlaceholder::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor::fromRgb(kEmptyColour));
    painter.setPen(QColor::fromRgb(kBorderColour));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace yav::layout
