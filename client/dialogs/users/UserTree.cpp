#include "UserTree.h"

#include <algorithm>
#include <set>
#include <unordered_set>

namespace yav::users {

namespace {

constexpr std::uint16_t kUserIdMask = 0xFFF8;

// Stage rank of a row: presenter 0, speaking 1, presenter queue 2, asking to speak 3; a row
// with none of them keeps the rank of the row before it.
int StageRank(const TreeUser& user, int previousRank) {
    if (user.presenterState == kStateActive) {
        return 0;
    }
    if (user.presenterState == kStateQueued) {
        return 2;
    }
    if (user.speakState == kStateActive) {
        return 1;
    }
    if (user.speakState == kStateQueued) {
        return 3;
    }
    return previousRank;
}

int CountUserRows(const TreeNode& node) {
    int count = node.IsUser() ? 1 : 0;
    for (const auto& child : node.children) {
        count += CountUserRows(*child);
    }
    return count;
}

void CollectUserIds(const TreeNode& node, std::unordered_set<std::uint16_t>& ids) {
    for (const auto& child : node.children) {
        if (child->IsUser()) {
            ids.insert(child->user.userId);
        } else {
            CollectUserIds(*child, ids);
        }
    }
}

}  // namespace

int TreeNode::Row() const {
    if (parent == nullptr) {
        return 0;
    }
    const auto& siblings = parent->children;
    for (std::size_t i = 0; i < siblings.size(); ++i) {
        if (siblings[i].get() == this) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int TreeNode::Depth() const {
    int depth = -1;
    for (const TreeNode* node = parent; node != nullptr; node = node->parent) {
        ++depth;
    }
    return depth;
}

UserTree::UserTree() {
    m_root.kind = TreeNode::Kind::Department;
    m_root.expanded = true;
}

UserTree::~UserTree() = default;

void UserTree::Attach(std::unique_ptr<TreeNode> node, TreeNode* parent, int row) {
    node->parent = parent;
    TreeNode* raw = node.get();
    if (m_observer != nullptr) {
        m_observer->BeginInsert(parent, row);
    }
    parent->children.insert(parent->children.begin() + row, std::move(node));
    Index(raw);
    if (m_observer != nullptr) {
        m_observer->EndInsert();
    }
}

void UserTree::Index(TreeNode* node) {
    if (node->IsUser()) {
        m_userRows.emplace(node->user.userId, node);
    } else {
        m_depts[node->dept.ownKey] = node;
    }
    for (auto& child : node->children) {
        Index(child.get());
    }
}

void UserTree::Unindex(TreeNode* node) {
    if (node->IsUser()) {
        auto [first, last] = m_userRows.equal_range(node->user.userId);
        for (auto it = first; it != last; ++it) {
            if (it->second == node) {
                m_userRows.erase(it);
                break;
            }
        }
        if (node == m_myRootNode) {
            m_myRootNode = nullptr;
        }
    } else if (auto it = m_depts.find(node->dept.ownKey);
               it != m_depts.end() && it->second == node) {
        m_depts.erase(it);
    }
    for (auto& child : node->children) {
        Unindex(child.get());
    }
}

void UserTree::NotifyChanged(const TreeNode* node) {
    if (m_observer != nullptr) {
        m_observer->RowChanged(node);
    }
}

void UserTree::AdjustCounts(TreeNode* dept, int delta) {
    for (TreeNode* node = dept; node != nullptr && node != &m_root; node = node->parent) {
        if (!node->IsDept()) {
            continue;
        }
        if (node->dept.ownKey == kDistinctCountDeptKey) {
            RecountDistinct(node);
        } else {
            node->dept.count = std::max(0, node->dept.count + delta);
        }
        NotifyChanged(node);
    }
}

void UserTree::RecountDistinct(TreeNode* dept) {
    for (auto& child : dept->children) {
        if (child->IsDept()) {
            RecountDistinct(child.get());
            NotifyChanged(child.get());
        }
    }
    std::unordered_set<std::uint16_t> ids;
    CollectUserIds(*dept, ids);
    dept->dept.count = static_cast<int>(ids.size());
}

TreeNode* UserTree::InsertUnder(const TreeUser& user, TreeNode* parent) {
    if (parent == nullptr) {
        parent = &m_root;
    }
    auto node = std::make_unique<TreeNode>();
    node->kind = TreeNode::Kind::User;
    node->user = user;
    TreeNode* raw = node.get();
    const bool mine = m_myUserId != 0 && user.userId == m_myUserId;
    Attach(std::move(node), parent, mine ? 0 : static_cast<int>(parent->children.size()));
    if (mine && parent == &m_root) {
        m_myRootNode = raw;
    }
    if (parent != &m_root) {
        AdjustCounts(parent, +1);
    }
    return raw;
}

TreeNode* UserTree::InsertStageUser(const TreeUser& user) {
    int limit = 3;
    if (user.presenterState == kStateActive) {
        limit = 0;
    } else if (user.presenterState == kStateQueued) {
        limit = 2;
    } else if (user.speakState == kStateActive) {
        limit = 1;
    }
    int row = 0;
    int rank = 0;
    for (const auto& child : m_root.children) {
        rank = StageRank(child->user, rank);
        if (rank >= limit) {
            break;
        }
        ++row;
    }
    auto node = std::make_unique<TreeNode>();
    node->kind = TreeNode::Kind::User;
    node->user = user;
    TreeNode* raw = node.get();
    Attach(std::move(node), &m_root, row);
    return raw;
}

TreeNode* UserTree::AddDept(const TreeDept& dept, TreeNode* parent) {
    if (parent == nullptr) {
        parent = &m_root;
    }
    if (TreeNode* existing = FindDeptItem(dept.ownKey); existing != nullptr && existing != parent) {
        RemoveNode(existing);
    }
    auto node = std::make_unique<TreeNode>();
    node->kind = TreeNode::Kind::Department;
    node->dept = dept;
    node->dept.count = 0;
    TreeNode* raw = node.get();
    Attach(std::move(node), parent, static_cast<int>(parent->children.size()));
    return raw;
}

TreeNode* UserTree::FindDeptItem(std::uint32_t key) const {
    auto it = m_depts.find(key);
    return it == m_depts.end() ? nullptr : it->second;
}

void UserTree::RemoveNode(TreeNode* node) {
    if (node == nullptr || node == &m_root || node->parent == nullptr) {
        return;
    }
    TreeNode* parent = node->parent;
    const int row = node->Row();
    if (row < 0) {
        return;
    }
    const int userRows = CountUserRows(*node);
    if (m_observer != nullptr) {
        m_observer->BeginRemove(parent, row);
    }
    Unindex(node);
    parent->children.erase(parent->children.begin() + row);
    if (m_observer != nullptr) {
        m_observer->EndRemove();
    }
    if (parent != &m_root && userRows > 0) {
        AdjustCounts(parent, -userRows);
    }
}

void UserTree::RemoveUser(std::uint16_t userId) {
    userId &= kUserIdMask;
    RemoveSpeaker(userId);
    m_broadcast.erase(userId);
    m_received.erase(userId);
    for (TreeNode* node : UserNodes(userId)) {
        RemoveNode(node);
    }
}

void UserTree::DeleteAll() {
    if (m_observer != nullptr) {
        m_observer->BeginReset();
    }
    m_root.children.clear();
    m_userRows.clear();
    m_depts.clear();
    m_myRootNode = nullptr;
    if (m_observer != nullptr) {
        m_observer->EndReset();
    }
}

std::vector<TreeNode*> UserTree::UserNodes(std::uint16_t userId) const {
    std::vector<TreeNode*> nodes;
    auto [first, last] = m_userRows.equal_range(static_cast<std::uint16_t>(userId & kUserIdMask));
    for (auto it = first; it != last; ++it) {
        nodes.push_back(it->second);
    }
    return nodes;
}

TreeNode* UserTree::FirstUserNode(std::uint16_t userId) const {
    // Tree order: the row whose path of row numbers is smallest.
    TreeNode* best = nullptr;
    std::vector<int> bestPath;
    for (TreeNode* node : UserNodes(userId)) {
        std::vector<int> path;
        for (const TreeNode* at = node; at->parent != nullptr; at = at->parent) {
            path.insert(path.begin(), at->Row());
        }
        if (best == nullptr || path < bestPath) {
            best = node;
            bestPath = std::move(path);
        }
    }
    return best;
}

const TreeUser* UserTree::FindUserRecord(std::uint16_t mediaId) const {
    const TreeNode* node = FirstUserNode(mediaId);
    return node == nullptr ? nullptr : &node->user;
}

const TreeUser* UserTree::FindUserByName(const QString& name) const {
    std::function<const TreeUser*(const TreeNode&)> walk =
        [&](const TreeNode& at) -> const TreeUser* {
        for (const auto& child : at.children) {
            if (child->IsUser() && child->user.name == name) {
                return &child->user;
            }
            if (const TreeUser* found = walk(*child); found != nullptr) {
                return found;
            }
        }
        return nullptr;
    };
    return walk(m_root);
}

bool UserTree::ForEachUserRow(std::uint16_t userId, const std::function<void(TreeUser&)>& change) {
    const auto nodes = UserNodes(userId);
    for (TreeNode* node : nodes) {
        change(node->user);
        NotifyChanged(node);
    }
    return !nodes.empty();
}

void UserTree::UpdateUser(const ST_USER_ITEM_DEPT& record) {
    ForEachUserRow(record.userId, [&](TreeUser& user) { ApplyRecordChange(user, record); });
}

void UserTree::SetLeadingState(std::uint16_t userId, std::uint8_t state) {
    ForEachUserRow(userId, [state](TreeUser& user) { user.presenterState = state; });
}

void UserTree::SetSpeakState(std::uint16_t userId, std::uint8_t state) {
    bool listened = false;
    ForEachUserRow(userId, [&](TreeUser& user) {
        user.speakState = state;
        listened = listened || user.IsListenedTo();
    });
    if (state == kStateActive) {
        AddSpeaker(userId);
    } else if (state == kStateNone) {
        RemoveSpeaker(userId);
    }
    if (listened) {
        AddSpeaker(userId);
    }
}

void UserTree::SetKind(std::uint16_t userId, std::uint8_t kind) {
    ForEachUserRow(userId, [kind](TreeUser& user) { user.kind = kind; });
}

void UserTree::SetBroadcastBit(std::uint16_t mediaId, bool on) {
    const unsigned channel = mediaId & 7u;
    if (channel == 7) {
        return;
    }
    const std::uint16_t userId = mediaId & kUserIdMask;
    const auto bit = static_cast<std::uint8_t>(1u << channel);
    std::uint8_t mask = 0;
    if (auto it = m_broadcast.find(userId); it != m_broadcast.end()) {
        mask = it->second;
    }
    mask = on ? static_cast<std::uint8_t>(mask | bit) : static_cast<std::uint8_t>(mask & ~bit);
    ForEachUserRow(userId, [&](TreeUser& user) {
        user.broadcastMask = on ? static_cast<std::uint8_t>(user.broadcastMask | bit)
                                : static_cast<std::uint8_t>(user.broadcastMask & ~bit);
    });
    SetBroadcastMask(userId, mask);
}

void UserTree::SetMyDeviceState(const std::uint8_t state[6]) {
    if (m_myUserId == 0) {
        return;
    }
    ForEachUserRow(m_myUserId, [state](TreeUser& user) {
        user.ownedMask = state[0];
        user.audioFlag = state[1];
        user.channelCount = state[2];
        user.value85 = state[3];
    });
}

void UserTree::SetHover(TreeNode* node, std::uint8_t area) {
    if (node != nullptr && node->hoverArea != area) {
        node->hoverArea = area;
        NotifyChanged(node);
    }
}

void UserTree::SetExpanded(TreeNode* node, bool expanded) {
    if (node != nullptr && node->expanded != expanded) {
        node->expanded = expanded;
        NotifyChanged(node);
    }
}

void UserTree::AddSpeaker(std::uint16_t userId) {
    userId &= kUserIdMask;
    if (std::find(m_speakers.begin(), m_speakers.end(), userId) == m_speakers.end()) {
        m_speakers.push_back(userId);
    }
}

void UserTree::RemoveSpeaker(std::uint16_t userId) {
    userId &= kUserIdMask;
    m_speakers.erase(std::remove(m_speakers.begin(), m_speakers.end(), userId), m_speakers.end());
}

void UserTree::SetBroadcastMask(std::uint16_t userId, std::uint8_t mask) {
    userId &= kUserIdMask;
    if (mask == 0) {
        m_broadcast.erase(userId);
    } else {
        m_broadcast[userId] = mask;
    }
}

bool UserTree::IsBroadcasting(std::uint16_t mediaId) const {
    auto it = m_broadcast.find(mediaId & kUserIdMask);
    return it != m_broadcast.end() && (it->second & (1u << (mediaId & 7u))) != 0;
}

void UserTree::GetBroadcastMediaIds(std::vector<std::uint16_t>& out) const {
    for (const auto& [userId, mask] : m_broadcast) {
        for (unsigned n = 0; n < 8; ++n) {
            if ((mask & (1u << n)) != 0) {
                out.push_back(static_cast<std::uint16_t>(userId + n));
            }
        }
    }
}

int UserTree::GetBroadcastCount() const {
    int count = 0;
    for (const auto& entry : m_broadcast) {
        count += __builtin_popcount(entry.second & 0x7Fu);
    }
    return count;
}

void UserTree::SetReceived(std::uint16_t mediaId, bool on) {
    const std::uint16_t userId = mediaId & kUserIdMask;
    const auto bit = static_cast<std::uint8_t>(1u << (mediaId & 7u));
    std::uint8_t& mask = m_received[userId];
    mask = on ? static_cast<std::uint8_t>(mask | bit) : static_cast<std::uint8_t>(mask & ~bit);
    const std::uint8_t now = mask;
    if (now == 0) {
        m_received.erase(userId);
    }
    ForEachUserRow(userId, [now](TreeUser& user) { user.receivedMask = now; });
}

bool UserTree::IsReceived(std::uint16_t mediaId) const {
    auto it = m_received.find(mediaId & kUserIdMask);
    return it != m_received.end() && (it->second & (1u << (mediaId & 7u))) != 0;
}

int UserTree::GetReceivedCount() const {
    int count = 0;
    for (const auto& entry : m_received) {
        count += __builtin_popcount(entry.second);
    }
    return count;
}

void UserTree::ClearReceived() {
    for (const auto& entry : std::map<std::uint16_t, std::uint8_t>(m_received)) {
        ForEachUserRow(entry.first, [](TreeUser& user) { user.receivedMask = 0; });
    }
    m_received.clear();
}

UserTree::SearchKind UserTree::KindOfSearchText(const QString& text, const SearchTexts& texts) {
    if (text.compare(texts.presenter, Qt::CaseInsensitive) == 0) {
        return SearchKind::Presenter;
    }
    if (text.compare(texts.chair, Qt::CaseInsensitive) == 0) {
        return SearchKind::Chair;
    }
    if (text.compare(texts.speaking, Qt::CaseInsensitive) == 0) {
        return SearchKind::Speaking;
    }
    return SearchKind::Text;
}

std::vector<const TreeNode*> UserTree::Search(const QString& text, const SearchTexts& texts) const {
    const SearchKind kind = KindOfSearchText(text, texts);
    const QString lowered = text.toLower();
    struct Match {
        qsizetype key;
        const TreeNode* node;
    };
    std::vector<Match> matches;
    // A user shows in several rows (mine at the root and under my department, anyone under
    // the distinct-count department too): one result per participant, its first row.
    std::set<std::uint16_t> found;
    std::function<void(const TreeNode&)> walk = [&](const TreeNode& at) {
        for (const auto& child : at.children) {
            const QString rowText = child->IsUser() ? child->user.name : child->dept.name;
            if (!texts.placeholder.isEmpty() && rowText == texts.placeholder) {
                continue;
            }
            if (child->IsDept()) {
                walk(*child);
                continue;
            }
            const TreeUser& user = child->user;
            bool hit = false;
            switch (kind) {
                case SearchKind::Presenter:
                    hit = user.presenterState == kStateActive;
                    break;
                case SearchKind::Chair:
                    hit = user.kind == USER_KIND_CHAIR;
                    break;
                case SearchKind::Speaking:
                    hit = user.speakState == kStateActive;
                    break;
                case SearchKind::Text:
                    hit = user.name.toLower().contains(lowered);
                    break;
            }
            if (hit && found.insert(user.userId).second) {
                matches.push_back({user.name.size() - text.size(), child.get()});
            }
        }
    };
    walk(m_root);
    std::stable_sort(matches.begin(), matches.end(),
                     [](const Match& a, const Match& b) { return a.key < b.key; });
    std::vector<const TreeNode*> rows;
    rows.reserve(matches.size());
    for (const Match& match : matches) {
        rows.push_back(match.node);
    }
    return rows;
}

bool UserTree::FillResults(const std::vector<const TreeNode*>& rows) {
    if (rows.empty()) {
        if (!m_root.children.empty()) {
            DeleteAll();
        }
        return false;
    }
    if (m_observer != nullptr) {
        m_observer->BeginReset();
    }
    ITreeObserver* observer = m_observer;
    m_observer = nullptr;
    DeleteAll();
    for (const TreeNode* row : rows) {
        auto node = std::make_unique<TreeNode>();
        node->user = row->user;
        Attach(std::move(node), &m_root, static_cast<int>(m_root.children.size()));
    }
    m_observer = observer;
    if (m_observer != nullptr) {
        m_observer->EndReset();
    }
    return true;
}

}  // namespace yav::users
