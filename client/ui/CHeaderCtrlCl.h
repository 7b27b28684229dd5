#pragma once
// The gradient header of the owner-drawn report list: every section (and the space after the
// last one) is filled row by row from a start colour that darkens by a step per pixel row; the
// headings stand left, centred or right as their column's alignment code says.

#include <QHeaderView>
#include <QStringList>

#include "platform/window/WinDefs.h"

class CHeaderCtrlCl : public QHeaderView {
public:
    explicit CHeaderCtrlCl(QWidget* parent = nullptr);

    QStringList m_HChar;  // headings, one per column, in insertion order
    QString m_Format;     // alignment codes: '0' left, '1' centre, '2' right
    int m_R = 171;        // gradient start colour
    int m_G = 199;
    int m_B = 235;
    int m_Gradient = 8;      // darkening per pixel row
    float m_fHeight = 1.0f;  // height factor over the default layout
    int m_fontHeight = 15;
    int m_fontWidth = 0;
    COLORREF m_color = 0;  // heading text colour

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

private:
    void FillGradient(QPainter* painter, const QRect& rect) const;
};
