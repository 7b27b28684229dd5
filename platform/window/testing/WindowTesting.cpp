#include "platform/window/testing/WindowTesting.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

namespace yav::testing {

bool TimerDriver::Fire(WindowCore& window, UINT id) {
    if (!window.IsTimerSet(id)) {
        return false;
    }
    window.WindowProc(WM_TIMER, id, 0);
    return true;
}

int TimerDriver::FireWhileSet(WindowCore& window, UINT id, int limit) {
    int ticks = 0;
    while (ticks < limit && Fire(window, id)) {
        ++ticks;
    }
    return ticks;
}

ModalAnswer::ModalAnswer(std::function<void(Dialog&)> answer) : answer_(std::move(answer)) {
    token_ = Dialog::AddModalObserver([this](Dialog& dialog) {
        if (answered_) {
            return;
        }
        answered_ = true;
        dialog_ = &dialog;
        Dialog::RemoveModalObserver(token_);
        token_ = 0;
        answer_(dialog);
    });
}

ModalAnswer::~ModalAnswer() {
    if (token_ != 0) {
        Dialog::RemoveModalObserver(token_);
    }
}

bool WaitUntil(const std::function<bool()>& condition, int limitMs) {
    const QDeadlineTimer deadline(limitMs);
    while (!condition()) {
        if (deadline.hasExpired()) {
            return condition();
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        // Objects whose deletion was deferred go as they would on returning to the main loop.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QThread::msleep(1);
    }
    return true;
}

}  // namespace yav::testing
