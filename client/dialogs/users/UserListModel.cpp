#include "UserListModel.h"

namespace yav::users {

UserListModel::UserListModel() {
    m_results.SetMode(UserTree::Mode::SearchResults);
}

void UserListModel::SetLocalUser(std::uint16_t myUserId) {
    if (m_myUserId != 0) {
        return;
    }
    m_myUserId = myUserId;
    m_members.SetLocalUser(myUserId);
    m_stage.SetLocalUser(myUserId);
    m_results.SetLocalUser(myUserId);
}

void UserListModel::ClearLocalUser() {
    if (m_myUserId == 0) {
        return;
    }
    m_myUserId = 0;
    m_members.SetLocalUser(0);
}

bool UserListModel::AddDepartment(const TreeDept& dept) {
    if (dept.parentKey == kTopLevelParentKey) {
        m_members.AddDept(dept, nullptr);
        return true;
    }
    TreeNode* parent = m_members.FindDeptItem(dept.parentKey);
    if (parent == nullptr || parent->dept.ownKey == dept.ownKey) {
        return false;
    }
    // A parent inside the department itself would make a cycle: left out.
    for (const TreeNode* at = parent; at != nullptr; at = at->parent) {
        if (at->IsDept() && at != &m_members.Root() && at->dept.ownKey == dept.ownKey) {
            return false;
        }
    }
    m_members.AddDept(dept, parent);
    return true;
}

bool UserListModel::AddUser(const ST_USER_ITEM_DEPT& record) {
    const auto userId = UserOf(record.userId);
    if (!m_present.insert(userId).second) {
        return false;
    }
    if (m_host != nullptr) {
        m_host->AddChatRecipient(record);
    }
    TreeUser user = MakeTreeUser(record);
    user.userId = userId;
    const bool mine = m_myUserId != 0 && userId == m_myUserId;
    if (user.presenterState == kStateActive && m_host != nullptr) {
        m_host->OnPresenterJoined(userId, mine);
    }
    if (user.speakState == kStateActive) {
        m_members.AddSpeaker(userId);
    }
    if (user.broadcastMask != 0) {
        m_members.SetBroadcastMask(userId, user.broadcastMask);
    }
    TreeNode* dept = m_members.FindDeptItem(user.deptKey);
    if (mine) {
        m_members.InsertUnder(user, nullptr);
    }
    if (dept != nullptr) {
        for (TreeNode* node : m_members.UserNodes(userId)) {
            if (node->parent == dept) {
                m_members.RemoveNode(node);
            }
        }
        m_members.InsertUnder(user, dept);
    } else if (!mine) {
        m_members.InsertUnder(user, nullptr);
    }
    if (user.BelongsOnStage()) {
        PutOnStage(user);
    }
    return true;
}

void UserListModel::PutOnStage(const TreeUser& user) {
    for (TreeNode* node : m_stage.UserNodes(user.userId)) {
        m_stage.RemoveNode(node);
    }
    m_stage.InsertStageUser(user);
}

void UserListModel::TakeOffStage(std::uint16_t userId, const TreeUser& old) {
    for (TreeNode* node : m_stage.UserNodes(userId)) {
        m_stage.RemoveNode(node);
    }
    // The distinct-count department lists the stage's users: the row goes with it, unless it
    // is the user's own department.
    if (old.deptKey == kDistinctCountDeptKey) {
        return;
    }
    for (TreeNode* node : m_members.UserNodes(userId)) {
        if (node->parent != nullptr && node->parent->IsDept() &&
            node->parent != &m_members.Root() &&
            node->parent->dept.ownKey == kDistinctCountDeptKey) {
            m_members.RemoveNode(node);
        }
    }
}

void UserListModel::OnUserLeave(std::uint16_t userId, std::uint32_t /*departmentId*/) {
    userId = UserOf(userId);
    m_present.erase(userId);
    if (m_host != nullptr) {
        m_host->RemoveChatRecipient(userId);
    }
    m_members.RemoveUser(userId);
    for (TreeNode* node : m_stage.UserNodes(userId)) {
        m_stage.RemoveNode(node);
    }
    for (TreeNode* node : m_results.UserNodes(userId)) {
        m_results.RemoveNode(node);
    }
}

void UserListModel::RefreshResults() {
    // The result rows show the participant tree's records.
    for (const auto& row : m_results.Root().children) {
        const TreeUser* record = m_members.FindUserRecord(row->user.userId);
        if (record != nullptr && !(*record == row->user)) {
            const TreeUser copy = *record;
            m_results.ForEachUserRow(copy.userId, [&copy](TreeUser& user) { user = copy; });
        }
    }
}

void UserListModel::OnUserUpdate(const ST_USER_ITEM_DEPT& record) {
    m_members.UpdateUser(record);
    m_stage.UpdateUser(record);
    RefreshResults();
}

void UserListModel::OnLeadingStatus(std::uint16_t userId, std::uint8_t presenterState) {
    userId = UserOf(userId);
    const TreeUser* found = m_members.FindUserRecord(userId);
    if (found == nullptr) {
        return;
    }
    const TreeUser old = *found;
    m_stage.SetLeadingState(userId, presenterState);
    m_members.SetLeadingState(userId, presenterState);
    if (old.presenterState != presenterState) {
        const TreeUser* now = m_members.FindUserRecord(userId);
        if (now != nullptr && now->BelongsOnStage()) {
            PutOnStage(*now);
        }
        if (presenterState == kStateNone && old.presenterState != kStateNone &&
            old.speakState == kStateNone) {
            TakeOffStage(userId, old);
        }
    }
    RefreshResults();
}

void UserListModel::OnUserAudioState(std::uint16_t userId, std::uint8_t speakState) {
    userId = UserOf(userId);
    const TreeUser* found = m_members.FindUserRecord(userId);
    if (found == nullptr) {
        return;
    }
    const TreeUser old = *found;
    m_stage.SetSpeakState(userId, speakState);
    m_members.SetSpeakState(userId, speakState);
    if (old.speakState != speakState) {
        const TreeUser* now = m_members.FindUserRecord(userId);
        if (old.presenterState != kStateActive && speakState != kStateNone && now != nullptr) {
            PutOnStage(*now);
        }
        if (speakState == kStateNone && old.speakState != kStateNone &&
            old.presenterState == kStateNone) {
            TakeOffStage(userId, old);
        }
    }
    RefreshResults();
}

void UserListModel::OnUserKindChanged(std::uint16_t userId, std::uint32_t /*departmentId*/,
                                      std::uint8_t kind) {
    userId = UserOf(userId);
    m_members.SetKind(userId, kind);
    m_stage.SetKind(userId, kind);
    RefreshResults();
}

void UserListModel::SetBroadcastState(std::uint16_t mediaId, bool on) {
    if (ChannelOf(mediaId) == 7) {
        return;
    }
    m_stage.SetBroadcastBit(mediaId, on);
    m_members.SetBroadcastBit(mediaId, on);
    RefreshResults();
    if (m_host != nullptr) {
        m_host->SetSpeakIndicator(mediaId, on);
    }
}

void UserListModel::OnVideoReceived(std::uint16_t mediaId, bool on) {
    m_members.SetReceived(mediaId, on);
}

void UserListModel::SetMyDeviceState(const std::uint8_t state[6]) {
    m_members.SetMyDeviceState(state);
    m_stage.SetMyDeviceState(state);
    RefreshResults();
}

bool UserListModel::IsPresent(std::uint16_t userId) const {
    return m_present.count(UserOf(userId)) != 0;
}

void UserListModel::ResetAll() {
    // The chat window forgets whom it no longer knows; the users come back with their joins.
    if (m_host != nullptr) {
        for (const std::uint16_t userId : m_present) {
            m_host->RemoveChatRecipient(userId);
        }
    }
    ClearSearch();
    m_stage.DeleteAll();
    m_members.DeleteAll();
    m_results.DeleteAll();
    m_present.clear();
    m_members.ClearBroadcast();
    m_members.ClearReceived();
    m_members.ClearSpeakers();
}

bool UserListModel::RunSearch(const QString& text) {
    ++m_searchRuns;
    m_searchText = text;
    m_searchActive = true;
    return m_results.FillResults(m_members.Search(text, m_searchTexts));
}

void UserListModel::ClearSearch() {
    m_searchActive = false;
}

const TreeUser* UserListModel::FindUserRecord(std::uint16_t mediaId) const {
    return m_members.FindUserRecord(mediaId);
}

}  // namespace yav::users
