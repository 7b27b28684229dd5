#pragma once
// Polling wait for tests of threads and processes: the bound is generous because the point is
// that something happens, never how fast (speed belongs in bench/).

#include <chrono>
#include <thread>

namespace yav::test {

// Waits until condition() holds or the limit passes; the result of the last check.
template <class Condition>
bool WaitUntil(Condition condition, std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return condition();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

}  // namespace yav::test
