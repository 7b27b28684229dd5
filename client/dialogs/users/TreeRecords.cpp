#include "TreeRecords.h"

#include <algorithm>

namespace yav::users {

QString RecordName(const ST_USER_ITEM_DEPT& record) {
    const char16_t* begin = record.name;
    const char16_t* end = std::find(begin, begin + kMaxNameUnits, u'\0');
    return QString::fromUtf16(begin, end - begin);
}

void ApplyRecordChange(TreeUser& user, const ST_USER_ITEM_DEPT& record) {
    user.name = RecordName(record);
    user.kind = record.kind;
    user.presenterState = record.presenterState;
    user.speakState = record.speakState;
    user.broadcastMask = record.broadcastMask;
    user.audioFlag = record.audioDevice;
    user.ownedMask = record.channelMask;
    user.channelCount = record.videoChannelCount;
    user.value85 = record.value85;
    yav::proto::ByteWriter out;
    record.privateData.Write(out);
    const auto& bytes = out.Data();
    std::copy_n(bytes.begin(), std::min(bytes.size(), user.privateBlock.size()),
                user.privateBlock.begin());
}

TreeDept TreeDeptOf(const ST_DEPT_INFO& info) {
    TreeDept dept;
    dept.parentKey = static_cast<std::uint32_t>(info.parentId) + kDeptKeyShift;
    dept.ownKey = info.id + kDeptKeyShift;
    dept.secondValue = info.value;
    const char16_t* end = std::find(info.name, info.name + ST_DEPT_INFO::kNameUnits, u'\0');
    dept.name = QString::fromUtf16(info.name, end - info.name);
    return dept;
}

TreeUser MakeTreeUser(const ST_USER_ITEM_DEPT& record) {
    TreeUser user;
    user.userId = record.userId;
    user.deptKey = record.departmentId;
    user.value75 = record.value75;
    ApplyRecordChange(user, record);
    user.receivedMask = 0;
    return user;
}

}  // namespace yav::users
