#pragma once
// The bitmap-painted slider of the media player: background, channel and thumb images set by
// the owner through the public fields, an optional cursor and a percentage tooltip. The user
// drags the thumb; every accepted move and the release send WM_BITSLIDER_RELEASED with the
// notification value (0). Positions run 0..100 (a vertical slider counts from the top).

#include <QCursor>
#include <QImage>

#include "client/ui/BitSliderWnd.h"

class CBitSlider : public BitSliderWnd {
public:
    explicit CBitSlider(QWidget* parent = nullptr, DWORD style = TBS_HORZ);

    // Images the owner sets (not owned); painting needs all three.
    QImage* m_pThumb = nullptr;
    QImage* m_pChannel = nullptr;
    QImage* m_pBack = nullptr;
    // Offset of the thumb picture within its rectangle.
    int m_nThumbOffsetX = 0;
    int m_nThumbOffsetY = 0;

    void SetSliderCursor(const QCursor& cursor);
    // Shows the value as "n%" while the mouse rests on the slider.
    void EnableTooltip(bool on);
    QString GetTooltipText() const { return toolTip(); }
    int GetPos() const { return m_track.GetPos(); }

protected:
    WPARAM NotifyValue() const override { return m_nNotifyValue; }
    void OnPositionChanged() override;
    void OnPaint(QPainter& painter) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void TakeThumbSize();

    bool m_bTooltip = false;
    WPARAM m_nNotifyValue = 0;
};
