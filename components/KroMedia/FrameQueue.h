#pragma once
// The bytes a stream connection still owes its peer: whole frames in order, the first one
// possibly half written. A full queue refuses a new media frame whole, so the stream never
// carries part of a frame; control frames are always taken (they are few and small), up to a
// hard limit that only a peer that reads nothing reaches.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

namespace kromedia {

class FrameQueue {
public:
    // mediaLimitBytes: what media may queue; control frames may fill twice that.
    explicit FrameQueue(size_t mediaLimitBytes) : m_limitBytes(mediaLimitBytes) {}

    // Appends a whole frame; false when it is dropped (nothing of it is queued).
    bool Push(std::vector<uint8_t> frame, bool control);
    // The unwritten rest of the first frame: null and 0 when the queue is empty.
    const uint8_t* Pending(size_t* length) const;
    // The peer took `length` bytes of Pending.
    void Consumed(size_t length);
    bool Empty() const { return m_frames.empty(); }
    size_t Bytes() const { return m_bytes; }
    uint64_t Dropped() const { return m_dropped; }
    void Clear();

private:
    const size_t m_limitBytes;
    std::deque<std::vector<uint8_t>> m_frames;
    size_t m_written = 0;  // of the first frame
    size_t m_bytes = 0;    // unwritten bytes queued
    uint64_t m_dropped = 0;
};

}  // namespace kromedia
