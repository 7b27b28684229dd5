#include <gtest/gtest.h>

#include <QApplication>
#include <QLocalSocket>
#include <QUuid>
#include <QWidget>

#include <atomic>
#include <thread>

#include "app/InstanceBeacon.h"
#include "platform/window/testing/WindowTesting.h"

namespace {

QApplication& App() {
    static int argc = 1;
    static char name[] = "instance_beacon_test";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}

QString UniqueName() {
    return QStringLiteral("beacon-test-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
}

TEST(InstanceBeacon, ASecondInstanceBringsTheFirstToTheFront) {
    App();
    const QString name = UniqueName();
    yav::InstanceBeacon first(name);
    int raised = 0;
    ASSERT_TRUE(first.Listen([&raised]() { ++raised; }));

    std::atomic<int> answer{-1};
    std::thread second([&]() {
        yav::InstanceBeacon asking(name);
        answer = asking.AskToRaise(5000) ? 1 : 0;
    });
    EXPECT_TRUE(yav::testing::WaitUntil([&]() { return answer.load() != -1; }, 10000));
    second.join();
    EXPECT_EQ(answer.load(), 1);
    EXPECT_EQ(raised, 1);
}

TEST(InstanceBeacon, NobodyListeningMeansNoAnswer) {
    App();
    yav::InstanceBeacon asking(UniqueName());
    EXPECT_FALSE(asking.AskToRaise(500));
}

TEST(InstanceBeacon, ARequestOtherThanRaiseIsIgnored) {
    App();
    const QString name = UniqueName();
    yav::InstanceBeacon first(name);
    int raised = 0;
    ASSERT_TRUE(first.Listen([&raised]() { ++raised; }));
    std::atomic<bool> done{false};
    std::thread other([&]() {
        QLocalSocket socket;
        socket.connectToServer(first.SocketPath());
        if (socket.waitForConnected(5000)) {
            socket.write("shutdown\n");
            socket.waitForBytesWritten(5000);
            socket.waitForDisconnected(5000);
        }
        done = true;
    });
    EXPECT_TRUE(yav::testing::WaitUntil([&]() { return done.load(); }, 10000));
    other.join();
    EXPECT_EQ(raised, 0);
}

TEST(InstanceBeacon, TheFrontWindowIsRaisedAndRestored) {
    App();
    QWidget window;
    window.show();
    window.showMinimized();
    yav::InstanceBeacon::RaiseFrontWindow();
    EXPECT_FALSE(window.isMinimized());
}

}  // namespace
