#include "ScreenSaverInhibit.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QFileInfo>

#include "platform/core/Log.h"

namespace {

const char* const kService = "org.freedesktop.ScreenSaver";
const char* const kPath = "/org/freedesktop/ScreenSaver";

// A session bus is there to ask (its address, or the per-user socket). Without one the D-Bus
// machinery (and its thread) is not started at all.
bool HasSessionBus() {
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) {
        return true;
    }
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && QFileInfo::exists(runtime + QStringLiteral("/bus"));
}

}  // namespace

bool ScreenSaverInhibit::Hold() {
    if (m_bHeld) {
        return true;
    }
    if (HasSessionBus()) {
        QDBusConnection bus = QDBusConnection::sessionBus();
        QDBusInterface saver(kService, kPath, kService, bus);
        if (bus.isConnected() && saver.isValid()) {
            const QDBusReply<uint> reply =
                saver.call(QStringLiteral("Inhibit"), QStringLiteral("YavClient"),
                           QStringLiteral("in a conference"));
            if (reply.isValid()) {
                m_dwCookie = reply.value();
                m_bHeld = true;
                YLOG_DEBUG("screen saver inhibited (cookie %u)", m_dwCookie);
                return true;
            }
        }
    }
    if (!m_bFailureLogged) {
        m_bFailureLogged = true;
        YLOG_INFO("no screen saver service to keep the display awake");
    }
    return false;
}

void ScreenSaverInhibit::Release() {
    if (!m_bHeld) {
        return;
    }
    m_bHeld = false;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected()) {
        QDBusInterface saver(kService, kPath, kService, bus);
        if (saver.isValid()) {
            saver.call(QStringLiteral("UnInhibit"), m_dwCookie);
        }
    }
}
