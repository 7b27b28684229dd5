#pragma once
// An image button: a skin image (or an image file) centred at half its pixel size times the
// display scale (the images are made for double resolution), on an optional rounded
// background, with a second image the owner can switch to.

#include <QImage>

#include <memory>

#include "client/ui/CKroGdiBtn.h"

class CKroGdiBtnImage : public CKroGdiBtn {
public:
    explicit CKroGdiBtnImage(QWidget* parent = nullptr);
    ~CKroGdiBtnImage() override;

    // Skin PNG ids (0 keeps that image); the skin cache owns the images.
    void SetImages(UINT normal, UINT alternate, BOOL backgroundOn, COLORREF background);
    // Image files (empty path keeps that image); the button owns what it loads.
    void SetImageFiles(const QString& normal, const QString& alternate, BOOL backgroundOn,
                       COLORREF background);
    void SetBkColor(BOOL on, COLORREF color);
    // Frees the normal image loaded from a file.
    void ReleaseImage();
    void SetUseAlternate(bool use);
    bool IsUseAlternate() const { return m_bUseAlternate; }
    void SetHalfSize(bool half) { m_bHalfSize = half; }

    const QImage* NormalImage() const { return m_pNormal; }
    const QImage* AlternateImage() const { return m_pAlternate; }
    // Where the shown image goes in the client area.
    QRect ImageRect() const;

protected:
    BOOL OnEraseBkgnd(QPainter& painter) override;
    void DrawItem(QPainter& painter) override;

private:
    bool m_bHalfSize = true;
    QImage* m_pNormal = nullptr;
    QImage* m_pAlternate = nullptr;
    COLORREF m_clrBk = 0;
    bool m_bBkOn = false;
    bool m_bUseAlternate = false;
    // Images loaded from files belong to the button.
    std::unique_ptr<QImage> m_fileNormal;
    std::unique_ptr<QImage> m_fileAlternate;
};
