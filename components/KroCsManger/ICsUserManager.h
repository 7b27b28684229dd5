#pragma once
// The participant list of the conference the component is logged in to. Valid after a
// successful ICsManager::Login. Every operation is safe from any thread. User ids passed in
// may be media ids: their low three bits are ignored.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "IUserHandler.h"
#include "ST_DEPT_INFO.h"
#include "ST_USER_ITEM_DEPT.h"
#include "ST_USER_PRIVATEDATA.h"

class ICsUserManager {
public:
    // 0 keeps the handler the pump calls for participant events (may be null).
    virtual void SetUserHandler(IUserHandler* handler) = 0;
    // 3 true when the user is in the list (listed users include those whose leave has not
    // been handled yet).
    virtual bool IsUserKnown(uint16_t userId) = 0;
    // 4 number of listed participants, me included.
    virtual int32_t GetUserCount() = 0;
    // 5 copies at most capacity records into records; returns the number copied.
    virtual int32_t GetUsers(ST_USER_ITEM_DEPT* records, int32_t capacity) = 0;
    // 6 calls visit on every listed record in join order, under the list's lock; changes the
    // visitor makes stay in the list until the server reports the record again. Returns 1,
    // or 0 when not logged in.
    virtual uint8_t ForEachUser(const std::function<void(ST_USER_ITEM_DEPT*)>& visit) = 0;
    // 7 lets change edit the user's private data, then sends the whole 32 bytes to the server
    // (which tells every participant). Returns 1, or 0 for an unknown user.
    virtual uint8_t ModifyUserPrivateData(
        uint16_t userId, const std::function<void(ST_USER_PRIVATEDATA*)>& change) = 0;
    // 8 copies the display name (at most 127 units and a NUL) into a buffer of 128 char16_t;
    // returns its length, or -1 for an unknown user.
    virtual int32_t GetUserName(uint16_t userId, char16_t* buffer128) = 0;
    // 10 number of participants whose speak state is 2.
    virtual int32_t GetSpeakerCount() = 0;
    // 11 drops a user from the list (the pump calls it after the leave event).
    virtual void RemoveUser(uint16_t userId) = 0;
    // 12 a copy of the user's record in out (empty when unknown); true when found. The copy
    // is the caller's: later changes arrive as new events. flag is carried, not read.
    virtual bool GetUser(std::shared_ptr<ST_USER_ITEM_DEPT>& out, uint16_t userId,
                         uint8_t flag) = 0;
    // 13 stores the stream parameter (record offset 88) the client learnt for a user.
    virtual void SetUserState(uint16_t userId, uint32_t state, uint8_t flag) = 0;
    // 14 a copy of the user's private data in out (empty when unknown); true when found.
    virtual bool GetUserPrivateData(std::shared_ptr<ST_USER_PRIVATEDATA>& out, uint16_t userId) = 0;
    // 15 the participant tree's departments of the login snapshot, parents before children
    // (empty when not logged in).
    virtual std::vector<ST_DEPT_INFO> GetDepartments() = 0;

protected:
    ~ICsUserManager() = default;
};
