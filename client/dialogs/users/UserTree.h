#pragma once
// One participant tree without a window: department and user nodes, and the tables the
// participant tree keeps beside them (speakers, broadcast and received channels, users granted
// screen control). The participant window holds three: the participant tree, the stage list
// and the search results. Views watch a tree through ITreeObserver and never change it.
//
// UI thread only (the participant window's events and the view's clicks).

#include <QString>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <unordered_map>
#include <vector>

#include "TreeRecords.h"

namespace yav::users {

struct TreeNode {
    enum class Kind : std::uint8_t { User = 0, Department = 1 };
    // Hover areas of a row: 0 none, 1 row, 2 video icon, 3 audio icon, 4 presenter icon.
    enum : std::uint8_t { kHoverNone = 0, kHoverRow, kHoverVideo, kHoverAudio, kHoverPresenter };

    Kind kind = Kind::User;
    std::uint8_t hoverArea = kHoverNone;
    bool expanded = false;
    TreeUser user;  // user nodes
    TreeDept dept;  // department nodes
    TreeNode* parent = nullptr;
    std::vector<std::unique_ptr<TreeNode>> children;

    bool IsUser() const { return kind == Kind::User; }
    bool IsDept() const { return kind == Kind::Department; }
    int Row() const;
    // Distance from the root: 0 for a top-level row.
    int Depth() const;
};

// Told before and after every structural change, and after a row's record changed.
class ITreeObserver {
public:
    virtual ~ITreeObserver() = default;
    virtual void BeginInsert(const TreeNode* parent, int row) = 0;
    virtual void EndInsert() = 0;
    virtual void BeginRemove(const TreeNode* parent, int row) = 0;
    virtual void EndRemove() = 0;
    virtual void BeginReset() = 0;
    virtual void EndReset() = 0;
    virtual void RowChanged(const TreeNode* node) = 0;
};

class UserTree {
public:
    enum class Mode { Normal = 0, SearchResults = 2 };
    // Search kinds: 0 text, 1 presenter, 2 administrator kind 0, 3 speaking.
    enum class SearchKind { Text = 0, Presenter = 1, Chair = 2, Speaking = 3 };

    UserTree();
    ~UserTree();
    UserTree(const UserTree&) = delete;
    UserTree& operator=(const UserTree&) = delete;

    void SetObserver(ITreeObserver* observer) { m_observer = observer; }
    void SetMode(Mode mode) { m_mode = mode; }
    Mode GetMode() const { return m_mode; }
    void SetLocalUser(std::uint16_t myUserId) { m_myUserId = myUserId; }
    std::uint16_t GetLocalUser() const { return m_myUserId; }

    const TreeNode& Root() const { return m_root; }
    TreeNode* RootNode() { return &m_root; }

    // --- structure ---
    // My own user goes first under the parent (and is remembered as my record when it lands at
    // the root), anyone else last; a department parent counts one more member.
    TreeNode* InsertUnder(const TreeUser& user, TreeNode* parent);
    // At the root in stage order: presenter, speakers, presenter queue (newest first), those
    // asking to speak (newest first).
    TreeNode* InsertStageUser(const TreeUser& user);
    // Replaces a department of the same own key; parent null is the root.
    TreeNode* AddDept(const TreeDept& dept, TreeNode* parent);
    TreeNode* FindDeptItem(std::uint32_t key) const;
    // Every row of the user goes, with its speaker, broadcast and received entries; department
    // counts drop with each row.
    void RemoveUser(std::uint16_t userId);
    // Removes one row; a user row under a department lowers the counts.
    void RemoveNode(TreeNode* node);
    void DeleteAll();

    // --- rows of a user ---
    // Every user row of the id (low three bits ignored), in no particular order.
    std::vector<TreeNode*> UserNodes(std::uint16_t userId) const;
    // The first user row of the id in tree order, or null.
    TreeNode* FirstUserNode(std::uint16_t userId) const;
    const TreeUser* FindUserRecord(std::uint16_t mediaId) const;
    const TreeUser* FindUserByName(const QString& name) const;
    TreeNode* MyRootNode() const { return m_myRootNode; }
    // Applies change to every row of the user and tells the observer; false when none.
    bool ForEachUserRow(std::uint16_t userId, const std::function<void(TreeUser&)>& change);

