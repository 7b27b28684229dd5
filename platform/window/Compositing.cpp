#include "platform/window/Compositing.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QGuiApplication>

#include <atomic>

#include <xcb/xcb.h>

namespace yav {

namespace {

std::atomic<int> g_override{-1};

// The screen number of the display Qt connected to ("host:display.screen"), 0 by default.
int ScreenNumber() {
    const QByteArray display = qgetenv("DISPLAY");
    const int colon = display.lastIndexOf(':');
    const int dot = display.indexOf('.', colon + 1);
    if (colon < 0 || dot < 0) {
        return 0;
    }
    bool ok = false;
    const int screen = display.mid(dot + 1).toInt(&ok);
    return ok && screen >= 0 ? screen : 0;
}

bool AskX11(xcb_connection_t* connection) {
    static xcb_atom_t atom = XCB_ATOM_NONE;
    if (atom == XCB_ATOM_NONE) {
        const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(ScreenNumber());
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
            connection,
            xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(name.size()),
                            name.constData()),
            nullptr);
        if (reply == nullptr) {
            return false;
        }
        atom = reply->atom;
        free(reply);
    }
    xcb_get_selection_owner_reply_t* owner = xcb_get_selection_owner_reply(
        connection, xcb_get_selection_owner(connection, atom), nullptr);
    if (owner == nullptr) {
        return false;
    }
    const bool running = owner->owner != XCB_WINDOW_NONE;
    free(owner);
    return running;
}

}  // namespace

bool ScreenComposesTranslucency() {
    const int forced = g_override.load();
    if (forced >= 0) {
        return forced != 0;
    }
    auto* x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                                   : nullptr;
    if (x11 == nullptr || x11->connection() == nullptr) {
        return true;
    }
    // Asked at most every half second: painting asks often, a compositor comes and goes rarely.
    static QElapsedTimer asked;
    static bool composes = false;
    if (!asked.isValid() || asked.elapsed() > 500) {
        composes = AskX11(x11->connection());
        asked.start();
    }
    return composes;
}

void SetTranslucencyOverride(int composes) {
    g_override = composes < 0 ? -1 : (composes != 0 ? 1 : 0);
}

}  // namespace yav
