#pragma once
// A person of the journey: a client process with a home of its own (data folder, instance
// lock), the synthetic camera, microphone and speaker, and the control map it keeps.

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <cstdint>
#include <optional>

#include "ControlMapFile.h"

namespace journey_e2e {

// Where the clients find yavserver's data server.
constexpr char kServerAddress[] = "127.0.0.1";

class Person {
public:
    Person(QString account, QString name);
    ~Person() { Stop(); }
    Person(const Person&) = delete;
    Person& operator=(const Person&) = delete;

    // Starts the client on `display`, joining conference 900001 directly with the account.
    bool Start(const QString& display, int dsPort);
    // Asks the program to end as the system does (SIGTERM); true when it ended by itself with
    // status 0 (false also for a program that was not running).
    bool Stop();
    int ExitCode() const { return process_.exitCode(); }

    QString Log() const;
    const QString& Name() const { return name_; }
    const ControlMapFile& Map() const { return map_; }
    // The room window, while it is on the screen.
    std::optional<Control> Room() const { return map_.TopLevel(QStringLiteral("XMainFrame")); }

    std::uint16_t id = 0;  // the user id (and media id of the camera) of its current entry

private:
    QTemporaryDir home_;
    QString account_;
    QString name_;
    ControlMapFile map_;
    QString data_;
    QProcess process_;
};

}  // namespace journey_e2e
