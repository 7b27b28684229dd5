#include "platform/window/testing/WindowTesting.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

#include <algorithm>
#include <deque>

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

// The answers waiting for a dialog, oldest first. One modal observer serves them all, so that
// each dialog entering its loop takes exactly one answer.
struct ModalAnswerQueue {
    std::deque<ModalAnswer*> waiting;
    int token = 0;

    static ModalAnswerQueue& Get() {
        static ModalAnswerQueue queue;
        return queue;
    }

    void Add(ModalAnswer* answer) {
        waiting.push_back(answer);
        if (token == 0) {
            token = Dialog::AddModalObserver([this](Dialog& dialog) { AnswerNext(dialog); });
        }
    }

    void Remove(ModalAnswer* answer) {
        waiting.erase(std::remove(waiting.begin(), waiting.end(), answer), waiting.end());
        StopWhenEmpty();
    }

    void AnswerNext(Dialog& dialog) {
        if (waiting.empty()) {
            return;
        }
        ModalAnswer* next = waiting.front();
        waiting.pop_front();
        StopWhenEmpty();
        next->answered_ = true;
        next->dialog_ = &dialog;
        // A copy: the answer may end the test scope that owns it (a nested answer does).
        const std::function<void(Dialog&)> answer = next->answer_;
        answer(dialog);
    }

    void StopWhenEmpty() {
        if (waiting.empty() && token != 0) {
            Dialog::RemoveModalObserver(token);
            token = 0;
        }
    }
};

ModalAnswer::ModalAnswer(std::function<void(Dialog&)> answer) : answer_(std::move(answer)) {
    ModalAnswerQueue::Get().Add(this);
}

ModalAnswer::~ModalAnswer() {
    ModalAnswerQueue::Get().Remove(this);
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
