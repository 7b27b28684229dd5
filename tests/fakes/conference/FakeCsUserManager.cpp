#include "FakeCsUserManager.h"

#include <algorithm>

namespace fakes {

namespace {
std::uint16_t Base(std::uint16_t id) {
    return static_cast<std::uint16_t>(id & ~7u);
}
}  // namespace

ST_USER_ITEM_DEPT* FakeCsUserManager::FindLocked(std::uint16_t userId) {
    for (auto& user : users_) {
        if (user.userId == Base(userId)) {
            return &user;
        }
    }
    return nullptr;
}

ST_USER_ITEM_DEPT& FakeCsUserManager::AddUser(std::uint16_t userId, const std::u16string& name,
                                              std::uint8_t channelMask) {
    std::lock_guard lock(mutex_);
    ST_USER_ITEM_DEPT* user = FindLocked(userId);
    if (user == nullptr) {
        users_.emplace_back();
        user = &users_.back();
    }
    *user = ST_USER_ITEM_DEPT{};
    user->userId = userId;
    std::copy_n(name.begin(), std::min<size_t>(name.size(), 31), user->name);
    user->channelMask = channelMask;
    return *user;
}

void FakeCsUserManager::SetPrivateData(std::uint16_t userId, const ST_USER_PRIVATEDATA& data) {
    std::lock_guard lock(mutex_);
    if (ST_USER_ITEM_DEPT* user = FindLocked(userId)) {
        user->privateData = data;
    }
}

bool FakeCsUserManager::HasUser(std::uint16_t userId) {
    std::lock_guard lock(mutex_);
    return FindLocked(userId) != nullptr;
}

void FakeCsUserManager::SetUserHandler(IUserHandler* userHandler) {
    handler = userHandler;
    log_.Add(userHandler != nullptr ? "SetUserHandler(set)" : "SetUserHandler(null)");
}

bool FakeCsUserManager::IsUserKnown(std::uint16_t userId) {
    return HasUser(userId);
}

std::int32_t FakeCsUserManager::GetUserCount() {
    std::lock_guard lock(mutex_);
    return static_cast<std::int32_t>(users_.size());
}

std::int32_t FakeCsUserManager::GetUsers(ST_USER_ITEM_DEPT* records, std::int32_t capacity) {
    std::lock_guard lock(mutex_);
    const auto count = std::min<std::int32_t>(capacity, static_cast<std::int32_t>(users_.size()));
    std::copy_n(users_.begin(), count, records);
    log_.Add(Call("GetUsers", capacity));
    return count;
}

std::uint8_t FakeCsUserManager::ForEachUser(const std::function<void(ST_USER_ITEM_DEPT*)>& visit) {
    std::lock_guard lock(mutex_);
    for (auto& user : users_) {
        visit(&user);
    }
    return 1;
}

std::uint8_t FakeCsUserManager::ModifyUserPrivateData(
    std::uint16_t userId, const std::function<void(ST_USER_PRIVATEDATA*)>& change) {
    std::lock_guard lock(mutex_);
    ST_USER_ITEM_DEPT* user = FindLocked(userId);
    if (user == nullptr) {
        return 0;
    }
    change(&user->privateData);
    log_.Add(Call("ModifyUserPrivateData", userId));
    return 1;
}

std::int32_t FakeCsUserManager::GetUserName(std::uint16_t userId, char16_t* buffer128) {
    std::lock_guard lock(mutex_);
    ST_USER_ITEM_DEPT* user = FindLocked(userId);
    if (user == nullptr) {
        return -1;
    }
    std::int32_t length = 0;
    while (length < 32 && user->name[length] != 0) {
        buffer128[length] = user->name[length];
        ++length;
    }
    buffer128[length] = 0;
    return length;
}

std::int32_t FakeCsUserManager::GetSpeakerCount() {
    return speakerCount;
}

void FakeCsUserManager::RemoveUser(std::uint16_t userId) {
    {
        std::lock_guard lock(mutex_);
        users_.erase(std::remove_if(users_.begin(), users_.end(),
                                    [userId](const ST_USER_ITEM_DEPT& user) {
                                        return user.userId == Base(userId);
                                    }),
                     users_.end());
    }
    log_.Add(Call("RemoveUser", userId));
}

bool FakeCsUserManager::GetUser(std::shared_ptr<ST_USER_ITEM_DEPT>& out, std::uint16_t userId,
                                std::uint8_t /*flag*/) {
    std::lock_guard lock(mutex_);
    ST_USER_ITEM_DEPT* user = FindLocked(userId);
    if (user == nullptr) {
        out.reset();
        return false;
    }
    out = std::make_shared<ST_USER_ITEM_DEPT>(*user);
    return true;
}

void FakeCsUserManager::SetUserState(std::uint16_t userId, std::uint32_t state, std::uint8_t flag) {
    log_.Add(Call("SetUserState", userId, state, flag));
}

bool FakeCsUserManager::GetUserPrivateData(std::shared_ptr<ST_USER_PRIVATEDATA>& out,
                                           std::uint16_t userId) {
    std::lock_guard lock(mutex_);
    const ST_USER_ITEM_DEPT* user = FindLocked(userId);
    if (user == nullptr) {
        out.reset();
        return false;
    }
    out = std::make_shared<ST_USER_PRIVATEDATA>(user->privateData);
    return true;
}

}  // namespace fakes
