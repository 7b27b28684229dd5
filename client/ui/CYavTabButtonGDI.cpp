#include "CYavTabButtonGDI.h"

#include <QPainter>

#include "client/config/ConfigManger.h"
#include "client/ui/UiFonts.h"
#include "platform/core/Scale.h"

namespace {

const QColor kSelectedBar(57, 138, 241);

}  // namespace

CYavTabButtonGDI::CYavTabButtonGDI(QWidget* parent) : CKroGdiBtn(parent) {}

void CYavTabButtonGDI::Select() {
    m_bSelected = true;
    m_bMarked = false;
    RefreshParentBack();
}

void CYavTabButtonGDI::Unselect() {
    m_bSelected = false;
    RefreshParentBack();
}

void CYavTabButtonGDI::SetMark() {
    if (m_bSelected) {
        return;
    }
    m_bMarked = true;
    RefreshParentBack();
}

void CYavTabButtonGDI::DrawItem(QPainter& painter) {
    if (m_bSelected) {
        painter.fillRect(TabButtonBarRect(size(), g_fExchangePW), kSelectedBar);
    }
    const QString caption = GetWindowText().isEmpty() ? text() : GetWindowText();
    const QFont& captionFont = *g_pGdipFont;
    const QRect layout(TextLeft(), 0, width() - TextLeft(), height());
    if (!caption.isEmpty()) {
        painter.setFont(captionFont);
        painter.setPen(m_bSelected && HasFocusedBrushAndSecondFont() ? FocusedTextColor()
                                                                     : NormalTextColor());
        const QString shown = QFontMetrics(captionFont)
                                  .elidedText(caption, Qt::ElideRight, std::max(layout.width(), 0));
        painter.drawText(
            layout,
            (TextAlignment(1) & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter | Qt::TextSingleLine,
            shown);
    }
    if (!m_bSelected && m_bMarked) {
        if (!m_bMarkLoaded) {
            m_bMarkLoaded = true;
            m_pMark = g_ConfigManager.LoadPNG(kImageMark);
        }
        if (m_pMark != nullptr) {
            const int textWidth = QFontMetrics(captionFont).horizontalAdvance(caption);
            painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
            painter.drawImage(TabButtonMarkRect(size(), textWidth, g_fExchangePW), *m_pMark);
        }
    }
}
