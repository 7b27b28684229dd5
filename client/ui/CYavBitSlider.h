#pragma once
// The GDI+-painted image slider of the volume pop-up and the device test: background, channel
// and thumb images (skin images, not owned) scaled by the display scale factor. The user
// drags the thumb; every accepted move and the release send WM_BITSLIDER_RELEASED with the
// slider's control id. A vertical slider's GetPos counts from the top (see BitSliderTrack).

#include <QImage>

#include "client/ui/BitSliderWnd.h"

class CYavBitSlider : public BitSliderWnd {
public:
    explicit CYavBitSlider(QWidget* parent = nullptr, DWORD style = TBS_HORZ);

    void SetImages(QImage* background, QImage* channel, QImage* thumb);
    // Stored only when min < max.
    void SetRange(int minimum, int maximum) { m_track.SetRange(minimum, maximum); }
    void SetPos(int value);
    int GetPos() const { return m_track.GetPos(); }

protected:
    WPARAM NotifyValue() const override { return static_cast<WPARAM>(GetDlgCtrlID()); }
    void OnPaint(QPainter& painter) override;

private:
    QImage* m_pBack = nullptr;
    QImage* m_pChannel = nullptr;
    QImage* m_pThumb = nullptr;
};
