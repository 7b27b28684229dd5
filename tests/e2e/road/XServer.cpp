#include "XServer.h"

#include <QFile>
#include <QStandardPaths>

#include "RoadProcess.h"

// Xlib last: its macros would otherwise reach the Qt headers.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace road_e2e {

bool XServer::Start(int display) {
    const QString program = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (program.isEmpty()) {
        return false;
    }
    // -noreset: the server stays up when its last client goes (a reset drops the connections
    // being made meanwhile, a window manager's among them).
    const QStringList screen{
        "-screen",   "0",   QStringLiteral("%1x%2x24").arg(kScreenW).arg(kScreenH),
        "-nolisten", "tcp", "-noreset"};
    if (display >= 0) {
        display_ = QStringLiteral(":%1").arg(display);
        // Nobody reads what it says: it never waits on a full pipe.
        process_.setStandardOutputFile(QProcess::nullDevice());
        process_.setStandardErrorFile(QProcess::nullDevice());
        process_.start(program, QStringList{display_} + screen);
        if (!process_.waitForStarted(5000)) {
            return false;
        }
        // Up once the display's lock names this server and a client gets in; a display
        // another server holds ends this one.
        const auto ours = [&] {
            QFile lock(QStringLiteral("/tmp/.X%1-lock").arg(display));
            return lock.open(QIODevice::ReadOnly) &&
                   lock.readAll().trimmed().toLongLong() == process_.processId();
        };
        return yav::testing::WaitUntil(
                   [&] {
                       if (process_.state() != QProcess::Running) {
                           return true;
                       }
                       Display* x =
                           ours() ? XOpenDisplay(display_.toLatin1().constData()) : nullptr;
                       if (x != nullptr) {
                           XCloseDisplay(x);
                           return true;
                       }
                       return false;
                   },
                   10000) &&
               process_.state() == QProcess::Running && ours();
    }
    // -displayfd 1: the server writes the display number it took to its output.
    process_.start(program, QStringList{"-displayfd", "1"} + screen);
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
