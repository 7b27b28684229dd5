#include "CYavDialogEx.h"

#include <QPainter>

#include "ConfigManger.h"
#include "client/Common/XAutoMutex.h"
#include "platform/window/WindowStyles.h"

namespace {

constexpr int kSampleSize = 10;

}  // namespace

CYavDialogEx::CYavDialogEx(UINT templateId, QWidget* parent, Style style)
    : yav::Dialog(templateId, parent, style) {
    yav::SetPerPixelAlpha(this, true);
}

CYavDialogEx::~CYavDialogEx() = default;

void CYavDialogEx::SetBackgroundImage(UINT skinPngId, BOOL load) {
    m_nBkImageId = skinPngId;
    if (load != 0) {
        m_pBkImage = g_ConfigManager.LoadPNGScaled(skinPngId);
    }
}

BOOL CYavDialogEx::OnInitDialog() {
    yav::Dialog::OnInitDialog();
    m_blendAlpha = 255;
    if (m_pBkImage == nullptr) {
        m_pBkImage = g_ConfigManager.LoadPNG(m_nBkImageId);
    }
    // The owner places and sizes the pop-up later.
    MoveWindow(0, 0, 10, 10);
    return 1;
}

BOOL CYavDialogEx::PreTranslateMessage(yav::Msg* msg) {
    if (msg->message == WM_KEYDOWN &&
        (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE || msg->wParam == VK_SPACE)) {
        return 1;
    }
    return yav::Dialog::PreTranslateMessage(msg);
}

BOOL CYavDialogEx::ShowWindow(int nCmdShow) {
    const BOOL wasVisible = yav::Dialog::ShowWindow(nCmdShow);
    if (m_hAttached != nullptr) {
        if (yav::WindowCore* attached = yav::WindowFrom(m_hAttached)) {
            attached->ShowWindow(nCmdShow);
        } else {
            m_hAttached->setVisible(nCmdShow != SW_HIDE);
        }
    }
    return wasVisible;
}

int CYavDialogEx::BlendAlphaFor(int alphaPercent) {
    if (alphaPercent < 0 || alphaPercent > 100) {
        alphaPercent = 100;
    }
    return static_cast<int>(alphaPercent * 2.54);
}

void CYavDialogEx::PrepareLayer() {
    m_imgMem = QImage(size(), QImage::Format_ARGB32_Premultiplied);
    m_imgMem.fill(Qt::transparent);
    if (!m_imgSample.isNull()) {
        return;
    }
    if (m_pBkImage == nullptr) {
        m_pBkImage = g_ConfigManager.LoadPNG(m_nBkImageId);
    }
    m_imgSample = QImage(kSampleSize, kSampleSize, QImage::Format_ARGB32_Premultiplied);
    m_imgSample.fill(Qt::transparent);
    if (m_pBkImage != nullptr) {
        QPainter painter(&m_imgSample);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        if (m_nBkSample != 0) {
            painter.drawImage(QRect(0, 0, kSampleSize, kSampleSize), *m_pBkImage,
                              QRect(m_nBkSample, m_nBkSample, kSampleSize, kSampleSize));
        } else {
            painter.drawImage(QRect(0, 0, kSampleSize, kSampleSize), *m_pBkImage);
        }
    }
}

int CYavDialogEx::UpdateLayered(BOOL redrawBackground, int alphaPercent) {
    XAutoMutex lock(&m_cs);
    m_blendAlpha = BlendAlphaFor(alphaPercent);
    if (HasNoArea()) {
        // No picture to paint on (a painter on an empty image is inactive).
        m_imgMem = QImage();
        return UpdateLayeredWindow(m_imgMem, static_cast<BYTE>(m_blendAlpha));
    }
    if (m_imgMem.size() != size()) {
        // A picture of another size cannot be updated in part: compose it all again.
        redrawBackground = 1;
    }
    if (redrawBackground != 0) {
        PrepareLayer();
    }
    m_blendAlpha = BlendAlphaFor(alphaPercent);
    if (redrawBackground != 0 && m_pBkImage != nullptr) {
        // Where the screen cannot show translucency the pop-up stands on its skin's colour.
        if (!m_pBkImage->isNull()) {
            SetOpaqueBackdrop(
                m_pBkImage->pixelColor(m_pBkImage->width() / 2, m_pBkImage->height() / 2));
        }
        QPainter painter(&m_imgMem);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.drawImage(QRect(QPoint(0, 0), size()), *m_pBkImage);
    }
    RedrawButtons(redrawBackground);
    return UpdateLayeredWindow(m_imgMem, static_cast<BYTE>(m_blendAlpha));
}

void CYavDialogEx::DrawBackground(QWidget* child, const QImage* image, BYTE* redrawFlag,
                                  BOOL noClear) {
    if (child == nullptr) {
        return;
    }
    if (m_imgMem.isNull()) {
        return;
    }
    const QRect rect = child->geometry();
    QPainter painter(&m_imgMem);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (noClear == 0 && !m_imgSample.isNull()) {
        // The previous picture of the child disappears under a piece of the background.
        painter.save();
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(QRectF(rect.adjusted(-2, -2, 2, 2)), m_imgSample, QRectF(2, 2, 2, 2));
        painter.restore();
    }
    if (image != nullptr) {
        painter.drawImage(QRectF(rect), *image);
    }
    if (redrawFlag != nullptr) {
        *redrawFlag = 0;
    }
}

void CYavDialogEx::OnSize(int cx, int cy) {
    yav::Dialog::OnSize(cx, cy);
    LayoutControls();
    if (m_pBkImage != nullptr) {
        UpdateLayered(1, m_nAlpha);
    }
}

void CYavDialogEx::OnShowWindow(BOOL show) {
    yav::Dialog::OnShowWindow(show);
    if (m_bAutoHide != 0) {
        KillTimer(kAutoHideTimer);
    }
}

void CYavDialogEx::OnActivate(UINT state, QWidget* other) {
    yav::Dialog::OnActivate(state, other);
    if (m_bAutoHide == 0 || m_bAutoHideArmed == 0) {
        return;
    }
    if (state == WA_ACTIVE) {
        KillTimer(kAutoHideTimer);
    } else if (state == WA_INACTIVE) {
        // The owner of a pop-up is always a top-level window.
        if (m_bKeepWithParent != 0 && other != nullptr && parentWidget() != nullptr &&
            other == parentWidget()->window()) {
            return;
        }
        SetTimer(kAutoHideTimer, kAutoHideDelayMs);
    }
}

void CYavDialogEx::OnTimer(UINT id) {
    if (id == kAutoHideTimer && m_bAutoHide != 0) {
        KillTimer(kAutoHideTimer);
        ShowWindow(SW_HIDE);
    }
    yav::Dialog::OnTimer(id);
}
