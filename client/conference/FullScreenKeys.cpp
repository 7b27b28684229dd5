#include "FullScreenKeys.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

FullScreenKeys::FullScreenKeys(QWidget* room, std::function<void()> leave)
    : m_pRoom(room), m_leave(std::move(leave)) {}

FullScreenKeys::~FullScreenKeys() {
    SetWatching(false);
}

void FullScreenKeys::SetWatching(bool on) {
    QCoreApplication* app = QCoreApplication::instance();
    if (on == m_bWatching || app == nullptr) {
        return;
    }
    m_bWatching = on;
    // Installed last, the filter sees the keys before the windows' own key filters.
    if (on) {
        app->installEventFilter(this);
    } else {
        app->removeEventFilter(this);
    }
}

bool FullScreenKeys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress ||
        static_cast<QKeyEvent*>(event)->key() != Qt::Key_Escape) {
        return false;
    }
    const auto* receiver = qobject_cast<QWidget*>(watched);
    if (receiver == nullptr || receiver->window() != m_pRoom) {
        return false;
    }
    m_leave();
    return true;
}
