#include "Person.h"

#include <QDir>
#include <QProcessEnvironment>

#include "e2e/road/RoadProcess.h"

namespace journey_e2e {

Person::Person(QString account, QString name)
    : account_(std::move(account)),
      name_(std::move(name)),
      map_(home_.path() + QStringLiteral("/controls.map")) {}

bool Person::Start(const QString& display, int dsPort) {
    data_ = road_e2e::PrepareDataFolder(home_.path(), dsPort);
    QProcessEnvironment env = road_e2e::ClientEnvironment(home_.path());
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.insert("DISPLAY", display);
    env.insert("YAV_SCALE_FACTOR", "1");
    env.insert("YAV_TEST_DEVICES", "cam=1,mic=1,spk=1");
    env.insert("YAV_TEST_CONTROL_MAP", map_.Path());
    process_.setProcessEnvironment(env);
    process_.setProcessChannelMode(QProcess::ForwardedChannels);
    process_.start(QDir::currentPath() + "/YavClient",
                   {kServerAddress, account_, account_, "900001"});
    return process_.waitForStarted(10000);
}

bool Person::Stop() {
    if (process_.state() == QProcess::NotRunning) {
        return false;
    }
    road_e2e::Terminate(process_);
    if (!process_.waitForFinished(15000)) {
        process_.kill();
        process_.waitForFinished(5000);
        return false;
    }
    return process_.exitStatus() == QProcess::NormalExit && process_.exitCode() == 0;
}

QString Person::Log() const {
    return road_e2e::ReadLog(data_);
}

}  // namespace journey_e2e
