#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcessEnvironment>

#include <csignal>

#include "RoadProcess.h"
#include "platform/core/SingleInstance.h"

namespace {

using road_e2e::ReadLog;

// A client started with the positional direct-join command line logs in to the data server,
// finds the conference, logs in to its conference server and opens the room; on SIGTERM it
// leaves through the normal shut-down.
TEST(RoadDirectJoin, TheCommandLineLeadsIntoTheConference) {
    road_e2e::CoreApplication();
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    road_e2e::Server server(home.path());
    const auto ports = server.Ports();
    ASSERT_TRUE(ports.has_value()) << "yavserver did not start";
    const QString data = road_e2e::PrepareDataFolder(home.path(), ports->ds);

    QProcess client;
    road_e2e::ProcessGuard guard(client);
    client.setProcessEnvironment(road_e2e::ClientEnvironment(home.path()));
    client.setProcessChannelMode(QProcess::ForwardedChannels);
    client.start(QDir::currentPath() + "/YavClient", {"127.0.0.1", "alice", "alice", "900001"});
    ASSERT_TRUE(client.waitForStarted(10000));

    const bool entered = yav::testing::WaitUntil(
        [&]() { return ReadLog(data).contains(QStringLiteral("会议室窗口打开")); }, 30000);
    const QString log = ReadLog(data);
    EXPECT_TRUE(entered) << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("CJoinConfHander::ShowConfListDlg confid=900001")));
    EXPECT_TRUE(log.contains(QStringLiteral("进入会议室开始")));
    EXPECT_TRUE(log.contains(QStringLiteral("登陆CS服务器 IP=127.0.0.1, ConfID=900001")));
    EXPECT_FALSE(log.contains(QStringLiteral("登陆CS失败")));

    road_e2e::Terminate(client);
    ASSERT_TRUE(client.waitForFinished(15000));
    EXPECT_EQ(client.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(client.exitCode(), 0);
    const QString after = ReadLog(data);
    EXPECT_TRUE(after.contains(QStringLiteral("XMainFrame::~XMainFrame 析构")))
        << after.toStdString();
    EXPECT_TRUE(server.Running());
}

// A second start with the first one running ends at once and leaves the first running.
TEST(RoadDirectJoin, ASecondInstanceEndsSilently) {
    road_e2e::CoreApplication();
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    road_e2e::Server server(home.path());
    const auto ports = server.Ports();
    ASSERT_TRUE(ports.has_value());
    const QString data = road_e2e::PrepareDataFolder(home.path(), ports->ds);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_DATA_HOME", home.path());
    env.insert("XDG_RUNTIME_DIR", home.path());
    env.insert("QT_QPA_PLATFORM", "offscreen");

    QProcess first;
    road_e2e::ProcessGuard guardFirst(first);
    first.setProcessEnvironment(env);
    first.start(QDir::currentPath() + "/YavClient", {"127.0.0.1", "alice", "alice", "900001"});
    ASSERT_TRUE(first.waitForStarted(10000));
    ASSERT_TRUE(yav::testing::WaitUntil(
        [&]() { return ReadLog(data).contains(QStringLiteral("会议室窗口打开")); }, 30000));

    QProcess second;
    road_e2e::ProcessGuard guardSecond(second);
    second.setProcessEnvironment(env);
    second.start(QDir::currentPath() + "/YavClient", {});
    ASSERT_TRUE(second.waitForFinished(15000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(first.state(), QProcess::Running);
    EXPECT_TRUE(yav::testing::WaitUntil(
        [&]() { return ReadLog(data).contains(QStringLiteral("另一个实例请求显示本实例")); },
        10000));

    road_e2e::Terminate(first);
    EXPECT_TRUE(first.waitForFinished(15000));
}

// An instance that holds the lock but no longer answers is closing: with [appinfo]
// clientexit = 1 a new start waits for its lock instead of leaving.
TEST(RoadStartup, ANewStartWaitsForAClosingInstance) {
    road_e2e::CoreApplication();
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const QString data = road_e2e::PrepareDataFolder(home.path(), 1);
    yav::profile::WriteString("appinfo", "clientexit", "1", (data + "/Client.ini").toStdString());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_DATA_HOME", home.path());
    env.insert("XDG_RUNTIME_DIR", home.path());
    env.insert("QT_QPA_PLATFORM", "offscreen");
    ::setenv("XDG_RUNTIME_DIR", home.path().toUtf8().constData(), 1);
    yav::SingleInstance closing("Quenmira_7aea7b45-f19c-4093-a061-3fff58e466a7_1");
    ASSERT_TRUE(closing.TryAcquire());

    QProcess client;
    road_e2e::ProcessGuard guard(client);
    client.setProcessEnvironment(env);
    client.start(QDir::currentPath() + "/YavClient", {});
    ASSERT_TRUE(client.waitForStarted(10000));
    // It neither runs the program nor leaves while the lock is held.
    EXPECT_FALSE(client.waitForFinished(3000));
    closing.Release();
    EXPECT_TRUE(yav::testing::WaitUntil(
        [&]() { return ReadLog(data).contains(QStringLiteral("程序唯一性判断完成")); }, 40000));
    road_e2e::Terminate(client);
    EXPECT_TRUE(client.waitForFinished(15000));
}

}  // namespace
