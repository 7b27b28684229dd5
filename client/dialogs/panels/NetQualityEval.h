#pragma once
// Judges the quality values the media component reports for the received streams (higher is
// better) and turns them into a network level: 0 bad, 1 fair, 2 good.

#include <cstddef>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "client/roomapi/RoomChildren.h"

// Process-wide switches of the network tip, not saved.
extern std::int32_t g_nSmartAdjust;    // default 0
extern std::int32_t g_nNetAutoPrompt;  // default 1

class NetQualityEval : public INetQualityEval {
public:
    // One report record: u16 stream id, u32 value, little-endian, packed.
    static constexpr std::size_t kRecordBytes = 6;

    struct Entry {
        std::int32_t latest = 0;
        std::int32_t previous = 0;
        std::int32_t oldest = 0;
        std::int32_t badCount = 0;
    };

    // The records as the component packs them; a length that is not a multiple of 6 drops
    // its tail (logged).
    static std::vector<Sample> DecodeRecords(const std::uint8_t* records, std::size_t byteLength);

    // Merges one report: an empty report clears the table.
    void Update(const std::uint8_t* records, std::size_t byteLength);
    void Update(const std::vector<Sample>& samples) override;
    void Clear() override;
    // Sets the level and the all-good flag; returns the number of streams judged bad.
    int Evaluate();
    void GetBadIds(std::vector<std::uint16_t>& out) override;
    int GetLevel() const override { return level_; }
    bool IsAllGood() const { return allGood_ != 0; }

    const std::map<std::uint16_t, Entry>& Table() const { return table_; }
    const std::vector<std::pair<std::uint16_t, Entry>>& Ranking() const { return ranking_; }

private:
    std::map<std::uint16_t, Entry> table_;
    std::vector<std::pair<std::uint16_t, Entry>> ranking_;
    std::int16_t level_ = 2;
    std::int32_t allGood_ = 1;
};
