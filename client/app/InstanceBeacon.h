#pragma once
// The second half of the single-instance rule: the running instance listens on a local
// socket; a second instance, refused by the lock, asks it through that socket to come to the
// front and then ends quietly.

#include <QObject>
#include <QString>

#include <functional>

class QLocalServer;

namespace yav {

class InstanceBeacon : public QObject {
public:
    // name: the instance name (the lock's); the socket lives in the user's runtime folder.
    explicit InstanceBeacon(const QString& name);
    ~InstanceBeacon() override;
    InstanceBeacon(const InstanceBeacon&) = delete;
    InstanceBeacon& operator=(const InstanceBeacon&) = delete;

    // Starts listening (the first instance, once it holds the lock); raise runs on the GUI
    // thread each time another instance asks. False when the socket cannot be made.
    bool Listen(std::function<void()> raise);

    // Asks the running instance to come to the front; true when it confirmed within
    // timeoutMs.
    bool AskToRaise(int timeoutMs) const;

    // Brings the program's front window to the front: the active modal window, else the
    // last visible top-level window.
    static void RaiseFrontWindow();

    QString SocketPath() const { return m_socketPath; }

private:
    void OnConnection();

    QString m_socketPath;
    QLocalServer* m_server = nullptr;
    std::function<void()> m_raise;
};

}  // namespace yav
