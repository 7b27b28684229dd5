#include "CDlgUserName.h"

#include <QPainter>

#include "VideoGeometry.h"
#include "client/ui/UiFonts.h"
#include "platform/core/Scale.h"
#include "platform/window/Scaled.h"

CDlgUserName::CDlgUserName(QWidget* parent) : yav::Dialog(IDD, parent, Style::Child) {
    // The mouse goes to the video window below.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
}

BOOL CDlgUserName::OnInitDialog() {
    yav::Dialog::OnInitDialog();
    MoveWindow(0, yav::Scaled(70), yav::Scaled(kWidth), yav::Scaled(kHeight));
    m_font = g_fontUI;
    const double s = g_fExchangePW;
    m_font.setPixelSize(std::max(1, static_cast<int>(12 + 4 * s * s)));
    return 1;
}

void CDlgUserName::SetColor(COLORREF colour) {
    const video_geometry::Rgb rgb = video_geometry::SplitColorRef(colour);
    m_nRed = rgb.red;
    m_nGreen = rgb.green;
    m_nBlue = rgb.blue;
    Redraw();
}

void CDlgUserName::Redraw() {
    // An empty text keeps what was drawn before.
    if (m_strText.isEmpty()) {
        return;
    }
    m_strShown = m_strText;
    update();
}

BOOL CDlgUserName::OnEraseBkgnd(QPainter& /*painter*/) {
    // Nothing: the picture below shows through.
    return 1;
}

void CDlgUserName::OnPaint(QPainter& painter) {
    if (m_strShown.isEmpty()) {
        return;
    }
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(m_font);
    painter.setPen(QColor(m_nRed, m_nGreen, m_nBlue, 255));
    const int left = yav::Scaled(kTextLeft);
    painter.drawText(QRect(left, 0, std::max(0, width() - left), height()),
                     Qt::AlignLeft | Qt::AlignVCenter, m_strShown);
}
