#include "platform/window/Placement.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QWidget>

namespace yav {

QScreen* ScreenNearest(const QWidget* window) {
    if (window == nullptr) {
        return QGuiApplication::primaryScreen();
    }
    const QWidget* top = window->window();
    const QRect frame = top->frameGeometry();
    QScreen* best = nullptr;
    long long bestArea = 0;
    for (QScreen* screen : QGuiApplication::screens()) {
        const QRect overlap = screen->geometry().intersected(frame);
        const long long area = static_cast<long long>(overlap.width()) * overlap.height();
        if (!overlap.isEmpty() && area > bestArea) {
            best = screen;
            bestArea = area;
        }
    }
    if (best == nullptr) {
        best = QGuiApplication::screenAt(frame.center());
    }
    return best != nullptr ? best : QGuiApplication::primaryScreen();
}

QRect MonitorRect(const QWidget* window, bool workArea) {
    QScreen* screen = ScreenNearest(window);
    if (screen == nullptr) {
        return QRect();
    }
    return workArea ? screen->availableGeometry() : screen->geometry();
}

void CenterInWorkArea(QWidget* window, QScreen* screen) {
    if (window == nullptr || screen == nullptr) {
        return;
    }
    const QRect work = screen->availableGeometry();
    const QRect frame = window->frameGeometry();
    window->move(work.left() + (work.width() - frame.width()) / 2,
                 work.top() + (work.height() - frame.height()) / 2);
}

}  // namespace yav
