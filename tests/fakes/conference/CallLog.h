#pragma once
// An ordered, thread-safe record of calls made on the fakes ("Name(arg,arg)"), shared by every
// fake of one test so that the order across objects can be checked.

#include <cstdint>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace fakes {

class CallLog {
public:
    void Add(std::string call) {
        std::lock_guard lock(mutex_);
        calls_.push_back(std::move(call));
        threads_.push_back(std::this_thread::get_id());
    }
    std::vector<std::string> Calls() const {
        std::lock_guard lock(mutex_);
        return calls_;
    }
    std::vector<std::thread::id> Threads() const {
        std::lock_guard lock(mutex_);
        return threads_;
    }
    // The calls whose name starts with prefix, in order.
    std::vector<std::string> Matching(const std::string& prefix) const {
        std::lock_guard lock(mutex_);
        std::vector<std::string> out;
        for (const auto& call : calls_) {
            if (call.rfind(prefix, 0) == 0) {
                out.push_back(call);
            }
        }
        return out;
    }
    size_t Count(const std::string& prefix) const { return Matching(prefix).size(); }
    void Clear() {
        std::lock_guard lock(mutex_);
        calls_.clear();
        threads_.clear();
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::string> calls_;
    std::vector<std::thread::id> threads_;
};

// "Name(a,b,c)" with integral arguments printed in decimal.
template <typename... Args>
std::string Call(const std::string& name, const Args&... args) {
    std::ostringstream out;
    out << name << '(';
    bool first = true;
    auto one = [&](const auto& value) {
        if (!first) {
            out << ',';
        }
        first = false;
        if constexpr (std::is_integral_v<std::decay_t<decltype(value)>>) {
            out << static_cast<long long>(value);
        } else {
            out << value;
        }
    };
    (one(args), ...);
    out << ')';
    return out.str();
}

}  // namespace fakes
