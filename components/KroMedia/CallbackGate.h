#pragma once
// Lets a caller wait until no callback into a sink or handler runs. A streaming thread enters
// the gate around each call into the target; Close refuses further entries and waits for the
// running ones. Close from inside a callback (the target stops itself) waits only for the other
// threads, so it never waits on itself.

#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace kromedia {

class CallbackGate {
public:
    // Opens the gate again for a new target.
    void Open() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_closed = false;
    }

    // False when the gate is closed: skip the callback.
    bool Enter() {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_closed) {
            return false;
        }
        m_inside.push_back(std::this_thread::get_id());
        return true;
    }

    void Leave() {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (auto it = m_inside.begin(); it != m_inside.end(); ++it) {
            if (*it == std::this_thread::get_id()) {
                m_inside.erase(it);
                break;
            }
        }
        m_changed.notify_all();
    }

    void Close() {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_closed = true;
        const auto self = std::this_thread::get_id();
        m_changed.wait(lock, [&] {
            for (const auto& id : m_inside) {
                if (id != self) {
                    return false;
                }
            }
            return true;
        });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::thread::id> m_inside;
    bool m_closed = false;
};

// Enters a gate for one scope.
class GateScope {
public:
    explicit GateScope(CallbackGate& gate) : m_gate(gate), m_entered(gate.Enter()) {}
    ~GateScope() {
        if (m_entered) {
            m_gate.Leave();
        }
    }
    GateScope(const GateScope&) = delete;
    GateScope& operator=(const GateScope&) = delete;
    explicit operator bool() const { return m_entered; }

private:
    CallbackGate& m_gate;
    bool m_entered;
};

}  // namespace kromedia
