#include "CTransparentStatic.h"

#include <QFontMetricsF>
#include <QPainter>

#include "SkinGlobals.h"
#include "UiFonts.h"
#include "platform/window/GdipText.h"

namespace {

// A font size moved away from zero by delta, as the label's size steps are meant.
int MoveAwayFromZero(int size, int delta) {
    return size < 1 ? size - delta : size + delta;
}

QFont UiFontWithSize(int delta) {
    QFont font = g_fontUI;
    if (font.pixelSize() > 0) {
        font.setPixelSize(MoveAwayFromZero(font.pixelSize(), delta));
    } else {
        font.setPointSizeF(font.pointSizeF() + delta);
    }
    return font;
}

}  // namespace

// Mouse presses on a label are left to the parent (a dialog is dragged by any point of its
// labels too): the label does not accept them.
CTransparentStatic::CTransparentStatic(QWidget* parent) : yav::Window(parent), m_font(g_fontUI) {}

void CTransparentStatic::SetFontSizeDelta(int delta) {
    m_font = UiFontWithSize(delta);
    update();
}

void CTransparentStatic::SetFontBold() {
    m_font = UiFontWithSize(1);
    m_font.setWeight(QFont::DemiBold);
    update();
}

int CTransparentStatic::GetTextWidth() const {
    return static_cast<int>(QFontMetricsF(m_font).horizontalAdvance(GetWindowText()) + 1);
}

Qt::Alignment CTransparentStatic::GetHorizontalAlign() const {
    if (m_bAlignLeft != 0) {
        return Qt::AlignLeft;
    }
    return m_bAlignCenter != 0 ? Qt::AlignHCenter : Qt::AlignRight;
}

LRESULT CTransparentStatic::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = yav::Window::WindowProc(message, wParam, lParam);
    if (message == WM_SETTEXT && parentWidget() != nullptr) {
        // The parent repaints under the label first, then the label over it.
        parentWidget()->update(geometry());
        if (parentWidget()->isVisible()) {
            parentWidget()->repaint(geometry());
        }
    }
    return result;
}

BOOL CTransparentStatic::OnEraseBkgnd(QPainter& /*painter*/) {
    // The parent has already painted the area under the label (Qt paints a window's
    // background before its children), so there is nothing to clear here.
    return 1;
}

yav::gdip::StringFormat CTransparentStatic::TextFormat() const {
    yav::gdip::StringFormat format;
    const Qt::Alignment align = GetHorizontalAlign();
    format.align = align == Qt::AlignLeft      ? yav::gdip::Align::Near
                   : align == Qt::AlignHCenter ? yav::gdip::Align::Center
                                               : yav::gdip::Align::Far;
    format.lineAlign = m_nLineAlign == 1   ? yav::gdip::Align::Center
                       : m_nLineAlign == 2 ? yav::gdip::Align::Far
                                           : yav::gdip::Align::Near;
    format.lineLimit = true;
    format.trimming = yav::gdip::Trimming::EllipsisCharacter;
    return format;
}

std::vector<yav::gdip::LaidOutLine> CTransparentStatic::GetTextLayout() const {
    return yav::gdip::LayoutString(GetWindowText(), m_font, QRectF(GetClientRect()), TextFormat());
}

void CTransparentStatic::OnPaint(QPainter& painter) {
    painter.setRenderHint(QPainter::TextAntialiasing);
    yav::gdip::DrawString(painter, GetWindowText(), m_font, QRectF(GetClientRect()), TextFormat(),
                          yav::ColorFromRef(m_clrText));
}
