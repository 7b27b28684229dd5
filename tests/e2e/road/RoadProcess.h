#pragma once
// Helpers of the road's end-to-end tests: a yavserver on free loopback ports and a client
// data folder of its own.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QWidget>

#include <signal.h>

#include <functional>
#include <optional>

#include "platform/core/Profile.h"
#include "platform/window/testing/WindowTesting.h"

namespace road_e2e {

struct ServerPorts {
    int ds = 0;
    int cs = 0;
    int probe = 0;
};

// The ports a server wrote to its port file, once it did (waits at most limitMs).
inline std::optional<ServerPorts> ReadPortFile(const QString& path, int limitMs = 10000) {
    if (!yav::testing::WaitUntil([&path]() { return QFile::exists(path); }, limitMs)) {
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    const QStringList parts = QString::fromUtf8(file.readAll()).split(' ', Qt::SkipEmptyParts);
    if (parts.size() < 3) {
        return std::nullopt;
    }
    return ServerPorts{parts[0].toInt(), parts[1].toInt(), parts[2].toInt()};
}

// A core application for the tests that drive client processes (one per test program).
inline QCoreApplication& CoreApplication() {
    static int argc = 1;
    static char name[] = "road_e2e";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

// The environment of a client process whose home is `home`, offscreen.
inline QProcessEnvironment ClientEnvironment(const QString& home) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_DATA_HOME", home);
    env.insert("XDG_RUNTIME_DIR", home);
    env.insert("QT_QPA_PLATFORM", "offscreen");
    return env;
}

// A log configuration for yavserver (--log-config) that writes every line to `logFile` at
// once; returns the configuration's path in `folder`.
inline QString ServerFileLogConfig(const QString& folder, const QString& logFile) {
    const QString path = folder + "/server-log.properties";
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(QStringLiteral("log4cpp.rootCategory=DEBUG, A\n"
                                  "log4cpp.appender.A=org.apache.log4j.FileAppender\n"
                                  "log4cpp.appender.A.fileName=%1\n"
                                  "log4cpp.appender.A.layout=org.apache.log4j.BasicLayout\n")
                       .arg(logFile)
                       .toUtf8());
    }
    return path;
}

// yavserver with its demo conference on free ports; stopped with the object.
class Server {
public:
    // ini: the server's INI file (empty: its built-in demo conference).
    explicit Server(const QString& folder, const QString& ini = QString()) {
        portFile_ = folder + "/ports";
        process_.setProgram(QDir::currentPath() + "/yavserver");
        QStringList arguments{"--ds-port",    "0", "--cs-port",    "0",
                              "--probe-port", "0", "--media-port", "0",
                              "--port-file",  portFile_};
        if (!ini.isEmpty()) {
            arguments << "--ini" << ini;
        }
        process_.setArguments(arguments);
        process_.setProcessChannelMode(QProcess::ForwardedChannels);
        process_.start();
    }
    ~Server() {
        if (process_.state() != QProcess::NotRunning) {
            process_.terminate();
            if (!process_.waitForFinished(5000)) {
                process_.kill();
                process_.waitForFinished(5000);
            }
        }
    }
    // The ports once the server wrote them (waits at most limitMs).
    std::optional<ServerPorts> Ports(int limitMs = 10000) {
        return ReadPortFile(portFile_, limitMs);
    }
    bool Running() const { return process_.state() == QProcess::Running; }

private:
    QString portFile_;
    QProcess process_;
};

// The data folder of a client whose home is `home`, with the data server's port set.
inline QString PrepareDataFolder(const QString& home, int dsPort) {
    const QString data = home + "/MarnexData";
    QDir().mkpath(data);
    yav::profile::WriteString("appinfo", "DsSvrPort", std::to_string(dsPort),
                              (data + "/Client.ini").toStdString());
    return data;
}

// The client's log: in "loglog" when the data folder has that folder, else beside the INI files.
inline QString ReadLog(const QString& dataFolder) {
    QString text;
    for (const char* path : {"/loglog/YavClient.log", "/YavClient.log"}) {
        QFile file(dataFolder + QString::fromLatin1(path));
        if (file.open(QIODevice::ReadOnly)) {
            text += QString::fromUtf8(file.readAll());
        }
    }
    return text;
}

// Asks a running client to end as the system would (SIGTERM); nothing for a finished one.
inline void Terminate(QProcess& process) {
    const qint64 pid = process.processId();
    if (process.state() == QProcess::Running && pid > 0) {
        ::kill(static_cast<pid_t>(pid), SIGTERM);
    }
}

// Grabs the widget, saves the picture into the test output folder (YAV_TEST_OUTPUT_DIR) for
// review and returns it for the test's checks.
inline QImage SaveGrab(QWidget* widget, const QString& name) {
    if (widget == nullptr) {
        return {};
    }
    const QImage picture = widget->grab().toImage();
    const QString folder = qEnvironmentVariable("YAV_TEST_OUTPUT_DIR");
    if (!folder.isEmpty() && QDir().mkpath(folder)) {
        picture.save(folder + "/" + name);
    }
    return picture;
}

// Ends a client process that a failed test left running.
class ProcessGuard {
public:
    explicit ProcessGuard(QProcess& process) : process_(process) {}
    ~ProcessGuard() {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }
    ProcessGuard(const ProcessGuard&) = delete;
    ProcessGuard& operator=(const ProcessGuard&) = delete;

private:
    QProcess& process_;
};

}  // namespace road_e2e
