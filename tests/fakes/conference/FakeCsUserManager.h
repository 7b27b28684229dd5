#pragma once
// A participant list for tests: users are added by the test; every call is recorded.

#include <mutex>
#include <string>
#include <vector>

#include "CallLog.h"
#include "ICsUserManager.h"

namespace fakes {

class FakeCsUserManager : public ICsUserManager {
public:
    explicit FakeCsUserManager(CallLog& log) : log_(log) {}
    virtual ~FakeCsUserManager() = default;

    // Adds or replaces a user (join order is kept for new users).
    ST_USER_ITEM_DEPT& AddUser(std::uint16_t userId, const std::u16string& name,
                               std::uint8_t channelMask = 0);
    // The private data of a listed user, kept in its record as the component keeps it.
    void SetPrivateData(std::uint16_t userId, const ST_USER_PRIVATEDATA& data);
    bool HasUser(std::uint16_t userId);

    void SetUserHandler(IUserHandler* handler) override;
    bool IsUserKnown(std::uint16_t userId) override;
    std::int32_t GetUserCount() override;
    std::int32_t GetUsers(ST_USER_ITEM_DEPT* records, std::int32_t capacity) override;
    std::uint8_t ForEachUser(const std::function<void(ST_USER_ITEM_DEPT*)>& visit) override;
    std::uint8_t ModifyUserPrivateData(
        std::uint16_t userId, const std::function<void(ST_USER_PRIVATEDATA*)>& change) override;
    std::int32_t GetUserName(std::uint16_t userId, char16_t* buffer128) override;
    std::int32_t GetSpeakerCount() override;
    void RemoveUser(std::uint16_t userId) override;
    bool GetUser(std::shared_ptr<ST_USER_ITEM_DEPT>& out, std::uint16_t userId,
                 std::uint8_t flag) override;
    void SetUserState(std::uint16_t userId, std::uint32_t state, std::uint8_t flag) override;
    bool GetUserPrivateData(std::shared_ptr<ST_USER_PRIVATEDATA>& out,
                            std::uint16_t userId) override;

    int speakerCount = 0;
    IUserHandler* handler = nullptr;

private:
    ST_USER_ITEM_DEPT* FindLocked(std::uint16_t userId);

    CallLog& log_;
    std::recursive_mutex mutex_;
    std::vector<ST_USER_ITEM_DEPT> users_;
};

}  // namespace fakes
