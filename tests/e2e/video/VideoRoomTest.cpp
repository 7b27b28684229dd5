// Two client processes in one conference through yavserver and its media relay: B has two
// test cameras and broadcasts on entry, A (no camera) shows B's picture in a video window
// captioned with B's name; when B leaves, A's window is freed.

#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <memory>

#include "../road/RoadProcess.h"
#include "platform/core/Profile.h"
#include "support/WaitUntil.h"

namespace {

using road_e2e::ReadLog;

// One client process with a home of its own (its own data folder and instance lock).
class Client {
public:
    Client(const QString& name, const QString& devices, int dsPort) {
        EXPECT_TRUE(home_.isValid());
        data_ = road_e2e::PrepareDataFolder(home_.path(), dsPort);
        QProcessEnvironment env = road_e2e::ClientEnvironment(home_.path());
        env.insert("YAV_TEST_DEVICES", devices);
        process_.setProcessEnvironment(env);
        process_.setProcessChannelMode(QProcess::ForwardedChannels);
        process_.start(QDir::currentPath() + "/YavClient",
                       {"127.0.0.1", name, name.toLower(), "900001"});
        EXPECT_TRUE(process_.waitForStarted(10000));
    }
    ~Client() { Stop(); }
    void Stop() {
        road_e2e::Terminate(process_);
        if (!process_.waitForFinished(15000)) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }
    QString Log() const { return ReadLog(data_); }
    bool LogMatches(const QRegularExpression& pattern, int limitMs = 30000) const {
        return yav::testing::WaitUntil([&] { return pattern.match(Log()).hasMatch(); },
                                       limitMs);
    }

private:
    QTemporaryDir home_;
    QString data_;
    QProcess process_;
};

class VideoRoom : public ::testing::Test {
protected:
    void SetUp() override {
        road_e2e::CoreApplication();
        ASSERT_TRUE(home.isValid());
        const std::string ini = (home.path() + "/server.ini").toStdString();
        for (const char* name : {"A", "B"}) {
            const std::string section = std::string("account.") + name;
            const std::string password(1, static_cast<char>(name[0] - 'A' + 'a'));
            yav::profile::WriteString(section, "Password", password, ini);
        }
        yav::profile::WriteString("conference.900001", "Name", "Demo", ini);
        // Bit 3: a participant with a camera broadcasts it on entry.
        yav::profile::WriteString("conference.900001", "AppFlags25", "8", ini);
        server = std::make_unique<road_e2e::Server>(home.path(), home.path() + "/server.ini");
        const auto found = road_e2e::ReadPortFile(home.path() + "/ports");
        ASSERT_TRUE(found.has_value()) << "yavserver did not start";
        ports = *found;
    }

    QTemporaryDir home;
    std::unique_ptr<road_e2e::Server> server;
    road_e2e::ServerPorts ports;
};

TEST_F(VideoRoom, AShowsTheBroadcastOfBCaptionedWithItsNameUntilBLeaves) {
    Client a("A", "cam=0,mic=1,spk=1", ports.ds);
    ASSERT_TRUE(a.LogMatches(QRegularExpression("login data server over")))
        << a.Log().toStdString();
    Client b("B", "cam=2,mic=1,spk=1", ports.ds);
    ASSERT_TRUE(b.LogMatches(QRegularExpression("login data server over")))
        << b.Log().toStdString();

    const QRegularExpression shown(R"(video (\d+) shown in window (\d+) as "B")");
    ASSERT_TRUE(a.LogMatches(shown)) << a.Log().toStdString();
    const QString id = shown.match(a.Log()).captured(1);
    // The relay carries B's test pattern: the window gets its first picture.
    EXPECT_TRUE(a.LogMatches(QRegularExpression("video " + id + " first picture")))
        << a.Log().toStdString();

    b.Stop();
    EXPECT_TRUE(a.LogMatches(QRegularExpression("停止接收视频wMediaID:" + id + ",")))
        << a.Log().toStdString();
}

}  // namespace
