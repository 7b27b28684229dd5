#include "CYavPngButton.h"

#include <QPainter>

#include <algorithm>
#include <initializer_list>

#include "ConfigManger.h"
#include "SkinGlobals.h"
#include "UiFonts.h"
#include "client/Common/MessageIds.h"
#include "platform/core/Scale.h"
#include "platform/window/GdipText.h"

namespace {

// The settings window's page tabs repaint only themselves.
constexpr std::initializer_list<int> kSelfRedrawIds = {1167, 1169, 1170, 1171, 1172, 1173};
// Buttons that keep the size the layout gives them (the control bar's title-bar buttons).
constexpr std::initializer_list<int> kExactSizeIds = {1035, 1036, 1039, 1040, 1041,
                                                      1043, 1051, 1251, 1305};
// Buttons that draw over their whole rectangle even when grown.
constexpr std::initializer_list<int> kFullDrawIds = {1035, 1036, 1039, 1040,
                                                     1041, 1051, 1251, 1305};
// The button whose background colour is fully transparent.
constexpr int kTransparentFillId = 1244;
constexpr int kGrowth = 5;

bool IsIn(std::initializer_list<int> ids, int id) {
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

QImage* LoadScaled(UINT id, QImage* current) {
    return id != 0 ? g_ConfigManager.LoadPNGScaled(id) : current;
}

}  // namespace

CYavPngButton::CYavPngButton(QWidget* parent)
    : yav::WindowT<QAbstractButton>(parent),
      // The system's button text, highlight and grey text colours.
      m_clrText{RGB(0, 0, 0), RGB(255, 255, 255), RGB(255, 255, 255), RGB(109, 109, 109)},
      m_fonts{g_fontUI, g_fontUI, g_fontUI, g_fontUI} {
    yav::ConnectClickCommand(this);
}

CYavPngButton::~CYavPngButton() = default;

void CYavPngButton::LoadImages(UINT normal, UINT pressed, UINT hover, UINT disabled,
                               UINT checkedNormal, UINT checkedPressed, UINT checkedHover) {
    m_pImgNormal = LoadScaled(normal, m_pImgNormal);
    m_pImgPressed = LoadScaled(pressed, m_pImgPressed);
    m_pImgHover = LoadScaled(hover, m_pImgHover);
    m_pImgDisabled = LoadScaled(disabled, m_pImgDisabled);
    m_pImgCheckedNormal = LoadScaled(checkedNormal, m_pImgCheckedNormal);
    m_pImgCheckedPressed = LoadScaled(checkedPressed, m_pImgCheckedPressed);
    m_pImgCheckedHover = LoadScaled(checkedHover, m_pImgCheckedHover);
    m_bHover = 0;
}

void CYavPngButton::SetImages(QImage* normal, QImage* pressed, QImage* hover, QImage* disabled,
                              QImage* checkedNormal, QImage* checkedPressed, QImage* checkedHover) {
    m_pImgNormal = normal;
    m_pImgPressed = pressed;
    m_pImgHover = hover;
    m_pImgDisabled = disabled;
    m_pImgCheckedNormal = checkedNormal;
    m_pImgCheckedPressed = checkedPressed;
    m_pImgCheckedHover = checkedHover;
    m_bHover = 0;
}

void CYavPngButton::SetState(std::uint32_t state) {
    if (state == m_nState) {
        return;
    }
    m_nState = state;
    RedrawInParent();
}

void CYavPngButton::SetWindowText(const QString& text) {
    yav::WindowT<QAbstractButton>::SetWindowText(text);
    RedrawInParent();
}

BOOL CYavPngButton::EnableWindow(BOOL enable) {
    const BOOL wasDisabled = yav::WindowT<QAbstractButton>::EnableWindow(enable);
    RedrawInParent();
    return wasDisabled;
}

void CYavPngButton::SetTextColors(COLORREF normal, COLORREF hover, COLORREF pressed,
                                  COLORREF disabled) {
    m_clrText = {normal, hover, pressed, disabled};
}

void CYavPngButton::SetFonts(const QFont& normal, const QFont& hover, const QFont& pressed,
                             const QFont& disabled) {
    m_fonts = {normal, hover, pressed, disabled};
    m_bSharedFont = 0;
}

void CYavPngButton::SetTextStyle(BOOL drawCaption, BYTE centred) {
    m_bDrawCaption = drawCaption;
    m_byCenter = centred;
}

void CYavPngButton::SetTextPos(int x, int y) {
    m_nTextOffsetX = x;
    m_nTextOffsetY = y;
    m_bDrawCaption = 1;
}

void CYavPngButton::SetTextRect(const QRect& rect) {
    m_rcText = rect;
    m_bAutoTextRect = 0;
    m_bDrawCaption = 1;
}

void CYavPngButton::SetImageRect(const QRect& rect) {
    m_rcImage = rect;
    m_bAutoImageRect = 0;
}

void CYavPngButton::SetTooltip(const QString& text, BYTE flag) {
    if (m_bHasTip == 0) {
        m_tip.Create();
        m_bHasTip = 1;
    }
    m_strTip = text;
    m_byTipFlag = flag;
}

void CYavPngButton::RedrawInParent() {
    if (IsIn(kSelfRedrawIds, GetDlgCtrlID())) {
        Invalidate();
        return;
    }
    if (parentWidget() != nullptr) {
        parentWidget()->update(geometry());
    }
}

void CYavPngButton::MoveWindow(int x, int y, int cx, int cy, BOOL repaint) {
    if (IsIn(kExactSizeIds, GetDlgCtrlID())) {
        yav::WindowT<QAbstractButton>::MoveWindow(x, y, cx, cy, repaint);
        return;
    }
    m_bGrown = 1;
    const int growth = yav::Scaled(kGrowth);
    const int extra = yav::Scaled(2 * kGrowth);
    yav::WindowT<QAbstractButton>::MoveWindow(x - growth, y - growth, cx + extra, cy + extra,
                                              repaint);
}

void CYavPngButton::MoveWindow(const QRect& rect, BOOL /*repaint*/) {
    yav::WindowT<QAbstractButton>::MoveWindow(rect, 1);
}

void CYavPngButton::MoveScaled(int x, int y, int cx, int cy) {
    MoveWindow(yav::Scaled(x), yav::Scaled(y), yav::Scaled(cx), yav::Scaled(cy));
}

CYavPngButton::PaintChoice CYavPngButton::ChoosePaint() const {
    const bool checked = m_nState != 0;
    PaintChoice choice;
    if (isDown()) {
        choice.image =
            checked && m_pImgCheckedPressed != nullptr ? m_pImgCheckedPressed : m_pImgPressed;
        choice.textColor = m_clrText[2];
        choice.fontIndex = 2;
    } else if (!isEnabled()) {
        if (checked && m_pImgCheckedPressed != nullptr) {
            choice.image = m_pImgCheckedDisabled != nullptr ? m_pImgCheckedDisabled : m_pImgNormal;
        } else {
            choice.image = m_pImgDisabled != nullptr ? m_pImgDisabled : m_pImgNormal;
        }
        choice.textColor = m_clrText[3];
        choice.fontIndex = 3;
    } else if (m_bHover != 0) {
        if (checked && m_pImgCheckedHover != nullptr) {
            choice.image = m_pImgCheckedHover;
            choice.textColor = m_clrText[2];
        } else {
            choice.image = m_pImgHover != nullptr ? m_pImgHover : m_pImgNormal;
            choice.textColor = m_clrText[1];
        }
        choice.fontIndex = 1;
    } else {
        if (checked && m_pImgCheckedNormal != nullptr) {
            choice.image = m_pImgCheckedNormal;
            choice.textColor = m_clrText[2];
        } else {
            choice.image = m_pImgNormal;
            choice.textColor = m_clrText[0];
        }
        choice.fontIndex = 0;
    }
    return choice;
}

void CYavPngButton::FillBackground(QPainter& painter, const QRect& itemRect) const {
    if (m_clrBk == kNoBackground) {
        return;
    }
    // The fill of button 1244 is fully transparent: it changes no pixel.
    const QColor color =
        GetDlgCtrlID() == kTransparentFillId ? QColor(0, 0, 0, 0) : yav::ColorFromRef(m_clrBk);
    if (m_bGrown != 0) {
        const double inset = 5 * g_fExchangePW;
        painter.fillRect(QRect(static_cast<int>(itemRect.left() + inset),
                               static_cast<int>(itemRect.top() + inset),
                               static_cast<int>(itemRect.width() - 2 * inset),
                               static_cast<int>(itemRect.height() - 2 * inset)),
                         color);
    } else {
        painter.fillRect(QRectF(itemRect.left() - 1, itemRect.top() - 1, itemRect.width() + 1,
                                itemRect.height() + 1),
                         color);
    }
}

BOOL CYavPngButton::OnEraseBkgnd(QPainter& painter) {
    FillBackground(painter, GetClientRect());
    return 1;
}

void CYavPngButton::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    OnEraseBkgnd(painter);
    DrawItem(painter);
}

