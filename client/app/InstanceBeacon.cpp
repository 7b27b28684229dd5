#include "InstanceBeacon.h"

#include <QApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QWidget>

#include "platform/core/Log.h"
#include "platform/core/Paths.h"

namespace yav {

namespace {

constexpr char kRaiseRequest[] = "raise\n";
constexpr char kRaiseAnswer[] = "raised\n";

}  // namespace

InstanceBeacon::InstanceBeacon(const QString& name)
    : m_socketPath(QString::fromStdString(yav::paths::RuntimeDir()) + QStringLiteral("/") + name +
                   QStringLiteral(".sock")) {}

InstanceBeacon::~InstanceBeacon() {
    if (m_server != nullptr) {
        m_server->close();
    }
}

bool InstanceBeacon::Listen(std::function<void()> raise) {
    m_raise = std::move(raise);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // We hold the lock, so a socket file left by a crashed instance is stale.
    QLocalServer::removeServer(m_socketPath);
    if (!m_server->listen(m_socketPath)) {
        YLOG_WARN("单实例唤醒通道无法建立: %s", m_server->errorString().toUtf8().constData());
        return false;
    }
    connect(m_server, &QLocalServer::newConnection, this, [this]() { OnConnection(); });
    return true;
}

void InstanceBeacon::OnConnection() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, socket, [this, socket]() {
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > 64) {
                    socket->abort();
                }
                return;
            }
            const QByteArray line = socket->readLine(64);
            if (line == kRaiseRequest) {
                YLOG_INFO("另一个实例请求显示本实例");
                if (m_raise) {
                    m_raise();
                }
                socket->write(kRaiseAnswer);
                socket->flush();
            }
            socket->disconnectFromServer();
        });
    }
}

bool InstanceBeacon::AskToRaise(int timeoutMs) const {
    QLocalSocket socket;
    socket.connectToServer(m_socketPath);
    if (!socket.waitForConnected(timeoutMs)) {
        return false;
    }
    socket.write(kRaiseRequest);
    if (!socket.waitForBytesWritten(timeoutMs)) {
        return false;
    }
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(timeoutMs)) {
            return false;
        }
    }
    return socket.readLine(64) == kRaiseAnswer;
}

void InstanceBeacon::RaiseFrontWindow() {
    QWidget* front = QApplication::activeModalWidget();
    if (front == nullptr) {
        const auto windows = QApplication::topLevelWidgets();
        for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
            if ((*it)->isVisible()) {
                front = *it;
                break;
            }
        }
    }
    if (front == nullptr) {
        return;
    }
    if (front->isMinimized()) {
        front->showNormal();
    }
    front->raise();
    front->activateWindow();
}

}  // namespace yav
