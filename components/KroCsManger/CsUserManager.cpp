#include "CsUserManager.h"

#include <algorithm>

#include "CsManager.h"
#include "RecordCodec.h"

ST_USER_ITEM_DEPT* CsUserManager::FindLocked(uint16_t userId) {
    const uint16_t base = UserOf(userId);
    auto it = std::find_if(users_.begin(), users_.end(),
                           [base](const ST_USER_ITEM_DEPT& user) { return user.userId == base; });
    return it == users_.end() ? nullptr : &*it;
}

void CsUserManager::SetUserHandler(IUserHandler* handler) {
    std::lock_guard guard(lock_);
    handler_ = handler;
}

IUserHandler* CsUserManager::Handler() {
    std::lock_guard guard(lock_);
    return handler_;
}

bool CsUserManager::IsUserKnown(uint16_t userId) {
    std::lock_guard guard(lock_);
    return FindLocked(userId) != nullptr;
}

int32_t CsUserManager::GetUserCount() {
    std::lock_guard guard(lock_);
    return static_cast<int32_t>(users_.size());
}

int32_t CsUserManager::GetUsers(ST_USER_ITEM_DEPT* records, int32_t capacity) {
    if (!records || capacity <= 0) {
        return 0;
    }
    std::lock_guard guard(lock_);
    const size_t count = std::min(users_.size(), static_cast<size_t>(capacity));
    std::copy_n(users_.begin(), count, records);
    return static_cast<int32_t>(count);
}

uint8_t CsUserManager::ForEachUser(const std::function<void(ST_USER_ITEM_DEPT*)>& visit) {
    std::lock_guard guard(lock_);
    if (!loggedIn_ || !visit) {
        return 0;
    }
    // A copy of the ids: a visitor may remove users.
    std::vector<uint16_t> ids;
    ids.reserve(users_.size());
    for (const auto& user : users_) {
        ids.push_back(user.userId);
    }
    for (uint16_t id : ids) {
        if (ST_USER_ITEM_DEPT* user = FindLocked(id)) {
            visit(user);
        }
    }
    return 1;
}

uint8_t CsUserManager::ModifyUserPrivateData(
    uint16_t userId, const std::function<void(ST_USER_PRIVATEDATA*)>& change) {
    ST_USER_PRIVATEDATA data;
    uint16_t base = 0;
    {
        std::lock_guard guard(lock_);
        ST_USER_ITEM_DEPT* user = FindLocked(userId);
        if (!user) {
            return 0;
        }
        if (change) {
            change(&user->privateData);
        }
        data = user->privateData;
        base = user->userId;
    }
    const auto bytes = yav::proto::EncodeRecord(data);
    owner_.SetUserData(base, 0, static_cast<uint16_t>(bytes.size()), bytes.data(), 1);
    return 1;
}

int32_t CsUserManager::GetUserName(uint16_t userId, char16_t* buffer128) {
    std::lock_guard guard(lock_);
    ST_USER_ITEM_DEPT* user = FindLocked(userId);
    if (!user || !buffer128) {
        return -1;
    }
    const auto name = yav::proto::FieldText16(user->name, 32);
    const size_t length = std::min<size_t>(name.size(), 127);
    std::copy_n(name.begin(), length, buffer128);
    buffer128[length] = 0;
    return static_cast<int32_t>(length);
}

int32_t CsUserManager::GetSpeakerCount() {
    std::lock_guard guard(lock_);
    return static_cast<int32_t>(
        std::count_if(users_.begin(), users_.end(),
                      [](const ST_USER_ITEM_DEPT& user) { return user.speakState == 2; }));
}

void CsUserManager::RemoveUser(uint16_t userId) {
    std::lock_guard guard(lock_);
    const uint16_t base = UserOf(userId);
    std::erase_if(users_, [base](const ST_USER_ITEM_DEPT& user) { return user.userId == base; });
}

bool CsUserManager::GetUser(std::shared_ptr<ST_USER_ITEM_DEPT>& out, uint16_t userId, uint8_t) {
    std::lock_guard guard(lock_);
    ST_USER_ITEM_DEPT* user = FindLocked(userId);
    if (!user) {
        out.reset();
        return false;
    }
    out = std::make_shared<ST_USER_ITEM_DEPT>(*user);
    return true;
}

void CsUserManager::SetUserState(uint16_t userId, uint32_t state, uint8_t) {
    std::lock_guard guard(lock_);
    if (ST_USER_ITEM_DEPT* user = FindLocked(userId)) {
        user->streamParam = state;
    }
}

bool CsUserManager::GetUserPrivateData(std::shared_ptr<ST_USER_PRIVATEDATA>& out, uint16_t userId) {
    std::lock_guard guard(lock_);
    ST_USER_ITEM_DEPT* user = FindLocked(userId);
    if (!user) {
        out.reset();
        return false;
    }
    out = std::make_shared<ST_USER_PRIVATEDATA>(user->privateData);
    return true;
}

void CsUserManager::Reset(const std::vector<ST_USER_ITEM_DEPT>& users,
                          const std::vector<ST_DEPT_INFO>& departments) {
    std::lock_guard guard(lock_);
    users_ = users;
    departments_ = departments;
    loggedIn_ = true;
}

std::vector<ST_DEPT_INFO> CsUserManager::GetDepartments() {
    std::lock_guard guard(lock_);
    return loggedIn_ ? departments_ : std::vector<ST_DEPT_INFO>{};
}

void CsUserManager::Clear() {
    std::lock_guard guard(lock_);
    users_.clear();
    departments_.clear();
    loggedIn_ = false;
}

void CsUserManager::Upsert(const ST_USER_ITEM_DEPT& record) {
    std::lock_guard guard(lock_);
    if (ST_USER_ITEM_DEPT* user = FindLocked(record.userId)) {
        *user = record;
    } else {
        users_.push_back(record);
    }
}

bool CsUserManager::Update(uint16_t userId, const std::function<void(ST_USER_ITEM_DEPT&)>& change) {
    std::lock_guard guard(lock_);
    ST_USER_ITEM_DEPT* user = FindLocked(userId);
    if (!user) {
        return false;
    }
    change(*user);
    return true;
}