    // --- record updates ---
    void UpdateUser(const ST_USER_ITEM_DEPT& record);
    void SetLeadingState(std::uint16_t userId, std::uint8_t state);
    // Keeps the speaker list: 2 adds, 0 removes, a listened-to user stays.
    void SetSpeakState(std::uint16_t userId, std::uint8_t state);
    void SetKind(std::uint16_t userId, std::uint8_t kind);
    // Channels 0..6 only; records the new mask in the broadcast table.
    void SetBroadcastBit(std::uint16_t mediaId, bool on);
    // (owned mask, audio flag, channel count, byte 85, two unused) of my own rows.
    void SetMyDeviceState(const std::uint8_t state[6]);
    void SetHover(TreeNode* node, std::uint8_t area);
    void SetExpanded(TreeNode* node, bool expanded);

    // --- speaker list ---
    void AddSpeaker(std::uint16_t userId);
    void RemoveSpeaker(std::uint16_t userId);
    void ClearSpeakers() { m_speakers.clear(); }
    int GetSpeakerCount() const { return static_cast<int>(m_speakers.size()); }
    const std::vector<std::uint16_t>& Speakers() const { return m_speakers; }

    // --- broadcast table ---
    void SetBroadcastMask(std::uint16_t userId, std::uint8_t mask);
    bool IsBroadcasting(std::uint16_t mediaId) const;
    void GetBroadcastMediaIds(std::vector<std::uint16_t>& out) const;
    // Broadcast channels 0..6 of everybody in the table (the caller adds its own).
    int GetBroadcastCount() const;
    void ClearBroadcast() { m_broadcast.clear(); }

    // --- received table: what this client receives of each user ---
    void SetReceived(std::uint16_t mediaId, bool on);
    bool IsReceived(std::uint16_t mediaId) const;
    int GetReceivedCount() const;
    void ClearReceived();

    // --- screen control ---
    void AddScreenControlUser(std::uint16_t userId) { m_screenControl.insert(userId); }
    void RemoveScreenControlUser(std::uint16_t userId) { m_screenControl.erase(userId); }
    void ClearScreenControlUsers() { m_screenControl.clear(); }
    bool HasScreenControl(std::uint16_t userId) const { return m_screenControl.count(userId); }

    // --- search ---
    // The language's keywords of the three predefined searches, and the placeholder row's text.
    struct SearchTexts {
        QString presenter;
        QString chair;
        QString speaking;
        QString placeholder;
    };
    static SearchKind KindOfSearchText(const QString& text, const SearchTexts& texts);
    // Every matching user row, by (name length - text length), then tree order. Rows whose text
    // is the placeholder's are skipped with their children.
    std::vector<const TreeNode*> Search(const QString& text, const SearchTexts& texts) const;
    // Fills this (result) tree with copies of the rows; false when there are none.
    bool FillResults(const std::vector<const TreeNode*>& rows);

private:
    void Attach(std::unique_ptr<TreeNode> node, TreeNode* parent, int row);
    void Index(TreeNode* node);
    void Unindex(TreeNode* node);
    void AdjustCounts(TreeNode* dept, int delta);
    void RecountDistinct(TreeNode* dept);
    void NotifyChanged(const TreeNode* node);

    TreeNode m_root;
    Mode m_mode = Mode::Normal;
    ITreeObserver* m_observer = nullptr;
    std::uint16_t m_myUserId = 0;
    TreeNode* m_myRootNode = nullptr;
    std::unordered_multimap<std::uint16_t, TreeNode*> m_userRows;
    std::unordered_map<std::uint32_t, TreeNode*> m_depts;
    std::vector<std::uint16_t> m_speakers;
    std::map<std::uint16_t, std::uint8_t> m_broadcast;
    std::map<std::uint16_t, std::uint8_t> m_received;
    std::set<std::uint16_t> m_screenControl;
};

}  // namespace yav::users
