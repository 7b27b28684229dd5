#include "CHeaderCtrlCl.h"

#include <QPainter>

#include "client/config/SkinGlobals.h"
#include "client/ui/ListHeaderLook.h"

CHeaderCtrlCl::CHeaderCtrlCl(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
    setSectionsClickable(false);
    setHighlightSections(false);
}

QSize CHeaderCtrlCl::sizeHint() const {
    QSize size = QHeaderView::sizeHint();
    size.setHeight(HeaderScaledHeight(size.height(), m_fHeight));
    return size;
}

void CHeaderCtrlCl::FillGradient(QPainter* painter, const QRect& rect) const {
    // One-pixel rows from the top to the bottom inclusive, each from left + 1 to the right.
    for (int row = 0; rect.top() + row <= rect.bottom(); ++row) {
        painter->fillRect(QRect(rect.left() + 1, rect.top() + row, rect.width() - 1, 1),
                          HeaderGradientRowColor(m_R, m_G, m_B, m_Gradient, row));
    }
}

void CHeaderCtrlCl::paintEvent(QPaintEvent* event) {
    QHeaderView::paintEvent(event);
    // The part right of the last section gets the same gradient (over the style's empty area).
    const int used = length() - offset();
    if (used < viewport()->width()) {
        QPainter painter(viewport());
        FillGradient(&painter,
                     QRect(used + 1, 0, viewport()->width() - used - 1, viewport()->height()));
    }
}

void CHeaderCtrlCl::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    painter->save();
    FillGradient(painter, rect);
    QFont font(QStringLiteral("宋体"));
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"), this->font().family()});
    font.setPixelSize(std::max(m_fontHeight, 1));
    painter->setFont(font);
    painter->setPen(yav::ColorFromRef(m_color));
    const char code = logicalIndex < m_Format.size() ? m_Format.at(logicalIndex).toLatin1() : '1';
    QRect textRect = rect;
    if (code == '0') {
        textRect.setLeft(textRect.left() + 3);
    } else if (code == '2') {
        textRect.setRight(textRect.right() - 3);
    }
    const QString heading = logicalIndex < m_HChar.size() ? m_HChar.at(logicalIndex) : QString();
    painter->drawText(textRect, ListAlignmentForCode(code) | Qt::AlignVCenter | Qt::TextSingleLine,
                      heading);
    painter->restore();
}
