#pragma once
// The locked FIFO of conference-server events: the component pushes on its I/O thread, the
// client's pump pops on the UI thread. Items are moved in and out whole.

#include <cstddef>
#include <deque>
#include <mutex>

#include "ST_CS_MSG.h"

class CSafeQueue {
public:
    CSafeQueue() = default;
    CSafeQueue(const CSafeQueue&) = delete;
    CSafeQueue& operator=(const CSafeQueue&) = delete;

    void Push(ST_CS_MSG message);
    // Takes the front item; false when the queue is empty.
    bool Pop(ST_CS_MSG& out);
    size_t Size() const;
    void Clear();

private:
    mutable std::mutex lock_;
    std::deque<ST_CS_MSG> items_;
};
