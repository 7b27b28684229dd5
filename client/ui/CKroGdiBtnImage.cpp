#include "CKroGdiBtnImage.h"

#include <QPainter>

#include "client/config/ConfigManger.h"
#include "platform/core/Scale.h"

CKroGdiBtnImage::CKroGdiBtnImage(QWidget* parent) : CKroGdiBtn(parent) {}

CKroGdiBtnImage::~CKroGdiBtnImage() = default;

void CKroGdiBtnImage::SetImages(UINT normal, UINT alternate, BOOL backgroundOn,
                                COLORREF background) {
    if (normal != 0) {
        m_pNormal = g_ConfigManager.LoadPNG(normal);
    }
    if (alternate != 0) {
        m_pAlternate = g_ConfigManager.LoadPNG(alternate);
    }
    m_bBkOn = backgroundOn != 0;
    if (backgroundOn != 0) {
        m_clrBk = background;
    }
    RefreshParentBack();
}

void CKroGdiBtnImage::SetImageFiles(const QString& normal, const QString& alternate,
                                    BOOL backgroundOn, COLORREF background) {
    const auto load = [](const QString& path) {
        auto image = std::make_unique<QImage>(path);
        return image->isNull() ? nullptr : std::move(image);
    };
    if (!normal.isEmpty()) {
        m_fileNormal = load(normal);
        m_pNormal = m_fileNormal.get();
    }
    if (!alternate.isEmpty()) {
        m_fileAlternate = load(alternate);
        m_pAlternate = m_fileAlternate.get();
    }
    m_bBkOn = backgroundOn != 0;
    if (backgroundOn != 0) {
        m_clrBk = background;
    }
    RefreshParentBack();
}

void CKroGdiBtnImage::SetBkColor(BOOL on, COLORREF color) {
    m_bBkOn = on != 0;
    if (on != 0) {
        m_clrBk = color;
    }
    RefreshParentBack();
}

void CKroGdiBtnImage::ReleaseImage() {
    if (m_pNormal == m_fileNormal.get()) {
        m_pNormal = nullptr;
    }
    m_fileNormal.reset();
}

void CKroGdiBtnImage::SetUseAlternate(bool use) {
    m_bUseAlternate = use;
    RefreshParentBack();
}

QRect CKroGdiBtnImage::ImageRect() const {
    // The size always comes from the normal image; an alternate alone keeps its own.
    const QImage* sizing = m_pNormal != nullptr ? m_pNormal : m_pAlternate;
    if (sizing == nullptr) {
        return {};
    }
    return KroGdiBtnImageRect(size(), sizing->size(), g_fExchangePW, m_bHalfSize);
}

BOOL CKroGdiBtnImage::OnEraseBkgnd(QPainter& painter) {
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    // The colour value alone decides: a background switched on with colour 0 draws none.
    if (m_clrBk != 0) {
        DrawRoundRect(painter, QRectF(0, 0, width(), height()), 5, m_clrBk, true, m_clrBk);
    }
    const QRect target = ImageRect();
    if (m_bUseAlternate && m_pAlternate != nullptr) {
        painter.drawImage(target, *m_pAlternate);
    } else if (m_pNormal != nullptr) {
        painter.drawImage(target, *m_pNormal);
    }
    return 1;
}

void CKroGdiBtnImage::DrawItem(QPainter& /*painter*/) {}
