#pragma once
// The component's participant list, in join order. Written by the component's I/O thread as
// events arrive, read by the client from any thread; one recursive lock guards it (visitors
// of ForEachUser may call back into the list).

#include <mutex>
#include <vector>

#include "ICsUserManager.h"

class CsManager;

class CsUserManager final : public ICsUserManager {
public:
    explicit CsUserManager(CsManager& owner) : owner_(owner) {}

    void SetUserHandler(IUserHandler* handler) override;
    bool IsUserKnown(uint16_t userId) override;
    int32_t GetUserCount() override;
    int32_t GetUsers(ST_USER_ITEM_DEPT* records, int32_t capacity) override;
    uint8_t ForEachUser(const std::function<void(ST_USER_ITEM_DEPT*)>& visit) override;
    uint8_t ModifyUserPrivateData(uint16_t userId,
                                  const std::function<void(ST_USER_PRIVATEDATA*)>& change) override;
    int32_t GetUserName(uint16_t userId, char16_t* buffer128) override;
    int32_t GetSpeakerCount() override;
    void RemoveUser(uint16_t userId) override;
    bool GetUser(std::shared_ptr<ST_USER_ITEM_DEPT>& out, uint16_t userId, uint8_t flag) override;
    void SetUserState(uint16_t userId, uint32_t state, uint8_t flag) override;
    bool GetUserPrivateData(std::shared_ptr<ST_USER_PRIVATEDATA>& out, uint16_t userId) override;
    std::vector<ST_DEPT_INFO> GetDepartments() override;

    IUserHandler* Handler();

    // Component side (I/O thread).
    void Reset(const std::vector<ST_USER_ITEM_DEPT>& users,
               const std::vector<ST_DEPT_INFO>& departments);
    void Clear();
    // Adds the record, or replaces the record of the same user.
    void Upsert(const ST_USER_ITEM_DEPT& record);
    // Applies change to the user's record; false for an unknown user.
    bool Update(uint16_t userId, const std::function<void(ST_USER_ITEM_DEPT&)>& change);

private:
    ST_USER_ITEM_DEPT* FindLocked(uint16_t userId);

    CsManager& owner_;
    std::recursive_mutex lock_;
    std::vector<ST_USER_ITEM_DEPT> users_;
    std::vector<ST_DEPT_INFO> departments_;
    IUserHandler* handler_ = nullptr;
    bool loggedIn_ = false;
};
