#include "client/media/MediaIdList.h"

#include "client/Common/XAutoCritical.h"

CMediaIdList::~CMediaIdList() {
    Clear();
}

void CMediaIdList::Clear() {
    XAutoCritical lock(&m_lock);
    m_nodes.clear();
    m_nCount = 0;
}

CMediaIdList::Nodes::iterator CMediaIdList::FindLocked(std::uint16_t wMediaId) {
    for (auto it = m_nodes.begin(); it != m_nodes.end(); ++it) {
        if (it->wMediaId == wMediaId) {
            return it;
        }
    }
    return m_nodes.end();
}

// The lookup and the change that follows it happen under one hold of the lock: the list is
// shared with media callbacks, and a node found under one hold may be gone by the next.
void CMediaIdList::AddOrMoveToTail(std::uint16_t wMediaId) {
    XAutoCritical lock(&m_lock);
    auto it = FindLocked(wMediaId);
    if (it != m_nodes.end()) {
        m_nodes.splice(m_nodes.end(), m_nodes, it);
        return;
    }
    m_nodes.push_back(Entry{wMediaId, 0});
    ++m_nCount;
}

int CMediaIdList::Remove(std::uint16_t wMediaId) {
    XAutoCritical lock(&m_lock);
    auto it = FindLocked(wMediaId);
    if (it == m_nodes.end()) {
        return 0;
    }
    m_nodes.erase(it);
    --m_nCount;
    return 1;
}

bool CMediaIdList::SetFlag(std::uint16_t wMediaId, std::uint8_t flag) {
    XAutoCritical lock(&m_lock);
    auto it = FindLocked(wMediaId);
    if (it == m_nodes.end()) {
        return false;
    }
    it->flag = flag;
    return true;
}

void CMediaIdList::CollectUnflagged(std::vector<std::uint16_t>& out, int start, int maximum) {
    XAutoCritical lock(&m_lock);
    int index = 0;
    int appended = 0;
    for (const Entry& node : m_nodes) {
        if (index >= start && node.flag == 0) {
            out.push_back(node.wMediaId);
            ++appended;
        }
        ++index;
        if (appended >= maximum) {
            break;
        }
    }
}

int CMediaIdList::GetCount() {
    XAutoCritical lock(&m_lock);
    return m_nCount;
}

std::optional<CMediaIdList::Entry> CMediaIdList::Find(std::uint16_t wMediaId) {
    XAutoCritical lock(&m_lock);
    auto it = FindLocked(wMediaId);
    if (it == m_nodes.end()) {
        return std::nullopt;
    }
    return *it;
}

std::optional<CMediaIdList::Entry> CMediaIdList::Tail() {
    XAutoCritical lock(&m_lock);
    if (m_nodes.empty()) {
        return std::nullopt;
    }
    return m_nodes.back();
}

std::vector<CMediaIdList::Entry> CMediaIdList::Snapshot() {
    XAutoCritical lock(&m_lock);
    return {m_nodes.begin(), m_nodes.end()};
}
