#pragma once
// A small image overlay of a video window, painted translucently over the picture: the cycle
// indicator of a layout window (role 1) or the close button of the participant preview
// (role 0; a click closes the preview).

#include <QImage>

#include "platform/window/Dialog.h"

class CDlgVideoStatus : public yav::Dialog {
public:
    static constexpr UINT IDD = 164;

    explicit CDlgVideoStatus(QWidget* parent);

    // Called before Create: 1 cycle indicator, anything else the preview close button.
    void SetCycleIndicator(int role);
    int GetRole() const { return m_nRole; }
    // The cycle indicator takes the image of the current language.
    void ReloadImage();
    // Draws the image scaled to the window with the alpha of a percentage (outside 0..100
    // counts as 100); false without an image.
    bool UpdateLayer(QImage* image, bool recreate, int alphaPercent);
    int GetAlpha() const { return m_nAlpha; }
    const QImage* GetShownImage() const { return m_pShown; }

protected:
    BOOL OnInitDialog() override;
    void OnSize(int cx, int cy) override;
    BOOL OnEraseBkgnd(QPainter& painter) override;
    void OnPaint(QPainter& painter) override;
    void mousePressEvent(QMouseEvent* event) override;
    void OnOK() override {}
    void OnCancel() override {}

private:
    QImage* ImageOfRole();

    int m_nRole = 0;
    QImage* m_pImage = nullptr;       // 918 or 986
    QImage* m_pImageLang1 = nullptr;  // 1004
    QImage* m_pImageLang2 = nullptr;  // 1010
    int m_nWidth = 22;
    int m_nHeight = 22;
    QImage* m_pShown = nullptr;
    int m_nAlpha = 254;
};
