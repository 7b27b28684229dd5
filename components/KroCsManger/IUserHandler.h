#pragma once
// Participant events, called by the client's message pump on the UI thread.

#include <cstdint>

#include "ST_USER_ITEM_DEPT.h"

class IUserHandler {
public:
    // 0 (0x506) a participant entered; the record belongs to the queued message and may be
    // changed by the handler.
    virtual void OnUserJoin(ST_USER_ITEM_DEPT* record) = 0;
    // 1 (0x515) a participant left (kind: its user kind, byte 70 of its record); the user
    // manager still lists the user until the pump calls ICsUserManager::RemoveUser.
    virtual void OnUserLeave(uint16_t userId, uint32_t departmentId, uint8_t kind) = 0;
    // 2 (0x504) a participant's record changed (channels, broadcast, device state, private data).
    virtual void OnUserInfoChanged(ST_USER_ITEM_DEPT* record) = 0;
    // 3 (0x509) presenter state: 0 none, 1 in the queue, 2 presenter.
    virtual void HandleLeadingStatus(uint16_t userId, uint8_t newState, uint8_t oldState) = 0;
    // 4 (0x50B) a participant's kind changed: 0 chair, 5 temporary administrator, 1 member.
    virtual void OnUserAttrChanged(uint16_t userId, uint32_t departmentId, uint8_t kind) = 0;

protected:
    ~IUserHandler() = default;
};
