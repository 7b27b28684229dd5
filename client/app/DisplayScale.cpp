#include "DisplayScale.h"

#include <QGuiApplication>
#include <QScreen>

#include <cstdlib>

namespace yav {

double ScaleFactorForScreen(int width, int height) {
    if (width <= 0 || height <= 0) {
        return 1.0;
    }
    const double sx = width / 1920.0;
    const double sy = height / 1080.0;
    double factor = sx > sy ? sx : sy;
    if (factor < 1.1) {
        factor = 1.0;
    } else if (factor > 1.2 && factor < 1.4) {
        factor = 1.6;
    } else if (factor > 1.8 && factor < 2.1) {
        factor = 2.0;
    }
    return factor;
}

double StartupScaleFactor(const QScreen* screen) {
    if (const char* forced = std::getenv("YAV_SCALE_FACTOR");
        forced != nullptr && *forced != '\0') {
        char* end = nullptr;
        const double value = std::strtod(forced, &end);
        if (end != forced && *end == '\0' && value >= 0.5 && value <= 4.0) {
            return value;
        }
    }
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    if (screen == nullptr) {
        return 1.0;
    }
    // The Windows program measured device pixels; Qt reports logical ones.
    const QSize size = screen->size() * screen->devicePixelRatio();
    return ScaleFactorForScreen(size.width(), size.height());
}

}  // namespace yav
