#include "CSafeQueue.h"

#include <utility>

void CSafeQueue::Push(ST_CS_MSG message) {
    std::lock_guard guard(lock_);
    items_.push_back(std::move(message));
}

bool CSafeQueue::Pop(ST_CS_MSG& out) {
    std::lock_guard guard(lock_);
    if (items_.empty()) {
        return false;
    }
    out = std::move(items_.front());
    items_.pop_front();
    return true;
}

size_t CSafeQueue::Size() const {
    std::lock_guard guard(lock_);
    return items_.size();
}

void CSafeQueue::Clear() {
    std::lock_guard guard(lock_);
    items_.clear();
}
