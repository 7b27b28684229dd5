#pragma once
// The records behind the rows of the participant trees: one per user row, one per department
// row. They are plain values; the trees own the nodes that hold them.

#include <QString>

#include <array>
#include <cstdint>

#include "ST_DEPT_INFO.h"
#include "ST_USER_ITEM_DEPT.h"

namespace yav::users {

// A department's key in the trees is its server id plus this shift (applied once, by the main
// frame); a top-level department has the parent key kTopLevelParentKey (server parent id -1).
inline constexpr std::uint32_t kDeptKeyShift = 10;
inline constexpr std::uint32_t kTopLevelParentKey = 9;
// The department whose members are counted by distinct user ids over its whole subtree.
inline constexpr std::uint32_t kDistinctCountDeptKey = 4;
// The longest name a record keeps: the participant record's name field.
inline constexpr int kMaxNameUnits = 32;

// Presenter and speak states of a participant.
enum : std::uint8_t { kStateNone = 0, kStateQueued = 1, kStateActive = 2 };

struct TreeUser {
    std::uint16_t userId = 0;  // a multiple of 8: the base of the user's media ids
    QString name;              // plain text, at most kMaxNameUnits units
    std::uint8_t kind = USER_KIND_MEMBER;
    std::uint32_t deptKey = 0;  // server department id + kDeptKeyShift
    std::uint32_t value75 = 0;
    std::uint8_t presenterState = kStateNone;
    std::uint8_t speakState = kStateNone;
    std::uint8_t broadcastMask = 0;
    std::uint8_t receivedMask = 0;
    std::uint8_t audioFlag = 0;
    std::uint8_t ownedMask = 0;
    std::uint8_t channelCount = 0;
    std::uint8_t value85 = 0;
    std::array<std::uint8_t, ST_USER_PRIVATEDATA::kSize> privateBlock{};

    bool IsAdminKind() const { return kind == USER_KIND_CHAIR || kind == USER_KIND_TEMP_ADMIN; }
    // Presenter, in the presenter queue, speaking or asking to speak.
    bool BelongsOnStage() const {
        return presenterState == kStateQueued || presenterState == kStateActive ||
               speakState == kStateQueued || speakState == kStateActive;
    }
    // Byte 9 of the private block keeps a user in the speaker list.
    bool IsListenedTo() const { return privateBlock[9] != 0; }
    bool OwnsChannel(unsigned channel) const {
        return channel < 8 && (ownedMask & (1u << channel)) != 0;
    }
    bool IsChannelBroadcast(unsigned channel) const {
        return channel < 8 && (broadcastMask & (1u << channel)) != 0;
    }
    bool operator==(const TreeUser&) const = default;
};

struct TreeDept {
    std::uint32_t parentKey = kTopLevelParentKey;
    std::uint32_t secondValue = 0;
    QString name;  // kept apart from the count, so a name may hold "(" or digits
    int count = 0;
    std::uint32_t ownKey = 0;

    // "%s(%d)" of name and count.
    QString Caption() const { return QStringLiteral("%1(%2)").arg(name, QString::number(count)); }
    bool operator==(const TreeDept&) const = default;
};

// The display name of a participant record: up to its terminator, never past the field.
QString RecordName(const ST_USER_ITEM_DEPT& record);
// The tree record of a participant record (the department id is taken as it stands: the main
// frame has shifted it already); the received mask starts empty.
TreeUser MakeTreeUser(const ST_USER_ITEM_DEPT& record);
// The tree record of a department the server listed: its keys are the server ids shifted by
// kDeptKeyShift (the top level's -1 becomes kTopLevelParentKey). The main frame calls this,
// once per department.
TreeDept TreeDeptOf(const ST_DEPT_INFO& info);
// Copies what a record change carries (not the department key, not the received mask).
void ApplyRecordChange(TreeUser& user, const ST_USER_ITEM_DEPT& record);

}  // namespace yav::users
