#pragma once
// Test helpers for windows: tick timers by hand, answer the next modal dialog, and wait for
// a condition with a limit while events run.

#include <functional>

#include "platform/window/Dialog.h"

namespace yav::testing {

class TimerDriver {
public:
    // One tick of the window's timer id, delivered as the timer would deliver it. False (and
    // no tick) when the timer is not set.
    static bool Fire(WindowCore& window, UINT id);
    // Ticks while the timer stays set, at most `limit` times; returns the ticks delivered.
    static int FireWhileSet(WindowCore& window, UINT id, int limit);
};

// Answers the next dialog that enters its modal loop (once), from inside that loop. Answers
// alive at the same time are used in the order they were made, one per dialog, so a test
// can register the answers to a sequence of boxes up front.
class ModalAnswer {
public:
    explicit ModalAnswer(std::function<void(Dialog&)> answer);
    ~ModalAnswer();
    ModalAnswer(const ModalAnswer&) = delete;
    ModalAnswer& operator=(const ModalAnswer&) = delete;

    bool Answered() const { return answered_; }
    // The dialog that was answered (null before; do not keep it past its DoModal).
    Dialog* AnsweredDialog() const { return dialog_; }

private:
    friend struct ModalAnswerQueue;

    std::function<void(Dialog&)> answer_;
    bool answered_ = false;
    Dialog* dialog_ = nullptr;
};

// Processes events (deferred deletions included) until the condition holds or limitMs passed;
// returns the condition.
bool WaitUntil(const std::function<bool()>& condition, int limitMs = 5000);

}  // namespace yav::testing
