#include "XServer.h"

#include <QStandardPaths>

#include "RoadProcess.h"

// Xlib last: its macros would otherwise reach the Qt headers.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace road_e2e {

bool XServer::Start() {
    const QString program = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (program.isEmpty()) {
        return false;
    }
    // -displayfd 1: the server writes the display number it took to its output.
    process_.start(program,
                   {"-displayfd", "1", "-screen", "0",
                    QStringLiteral("%1x%2x24").arg(kScreenW).arg(kScreenH), "-nolisten", "tcp"});
    if (!process_.waitForStarted(5000)) {
        return false;
    }
    QByteArray out;
    const bool told = yav::testing::WaitUntil(
        [&] {
            process_.waitForReadyRead(50);
            out += process_.readAllStandardOutput();
            return out.contains('\n');
        },
        10000);
    if (!told) {
        return false;
    }
    display_ = QStringLiteral(":") + QString::fromLatin1(out.trimmed());
    return true;
}

XServer::~XServer() {
    Stop(process_);
}

QImage XServer::Grab() const {
    Display* x = XOpenDisplay(display_.toLatin1().constData());
    if (x == nullptr) {
        return {};
    }
    QImage picture;
    const ::Window root = DefaultRootWindow(x);
    if (XImage* image = XGetImage(x, root, 0, 0, kScreenW, kScreenH, AllPlanes, ZPixmap)) {
        picture = QImage(kScreenW, kScreenH, QImage::Format_RGB32);
        for (int y = 0; y < kScreenH; ++y) {
            for (int px = 0; px < kScreenW; ++px) {
                picture.setPixel(px, y, static_cast<QRgb>(XGetPixel(image, px, y)));
            }
        }
        XDestroyImage(image);
    }
    XCloseDisplay(x);
    return picture;
}

}  // namespace road_e2e