void CYavPngButton::DrawItem(QPainter& painter) {
    const QRect item = GetClientRect();
    const int inset = yav::Scaled(kGrowth);
    m_rcDraw = m_bGrown != 0 && !IsIn(kFullDrawIds, GetDlgCtrlID())
                   ? item.adjusted(inset, inset, -inset, -inset)
                   : item;
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    FillBackground(painter, item);

    const PaintChoice choice = ChoosePaint();
    m_nCurrentFont = choice.fontIndex;
    if (m_bHover != 0 && m_bHasTip != 0) {
        const QRect screen = ClientToScreen(GetClientRect());
        m_tip.Show(screen.left() + screen.width(), screen.top() - 5, m_strTip);
    }
    if (choice.image != nullptr) {
        if (m_bAutoImageRect == 0) {
            painter.drawImage(QRectF(m_rcImage), *choice.image);
        } else {
            if (m_byImageBk != 0) {
                painter.fillRect(m_rcDraw, Qt::white);
            }
            painter.drawImage(QRectF(m_rcDraw), *choice.image);
        }
    }
    DrawCaption(painter, choice.textColor);
}

QRect CYavPngButton::GetCaptionRect() const {
    QRect rect;
    if (m_bAutoTextRect != 0) {
        rect = m_rcDraw;
        rect.setLeft(rect.left() + yav::Scaled(m_nTextOffsetX));
        rect.setTop(rect.top() + yav::Scaled(m_nTextOffsetY));
    } else {
        // A fixed rectangle starts 8 px in and 1 px down; the offset y does not apply.
        rect = m_rcText;
        rect.setLeft(rect.left() + yav::Scaled(m_nTextOffsetX + 8));
        rect.setTop(rect.top() + yav::Scaled(1));
    }
    return rect;
}

