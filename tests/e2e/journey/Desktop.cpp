#include "Desktop.h"

#include <QProcessEnvironment>
#include <QRandomGenerator>
#include <QStandardPaths>

#include "e2e/road/RoadProcess.h"

// Xlib last: its macros would otherwise reach the Qt headers.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace journey_e2e {

namespace {

constexpr int kToolLimitMs = 15000;
constexpr int kFirstDisplay = 300;
constexpr int kDisplays = 600;

// The window a property of the root window names (0 when it names none).
unsigned long RootWindowProperty(const QString& display, const char* name) {
    Display* x = XOpenDisplay(display.toLatin1().constData());
    if (x == nullptr) {
        return 0;
    }
    unsigned long window = 0;
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(x, DefaultRootWindow(x), XInternAtom(x, name, False), 0, 1, False,
                           XA_WINDOW, &type, &format, &count, &after, &data) == Success &&
        data != nullptr) {
        if (type == XA_WINDOW && format == 32 && count == 1) {
            window = *reinterpret_cast<unsigned long*>(data);
        }
        XFree(data);
    }
    XCloseDisplay(x);
    return window;
}

// A window that went away between the question and the answer is an error the question
// answers for itself; Xlib's default handler would end the test program.
int IgnoreXError(Display*, XErrorEvent*) {
    return 0;
}

}  // namespace

QString Desktop::MissingTools() {
    QStringList missing;
    for (const char* tool : {"Xvfb", "openbox", "xdotool"}) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty()) {
            missing << QString::fromLatin1(tool);
        }
    }
    return missing.join(QStringLiteral(", "));
}

bool Desktop::Start() {
    // An X server that goes away under the window manager (another program on this machine
    // may end it) is replaced by a new one, on another display.
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (StartOnce()) {
            return true;
        }
        road_e2e::Stop(windowManager_);
    }
    return false;
}

bool Desktop::StartOnce() {
    xserver_ = std::make_unique<road_e2e::XServer>();
    // A display number of its own, far from the first ones that other X servers of this
    // machine take.
    if (!xserver_->Start(kFirstDisplay + QRandomGenerator::global()->bounded(kDisplays))) {
        error_ = QStringLiteral("Xvfb did not start");
        return false;
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), DisplayName());
    windowManager_.setProcessEnvironment(env);
    windowManager_.setProcessChannelMode(QProcess::MergedChannels);
    windowManager_.start(QStandardPaths::findExecutable(QStringLiteral("openbox")),
                         {QStringLiteral("--sm-disable")});
    if (!windowManager_.waitForStarted(kToolLimitMs)) {
        error_ = QStringLiteral("openbox did not start");
        return false;
    }
    yav::testing::WaitUntil(
        [this] { return WindowManagerRunning() || windowManager_.state() == QProcess::NotRunning; },
        kToolLimitMs);
    if (!WindowManagerRunning()) {
        error_ = QStringLiteral("openbox did not take the screen of %1 (%2, exit %3): %4")
                     .arg(DisplayName())
                     .arg(windowManager_.state() == QProcess::Running ? "running" : "ended")
                     .arg(windowManager_.exitCode())
                     .arg(QString::fromLocal8Bit(windowManager_.readAll()));
        return false;
    }
    return true;
}

Desktop::~Desktop() {
    road_e2e::Stop(windowManager_);
}

bool Desktop::WindowManagerRunning() const {
    return windowManager_.state() == QProcess::Running &&
           RootWindowProperty(DisplayName(), "_NET_SUPPORTING_WM_CHECK") != 0;
}

unsigned long Desktop::ActiveWindow() const {
    return RootWindowProperty(DisplayName(), "_NET_ACTIVE_WINDOW");
}

std::optional<QPoint> Desktop::WindowOrigin(unsigned long xWindow) const {
    Display* x = XOpenDisplay(DisplayName().toLatin1().constData());
    if (x == nullptr) {
        return std::nullopt;
    }
    const auto previous = XSetErrorHandler(IgnoreXError);
    std::optional<QPoint> origin;
    XWindowAttributes attributes{};
    int left = 0;
    int top = 0;
    Window child = 0;
    if (XGetWindowAttributes(x, xWindow, &attributes) != 0 && attributes.map_state == IsViewable &&
        XTranslateCoordinates(x, xWindow, DefaultRootWindow(x), 0, 0, &left, &top, &child) != 0) {
        origin = QPoint(left, top);
    }
    XSync(x, False);
    XSetErrorHandler(previous);
    XCloseDisplay(x);
    return origin;
}

bool Desktop::Xdotool(const QStringList& arguments) {
    QProcess tool;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), DisplayName());
    tool.setProcessEnvironment(env);
    tool.setProcessChannelMode(QProcess::MergedChannels);
    tool.start(QStandardPaths::findExecutable(QStringLiteral("xdotool")), arguments);
    if (!tool.waitForFinished(kToolLimitMs)) {
        tool.kill();
        tool.waitForFinished(kToolLimitMs);
        return false;
    }
    return tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
}

bool Desktop::MovePointer(QPoint at) {
    return Xdotool({"mousemove", "--sync", QString::number(at.x()), QString::number(at.y())});
}

bool Desktop::Click(QPoint at, int button) {
    return Xdotool({"mousemove", "--sync", QString::number(at.x()), QString::number(at.y()),
                    "click", QString::number(button)});
}

bool Desktop::Key(const QString& keys) {
    return Xdotool({"key", "--clearmodifiers", keys});
}

bool Desktop::Type(const QString& text) {
    return Xdotool({"type", "--delay", "30", text});
}

bool Desktop::Activate(unsigned long xWindow) {
    const QString window = QStringLiteral("0x%1").arg(xWindow, 0, 16);
    // The manager acts on the request asynchronously: ask until it reports the window active.
    return yav::testing::WaitUntil(
        [&] {
            Xdotool({"windowactivate", "--sync", window});
            return ActiveWindow() == xWindow;
        },
        kToolLimitMs);
}

}  // namespace journey_e2e
