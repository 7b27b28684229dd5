// The room of a real client process whose media relay, reached over TCP, never answers its
// connects: the room goes on answering (a second start of the program is heard at once) and
// leaves normally.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcessEnvironment>

#include "RoadProcess.h"
#include "support/UnansweredTcpPort.h"

namespace {

using road_e2e::ReadLog;

TEST(RoomMediaStall, AnUnansweredTcpRelayLeavesTheRoomResponsive) {
    road_e2e::CoreApplication();
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    yav::test::UnansweredTcpPort nobody;
    // The conference server sends its participants to the port that never answers.
    const QString ini = home.path() + "/server.ini";
    yav::profile::WriteString("server", "AnnounceMediaPort", std::to_string(nobody.Port()),
                              ini.toStdString());
    yav::profile::WriteString("account.alice", "Password", "alice", ini.toStdString());
    yav::profile::WriteString("conference.900001", "Name", "Demo", ini.toStdString());
    road_e2e::Server server(home.path(), ini);
    const auto ports = server.Ports();
    ASSERT_TRUE(ports.has_value()) << "yavserver did not start";
    const QString data = road_e2e::PrepareDataFolder(home.path(), ports->ds);
    yav::profile::WriteString("VideoParam", "UseTCP", "1",
                              (data + "/ConfigVideo.ini").toStdString());
    const QProcessEnvironment env = road_e2e::ClientEnvironment(home.path());

    QProcess first;
    road_e2e::ProcessGuard guardFirst(first);
    first.setProcessEnvironment(env);
    first.setProcessChannelMode(QProcess::ForwardedChannels);
    first.start(QDir::currentPath() + "/YavClient", {"127.0.0.1", "alice", "alice", "900001"});
    ASSERT_TRUE(first.waitForStarted(10000));
    // The media login starts right after this line; a connect that blocks holds the room from
    // here for about two minutes.
    ASSERT_TRUE(yav::testing::WaitUntil(
        [&]() { return ReadLog(data).contains(QStringLiteral("login data server start")); }, 30000))
        << ReadLog(data).toStdString();

    QProcess second;
    road_e2e::ProcessGuard guardSecond(second);
    second.setProcessEnvironment(env);
    second.start(QDir::currentPath() + "/YavClient", {});
    ASSERT_TRUE(second.waitForFinished(15000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(yav::testing::WaitUntil(
        [&]() { return ReadLog(data).contains(QStringLiteral("另一个实例请求显示本实例")); },
        10000))
        << "the room did not hear the second start";

    road_e2e::Terminate(first);
    ASSERT_TRUE(first.waitForFinished(15000));
    EXPECT_EQ(first.exitCode(), 0);
    EXPECT_TRUE(ReadLog(data).contains(QStringLiteral("XMainFrame::~XMainFrame 析构")));
}

}  // namespace