yav::gdip::StringFormat CYavPngButton::CaptionFormat() const {
    yav::gdip::StringFormat format;
    format.noWrap = true;
    format.lineLimit = true;
    format.trimming = yav::gdip::Trimming::EllipsisWord;
    format.lineAlign = yav::gdip::Align::Center;
    format.align = m_byCenter == 1 ? yav::gdip::Align::Center : yav::gdip::Align::Near;
    return format;
}

const QFont& CYavPngButton::CaptionFont() const {
    return m_bSharedFont != 0 ? g_fontUI : m_fonts[static_cast<size_t>(m_nCurrentFont)];
}

std::vector<yav::gdip::LaidOutLine> CYavPngButton::GetCaptionLayout() const {
    return yav::gdip::LayoutString(GetWindowText(), CaptionFont(), QRectF(GetCaptionRect()),
                                   CaptionFormat());
}

void CYavPngButton::DrawCaption(QPainter& painter, COLORREF color) {
    const QString text = GetWindowText();
    if (m_bDrawCaption == 0 || text.isEmpty()) {
        return;
    }
    yav::gdip::DrawString(painter, text, CaptionFont(), QRectF(GetCaptionRect()), CaptionFormat(),
                          yav::ColorFromRef(color));
}

void CYavPngButton::OnSetCursor() {
    if (m_bHover != 0) {
        return;
    }
    TrackMouseEvent(TME_HOVER | TME_LEAVE, HOVER_DEFAULT);
    m_bHover = 1;
    RedrawInParent();
}

void CYavPngButton::OnMouseHover() {
    if (m_bHoverNotify != 0) {
        yav::SendMessage(parentWidget(), WM_SKINBTN_HOVER, static_cast<WPARAM>(GetDlgCtrlID()), 0);
    }
}

void CYavPngButton::OnMouseLeave() {
    m_bHover = 0;
    if (m_bHasTip != 0) {
        m_tip.Hide();
    }
    if (IsWindow()) {
        RedrawInParent();
    }
}
