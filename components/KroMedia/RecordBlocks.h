#pragma once
// Cuts a stream of 16 kHz mono s16 audio into exactly 640-byte blocks (20 ms, 50 a second),
// whatever sizes the pipeline hands over.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace kromedia {

class RecordBlocks {
public:
    static constexpr size_t kBlockBytes = 640;

    // Appends bytes and calls emit once for each complete block.
    void Push(const uint8_t* data, size_t length,
              const std::function<void(const uint8_t*, int)>& emit) {
        m_pending.insert(m_pending.end(), data, data + length);
        size_t offset = 0;
        while (m_pending.size() - offset >= kBlockBytes) {
            emit(m_pending.data() + offset, static_cast<int>(kBlockBytes));
            offset += kBlockBytes;
        }
        m_pending.erase(m_pending.begin(), m_pending.begin() + static_cast<std::ptrdiff_t>(offset));
    }

    void Reset() { m_pending.clear(); }
    size_t Pending() const { return m_pending.size(); }

private:
    std::vector<uint8_t> m_pending;
};

}  // namespace kromedia
