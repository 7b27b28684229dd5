#pragma once
// Design-pixel geometry at the display scale: every value times g_fExchangePW, truncated
// toward zero (yav::Scaled) where windows are placed, kept fractional where painting wants it.

#include <QRect>
#include <QRectF>
#include <QSize>

#include "platform/core/Scale.h"

namespace yav {

inline QRect ScaledRect(int x, int y, int width, int height) {
    return QRect(Scaled(x), Scaled(y), Scaled(width), Scaled(height));
}

inline QSize ScaledSize(int width, int height) {
    return QSize(Scaled(width), Scaled(height));
}

inline double ScaledF(double designPixels) {
    return designPixels * g_fExchangePW;
}

inline QRectF ScaledRectF(double x, double y, double width, double height) {
    return QRectF(ScaledF(x), ScaledF(y), ScaledF(width), ScaledF(height));
}

}  // namespace yav
