#include "CDlgUserlistMsg.h"

#include <QPainter>

#include "config/ConfigManger.h"
#include "config/SkinGlobals.h"
#include "platform/core/Scale.h"
#include "platform/window/GdipText.h"
#include "ui/UiFonts.h"

namespace {

constexpr int kMinimalSide = 10;
constexpr int kMarginWidth = 30;
constexpr int kMarginHeight = 20;

}  // namespace

CDlgUserlistMsg::CDlgUserlistMsg(QWidget* parent) : yav::Dialog(IDD, parent) {
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                   Qt::WindowDoesNotAcceptFocus);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TranslucentBackground);
}

BOOL CDlgUserlistMsg::OnInitDialog() {
    yav::Dialog::OnInitDialog();
    m_font = g_fontUI;
    m_font.setFamilies({QStringLiteral("Microsoft YaHei"), QStringLiteral("WenQuanYi Micro Hei"),
                        QStringLiteral("sans-serif")});
    m_font.setPixelSize(std::max(1, yav::Scaled(12)));
    m_font.setWeight(QFont::Normal);
    resize(kMinimalSide, kMinimalSide);
    if (m_nBkImageId != 0) {
        m_pImage = g_ConfigManager.LoadPNG(m_nBkImageId);
    }
    return 1;
}

void CDlgUserlistMsg::PlaceAround(int x, int y, int width, int height) {
    const QSizeF text = yav::gdip::MeasureString(m_strText, m_font);
    const int textWidth = static_cast<int>(text.width()) + yav::Scaled(kMarginWidth);
    const int textHeight = static_cast<int>(text.height()) + yav::Scaled(kMarginHeight);
    if (textWidth > width) {
        x -= (textWidth - width) / 2;
        width = textWidth;
    }
    if (textHeight > height) {
        y -= (textHeight - height) / 2;
        height = textHeight;
    }
    MoveWindow(x, y, width, height);
}

void CDlgUserlistMsg::ShowBubble(bool show) {
    if (m_pImage == nullptr && m_nBkImageId != 0) {
        m_pImage = g_ConfigManager.LoadPNG(m_nBkImageId);
    }
    QImage picture(size(), QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    {
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        if (m_pImage != nullptr) {
            painter.drawImage(QRect(QPoint(0, 0), size()), *m_pImage);
        }
        yav::gdip::StringFormat format;
        format.align = yav::gdip::Align::Center;
        format.lineAlign = yav::gdip::Align::Center;
        format.lineLimit = true;
        format.trimming = yav::gdip::Trimming::EllipsisCharacter;
        const QColor color =
            m_clrText == kWhiteText ? QColor(255, 255, 255) : yav::ColorFromRef(m_clrText);
        yav::gdip::DrawString(painter, m_strText, m_font, QRectF(picture.rect()), format, color);
    }
    UpdateLayeredWindow(picture, static_cast<BYTE>(m_nAlpha));
    if (show) {
        yav::Dialog::ShowWindow(SW_SHOWNOACTIVATE);
    }
    SetTimer(kHideTimer, kShowMs);
}

void CDlgUserlistMsg::OnTimer(UINT id) {
    if (id != kHideTimer) {
        yav::Dialog::OnTimer(id);
        return;
    }
    KillTimer(kHideTimer);
    resize(kMinimalSide, kMinimalSide);
    yav::Dialog::ShowWindow(SW_HIDE);
}

void CDlgUserlistMsg::OnSize(int cx, int cy) {
    yav::Dialog::OnSize(cx, cy);
    if (m_pImage != nullptr && IsWindowVisible() && cx > kMinimalSide) {
        ShowBubble(true);
    }
}
