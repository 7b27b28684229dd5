#include "CXEBmpButton.h"

#include <QBitmap>
#include <QFontMetrics>
#include <QPainter>

#include "SkinGlobals.h"
#include "UiFonts.h"

namespace {

// The colour that is see-through in bitmaps without an alpha channel.
const QRgb kTransparentKey = qRgb(255, 74, 255);
constexpr int kCaptionIndent = 5;

}  // namespace

CXEBmpButton::CXEBmpButton(BOOL shapeToBitmap, QWidget* parent)
    : yav::WindowT<QAbstractButton>(parent),
      m_clrText{RGB(0, 0, 0), RGB(255, 255, 255), RGB(255, 255, 255), RGB(109, 109, 109)},
      m_fonts{g_fontUI, g_fontUI, g_fontUI, g_fontUI},
      m_bShapeToBitmap(shapeToBitmap) {
    yav::ConnectClickCommand(this);
}

void CXEBmpButton::SetBitmaps(const QPixmap& normal, const QPixmap& pressed, const QPixmap& hover,
                              const QPixmap& checkedNormal, const QPixmap& checkedPressed,
                              const QPixmap& checkedHover, const QPixmap& disabled) {
    m_bitmaps = {normal, pressed, hover, checkedNormal, checkedPressed, checkedHover, disabled};
    ApplyShape();
    update();
}

void CXEBmpButton::SetCheck(BOOL checked) {
    m_bChecked = checked;
    update();
}

void CXEBmpButton::SetShowText(BOOL show) {
    m_bDrawCaption = show;
    update();
}

void CXEBmpButton::SetTextColors(COLORREF normal, COLORREF hover, COLORREF pressed,
                                 COLORREF disabled) {
    m_clrText = {normal, hover, pressed, disabled};
}

const QPixmap* CXEBmpButton::Bitmap(Slot slot) const {
    const QPixmap& pixmap = m_bitmaps[static_cast<size_t>(slot)];
    return pixmap.isNull() ? nullptr : &pixmap;
}

const QPixmap* CXEBmpButton::ChooseBitmap() const {
    const bool checked = m_bChecked != 0;
    if (isDown()) {
        if (checked && Bitmap(kCheckedPressed) != nullptr) {
            return Bitmap(kCheckedPressed);
        }
        return Bitmap(kPressed) != nullptr ? Bitmap(kPressed) : Bitmap(kNormal);
    }
    if (!isEnabled()) {
        return Bitmap(kDisabled) != nullptr ? Bitmap(kDisabled) : Bitmap(kNormal);
    }
    if (m_bHover != 0) {
        if (checked && Bitmap(kCheckedHover) != nullptr) {
            return Bitmap(kCheckedHover);
        }
        return Bitmap(kHover) != nullptr ? Bitmap(kHover) : Bitmap(kNormal);
    }
    if (checked && Bitmap(kCheckedNormal) != nullptr) {
        return Bitmap(kCheckedNormal);
    }
    return Bitmap(kNormal);
}

COLORREF CXEBmpButton::ChooseTextColor() const {
    if (isDown()) {
        return m_clrText[2];
    }
    if (!isEnabled()) {
        return m_clrText[3];
    }
    return m_bHover != 0 ? m_clrText[1] : m_clrText[0];
}

void CXEBmpButton::paintEvent(QPaintEvent* /*event*/) {
    const QRect client = GetClientRect();
    // Everything is composed off-screen and copied in one step.
    QPixmap memory(client.size());
    memory.fill(Qt::transparent);
    {
        QPainter painter(&memory);
        const int stateIndex = isDown() ? 2 : !isEnabled() ? 3 : m_bHover != 0 ? 1 : 0;
        if (const QPixmap* bitmap = ChooseBitmap()) {
            painter.setBrushOrigin(0, 0);
            painter.fillRect(client, QBrush(*bitmap));
        }
        const QString text = GetWindowText();
        if (m_bDrawCaption != 0 && !text.isEmpty()) {
            const QFont& font =
                m_bSharedFont != 0 ? g_fontUI : m_fonts[static_cast<size_t>(stateIndex)];
            painter.setFont(font);
            painter.setPen(yav::ColorFromRef(ChooseTextColor()));
            if (m_bCenterVertically != 0) {
                m_rcText = client;
                const QRect needed = QFontMetrics(font).boundingRect(
                    client, Qt::AlignHCenter | Qt::TextWordWrap, text);
                m_rcText.setTop((client.height() - needed.height()) / 2);
            }
            if (m_byCaptionFormat != 0) {
                // Centred (or as the format says), wrapped at words.
                const Qt::Alignment align = (m_byCaptionFormat & 0x1) != 0   ? Qt::AlignHCenter
                                            : (m_byCaptionFormat & 0x2) != 0 ? Qt::AlignRight
                                                                             : Qt::AlignLeft;
                painter.drawText(m_rcText,
                                 static_cast<int>(align | Qt::AlignTop) | Qt::TextWordWrap, text);
            } else {
                QRect line = m_rcText;
                line.setLeft(line.left() + kCaptionIndent);
                const QString elided =
                    QFontMetrics(font).elidedText(text, Qt::ElideRight, line.width());
                painter.drawText(line, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, elided);
            }
        }
    }
    QPainter screen(this);
    screen.drawPixmap(0, 0, memory);
}

void CXEBmpButton::OnSize(int /*cx*/, int /*cy*/) {
    if (m_bShapeToBitmap != 0 && Bitmap(kNormal) != nullptr) {
        ApplyShape();
    }
}

void CXEBmpButton::ApplyShape() {
    const QPixmap* normal = Bitmap(kNormal);
    if (m_bShapeToBitmap == 0 || normal == nullptr) {
        return;
    }
    if (size() != normal->size()) {
        resize(normal->size());
    }
    // Bitmaps with alpha lose their fully transparent pixels, others the key colour.
    const QImage image = normal->toImage().convertToFormat(QImage::Format_ARGB32);
    const bool hasAlpha = normal->hasAlphaChannel();
    QImage visible(image.size(), QImage::Format_Mono);
    visible.setColor(0, qRgb(255, 255, 255));
    visible.setColor(1, qRgb(0, 0, 0));
    visible.fill(1);
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const bool seeThrough = hasAlpha ? qAlpha(line[x]) == 0
                                             : (line[x] & 0xFFFFFF) == (kTransparentKey & 0xFFFFFF);
            if (seeThrough) {
                visible.setPixel(x, y, 0);
            }
        }
    }
    setMask(QBitmap::fromImage(visible));
}

void CXEBmpButton::OnSetCursor() {
    if (m_bHover != 0) {
        return;
    }
    TrackMouseEvent(TME_HOVER | TME_LEAVE, HOVER_DEFAULT);
    m_bHover = 1;
    Invalidate();
}

void CXEBmpButton::OnMouseLeave() {
    m_bHover = 0;
    Invalidate();
}
