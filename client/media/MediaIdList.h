#pragma once
// The order in which remote videos became available: media ids, each with a flag byte
// (1 while the id is shown in a window), read page by page in paged video mode.

#include <cstdint>
#include <list>
#include <optional>
#include <vector>

#include "platform/core/CriticalSection.h"

class CMediaIdList {
public:
    struct Entry {
        std::uint16_t wMediaId = 0;
        std::uint8_t flag = 0;
    };

    CMediaIdList() = default;
    ~CMediaIdList();
    CMediaIdList(const CMediaIdList&) = delete;
    CMediaIdList& operator=(const CMediaIdList&) = delete;

    void Clear();
    // An id already present moves behind the tail; a new one is appended with flag 0.
    void AddOrMoveToTail(std::uint16_t wMediaId);
    // 1 when the id was listed and is now gone, 0 when it was absent.
    int Remove(std::uint16_t wMediaId);
    // false when the id is not listed.
    bool SetFlag(std::uint16_t wMediaId, std::uint8_t flag);
    // Appends to `out` every unflagged id at a list index of at least `start`; the walk
    // stops after the node at which the number appended by this call reaches `maximum`.
    void CollectUnflagged(std::vector<std::uint16_t>& out, int start, int maximum);
    int GetCount();

    std::optional<Entry> Find(std::uint16_t wMediaId);
    std::optional<Entry> Tail();
    // A copy of the whole list in order (for callers that show it).
    std::vector<Entry> Snapshot();

private:
    using Nodes = std::list<Entry>;
    Nodes::iterator FindLocked(std::uint16_t wMediaId);

    Nodes m_nodes;
    int m_nCount = 0;
    yav::CriticalSection m_lock;
};
