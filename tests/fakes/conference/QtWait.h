#pragma once
// Tests that need the UI thread's event loop: one application object for the test binary,
// and a bounded wait that keeps delivering posted calls until a condition holds.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <chrono>

namespace fakes {

inline void EnsureApplication() {
    if (QCoreApplication::instance() == nullptr) {
        static int argc = 1;
        static char name[] = "yav-test";
        static char* argv[] = {name, nullptr};
        static QCoreApplication app(argc, argv);
    }
}

// Processes posted events until condition() is true or the limit passes; the result is the
// condition's last value.
template <typename Condition>
bool WaitFor(Condition condition, std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > limit.count()) {
            return condition();
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return true;
}

}  // namespace fakes
