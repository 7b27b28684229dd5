#pragma once
// Participant records for the participant-tree tests.

#include <QString>

#include <algorithm>
#include <cstdint>

#include "ST_USER_ITEM_DEPT.h"
#include "dialogs/users/TreeRecords.h"

namespace users_test {

struct Person {
    std::uint16_t id = 0;
    const char16_t* name = u"";
    std::uint32_t deptKey = 0;  // shifted already
    std::uint8_t kind = USER_KIND_MEMBER;
    std::uint8_t presenter = 0;
    std::uint8_t speak = 0;
    std::uint8_t owned = 0;
    std::uint8_t channels = 0;
    std::uint8_t audio = 1;
    std::uint8_t broadcast = 0;
};

inline ST_USER_ITEM_DEPT Record(const Person& person) {
    ST_USER_ITEM_DEPT record;
    record.userId = person.id;
    const std::u16string_view name(person.name);
    std::copy_n(name.begin(), std::min<std::size_t>(name.size(), 32), record.name);
    record.departmentId = person.deptKey;
    record.kind = person.kind;
    record.presenterState = person.presenter;
    record.speakState = person.speak;
    record.channelMask = person.owned;
    record.videoChannelCount = person.channels;
    record.audioDevice = person.audio;
    record.broadcastMask = person.broadcast;
    return record;
}

inline yav::users::TreeDept Dept(std::uint32_t ownKey, std::uint32_t parentKey,
                                 const QString& name) {
    yav::users::TreeDept dept;
    dept.ownKey = ownKey;
    dept.parentKey = parentKey;
    dept.name = name;
    return dept;
}

}  // namespace users_test
