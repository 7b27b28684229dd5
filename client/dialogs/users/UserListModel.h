#pragma once
// What the participant window keeps without a window: the participant tree, the stage list
// and the search results, the users present, and the search state. The conference core's
// user events come in here (through the window) and keep the three trees consistent.
//
// UI thread only.

#include <QString>

#include <cstdint>
#include <set>

#include "TreeRecords.h"
#include "UserTree.h"

namespace yav::users {

// What the model tells the rest of the room.
class IUserListHost {
public:
    virtual ~IUserListHost() = default;
    // A user joined (once per stay): the chat window's recipient list.
    virtual void AddChatRecipient(const ST_USER_ITEM_DEPT& record) = 0;
    // A user left: the chat window drops the recipient.
    virtual void RemoveChatRecipient(std::uint16_t userId) = 0;
    // A user joined as presenter (state 2).
    virtual void OnPresenterJoined(std::uint16_t userId, bool isMe) = 0;
    // A channel's broadcast changed: the video window showing it marks its speaker.
    virtual void SetSpeakIndicator(std::uint16_t mediaId, bool on) = 0;
};

class UserListModel {
public:
    UserListModel();

    void SetHost(IUserListHost* host) { m_host = host; }

    UserTree& Members() { return m_members; }
    UserTree& Stage() { return m_stage; }
    UserTree& Results() { return m_results; }
    const UserTree& Members() const { return m_members; }
    const UserTree& Stage() const { return m_stage; }
    const UserTree& Results() const { return m_results; }

    // Once per conference: ignored while an id is set.
    void SetLocalUser(std::uint16_t myUserId);
    void ClearLocalUser();
    std::uint16_t GetLocalUser() const { return m_myUserId; }

    // --- departments (keys already shifted by the main frame) ---
    // A department whose parent key is the top-level key goes to the root; one whose parent is
    // not in the tree is left out (false).
    bool AddDepartment(const TreeDept& dept);

    // --- user events ---
    // False for a user already present.
    bool AddUser(const ST_USER_ITEM_DEPT& record);
    void OnUserLeave(std::uint16_t userId, std::uint32_t departmentId);
    void OnUserUpdate(const ST_USER_ITEM_DEPT& record);
    void OnLeadingStatus(std::uint16_t userId, std::uint8_t presenterState);
    void OnUserAudioState(std::uint16_t userId, std::uint8_t speakState);
    void OnUserKindChanged(std::uint16_t userId, std::uint32_t departmentId, std::uint8_t kind);
    // Channels 0..6; channel 7 (the shared media) is ignored.
    void SetBroadcastState(std::uint16_t mediaId, bool on);
    // The result of a video request of this client (received or stopped).
    void OnVideoReceived(std::uint16_t mediaId, bool on);
    // (owned mask, audio flag, channel count, byte 85, two unused).
    void SetMyDeviceState(const std::uint8_t state[6]);
    bool IsPresent(std::uint16_t userId) const;

    // Empties all three trees and every table; leaves the search.
    void ResetAll();

    // --- search ---
    void SetSearchTexts(const UserTree::SearchTexts& texts) { m_searchTexts = texts; }
    // Runs the search of the text: the result tree is filled; true with results. The search
    // stays active either way until ClearSearch.
    bool RunSearch(const QString& text);
    void ClearSearch();
    bool IsSearchActive() const { return m_searchActive; }
    const QString& SearchText() const { return m_searchText; }
    int SearchRuns() const { return m_searchRuns; }

    // The record of a user in the participant tree (media ids accepted), or null.
    const TreeUser* FindUserRecord(std::uint16_t mediaId) const;

private:
    void PutOnStage(const TreeUser& user);
    void TakeOffStage(std::uint16_t userId, const TreeUser& old);
    void RefreshResults();

    IUserListHost* m_host = nullptr;
    UserTree m_members;
    UserTree m_stage;
    UserTree m_results;
    std::uint16_t m_myUserId = 0;
    std::set<std::uint16_t> m_present;
    UserTree::SearchTexts m_searchTexts;
    QString m_searchText;
    bool m_searchActive = false;
    int m_searchRuns = 0;
};

}  // namespace yav::users
