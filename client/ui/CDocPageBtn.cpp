#include "CDocPageBtn.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

#include "client/Common/MessageIds.h"
#include "client/config/SkinGlobals.h"
#include "client/ui/UiFonts.h"
#include "platform/core/Scale.h"

namespace {

const QColor kTabGround(221, 221, 221);

}  // namespace

CDocPageBtn::CDocPageBtn(QWidget* parent) : CYavPngButton(parent) {}

void CDocPageBtn::SetPageNo(int page) {
    m_nPageNo = page;
    m_bTipShown = false;
    m_nCaptionWidth = 0;
    const QString caption = GetWindowText();
    if (page != -1 && !caption.isEmpty()) {
        m_nCaptionWidth = QFontMetrics(g_fontUI).horizontalAdvance(caption);
        m_strCaption = caption;
    }
}

void CDocPageBtn::SelectIfPage(int page) {
    CYavPngButton::SetState(page == m_nPageNo ? 1 : 0);
}

void CDocPageBtn::Send(int answer) {
    if (answer != 0) {
        yav::SendMessage(parentWidget(), WM_PAGEBTN_INFO, static_cast<WPARAM>(answer),
                         static_cast<LPARAM>(m_nPageNo));
    }
}

void CDocPageBtn::mousePressEvent(QMouseEvent* event) {
    // The press is not passed on: the tab never takes the focus or the pushed look from it.
    event->accept();
    if (event->button() != Qt::LeftButton) {
        return;
    }
    Send(DocPagePressAnswer(isEnabled(), IsSelected(), g_fExchangePW, event->position().toPoint()));
}

void CDocPageBtn::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
}

void CDocPageBtn::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() == Qt::LeftButton) {
        Send(DocPageDoubleClickAnswer(isEnabled(), IsSelected()));
    }
}

DocPageLook CDocPageBtn::CurrentLook() const {
    DocPageImages images;
    images.pressed = m_pImgPressed != nullptr;
    images.hover = m_pImgHover != nullptr;
    images.disabled = m_pImgDisabled != nullptr;
    images.checkedPressed = m_pImgCheckedPressed != nullptr;
    images.checkedHover = m_pImgCheckedHover != nullptr;
    return DocPageLookFor(IsSelected(), isEnabled(), m_bHover != 0, images);
}

void CDocPageBtn::DrawItem(QPainter& painter) {
    const QRect item = GetClientRect();
    m_rcDraw = item;
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(item, kTabGround);

    const DocPageLook look = CurrentLook();
    QImage* image = m_pImgNormal;
    switch (look.image) {
        case DocPageImage::Pressed:
            image = m_pImgPressed;
            break;
        case DocPageImage::Hover:
            image = m_pImgHover;
            break;
        case DocPageImage::Disabled:
            image = m_pImgDisabled;
            break;
        case DocPageImage::CheckedPressed:
            image = m_pImgCheckedPressed;
            break;
        case DocPageImage::CheckedHover:
            image = m_pImgCheckedHover;
            break;
        case DocPageImage::Normal:
            break;
    }
    int colorIndex = 0;
    switch (look.caption) {
        case DocPageCaptionColor::Hover:
            colorIndex = 1;
            break;
        case DocPageCaptionColor::PressedOrChecked:
            colorIndex = 2;
            break;
        case DocPageCaptionColor::Disabled:
            colorIndex = 3;
            break;
        case DocPageCaptionColor::Normal:
            break;
    }
    m_nCurrentFont = colorIndex;

    if (m_nPageNo != -1 && DocPageWantsTooltip(m_bHover != 0, IsSelected(), m_nCaptionWidth)) {
        m_bTipShown = true;
        // Created once; as the button's own tooltip it goes when the mouse leaves.
        if (m_bHasTip == 0) {
            m_tip.Create();
            m_bHasTip = 1;
        }
        const QRect screen = ClientToScreen(GetClientRect());
        m_tip.Show(screen.left() + screen.width() / 3, screen.top() - 5, m_strCaption);
    }
    if (image != nullptr) {
        if (m_bAutoImageRect == 0) {
            painter.drawImage(QRectF(m_rcImage.topLeft(), QSizeF(item.size())), *image);
        } else {
            painter.drawImage(QRectF(item), *image);
        }
    }
    DrawCaption(painter, m_clrText[static_cast<std::size_t>(colorIndex)]);
}

void CDocPageBtn::DrawCaption(QPainter& painter, COLORREF color) {
    const QString caption = GetWindowText();
    if (m_bDrawCaption == 0 || caption.isEmpty()) {
        return;
    }
    QRect layout;
    if (m_bAutoTextRect == 0) {
        layout = m_rcText;
        layout.setLeft(layout.left() + 5 + m_nTextOffsetX);
    } else {
        layout = GetClientRect().translated(m_nTextOffsetX, m_nTextOffsetY);
    }
    layout.setWidth(DocPageCaptionWidth(layout.width(), IsSelected()));
    const QFont& font =
        m_bSharedFont != 0 ? g_fontUI : m_fonts[static_cast<std::size_t>(m_nCurrentFont)];
    // One line; a caption that does not fit loses its middle, like a long path.
    const QString shown =
        QFontMetrics(font).elidedText(caption, Qt::ElideMiddle, std::max(layout.width(), 0));
    painter.save();
    painter.setFont(font);
    painter.setPen(yav::ColorFromRef(color));
    const Qt::Alignment horizontal = m_byCenter == 1 ? Qt::AlignHCenter : Qt::AlignLeft;
    painter.drawText(layout, horizontal | Qt::AlignVCenter | Qt::TextSingleLine, shown);
    painter.restore();
}
