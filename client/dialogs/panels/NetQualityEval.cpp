#include "NetQualityEval.h"

#include <algorithm>
#include <set>

#include "platform/core/Log.h"

std::int32_t g_nSmartAdjust = 0;
std::int32_t g_nNetAutoPrompt = 1;

namespace {

std::int32_t MeanOf(const NetQualityEval::Entry& entry) {
    return (entry.latest + entry.previous + entry.oldest) / 3;
}

// Worst streams first.
bool RanksBefore(const std::pair<std::uint16_t, NetQualityEval::Entry>& a,
                 const std::pair<std::uint16_t, NetQualityEval::Entry>& b) {
    const bool aLow = a.second.latest < 500;
    const bool bLow = b.second.latest < 500;
    if (aLow && bLow) {
        return a.second.latest < b.second.latest;
    }
    if (aLow != bLow) {
        return aLow;
    }
    return MeanOf(a.second) < MeanOf(b.second);
}

}  // namespace

std::vector<INetQualityEval::Sample> NetQualityEval::DecodeRecords(const std::uint8_t* records,
                                                                   std::size_t byteLength) {
    std::vector<Sample> samples;
    if (records == nullptr) {
        return samples;
    }
    if (byteLength % kRecordBytes != 0) {
        YLOG_WARN("stream quality report of %zu bytes: the last %zu bytes are not a record",
                  byteLength, byteLength % kRecordBytes);
    }
    const std::size_t count = byteLength / kRecordBytes;
    samples.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* record = records + i * kRecordBytes;
        Sample sample;
        sample.wMediaId = static_cast<std::uint16_t>(record[0] | (record[1] << 8));
        sample.value = static_cast<std::uint32_t>(record[2]) |
                       (static_cast<std::uint32_t>(record[3]) << 8) |
                       (static_cast<std::uint32_t>(record[4]) << 16) |
                       (static_cast<std::uint32_t>(record[5]) << 24);
        samples.push_back(sample);
    }
    return samples;
}

void NetQualityEval::Update(const std::uint8_t* records, std::size_t byteLength) {
    Update(DecodeRecords(records, byteLength));
}

void NetQualityEval::Update(const std::vector<Sample>& samples) {
    if (samples.empty()) {
        Clear();
        return;
    }
    std::set<std::uint16_t> reported;
    for (const Sample& sample : samples) {
        const auto value = static_cast<std::int32_t>(sample.value);
        reported.insert(sample.wMediaId);
        auto found = table_.find(sample.wMediaId);
        if (found != table_.end()) {
            found->second.oldest = found->second.previous;
            found->second.previous = found->second.latest;
            found->second.latest = value;
        } else {
            table_.emplace(sample.wMediaId, Entry{value, 1000, 1000, 0});
        }
    }
    std::erase_if(table_, [&](const auto& item) { return reported.count(item.first) == 0; });
    ranking_.assign(table_.begin(), table_.end());
    std::sort(ranking_.begin(), ranking_.end(), RanksBefore);
}

void NetQualityEval::Clear() {
    table_.clear();
    ranking_.clear();
}

int NetQualityEval::Evaluate() {
    const auto n = static_cast<std::int32_t>(table_.size());
    allGood_ = 1;
    int bad = 0;
    std::int32_t sum = 0;
    const std::int32_t low = n == 1 ? 300 : 500;
    const std::int32_t high = n == 1 ? 500 : 700;
    for (auto& [id, entry] : table_) {
        if (entry.latest < low) {
            ++bad;
            ++entry.badCount;
        } else if (entry.latest < high) {
            if (MeanOf(entry) < high) {
                ++bad;
                ++entry.badCount;
            }
        } else {
            entry.badCount = 0;
        }
        if (g_nSmartAdjust == 0) {
            entry.badCount = 0;
        }
        if (entry.badCount >= 2) {
            allGood_ = 0;
        }
        sum += entry.latest;
    }
    const std::int32_t mean = n == 0 ? 1000 : sum / n;
    const std::int32_t threshold = n < 2 ? 250 : (n <= 6 ? 300 : 400);
    if (mean < threshold) {
        level_ = 0;
    } else if (mean >= 800) {
        level_ = 2;
    } else {
        level_ = 1;
    }
    return bad;
}

void NetQualityEval::GetBadIds(std::vector<std::uint16_t>& out) {
    out.clear();
    const int bad = Evaluate();
    for (int i = 0; i < bad && i < static_cast<int>(ranking_.size()); ++i) {
        out.push_back(ranking_[static_cast<std::size_t>(i)].first);
    }
}
