#include "CDlgVideoStatus.h"

#include <QMouseEvent>
#include <QPainter>

#include "IVideoWindowHost.h"
#include "VideoGeometry.h"
#include "client/config/ConfigManger.h"
#include "platform/window/Scaled.h"

namespace {

constexpr UINT kImageClose = 918;
constexpr UINT kImageCycle = 986;
constexpr UINT kImageCycleLang1 = 1004;
constexpr UINT kImageCycleLang2 = 1010;

}  // namespace

CDlgVideoStatus::CDlgVideoStatus(QWidget* parent) : yav::Dialog(IDD, parent, Style::Child) {
    setAttribute(Qt::WA_NoSystemBackground);
}

void CDlgVideoStatus::SetCycleIndicator(int role) {
    const int value = role == 1 ? 1 : 0;
    if (value != m_nRole) {
        m_nRole = value;
    }
}

QImage* CDlgVideoStatus::ImageOfRole() {
    if (m_nRole == 1) {
        const int language = g_ConfigManager.GetLanguageIndex();
        if (language == 1 && m_pImageLang1 != nullptr) {
            return m_pImageLang1;
        }
        if (language == 2 && m_pImageLang2 != nullptr) {
            return m_pImageLang2;
        }
    }
    return m_pImage;
}

BOOL CDlgVideoStatus::OnInitDialog() {
    yav::Dialog::OnInitDialog();
    MoveWindow(0, 0, yav::Scaled(m_nWidth), yav::Scaled(m_nHeight));
    if (m_pImage == nullptr) {
        if (m_nRole == 1) {
            m_pImage = g_ConfigManager.LoadPNG(kImageCycle);
            m_pImageLang1 = g_ConfigManager.LoadPNG(kImageCycleLang1);
            m_pImageLang2 = g_ConfigManager.LoadPNG(kImageCycleLang2);
        } else {
            m_pImage = g_ConfigManager.LoadPNG(kImageClose);
        }
    }
    UpdateLayer(ImageOfRole(), true, 100);
    return 1;
}

void CDlgVideoStatus::ReloadImage() {
    if (m_nRole == 1) {
        UpdateLayer(ImageOfRole(), false, 100);
    }
}

bool CDlgVideoStatus::UpdateLayer(QImage* image, bool /*recreate*/, int alphaPercent) {
    if (image == nullptr) {
        return false;
    }
    m_pShown = image;
    m_nAlpha = video_geometry::AlphaOfPercent(alphaPercent);
    update();
    return true;
}

void CDlgVideoStatus::OnSize(int cx, int cy) {
    yav::Dialog::OnSize(cx, cy);
    UpdateLayer(ImageOfRole(), true, 100);
}

BOOL CDlgVideoStatus::OnEraseBkgnd(QPainter& /*painter*/) {
    return 1;
}

void CDlgVideoStatus::OnPaint(QPainter& painter) {
    if (m_pShown == nullptr) {
        return;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(m_nAlpha / 255.0);
    painter.drawImage(rect(), *m_pShown);
}

void CDlgVideoStatus::mousePressEvent(QMouseEvent* event) {
    if (m_nRole == 0 && event->button() == Qt::LeftButton) {
        ShowWindow(SW_HIDE);
        if (g_pVideoWindowHost != nullptr) {
            g_pVideoWindowHost->TogglePreviewOff();
        }
    }
    yav::Dialog::mousePressEvent(event);
}
