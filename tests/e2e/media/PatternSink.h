#pragma once
// The window a received stream is drawn into, reduced to reading the test pattern's marks:
// per media id the frames, whether their counters rose throughout, and the delay from capture
// (the time coded into the pattern) to the decoded picture.

#include <glib.h>

#include <algorithm>
#include <map>
#include <mutex>
#include <vector>

#include "components/KroMedia/IKroMedia.h"
#include "components/KroMedia/TestPattern.h"

namespace yav::test {

class PatternSink final : public kromedia::IFrameSink {
public:
    struct Stream {
        size_t frames = 0;
        uint32_t last = 0;
        bool rising = true;
        std::vector<double> latencies;  // milliseconds
    };

    void PostMessage(uint32_t, uint64_t, int64_t) override {}
    void OnFrame(const kromedia::VideoFrame& frame) override {
        kromedia::PatternMarks marks;
        if (!kromedia::ReadPatternBGRx(frame.data, frame.stride, frame.width, frame.height,
                                       &marks)) {
            return;
        }
        const auto now = static_cast<uint32_t>(g_get_monotonic_time() / 1000);
        std::lock_guard<std::mutex> lock(mutex_);
        Stream& stream = streams_[marks.mediaId];
        stream.rising = stream.rising && (stream.frames == 0 || marks.counter > stream.last);
        stream.last = marks.counter;
        ++stream.frames;
        stream.latencies.push_back(static_cast<double>(now - marks.captureMs));
    }
    Stream Of(uint16_t mediaId) const {
        std::lock_guard<std::mutex> lock(mutex_);
        const auto it = streams_.find(mediaId);
        return it == streams_.end() ? Stream{} : it->second;
    }
    // Frames decoded from mediaId; rising, when given, says whether their counters rose
    // throughout.
    size_t Frames(uint16_t mediaId, bool* rising = nullptr) const {
        const Stream stream = Of(mediaId);
        if (rising != nullptr) {
            *rising = stream.rising;
        }
        return stream.frames;
    }
    // Frames showing an id that is not in watched.
    size_t Except(const std::vector<uint16_t>& watched) const {
        std::lock_guard<std::mutex> lock(mutex_);
        size_t wrong = 0;
        for (const auto& [id, stream] : streams_) {
            if (std::find(watched.begin(), watched.end(), id) == watched.end()) {
                wrong += stream.frames;
            }
        }
        return wrong;
    }

private:
    mutable std::mutex mutex_;
    std::map<uint16_t, Stream> streams_;
};

}  // namespace yav::test
